#include "database/TSatelites.h"

#include "foundation/TLang.h"

TSatelites::TSatelites() : default_(std::make_shared<TSateliteRec>())
{
    default_->EastWest = 'w';
    default_->Name = LangText(1414); // "Desconocido"
}

TSateliteRec* TSatelites::Get(int index) const
{
    TSateliteRec* record = At(index);
    return record ? record : default_.get();
}

TSateliteRec* TSatelites::New()
{
    return Append();
}

const TSateliteRec& TSatelites::Resolve(const TRef<TSateliteRec>& ref) const
{
    const TSateliteRec* record = ref.Get();
    return record ? *record : *default_;
}

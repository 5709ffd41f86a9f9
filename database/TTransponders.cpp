#include "database/TTransponders.h"

TTransponders::TTransponders(const TSatelites& satelites)
    : satelites_(satelites), default_(std::make_shared<TTransponderRec>())
{
    default_->Satelite = satelites_.Default();
    default_->Polar = 'v';
    default_->Volt1418 = "14";
    default_->Tone22K = "0";
    default_->Volt012 = "0";
    default_->Fec = "auto";
}

TTransponderRec* TTransponders::Get(int index) const
{
    TTransponderRec* record = At(index);
    return record ? record : default_.get();
}

TTransponderRec* TTransponders::New()
{
    TTransponderRec* record = Append();
    record->Satelite = satelites_.Default();
    return record;
}

const TTransponderRec& TTransponders::Resolve(const TRef<TTransponderRec>& ref) const
{
    const TTransponderRec* record = ref.Get();
    return record ? *record : *default_;
}

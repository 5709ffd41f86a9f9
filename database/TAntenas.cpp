#include "database/TAntenas.h"

TAntenas::TAntenas(const TSatelites& satelites)
    : satelites_(satelites), default_(std::make_shared<TAntenaRec>())
{
    default_->Satelite = satelites_.Default();
    default_->Diseqc = 'n';
    default_->Volt012 = "n";
    default_->Tone22K = "n";
    default_->AntennaType = 'f';
    default_->Volt1418 = "n";
}

TAntenaRec* TAntenas::Get(int index) const
{
    TAntenaRec* record = At(index);
    return record ? record : default_.get();
}

TAntenaRec* TAntenas::New()
{
    TAntenaRec* record = Append();
    record->Satelite = satelites_.Default();
    return record;
}

const TAntenaRec& TAntenas::Resolve(const TRef<TAntenaRec>& ref) const
{
    const TAntenaRec* record = ref.Get();
    return record ? *record : *default_;
}

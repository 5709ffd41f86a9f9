#include "database/TChannels.h"

TChannels::TChannels(const TSatelites& satelites, const TTransponders& transponders, const TAntenas& antenas)
    : satelites_(satelites), transponders_(transponders), antenas_(antenas)
{
}

TChannelRec* TChannels::New()
{
    TChannelRec* record = Append();
    record->Satelite = satelites_.Default();
    record->Transponder = transponders_.Default();
    record->Antena = antenas_.Default();
    return record;
}

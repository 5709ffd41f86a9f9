#pragma once
// The satellite option's presenter: the main list view as the satellite list
// of the working set. Deleting a satellite deletes its antennas and
// transponders too, and every channel that used any of them.
#include "windows/lists/RecordPresenter.h"

class TFSatelites : public RecordPresenter {
    Q_OBJECT
public:
    explicit TFSatelites(QObject* parent = nullptr);

    // Deletes satellite index with its antennas, its transponders and every
    // channel of the satellite or on one of those antennas or transponders.
    void BorraSatelite(int index);

protected:
    void DeleteRecord(int index) override { BorraSatelite(index); }
};

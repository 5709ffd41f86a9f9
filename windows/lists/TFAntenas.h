#pragma once
// The antenna option's presenter: the main list view as the antenna list of
// the working set. Deleting an antenna deletes the channels that use it.
#include "windows/lists/RecordPresenter.h"

class TFAntenas : public RecordPresenter {
    Q_OBJECT
public:
    explicit TFAntenas(QObject* parent = nullptr);

    // Deletes antenna index and every channel that uses it.
    void BorraAntena(int index);

protected:
    void DeleteRecord(int index) override { BorraAntena(index); }
};

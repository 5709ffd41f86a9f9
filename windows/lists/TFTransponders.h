#pragma once
// The transponder option's presenter: the main list view as the transponder
// list of the working set. Deleting a transponder deletes the channels on it.
#include "windows/lists/RecordPresenter.h"

class TFTransponders : public RecordPresenter {
    Q_OBJECT
public:
    explicit TFTransponders(QObject* parent = nullptr);

    // Deletes transponder index and every channel on it.
    void BorraTransponder(int index);

protected:
    void DeleteRecord(int index) override { BorraTransponder(index); }
};

#pragma once
// A wait box for tests: records what the operation showed and can report
// Cancelled after a given number of polls. ScriptedWaitBoxes installs a
// factory for its lifetime and keeps the record of every box it made, also
// after the operation has freed the box.
#include "foundation/WaitBox.h"

#include <memory>
#include <string>
#include <vector>

struct WaitBoxRecord {
    std::vector<std::string> labels;
    std::vector<int> maxima;
    std::vector<int> positions;
    bool cancelVisible = true;
    int starts = 0;
    int ends = 0;
    int processEventCalls = 0;
    int polls = 0;        // calls of Cancelled()
    bool destroyed = false;
};

class ScriptedWaitBox : public IWaitBox {
public:
    // cancelAfterPolls < 0: never cancelled; n: Cancelled() is true from poll n+1 on.
    explicit ScriptedWaitBox(std::shared_ptr<WaitBoxRecord> record, int cancelAfterPolls = -1);
    ~ScriptedWaitBox() override;

    void ShowLabel(const std::string& text) override { record_->labels.push_back(text); }
    void SetCancelVisible(bool visible) override { record_->cancelVisible = visible; }
    void SetMax(int max) override { record_->maxima.push_back(max); }
    void SetPosition(int position) override { record_->positions.push_back(position); }
    void Start() override;
    void FinSinDestruir() override;
    void ProcessEvents() override { ++record_->processEventCalls; }
    bool Cancelled() const override;

private:
    std::shared_ptr<WaitBoxRecord> record_;
    int cancelAfterPolls_;
    bool started_ = false;
};

class ScriptedWaitBoxes {
public:
    explicit ScriptedWaitBoxes(int cancelAfterPolls = -1);
    ~ScriptedWaitBoxes();
    ScriptedWaitBoxes(const ScriptedWaitBoxes&) = delete;
    ScriptedWaitBoxes& operator=(const ScriptedWaitBoxes&) = delete;

    // Applies to the boxes made from now on.
    void SetCancelAfterPolls(int polls) { cancelAfterPolls_ = polls; }
    const std::vector<std::shared_ptr<WaitBoxRecord>>& Records() const { return records_; }

private:
    std::vector<std::shared_ptr<WaitBoxRecord>> records_;
    int cancelAfterPolls_;
};

#include "support/ScriptedWaitBox.h"

ScriptedWaitBox::ScriptedWaitBox(std::shared_ptr<WaitBoxRecord> record, int cancelAfterPolls)
    : record_(std::move(record)), cancelAfterPolls_(cancelAfterPolls)
{
}

ScriptedWaitBox::~ScriptedWaitBox()
{
    if (started_)
        FinSinDestruir();
    record_->destroyed = true;
}

void ScriptedWaitBox::Start()
{
    started_ = true;
    ++record_->starts;
}

void ScriptedWaitBox::FinSinDestruir()
{
    started_ = false;
    ++record_->ends;
}

bool ScriptedWaitBox::Cancelled() const
{
    ++record_->polls;
    return cancelAfterPolls_ >= 0 && record_->polls > cancelAfterPolls_;
}

ScriptedWaitBoxes::ScriptedWaitBoxes(int cancelAfterPolls)
    : cancelAfterPolls_(cancelAfterPolls)
{
    SetWaitBoxFactory([this] {
        auto record = std::make_shared<WaitBoxRecord>();
        records_.push_back(record);
        return std::make_unique<ScriptedWaitBox>(record, cancelAfterPolls_);
    });
}

ScriptedWaitBoxes::~ScriptedWaitBoxes()
{
    SetWaitBoxFactory(nullptr);
}

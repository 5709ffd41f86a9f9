#pragma once
// The wait box as the core sees it: long operations on the main thread show
// progress, let pending events run between steps and poll Cancelled. The Qt
// layer installs a factory for the real box (TFWait); tests install scripted
// boxes; without either, a silent box is used that is never cancelled.
#include <functional>
#include <memory>
#include <string>

class IWaitBox {
public:
    virtual ~IWaitBox() = default; // ends the wait if it is still started
    virtual void ShowLabel(const std::string& text) = 0; // empty text hides the label
    virtual void SetCancelVisible(bool visible) = 0;
    virtual void SetMax(int max) = 0;
    virtual void SetPosition(int position) = 0;
    virtual void Start() = 0;          // show; disable the program's other windows
    virtual void FinSinDestruir() = 0; // hide; re-enable exactly those windows
    virtual void ProcessEvents() = 0;  // let the application's pending events run once
    virtual bool Cancelled() const = 0;
};

using WaitBoxFactory = std::function<std::unique_ptr<IWaitBox>()>;

// An empty factory restores the silent default.
void SetWaitBoxFactory(WaitBoxFactory factory);
std::unique_ptr<IWaitBox> CreateWaitBox();

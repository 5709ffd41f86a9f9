#include "foundation/WaitBox.h"

namespace {

// Used where no user interface is installed: shows nothing, is never cancelled.
class SilentWaitBox : public IWaitBox {
public:
    void ShowLabel(const std::string&) override {}
    void SetCancelVisible(bool) override {}
    void SetMax(int) override {}
    void SetPosition(int) override {}
    void Start() override {}
    void FinSinDestruir() override {}
    void ProcessEvents() override {}
    bool Cancelled() const override { return false; }
};

WaitBoxFactory& Factory()
{
    static WaitBoxFactory factory;
    return factory;
}

} // namespace

void SetWaitBoxFactory(WaitBoxFactory factory)
{
    Factory() = std::move(factory);
}

std::unique_ptr<IWaitBox> CreateWaitBox()
{
    if (Factory()) {
        if (auto box = Factory()())
            return box;
    }
    return std::make_unique<SilentWaitBox>();
}

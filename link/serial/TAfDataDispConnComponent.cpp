#include "link/serial/TAfDataDispConnComponent.h"

#include "link/serial/TAfDataDispatcher.h"

TAfDataDispConnComponent::~TAfDataDispConnComponent()
{
    if (dispatcher_)
        dispatcher_->Link(nullptr);
}

void TAfDataDispConnComponent::DispatcherCloseNotice()
{
    if (dispatcher_)
        dispatcher_->CloseNotice();
}

void TAfDataDispConnComponent::DispatcherOpenNotice()
{
    if (dispatcher_)
        dispatcher_->OpenNotice();
}

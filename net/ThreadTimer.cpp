#include "net/ThreadTimer.h"

#include "engine/Form.h"
#include "platform/app/Application.h"

#include <exception>

TThreadTimer::TThreadTimer(TComponent* AOwner, plat::Application* AApplication)
    : TComponent(AOwner), FApplication(AApplication ? *AApplication : ApplicationOf(AOwner))
{}

TThreadTimer::~TThreadTimer()
{
    if (FTimerId != 0)
        FApplication.KillTimer(FTimerId);
}

void TThreadTimer::SetInterval(uint32_t Value)
{
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TThreadTimer::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TThreadTimer::SetOnTimer(TNotifyEvent Value)
{
    FOnTimer = std::move(Value);
    UpdateTimer();
}

void TThreadTimer::UpdateTimer()
{
    if (FTimerId != 0) {
        FApplication.KillTimer(FTimerId);
        FTimerId = 0;
    }
    if (FEnabled && FInterval != 0 && FOnTimer)
        FTimerId = FApplication.SetTimer(FInterval, [this] { Fire(); });
}

void TThreadTimer::Fire()
{
    // A failing handler must not take the message pass (and whatever waits in it) down.
    try {
        FOnTimer(this);
    } catch (const std::exception&) {}
}

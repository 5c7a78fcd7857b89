#include "net/ThreadTimer.h"

#include <exception>

TThreadTimer::TThreadTimer(TComponent* AOwner, plat::MessagePump& APump) : TComponent(AOwner), FPump(APump) {}

TThreadTimer::~TThreadTimer()
{
    if (FTimerId != 0)
        FPump.KillTimer(FTimerId);
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
        FPump.KillTimer(FTimerId);
        FTimerId = 0;
    }
    if (FEnabled && FInterval != 0 && FOnTimer)
        FTimerId = FPump.SetTimer(FInterval, [this] { Fire(); });
}

void TThreadTimer::Fire()
{
    // A failing handler must not take the message pass (and whatever waits in it) down.
    try {
        FOnTimer(this);
    } catch (const std::exception&) {}
}

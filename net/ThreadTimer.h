// TThreadTimer: the time-out timer of the socket client, on the timers of the client's message
// pump (MessagePump.h), fixed when it is made.
//
// It runs while Enabled, with a nonzero Interval and an assigned OnTimer. Setting a property to
// the value it already has changes nothing, so switching on a running timer does not restart
// its countdown. OnTimer runs on the UI thread inside a pass of message processing.
#pragma once

#include "engine/Component.h"

#include "platform/net/MessagePump.h"

#include <cstdint>

class TThreadTimer : public TComponent {
public:
    TThreadTimer(TComponent* AOwner, plat::MessagePump& APump);
    ~TThreadTimer() override;
    const char* ClassName() const override { return "TThreadTimer"; }

    uint32_t GetInterval() const { return FInterval; }
    void SetInterval(uint32_t Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    void SetOnTimer(TNotifyEvent Value);

private:
    void UpdateTimer();
    void Fire();

    plat::MessagePump& FPump;
    uint32_t FInterval = 1000;
    bool FEnabled = true;
    TNotifyEvent FOnTimer;
    int FTimerId = 0;
};

// TThreadTimer: the time-out timer of the socket client, on the window timers of the application
// of the form that owns it (ApplicationOf), fixed when it is made.
//
// It runs while Enabled, with a nonzero Interval and an assigned OnTimer. Setting a property to
// the value it already has changes nothing, so switching on a running timer does not restart
// its countdown. OnTimer runs on the UI thread inside a pass of message processing.
#pragma once

#include "engine/Component.h"

#include <cstdint>

namespace plat {
class Application;
}

class TThreadTimer : public TComponent {
public:
    // Without an owner it runs on Application, which must then be given.
    explicit TThreadTimer(TComponent* AOwner, plat::Application* AApplication = nullptr);
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

    plat::Application& FApplication;
    uint32_t FInterval = 1000;
    bool FEnabled = true;
    TNotifyEvent FOnTimer;
    int FTimerId = 0;
};

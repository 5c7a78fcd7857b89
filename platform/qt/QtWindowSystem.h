// The application service's Qt backend: installed in the application object, its passes deliver
// Qt's events and its loop sleeps in Qt's event dispatcher, so code on the UI thread that waits in
// slices of ProcessMessages (the HTTP client) keeps Qt windows painting and taking input. Message
// boxes become Qt's. Used by the configuration mode only; the saver never loads Qt.
#pragma once

#include "platform/app/Application.h"

class QAbstractEventDispatcher;

namespace plat {

class TQtWindowSystem : public TWindowSystem {
public:
    // Needs the QApplication to exist; installs itself into Application until destroyed.
    explicit TQtWindowSystem(Application& AApplication);
    ~TQtWindowSystem() override;
    TQtWindowSystem(const TQtWindowSystem&) = delete;
    TQtWindowSystem& operator=(const TQtWindowSystem&) = delete;

    void Pump() override;
    void Wait(std::chrono::milliseconds Limit) override;
    void Wake() override;
    bool MessageBox(const std::string& Text, const std::string& Caption) override;

private:
    Application& FApplication;
    QAbstractEventDispatcher* FDispatcher;  // the UI thread's; its wakeUp is thread-safe
};

}  // namespace plat

#include "platform/qt/QtWindowSystem.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

namespace plat {

TQtWindowSystem::TQtWindowSystem(Application& AApplication)
    : FApplication(AApplication), FDispatcher(QAbstractEventDispatcher::instance())
{
    FApplication.SetWindowSystem(this);
}

TQtWindowSystem::~TQtWindowSystem()
{
    FApplication.SetWindowSystem(nullptr);
}

void TQtWindowSystem::Pump()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TQtWindowSystem::Wait(std::chrono::milliseconds Limit)
{
    // The timer's expiry is an event too, so the wait ends by Limit at the latest.
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(Limit);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void TQtWindowSystem::Wake()
{
    if (FDispatcher != nullptr)
        FDispatcher->wakeUp();
}

bool TQtWindowSystem::MessageBox(const std::string& Text, const std::string& Caption)
{
    QMessageBox::information(QApplication::activeWindow(), QString::fromStdString(Caption),
                             QString::fromStdString(Text));
    return true;
}

}  // namespace plat

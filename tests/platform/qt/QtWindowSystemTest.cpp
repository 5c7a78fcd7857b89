// The application loop over Qt: a Qt timer fires inside ProcessMessages, and work posted from
// another thread wakes the loop while it sleeps in Qt's dispatcher.
#include "platform/qt/QtWindowSystem.h"
#include "tests/config/QtTestApp.h"

#include <gtest/gtest.h>

#include <QTimer>

#include <chrono>
#include <thread>

TEST(QtWindowSystemTest, PassesDeliverQtEventsAndPostedWork)
{
    QtTestApp();
    plat::Application app;
    plat::TQtWindowSystem qt(app);
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    app.ProcessMessages();
    EXPECT_TRUE(fired);

    const auto start = std::chrono::steady_clock::now();
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        app.Post([&] { app.Terminate(); });
    });
    app.Run();
    poster.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

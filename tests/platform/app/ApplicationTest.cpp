// The application object's input translation, cursor count and cross-thread hand-over, on real
// SDL events (the events subsystem needs no display).
#include "platform/app/Application.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
        plat::Application::UseSdl();
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }

    void Record(plat::Application& App)
    {
        App.OnKeyDown = [this](uint16_t Key) { Log.push_back("down " + std::to_string(Key)); };
        App.OnKeyPress = [this](char Key) { Log.push_back("press " + std::to_string(Key)); };
        App.OnMouseMove = [this](int X, int Y) {
            Log.push_back("move " + std::to_string(X) + "," + std::to_string(Y));
        };
        App.AddHost({[this] { Log.push_back("activate"); }, [this] { Log.push_back("deactivate"); }, nullptr});
    }

    static void PushKey(SDL_Keycode Sym, Uint32 Window = 0)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = Sym;
        event.key.windowID = Window;
        SDL_PushEvent(&event);
    }

    static void PushMotion(int X, int Y, Uint32 Window = 0)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEMOTION;
        event.motion.x = X;
        event.motion.y = Y;
        event.motion.windowID = Window;
        SDL_PushEvent(&event);
    }

    static void PushWindowEvent(Uint8 What)
    {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = What;
        SDL_PushEvent(&event);
    }

    std::vector<std::string> Log;
};

}  // namespace

TEST_F(ApplicationTest, KeysBecomeVirtualKeyCodesAndControlCharacters)
{
    plat::Application app;
    Record(app);
    PushKey(SDLK_ESCAPE);
    PushKey(SDLK_F2);
    PushKey(SDLK_F3);
    PushKey(SDLK_a);
    PushKey(SDLK_CAPSLOCK);  // No virtual key of ours: nothing is delivered.
    app.ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"down 27", "press 27", "down 113", "down 114", "down 65"}));
}

// A window the display layer replaced is gone when its events are read: its motions' positions go
// with it, its keys still count.
TEST_F(ApplicationTest, KeysOfAVanishedWindowCountItsMotionsDoNot)
{
    plat::Application app;
    Record(app);
    PushKey(SDLK_ESCAPE, 4242);
    PushMotion(640, 7, 4242);
    app.ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"down 27", "press 27"}));
}

TEST_F(ApplicationTest, TextInputArrivesAsCharacters)
{
    plat::Application app;
    Record(app);
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::snprintf(event.text.text, sizeof(event.text.text), "q");
    SDL_PushEvent(&event);
    app.ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"press 113"}));
}

TEST_F(ApplicationTest, MouseMotionCarriesWindowPixels)
{
    plat::Application app;
    Record(app);
    PushMotion(640, 7);
    app.ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"move 640,7"}));
}

TEST_F(ApplicationTest, FocusChangesActivateAndDeactivateOnlyOnChange)
{
    plat::Application app;
    Record(app);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);  // Already active: nothing.
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    app.ProcessMessages();
    EXPECT_EQ(Log, (std::vector<std::string>{"deactivate", "activate"}));
}

TEST_F(ApplicationTest, QuitRequestRunsTheHandlerOrEndsTheLoop)
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    plat::Application plain;
    SDL_PushEvent(&quit);
    plain.Run();  // Returns because the quit request terminates it.
    EXPECT_TRUE(plain.Terminated());

    plat::Application handled;
    int asked = 0;
    handled.OnQuit = [&] { ++asked; };
    SDL_PushEvent(&quit);
    handled.ProcessMessages();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(handled.Terminated());
}

TEST_F(ApplicationTest, CursorIsHiddenWhileTheCountIsNegative)
{
    plat::Application app;
    EXPECT_EQ(app.ShowCursor(false), -1);
    EXPECT_EQ(app.ShowCursor(false), -2);
    EXPECT_EQ(app.ShowCursor(true), -1);
    EXPECT_EQ(app.ShowCursor(true), 0);
}

TEST_F(ApplicationTest, SynchronizeRunsOnTheLoopThreadAndRethrows)
{
    plat::Application app;
    std::atomic<bool> ranOnLoop{false};
    std::thread worker([&] {
        const std::thread::id caller = std::this_thread::get_id();
        app.Synchronize([&] { ranOnLoop = std::this_thread::get_id() != caller; });
        EXPECT_THROW(app.Synchronize([] { throw std::runtime_error("boom"); }), std::runtime_error);
        app.Post([&] { app.Terminate(); });
    });
    app.Run();
    worker.join();
    EXPECT_TRUE(ranOnLoop.load());
}

// While no host's window is seen, window timers come at most once a second; posted work still
// ends the sleep at once, and a host seen again brings the timers back.
TEST_F(ApplicationTest, NobodySeeingHoldsTimersBackButNotPostedWork)
{
    using namespace std::chrono_literals;
    using Clock = std::chrono::steady_clock;
    plat::Application app;
    const int host = app.AddHost({});
    app.SetHostSeen(host, false);
    app.ProcessMessages();
    EXPECT_FALSE(app.Seen());
    int ticks = 0;
    app.SetTimer(20, [&] { ++ticks; });
    std::thread poster([&] {
        std::this_thread::sleep_for(1200ms);
        app.Post([&] { app.Terminate(); });
    });
    const auto start = Clock::now();
    app.Run();
    const auto ran = Clock::now() - start;
    poster.join();
    // Passes at the start (late enough on a busy machine for the timer to be due), after a second
    // and for the posted work: seen, a 20 ms timer would have run about 60 times.
    EXPECT_LE(ticks, 3) << "a 20 ms timer while nobody sees anything";
    EXPECT_LT(ran, 1800ms) << "posted work waited for the next held-back pass";

    app.SetHostSeen(host, true);
    const int before = ticks;
    for (const auto end = Clock::now() + 300ms; Clock::now() < end;)
        app.ProcessMessages();
    EXPECT_GE(ticks - before, 5) << "the timer stays held back once seen again";
}

// The UI thread's application object: the message loop and one pass of "process pending
// messages", window timers, work posted from other threads, the main window's input, the idle,
// activate and deactivate events, and the desktop services a window program asks of its
// application (message boxes, the mouse cursor's show count).
//
// Everything here runs on the thread that calls Run or ProcessMessages (the UI thread), except
// Post, WakeUp and Synchronize, which other threads call. Window timers fire only inside a pass of
// ProcessMessages, like the window system's timers they stand for, so code that waits on the UI
// thread keeps them (and input) flowing by calling ProcessMessages between slices of its wait.
//
// Between passes Run sleeps until there is something to do: the window system's events, work
// posted or a frame finished, a quit signal, or the next window timer. While no host's window can
// be seen, window timers are held back to one pass a second and the pointer is not asked, so a
// saver nobody sees hardly wakes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/app/PointerTrack.h"
#include "platform/gdi/Font.h"
#include "platform/net/TimerPump.h"
#include "platform/runtime/DescriptorWait.h"
#include "platform/timer/MultimediaTimer.h"

union SDL_Event;

namespace plat {

class ScreenPointer;

// A window system besides SDL whose events the application's passes deliver (the configuration
// dialog's toolkit). Installed, it is pumped on every pass, the loop sleeps in it instead of on
// the application's own condition, and its message boxes replace SDL's.
class TWindowSystem {
public:
    virtual ~TWindowSystem() = default;
    // Delivers the events pending now, without waiting.
    virtual void Pump() = 0;
    // Sleeps until an event arrives, Wake is called or Limit has passed; delivers what arrived.
    virtual void Wait(std::chrono::milliseconds Limit) = 0;
    // Any thread: ends a Wait early, or the next one at once when none is running.
    virtual void Wake() = 0;
    // Shows a modal message box; false when it cannot.
    virtual bool MessageBox(const std::string& Text, const std::string& Caption) = 0;
};

// The pump of the network client's waits (MessagePump) in the programs with windows.
class Application final : public MessagePump {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs passes of ProcessMessages until Terminate, sleeping while there is nothing to do.
    void Run();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }

    // One pass: the window system's input, due window timers, the work posted so far, then the
    // newest frame is shown.
    void ProcessMessages() override;

    // Any thread: queue work for the UI thread.
    void Post(Task ATask);
    // Any thread: end the loop's current sleep early, without queueing anything (a finished frame
    // is waiting to be shown).
    void WakeUp();
    // Another thread: run the work on the UI thread and wait for it; what it throws is rethrown
    // here. Returns false without running it once the application has terminated.
    bool Synchronize(const Task& ATask);

    // Window timers: OnTimer runs on the UI thread every Interval ms while the timer exists.
    int SetTimer(uint32_t IntervalMs, Task OnTimer) override;
    void KillTimer(int Id) override;

    // Runs when a pass found nothing to do. Setting Done to false asks for the next pass at once
    // instead of sleeping until there is work (a frame loop that draws as fast as it can).
    std::function<void(bool& Done)> OnIdle;

    // What a display host hears from the loop. Several hosts (one per monitor) run side by side,
    // each with its own: activation and deactivation follow the keyboard focus of all the
    // application's windows together, and every pass shows each host's newest finished frame.
    struct THostEvents {
        Task OnActivate;
        Task OnDeactivate;
        Task OnPresent;
    };
    int AddHost(THostEvents Events);
    void RemoveHost(int Id);
    // The application's windows gained (lost) the keyboard focus: every host hears it once.
    void Activate();
    void Deactivate();
    bool Focused() const { return FFocused; }
    // Whether anybody can see a host's window, as the host learnt it from its screen. The
    // application is seen while any host is (or there is none); OnSight tells each change, at
    // the end of the pass that brought it.
    void SetHostSeen(int Id, bool Seen);
    bool Seen() const { return FHosts.empty() || FUnseenHosts.size() < FHosts.size(); }
    std::function<void(bool Seen)> OnSight;

    // The input of the application's windows, delivered during ProcessMessages. KeyPress gets
    // characters (Escape is 27), KeyDown virtual key codes (F2 is 113). MouseMove gets the
    // pointer's position on the screen, reported once when input starts and then at every real
    // movement (TPointerTrack: windows placed or moved under a still pointer never count).
    std::function<void(char Key)> OnKeyPress;
    std::function<void(uint16_t Key)> OnKeyDown;
    std::function<void(int X, int Y)> OnMouseMove;
    // The pointer's place now is where movements are measured from, also those made before
    // OnMouseMove is set (while the saver sets up its scene); where the window system cannot
    // tell, the first movement after OnMouseMove is set is the start.
    void MarkPointerStart();
    // The window system or a quit signal (see CatchQuitSignals) asks the program to end; runs on
    // the UI thread during ProcessMessages. Without a handler the loop ends.
    Task OnQuit;
    // What a quit request does: OnQuit, or Terminate when there is none.
    void Quit();

    // Shows Text in a modal box with an OK button and waits for it to be closed; without a
    // display the text goes to the standard error stream instead.
    void MessageBox(const std::string& Text, const std::string& Caption);
    // The standard report of an exception that reached the top: its message, captioned with the
    // application's title.
    void ShowException(const std::exception& E);
    std::string Title = "Solvane Screensaver";

    // The cursor is shown while the show count is at least 0; returns the new count.
    int ShowCursor(bool Show);

    // The fonts the application's windows draw text with (any thread), and the frame timers of
    // its display hosts, each on a thread of its own; timers still running when the application
    // goes are stopped before its fonts go.
    FontCache& Fonts() { return FFonts; }
    MultimediaTimers& FrameTimers() { return FFrameTimers; }

    // UI thread, before other threads post work: pump (and sleep in) this window system too;
    // null goes back to SDL alone. The application does not own it.
    void SetWindowSystem(TWindowSystem* System);

    // From now on every application of the process takes SDL's input on each pass and shows its
    // message boxes through SDL when no installed window system does. The programs that draw
    // with SDL switch it on (StartSdlVideo does); the others (the settings dialog, the
    // command-line tools) then link no SDL. Any thread; more than once is harmless.
    static void UseSdl();

private:
    using Clock = std::chrono::steady_clock;
    void PumpInput();
    // SDL's side of input (sdl/AppInput.cpp): one event, the window and display events that bear on
    // the pointer and the focus, and the pointer's position on the screen.
    void DispatchEvent(const SDL_Event& Event);
    void FollowWindowEvent(const SDL_Event& Event);
    void MovePointerTo(int X, int Y);
    void TrackScreenPointer();
    ScreenPointer& ScreenPointerOf();
    void PresentHosts();
    void FollowSight();
    std::vector<int> HostIds() const;
    // Set by UseSdl (sdl/AppDesktop.cpp), so that this file's loop does not reference SDL.
    static std::atomic<void (*)(Application&)> FSdlInput;
    static std::atomic<bool (*)(const std::string& Text, const std::string& Caption)> FSdlMessageBox;
    // Sleeps until one of Waits is ready, the window system has events or TimeoutMs has passed.
    static std::atomic<void (*)(std::vector<TDescriptorWait>& Waits, int TimeoutMs)> FSdlWait;
    static void UseSdlWait();
    void RunPosted();
    void WaitForWork();
    int SleepMs() const;
    // Clears the wake-up counter; true when it had been woken.
    bool TakeWakeUps();

    // Read by threads that call Synchronize.
    std::atomic<bool> FTerminated{false};
    std::mutex FLock;
    std::deque<Task> FPosted;
    // Readable while a wake-up (posted work, a finished frame) waits to be taken; any thread.
    int FWakeFd = -1;
    TimerPump FTimers;
    bool FFocused = true;
    std::map<int, THostEvents> FHosts;
    std::set<int> FUnseenHosts;
    bool FToldSeen = true;  // what OnSight said last
    int FNextHostId = 1;
    TPointerTrack FPointer;
    // Made when first asked, by the SDL input code; shared so that this header needs no X11.
    std::shared_ptr<ScreenPointer> FScreenPointer;
    Clock::time_point FPointerAskedAt{};
    Clock::time_point FScreenChangedAt{};
    bool FFocusChanged = false;  // a window of ours gained the focus since the pointer was last asked
    std::pair<int, int> FScreenSize{0, 0};
    int FCursorCount = 0;
    std::atomic<TWindowSystem*> FWindowSystem{nullptr};
    FontCache FFonts;
    MultimediaTimers FFrameTimers;
};

// The process's application object.
Application& App();

// From now on SIGTERM, SIGINT and SIGHUP do not kill the process: each becomes one quit request
// that the next ProcessMessages pass (of whichever application runs one first) delivers as Quit()
// on its UI thread (at once while Run is looping: the signal wakes its sleep). A second signal of
// the same kind, arriving while the first is still being handled, ends the process the default
// way. Call once, early, from the main thread.
void CatchQuitSignals();
// Any thread, also a signal handler or a library's callback: the next ProcessMessages pass delivers
// a quit request, as for a caught signal (the window system went away under the program); after
// CatchQuitSignals it also ends the loop's sleep.
void RequestQuit();
// True once per caught quit signal or RequestQuit; ProcessMessages asks it.
bool TakeQuitSignal();
// Readable while a quit request waits to be taken (-1 before CatchQuitSignals).
int QuitSignalFd();

}  // namespace plat

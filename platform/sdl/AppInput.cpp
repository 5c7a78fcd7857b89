// The window system's input turned into the application's events: SDL's key symbols become the
// virtual key codes and characters the saver's handlers expect, the pointer becomes positions on
// the screen (TPointerTrack), and focus changes become the application's activate and deactivate
// events.
#include "platform/app/Application.h"
#include "platform/x11/ScreenPointer.h"

#include <SDL.h>

namespace plat {
namespace {

struct KeyCode {
    SDL_Keycode Sym;
    uint16_t VirtualKey;
};

// Keys outside the letter, digit and function-key ranges that have a virtual key code.
constexpr KeyCode kNamedKeys[] = {
    {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},       {SDLK_RETURN, 13}, {SDLK_LSHIFT, 16}, {SDLK_RSHIFT, 16}, {SDLK_LCTRL, 17},
    {SDLK_RCTRL, 17},    {SDLK_LALT, 18},     {SDLK_RALT, 18},   {SDLK_PAUSE, 19},  {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},   {SDLK_PAGEDOWN, 34}, {SDLK_END, 35},    {SDLK_HOME, 36},   {SDLK_LEFT, 37},   {SDLK_UP, 38},
    {SDLK_RIGHT, 39},    {SDLK_DOWN, 40},     {SDLK_INSERT, 45}, {SDLK_DELETE, 46},
};

uint16_t VirtualKeyOf(SDL_Keycode Sym)
{
    if (Sym >= SDLK_a && Sym <= SDLK_z)
        return static_cast<uint16_t>('A' + (Sym - SDLK_a));
    if (Sym >= SDLK_0 && Sym <= SDLK_9)
        return static_cast<uint16_t>('0' + (Sym - SDLK_0));
    if (Sym >= SDLK_F1 && Sym <= SDLK_F12)
        return static_cast<uint16_t>(112 + (Sym - SDLK_F1));
    for (const KeyCode& key : kNamedKeys)
        if (key.Sym == Sym)
            return key.VirtualKey;
    return 0;
}

// Control characters that a key produces without any text input.
char ControlCharOf(SDL_Keycode Sym)
{
    switch (Sym) {
    case SDLK_ESCAPE: return 27;
    case SDLK_RETURN: return 13;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    default: return 0;
    }
}

// Events of a window that no longer exists (the display layer may replace its first window when
// that one does not cover the display) carry positions in that window's coordinates: drop them.
// A key means the same whichever window had it, so a key pressed while a window was replaced
// still counts.
bool FromVanishedWindow(const SDL_Event& Event)
{
    Uint32 window = 0;
    switch (Event.type) {
    case SDL_MOUSEMOTION: window = Event.motion.windowID; break;
    case SDL_WINDOWEVENT: window = Event.window.windowID; break;
    default: return false;
    }
    return window != 0 && SDL_GetWindowFromID(window) == nullptr;
}

// The pointer's place on the screen is asked at most this often while no motion arrives: often
// enough to notice a movement over something that is not the saver's, rare enough to cost nothing.
constexpr std::chrono::milliseconds kPointerPoll{50};
// How long after the screen changed its size (a monitor came or went) the pointer may still be put
// somewhere by the window system or the window manager rather than by the user (seen: a quarter of
// a second after a monitor went).
constexpr std::chrono::milliseconds kScreenChangeSettles{1000};

// On X11 the pointer's place on the screen can be asked at any time. Elsewhere (Wayland) only
// window-relative positions exist; a full-screen window's display origin makes them screen
// positions.
bool ScreenPointerKnown()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && SDL_strcmp(driver, "x11") == 0;
}

void ScreenPositionOf(const SDL_MouseMotionEvent& Motion, int& X, int& Y)
{
    X = Motion.x;
    Y = Motion.y;
    SDL_Window* window = SDL_GetWindowFromID(Motion.windowID);
    SDL_Rect bounds{};
    if (window != nullptr && SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &bounds) == 0) {
        X += bounds.x;
        Y += bounds.y;
    }
}

}  // namespace

void Application::PumpInput()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (!FromVanishedWindow(event))
            DispatchEvent(event);
    TrackScreenPointer();
}

void Application::DispatchEvent(const SDL_Event& Event)
{
    switch (Event.type) {
    case SDL_KEYDOWN: {
        const uint16_t key = VirtualKeyOf(Event.key.keysym.sym);
        if (key != 0 && OnKeyDown)
            OnKeyDown(key);
        const char ch = ControlCharOf(Event.key.keysym.sym);
        if (ch != 0 && OnKeyPress)
            OnKeyPress(ch);
        break;
    }
    case SDL_TEXTINPUT:
        for (const char* p = Event.text.text; *p && OnKeyPress; ++p)
            OnKeyPress(*p);
        break;
    case SDL_MOUSEMOTION:
        if (!ScreenPointerKnown()) {
            int x = 0, y = 0;
            ScreenPositionOf(Event.motion, x, y);
            MovePointerTo(x, y);
        } else {
            FPointerAskedAt = {};  // ask at the end of this pass
        }
        break;
    case SDL_WINDOWEVENT:
    case SDL_DISPLAYEVENT: FollowWindowEvent(Event); break;
    case SDL_QUIT: Quit(); break;
    default: break;
    }
}

// Focus passing from one of the application's windows to another is no deactivation; a window
// placed, resized or entered, or a monitor that came or went, moves no pointer.
void Application::FollowWindowEvent(const SDL_Event& Event)
{
    if (Event.type == SDL_DISPLAYEVENT) {
        FScreenChangedAt = Clock::now();
        FPointer.RebaseAtNextMove();
        return;
    }
    switch (Event.window.event) {
    // A window manager may put the pointer on the window it focuses (i3 does, on another monitor),
    // which only a server that tells device motion tells from a real movement (TrackScreenPointer).
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        FFocusChanged = true;
        // The next answer tells where the pointer is from now on.
        FPointerAskedAt = {};
        if (FScreenPointer)
            FScreenPointer->Forget();
        if (!FFocused)
            Activate();
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (FFocused && SDL_GetKeyboardFocus() == nullptr)
            Deactivate();
        break;
    // Window-relative positions (all there is without X11) shift with the window.
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_HIDDEN:
    case SDL_WINDOWEVENT_MOVED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_ENTER:
        if (!ScreenPointerKnown() && FPointer.Seeded())
            FPointer.RebaseAtNextMove();
        break;
    default: break;
    }
}

// Nothing is measured before someone listens, unless MarkPointerStart fixed the start earlier.
void Application::MovePointerTo(int X, int Y)
{
    if (!OnMouseMove)
        return;
    int x = 0, y = 0;
    const bool moved = FPointer.Move(X, Y, x, y);
    int startX = 0, startY = 0;
    if (FPointer.TakeStart(startX, startY))
        OnMouseMove(startX, startY);
    if (moved && OnMouseMove)
        OnMouseMove(x, y);
}

void Application::MarkPointerStart()
{
    ScreenPointer::State now;
    if (!ScreenPointerKnown() || !ScreenPointerOf().Query(now))
        return;
    FPointer.Seed(now.X, now.Y);
    FScreenSize = {now.ScreenWidth, now.ScreenHeight};
}

// Where no pointing device moved the pointer since the last look, a program put it elsewhere (a
// window manager placing or focusing windows): measuring goes on from there. A server that does not
// tell device motion leaves guessing: a screen that changed its size (a monitor came or went), or a
// window of ours the window manager focused since the last look, may have had the pointer moved.
// The question goes out at one pass and its answer is taken at a later one (passes come with every
// frame), so asking costs no wake-up of its own. While nobody sees any window of ours the pointer
// is not asked: a movement made meanwhile is seen when the saver is seen again, measured from
// where it started (the devices' motion meanwhile is kept for that look).
void Application::TrackScreenPointer()
{
    if (!OnMouseMove || !ScreenPointerKnown())
        return;
    if (!Seen()) {
        if (FScreenPointer)
            FScreenPointer->KeepMotion();
        return;
    }
    ScreenPointer& pointer = ScreenPointerOf();
    const auto now = Clock::now();
    ScreenPointer::State state;
    const bool answered = pointer.Answer(state);
    if (now - FPointerAskedAt >= kPointerPoll) {
        FPointerAskedAt = now;
        pointer.Ask();
    }
    if (!answered)
        return;
    const std::pair<int, int> size{state.ScreenWidth, state.ScreenHeight};
    if (size != FScreenSize)
        FScreenChangedAt = now;
    FScreenSize = size;
    const bool rearranged =
        state.DeviceMoved ? !*state.DeviceMoved : FFocusChanged || now - FScreenChangedAt < kScreenChangeSettles;
    FFocusChanged = false;
    if (rearranged && FPointer.Seeded())
        FPointer.Rebase(state.X, state.Y);
    MovePointerTo(state.X, state.Y);
}

ScreenPointer& Application::ScreenPointerOf()
{
    if (!FScreenPointer)
        FScreenPointer = std::make_shared<ScreenPointer>();
    return *FScreenPointer;
}

}  // namespace plat

// The window system's input turned into the main window's events: SDL's key symbols become the
// virtual key codes and characters the saver's handlers expect, focus changes become the
// application's activate and deactivate events.
#include "platform/app/Application.h"

#include <SDL.h>

namespace plat {
namespace {

struct KeyCode {
    SDL_Keycode Sym;
    uint16_t VirtualKey;
};

// Keys outside the letter, digit and function-key ranges that have a virtual key code.
constexpr KeyCode kNamedKeys[] = {
    {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},     {SDLK_RETURN, 13},  {SDLK_LSHIFT, 16},
    {SDLK_RSHIFT, 16},   {SDLK_LCTRL, 17},  {SDLK_RCTRL, 17},   {SDLK_LALT, 18},
    {SDLK_RALT, 18},     {SDLK_PAUSE, 19},  {SDLK_ESCAPE, 27},  {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},   {SDLK_PAGEDOWN, 34}, {SDLK_END, 35},   {SDLK_HOME, 36},
    {SDLK_LEFT, 37},     {SDLK_UP, 38},     {SDLK_RIGHT, 39},   {SDLK_DOWN, 40},
    {SDLK_INSERT, 45},   {SDLK_DELETE, 46},
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
bool FromVanishedWindow(const SDL_Event& Event)
{
    Uint32 window = 0;
    switch (Event.type) {
    case SDL_MOUSEMOTION: window = Event.motion.windowID; break;
    case SDL_WINDOWEVENT: window = Event.window.windowID; break;
    case SDL_KEYDOWN: window = Event.key.windowID; break;
    default: return false;
    }
    return window != 0 && SDL_GetWindowFromID(window) == nullptr;
}

}  // namespace

void Application::PumpInput()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (FromVanishedWindow(event))
            continue;
        switch (event.type) {
        case SDL_KEYDOWN: {
            const uint16_t key = VirtualKeyOf(event.key.keysym.sym);
            if (key != 0 && OnKeyDown)
                OnKeyDown(key);
            const char ch = ControlCharOf(event.key.keysym.sym);
            if (ch != 0 && OnKeyPress)
                OnKeyPress(ch);
            break;
        }
        case SDL_TEXTINPUT:
            for (const char* p = event.text.text; *p && OnKeyPress; ++p)
                OnKeyPress(*p);
            break;
        case SDL_MOUSEMOTION:
            if (OnMouseMove)
                OnMouseMove(event.motion.x, event.motion.y);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && !FFocused) {
                FFocused = true;
                if (OnActivate)
                    OnActivate();
            } else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST && FFocused) {
                FFocused = false;
                if (OnDeactivate)
                    OnDeactivate();
            }
            break;
        case SDL_QUIT:
            Quit();
            break;
        default:
            break;
        }
    }
}

}  // namespace plat

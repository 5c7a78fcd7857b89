#include "platform/x11/ScreenPointer.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace plat {
namespace {

std::string DisplayName()
{
    const char* name = std::getenv("DISPLAY");
    return name != nullptr ? name : "";
}

}  // namespace

struct ScreenPointer::Connection {
    explicit Connection(std::string AName) : Name(std::move(AName))
    {
        int screenNumber = 0;
        C = xcb_connect(Name.empty() ? nullptr : Name.c_str(), &screenNumber);
        xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(C));
        for (int i = 0; screens.rem > 0 && i < screenNumber; ++i)
            xcb_screen_next(&screens);
        if (!xcb_connection_has_error(C) && screens.rem > 0)
            Root = screens.data->root;
    }
    ~Connection() { xcb_disconnect(C); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    const std::string Name;
    xcb_connection_t* C = nullptr;
    xcb_window_t Root = 0;
};

ScreenPointer::ScreenPointer() = default;

ScreenPointer::~ScreenPointer() = default;

bool ScreenPointer::Connected()
{
    const std::string name = DisplayName();
    if (FConnection && (FConnection->Name != name || xcb_connection_has_error(FConnection->C)))
        FConnection.reset();
    if (!FConnection && !name.empty())
        FConnection = std::make_unique<Connection>(name);
    return FConnection && FConnection->Root != 0;
}

bool ScreenPointer::Query(State& Now)
{
    if (!Connected())
        return false;
    xcb_connection_t* c = FConnection->C;
    // Both questions go out before either answer is awaited: one round trip.
    const xcb_query_pointer_cookie_t pointerCookie = xcb_query_pointer(c, FConnection->Root);
    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(c, FConnection->Root);
    xcb_query_pointer_reply_t* pointer = xcb_query_pointer_reply(c, pointerCookie, nullptr);
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, geometryCookie, nullptr);
    const bool answered = pointer != nullptr && geometry != nullptr;
    if (answered)
        Now = State{pointer->root_x, pointer->root_y, geometry->width, geometry->height};
    std::free(pointer);
    std::free(geometry);
    return answered;
}

}  // namespace plat

#include "platform/x11/ScreenPointer.h"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

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

// The two replies come in the order asked; each is taken once it is there.
struct ScreenPointer::Question {
    xcb_query_pointer_cookie_t Pointer;
    xcb_get_geometry_cookie_t Geometry;
    xcb_query_pointer_reply_t* PointerReply = nullptr;
    ~Question() { std::free(PointerReply); }
};

ScreenPointer::ScreenPointer() = default;

ScreenPointer::~ScreenPointer()
{
    Forget();
}

bool ScreenPointer::Connected()
{
    const std::string name = DisplayName();
    if (FConnection && (FConnection->Name != name || xcb_connection_has_error(FConnection->C))) {
        Forget();
        FConnection.reset();
    }
    if (!FConnection && !name.empty())
        FConnection = std::make_unique<Connection>(name);
    return FConnection && FConnection->Root != 0;
}

bool ScreenPointer::Query(State& Now)
{
    Forget();
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

void ScreenPointer::Ask()
{
    if (FAsked || !Connected())
        return;
    xcb_connection_t* c = FConnection->C;
    FAsked = std::make_unique<Question>();
    FAsked->Pointer = xcb_query_pointer(c, FConnection->Root);
    FAsked->Geometry = xcb_get_geometry(c, FConnection->Root);
    xcb_flush(c);
}

bool ScreenPointer::Answer(State& Now)
{
    if (!FAsked || !Connected())
        return false;
    xcb_connection_t* c = FConnection->C;
    void* reply = nullptr;
    if (FAsked->PointerReply == nullptr) {
        if (!xcb_poll_for_reply(c, FAsked->Pointer.sequence, &reply, nullptr))
            return false;
        if (reply == nullptr) {  // refused: nothing more will come of this question
            Forget();
            return false;
        }
        FAsked->PointerReply = static_cast<xcb_query_pointer_reply_t*>(reply);
    }
    if (!xcb_poll_for_reply(c, FAsked->Geometry.sequence, &reply, nullptr))
        return false;
    auto* geometry = static_cast<xcb_get_geometry_reply_t*>(reply);
    const bool answered = geometry != nullptr;
    if (answered)
        Now = State{FAsked->PointerReply->root_x, FAsked->PointerReply->root_y, geometry->width, geometry->height};
    std::free(geometry);
    FAsked.reset();
    return answered;
}

// The replies of a question dropped before they came are thrown away when they come.
void ScreenPointer::Forget()
{
    if (!FAsked)
        return;
    if (FConnection) {
        if (FAsked->PointerReply == nullptr)
            xcb_discard_reply(FConnection->C, FAsked->Pointer.sequence);
        xcb_discard_reply(FConnection->C, FAsked->Geometry.sequence);
    }
    FAsked.reset();
}

}  // namespace plat

#include "platform/x11/ScreenPointer.h"

#include <xcb/xcb.h>
#include <xcb/xcbext.h>
#include <xcb/xinput.h>

#include <cstdlib>
#include <utility>

namespace plat {
namespace {

std::string DisplayName()
{
    const char* name = std::getenv("DISPLAY");
    return name != nullptr ? name : "";
}

// Raw motion of every master pointer on the root window. From XInput 2.1 on the server sends it
// whoever grabbed the pointer (a menu, a screen locker); 2.0 would leave it out during grabs.
// Answers the extension's opcode, 0 when the server offers no such events.
uint8_t WatchRawMotion(xcb_connection_t* C, xcb_window_t Root)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(C, &xcb_input_id);
    if (extension == nullptr || !extension->present)
        return 0;
    xcb_input_xi_query_version_reply_t* version =
        xcb_input_xi_query_version_reply(C, xcb_input_xi_query_version(C, 2, 2), nullptr);
    const bool raw = version != nullptr && version->major_version * 100 + version->minor_version >= 201;
    std::free(version);
    if (!raw)
        return 0;
    struct {
        xcb_input_event_mask_t Head;
        uint32_t Bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
    xcb_generic_error_t* error = xcb_request_check(C, xcb_input_xi_select_events_checked(C, Root, 1, &mask.Head));
    std::free(error);
    return error == nullptr ? extension->major_opcode : 0;
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
        if (!xcb_connection_has_error(C) && screens.rem > 0) {
            Root = screens.data->root;
            XInput = WatchRawMotion(C, Root);
        }
    }
    ~Connection() { xcb_disconnect(C); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Whether a device's raw motion led the pointer to X, Y, the answer to the question numbered
    // Asked. The server may send the raw motion, answer a question and only then move the pointer
    // (seen on Xorg): a raw motion whose answer shows no change of place counts for the next answer
    // too (beyond that, it was a pointer pushed against the screen's edge, which stays where it is).
    // Raw motion the server made after answering belongs to the next answer: a hand's small move
    // just after a window manager's warp must not turn the warp into the hand's.
    std::optional<bool> DeviceMovedTo(int X, int Y, uint32_t Asked)
    {
        if (XInput == 0)
            return std::nullopt;
        TakeRawMotion(Asked);
        const bool moved = std::make_pair(X, Y) != Place;
        Place = {X, Y};
        const bool device = RawMotion || MotionNotShown;
        MotionNotShown = RawMotion && !moved;
        RawMotion = LaterMotion;
        LaterMotion = false;
        return device;
    }

    // Takes the events that came in so far, noting a device's raw motion among them: made before
    // the server took the question numbered Asked, or after it (0: no question, all before).
    void TakeRawMotion(uint32_t Asked = 0)
    {
        while (xcb_generic_event_t* event = xcb_poll_for_event(C)) {
            const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
            const bool raw = (event->response_type & 0x7F) == XCB_GE_GENERIC && generic->extension == XInput &&
                generic->event_type == XCB_INPUT_RAW_MOTION;
            // An event carries the number of the last request the server had taken when it made it.
            const bool after = Asked != 0 && static_cast<int32_t>(event->full_sequence - Asked) >= 0;
            (after ? LaterMotion : RawMotion) |= raw;
            std::free(event);
        }
    }

    const std::string Name;
    xcb_connection_t* C = nullptr;
    xcb_window_t Root = 0;
    uint8_t XInput = 0;  // the extension's opcode while raw motion is watched
    bool RawMotion = false;  // taken since the last answer, made before the next question
    bool LaterMotion = false;  // taken, made after the question being answered
    bool MotionNotShown = false;  // raw motion came, the last answer showed no change of place
    std::pair<int, int> Place{-1, -1};  // where the last answer put the pointer
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

void ScreenPointer::KeepMotion()
{
    if (FConnection && FConnection->XInput != 0)
        FConnection->TakeRawMotion();
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
        Now = State{pointer->root_x, pointer->root_y, geometry->width, geometry->height,
                    FConnection->DeviceMovedTo(pointer->root_x, pointer->root_y, pointerCookie.sequence)};
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
        Now = State{FAsked->PointerReply->root_x, FAsked->PointerReply->root_y, geometry->width, geometry->height,
                    FConnection->DeviceMovedTo(FAsked->PointerReply->root_x, FAsked->PointerReply->root_y,
                                               FAsked->Pointer.sequence)};
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

#include "platform/x11/WindowSight.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/dpms.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;

// How often the DPMS level is asked where the server offers DPMS: a monitor that wakes up takes
// longer than this to show a picture.
constexpr std::chrono::milliseconds kPowerAsk{2000};

}  // namespace

struct WindowSight::Connection {
    explicit Connection(const std::string& Name) : C(xcb_connect(Name.empty() ? nullptr : Name.c_str(), nullptr)) {}
    ~Connection() { xcb_disconnect(C); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool Broken() const { return xcb_connection_has_error(C) != 0; }

    xcb_connection_t* const C;
    bool Dpms = false;
};

WindowSight::WindowSight(const std::string& DisplayName, uint32_t Window, std::function<void()> OnChange)
    : FConnection(std::make_unique<Connection>(DisplayName)), FOnChange(std::move(OnChange))
{
    xcb_connection_t* c = FConnection->C;
    if (FConnection->Broken())
        return;
    // Selected before the map state is read, so a later change arrives as an event. Any number of
    // clients may select these on a window.
    const uint32_t mask = XCB_EVENT_MASK_VISIBILITY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, Window, XCB_CW_EVENT_MASK, &mask);
    if (auto* attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, Window), nullptr)) {
        FMapped = attributes->map_state != XCB_MAP_STATE_UNMAPPED;
        std::free(attributes);
    }
    const xcb_query_extension_reply_t* dpms = xcb_get_extension_data(c, &xcb_dpms_id);
    FConnection->Dpms = dpms != nullptr && dpms->present;
    if (FConnection->Dpms)
        AskPowerLevel();
    FSeen = FMapped && !FCovered && !FPoweredOff;
    FStop = eventfd(0, EFD_CLOEXEC);
    if (FStop >= 0)
        FThread = std::thread([this] { Run(); });
}

WindowSight::~WindowSight()
{
    if (FThread.joinable()) {
        const uint64_t one = 1;
        (void)!write(FStop, &one, sizeof one);
        FThread.join();
    }
    if (FStop >= 0)
        close(FStop);
}

void WindowSight::Run()
{
    xcb_connection_t* c = FConnection->C;
    pollfd fds[2] = {{xcb_get_file_descriptor(c), POLLIN, 0}, {FStop, POLLIN, 0}};
    auto nextAsk = Clock::now() + kPowerAsk;
    while (!FConnection->Broken()) {
        if (FConnection->Dpms && Clock::now() >= nextAsk) {
            AskPowerLevel();
            nextAsk = Clock::now() + kPowerAsk;
        }
        // Reading a reply (the start's questions, the power level) also reads the events that
        // came before it into the connection's queue, where the descriptor no longer shows them:
        // the window mapped while the start asked, left there, would count as unmapped for good.
        TakeEvents();
        Decide();
        const auto untilAsk = std::chrono::duration_cast<std::chrono::milliseconds>(nextAsk - Clock::now());
        const int timeout = FConnection->Dpms ? static_cast<int>(std::max<int64_t>(untilAsk.count(), 0)) : -1;
        if (poll(fds, 2, timeout) < 0 && errno != EINTR)
            break;
        if (fds[1].revents != 0)
            return;
    }
    // A server that went away shows nothing, but whoever watches learns that from the server's
    // own connection; here the window counts as seen again, as without a watcher.
    FMapped = true;
    FCovered = FPoweredOff = false;
    Decide();
}

void WindowSight::TakeEvents()
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection->C)) {
        switch (event->response_type & 0x7F) {
        case XCB_VISIBILITY_NOTIFY:
            FCovered = reinterpret_cast<xcb_visibility_notify_event_t*>(event)->state == XCB_VISIBILITY_FULLY_OBSCURED;
            break;
        case XCB_MAP_NOTIFY: FMapped = true; break;
        // A window manager hides a window by unmapping it (another workspace, iconified).
        case XCB_UNMAP_NOTIFY:
        case XCB_DESTROY_NOTIFY: FMapped = false; break;
        default: break;
        }
        std::free(event);
    }
}

void WindowSight::AskPowerLevel()
{
    xcb_connection_t* c = FConnection->C;
    xcb_dpms_info_reply_t* info = xcb_dpms_info_reply(c, xcb_dpms_info(c), nullptr);
    if (info == nullptr)
        return;
    // Standby, suspend and off all leave the monitors dark.
    FPoweredOff = info->power_level != XCB_DPMS_DPMS_MODE_ON;
    std::free(info);
}

void WindowSight::Decide()
{
    const bool seen = FMapped && !FCovered && !FPoweredOff;
    const bool covered = FMapped && FCovered;
    if (seen == FSeen.load(std::memory_order_relaxed) && covered == FCoveredSeen.load(std::memory_order_relaxed))
        return;
    FCoveredSeen.store(covered, std::memory_order_release);
    FSeen.store(seen, std::memory_order_release);
    if (FOnChange)
        FOnChange();
}

}  // namespace plat

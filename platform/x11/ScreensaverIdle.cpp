#include "platform/x11/ScreensaverIdle.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>

namespace plat {
namespace {

class ScreensaverIdle final : public IdleSource {
public:
    ScreensaverIdle(xcb_connection_t* Connection, xcb_window_t Root) : FConnection(Connection), FRoot(Root) {}
    ~ScreensaverIdle() override;
    ScreensaverIdle(const ScreensaverIdle&) = delete;
    ScreensaverIdle& operator=(const ScreensaverIdle&) = delete;

    // Takes the server's screensaver for the watcher; the reason in Error when it cannot.
    bool Take(int Seconds, std::string& Error);

    const char* Name() const override { return "the X server's screensaver timer"; }
    int Descriptor() const override { return xcb_get_file_descriptor(FConnection); }
    TIdleNews Read() override;
    void Restart() override;
    void Resume() override;

private:
    xcb_connection_t* FConnection;
    xcb_window_t FRoot;
    uint8_t FFirstEvent = 0;
    bool FTaken = false;
    xcb_get_screen_saver_reply_t FUsers{};  // the user's own timeout and blanking, given back
};

ScreensaverIdle::~ScreensaverIdle()
{
    if (FTaken && !xcb_connection_has_error(FConnection)) {
        xcb_screensaver_unset_attributes(FConnection, FRoot);
        xcb_set_screen_saver(FConnection, FUsers.timeout, FUsers.interval, FUsers.prefer_blanking,
                             FUsers.allow_exposures);
        // A round trip, so the server has both before the connection closes.
        std::free(xcb_get_input_focus_reply(FConnection, xcb_get_input_focus(FConnection), nullptr));
    }
    xcb_disconnect(FConnection);
}

bool ScreensaverIdle::Take(int Seconds, std::string& Error)
{
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(FConnection, &xcb_screensaver_id);
    if (extension == nullptr || !extension->present) {
        Error = "the X server has no MIT-SCREEN-SAVER extension";
        return false;
    }
    FFirstEvent = extension->first_event;
    // The server's saver becomes a window nobody sees; only one client may set it.
    const xcb_void_cookie_t window = xcb_screensaver_set_attributes_checked(
        FConnection, FRoot, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, 0, XCB_COPY_FROM_PARENT, 0, nullptr);
    if (xcb_generic_error_t* refused = xcb_request_check(FConnection, window)) {
        std::free(refused);
        Error = "another program keeps the X server's screensaver for itself";
        return false;
    }
    xcb_get_screen_saver_reply_t* users =
        xcb_get_screen_saver_reply(FConnection, xcb_get_screen_saver(FConnection), nullptr);
    if (users == nullptr) {
        Error = "the X server does not tell its screensaver settings";
        return false;
    }
    FUsers = *users;
    std::free(users);
    FTaken = true;
    xcb_set_screen_saver(FConnection, static_cast<int16_t>(Seconds), FUsers.interval, FUsers.prefer_blanking,
                         FUsers.allow_exposures);
    xcb_screensaver_select_input(FConnection, FRoot, XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
    Restart();  // the watcher's idle time counts from its start
    return true;
}

TIdleNews ScreensaverIdle::Read()
{
    TIdleNews news = TIdleNews::Nothing;
    while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection)) {
        if ((event->response_type & 0x7f) == FFirstEvent + XCB_SCREENSAVER_NOTIFY &&
            reinterpret_cast<xcb_screensaver_notify_event_t*>(event)->state == XCB_SCREENSAVER_STATE_ON)
            news = TIdleNews::Idle;
        std::free(event);
    }
    return xcb_connection_has_error(FConnection) ? TIdleNews::Gone : news;
}

void ScreensaverIdle::Restart()
{
    // Turns the server's saver off and starts its timer anew, as input would.
    xcb_force_screen_saver(FConnection, XCB_SCREEN_SAVER_RESET);
    xcb_flush(FConnection);
}

void ScreensaverIdle::Resume()
{
    // Input turned the server's saver off and its timer counts from that input; while it is still
    // on, nobody used the session since.
    xcb_screensaver_query_info_reply_t* info =
        xcb_screensaver_query_info_reply(FConnection, xcb_screensaver_query_info(FConnection, FRoot), nullptr);
    if (info == nullptr || info->state == XCB_SCREENSAVER_STATE_ON)
        Restart();
    std::free(info);
}

}  // namespace

std::unique_ptr<IdleSource> OpenScreensaverIdle(int Seconds, std::string& Error)
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        Error = "cannot open the X display";
        return nullptr;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(connection);
        Error = "the X display has no such screen";
        return nullptr;
    }
    auto source = std::make_unique<ScreensaverIdle>(connection, screens.data->root);
    if (!source->Take(Seconds, Error))
        return nullptr;
    return source;
}

}  // namespace plat

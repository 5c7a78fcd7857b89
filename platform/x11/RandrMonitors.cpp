#include "platform/x11/RandrMonitors.h"
#include "platform/x11/DisplayLoss.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <vector>

namespace plat {
namespace {

class RandrMonitorList : public DisplayList {
public:
    explicit RandrMonitorList(Display* D) : FDisplay(D)
    {
        XRRSelectInput(D, DefaultRootWindow(D),
                       RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    }
    ~RandrMonitorList() override { XCloseDisplay(FDisplay); }
    RandrMonitorList(const RandrMonitorList&) = delete;
    RandrMonitorList& operator=(const RandrMonitorList&) = delete;

    int Count() const override
    {
        if (FRead && !Announced())
            return static_cast<int>(FMonitors.size());
        FRead = true;
        FMonitors.clear();
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(FDisplay, DefaultRootWindow(FDisplay), True, &count);
        for (int i = 0; i < count; ++i)
            FMonitors.push_back(TRect{monitors[i].x, monitors[i].y, monitors[i].x + monitors[i].width,
                                      monitors[i].y + monitors[i].height});
        if (monitors != nullptr)
            XRRFreeMonitors(monitors);
        return static_cast<int>(FMonitors.size());
    }
    TRect Bounds(int Index) const override
    {
        return Index >= 0 && Index < static_cast<int>(FMonitors.size()) ? FMonitors[static_cast<size_t>(Index)]
                                                                        : TRect{};
    }

private:
    // Takes the change notices that arrived (reading them does not wait).
    bool Announced() const
    {
        bool any = false;
        while (XPending(FDisplay) > 0) {
            XEvent event;
            XNextEvent(FDisplay, &event);
            any = true;
        }
        return any;
    }

    Display* FDisplay;
    mutable std::vector<TRect> FMonitors;
    mutable bool FRead = false;
};

}  // namespace

std::shared_ptr<DisplayList> RandrMonitors()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return nullptr;
    SurviveDisplayLoss(display);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105) {
        XCloseDisplay(display);
        return nullptr;
    }
    auto list = std::make_shared<RandrMonitorList>(display);
    if (list->Count() == 0)
        return nullptr;
    return list;
}

}  // namespace plat

// The full-screen saver on a desktop of one or more monitors: one saver window (a TForm1 with its
// own display host and scene) over each monitor, so every monitor shows the moving coast.
//
// The first window is the main one: it plays the music and sets the volume, runs the feeds, and
// takes the input, which reaches the application from any of the windows, so input on any monitor
// ends the saver. The others are companions: they show the gadget values the main window's feeds
// read (copied over a few times a second), and end with it. A monitor that comes or goes while the
// saver runs is covered or let go within a quarter of a second plus the set-up of its scene; when
// the main window's monitor goes, the main window moves to another monitor.
//
// A screensaver daemon's start (HackMode, without monitors) is the same saver in one window, the
// daemon's, which it neither pins nor follows.
//
// Order of calls (UI thread): construct -> Start -> the application's loop -> Stop -> destruct.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/types/Geometry.h"

class TForm1;
struct TScenePicture;

namespace plat {
class Application;
class DisplayList;
class Screen;
}  // namespace plat

class TSaverSession {
public:
    TSaverSession(plat::Application& AApplication, std::shared_ptr<plat::DisplayList> AMonitors, bool AMusicWanted);
    ~TSaverSession();
    TSaverSession(const TSaverSession&) = delete;
    TSaverSession& operator=(const TSaverSession&) = delete;

    // Opens the main window and a companion on every other monitor. When the main window cannot
    // open its display, the saver has already ended (the application is terminated).
    void Start();
    // Ends the companions, and the main window when the loop ended without its exit (a quit
    // request before its handler was bound).
    void Stop();

    TForm1* Main() const { return FMain.get(); }
    int WindowCount() const { return FMain ? 1 + static_cast<int>(FCompanions.size()) : 0; }
    TForm1* Companion(int Index) const { return FCompanions.at(static_cast<size_t>(Index)).get(); }
    // Checks the monitors now (the session does it four times a second by itself).
    void FollowMonitors();

    // Makes each window's screen: SDL windows, the daemon's window, or headless screens in tests.
    std::function<std::unique_ptr<plat::Screen>()> MakeScreen;
    // Set before Start: the window is a daemon's (TForm1::HackMode).
    bool HackMode = false;

private:
    std::vector<plat::TRect> MonitorRects() const;
    std::unique_ptr<TForm1> Open(const plat::TRect& Monitor, bool Companion);
    void CopyGadgetValues();
    std::vector<TScenePicture> DecodeBesideTheLoop();

    plat::Application& FApplication;
    std::shared_ptr<plat::DisplayList> FMonitors;
    bool FMusicWanted;
    std::unique_ptr<TForm1> FMain;
    std::vector<std::unique_ptr<TForm1>> FCompanions;
    // Monitors whose companion could not open its display: not tried again until the monitors
    // change, so one broken monitor does not retry four times a second.
    std::vector<plat::TRect> FFailed;
    std::vector<plat::TRect> FLastSeen;
    int FTimer = 0;
};

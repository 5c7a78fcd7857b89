#include "platform/sound/VolumeAtExit.h"

#include "platform/sound/Mixer.h"

#include <atomic>
#include <cstdlib>
#include <mutex>

namespace plat {
namespace {

// exit() takes no context, so the pledge is the process's.
std::atomic<bool> gPledged{false};
std::atomic<uint32_t> gUsers{0};
std::atomic<uint32_t> gSaver{0};

void KeepPledge()
{
    if (gPledged.exchange(false))
        GiveVolumeBack(gUsers, gSaver);
}

}  // namespace

void GiveVolumeBack(uint32_t Users, uint32_t Saver)
{
    uint32_t now = 0;
    if (ReadMasterVolume(now) && now == Saver)
        WriteMasterVolume(Users);
}

void PledgeVolumeAtExit(uint32_t Users, uint32_t Saver)
{
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(KeepPledge); });
    gUsers = Users;
    gSaver = Saver;
    gPledged = true;
}

void WithdrawVolumeAtExit()
{
    gPledged = false;
}

}  // namespace plat

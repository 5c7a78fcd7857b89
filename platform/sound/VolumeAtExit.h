// The user's master volume given back: at the saver's end, and however the process ends through
// exit(). A volume someone changed meanwhile stays. A library that ends the process itself (Xlib
// on a lost connection it was never told to survive) skips the saver's own end, which is where
// the volume normally comes back. One pledge per process: the newest replaces the older, and the
// saver's own give-back withdraws it first. Any thread.
#pragma once

#include <cstdint>

namespace plat {

// Writes Users back while the mixer still holds Saver.
void GiveVolumeBack(uint32_t Users, uint32_t Saver);

// At exit, GiveVolumeBack(Users, Saver).
void PledgeVolumeAtExit(uint32_t Users, uint32_t Saver);
void WithdrawVolumeAtExit();

}  // namespace plat

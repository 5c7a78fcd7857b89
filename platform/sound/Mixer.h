// The system's master playback volume as a level 0..65535, mapped proportionally onto the
// mixer control's own range: the "Master" playback volume of ALSA's "default" control device.
// With PulseAudio or PipeWire that device is the sound server's output (ALSA's pulse plugin);
// on plain ALSA it is the card's own control.
//
// Each call opens the mixer and closes it again; nothing is held between calls. All calls fail
// (false, nothing changed) when there is no mixer, no "Master" control or it has no playback
// volume. UI thread only.
#pragma once

#include <cstdint>

namespace plat {

// The level of the first channel.
bool ReadMasterVolume(uint32_t& Level);
// Every channel takes Level (values above 65535 count as 65535).
bool WriteMasterVolume(uint32_t Level);

}  // namespace plat

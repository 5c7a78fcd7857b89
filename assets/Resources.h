// The resources built into the executable: pictures, the preview bitmap and the music track,
// found by name the way the saver's forms and the sound player ask for them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace assets {

// The bytes of a built-in resource, matched without regard to case ("SoundName" finds
// "SOUNDNAME"); empty when there is no such resource.
std::span<const uint8_t> FindResource(std::string_view Name);

}  // namespace assets

// The master volume over ALSA's simple mixer interface.
#include "platform/sound/Mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>

namespace plat {
namespace {

constexpr uint32_t kFullLevel = 65535;

// ALSA writes its errors (a sound server that is not running, say) to the standard error stream;
// a saver without sound says nothing about it.
extern "C" void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// The "default" device's "Master" element for the time of one call.
class MasterElement {
public:
    MasterElement()
    {
        snd_lib_error_set_handler(IgnoreAlsaError);
        if (snd_mixer_open(&FMixer, 0) < 0) {
            FMixer = nullptr;
            return;
        }
        if (snd_mixer_attach(FMixer, "default") < 0 || snd_mixer_selem_register(FMixer, nullptr, nullptr) < 0 ||
            snd_mixer_load(FMixer) < 0)
            return;
        snd_mixer_selem_id_t* id = nullptr;
        snd_mixer_selem_id_alloca(&id);
        snd_mixer_selem_id_set_name(id, "Master");
        snd_mixer_elem_t* element = snd_mixer_find_selem(FMixer, id);
        if (element == nullptr || !snd_mixer_selem_has_playback_volume(element))
            return;
        if (snd_mixer_selem_get_playback_volume_range(element, &FMin, &FMax) < 0 || FMax <= FMin)
            return;
        FElement = element;
    }
    ~MasterElement()
    {
        if (FMixer)
            snd_mixer_close(FMixer);
    }
    MasterElement(const MasterElement&) = delete;
    MasterElement& operator=(const MasterElement&) = delete;

    bool Read(uint32_t& Level) const
    {
        long value = 0;
        if (FElement == nullptr || snd_mixer_selem_get_playback_volume(FElement, SND_MIXER_SCHN_FRONT_LEFT, &value) < 0)
            return false;
        const long long span = FMax - FMin;
        Level = static_cast<uint32_t>(((std::clamp(value, FMin, FMax) - FMin) * kFullLevel + span / 2) / span);
        return true;
    }

    bool Write(uint32_t Level) const
    {
        if (FElement == nullptr)
            return false;
        const long long span = FMax - FMin;
        const long long level = std::min(Level, kFullLevel);
        const long value = FMin + static_cast<long>((level * span + kFullLevel / 2) / kFullLevel);
        return snd_mixer_selem_set_playback_volume_all(FElement, value) >= 0;
    }

private:
    snd_mixer_t* FMixer = nullptr;
    snd_mixer_elem_t* FElement = nullptr;
    long FMin = 0;
    long FMax = 0;
};

}  // namespace

bool ReadMasterVolume(uint32_t& Level)
{
    return MasterElement().Read(Level);
}

bool WriteMasterVolume(uint32_t Level)
{
    return MasterElement().Write(Level);
}

}  // namespace plat

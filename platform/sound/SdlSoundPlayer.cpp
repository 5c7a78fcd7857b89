// The sound player over SDL's audio: SDL_LoadWAV reads PCM and Microsoft ADPCM, an SDL_AudioCVT
// converts the whole track once, and the device (opened in exactly the player's format, SDL
// adapting it to the hardware) pulls it through a callback that wraps around.
#include "platform/sound/SoundPlayer.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace plat {
namespace {

struct Loop {
    std::vector<int16_t> Samples;
    size_t Position = 0;  // audio thread only while the device is open
    // A process that ends without PurgeSound (exit() from anywhere) would otherwise free the
    // samples while the audio thread still copies from them.
    ~Loop() { PurgeSound(); }
};

SDL_AudioDeviceID gDevice = 0;
bool gStartedAudio = false;
Loop gLoop;

void SDLCALL FillFromLoop(void* User, Uint8* Stream, int Length)
{
    auto& loop = *static_cast<Loop*>(User);
    auto* out = reinterpret_cast<int16_t*>(Stream);
    size_t wanted = static_cast<size_t>(Length) / sizeof(int16_t);
    while (wanted > 0) {
        const size_t run = std::min(wanted, loop.Samples.size() - loop.Position);
        std::memcpy(out, loop.Samples.data() + loop.Position, run * sizeof(int16_t));
        out += run;
        wanted -= run;
        loop.Position = (loop.Position + run) % loop.Samples.size();
    }
}

bool OpenDevice()
{
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        gStartedAudio = true;
    }
    SDL_AudioSpec want{};
    want.freq = kSoundRate;
    want.format = AUDIO_S16SYS;
    want.channels = kSoundChannels;
    want.samples = 2048;
    want.callback = FillFromLoop;
    want.userdata = &gLoop;
    gDevice = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    return gDevice != 0;
}

}  // namespace

bool ConvertTrack(std::span<const uint8_t> WaveBytes, std::vector<int16_t>& Samples)
{
    Samples.clear();
    SDL_RWops* source = SDL_RWFromConstMem(WaveBytes.data(), static_cast<int>(WaveBytes.size()));
    SDL_AudioSpec spec{};
    Uint8* pcm = nullptr;
    Uint32 length = 0;
    if (source == nullptr || SDL_LoadWAV_RW(source, 1, &spec, &pcm, &length) == nullptr)
        return false;
    SDL_AudioCVT cvt;
    const bool built = SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS,
                                         kSoundChannels, kSoundRate) >= 0;
    if (built && length > 0) {
        std::vector<Uint8> work(static_cast<size_t>(length) * std::max(cvt.len_mult, 1));
        std::memcpy(work.data(), pcm, length);
        cvt.buf = work.data();
        cvt.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&cvt) == 0) {
            Samples.resize(static_cast<size_t>(cvt.len_cvt) / sizeof(int16_t));
            std::memcpy(Samples.data(), work.data(), Samples.size() * sizeof(int16_t));
        }
    }
    SDL_FreeWAV(pcm);
    return !Samples.empty();
}

void PlaySoundLoop(std::span<const uint8_t> WaveBytes)
{
    PurgeSound();
    if (!ConvertTrack(WaveBytes, gLoop.Samples))
        return;
    gLoop.Position = 0;
    if (!OpenDevice()) {
        PurgeSound();
        return;
    }
    SDL_PauseAudioDevice(gDevice, 0);
}

void PurgeSound()
{
    if (gDevice != 0) {
        SDL_PauseAudioDevice(gDevice, 1);
        SDL_CloseAudioDevice(gDevice);  // Waits for the callback to finish.
        gDevice = 0;
    }
    if (gStartedAudio) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        gStartedAudio = false;
    }
    gLoop.Samples = {};
    gLoop.Position = 0;
}

}  // namespace plat

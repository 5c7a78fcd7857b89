// The sound player over SDL's audio: SDL_LoadWAV reads PCM and Microsoft ADPCM, an SDL_AudioCVT
// converts the whole track once (wrapped in its own tail and head, so the loop joins cleanly),
// and the device (opened in exactly the player's format, SDL adapting it to the hardware) pulls
// it through a callback that wraps around.
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
bool gPaused = false;
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
    // A buffer of 186 ms: the audio thread wakes about five times a second for the music, whose
    // start may lag that much.
    want.samples = 8192;
    want.callback = FillFromLoop;
    want.userdata = &gLoop;
    gDevice = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    return gDevice != 0;
}

// The converter's filter reaches this far on either side of each sample (SDL pads the ends of
// a buffer with silence, which would make the last frames fall toward zero and click at every
// wrap). The track's tail goes before it and its head after it, so the frames kept from the
// middle are those a converter running round the loop would give.
constexpr size_t kContextFrames = 4096;

void ConvertLoop(std::span<const Uint8> Pcm, size_t FrameBytes, int Rate, SDL_AudioCVT& Cvt,
                 std::vector<int16_t>& Samples)
{
    const size_t frames = Pcm.size() / FrameBytes;
    const size_t padded = frames + 2 * kContextFrames;
    std::vector<Uint8> work(padded * FrameBytes * static_cast<size_t>(std::max(Cvt.len_mult, 1)));
    for (size_t i = 0; i < padded; ++i) {
        const size_t from = (i + frames - kContextFrames % frames) % frames;
        std::memcpy(work.data() + i * FrameBytes, Pcm.data() + from * FrameBytes, FrameBytes);
    }
    Cvt.buf = work.data();
    Cvt.len = static_cast<int>(padded * FrameBytes);
    if (SDL_ConvertAudio(&Cvt) != 0)
        return;
    const size_t outFrameSamples = kSoundChannels;
    const size_t first = kContextFrames * kSoundRate / Rate;
    const size_t count = frames * kSoundRate / Rate;
    const size_t converted = static_cast<size_t>(Cvt.len_cvt) / sizeof(int16_t) / outFrameSamples;
    if (count == 0 || first + count > converted)
        return;
    Samples.resize(count * outFrameSamples);
    std::memcpy(Samples.data(), work.data() + first * outFrameSamples * sizeof(int16_t),
                Samples.size() * sizeof(int16_t));
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
    const size_t frameBytes = static_cast<size_t>(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    const size_t frames = frameBytes == 0 ? 0 : length / frameBytes;
    SDL_AudioCVT cvt;
    if (frames > 0 &&
        SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, kSoundChannels, kSoundRate) >= 0)
        ConvertLoop({pcm, frames * frameBytes}, frameBytes, spec.freq, cvt, Samples);
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

namespace {

void CloseDevice()
{
    if (gDevice == 0)
        return;
    SDL_PauseAudioDevice(gDevice, 1);
    SDL_CloseAudioDevice(gDevice);  // Waits for the callback to finish.
    gDevice = 0;
}

}  // namespace

void PauseSound()
{
    if (gDevice == 0)
        return;
    CloseDevice();
    gPaused = true;
}

// The loop's place is where the last callback left it.
void ResumeSound()
{
    if (!gPaused)
        return;
    gPaused = false;
    if (OpenDevice())
        SDL_PauseAudioDevice(gDevice, 0);
}

void PurgeSound()
{
    CloseDevice();
    gPaused = false;
    if (gStartedAudio) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        gStartedAudio = false;
    }
    gLoop.Samples = {};
    gLoop.Position = 0;
}

}  // namespace plat

// The sound player: one track at a time, played asynchronously and looping until it is purged.
//
// PlaySoundLoop decodes the RIFF/WAVE bytes once (PCM or Microsoft ADPCM), converts them once to
// the sound device's format and loops them in the device's callback; the wrap is seamless because
// the conversion treats the track as a loop (its end leads into its start, not into silence) and
// the callback carries on from the track's start within the same buffer. PurgeSound stops it:
// once it returns nothing more is played. PauseSound stops it too but keeps the track and its
// place; ResumeSound plays on from there. Pausing closes the device, so SDL's audio thread ends
// instead of feeding silence. With no sound device, no sound server or bytes that are not a track,
// playing does nothing and reports nothing.
//
// UI thread only; the device's callback runs on SDL's audio thread and reads only the converted
// track, which lives until the device is closed.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace plat {

void PlaySoundLoop(std::span<const uint8_t> WaveBytes);
void PurgeSound();
// Nothing happens unless a track plays (pause) or is paused (resume).
void PauseSound();
void ResumeSound();

// The device format the player asks for; the converted track is in it (what a disk-writing
// driver records).
inline constexpr int kSoundRate = 44100;
inline constexpr int kSoundChannels = 2;

// The track converted to the player's format: signed 16-bit native samples, interleaved. False
// (Samples empty) when the bytes are not a track. The player loops exactly these samples; their
// last frame leads into their first as smoothly as any two neighbours.
bool ConvertTrack(std::span<const uint8_t> WaveBytes, std::vector<int16_t>& Samples);

}  // namespace plat

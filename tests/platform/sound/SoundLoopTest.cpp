// What the player sends to the sound device over two loop joins, recorded by SDL's disk audio
// driver: the music must carry on across each join as smoothly as it moves anywhere else. A
// click shows as a step out of line with the music around it, and as sound above the track's
// own highest frequency (5.5 kHz at 11,025 Hz), which only a fault of the conversion makes.
#include "assets/Resources.h"
#include "platform/sound/SoundPlayer.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;

// An environment variable set for one test and put back after it.
class ScopedVariable {
public:
    ScopedVariable(const char* Name, const std::string& Value) : FName(Name)
    {
        const char* old = std::getenv(Name);
        FHad = old != nullptr;
        FOld = FHad ? old : "";
        setenv(Name, Value.c_str(), 1);
    }
    ~ScopedVariable() { FHad ? setenv(FName, FOld.c_str(), 1) : unsetenv(FName); }

private:
    const char* FName;
    std::string FOld;
    bool FHad;
};

std::uintmax_t SizeOf(const std::filesystem::path& Path)
{
    std::error_code ignored;
    const auto size = std::filesystem::file_size(Path, ignored);
    return ignored ? 0 : size;
}

// The largest step between neighbouring frames of one channel among frames [From, To), in
// interleaved stereo samples.
int LargestStep(const std::vector<int16_t>& Samples, size_t From, size_t To, int Channel)
{
    int largest = 0;
    for (size_t frame = From + 1; frame < To; ++frame) {
        const size_t at = frame * plat::kSoundChannels + Channel;
        largest = std::max(largest, std::abs(Samples[at] - Samples[at - plat::kSoundChannels]));
    }
    return largest;
}

// The loudest sound above 7 kHz in one channel among frames [From, To): a windowed-sinc
// high-pass, 63 taps at the player's rate.
double LoudestAboveTrack(const std::vector<int16_t>& Samples, size_t From, size_t To, int Channel)
{
    constexpr int kTaps = 63, kMid = kTaps / 2;
    constexpr double kCut = 7000.0 / plat::kSoundRate;
    double taps[kTaps];
    for (int i = 0; i < kTaps; ++i) {
        const double t = i - kMid;
        const double window = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / (kTaps - 1));
        const double low = t == 0 ? 2 * kCut : std::sin(2 * std::numbers::pi * kCut * t) / (std::numbers::pi * t);
        taps[i] = (i == kMid ? 1.0 : 0.0) - low * window;
    }
    double loudest = 0;
    for (size_t frame = From; frame < To; ++frame) {
        double sum = 0;
        for (int i = 0; i < kTaps; ++i)
            sum += taps[i] * Samples[(frame + i - kMid) * plat::kSoundChannels + Channel];
        loudest = std::max(loudest, std::abs(sum));
    }
    return loudest;
}

// The frame at which the track starts in the recording: SDL's audio thread may write a buffer of
// silence before the player unpauses the device.
size_t TrackStart(const std::vector<int16_t>& Played, const std::vector<int16_t>& Track)
{
    const size_t probe = 4096 * plat::kSoundChannels;
    for (size_t at = 0; at + probe <= Played.size() && at < Track.size(); at += plat::kSoundChannels)
        if (std::equal(Track.begin(), Track.begin() + probe, Played.begin() + at))
            return at / plat::kSoundChannels;
    return Played.size();
}

// The track's frame that 4096 frames of the recording from frame At repeat, or the track's length.
size_t PlaceInTrack(const std::vector<int16_t>& Played, size_t At, const std::vector<int16_t>& Track)
{
    const size_t probe = 4096 * plat::kSoundChannels, from = At * plat::kSoundChannels;
    if (from + probe > Played.size())
        return Track.size() / plat::kSoundChannels;
    for (size_t at = 0; at + probe <= Track.size(); at += plat::kSoundChannels)
        if (std::equal(Played.begin() + from, Played.begin() + from + probe, Track.begin() + at))
            return at / plat::kSoundChannels;
    return Track.size() / plat::kSoundChannels;
}

std::vector<int16_t> Recorded(const std::filesystem::path& Path)
{
    std::vector<int16_t> played(SizeOf(Path) / sizeof(int16_t));
    std::ifstream(Path, std::ios::binary)
        .read(reinterpret_cast<char*>(played.data()), static_cast<std::streamsize>(played.size() * sizeof(int16_t)));
    return played;
}

}  // namespace

TEST(SoundLoop, JoinsTwiceWithNoStepLargerThanTheMusicMakesAroundTheJoin)
{
    const TTempFolder folder("loop");
    const auto recording = std::filesystem::path(folder.Path()) / "played.raw";
    std::vector<int16_t> track;
    ASSERT_TRUE(plat::ConvertTrack(assets::FindResource("SoundName"), track));
    const size_t trackFrames = track.size() / plat::kSoundChannels;
    const size_t wantedFrames = 2 * trackFrames + 2 * plat::kSoundRate;  // two joins and more
    {
        ScopedVariable driver("SDL_AUDIODRIVER", "disk");
        ScopedVariable file("SDL_DISKAUDIOFILE", recording.string());
        ScopedVariable pace("SDL_DISKAUDIODELAY", "1");  // ms per 186 ms buffer
        plat::PlaySoundLoop(assets::FindResource("SoundName"));
        const auto wantedBytes = wantedFrames * plat::kSoundChannels * sizeof(int16_t);
        for (int i = 0; i < 6000 && SizeOf(recording) < wantedBytes; ++i)
            std::this_thread::sleep_for(10ms);
        plat::PurgeSound();
    }
    std::vector<int16_t> played(SizeOf(recording) / sizeof(int16_t));
    std::ifstream(recording, std::ios::binary)
        .read(reinterpret_cast<char*>(played.data()), static_cast<std::streamsize>(played.size() * sizeof(int16_t)));
    ASSERT_GE(played.size(), wantedFrames * plat::kSoundChannels) << "the driver recorded too little";
    const size_t start = TrackStart(played, track);
    ASSERT_LT(start, size_t(plat::kSoundRate)) << "the recording does not start with the track";

    // 50 ms either side of a join (the join left out) is what a listener hears a step against;
    // the 2 ms around it are where a click's treble lies, against the rest of the first loop.
    const size_t nearby = plat::kSoundRate / 20, seam = plat::kSoundRate / 1000;
    for (int channel = 0; channel < plat::kSoundChannels; ++channel) {
        const double treble = LoudestAboveTrack(played, start + nearby, start + trackFrames - nearby, channel);
        for (size_t join = start + trackFrames; join <= start + 2 * trackFrames; join += trackFrames) {
            const int step = LargestStep(played, join - 1, join + 1, channel);
            const int own = std::max(LargestStep(played, join - nearby, join, channel),
                                     LargestStep(played, join, join + nearby, channel));
            EXPECT_LE(step, own) << "channel " << channel << " at frame " << join;
            EXPECT_LE(LoudestAboveTrack(played, join - seam, join + seam, channel), 2 * treble + 2)
                << "channel " << channel << " at frame " << join << ": a click";
        }
    }
}

// Paused, the device is closed: nothing more is written. Resumed, the music goes on from where it
// was, less at most the buffer the device held when it closed. (The disk driver starts the file
// it is given anew with each device, so the resumed one writes a file of its own.)
TEST(SoundLoop, PausedWritesNothingAndGoesOnWhereItWas)
{
    const TTempFolder folder("pause");
    const auto before = std::filesystem::path(folder.Path()) / "before.raw";
    const auto after = std::filesystem::path(folder.Path()) / "after.raw";
    std::vector<int16_t> track;
    ASSERT_TRUE(plat::ConvertTrack(assets::FindResource("SoundName"), track));
    constexpr size_t kFrameBytes = plat::kSoundChannels * sizeof(int16_t);
    const auto waitFor = [](const std::filesystem::path& Path, std::uintmax_t Bytes) {
        for (int i = 0; i < 1000 && SizeOf(Path) < Bytes; ++i)
            std::this_thread::sleep_for(10ms);
    };
    std::uintmax_t paused = 0;
    {
        ScopedVariable driver("SDL_AUDIODRIVER", "disk");
        ScopedVariable pace("SDL_DISKAUDIODELAY", "20");
        {
            ScopedVariable file("SDL_DISKAUDIOFILE", before.string());
            plat::PlaySoundLoop(assets::FindResource("SoundName"));
            waitFor(before, 3 * plat::kSoundRate * kFrameBytes);
            plat::PauseSound();
        }
        paused = SizeOf(before);
        std::this_thread::sleep_for(300ms);
        EXPECT_EQ(SizeOf(before), paused) << "sound written while paused";
        ScopedVariable file("SDL_DISKAUDIOFILE", after.string());
        plat::ResumeSound();
        waitFor(after, 2 * plat::kSoundRate * kFrameBytes);
        plat::PurgeSound();
    }
    const size_t start = TrackStart(Recorded(before), track), trackFrames = track.size() / plat::kSoundChannels;
    ASSERT_LT(start, size_t(plat::kSoundRate));
    const size_t pausedAt = (paused / kFrameBytes - start) % trackFrames;
    // The new device may begin with a buffer of silence, as the first did.
    const std::vector<int16_t> resumed = Recorded(after);
    const auto sounding = std::find_if(resumed.begin(), resumed.end(), [](int16_t S) { return S != 0; });
    const size_t goesOnAt =
        PlaceInTrack(resumed, static_cast<size_t>(sounding - resumed.begin()) / plat::kSoundChannels, track);
    EXPECT_GE(goesOnAt, pausedAt) << "the music started again elsewhere";
    EXPECT_LE(goesOnAt, pausedAt + 8192) << "more than the device's buffer was skipped";
}

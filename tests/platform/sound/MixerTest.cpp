// The master volume against a real PulseAudio server reached through ALSA's pulse plugin: the
// saver's mapping, the user's volume given back (also by an exit past the saver's own end; someone
// else's change kept), and false with nothing changed once the server is gone.
#include "engine/Form.h"
#include "engine/Kss.h"
#include "platform/app/Application.h"
#include "platform/headless/HeadlessScreen.h"
#include "tests/platform/sound/PulseServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// The variables PulseServer::Enter sets, put back as they were.
class SavedEnvironment {
public:
    explicit SavedEnvironment(const testproc::ChildProcess::Environment& Names)
    {
        for (const auto& entry : Names) {
            const char* value = std::getenv(entry.first.c_str());
            FOld.push_back({entry.first, value ? value : "", value != nullptr});
        }
    }
    ~SavedEnvironment()
    {
        for (const Entry& e : FOld)
            e.Had ? setenv(e.Name.c_str(), e.Value.c_str(), 1) : unsetenv(e.Name.c_str());
    }

private:
    struct Entry {
        std::string Name, Value;
        bool Had;
    };
    std::vector<Entry> FOld;
};

constexpr long kUsersVolume = 30000;

}  // namespace

TEST(MasterMixVolume, MapsTheSettingGivesTheUsersVolumeBackAndFailsWithoutAServer)
{
    testsound::PulseServer server;
    ASSERT_TRUE(server.Running()) << "pulseaudio did not start";
    SavedEnvironment saved(server.Env());
    server.Enter();
    plat::Application app;
    TForm form(nullptr, app, std::make_unique<plat::HeadlessScreen>());
    // The server's control runs 0..65536: 51199 of 65535 lands on 51200.
    const struct {
        uint32_t Volume;
        long Sink;
    } rows[] = {{0, 0}, {200, 51200}, {256, 65536}};
    for (const auto& row : rows) {
        server.SetSinkVolume(kUsersVolume);
        TKss host(&form);
        EXPECT_TRUE(host.SetMasterMixVolume(row.Volume)) << row.Volume;
        EXPECT_EQ(server.SinkVolume(), row.Sink) << row.Volume;
        host.GiveBackMasterMixVolume();
        EXPECT_EQ(server.SinkVolume(), kUsersVolume) << row.Volume;
    }
    {
        server.SetSinkVolume(kUsersVolume);
        TKss ended(&form);
        ASSERT_TRUE(ended.SetMasterMixVolume(200));
    }
    EXPECT_EQ(server.SinkVolume(), kUsersVolume) << "a host that ends while its volume is in force";
    TKss host(&form);
    ASSERT_TRUE(host.SetMasterMixVolume(200));
    server.SetSinkVolume(12345);
    host.GiveBackMasterMixVolume();
    EXPECT_EQ(server.SinkVolume(), 12345) << "a volume someone else set stays";
    server.Stop();
    EXPECT_FALSE(host.SetMasterMixVolume(100));
}

// Xlib ends the process itself on a lost connection it was never told to survive: the volume
// comes back through exit() all the same.
TEST(MasterMixVolume, AnExitPastTheSaversEndGivesItBack)
{
    testsound::PulseServer server;
    ASSERT_TRUE(server.Running()) << "pulseaudio did not start";
    SavedEnvironment saved(server.Env());
    server.Enter();
    server.SetSinkVolume(kUsersVolume);
    plat::Application app;
    TForm form(nullptr, app, std::make_unique<plat::HeadlessScreen>());
    EXPECT_EXIT(
        {
            auto* host = new TKss(&form);
            host->SetMasterMixVolume(200);
            std::exit(1);
        },
        testing::ExitedWithCode(1), "");
    EXPECT_EQ(server.SinkVolume(), kUsersVolume);
}

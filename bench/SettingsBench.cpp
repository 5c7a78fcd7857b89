// Cost of the settings store: the load the saver does twice at start (of the usual key, the
// yardstick, and of a megabyte key of 40,000 values), one write as the dialog does twelve on OK,
// and the parse of a full key file. Runs against a temporary configuration folder.
#include "engine/KssSettings.h"
#include "platform/registry/RegText.h"
#include "tests/TempFolder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {

class ConfigFolder {
public:
    ConfigFolder() { ::setenv("XDG_CONFIG_HOME", FRoot.Path().c_str(), 1); }

private:
    TTempFolder FRoot{"bench"};
};

TKssSettings Store()
{
    TKssSettings Settings;
    Settings.SetBrandName(kBrandName);
    Settings.SetSSName(kSaverName);
    return Settings;
}

void BM_SetRegistryCompleteKey(benchmark::State& State)
{
    ConfigFolder Folder;
    TKssSettings Settings = Store();
    Settings.SetRegistry();
    for (auto _ : State)
        Settings.SetRegistry();
}
BENCHMARK(BM_SetRegistryCompleteKey)->Unit(benchmark::kMicrosecond);

// A key that holds 40,000 values beside the twelve (a megabyte): each load reads it once and finds
// each of its values at once.
void BM_SetRegistryMegabyteKey(benchmark::State& State)
{
    ConfigFolder Folder;
    TKssSettings Settings = Store();
    Settings.SetRegistry();
    std::vector<TSettingValue> Values;
    for (int32_t I = 0; I < 40000; ++I)
        Values.push_back({"Vx" + std::to_string(100000 + I), I});
    Settings.WriteValues(Values);
    for (auto _ : State)
        Settings.SetRegistry();
}
BENCHMARK(BM_SetRegistryMegabyteKey)->Unit(benchmark::kMillisecond);

void BM_WriteOneValue(benchmark::State& State)
{
    ConfigFolder Folder;
    TKssSettings Settings = Store();
    Settings.SetRegistry();
    int32_t N = 0;
    for (auto _ : State)
        Settings.WriteRKey("Brightness", N++ & 255);
}
BENCHMARK(BM_WriteOneValue)->Unit(benchmark::kMicrosecond);

void BM_ParseFullKey(benchmark::State& State)
{
    ConfigFolder Folder;
    TKssSettings Settings = Store();
    Settings.SetRegistry();
    plat::RegKeyData Data;
    Data.Set("Brightness", plat::RegDword, plat::DwordData(256));
    for (const char* Name : {"TDegree", "WeatherCode", "RSS_Url", "Proxy", "Port"})
        Data.Set(Name, plat::RegSz, plat::TextData("http://news.example.org/news?ned=us&topic=w"));
    const std::string Key = "HKEY_CURRENT_USER\\SOFTWARE\\Kestrin Software\\Solvane Screensaver";
    const std::string Text = plat::FormatRegText(Key, Data);
    for (auto _ : State) {
        plat::RegKeyData Out;
        plat::RegParseError Error;
        benchmark::DoNotOptimize(plat::ParseRegText(Text, Key, Out, Error));
    }
}
BENCHMARK(BM_ParseFullKey);

}  // namespace

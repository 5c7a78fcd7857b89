// solvane-open-time: how long `solvane /c` takes from process start to its first painted frame,
// against the yardstick of an empty Qt window of the same size (this tool run with
// --empty-window), alternating the two and reporting the medians and their ratio. Run it from the
// build folder on an X server with a black root (`Xvfb -br`); settings go to a temporary folder.
// Usage: solvane-open-time [RUNS]
#include "platform/qt/OpenTimeStopwatch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) == "--empty-window")
        return plat::ShowEmptyQtWindow(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    const std::string dialog = (self.parent_path() / "solvane").string();
    char settings[] = "/tmp/solvane-open-time-XXXXXX";
    if (mkdtemp(settings) == nullptr)
        return 1;
    setenv("XDG_CONFIG_HOME", settings, 1);
    plat::TOpenTimeStopwatch clock;
    std::vector<double> empty, opened;
    for (int i = 0; i < runs && clock.Connected(); ++i) {
        empty.push_back(clock.MillisecondsToFirstPaint({self.string(), "--empty-window"}));
        opened.push_back(clock.MillisecondsToFirstPaint({dialog, "/c"}));
    }
    std::filesystem::remove_all(settings);
    const double yardstick = empty.empty() ? -1 : Median(empty);
    const double dialogMs = opened.empty() ? -1 : Median(opened);
    if (yardstick < 0 || dialogMs < 0) {
        std::fprintf(stderr, "solvane-open-time: a window did not appear (no X display?)\n");
        return 1;
    }
    std::printf("empty Qt window: %.1f ms, solvane /c: %.1f ms (medians of %d), ratio %.2f\n", yardstick, dialogMs,
                runs, dialogMs / yardstick);
    return 0;
}

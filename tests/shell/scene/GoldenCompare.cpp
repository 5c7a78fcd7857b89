// Checking a drawn picture against its committed reference.
#include "tests/shell/scene/GoldenPng.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace golden {
namespace {

// The pixels that differ between the two pictures, in the RGB channels.
int64_t CountDifferences(const plat::Picture& A, const plat::Picture& B, std::string& First)
{
    int64_t Count = 0;
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < A.Width(); ++X)
            if (((A.Row(Y)[X] ^ B.Row(Y)[X]) & 0xFFFFFFu) != 0 && Count++ == 0)
                First = "(" + std::to_string(X) + ", " + std::to_string(Y) + ")";
    return Count;
}

}  // namespace

void CompareWithGolden(const plat::Picture& Drawn, const std::string& Dir, const std::string& Name)
{
    const std::filesystem::path GoldenDir = std::filesystem::path(SOLVANE_SOURCE_DIR) / Dir;
    const std::string Golden = (GoldenDir / Name).string();
    if (std::getenv("SOLVANE_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(GoldenDir);
        ASSERT_EQ(WritePng(Golden, Drawn), "");
        return;
    }
    plat::Picture Expected;
    ASSERT_EQ(ReadPng(Golden, Expected), "") << "no reference picture; make them with SOLVANE_UPDATE_GOLDEN=1";
    ASSERT_EQ(Expected.Width(), Drawn.Width());
    ASSERT_EQ(Expected.Height(), Drawn.Height());
    std::string First;
    const int64_t Differences = CountDifferences(Expected, Drawn, First);
    if (Differences != 0) {
        const std::filesystem::path Actual = std::filesystem::path(SOLVANE_BINARY_DIR) / Dir;
        std::filesystem::create_directories(Actual);
        WritePng((Actual / Name).string(), Drawn);
        ADD_FAILURE() << Name << ": " << Differences << " pixels differ, first at " << First
                      << "; the picture drawn is in " << Actual.string();
    }
}

plat::Picture Crop(const plat::Picture& Image, int Left, int Top, int Width, int Height)
{
    plat::Picture Part(Width, Height, "TBitmap");
    for (int Y = 0; Y < Height; ++Y)
        std::memcpy(Part.Row(Y), Image.Row(Top + Y) + Left, static_cast<size_t>(Width) * sizeof(uint32_t));
    return Part;
}

}  // namespace golden

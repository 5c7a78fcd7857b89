// The reference-frame codec: what it writes it reads back exactly, and damaged files are refused.
#include "tests/shell/scene/GoldenPng.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

int64_t CountDifferences(const plat::Picture& A, const plat::Picture& B)
{
    int64_t Count = 0;
    for (int Y = 0; Y < A.Height(); ++Y)
        for (int X = 0; X < A.Width(); ++X)
            Count += ((A.Row(Y)[X] ^ B.Row(Y)[X]) & 0xFFFFFFu) != 0;
    return Count;
}

TEST(GoldenPng, WrittenPicturesReadBackExactly)
{
    plat::Picture Image(37, 23, "TBitmap");
    uint32_t Seed = 12345;
    for (int Y = 0; Y < Image.Height(); ++Y)
        for (int X = 0; X < Image.Width(); ++X) {
            Seed = Seed * 1103515245u + 12345u;
            Image.Row(Y)[X] = Seed >> 8;
        }
    const std::string Path = (std::filesystem::temp_directory_path() / "solvane-golden-roundtrip.png").string();
    ASSERT_EQ(golden::WritePng(Path, Image), "");
    plat::Picture Back;
    ASSERT_EQ(golden::ReadPng(Path, Back), "");
    ASSERT_EQ(Back.Width(), 37);
    ASSERT_EQ(Back.Height(), 23);
    EXPECT_EQ(CountDifferences(Image, Back), 0);
    std::filesystem::remove(Path);
}

TEST(GoldenPng, DamagedFilesAreRefusedWithTheirPath)
{
    const std::string Path = (std::filesystem::temp_directory_path() / "solvane-golden-damaged.png").string();
    plat::Picture Image(8, 8, "TBitmap");
    ASSERT_EQ(golden::WritePng(Path, Image), "");
    std::filesystem::resize_file(Path, std::filesystem::file_size(Path) - 20);
    plat::Picture Back;
    const std::string Error = golden::ReadPng(Path, Back);
    EXPECT_NE(Error.find(Path), std::string::npos) << Error;
    EXPECT_NE(golden::ReadPng(Path + ".missing", Back), "");
    std::filesystem::remove(Path);
}

}  // namespace

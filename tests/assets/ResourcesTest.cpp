// The built-in resources: names are file stems matched without regard to case, and the bytes are
// exactly those of the file that was built in.
#include "assets/Resources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<uint8_t> ReadFile(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
}

TEST(Resources, FindsPreviewByAnyCase)
{
    auto Upper = assets::FindResource("PREVIEWBMP");
    auto Mixed = assets::FindResource("PreviewBmp");
    ASSERT_FALSE(Upper.empty());
    EXPECT_EQ(Upper.data(), Mixed.data());
    EXPECT_EQ(Upper.size(), Mixed.size());
}

TEST(Resources, BytesMatchTheSourceFile)
{
    auto Built = assets::FindResource("previewbmp");
    auto OnDisk = ReadFile(SOLVANE_SOURCE_DIR "/assets/pictures/PREVIEWBMP.bmp");
    ASSERT_FALSE(OnDisk.empty());
    ASSERT_EQ(Built.size(), OnDisk.size());
    EXPECT_TRUE(std::equal(Built.begin(), Built.end(), OnDisk.begin()));
}

TEST(Resources, OnlyWholeNamesMatch)
{
    EXPECT_TRUE(assets::FindResource("").empty());
    EXPECT_TRUE(assets::FindResource("PREVIEW").empty());
    EXPECT_TRUE(assets::FindResource("PREVIEWBMPX").empty());
    EXPECT_TRUE(assets::FindResource("PREVIEWBMP.bmp").empty());
    EXPECT_TRUE(assets::FindResource(std::string_view("PREVIEWBMP\0", 11)).empty());
}

}  // namespace

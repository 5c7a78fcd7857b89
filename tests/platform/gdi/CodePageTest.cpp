// Decoding of system-code-page text: well-formed UTF-8 sequences are characters, every other byte
// is its Windows-1252 character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/CodePage.h"

namespace {

std::vector<uint32_t> Decode(const std::string& Text)
{
    std::vector<uint32_t> characters;
    for (int pos = 0; pos < static_cast<int>(Text.size());)
        characters.push_back(plat::NextCharacter(Text.data(), static_cast<int>(Text.size()), pos));
    return characters;
}

using Chars = std::vector<uint32_t>;

TEST(CodePageTest, WellFormedUtf8IsDecoded)
{
    EXPECT_EQ(Decode("A\xC2\xB0"
                     "C"),
              (Chars{'A', 0xB0, 'C'}));
    EXPECT_EQ(Decode("\xE2\x82\xAC"), (Chars{0x20AC}));
    EXPECT_EQ(Decode("\xF0\x9F\x8C\x8A"), (Chars{0x1F30A}));
    EXPECT_EQ(Decode("Z\xC3\xBCrich"), (Chars{'Z', 0xFC, 'r', 'i', 'c', 'h'}));
}

TEST(CodePageTest, LoneBytesAreWindows1252)
{
    EXPECT_EQ(Decode("75\xB0"), (Chars{'7', '5', 0xB0}));
    EXPECT_EQ(Decode("Z\xFCrich"), (Chars{'Z', 0xFC, 'r', 'i', 'c', 'h'}));
    EXPECT_EQ(Decode("\x80\x85\x93\x94\x9F"), (Chars{0x20AC, 0x2026, 0x201C, 0x201D, 0x0178}));
    EXPECT_EQ(Decode("\x81\x8D\x8F\x90\x9D"), (Chars{0x81, 0x8D, 0x8F, 0x90, 0x9D}));
}

TEST(CodePageTest, MalformedSequencesFallBackBytewise)
{
    // Overlong, surrogate, beyond U+10FFFF, truncated, and a continuation byte alone.
    EXPECT_EQ(Decode("\xC0\xAF"), (Chars{0xC0, 0xAF}));
    EXPECT_EQ(Decode("\xE0\x80\xAF"), (Chars{0xE0, 0x20AC, 0xAF}));
    EXPECT_EQ(Decode("\xED\xA0\x80"), (Chars{0xED, 0xA0, 0x20AC}));
    EXPECT_EQ(Decode("\xF4\x90\x80\x80"), (Chars{0xF4, 0x0090, 0x20AC, 0x20AC}));
    EXPECT_EQ(Decode("\xE2\x82"), (Chars{0xE2, 0x201A}));
    EXPECT_EQ(Decode("\xC3("), (Chars{0xC3, '('}));
    EXPECT_EQ(Decode("\xA9"), (Chars{0xA9}));
}

}  // namespace

// The decimal conversion the entry modes use on window handles.
#include "engine/StrToInt.h"

#include <gtest/gtest.h>

TEST(StrToIntTest, ReadsSignedDecimalsWithSurroundingBlanks)
{
    EXPECT_EQ(StrToInt("1234"), 1234);
    EXPECT_EQ(StrToInt(" -17 "), -17);
    EXPECT_EQ(StrToInt("+8"), 8);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
}

TEST(StrToIntTest, RefusesWhatIsNotADecimalInRange)
{
    for (const char* bad : {"", "  ", "abc", "12a", "0x10", "+", "+-3", "2147483648", "1 2"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

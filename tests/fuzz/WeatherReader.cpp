// Fuzzes the weather reader with arbitrary bytes as the reply body: it either hands over values
// or stops with the conversion error of a code that is not a number, and the texts it hands over
// are pieces of the body or the not-available "NA".
#include "engine/StrToInt.h"
#include "net/FeedValues.h"
#include "net/WeatherFeed.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

struct TTexts : TWeatherValues {
    std::string Now, Hi, Low;
    void SetTodayCode(int32_t) override {}
    void SetTomorrowCode(int32_t) override {}
    void SetTodayNow(const std::string& Text) override { Now = Text; }
    void SetTomorrowHi(const std::string& Text) override { Hi = Text; }
    void SetTomorrowLow(const std::string& Text) override { Low = Text; }
};

bool FromBodyOrNA(std::string_view Body, const std::string& Text)
{
    return Text == "NA" || Body.find(Text) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view body(reinterpret_cast<const char*>(Data), Size);
    TTexts texts;
    try {
        ReadWeather(body, texts);
    } catch (const EConvertError&) {}
    if (!FromBodyOrNA(body, texts.Now) || !FromBodyOrNA(body, texts.Low) || !FromBodyOrNA(body, texts.Hi))
        std::abort();
    return 0;
}

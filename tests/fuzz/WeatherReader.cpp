// Fuzzes the weather reader with arbitrary bytes as the reply body: it either hands over values
// or stops with the conversion error of a code that is not a number, and the texts it hands over
// are pieces of the body or the not-available "NA".
#include "engine/StrToInt.h"
#include "gadgets/Kgw.h"
#include "net/WeatherFeed.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool FromBodyOrNA(std::string_view Body, const std::string& Text)
{
    return Text == "NA" || Body.find(Text) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view body(reinterpret_cast<const char*>(Data), Size);
    TKGW kgw(nullptr);
    try {
        ReadWeather(body, kgw);
    } catch (const EConvertError&) {
    }
    if (!FromBodyOrNA(body, kgw.GetTodayNow()) || !FromBodyOrNA(body, kgw.GetTomorrowLow()) ||
        !FromBodyOrNA(body, kgw.GetTomorrowHi()))
        std::abort();
    return 0;
}

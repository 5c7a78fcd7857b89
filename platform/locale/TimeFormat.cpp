// The locale's short time format through the C library's locale data (nl_langinfo_l), and the
// time formatted with strftime_l.
#include "platform/locale/TimeFormat.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

namespace plat {
namespace {

// One piece of a strftime pattern: literal text, or one conversion with its flags, width and
// modifier.
struct Piece {
    std::string Text;
    char Conversion = 0;  // 0 for literal text
    bool Plain = true;  // no flags, width or modifier
};

std::vector<Piece> Split(const std::string& Pattern)
{
    std::vector<Piece> pieces;
    for (size_t i = 0; i < Pattern.size();) {
        size_t end = i;
        Piece piece;
        if (Pattern[i] == '%' && i + 1 < Pattern.size() && Pattern[i + 1] != '%') {
            end = i + 1;
            while (end < Pattern.size() &&
                   std::string_view("_-0^#EO0123456789").find(Pattern[end]) != std::string_view::npos)
                ++end;
            piece.Plain = end == i + 1;
            piece.Conversion = end < Pattern.size() ? Pattern[end] : '%';
            end = std::min(end + 1, Pattern.size());
        } else {
            end = Pattern[i] == '%' ? i + 2 : Pattern.find('%', i);
            end = std::min(end, Pattern.size());
        }
        piece.Text = Pattern.substr(i, end - i);
        if (piece.Conversion == 0 && !pieces.empty() && pieces.back().Conversion == 0)
            pieces.back().Text += piece.Text;
        else
            pieces.push_back(std::move(piece));
        i = end;
    }
    return pieces;
}

// The pattern with its composite conversions (%T, %r, %X, %R) spelt out.
std::string Expand(const std::string& Pattern, const std::string& Format, const std::string& AmPm, int Depth)
{
    std::string out;
    for (const Piece& piece : Split(Pattern)) {
        const char c = piece.Conversion;
        if (c == 'T')
            out += "%H:%M:%S";
        else if (c == 'R')
            out += "%H:%M";
        else if (c == 'r')
            out += AmPm.empty() ? "%I:%M:%S %p" : AmPm;
        else if (c == 'X' && Depth < 2)
            out += Expand(Format, Format, AmPm, Depth + 1);
        else
            out += piece.Text;
    }
    return out;
}

bool Blank(const std::string& Text)
{
    return Text.find_first_not_of(" \t") == std::string::npos;
}

// Punctuation alone (":", "."): a separator between fields, not a unit of the seconds.
bool Separator(const std::string& Text)
{
    return std::all_of(Text.begin(), Text.end(), [](char C) { return std::ispunct(static_cast<unsigned char>(C)); });
}

// Takes out the seconds field at Index with its separator or its unit.
void RemoveSeconds(std::vector<Piece>& Pieces, size_t Index)
{
    const auto at = Pieces.begin() + static_cast<ptrdiff_t>(Index);
    const bool before = Index > 0 && Pieces[Index - 1].Conversion == 0;
    const bool after = Index + 1 < Pieces.size() && Pieces[Index + 1].Conversion == 0;
    if (before && after && Separator(Pieces[Index + 1].Text)) {
        // Between two separators ("%M:%S.%p"): both go, and a blank joins what was around them.
        Pieces[Index + 1].Text = " ";
        Pieces.erase(at - 1, at + 1);
    } else if (after && !Blank(Pieces[Index + 1].Text)) {
        // The seconds' own unit ("%S초"): it goes with them, and so does the space before them.
        Pieces.erase(at, at + 2);
        if (before)
            Pieces[Index - 1].Text.erase(Pieces[Index - 1].Text.find_last_not_of(" \t") + 1);
    } else if (before) {
        Pieces.erase(at - 1, at + 1);
    } else {
        Pieces.erase(at, at + (after ? 2 : 1));
    }
}

// Takes out a time zone (%Z, %z) with the blank or separator that joined it to its neighbour: a
// clock on the user's own screen shows the user's own time.
void RemoveZone(std::vector<Piece>& Pieces, size_t Index)
{
    const auto at = Pieces.begin() + static_cast<ptrdiff_t>(Index);
    if (Index > 0 && Pieces[Index - 1].Conversion == 0 &&
        (Blank(Pieces[Index - 1].Text) || Separator(Pieces[Index - 1].Text)))
        Pieces.erase(at - 1, at + 1);
    else if (Index + 1 < Pieces.size() && Pieces[Index + 1].Conversion == 0 && Blank(Pieces[Index + 1].Text))
        Pieces.erase(at, at + 2);
    else
        Pieces.erase(at);
}

}  // namespace

std::tm LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string ShortTimePattern(const std::string& Format, const std::string& AmPmFormat)
{
    std::vector<Piece> pieces = Split(Expand(Format, Format, AmPmFormat, 0));
    for (size_t i = 0; i < pieces.size();) {
        if (pieces[i].Conversion == 'S')
            RemoveSeconds(pieces, i);
        else if (pieces[i].Conversion == 'Z' || pieces[i].Conversion == 'z')
            RemoveZone(pieces, i);
        else
            ++i;
    }
    // A 12-hour hour without its padding: "2:35 PM", not "02:35 PM".
    for (Piece& piece : pieces)
        if (piece.Plain && (piece.Conversion == 'I' || piece.Conversion == 'l'))
            piece.Text = "%-" + piece.Text.substr(1);
    std::string out;
    for (const Piece& piece : pieces)
        out += piece.Text;
    return out;
}

TimeFormat::TimeFormat() : TimeFormat("") {}

TimeFormat::TimeFormat(const char* LocaleName)
{
    Open(LocaleName);
    auto* locale = static_cast<locale_t>(FLocale);
    FPattern = ShortTimePattern(nl_langinfo_l(T_FMT, locale), nl_langinfo_l(T_FMT_AMPM, locale));
}

TimeFormat::TimeFormat(const char* LocaleName, std::string Pattern) : FPattern(std::move(Pattern))
{
    Open(LocaleName);
}

void TimeFormat::Open(const char* LocaleName)
{
    // An empty name takes the locale from the environment.
    locale_t locale = newlocale(LC_TIME_MASK, LocaleName, static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        locale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    FLocale = locale;
}

TimeFormat::~TimeFormat()
{
    if (FLocale != nullptr)
        freelocale(static_cast<locale_t>(FLocale));
}

TimeFormat::TimeFormat(TimeFormat&& Other) noexcept
    : FLocale(std::exchange(Other.FLocale, nullptr)), FPattern(std::move(Other.FPattern))
{}

TimeFormat& TimeFormat::operator=(TimeFormat&& Other) noexcept
{
    std::swap(FLocale, Other.FLocale);
    std::swap(FPattern, Other.FPattern);
    return *this;
}

size_t TimeFormat::Format(const std::tm& Time, char* Out, size_t Size) const
{
    if (Size == 0)
        return 0;
    Out[0] = '\0';
    if (FLocale == nullptr)
        return 0;
    return strftime_l(Out, Size, FPattern.c_str(), &Time, static_cast<locale_t>(FLocale));
}

}  // namespace plat

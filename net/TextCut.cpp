// The text cutters and the entity decoder: the feed table of entity names, then numeric
// references and HTML 4's named entities as UTF-8, any other name kept as written.
#include "net/TextCut.h"

#include "net/HtmlEntities.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <iterator>

namespace {

struct FeedEntity {
    std::string_view Name;
    std::string_view Replacement;
};

// The names feeds were seen to use, looked up before anything else.
constexpr FeedEntity kFeedEntities[] = {
    {"quot", "\""}, {"amp", "&"}, {"#039", "'"}, {"apos", "'"}, {"lt", "<"},
    {"gt", ">"},    {"#36", "$"}, {"#39", "'"},  {"#038", "&"},
};

constexpr char32_t kLastCodePoint = 0x10FFFF;

void AppendUtf8(std::string& Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

int DigitValue(char C, int Base)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (Base == 16 && C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (Base == 16 && C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

// "#NNN" or "#xHH" ("#XHH"): the character's code point, or 0 when the name is not a reference to
// a character that may stand in text (no digits, other bytes, 0, a surrogate, beyond U+10FFFF).
char32_t NumericReference(std::string_view Name)
{
    if (Name.size() < 2 || Name[0] != '#')
        return 0;
    int base = 10;
    std::string_view digits = Name.substr(1);
    if (digits[0] == 'x' || digits[0] == 'X') {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty())
        return 0;
    uint32_t value = 0;
    for (char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            return 0;
        value = value * static_cast<uint32_t>(base) + static_cast<uint32_t>(digit);
        if (value > kLastCodePoint)
            return 0;
    }
    if (value >= 0xD800 && value <= 0xDFFF)
        return 0;
    return value;
}

std::string ReplaceAll(std::string_view Text, std::string_view From, std::string_view To)
{
    std::string out;
    out.reserve(Text.size());
    for (size_t at = Text.find(From); at != std::string_view::npos; at = Text.find(From)) {
        out.append(Text.substr(0, at));
        out.append(To);
        Text.remove_prefix(at + From.size());
    }
    out.append(Text);
    return out;
}

// The length of the well-formed UTF-8 sequence at Text[At], 0 when there is none.
size_t SequenceLength(std::string_view Text, size_t At)
{
    const auto lead = static_cast<unsigned char>(Text[At]);
    if (lead < 0x80)
        return 1;
    const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2
        : lead >= 0xE0 && lead <= 0xEF                 ? 3
        : lead >= 0xF0 && lead <= 0xF4                 ? 4
                                                       : 0;
    if (length == 0 || At + length > Text.size())
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(Text[At + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    const char32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    return code < least || code > kLastCodePoint || (code >= 0xD800 && code <= 0xDFFF) ? 0 : length;
}

}  // namespace

std::string_view Utf8Prefix(std::string_view Text, size_t MaxBytes)
{
    if (Text.size() <= MaxBytes)
        return Text;
    // Back off over continuation bytes to the start of the character the cut would split.
    size_t cut = MaxBytes;
    for (int step = 0; step < 3 && cut > 0 && (static_cast<unsigned char>(Text[cut]) & 0xC0) == 0x80; ++step)
        --cut;
    if ((static_cast<unsigned char>(Text[cut]) & 0xC0) == 0x80)
        cut = MaxBytes;
    return Text.substr(0, cut);
}

std::string WellFormedUtf8(std::string_view Text)
{
    std::string out;
    out.reserve(Text.size());
    for (size_t at = 0; at < Text.size();) {
        const size_t length = SequenceLength(Text, at);
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++at;
        } else {
            out.append(Text.substr(at, length));
            at += length;
        }
    }
    return out;
}

std::string_view CutBetween(std::string_view Source, std::string_view Start, std::string_view End,
                            std::string_view& Value)
{
    const size_t start = Source.find(Start);
    if (start == std::string_view::npos)
        return kCutEnd;
    const std::string_view rest = Source.substr(start + Start.size());
    const size_t end = rest.find(End);
    if (end == std::string_view::npos)
        return kCutEnd;
    Value = rest.substr(0, end);
    return rest.substr(end + std::min<size_t>(1, End.size()));
}

std::string CleanCData(std::string_view Text)
{
    std::string text = ReplaceAll(Text, "\xE2\x80\x99", "'");
    text = ReplaceAll(text, "&amp;#39;", "'");
    text = ReplaceAll(text, "<![CDATA[", "");
    return ReplaceAll(text, "]]>", "");
}

bool IsEntityName(std::string_view Name)
{
    if (Name.empty() || Name.size() > kMaxEntityName)
        return false;
    return std::all_of(Name.begin(), Name.end(),
                       [](char C) { return std::isalnum(static_cast<unsigned char>(C)) || C == '#'; });
}

bool AppendEntity(std::string& Out, std::string_view Name)
{
    const auto* feed = std::find_if(std::begin(kFeedEntities), std::end(kFeedEntities),
                                    [Name](const FeedEntity& Entry) { return Entry.Name == Name; });
    if (feed != std::end(kFeedEntities)) {
        Out.append(feed->Replacement);
        return true;
    }
    char32_t code = NumericReference(Name);
    if (code == 0)
        code = Html4EntityCodePoint(Name);
    if (code == 0)
        return false;
    AppendUtf8(Out, code);
    return true;
}

std::string DecodeEntities(std::string_view Text)
{
    std::string result;
    result.reserve(Text.size());
    std::string_view rest = Text;
    for (size_t amp = rest.find('&'); amp != std::string_view::npos; amp = rest.find('&')) {
        result.append(rest.substr(0, amp));
        rest.remove_prefix(amp + 1);
        // The ";" is looked for only as far as a name can reach: a bare "&" ("Tom & Jerry")
        // stays as written, and the search goes on right after it, so it cannot swallow the
        // text up to a later entity's ";".
        const size_t semicolon = rest.substr(0, kMaxEntityName + 1).find(';');
        const std::string_view name = rest.substr(0, semicolon);
        if (semicolon == std::string_view::npos || !IsEntityName(name)) {
            result += '&';
            continue;
        }
        rest.remove_prefix(semicolon + 1);
        if (!AppendEntity(result, name)) {
            result += '&';
            result.append(name);
            result += ';';
        }
    }
    result.append(rest);
    for (char& byte : result)
        if (static_cast<unsigned char>(byte) < 32)
            byte = ' ';
    return result;
}

#include "platform/registry/RegText.h"

#include "platform/locale/AsciiCase.h"

#include <cstdio>
#include <vector>

namespace plat {

namespace {

constexpr std::string_view kSignature = "REGEDIT4";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
// Byte lists wrap like the registry editor's exports, so lines stay readable.
constexpr size_t kHexLineWidth = 76;

struct ParseFailure {
    std::string Message;
};

std::string_view TrimRight(std::string_view S)
{
    while (!S.empty() && (S.back() == ' ' || S.back() == '\t' || S.back() == '\r'))
        S.remove_suffix(1);
    return S;
}

std::string_view TrimLeft(std::string_view S)
{
    while (!S.empty() && (S.front() == ' ' || S.front() == '\t'))
        S.remove_prefix(1);
    return S;
}

bool ConsumePrefixNoCase(std::string_view& S, std::string_view Prefix)
{
    if (!StartsWithNoCase(S, Prefix))
        return false;
    S.remove_prefix(Prefix.size());
    return true;
}

int HexDigit(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    C = LowerAscii(C);
    return C >= 'a' && C <= 'f' ? C - 'a' + 10 : -1;
}

// Reads hex digits (at most MaxDigits) from the front of S; returns how many, 0 when there were
// none or too many.
size_t ConsumeHexNumber(std::string_view& S, size_t MaxDigits, uint32_t& Value)
{
    size_t Count = 0;
    Value = 0;
    while (Count < S.size() && HexDigit(S[Count]) >= 0) {
        if (++Count > MaxDigits)
            return 0;
        Value = Value * 16 + static_cast<uint32_t>(HexDigit(S[Count - 1]));
    }
    S.remove_prefix(Count);
    return Count;
}

// A quoted string with the two escapes of the format; S starts at the opening quote.
std::string ConsumeQuoted(std::string_view& S)
{
    std::string Out;
    for (size_t I = 1; I < S.size(); ++I) {
        if (S[I] == '"') {
            S.remove_prefix(I + 1);
            return Out;
        }
        if (S[I] == '\\') {
            if (I + 1 >= S.size() || (S[I + 1] != '\\' && S[I + 1] != '"'))
                throw ParseFailure{"unknown escape in a quoted string"};
            ++I;
        }
        Out.push_back(S[I]);
    }
    throw ParseFailure{"a quoted string has no closing quote"};
}

std::string ParseHexBytes(std::string_view S)
{
    std::string Bytes;
    S = TrimLeft(S);
    while (!S.empty()) {
        uint32_t Byte = 0;
        if (ConsumeHexNumber(S, 2, Byte) != 2)
            throw ParseFailure{"a byte list holds something that is not a hex byte"};
        Bytes.push_back(static_cast<char>(Byte));
        S = TrimLeft(S);
        if (S.empty())
            break;
        if (S.front() != ',')
            throw ParseFailure{"bytes of a byte list must be separated by commas"};
        S = TrimLeft(S.substr(1));
        if (S.empty())
            throw ParseFailure{"a byte list ends with a comma"};
    }
    return Bytes;
}

class Parser {
public:
    explicit Parser(std::string_view Text) : FCutShort(!Text.empty() && Text.back() != '\n')
    {
        size_t Start = 0;
        while (Start < Text.size()) {
            size_t End = Text.find('\n', Start);
            if (End == std::string_view::npos)
                End = Text.size();
            FLines.push_back(TrimRight(Text.substr(Start, End - Start)));
            Start = End + 1;
        }
    }

    void Run(std::string_view KeyName, RegKeyData& Out)
    {
        CheckSignature();
        bool InKey = false;
        for (FIndex = 1; FIndex < FLines.size(); ++FIndex) {
            std::string_view Line = FLines[FIndex];
            if (Line.empty() || Line.front() == ';')
                continue;
            if (Line.front() == '[') {
                if (InKey)
                    throw ParseFailure{"the file holds more than one key"};
                if (Line.back() != ']' || !EqualNoCase(Line.substr(1, Line.size() - 2), KeyName))
                    throw ParseFailure{"the key is not " + std::string(KeyName)};
                InKey = true;
            } else if (!InKey) {
                throw ParseFailure{"a value comes before the key's name"};
            } else {
                ParseValue(Line, Out);
            }
        }
        FIndex = FLines.size() - 1;
        if (!InKey)
            throw ParseFailure{"the file holds no key"};
    }

    int LineNumber() const { return static_cast<int>(FIndex) + 1; }

private:
    // A text editor may put a UTF-8 mark in front; the newer export format is UTF-16 with other
    // byte lists, which this store does not convert, so it gets a message of its own.
    void CheckSignature()
    {
        if (!FLines.empty() && FLines[0].starts_with(kUtf8Mark))
            FLines[0].remove_prefix(kUtf8Mark.size());
        if (!FLines.empty() && FLines[0] == kSignature)
            return;
        if (!FLines.empty() && (FLines[0].starts_with("\xFF\xFE") || FLines[0].starts_with("Windows Registry Editor")))
            throw ParseFailure{"the file is in the newer export format; only \"REGEDIT4\" files "
                               "are read"};
        throw ParseFailure{"the file does not start with \"REGEDIT4\""};
    }

    void ParseValue(std::string_view Line, RegKeyData& Out)
    {
        std::string Name;
        if (Line.front() == '@')
            Line.remove_prefix(1);
        else if (Line.front() == '"')
            Name = ConsumeQuoted(Line);
        else
            throw ParseFailure{"a value name must be quoted"};
        Line = TrimLeft(Line);
        if (Line.empty() || Line.front() != '=')
            throw ParseFailure{"a value name must be followed by '='"};
        Line = TrimLeft(Line.substr(1));
        uint32_t Type = RegNone;
        std::string Data = ParseData(Line, Type);
        Out.Set(Name, Type, std::move(Data));
    }

    std::string ParseData(std::string_view Data, uint32_t& Type)
    {
        if (!Data.empty() && Data.front() == '"') {
            Type = RegSz;
            std::string Text = ConsumeQuoted(Data);
            ExpectEnd(Data);
            return TextData(Text);
        }
        if (ConsumePrefixNoCase(Data, "dword:")) {
            uint32_t Value = 0;
            const size_t Digits = ConsumeHexNumber(Data, 8, Value);
            if (Digits == 0)
                throw ParseFailure{"a dword needs one to eight hex digits"};
            ExpectEnd(Data);
            if (Digits < 8 && OnCutLine())
                throw ParseFailure{"the file ends inside a dword (it may have been cut short)"};
            Type = RegDword;
            return DwordData(static_cast<int32_t>(Value));
        }
        if (ConsumePrefixNoCase(Data, "hex")) {
            Type = RegBinary;
            if (ConsumePrefixNoCase(Data, "(")) {
                if (ConsumeHexNumber(Data, 8, Type) == 0 || !ConsumePrefixNoCase(Data, ")"))
                    throw ParseFailure{"a byte list's type must be a hex number in brackets"};
            }
            if (!ConsumePrefixNoCase(Data, ":"))
                throw ParseFailure{"a byte list's type must be followed by ':'"};
            std::string Bytes = ParseHexBytes(JoinContinuations(Data));
            if (OnCutLine())
                throw ParseFailure{"the file ends inside a byte list (it may have been cut short)"};
            return Bytes;
        }
        throw ParseFailure{"the value's data is neither a quoted string, a dword nor a byte list"};
    }

    // A byte list may go on over lines that end with a backslash.
    std::string JoinContinuations(std::string_view First)
    {
        std::string Joined(First);
        while (!Joined.empty() && Joined.back() == '\\') {
            Joined.pop_back();
            if (FIndex + 1 >= FLines.size())
                throw ParseFailure{"a byte list goes on past the end of the file"};
            Joined += TrimLeft(FLines[++FIndex]);
        }
        return Joined;
    }

    // A last line without its line end may be whole (hand-written files often lack it) or cut
    // short by a full disk; data that a cut could shorten unnoticed is refused there.
    bool OnCutLine() const { return FCutShort && FIndex + 1 == FLines.size(); }

    static void ExpectEnd(std::string_view Rest)
    {
        if (!Rest.empty())
            throw ParseFailure{"unexpected text after the value's data"};
    }

    const bool FCutShort;
    std::vector<std::string_view> FLines;
    size_t FIndex = 0;
};

std::string Quoted(std::string_view S)
{
    std::string Out = "\"";
    for (char C : S) {
        if (C == '\\' || C == '"')
            Out.push_back('\\');
        Out.push_back(C);
    }
    Out.push_back('"');
    return Out;
}

bool FitsQuotedForm(const RegValue& Value)
{
    if (Value.Type != RegSz || Value.Data.empty() || Value.Data.back() != '\0')
        return false;
    std::string_view Text(Value.Data.data(), Value.Data.size() - 1);
    return Text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

std::string FormatHex(const RegValue& Value, size_t LineStart)
{
    char Buffer[24];
    if (Value.Type == RegBinary)
        std::snprintf(Buffer, sizeof Buffer, "hex:");
    else
        std::snprintf(Buffer, sizeof Buffer, "hex(%x):", Value.Type);
    std::string Out = Buffer;
    size_t Column = LineStart + Out.size();
    for (size_t I = 0; I < Value.Data.size(); ++I) {
        std::snprintf(Buffer, sizeof Buffer, "%02x", static_cast<unsigned char>(Value.Data[I]));
        Out += Buffer;
        Column += 2;
        if (I + 1 < Value.Data.size()) {
            Out += ',';
            ++Column;
            if (Column >= kHexLineWidth) {
                Out += "\\\n  ";
                Column = 2;
            }
        }
    }
    return Out;
}

std::string FormatValue(const RegValue& Value)
{
    std::string Line = Value.Name.empty() ? "@" : Quoted(Value.Name);
    Line += '=';
    if (Value.Type == RegDword && Value.Data.size() == 4) {
        uint32_t Bits = 0;
        for (int I = 3; I >= 0; --I)
            Bits = (Bits << 8) | static_cast<unsigned char>(Value.Data[I]);
        char Buffer[16];
        std::snprintf(Buffer, sizeof Buffer, "dword:%08x", Bits);
        return Line + Buffer;
    }
    if (FitsQuotedForm(Value))
        return Line + Quoted(std::string_view(Value.Data.data(), Value.Data.size() - 1));
    return Line + FormatHex(Value, Line.size());
}

}  // namespace

bool ParseRegText(std::string_view Text, std::string_view KeyName, RegKeyData& Out, RegParseError& Error)
{
    Parser P(Text);
    RegKeyData Data;
    try {
        P.Run(KeyName, Data);
    } catch (const ParseFailure& Failure) {
        Error = RegParseError{P.LineNumber(), Failure.Message};
        return false;
    }
    Out = std::move(Data);
    return true;
}

std::string FormatRegText(std::string_view KeyName, const RegKeyData& Data)
{
    std::string Text = std::string(kSignature) + "\n\n[" + std::string(KeyName) + "]\n";
    for (const RegValue& Value : Data.Values())
        Text += FormatValue(Value) + "\n";
    Text += "\n";
    return Text;
}

}  // namespace plat

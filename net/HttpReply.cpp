// THttpClient's reply header: the status line and the header lines up to the empty line.
//
// A header line is a name, a colon and a value with optional blanks (spaces, tabs) around it, as
// RFC 9110 has it: "Location:/x", "Location: /x" and "location:\t/x " are one thing. The status
// is the three digits after the version, 100 to 599; anything else reads as 0, no status.
// Interim replies (1xx) are read past to the final one.
#include "net/Httpclient.h"

#include "engine/StrToInt.h"
#include "net/HttpLimits.h"
#include "net/RequestAddress.h"
#include "platform/locale/AsciiCase.h"

#include <algorithm>

namespace {

struct THeaderField {
    std::string Name;  // upper case; empty for a line that is no field
    std::string_view Value;
};

// Name and value of a header line. The value ends at its line end, and at a CR or NUL inside too:
// the cookie and the location go back out in later request lines, where such a byte would start
// a line of the server's choosing or cut the request short.
THeaderField FieldOf(std::string_view Line)
{
    const size_t colon = Line.find(':');
    if (colon == 0 || colon == std::string_view::npos ||
        Line.substr(0, colon).find_first_of(" \t\r\n") != std::string_view::npos)
        return {};
    std::string_view value = Line.substr(colon + 1);
    value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
    value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
    value = value.substr(0, value.find_last_not_of(" \t") + 1);
    return {plat::UpperAscii(Line.substr(0, colon)), value};
}

// The announced body length: digits alone; -1 for anything else, which leaves the body to end
// with the connection.
int64_t BodyLengthFrom(std::string_view Value)
{
    if (Value.empty() || Value.size() > 15 || Value.find_first_not_of("0123456789") != std::string_view::npos)
        return -1;
    int64_t length = 0;
    for (const char c : Value)
        length = length * 10 + (c - '0');
    return length;
}

// The digits the value starts with, as ContentLength shows them (0 when none, or too many).
int32_t NumberFrom(std::string_view Value)
{
    return StrToIntDef(Value.substr(0, Value.find_first_not_of("0123456789")), 0);
}

// "HTTP/1.1 200 OK" gives 200; a second field that is not three digits from 100 to 599 gives 0.
int16_t StatusFrom(const std::string& Line)
{
    const std::string field = TSockClient::NthWord(Line, ' ', 2);
    const std::string code = field.substr(0, field.find_first_of("\r\n"));
    if (code.size() != 3 || code.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int status = std::stoi(code);
    return static_cast<int16_t>(status >= 100 && status <= 599 ? status : 0);
}

bool EndsHeader(const std::string& Line)
{
    return Line.empty() || Line == "\n" || Line == "\r\n";
}

// Transfer-Encoding's codings, the last of which says how the body ends.
bool EndsWithChunked(std::string_view Codings)
{
    const size_t comma = Codings.rfind(',');
    std::string_view last = comma == std::string_view::npos ? Codings : Codings.substr(comma + 1);
    last.remove_prefix(std::min(last.find_first_not_of(" \t"), last.size()));
    return plat::EqualNoCase(last, "chunked");
}

}  // namespace

// ReadLn hands a line longer than its buffer back in pieces; they are joined here, so the end of
// such a line ("\n" or "\r\n" alone in the last piece) is not taken for the header's blank line.
std::string THttpClient::ReadHeaderLn(size_t HeaderBytes)
{
    std::string line = ReadLn();
    while (!line.empty() && line.back() != '\n') {
        if (HeaderBytes + line.size() > net::kMaxHeaderBytes)
            throw ESockError("Reply header too long");
        const std::string piece = ReadLn();
        if (piece.empty())
            break;
        line += piece;
    }
    return line;
}

void THttpClient::ReadHeaderLine(const std::string& Line)
{
    const THeaderField field = FieldOf(Line);
    if (field.Name == "SET-COOKIE") {
        FCookie = field.Value;
        if (FCookie.size() > net::kMaxHeaderValueChars)
            FCookie.clear();
        else
            FCookies.Keep(Host, FCookie, FSecure);
    } else if (field.Name == "LOCATION") {
        FLocation = field.Value;
        // Cut short, it would lead somewhere else.
        if (FLocation.size() > net::kMaxHeaderValueChars) {
            FLocation.clear();
            throw ESockError("Redirect address too long");
        }
    } else if (field.Name == "CONTENT-LENGTH") {
        const int64_t length = BodyLengthFrom(field.Value);
        // Two lengths that differ leave no way to tell where the body ends.
        if (FBodyLength >= 0 && length != FBodyLength)
            throw ESockError("Reply with two different body lengths");
        FContentLength = NumberFrom(field.Value);
        FBodyLength = length;
    } else if (field.Name == "TRANSFER-ENCODING") {
        FChunked = EndsWithChunked(field.Value);
    }
}

void THttpClient::RemoveHeader()
{
    size_t headerBytes = 0;
    do
        ReadReplyHeader(headerBytes);
    while (FStatus >= 100 && FStatus <= 199);
}

// One reply's status line and header lines; HeaderBytes counts those of the interim replies too.
void THttpClient::ReadReplyHeader(size_t& HeaderBytes)
{
    FStatus = 0;
    FContentLength = 0;
    FBodyLength = -1;
    FChunked = false;
    FCookie.clear();
    // A redirect without a location of its own must not reuse the previous reply's.
    FLocation.clear();
    if (!OutputFileMode)
        Header.clear();
    auto keep = [&](const std::string& Line) {
        HeaderBytes += Line.size();
        if (HeaderBytes > net::kMaxHeaderBytes)
            throw ESockError("Reply header too long");
        if (!OutputFileMode)
            Header += Line;
    };
    const std::string status = ReadHeaderLn(HeaderBytes);
    if (!status.empty()) {
        FStatus = StatusFrom(status);
        keep(status);
    }
    for (;;) {
        const std::string line = ReadHeaderLn(HeaderBytes);
        ReadHeaderLine(line);
        keep(line);
        if (EndsHeader(line))
            return;
    }
}

void THttpClient::OpenTunnel()
{
    const std::string target = AuthorityHost(Host) + ":" + std::to_string(Port);
    Write("CONNECT " + target + " HTTP/1.0\r\nHost: " + target + "\r\n\r\n");
    size_t headerBytes = 0;
    std::string status = ReadHeaderLn(headerBytes);
    for (std::string line = status; !EndsHeader(line); line = ReadHeaderLn(headerBytes)) {
        headerBytes += line.size();
        if (headerBytes > net::kMaxHeaderBytes)
            throw ESockError("Reply header too long");
    }
    if (StatusFrom(status) != 200) {
        status.resize(std::min(status.find_first_of("\r\n"), net::kMaxHeaderValueChars));
        throw ESockError("Proxy refused the tunnel: " + status);
    }
}

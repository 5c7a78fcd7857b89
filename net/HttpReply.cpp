// THttpClient's reply header: the status line and the header lines up to the empty line.
//
// Names are recognised only when a blank follows them, in any letter case, and the cookie's and
// the location's values are taken at fixed offsets that assume exactly one blank after the colon.
#include "net/Httpclient.h"

#include "engine/StrToInt.h"
#include "net/HttpLimits.h"
#include "platform/locale/AsciiCase.h"

#include <algorithm>
#include <cctype>

namespace {

// The line from its Position-th character (1-based) on, up to the line end. A CR, LF or NUL
// inside ends the value too: the cookie and the location go back out in later request lines,
// where such a byte would start a header line of the server's choosing or cut the request short.
std::string ValueFrom(const std::string& Line, size_t Position)
{
    std::string value = Line.substr(std::min(Line.size(), Position - 1));
    value.resize(std::min(value.find_first_of(std::string_view("\r\n\0", 3)), value.size()));
    return value;
}

// The announced body length: digits alone after the name and blanks; -1 for anything else,
// which leaves the body to end with the connection.
int64_t BodyLengthFrom(const std::string& Line)
{
    const size_t start = Line.find_first_not_of(' ', Line.find(':') + 1);
    const size_t end = std::min(Line.find_last_not_of(" \t\r\n") + 1, Line.size());
    if (start == std::string::npos || start >= end || end - start > 15)
        return -1;
    int64_t length = 0;
    for (size_t i = start; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(Line[i])))
            return -1;
        length = length * 10 + (Line[i] - '0');
    }
    return length;
}

// The first character at the Position-th place (1-based) and the digits right after it.
int32_t NumberFrom(const std::string& Line, size_t Position)
{
    if (Line.size() < Position)
        return 0;
    size_t end = Position;
    while (end < Line.size() && std::isdigit(static_cast<unsigned char>(Line[end])))
        ++end;
    return StrToIntDef(std::string_view(Line).substr(Position - 1, end - (Position - 1)), 0);
}

std::string FirstFieldUpper(const std::string& Line)
{
    return plat::UpperAscii(std::string_view(Line).substr(0, Line.find(' ')));
}

bool EndsHeader(const std::string& Line)
{
    return Line.empty() || Line == "\n" || Line == "\r\n";
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
    const std::string name = FirstFieldUpper(Line);
    if (name == "SET-COOKIE:") {
        FCookie = ValueFrom(Line, 13);
        if (FCookie.size() > net::kMaxHeaderValueChars)
            FCookie.clear();
        else
            KeepCookie(FCookie);
    } else if (name == "LOCATION:") {
        FLocation = ValueFrom(Line, 11);
        // Cut short, it would lead somewhere else.
        if (FLocation.size() > net::kMaxHeaderValueChars) {
            FLocation.clear();
            throw ESockError("Redirect address too long");
        }
    } else if (name == "CONTENT-LENGTH:") {
        FContentLength = NumberFrom(Line, 17);
        FBodyLength = BodyLengthFrom(Line);
    }
}

void THttpClient::RemoveHeader()
{
    FContentLength = 0;
    FBodyLength = -1;
    FCookie.clear();
    // A redirect without a location of its own must not reuse the previous reply's.
    FLocation.clear();
    if (!OutputFileMode)
        Header.clear();
    size_t headerBytes = 0;
    auto keep = [&](const std::string& Line) {
        headerBytes += Line.size();
        if (headerBytes > net::kMaxHeaderBytes)
            throw ESockError("Reply header too long");
        if (!OutputFileMode)
            Header += Line;
    };
    const std::string status = ReadHeaderLn(headerBytes);
    if (!status.empty()) {
        FStatus = static_cast<int16_t>(StrToIntDef(NthWord(status, ' ', 2), 0));
        keep(status);
    }
    for (;;) {
        const std::string line = ReadHeaderLn(headerBytes);
        ReadHeaderLine(line);
        keep(line);
        if (EndsHeader(line))
            return;
    }
}

void THttpClient::OpenTunnel()
{
    const std::string target = Host + ":" + std::to_string(Port);
    Write("CONNECT " + target + " HTTP/1.0\r\nHost: " + target + "\r\n\r\n");
    size_t headerBytes = 0;
    std::string status = ReadHeaderLn(headerBytes);
    for (std::string line = status; !EndsHeader(line); line = ReadHeaderLn(headerBytes)) {
        headerBytes += line.size();
        if (headerBytes > net::kMaxHeaderBytes)
            throw ESockError("Reply header too long");
    }
    if (StrToIntDef(NthWord(status, ' ', 2), 0) != 200) {
        status.resize(std::min(status.find_first_of("\r\n"), net::kMaxHeaderValueChars));
        throw ESockError("Proxy refused the tunnel: " + status);
    }
}

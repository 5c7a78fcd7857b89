// TSockClient's text helpers: socket error messages and the field cutters used to read
// addresses and reply lines.
#include "net/Sockclient.h"

#include <string_view>

namespace {

struct ErrorText {
    int Number;
    std::string_view Text;
};

constexpr ErrorText kErrorTexts[] = {
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Wrong protocol type for socket"},
    {10042, "Bad protocol option"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Network dropped connection or reset"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references, can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name too long"},
    {10064, "Host is down"},
    {10065, "No route to Host"},
    {10066, "Directory not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disc quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network subsystem is unavailable"},
    {10092, "Incompatible version of WINSOCK.DLL"},
    {10093, "Successful WSAStartup not yet performed"},
    {11001, "Host not found"},
    {11002, "Non-Authoritative Host not found"},
    {11003, "Non-Recoverable error: FORMERR, REFUSED, NOTIMP"},
    {11004, "Valid name, no data record of requested type"},
};

static_assert(std::size(kErrorTexts) == 50);

}  // namespace

std::string TSockClient::SocketErrorStr(int Number)
{
    if (Number == 0)
        return {};
    for (const ErrorText& entry : kErrorTexts)
        if (entry.Number == Number)
            return std::to_string(Number) + ":" + std::string(entry.Text);
    return "Unknown Error No. " + std::to_string(Number);
}

std::string TSockClient::NthWord(const std::string& Text, char Separator, int N)
{
    size_t start = 0;
    for (int field = 1; field < N; ++field) {
        const size_t next = Text.find(Separator, start);
        if (next == std::string::npos)
            return {};
        start = next + 1;
    }
    if (N < 1)
        return {};
    const size_t end = Text.find(Separator, start);
    return Text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

int TSockClient::NthPos(const std::string& Text, char Ch, int N)
{
    int seen = 0;
    for (size_t i = 0; i < Text.size(); ++i)
        if (Text[i] == Ch && ++seen == N)
            return static_cast<int>(i) + 1;
    return static_cast<int>(Text.size()) + 1;
}

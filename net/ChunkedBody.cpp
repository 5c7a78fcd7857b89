#include "net/ChunkedBody.h"

#include "net/SockErrors.h"

#include <algorithm>

namespace {

[[noreturn]] void BadChunk()
{
    throw ESockError("Bad chunk in the reply body");
}

int HexValue(char C)
{
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

}  // namespace

bool TChunkedBody::Take(std::string_view Bytes)
{
    while (!Bytes.empty() && FState != TState::Done) {
        if (FState == TState::Data) {
            const size_t count = static_cast<size_t>(std::min<uint64_t>(FLeft, Bytes.size()));
            FBody.append(Bytes.substr(0, count));
            Bytes.remove_prefix(count);
            FLeft -= count;
            if (FLeft == 0)
                FState = TState::DataEnd;
            continue;
        }
        const char c = Bytes.front();
        Bytes.remove_prefix(1);
        if (c == '\n')
            LineEnded();
        else if (FLine.size() == kMaxChunkLine)
            BadChunk();
        else
            FLine += c;
    }
    return FState != TState::Done;
}

void TChunkedBody::LineEnded()
{
    if (!FLine.empty() && FLine.back() == '\r')
        FLine.pop_back();
    switch (FState) {
    case TState::SizeLine: SizeLineEnded(); break;
    case TState::DataEnd:
        if (!FLine.empty())
            BadChunk();
        FState = TState::SizeLine;
        break;
    case TState::Trailer:
        if (FLine.empty())
            FState = TState::Done;
        break;
    default: break;
    }
    FLine.clear();
}

// "1a3", "1a3;name=value", blanks allowed before the ";".
void TChunkedBody::SizeLineEnded()
{
    const std::string_view line = std::string_view(FLine).substr(0, FLine.find_first_of("; \t"));
    if (line.empty() || line.size() > 15)
        BadChunk();
    FLeft = 0;
    for (const char c : line) {
        const int digit = HexValue(c);
        if (digit < 0)
            BadChunk();
        FLeft = FLeft * 16 + static_cast<uint64_t>(digit);
    }
    FState = FLeft == 0 ? TState::Trailer : TState::Data;
}

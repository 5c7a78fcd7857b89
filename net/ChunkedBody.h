// The body of a reply sent in chunks (Transfer-Encoding: chunked), taken apart as it arrives.
//
// HTTP/1.0 knows no chunks, yet servers and proxies send them; read as they come, the sizes would
// land in the middle of the feed, and a server that keeps the connection open would hold the
// fetch until its time-out. The decoder takes the bytes as they are received, appends the chunks'
// data to the body and says when the last chunk (size 0) and its trailer have ended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class TChunkedBody {
public:
    explicit TChunkedBody(std::string& Body) : FBody(Body) {}

    // Takes the next bytes received; false once the body has ended (what follows is not the
    // body's). A size line that is not a hexadecimal number, a chunk not followed by its line
    // end or a line longer than kMaxChunkLine raises ESockError "Bad chunk in the reply body".
    bool Take(std::string_view Bytes);
    bool Done() const { return FState == TState::Done; }

private:
    enum class TState { SizeLine, Data, DataEnd, Trailer, Done };
    // Size lines and trailer lines are short; a longer one is no chunked body.
    static constexpr size_t kMaxChunkLine = 4096;

    // A whole line (without its LF) for the size or trailer state.
    void LineEnded();
    void SizeLineEnded();

    std::string& FBody;
    TState FState = TState::SizeLine;
    std::string FLine;
    uint64_t FLeft = 0;  // bytes of the current chunk still to come
};

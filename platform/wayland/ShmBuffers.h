// Window-sized pixel buffers shared with the compositor (wl_shm, XRGB8888: 0x00RRGGBB words, the
// frames' own layout). A buffer handed to the compositor is busy until it releases it; the set
// grows to at most kMaxBuffers when every buffer is busy, and is otherwise reused, so a running
// saver makes no buffers after its first frames. Main thread; the release events come on the
// queue of the wl_shm given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct wl_buffer;
struct wl_shm;

namespace plat {

class ShmBuffers {
public:
    static constexpr int kMaxBuffers = 3;

    struct Buffer {
        wl_buffer* Handle = nullptr;
        uint32_t* Pixels = nullptr;
        size_t Bytes = 0;
        bool Busy = false;
        // The number of the picture it holds (0: none yet); kept by the buffers' user.
        uint64_t Picture = 0;
    };

    ShmBuffers(wl_shm* Shm, int Width, int Height) : FShm(Shm), FWidth(Width), FHeight(Height) {}
    ~ShmBuffers();
    ShmBuffers(const ShmBuffers&) = delete;
    ShmBuffers& operator=(const ShmBuffers&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Pixels from one row to the next.
    int Pitch() const { return FWidth; }

    // A buffer the compositor does not hold (made when none is free and fewer than kMaxBuffers
    // exist); null when every one is busy or no memory can be shared.
    Buffer* Free();

private:
    std::unique_ptr<Buffer> Make();

    wl_shm* const FShm;
    const int FWidth, FHeight;
    std::vector<std::unique_ptr<Buffer>> FBuffers;
};

}  // namespace plat

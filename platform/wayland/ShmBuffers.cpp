#include "platform/wayland/ShmBuffers.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace plat {
namespace {

void OnRelease(void* Data, wl_buffer*)
{
    static_cast<ShmBuffers::Buffer*>(Data)->Busy = false;
}

constexpr wl_buffer_listener kBufferListener = {OnRelease};

}  // namespace

ShmBuffers::~ShmBuffers()
{
    for (auto& buffer : FBuffers) {
        wl_buffer_destroy(buffer->Handle);
        munmap(buffer->Pixels, buffer->Bytes);
    }
}

ShmBuffers::Buffer* ShmBuffers::Free()
{
    for (auto& buffer : FBuffers)
        if (!buffer->Busy)
            return buffer.get();
    if (static_cast<int>(FBuffers.size()) >= kMaxBuffers)
        return nullptr;
    std::unique_ptr<Buffer> made = Make();
    if (made == nullptr)
        return nullptr;
    FBuffers.push_back(std::move(made));
    return FBuffers.back().get();
}

// A file of its own for each buffer: the memory goes back to the system with the buffer.
std::unique_ptr<ShmBuffers::Buffer> ShmBuffers::Make()
{
    if (FWidth <= 0 || FHeight <= 0)
        return nullptr;
    const int stride = FWidth * 4;
    const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(FHeight);
    const int fd = memfd_create("solvane-frame", MFD_CLOEXEC);
    if (fd < 0)
        return nullptr;
    void* pixels = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0)
        pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        close(fd);
        return nullptr;
    }
    auto buffer = std::make_unique<Buffer>();
    buffer->Pixels = static_cast<uint32_t*>(pixels);
    buffer->Bytes = bytes;
    wl_shm_pool* pool = wl_shm_create_pool(FShm, fd, static_cast<int32_t>(bytes));
    buffer->Handle = wl_shm_pool_create_buffer(pool, 0, FWidth, FHeight, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(buffer->Handle, &kBufferListener, buffer.get());
    return buffer;
}

}  // namespace plat

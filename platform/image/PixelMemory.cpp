// Pixel memory: the heap for small pictures, a private mapping in huge pages for large ones.
// A tall strip is tens of megabytes written once in full right after allocation; in 4 KiB pages
// that is thousands of page faults, a quarter of the decoding time, in 2 MiB pages a handful.
// Where the system gives no huge pages the mapping simply stays in small ones.
#include "platform/image/PixelMemory.h"

#include <cstring>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace plat {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;

size_t MappedSize(size_t Bytes)
{
    return (Bytes + kHugePage - 1) & ~(kHugePage - 1);
}

// Maps one huge page more than needed and gives back the parts before the first and after the
// last aligned huge page. Only the huge pages the picture fills are asked for: a last page that
// it fills in part stays in small pages, so its unused rest takes no memory.
void* MapAligned(size_t Size, size_t Bytes)
{
    void* Raw = mmap(nullptr, Size + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (Raw == MAP_FAILED)
        throw std::bad_alloc();
    auto* Start = static_cast<char*>(Raw);
    auto* Aligned = reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(Start) + kHugePage - 1) & ~(kHugePage - 1));
    if (Aligned > Start)
        munmap(Start, static_cast<size_t>(Aligned - Start));
    const size_t Tail = static_cast<size_t>(Start + Size + kHugePage - (Aligned + Size));
    if (Tail > 0)
        munmap(Aligned + Size, Tail);
    madvise(Aligned, Bytes & ~(kHugePage - 1), MADV_HUGEPAGE);
    return Aligned;
}

}  // namespace

void* AllocatePixelMemory(size_t Bytes)
{
    if (Bytes >= kHugePage)
        return MapAligned(MappedSize(Bytes), Bytes);
    return ::operator new(Bytes);
}

bool PixelMemoryStartsZeroed(size_t Bytes)
{
    return Bytes >= kHugePage;
}

void FreePixelMemory(void* Memory, size_t Bytes)
{
    if (Bytes >= kHugePage)
        munmap(Memory, MappedSize(Bytes));
    else
        ::operator delete(Memory);
}

PixelBuffer::PixelBuffer(size_t Count)
    : FData(Count ? static_cast<uint32_t*>(AllocatePixelMemory(Count * sizeof(uint32_t))) : nullptr), FCount(Count)
{}

PixelBuffer::PixelBuffer(const PixelBuffer& Other) : PixelBuffer(Other.FCount)
{
    if (FCount)
        std::memcpy(FData, Other.FData, FCount * sizeof(uint32_t));
}

PixelBuffer::PixelBuffer(PixelBuffer&& Other) noexcept
    : FData(std::exchange(Other.FData, nullptr)), FCount(std::exchange(Other.FCount, 0))
{}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& Other)
{
    if (this != &Other)
        *this = PixelBuffer(Other);
    return *this;
}

PixelBuffer& PixelBuffer::operator=(PixelBuffer&& Other) noexcept
{
    std::swap(FData, Other.FData);
    std::swap(FCount, Other.FCount);
    return *this;
}

PixelBuffer::~PixelBuffer()
{
    if (FData)
        FreePixelMemory(FData, FCount * sizeof(uint32_t));
}

}  // namespace plat

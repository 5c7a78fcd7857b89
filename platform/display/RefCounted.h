// The display objects' reference count: an object starts with one reference and the last Release
// frees it, the way callers of the display layer hand objects around and let go of them.
#pragma once

#include <atomic>
#include <cstdint>

namespace plat {

template <class T>
class RefCounted {
public:
    uint32_t AddRef() { return FReferences.fetch_add(1, std::memory_order_relaxed) + 1; }

    uint32_t Release()
    {
        const uint32_t left = FReferences.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0)
            delete static_cast<T*>(this);
        return left;
    }

protected:
    RefCounted() = default;
    ~RefCounted() = default;

private:
    std::atomic<uint32_t> FReferences{1};
};

}  // namespace plat

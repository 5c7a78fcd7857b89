// The hand-over of a gadget value from the UI thread, which writes it, to the frame thread, which
// draws it. Every write publishes a new immutable copy; a read pins the newest copy for as long
// as the reader holds it, so a value is never read while it is being replaced.
//
// The frame thread's side costs a shared-pointer copy under a lock that is only ever held for a
// pointer swap or copy: it never waits for a writer's allocation, never allocates and never frees.
// A replaced copy is kept until a later write finds that no reader holds it any more, and is
// freed there, on the writer's thread.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

template <class T>
class THandOver {
public:
    explicit THandOver(T Initial) : FCurrent(std::make_shared<const T>(std::move(Initial))) {}

    // The newest value, pinned while the result is held.
    std::shared_ptr<const T> Read() const
    {
        std::lock_guard<std::mutex> Lock(FReadLock);
        return FCurrent;
    }

    // Publishes Change(current value) when it gives one. Writers take turns, so each one's
    // change starts from the value the one before published.
    template <class ChangeFn>
    void Update(ChangeFn&& Change)
    {
        std::lock_guard<std::mutex> Writing(FWriteLock);
        std::optional<T> Next = Change(*FCurrent);
        if (!Next)
            return;
        std::shared_ptr<const T> Replaced = std::make_shared<const T>(std::move(*Next));
        {
            std::lock_guard<std::mutex> Lock(FReadLock);
            FCurrent.swap(Replaced);
        }
        // Only FCurrent hands out new pins, so a retired copy that nobody else holds stays free.
        std::erase_if(FRetired, [](const std::shared_ptr<const T>& Copy) { return Copy.use_count() == 1; });
        FRetired.push_back(std::move(Replaced));
    }

private:
    mutable std::mutex FReadLock;
    std::mutex FWriteLock;
    std::shared_ptr<const T> FCurrent;
    std::vector<std::shared_ptr<const T>> FRetired;  // writers only
};

// A lock that one process of the user holds at a time, as a file in the user's runtime folder
// ($XDG_RUNTIME_DIR, else a private folder under /tmp). Several saver processes run side by side
// (a daemon starts one per monitor); the one holding "music" plays the sound and sets the volume.
// The lock goes with the process, however it ends.
#pragma once

#include <string>

namespace plat {

// The file of the lock of that name, or "" when the user has no runtime folder.
std::string RuntimeLockPath(const std::string& Name);

class RuntimeLock {
public:
    RuntimeLock() = default;
    ~RuntimeLock();
    RuntimeLock(const RuntimeLock&) = delete;
    RuntimeLock& operator=(const RuntimeLock&) = delete;

    // Takes the lock of that name without waiting; false when another process holds it or the
    // lock file cannot be made.
    bool TryAcquire(const std::string& Name);
    bool Held() const { return FFile >= 0; }
    void Release();

    // Replaces the held lock file's text (what others read of the holder); false when not held.
    bool WriteText(const std::string& Text);

private:
    int FFile = -1;
};

}  // namespace plat

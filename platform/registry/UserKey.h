// A key of the per-user registry: the settings service of the platform layer.
//
// A key is named by its path below the per-user root ("SOFTWARE\Kestrin Software\Solvane
// Screensaver"). Open gives a read-only snapshot of the key; Create gives the key for writing and
// holds it exclusively until the object is destroyed, so that two processes cannot interleave
// their read-modify-write cycles. Every write goes to lasting storage before it returns; a crash at
// any moment leaves the key as it was before or after the write, never in between.
//
// On Linux the per-user root is the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config), and the key SOFTWARE\A\B is the text file A/B.reg below it, in the registry's export
// format. A file that cannot be parsed counts as a missing key (with a message on standard error
// naming the file and the line); before a writer replaces it, it is kept beside it with the suffix
// ".bad". A writer replaces only a regular file of the user's that the user may write, and the
// replacement keeps its rights; a key file that is a link is written through to the file it leads
// to, but a damaged or reset one is left as it is.
#pragma once

#include "platform/files/KeyFile.h"
#include "platform/registry/RegKeyData.h"

#include <cstdint>
#include <memory>
#include <string>

namespace plat {

// Why a key could not be created for writing, in words for the user.
struct KeyFailure {
    std::string FileName;  // the key's file; empty when the key has no place at all
    std::string Reason;  // "another program has kept the file locked for 2 seconds"
};

class UserKey {
public:
    // Null when the key does not exist or cannot be read.
    static std::unique_ptr<UserKey> Open(const std::string& KeyPath);
    // Creates the key and its parents when missing; null when that is impossible (another writer
    // holding the key for longer than a bounded wait among the reasons), with the reason in
    // Failure when one is given.
    static std::unique_ptr<UserKey> Create(const std::string& KeyPath, KeyFailure* Failure = nullptr);

    ~UserKey();
    UserKey(const UserKey&) = delete;
    UserKey& operator=(const UserKey&) = delete;

    bool ValueExists(const std::string& Name) const { return FData.Find(Name) != nullptr; }
    // Raise ERegistryException: "Failed to get data for '%s'" when the value is missing or longer
    // than four bytes, "Invalid data type for '%s'" when it is not a DWORD.
    int32_t ReadInteger(const std::string& Name) const;
    // A missing text reads as empty; REG_SZ and REG_EXPAND_SZ are read as they are (no expansion).
    // Raises "Invalid data type for '%s'" for any other type.
    std::string ReadString(const std::string& Name) const;
    // Only on a key from Create. Raise "Failed to set data for '%s'" when the key cannot be stored.
    void WriteInteger(const std::string& Name, int32_t Value);
    void WriteString(const std::string& Name, const std::string& Value);
    // Between these two, writes only change the key in memory; EndUpdate stores them all in one
    // replacement of the key, so a crash leaves none or all of them. It raises "Failed to set data
    // for '%s'" naming the first value written since BeginUpdate.
    void BeginUpdate();
    void EndUpdate();
    // A reset of the key: the next store first keeps the file it replaces beside it as ".bad"
    // (what a person wrote stays readable). Only the key's own file is reset; the store of a key
    // whose file is a link raises and changes nothing.
    void KeepPreviousAside();

    // The file a write replaces, and why the last store of the key failed (in words for the user,
    // empty when it did not fail for a reason of the file).
    const std::string& FileName() const { return FFileName; }
    const std::string& StoreFailure() const { return FStoreFailure; }

private:
    UserKey(std::string KeyName, std::string FileName, RegKeyData Data, int LockFd);
    void WriteValue(const std::string& Name, uint32_t Type, std::string Data);
    void Store(const RegKeyData& Data, const std::string& FirstName);
    // Why the text could not be stored; empty when it was.
    std::string StoreText(const std::string& Text) const;

    std::string FKeyName;  // "HKEY_CURRENT_USER\..." as written at the top of the file
    std::string FFileName;  // the file a write replaces (a linked file's target)
    bool FLinked = false;  // the key's file is a link to FFileName
    keyfile::FileRights FRights;  // what a replacement of FFileName takes over
    RegKeyData FData;
    int FLockFd;  // -1 for a key opened for reading
    bool FUpdating = false;
    bool FKeepPrevious = false;
    std::string FFirstUpdate;
    std::string FStoreFailure;
};

}  // namespace plat

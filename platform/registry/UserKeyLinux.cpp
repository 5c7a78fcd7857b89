// The per-user key as a file in the user's configuration folder (see UserKey.h).
#include "platform/registry/UserKey.h"

#include "platform/files/KeyFile.h"
#include "platform/registry/RegText.h"
#include "platform/registry/RegistryException.h"
#include "platform/xdg/ConfigFolder.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace plat {

namespace {

constexpr const char* kRootName = "HKEY_CURRENT_USER";
constexpr const char* kSoftware = "SOFTWARE";

struct KeyLocation {
    std::string KeyName;  // as written at the top of the file
    std::string Folder;
    std::string FileName;
};

std::vector<std::string> SplitPath(const std::string& KeyPath)
{
    std::vector<std::string> Parts;
    size_t Start = 0;
    for (;;) {
        const size_t End = KeyPath.find('\\', Start);
        Parts.push_back(KeyPath.substr(Start, End - Start));
        if (End == std::string::npos)
            return Parts;
        Start = End + 1;
    }
}

// A key name part becomes a file name part: it must not climb out of the configuration folder.
bool SafePart(const std::string& Part)
{
    return !Part.empty() && Part != "." && Part != ".." &&
        Part.find_first_of(std::string_view("/\0", 2)) == std::string::npos;
}

// SOFTWARE\A\...\B maps to <root>/A/.../B.reg; other keys have no place on this platform.
bool Locate(const std::string& KeyPath, KeyLocation& Out)
{
    const std::vector<std::string> Parts = SplitPath(KeyPath);
    if (Parts.size() < 2 || Parts[0] != kSoftware)
        return false;
    std::string Folder = UserConfigFolder();
    if (Folder.empty())
        return false;
    for (size_t I = 1; I < Parts.size(); ++I) {
        if (!SafePart(Parts[I]))
            return false;
        if (I + 1 < Parts.size())
            Folder += "/" + Parts[I];
    }
    Out.KeyName = std::string(kRootName) + "\\" + KeyPath;
    Out.FileName = Folder + "/" + Parts.back() + ".reg";
    Out.Folder = std::move(Folder);
    return true;
}

enum class LoadResult { Ok, Missing, Unreadable, Damaged };

// The system's words for errno, for a message that a person reads.
std::string SystemReason()
{
    return errno != 0 ? std::strerror(errno) : "unknown reason";
}

std::string LockedReason()
{
    return "another program has kept it locked for " +
        std::to_string(std::chrono::duration_cast<std::chrono::seconds>(keyfile::kLockWait).count()) + " seconds";
}

void ReportDamage(const std::string& FileName, int Line, const std::string& Message)
{
    if (Line > 0)
        std::fprintf(stderr, "%s:%d: %s; the settings in this file are not used\n", FileName.c_str(), Line,
                     Message.c_str());
    else
        std::fprintf(stderr, "%s: %s; the settings in this file are not used\n", FileName.c_str(), Message.c_str());
}

LoadResult Load(const KeyLocation& Where, RegKeyData& Data)
{
    std::string Text;
    switch (keyfile::ReadWholeFile(Where.FileName, Text)) {
    case keyfile::ReadResult::Missing: return LoadResult::Missing;
    case keyfile::ReadResult::Failed: return LoadResult::Unreadable;
    case keyfile::ReadResult::TooLarge:
        ReportDamage(Where.FileName, 0, "the file is too large to be a settings file");
        return LoadResult::Damaged;
    case keyfile::ReadResult::Ok: break;
    }
    RegParseError Error;
    if (ParseRegText(Text, Where.KeyName, Data, Error))
        return LoadResult::Ok;
    ReportDamage(Where.FileName, Error.Line, Error.Message);
    return LoadResult::Damaged;
}

// Loads the key for a writer that replaces Target (the key's file, or the file its link leads
// to) and makes sure Target may be replaced: a file of the user's that the user may write, kept
// aside first when it is damaged. Returns why not, or an empty text.
std::string PrepareWrite(const KeyLocation& Where, const std::string& Target, RegKeyData& Data,
                         keyfile::FileRights& Rights)
{
    const LoadResult Loaded = Load(Where, Data);
    if (Loaded == LoadResult::Unreadable)
        return "it cannot be read (" + SystemReason() + ")";
    std::string Refusal = keyfile::ReplaceRefusal(Target, Rights);
    if (!Refusal.empty() || Loaded != LoadResult::Damaged)
        return Refusal;
    // What a person wrote is never overwritten, and a file that a link leads to is not the key's
    // to move or replace.
    if (Target != Where.FileName)
        return "it is a link to " + Target + ", which holds no settings this program reads; both are left as they are";
    const std::string Kept = keyfile::KeepAside(Target);
    if (Kept.empty())
        return "it is damaged and cannot be kept aside (" + SystemReason() + ")";
    std::fprintf(stderr, "%s: kept as %s\n", Target.c_str(), Kept.c_str());
    return {};
}

}  // namespace

UserKey::UserKey(std::string KeyName, std::string FileName, RegKeyData Data, int LockFd)
    : FKeyName(std::move(KeyName)), FFileName(std::move(FileName)), FData(std::move(Data)), FLockFd(LockFd)
{}

UserKey::~UserKey()
{
    if (FLockFd >= 0)
        ::close(FLockFd);
}

std::unique_ptr<UserKey> UserKey::Open(const std::string& KeyPath)
{
    KeyLocation Where;
    RegKeyData Data;
    if (!Locate(KeyPath, Where) || Load(Where, Data) != LoadResult::Ok)
        return nullptr;
    return std::unique_ptr<UserKey>(new UserKey(Where.KeyName, Where.FileName, std::move(Data), -1));
}

std::unique_ptr<UserKey> UserKey::Create(const std::string& KeyPath, KeyFailure* Failure)
{
    KeyFailure Ignored;
    KeyFailure& Why = Failure ? *Failure : Ignored;
    KeyLocation Where;
    if (!Locate(KeyPath, Where)) {
        Why = {{}, "there is no settings folder for this key"};
        return nullptr;
    }
    Why.FileName = Where.FileName;
    if (!keyfile::MakeFolders(Where.Folder)) {
        Why.Reason = "its folder cannot be made (" + SystemReason() + ")";
        return nullptr;
    }
    const int LockFd = keyfile::LockExclusive(Where.FileName + ".lock");
    if (LockFd < 0) {
        Why.Reason = errno == EWOULDBLOCK ? LockedReason() : "its lock cannot be taken (" + SystemReason() + ")";
        return nullptr;
    }
    const std::string Target = keyfile::WriteTarget(Where.FileName);
    RegKeyData Data;
    keyfile::FileRights Rights;
    Why.Reason = PrepareWrite(Where, Target, Data, Rights);
    if (!Why.Reason.empty()) {
        ::close(LockFd);
        return nullptr;
    }
    auto Key = std::unique_ptr<UserKey>(new UserKey(Where.KeyName, Target, std::move(Data), LockFd));
    Key->FLinked = Target != Where.FileName;
    Key->FRights = Rights;
    return Key;
}

int32_t UserKey::ReadInteger(const std::string& Name) const
{
    const RegValue* Value = FData.Find(Name);
    if (!Value || Value->Data.size() > 4)
        throw ERegistryException("Failed to get data for '" + Name + "'");
    if (Value->Type != RegDword)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    uint32_t Bits = 0;
    for (size_t I = Value->Data.size(); I-- > 0;)
        Bits = (Bits << 8) | static_cast<unsigned char>(Value->Data[I]);
    return static_cast<int32_t>(Bits);
}

std::string UserKey::ReadString(const std::string& Name) const
{
    const RegValue* Value = FData.Find(Name);
    if (!Value)
        return {};
    if (Value->Type != RegSz && Value->Type != RegExpandSz)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return TextOfData(Value->Data);
}

void UserKey::WriteInteger(const std::string& Name, int32_t Value)
{
    WriteValue(Name, RegDword, DwordData(Value));
}

void UserKey::WriteString(const std::string& Name, const std::string& Value)
{
    WriteValue(Name, RegSz, TextData(Value));
}

void UserKey::WriteValue(const std::string& Name, uint32_t Type, std::string Data)
{
    // A name with a line break or a zero byte has no form in the file.
    if (FLockFd < 0 || Name.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        throw ERegistryException("Failed to set data for '" + Name + "'");
    if (FUpdating) {
        if (FFirstUpdate.empty())
            FFirstUpdate = Name;
        FData.Set(Name, Type, std::move(Data));
        return;
    }
    RegKeyData Next = FData;
    Next.Set(Name, Type, std::move(Data));
    Store(Next, Name);
    FData = std::move(Next);
}

void UserKey::BeginUpdate()
{
    FUpdating = true;
    FFirstUpdate.clear();
}

void UserKey::EndUpdate()
{
    FUpdating = false;
    if (!FFirstUpdate.empty())
        Store(FData, FFirstUpdate);
}

void UserKey::KeepPreviousAside()
{
    FKeepPrevious = true;
}

void UserKey::Store(const RegKeyData& Data, const std::string& FirstName)
{
    FStoreFailure = StoreText(FormatRegText(FKeyName, Data));
    if (!FStoreFailure.empty())
        throw ERegistryException("Failed to set data for '" + FirstName + "'");
    FKeepPrevious = false;
}

std::string UserKey::StoreText(const std::string& Text) const
{
    // A key larger than any reader accepts would be kept aside as damaged by the next writer.
    if (Text.size() > keyfile::kMaxKeyFileSize)
        return std::strerror(EFBIG);
    if (FKeepPrevious && FLinked)
        return "it is reached through a link, and only a settings file of its own is reset; it is left as it is";
    std::string Kept;
    if (FKeepPrevious) {
        Kept = keyfile::KeepAside(FFileName, true);
        if (Kept.empty() && errno != ENOENT)
            return "its present content cannot be kept aside (" + SystemReason() + ")";
    }
    if (keyfile::ReplaceFile(FFileName, Text, FRights)) {
        if (!Kept.empty())
            std::fprintf(stderr, "%s: kept as %s\n", FFileName.c_str(), Kept.c_str());
        return {};
    }
    const std::string Reason = SystemReason();
    if (!Kept.empty())
        ::unlink(Kept.c_str());  // the key file is as it was, so its copy is not needed
    return Reason;
}

}  // namespace plat

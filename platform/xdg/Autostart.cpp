#include "platform/xdg/Autostart.h"

#include "platform/files/KeyFile.h"
#include "platform/xdg/ConfigFolder.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace plat {
namespace {

// Characters that make the desktop entry rules quote an argument of Exec.
constexpr std::string_view kReserved = " \t\"'\\><~|&;$*?#()`";

// Bytes that no value of a desktop entry can hold.
bool Unwritable(const std::string& Text)
{
    for (const char C : Text)
        if (static_cast<unsigned char>(C) < 0x20 || C == 0x7F)
            return true;
    return false;
}

// One argument of Exec: quoted when it holds a reserved character, with '"', '`', '$' and '\'
// escaped inside the quotes; '%' doubled, since a single one starts a field code.
std::string ExecArgument(const std::string& Argument)
{
    const bool quote = Argument.empty() || Argument.find_first_of(kReserved) != std::string::npos;
    std::string out = quote ? "\"" : "";
    for (const char C : Argument) {
        if (quote && (C == '"' || C == '`' || C == '$' || C == '\\'))
            out += '\\';
        out += C;
        if (C == '%')
            out += '%';
    }
    return quote ? out + '"' : out;
}

// The value of Exec as a string of the entry, whose own escape doubles every backslash.
std::string ExecValue(const std::vector<std::string>& Command)
{
    std::string line;
    for (const std::string& argument : Command)
        line += (line.empty() ? "" : " ") + ExecArgument(argument);
    std::string value;
    for (const char C : line)
        value += C == '\\' ? std::string("\\\\") : std::string(1, C);
    return value;
}

std::string EntryText(const AutostartEntry& Entry)
{
    return "[Desktop Entry]\nType=Application\nName=" + Entry.Name + "\nComment=" + Entry.Comment +
        "\nExec=" + ExecValue(Entry.Command) + "\nTerminal=false\nNoDisplay=true\n";
}

std::string SystemReason()
{
    return std::strerror(errno);
}

}  // namespace

std::string AutostartPath(const std::string& FileName)
{
    const std::string folder = UserConfigFolder();
    return folder.empty() ? std::string() : folder + "/autostart/" + FileName;
}

std::string WriteAutostartEntry(const AutostartEntry& Entry)
{
    const std::string path = AutostartPath(Entry.FileName);
    if (path.empty())
        return "there is no configuration folder (HOME is not set)";
    for (const std::string& field : {Entry.Name, Entry.Comment})
        if (Unwritable(field))
            return "a text of the entry holds a control character";
    for (const std::string& argument : Entry.Command)
        if (Unwritable(argument))
            return "the program's path cannot be written into a desktop entry";
    if (!keyfile::MakeFolders(path.substr(0, path.rfind('/'))))
        return "its folder cannot be made (" + SystemReason() + ")";
    keyfile::FileRights rights{0644};
    std::string refusal = keyfile::ReplaceRefusal(path, rights);
    if (refusal.empty() && !keyfile::ReplaceFile(path, EntryText(Entry), rights))
        refusal = SystemReason();
    return refusal;
}

std::string RemoveAutostartEntry(const std::string& FileName)
{
    const std::string path = AutostartPath(FileName);
    if (path.empty() || ::unlink(path.c_str()) == 0 || errno == ENOENT)
        return {};
    return SystemReason();
}

}  // namespace plat

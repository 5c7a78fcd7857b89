// The user's XDG autostart entries: desktop entries in <configuration folder>/autostart/ that the
// desktop starts at login (GNOME, KDE Plasma, Xfce, MATE, Cinnamon, LXQt and others follow the XDG
// autostart rules). An entry is replaced whole, never left half-written.
#pragma once

#include <string>
#include <vector>

namespace plat {

struct AutostartEntry {
    std::string FileName;  // "solvane-idle.desktop"
    std::string Name;  // what the desktop's list of start-up programs shows
    std::string Comment;
    std::vector<std::string> Command;  // the program by its absolute path, then its arguments
};

// The entry's file, <configuration folder>/autostart/<FileName>; "" when the user has no
// configuration folder.
std::string AutostartPath(const std::string& FileName);

// Writes the entry (making the folder when missing). Empty on success, else why, in words for the
// user ("the program's path cannot be written into a desktop entry").
std::string WriteAutostartEntry(const AutostartEntry& Entry);

// Removes the entry. Empty when it is gone afterwards (also when there was none), else why.
std::string RemoveAutostartEntry(const std::string& FileName);

}  // namespace plat

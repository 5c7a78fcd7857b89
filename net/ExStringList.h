// TExStringList: a list of "Name: value" lines, the HTTP client's request header.
//
// Names are matched without regard to letter case against the text before a line's first ":".
// SetValue with an empty value deletes the line; GetValue drops one blank after the colon.
#pragma once

#include <string>
#include <vector>

class TExStringList {
public:
    void Clear() { FLines.clear(); }
    void Add(std::string Line) { FLines.push_back(std::move(Line)); }
    int Count() const { return static_cast<int>(FLines.size()); }
    const std::string& Strings(int Index) const { return FLines.at(static_cast<size_t>(Index)); }

    int IndexOfName(const std::string& Name) const;
    void SetValue(const std::string& Name, const std::string& Value);
    std::string GetValue(const std::string& Name) const;
    // The lines joined, each followed by CR LF.
    std::string Text() const;

private:
    std::vector<std::string> FLines;
};

// Optional request header values of the HTTP client; the program uses only Cookie.
struct THeaderInfo {
    std::string LocalMailAddress;
    std::string LocalProgram;
    std::string Cookie;
    std::string Referer;
    std::string UserId;
    std::string Password;
};

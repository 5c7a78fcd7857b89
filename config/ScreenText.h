// Texts from outside (feeds, the channel directory, the settings file) as the dialog shows them.
// They are bytes: each well-formed UTF-8 sequence reads as its character and every other byte as
// its Windows-1252 character, as the saver draws them (platform/gdi/CodePage.h).
#pragma once

#include <QString>

#include <string_view>

QString ScreenText(std::string_view Bytes);

// A name a server gives (a category, a channel title): its text cut to kMaxShownName characters,
// without control characters and without the characters that embed, override or isolate a
// writing direction, so a name can neither break the list's lines nor turn the text around it.
inline constexpr int kMaxShownName = 256;
QString ShownName(std::string_view Bytes);

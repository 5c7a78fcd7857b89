#include "config/ScreenText.h"

#include "platform/gdi/CodePage.h"

namespace {

bool IsDirectionControl(char32_t C)
{
    return C == 0x061C || C == 0x200E || C == 0x200F || (C >= 0x202A && C <= 0x202E) || (C >= 0x2066 && C <= 0x2069);
}

bool IsControl(char32_t C)
{
    return C < 0x20 || (C >= 0x7F && C <= 0x9F);
}

}  // namespace

QString ScreenText(std::string_view Bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(Bytes.size()));
    const int count = static_cast<int>(Bytes.size());
    for (int pos = 0; pos < count;) {
        const char32_t character = plat::NextCharacter(Bytes.data(), count, pos);
        text.append(QString::fromUcs4(&character, 1));
    }
    return text;
}

QString ShownName(std::string_view Bytes)
{
    QString name;
    const int count = static_cast<int>(Bytes.size());
    for (int pos = 0, kept = 0; pos < count && kept < kMaxShownName;) {
        const char32_t character = plat::NextCharacter(Bytes.data(), count, pos);
        if (IsControl(character) || IsDirectionControl(character))
            continue;
        name.append(QString::fromUcs4(&character, 1));
        ++kept;
    }
    return name;
}

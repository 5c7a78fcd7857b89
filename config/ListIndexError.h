// The message of a read past the end of one of the dialog's lists, such as the first code of an
// empty city list: "List index out of bounds (0)".
#pragma once

#include <QString>

inline QString ListIndexError(int Index)
{
    return QStringLiteral("List index out of bounds (%1)").arg(Index);
}

#include "platform/qt/FontConfiguration.h"

#include <fontconfig/fontconfig.h>

namespace plat {

void LoadFontConfiguration()
{
    // Qt's font database asks for the same default configuration; the first caller loads it.
    FcInit();
}

}  // namespace plat

#include "platform/qt/FontConfiguration.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace plat {
namespace {

using TPattern = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;

}  // namespace

void LoadFontConfiguration()
{
    // Qt's font database asks for the same default configuration; the first caller loads it.
    FcInit();
}

QString InstalledFamily(const QString& Family)
{
    // The same substitutions Qt's own lookup makes, so the stand-in is the face Qt would draw.
    TPattern asked(FcPatternCreate(), FcPatternDestroy);
    const QByteArray name = Family.toUtf8();
    FcPatternAddString(asked.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.constData()));
    FcConfigSubstitute(nullptr, asked.get(), FcMatchPattern);
    FcDefaultSubstitute(asked.get());
    FcResult result = FcResultNoMatch;
    const TPattern best(FcFontMatch(nullptr, asked.get(), &result), FcPatternDestroy);
    FcChar8* installed = nullptr;
    if (best == nullptr || FcPatternGetString(best.get(), FC_FAMILY, 0, &installed) != FcResultMatch)
        return Family;
    return QString::fromUtf8(reinterpret_cast<const char*>(installed));
}

}  // namespace plat

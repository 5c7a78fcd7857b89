// fontconfig's configuration and font list, which Qt loads on the UI thread at the first text it
// lays out: loading them on another thread while Qt starts takes that wait out of the dialog's
// opening. And the installed face that stands in for a face the form names: Qt, asked for a face
// that is not installed, searches every font for fallbacks at each new style before it settles on
// the same stand-in, a tenth of the dialog's opening. Safe on any thread, before or while the
// QApplication is made.
#pragma once

#include <QString>

namespace plat {

void LoadFontConfiguration();

// Family itself when it is installed, else the installed family fontconfig puts in its place
// (DejaVu Sans for Verdana on most Linux desktops); Family when fontconfig finds nothing.
QString InstalledFamily(const QString& Family);

}  // namespace plat

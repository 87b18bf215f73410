#!/bin/sh
# Takes docs/launcher-menu.png: the real Corvanta under Xvfb with Japanese
# fonts, its cascading launcher menu open over the sample items.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-deps.sh"
build=${CORVANTA_BUILD_DIR:-$root/build}
export CORVANTA_BUILD_DIR="$build"
mkdir -p "$root/docs"
shot=$(mktemp --suffix=.png)
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  sh "$0/scripts/build.sh" --target screenshot_driver Corvanta
  cd "$CORVANTA_BUILD_DIR/bin" && "$CORVANTA_BUILD_DIR/wine-run.sh" screenshot_driver.exe "$1"
  WINEPREFIX="$CORVANTA_BUILD_DIR/wineprefix" wineserver -k || true' "$root" "$shot"
# Keep the part of the screen where the menu opened.
convert "$shot" -crop 600x184+648+117 +repage "$root/docs/launcher-menu.png"
rm -f "$shot"
echo "wrote docs/launcher-menu.png"

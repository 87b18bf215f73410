#!/bin/sh
# Takes the documentation pictures from the real Corvanta under Xvfb with
# Japanese fonts, into docs/ (README) and help/images/ (the help files):
#   launcher-menu.png     the cascading launcher menu over a folder of tools
#   launcher-menu-en.png  the same with the English library beside the program
#   progress.png          the progress dialog after a folder has run
#   management.png, settings.png (and -en variants for the English help):
#                         the management dialog and the settings sheet, taken
#                         only where the program has them (skipped otherwise)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-deps.sh"
build=${CORVANTA_BUILD_DIR:-$root/build}
export CORVANTA_BUILD_DIR="$build"
mkdir -p "$root/docs" "$root/help/images"
shots=$(mktemp -d)
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  set -e
  sh "$0/scripts/build.sh" --target Corvanta corvanta_pictures
  cd "$CORVANTA_BUILD_DIR/bin"
  for picture in menu menu-en progress management management-en settings settings-en; do
    "$CORVANTA_BUILD_DIR/wine-run.sh" corvanta_pictures.exe $picture "$1/$picture.png" | tr -d "\r" >"$1/$picture.crop"
  done
  WINEPREFIX="$CORVANTA_BUILD_DIR/wineprefix" wineserver -k || true' "$root" "$shots"
for picture in menu menu-en progress management management-en settings settings-en; do
  crop=$(sed -n 's/^crop //p' "$shots/$picture.crop")
  [ -n "$crop" ] || { echo "$picture: not taken (the program has no such dialog yet?)"; continue; }
  convert "$shots/$picture.png" -crop "$crop" +repage "$root/help/images/$picture.png"
done
mv "$root/help/images/menu.png" "$root/help/images/launcher-menu.png"
mv "$root/help/images/menu-en.png" "$root/help/images/launcher-menu-en.png"
for picture in launcher-menu launcher-menu-en progress management settings; do
  [ ! -f "$root/help/images/$picture.png" ] || cp "$root/help/images/$picture.png" "$root/docs/"
done
rm -rf "$shots"
echo "pictures in help/images: $(cd "$root/help/images" && ls | tr "\n" " ")"

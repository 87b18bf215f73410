#!/bin/sh
# Takes the documentation pictures from the real Corvanta under Xvfb with
# Japanese fonts, into docs/ (README) and help/images/ (the help files):
#   launcher-menu.png     the cascading launcher menu over the sample items
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
export CORVANTA_SCREENSHOT="$shots/menu.png"
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  set -e
  sh "$0/scripts/build.sh" --target e2e_tests Corvanta corvanta_pictures
  cd "$CORVANTA_BUILD_DIR/bin"
  "$CORVANTA_BUILD_DIR/wine-run.sh" e2e_tests.exe --gtest_filter=DocsScreenshot.*
  for picture in menu-en progress management management-en settings settings-en; do
    "$CORVANTA_BUILD_DIR/wine-run.sh" corvanta_pictures.exe $picture "$1/$picture.png" | tr -d "\r" >"$1/$picture.crop"
  done
  WINEPREFIX="$CORVANTA_BUILD_DIR/wineprefix" wineserver -k || true' "$root" "$shots"
# Keep the part of the screen where the menu opened.
convert "$shots/menu.png" -crop 600x184+648+117 +repage "$root/docs/launcher-menu.png"
for picture in menu-en progress management management-en settings settings-en; do
  crop=$(sed -n 's/^crop //p' "$shots/$picture.crop")
  [ -n "$crop" ] || { echo "$picture: not taken (the program has no such dialog yet?)"; continue; }
  convert "$shots/$picture.png" -crop "$crop" +repage "$root/help/images/$picture.png"
done
mv "$root/help/images/menu-en.png" "$root/help/images/launcher-menu-en.png"
cp "$root/docs/launcher-menu.png" "$root/help/images/"
for picture in launcher-menu-en progress management settings; do
  [ ! -f "$root/help/images/$picture.png" ] || cp "$root/help/images/$picture.png" "$root/docs/"
done
rm -rf "$shots"
echo "pictures in help/images: $(cd "$root/help/images" && ls | tr "\n" " ")"

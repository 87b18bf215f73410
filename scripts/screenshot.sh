#!/bin/sh
# Takes the documentation pictures from the real Corvanta under Xvfb with
# Japanese fonts, at 100 %, 150 % and 200 % (96, 144 and 192 DPI), each DPI in
# a Wine prefix of its own beside the build's (the build's prefix stays at 96):
#   launcher-menu.png     the cascading launcher menu over a folder of tools
#   launcher-menu-en.png  the same with the English library beside the program
#   progress.png          the progress dialog after a folder has run
#   progress-en.png       the same with the English library
#   management.png, settings.png, settings-2.png, settings-3.png (and -en
#                         variants for the English help): the management
#                         dialog and the three pages of the settings sheet
# Into help/images/ (the help files) and docs/ (the README): the 96 DPI
# pictures; into docs/ also the 150 % ones as NAME-150.png.  Every picture of
# every DPI is left in build/pictures/DPI/ to be looked at.
#   CORVANTA_PICTURE_DPIS="144"      only these DPIs
#   CORVANTA_PICTURES="menu menu-en" only these pictures
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-deps.sh"
build=${CORVANTA_BUILD_DIR:-$root/build}
export CORVANTA_BUILD_DIR="$build"
dpis=${CORVANTA_PICTURE_DPIS:-96 144 192}
mkdir -p "$root/docs" "$root/help/images"
shots=$(mktemp -d)
xvfb-run -a -s "-screen 0 2400x1800x24" sh -c '
  set -e
  root=$0 shots=$1 dpis=$2
  export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
  sh "$root/scripts/build.sh" --target Corvanta corvanta_pictures
  cd "$CORVANTA_BUILD_DIR/bin"
  for dpi in $dpis; do
    prefix="$CORVANTA_BUILD_DIR/wineprefix-dpi$dpi"
    mkdir -p "$prefix" "$shots/$dpi"
    flock -o "$prefix.lock" sh "$root/scripts/wine-prefix-init.sh" "$prefix"
    WINEPREFIX="$prefix" WINEDEBUG=-all wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    WINEPREFIX="$prefix" wineserver -k || true
    # Every picture at 96, the Japanese ones at the other DPIs.
    case $dpi in 96) list="menu menu-en progress progress-en management management-en settings settings-2 settings-3 settings-en" ;;
                 *) list="menu progress management settings settings-2 settings-3" ;; esac
    for picture in $list; do
      case " ${CORVANTA_PICTURES:-$list} " in *" $picture "*) ;; *) continue ;; esac
      CORVANTA_WINEPREFIX="$prefix" "$CORVANTA_BUILD_DIR/wine-run.sh" corvanta_pictures.exe $picture "$shots/$dpi/$picture.png" \
        | tr -d "\r" >"$shots/$dpi/$picture.crop" || echo "$picture at $dpi: not taken"
    done
    WINEPREFIX="$prefix" wineserver -k || true
  done' "$root" "$shots" "$dpis"
# Palette pictures: a fraction of the size, and a dialog has few colours.
crop() {  # crop DPI PICTURE TARGET
  area=$(sed -n 's/^crop //p' "$shots/$1/$2.crop" 2>/dev/null || true)
  [ -n "$area" ] || { echo "$2 at $1: not taken"; return 0; }
  convert "$shots/$1/$2.png" -crop "$area" +repage -strip -colors 256 "$3"
}
for dpi in $dpis; do
  review="$build/pictures/$dpi"
  mkdir -p "$review"
  for file in "$shots/$dpi"/*.crop; do
    picture=$(basename "$file" .crop)
    crop "$dpi" "$picture" "$review/$picture.png"
  done
done
named() {  # the help's and the README's name of a picture
  case $1 in menu) echo launcher-menu ;; menu-en) echo launcher-menu-en ;; *) echo "$1" ;; esac
}
if [ -d "$build/pictures/96" ]; then
  for picture in menu menu-en progress progress-en management management-en settings settings-en; do
    [ ! -f "$build/pictures/96/$picture.png" ] || cp "$build/pictures/96/$picture.png" "$root/help/images/$(named $picture).png"
  done
  for picture in menu menu-en progress management settings; do
    [ ! -f "$build/pictures/96/$picture.png" ] || cp "$build/pictures/96/$picture.png" "$root/docs/$(named $picture).png"
  done
fi
if [ -d "$build/pictures/144" ]; then
  for picture in menu progress management settings settings-2 settings-3; do
    [ ! -f "$build/pictures/144/$picture.png" ] || cp "$build/pictures/144/$picture.png" "$root/docs/$(named $picture)-150.png"
  done
fi
rm -rf "$shots"
echo "pictures in help/images: $(cd "$root/help/images" && ls | tr "\n" " ")"
echo "every picture to look at: $build/pictures"

#!/bin/sh
# Builds the Windows downloads into dist/ (Debian 12, as root):
#   dist/Corvanta-<version>-x64.zip        the program, its hook library, the help
#                                           files, README.txt, LICENSE.txt,
#                                           THIRD-PARTY-NOTICES.txt, english/ with
#                                           the English library and a one-line readme
#   dist/Corvanta-<version>-setup.exe      the NSIS per-machine installer
# then checks what each holds and runs the installer round trip under Wine
# (scripts/installer-roundtrip.sh).  CORVANTA_SKIP_ROUNDTRIP=1 skips the latter.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-deps.sh"
# Packaging only: the installer compiler and the zip tool.
for p in nsis zip unzip; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="${missing:-} $p"
done
if [ -n "${missing:-}" ]; then
  echo "Installing:$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

build=${CORVANTA_BUILD_DIR:-$root/build}
export CORVANTA_BUILD_DIR="$build"
# Only the shipped targets: no test programs, so no Wine during the build.
sh "$root/scripts/build.sh" --target Corvanta Corvanta_Lang_En corvanta_help
version=$(cat "$build/version.txt")
copyright=$(cat "$build/copyright.txt")
bin=$build/bin
dist=$root/dist
mkdir -p "$dist"
zip_file=$dist/Corvanta-$version-x64.zip
setup_file=$dist/Corvanta-$version-setup.exe
rm -f "$zip_file" "$setup_file"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/Corvanta-$version
mkdir -p "$stage/english"
cp "$bin/Corvanta.exe" "$bin/Corvanta.dll" "$bin/CorvantaHelp.chm" "$bin/CorvantaHelp_En.chm" "$stage/"
cp "$bin/Corvanta_Lang_En.dll" "$stage/english/"
# Text files for Windows: UTF-8 with a byte-order mark (Notepad then never
# guesses the code page) and CR LF.
windows_text() { printf '\357\273\277'; sed "s/@VERSION@/$version/g; s/\$/\r/"; }
windows_text <"$root/installer/README.txt" >"$stage/README.txt"
windows_text <"$root/LICENSE" >"$stage/LICENSE.txt"
windows_text <"$root/THIRD-PARTY-NOTICES.txt" >"$stage/THIRD-PARTY-NOTICES.txt"
echo "Copy Corvanta_Lang_En.dll into the folder of Corvanta.exe to show Corvanta in English. / Corvanta_Lang_En.dll を Corvanta.exe と同じフォルダにコピーすると英語表示になります。" |
  windows_text >"$stage/english/README.txt"
(cd "$work" && zip -q -r -X "$zip_file" "Corvanta-$version")

# The installer takes everything from one flat folder.
flat=$work/setup
mkdir -p "$flat"
cp "$stage"/*.exe "$stage"/*.dll "$stage"/*.chm "$stage"/*.txt "$stage/english/Corvanta_Lang_En.dll" "$flat/"
cp "$build/res/art/corvanta.ico" "$flat/"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DCOPYRIGHT="$copyright" -DSTAGE="$flat" -DOUTFILE="$setup_file" \
  "$root/installer/corvanta.nsi"

# ---- Checks ------------------------------------------------------------------
fail() { echo "package check FAILED: $*" >&2; exit 1; }
listing=$(unzip -Z1 "$zip_file")
for entry in Corvanta.exe Corvanta.dll CorvantaHelp.chm CorvantaHelp_En.chm README.txt LICENSE.txt \
             THIRD-PARTY-NOTICES.txt english/Corvanta_Lang_En.dll english/README.txt; do
  echo "$listing" | grep -qx "Corvanta-$version/$entry" || fail "$entry missing from $(basename "$zip_file")"
done
[ "$(echo "$listing" | grep -vc '/$')" -eq 9 ] || fail "unexpected files in the zip: $listing"
[ "$(unzip -p "$zip_file" "Corvanta-$version/english/README.txt" | wc -l)" -eq 1 ] || fail "english/README.txt is not one line"
unzip -p "$zip_file" "Corvanta-$version/README.txt" | grep -q "Launcher Items" || fail "README.txt lacks the English part"
unzip -p "$zip_file" "Corvanta-$version/README.txt" | grep -q "only administrators" || fail "README.txt does not say where to unpack it"
unzip -p "$zip_file" "Corvanta-$version/LICENSE.txt" | grep -q "provided as it is" || fail "LICENSE.txt lacks the terms"
unzip -p "$zip_file" "Corvanta-$version/THIRD-PARTY-NOTICES.txt" | grep -q "GCC RUNTIME LIBRARY EXCEPTION" ||
  fail "THIRD-PARTY-NOTICES.txt lacks the GCC runtime notice"
# Both help files carry a full-text search index and the installing page.
for chm in CorvantaHelp.chm CorvantaHelp_En.chm; do
  unzip -p "$zip_file" "Corvanta-$version/$chm" >"$work/$chm"
  grep -aq 'FIftiMain' "$work/$chm" || fail "$chm has no full-text search index"
  grep -aq 'install.html' "$work/$chm" || fail "$chm has no page on installing and uninstalling"
done
# Every shipped binary carries the version the package is named after and the
# copyright line (the uninstaller is checked by the round trip, which has one).
python3 "$root/scripts/check_version_resource.py" "$version" "$copyright" \
  "$bin/Corvanta.exe" "$bin/Corvanta.dll" "$bin/Corvanta_Lang_En.dll" "$setup_file" || fail "version resource"
[ -s "$setup_file" ] || fail "no installer"
echo "built $(basename "$zip_file") ($(wc -c <"$zip_file") bytes) and $(basename "$setup_file") ($(wc -c <"$setup_file") bytes)"

if [ "${CORVANTA_SKIP_ROUNDTRIP:-0}" != 1 ]; then
  start=$(date +%s)
  xvfb-run -a sh "$root/scripts/installer-roundtrip.sh" "$setup_file"
  echo "installer round trip took $(($(date +%s) - start)) s"
fi

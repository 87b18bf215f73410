#!/bin/sh
# The installer round trip under Wine, in a fresh prefix of its own:
#   1. silent install: the files, the Start-menu shortcut, no English library;
#   2. the program starts from the installed folder (with a config.ini and a
#      launcher item of the user's) and quits on QuitApplication with 0;
#   3. silent install again with /ENGLISH: the English library is placed and the
#      Japanese item folder is renamed to the English name (the silent answer),
#      and the program starts in English with the user's item;
#   4. silent uninstall: the program goes, config.ini and the items stay.
# Run inside a display (xvfb-run): sh scripts/installer-roundtrip.sh dist/Corvanta-<v>-setup.exe
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=${CORVANTA_BUILD_DIR:-$root/build}
prefix=$build/wineprefix-install
rm -rf "$prefix" "$prefix.lock"
mkdir -p "$prefix"
export CORVANTA_WINEPREFIX="$prefix" WINEPREFIX="$prefix"
run() { sh "$root/scripts/wine-run.sh" "$@"; }
fail() { echo "installer round trip FAILED: $*" >&2; WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; exit 1; }
# Polls (0.2 s steps, up to $2 seconds) until the shell test $1 succeeds.
wait_for() { i=0; while ! eval "$1"; do i=$((i + 1)); [ $i -le $(($2 * 5)) ] || return 1; sleep 0.2; done; }

ja_root="ラウンチャーアイテムルート"
en_root="Launcher Items"

echo "== silent install"
run "$setup" /S || fail "setup /S returned $?"
app=$(echo "$prefix"/drive_c/users/*/AppData/Local/Programs/Corvanta)
menu=$(echo "$prefix"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs)/Corvanta.lnk
for f in Corvanta.exe Corvanta.dll CorvantaHelp.chm CorvantaHelp_En.chm README.txt uninstall.exe; do
  [ -f "$app/$f" ] || fail "$f not installed in $app"
done
[ ! -e "$app/Corvanta_Lang_En.dll" ] || fail "English library placed without the English option"
[ -f "$menu" ] || fail "no Start-menu shortcut"

# What a user has after using it: settings and an item of their own.
printf '[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=0\r\nAUTOCLOSE_PROGRESS_WINDOW=0\r\nHOTKEY_OPEN_LAUNCHER_WINDOW=90, 6\r\n[ADVANCED_SETTING]\r\nADJUST_LAUNCHED_WINDOW_PATTERN=0\r\nADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0\r\nADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1\r\n' >"$app/config.ini"
mkdir -p "$app/$ja_root/My tools"
echo keep >"$app/$ja_root/My tools/keep.txt"

# Starts the installed program with DEBUG, waits until its main window is up
# (its trace log beside it says so), checks the item root it uses, quits it.
start_and_quit() {
  rm -f "$app/Corvanta.trace.log"
  run "$app/Corvanta.exe" DEBUG >/dev/null 2>&1 &
  pid=$!
  wait_for 'grep -aq "MainWindow_OnCreate() 終了" "$app/Corvanta.trace.log" 2>/dev/null' 60 ||
    fail "the installed program did not reach its main window (a box waiting?); its trace log ends: $(tail -3 "$app/Corvanta.trace.log" 2>/dev/null)"
  iconv -f UTF-8 -t UTF-8 "$app/Corvanta.trace.log" | grep -q "gTCHAR_Config_LauncherItemRootPath = .*$1" ||
    fail "the program did not use the item folder $1"
  run "$app/Corvanta.exe" QuitApplication || fail "QuitApplication returned $?"
  status=0
  wait $pid || status=$?
  [ $status -eq 0 ] || fail "the program ended with $status"
}
echo "== start from the installed folder"
start_and_quit "$ja_root"

echo "== silent install with the English user interface"
run "$setup" /S /ENGLISH || fail "setup /S /ENGLISH returned $?"
[ -f "$app/Corvanta_Lang_En.dll" ] || fail "English library not placed"
[ -f "$app/$en_root/My tools/keep.txt" ] || fail "the items were not moved to the English folder name"
[ ! -e "$app/$ja_root" ] || fail "the Japanese item folder is still there"
start_and_quit "$en_root"

echo "== silent uninstall"
run "$app/uninstall.exe" /S || fail "uninstall /S returned $?"
# The uninstaller copies itself to the temp folder and works from there; the
# Start-menu shortcut is its last deletion, so wait for that too.
wait_for '[ ! -e "$app/Corvanta.exe" ] && [ ! -e "$app/uninstall.exe" ] && [ ! -e "$menu" ]' 60 ||
  fail "the program or its Start-menu shortcut was not removed"
for f in Corvanta.dll Corvanta_Lang_En.dll CorvantaHelp.chm CorvantaHelp_En.chm README.txt; do
  [ ! -e "$app/$f" ] || fail "$f left behind"
done
[ ! -e "$menu" ] || fail "Start-menu shortcut left behind"
[ -f "$app/config.ini" ] || fail "config.ini was deleted"
[ -f "$app/$en_root/My tools/keep.txt" ] || fail "the user's items were deleted"
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
echo "installer round trip passed"

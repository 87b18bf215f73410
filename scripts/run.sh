#!/bin/sh
# Installs what is missing, builds the program and its help files, and starts
# Corvanta under Wine.  Without a display it starts a virtual one (Xvfb) with
# Wine's desktop, so the tray icon has a taskbar to sit in; Corvanta then runs
# until it is quit.
#   scripts/run.sh [Corvanta arguments, e.g. DEBUG]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-deps.sh"
sh "$root/scripts/build.sh" --target Corvanta corvanta_help
build=${CORVANTA_BUILD_DIR:-$root/build}
# The program keeps config.ini and its launcher items beside itself: run it
# from a folder of its own so the build folder stays clean.
app=$build/app
mkdir -p "$app"
cp "$build/bin/Corvanta.exe" "$build/bin/Corvanta.dll" "$build/bin/CorvantaHelp.chm" "$build/bin/CorvantaHelp_En.chm" "$app/"
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: starting Xvfb on :77 (look with: DISPLAY=:77 import -window root shot.png)"
  Xvfb :77 -screen 0 1280x1024x24 >/dev/null 2>&1 &
  export DISPLAY=:77
  sleep 1
fi
echo "Starting Corvanta from $app (first start: Wine prefix ~10 s, then the first-run boxes)"
exec "$build/wine-run.sh" explorer /desktop=Corvanta,1280x1024 "$app/Corvanta.exe" "$@"

#!/bin/sh
# Stamina run by hand (not part of the tests): 1,000 launcher menu openings
# with drawing and a highlight walk, 100 test runs in the progress dialog, 100
# management dialogs with their list filled, 100 settings sheets; prints the
# process's GDI/USER objects, kernel handles and private bytes after a
# warm-up and at the end, then the heavy hostile inputs (a folder of 70,000
# shortcuts, a 10 MB config.ini) with their outcome and time.  The first run
# spends a few minutes making the 70,000 shortcuts; later runs reuse them.
#   scripts/soak.sh [menu openings] [kinds]   (default 1000; the dialogs get a tenth
#   each; kinds by letter: m menu, r test run, d management dialog, s settings sheet)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-deps.sh"
build=${CORVANTA_BUILD_DIR:-$root/build}
export CORVANTA_BUILD_DIR="$build"
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  set -e
  sh "$0/scripts/build.sh" --target soak
  status=0
  "$CORVANTA_BUILD_DIR/wine-run.sh" "$CORVANTA_BUILD_DIR/bin/soak.exe" "$1" "$2" || status=$?
  WINEPREFIX="$CORVANTA_BUILD_DIR/wineprefix" wineserver -k || true
  exit $status' "$root" "${1:-1000}" "${2:-mrds}"

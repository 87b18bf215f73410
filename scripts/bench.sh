#!/bin/sh
# Builds and runs the benchmarks (not part of the tests): collecting a large
# launcher item tree against a plain folder walk, and filling and drawing a
# 2,000-entry menu against listing it with one shell icon per entry, and
# opening the management dialog on 100 and on 2,000 shortcuts, and the
# program's start until its tray icon is up.  The menu bench runs on 20 and
# on 2,000 entries.  The menu window bench drives the real program: from the
# key that opens a folder of 20 and one of 2,000 shortcuts until the submenu
# is painted (optionally another build's Corvanta.exe, by its folder, and a
# folder of 70,000 shortcuts instead).
#   scripts/bench.sh [collect|menu|itemmanager|startup]   (all when omitted)
#   scripts/bench.sh menuwindow [folder of Corvanta.exe] [rounds] [70000]
#   scripts/bench.sh startup [folder of Corvanta.exe]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-deps.sh"
build=${CORVANTA_BUILD_DIR:-$root/build}
export CORVANTA_BUILD_DIR="$build"
which=${1:-all}
program=""
if { [ "$which" = menuwindow ] || [ "$which" = startup ]; } && [ -n "${2:-}" ]; then
  program="Z:$(cd "$2" && pwd | tr / '\\\\')"
fi
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  set -e
  sh "$0/scripts/build.sh" --target collect_bench menu_bench itemmanager_bench startup_bench menu_window_bench Corvanta
  if [ "$1" = all ] || [ "$1" = collect ]; then "$CORVANTA_BUILD_DIR/wine-run.sh" "$CORVANTA_BUILD_DIR/bin/collect_bench.exe"; fi
  if [ "$1" = all ] || [ "$1" = menu ]; then
    "$CORVANTA_BUILD_DIR/wine-run.sh" "$CORVANTA_BUILD_DIR/bin/menu_bench.exe" 20
    "$CORVANTA_BUILD_DIR/wine-run.sh" "$CORVANTA_BUILD_DIR/bin/menu_bench.exe" 2000
  fi
  if [ "$1" = all ] || [ "$1" = itemmanager ]; then "$CORVANTA_BUILD_DIR/wine-run.sh" "$CORVANTA_BUILD_DIR/bin/itemmanager_bench.exe"; fi
  if [ "$1" = all ] || [ "$1" = menuwindow ]; then
    "$CORVANTA_BUILD_DIR/wine-run.sh" "$CORVANTA_BUILD_DIR/bin/menu_window_bench.exe" "$2" "$3" "$4"
  fi
  if [ "$1" = all ] || [ "$1" = startup ]; then "$CORVANTA_BUILD_DIR/wine-run.sh" "$CORVANTA_BUILD_DIR/bin/startup_bench.exe" ${2:+"$2"}; fi
  WINEPREFIX="${CORVANTA_WINEPREFIX:-$CORVANTA_BUILD_DIR/wineprefix}" wineserver -k || true' "$root" "$which" "$program" "${3:-7}" "${4:-}"

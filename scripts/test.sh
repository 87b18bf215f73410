#!/bin/sh
# Installs what is missing, builds everything and runs every test under Wine
# inside one virtual X display (test discovery starts Wine too, so the build
# runs inside it as well).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
sh "$root/scripts/install-deps.sh"
build=${CORVANTA_BUILD_DIR:-$root/build}
export CORVANTA_BUILD_DIR="$build"
xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  set -e
  sh "$0/scripts/build.sh"
  status=0
  (cd "$CORVANTA_BUILD_DIR" && ctest --output-on-failure --timeout 180) || status=$?
  WINEPREFIX="$CORVANTA_BUILD_DIR/wineprefix" wineserver -k 2>/dev/null || true
  exit $status' "$root"

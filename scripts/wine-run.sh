#!/bin/sh
# Runs one Windows program under Wine for ctest and for the run script.
#
# The prefix lives inside the build tree (created once, under a lock, with the
# Japanese font replacements).  Wine's output goes to temporary files and is
# copied afterwards: wineserver inherits whatever stdout it is started with, and
# if that is ctest's pipe every test waits for wineserver to let go of it.
set -u
here=$(cd "$(dirname "$0")" && pwd)
: "${CORVANTA_WINEPREFIX:=${WINEPREFIX:-$PWD/wineprefix}}"
export WINEPREFIX="$CORVANTA_WINEPREFIX"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

mkdir -p "$WINEPREFIX"
flock -o "$WINEPREFIX.lock" sh "$here/wine-prefix-init.sh" "$WINEPREFIX"

tmp=$(mktemp -d)
wine "$@" >"$tmp/out" 2>"$tmp/err" </dev/null
rc=$?
cat "$tmp/out"
cat "$tmp/err" >&2
rm -rf "$tmp"
exit $rc

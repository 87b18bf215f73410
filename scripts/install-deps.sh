#!/bin/sh
# Installs what building and testing Corvanta needs on Debian 12 (run as root).
# Skips the package step when everything is already there.
set -eu
packages="cmake make ninja-build g++-mingw-w64-x86-64-posix wine wine64 googletest locales fp-utils
          xvfb xauth xdotool imagemagick fonts-ipafont-gothic python3"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
# Wine takes the ANSI code page from the locale: ja_JP.UTF-8 gives 932.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  locale-gen >/dev/null
fi

#!/bin/sh
# Creates the Wine prefix $1 once: boots it and maps the Windows Japanese UI
# fonts onto IPA fonts so that dialogs and message boxes show real glyphs.
set -u
prefix=$1
[ -f "$prefix/.corvanta-ready" ] && exit 0
export WINEPREFIX="$prefix"
tmp=$(mktemp -d)
wineboot -i >"$tmp/boot.out" 2>&1 </dev/null
wineserver -w
# regedit wants UTF-16 for anything beyond ASCII; keep the file ASCII and
# still write it as UTF-16 so the import never depends on the locale.
cat >"$tmp/fonts.reg.txt" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
REG
printf '\377\376' >"$tmp/fonts.reg"
sed 's/$/\r/' "$tmp/fonts.reg.txt" | iconv -f UTF-8 -t UTF-16LE >>"$tmp/fonts.reg"
wine regedit /S "$tmp/fonts.reg" >>"$tmp/boot.out" 2>&1 </dev/null
wineserver -w
rm -rf "$tmp"
touch "$prefix/.corvanta-ready"

#!/bin/sh
# The installer round trip under Wine, in a fresh prefix of its own:
#   1. an earlier per-user install (the 1.0.0.0 layout, made here by hand:
#      files, Start-menu shortcut and HKCU uninstall entry) is moved by a
#      silent install into Program Files: config.ini and the items byte for
#      byte (a config.ini already there is never overwritten: the old one
#      stays), the old program, shortcut and entry gone; the sign-in task and the
#      Apps & Features values are there; every installed binary, the
#      uninstaller too, carries a version resource with a copyright line;
#   2. an upgrade while Corvanta runs ends it through its quit word first and
#      keeps config.ini, the items and the task;
#   3. English and start at sign-in chosen once (/ENGLISH /AUTOSTART=0) are
#      kept by the next plain upgrade; the program starts in English;
#   4. refused without a change: a silent downgrade, and a Corvanta that does
#      not quit (held at its first-run question);
#   5. uninstall keeps config.ini and the items and removes the task; a setup
#      in English preselects the English library; uninstall /DELETESETTINGS
#      leaves nothing.
# Run inside a display (xvfb-run): sh scripts/installer-roundtrip.sh dist/Corvanta-<v>-setup.exe
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=${CORVANTA_BUILD_DIR:-$root/build}
version=$(cat "$build/version.txt")
copyright=$(cat "$build/copyright.txt")
prefix=$build/wineprefix-install
rm -rf "$prefix" "$prefix.lock"
mkdir -p "$prefix"
export CORVANTA_WINEPREFIX="$prefix" WINEPREFIX="$prefix"
run() { sh "$root/scripts/wine-run.sh" "$@"; }
fail() { echo "installer round trip FAILED: $*" >&2; WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true; exit 1; }
# Polls (0.2 s steps, up to $2 seconds) until the shell test $1 succeeds.
wait_for() { i=0; while ! eval "$1"; do i=$((i + 1)); [ $i -le $(($2 * 5)) ] || return 1; sleep 0.2; done; }
# Runs the setup with arguments; prints its exit code (124 when it did not
# end within 3 minutes: a message box waiting in a silent setup).
setup_rc() { rc=0; timeout -k 5 180 sh "$root/scripts/wine-run.sh" "$setup" "$@" || rc=$?; echo $rc; }
# Lists every file below $1 with its checksum: "nothing changed" is an equal list.
snapshot() { (cd "$1" && find . -type f ! -name Corvanta.trace.log -print0 | sort -z | xargs -0 -r sha256sum); }
# The user's files: below folder $1, the files and folders named after it.
user_files() { (cd "$1" && shift && find "$@" -type f -print0 | sort -z | xargs -0 sha256sum); }

ja_root="ラウンチャーアイテムルート"
en_root="Launcher Items"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanta'
old_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanta'
# Prints the value $2 of the registry key $1 ("" when there is none).  Wine's
# reg.exe now and then prints nothing under load: a key is read up to three
# times before it counts as missing.
reg_value() {
  for try in 1 2 3; do
    out=$(run reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') && [ -n "$out" ] && break
  done
  echo "$out" | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  /, ""); print }'
}
drive=$prefix/drive_c
tasks=$drive/windows/system32/tasks
app="$drive/Program Files/Corvanta"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Corvanta.lnk"

echo "== an earlier per-user install"
# Wine names the profile after the Unix user.
user=$(id -un)
old=$drive/users/$user/AppData/Local/Programs/Corvanta
old_menu=$drive/users/$user/AppData/Roaming/Microsoft/Windows/"Start Menu"/Programs/Corvanta.lnk
old_win="C:\\users\\$user\\AppData\\Local\\Programs\\Corvanta"
run reg add "$old_key" /v InstallLocation /d "$old_win" /f >/dev/null 2>&1
run reg add "$old_key" /v DisplayVersion /d 1.0.0.0 /f >/dev/null 2>&1
mkdir -p "$old/$ja_root/My tools" "$(dirname "$old_menu")"
cp "$build/bin/Corvanta.exe" "$build/bin/Corvanta.dll" "$build/bin/CorvantaHelp.chm" "$old/"
echo "old uninstaller" >"$old/uninstall.exe"
echo "old readme" >"$old/README.txt"
echo "old shortcut" >"$old_menu"
printf '[CONTROL_SETTING]\r\nSUPRESS_DIALOG_BEFORE_EXECUTE=1\r\nAUTOCLOSE_PROGRESS_WINDOW=0\r\nHOTKEY_OPEN_LAUNCHER_WINDOW=90, 6\r\n[ADVANCED_SETTING]\r\nADJUST_LAUNCHED_WINDOW_PATTERN=0\r\nADJUST_LAUNCHED_WINDOW_MOVE_BOTTOM=0\r\nADJUST_LAUNCHED_WINDOW_CONFIRM_AT_EXECUTION=1\r\n' >"$old/config.ini"
echo keep >"$old/$ja_root/My tools/keep.txt"
printf 'keep.txt\r\n' >"$old/$ja_root/My tools/order.ini"
user_items=$(user_files "$old" "$ja_root")
old_config=$(user_files "$old" config.ini)
# A config.ini already in the new folder (kept by an earlier uninstall) is
# never overwritten: the old one then stays where it was.
mkdir -p "$app"
sed 's/AUTOCLOSE_PROGRESS_WINDOW=0/AUTOCLOSE_PROGRESS_WINDOW=1/' "$old/config.ini" >"$app/config.ini"
new_config=$(user_files "$app" config.ini)

echo "== silent install moves it into Program Files"
rc=$(setup_rc /S); [ "$rc" = 0 ] || fail "setup /S returned $rc"
for f in Corvanta.exe Corvanta.dll CorvantaHelp.chm CorvantaHelp_En.chm README.txt LICENSE.txt \
         THIRD-PARTY-NOTICES.txt uninstall.exe; do
  [ -f "$app/$f" ] || fail "$f not installed in $app"
done
[ ! -e "$app/Corvanta_Lang_En.dll" ] || fail "English library placed by a Japanese setup without the English option"
[ -f "$menu" ] || fail "no Start-menu shortcut for all users"
[ "$(user_files "$app" "$ja_root")" = "$user_items" ] || fail "the items did not arrive unchanged from the per-user install"
[ "$(user_files "$app" config.ini)" = "$new_config" ] || fail "the config.ini in Program Files was overwritten"
[ "$(user_files "$old" config.ini)" = "$old_config" ] || fail "the per-user config.ini was not left in place"
[ "$(ls -A "$old")" = config.ini ] || fail "the per-user install still holds: $(ls -A "$old")"
[ ! -e "$old_menu" ] || fail "the per-user Start-menu shortcut is still there"
[ -z "$(reg_value "$old_key" InstallLocation)" ] || fail "the per-user uninstall entry is still there"
[ -f "$tasks/Corvanta" ] || fail "no sign-in task"
# Wine keeps the task's settings (not its trigger, principal or action).
for s in '<ExecutionTimeLimit>PT0S<' '<MultipleInstancesPolicy>IgnoreNew<' '<Priority>4<'; do
  grep -q "$s" "$tasks/Corvanta" || fail "the sign-in task lacks $s"
done
win_app='C:\Program Files\Corvanta'
for pair in "DisplayName=Corvanta" "DisplayVersion=$version" "Publisher=Corvanta" \
            "DisplayIcon=$win_app\\Corvanta.exe" "InstallLocation=$win_app" \
            "UninstallString=\"$win_app\\uninstall.exe\"" "QuietUninstallString=\"$win_app\\uninstall.exe\" /S" \
            "NoModify=0x1" "NoRepair=0x1"; do
  [ "$(reg_value "$key" "${pair%%=*}")" = "${pair#*=}" ] ||
    fail "uninstall entry: ${pair%%=*} is '$(reg_value "$key" "${pair%%=*}")', expected '${pair#*=}'"
done
size=$(reg_value "$key" EstimatedSize)
[ $((size)) -ge $(($(du -sk --apparent-size "$app" | cut -f1) / 2)) ] || fail "EstimatedSize $size is too small"
python3 "$root/scripts/check_version_resource.py" "$version" "$copyright" "$app/Corvanta.exe" "$app/Corvanta.dll" \
  "$app/uninstall.exe" || fail "an installed binary lacks its version resource"

# Starts the installed program with DEBUG and waits until its main window is
# up (its trace log beside it says so); $1 the item folder it must use.
start_corvanta() {
  rm -f "$app/Corvanta.trace.log"
  run "$app/Corvanta.exe" DEBUG >/dev/null 2>&1 &
  pid=$!
  wait_for 'grep -aq "MainWindow_OnCreate() 終了" "$app/Corvanta.trace.log" 2>/dev/null' 60 ||
    fail "the installed program did not reach its main window (a box waiting?); its trace log ends: $(tail -3 "$app/Corvanta.trace.log" 2>/dev/null)"
  grep -aq "gTCHAR_Config_LauncherItemRootPath = .*$1" "$app/Corvanta.trace.log" ||
    fail "the program did not use the item folder $1"
}

echo "== upgrade while Corvanta runs"
start_corvanta "$ja_root"
run reg add "$key" /v DisplayVersion /d 0.9.0.0 /f >/dev/null 2>&1
# What a user changes in use: a setting and a new item.
sed -i 's/SUPRESS_DIALOG_BEFORE_EXECUTE=1/SUPRESS_DIALOG_BEFORE_EXECUTE=0/' "$app/config.ini"
mkdir -p "$app/$ja_root/Work"
printf 'new\r\n' >"$app/$ja_root/Work/new.txt"
user_data=$(user_files "$app" config.ini "$ja_root")
rc=$(setup_rc /S); [ "$rc" = 0 ] || fail "upgrade /S returned $rc"
# The setup ended the program before it returned: nothing else quits it.
wait_for '! kill -0 $pid 2>/dev/null' 5 || fail "the running Corvanta was not ended by the upgrade"
status=0; wait $pid || status=$?
[ $status -eq 0 ] || fail "the running Corvanta ended with $status, not through its quit word"
grep -aq "MainWindow_OnDestroy() 終了" "$app/Corvanta.trace.log" || fail "the running Corvanta did not close its main window"
[ "$(user_files "$app" config.ini "$ja_root")" = "$user_data" ] ||
  fail "the upgrade changed config.ini or the items"
[ "$(reg_value "$key" DisplayVersion)" = "$version" ] || fail "the upgrade did not record its version"
[ -f "$tasks/Corvanta" ] || fail "the upgrade removed the sign-in task"

echo "== English and no start at sign-in, kept by the next upgrade"
rc=$(setup_rc /S /ENGLISH /AUTOSTART=0); [ "$rc" = 0 ] || fail "setup /S /ENGLISH /AUTOSTART=0 returned $rc"
[ -f "$app/Corvanta_Lang_En.dll" ] || fail "English library not placed"
[ -f "$app/$en_root/My tools/keep.txt" ] || fail "the items were not moved to the English folder name"
[ ! -e "$tasks/Corvanta" ] || fail "/AUTOSTART=0 left the sign-in task"
rc=$(setup_rc /S); [ "$rc" = 0 ] || fail "plain upgrade returned $rc"
[ -f "$app/Corvanta_Lang_En.dll" ] || fail "the upgrade dropped the English choice"
[ ! -e "$tasks/Corvanta" ] || fail "the upgrade turned start at sign-in back on"
start_corvanta "$en_root"
run "$app/Corvanta.exe" QuitApplication || fail "QuitApplication returned $?"
status=0; wait $pid || status=$?
[ $status -eq 0 ] || fail "the program ended with $status"

echo "== refused without a change: a silent downgrade, a Corvanta that does not quit"
before=$(snapshot "$app")
run reg add "$key" /v DisplayVersion /d 99.0.0.0 /f >/dev/null 2>&1
rc=$(setup_rc /S); [ "$rc" = 3 ] || fail "a silent downgrade was not refused with exit code 3 (got $rc)"
[ "$(reg_value "$key" DisplayVersion)" = 99.0.0.0 ] || fail "the refused downgrade changed the uninstall entry"
[ "$(snapshot "$app")" = "$before" ] || fail "the refused downgrade changed the install folder"
run reg add "$key" /v DisplayVersion /d "$version" /f >/dev/null 2>&1
# A Corvanta at its first-run question holds its instance but has no main
# window to take the quit word.
mkdir -p "$drive/firstrun"
cp "$build/bin/Corvanta.exe" "$build/bin/Corvanta.dll" "$drive/firstrun/"
run "$drive/firstrun/Corvanta.exe" DEBUG >/dev/null 2>&1 &
held=$!
# Its paths are traced after it took its instance, just before the question.
wait_for 'grep -aq "gTCHAR_Config_HelpFilePath" "$drive/firstrun/Corvanta.trace.log" 2>/dev/null' 60 ||
  fail "the first-run Corvanta did not start"
start=$(date +%s)
rc=$(setup_rc /S); [ "$rc" = 2 ] || fail "setup did not give up with exit code 2 on a Corvanta still running (got $rc)"
[ $(($(date +%s) - start)) -ge 10 ] || fail "setup gave up on the running Corvanta before 10 s"
[ "$(snapshot "$app")" = "$before" ] || fail "the setup that gave up changed the install folder"
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
wait $held 2>/dev/null || true

echo "== uninstall keeps the user's files; reinstall in English; uninstall deletes them on request"
user_data=$(user_files "$app" config.ini "$en_root")
run reg add "$key" /v StartAtSignIn /t REG_DWORD /d 1 /f >/dev/null 2>&1
rc=$(setup_rc /S); [ "$rc" = 0 ] || fail "setup /S returned $rc"
[ -f "$tasks/Corvanta" ] || fail "no sign-in task to remove"
run "$app/uninstall.exe" /S || fail "uninstall /S returned $?"
# The uninstaller copies itself to the temp folder and works from there; the
# uninstall entry is its last deletion.
wait_for '[ -z "$(reg_value "$key" DisplayName)" ]' 60 || fail "the uninstall entry was not removed"
for f in Corvanta.exe Corvanta.dll Corvanta_Lang_En.dll CorvantaHelp.chm CorvantaHelp_En.chm README.txt \
         LICENSE.txt THIRD-PARTY-NOTICES.txt uninstall.exe; do
  [ ! -e "$app/$f" ] || fail "$f left behind"
done
[ ! -e "$menu" ] || fail "Start-menu shortcut left behind"
[ ! -e "$tasks/Corvanta" ] || fail "the uninstaller left the sign-in task"
[ "$(user_files "$app" config.ini "$en_root")" = "$user_data" ] ||
  fail "the uninstaller changed config.ini or the items"
# A setup whose language is English (the system's) preselects the English library.
rc=0; LC_ALL=C.UTF-8 LANG=C.UTF-8 WINEDEBUG=-all timeout -k 5 180 wine "$setup" /S /AUTOSTART=0 >/dev/null 2>&1 </dev/null || rc=$?
[ "$rc" = 0 ] || fail "English setup returned $rc"
[ -f "$app/Corvanta_Lang_En.dll" ] || fail "the English setup did not preselect the English library"
[ ! -e "$tasks/Corvanta" ] || fail "/AUTOSTART=0 on a new install made the sign-in task"
run "$app/uninstall.exe" /S /DELETESETTINGS || fail "uninstall /S /DELETESETTINGS returned $?"
wait_for '[ ! -e "$app" ]' 60 || fail "uninstall /DELETESETTINGS left: $(ls -A "$app")"
WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
echo "installer round trip passed"

#!/usr/bin/env bash
# The setup program under Wine: a silent install puts the player, its
# shortcut, its uninstall entry and its Run value in place and starts it;
# the tray menu's "Start with Windows" follows the Run value and Task
# Manager's record; an upgrade over a running player keeps the settings and
# leaves one player; the silent uninstall ends the player and removes all
# but the settings.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

version=$(sed -n 's/^project(lumenfold VERSION \([0-9.]*\).*/\1/p' "$LUMENFOLD_ROOT/CMakeLists.txt")
SETUP="$LUMENFOLD_BUILD/package/Lumenfold-$version-setup.exe"
if [[ ! -f $SETUP || $SETUP -ot $LUMENFOLD_EXE || $SETUP -ot $LUMENFOLD_ROOT/installer/lumenfold.nsi ]]; then
    "$LUMENFOLD_ROOT/scripts/package" >package.out 2>&1 || { cat package.out >&2; exit 1; }
fi

windows_folder() { winepath -u "$(wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null; }
INSTDIR="$(windows_folder LOCALAPPDATA)/Programs/Lumenfold"
INSTDIR_WINDOWS=$(winepath -w "$INSTDIR" 2>/dev/null)
SHORTCUT="$(windows_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Lumenfold.lnk"
SETTINGS=$(settings_file)
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
APPROVED_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumenfold'
# The installed player logs beside itself.
E2E_LOG="$INSTDIR/GLumenfold_Velvetdusk.log"

# reg_value KEY NAME: the value's data as `reg query` shows it, or nothing.
reg_value() {
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^  /, ""); print }'
}
# The Linux processes of installed players.
installed_player_pids() {
    local pid
    for pid in $(pgrep -f 'lumenfold\.exe'); do
        tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -1 | grep -qi 'Programs.Lumenfold.lumenfold\.exe$' &&
            echo "$pid"
    done
}
installed_players() { installed_player_pids | wc -l; }
# Opens the tray menu and reads the mark it showed from the log.
# NOTE: Wine keeps a menu's items inside the process that made it, so the
# probe cannot read them.
start_mark_shown() {
    local before
    before=$(count_logged '^tray menu: Start with Windows ')
    probe menu >/dev/null
    probe menu-escape >/dev/null
    eventually "(( \$(count_logged '^tray menu: Start with Windows ') > $before ))" 10 &&
        [[ $(logged | grep '^tray menu: Start with Windows ' | tail -1) == "tray menu: Start with Windows $1" ]]
}
remove_everything() {
    wine "$INSTDIR/lumenfold.exe" --quit >/dev/null 2>&1
    rm -rf "$INSTDIR" "$SHORTCUT" "$SETTINGS"
    wine reg delete "$UNINSTALL_KEY" /f >/dev/null 2>&1
    wine reg delete "$RUN_KEY" /v Lumenfold /f >/dev/null 2>&1
    wine reg delete "$APPROVED_KEY" /v Lumenfold /f >/dev/null 2>&1
}
trap 'cleanup; remove_everything; fake_shell stop' EXIT

remove_everything
start_fake_shell classic
# The installed player resumes this light set rather than the built-in one.
plain=$(win_path "$(plain_pass_set)")
mkdir -p "$(dirname "$SETTINGS")"
printf '[player]\r\nframe_rate=30\r\n[pass_sets]\r\nall=%s\r\n' "$plain" >"$SETTINGS"

started=$(date +%s%N)
wine "$SETUP" /S >setup.out 2>&1
setup_exit=$?
install_ms=$((($(date +%s%N) - started) / 1000000))
echo "figure: silent install took $install_ms ms; setup $(du -k "$SETUP" | cut -f1) KiB," \
    "zip $(du -k "${SETUP%-setup.exe}-portable.zip" | cut -f1) KiB"
check "the silent install ends with 0" "[[ $setup_exit == 0 ]]"
check "it puts the player, the render tool, the README and the examples in place" \
    "[[ -f '$INSTDIR/lumenfold.exe' && -f '$INSTDIR/lumenfold-render.exe' && -f '$INSTDIR/README.md' && -f '$INSTDIR/examples/coral/coral.glsl' && -f '$INSTDIR/uninstall.exe' ]]"
check "a Start-menu shortcut" "[[ -f '$SHORTCUT' ]]"
check "an uninstall entry with name, version, publisher, icon and size" \
    "[[ \$(reg_value '$UNINSTALL_KEY' DisplayName) == Lumenfold && \$(reg_value '$UNINSTALL_KEY' DisplayVersion) == $version && \$(reg_value '$UNINSTALL_KEY' Publisher) == Lumenfold && -n \$(reg_value '$UNINSTALL_KEY' DisplayIcon) && \$((\$(reg_value '$UNINSTALL_KEY' EstimatedSize))) -gt 1000 ]]"
check "and its quiet and plain uninstall strings" \
    "[[ \$(reg_value '$UNINSTALL_KEY' UninstallString) == '\"$INSTDIR_WINDOWS\\uninstall.exe\"' && \$(reg_value '$UNINSTALL_KEY' QuietUninstallString) == '\"$INSTDIR_WINDOWS\\uninstall.exe\" /S' ]]"
RUN_VALUE="\"$INSTDIR_WINDOWS\\lumenfold.exe\" --resume"
run_value_is_ours() { [[ $(reg_value "$RUN_KEY" Lumenfold) == "$RUN_VALUE" ]]; }
check "the Run value starts the installed player with --resume" run_value_is_ours
check "the installed player starts and plays what was chosen last" \
    "wait_for_log '^first frame presented: .*plain.glsl$' 60"
check "one installed player runs" "[[ \$(installed_players) == 1 ]]"

check "the menu shows Start with Windows checked" "start_mark_shown checked"
probe command 1060 >/dev/null
check "unchecking it removes the Run value" "eventually '[[ -z \$(reg_value \"$RUN_KEY\" Lumenfold) ]]' 10"
check "and the mark follows" "start_mark_shown unchecked"
probe command 1060 >/dev/null
check "checking it writes the value again" "eventually run_value_is_ours 10"
wine reg add "$APPROVED_KEY" /v Lumenfold /t REG_BINARY /d 030000007A3E8C29B14EDB01 /f >/dev/null 2>&1
check "a value Task Manager turned off shows unchecked" "start_mark_shown unchecked"
probe command 1060 >/dev/null
check "checking it keeps the value and marks it enabled" \
    "eventually '[[ \$(reg_value \"$APPROVED_KEY\" Lumenfold) == 020000000000000000000000 && -n \$(reg_value \"$RUN_KEY\" Lumenfold) ]]' 10"
check "and the mark follows" "start_mark_shown checked"

# An upgrade: the same setup over the running player.
settings_before=$(settings_text)
pid_before=$(installed_player_pids)
# The new player writes a log of its own; the old one keeps the old file.
rm -f "$E2E_LOG"
wine "$SETUP" /S >setup2.out 2>&1
check "an upgrade over a running player ends with 0" "[[ \$? == 0 ]]"
# Ended, or ended and not yet reaped by the Wine process that started it.
process_ended() { [[ -n $1 && ( ! -d /proc/$1 || $(sed 's/.*) //' "/proc/$1/stat" | cut -d' ' -f1) == Z ) ]]; }
check "the running player was asked to quit" "process_ended '$pid_before'"
check "and is started again, playing the same set" "wait_for_log '^first frame presented: .*plain.glsl$' 60"
check "one installed player runs, a new one" "sleep 2 && [[ \$(installed_players) == 1 && \$(installed_player_pids) != $pid_before ]]"
check "the settings are as they were" "[[ \"\$(settings_text)\" == \"\$settings_before\" ]]"

wine "$INSTDIR/uninstall.exe" /S >uninstall.out 2>&1
check "the silent uninstall ends the player" "eventually '[[ \$(installed_players) == 0 ]]' 30"
check "and removes the files" "eventually '[[ ! -e \"$INSTDIR\" ]]' 30"
check "the shortcut, the Run value and the uninstall entry" \
    "[[ ! -e '$SHORTCUT' && -z \$(reg_value '$RUN_KEY' Lumenfold) && -z \$(reg_value '$APPROVED_KEY' Lumenfold) ]] && ! wine reg query '$UNINSTALL_KEY' >/dev/null 2>&1"
check "the wallpaper worker shows again" "REPORT=\$(fake_shell report) && [[ \$(shell_says hidden) == none ]]"
check "but keeps the settings file" "[[ \"\$(settings_text)\" == \"\$settings_before\" ]]"
finish

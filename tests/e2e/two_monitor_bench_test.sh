#!/usr/bin/env bash
# The two-monitor bench works: Wine sees both monitors at their own origins
# and follows them being unplugged and plugged back, screenshots of the
# whole X screen show the monitors apart, the fake shell spans the virtual
# screen on both layouts, and the player reads and logs the monitors at
# start, after a display change and after sleep.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"
source "$(dirname "$0")/monitor_bench.sh"

start_monitor_bench || { fail "the Xorg bench starts"; finish; }

primary='\\.\DISPLAY1 0 0 1280 720 primary'
second='\\.\DISPLAY2 -1024 -300 1024 768'
VIRTUAL=-1024,-300,2304,1020
monitors_are() { [[ $(wine_monitors | sort) == "$(printf '%s\n' "$@" | sort)" ]]; }
wine_sees_both() { monitors_are "$primary" "$second"; }
wine_sees_primary_only() { monitors_are "$primary"; }

check "Wine sees both monitors at their own origins" wine_sees_both

# Top-level, the player is in screenshots: it covers both monitors.
start_player "$(plain_pass_set)"
check "the player logs both monitors at start" "wait_for_log '^monitor 2: 1024 768 at -1024 -300 '"
check "the primary is monitor 1" "logged | grep -qE '^monitor 1: 1280 720 at 0 0 primary .+'"
check "and draws" "wait_for_log '^first frame presented:'"
# NOTE: the first frame is presented before the X server shows it; on a
# loaded machine a screenshot right after can still show the black window.
shows_player_colour() {
    screenshot_bench bench.png && [[ $(pixel_at_screen_point bench.png "$1" "$2") == 26,51,76 ]]
}
check "the whole X screen is in the screenshot" \
    "screenshot_bench bench.png && [[ \$(identify -format %wx%h bench.png) == 2304x1020 ]]"
check "the primary shows the player's colour" "eventually 'shows_player_colour 640 360' 20"
check "so does the second monitor" "eventually 'shows_player_colour -512 84' 20"

check "the second monitor is unplugged" "unplug_second_monitor"
check "Wine sees one monitor" "eventually wine_sees_primary_only 10"
check "the player logs one" "wait_for_log '^monitors: 1$' 20"
check "it is the primary" "[[ \$(logged | grep -A1 '^monitors: 1$' | tail -1) == 'monitor 1: 1280 720 at 0 0 primary '* ]]"

check "the second monitor is plugged back" "lumenfold_plug_second_monitor"
check "Wine sees two again" "eventually wine_sees_both 10"
check "the player reads them again on resume from sleep" \
    "[[ \$(probe power resume) == sent=1 ]] && wait_for_log '^monitors: 2$' 20 && (( \$(count_logged '^monitors: 2$') == 2 ))"
check "the monitor that came back has the identity it had" \
    "(( \$(count_logged '^monitor 2: ') == 2 && \$(logged | grep '^monitor 2: ' | sort -u | wc -l) == 1 ))"
announce_display_change
sync_player
check "a display change that moved nothing logs nothing" "(( \$(count_logged '^monitors: ') == 3 ))"
stop_player

# Explorer's desktop windows span the virtual screen, their client origin
# at its corner, and follow it when a monitor goes.
spans_virtual_screen() {
    REPORT=$(fake_shell report)
    [[ $(shell_says "$1-span") == "$2 client-origin=${2%,*,*}" ]]
}
for layout in classic raised; do
    rm -f "$E2E_LOG"
    start_fake_shell "$layout"
    start_player "$(plain_pass_set)"
    check "the player attaches to the $layout shell" "wait_for_log '^SetWindowPos:'"
    check "the $layout program manager covers the virtual screen" "spans_virtual_screen program-manager $VIRTUAL"
    check "so does its wallpaper worker" "spans_virtual_screen wallpaper-worker $VIRTUAL"
    [[ $layout == classic ]] && check "and its icon worker" "spans_virtual_screen icon-worker $VIRTUAL"
    stop_player
    if [[ $layout == raised ]]; then
        check "the second monitor goes again" "unplug_second_monitor"
        check "the program manager follows" "eventually 'spans_virtual_screen program-manager 0,0,1280,720' 10"
        check "and its wallpaper worker" "spans_virtual_screen wallpaper-worker 0,0,1280,720"
    fi
    fake_shell stop
done

finish

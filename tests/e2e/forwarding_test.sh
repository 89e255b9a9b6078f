#!/usr/bin/env bash
# A later start forwards its first argument to the running player and exits;
# it never touches the running player's log. A start with nobody running is
# a first start.
source "$(dirname "$0")/lib.sh"

start_player 'C:\walls\first.glsl'
check "a start with nobody running is a first start" "wait_for_log '^---------------------$'"
check "a first start forwards nothing" "! grep -q 'SendMessage' player.err && ! logged | grep -q 'SendMessage'"
window=$(player_window)

later_start 'C:\walls\second scene.glsl' 'ignored second argument'
check "the later start exits with 0" "[[ \$(cat later.exit) == 0 ]]"
check "the later start reports the running window in upper-case hex" \
    "[[ -n '$window' ]] && grep -qx 'SendMessage wnd:$window' later.lines"
check "the running player logs the first argument only" "logged | grep -qxF 'WM_COPYDATA: C:\walls\second scene.glsl'"
check "the later start does not write to the running player's log" "! logged | grep -q 'SendMessage'"

later_start 'relative\scene.txt'
check "a relative path is forwarded unchanged" "logged | grep -qxF 'WM_COPYDATA: relative\scene.txt'"

later_start
check "a later start without a path exits with 0" "[[ \$(cat later.exit) == 0 ]]"
check "a later start without a path sends no data" "logged | grep -qx 'WM_COPYDATA: (null)'"

stop_player
check "the first instance's log holds no line of a later start" "! logged | grep -q 'SendMessage'"

rm -f "$E2E_LOG"
start_player 'C:\again.glsl'
check "after the player ended a start is a first start again" "wait_for_log '^---------------------$'"
check "that start logs nothing it would forward" "! logged | grep -q 'WM_COPYDATA'"
stop_player

# A player whose thread hangs must not take later starts down with it.
wine "$LUMENFOLD_PROBE" hung-player 30 >hung.out 2>/dev/null &
hung=$!
check "a hung player holds the mutex and its window" "eventually 'grep -q ^hung=1 hung.out' 20"
started=$(date +%s)
later_start 'C:\walls\to-a-hung-player.glsl'
waited=$(($(date +%s) - started))
check "a later start gives up on it with 1 ($waited s)" "[[ \$(cat later.exit) == 1 ]] && ((waited < 15))"
check "and says why" "grep -q 'does not respond' later.err"
kill "$hung" 2>/dev/null
wine taskkill /f /im "$(basename "$LUMENFOLD_PROBE")" >/dev/null 2>&1
finish

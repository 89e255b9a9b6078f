#!/usr/bin/env bash
# Where neither desktop layout turns up (no shell at all, or a program
# manager that ignores 0x052C) the player gives up, at once without a
# program manager, after two seconds with one that never builds its
# workers; it stays the 1280 x 720 top-level pop-up it was created
# as, and a later start finds it among the top-level windows.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

attachment_lines() { logged | sed -n '/^hwnd:/,/^Explorer may not be running$/p'; }
lines_after_giving_up() { logged | sed -n '/^Explorer may not be running$/,$p' | tail -n +2; }

# Prints how long at most the player can have taken from its "Explorer:"
# line to giving up: from the last look at the log that did not find the
# former to the first that found the latter, or "none". Slow looks only make
# the figure larger, so a player that did not wait still shows a small one.
# Run it right after starting the player.
time_giving_up() {
    local without_explorer= started log tries
    for tries in $(seq 1 3000); do
        started=$(date +%s%3N)
        log=$(logged)
        grep -q '^Explorer:' <<<"$log" || without_explorer=$started
        if grep -qx 'Explorer may not be running' <<<"$log"; then
            [[ -n $without_explorer ]] && echo $(($(date +%s%3N) - without_explorer)) || echo none
            return
        fi
        [[ -f player.exit ]] && break
        sleep 0.02
    done
    echo none
}

# What must hold whichever way the layouts failed to turn up.
check_left_top_level() {
    local window=$1 what=$2 scene=${2// /-}
    check "$what: no line of the attachment follows the giving up" \
        "! lines_after_giving_up | grep -qE '^(hwnd|Explorer|worker|defView|raised|GWL_|SetParent|SetLayered|SetWindowPos)'"
    check "$what: the window stays a 1280 x 720 top-level pop-up at (0, 0)" \
        "probe describe | grep -qx 'window=$window parent=$DESKTOP rect=0,0,1280,720 visible=1 style=9[0-9A-F]*'"
    cp plain.glsl "$scene.glsl"
    later_start "$scene.glsl"
    check "$what: a later start finds the window among the top-level windows" \
        "grep -qx 'SendMessage wnd:$window' later.lines"
    check "$what: the running player gets the path" "logged | grep -qxF 'WM_COPYDATA: $(win_path "$PWD/$scene.glsl")'"
}

fake_shell stop
DESKTOP=$(probe desktop-window | sed -n 's/^desktop=//p')

start_player "$(plain_pass_set)"
waited=$(time_giving_up)
window=$(player_window)
check "no shell: the player gives up ($waited ms)" "[[ $waited != none ]]"
check "no shell: the attachment says so right after an absent Explorer, waiting for no worker" \
    "[[ \"\$(attachment_lines)\" == \"hwnd:${window,,}
Explorer:0
Explorer may not be running\" ]]"
check_left_top_level "$window" "no shell"
stop_player

rm -f "$E2E_LOG"
start_fake_shell deaf
start_player "$(plain_pass_set)"
waited=$(time_giving_up)
window=$(player_window)
REPORT=$(fake_shell report)
explorer=$(shell_says program-manager | cut -d' ' -f1)
check "deaf shell: the player asked once and got nothing" "[[ \$(shell_says split-requests) == 1 ]]"
check "deaf shell: the player gives up after waiting two seconds for workers ($waited ms)" \
    "[[ $waited != none ]] && ((waited >= 1950))"
check "deaf shell: the attachment names the program manager, the deadline, then gives up" \
    "[[ \"\$(attachment_lines)\" == \"hwnd:${window,,}
Explorer:$explorer
desktop: the workers are not all there after 2000 ms
Explorer may not be running\" ]]"
check "deaf shell: nothing is hidden and nothing moved in" \
    "[[ \$(shell_says hidden) == none && \$(shell_says children) == none ]]"
check_left_top_level "$window" "deaf shell"
stop_player
finish

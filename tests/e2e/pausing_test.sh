#!/usr/bin/env bash
# The player rests while nobody sees it: covered by a full-screen or a
# maximised window, the session locked, the display off or dimmed, battery
# saver on, or paused from the tray menu. Resting, it draws nothing and
# uses next to no CPU; afterwards the animation goes on where it stopped.
# By default it draws no more frames per second than the display shows.
source "$(dirname "$0")/lib.sh"

# Waits until the log holds `count` lines exactly equal to `line`.
wait_for_lines() { eventually "[[ \$(logged | grep -cxF '$1') == $2 ]]" "${3:-5}"; }

start_player "$(numbers_pass_set)"
check "the numbers set plays" "wait_for_log '^first frame presented:'"
refresh=$(logged | sed -n 's/^frame rate: at most \([0-9]*\) per second$/\1/p' | tail -1)
fps=$(shown_frame_rate 3)
check "by default no more frames than the display's $refresh per second ($fps)" \
    "[[ -n '$refresh' ]] && ((fps > 0 && fps <= refresh * 11 / 10))"

# Covers the player with a window of the given kind, the n-th rest.
rest_under_cover() {
    local kind=$1 n=$2 before_frame before_time before_at cpu
    read_numbers
    before_frame=$SHOWN_FRAME before_time=$SHOWN_CENTISECONDS before_at=$SHOWN_AT
    check "$kind: a window covers the player" "cover_player $kind 60"
    check "$kind: the player rests" "wait_for_lines 'paused: covered' $n"
    cpu=$(cpu_percent_over 4)
    check "$kind: resting uses next to no CPU ($cpu % of a core over 4 s)" "[[ -n '$cpu' ]] && ((cpu < 5))"
    check "$kind: the cover goes" "uncover_player"
    check "$kind: the player goes on" "wait_for_lines resumed $n"
    check "$kind: frames come again" "eventually 'read_numbers && ((SHOWN_FRAME > before_frame))' 10"
    local played=$((SHOWN_CENTISECONDS - before_time)) passed=$(((SHOWN_AT - before_at) / 10))
    check "$kind: iTime stood still while resting ($played cs played in $passed cs)" \
        "((played > 0 && played < passed - 300))"
}
rest_under_cover fullscreen 1
rest_under_cover maximised 2

check "a window over half the screen is no cover" "cover_player half 60 && sync_player && sleep 2"
check "the player keeps drawing beside it" "[[ \$(logged | grep -cxF 'paused: covered') == 2 ]]"
uncover_player

# Each notification as its registration delivers it, and the end of it.
resumed=2
rest_for() {
    local what=$1 line=$2 n=$3 start=$4 stop=$5
    probe $start >/dev/null
    check "$what: '$line'" "wait_for_lines '$line' $n"
    probe $stop >/dev/null
    resumed=$((resumed + 1))
    check "$what ends: resumed" "wait_for_lines resumed $resumed"
}
rest_for "session locked" "paused: locked" 1 "session lock" "session unlock"
rest_for "display off" "paused: display off" 1 "power display off" "power display on"
rest_for "display dimmed" "paused: display off" 2 "power display dimmed" "power display on"
rest_for "battery saver" "paused: battery saver" 1 "power saver on" "power saver off"
rest_for "paused from the tray" "paused: by user" 1 "command 1001" "command 1001"

# A pass set asked for while resting is installed at once and shows after.
probe command 1001 >/dev/null
check "paused by the user again" "wait_for_lines 'paused: by user' 2"
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 1.0, 0.0, 1.0); }\n' >green.glsl
later_start "$PWD/green.glsl"
green=$(win_path "$PWD/green.glsl")
check "a forwarded set is installed while resting" "logged | grep -qxF 'load shader:$green'"
check "but not shown yet" "sync_player && ! logged | grep -qxF 'first frame presented: $green'"
probe command 1001 >/dev/null
check "it shows once the rest ends" "eventually \"logged | grep -qxF 'first frame presented: $green'\" 60"
check "on screen" "eventually 'screenshot now.png && [[ \$(pixel_colour now.png 100 100) == 0,255,0 ]]' 10"

stop_player
finish

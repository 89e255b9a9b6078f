#!/usr/bin/env bash
# Two monitors, two playlists: every monitor plays the folder it was given,
# each taking its own turns, and a covered monitor's turn waits while the
# other's go on.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"
source "$(dirname "$0")/monitor_bench.sh"

start_monitor_bench || { fail "the Xorg bench starts"; finish; }

SETTINGS_DIR=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Lumenfold
mkdir -p "$SETTINGS_DIR"
printf '[player]\nmonitors=each\nplaylist_seconds=3\nplaylist_order=name\ntransition_seconds=0\n' \
    >"$SETTINGS_DIR/lumenfold.ini"
trap 'cleanup; stop_monitor_bench; rm -f "$SETTINGS_DIR/lumenfold.ini"' EXIT

mkdir -p warm cool
paint() { printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(%s, 1.0); }\n' "$2" >"$1.glsl"; }
paint warm/red 1.0,0.0,0.0
paint warm/yellow 1.0,1.0,0.0
paint cool/blue 0.0,0.0,1.0
paint cool/cyan 0.0,1.0,1.0

# The colours a monitor showed over some screenshots, sorted, one line.
colours_shown() {
    local x=$1 y=$2 shots=$3 shot
    for shot in $(seq 1 "$shots"); do
        screenshot_bench now.png && pixel_at_screen_point now.png "$x" "$y" && echo
        sleep 1
    done | sort -u | tr '\n' ' '
}
# Turns taken from one folder.
turns_of() { count_logged "^next: .*[\\\\/]$1[\\\\/]"; }

start_player "$PWD/warm"
check "the warm folder plays" "wait_for_log '^first frame presented:' 60"
later_start --monitor 2 "$PWD/cool"
check "monitor 2 is given the cool folder" "[[ \$(cat later.exit) == 0 ]] && wait_for_log '^playlist: .*cool, 2 sets$' 20"
check "both take turns" "eventually '(( \$(turns_of warm) >= 3 && \$(turns_of cool) >= 2 ))' 30"
shown=$(colours_shown 640 360 8)
check "the primary shows its own two sets ($shown)" "[[ '$shown' == '255,0,0 255,255,0 ' ]]"
shown=$(colours_shown -512 84 8)
check "monitor 2 its own two ($shown)" "[[ '$shown' == '0,0,255 0,255,255 ' ]]"

check "a window is maximised on monitor 2" "cover_player maximised-other 60 && wait_for_log '^monitor rests: ' 10"
warm=$(turns_of warm) cool=$(turns_of cool)
sleep 8
check "monitor 2 takes no turn while covered" "(( \$(turns_of cool) == cool ))"
check "the primary's go on" "(( \$(turns_of warm) >= warm + 2 ))"
uncover_player
check "monitor 2's turn comes once it plays" "eventually '(( \$(turns_of cool) > cool ))' 15"
stop_player
finish

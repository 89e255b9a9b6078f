#!/usr/bin/env bash
# The player on two monitors at their own origins (a 1024 x 768 monitor left
# of and 300 px above the 1280 x 720 primary): a set per monitor at its own
# size, one picture across both, the primary's copied, a set chosen for one
# monitor that outlives an unplug, and windows that cover both monitors
# behind the icons of either shell; --resume brings back what each
# monitor played.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"
source "$(dirname "$0")/monitor_bench.sh"

start_monitor_bench || { fail "the Xorg bench starts"; finish; }

SETTINGS_DIR=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Lumenfold
SETTINGS="$SETTINGS_DIR/lumenfold.ini"
mkdir -p "$SETTINGS_DIR"
# Without a GPU budget: the sizes the checks read are the monitors'.
use_layout() { printf '[player]\ngpu_budget=0\nmonitors=%s\n' "$1" >"$SETTINGS"; }

# Paints its own resolution: green is iResolution.x / 2560, blue
# iResolution.y / 1536, red tells the sets apart.
resolution_set() {
    printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(%s, iResolution.x / 2560.0, iResolution.y / 1536.0, 1.0); }\n' \
        "$2" >"$1.glsl"
    echo "$PWD/$1.glsl"
}
RED=$(resolution_set red 1.0)
DARK=$(resolution_set dark 0.0)
GRADIENT="$PWD/gradient.glsl"
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(p.x / iResolution.x, 0.0, 0.0, 1.0); }\n' >"$GRADIENT"

# Each channel within 2 of "r,g,b".
near() {
    local IFS=, got wanted index
    read -ra got <<<"$1"
    read -ra wanted <<<"$2"
    for index in 0 1 2; do
        (( ${got[index]} - ${wanted[index]} <= 2 && ${wanted[index]} - ${got[index]} <= 2 )) || return 1
    done
}
resumed() { logged | grep -qxF "resume: $1"; }
# The colour at Wine's screen coordinates, from a new screenshot.
shows() { screenshot_bench now.png && near "$(pixel_at_screen_point now.png "$1" "$2")" "$3"; }
# Milliseconds from START (date +%s%N) to the look that first saw CONDITION
# hold, counted to that look's start, since a look itself takes a while on
# a loaded machine; 10 times a second, for at most SECONDS.
ms_until_seen() {
    local condition=$1 start=$2 seconds=$3 look
    while :; do
        look=$(date +%s%N)
        if eval "$condition"; then
            echo $(((look - start) / 1000000))
            return
        fi
        (((look - start) / 1000000000 >= seconds)) && { echo $((seconds * 1000)); return; }
        sleep 0.1
    done
}
ON_PRIMARY="640 360"
ON_SECOND="-512 84"

use_layout each
start_player "$RED"
check "each: the player draws" "wait_for_log '^first frame presented:'"
check "each: the window covers both monitors from below" \
    "probe describe | grep -q ' rect=-1024,-300,2304,1020 '"
check "each: the primary plays at 1280 x 720" "eventually 'shows $ON_PRIMARY 255,127,119' 10"
check "each: the second at 1024 x 768, a set of its own" "eventually 'shows $ON_SECOND 255,102,127' 10"

later_start --monitor 2 "$DARK"
check "a set chosen for monitor 2 is taken" "[[ \$(cat later.exit) == 0 ]]"
check "monitor 2 plays it" "eventually 'shows $ON_SECOND 0,102,127' 10"
check "the primary plays on as it was" "shows $ON_PRIMARY 255,127,119"

lines=$(logged | wc -l)
check "monitor 2 is unplugged" unplug_second_monitor
check "its set's targets are freed" "wait_for_log '^monitor gone: .+, [0-9]+ bytes freed$' 20"
check "the primary's targets stay as they are" "! logged | tail -n +$((lines + 1)) | grep -q '^old fbo:'"
check "the primary still plays" "shows 640 360 255,127,119"
check "monitor 2 is plugged back" plug_second_monitor
plugged=$(date +%s%N)
back_after=$(ms_until_seen "shows $ON_SECOND 0,102,127" "$plugged" 10)
check "its own set is back on screen" "(( back_after < 10000 ))"
check "within 2 s (${back_after} ms)" "(( back_after <= 2000 ))"

# Through the tray menu: monitor 2's submenu, Open pass set…
BLUE="$PWD/blue.glsl"
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 0.0, 1.0, 1.0); }\n' >"$BLUE"
wine "$LUMENFOLD_PROBE" command 1110 >/dev/null 2>&1 &
check "monitor 2's Open pass set asks for a file" "[[ \$(probe open-dialog '$(win_path "$BLUE")') == dialog=1 ]]"
check "monitor 2 plays it" "eventually 'shows $ON_SECOND 0,0,255' 10"
check "the primary plays on" "shows $ON_PRIMARY 255,127,119"
check "the choice is kept under the monitor's identity" \
    "iconv -f UTF-16LE -t UTF-8 '$SETTINGS' 2>/dev/null | tr -d '\r' | grep -q '^\\\\.*=.*blue.glsl$'"
check "unplugged and plugged back" "unplug_second_monitor && wait_for_log '^monitors: 1$' 20 && plug_second_monitor"
check "it is back" "eventually 'shows $ON_SECOND 0,0,255' 10"

# A maximised window on monitor 2 rests that monitor alone.
check "a window is maximised on monitor 2" "cover_player maximised-other 60"
check "monitor 2 rests" "wait_for_log '^monitor rests: ' 10"
check "the player itself does not" "! logged | grep -q '^paused: covered'"
uncover_player
check "monitor 2 plays again" "wait_for_log '^monitor plays: ' 10"

# At logon --resume brings back what each monitor played: monitor 2 its own
# choice, the primary the set chosen for every monitor. It starts right
# after the player before it ended, and logs beside itself.
start_fake_shell classic
stop_player
STARTED_LOG=$E2E_LOG
E2E_LOG="$(dirname "$LUMENFOLD_EXE")/$E2E_LOG"
rm -f "$E2E_LOG"
start_player --resume
check "--resume: a start right after the player ended plays" "wait_for_log '^first frame presented:' 60"
check "it brings back monitor 2's choice under its identity" \
    'resumed "$(win_path "$BLUE") on $(settings_text "$SETTINGS" | sed -n "s/=.*blue\.glsl$//p")"'
check "and the primary's" 'resumed "$(win_path "$RED")"'
check "monitor 2 shows its choice" "eventually 'attached_shows $ON_SECOND 0,0,255' 30"
check "the primary the other set" "eventually 'attached_shows $ON_PRIMARY 255,127,119' 10"
stop_player
check "no player is left" "[[ \$(probe describe) == window=0 ]]"
rm -f "$E2E_LOG"
E2E_LOG=$STARTED_LOG
fake_shell stop
rm -f "$E2E_LOG"
start_player "$RED"
check "a plain start plays again" "wait_for_log '^first frame presented:' 60"

use_layout span
later_start "$GRADIENT"
check "span: one picture across both monitors" "eventually 'shows 1279 100 254,0,0' 15"
check "the gradient goes on across the shared edge" \
    "screenshot_bench now.png && near \"\$(pixel_at_screen_point now.png -1 100)\" 113,0,0 && near \"\$(pixel_at_screen_point now.png 0 100)\" 113,0,0"
check "and starts at the left edge" "near \"\$(pixel_at_screen_point now.png -1024 100)\" 0,0,0"

use_layout duplicate
later_start "$RED"
check "duplicate: the primary plays at its size" "eventually 'shows $ON_PRIMARY 255,127,119' 15"
check "the second shows the primary's picture" "eventually 'shows $ON_SECOND 255,127,119' 10"
stop_player

# Behind the icons the window covers both monitors too, on either shell.
for layout in classic raised; do
    rm -f "$E2E_LOG"
    start_fake_shell "$layout"
    start_player "$RED"
    check "$layout: the player attaches" "wait_for_log '^SetWindowPos:'"
    check "$layout: its window covers both monitors" \
        "eventually 'probe describe | grep -q \" rect=-1024,-300,2304,1020 \"' 10"
    check "$layout: it draws" "wait_for_log '^first frame presented:'"
    stop_player
    fake_shell stop
done

finish

#!/usr/bin/env bash
# A folder as a playlist on one monitor: its sets take turns by name over two
# rounds, a set copied in joins the next round and a broken one is skipped,
# "Next wallpaper" turns at once into a crossfade, a covered player's turn
# waits; shuffled, every round plays each set once without a repeat, and
# --resume goes on from the set that played.
source "$(dirname "$0")/lib.sh"

SETTINGS_DIR=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Lumenfold
SETTINGS="$SETTINGS_DIR/lumenfold.ini"
RESUMED_LOG="$(dirname "$LUMENFOLD_EXE")/$E2E_LOG"
trap 'cleanup; rm -f "$SETTINGS" "$RESUMED_LOG"' EXIT
write_settings() {
    mkdir -p "$SETTINGS_DIR"
    printf '[player]\r\n' >"$SETTINGS.new"
    local line
    for line in "$@"; do printf '%s\r\n' "$line" >>"$SETTINGS.new"; done
    mv "$SETTINGS.new" "$SETTINGS"
}

mkdir -p sets
paint() { printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(%s, 1.0); }\n' "$2" >"sets/$1.glsl"; }
paint blue 0.0,0.0,1.0
paint green 0.0,1.0,0.0
paint red 1.0,0.0,0.0
# A companion is no set of its own.
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(0.5); }\n' >sets/green.a.glsl
declare -A COLOUR=([amber]=255,255,0 [blue]=0,0,255 [green]=0,255,0 [red]=255,0,0)

# The sets' names in the order they took their turns.
# The player names them as it was given the folder, in either form.
set_names() { sed -n 's/^next: .*[\\/]\(.*\)\.glsl$/\1/p' | tr '\n' ' '; }
turns() { logged | set_names | sed 's/ $//'; }
turn_count() { count_logged '^next: '; }
# Waits until COUNT turns have been taken, looking often: a fade is short.
turns_reach() {
    local tries
    for tries in $(seq 1 $((${2:-60} * 10))); do
        (($(turn_count) >= $1)) && return 0
        sleep 0.1
    done
    (($(turn_count) >= $1))
}
last_turn() { turns | awk '{ print $NF }'; }
shows() { screenshot now.png && [[ $(pixel_colour now.png 100 100) == "$1" ]]; }

write_settings playlist_seconds=3 playlist_order=name transition_seconds=0
start_player "$PWD/sets"
check "the folder plays as a playlist of three sets" "wait_for_log '^playlist: .*[\\/]sets, 3 sets$' 60"
check "a smaller window keeps frames quick" "shrink_player"
check "two rounds are played" "turns_reach 6 90"
check "in name order ($(turns))" "[[ '$(turns)' == 'blue green red blue green red'* ]]"
check "the screen shows the set whose turn it is" "eventually 'shows \${COLOUR[\$(last_turn)]}' 10"

# Between turns, a set copied in and a broken one.
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(1.0) }\n' >sets/broken.glsl
paint amber 1.0,1.0,0.0
check "the folder's change is told" "wait_for_log '^playlist: .*, 5 sets$' 30"
turns_since_change() { logged | sed -n '/^playlist: .*, 5 sets$/,$p' | set_names; }
check "the next round plays the new set, and skips the broken one" \
    "eventually '[[ \$(turns_since_change) == *\"amber blue green red \"* ]]' 40"
echo "turns since the change: $(turns_since_change)"
check "the broken set is named" "logged | grep -qE '^load_shader failed:.*[\\/]broken\.glsl$'"
rm -f sets/broken.glsl

# Next wallpaper from the tray, into a fade of two seconds.
write_settings playlist_seconds=600 playlist_order=name transition_seconds=2
check "the new turn length is read" "sync_player && sleep 4 && sync_player"
before=$(turn_count)
from=$(last_turn)
asked=$(date +%s%N)
probe command 1033 >/dev/null
check "Next wallpaper turns at once" "turns_reach $((before + 1)) 10"
check "within 5 s" "(( ($(date +%s%N) - asked) / 1000000 < 5000 ))"
to=$(last_turn)
# Half of each colour, somewhere in the fade's middle second.
half_blend() {
    local IFS=, got a b index
    screenshot fade.png
    read -ra got <<<"$(pixel_colour fade.png 100 100)"
    read -ra a <<<"${COLOUR[$from]}"
    read -ra b <<<"${COLOUR[$to]}"
    for index in 0 1 2; do
        ((a[index] == b[index])) && { ((got[index] == a[index])) || return 1; continue; }
        ((got[index] >= 64 && got[index] <= 191)) || return 1
    done
}
blended=no
for tries in $(seq 1 15); do
    half_blend && { blended=yes; break; }
    sleep 0.1
done
check "a screenshot mid-fade shows $from and $to half and half ($(pixel_colour fade.png 100 100))" "[[ $blended == yes ]]"
check "the fade ends with the old set's targets freed" "wait_for_log '^fade done: .*, [0-9]+ bytes freed$' 20"
check "and shows the new set alone" "eventually 'shows \${COLOUR[$to]}' 10"
before=$(turn_count)
probe command 1104 >/dev/null
check "monitor 1's own Next wallpaper turns too" "turns_reach $((before + 1)) 10"
probe command 1034 >/dev/null
check "Change every 5 minutes is written" "eventually '[[ \$(setting_value player playlist_seconds) == 300 ]]' 10"

# A covered player's turn waits until it is seen again.
write_settings playlist_seconds=3 playlist_order=name transition_seconds=0
check "turns come again" "turns_reach $((before + 2)) 30"
check "a window covers the player" "cover_player fullscreen 60 && wait_for_log '^paused: covered' 10"
before=$(turn_count)
sleep 7
check "no turn while covered" "(( \$(turn_count) == before ))"
uncover_player
check "the turn comes once it is seen" "turns_reach $((before + 1)) 15"
stop_player

# Shuffled: every round each set once, never the same set twice in a row.
rm -f sets/amber.glsl "$E2E_LOG"
write_settings playlist_seconds=3 playlist_order=shuffle transition_seconds=0
start_player "$PWD/sets"
check "shuffled: it plays" "wait_for_log '^playlist: .*, 3 sets$' 60 && shrink_player"
check "shuffled: two rounds" "turns_reach 6 90"
read -ra played <<<"$(turns)"
check "each round plays each set once (${played[*]})" \
    "[[ \$(printf '%s\n' \${played[@]:0:3} | sort -u | wc -l) == 3 && \$(printf '%s\n' \${played[@]:3:3} | sort -u | wc -l) == 3 ]]"
check "never the same set twice in a row" \
    "! printf '%s\n' \${played[@]} | uniq -d | grep -q ."
stop_player
last=$(last_turn)

E2E_LOG=$RESUMED_LOG
rm -f "$E2E_LOG"
start_player --resume
check "--resume plays the playlist again" "wait_for_log '^playlist: .*, 3 sets$' 60"
check "from the set that played last ($last)" "turns_reach 1 30 && [[ \$(turns | awk '{ print \$1 }') == $last ]]"
mkdir -p empty
later_start "$PWD/empty"
check "a folder without a set plays the built-in one, and says why" \
    "wait_for_log '^playlist: .*empty has no pass set; the built-in set plays$' 20"
stop_player
finish

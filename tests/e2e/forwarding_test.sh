#!/usr/bin/env bash
# A later start forwards its first argument, as a full path, to the running
# player and exits once the set plays; it never touches the running player's
# log. A set that cannot be played makes it exit with 1. A start with nobody
# running is a first start.
source "$(dirname "$0")/lib.sh"

# A set that plays: a missing one would make the player fall back on the
# built-in set, whose software-rendered frames take seconds.
printf 'void mainImage(out vec4 c, in vec2 p) { c = vec4(0.3); }\n' >first.glsl
start_player "$PWD/first.glsl"
check "a start with nobody running is a first start" "wait_for_log '^---------------------$'"
check "a first start forwards nothing" "! grep -q 'SendMessage' player.err && ! logged | grep -q 'SendMessage'"
window=$(player_window)

second=$(plain_pass_set)
mv "$second" "second scene.glsl"
later_start "$PWD/second scene.glsl" 'ignored second argument'
check "the later start exits with 0" "[[ \$(cat later.exit) == 0 ]]"
check "the later start reports the running window in upper-case hex" \
    "[[ -n '$window' ]] && grep -qx 'SendMessage wnd:$window' later.lines"
check "the running player logs the first argument only, as a full path" \
    "logged | grep -qxF 'WM_COPYDATA: $(win_path "$PWD/second scene.glsl")'"
check "the later start returns once the set is installed" "logged | grep -q '^load shader:.*second scene.glsl$'"
check "the later start does not write to the running player's log" "! logged | grep -q 'SendMessage'"

mkdir -p relative
cp "second scene.glsl" relative/scene.glsl
later_start 'relative\scene.glsl'
check "a relative path names the file where the later start runs" \
    "logged | grep -qxF 'WM_COPYDATA: $(win_path "$PWD")\relative\scene.glsl'"

later_start 'C:\walls\missing.glsl'
check "a missing set is refused: the later start exits with 1" "[[ \$(cat later.exit) == 1 ]]"
check "and says why" "grep -q \"refused the request: it cannot read the pass set\" later.lines"
printf 'void mainImage(out vec4 c, in vec2 p) { c = vec4(1.0) }\n' >broken.glsl
later_start broken.glsl
check "a set that does not build makes the later start exit with 1" "[[ \$(cat later.exit) == 1 ]]"
check "and it says so" "grep -q 'could not install .*broken.glsl' later.lines"

later_start
check "a later start without a path exits with 0" "[[ \$(cat later.exit) == 0 ]]"
check "a later start without a path sends no data" "logged | grep -qx 'WM_COPYDATA: (null)'"

stop_player
check "the first instance's log holds no line of a later start" "! logged | grep -q 'SendMessage'"

rm -f "$E2E_LOG"
start_player "$PWD/first.glsl"
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

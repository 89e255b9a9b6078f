#!/usr/bin/env bash
# --resume, as the Run value starts the player at logon: before the shell
# has built its desktop it shows no window and draws nothing, attaches once
# the shell is there and plays the set chosen last; a set that is gone or
# does not build gives way to the built-in one. --quit ends it as Exit does.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/fake_shell.sh"

SETTINGS=$(settings_file)
# A resumed player works in its own folder, where the system's folder may
# not be written, and logs there.
RESUMED_LOG="$(dirname "$LUMENFOLD_EXE")/$E2E_LOG"
STARTED_LOG=$E2E_LOG
E2E_LOG=$RESUMED_LOG
rm -f "$E2E_LOG"
trap 'cleanup; fake_shell stop; rm -f "$SETTINGS" "$RESUMED_LOG"' EXIT

# Writes [pass_sets] all=PATH as a hand would, in one byte per character,
# or in UTF-16 with "utf16" first.
remember() {
    local encoding=ascii
    [[ $1 == utf16 ]] && { encoding=utf16; shift; }
    mkdir -p "$(dirname "$SETTINGS")"
    # A small rendering keeps the built-in set's frames short on llvmpipe.
    printf '[player]\r\nframe_rate=30\r\nrender_scale=25\r\n[pass_sets]\r\nall=%s\r\n' "$1" >"$SETTINGS.new"
    if [[ $encoding == utf16 ]]; then
        { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE <"$SETTINGS.new"; } >"$SETTINGS"
        rm -f "$SETTINGS.new"
    else
        mv "$SETTINGS.new" "$SETTINGS"
    fi
}
top_level_visible() { probe describe | grep -q "parent=$DESKTOP .*visible=1"; }
# Never visible over SECONDS seconds of looking.
stays_hidden() {
    local tries
    for tries in $(seq 1 $(($1 * 5))); do
        top_level_visible && return 1
        sleep 0.2
    done
    return 0
}
quit_player() {
    later_start --quit
    check "--quit exits with 0 ($(cat later.err | tr -d '\r' | tail -1))" "[[ \$(cat later.exit) == 0 ]]"
    check "and the player ended with 0" "wait_for_player_exit 30 && [[ \$(player_exit_code) == 0 ]]"
}

fake_shell stop
DESKTOP=$(probe desktop-window | sed -n 's/^desktop=//p')
plain_pass_set >/dev/null
remember "$(win_path "$PWD/plain.glsl")"
start_player --resume
check "--resume without a desktop waits hidden" "wait_for_log '^desktop: none yet; waiting hidden for the shell$' 30"
check "and names the set it resumes" "wait_for_log '^resume: .*plain.glsl$' 10"
check "its window exists but never shows" "probe wait 10000 >/dev/null && stays_hidden 3"
check "nothing is drawn meanwhile" "! logged | grep -q '^first frame presented:'"
later_start --resume
check "a later --resume finds the waiting player and exits 0" "[[ \$(cat later.exit) == 0 ]]"

start_fake_shell classic
check "once the shell is there the player attaches" "wait_for_log '^desktop back: ' 15"
check "and plays the remembered set" "wait_for_log '^first frame presented: .*plain.glsl$' 30"
REPORT=$(fake_shell report)
check "behind the icons, the wallpaper worker hidden" "[[ \$(shell_says hidden) == wallpaper-worker ]]"
notify=$(probe notify-window)
quit_player
REPORT=$(fake_shell report)
check "the tray icon is gone" "[[ \$(probe tray-exists ${notify#notify=}) == tray=0 ]]"
check "and the wallpaper worker shows again" "[[ \$(shell_says hidden) == none ]]"

# Without a shell again, nothing is drawn: the built-in set's slow frames
# on llvmpipe keep nobody waiting.
kill_fake_shell
rm -f "$E2E_LOG"
remember utf16 "$(win_path "$PWD/Zoë Ångström/gone.glsl")"
start_player --resume
check "a remembered set that is gone is named, in any script" \
    "wait_for_log '^resume: .*Zoë Ångström.gone.glsl is gone; the built-in set plays$' 30"
quit_player

rm -f "$E2E_LOG"
printf 'void mainImage(out vec4 o, in vec2 p) { o = undefined_thing; }\n' >broken.glsl
remember "$(win_path "$PWD/broken.glsl")"
start_player --resume
check "a remembered set that does not build gives way to the built-in one" \
    "wait_for_log '^resume: .*broken.glsl does not build; the built-in set plays$' 60"
quit_player

# What a start with a path, a forward and the tray menu choose is what the
# next --resume finds; [player] keys stay as they were.
E2E_LOG=$STARTED_LOG
remember ""
start_player plain.glsl
check "a start with a path remembers its full path" \
    "wait_for_log '^first frame presented:' 30 && eventually '[[ \$(setting_value pass_sets all) == \"$(win_path "$PWD/plain.glsl")\" ]]' 5"
cp plain.glsl forwarded.glsl
later_start forwarded.glsl
check "a forwarded path is remembered" \
    "eventually '[[ \$(setting_value pass_sets all) == \"$(win_path "$PWD/forwarded.glsl")\" ]]' 20"
check "the [player] keys stay" "[[ \$(setting_value player frame_rate) == 30 ]]"
probe resize 320 180 >/dev/null
probe command 1031 >/dev/null
check "Built-in wallpaper is remembered as an empty path" "eventually 'settings_text | grep -qx all=' 20"
quit_player
finish

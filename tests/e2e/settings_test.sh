#!/usr/bin/env bash
# lumenfold.ini and the tray menu: a frame-rate cap, a render scale that
# still fills the window, bad values named in the log with defaults used,
# hand edits picked up while playing, and every menu item doing what it
# says.
source "$(dirname "$0")/lib.sh"

SETTINGS_DIR=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Lumenfold
SETTINGS="$SETTINGS_DIR/lumenfold.ini"
# The prefix is shared by every test: no setting may outlive this one.
trap 'cleanup; rm -f "$SETTINGS"' EXIT

# Without a GPU budget: the bench's software GPU would move the render
# scale these checks read.
write_settings() {
    mkdir -p "$SETTINGS_DIR"
    printf '[player]\r\ngpu_budget=0\r\n' >"$SETTINGS.new"
    local line
    for line in "$@"; do printf '%s\r\n' "$line" >>"$SETTINGS.new"; done
    mv "$SETTINGS.new" "$SETTINGS"
}
# The player keeps the file in UTF-16 once it wrote to it.
setting_in_file() { setting_value player "$1"; }
frame_rate_line() { logged | sed -n 's/^frame rate: at most \([0-9]*\) per second$/\1/p' | tail -1; }

write_settings frame_rate=20
start_player "$(numbers_pass_set)"
check "the numbers set plays" "wait_for_log '^first frame presented:'"
check "frame_rate=20 is the cap" "[[ \$(frame_rate_line) == 20 ]]"
fps=$(shown_frame_rate 4)
check "15 to 23 frames per second are shown ($fps)" "((fps >= 15 && fps <= 23))"

write_settings frame_rate=20 render_scale=50
check "a hand edit is picked up while playing" "eventually 'read_numbers && ((SHOWN_WIDTH == 640))' 15"
check "render_scale=50: iResolution is half the window per side ($SHOWN_WIDTH x $SHOWN_HEIGHT)" \
    "((SHOWN_HEIGHT == 360))"
check "and the picture still fills the window" \
    "[[ \$(pixel_colour numbers.png 1279 719) != 0,0,0 && \$(pixel_colour numbers.png 1279 719) == \$(pixel_colour numbers.png 1100 100) ]]"

# The change notification must be armed again after each change: a second
# edit is seen, and a player that rests after a change does not spin on a
# notification that stays signalled.
write_settings frame_rate=20 render_scale=75
check "a second hand edit is picked up too" "eventually 'read_numbers && ((SHOWN_WIDTH == 960))' 15"
probe command 1001 >/dev/null
check "paused from the tray after the edits" "wait_for_log '^paused: by user$' 10"
cpu=$(cpu_percent_over 4)
check "resting after a settings change uses next to no CPU ($cpu % of a core over 4 s)" \
    "[[ -n '$cpu' ]] && ((cpu < 5))"
probe command 1001 >/dev/null
check "and it goes on" "wait_for_log '^resumed$' 10"

write_settings frame_rate=fast render_scale=7
check "a bad frame_rate is named in the log" \
    "wait_for_log '^settings: frame_rate=fast is not a whole number from 0 to 1000; 0 is used$' 15"
check "a bad render_scale is named in the log" \
    "wait_for_log '^settings: render_scale=7 is not a whole number from 25 to 100; 100 is used$'"
check "the defaults are used: the display's rate" "eventually '[[ \$(frame_rate_line) == 60 ]]' 10"
check "and the full size" "eventually 'read_numbers && ((SHOWN_WIDTH == 1280 && SHOWN_HEIGHT == 720))' 15"

# The menu's items, as a click on each sends them.
probe command 1012 >/dev/null
check "Frame rate 30 writes the file" "[[ \$(setting_in_file frame_rate) == 30 ]]"
check "and caps at once" "[[ \$(frame_rate_line) == 30 ]]"
probe command 1021 >/dev/null
check "Render scale 75 % writes the file" "[[ \$(setting_in_file render_scale) == 75 ]]"
check "and renders at 960 x 540 (iResolution / 8 shown as whole numbers)" \
    "eventually 'read_numbers && ((SHOWN_WIDTH == 960 && SHOWN_HEIGHT >= 536 && SHOWN_HEIGHT <= 544))' 15"
probe command 1020 >/dev/null
probe command 1010 >/dev/null
check "Display and 100 % go back" \
    "[[ \$(setting_in_file frame_rate) == 0 && \$(setting_in_file render_scale) == 100 && \$(frame_rate_line) == 60 ]]"
probe command 1071 >/dev/null
check "GPU budget 10 % writes the file" "[[ \$(setting_in_file gpu_budget) == 10 ]]"
probe command 1070 >/dev/null
check "and Off writes 0" "[[ \$(setting_in_file gpu_budget) == 0 ]]"
probe command 1002 >/dev/null
check "Pause when covered turns it off" "[[ \$(setting_in_file pause_when_covered) == 0 ]]"
check "then a full-screen window is no reason to rest" "cover_player fullscreen 30 && sync_player && sleep 2"
check "the player keeps drawing" "! logged | grep -qx 'paused: covered' && cpu_percent_over 1 >/dev/null"
uncover_player
probe command 1040 >/dev/null
check "Open log opens the log" "wait_for_log '^Open log: .*GLumenfold_Velvetdusk.log$'"

printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(0.0, 1.0, 0.0, 1.0); }\n' >green.glsl
green_windows=$(winepath -w "$PWD/green.glsl" 2>/dev/null)
wine "$LUMENFOLD_PROBE" command 1030 >/dev/null 2>&1 &
check "Open pass set asks for a file" "[[ \$(probe open-dialog '$green_windows') == dialog=1 ]]"
check "and plays the chosen one" "wait_for_log '^first frame presented: .*green.glsl$' 30"
check "on screen" "eventually 'screenshot now.png && [[ \$(pixel_colour now.png 100 100) == 0,255,0 ]]' 10"
check "and remembers it for --resume, beside the [player] keys" \
    "[[ \$(setting_value pass_sets all) == \"\$green_windows\" && \$(setting_in_file render_scale) == 100 ]]"

probe resize 320 180 >/dev/null
probe command 1031 >/dev/null
check "Built-in wallpaper plays the built-in set" "wait_for_log '^first frame presented: \\(null\\)$' 120"
check "and is remembered as an empty path" "settings_text | grep -qx 'all='"

probe command 1050 >/dev/null
check "Exit ends the player" "wait_for_player_exit 60"
check "with 0" "[[ \$(player_exit_code) == 0 ]]"
finish

#!/usr/bin/env bash
# The GPU budget on the bench's software GPU: the built-in wallpaper, far
# over any budget at 1280 x 720, goes down to the smallest scale and frame
# rate and stays there; a set whose cost quadruples for a while is scaled
# down, then back up, and its iResolution shows each scale.
source "$(dirname "$0")/lib.sh"

SETTINGS=$(settings_file)
mkdir -p "$(dirname "$SETTINGS")"
# The prefix is shared by every test: no setting may outlive this one.
trap 'cleanup; rm -f "$SETTINGS"' EXIT
write_settings() { printf '[player]\r\n%s\r\n%s\r\n' "$@" >"$SETTINGS"; }

write_settings gpu_budget=25 frame_rate=60
start_player
check "the software GPU's passes are timed by finishing them" \
    "wait_for_log '^gpu timing: the renderer draws on the CPU' 60"
check "the built-in wallpaper goes down to a quarter of the scale and 15 frames per second at once" \
    "wait_for_log '^gpu budget: scale 25 %, 15 fps \\([0-9.]+ ms per frame against [0-9.]+\\)$' 120"
changes=$(count_logged '^gpu budget:')
sleep 10
check "and stays there" "(( \$(count_logged '^gpu budget:') == changes ))"
stop_player

# iFrame, iTime in hundredths and iResolution / 8, as numbers_pass_set shows
# them, from a loop that runs ROUNDS times, four times as many from 5 s to
# 20 s of iTime. The loop is most of the cost, so the cost quadruples too.
heavy_set() {
    cat >heavy.glsl <<GLSL
vec4 as_colour(int value) {
    return vec4(float(value & 255), float((value >> 8) & 255), float((value >> 16) & 255), 255.0) / 255.0;
}
void mainImage(out vec4 o, in vec2 p) {
    int rounds = iTime >= $1 && iTime < 20.0 ? 4 * $2 : $2;
    float v = p.x * 0.001;
    for (int i = 0; i < rounds; i++) v = fract(v * 1.37 + 0.1);
    if (p.x < iResolution.x / 3.0) o = as_colour(iFrame);
    else if (p.x < iResolution.x * 2.0 / 3.0) o = as_colour(int(iTime * 100.0));
    else o = vec4(iResolution.xy / 8.0 / 255.0, 0.5, 1.0);
    o.a = 1.0 + v * 1e-9;
}
GLSL
}
ROUNDS=60

# How fast the bench draws the light set decides the budget: under a budget
# of 1 % its first change says what a frame at full scale costs. The budget
# is then set so that the light set takes half of it, and the heavy one
# (four times the loop, nearly three times the cost with the rest of a
# frame) half as much again, on a fast machine as on a slow one. At 10
# frames per second a heavy frame still fits between two, so its share can
# exceed the budget.
heavy_set 1000.0 $ROUNDS
write_settings gpu_budget=1 frame_rate=10
rm -f "$E2E_LOG"
start_player "$PWD/heavy.glsl"
check "the cost of the light set at full scale is logged" \
    "wait_for_log '^gpu budget: scale [0-9]+ %' 60"
light_ms=$(logged | sed -n 's/^gpu budget: .*(\([0-9.]*\) ms per frame.*/\1/p' | head -1)
budget=$(awk -v ms="${light_ms:-0}" 'BEGIN { b = int(ms * 10 / 1000 * 100 * 2 + 0.5); if (b < 2) b = 2; if (b > 95) b = 95; print b }')
echo "the light set takes ${light_ms:-?} ms per frame at 1280 x 720: a budget of $budget %"
stop_player

heavy_set 5.0 $ROUNDS
write_settings gpu_budget="$budget" frame_rate=10
rm -f "$E2E_LOG"
start_player "$PWD/heavy.glsl"
check "the set plays" "wait_for_log '^first frame presented: .*heavy.glsl$' 60"
check "four times heavier, it is scaled down, and iResolution shows it" \
    "eventually 'read_numbers && ((SHOWN_CENTISECONDS >= 500 && SHOWN_CENTISECONDS < 2000 && SHOWN_WIDTH < 1280))' 40"
echo "shown: frame $SHOWN_FRAME, $SHOWN_CENTISECONDS cs, ${SHOWN_WIDTH}x$SHOWN_HEIGHT"
# The heavy phase may have gone down more than once: back up is above the
# smallest scale it logged, by more than the 8 pixels iResolution is read in.
smallest_scale() { logged | sed -n 's/^gpu budget: scale \([0-9]*\) %.*/\1/p' | sort -n | head -1; }
check "light again" "eventually 'read_numbers && ((SHOWN_CENTISECONDS >= 2000))' 30"
smallest=$((1280 * $(smallest_scale) / 100))
check "it is scaled back up, as logged" "eventually 'read_numbers && ((SHOWN_WIDTH > smallest + 8))' 60"
echo "shown: frame $SHOWN_FRAME, $SHOWN_CENTISECONDS cs, ${SHOWN_WIDTH}x$SHOWN_HEIGHT"
check "each change has its line, and one of them goes up" \
    "logged | sed -n 's/^gpu budget: scale \\([0-9]*\\) %.*/\\1/p' | awk 'NR > 1 && \$1 > last { up = 1 } { last = \$1 } END { exit !up }'"
finish

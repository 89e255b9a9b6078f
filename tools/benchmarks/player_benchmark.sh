#!/usr/bin/env bash
# Figures of the player itself under Wine on this machine: CPU while it
# rests, how soon frames come after a cover goes, how soon a saved pass set
# shows, and how soon the player is back behind the icons after the shell
# returned. scripts/bench runs it; figures, not verdicts.
e2e=$(cd "$(dirname "$0")/../../tests/e2e" && pwd)
source "$e2e/lib.sh"
source "$e2e/fake_shell.sh"

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
now_ms() { date +%s%3N; }

# The frame number at (100, 100) of the numbers set, read as fast as a
# screenshot allows.
shown_frame() {
    xwd -root -silent -display "$DISPLAY" |
        convert xwd:- -crop 1x1+100+100 -format '%[fx:round(255*r) + 256*round(255*g) + 65536*round(255*b)]' info:
}

echo "== resting (numbers set, 1280x720, top-level player)"
start_player "$(numbers_pass_set)"
wait_for_log '^first frame presented:' 120 >/dev/null
echo "  drawing at the display's rate: $(cpu_percent_over 5) % of a core"
probe command 1001 >/dev/null
wait_for_log '^paused: by user$' 10 >/dev/null
echo "  paused from the tray: $(cpu_percent_over 5) % of a core"
probe command 1001 >/dev/null
for round in 1 2 3 4 5; do
    cover_player fullscreen 60 >/dev/null
    eventually "[[ \$(count_logged '^paused: covered$') == $round ]]" 10 >/dev/null
    [[ $round == 1 ]] && echo "  covered: $(cpu_percent_over 5) % of a core"
    before=$(shown_frame)
    uncover_player >/dev/null
    gone=$(now_ms)
    for tries in $(seq 1 200); do
        [[ $(shown_frame) != "$before" ]] && break
    done
    echo $(($(now_ms) - gone)) >>uncovered.ms
done
echo "  cover gone to the first new frame on screen: median $(median <uncovered.ms) ms of 5" \
    "($(tr '\n' ' ' <uncovered.ms)ms; a screenshot takes about $(
        started=$(now_ms)
        shown_frame >/dev/null
        echo $(($(now_ms) - started))
    ) ms)"

# Saves a set's Main ten times and times each save to its first frame.
reload_latency() {
    local label=$1 main=$2 round written
    rm -f reload.ms
    for round in $(seq 1 10); do
        local before
        before=$(logged | grep -cxF "first frame presented: $(win_path "$main")")
        sed -i "s/0\.[0-9]*, 1\.0);/0.$round, 1.0);/" "$main"
        written=$(now_ms)
        for tries in $(seq 1 2000); do
            (($(logged | grep -cxF "first frame presented: $(win_path "$main")") > before)) && break
            sleep 0.005
        done
        echo $(($(now_ms) - written)) >>reload.ms
    done
    echo "  $label: median $(median <reload.ms) ms of 10 ($(sort -n reload.ms | tr '\n' ' ')ms)"
}

echo "== reload on save: last write to the first frame of the new set"
mkdir -p one five
printf 'void mainImage(out vec4 o, in vec2 p) { o = vec4(0.2, 0.3, 0.0, 1.0); }\n' >one/one.glsl
printf 'vec3 tint(float x) { return vec3(x, 1.0 - x, 0.5); }\n' >five/five.0.glsl
for buffer in a b c d; do
    printf '#pragma iChannel0 Buffer%s\nvoid mainImage(out vec4 o, in vec2 p) { o = vec4(tint(fract(iTime)), 1.0) * 0.5 + texture(iChannel0, p / iResolution.xy) * 0.5; }\n' \
        "$(tr a-d A-D <<<"$buffer")" >"five/five.$buffer.glsl"
done
printf '#pragma iChannel0 BufferD\nvoid mainImage(out vec4 o, in vec2 p) { o = texture(iChannel0, p / iResolution.xy) * vec4(0.2, 0.3, 0.0, 1.0); }\n' \
    >five/five.glsl
later_start "$PWD/one/one.glsl"
eventually "logged | grep -qxF 'first frame presented: $(win_path "$PWD/one/one.glsl")'" 60 >/dev/null
reload_latency "one pass" "$PWD/one/one.glsl"
later_start "$PWD/five/five.glsl"
eventually "logged | grep -qxF 'first frame presented: $(win_path "$PWD/five/five.glsl")'" 60 >/dev/null
reload_latency "five passes and a common part" "$PWD/five/five.glsl"
stop_player >/dev/null

echo "== back behind the icons after the shell returned (classic fake shell)"
attach_with_shell classic >/dev/null
for round in 1 2 3; do
    # A desktop lost sooner counts as a shell in a crash loop, which the
    # player tries again only after a pause: this is an ordinary restart.
    sleep 31
    kill_fake_shell
    eventually "[[ \$(count_logged '^desktop lost$') == $round ]]" 10 >/dev/null
    start_fake_shell classic >/dev/null
    eventually "[[ \$(count_logged '^desktop back: ') == $round ]]" 20 >/dev/null
done
logged | sed -n 's/^desktop back: first frame \([0-9]*\) ms.*/\1/p' >back.ms
echo "  shell's announcement to the first frame: median $(median <back.ms) ms of 3 ($(tr '\n' ' ' <back.ms)ms)"
detach >/dev/null

# Helpers for the end-to-end tests: each test runs the real player under Wine
# in a folder of its own and drives it with the probe.
# shellcheck shell=bash
set -u

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

E2E_NAME=$(basename "$0" .sh)
E2E_DIR="${LUMENFOLD_BIN:-/tmp}/e2e/$E2E_NAME"
E2E_LOG="GLumenfold_Velvetdusk.log"
PLAYER_PID=
E2E_FAILURES=0

rm -rf "$E2E_DIR"
mkdir -p "$E2E_DIR"
cd "$E2E_DIR" || exit 1

fail() {
    echo "FAIL: $*" >&2
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# check "what must hold" 'shell condition'
check() {
    local description=$1 condition=$2
    if eval "$condition"; then echo "ok: $description"; else fail "$description"; fi
}

probe() { wine "$LUMENFOLD_PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# The Windows form of a path, as the player names a file it was handed: Wine
# puts the Linux root on drive Z:.
win_path() {
    local path=$1
    [[ $path == /* ]] && path="Z:$path"
    echo "${path//\//\\}"
}

# Starts a player in the background; its exit code lands in player.exit.
start_player() {
    rm -f player.exit
    (
        wine "$LUMENFOLD_EXE" "$@" >player.out 2>player.err
        echo $? >player.exit
    ) &
    PLAYER_PID=$!
}

# The log as a reader sees it: the Windows C runtime writes it in text mode,
# so each line ends with CR LF there.
logged() { [[ -f $E2E_LOG ]] && tr -d '\r' <"$E2E_LOG"; }

# Waits until a line of the log matches the extended pattern.
wait_for_log() {
    local pattern=$1 seconds=${2:-60} tries
    for tries in $(seq 1 $((seconds * 10))); do
        logged | grep -qE "$pattern" && return 0
        [[ -f player.exit ]] && break
        sleep 0.1
    done
    logged | grep -qE "$pattern"
}

wait_for_player_exit() {
    local seconds=${1:-30} tries
    for tries in $(seq 1 $((seconds * 10))); do
        [[ -f player.exit ]] && return 0
        sleep 0.1
    done
    return 1
}

player_exit_code() { cat player.exit 2>/dev/null || echo none; }

player_window() { probe describe | sed -n 's/^window=\([0-9A-F]*\).*/\1/p'; }

# The Linux pid of the player's Windows process, or nothing. Wine runs each
# program as a Linux process of its own, the child of the shell that started
# it, and rewrites its command line to the program's path and arguments: the
# launcher it was before (whose first word is wine's) does not match, and a
# later start of the same program is no child of start_player's subshell.
player_linux_pid() {
    local pid
    [[ -n $PLAYER_PID ]] || return 1
    for pid in $(pgrep -P "$PLAYER_PID"); do
        [[ $(tr '\0' '\n' <"/proc/$pid/cmdline" 2>/dev/null | head -1) == "$LUMENFOLD_EXE" ]] || continue
        echo "$pid"
        return 0
    done
    return 1
}

# User and system CPU time of a process so far, in clock ticks. The name in
# the second field may hold spaces, so fields count from its closing ")".
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{ print $12 + $13 }'; }

# The player's CPU time over the next SECONDS seconds as a whole percentage
# of one core (a renderer on two cores can show up to 200); nothing when
# there is no player or it ended meanwhile.
cpu_percent_over() {
    local seconds=$1 pid before after started ended
    pid=$(player_linux_pid) || return 1
    before=$(cpu_ticks "$pid")
    started=$(date +%s%N)
    sleep "$seconds"
    after=$(cpu_ticks "$pid")
    ended=$(date +%s%N)
    [[ -n $before && -n $after ]] || return 1
    awk -v ticks=$((after - before)) -v hz="$(getconf CLK_TCK)" -v ns=$((ended - started)) \
        'BEGIN { printf "%d\n", ticks / hz / (ns / 1e9) * 100 + 0.5 }'
}

# Puts a window of the probe's over the player ("fullscreen", "maximised"
# or "half" the screen) for at most SECONDS seconds or until uncover_player,
# and returns once it is the foreground window. COVER_PID is the probe's
# process, which ends with the cover.
# NOTE: not through probe: tr holds a line written to a file until the probe
# ends, so the line would only come once the cover is gone.
COVER_PID=
cover_player() {
    local kind=$1 seconds=$2 tries
    rm -f cover.out
    wine "$LUMENFOLD_PROBE" cover "$kind" "$seconds" >cover.out 2>/dev/null &
    COVER_PID=$!
    for tries in $(seq 1 300); do
        grep -q '^cover=' cover.out && break
        sleep 0.1
    done
    grep -q '^cover=1' cover.out
}

uncover_player() { [[ $(probe uncover) == cover=0 ]]; }

# Runs a later start in the foreground and keeps its own report apart:
# later.out, later.err, later.exit and its "SendMessage" line in later.lines.
later_start() {
    wine "$LUMENFOLD_EXE" "$@" >later.out 2>later.err
    echo $? >later.exit
    tr -d '\r' <later.err | grep -E '^SendMessage' >later.lines
}

# Closes the player the way a user does, a double click on its tray icon,
# and checks that it ends well. The click is seen between two frames, and a
# software-rendered frame can be slow.
stop_player() {
    probe tray-click double >/dev/null
    check "a double click on the tray icon ends the player" "wait_for_player_exit 90"
    check "the player ends with 0" "[[ \$(player_exit_code) == 0 ]]"
}

# Returns once the player's loop has come round: two answered round trips
# through its message drain, far enough apart that a frame ran between them
# and every message posted before them was handled.
sync_player() { [[ $(probe sync) == synced=1 ]]; }

# Writes a one-colour pass set and prints its path: tests that are not about
# the picture keep software-rendered frames quick with it.
plain_pass_set() {
    printf 'void mainImage(out vec4 c, in vec2 p) { c = vec4(0.1, 0.2, 0.3, 1.0); }\n' >plain.glsl
    echo "$PWD/plain.glsl"
}

# Writes a pass set that checks itself and prints its path: BufferA counts
# its frames by reading itself, and Main paints green while that count is
# iFrame + 1, red once the buffer lost frames (was cleared) since the install.
counting_pass_set() {
    cat >counting.a.glsl <<'GLSL'
#pragma iChannel0 BufferA
void mainImage(out vec4 o, in vec2 p) { o = texelFetch(iChannel0, ivec2(p), 0) + 1.0; }
GLSL
    cat >counting.glsl <<'GLSL'
#pragma iChannel0 BufferA
void mainImage(out vec4 o, in vec2 p) {
    float counted = texelFetch(iChannel0, ivec2(p), 0).r;
    o = counted == float(iFrame + 1) ? vec4(0.0, 1.0, 0.0, 1.0) : vec4(1.0, 0.0, 0.0, 1.0);
}
GLSL
    echo "$PWD/counting.glsl"
}

# Writes a pass set that shows its inputs as numbers in colour and prints
# its path: iFrame in the left third, iTime in hundredths of a second in the
# middle third (both as red + 256 green + 65536 blue), and the right third
# iResolution / 8 in red and green.
numbers_pass_set() {
    cat >numbers.glsl <<'GLSL'
vec4 as_colour(int value) {
    return vec4(float(value & 255), float((value >> 8) & 255), float((value >> 16) & 255), 255.0) / 255.0;
}
void mainImage(out vec4 o, in vec2 p) {
    if (p.x < iResolution.x / 3.0) o = as_colour(iFrame);
    else if (p.x < iResolution.x * 2.0 / 3.0) o = as_colour(int(iTime * 100.0));
    else o = vec4(iResolution.xy / 8.0 / 255.0, 0.5, 1.0);
}
GLSL
    echo "$PWD/numbers.glsl"
}

# The number a pixel of the numbers pass set shows.
pixel_number() {
    # Without the precision, numbers from a million on come in exponent form.
    convert "$1" -precision 12 -format "%[fx:round(255*p{$2,$3}.r) + 256*round(255*p{$2,$3}.g) + 65536*round(255*p{$2,$3}.b)]" info:
}

# Reads the numbers on screen, for a 1280 x 720 player at the origin, into
# SHOWN_FRAME, SHOWN_CENTISECONDS, SHOWN_WIDTH and SHOWN_HEIGHT (iResolution),
# and the wall clock in milliseconds when the picture was taken into SHOWN_AT.
read_numbers() {
    local taken
    taken=$(date +%s%3N)
    screenshot numbers.png 1280x720
    SHOWN_AT=$(((taken + $(date +%s%3N)) / 2))
    SHOWN_FRAME=$(pixel_number numbers.png 100 100)
    SHOWN_CENTISECONDS=$(pixel_number numbers.png 640 100)
    SHOWN_WIDTH=$((8 * $(convert numbers.png -format '%[fx:round(255*p{1100,100}.r)]' info:)))
    SHOWN_HEIGHT=$((8 * $(convert numbers.png -format '%[fx:round(255*p{1100,100}.g)]' info:)))
}

# Frames per second the player shows over about SECONDS seconds.
shown_frame_rate() {
    local first_frame first_at
    read_numbers
    first_frame=$SHOWN_FRAME first_at=$SHOWN_AT
    sleep "$1"
    read_numbers
    awk -v frames=$((SHOWN_FRAME - first_frame)) -v ms=$((SHOWN_AT - first_at)) \
        'BEGIN { printf "%d\n", frames * 1000 / ms + 0.5 }'
}

cleanup() {
    if [[ -n "$PLAYER_PID" ]] && [[ ! -f player.exit ]]; then
        probe tray-click double >/dev/null 2>&1
        # A player that will not close would hold the single-instance
        # mutex for every later test.
        wait_for_player_exit 10 || wineserver -k 2>/dev/null
    fi
}
trap cleanup EXIT

finish() {
    if ((E2E_FAILURES > 0)); then
        echo "--- log of the last player:" >&2
        logged | cut -c1-300 | head -80 >&2
        exit 1
    fi
    exit 0
}

# A screenshot of the top-left corner of the screen, where the player's
# window sits when it is not attached to a desktop.
screenshot() {
    local file=$1 size=${2:-320x180}
    xwd -root -silent -display "$DISPLAY" | convert xwd:- -crop "$size+0+0" +repage "$file"
}

# Mean brightness of an image, 0 to 1.
mean_brightness() { convert "$1" -colorspace Gray -format '%[fx:mean]' info:; }

# True when the image's mean brightness is above the limit, compared as
# numbers (the brightness may come in exponent form).
brighter_than() { awk -v mean="$(mean_brightness "$1")" -v limit="$2" 'BEGIN { exit !(mean + 0 > limit + 0) }'; }

# Pixels that differ between two images of the same size.
changed_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# The colour of one pixel as "r,g,b" in 0..255.
pixel_colour() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }

# How many lines of the log match the extended pattern.
count_logged() { logged | grep -cE "$1"; }

# Shrinks the player's window so that llvmpipe draws a frame in well under a
# second, and waits until the render targets follow.
shrink_player() {
    local before
    before=$(count_logged '^new fbo:')
    probe resize 320 180 >/dev/null
    eventually "(( \$(count_logged '^new fbo:') > $before ))" 60
}

# Waits until `condition` holds, polling; returns its last result.
eventually() {
    local condition=$1 seconds=${2:-60} tries
    for tries in $(seq 1 "$seconds"); do
        eval "$condition" && return 0
        sleep 1
    done
    eval "$condition"
}

# The player's settings file, %APPDATA%\Lumenfold\lumenfold.ini, in Linux
# form.
settings_file() {
    echo "$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)/Lumenfold/lumenfold.ini"
}

# The settings file as text, whichever of UTF-16LE (as the player keeps it)
# or a single-byte form (as a hand wrote it) it is in.
settings_text() {
    local file=${1:-$(settings_file)}
    [[ -f $file ]] || return 0
    if [[ $(head -c 2 "$file" | od -An -tx1 | tr -d ' ') == fffe ]]; then
        tail -c +3 "$file" | iconv -f UTF-16LE -t UTF-8 | tr -d '\r'
    else
        tr -d '\r' <"$file"
    fi
}

# A value of one section of the settings file: setting_value SECTION KEY.
setting_value() {
    settings_text | awk -v section="[$1]" -v key="$2" '
        /^\[/ { inside = ($0 == section); next }
        inside && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }'
}

# Plays without a GPU budget: on the bench's software GPU the governor would
# move the render scale, and with it the targets, that a test counts. The
# settings go with the test.
play_without_gpu_budget() {
    E2E_SETTINGS=$(settings_file)
    mkdir -p "$(dirname "$E2E_SETTINGS")"
    printf '[player]\r\ngpu_budget=0\r\n' >"$E2E_SETTINGS"
    trap 'cleanup; rm -f "$E2E_SETTINGS"' EXIT
}

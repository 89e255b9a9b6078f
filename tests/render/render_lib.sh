# Helpers for the render tool's tests: each runs lumenfold-render as a
# process in a folder of its own, under Wine for the Windows flavour.
# shellcheck shell=bash
set -u

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"

RENDER_DIR="${LUMENFOLD_BIN:-/tmp}/render-tests/$(basename "$0" .sh)"
RENDER_FAILURES=0
rm -rf "$RENDER_DIR"
mkdir -p "$RENDER_DIR"
cd "$RENDER_DIR" || exit 1

fail() {
    echo "FAIL: $*" >&2
    RENDER_FAILURES=$((RENDER_FAILURES + 1))
}

# check "what must hold" 'shell condition'
check() {
    if eval "$2"; then echo "ok: $1"; else fail "$1"; fi
}

# Runs the tool; its exit code lands in $code, its output in out and err
# (without the carriage returns of the Windows C runtime).
render() {
    ${LUMENFOLD_RENDER_EMULATOR:-} "$LUMENFOLD_RENDER" "$@" >out.raw 2>err.raw
    code=$?
    tr -d '\r' <out.raw >out
    tr -d '\r' <err.raw >err
}

# "width height depth colour-type" from a PNG's header: 8 6 is RGBA8.
png_header() { od -An -tu1 -j16 -N10 "$1" | awk '{ print $3*256+$4, $7*256+$8, $9, $10 }'; }

# One pixel as "r g b a", 0..255; x and y count from the top left.
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 rgba:- | od -An -tu1 | xargs; }

# Mean brightness of an image, 0 to 1, above a limit (compared as numbers).
brighter_than() {
    awk -v mean="$(convert "$1" -colorspace Gray -format '%[fx:mean]' info:)" -v limit="$2" \
        'BEGIN { exit !(mean + 0 > limit + 0) }'
}

# Writes a pass set whose top half is (51, 102, 153) and bottom half red.
halves_pass_set() {
    cat >halves.glsl <<'GLSL'
void mainImage(out vec4 o, in vec2 p) {
    o = p.y >= iResolution.y * 0.5 ? vec4(0.2, 0.4, 0.6, 1.0) : vec4(1.0, 0.0, 0.0, 1.0);
}
GLSL
    echo "$PWD/halves.glsl"
}

finish() {
    if ((RENDER_FAILURES > 0)); then
        echo "--- standard error of the last render:" >&2
        head -60 err >&2
        exit 1
    fi
    exit 0
}

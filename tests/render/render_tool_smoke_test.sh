#!/usr/bin/env bash
# The Windows render tool under Wine: a picture of the right size, colour
# and orientation, and bad arguments refused.
source "$(dirname "$0")/render_lib.sh"

render "$(halves_pass_set)" -o halves.png --size 64x32
check "a one-colour set renders with 0" "[[ $code == 0 && ! -s err ]]"
check "the picture is 64x32 RGBA8" "[[ \$(png_header halves.png) == '64 32 8 6' ]]"
check "top row first, in the set's colours" \
    "[[ \$(pixel halves.png 0 0) == '51 102 153 255' && \$(pixel halves.png 63 31) == '255 0 0 255' ]]"
render halves.glsl --size 0x5 -o bad.png
check "bad arguments exit with 2 and one usage line" "[[ $code == 2 && \$(wc -l <err) == 1 ]]"
finish

#!/usr/bin/env bash
# lumenfold-import on exports written for these tests: buffers and the cube
# pass by output id, the common part, sampler settings, inputs it cannot map
# yet, texts that are no export; the imported set renders where a renderer is
# given.
EXPORTS="$(cd "$(dirname "$0")" && pwd)"
source "$EXPORTS/../render/render_lib.sh"

import() {
    ${LUMENFOLD_IMPORT_EMULATOR:-} "$LUMENFOLD_IMPORT" "$@" >out.raw 2>err.raw
    code=$?
    tr -d '\r' <out.raw >out
    tr -d '\r' <err.raw >err
}

has_line() { grep -qxF -- "$2" "$1"; }

cp "$EXPORTS"/*.json .
import two_buffers.json
check "a two-buffer export imports with 0" "[[ $code == 0 ]]"
check "beside the export, named after it" \
    "[[ -f two_buffers/two_buffers.glsl && -f two_buffers/two_buffers.a.glsl && -f two_buffers/two_buffers.b.glsl ]]"
check "and says what it wrote" "tail -1 err | grep -q 'wrote two_buffers.two_buffers.glsl with 3 passes and a common part'"
check "the common part is the export's code" \
    "grep -q '^float half_value' two_buffers/two_buffers.0.glsl && [[ \$(wc -l <two_buffers/two_buffers.0.glsl) == 2 ]]"
check "buffers go by name and their inputs by output id, with the settings that differ from the defaults" \
    "has_line two_buffers/two_buffers.glsl '#pragma iChannel0 BufferB filter=mipmap' &&
     has_line two_buffers/two_buffers.b.glsl '#pragma iChannel1 BufferA' &&
     has_line two_buffers/two_buffers.a.glsl '#pragma iChannel0 BufferA filter=nearest wrap=repeat'"
check "an image by its file name, vflip=false; the keyboard" \
    "has_line two_buffers/two_buffers.glsl '#pragma iChannel1 organic1.jpg filter=nearest wrap=clamp vflip=false' &&
     has_line two_buffers/two_buffers.glsl '#pragma iChannel2 Keyboard filter=nearest'"
check "the code keeps its line numbers: the directives follow it" "head -1 two_buffers/two_buffers.glsl | grep -q '^void mainImage'"

import cubemap_input.json "$PWD/sky/"
check "a cubemap input imports with 0 into the folder given" "[[ $code == 0 && -f sky/sky.glsl && ! -e sky/sky.0.glsl ]]"
check "and reads the built-in sky, as a line says" \
    "grep -q 'Main iChannel0: a cubemap input (/media/a/sky_cube.png) reads the built-in sky_cubemap' err &&
     has_line sky/sky.glsl '#pragma iChannel0 sky_cubemap'"

import cube_pass.json
check "a cubemap pass is written as the cube companion and read by its output id as CubeA" \
    "[[ $code == 0 && -f cube_pass/cube_pass.cube.glsl ]] && grep -q '^void mainCubemap' cube_pass/cube_pass.cube.glsl &&
     has_line cube_pass/cube_pass.glsl '#pragma iChannel0 CubeA' && tail -1 err | grep -q 'with 2 passes$'"

import unmappable_inputs.json listening
check "inputs it cannot map do not stop it" "[[ $code == 0 ]]"
check "an unknown texture and a webcam each get a line" \
    "[[ \$(grep -c 'cannot be played yet; it reads rgba_noise.png' err) == 2 ]] &&
     grep -q 'iChannel1: a texture that is none of the built-in images (/media/a/f0b2c4d6.png)' err"
check "music reads Sound, as a line says" \
    "has_line listening/listening.glsl '#pragma iChannel0 Sound' &&
     grep -q 'Main iChannel0: a music input (/media/a/track.mp3) reads Sound, what the computer plays' err"
check "a channel out of range and the sound pass are named and left out" \
    "grep -q 'Main: an input without a channel from 0 to 3 is left out' err &&
     grep -q 'the sound pass Sound cannot be played yet: it is left out' err && ! grep -q wood.jpg listening/listening.glsl"

import cubemap_input.json two_buffers
check "importing over an earlier set removes companions the new one has not" \
    "[[ $code == 0 && -f two_buffers/two_buffers.glsl && ! -e two_buffers/two_buffers.a.glsl && ! -e two_buffers/two_buffers.0.glsl ]]"
import two_buffers.json

printf '{"info": {"name": "no passes"}}' >plain.json
import plain.json
check "JSON that is no export exits with 1 and says why" \
    "[[ $code == 1 ]] && has_line err 'lumenfold-import: plain.json is not a shader export: it has no renderpass array'"
check "and writes nothing" "[[ ! -e plain ]]"
printf '{"renderpass": [\n  {"type": "image", "code": "x"\n]}' >broken.json
import broken.json
check "a text that is no JSON exits with 1 and says where" \
    "[[ $code == 1 ]] && grep -q 'broken.json is not JSON: an object without a comma or closing brace at line 3, column 1' err"
import no_such.json
check "a missing file exits with 1" "[[ $code == 1 ]] && grep -q 'cannot read no_such.json' err"
import
check "no arguments exit with 2 and the usage" "[[ $code == 2 ]] && grep -q 'usage: lumenfold-import' err"

if [[ -n "${LUMENFOLD_RENDER:-}" ]]; then
    render two_buffers/two_buffers.glsl -o two_buffers.png --size 16x8 --time 0.1
    check "the imported two-buffer set builds and plays: tint x (A x 2) through the mipmapped B" \
        "[[ $code == 0 && \$(pixel two_buffers.png 3 3) == '51 102 153 255' ]]"
    render sky/sky.glsl -o sky.png --size 16x8
    check "the cubemap set builds and shows the sky" "[[ $code == 0 && \$(pixel sky.png 8 4) != '0 0 0 255' ]]"
    render cube_pass/cube_pass.glsl -o cube_pass.png --size 16x8
    check "the imported cube pass draws what Main reads: +X is red" "[[ $code == 0 && \$(pixel cube_pass.png 8 4) == '255 0 0 255' ]]"
    render cube_pass/cube_pass.glsl --stats --size 16x8
    check "and --stats lists it between the buffers and Main" "[[ $code == 0 ]] && sed -n 2p out | grep -q '^stats: CubeA '"
    render listening/listening.glsl -o listening.png --size 16x8
    check "the set with stand-ins builds" "[[ $code == 0 ]]"
fi
finish

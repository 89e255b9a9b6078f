// Bloom atlas: eight successively halved copies of the scene packed into the
// lower-left part of the target. The gaps between tiles keep the two blur
// passes from smearing one tile into its neighbour, and the whole atlas stays
// left of 0.52 of the width so the blur passes can skip the rest.
#pragma iChannel0 BufferA

// Where the tile of octave (o + 1) sits, as an offset in texture space.
// Octaves 1 to 3 stack up the left column; the smaller ones start a second
// column beside octave 2. Main uses the same layout to read the tiles back.
vec2 CalcOffset(float o)
{
    vec2 padding = vec2(10.0) / iResolution.xy;
    float column = min(1.0, floor(o / 3.0));
    vec2 offset;
    offset.x = -column * (0.25 + padding.x);
    offset.y = -(1.0 - exp2(-o)) - o * padding.y + column * 0.35;
    return offset;
}

// Box average over the scene texels one atlas texel covers. Up to octave 4
// the taps reach every texel of the footprint (a tap on a texel corner
// averages four at once); beyond that the grid thins out, which the heavy
// blur of those small tiles hides.
vec3 footprintAverage(vec2 centre, float scale, int taps)
{
    vec2 texel = 1.0 / vec2(textureSize(iChannel0, 0));
    float spacing = scale / float(taps);
    float first = 0.5 - 0.5 * float(taps);
    vec3 sum = vec3(0.0);
    for (int y = 0; y < 16; y++) {
        if (y >= taps) break;
        for (int x = 0; x < 16; x++) {
            if (x >= taps) break;
            vec2 offset = (vec2(float(x), float(y)) + first) * spacing;
            sum += textureLod(iChannel0, centre + offset * texel, 0.0).rgb;
        }
    }
    return sum / float(taps * taps);
}

void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec2 uv = fragCoord / iResolution.xy;
    vec3 colour = vec3(0.0);

    for (int octave = 1; octave <= 8; octave++) {
        float scale = exp2(float(octave));
        vec2 source = (uv + CalcOffset(float(octave - 1))) * scale;
        if (all(greaterThanEqual(source, vec2(0.0))) && all(lessThanEqual(source, vec2(1.0)))) {
            int taps = octave == 1 ? 1 : (octave <= 3 ? 4 : (octave <= 5 ? 8 : 16));
            colour = footprintAverage(source, scale, taps);
            break;
        }
    }

    fragColor = vec4(colour, 1.0);
}

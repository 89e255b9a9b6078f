// Image pass: the scene plus the bloom rebuilt from the blurred atlas, then the
// tone curve and grade that turn the linear light into the final colour.
#pragma iChannel0 BufferA
#pragma iChannel1 BufferB
#pragma iChannel2 BufferC
#pragma iChannel3 BufferD

// Must match the atlas layout written by BufferB.
vec2 CalcOffset(float o)
{
    vec2 padding = vec2(10.0) / iResolution.xy;
    float column = min(1.0, floor(o / 3.0));
    vec2 offset;
    offset.x = -column * (0.25 + padding.x);
    offset.y = -(1.0 - exp2(-o)) - o * padding.y + column * 0.35;
    return offset;
}

// Cubic B-spline filtering built from four bilinear fetches: each pair of
// neighbouring spline weights is merged into one fetch placed between the two
// texels. The coarse tiles are only a few texels across, so plain bilinear
// upscaling would show their grid as diamonds in the glow.
vec3 sampleBicubic(sampler2D atlas, vec2 uv)
{
    vec2 size = vec2(textureSize(atlas, 0));
    vec2 texel = 1.0 / size;
    vec2 p = uv * size - 0.5;
    vec2 base = floor(p);
    vec2 f = p - base;

    vec2 f2 = f * f;
    vec2 f3 = f2 * f;
    vec2 w0 = (1.0 - 3.0 * f + 3.0 * f2 - f3) / 6.0;
    vec2 w1 = (4.0 - 6.0 * f2 + 3.0 * f3) / 6.0;
    vec2 w2 = (1.0 + 3.0 * f + 3.0 * f2 - 3.0 * f3) / 6.0;
    vec2 w3 = f3 / 6.0;

    vec2 g0 = w0 + w1;
    vec2 g1 = w2 + w3;
    // Merged fetch positions, worked out with texel centres on integers and
    // then moved back to texture coordinates.
    vec2 h0 = (base - 1.0 + w1 / g0 + 0.5) * texel;
    vec2 h1 = (base + 1.0 + w3 / g1 + 0.5) * texel;

    vec3 s00 = textureLod(atlas, vec2(h0.x, h0.y), 0.0).rgb;
    vec3 s10 = textureLod(atlas, vec2(h1.x, h0.y), 0.0).rgb;
    vec3 s01 = textureLod(atlas, vec2(h0.x, h1.y), 0.0).rgb;
    vec3 s11 = textureLod(atlas, vec2(h1.x, h1.y), 0.0).rgb;

    return g0.y * (g0.x * s00 + g1.x * s10) + g1.y * (g0.x * s01 + g1.x * s11);
}

vec3 bloomTile(vec2 uv, int octave)
{
    float scale = exp2(float(octave));
    vec2 atlasUV = uv / scale - CalcOffset(float(octave - 1));
    return sampleBicubic(iChannel3, atlasUV);
}

void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    vec2 uv = fragCoord / iResolution.xy;

    // Middle octaves carry the visible halo; the outer ones only lift the
    // surroundings a little.
    const float TILE_WEIGHTS[8] = float[8](1.0, 1.5, 1.0, 1.5, 1.8, 1.0, 1.0, 1.0);
    vec3 bloom = vec3(0.0);
    for (int octave = 1; octave <= 8; octave++) {
        bloom += bloomTile(uv, octave) * TILE_WEIGHTS[octave - 1];
    }

    vec3 scene = textureLod(iChannel0, uv, 0.0).rgb;

    // The scene is stored scaled down to fit 0..1; undo that here.
    vec3 c = max((scene + 0.08 * bloom) * 200.0, vec3(0.0));

    // Soft shoulder: this stays close to linear through the dim and middle
    // range and compresses only the highlights, more sharply than c/(1+c)
    // alone would, so the gas keeps its gradations while the core can't clip.
    c = pow(c, vec3(1.5));
    c = c / (1.0 + c);
    c = pow(c, vec3(1.0 / 1.5));
    // S-curve for contrast. The per-channel powers then leave white white
    // but sink red more than green in the dim glow, which keeps the dark
    // surroundings from turning muddy brown.
    c = c * c * (3.0 - 2.0 * c);
    c = pow(c, vec3(1.3, 1.2, 1.0));
    c = clamp(c * 1.01, 0.0, 1.0);
    // Display encoding, with a stronger lift than plain gamma so the faint
    // outer gas stays visible.
    c = pow(c, vec3(0.7 / 2.2));

    fragColor = vec4(c, 1.0);
}

// Vertical half of the separable bloom blur over the atlas.
#pragma iChannel0 BufferC

// Gaussian weights folded pairwise for bilinear filtering: each tap off the
// centre stands in for two neighbouring texels of the kernel.
const float BLUR_WEIGHTS[5] = float[5](0.19638062, 0.29675293, 0.09442139, 0.01037598, 0.00025940);
const float BLUR_OFFSETS[5] = float[5](0.0, 1.41176471, 3.29411765, 5.17647059, 7.05882353);

vec3 blur(vec2 uv, vec2 axis)
{
    vec3 sum = textureLod(iChannel0, uv, 0.0).rgb * BLUR_WEIGHTS[0];
    float total = BLUR_WEIGHTS[0];
    for (int i = 1; i < 5; i++) {
        vec2 offset = axis * BLUR_OFFSETS[i];
        sum += (textureLod(iChannel0, uv + offset, 0.0).rgb +
                textureLod(iChannel0, uv - offset, 0.0).rgb) * BLUR_WEIGHTS[i];
        total += 2.0 * BLUR_WEIGHTS[i];
    }
    return sum / total;
}

void mainImage(out vec4 fragColor, in vec2 fragCoord)
{
    // Nothing of the atlas lies right of this line; the blank area costs
    // nothing and stays black for the next pass.
    if (fragCoord.x >= 0.52 * iResolution.x) {
        fragColor = vec4(0.0, 0.0, 0.0, 1.0);
        return;
    }
    vec2 texel = 1.0 / vec2(textureSize(iChannel0, 0));
    vec2 uv = fragCoord * texel;
    // Offsets at half length give each tile a tight kernel; the wide skirt
    // of the bloom comes from summing the octaves, not from this blur.
    fragColor = vec4(blur(uv, vec2(0.0, 0.5 * texel.y)), 1.0);
}

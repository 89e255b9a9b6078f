// Horizontal half of the glow: a Gaussian blur across the light that BufferA
// marked in its alpha. The image pass blurs the result vertically.
#pragma iChannel0 BufferA

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    // Radius in pixels follows the screen height so the glow keeps its size
    // relative to the lanterns. Nine linear fetches span the radius; at large
    // sizes they sit a few texels apart, which the smooth lanterns hide.
    float radius = 0.035 * iResolution.y;
    float spacing = max(radius / 4.0, 1.0);
    vec3 sum = vec3(0.0);
    float weight_sum = 0.0;
    for (int i = -4; i <= 4; ++i) {
        float offset = float(i) * spacing;
        float w = exp(-0.5 * float(i * i) / 4.0);
        vec4 texel = texture(iChannel0, (fragCoord + vec2(offset, 0.0)) / iResolution.xy);
        sum += texel.rgb * texel.a * w;
        weight_sum += w;
    }
    fragColor = vec4(sum / weight_sum, 1.0);
}

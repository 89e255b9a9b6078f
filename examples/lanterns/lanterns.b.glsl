// Horizontal half of the glow: a Gaussian blur across the glow strength that
// BufferA wrote in its alpha, in the lanterns' colour. BufferC blurs the
// result vertically.
#pragma iChannel0 BufferA

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    float spacing = glow_tap_spacing(iResolution.y);
    // Nothing reads the glow further below the horizon than BufferC's reach.
    if (fragCoord.y < HORIZON * iResolution.y - 5.0 * spacing) {
        fragColor = vec4(0.0);
        return;
    }
    float sum = 0.0;
    for (int i = -4; i <= 4; ++i) {
        sum += texture(iChannel0, (fragCoord + vec2(float(i) * spacing, 0.0)) / iResolution.xy).a * glow_tap_weight(i);
    }
    fragColor = vec4(lantern_light(0.3) * sum, 1.0);
}

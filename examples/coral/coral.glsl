// Image pass: lights the catalyst of BufferA as a relief of coral on a dark
// sea floor, tinted by the regime it grows in; fresh growth glows warmer.
#pragma iChannel0 BufferA

// Must match GRID_ROWS in BufferA.
const float GRID_ROWS = 240.0;

vec2 grid_size() {
    float scale = min(1.0, GRID_ROWS / iResolution.y);
    return max(floor(iResolution.xy * scale), vec2(1.0));
}

vec4 sample_grid(vec2 cell_pos, vec2 grid) {
    // Wrapped like the simulation, and kept half a texel inside so the
    // linear filter never mixes in the unused part of the buffer.
    cell_pos = mod(cell_pos, grid);
    cell_pos = clamp(cell_pos, vec2(0.5), grid - 0.5);
    return texture(iChannel0, cell_pos / iResolution.xy);
}

float relief(vec2 cell_pos, vec2 grid) {
    return smoothstep(0.08, 0.30, sample_grid(cell_pos, grid).g);
}

vec3 coral_tint(float regime) {
    // Spots are sea anemones, the maze is brain coral.
    vec3 spots = vec3(0.95, 0.48, 0.36);
    vec3 worms = vec3(0.80, 0.42, 0.62);
    vec3 maze = vec3(0.48, 0.50, 0.85);
    return regime < 0.5 ? mix(spots, worms, smoothstep(0.2, 0.5, regime))
                        : mix(worms, maze, smoothstep(0.5, 0.8, regime));
}

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    vec2 grid = grid_size();
    vec2 uv = fragCoord / iResolution.xy;
    vec2 cell_pos = uv * grid;

    vec4 state = sample_grid(cell_pos, grid);
    float h = smoothstep(0.08, 0.30, state.g);
    float hx = relief(cell_pos + vec2(1.0, 0.0), grid) - relief(cell_pos - vec2(1.0, 0.0), grid);
    float hy = relief(cell_pos + vec2(0.0, 1.0), grid) - relief(cell_pos - vec2(0.0, 1.0), grid);
    vec3 normal = normalize(vec3(-hx, -hy, 0.7));
    vec3 light = normalize(vec3(-0.5, 0.6, 0.65));
    float diffuse = max(dot(normal, light), 0.0);
    float specular = pow(max(dot(reflect(-light, normal), vec3(0.0, 0.0, 1.0)), 0.0), 20.0);

    // The coral stands on the floor: a copy of it shifted away from the
    // light darkens the floor as its shadow.
    float shadow = relief(cell_pos - 2.5 * light.xy, grid);

    vec2 centred = uv - 0.5;
    float vignette = 1.0 - 0.9 * dot(centred, centred);
    vec3 floor_colour = mix(vec3(0.02, 0.05, 0.08), vec3(0.04, 0.10, 0.13), uv.y);
    floor_colour *= 1.0 - 0.6 * shadow;

    // Where the catalyst is ahead of its slow memory the coral is still
    // growing.
    float fresh = clamp(3.0 * (state.g - (state.a - 1.0)), 0.0, 1.0);
    vec3 tint = mix(coral_tint(state.b), vec3(1.0, 0.72, 0.45), fresh);
    vec3 lit = tint * (0.15 + 0.65 * diffuse) + vec3(0.9, 0.85, 0.8) * specular * 0.2;

    vec3 colour = mix(floor_colour, lit, h) * vignette;
    // Dither against banding in the dark gradient.
    uvec2 pixel = uvec2(fragCoord);
    uint noise = (pixel.x * 0x9E3779B9u) ^ (pixel.y * 0x7A3B5C1Du);
    noise ^= noise >> 15;
    noise *= 0x2C1B3C6Du;
    colour += (float(noise >> 24) / 255.0 - 0.5) / 255.0;
    fragColor = vec4(max(colour, 0.0), 1.0);
}

// Gray-Scott reaction-diffusion: red is the substrate, green the catalyst
// that grows into coral where it can feed. Blue tells the image pass which
// regime the cell is in (0 spots, 1 maze) and alpha, 1 plus a slow memory of
// the catalyst, lets it tell fresh growth from old.
#pragma iChannel0 BufferA

// The simulation lives on a grid of at most this many rows in the buffer's
// lower-left corner. Its features are a fixed number of cells across, so a
// fixed grid keeps them the same size on every screen, and a 4K desktop costs
// no more than a small window.
const float GRID_ROWS = 240.0;

const float DIFFUSE_U = 1.0;
const float DIFFUSE_V = 0.5;

ivec2 grid_size() {
    float scale = min(1.0, GRID_ROWS / iResolution.y);
    return max(ivec2(iResolution.xy * scale), ivec2(1));
}

// Alternating xor-shifts and odd multipliers spread every input bit over
// the result; the cell's float bits are the input.
uint scramble(uint x) {
    x ^= x >> 16;
    x *= 0x9E3779B9u;
    x ^= x >> 15;
    x *= 0x7A3B5C1Du;
    x ^= x >> 16;
    return x;
}

float hash12(vec2 p) {
    uvec2 bits = floatBitsToUint(p);
    return float(scramble(bits.x ^ scramble(bits.y)) >> 8) * (1.0 / 16777216.0);
}

// Seeds are drops of catalyst scattered over the grid; `salt` picks a new
// scattering each time.
float seed_drops(vec2 cell_pos, float salt, float chance) {
    const float SPACING = 22.0;
    vec2 cell = floor(cell_pos / SPACING);
    float drop = 0.0;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            vec2 c = cell + vec2(i, j);
            if (hash12(c + salt * 17.31) > chance) continue;
            vec2 centre = (c + 0.2 + 0.6 * vec2(hash12(c + 3.7 + salt), hash12(c + 9.1 + salt))) * SPACING;
            drop = max(drop, 1.0 - smoothstep(2.0, 3.5, length(cell_pos - centre)));
        }
    }
    return drop;
}

vec4 cell_state(ivec2 p, ivec2 grid) {
    return texelFetch(iChannel0, (p + grid) % grid, 0);
}

// One Gray-Scott step for the cell at (i, j) of a square block of
// (substrate, catalyst) pairs `width` cells wide. The nine-point Laplacian's
// diagonals keep the growth round instead of square.
vec2 step_cell(vec2 block[25], int width, int i, int j, vec2 rates) {
    vec2 here = block[j * width + i];
    vec2 lap = -here;
    lap += 0.2 * (block[j * width + i + 1] + block[j * width + i - 1] +
                  block[(j + 1) * width + i] + block[(j - 1) * width + i]);
    lap += 0.05 * (block[(j + 1) * width + i + 1] + block[(j + 1) * width + i - 1] +
                   block[(j - 1) * width + i + 1] + block[(j - 1) * width + i - 1]);
    float reaction = here.x * here.y * here.y;
    float feed = rates.x;
    float kill = rates.y;
    return vec2(here.x + DIFFUSE_U * lap.x - reaction + feed * (1.0 - here.x),
                here.y + DIFFUSE_V * lap.y + reaction - (feed + kill) * here.y);
}

void mainImage(out vec4 fragColor, in vec2 fragCoord) {
    ivec2 grid = grid_size();
    ivec2 p = ivec2(fragCoord);
    if (p.x >= grid.x || p.y >= grid.y) {
        fragColor = vec4(0.0);
        return;
    }

    vec4 here = texelFetch(iChannel0, p, 0);
    // Alpha is 0 only in a cleared buffer: at the start and after a resize,
    // which clears the buffers without restarting the frame count.
    if (iFrame == 0 || here.a == 0.0) {
        float v = 0.5 * seed_drops(fragCoord, 0.0, 0.35);
        fragColor = vec4(1.0 - v, v, 0.0, 1.0);
        return;
    }

    // Feed and kill drift slowly over the grid and over minutes, so the
    // pattern never settles for good: regions wander between branching
    // coral, maze and dividing spots.
    vec2 uv = fragCoord / vec2(grid);
    float t = iTime / 240.0;
    float field = 0.5 + 0.25 * sin(6.2832 * uv.x + t * 3.1 + 1.7 * sin(6.2832 * uv.y + t))
                      + 0.25 * sin(6.2832 * (uv.y - uv.x) - t * 2.3);
    // From dividing spots (field 0) through worms to a maze (field 1).
    vec2 rates = mix(vec2(0.028, 0.0625), vec2(0.046, 0.0605), field);

    // Two steps per frame: growth at one step a frame takes minutes to fill
    // the screen. The first step is taken for the 3x3 block around this cell
    // from the 5x5 block read here, the second for this cell alone.
    vec2 block[25];
    for (int j = 0; j < 5; ++j) {
        for (int i = 0; i < 5; ++i) block[j * 5 + i] = cell_state(p + ivec2(i - 2, j - 2), grid).rg;
    }
    vec2 first[25];  // only the first nine are used, as a 3x3 block
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 3; ++i) first[j * 3 + i] = step_cell(block, 5, i + 1, j + 1, rates);
    }
    vec2 next = step_cell(first, 3, 1, 1, rates);
    float u = next.x;
    float v = next.y;

    // Every forty seconds a few fresh drops fall, so a region that died out
    // comes back and a settled one is stirred.
    float epoch = floor(iTime / 40.0);
    if (iTime - epoch * 40.0 < 0.25 && epoch > 0.0) v = max(v, 0.4 * seed_drops(fragCoord, epoch, 0.04));

    float memory = mix(here.a - 1.0, v, 0.003);
    fragColor = vec4(clamp(u, 0.0, 1.0), clamp(v, 0.0, 1.0), field, 1.0 + memory);
}

// make_images: writes the twenty channel images that Lumenfold carries inside
// its executable, then reads every file back to prove it has the stored form
// that the player's loader and pass-set authors rely on.
//
//   make_images OUT_DIR [NAME...]           generate into OUT_DIR, then check
//   make_images --check OUT_DIR [NAME...]   check the files already there
//
// Names restrict the run to those images; without names it covers all twenty.
//
// Every picture is computed here from fixed seeds, so a rerun reproduces the
// files byte for byte. The photo-like pictures tile seamlessly under
// GL_REPEAT (the night skyline only sideways) because every noise they use
// is periodic, with a period that divides the image, and every drawn shape
// wraps around the edges.

#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

// ------------------------------------------------------------------ numbers

static constexpr float tau = 6.28318530718f;

static float clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

static float lerp(float a, float b, float t) { return a + (b - a) * t; }

static float smoothstep(float edge0, float edge1, float x) {
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

static float fract(float x) { return x - std::floor(x); }

static int wrap_index(int i, int period) {
    int m = i % period;
    return m < 0 ? m + period : m;
}

// Shortest signed offset on a ring of the given circumference, so shapes
// drawn near one edge reappear at the opposite one.
static float wrapped_offset(float d, float period) { return d - period * std::floor(d / period + 0.5f); }

// ------------------------------------------------------------------ colour

struct Rgb {
    float r, g, b;
};

static Rgb rgb_hex(uint32_t hex) {
    return {((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f};
}

static Rgb mix(Rgb a, Rgb b, float t) { return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)}; }

static Rgb scaled(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

static Rgb added(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

static Rgb multiplied(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }

static Rgb grey(float v) { return {v, v, v}; }

static float luminance(Rgb c) { return 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b; }

static Rgb saturated(Rgb c, float amount) { return mix(grey(luminance(c)), c, amount); }

static Rgb cosine_palette(float t, Rgb offset, Rgb amplitude, Rgb frequency, Rgb phase) {
    return {offset.r + amplitude.r * std::cos(tau * (frequency.r * t + phase.r)),
            offset.g + amplitude.g * std::cos(tau * (frequency.g * t + phase.g)),
            offset.b + amplitude.b * std::cos(tau * (frequency.b * t + phase.b))};
}

struct ColourStop {
    float at;
    Rgb colour;
};

template <size_t N>
static Rgb ramp(const ColourStop (&stops)[N], float t) {
    if (t <= stops[0].at) return stops[0].colour;
    for (size_t i = 1; i < N; ++i) {
        if (t <= stops[i].at) {
            float span = stops[i].at - stops[i - 1].at;
            return mix(stops[i - 1].colour, stops[i].colour, (t - stops[i - 1].at) / span);
        }
    }
    return stops[N - 1].colour;
}

static uint8_t to_byte(float v) { return (uint8_t)std::lround(clamp01(v) * 255.0f); }

// ------------------------------------------------------------------ randomness

static uint32_t mix_bits(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

static uint32_t hash_cell(int x, int y, uint32_t seed) {
    return mix_bits((uint32_t)x * 0x8da6b343u ^ mix_bits((uint32_t)y * 0xd8163841u ^ seed * 0xcb1ab31fu));
}

static float hash_to_unit(uint32_t h) { return (float)(h >> 8) * (1.0f / 16777216.0f); }

struct Random {
    uint64_t state;
};

static uint64_t next_u64(Random& r) {
    uint64_t z = (r.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

static float next_unit(Random& r) { return (float)(next_u64(r) >> 40) * (1.0f / 16777216.0f); }

static int next_below(Random& r, int n) { return (int)((next_u64(r) >> 33) % (uint64_t)n); }

static float next_range(Random& r, float lo, float hi) { return lo + (hi - lo) * next_unit(r); }

// ------------------------------------------------------------------ periodic noise

static const std::array<float, 128>& gradient_directions() {
    static const std::array<float, 128> table = [] {
        std::array<float, 128> t{};
        for (int i = 0; i < 64; ++i) {
            t[2 * i] = std::cos(tau * (i + 0.5f) / 64.0f);
            t[2 * i + 1] = std::sin(tau * (i + 0.5f) / 64.0f);
        }
        return t;
    }();
    return table;
}

static float quintic(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

static float lattice_dot(int ix, int iy, int period_x, int period_y, uint32_t seed, float dx, float dy) {
    const std::array<float, 128>& g = gradient_directions();
    uint32_t k = hash_cell(wrap_index(ix, period_x), wrap_index(iy, period_y), seed) & 63u;
    return g[2 * k] * dx + g[2 * k + 1] * dy;
}

// Gradient noise on a lattice that repeats every period_x by period_y cells;
// roughly within [-1, 1].
static float gradient_noise(float x, float y, int period_x, int period_y, uint32_t seed) {
    float x0 = std::floor(x), y0 = std::floor(y);
    int ix = (int)x0, iy = (int)y0;
    float tx = x - x0, ty = y - y0;
    float n00 = lattice_dot(ix, iy, period_x, period_y, seed, tx, ty);
    float n10 = lattice_dot(ix + 1, iy, period_x, period_y, seed, tx - 1.0f, ty);
    float n01 = lattice_dot(ix, iy + 1, period_x, period_y, seed, tx, ty - 1.0f);
    float n11 = lattice_dot(ix + 1, iy + 1, period_x, period_y, seed, tx - 1.0f, ty - 1.0f);
    float sx = quintic(tx), sy = quintic(ty);
    return 1.41421356f * lerp(lerp(n00, n10, sx), lerp(n01, n11, sx), sy);
}

// Octave sums over texture coordinates (u, v) in [0, 1): the first octave has
// period_x by period_y lattice cells across the image, each further octave
// twice as many, so the whole sum repeats exactly once per image.
struct Fbm {
    int period_x;
    int period_y;
    int octaves;
    float gain;
    uint32_t seed;
};

static float fbm(float u, float v, const Fbm& f) {
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f;
    int px = f.period_x, py = f.period_y;
    for (int o = 0; o < f.octaves; ++o) {
        sum += amplitude * gradient_noise(u * px, v * py, px, py, f.seed + 7919u * o);
        norm += amplitude;
        amplitude *= f.gain;
        px *= 2;
        py *= 2;
    }
    return sum / norm;
}

// Sharp creases where the noise crosses zero: veins, fissures, filaments.
static float ridged(float u, float v, const Fbm& f) {
    float sum = 0.0f, amplitude = 1.0f, norm = 0.0f;
    int px = f.period_x, py = f.period_y;
    for (int o = 0; o < f.octaves; ++o) {
        float n = 1.0f - std::fabs(gradient_noise(u * px, v * py, px, py, f.seed + 7919u * o));
        sum += amplitude * n * n;
        norm += amplitude;
        amplitude *= f.gain;
        px *= 2;
        py *= 2;
    }
    return sum / norm;
}

// Periodic cellular (Worley) noise: one jittered feature point per cell of a
// cells x cells grid. Distances are in cell units; border is the distance to
// the nearest Voronoi edge, which gives crisp, even-width cell walls.
struct CellSample {
    float nearest;
    float second;
    float border;
    float to_x, to_y;
    uint32_t id;
};

static void feature_offset(int cx, int cy, int cells_x, int cells_y, float jitter, uint32_t seed, float* ox,
                           float* oy) {
    uint32_t h = hash_cell(wrap_index(cx, cells_x), wrap_index(cy, cells_y), seed);
    *ox = 0.5f + jitter * (hash_to_unit(h) - 0.5f);
    *oy = 0.5f + jitter * (hash_to_unit(mix_bits(h ^ 0x68e31da4u)) - 0.5f);
}

// Cells may be rectangles (cells_x != cells_y); distances are then measured
// in cell units, which stretches the pattern along the longer side.
static CellSample cellular_grid(float u, float v, int cells_x, int cells_y, float jitter, uint32_t seed) {
    float x = u * cells_x, y = v * cells_y;
    float x0 = std::floor(x), y0 = std::floor(y);
    int ix = (int)x0, iy = (int)y0;
    float fx = x - x0, fy = y - y0;
    float best = 1e9f, second = 1e9f, mrx = 0.0f, mry = 0.0f;
    int bx = 0, by = 0;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            float ox, oy;
            feature_offset(ix + i, iy + j, cells_x, cells_y, jitter, seed, &ox, &oy);
            float rx = i + ox - fx, ry = j + oy - fy;
            float d = rx * rx + ry * ry;
            if (d < best) {
                second = best;
                best = d;
                bx = i;
                by = j;
                mrx = rx;
                mry = ry;
            } else if (d < second) {
                second = d;
            }
        }
    }
    float border = 1e9f;
    for (int j = -2; j <= 2; ++j) {
        for (int i = -2; i <= 2; ++i) {
            int cx = bx + i, cy = by + j;
            float ox, oy;
            feature_offset(ix + cx, iy + cy, cells_x, cells_y, jitter, seed, &ox, &oy);
            float rx = cx + ox - fx, ry = cy + oy - fy;
            float dx = rx - mrx, dy = ry - mry;
            float len2 = dx * dx + dy * dy;
            if (len2 > 1e-6f)
                border = std::min(border, (0.5f * (mrx + rx) * dx + 0.5f * (mry + ry) * dy) / std::sqrt(len2));
        }
    }
    uint32_t id = hash_cell(wrap_index(ix + bx, cells_x), wrap_index(iy + by, cells_y), seed ^ 0x5bd1e995u);
    return {std::sqrt(best), std::sqrt(second), border, mrx, mry, id};
}

static CellSample cellular(float u, float v, int cells, float jitter, uint32_t seed) {
    return cellular_grid(u, v, cells, cells, jitter, seed);
}

// ------------------------------------------------------------------ images in memory

struct Image8 {
    int width = 0;
    int height = 0;
    int channels = 0;              // 1 grey or palette index, 3 RGB, 4 RGBA
    std::vector<uint8_t> samples;  // rows top to bottom, as stored in the file
    std::vector<uint8_t> palette;  // RGBA quadruples; non-empty marks a palette image
};

static Image8 blank_image(int width, int height, int channels) {
    Image8 img;
    img.width = width;
    img.height = height;
    img.channels = channels;
    img.samples.assign((size_t)width * height * channels, 0);
    return img;
}

static void put_rgb(Image8& img, int x, int y, Rgb c) {
    uint8_t* p = &img.samples[((size_t)y * img.width + x) * 3];
    p[0] = to_byte(c.r);
    p[1] = to_byte(c.g);
    p[2] = to_byte(c.b);
}

static unsigned worker_count() { return std::max(1u, std::thread::hardware_concurrency()); }

// Runs job(i) for i in [0, count), spread over all cores; the jobs must be
// independent of each other.
template <typename Job>
static void parallel_for(int count, const Job& job) {
    unsigned workers = worker_count();
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < workers; ++t) {
        threads.emplace_back([&, t] {
            for (int i = (int)t; i < count; i += (int)workers) job(i);
        });
    }
    for (std::thread& th : threads) th.join();
}

// Evaluates shade(u, v) at every pixel centre; v grows downwards, as stored.
template <typename Shade>
static Image8 render_rgb(int width, int height, const Shade& shade) {
    Image8 img = blank_image(width, height, 3);
    parallel_for(height, [&](int y) {
        for (int x = 0; x < width; ++x) put_rgb(img, x, y, shade((x + 0.5f) / width, (y + 0.5f) / height));
    });
    return img;
}

// A float canvas for pictures that are drawn shape by shape rather than
// evaluated per pixel. Horizontal coordinates wrap; vertical ones wrap too
// unless the picture says otherwise.
struct Canvas {
    int width;
    int height;
    std::vector<Rgb> pixels;
};

static Canvas blank_canvas(int width, int height, Rgb fill) {
    return {width, height, std::vector<Rgb>((size_t)width * height, fill)};
}

static Rgb& canvas_at(Canvas& c, int x, int y) {
    return c.pixels[(size_t)wrap_index(y, c.height) * c.width + wrap_index(x, c.width)];
}

static Rgb canvas_get(const Canvas& c, int x, int y) {
    return c.pixels[(size_t)wrap_index(y, c.height) * c.width + wrap_index(x, c.width)];
}

static void blend_pixel(Canvas& c, int x, int y, Rgb colour, float alpha) {
    if (alpha <= 0.0f) return;
    Rgb& p = canvas_at(c, x, y);
    p = mix(p, colour, clamp01(alpha));
}

static void add_pixel(Canvas& c, int x, int y, Rgb colour) {
    Rgb& p = canvas_at(c, x, y);
    p = added(p, colour);
}

static Image8 canvas_to_image(const Canvas& c) {
    Image8 img = blank_image(c.width, c.height, 3);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) put_rgb(img, x, y, c.pixels[(size_t)y * c.width + x]);
    return img;
}

// Fills the axis-aligned rectangle [x0, x1) x [y0, y1) in whole pixels.
static void fill_rect(Canvas& c, int x0, int y0, int x1, int y1, Rgb colour) {
    for (int y = std::max(y0, 0); y < std::min(y1, c.height); ++y)
        for (int x = x0; x < x1; ++x) canvas_at(c, x, y) = colour;
}

// Anti-aliased shapes by coverage of the signed distance at pixel centres.
static float coverage(float signed_distance) { return clamp01(0.5f - signed_distance); }

static float segment_distance(float px, float py, float ax, float ay, float bx, float by) {
    float abx = bx - ax, aby = by - ay, apx = px - ax, apy = py - ay;
    float len2 = abx * abx + aby * aby;
    float t = len2 > 0.0f ? clamp01((apx * abx + apy * aby) / len2) : 0.0f;
    float dx = apx - abx * t, dy = apy - aby * t;
    return std::sqrt(dx * dx + dy * dy);
}

static void draw_disc(Canvas& c, float cx, float cy, float radius, Rgb colour, float alpha) {
    int r = (int)std::ceil(radius + 1.0f);
    for (int y = (int)cy - r; y <= (int)cy + r; ++y) {
        for (int x = (int)cx - r; x <= (int)cx + r; ++x) {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius;
            blend_pixel(c, x, y, colour, alpha * coverage(d));
        }
    }
}

static void draw_line(Canvas& c, float ax, float ay, float bx, float by, float half_width, Rgb colour, float alpha) {
    int x0 = (int)std::floor(std::min(ax, bx) - half_width - 1.0f);
    int x1 = (int)std::ceil(std::max(ax, bx) + half_width + 1.0f);
    int y0 = (int)std::floor(std::min(ay, by) - half_width - 1.0f);
    int y1 = (int)std::ceil(std::max(ay, by) + half_width + 1.0f);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            float d = segment_distance(x + 0.5f, y + 0.5f, ax, ay, bx, by) - half_width;
            blend_pixel(c, x, y, colour, alpha * coverage(d));
        }
    }
}

static void draw_ring(Canvas& c, float cx, float cy, float radius, float half_width, Rgb colour, float alpha) {
    int r = (int)std::ceil(radius + half_width + 1.0f);
    for (int y = (int)cy - r; y <= (int)cy + r; ++y) {
        for (int x = (int)cx - r; x <= (int)cx + r; ++x) {
            float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - radius) - half_width;
            blend_pixel(c, x, y, colour, alpha * coverage(d));
        }
    }
}

// Additive Gaussian light, used for stars, lamps and glows.
static void add_glow(Canvas& c, float cx, float cy, float sigma, Rgb colour) {
    int r = (int)std::ceil(sigma * 3.5f);
    float k = -0.5f / (sigma * sigma);
    for (int y = (int)std::floor(cy) - r; y <= (int)std::floor(cy) + r; ++y) {
        for (int x = (int)std::floor(cx) - r; x <= (int)std::floor(cx) + r; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            add_pixel(c, x, y, scaled(colour, std::exp(k * (dx * dx + dy * dy))));
        }
    }
}

// ------------------------------------------------------------------ noise images

// White noise whose green channel is the red channel shifted, so that a pass
// can fetch two slices of 3-D value noise with one sample:
//
//     uv = (p.xy + vec2(37.0, 17.0) * p.z) + f;
//     rg = texture(tex, (uv + 0.5) / 256.0).yx;
//
// In texture coordinates (x right, y up) that needs G(x + 37, y + 17) = R(x, y).
// The loader flips the file vertically on upload, so texture row t is stored
// row 255 - t; substituting, the stored image must satisfy
//
//     G(x, y) = R((x - 37) mod 256, (y + 17) mod 256)     (row 0 = top of file).
//
// The check below decodes the PNG with the loader's flip and tests the
// texture-space relation directly.
static constexpr int noise_shift_x = 37;
static constexpr int noise_shift_y = 17;

static Image8 make_rgba_noise(int width, int height) {
    Image8 img = blank_image(width, height, 3);
    Random red{0x5eed0001u}, blue{0x5eed0002u};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &img.samples[((size_t)y * width + x) * 3];
            p[0] = (uint8_t)(next_u64(red) >> 56);
            p[2] = (uint8_t)(next_u64(blue) >> 56);
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            int sx = wrap_index(x - noise_shift_x, width), sy = wrap_index(y + noise_shift_y, height);
            img.samples[((size_t)y * width + x) * 3 + 1] = img.samples[((size_t)sy * width + sx) * 3];
        }
    }
    return img;
}

static Image8 make_gray_noise(int width, int height) {
    Image8 img = blank_image(width, height, 1);
    Random r{0x5eed0003u};
    for (uint8_t& s : img.samples) s = (uint8_t)(next_u64(r) >> 56);
    return img;
}

// The 8x8 ordered-dither matrix; each entry stores index * 4 + 2, which puts
// the 64 thresholds at the centres of equal intervals ((index + 0.5) / 64
// after division by 256) and keeps the mean at mid-grey.
static int bayer_index(int x, int y, int size) {
    if (size == 1) return 0;
    static const int quadrant[2][2] = {{0, 2}, {3, 1}};
    int half = size / 2;
    return 4 * bayer_index(x % half, y % half, half) + quadrant[y / half][x / half];
}

static Image8 make_bayer(int width, int height) {
    Image8 img = blank_image(width, height, 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            img.samples[(size_t)y * width + x] = (uint8_t)(bayer_index(x, y, width) * 4 + 2);
    return img;
}

// ------------------------------------------------------------------ blue noise
//
// Void-and-cluster ranking on a torus, Gaussian energy with sigma 1.5. Each
// of the three channels is its own mask from its own seed, so the channels
// are mutually independent blue noise; every value 0..255 appears exactly
// 256 times per channel.
//
// Dense stages keep an energy grid updated with a truncated kernel (radius 8,
// where the Gaussian has fallen below 1e-6) and find extremes through cached
// per-block results. The sparse ends of the ranking, where points sit tens of
// texels apart and the truncated kernel would see nothing, work on a point
// list with the untruncated toroidal kernel, recomputing energies from
// scratch each time the set halves so that tiny energies never drown in the
// rounding of earlier subtractions.

static constexpr int blue_size = 256;
static constexpr int blue_area = blue_size * blue_size;
static constexpr double blue_sigma = 1.5;
static constexpr int blue_radius = 8;
static constexpr int blue_block = 16;
static constexpr int blue_blocks_per_side = blue_size / blue_block;

static std::vector<double> toroidal_gaussian() {
    std::vector<double> g(blue_size);
    for (int d = 0; d < blue_size; ++d) {
        double m = std::min(d, blue_size - d);
        g[d] = std::exp(-m * m / (2.0 * blue_sigma * blue_sigma));
    }
    return g;
}

struct EnergyGrid {
    std::vector<double> energy;  // summed kernel of all ones
    std::vector<uint8_t> is_one;
    std::vector<double> kernel;  // 1-D toroidal Gaussian, indexed by offset mod size
};

// Best pixel per block for one kind of query, recomputed lazily.
struct ExtremeCache {
    bool want_max;  // tightest cluster (max among ones) or largest void (min among zeros)
    std::vector<int> best;
    std::vector<uint8_t> stale;
};

static ExtremeCache extreme_cache(bool want_max) {
    int blocks = blue_blocks_per_side * blue_blocks_per_side;
    return {want_max, std::vector<int>(blocks, -1), std::vector<uint8_t>(blocks, 1)};
}

static bool eligible(const EnergyGrid& g, const ExtremeCache& c, int i) { return g.is_one[i] == (c.want_max ? 1 : 0); }

static bool better(const ExtremeCache& c, double a, double b) { return c.want_max ? a > b : a < b; }

static int block_best(const EnergyGrid& g, const ExtremeCache& c, int block) {
    int bx = (block % blue_blocks_per_side) * blue_block, by = (block / blue_blocks_per_side) * blue_block;
    int best = -1;
    for (int y = by; y < by + blue_block; ++y) {
        for (int x = bx; x < bx + blue_block; ++x) {
            int i = y * blue_size + x;
            if (eligible(g, c, i) && (best < 0 || better(c, g.energy[i], g.energy[best]))) best = i;
        }
    }
    return best;
}

static int find_extreme(const EnergyGrid& g, ExtremeCache& c) {
    int best = -1;
    for (size_t b = 0; b < c.best.size(); ++b) {
        if (c.stale[b]) {
            c.best[b] = block_best(g, c, (int)b);
            c.stale[b] = 0;
        }
        int i = c.best[b];
        if (i >= 0 && (best < 0 || better(c, g.energy[i], g.energy[best]))) best = i;
    }
    return best;
}

static void mark_stale_around(ExtremeCache& c, int x, int y) {
    // The splat spans fewer texels than a block, so its corners touch every
    // block it overlaps.
    for (int dy = -blue_radius; dy <= blue_radius; dy += 2 * blue_radius) {
        for (int dx = -blue_radius; dx <= blue_radius; dx += 2 * blue_radius) {
            int bx = wrap_index(x + dx, blue_size) / blue_block, by = wrap_index(y + dy, blue_size) / blue_block;
            c.stale[by * blue_blocks_per_side + bx] = 1;
        }
    }
}

static void set_pixel(EnergyGrid& g, ExtremeCache& a, ExtremeCache& b, int index, bool one) {
    g.is_one[index] = one ? 1 : 0;
    int px = index % blue_size, py = index / blue_size;
    double sign = one ? 1.0 : -1.0;
    for (int dy = -blue_radius; dy <= blue_radius; ++dy) {
        int row = wrap_index(py + dy, blue_size) * blue_size;
        double ky = sign * g.kernel[wrap_index(dy, blue_size)];
        for (int dx = -blue_radius; dx <= blue_radius; ++dx)
            g.energy[row + wrap_index(px + dx, blue_size)] += ky * g.kernel[wrap_index(dx, blue_size)];
    }
    mark_stale_around(a, px, py);
    mark_stale_around(b, px, py);
}

static EnergyGrid random_initial_pattern(Random& r, int count) {
    EnergyGrid g{std::vector<double>(blue_area, 0.0), std::vector<uint8_t>(blue_area, 0), toroidal_gaussian()};
    std::vector<int> order(blue_area);
    for (int i = 0; i < blue_area; ++i) order[i] = i;
    for (int i = blue_area - 1; i > 0; --i) std::swap(order[i], order[next_below(r, i + 1)]);
    ExtremeCache unused_a = extreme_cache(true), unused_b = extreme_cache(false);
    for (int i = 0; i < count; ++i) set_pixel(g, unused_a, unused_b, order[i], true);
    return g;
}

// Moves the tightest-cluster one into the largest void until the move would
// put it straight back.
static void relax_pattern(EnergyGrid& g, ExtremeCache& clusters, ExtremeCache& voids) {
    for (int iteration = 0; iteration < blue_area; ++iteration) {
        int cluster = find_extreme(g, clusters);
        set_pixel(g, clusters, voids, cluster, false);
        int hole = find_extreme(g, voids);
        set_pixel(g, clusters, voids, hole, true);
        if (hole == cluster) return;
    }
}

struct PointSet {
    std::vector<int> x;
    std::vector<int> y;
    std::vector<double> energy;  // kernel sum over the other points of the set
};

static double kernel_at(const std::vector<double>& k, int dx, int dy) {
    return k[dx & (blue_size - 1)] * k[dy & (blue_size - 1)];
}

static void recompute_energies(PointSet& s, const std::vector<double>& k) {
    size_t n = s.x.size();
    for (size_t i = 0; i < n; ++i) {
        double e = 0.0;
        for (size_t j = 0; j < n; ++j)
            if (j != i) e += kernel_at(k, s.x[j] - s.x[i], s.y[j] - s.y[i]);
        s.energy[i] = e;
    }
}

static size_t index_of_max(const std::vector<double>& v) {
    return (size_t)(std::max_element(v.begin(), v.end()) - v.begin());
}

// Removes the point in the tightest cluster, over and over, and returns the
// pixel indices in removal order.
static std::vector<int> peel_tightest_clusters(PointSet s, const std::vector<double>& k) {
    std::vector<int> order;
    order.reserve(s.x.size());
    size_t next_refresh = 4096;
    while (next_refresh * 2 > s.x.size() && next_refresh > 1) next_refresh /= 2;
    size_t best = index_of_max(s.energy);
    while (!s.x.empty()) {
        int rx = s.x[best], ry = s.y[best];
        order.push_back(ry * blue_size + rx);
        s.x[best] = s.x.back();
        s.y[best] = s.y.back();
        s.energy[best] = s.energy.back();
        s.x.pop_back();
        s.y.pop_back();
        s.energy.pop_back();
        size_t n = s.x.size();
        if (n == 0) break;
        if (n <= next_refresh) {
            recompute_energies(s, k);
            next_refresh /= 2;
            best = index_of_max(s.energy);
            continue;
        }
        best = 0;
        double best_energy = -1.0;
        for (size_t j = 0; j < n; ++j) {
            double e = s.energy[j] - kernel_at(k, s.x[j] - rx, s.y[j] - ry);
            s.energy[j] = e;
            if (e > best_energy) {
                best_energy = e;
                best = j;
            }
        }
    }
    return order;
}

// Energy of every pixel of a binary mask under the full toroidal kernel, by
// separable convolution.
static std::vector<double> convolve_mask(const std::vector<uint8_t>& mask, const std::vector<double>& k) {
    std::vector<double> rows(blue_area, 0.0), out(blue_area, 0.0);
    for (int y = 0; y < blue_size; ++y)
        for (int x = 0; x < blue_size; ++x)
            if (mask[y * blue_size + x])
                for (int d = 0; d < blue_size; ++d) rows[y * blue_size + ((x + d) & (blue_size - 1))] += k[d];
    for (int y = 0; y < blue_size; ++y)
        for (int x = 0; x < blue_size; ++x) {
            double v = rows[y * blue_size + x];
            if (v != 0.0)
                for (int d = 0; d < blue_size; ++d) out[((y + d) & (blue_size - 1)) * blue_size + x] += v * k[d];
        }
    return out;
}

static PointSet points_where(const std::vector<uint8_t>& mask, uint8_t value, const std::vector<double>& k) {
    std::vector<uint8_t> selected(blue_area);
    for (int i = 0; i < blue_area; ++i) selected[i] = mask[i] == value ? 1 : 0;
    std::vector<double> energy = convolve_mask(selected, k);
    PointSet s;
    for (int i = 0; i < blue_area; ++i) {
        if (selected[i]) {
            s.x.push_back(i % blue_size);
            s.y.push_back(i / blue_size);
            s.energy.push_back(energy[i] - 1.0);  // the point's own kernel peak
        }
    }
    return s;
}

// Returns the rank 0..65535 of every pixel.
static std::vector<int> void_and_cluster_ranks(uint64_t seed) {
    Random r{seed};
    int initial = blue_area / 10;
    EnergyGrid g = random_initial_pattern(r, initial);
    ExtremeCache clusters = extreme_cache(true), voids = extreme_cache(false);
    relax_pattern(g, clusters, voids);

    std::vector<int> rank(blue_area, -1);
    std::vector<int> removed = peel_tightest_clusters(points_where(g.is_one, 1, g.kernel), g.kernel);
    for (size_t i = 0; i < removed.size(); ++i) rank[removed[i]] = initial - 1 - (int)i;

    for (int count = initial; count < blue_area / 2; ++count) {
        int hole = find_extreme(g, voids);
        rank[hole] = count;
        set_pixel(g, clusters, voids, hole, true);
    }

    std::vector<int> filled = peel_tightest_clusters(points_where(g.is_one, 0, g.kernel), g.kernel);
    for (size_t i = 0; i < filled.size(); ++i) rank[filled[i]] = blue_area / 2 + (int)i;
    return rank;
}

static Image8 make_blue_noise(int width, int height) {
    Image8 img = blank_image(width, height, 3);
    std::vector<int> ranks[3];
    std::vector<std::thread> threads;
    for (int c = 0; c < 3; ++c)
        threads.emplace_back([&ranks, c] { ranks[c] = void_and_cluster_ranks(0xb10e0000ull + 17u * c); });
    for (std::thread& t : threads) t.join();
    for (int i = 0; i < width * height; ++i)
        for (int c = 0; c < 3; ++c) img.samples[(size_t)i * 3 + c] = (uint8_t)(ranks[c][i] * 256 / blue_area);
    return img;
}

// ------------------------------------------------------------------ font
//
// A stroke font of our own: every glyph is a few polylines and elliptic arcs
// in a small design grid (x right, y up, baseline 0, x-height 7, cap height
// 10, descender -3), drawn at 3 pixels per unit. In its 64x64 cell a glyph is
// centred horizontally (for monospaced use); the baseline is 43 pixels from
// the cell top, capitals reach up to pixel 13 and descenders down to 52.
//
// The texture holds the distance to the strokes mapped so that 0.5 is the
// outline of a stroke font_half_width pixels thick on either side of its
// path, and the value changes by 1/(2 * font_spread) per pixel: outside it
// reaches 0 at font_spread pixels from the outline, well before the cell
// border, so neighbours do not bleed in under mipmapping; inside it peaks at
// about 0.67 on the stroke's centre line.
//
// Cells are indexed by character code: code = 16 * row + column, row 0 at the
// top of the picture. Codes outside 33..126 are empty. All four channels hold
// the same field, so passes may read it from .x or from .w.
//
// Path language: "M x y" move, "L x y" line, "A cx cy rx ry a0 a1" arc from
// angle a0 to a1 in degrees (counter-clockwise when a1 > a0), joined to the
// current point by a line when the pen is down; "P" lifts the pen.

static constexpr int font_cell = 64;
static constexpr float font_units_to_pixels = 3.0f;
static constexpr float font_baseline = 43.0f;  // pixels from the cell top
static constexpr float font_half_width = 2.75f;
static constexpr float font_spread = 8.0f;

struct GlyphPath {
    char code;
    const char* path;
};

static const GlyphPath glyph_paths[] = {
    {'!', "M3 10L3 3M3 0L3 0.5"},
    {'"', "M1.8 10L1.8 7M4.2 10L4.2 7"},
    {'#', "M2 0.5L2.6 9.5M4.2 0.5L4.8 9.5M0.3 3.3L6.3 3.3M0.6 6.7L6.6 6.7"},
    {'$', "A3 7 2.7 2.2 30 270A3 2.6 2.9 2.2 90 -150PM3 10.6L3 -1.2"},
    {'%', "M0.3 0L5.7 10PA1.4 8.3 1.3 1.6 0 360PA4.6 1.7 1.3 1.6 0 360"},
    {'&', "M6 0L1.74 6.56A2.8 7.9 1.5 1.9 225 -45L1.4 4.48A2.6 2.4 2.4 2.4 120 390L6 4.6"},
    {'\'', "M3 10L3 7"},
    {'(', "A6.5 4.5 4 7 130 230"},
    {')', "A-0.5 4.5 4 7 50 -50"},
    {'*', "M3 8.5L3 3.5M0.8 7.25L5.2 4.75M0.8 4.75L5.2 7.25"},
    {'+', "M3 2L3 8M0 5L6 5"},
    {',', "M3 0.5L3 0.3L2 -2"},
    {'-', "M1 4L5 4"},
    {'.', "M3 0.3L3 0.5"},
    {'/', "M0.5 -1.5L5.5 10.5"},
    {'0', "A3 5 2.8 5 0 360PM4.4 7.6L1.6 2.4"},
    {'1', "M1 8L3 10L3 0M1 0L5 0"},
    {'2', "A3 7.3 2.7 2.7 160 -40L0 0L6 0"},
    {'3', "A3 7.5 2.6 2.5 150 -90A3 2.5 2.9 2.5 90 -150"},
    {'4', "M4.5 0L4.5 10L0 3L6 3"},
    {'5', "M5.5 10L1 10L0.5 5.2A3 3.2 3 3.2 145 -155"},
    {'6', "A5.5 3 5.5 7 100 180A3 3 3 3 180 540"},
    {'7', "M0 10L6 10L2 0"},
    {'8', "A3 7.6 2.4 2.4 -90 270PA3 2.7 2.8 2.7 90 450"},
    {'9', "A3 7 3 3 0 360A0.5 7 5.5 7 0 -80"},
    {':', "M3 6.5L3 6.7M3 0.3L3 0.5"},
    {';', "M3 6.5L3 6.7M3 0.5L3 0.3L2 -2"},
    {'<', "M5.5 9L0.5 5L5.5 1"},
    {'=', "M0.5 6.5L5.5 6.5M0.5 3.5L5.5 3.5"},
    {'>', "M0.5 9L5.5 5L0.5 1"},
    {'?', "A3 7.5 2.6 2.5 160 -60L3 4.3L3 2.8M3 0.3L3 0.5"},
    {'@', "A3.2 4.6 1.4 1.8 0 360PM4.6 6.4L4.6 3.2A5.5 3.2 0.9 1 180 360A3.3 4.6 3.2 4.6 -10 290"},
    {'A', "M0 0L3 10L6 0M1.05 3.5L4.95 3.5"},
    {'B', "M0 5L3.5 5A3.5 7.5 2.5 2.5 -90 90L0 10L0 0L3.8 0A3.8 2.5 2.5 2.5 -90 90L3.5 5"},
    {'C', "A3 7 3 3 30 180L0 3A3 3 3 3 180 330"},
    {'D', "M0 0L0 10L2.5 10A2.5 6.5 3.5 3.5 90 0L6 3.5A2.5 3.5 3.5 3.5 0 -90L0 0"},
    {'E', "M6 10L0 10L0 0L6 0M0 5L4.5 5"},
    {'F', "M6 10L0 10L0 0M0 5L4.5 5"},
    {'G', "A3 7 3 3 30 180L0 3A3 3 3 3 180 360L6 5L3.5 5"},
    {'H', "M0 0L0 10M6 0L6 10M0 5L6 5"},
    {'I', "M1 10L5 10M3 10L3 0M1 0L5 0"},
    {'J', "M2 10L5.5 10M4.5 10L4.5 3A2.25 3 2.25 3 0 -160"},
    {'K', "M0 0L0 10M6 10L0 4M2.2 6.2L6 0"},
    {'L', "M0 10L0 0L6 0"},
    {'M', "M0 0L0 10L3.5 3L7 10L7 0"},
    {'N', "M0 0L0 10L6 0L6 10"},
    {'O', "A3 7 3 3 0 180L0 3A3 3 3 3 180 360L6 7"},
    {'P', "M0 0L0 10L3.5 10A3.5 7.25 2.75 2.75 90 -90L0 4.5"},
    {'Q', "A3 7 3 3 0 180L0 3A3 3 3 3 180 360L6 7M3.8 2L6.5 -1"},
    {'R', "M0 0L0 10L3.5 10A3.5 7.25 2.75 2.75 90 -90L0 4.5M3 4.5L6 0"},
    {'S', "A3 7.5 2.8 2.5 30 270A3 2.5 3 2.5 90 -150"},
    {'T', "M0 10L6 10M3 10L3 0"},
    {'U', "M0 10L0 3A3 3 3 3 180 360L6 10"},
    {'V', "M0 10L3 0L6 10"},
    {'W', "M0 10L1.75 0L3.5 6L5.25 0L7 10"},
    {'X', "M0 10L6 0M0 0L6 10"},
    {'Y', "M0 10L3 5L6 10M3 5L3 0"},
    {'Z', "M0 10L6 10L0 0L6 0"},
    {'[', "M4.5 10.5L2 10.5L2 -1.5L4.5 -1.5"},
    {'\\', "M0.5 10.5L5.5 -1.5"},
    {']', "M1.5 10.5L4 10.5L4 -1.5L1.5 -1.5"},
    {'^', "M0.5 6.5L3 10L5.5 6.5"},
    {'_', "M0 -2L6 -2"},
    {'`', "M2 10L3.5 8.2"},
    {'a', "A2.7 3.5 2.7 3.5 0 360PM5.4 7L5.4 0"},
    {'b', "M0 10L0 0PA2.7 3.5 2.7 3.5 0 360"},
    {'c', "A3 3.5 2.9 3.5 40 320"},
    {'d', "M5.4 10L5.4 0PA2.7 3.5 2.7 3.5 0 360"},
    {'e', "M0.1 3.5L5.7 3.5A2.9 3.5 2.8 3.5 0 310"},
    {'f', "A3.8 8 1.6 2 60 180L2.2 0PM0.4 7L4.6 7"},
    {'g', "A2.7 4 2.7 3 0 360PM5.4 7L5.4 -0.5A2.7 -0.5 2.7 2.5 0 -160"},
    {'h', "M0 10L0 0PM0 4.5A2.7 4.5 2.7 2.5 180 0L5.4 0"},
    {'i', "M1.2 7L2.7 7L2.7 0M1 0L4.4 0M2.7 9.4L2.7 9.7"},
    {'j', "M1.5 7L3.5 7L3.5 -1.2A1.5 -1.2 2 1.8 0 -150PM3.5 9.4L3.5 9.7"},
    {'k', "M0 10L0 0M5 7L0 2.5M1.8 4.1L5.2 0"},
    {'l', "M1 10L2.7 10L2.7 0M1 0L4.4 0"},
    {'m', "M0 0L0 7PM0 5.2A1.6 5.2 1.6 1.8 180 0L3.2 0PM3.2 5.2A4.8 5.2 1.6 1.8 180 0L6.4 0"},
    {'n', "M0 0L0 7PM0 4.5A2.7 4.5 2.7 2.5 180 0L5.4 0"},
    {'o', "A2.8 3.5 2.8 3.5 0 360"},
    {'p', "M0 7L0 -3PA2.7 3.5 2.7 3.5 0 360"},
    {'q', "M5.4 7L5.4 -3PA2.7 3.5 2.7 3.5 0 360"},
    {'r', "M0 0L0 7PM0 4A3 4 3 3 180 60"},
    {'s', "A2.7 5.3 2.4 1.7 20 270A2.7 1.75 2.7 1.75 90 -160"},
    {'t', "M2 9.5L2 1.2A3.5 1.2 1.5 1.2 180 300PM0 7L4.6 7"},
    {'u', "M0 7L0 2.5A2.7 2.5 2.7 2.5 180 360PM5.4 7L5.4 0"},
    {'v', "M0 7L2.8 0L5.6 7"},
    {'w', "M0 7L1.6 0L3.2 5L4.8 0L6.4 7"},
    {'x', "M0 7L5.4 0M0 0L5.4 7"},
    {'y', "M0 7L2.66 0M5.6 7L1.4 -3"},
    {'z', "M0 7L5.4 7L0 0L5.4 0"},
    {'{', "M4.8 10.5L3.8 10.5L3.2 9.8L3.2 5.8L2 4.5L3.2 3.2L3.2 -0.8L3.8 -1.5L4.8 -1.5"},
    {'|', "M3 10.5L3 -2"},
    {'}', "M1.2 10.5L2.2 10.5L2.8 9.8L2.8 5.8L4 4.5L2.8 3.2L2.8 -0.8L2.2 -1.5L1.2 -1.5"},
    {'~', "A1.6 4.6 1.3 1 180 0A4.2 4.6 1.3 1 180 360"},
};

struct Segment {
    float ax, ay, bx, by;
};

struct PathPen {
    std::vector<Segment> segments;
    bool down = false;
    float x = 0.0f, y = 0.0f;
};

static void pen_line_to(PathPen& pen, float x, float y) {
    if (pen.down) pen.segments.push_back({pen.x, pen.y, x, y});
    pen.down = true;
    pen.x = x;
    pen.y = y;
}

static void pen_arc(PathPen& pen, float cx, float cy, float rx, float ry, float a0, float a1) {
    int steps = std::max(8, (int)std::ceil(std::fabs(a1 - a0) / 5.0f));
    for (int i = 0; i <= steps; ++i) {
        float a = (a0 + (a1 - a0) * i / steps) * (tau / 360.0f);
        pen_line_to(pen, cx + rx * std::cos(a), cy + ry * std::sin(a));
    }
}

static bool read_numbers(const char*& p, float* out, int count) {
    for (int i = 0; i < count; ++i) {
        while (*p == ' ' || *p == ',') ++p;
        char* end = nullptr;
        out[i] = std::strtof(p, &end);
        if (end == p) return false;
        p = end;
    }
    return true;
}

static std::vector<Segment> parse_glyph(const char* path) {
    PathPen pen;
    const char* p = path;
    float n[6];
    while (*p) {
        char command = *p++;
        if (command == 'M' && read_numbers(p, n, 2)) {
            pen.down = true;
            pen.x = n[0];
            pen.y = n[1];
        } else if (command == 'L' && read_numbers(p, n, 2)) {
            pen_line_to(pen, n[0], n[1]);
        } else if (command == 'A' && read_numbers(p, n, 6)) {
            pen_arc(pen, n[0], n[1], n[2], n[3], n[4], n[5]);
        } else if (command == 'P') {
            pen.down = false;
        } else if (command != ' ') {
            std::fprintf(stderr, "bad glyph path near '%s'\n", p - 1);
            std::exit(1);
        }
    }
    return pen.segments;
}

// Glyph segments in cell pixels, centred horizontally on their extent.
static std::vector<Segment> glyph_in_cell(const char* path) {
    std::vector<Segment> s = parse_glyph(path);
    float lo = 1e9f, hi = -1e9f;
    for (const Segment& g : s) {
        lo = std::min({lo, g.ax, g.bx});
        hi = std::max({hi, g.ax, g.bx});
    }
    float centre = 0.5f * (lo + hi);
    for (Segment& g : s) {
        g.ax = font_cell * 0.5f + (g.ax - centre) * font_units_to_pixels;
        g.bx = font_cell * 0.5f + (g.bx - centre) * font_units_to_pixels;
        g.ay = font_baseline - g.ay * font_units_to_pixels;
        g.by = font_baseline - g.by * font_units_to_pixels;
    }
    return s;
}

static uint8_t stroke_field(const std::vector<Segment>& strokes, float x, float y) {
    float d = 1e9f;
    for (const Segment& s : strokes) d = std::min(d, segment_distance(x, y, s.ax, s.ay, s.bx, s.by));
    return to_byte(0.5f + (font_half_width - d) / (2.0f * font_spread));
}

static Image8 make_font(int width, int height) {
    Image8 img = blank_image(width, height, 4);
    std::vector<std::vector<Segment>> glyphs;
    std::vector<int> codes;
    for (const GlyphPath& g : glyph_paths) {
        glyphs.push_back(glyph_in_cell(g.path));
        codes.push_back((unsigned char)g.code);
    }
    parallel_for((int)glyphs.size(), [&](int i) {
        int cell_x = (codes[i] % 16) * font_cell, cell_y = (codes[i] / 16) * font_cell;
        for (int y = 0; y < font_cell; ++y) {
            for (int x = 0; x < font_cell; ++x) {
                uint8_t f = stroke_field(glyphs[i], x + 0.5f, y + 0.5f);
                uint8_t* p = &img.samples[((size_t)(cell_y + y) * width + cell_x + x) * 4];
                p[0] = p[1] = p[2] = p[3] = f;
            }
        }
    });
    return img;
}

// ------------------------------------------------------------------ flying bun-cat strip
//
// Eight 32x32 frames side by side (frame f at x = 32f), one wing beat per
// loop: a cat with a sugar-iced bun for a body, flapping small wings, while
// sparkles drift past behind it. 4-bit palette; index 0 is fully
// transparent and index 15 is a half-transparent glow.

static constexpr int sprite_size = 32;
static constexpr int sprite_frames = 8;

static const uint8_t bun_cat_palette[16][4] = {
    {0, 0, 0, 0},          // 0 clear
    {42, 27, 61, 255},     // 1 outline
    {217, 140, 63, 255},   // 2 bun crust
    {242, 192, 122, 255},  // 3 crust shine
    {255, 138, 200, 255},  // 4 icing
    {255, 196, 230, 255},  // 5 icing shine
    {154, 154, 176, 255},  // 6 fur
    {214, 214, 228, 255},  // 7 light fur
    {255, 255, 255, 255},  // 8 white
    {255, 90, 122, 255},   // 9 cheeks, inner ears, sprinkles
    {168, 230, 255, 255},  // 10 wing
    {95, 180, 240, 255},   // 11 wing shade
    {92, 214, 110, 255},   // 12 green sprinkles
    {255, 224, 74, 255},   // 13 sparkle core
    {255, 154, 46, 255},   // 14 sparkle rays
    {255, 244, 176, 120},  // 15 glow
};

struct SpriteFrame {
    uint8_t colour[sprite_size][sprite_size];
    bool body[sprite_size][sprite_size];
};

static bool inside_frame(int x, int y) { return x >= 0 && y >= 0 && x < sprite_size && y < sprite_size; }

static void paint(SpriteFrame& f, int x, int y, uint8_t colour, bool body) {
    if (!inside_frame(x, y)) return;
    f.colour[y][x] = colour;
    f.body[y][x] = f.body[y][x] || body;
}

static void paint_ellipse(SpriteFrame& f, float cx, float cy, float rx, float ry, uint8_t colour) {
    for (int y = 0; y < sprite_size; ++y) {
        for (int x = 0; x < sprite_size; ++x) {
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            if (dx * dx + dy * dy <= 1.0f) paint(f, x, y, colour, true);
        }
    }
}

static float edge_side(float ax, float ay, float bx, float by, float px, float py) {
    return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

static void paint_triangle(SpriteFrame& f, const float (&v)[6], uint8_t colour, uint8_t shade) {
    for (int y = 0; y < sprite_size; ++y) {
        for (int x = 0; x < sprite_size; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float e0 = edge_side(v[0], v[1], v[2], v[3], px, py);
            float e1 = edge_side(v[2], v[3], v[4], v[5], px, py);
            float e2 = edge_side(v[4], v[5], v[0], v[1], px, py);
            bool in = (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
            if (in) paint(f, x, y, (y + 2) % 3 == 0 ? shade : colour, true);
        }
    }
}

// Sparkles wrap around the frame's sides so that they scroll without a jump;
// they lie behind the creature and get no outline.
static void paint_wrapped(SpriteFrame& f, int x, int y, uint8_t colour) {
    paint(f, wrap_index(x, sprite_size), y, colour, false);
}

static void paint_sparkle(SpriteFrame& f, int x, int y, int size) {
    paint_wrapped(f, x - 1, y - 1, 15);
    paint_wrapped(f, x + 1, y - 1, 15);
    paint_wrapped(f, x - 1, y + 1, 15);
    paint_wrapped(f, x + 1, y + 1, 15);
    for (int k = 1; k <= size; ++k) {
        paint_wrapped(f, x - k, y, 14);
        paint_wrapped(f, x + k, y, 14);
        paint_wrapped(f, x, y - k, 14);
        paint_wrapped(f, x, y + k, 14);
    }
    paint_wrapped(f, x, y, 13);
}

static void paint_sparkles(SpriteFrame& f, int frame) {
    static const int start[4][2] = {{30, 5}, {21, 28}, {11, 3}, {3, 25}};
    for (int s = 0; s < 4; ++s) {
        int x = wrap_index(start[s][0] - 4 * frame, sprite_size);
        paint_sparkle(f, x, start[s][1], (frame + s) % 4 < 2 ? 1 : 2);
    }
}

static void paint_bun(SpriteFrame& f, int bob) {
    float cx = 14.5f, cy = 19.5f + bob;
    paint_ellipse(f, cx, cy, 8.5f, 5.5f, 2);
    for (int y = 0; y < sprite_size; ++y) {
        for (int x = 0; x < sprite_size; ++x) {
            if (f.colour[y][x] != 2) continue;
            float dy = (y + 0.5f - cy) / 5.5f;
            float drip = (x % 5 == 2) ? 0.4f : ((x % 5 == 3) ? 0.2f : 0.0f);
            if (dy < 0.05f + drip)
                f.colour[y][x] = 4;
            else if (dy < 0.3f + drip)
                f.colour[y][x] = 3;
        }
    }
    static const int sprinkles[6][3] = {{10, -3, 8}, {14, -4, 12}, {18, -3, 9}, {12, -1, 12}, {20, -1, 8}, {16, -2, 9}};
    for (const auto& s : sprinkles)
        if (f.colour[(int)cy + s[1]][s[0]] == 4) f.colour[(int)cy + s[1]][s[0]] = (uint8_t)s[2];
    paint(f, 8, (int)cy - 3, 5, true);
    paint(f, 9, (int)cy - 4, 5, true);
}

static void paint_head(SpriteFrame& f, int bob) {
    paint_ellipse(f, 24.5f, 16.5f + bob, 4.6f, 4.4f, 6);
    static const int ears[12][2] = {{21, 10}, {21, 11}, {22, 11}, {21, 12}, {22, 12}, {23, 12},
                                    {28, 10}, {28, 11}, {27, 11}, {28, 12}, {27, 12}, {26, 12}};
    for (const auto& e : ears) paint(f, e[0], e[1] + bob, 6, true);
    paint(f, 22, 12 + bob, 9, true);
    paint(f, 27, 12 + bob, 9, true);
    for (int x = 23; x <= 26; ++x)
        for (int y = 17; y <= 19; ++y) paint(f, x, y + bob, 7, true);
    paint(f, 22, 15 + bob, 1, true);
    paint(f, 22, 16 + bob, 1, true);
    paint(f, 27, 15 + bob, 1, true);
    paint(f, 27, 16 + bob, 1, true);
    paint(f, 21, 18 + bob, 9, true);
    paint(f, 28, 18 + bob, 9, true);
    paint(f, 24, 17 + bob, 1, true);
    paint(f, 25, 17 + bob, 1, true);
    paint(f, 23, 19 + bob, 1, true);
    paint(f, 26, 19 + bob, 1, true);
    paint(f, 24, 18 + bob, 1, true);
    paint(f, 25, 18 + bob, 1, true);
}

static void paint_tail_and_legs(SpriteFrame& f, int frame, int bob) {
    for (int i = 0; i < 6; ++i) {
        int y = 19 + bob + (int)std::lround(1.3f * std::sin(tau * frame / sprite_frames + 0.9f * i));
        paint(f, 6 - i, y, 6, true);
        paint(f, 6 - i, y + 1, 6, true);
    }
    static const int legs[4] = {9, 12, 17, 20};
    for (int i = 0; i < 4; ++i) {
        int swing = ((frame / 2) % 2 == 0) ? 0 : (i % 2 ? 1 : -1);
        for (int y = 24; y <= 25; ++y) paint(f, legs[i] + swing, y + bob, 6, true);
    }
}

static void paint_wing(SpriteFrame& f, int frame, int bob) {
    // Lift of the wing tip per frame: up, sweeping down, back up.
    static const int lift[sprite_frames] = {9, 8, 6, 3, 1, 3, 6, 8};
    float root = 15.0f + bob, tip = root - lift[frame];
    float front[6] = {10.0f, root, 18.0f, root, 13.0f, tip};
    float back[6] = {10.0f, root, 13.0f, tip, 6.0f, tip + 2.0f};
    paint_triangle(f, front, 10, 11);
    paint_triangle(f, back, 10, 11);
}

static void outline_body(SpriteFrame& f) {
    static const int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    bool edge[sprite_size][sprite_size] = {};
    for (int y = 0; y < sprite_size; ++y) {
        for (int x = 0; x < sprite_size; ++x) {
            if (f.body[y][x]) continue;
            for (const auto& s : steps)
                if (inside_frame(x + s[0], y + s[1]) && f.body[y + s[1]][x + s[0]]) edge[y][x] = true;
        }
    }
    for (int y = 0; y < sprite_size; ++y)
        for (int x = 0; x < sprite_size; ++x)
            if (edge[y][x]) f.colour[y][x] = 1;
}

static SpriteFrame bun_cat_frame(int frame) {
    SpriteFrame f{};
    int bob = (int)std::lround(-1.2f * std::sin(tau * frame / sprite_frames));
    paint_sparkles(f, frame);
    paint_tail_and_legs(f, frame, bob);
    paint_bun(f, bob);
    paint_head(f, bob);
    paint_wing(f, frame, bob);
    outline_body(f);
    return f;
}

static Image8 make_nyancat(int width, int height) {
    Image8 img = blank_image(width, height, 1);
    for (int frame = 0; frame < sprite_frames; ++frame) {
        SpriteFrame f = bun_cat_frame(frame);
        for (int y = 0; y < sprite_size; ++y)
            for (int x = 0; x < sprite_size; ++x)
                img.samples[(size_t)y * width + frame * sprite_size + x] = f.colour[y][x];
    }
    img.palette.assign(&bun_cat_palette[0][0], &bun_cat_palette[0][0] + 64);
    return img;
}

// ------------------------------------------------------------------ abstract pictures

// 0 -> 1 -> 0 over every two units, so a ramp can be cycled without seams.
static float triangle_wave(float x) { return 1.0f - std::fabs(2.0f * fract(0.5f * x) - 1.0f); }

static Rgb shade_abstract1(float u, float v) {
    // Noise warped by noise warped by noise: marbled swirls from ink blue
    // through magenta and flame to teal, with pale filaments.
    float qx = fbm(u, v, {2, 2, 5, 0.5f, 101}), qy = fbm(u, v, {2, 2, 5, 0.5f, 102});
    float rx = fbm(u + 0.3f * qx, v + 0.3f * qy, {3, 3, 5, 0.5f, 103});
    float ry = fbm(u + 0.3f * qx, v + 0.3f * qy, {3, 3, 5, 0.5f, 104});
    float f = fbm(u + 0.25f * rx, v + 0.25f * ry, {4, 4, 6, 0.5f, 105});
    static const ColourStop stops[] = {
        {0.0f, rgb_hex(0x0b0630)}, {0.2f, rgb_hex(0x3b0f6b)},  {0.38f, rgb_hex(0xb0186e)}, {0.55f, rgb_hex(0xf2572b)},
        {0.7f, rgb_hex(0xffb238)}, {0.84f, rgb_hex(0x2ec4b6)}, {1.0f, rgb_hex(0x0d3b66)},
    };
    Rgb c = ramp(stops, triangle_wave(1.0f + 2.2f * f + 1.2f * qx));
    float shade = 0.45f + 0.55f * smoothstep(-0.45f, 0.35f, rx + 0.7f * f);
    float filament = 1.0f - smoothstep(0.0f, 0.05f, std::fabs(ry));
    return added(scaled(c, shade), scaled(rgb_hex(0xfff4d8), 0.3f * filament));
}

static Rgb shade_abstract2(float u, float v) {
    // Three interfering waves with whole-number frequencies over a gently
    // warped plane, through a banded retro palette.
    float px = u + 0.12f * fbm(u, v, {2, 2, 5, 0.5f, 211}), py = v + 0.12f * fbm(u, v, {2, 2, 5, 0.5f, 212});
    float waves = std::sin(tau * (3.0f * px + py)) + std::sin(tau * (px - 3.0f * py)) +
                  std::sin(tau * (2.0f * px + 2.0f * py) + 1.0f);
    float t = 0.5f + waves / 6.0f;
    static const ColourStop stops[] = {
        {0.0f, rgb_hex(0x0f2a44)},  {0.25f, rgb_hex(0x1f7a8c)}, {0.45f, rgb_hex(0xbfdbf7)},
        {0.55f, rgb_hex(0xf4d35e)}, {0.75f, rgb_hex(0xee6c4d)}, {1.0f, rgb_hex(0x3d1a3a)},
    };
    float bands = fract(t * 7.0f);
    return scaled(ramp(stops, triangle_wave(t * 3.0f)), 0.7f + 0.3f * smoothstep(0.0f, 0.5f, bands));
}

static Rgb shade_abstract3(float u, float v) {
    // Stained glass: warped Voronoi panes in jewel colours between lead came.
    float wu = u + 0.015f * fbm(u, v, {4, 4, 3, 0.5f, 301});
    float wv = v + 0.015f * fbm(u, v, {4, 4, 3, 0.5f, 302});
    CellSample s = cellular(wu, wv, 9, 0.85f, 303);
    float hue = hash_to_unit(s.id);
    Rgb pane = cosine_palette(hue, {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, {1.0f, 1.0f, 1.0f}, {0.0f, 0.33f, 0.67f});
    pane = saturated(pane, 1.4f);
    float glow = 1.15f - 0.8f * s.nearest;
    float grain = 0.85f + 0.25f * fbm(u, v, {24, 24, 4, 0.6f, 304});
    Rgb glass = scaled(pane, glow * grain);
    float lead = smoothstep(0.025f, 0.04f, s.border);
    float rim = smoothstep(0.012f, 0.02f, s.border) * (1.0f - smoothstep(0.02f, 0.03f, s.border));
    Rgb came = added(grey(0.05f), grey(0.25f * rim));
    return mix(came, glass, lead);
}

// ------------------------------------------------------------------ organic pictures

// Round colonies centred on jittered points of a cells x cells grid, with
// noisy rims; reports the innermost colony covering the point.
struct Colony {
    bool inside;
    float depth;  // 0 at the centre, 1 at the rim
    uint32_t id;
};

static Colony colony_at(float u, float v, int cells, float min_radius, float max_radius, float presence,
                        uint32_t seed) {
    float x = u * cells, y = v * cells;
    int ix = (int)std::floor(x), iy = (int)std::floor(y);
    Colony best{false, 2.0f, 0};
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            uint32_t h = hash_cell(wrap_index(ix + i, cells), wrap_index(iy + j, cells), seed);
            if (hash_to_unit(mix_bits(h ^ 0x1234567u)) > presence) continue;
            float ox, oy;
            feature_offset(ix + i, iy + j, cells, cells, 0.8f, seed, &ox, &oy);
            float dx = ix + i + ox - x, dy = iy + j + oy - y;
            float radius = lerp(min_radius, max_radius, hash_to_unit(mix_bits(h)));
            float depth = std::sqrt(dx * dx + dy * dy) / radius;
            if (depth < best.depth) best = {depth < 1.0f, depth, h};
        }
    }
    return best;
}

static Rgb shade_lichen(float u, float v) {
    // Crustose lichen on grey rock: overlapping lobed colonies of three
    // species, cracked into areoles, with dark fruiting bodies.
    float g = fbm(u, v, {4, 4, 7, 0.55f, 801});
    float grain = cellular(u, v, 160, 1.0f, 802).nearest;
    Rgb rock = scaled(mix(rgb_hex(0x4c4c4a), rgb_hex(0x9a9890), clamp01(0.5f + 1.2f * g)), 0.85f + 0.2f * grain);
    float areole = smoothstep(0.02f, 0.1f, cellular(u, v, 150, 1.0f, 804).border);
    float fine = fbm(u, v, {32, 32, 3, 0.5f, 805});
    CellSample fruit = cellular(u, v, 64, 0.9f, 809);

    struct Species {
        int cells;
        float min_radius, max_radius, presence;
        uint32_t seed;
        Rgb dark, light;
        bool fruiting;
    };
    static const Species species[3] = {
        {3, 0.35f, 0.6f, 0.8f, 808, rgb_hex(0x7d8576), rgb_hex(0xc9cfbd), false},
        {5, 0.3f, 0.58f, 0.85f, 806, rgb_hex(0x67732a), rgb_hex(0xc3cc6c), true},
        {8, 0.22f, 0.48f, 0.5f, 807, rgb_hex(0xa84a16), rgb_hex(0xf0a23a), false},
    };
    Rgb c = rock;
    for (int k = 0; k < 3; ++k) {
        const Species& s = species[k];
        Colony col = colony_at(u, v, s.cells, s.min_radius, s.max_radius, s.presence, s.seed);
        float lobes = fbm(u, v, {4 * s.cells, 4 * s.cells, 4, 0.55f, 810u + k});
        float depth = col.depth + 0.45f * lobes;
        float shadow = 1.0f - 0.4f * smoothstep(1.07f, 1.0f, depth);
        c = scaled(c, shadow);
        if (depth >= 1.0f) continue;
        float zones = 0.5f + 0.5f * std::cos(tau * depth * 2.5f);
        Rgb body = mix(s.dark, s.light, clamp01(0.45f + 0.9f * fine + 0.15f * zones));
        body = scaled(body, 0.72f + 0.28f * areole);
        body = mix(body, scaled(s.light, 1.08f), 0.45f * smoothstep(0.8f, 0.97f, depth));
        if (s.fruiting && depth < 0.85f) {
            float disc = 0.1f + 0.08f * hash_to_unit(fruit.id);
            float d = fruit.nearest;
            if (hash_to_unit(mix_bits(fruit.id)) < 0.45f && d < disc + 0.05f) {
                Rgb apothecium = mix(rgb_hex(0x2a1a0e), rgb_hex(0x6a4322), clamp01(0.6f - d / disc * 0.6f));
                body = mix(scaled(body, 0.7f), apothecium, smoothstep(disc + 0.02f, disc - 0.02f, d));
            }
        }
        c = mix(c, body, smoothstep(1.0f, 0.97f, depth));
    }
    return c;
}

static Rgb shade_organic1(float u, float v) {
    // Warped ridged noise: tangled filaments of gas or fibre on a warm ground,
    // with detail at every scale and a wide range of brightness.
    float qx = fbm(u, v, {3, 3, 5, 0.5f, 1101}), qy = fbm(u, v, {3, 3, 5, 0.5f, 1102});
    float r = ridged(u + 0.22f * qx, v + 0.22f * qy, {4, 4, 7, 0.55f, 1103});
    float body = fbm(u + 0.1f * qy, v + 0.1f * qx, {2, 2, 5, 0.5f, 1104});
    float t = clamp01(0.2f + 1.1f * (r - 0.55f) * 2.0f + 0.9f * body);
    static const ColourStop stops[] = {
        {0.0f, rgb_hex(0x140d0a)},
        {0.35f, rgb_hex(0x5a4638)},
        {0.7f, rgb_hex(0xb49c82)},
        {1.0f, rgb_hex(0xfff2dc)},
    };
    return ramp(stops, t);
}

static Rgb shade_organic2(float u, float v) {
    // Plant-like tissue: thick cell walls, granular cytoplasm, dark nuclei.
    float wu = u + 0.012f * fbm(u, v, {6, 6, 3, 0.5f, 1201});
    float wv = v + 0.012f * fbm(u, v, {6, 6, 3, 0.5f, 1202});
    CellSample s = cellular(wu, wv, 14, 0.95f, 1203);
    float h = hash_to_unit(s.id);
    float granules = fbm(u, v, {64, 64, 3, 0.6f, 1204});
    Rgb cytoplasm = mix(rgb_hex(0xd9839f), rgb_hex(0xf7c6d4), clamp01(0.5f + 1.5f * granules + 0.3f * (h - 0.5f)));
    cytoplasm = scaled(cytoplasm, 0.8f + 0.35f * smoothstep(0.0f, 0.3f, s.border));
    float nx = s.to_x + 0.12f * (h - 0.5f), ny = s.to_y + 0.1f * (hash_to_unit(mix_bits(s.id)) - 0.5f);
    float nucleus_r = 0.13f + 0.07f * h;
    float nd = std::sqrt(nx * nx + ny * ny);
    float nucleus = 1.0f - smoothstep(nucleus_r - 0.02f, nucleus_r + 0.005f, nd);
    float chromatin = 0.75f + 0.5f * fbm(u, v, {96, 96, 2, 0.5f, 1205});
    Rgb nucleus_colour = scaled(mix(rgb_hex(0x3b1852), rgb_hex(0x7b4292), nd / nucleus_r), chromatin);
    Rgb c = mix(cytoplasm, nucleus_colour, nucleus);
    float wall = 1.0f - smoothstep(0.02f, 0.055f, s.border);
    Rgb wall_colour = mix(rgb_hex(0x6e1f48), rgb_hex(0xa0406e), smoothstep(0.0f, 0.02f, s.border));
    return mix(c, wall_colour, wall);
}

static float bark_height(float u, float v, uint32_t* plate_id) {
    float wu = u + 0.03f * fbm(u, v, {6, 3, 4, 0.5f, 1301});
    float wv = v + 0.02f * fbm(u, v, {4, 4, 3, 0.5f, 1302});
    CellSample s = cellular_grid(wu, wv, 14, 3, 0.9f, 1303);
    *plate_id = s.id;
    float plate = smoothstep(0.02f, 0.16f + 0.1f * hash_to_unit(s.id), s.border);
    float striation = fbm(u, v, {96, 6, 3, 0.5f, 1304});
    return plate * (0.8f + 0.2f * striation) + 0.05f * fbm(u, v, {48, 16, 3, 0.5f, 1305});
}

// Lambert term for a height field, given its value here and one pixel to
// the right and one pixel down; light comes from the upper left of the
// picture as stored.
static float slope_light(float height, float height_right, float height_below, float strength) {
    float nx = -(height_right - height) * strength, ny = -(height_below - height) * strength;
    float len = std::sqrt(nx * nx + ny * ny + 1.0f);
    return std::max(0.0f, (-0.5f * nx - 0.55f * ny + 0.67f) / len);
}

static Rgb shade_organic3(float u, float v) {
    // Bark: long vertical plates split by deep furrows.
    const float e = 1.0f / 1024.0f;
    uint32_t id, unused;
    float h = bark_height(u, v, &id);
    float diffuse = slope_light(h, bark_height(u + e, v, &unused), bark_height(u, v + e, &unused), 40.0f);
    float tone = fbm(u, v, {6, 3, 5, 0.55f, 1306}) + 0.25f * (hash_to_unit(id) - 0.5f);
    Rgb plate = mix(rgb_hex(0x4e4236), rgb_hex(0x9c8f7e), clamp01(0.5f + 1.3f * tone));
    plate = mix(plate, rgb_hex(0x6f7a52), 0.35f * smoothstep(0.1f, 0.4f, fbm(u, v, {5, 5, 4, 0.5f, 1307})));
    Rgb furrow = mix(rgb_hex(0x0e0805), rgb_hex(0x4a2618), clamp01(0.5f + tone));
    Rgb c = mix(furrow, plate, smoothstep(0.05f, 0.5f, h));
    return scaled(c, 0.35f + 0.85f * diffuse);
}

static Rgb shade_organic4(float u, float v) {
    // A leaf's vein network: three orders of Voronoi edges over green tissue.
    float wu = u + 0.02f * fbm(u, v, {4, 4, 4, 0.5f, 1401});
    float wv = v + 0.02f * fbm(u, v, {4, 4, 4, 0.5f, 1402});
    float b1 = cellular(wu, wv, 4, 0.9f, 1403).border;
    float b2 = cellular(wu, wv, 11, 0.9f, 1404).border;
    float b3 = cellular(wu, wv, 29, 0.9f, 1405).border;
    float vein = std::max({1.0f - smoothstep(0.0f, 0.035f, b1), 0.8f * (1.0f - smoothstep(0.0f, 0.05f, b2)),
                           0.5f * (1.0f - smoothstep(0.0f, 0.08f, b3))});
    float tissue = fbm(u, v, {5, 5, 6, 0.55f, 1406});
    static const ColourStop leaf[] = {
        {0.0f, rgb_hex(0x1d3d10)},
        {0.5f, rgb_hex(0x4f7a1c)},
        {1.0f, rgb_hex(0x9db53a)},
    };
    Rgb c = ramp(leaf, clamp01(0.5f + 1.4f * tissue));
    float puff = smoothstep(0.0f, 0.25f, b3);
    c = scaled(c, 0.8f + 0.3f * puff);
    return mix(c, rgb_hex(0xe2e89a), vein);
}

static Rgb shade_wood(float u, float v) {
    // Flat-sawn board: growth rings run along x, bent by slow noise and
    // around two knots; each ring darkens gradually into its latewood and
    // ends sharply; fine fibres and pores streak along the grain.
    const int rings = 20;
    float warp = fbm(u, v, {2, 4, 5, 0.5f, 1901});
    float t = v * rings + 2.0f * warp + 0.15f * fbm(u, v, {6, 24, 3, 0.5f, 1902});
    static const float knots[2][3] = {{0.3f, 0.35f, 0.03f}, {0.78f, 0.8f, 0.022f}};
    float knot_core = 0.0f;
    for (const auto& k : knots) {
        float dx = wrapped_offset(u - k[0], 1.0f), dy = wrapped_offset(v - k[1], 1.0f);
        float d2 = (dx * dx * 0.3f + dy * dy) / (k[2] * k[2]);
        t += 1.2f * std::exp(-d2 * 0.5f);
        knot_core = std::max(knot_core, smoothstep(0.5f, 0.2f, d2));
    }
    float ring = fract(t);
    float ring_strength = 0.6f + 0.5f * hash_to_unit(hash_cell(wrap_index((int)std::floor(t), rings), 0, 1905));
    float late = smoothstep(0.55f, 0.9f, ring) * (1.0f - smoothstep(0.95f, 1.0f, ring)) * ring_strength;
    float fibre = fbm(u, v, {3, 192, 3, 0.5f, 1903});
    float pores = smoothstep(0.25f, 0.55f, fbm(u, v, {16, 256, 2, 0.5f, 1906}));
    float broad = fbm(u, v, {3, 3, 4, 0.5f, 1904});
    static const ColourStop stops[] = {
        {0.0f, rgb_hex(0xe0ad70)},
        {0.5f, rgb_hex(0xb07640)},
        {1.0f, rgb_hex(0x5a3016)},
    };
    float tone = clamp01(0.18f + 0.55f * late + 0.25f * fibre + 0.3f * broad + 0.15f * pores + 0.7f * knot_core);
    return ramp(stops, tone);
}

// ------------------------------------------------------------------ stone and metal

// Smooth oval pebbles, one per cell of a jittered grid, each with its own
// size, elongation and heading; where they overlap the higher one shows.
// Height is in pixels so that slopes light correctly.
struct PebbleHit {
    float height;
    float nearest;  // smallest normalised radius of any pebble here; > 1 on sand
    uint32_t id;
};

static PebbleHit pebble_at(float u, float v) {
    const int cells = 10;
    const float pixels_per_cell = 512.0f / cells;
    float x = u * cells, y = v * cells;
    int ix = (int)std::floor(x), iy = (int)std::floor(y);
    PebbleHit best{0.0f, 4.0f, 0};
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            uint32_t h = hash_cell(wrap_index(ix + i, cells), wrap_index(iy + j, cells), 1503);
            float ox, oy;
            feature_offset(ix + i, iy + j, cells, cells, 0.6f, 1503, &ox, &oy);
            float dx = x - (ix + i + ox), dy = y - (iy + j + oy);
            float angle = tau * hash_to_unit(mix_bits(h));
            float ca = std::cos(angle), sa = std::sin(angle);
            float a = 0.5f + 0.14f * hash_to_unit(mix_bits(h ^ 1u));
            float b = a * (0.6f + 0.35f * hash_to_unit(mix_bits(h ^ 2u)));
            float px = (dx * ca + dy * sa) / a, py = (-dx * sa + dy * ca) / b;
            float q2 = px * px + py * py;
            best.nearest = std::min(best.nearest, q2);
            if (q2 >= 1.0f) continue;
            float height =
                (0.35f + 0.2f * hash_to_unit(mix_bits(h ^ 3u))) * b * pixels_per_cell * std::pow(1.0f - q2, 0.6f);
            if (height > best.height) {
                best.height = height;
                best.id = h;
            }
        }
    }
    return best;
}

static Rgb shade_pebbles(float u, float v) {
    const float e = 1.0f / 512.0f;
    PebbleHit p = pebble_at(u, v);
    float diffuse = slope_light(p.height, pebble_at(u + e, v).height, pebble_at(u, v + e).height, 1.0f);
    float speckle = fbm(u, v, {48, 48, 3, 0.5f, 1504});
    float albedo = 0.4f + 0.36f * hash_to_unit(p.id) + 0.07f * speckle;
    float stone = albedo * (0.18f + 0.9f * diffuse) + 0.2f * std::pow(diffuse, 30.0f);
    float sand =
        (0.2f + 0.08f * fbm(u, v, {96, 96, 2, 0.5f, 1505})) * (0.55f + 0.45f * smoothstep(1.0f, 1.6f, p.nearest));
    return grey(p.height > 0.0f ? stone : sand);
}

static float tile_height(float u, float v, int* tile_x, int* tile_y) {
    const int tiles = 4;
    float x = u * tiles + 0.03f * fbm(u, v, {8, 8, 3, 0.5f, 1601});
    float y = v * tiles + 0.03f * fbm(u, v, {8, 8, 3, 0.5f, 1602});
    *tile_x = wrap_index((int)std::floor(x), tiles);
    *tile_y = wrap_index((int)std::floor(y), tiles);
    float fx = fract(x), fy = fract(y);
    float edge = std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy)) * 128.0f;
    float chips = 3.0f * fbm(u, v, {32, 32, 3, 0.5f, 1603});
    uint32_t h = hash_cell(*tile_x, *tile_y, 1604);
    float tilt =
        0.06f * (hash_to_unit(h) - 0.5f) * (fx - 0.5f) + 0.06f * (hash_to_unit(mix_bits(h)) - 0.5f) * (fy - 0.5f);
    return smoothstep(4.0f, 11.0f, edge + chips) * (0.9f + tilt) + 0.02f * fbm(u, v, {24, 24, 4, 0.5f, 1605});
}

static Rgb shade_rock_tiles(float u, float v) {
    const float e = 1.0f / 512.0f;
    int tx, ty, unused_x, unused_y;
    float h = tile_height(u, v, &tx, &ty);
    float diffuse =
        slope_light(h, tile_height(u + e, v, &unused_x, &unused_y), tile_height(u, v + e, &unused_x, &unused_y), 3.0f);
    static const uint32_t tones[4] = {0x8a8276, 0x7a7468, 0x968b78, 0x6f6e6a};
    uint32_t th = hash_cell(tx, ty, 1606);
    Rgb stone = rgb_hex(tones[th % 4]);
    float mottling = fbm(u, v, {8, 8, 6, 0.55f, 1607});
    float flecks = 1.0f - 0.35f * (1.0f - smoothstep(0.05f, 0.25f, cellular(u, v, 90, 1.0f, 1608).nearest));
    float crack_line = 1.0f - smoothstep(0.0f, 0.012f, std::fabs(fbm(u, v, {6, 6, 5, 0.5f, 1609 + th % 7})));
    float crack = 1.0f - 0.5f * crack_line * smoothstep(0.1f, 0.25f, fbm(u, v, {3, 3, 3, 0.5f, 1611}));
    stone = scaled(stone, (0.85f + 0.5f * mottling) * flecks * crack);
    Rgb grout = scaled(rgb_hex(0x4a443c), 0.8f + 0.3f * fbm(u, v, {64, 64, 2, 0.5f, 1610}));
    Rgb c = mix(grout, stone, smoothstep(0.05f, 0.5f, h));
    return scaled(c, 0.4f + 0.8f * diffuse);
}

static Rgb shade_rusty_metal(float u, float v) {
    // Steel plate with seams along the picture's edges, rivets along the
    // seams, and rust spreading in patches and running down in streaks.
    const float size = 512.0f;
    float brushed = fbm(u, v, {2, 64, 3, 0.5f, 1701});
    Rgb steel = scaled(rgb_hex(0x8c939b), 0.85f + 0.25f * brushed + 0.15f * fbm(u, v, {4, 4, 4, 0.5f, 1702}));
    float patch = fbm(u, v, {3, 3, 6, 0.55f, 1703}) + 0.3f * fbm(u, v, {12, 12, 4, 0.5f, 1704});
    float streak = fbm(u, v, {24, 2, 3, 0.5f, 1705});
    float rust = smoothstep(-0.08f, 0.12f, patch + 0.35f * std::max(0.0f, streak));
    static const ColourStop rust_stops[] = {
        {0.0f, rgb_hex(0x3a1608)},
        {0.4f, rgb_hex(0x7e3510)},
        {0.75f, rgb_hex(0xc06a22)},
        {1.0f, rgb_hex(0xd9a05a)},
    };
    Rgb rust_colour = ramp(rust_stops, clamp01(0.5f + 1.2f * fbm(u, v, {8, 8, 5, 0.6f, 1706})));
    float pits = smoothstep(0.05f, 0.22f, cellular(u, v, 70, 1.0f, 1707).nearest);
    rust_colour = scaled(rust_colour, 0.6f + 0.4f * pits);
    Rgb c = mix(steel, rust_colour, rust);

    float seam_x = std::fabs(wrapped_offset(u, 1.0f)) * size, seam_y = std::fabs(wrapped_offset(v, 1.0f)) * size;
    float seam = std::min(seam_x, seam_y);
    c = scaled(c, 0.35f + 0.65f * smoothstep(0.5f, 2.5f, seam) +
                      0.25f * smoothstep(2.5f, 3.5f, seam) * (1.0f - smoothstep(3.5f, 5.0f, seam)));

    float spacing = 64.0f, inset = 12.0f, radius = 5.0f;
    float sx = wrapped_offset(u, 1.0f) * size, sy = wrapped_offset(v, 1.0f) * size;
    float along_x = wrapped_offset(u * size - spacing * 0.5f, spacing),
          along_y = wrapped_offset(v * size - spacing * 0.5f, spacing);
    float rivet_dx[2] = {along_x, sx - std::copysign(inset, sx)},
          rivet_dy[2] = {sy - std::copysign(inset, sy), along_y};
    for (int k = 0; k < 2; ++k) {
        float d = std::hypot(rivet_dx[k], rivet_dy[k]);
        if (d < radius + 1.5f) {
            float cover = clamp01(radius + 0.5f - d);
            float nx = rivet_dx[k] / radius, ny = rivet_dy[k] / radius;
            float nz = std::sqrt(std::max(0.0f, 1.0f - nx * nx - ny * ny));
            float lit = clamp01(-0.5f * nx - 0.55f * ny + 0.67f * nz);
            Rgb head = scaled(mix(steel, rust_colour, 0.6f * rust), 0.3f + 0.9f * lit);
            Rgb ring_shadow = scaled(c, 0.45f);
            c = mix(ring_shadow, head, cover);
        }
    }
    return c;
}

// ------------------------------------------------------------------ star field

static Rgb star_colour(float temperature) {
    static const ColourStop stops[] = {
        {0.0f, rgb_hex(0xffb27a)},
        {0.3f, rgb_hex(0xffe2b8)},
        {0.55f, rgb_hex(0xffffff)},
        {1.0f, rgb_hex(0xa9c4ff)},
    };
    return ramp(stops, temperature);
}

static void add_star(Canvas& c, float x, float y, float brightness, Rgb colour) {
    add_glow(c, x, y, 0.55f, scaled(colour, brightness));
    if (brightness > 1.2f) add_glow(c, x, y, 2.2f, scaled(colour, 0.06f * brightness));
    if (brightness > 3.0f) {
        add_glow(c, x, y, 7.0f, scaled(colour, 0.012f * brightness));
        for (int k = -24; k <= 24; ++k) {
            float fall = std::exp(-std::fabs((float)k) / 6.0f) * 0.035f * brightness;
            add_pixel(c, (int)x + k, (int)y, scaled(colour, fall));
            add_pixel(c, (int)x, (int)y + k, scaled(colour, fall));
        }
    }
}

static Image8 make_stars(int width, int height) {
    Canvas c = blank_canvas(width, height, grey(0.0f));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float u = (x + 0.5f) / width, v = (y + 0.5f) / height;
            float cloud = smoothstep(-0.05f, 0.5f, fbm(u, v, {2, 2, 7, 0.55f, 1801}));
            float lanes = smoothstep(0.55f, 0.9f, ridged(u, v, {3, 3, 5, 0.5f, 1802}));
            float hue = clamp01(0.5f + 1.5f * fbm(u, v, {3, 3, 3, 0.5f, 1803}));
            Rgb tint = mix(rgb_hex(0x3a1e6e), rgb_hex(0x1c4f7a), hue);
            canvas_at(c, x, y) = scaled(tint, 0.22f * cloud * cloud * (1.0f - 0.7f * lanes));
        }
    }
    Random r{0x57a25u};
    for (int i = 0; i < 2200; ++i) {
        float x = next_range(r, 0.0f, (float)width), y = next_range(r, 0.0f, (float)height);
        float brightness = 0.08f + 5.0f * std::pow(next_unit(r), 14.0f) + 0.5f * std::pow(next_unit(r), 3.0f);
        add_star(c, x, y, brightness, star_colour(next_unit(r)));
    }
    for (Rgb& p : c.pixels)
        p = {1.0f - std::exp(-1.4f * p.r), 1.0f - std::exp(-1.4f * p.g), 1.0f - std::exp(-1.4f * p.b)};
    return canvas_to_image(c);
}

// ------------------------------------------------------------------ city at night
//
// A stylised river-side skyline at dusk: clock tower, long riverside hall,
// domed church and an observation wheel, lit windows, lamps along the
// embankment and their reflections in the water. It repeats horizontally;
// vertically it is a single scene.

static constexpr int city_waterline = 384;

static void draw_city_sky(Canvas& c) {
    static const ColourStop stops[] = {
        {0.0f, rgb_hex(0x060a22)}, {0.45f, rgb_hex(0x191447)}, {0.75f, rgb_hex(0x47204f)},
        {0.9f, rgb_hex(0x9a3f66)}, {1.0f, rgb_hex(0xee8a58)},
    };
    for (int y = 0; y < city_waterline; ++y) {
        for (int x = 0; x < c.width; ++x) {
            float t = (y + 0.5f) / city_waterline;
            float u = (x + 0.5f) / c.width, v = (y + 0.5f) / c.height;
            float cloud = smoothstep(0.05f, 0.45f, fbm(u, v, {3, 10, 5, 0.5f, 901}));
            Rgb sky = ramp(stops, t);
            canvas_at(c, x, y) = mix(sky, scaled(ramp(stops, std::min(1.0f, t + 0.15f)), 1.1f), 0.35f * cloud * t);
        }
    }
    Random r{0xc17u};
    for (int i = 0; i < 160; ++i) {
        float x = next_range(r, 0.0f, (float)c.width), y = next_range(r, 0.0f, 230.0f);
        add_glow(c, x, y, 0.5f, scaled(star_colour(next_unit(r)), (0.2f + 0.8f * next_unit(r)) * (1.0f - y / 260.0f)));
    }
    float mx = 392.0f, my = 76.0f, mr = 19.0f;
    add_glow(c, mx, my, 28.0f, rgb_hex(0x1a1420));
    for (int y = (int)(my - mr) - 1; y <= (int)(my + mr) + 1; ++y) {
        for (int x = (int)(mx - mr) - 1; x <= (int)(mx + mr) + 1; ++x) {
            float d = std::hypot(x + 0.5f - mx, y + 0.5f - my) - mr;
            float maria = fbm((x + 0.5f) / 64.0f, (y + 0.5f) / 64.0f, {8, 8, 4, 0.5f, 902});
            Rgb moon = scaled(rgb_hex(0xf4eedc), 0.85f - 0.3f * smoothstep(0.0f, 0.3f, maria));
            blend_pixel(c, x, y, moon, coverage(d));
        }
    }
}

static void draw_windows(Canvas& c, Random& r, int x0, int x1, int top, float lit_share, float brightness) {
    static const uint32_t lamps[3] = {0xffd27a, 0xffb25c, 0xdfe8ff};
    for (int y = top + 4; y < city_waterline - 6; y += 6) {
        for (int x = x0 + 2; x < x1 - 3; x += 4) {
            if (next_unit(r) > lit_share) continue;
            Rgb lamp = scaled(rgb_hex(lamps[next_below(r, 3)]), brightness * (0.5f + 0.5f * next_unit(r)));
            fill_rect(c, x, y, x + 2, y + 3, lamp);
        }
    }
}

static void draw_building_row(Canvas& c, Random& r, int min_h, int max_h, Rgb colour, float lit_share,
                              float brightness) {
    for (int x = 0; x < c.width;) {
        int w = 12 + next_below(r, 26), h = min_h + next_below(r, max_h - min_h);
        int top = city_waterline - h;
        fill_rect(c, x, top, x + w, city_waterline, colour);
        if (next_unit(r) < 0.3f) fill_rect(c, x + w / 2 - 1, top - 8, x + w / 2 + 1, top, colour);
        draw_windows(c, r, x, x + w, top, lit_share, brightness);
        x += w + next_below(r, 3);
    }
}

static void draw_clock_tower(Canvas& c, Rgb colour) {
    fill_rect(c, 36, 186, 58, city_waterline, colour);
    fill_rect(c, 33, 150, 61, 188, colour);
    for (int k = 0; k < 14; ++k) fill_rect(c, 47 - 13 + k, 150 - 3 * k, 47 + 14 - k, 150 - 3 * k + 3, colour);
    draw_line(c, 47.0f, 110.0f, 47.0f, 96.0f, 0.8f, colour, 1.0f);
    float cx = 47.0f, cy = 168.0f;
    add_glow(c, cx, cy, 9.0f, scaled(rgb_hex(0xffc870), 0.35f));
    draw_disc(c, cx, cy, 9.0f, rgb_hex(0xfff0c0), 1.0f);
    draw_ring(c, cx, cy, 9.0f, 0.8f, colour, 1.0f);
    draw_line(c, cx, cy, cx + 0.5f, cy - 6.5f, 0.7f, colour, 1.0f);
    draw_line(c, cx, cy, cx + 4.5f, cy + 1.5f, 0.8f, colour, 1.0f);
    Random r{0x70e7u};
    draw_windows(c, r, 38, 57, 190, 0.25f, 0.8f);
}

static void draw_riverside_hall(Canvas& c, Rgb colour) {
    fill_rect(c, 58, 316, 232, city_waterline, colour);
    for (int x = 62; x < 230; x += 14) {
        fill_rect(c, x, 298, x + 4, 316, colour);
        draw_line(c, x + 2.0f, 298.0f, x + 2.0f, 291.0f, 1.0f, colour, 1.0f);
    }
    Random r{0x4a11u};
    draw_windows(c, r, 58, 232, 318, 0.55f, 0.9f);
}

static void draw_domed_church(Canvas& c, Rgb colour) {
    fill_rect(c, 276, 326, 364, city_waterline, colour);
    fill_rect(c, 292, 300, 348, 326, colour);
    for (int x = 295; x < 346; x += 6) fill_rect(c, x, 304, x + 2, 322, scaled(rgb_hex(0xffc878), 0.55f));
    for (int y = 262; y <= 300; ++y) {
        for (int x = 288; x <= 352; ++x) {
            float dx = (x + 0.5f - 320.0f) / 29.0f, dy = (y + 0.5f - 300.0f) / 34.0f;
            float d = (std::sqrt(dx * dx + dy * dy) - 1.0f) * 29.0f;
            blend_pixel(c, x, y, colour, coverage(d));
        }
    }
    fill_rect(c, 316, 256, 324, 268, colour);
    draw_line(c, 320.0f, 256.0f, 320.0f, 242.0f, 0.9f, colour, 1.0f);
    draw_line(c, 315.0f, 248.0f, 325.0f, 248.0f, 0.9f, colour, 1.0f);
    Random r{0xd0eu};
    draw_windows(c, r, 276, 364, 330, 0.45f, 0.85f);
}

static void draw_wheel(Canvas& c, Rgb colour) {
    float cx = 444.0f, cy = 262.0f, radius = 90.0f;
    draw_line(c, cx, cy, cx - 42.0f, (float)city_waterline, 2.2f, colour, 1.0f);
    draw_line(c, cx, cy, cx + 42.0f, (float)city_waterline, 2.2f, colour, 1.0f);
    Rgb steel = rgb_hex(0x8fa0d8);
    for (int k = 0; k < 28; ++k) {
        float a = tau * k / 28.0f;
        draw_line(c, cx, cy, cx + radius * std::cos(a), cy + radius * std::sin(a), 0.45f, steel, 0.45f);
    }
    draw_ring(c, cx, cy, radius, 1.4f, steel, 0.9f);
    draw_ring(c, cx, cy, radius - 6.0f, 0.7f, steel, 0.6f);
    for (int k = 0; k < 32; ++k) {
        float a = tau * (k + 0.5f) / 32.0f;
        float px = cx + (radius + 3.0f) * std::cos(a), py = cy + (radius + 3.0f) * std::sin(a);
        add_glow(c, px, py, 3.0f, scaled(rgb_hex(0x6fd8ff), 0.25f));
        draw_disc(c, px, py, 2.4f, rgb_hex(0xc8f4ff), 1.0f);
    }
    draw_disc(c, cx, cy, 6.0f, colour, 1.0f);
    draw_ring(c, cx, cy, 6.0f, 0.8f, steel, 0.8f);
}

static void draw_embankment(Canvas& c) {
    Rgb wall = rgb_hex(0x0b0812);
    fill_rect(c, 0, city_waterline - 8, c.width, city_waterline, wall);
    for (int x = 8; x < c.width; x += 24) {
        fill_rect(c, x, city_waterline - 22, x + 1, city_waterline - 8, wall);
        add_glow(c, x + 0.5f, city_waterline - 23.0f, 7.0f, scaled(rgb_hex(0xffa040), 0.18f));
        add_glow(c, x + 0.5f, city_waterline - 23.0f, 1.6f, scaled(rgb_hex(0xfff0c0), 1.6f));
    }
}

static void draw_river(Canvas& c) {
    // Each water row mirrors a row of the scene closer to the waterline the
    // nearer it is, so lights stretch into long vertical streaks; rows sway
    // sideways with slow, growing ripples.
    for (int y = city_waterline; y < c.height; ++y) {
        float depth = (float)(y - city_waterline);
        for (int x = 0; x < c.width; ++x) {
            float u = (x + 0.5f) / c.width, v = (y + 0.5f) / c.height;
            float ripple = (0.3f + depth / 40.0f) * 5.0f * fbm(u, v, {2, 24, 2, 0.5f, 903});
            int sx = x + (int)std::lround(ripple);
            int sy = city_waterline - 1 - (int)(depth * 0.3f);
            Rgb sum{0.0f, 0.0f, 0.0f};
            for (int k = 0; k < 6; ++k) sum = added(sum, canvas_get(c, sx, std::max(0, sy - k)));
            float shimmer = 0.55f + 0.8f * std::max(0.0f, fbm(u, v, {6, 48, 2, 0.5f, 905}) + 0.2f);
            Rgb reflected = multiplied(scaled(sum, 0.5f / 6.0f * shimmer), rgb_hex(0xc8d4ff));
            canvas_at(c, x, y) = added(reflected, rgb_hex(0x03050d));
        }
    }
}

static Image8 make_london(int width, int height) {
    Canvas c = blank_canvas(width, height, grey(0.0f));
    draw_city_sky(c);
    Random far{0xfa2u}, near{0x2ea2u};
    draw_building_row(c, far, 40, 130, rgb_hex(0x1d1530), 0.12f, 0.45f);
    draw_building_row(c, near, 20, 70, rgb_hex(0x0f0b1a), 0.3f, 0.8f);
    Rgb landmark = rgb_hex(0x0a0712);
    draw_clock_tower(c, landmark);
    draw_riverside_hall(c, landmark);
    draw_domed_church(c, landmark);
    draw_wheel(c, landmark);
    draw_embankment(c);
    draw_river(c);
    return canvas_to_image(c);
}

// ------------------------------------------------------------------ encoders

[[noreturn]] static void on_png_error(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng: %s\n", message);
    std::exit(1);
}

static void on_png_warning(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng warning: %s\n", message);
}

[[noreturn]] static void on_jpeg_error(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    std::fprintf(stderr, "libjpeg: %s\n", message);
    std::exit(1);
}

// Two 4-bit palette indices per byte, the left pixel in the high nibble.
static std::vector<uint8_t> packed_nibble_row(const Image8& img, int y) {
    std::vector<uint8_t> row((img.width + 1) / 2, 0);
    for (int x = 0; x < img.width; ++x) {
        uint8_t index = img.samples[(size_t)y * img.width + x] & 15;
        row[x / 2] |= (x % 2 == 0) ? (uint8_t)(index << 4) : index;
    }
    return row;
}

static void set_png_palette(png_structp png, png_infop info, const Image8& img) {
    int entries = (int)img.palette.size() / 4;
    png_color colours[256];
    png_byte alpha[256];
    int transparent_entries = 0;
    for (int i = 0; i < entries; ++i) {
        colours[i] = {img.palette[4 * i], img.palette[4 * i + 1], img.palette[4 * i + 2]};
        alpha[i] = img.palette[4 * i + 3];
        if (alpha[i] != 255) transparent_entries = i + 1;
    }
    png_set_PLTE(png, info, colours, entries);
    if (transparent_entries > 0) png_set_tRNS(png, info, alpha, transparent_entries, nullptr);
}

static int png_colour_type(const Image8& img) {
    if (!img.palette.empty()) return PNG_COLOR_TYPE_PALETTE;
    if (img.channels == 1) return PNG_COLOR_TYPE_GRAY;
    return img.channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA;
}

static bool write_png(const std::string& path, const Image8& img) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_png_error, on_png_warning);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_compression_level(png, 9);
    bool palette = !img.palette.empty();
    png_set_IHDR(png, info, img.width, img.height, palette ? 4 : 8, png_colour_type(img), PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (palette) set_png_palette(png, info, img);
    png_write_info(png, info);
    for (int y = 0; y < img.height; ++y) {
        if (palette) {
            std::vector<uint8_t> row = packed_nibble_row(img, y);
            png_write_row(png, row.data());
        } else {
            png_write_row(png, &img.samples[(size_t)y * img.width * img.channels]);
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

enum class JpegForm { baseline, progressive, baseline_with_restarts };

static bool write_jpeg(const std::string& path, const Image8& img, JpegForm form, int quality, bool full_chroma) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    errors.error_exit = on_jpeg_error;
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = (JDIMENSION)img.width;
    cinfo.image_height = (JDIMENSION)img.height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;
    if (full_chroma) cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    if (form == JpegForm::progressive) jpeg_simple_progression(&cinfo);
    if (form == JpegForm::baseline_with_restarts) cinfo.restart_in_rows = 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&img.samples[(size_t)cinfo.next_scanline * img.width * 3]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

// ------------------------------------------------------------------ the table

enum class Stored { png_grey, png_rgb, png_rgba, png_palette4, jpeg_baseline, jpeg_progressive, jpeg_restarts };

struct BuiltinImage {
    const char* name;
    Stored stored;
    int width;
    int height;
    Image8 (*make)(int width, int height);
    int jpeg_quality;
    bool full_chroma;
    bool tiles;  // must repeat seamlessly in both directions
};

template <Rgb (*Shade)(float, float)>
static Image8 rendered(int width, int height) {
    return render_rgb(width, height, Shade);
}

static Image8 make_pebbles(int width, int height) {
    Image8 rgb = render_rgb(width, height, shade_pebbles);
    Image8 img = blank_image(width, height, 1);
    for (size_t i = 0; i < img.samples.size(); ++i) img.samples[i] = rgb.samples[i * 3];
    return img;
}

// Order and names are those of the player's built-in image table.
static const BuiltinImage builtin_images[] = {
    {"rgba_noise.png", Stored::png_rgb, 256, 256, make_rgba_noise, 0, false, true},
    {"gray_noise.png", Stored::png_grey, 256, 256, make_gray_noise, 0, false, true},
    {"blue_noise.png", Stored::png_rgb, 256, 256, make_blue_noise, 0, false, true},
    {"abstract1.jpg", Stored::jpeg_progressive, 1024, 1024, rendered<shade_abstract1>, 88, false, true},
    {"abstract2.jpg", Stored::jpeg_progressive, 512, 512, rendered<shade_abstract2>, 88, false, true},
    {"abstract3.jpg", Stored::jpeg_baseline, 1024, 1024, rendered<shade_abstract3>, 88, false, true},
    {"bayer.png", Stored::png_grey, 8, 8, make_bayer, 0, false, true},
    {"font1.png", Stored::png_rgba, 1024, 1024, make_font, 0, false, false},
    {"lichen.jpg", Stored::jpeg_progressive, 1024, 1024, rendered<shade_lichen>, 86, false, true},
    {"london.jpg", Stored::jpeg_restarts, 512, 512, make_london, 88, false, false},
    {"nyancat.png", Stored::png_palette4, 256, 32, make_nyancat, 0, false, false},
    {"organic1.jpg", Stored::jpeg_progressive, 1024, 1024, rendered<shade_organic1>, 86, false, true},
    {"organic2.jpg", Stored::jpeg_progressive, 1024, 1024, rendered<shade_organic2>, 86, false, true},
    {"organic3.jpg", Stored::jpeg_baseline, 1024, 1024, rendered<shade_organic3>, 86, false, true},
    {"organic4.jpg", Stored::jpeg_baseline, 1024, 1024, rendered<shade_organic4>, 86, false, true},
    {"pebbles.png", Stored::png_grey, 512, 512, make_pebbles, 0, false, true},
    {"rock_tiles.jpg", Stored::jpeg_baseline, 512, 512, rendered<shade_rock_tiles>, 88, false, true},
    {"rusty_metal.jpg", Stored::jpeg_baseline, 512, 512, rendered<shade_rusty_metal>, 88, false, true},
    {"stars.jpg", Stored::jpeg_baseline, 512, 512, make_stars, 90, true, true},
    {"wood.jpg", Stored::jpeg_progressive, 1024, 1024, rendered<shade_wood>, 86, false, true},
};

static bool is_png(Stored s) {
    return s == Stored::png_grey || s == Stored::png_rgb || s == Stored::png_rgba || s == Stored::png_palette4;
}

static JpegForm jpeg_form(Stored s) {
    if (s == Stored::jpeg_progressive) return JpegForm::progressive;
    return s == Stored::jpeg_restarts ? JpegForm::baseline_with_restarts : JpegForm::baseline;
}

static bool write_image(const std::string& path, const BuiltinImage& entry, const Image8& img) {
    if (is_png(entry.stored)) return write_png(path, img);
    return write_jpeg(path, img, jpeg_form(entry.stored), entry.jpeg_quality, entry.full_chroma);
}

// ------------------------------------------------------------------ checks

static std::vector<uint8_t> read_file(const std::string& path) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(file);
    return bytes;
}

static uint32_t big_endian(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

struct PngHeader {
    bool valid = false;
    int width = 0, height = 0, depth = 0, colour_type = -1, interlace = -1;
    int palette_entries = 0;
    bool has_transparency = false;
};

static PngHeader parse_png(const std::vector<uint8_t>& b) {
    static const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    PngHeader h;
    if (b.size() < 33 || std::memcmp(b.data(), signature, 8) != 0 || std::memcmp(&b[12], "IHDR", 4) != 0) return h;
    h.valid = true;
    h.width = (int)big_endian(&b[16], 4);
    h.height = (int)big_endian(&b[20], 4);
    h.depth = b[24];
    h.colour_type = b[25];
    h.interlace = b[28];
    for (size_t pos = 8; pos + 12 <= b.size();) {
        uint32_t length = big_endian(&b[pos], 4);
        const uint8_t* type = &b[pos + 4];
        if (std::memcmp(type, "PLTE", 4) == 0) h.palette_entries = (int)(length / 3);
        if (std::memcmp(type, "tRNS", 4) == 0) h.has_transparency = true;
        pos += 12 + (size_t)length;
    }
    return h;
}

struct JpegHeader {
    bool valid = false;
    int frame_marker = 0;  // 0xC0 baseline, 0xC2 progressive
    int precision = 0, width = 0, height = 0, components = 0;
    int restart_interval = 0;
};

// Walks the marker segments up to the first scan, where libjpeg has put both
// the frame header and any restart interval.
static JpegHeader parse_jpeg(const std::vector<uint8_t>& b) {
    JpegHeader h;
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return h;
    size_t pos = 2;
    while (pos + 4 <= b.size() && b[pos] == 0xFF) {
        uint8_t marker = b[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        size_t length = big_endian(&b[pos + 2], 2);
        const uint8_t* body = &b[pos + 4];
        if (marker == 0xDA) {
            h.valid = h.frame_marker != 0;
            return h;
        }
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            h.frame_marker = marker;
            h.precision = body[0];
            h.height = (int)big_endian(body + 1, 2);
            h.width = (int)big_endian(body + 3, 2);
            h.components = body[5];
        }
        if (marker == 0xDD) h.restart_interval = (int)big_endian(body, 2);
        pos += 2 + length;
    }
    return h;
}

static std::string check_png_form(const std::vector<uint8_t>& bytes, const BuiltinImage& e) {
    PngHeader h = parse_png(bytes);
    if (!h.valid) return "not a PNG";
    if (h.width != e.width || h.height != e.height) return "IHDR size differs";
    if (h.interlace != 0) return "interlaced";
    static const struct {
        Stored stored;
        int colour_type, depth;
    } forms[] = {
        {Stored::png_grey, 0, 8}, {Stored::png_rgb, 2, 8}, {Stored::png_rgba, 6, 8}, {Stored::png_palette4, 3, 4}};
    for (const auto& f : forms) {
        if (f.stored != e.stored) continue;
        if (h.colour_type != f.colour_type || h.depth != f.depth)
            return "colour type " + std::to_string(h.colour_type) + " depth " + std::to_string(h.depth);
    }
    if (e.stored == Stored::png_palette4 && (!h.has_transparency || h.palette_entries > 16))
        return "palette without tRNS or with more than 16 entries";
    return "";
}

static std::string check_jpeg_form(const std::vector<uint8_t>& bytes, const BuiltinImage& e) {
    JpegHeader h = parse_jpeg(bytes);
    if (!h.valid) return "not a JPEG";
    if (h.width != e.width || h.height != e.height || h.precision != 8 || h.components != 3)
        return "frame header differs";
    int wanted = e.stored == Stored::jpeg_progressive ? 0xC2 : 0xC0;
    if (h.frame_marker != wanted) return "frame marker " + std::to_string(h.frame_marker);
    if ((e.stored == Stored::jpeg_restarts) != (h.restart_interval > 0))
        return "restart interval " + std::to_string(h.restart_interval);
    return "";
}

static std::string describe_form(const std::vector<uint8_t>& bytes, const BuiltinImage& e) {
    if (is_png(e.stored)) {
        PngHeader h = parse_png(bytes);
        static const char* types[] = {"grey", "?", "RGB", "palette", "grey+alpha", "?", "RGBA"};
        std::string s = std::string("PNG ") + (h.colour_type >= 0 && h.colour_type <= 6 ? types[h.colour_type] : "?") +
                        " " + std::to_string(h.depth) + "-bit";
        if (h.has_transparency) s += " tRNS";
        return s;
    }
    JpegHeader h = parse_jpeg(bytes);
    std::string s = h.frame_marker == 0xC2 ? "JPEG SOF2 progressive" : "JPEG SOF0 baseline";
    if (h.restart_interval > 0) s += " DRI " + std::to_string(h.restart_interval);
    return s;
}

struct Decoded {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

static Decoded decode(const std::vector<uint8_t>& bytes, bool flip_like_upload) {
    Decoded d;
    stbi_set_flip_vertically_on_load(flip_like_upload ? 1 : 0);
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes.data(), (int)bytes.size(), &d.width, &d.height, &channels, 4);
    stbi_set_flip_vertically_on_load(0);
    if (pixels) {
        d.rgba.assign(pixels, pixels + (size_t)d.width * d.height * 4);
        stbi_image_free(pixels);
    }
    return d;
}

static const uint8_t* texel(const Decoded& d, int x, int y) {
    return &d.rgba[((size_t)wrap_index(y, d.height) * d.width + wrap_index(x, d.width)) * 4];
}

static float texel_step(const Decoded& d, int x0, int y0, int x1, int y1) {
    const uint8_t* a = texel(d, x0, y0);
    const uint8_t* b = texel(d, x1, y1);
    return (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2])) / 3.0f;
}

// Mean step across the wrap-around seam divided by the mean step across the
// nearby boundaries that sit at the same phase of the 8x8 JPEG block grid:
// about 1 where the picture continues smoothly over its edge, several times
// that where the edges do not meet.
static float seam_ratio(const Decoded& d, bool across_columns) {
    int count = across_columns ? d.height : d.width;
    int span = across_columns ? d.width : d.height;
    auto boundary_step = [&](int k) {
        double sum = 0.0;
        for (int i = 0; i < count; ++i)
            sum += across_columns ? texel_step(d, k, i, k + 1, i) : texel_step(d, i, k, i, k + 1);
        return sum / count;
    };
    if (span < 64) return 1.0f;
    double seam = boundary_step(span - 1);
    double nearby = (boundary_step(span - 9) + boundary_step(span - 17) + boundary_step(7) + boundary_step(15)) / 4.0;
    return (float)((seam + 1e-3) / (nearby + 1e-3));
}

// The texture-space relation that the value-noise trick relies on, on the
// picture as the loader uploads it (flipped, row 0 at the bottom).
static std::string check_noise_shift(const std::vector<uint8_t>& bytes) {
    Decoded d = decode(bytes, true);
    for (int y = 0; y < d.height; ++y)
        for (int x = 0; x < d.width; ++x)
            if (texel(d, x + noise_shift_x, y + noise_shift_y)[1] != texel(d, x, y)[0] || texel(d, x, y)[3] != 255)
                return "G(x+37, y+17) != R(x, y) in texture space";
    return "";
}

static std::string check_flat_histograms(const std::vector<uint8_t>& bytes) {
    Decoded d = decode(bytes, false);
    for (int c = 0; c < 3; ++c) {
        int counts[256] = {};
        for (size_t i = 0; i < d.rgba.size(); i += 4) ++counts[d.rgba[i + c]];
        for (int v = 0; v < 256; ++v)
            if (counts[v] != (int)(d.rgba.size() / 4 / 256))
                return "channel " + std::to_string(c) + " histogram not flat";
    }
    return "";
}

static std::string check_bayer(const std::vector<uint8_t>& bytes) {
    Decoded d = decode(bytes, false);
    std::vector<int> seen(64, 0);
    for (size_t i = 0; i < d.rgba.size(); i += 4) {
        int v = d.rgba[i];
        if (v % 4 != 2 || d.rgba[i + 1] != v || d.rgba[i + 3] != 255) return "unexpected value";
        ++seen[v / 4];
    }
    for (int s : seen)
        if (s != 1) return "value repeated";
    return "";
}

static std::string check_sprite_alpha(const std::vector<uint8_t>& bytes) {
    Decoded d = decode(bytes, false);
    int clear = 0, partial = 0, opaque = 0;
    for (size_t i = 3; i < d.rgba.size(); i += 4) {
        clear += d.rgba[i] == 0;
        opaque += d.rgba[i] == 255;
        partial += d.rgba[i] != 0 && d.rgba[i] != 255;
    }
    return clear > 0 && opaque > 0 && partial > 0 ? "" : "palette alpha lost";
}

static std::string check_font_cells(const std::vector<uint8_t>& bytes) {
    Decoded d = decode(bytes, false);
    for (int code = 0; code < 256; ++code) {
        int inked = 0, border = 0;
        for (int y = 0; y < font_cell; ++y) {
            for (int x = 0; x < font_cell; ++x) {
                uint8_t a =
                    d.rgba[((size_t)((code / 16) * font_cell + y) * d.width + (code % 16) * font_cell + x) * 4 + 3];
                inked += a >= 128;
                if (x == 0 || y == 0 || x == font_cell - 1 || y == font_cell - 1) border = std::max(border, (int)a);
            }
        }
        bool printable = code > 32 && code < 127;
        if (printable != (inked > 0)) return "cell " + std::to_string(code) + (printable ? " is empty" : " has ink");
        if (border > 8) return "cell " + std::to_string(code) + " reaches its border";
    }
    return "";
}

static std::string check_content(const std::vector<uint8_t>& bytes, const BuiltinImage& e) {
    std::string name = e.name;
    if (name == "rgba_noise.png") return check_noise_shift(bytes);
    if (name == "blue_noise.png") return check_flat_histograms(bytes);
    if (name == "bayer.png") return check_bayer(bytes);
    if (name == "nyancat.png") return check_sprite_alpha(bytes);
    if (name == "font1.png") return check_font_cells(bytes);
    return "";
}

static bool check_image(const std::string& dir, const BuiltinImage& e, size_t* total_bytes) {
    std::vector<uint8_t> bytes = read_file(dir + "/" + e.name);
    std::string problem;
    Decoded d;
    if (bytes.empty()) {
        problem = "missing";
    } else {
        d = decode(bytes, false);
        if (d.rgba.empty())
            problem = std::string("stb_image: ") + stbi_failure_reason();
        else if (d.width != e.width || d.height != e.height)
            problem = "decodes to " + std::to_string(d.width) + "x" + std::to_string(d.height);
    }
    if (problem.empty()) problem = is_png(e.stored) ? check_png_form(bytes, e) : check_jpeg_form(bytes, e);
    if (problem.empty()) problem = check_content(bytes, e);
    char seams[64] = "";
    if (problem.empty()) {
        float across = seam_ratio(d, true), down = seam_ratio(d, false);
        std::snprintf(seams, sizeof seams, "seams %.2f %.2f", across, down);
        if (e.tiles && (across > 2.0f || down > 2.0f)) problem = "does not tile";
    }
    *total_bytes += bytes.size();
    std::printf("%-16s %8zu  %4dx%-4d  %-30s %-18s %s\n", e.name, bytes.size(), d.width, d.height,
                bytes.empty() ? "" : describe_form(bytes, e).c_str(), seams, problem.empty() ? "ok" : problem.c_str());
    return problem.empty();
}

// ------------------------------------------------------------------ main

static double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

static bool selected(const BuiltinImage& e, const std::vector<std::string>& names) {
    return names.empty() || std::find(names.begin(), names.end(), e.name) != names.end();
}

static bool generate(const std::string& dir, const std::vector<std::string>& names) {
    for (const BuiltinImage& e : builtin_images) {
        if (!selected(e, names)) continue;
        auto start = std::chrono::steady_clock::now();
        Image8 img = e.make(e.width, e.height);
        if (!write_image(dir + "/" + e.name, e, img)) {
            std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), e.name);
            return false;
        }
        std::printf("made %-16s in %6.2f s\n", e.name, seconds_since(start));
        std::fflush(stdout);
    }
    return true;
}

static bool check(const std::string& dir, const std::vector<std::string>& names) {
    size_t total = 0;
    int failures = 0, checked = 0;
    for (const BuiltinImage& e : builtin_images) {
        if (!selected(e, names)) continue;
        ++checked;
        failures += check_image(dir, e, &total) ? 0 : 1;
    }
    std::printf("%d images, %zu bytes (%.2f MiB), %d failed\n", checked, total, total / 1048576.0, failures);
    return failures == 0 && checked > 0;
}

int main(int argc, char** argv) {
    int first = 1;
    bool check_only = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    if (check_only) ++first;
    if (argc <= first) {
        std::fprintf(stderr, "usage: make_images [--check] OUT_DIR [NAME...]\n");
        return 2;
    }
    std::string dir = argv[first];
    std::vector<std::string> names(argv + first + 1, argv + argc);
    auto start = std::chrono::steady_clock::now();
    if (!check_only) {
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        if (error || !generate(dir, names)) return 1;
    }
    bool ok = check(dir, names);
    std::printf("%.2f s\n", seconds_since(start));
    return ok ? 0 : 1;
}

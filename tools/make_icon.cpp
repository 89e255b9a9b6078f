// make_icon: draws Lumenfold's application icon, a glowing disc inside a
// bright ring on a dark badge, the motif of the built-in wallpaper, and
// writes it as one Windows .ico holding four 32-bit images: 256x256 stored
// as PNG, 48x48, 32x32 and 16x16 stored as classic BMP (BITMAPINFOHEADER with
// doubled height, BGRA rows bottom-up, then the 1-bit AND mask).
//
//   make_icon OUT_DIR     writes OUT_DIR/lumenfold.ico, then reads it back
//
// Every size is drawn afresh rather than scaled down, with strokes that
// never get thinner than about a pixel and a half, so the ring and the disc
// stay apart even at 16x16 in the notification area.

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

static constexpr float pi = 3.14159265358979f;

static float clamp01(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

static float lerp(float a, float b, float t) { return a + (b - a) * t; }

static float smoothstep(float edge0, float edge1, float x) {
    float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

// Premultiplied colour with coverage.
struct Rgba {
    float r, g, b, a;
};

static Rgba premultiplied(float r, float g, float b, float a) { return {r * a, g * a, b * a, a}; }

static Rgba over(Rgba top, Rgba under) {
    float k = 1.0f - top.a;
    return {top.r + under.r * k, top.g + under.g * k, top.b + under.b * k, top.a + under.a * k};
}

static Rgba lighten(Rgba base, float r, float g, float b, float amount) {
    // Additive light: brightens without adding coverage beyond what is lit.
    return {base.r + r * amount, base.g + g * amount, base.b + b * amount, std::min(1.0f, base.a + amount * 0.6f)};
}

struct IconStyle {
    int size;
    float ring_radius;
    float ring_half_width;
    float core_radius;
    float glow_width;  // of the halo outside the ring
    int samples;       // per axis, for anti-aliasing
};

// Hand-tuned per size: at 16 pixels the halo would only blur the ring, so it
// is nearly gone and the strokes are relatively heavier.
static const IconStyle icon_styles[4] = {
    {256, 92.0f, 10.0f, 40.0f, 22.0f, 4},
    {48, 16.8f, 2.8f, 7.8f, 3.6f, 8},
    {32, 11.2f, 2.2f, 5.4f, 2.2f, 8},
    {16, 5.5f, 1.45f, 2.6f, 0.8f, 8},
};

struct Colour {
    float r, g, b;
};

static Colour mix(Colour a, Colour b, float t) { return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)}; }

// Gold at the upper left, through rose, to violet at the lower right, as if
// lit from one side while it turns.
static Colour ring_colour(float angle) {
    const Colour gold{1.0f, 0.80f, 0.38f}, rose{1.0f, 0.42f, 0.62f}, violet{0.58f, 0.38f, 1.0f};
    float t = 0.5f + 0.5f * std::cos(angle - 0.75f * pi);  // 1 towards the upper left
    return t > 0.5f ? mix(rose, gold, (t - 0.5f) * 2.0f) : mix(violet, rose, t * 2.0f);
}

static Rgba shade_icon(float x, float y, const IconStyle& s) {
    float half = s.size * 0.5f;
    float dx = x - half, dy = half - y;  // y up
    float r = std::sqrt(dx * dx + dy * dy);
    float angle = std::atan2(dy, dx);
    float pixel = 1.0f;

    Rgba c{0.0f, 0.0f, 0.0f, 0.0f};

    float outside = r - s.ring_radius;
    float halo =
        std::exp(-(outside * outside) / (s.glow_width * s.glow_width)) * smoothstep(half, half - 2.0f * pixel, r);
    Colour hc = ring_colour(angle);
    c = over(premultiplied(hc.r, hc.g, hc.b, 0.55f * halo), c);

    float badge = clamp01(s.ring_radius - r + 0.5f);
    c = over(premultiplied(0.08f, 0.04f, 0.17f, 0.95f * badge), c);

    float inner_glow =
        std::exp(-std::pow((r - s.core_radius) / (0.45f * (s.ring_radius - s.core_radius)), 2.0f)) * badge;
    c = lighten(c, 1.0f, 0.5f, 0.25f, 0.35f * inner_glow * (r > s.core_radius ? 1.0f : 0.0f));

    float across = std::fabs(r - s.ring_radius);
    float ring_cover = clamp01(s.ring_half_width - across + 0.5f);
    float hot = 1.0f - smoothstep(0.0f, s.ring_half_width, across);
    float sheen = 0.85f + 0.15f * std::cos(3.0f * angle);
    Colour rc = ring_colour(angle);
    rc =
        mix(Colour{rc.r * sheen, rc.g * sheen, rc.b * sheen}, Colour{1.0f, 0.97f, 0.92f}, 0.4f * hot * hot * hot * hot);
    c = over(premultiplied(rc.r, rc.g, rc.b, ring_cover), c);

    float core_cover = clamp01(s.core_radius - r + 0.5f);
    float heat = clamp01(r / s.core_radius);
    Colour core = mix(Colour{1.0f, 0.98f, 0.9f}, Colour{1.0f, 0.62f, 0.22f}, heat * heat);
    c = over(premultiplied(core.r, core.g, core.b, core_cover), c);
    return c;
}

// Straight (not premultiplied) RGBA bytes, rows top to bottom.
static std::vector<uint8_t> render_icon(const IconStyle& s) {
    std::vector<uint8_t> rgba((size_t)s.size * s.size * 4);
    int n = s.samples;
    for (int y = 0; y < s.size; ++y) {
        for (int x = 0; x < s.size; ++x) {
            Rgba sum{0.0f, 0.0f, 0.0f, 0.0f};
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    Rgba c = shade_icon(x + (i + 0.5f) / n, y + (j + 0.5f) / n, s);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b, sum.a + c.a};
                }
            }
            float k = 1.0f / (n * n);
            float a = clamp01(sum.a * k);
            uint8_t* p = &rgba[((size_t)y * s.size + x) * 4];
            float unmultiply = a > 0.0f ? k / a : 0.0f;
            p[0] = (uint8_t)std::lround(clamp01(sum.r * unmultiply) * 255.0f);
            p[1] = (uint8_t)std::lround(clamp01(sum.g * unmultiply) * 255.0f);
            p[2] = (uint8_t)std::lround(clamp01(sum.b * unmultiply) * 255.0f);
            p[3] = (uint8_t)std::lround(a * 255.0f);
            if (p[3] == 0) p[0] = p[1] = p[2] = 0;
        }
    }
    return rgba;
}

// ------------------------------------------------------------------ encoding

static void put_u16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((uint8_t)(v & 255));
    out.push_back((uint8_t)((v >> 8) & 255));
}

static void put_u32(std::vector<uint8_t>& out, uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

static uint32_t get_u16(const std::vector<uint8_t>& b, size_t at) { return b[at] | (uint32_t)b[at + 1] << 8; }

static uint32_t get_u32(const std::vector<uint8_t>& b, size_t at) { return get_u16(b, at) | get_u16(b, at + 2) << 16; }

[[noreturn]] static void on_png_error(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng: %s\n", message);
    std::exit(1);
}

static void on_png_warning(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng warning: %s\n", message);
}

static void append_png_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

static void flush_nothing(png_structp) {}

static std::vector<uint8_t> encode_png(const std::vector<uint8_t>& rgba, int size) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_png_error, on_png_warning);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, append_png_bytes, flush_nothing);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y) png_write_row(png, &rgba[(size_t)y * size * 4]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

static size_t mask_row_bytes(int size) { return (size_t)((size + 31) / 32) * 4; }

// The AND mask marks fully transparent pixels; 32-bit icons take their
// transparency from alpha, but older consumers still read the mask.
static std::vector<uint8_t> encode_bmp(const std::vector<uint8_t>& rgba, int size) {
    std::vector<uint8_t> out;
    size_t mask_bytes = mask_row_bytes(size) * size;
    put_u32(out, 40);
    put_u32(out, (uint32_t)size);
    put_u32(out, (uint32_t)size * 2);
    put_u16(out, 1);
    put_u16(out, 32);
    put_u32(out, 0);
    put_u32(out, (uint32_t)((size_t)size * size * 4 + mask_bytes));
    put_u32(out, 0);
    put_u32(out, 0);
    put_u32(out, 0);
    put_u32(out, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const uint8_t* p = &rgba[((size_t)y * size + x) * 4];
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(mask_row_bytes(size), 0);
        for (int x = 0; x < size; ++x)
            if (rgba[((size_t)y * size + x) * 4 + 3] == 0) row[x / 8] |= (uint8_t)(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

static std::vector<uint8_t> build_ico(const std::vector<std::vector<uint8_t>>& images) {
    std::vector<uint8_t> out;
    put_u16(out, 0);
    put_u16(out, 1);
    put_u16(out, (uint32_t)images.size());
    uint32_t offset = (uint32_t)(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        int size = icon_styles[i].size;
        out.push_back((uint8_t)(size >= 256 ? 0 : size));
        out.push_back((uint8_t)(size >= 256 ? 0 : size));
        out.push_back(0);
        out.push_back(0);
        put_u16(out, 1);
        put_u16(out, 32);
        put_u32(out, (uint32_t)images[i].size());
        put_u32(out, offset);
        offset += (uint32_t)images[i].size();
    }
    for (const std::vector<uint8_t>& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

// ------------------------------------------------------------------ checking

static std::string check_png_entry(const std::vector<uint8_t>& b, size_t at, size_t length) {
    static const uint8_t signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (length < 33 || std::memcmp(&b[at], signature, 8) != 0 || std::memcmp(&b[at + 12], "IHDR", 4) != 0)
        return "256x256 entry is not a PNG";
    uint32_t w = (uint32_t)b[at + 16] << 24 | b[at + 17] << 16 | b[at + 18] << 8 | b[at + 19];
    uint32_t h = (uint32_t)b[at + 20] << 24 | b[at + 21] << 16 | b[at + 22] << 8 | b[at + 23];
    if (w != 256 || h != 256 || b[at + 24] != 8 || b[at + 25] != 6) return "PNG entry is not 256x256 8-bit RGBA";
    return "";
}

static std::string check_bmp_entry(const std::vector<uint8_t>& b, size_t at, size_t length, int size) {
    size_t expected = 40 + (size_t)size * size * 4 + mask_row_bytes(size) * size;
    if (length != expected)
        return "BMP entry has " + std::to_string(length) + " bytes, expected " + std::to_string(expected);
    if (get_u32(b, at) != 40 || get_u32(b, at + 4) != (uint32_t)size || get_u32(b, at + 8) != (uint32_t)size * 2 ||
        get_u16(b, at + 12) != 1 || get_u16(b, at + 14) != 32 || get_u32(b, at + 16) != 0)
        return "BMP header of the " + std::to_string(size) + " entry is wrong";
    return "";
}

static std::string check_ico(const std::vector<uint8_t>& b) {
    if (b.size() < 6 + 16 * 4 || get_u16(b, 0) != 0 || get_u16(b, 2) != 1 || get_u16(b, 4) != 4)
        return "bad icon directory";
    for (int i = 0; i < 4; ++i) {
        size_t e = 6 + 16 * (size_t)i;
        int size = icon_styles[i].size;
        int stored = b[e] == 0 ? 256 : b[e];
        if (stored != size || b[e + 1] != b[e] || get_u16(b, e + 4) != 1 || get_u16(b, e + 6) != 32)
            return "entry " + std::to_string(i) + " does not describe a 32-bit " + std::to_string(size) + " image";
        size_t length = get_u32(b, e + 8), at = get_u32(b, e + 12);
        if (at + length > b.size()) return "entry " + std::to_string(i) + " runs past the end";
        std::string problem = size == 256 ? check_png_entry(b, at, length) : check_bmp_entry(b, at, length, size);
        if (!problem.empty()) return problem;
    }
    return "";
}

static bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

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

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUT_DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    std::vector<std::vector<uint8_t>> images;
    for (const IconStyle& s : icon_styles) {
        std::vector<uint8_t> rgba = render_icon(s);
        images.push_back(s.size >= 256 ? encode_png(rgba, s.size) : encode_bmp(rgba, s.size));
    }
    std::string path = dir + "/lumenfold.ico";
    if (error || !write_file(path, build_ico(images))) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    std::vector<uint8_t> written = read_file(path);
    std::string problem = check_ico(written);
    std::printf("%s: %zu bytes, 256 PNG + 48/32/16 BMP, %s\n", path.c_str(), written.size(),
                problem.empty() ? "ok" : problem.c_str());
    return problem.empty() ? 0 : 1;
}

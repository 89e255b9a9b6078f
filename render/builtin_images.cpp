#include "render/builtin_images.h"

// The encoded bytes are embedded from assets/images by the build.
extern const unsigned char embedded_rgba_noise_png[];
extern const uint64_t embedded_rgba_noise_png_size;
extern const unsigned char embedded_gray_noise_png[];
extern const uint64_t embedded_gray_noise_png_size;
extern const unsigned char embedded_blue_noise_png[];
extern const uint64_t embedded_blue_noise_png_size;
extern const unsigned char embedded_abstract1_jpg[];
extern const uint64_t embedded_abstract1_jpg_size;
extern const unsigned char embedded_abstract2_jpg[];
extern const uint64_t embedded_abstract2_jpg_size;
extern const unsigned char embedded_abstract3_jpg[];
extern const uint64_t embedded_abstract3_jpg_size;
extern const unsigned char embedded_bayer_png[];
extern const uint64_t embedded_bayer_png_size;
extern const unsigned char embedded_font1_png[];
extern const uint64_t embedded_font1_png_size;
extern const unsigned char embedded_lichen_jpg[];
extern const uint64_t embedded_lichen_jpg_size;
extern const unsigned char embedded_london_jpg[];
extern const uint64_t embedded_london_jpg_size;
extern const unsigned char embedded_nyancat_png[];
extern const uint64_t embedded_nyancat_png_size;
extern const unsigned char embedded_organic1_jpg[];
extern const uint64_t embedded_organic1_jpg_size;
extern const unsigned char embedded_organic2_jpg[];
extern const uint64_t embedded_organic2_jpg_size;
extern const unsigned char embedded_organic3_jpg[];
extern const uint64_t embedded_organic3_jpg_size;
extern const unsigned char embedded_organic4_jpg[];
extern const uint64_t embedded_organic4_jpg_size;
extern const unsigned char embedded_pebbles_png[];
extern const uint64_t embedded_pebbles_png_size;
extern const unsigned char embedded_rock_tiles_jpg[];
extern const uint64_t embedded_rock_tiles_jpg_size;
extern const unsigned char embedded_rusty_metal_jpg[];
extern const uint64_t embedded_rusty_metal_jpg_size;
extern const unsigned char embedded_stars_jpg[];
extern const uint64_t embedded_stars_jpg_size;
extern const unsigned char embedded_wood_jpg[];
extern const uint64_t embedded_wood_jpg_size;

// The row order is the image's index everywhere: its channel table entry,
// its texture and the unit it is first bound to.
const BuiltinImage BuiltinImages[kBuiltinImageCount] = {
    {"rgba_noise.png", embedded_rgba_noise_png, embedded_rgba_noise_png_size},
    {"gray_noise.png", embedded_gray_noise_png, embedded_gray_noise_png_size},
    {"blue_noise.png", embedded_blue_noise_png, embedded_blue_noise_png_size},
    {"abstract1.jpg", embedded_abstract1_jpg, embedded_abstract1_jpg_size},
    {"abstract2.jpg", embedded_abstract2_jpg, embedded_abstract2_jpg_size},
    {"abstract3.jpg", embedded_abstract3_jpg, embedded_abstract3_jpg_size},
    {"bayer.png", embedded_bayer_png, embedded_bayer_png_size},
    {"font1.png", embedded_font1_png, embedded_font1_png_size},
    {"lichen.jpg", embedded_lichen_jpg, embedded_lichen_jpg_size},
    {"london.jpg", embedded_london_jpg, embedded_london_jpg_size},
    {"nyancat.png", embedded_nyancat_png, embedded_nyancat_png_size},
    {"organic1.jpg", embedded_organic1_jpg, embedded_organic1_jpg_size},
    {"organic2.jpg", embedded_organic2_jpg, embedded_organic2_jpg_size},
    {"organic3.jpg", embedded_organic3_jpg, embedded_organic3_jpg_size},
    {"organic4.jpg", embedded_organic4_jpg, embedded_organic4_jpg_size},
    {"pebbles.png", embedded_pebbles_png, embedded_pebbles_png_size},
    {"rock_tiles.jpg", embedded_rock_tiles_jpg, embedded_rock_tiles_jpg_size},
    {"rusty_metal.jpg", embedded_rusty_metal_jpg, embedded_rusty_metal_jpg_size},
    {"stars.jpg", embedded_stars_jpg, embedded_stars_jpg_size},
    {"wood.jpg", embedded_wood_jpg, embedded_wood_jpg_size},
};

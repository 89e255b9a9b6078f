// The image decoder, compiled once for the whole program. Only the two
// formats the built-in images use are kept.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb_image.h>

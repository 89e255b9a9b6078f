// The image encoder, compiled once for the whole program. Only PNG into
// memory is used: the caller writes the file itself, whole or not at all.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

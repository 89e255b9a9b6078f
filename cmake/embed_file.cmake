# Writes one file's bytes as a C++ array; run by lumenfold_embed.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
# Sixteen bytes a line keeps the generated source readable for compilers.
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "\\1\n" lines "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${lines}")
file(WRITE ${OUTPUT}
  "#include <cstdint>\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const uint64_t ${SYMBOL}_size;\n"
  "alignas(16) const unsigned char ${SYMBOL}[] = {\n${bytes}0x00};\n"
  "const uint64_t ${SYMBOL}_size = ${size};\n")

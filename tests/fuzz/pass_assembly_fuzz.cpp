// A pass text and the common part wrapped into one GLSL text, whatever an
// editor saved.
#include <cstring>

#include "shader/pass_assembly.h"
#include "shader/pass_set.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silence_log();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int pass = size > 0 ? data[0] % kPassCount : 0;
    std::vector<std::string> pieces = split_at_zeros(size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0, 2);
    const char* common = pieces.size() > 1 ? pieces[1].c_str() : "";
    const char* assembled = assemble_pass_source(pieces[0].c_str(), common, pass);
    // Nothing is cut: both texts are there whole.
    if (!assembled || !strstr(assembled, pieces[0].c_str()) || !strstr(assembled, common)) __builtin_trap();
    return 0;
}

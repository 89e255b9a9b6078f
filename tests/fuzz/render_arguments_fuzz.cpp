// The render tool's command line, whatever an author or a script types.
#include "render_tool/render_arguments.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silence_log();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> pieces = split_at_zeros(data, size, 32);
    std::vector<const char*> argv;
    argv.push_back("lumenfold-render");
    for (const std::string& piece : pieces) argv.push_back(piece.c_str());
    RenderArguments arguments;
    const char* problem = parse_render_arguments(static_cast<int>(argv.size()), argv.data(), &arguments);
    if (problem) return 0;
    if (!arguments.output_path && !arguments.stats) __builtin_trap();
    if (arguments.width < 1 || arguments.width > kLargestRenderSide) __builtin_trap();
    if (arguments.height < 1 || arguments.height > kLargestRenderSide) __builtin_trap();
    if (arguments.frames_per_second < 1 || last_frame_number(arguments) < 0) __builtin_trap();
    return 0;
}

// Sanitizer settings built into the host test program, so they hold however
// it is started (by CTest, by hand, under a debugger).
extern "C" {

// A test may ask for more than can be allocated (a directory's "size");
// the code under test must then see a null, as it would without the
// sanitizer.
const char* __asan_default_options() { return "detect_leaks=1:allocator_may_return_null=1"; }

// Mesa keeps driver allocations until the process ends; those are not ours.
const char* __lsan_default_suppressions() {
    return "leak:libgallium\n"
           "leak:libLLVM\n"
           "leak:libEGL_mesa\n"
           "leak:libglapi\n"
           "leak:libdrm\n"
           "leak:swrast_dri\n"
           "leak:libGLX_mesa\n"
           "leak:dri_\n";
}
}

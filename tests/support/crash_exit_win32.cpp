// A test that crashes must fail at once, not wait in a debugger: the filter
// reports the exception and ends the process with its code.
#include <windows.h>

#include <cstdio>

static LONG WINAPI exit_on_unhandled_exception(EXCEPTION_POINTERS* exception) {
    const DWORD code = exception->ExceptionRecord->ExceptionCode;
    fprintf(stderr, "unhandled exception 0x%08lX at %p\n", static_cast<unsigned long>(code),
            exception->ExceptionRecord->ExceptionAddress);
    fflush(stderr);
    ::ExitProcess(code);
}

static const LPTOP_LEVEL_EXCEPTION_FILTER previous_filter = ::SetUnhandledExceptionFilter(exit_on_unhandled_exception);

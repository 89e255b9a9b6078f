#include "base/command_line.h"

// POSIX arguments are bytes already, UTF-8 in any sane locale.
char** utf8_arguments(int argc, char** argv, int* utf8_argc) {
    *utf8_argc = argc;
    return argv;
}

#pragma once
// The program's arguments as UTF-8, whatever code page the system uses: on
// Windows they are read from the UTF-16 command line, since argv holds only
// what the code page can say.

// argv-style, valid for the life of the process. Falls back to the given
// arguments where there is nothing better.
char** utf8_arguments(int argc, char** argv, int* utf8_argc);

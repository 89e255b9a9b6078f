#include "tests/support/unreadable_file.h"

#include <unistd.h>

// Its size is 0 and it never ends: whatever is read past the size is more
// than the file said it held.
UnreadableFile::UnreadableFile(const std::string& file_path) : path(file_path) {
    if (symlink("/dev/zero", path.c_str()) != 0) path.clear();
}

UnreadableFile::~UnreadableFile() {
    if (!path.empty()) unlink(path.c_str());
}

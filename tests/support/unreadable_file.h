#pragma once
// A file that is there but cannot be read whole while the holder lives: on
// Windows one held open without sharing, as an editor holds the file it is
// writing; elsewhere one that reads on past the size it reports.

#include <string>

struct UnreadableFile {
    std::string path;
    void* handle = nullptr;

    explicit UnreadableFile(const std::string& file_path);
    ~UnreadableFile();
    UnreadableFile(const UnreadableFile&) = delete;
    UnreadableFile& operator=(const UnreadableFile&) = delete;
};

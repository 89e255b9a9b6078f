#include "tests/support/temp_folder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

TempFolder::TempFolder(const std::string& name_hint) {
    static int sequence = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    const fs::path folder =
        fs::temp_directory_path() / (name_hint + "-" + std::to_string(stamp) + "-" + std::to_string(++sequence));
    fs::create_directories(folder);
    path = folder.string();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::string TempFolder::file(const std::string& name) const { return (fs::path(path) / name).string(); }

std::string TempFolder::write(const std::string& name, const std::string& content) const {
    const std::string full = file(name);
    fs::create_directories(fs::path(full).parent_path());
    std::ofstream out(full, std::ios::binary);
    out << content;
    return full;
}

std::string TempFolder::make_folder(const std::string& name) const {
    const std::string full = file(name);
    fs::create_directories(full);
    return full;
}

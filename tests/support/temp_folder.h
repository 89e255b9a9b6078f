#pragma once
// A fresh folder under the system's temporary folder, removed with all its
// files when the test ends.

#include <string>

struct TempFolder {
    std::string path;  // without a trailing separator

    explicit TempFolder(const std::string& name_hint = "lumenfold");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Full path of a file (or folder) inside, using the platform separator.
    std::string file(const std::string& name) const;
    std::string write(const std::string& name, const std::string& content) const;
    std::string make_folder(const std::string& name) const;
};

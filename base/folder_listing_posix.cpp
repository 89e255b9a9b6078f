#include "base/folder_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <string>

bool list_folder(const char* folder, FolderEntryTaker take, void* user) {
    DIR* directory = folder ? opendir(folder) : nullptr;
    if (!directory) return false;
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        take(entry->d_name, is_folder((std::string(folder) + "/" + name).c_str()), user);
    }
    closedir(directory);
    return true;
}

bool is_folder(const char* path) {
    struct stat status;
    return path && stat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

// lumenfold-import: turns a shader site's JSON export into a pass set folder.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "base/log.h"
#include "import_tool/json_reader.h"
#include "import_tool/shader_export.h"
#include "shader/pass_set.h"

static const char kUsage[] = "usage: lumenfold-import EXPORT.json [FOLDER]";

static int fail(const std::string& message) {
    log_message("lumenfold-import: %s", message.c_str());
    return 1;
}

// Without a folder the set goes beside the export, named after it.
static std::string default_folder(const std::string& export_path) {
    std::filesystem::path path(export_path);
    path.replace_extension();
    return path.string();
}

static bool write_text(const std::filesystem::path& path, const std::string& text) {
    FILE* file = fopen(path.string().c_str(), "wb");
    if (!file) return false;
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    return fclose(file) == 0 && written;
}

// Every file of the set is written, and a companion left from an earlier
// import that this set has not is removed: the player would play it.
static bool write_pass_set(const std::filesystem::path& folder, const ImportedPassSet& set, std::string* main_path) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string stem = folder.filename().string();
    const std::filesystem::path main_file = folder / (stem + ".glsl");
    *main_path = main_file.string();
    for (int pass = 0; pass <= kPassCount; ++pass) {
        const std::filesystem::path file =
            pass == kMainPass ? main_file : folder / (stem + "." + kCompanionSuffixes[pass - 1]);
        if (!set.present[pass]) {
            std::filesystem::remove(file, error);
            continue;
        }
        if (!write_text(file, set.texts[pass])) {
            log_message("lumenfold-import: cannot write %s", outside_text(file.string().c_str()).text);
            return false;
        }
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || argv[1][0] == '-') {
        log_message("lumenfold-import: %s", kUsage);
        return 2;
    }
    const std::string export_path = argv[1];
    std::string folder = argc == 3 ? argv[2] : default_folder(export_path);
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    const std::string shown = outside_text(export_path.c_str()).text;

    char* text = read_whole_file(export_path.c_str());
    if (!text) return fail("cannot read " + shown);
    JsonValue root;
    JsonError error = {};
    const bool parsed = parse_json(text, strlen(text), &root, &error);
    free(text);
    if (!parsed) {
        return fail(shown + " is not JSON: " + error.what + " at line " + std::to_string(error.line) + ", column " +
                    std::to_string(error.column));
    }
    ImportedPassSet set;
    const char* problem = import_shader_export(root, &set);
    if (problem) return fail(shown + " is not a shader export: " + problem);

    for (const std::string& note : set.notes) log_message("lumenfold-import: %s", outside_text(note.c_str()).text);
    std::string main_path;
    if (!write_pass_set(std::filesystem::path(folder), set, &main_path)) return 1;
    int passes = 0;
    for (int pass = 0; pass < kPassCount; ++pass) passes += set.present[pass] ? 1 : 0;
    log_message("lumenfold-import: wrote %s with %d pass%s%s", outside_text(main_path.c_str()).text, passes,
                passes == 1 ? "" : "es", set.present[kCommonPartIndex] ? " and a common part" : "");
    return 0;
}

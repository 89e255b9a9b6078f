#include "shader/pass_set.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file_access.h"
#include "base/log.h"
#include "base/thread_buffer.h"
#include "shader/channel_directives.h"
#include "shader/pass_assembly.h"
#include "shader/program_builder.h"

const char* const kPassNames[kPassCount] = {"Main", "BufferA", "BufferB", "BufferC", "BufferD", "CubeA"};

const char* const kCompanionSuffixes[kPassCount] = {"a.glsl", "b.glsl", "c.glsl", "d.glsl", "cube.glsl",
                                                       "0.glsl"};

// Grows to the longest name formed on this thread; names are never cut,
// since a cut name could open some other file.
static thread_local ThreadBuffer companion_name = {nullptr, 0};

// Only a '.' within the file name starts its extension; one in a folder
// name would put the companions in another folder.
static size_t stem_length(const char* path) {
    const char* file_name = path;
    for (const char* cursor = path; *cursor; ++cursor) {
        if (*cursor == '\\' || *cursor == '/') file_name = cursor + 1;
    }
    const char* dot = strrchr(file_name, '.');
    return dot ? static_cast<size_t>(dot - path) : strlen(path);
}

const char* companion_path(const char* path, const char* suffix) {
    if (!path) return nullptr;
    const size_t stem = stem_length(path);
    const size_t size = stem + 1 + strlen(suffix) + 1;
    char* name = thread_buffer_room(&companion_name, size);
    if (!name) return nullptr;
    memcpy(name, path, stem);
    name[stem] = '.';
    memcpy(name + stem + 1, suffix, size - stem - 1);
    return name;
}

// The size as seen by seeking to the end, or -1 where there is none (a
// directory, a stream that cannot seek).
static long file_size(FILE* file) {
    if (fseek(file, 0, SEEK_END) != 0) return -1;
    const long size = ftell(file);
    if (size < 0 || fseek(file, 0, SEEK_SET) != 0) return -1;
    return size;
}

static char* read_open_file(FILE* file, size_t* size_read) {
    const long size = file_size(file);
    if (size < 0) return nullptr;
    char* text = static_cast<char*>(malloc(static_cast<size_t>(size) + 1));
    if (!text) return nullptr;
    const size_t read = fread(text, 1, static_cast<size_t>(size), file);
    // Whole means every byte and nothing after it: a short read, an error
    // (a directory reads as one) or a file that grew are all not whole.
    if (read != static_cast<size_t>(size) || fgetc(file) != EOF || ferror(file)) {
        free(text);
        return nullptr;
    }
    text[size] = '\0';
    if (size_read) *size_read = read;
    return text;
}

char* read_whole_file(const char* path, size_t* size) {
    if (!path) return nullptr;
    FILE* file = open_file(path, "rb");
    if (!file) return nullptr;
    char* text = read_open_file(file, size);
    fclose(file);
    return text;
}

// A text that would be cut, or that C strings would end early, is refused
// with a line that says why, never built in part.
static bool fits_as_pass_text(const char* path, const char* text, size_t size) {
    if (size > kPassTextLimit) {
        log_message("load shader too long:%s is %llu bytes; a pass text holds at most %llu", outside_text(path).text,
                    static_cast<unsigned long long>(size), static_cast<unsigned long long>(kPassTextLimit));
        return false;
    }
    const size_t length = strlen(text);
    if (length < size) {
        log_message("load shader zero byte:%s holds a zero byte at byte %llu; a pass text holds none",
                    outside_text(path).text, static_cast<unsigned long long>(length));
        return false;
    }
    return true;
}

// A file that is there but cannot be read whole (an editor still writing
// it, no permission) is not the same as no file: the set is not whole.
static char* read_logged(const char* path, int* unreadable) {
    size_t size = 0;
    char* text = read_whole_file(path, &size);
    if (text && !fits_as_pass_text(path, text, size)) {
        free(text);
        ++*unreadable;
        return nullptr;
    }
    if (text) {
        log_message("load shader:%s", outside_text(path).text);
    } else if (file_exists(path)) {
        log_message("load shader cannot read:%s", outside_text(path).text);
        ++*unreadable;
    }
    return text;
}

PreparedPassSet prepare_pass_set_files(const char* path) {
    char* texts[kPassCount + 1] = {};
    int unreadable = 0;
    texts[kMainPass] = read_logged(path, &unreadable);
    for (int index = 1; index <= kPassCount; ++index) {
        texts[index] = read_logged(companion_path(path, kCompanionSuffixes[index - 1]), &unreadable);
    }

    PassSetSources sources;
    for (int index = 0; index <= kPassCount; ++index) sources.texts[index] = texts[index];
    PreparedPassSet prepared = prepare_pass_set(sources);
    prepared.result.failed_passes += unreadable;

    for (char* text : texts) free(text);
    return prepared;
}

PreparedPassSet prepare_pass_set(const PassSetSources& sources) {
    PreparedPassSet prepared = {};
    const char* common = sources.texts[kCommonPartIndex] ? sources.texts[kCommonPartIndex] : "";
    if (!sources.texts[kMainPass]) return prepared;

    PassSetResult* result = &prepared.result;
    for (int pass = 0; pass < kPassCount; ++pass) {
        const char* text = sources.texts[pass];
        if (!text) continue;
        parse_channel_directives(text, pass, result);
        // The assembly lives in a buffer the next one replaces.
        const char* assembled =
            assemble_pass_source(text, common, pass, &result->channel_targets[kChannelsPerPass * pass]);
        prepared.assembled_texts[pass] = strdup(assembled);
        // Without memory for the text the pass cannot build.
        if (!prepared.assembled_texts[pass]) ++result->failed_passes;
    }
    return prepared;
}

static void free_assembled_texts(PreparedPassSet* prepared) {
    for (char*& text : prepared->assembled_texts) {
        free(text);
        text = nullptr;
    }
}

void compile_prepared_pass_set(PreparedPassSet* prepared) {
    PassSetResult* result = &prepared->result;
    for (int pass = 0; pass < kPassCount; ++pass) {
        const char* assembled = prepared->assembled_texts[pass];
        if (!assembled) continue;
        log_message("---------- build shader part:%s", kPassNames[pass]);
        result->programs[pass] = build_program(assembled, false);
        if (result->programs[pass] == 0) ++result->failed_passes;
        if (result->programs[kMainPass] == 0) break;
    }
    free_assembled_texts(prepared);
}

void discard_prepared_pass_set(PreparedPassSet* prepared) {
    for (GLuint& program : prepared->result.programs) {
        if (program) glDeleteProgram(program);
        program = 0;
    }
    free_assembled_texts(prepared);
}

PassSetResult load_pass_set_files(const char* path) {
    PreparedPassSet prepared = prepare_pass_set_files(path);
    compile_prepared_pass_set(&prepared);
    return prepared.result;
}

PassSetResult build_pass_set(const PassSetSources& sources) {
    PreparedPassSet prepared = prepare_pass_set(sources);
    compile_prepared_pass_set(&prepared);
    return prepared.result;
}

#pragma once
// The JSON export of public shader-sharing sites as a pass set: a
// `renderpass` array whose entries have `type`, `code`, `inputs` (each with
// `channel`, `ctype`, `id` or `src`, and `sampler`) and `outputs`.

#include <string>
#include <vector>

#include "import_tool/json_reader.h"
#include "shader/pass_set.h"

struct ImportedPassSet {
    // Main, BufferA..BufferD, CubeA, then the common part, as kCompanionSuffixes
    // orders them; `present` says which files the set has.
    std::string texts[kPassCount + 1];
    bool present[kPassCount + 1];
    // One line for each thing the player cannot play yet, and what it does
    // instead.
    std::vector<std::string> notes;
};

// Null on success; otherwise why `root` is no such export.
const char* import_shader_export(const JsonValue& root, ImportedPassSet* set);

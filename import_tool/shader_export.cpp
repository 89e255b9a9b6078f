#include "import_tool/shader_export.h"

#include <cstdio>
#include <cstring>

#include "render/builtin_images.h"
#include "shader/channel_table.h"

static const char kStandIn[] = "rgba_noise.png";

// Where the passes of an export go, and what their outputs are called.
struct PassMapping {
    const JsonValue* passes[kPassCount + 1];
    std::vector<std::string> output_ids[kPassCount];  // per buffer and cube pass
};

// The shader itself: the root, its "Shader" member, or the first of an array.
static const JsonValue* find_shader(const JsonValue& root) {
    if (root.kind == JsonKind::Array) return root.items.empty() ? nullptr : find_shader(root.items[0]);
    if (json_member(root, "renderpass")) return &root;
    const JsonValue* shader = json_member(root, "Shader");
    return shader && json_member(*shader, "renderpass") ? shader : nullptr;
}

static void add_output_ids(const JsonValue& pass, std::vector<std::string>* ids) {
    const JsonValue* outputs = json_member(pass, "outputs");
    if (!outputs || outputs->kind != JsonKind::Array) return;
    for (const JsonValue& output : outputs->items) {
        const std::string* id = json_text(json_member(output, "id"));
        if (id) ids->push_back(*id);
    }
}

// "Buffer A" … "Buffer D" by name; other buffers take the first free place.
static int named_buffer_pass(const JsonValue& pass) {
    const std::string* name = json_text(json_member(pass, "name"));
    if (!name) return -1;
    for (int letter = 0; letter < 4; ++letter) {
        char expected[16];
        snprintf(expected, sizeof expected, "Buffer %c", 'A' + letter);
        if (names_equal_ignoring_case(name->c_str(), name->size(), expected)) return kBufferAPass + letter;
    }
    return -1;
}

static std::string pass_label(const JsonValue& pass, const char* type) {
    const std::string* name = json_text(json_member(pass, "name"));
    return name && !name->empty() ? *name : std::string(type);
}

static const char* map_passes(const JsonValue& renderpass, PassMapping* mapping, ImportedPassSet* set) {
    std::vector<const JsonValue*> unnamed_buffers;
    for (const JsonValue& pass : renderpass.items) {
        const std::string* type = json_text(json_member(pass, "type"));
        if (!type || !json_text(json_member(pass, "code")) || json_member(pass, "code")->kind != JsonKind::String) {
            return "a renderpass entry without a type and code";
        }
        if (*type == "image") {
            mapping->passes[kMainPass] = &pass;
        } else if (*type == "common") {
            mapping->passes[kCommonPartIndex] = &pass;
        } else if (*type == "buffer") {
            const int place = named_buffer_pass(pass);
            if (place > 0 && !mapping->passes[place]) {
                mapping->passes[place] = &pass;
            } else {
                unnamed_buffers.push_back(&pass);
            }
        } else if (*type == "cubemap" && !mapping->passes[kCubeAPass]) {
            mapping->passes[kCubeAPass] = &pass;
        } else if (*type == "cubemap") {
            set->notes.push_back("the cubemap pass " + pass_label(pass, "cubemap") +
                                 " is a second cubemap pass: it is left out");
        } else {
            set->notes.push_back("the " + *type + " pass " + pass_label(pass, type->c_str()) +
                                 " cannot be played yet: it is left out");
        }
    }
    for (const JsonValue* pass : unnamed_buffers) {
        int place = kBufferAPass;
        while (place <= kBufferDPass && mapping->passes[place]) ++place;
        if (place > kBufferDPass) {
            set->notes.push_back("the buffer pass " + pass_label(*pass, "buffer") +
                                 " is a fifth buffer: it is left out");
            continue;
        }
        mapping->passes[place] = pass;
    }
    if (!mapping->passes[kMainPass]) return "its renderpass array has no image pass";
    for (int pass = kBufferAPass; pass < kPassCount; ++pass) {
        if (mapping->passes[pass]) add_output_ids(*mapping->passes[pass], &mapping->output_ids[pass]);
    }
    return nullptr;
}

// Sampler settings come as strings ("true") or as JSON values.
static const char* setting(const JsonValue* sampler, const char* name) {
    const JsonValue* value = sampler ? json_member(*sampler, name) : nullptr;
    if (!value) return "";
    if (value->kind == JsonKind::Boolean) return value->boolean ? "true" : "false";
    return value->kind == JsonKind::String ? value->text.c_str() : "";
}

// The options that differ from the player's defaults for the kind of
// channel: images are mipmapped and repeat, the rest linear and clamped.
// How the player reads a kind of channel when a directive says nothing.
struct PlayerDefaults {
    const char* filter;
    const char* wrap;
    bool flips;  // images alone take vflip
};
static const PlayerDefaults kImageDefaults = {"mipmap", "repeat", true};
static const PlayerDefaults kBufferDefaults = {"linear", "clamp", false};
static const PlayerDefaults kVolumeDefaults = {"mipmap", "repeat", false};
static const PlayerDefaults kCubemapDefaults = {"mipmap", "clamp", false};

static std::string sampler_options(const JsonValue& input, const PlayerDefaults& defaults) {
    const JsonValue* sampler = json_member(input, "sampler");
    std::string options;
    const std::string filter = setting(sampler, "filter");
    const std::string wrap = setting(sampler, "wrap");
    if ((filter == "nearest" || filter == "linear" || filter == "mipmap") && filter != defaults.filter) {
        options += " filter=" + filter;
    }
    if ((wrap == "clamp" || wrap == "repeat") && wrap != defaults.wrap) options += " wrap=" + wrap;
    if (defaults.flips && std::string(setting(sampler, "vflip")) == "false") options += " vflip=false";
    return options;
}

static std::string file_name_of(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

static const char* builtin_image_named(const std::string& name) {
    for (const BuiltinImage& image : BuiltinImages) {
        if (names_equal_ignoring_case(name.c_str(), name.size(), image.name)) return image.name;
    }
    return nullptr;
}

static bool listed(const std::vector<std::string>& ids, const std::string* id) {
    if (!id) return false;
    for (const std::string& candidate : ids) {
        if (candidate == *id) return true;
    }
    return false;
}

// The buffer or cube pass an input names by output id, or the buffer it
// names by the previews' file names buffer00.png … buffer03.png; 0 when none.
static int pass_named_by(const JsonValue& input, const PassMapping& mapping) {
    const std::string* id = json_text(json_member(input, "id"));
    for (int pass = kBufferAPass; pass < kPassCount; ++pass) {
        if (listed(mapping.output_ids[pass], id)) return pass;
    }
    const std::string* src = json_text(json_member(input, "src"));
    if (!src) src = json_text(json_member(input, "filepath"));
    if (!src) return 0;
    const std::string file = file_name_of(*src);
    for (int pass = kBufferAPass; pass <= kBufferDPass; ++pass) {
        char expected[16];
        snprintf(expected, sizeof expected, "buffer%02d.png", pass - kBufferAPass);
        if (file == expected && mapping.passes[pass]) return pass;
    }
    return 0;
}

struct ChannelChoice {
    std::string directive_name;  // empty: the channel is left unbound
    std::string options;
    std::string stand_in_for;  // what rgba_noise.png replaces, if it does
    std::string reads_instead;  // a built-in of the same kind it reads, if it does
};

static std::string input_source(const JsonValue& input) {
    const std::string* src = json_text(json_member(input, "src"));
    if (!src) src = json_text(json_member(input, "filepath"));
    if (!src) src = json_text(json_member(input, "id"));
    return src ? " " + *src : "";
}

static ChannelChoice choose_channel(const JsonValue& input, const PassMapping& mapping) {
    const std::string* ctype = json_text(json_member(input, "ctype"));
    const std::string type = ctype ? *ctype : "untyped";
    ChannelChoice choice;
    // An input that reads a pass of the export, the cube pass included,
    // reads that pass whatever type it gives.
    const int pass = type == "buffer" || type == "cubemap" ? pass_named_by(input, mapping) : 0;
    if (pass) {
        choice.directive_name = kPassNames[pass];
        choice.options = sampler_options(input, kBufferDefaults);
        return choice;
    }
    if (type == "buffer") {
        choice.stand_in_for = "a buffer no pass draws";
    } else if (type == "cubemap" || type == "volume") {
        // The export names the site's own pictures, which are not ours to
        // ship: a built-in of the same kind keeps the shader playing.
        const bool cube = type == "cubemap";
        choice.directive_name = cube ? "sky_cubemap" : "rgba_noise_volume";
        choice.options = sampler_options(input, cube ? kCubemapDefaults : kVolumeDefaults);
        choice.reads_instead = "a " + type + " input" +
                               (input_source(input).empty() ? "" : " (" + input_source(input).substr(1) + ")") +
                               " reads the built-in " + choice.directive_name;
        return choice;
    } else if (type == "music" || type == "musicstream" || type == "mic") {
        // A shader written for a track reacts to whatever the computer plays.
        choice.directive_name = "Sound";
        choice.reads_instead = "a " + type + " input" +
                               (input_source(input).empty() ? "" : " (" + input_source(input).substr(1) + ")") +
                               " reads Sound, what the computer plays";
        return choice;
    } else if (type == "keyboard") {
        choice.directive_name = "Keyboard";
        choice.options = sampler_options(input, kBufferDefaults);
        return choice;
    } else if (type == "texture") {
        const std::string* src = json_text(json_member(input, "src"));
        if (!src) src = json_text(json_member(input, "filepath"));
        const char* image = src ? builtin_image_named(file_name_of(*src)) : nullptr;
        if (image) {
            choice.directive_name = image;
            choice.options = sampler_options(input, kImageDefaults);
            return choice;
        }
        choice.stand_in_for = "a texture that is none of the built-in images (" + input_source(input).substr(1) + ")";
    } else {
        choice.stand_in_for =
            "a " + type + " input" + (input_source(input).empty() ? "" : " (" + input_source(input).substr(1) + ")");
    }
    choice.directive_name = kStandIn;
    return choice;
}

// Directives go after the code, so compiler messages keep the line numbers
// the author saw.
static std::string pass_text(int pass, const JsonValue& entry, const PassMapping& mapping, ImportedPassSet* set) {
    std::string text = json_member(entry, "code")->text;
    const JsonValue* inputs = json_member(entry, "inputs");
    if (!inputs || inputs->kind != JsonKind::Array || inputs->items.empty()) return text;
    if (!text.empty() && text.back() != '\n') text += '\n';
    text += "\n// Channels, as the export gave them.\n";
    for (const JsonValue& input : inputs->items) {
        const JsonValue* channel = json_member(input, "channel");
        const int number = channel && channel->kind == JsonKind::Number ? static_cast<int>(channel->number) : -1;
        if (number < 0 || number >= kChannelsPerPass || channel->number != number) {
            set->notes.push_back(std::string(kPassNames[pass]) +
                                 ": an input without a channel from 0 to 3 is left out");
            continue;
        }
        const ChannelChoice choice = choose_channel(input, mapping);
        text += "#pragma iChannel" + std::to_string(number) + " " + choice.directive_name + choice.options;
        if (!choice.reads_instead.empty()) {
            set->notes.push_back(std::string(kPassNames[pass]) + " iChannel" + std::to_string(number) + ": " +
                                 choice.reads_instead);
        }
        if (!choice.stand_in_for.empty()) {
            text += "  // stands in for " + choice.stand_in_for;
            set->notes.push_back(std::string(kPassNames[pass]) + " iChannel" + std::to_string(number) + ": " +
                                 choice.stand_in_for + " cannot be played yet; it reads " + kStandIn);
        }
        text += '\n';
    }
    return text;
}

const char* import_shader_export(const JsonValue& root, ImportedPassSet* set) {
    *set = ImportedPassSet();
    const JsonValue* shader = find_shader(root);
    if (!shader) return "it has no renderpass array";
    const JsonValue* renderpass = json_member(*shader, "renderpass");
    if (renderpass->kind != JsonKind::Array) return "its renderpass is not an array";
    if (root.kind == JsonKind::Array && root.items.size() > 1) {
        set->notes.push_back("the export holds " + std::to_string(root.items.size()) +
                             " shaders: only the first is imported");
    }
    PassMapping mapping = {};
    const char* problem = map_passes(*renderpass, &mapping, set);
    if (problem) return problem;
    for (int pass = 0; pass <= kPassCount; ++pass) {
        const JsonValue* entry = mapping.passes[pass];
        set->present[pass] = entry != nullptr;
        if (!entry) continue;
        set->texts[pass] =
            pass == kCommonPartIndex ? json_member(*entry, "code")->text : pass_text(pass, *entry, mapping, set);
    }
    return nullptr;
}

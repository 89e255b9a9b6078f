#include "app/playlist.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "base/folder_listing.h"
#include "shader/pass_set.h"

static bool ends_with(const char* text, const char* end) {
    const size_t length = strlen(text);
    const size_t end_length = strlen(end);
    if (length < end_length) return false;
    for (size_t index = 0; index < end_length; ++index) {
        const unsigned char a = static_cast<unsigned char>(text[length - end_length + index]);
        if (tolower(a) != static_cast<unsigned char>(end[index])) return false;
    }
    return true;
}

bool is_main_file_name(const char* name) {
    if (!ends_with(name, ".glsl") || strlen(name) <= strlen(".glsl")) return false;
    const size_t length = strlen(name);
    for (int companion = 0; companion < kPassCount; ++companion) {
        const char* suffix = kCompanionSuffixes[companion];
        // "x.a.glsl": a stem, a dot, then the suffix.
        const size_t suffix_length = strlen(suffix);
        if (length > suffix_length + 1 && name[length - suffix_length - 1] == '.' && ends_with(name, suffix)) {
            return false;
        }
    }
    return true;
}

static char separator_of(const char* folder) { return strchr(folder, '\\') ? '\\' : '/'; }

static char* joined(const char* folder, const char* name) {
    const size_t length = strlen(folder);
    const bool separated = length > 0 && (folder[length - 1] == '\\' || folder[length - 1] == '/');
    char* path = static_cast<char*>(malloc(length + strlen(name) + 2));
    if (!path) return nullptr;
    memcpy(path, folder, length);
    size_t at = length;
    if (!separated) path[at++] = separator_of(folder);
    strcpy(path + at, name);
    return path;
}

static void add_path(SetList* list, char* path) {
    if (!path) return;
    char** grown = static_cast<char**>(realloc(list->paths, sizeof(char*) * (list->count + 1)));
    if (!grown) {
        free(path);
        return;
    }
    list->paths = grown;
    list->paths[list->count++] = path;
}

struct Listing {
    const char* folder;
    SetList* list;
    bool with_subfolders;
};

static void take_entry(const char* name, bool folder, void* user) {
    const Listing* listing = static_cast<const Listing*>(user);
    if (!folder) {
        if (is_main_file_name(name)) add_path(listing->list, joined(listing->folder, name));
        return;
    }
    if (!listing->with_subfolders) return;
    char* subfolder = joined(listing->folder, name);
    if (!subfolder) return;
    Listing inner = {subfolder, listing->list, false};
    list_folder(subfolder, take_entry, &inner);
    free(subfolder);
}

// Letter case apart first, so "Blue" and "aqua" come as a person reads them.
static int compare_names(const void* a, const void* b) {
    const char* left = *static_cast<char* const*>(a);
    const char* right = *static_cast<char* const*>(b);
    for (size_t index = 0;; ++index) {
        const int l = tolower(static_cast<unsigned char>(left[index]));
        const int r = tolower(static_cast<unsigned char>(right[index]));
        if (l != r || l == 0) return l != r ? l - r : strcmp(left, right);
    }
}

SetList list_playlist_sets(const char* folder) {
    SetList list = {nullptr, 0};
    if (!folder) return list;
    Listing listing = {folder, &list, true};
    list_folder(folder, take_entry, &listing);
    if (list.count > 1) qsort(list.paths, static_cast<size_t>(list.count), sizeof(char*), compare_names);
    return list;
}

void free_set_list(SetList* list) {
    for (int index = 0; index < list->count; ++index) free(list->paths[index]);
    free(list->paths);
    *list = SetList{nullptr, 0};
}

static int index_in(const SetList& list, const char* path) {
    for (int index = 0; path && index < list.count; ++index) {
        if (strcmp(list.paths[index], path) == 0) return index;
    }
    return -1;
}

static SetList copy_of(const SetList& list) {
    SetList copy = {nullptr, 0};
    for (int index = 0; index < list.count; ++index) add_path(&copy, strdup(list.paths[index]));
    return copy;
}

void open_playlist(Playlist* list, const char* folder, PlaylistOrder order, uint32_t seed) {
    *list = Playlist{};
    list->folder = strdup(folder);
    list->order = order;
    list->random_state = seed ? seed : 0x9E3779B9u;
    list->sets = list_playlist_sets(folder);
}

void close_playlist(Playlist* list) {
    free(list->folder);
    free(list->current);
    free_set_list(&list->sets);
    free_set_list(&list->round);
    *list = Playlist{};
}

static bool same_sets(const SetList& a, const SetList& b) {
    if (a.count != b.count) return false;
    for (int index = 0; index < a.count; ++index) {
        if (strcmp(a.paths[index], b.paths[index]) != 0) return false;
    }
    return true;
}

bool refresh_playlist(Playlist* list) {
    SetList now = list_playlist_sets(list->folder);
    const bool changed = !same_sets(now, list->sets);
    free_set_list(&list->sets);
    list->sets = now;
    return changed;
}

// xorshift32: a shuffle needs no more, and a seed replays it in a test.
static uint32_t next_random(Playlist* list) {
    uint32_t x = list->random_state;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    list->random_state = x;
    return x;
}

static void swap_paths(SetList* list, int a, int b) {
    char* kept = list->paths[a];
    list->paths[a] = list->paths[b];
    list->paths[b] = kept;
}

static void begin_round(Playlist* list) {
    free_set_list(&list->round);
    list->round = copy_of(list->sets);
    list->position = 0;
    const int count = list->round.count;
    if (list->order != PlaylistOrder::Shuffle || count < 2) return;
    for (int index = count - 1; index > 0; --index) {
        swap_paths(&list->round, index, static_cast<int>(next_random(list) % static_cast<uint32_t>(index + 1)));
    }
    if (list->current && strcmp(list->round.paths[0], list->current) == 0) {
        swap_paths(&list->round, 0, 1 + static_cast<int>(next_random(list) % static_cast<uint32_t>(count - 1)));
    }
}

static void hand_out(Playlist* list, const char* path) {
    char* kept = strdup(path);
    free(list->current);
    list->current = kept;
}

const char* next_playlist_set(Playlist* list) {
    for (int rounds = 0; rounds < 2; ++rounds) {
        while (list->position < list->round.count) {
            const char* path = list->round.paths[list->position++];
            if (index_in(list->sets, path) < 0) continue;  // gone since the round began
            hand_out(list, path);
            return list->current;
        }
        begin_round(list);
    }
    return nullptr;
}

void start_playlist_at(Playlist* list, const char* path) {
    begin_round(list);
    const int at = index_in(list->round, path);
    if (at > 0) swap_paths(&list->round, 0, at);
}

void set_playlist_order(Playlist* list, PlaylistOrder order) { list->order = order; }

void start_turn(TurnTimer* timer) { *timer = TurnTimer{0.0, 0.0}; }

void count_turn_time(TurnTimer* timer, double set_time) {
    timer->played += set_time >= timer->last_time ? set_time - timer->last_time : set_time;
    timer->last_time = set_time;
}

bool turn_due(const TurnTimer& timer, double turn_seconds) { return timer.played >= turn_seconds; }

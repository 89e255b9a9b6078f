#include "app/player_sets.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/app_settings.h"
#include "base/log.h"
#include "desktop/platform_services.h"
#include "render/crossfade.h"
#include "render/frame_rendering.h"

static const int kIdentityBytes = 256;

struct PlayerSlot {
    PlayingSet set;
    char identity[kIdentityBytes];
    char* path;  // null: the built-in
    bool covered;
    bool paused_by_user;
    // While `set` fades in, the set it replaces plays on in `outgoing`:
    // never more than two records for one monitor.
    PlayingSet outgoing;
    bool fading;
    double fade_seconds;
    // The monitor's playlist (owned), or null, and its turn so far.
    Playlist* playlist;
    TurnTimer turn;
    // Which slot this is, whatever its monitor becomes: a build that ends
    // later finds it by this.
    unsigned serial;
};

static unsigned last_serial = 0;

static PlayerSlot slots[kMostMonitors];
static int slot_count = 0;
// The slots as the next plan has them, before they replace the others.
static PlayerSlot arranged[kMostMonitors];
static bool sets_exist = false;
static bool following_the_window = true;
static int render_scale = kFullRenderScale;
// Duplicate: the first set's picture shown again at these places.
static int copy_count = 0;
static WindowPlace copies[kMostMonitors];
// The window's size the plan was made for.
static int plan_width = 0;
static int plan_height = 0;

static void free_slot(PlayerSlot* slot);
static void place_set(PlayingSet* set, const WindowPlace& place);
static void place_slot(PlayerSlot* slot, const WindowPlace& place);
static void settle_main_flags(int index);
static void end_fade(PlayerSlot* slot);

// Someone else gave the window a size of its own: the monitors' plan does
// not describe it any more, and the first set covers it alone until the
// next plan.
static void follow_the_window_alone(int width, int height) {
    for (int index = 1; index < slot_count; ++index) free_slot(&slots[index]);
    slot_count = slot_count > 0 ? 1 : 0;
    copy_count = 0;
    following_the_window = true;
    if (slot_count == 0) return;
    settle_main_flags(0);
    place_slot(&slots[0], WindowPlace{0, 0, width, height});
}

void resize_player_sets(int width, int height) {
    if (width <= 0 || height <= 0) return;
    AppSettings.window_width = width;
    AppSettings.window_height = height;
    if (!sets_exist) return;
    if (!following_the_window && width == plan_width && height == plan_height) return;
    if (!following_the_window) follow_the_window_alone(width, height);
    for (int index = 0; index < slot_count; ++index) {
        request_target_resize(&slots[index].set, width, height);
        if (slots[index].fading) request_target_resize(&slots[index].outgoing, width, height);
    }
}

int player_window_width() { return AppSettings.window_width; }
int player_window_height() { return AppSettings.window_height; }

void set_player_render_scale(int percent) {
    render_scale = percent;
    if (!sets_exist) return;
    for (int index = 0; index < slot_count; ++index) {
        set_render_scale(&slots[index].set, percent);
        if (slots[index].fading) set_render_scale(&slots[index].outgoing, percent);
    }
}

void rescale_player_sets_keeping_pictures(int percent) {
    render_scale = percent;
    if (!sets_exist) return;
    for (int index = 0; index < slot_count; ++index) {
        rescale_keeping_pictures(&slots[index].set, percent);
        if (slots[index].fading) rescale_keeping_pictures(&slots[index].outgoing, percent);
    }
}

void create_player_sets() {
    create_playing_set(&slots[0].set, AppSettings.window_width, AppSettings.window_height, render_scale);
    slots[0].identity[0] = '\0';
    slots[0].serial = ++last_serial;
    slots[0].path = nullptr;
    slots[0].covered = false;
    slots[0].paused_by_user = false;
    slots[0].fading = false;
    slots[0].playlist = nullptr;
    start_turn(&slots[0].turn);
    slot_count = 1;
    sets_exist = true;
    following_the_window = true;
}

void destroy_player_sets() {
    for (int index = 0; index < slot_count; ++index) {
        PlayerSlot* slot = &slots[index];
        if (slot->fading) destroy_playing_set(&slot->outgoing);
        slot->fading = false;
        destroy_playing_set(&slot->set);
        free(slot->path);
        slot->path = nullptr;
        give_player_set_playlist(index, nullptr);
    }
    slot_count = 0;
    copy_count = 0;
    sets_exist = false;
    release_crossfade();
}

static int slot_of(const char* identity) {
    for (int index = 0; index < slot_count; ++index) {
        if (strcmp(slots[index].identity, identity) == 0) return index;
    }
    return -1;
}

// The set that played before any plan (over the whole window) goes to the
// first monitor without a set of its own: the first plan builds nothing
// again on a desk of one monitor.
static int unplanned_slot(const bool* taken) {
    for (int index = 0; index < slot_count; ++index) {
        if (!taken[index] && slots[index].identity[0] == '\0') return index;
    }
    return -1;
}

static void copy_identity(char* to, const char* identity) {
    snprintf(to, kIdentityBytes, "%s", identity ? identity : "");
}

static void free_slot(PlayerSlot* slot) {
    unsigned long long bytes = render_target_bytes(slot->set);
    if (slot->fading) bytes += render_target_bytes(slot->outgoing);
    log_message("monitor gone: %s, %llu bytes freed", slot->identity[0] ? slot->identity : "(all)", bytes);
    if (slot->fading) destroy_playing_set(&slot->outgoing);
    slot->fading = false;
    destroy_playing_set(&slot->set);
    free(slot->path);
    slot->path = nullptr;
    if (slot->playlist) close_playlist(slot->playlist);
    free(slot->playlist);
    slot->playlist = nullptr;
}

static bool same_path(const char* a, const char* b) {
    if (!a || !b) return a == b;
    return strcmp(a, b) == 0;
}

static void keep_path(PlayerSlot* slot, const char* path) {
    if (same_path(slot->path, path)) return;
    free(slot->path);
    slot->path = path ? strdup(path) : nullptr;
}

// The set plays `path` once it built by `rule`; else it plays on as it was.
// A fade under way ends at once: what was asked for shows now.
static bool install_in_slot(PlayerSlot* slot, const char* path, InstallRule rule) {
    if (slot->fading) end_fade(slot);
    if (!install_pass_set(&slot->set, path, rule)) return false;
    keep_path(slot, path);
    return true;
}

static void place_set(PlayingSet* set, const WindowPlace& place) {
    request_target_resize(set, place.width, place.height);
    place_in_window(set, place.x, place.y);
}

static void place_slot(PlayerSlot* slot, const WindowPlace& place) {
    place_set(&slot->set, place);
    if (slot->fading) place_set(&slot->outgoing, place);
}

// Main is kept off the window while two pictures are blended there, for a
// picture other monitors show again, and (with several pictures) to be
// shown again while its monitor rests.
static void settle_main_flags(int index) {
    PlayerSlot* slot = &slots[index];
    set_main_offscreen(&slot->set, slot->fading || (index == 0 && copy_count > 0));
    set_main_kept(&slot->set, slot_count > 1);
    if (slot->fading) set_main_offscreen(&slot->outgoing, true);
}

int arrange_player_sets(const PicturePlan& plan, const char* const* identities, PathForMonitor path_for,
                        void* user) {
    if (!sets_exist) return 0;
    int made = 0;
    PlayerSlot* kept = arranged;
    bool taken[kMostMonitors] = {};
    int kept_count = 0;
    for (int picture = 0; picture < plan.picture_count; ++picture) {
        const char* identity = identities[picture] ? identities[picture] : "";
        int existing = slot_of(identity);
        if (existing >= 0 && taken[existing]) existing = -1;
        if (existing < 0) existing = unplanned_slot(taken);
        PlayerSlot* slot = &kept[kept_count++];
        if (existing >= 0) {
            taken[existing] = true;
            *slot = slots[existing];
            copy_identity(slot->identity, identity);
            place_slot(slot, plan.pictures[picture]);
            continue;
        }
        ++made;
        copy_identity(slot->identity, identity);
        slot->serial = ++last_serial;
        slot->covered = false;
        slot->paused_by_user = false;
        slot->fading = false;
        slot->playlist = nullptr;
        start_turn(&slot->turn);
        create_playing_set(&slot->set, plan.pictures[picture].width, plan.pictures[picture].height, render_scale);
        place_in_window(&slot->set, plan.pictures[picture].x, plan.pictures[picture].y);
        slot->path = nullptr;
        const char* path = path_for ? path_for(identity, user) : nullptr;
        if (!install_in_slot(slot, path, InstallRule::MainMustBuild) && path) {
            install_in_slot(slot, nullptr, InstallRule::MainMustBuild);
        }
    }
    for (int index = 0; index < slot_count; ++index) {
        if (!taken[index]) free_slot(&slots[index]);
    }
    for (int index = 0; index < kept_count; ++index) slots[index] = kept[index];
    slot_count = kept_count;
    following_the_window = plan.follows_window;
    plan_width = plan.window_width;
    plan_height = plan.window_height;
    copy_count = plan.copy_count;
    for (int index = 0; index < copy_count; ++index) copies[index] = plan.copies[index];
    for (int index = 0; index < slot_count; ++index) settle_main_flags(index);
    return made;
}

bool install_on_every_set(const char* path, InstallRule rule) {
    bool installed = true;
    for (int index = 0; index < slot_count; ++index) {
        installed = install_in_slot(&slots[index], path, rule) && installed;
    }
    return installed;
}

bool any_set_playing(const char* path) {
    for (int index = 0; index < slot_count; ++index) {
        if (same_path(slots[index].path, path)) return true;
    }
    return false;
}

static int slot_with_serial(unsigned serial) {
    for (int index = 0; index < slot_count; ++index) {
        if (slots[index].serial == serial) return index;
    }
    return -1;
}

unsigned player_set_serial(int index) { return slots[index].serial; }

int player_set_with_serial(unsigned serial) { return slot_with_serial(serial); }

void prepare_install_on_set(int index, PendingInstall* install, const char* path) {
    prepare_install(install, slots[index].set, path);
}

// A fade under way ends at once, as for a set built here.
static bool finish_in_slot(PlayerSlot* slot, PendingInstall* install, const char* path, InstallRule rule) {
    if (slot->fading) end_fade(slot);
    if (!finish_install(&slot->set, install, path, rule)) return false;
    keep_path(slot, path);
    return true;
}

bool finish_install_on_set(unsigned serial, PendingInstall* install, const char* path, InstallRule rule) {
    const int index = slot_with_serial(serial);
    if (index < 0) {
        discard_prepared_pass_set(&install->prepared);
        return false;
    }
    return finish_in_slot(&slots[index], install, path, rule);
}

static void blit_cover(const PlayingSet& set, const WindowPlace& place) {
    const RenderTarget& picture = set.main_target;
    const WindowPlace crop = cover_crop(picture.width, picture.height, place.width, place.height);
    glBlitNamedFramebuffer(picture.framebuffer, 0, crop.x, crop.y, crop.x + crop.width, crop.y + crop.height, place.x,
                           place.y, place.x + place.width, place.y + place.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

// While the one picture fades, the blend is already in its own place: the
// copies come from there.
static void copy_blend(const WindowPlace& own, const WindowPlace& place) {
    const WindowPlace crop = cover_crop(own.width, own.height, place.width, place.height);
    glBlitNamedFramebuffer(0, 0, own.x + crop.x, own.y + crop.y, own.x + crop.x + crop.width,
                           own.y + crop.y + crop.height, place.x, place.y, place.x + place.width,
                           place.y + place.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
}

static void draw_copies() {
    if (copy_count == 0 || slot_count == 0) return;
    const PlayingSet& set = slots[0].set;
    if (!set.main_target.framebuffer) return;
    const WindowPlace own = {set.window_x, set.window_y, set.size.window_width, set.size.window_height};
    if (slots[0].fading) {
        for (int index = 0; index < copy_count; ++index) copy_blend(own, copies[index]);
        return;
    }
    blit_cover(set, own);
    for (int index = 0; index < copy_count; ++index) blit_cover(set, copies[index]);
}

// A duplicated picture shows on every monitor: it rests only with the
// player.
static bool slot_rests(const PlayerSlot& slot) {
    if (copy_count > 0) return false;
    return slot.covered || slot.paused_by_user;
}

// iTime of a set as it stands now: from its install, rests left out.
static double set_seconds(const PlayingSet& set) {
    const FrameClock& clock = set.clock;
    const int64_t now = clock.paused ? clock.paused_at_ticks : read_performance_counter();
    return seconds_from_ticks(now - clock.start_ticks, read_performance_frequency());
}

// The outgoing record goes with its targets; the incoming one plays on.
static void end_fade(PlayerSlot* slot) {
    if (!slot->fading) return;
    const unsigned long long bytes = render_target_bytes(slot->outgoing);
    destroy_playing_set(&slot->outgoing);
    slot->fading = false;
    log_message("fade done: %s, %llu bytes freed", slot->identity[0] ? slot->identity : "(all)", bytes);
    settle_main_flags(static_cast<int>(slot - slots));
}

// Both pictures kept off the window, blended into the set's place. A fade
// lasts for the incoming set's time, so a rest holds it where it is.
static bool draw_fade(PlayerSlot* slot, bool rests) {
    if (!rests && (!render_frame(&slot->outgoing) || !render_frame(&slot->set))) return false;
    const PlayingSet& set = slot->set;
    const double elapsed = set_seconds(set);
    if (set.main_target.colour_texture && slot->outgoing.main_target.colour_texture) {
        draw_crossfade(slot->outgoing.main_target.colour_texture, set.main_target.colour_texture,
                       crossfade_weight(elapsed, slot->fade_seconds), set.window_x, set.window_y,
                       set.size.window_width, set.size.window_height);
    }
    // The last blend showed the incoming picture alone.
    if (elapsed >= slot->fade_seconds) end_fade(slot);
    return true;
}

bool draw_player_sets() {
    for (int index = 0; index < slot_count; ++index) {
        PlayerSlot& slot = slots[index];
        if (slot.fading) {
            if (!draw_fade(&slot, slot_rests(slot))) return false;
            continue;
        }
        if (slot_rests(slot)) {
            show_last_picture(slot.set);
            continue;
        }
        if (!render_frame(&slot.set)) return false;
    }
    draw_copies();
    return true;
}

// Without `install` the set is built here, now; with one, it was compiled
// elsewhere.
static bool cut_slot_to(PlayerSlot* slot, const char* path, PendingInstall* install) {
    if (!install) return install_in_slot(slot, path, InstallRule::MainMustBuild);
    return finish_in_slot(slot, install, path, InstallRule::MainMustBuild);
}

static bool fade_slot(int index, const char* path, double seconds, PendingInstall* install) {
    PlayerSlot* slot = &slots[index];
    // A resting monitor would hold the fade still: it cuts.
    if (seconds <= 0.0 || slot_rests(*slot)) return cut_slot_to(slot, path, install);
    // Two records at most, even while the next one builds: a fade under way
    // ends first.
    end_fade(slot);
    PlayingSet incoming;
    create_playing_set(&incoming, slot->set.size.window_width, slot->set.size.window_height, render_scale);
    place_in_window(&incoming, slot->set.window_x, slot->set.window_y);
    set_main_offscreen(&incoming, true);
    const bool built = install ? finish_install(&incoming, install, path, InstallRule::MainMustBuild)
                               : install_pass_set(&incoming, path, InstallRule::MainMustBuild);
    if (!built) {
        destroy_playing_set(&incoming);
        return false;
    }
    slot->outgoing = slot->set;
    slot->set = incoming;
    slot->fading = true;
    slot->fade_seconds = seconds;
    keep_path(slot, path);
    settle_main_flags(index);
    // From the first frame of the fade, not from the build before it.
    restart_frame_count_and_time(&slot->set.clock);
    return true;
}

bool fade_player_set(int index, const char* path, double seconds) {
    if (index < 0 || index >= slot_count) return false;
    return fade_slot(index, path, seconds, nullptr);
}

bool finish_fade_on_set(unsigned serial, PendingInstall* install, const char* path, double seconds) {
    const int index = slot_with_serial(serial);
    if (index < 0) {
        discard_prepared_pass_set(&install->prepared);
        return false;
    }
    return fade_slot(index, path, seconds, install);
}

bool player_set_fading(int index) { return index >= 0 && index < slot_count && slots[index].fading; }

// A set whose iTime has grown coarse starts afresh when it rests, where
// nobody sees it; what it drew goes with its time.
static void rest_set(PlayingSet* set) {
    if (rest_frame_clock(&set->clock)) clear_render_targets(set);
}

static void rest_slot(PlayerSlot* slot) {
    rest_set(&slot->set);
    if (slot->fading) rest_set(&slot->outgoing);
}

void rest_player_sets() {
    for (int index = 0; index < slot_count; ++index) rest_slot(&slots[index]);
}

void wake_player_sets() {
    for (int index = 0; index < slot_count; ++index) {
        if (slot_rests(slots[index])) continue;
        resume_frame_clock(&slots[index].set.clock);
        if (slots[index].fading) resume_frame_clock(&slots[index].outgoing.clock);
    }
}

static void log_monitor_rest(const PlayerSlot& slot, bool rested) {
    const bool rests = slot_rests(slot);
    if (rests == rested) return;
    if (rests) {
        log_message("monitor rests: %s", slot.identity);
    } else {
        log_message("monitor plays: %s", slot.identity);
    }
}

static void change_rest(PlayerSlot* slot, bool covered, bool paused_by_user) {
    const bool rested = slot_rests(*slot);
    slot->covered = covered;
    slot->paused_by_user = paused_by_user;
    if (slot_rests(*slot)) rest_slot(slot);
    log_monitor_rest(*slot, rested);
}

void set_monitor_covered(const char* identity, bool covered) {
    const int index = slot_of(identity ? identity : "");
    if (index < 0 || slots[index].identity[0] == '\0') return;
    change_rest(&slots[index], covered, slots[index].paused_by_user);
}

bool toggle_monitor_pause(const char* identity) {
    const int index = slot_of(identity ? identity : "");
    if (index < 0) return false;
    change_rest(&slots[index], slots[index].covered, !slots[index].paused_by_user);
    return true;
}

bool monitor_paused(const char* identity) {
    const int index = slot_of(identity ? identity : "");
    return index >= 0 && slots[index].paused_by_user;
}

bool any_player_set_awake() {
    for (int index = 0; index < slot_count; ++index) {
        if (!slot_rests(slots[index])) return true;
    }
    return slot_count == 0;
}

const char* player_set_path(int index) { return slots[index].path; }
int player_set_count() { return slot_count; }
const PlayingSet& player_set(int index) { return slots[index].set; }
const PlayingSet& first_player_set() { return slots[0].set; }

const char* player_set_identity(int index) { return slots[index].identity; }
bool player_set_rests(int index) { return slot_rests(slots[index]); }
double player_set_seconds(int index) { return set_seconds(slots[index].set); }

Playlist* player_set_playlist(int index) { return slots[index].playlist; }

void give_player_set_playlist(int index, Playlist* list) {
    PlayerSlot* slot = &slots[index];
    if (slot->playlist && slot->playlist != list) {
        close_playlist(slot->playlist);
        free(slot->playlist);
    }
    slot->playlist = list;
    start_turn(&slot->turn);
}

TurnTimer* player_set_turn(int index) { return &slots[index].turn; }

int playing_record_count() {
    int count = 0;
    for (int index = 0; index < slot_count; ++index) {
        if (slot_rests(slots[index])) continue;
        count += slots[index].fading ? 2 : 1;
    }
    return count;
}

PlayingSet* playing_record(int index) {
    for (int slot = 0; slot < slot_count; ++slot) {
        if (slot_rests(slots[slot])) continue;
        if (index == 0) return &slots[slot].set;
        --index;
        if (!slots[slot].fading) continue;
        if (index == 0) return &slots[slot].outgoing;
        --index;
    }
    return nullptr;
}

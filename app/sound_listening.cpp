#include "app/sound_listening.h"

#include "app/player_sets.h"
#include "desktop/sound_capture.h"
#include "render/sound_texture.h"

// Resting sets are no records: their sound is not wanted.
static bool any_record_samples_sound() {
    for (int index = 0; index < playing_record_count(); ++index) {
        const PlayingSet* set = playing_record(index);
        if (set && set_samples_sound(*set)) return true;
    }
    return false;
}

void follow_sound_channels(bool drawing) {
    const bool wanted = drawing && any_record_samples_sound();
    listen_to_sound(wanted, push_sound_samples);
    if (!wanted) silence_sound();
    fill_sound_texture();
}

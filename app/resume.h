#pragma once
// A start with --resume, as at logon: the player plays what was chosen last,
// from whichever folder the system started it in.

// The set to play: a malloc'd UTF-8 path, or null for the built-in set when
// nothing is remembered or the remembered set is gone (which is logged).
char* pass_set_to_resume();

// Each monitor's own choice comes back with it, now or when it is plugged
// in; one that is gone plays the built-in set, which is logged.
void resume_monitor_choices();

// NOTE: the system starts the programs of the Run key in a folder of its
// own, often one the user may not write; the log goes beside the player.
void resume_in_player_folder();

#pragma once
// The player's loop: messages, pass sets asked for, frames.

// The argument's pass set, unless a later start got through during start-up
// and asked for a newer one.
void install_first_pass_set(const char* argument_path);

// Runs until the player closes. Never waits while it draws: presentation
// sets the pace. While nothing may be drawn it blocks in a message wait.
void run_main_loop();

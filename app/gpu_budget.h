#pragma once
// The GPU budget as the player keeps it: after every frame it hands the
// governor what every set's last measured frame cost together, and carries
// a change out on every set and on the frame-rate cap.

// The settings it works from; a change starts the governor afresh at the
// user's render scale and cap. A budget of 0 leaves both as the user set
// them.
void follow_gpu_budget(int budget_percent, int user_scale);

// A set was installed somewhere.
void gpu_budget_meets_new_set();

// After a frame was presented.
void govern_gpu_budget();

// Where the governor holds the levers now; false while there is no budget.
bool gpu_budget_holds(int* scale_percent, int* frames_per_second);

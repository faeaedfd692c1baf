// Control configuration: which device and bindings each side plays with.
#pragma once

// Both sides on the keyboard, each reading its own keyboard bindings of the
// current user.
void init_controls();
// Runs the controls screen until the player leaves it.
void controls_screen();

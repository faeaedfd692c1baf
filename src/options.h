// The options screen: music and effects volumes on two sliders, vertical
// sync, the language, and the way to the controls screen and the credits.
// Everything chosen is written into the current profile on leaving.
#pragma once

// The buttons of the options menu.
typedef enum _enOptionsButtons {
    USER_CHANGE = 0,
    MUSIC_L = 1,
    MUSIC_R = 2,
    FX_L = 3,
    FX_R = 4,
    CONFIG = 5,
    VSYNC_L = 6,
    VSYNC_R = 7,
    LENGUAJE_L = 8,
    LENGUAJE_R = 9,
    CREDITS_BUTTON = 10,
    EXIT_OPT = 11
} enOptionsButtons;

constexpr int VOLUME_STEP = 15; // what one press of a volume arrow changes, of 255

// Runs the screen until player one leaves it.
void options_screen();
// A volume (0 to 255) after one step of iDelta (VOLUME_STEP or -VOLUME_STEP):
// a step down only while the percentage is above 0 and never below 0, a step
// up only while it is below 100 and never above 255.
int volume_step(int iVolume, int iDelta);
// The volume a slider takes from the pointer's x, 0 to 255.
int slider_volume(int iPointerX);
// The language after one step left (-1) or right (+1) in a list of iCount, wrapping around.
int language_step(int iLanguage, int iDirection, int iCount);

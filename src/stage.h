// Stage selection: before a versus series, and when the players ask for
// another stage, they choose a stage and one of its three levels; arrows (keys
// or mouse) step through them, and only the levels the profile has unlocked
// can be chosen.
#pragma once
#include "pong.h"

struct BITMAP;
struct _stMenu;

typedef enum _ARROWS { ARROW_DOWN = 0, ARROW_LEFT = 1, ARROW_RIGHT = 2, ARROW_UP = 3, NUM_ARROWS = 4 } ARROWS;

typedef struct _stStage {
    int iX;          // px: the picture's place
    int iY;
    BITMAP *bmpScene;
} stStage;

// The level index chosen (3 * stage + level), or -1 when the players backed out.
int scene_selection();
// The stage picture's button of ptMenu answers the mouse over the current picture.
void set_area_mouse_to_imag_stage(struct _stMenu *ptMenu);
void init_scene_selection();
void exit_scene_selection();

// The selection kept between visits: 3 * stage and the level.
typedef struct _stSceneChoice {
    int iSceneCount; // 3 * stage index, 0 .. 21
    int iSceneLevel; // 0 .. 2
} stSceneChoice;
// The moves of the screen on a choice, given which level indices are playable:
// a level up or down (down only onto a playable level), the next or previous
// stage at the current level with wrap-around (a step past the end of a
// stage list with nothing playable at this level stays), and the right arrow
// clicked with the mouse, which past the last stage goes to the third stage
// without looking at what is playable.
stSceneChoice scene_level_up(stSceneChoice t);
stSceneChoice scene_level_down(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES]);
stSceneChoice scene_next(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES]);
stSceneChoice scene_previous(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES]);
stSceneChoice scene_next_by_mouse(stSceneChoice t, const int abPlayable[NUM_LEVEL_INDICES]);
// The choice a visit starts from: after the opening screen stage 4, level 0.
stSceneChoice scene_start(stSceneChoice tKept, int bReset);

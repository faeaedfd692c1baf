// The match: the stages and the globals that every match module shares.
#pragma once
#include "ball.h"

struct _stLevelBounds;

// Stages; a level index is 3 * stage + the stage's level (0 to 2), so 0 to 23.
typedef enum _enLevels {
    CAMANEY_LEVEL = 0,
    LENGUAS_LEVEL = 1,
    UAYUMIN_LEVEL = 2,
    KAROLA_LEVEL = 3,
    GUANTE_LEVEL = 4,
    OJEIS_LEVEL = 5,
    ARTURITO_LEVEL = 6,
    CARNAL_LEVEL = 7,
    NUM_LEVELS = 8,
    NO_LEVEL_ELEMENT = 99 // no stage element
} enLevels;

constexpr int LEVELS_PER_STAGE = 3;
constexpr int NUM_LEVEL_INDICES = NUM_LEVELS * LEVELS_PER_STAGE; // 24

extern int g_iLevel;                        // current level index
extern stBall g_tBall;                      // the one ball
extern struct _stLevelBounds *g_ptLevelBounds; // the stage's obstacles, owned, or null

// The match: the stages and the globals that every match module shares.
#pragma once
#include "ball.h"

struct _stLevelBounds;

// The characters, in the order the character data lists them. Each of 0 .. 3
// and 8 .. 11 has its alter ego at + 4.
typedef enum _enCharacters {
    ALTER_ARTURITO = 0,
    ALTER_CAMANEY = 1,
    ALTER_LENGUAS = 2,
    ALTER_UAYUMIN = 3,
    ARTURITO = 4,
    CAMANEY = 5,
    LENGUAS = 6,
    UAYUMIN = 7,
    CARNAL = 8,
    KAROLA = 9,
    GUANTE = 10,
    OJEIS = 11,
    ALTER_CARNAL = 12,
    ALTER_KAROLA = 13,
    ALTER_GUANTE = 14,
    ALTER_OJEIS = 15,
    NUM_CHARACTERS = 16
} enCharacters;

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

typedef enum _enGameModes {
    GM_PLAYER_VS_COMPUTER = 0,
    GM_PLAYER_VS_PLAYER = 1,
    GM_COMPUTER_VS_COMPUTER = 2,
    NUMBER_GAME_MODES = 3
} enGameModes;

constexpr int LEVELS_PER_STAGE = 3;
constexpr int NUM_LEVEL_INDICES = NUM_LEVELS * LEVELS_PER_STAGE; // 24

extern int g_iLevel;                        // current level index
extern int g_iGameMode;                     // current enGameModes value
extern stBall g_tBall;                      // the one ball
extern struct _stLevelBounds *g_ptLevelBounds; // the stage's obstacles, owned, or null

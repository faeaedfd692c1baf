// The user profile: settings, progress, available characters and stages and
// both players' control bindings, with the defaults every run starts from.
#pragma once
#include "input.h"

constexpr int USER_TEXT_SIZE = 256;        // bytes of each text field, with its zero
constexpr int USER_NUM_GAME_MODES = 4;     // first index of the score tables
constexpr int USER_NUM_DIFFICULTIES = 3;   // second index of the score tables
constexpr int USER_NUM_CHARACTERS = 16;    // entries of aiPlayableChar, by character
constexpr int USER_NUM_STAGE_LEVELS = 24;  // entries of abPlayableStage, by level index
constexpr int USER_NUM_PLAYERS = 2;        // first index of atControls
constexpr int USER_NUM_INPUT_DEVICES = 2;  // second index of atControls
constexpr int USER_KEYBOARD_CONTROLS = 0;  // atControls[side][0]: keyboard bindings
constexpr int USER_JOYSTICK_CONTROLS = 1;  // atControls[side][1]: joystick bindings
constexpr const char *USER_DEFAULT_NAME = "Rondo Vex";

// What the character selection may do with a character.
typedef enum _enCharStatus {
    SELECTABLE = 0,
    NOT_SELECTABLE = 1, // shown, but cannot be chosen
    HIDDEN = 2
} enCharStatus;

typedef struct _stUser {
    int iUser;                      // position of the profile in its container
    int iTimePlaying;               // time played
    char szName[USER_TEXT_SIZE];    // user name
    char szLanguage[USER_TEXT_SIZE]; // language identifier of the language set-up
    int iMusicVolume;               // 0 to 255
    int iFXVolume;                  // 0 to 255
    int bVsync;                     // wait for the vertical retrace
    int iScreen;                    // screen option
    int aiWinnedCups[USER_NUM_GAME_MODES][USER_NUM_DIFFICULTIES];   // cups won
    int aiPlayedGames[USER_NUM_GAME_MODES][USER_NUM_DIFFICULTIES];  // games played
    int aiWinnedGames[USER_NUM_GAME_MODES][USER_NUM_DIFFICULTIES];  // games won
    int aiPerfectGames[USER_NUM_GAME_MODES][USER_NUM_DIFFICULTIES]; // won without conceding
    int iNumCharacters;                         // characters available
    int aiPlayableChar[USER_NUM_CHARACTERS];    // enCharStatus of each character
    int iNumStages;                             // stages available
    int abPlayableStage[USER_NUM_STAGE_LEVELS]; // -1 where the level may be chosen, else 0
    stInputKeys atControls[USER_NUM_PLAYERS][USER_NUM_INPUT_DEVICES]; // [side][device]
    char szExtraParams[USER_TEXT_SIZE];         // extra parameters
    struct _stUser *ptNextUser;                 // ring of profiles
    struct _stUser *ptPastUser;
} stUser;

// Fills every field with the defaults, the given position, name (cut to fit)
// and neighbours.
void initialize_user_values(stUser *ptUser, int iIndex, const char *pszName, stUser *ptNext,
                            stUser *ptPast);
// At most one default profile, in a ring of its own (count below 1: none).
stUser *create_default_users(int iCount);

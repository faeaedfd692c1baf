// The user profile record and its defaults. A profile made here is always
// complete: every field holds its default, and the ring of profiles is closed.
#include "database.h"
#include "memory.h"

#include <allegro.h>
#include <cstdio>

namespace {
constexpr int MAX_USERS = 1; // profiles this edition keeps
constexpr const char *DEFAULT_LANGUAGE = "Ingles";
constexpr const char *DEFAULT_EXTRA_PARAMS = "KEYBOARD";
constexpr int DEFAULT_MUSIC_VOLUME = 153; // of 255
constexpr int DEFAULT_FX_VOLUME = 230;    // of 255
constexpr int DEFAULT_VSYNC = 1;
constexpr int DEFAULT_NUM_CHARACTERS = 2;
constexpr int DEFAULT_NUM_STAGES = 2;

// Status of each character, by its number in the character order.
constexpr int aiDefaultPlayableChar[] = {
    HIDDEN,         HIDDEN,     HIDDEN,     HIDDEN,     // alter egos of arturito, camaney, lenguas, uayumin
    NOT_SELECTABLE, SELECTABLE, SELECTABLE, SELECTABLE, // arturito, camaney, lenguas, uayumin
    HIDDEN,         SELECTABLE, SELECTABLE, SELECTABLE, // carnal, karola, guante, ojeis
    HIDDEN,         HIDDEN,     HIDDEN,     HIDDEN,     // alter egos of carnal, karola, guante, ojeis
};
static_assert(sizeof(aiDefaultPlayableChar) / sizeof(int) == USER_NUM_CHARACTERS,
              "one status per character");

// Level indices (3 x stage + level) open from the start: the third and fifth stages.
constexpr int aiDefaultOpenLevels[] = {6, 7, 8, 12, 13, 14};

constexpr int INPUT_KEYBOARD = 1; // iType of a keyboard record
constexpr int INPUT_JOYSTICK = 2; // iType of a joystick record
// Joystick codes: the stick's four directions, then buttons from 5 (button 1).
constexpr int JOY_CODE_UP = 1, JOY_CODE_DOWN = 2, JOY_CODE_LEFT = 3, JOY_CODE_RIGHT = 4;
constexpr int joy_button_code(int iButton) { return JOY_CODE_RIGHT + iButton; } // button 1..12

constexpr stInputKeys tDefaultJoystick = {INPUT_JOYSTICK,     JOY_CODE_UP,        JOY_CODE_DOWN,
                                          JOY_CODE_LEFT,      JOY_CODE_RIGHT,     joy_button_code(1),
                                          joy_button_code(6), joy_button_code(7), joy_button_code(8)};
constexpr stInputKeys atDefaultControls[USER_NUM_PLAYERS][USER_NUM_INPUT_DEVICES] = {
    {{INPUT_KEYBOARD, KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT, KEY_ENTER, KEY_ESC, KEY_BACKSPACE,
      KEY_SPACE},
     tDefaultJoystick},
    // Player two's item key is E: with Space for both, player one's item key
    // would also fire player two's item in a match between two people.
    {{INPUT_KEYBOARD, KEY_W, KEY_S, KEY_D, KEY_A, KEY_ENTER_PAD, KEY_ESC, KEY_BACKSPACE, KEY_E},
     tDefaultJoystick},
};
} // namespace

void initialize_user_values(stUser *ptUser, int iIndex, const char *pszName, stUser *ptNext,
                            stUser *ptPast)
{
    *ptUser = stUser{}; // every counter, table and flag not listed below starts at 0
    ptUser->iUser = iIndex;
    snprintf(ptUser->szName, sizeof(ptUser->szName), "%s", pszName);
    snprintf(ptUser->szLanguage, sizeof(ptUser->szLanguage), "%s", DEFAULT_LANGUAGE);
    ptUser->iMusicVolume = DEFAULT_MUSIC_VOLUME;
    ptUser->iFXVolume = DEFAULT_FX_VOLUME;
    ptUser->bVsync = DEFAULT_VSYNC;
    ptUser->iNumCharacters = DEFAULT_NUM_CHARACTERS;
    for (int i = 0; i < USER_NUM_CHARACTERS; i++)
        ptUser->aiPlayableChar[i] = aiDefaultPlayableChar[i];
    ptUser->iNumStages = DEFAULT_NUM_STAGES;
    for (int iLevel : aiDefaultOpenLevels)
        ptUser->abPlayableStage[iLevel] = -1;
    for (int iSide = 0; iSide < USER_NUM_PLAYERS; iSide++)
        for (int iDevice = 0; iDevice < USER_NUM_INPUT_DEVICES; iDevice++)
            ptUser->atControls[iSide][iDevice] = atDefaultControls[iSide][iDevice];
    snprintf(ptUser->szExtraParams, sizeof(ptUser->szExtraParams), "%s", DEFAULT_EXTRA_PARAMS);
    ptUser->ptNextUser = ptNext;
    ptUser->ptPastUser = ptPast;
}

stUser *create_default_users(int iCount)
{
    const int iUsers = iCount < MAX_USERS ? iCount : MAX_USERS;
    stUser *ptFirst = nullptr, *ptLast = nullptr;
    for (int i = 0; i < iUsers; i++) {
        stUser *ptUser = static_cast<stUser *>(safe_malloc(sizeof(stUser)));
        initialize_user_values(ptUser, i, USER_DEFAULT_NAME, nullptr, ptLast);
        if (ptLast)
            ptLast->ptNextUser = ptUser;
        else
            ptFirst = ptUser;
        ptLast = ptUser;
    }
    if (ptFirst) { // close the ring
        ptLast->ptNextUser = ptFirst;
        ptFirst->ptPastUser = ptLast;
    }
    return ptFirst;
}

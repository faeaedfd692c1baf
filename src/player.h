// Players: one side of the match, who controls it, the character it plays,
// its score and its paddle. Booleans hold TRUE (-1) and FALSE (0).
#pragma once
#include "input.h"
#include "paddle.h"

struct RLE_SPRITE;

constexpr int PLAYER_NAME_SIZE = 30;          // bytes of szCharName, with its zero
constexpr float PLAYER_ONE_X = 50.0f;         // paddle x of player one (left), px
constexpr float PLAYER_TWO_X = 750.0f;        // paddle x of player two (right), px
constexpr float PLAYER_START_Y = 300.0f;      // paddle y at the start of a match, px
constexpr float PLAYER_FIELD_HEIGHT = 600.0f; // a paddle stays strictly inside 0 .. this, px
constexpr float PLAYER_DAMP_PERIOD = 0.025f;  // s of game time between two dampings
constexpr int NO_SUFFERING_ITEM = -1;
constexpr int NO_USED_ITEM = -1;

typedef struct _stPlayer {
    int iInput;             // IN_KEYBOARD | IN_JOYSTICK | IN_MOUSE | IN_COMPUTER
    int iJoystick;          // joystick this side reads, 0 .. 3
    int iPoints;            // points in the current match, 0 .. 5
    int iPlayer;            // 0 player one (left), 1 player two (right)
    int iCharacter;         // enCharacters value played
    int iSceneOrder;        // the character's place in the stage order ("orden_escena")
    int iDifficultyLevel;   // difficulty of this side
    int iPlayedGames;       // matches set up; non-zero: the match resources exist
    char szCharName[PLAYER_NAME_SIZE]; // name shown during the match ("nombre")
    int iBarSize;           // full size of the item bar ("tam_barra")
    float fProspectedBar;   // size the item bar is heading for; hits add their credit
    int iUsedItem;          // item in use, NO_USED_ITEM when none
    int bInvertScreen;      // TRUE while an item shows the match mirrored left to right
    int iControllerLevel;   // level a computer side's controller is built for
    RLE_SPRITE *rleCharacter; // normal picture ("imagen_normal"), owned, or null
    RLE_SPRITE *rleLoserChar; // losing picture ("imagen_pierde"), owned, or null
    stPaddle *ptPaddle;     // owned; allocated by init_player, rebuilt by reset_player
    stInputKeys *ptInputKeys; // bindings in use, in the current user's controls; not owned
    int iSufferingItem;     // item acting on this side, NO_SUFFERING_ITEM when none
    float fTimeSufferingItem;    // s
    int iSufferingElement;  // stage element acting on this side, NO_LEVEL_ELEMENT when none
    float fTimeSufferingElement; // s
} stPlayer;

extern stPlayer g_tPlayer[2]; // index 0 player one (left), 1 player two (right)

void init_player(int iPlayer, stPlayer *ptPlayer, int iInput);
// Rebuilds the side from its character's data for a new match.
void reset_player(stPlayer *ptPlayer, int iPlayerNum, int iLevel, int iDifficulty);
// Moves the paddle within its speed limit and the field and clears the hit credit.
void update_player(stPlayer *ptPlayer, float fDT);
void draw_player(BITMAP *bmpPicture, const stPlayer *ptPlayer);
void destroy_player(stPlayer *ptPlayer);

// The controller level for a side: iLevel, or from the stage order for the
// tournament (-1) and computer-against-computer (-2 and below) forms.
int controller_level(int iLevel, int iSceneOrder, int iDifficulty);
// The item bar's prospective size after a hit credit: shadows raise positive
// credit by half and halve the rest; while an item is in use only gains count.
float credit_hit(float fProspectedBar, float fCredit, int bShadows, int iUsedItem);
// Restarts the damping accumulator shared by both sides.
void reset_player_damping();

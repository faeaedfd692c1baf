// Players: one side of the match, who controls it, the character it plays,
// its score and its paddle. Booleans hold TRUE (-1) and FALSE (0).
#pragma once
#include "ai_functions.h"
#include "input.h"
#include "item.h"
#include "paddle.h"

struct RLE_SPRITE;
struct _stPersonality;

constexpr int PLAYER_NAME_SIZE = 30;          // bytes of szCharName, with its zero
constexpr float PLAYER_ONE_X = 50.0f;         // paddle x of player one (left), px
constexpr float PLAYER_TWO_X = 750.0f;        // paddle x of player two (right), px
constexpr float PLAYER_START_Y = 300.0f;      // paddle y at the start of a match, px
constexpr float PLAYER_FIELD_HEIGHT = 600.0f; // a paddle stays strictly inside 0 .. this, px
constexpr float PLAYER_DAMP_PERIOD = 0.025f;  // s of game time between two dampings
constexpr int NO_SUFFERING_ITEM = -1;

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
    stItem tItems;          // the item bar and the item state
    RLE_SPRITE *rleCharacter; // normal picture ("imagen_normal"), owned, or null
    RLE_SPRITE *rleLoserChar; // losing picture ("imagen_pierde"), owned, or null
    stPaddle *ptPaddle;     // owned; allocated by init_player, rebuilt by reset_player
    stInputKeys *ptInputKeys; // bindings in use, in the current user's controls; not owned
    int iSufferingItem;     // item acting on this side, NO_SUFFERING_ITEM when none
    float fTimeSufferingItem;    // s
    int iSufferingElement;  // stage element acting on this side, NO_LEVEL_ELEMENT when none
    float fTimeSufferingElement; // s
    stReactiveAI *ptReactiveAI;  // a computer side's controller, owned, or null
    struct _stPersonality *ptPersonality; // a computer side's personality, owned, or null
} stPlayer;

extern stPlayer g_tPlayer[2]; // index 0 player one (left), 1 player two (right)

void init_player(int iPlayer, stPlayer *ptPlayer, int iInput);
// Rebuilds the side from its character's data for a new match; a computer
// side gets a new controller and personality for its controller level.
void reset_player(stPlayer *ptPlayer, int iPlayerNum, int iLevel, int iDifficulty);
// Moves the paddle within its speed limit and the field and feeds the hit credit to the bar.
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

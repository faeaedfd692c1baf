// The match: the stages and the globals that every match module shares.
#pragma once
#include "ball.h"

struct _stPlayer;

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

typedef enum _enWinnerStatus {
    WITHOUT_A_WINNER = -1,
    PLAYER_1_WINNER = 0,
    PLAYER_2_WINNER = 1
} enWinnerStatus;

constexpr int TOURNAMENT_MODE = 0;  // playing mode: a tournament
constexpr int VERSUS_MODE = 1;      // playing mode: a versus series
constexpr int WINNING_POINTS = 5;   // points that win a match
constexpr int SHUTOUT_POINTS = 3;   // points that win a match while the other side has none
constexpr int NUM_TOURNAMENTS = 4;
constexpr int TOURNAMENT_OPPONENTS = 8;

extern int g_iPlayingMode;   // TOURNAMENT_MODE or VERSUS_MODE
extern int g_iDifficulty;    // tournament difficulty
extern int g_iTypeControl;   // player one's control type: 0 keyboard, 1 joystick
extern int g_iTypeControl2;  // player two's control type

// Runs a series of matches on g_iLevel between the two sides of g_tPlayer.
void pong(int iGameMode, int iPlayingMode, int iDifficulty);
// Loads and releases what one match needs: fonts, digits, ball, stage and song.
void init_pong();
void exit_pong();
// Starts a match's bookkeeping: no winner, not abandoned, no particles.
void start_pong_match();
// One frame of play with time step fDT (s): ball, both sides, collisions,
// scoring, particles and sound, without drawing.
void play_pong_frame(float fDT);
// Draws the frame into g_bmpBuffer and presents it on the screen.
void draw_pong();
void check_movement(struct _stPlayer *ptPlayer, int iPlayer, float fDT);
void detect_out_of_bounds();
int exists_pong_winner();
int pong_winner();           // the current match's enWinnerStatus
int pong_quit();             // TRUE once the match was abandoned or the series is to end
void check_rematch_selection(int iSelection, int *bContinueMatch);

int is_alter(int iCharacter);
int get_alter_character(int iCharacter);
void select_tournament_opponents(int *viPlayerOrder);
int remaining_levels(int iPlayingMode, int iCurrentMatch, int iTournament, int bContinueMatch);

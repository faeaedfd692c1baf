// Character selection: the players pick their characters on a grid of
// avatars; only the characters the profile makes selectable can be
// highlighted. Player one always picks, player two only between two people,
// the computer against the computer confirms at once.
#pragma once
#include "pong.h"

constexpr int SELECT_TEXT_SIZE = 256;  // bytes of each name field, with its zero
constexpr int NO_CHARACTER = 20;       // player two's part of the result against the computer

typedef struct _stName {
    int iY;            // px: the name's second line
    int iXPlayer1;     // px: its centre on each side
    int iXPlayer2;
    char szName[2][SELECT_TEXT_SIZE]; // a small first line and the big second line
    char szPlayer1[SELECT_TEXT_SIZE]; // the name plates
    char szPlayer2[SELECT_TEXT_SIZE];
} stName;

typedef struct _stAvatar {
    int iX;            // px: place in the grid
    int iY;
    char szSelected[SELECT_TEXT_SIZE];
    char szNotSelected[SELECT_TEXT_SIZE];
    char szHidden[SELECT_TEXT_SIZE];
} stAvatar;

typedef struct _stLinkAvatar {
    int iUp;           // the character reached by each direction
    int iDown;
    int iLeft;
    int iRight;
} stLinkAvatar;

typedef struct _stAvatarPlayer {
    int iX;            // px: centre of the large picture on player one's side
    int iY;
    char szName[SELECT_TEXT_SIZE];
} stAvatarPlayer;

typedef struct _stCharacter {
    stName tName;
    stAvatar tAvatar;
    stLinkAvatar tLink;
    stAvatarPlayer tPlayer;
} stCharacter;

typedef struct _stSelectScreenPlayer {
    int iXVs;          // px: the versus picture
    int iYVs;
    float fTimeOn;     // blink of the highlighted avatar, hundredths of a second
    float fTimeOff;
    int iNumCharacters;
    char szRoute[SELECT_TEXT_SIZE];      // datafile of every picture of the screen
    char szVs[SELECT_TEXT_SIZE];
    char szBackground[SELECT_TEXT_SIZE];
    stCharacter tCharacter[NUM_CHARACTERS];
} stSelectScreenPlayer;

// The characters chosen: (player one << 8) | player two; player two's part
// is NO_CHARACTER against the computer; -1 when player one backed out.
int select_player(int iGameMode, int iPlayingMode);
// The screen's record read from "SEL_PERSONAJE" into ptScreen.
void select_player_screen_load(stSelectScreenPlayer *ptScreen);
void load_image(const stSelectScreenPlayer *ptScreen);
void destroy_bmp_rle_to_player_screen();
// One frame of the screen into bmpBuffer.
void print_screen_select_player(BITMAP *bmpBuffer, int iSelected1, int iSelected2, int iCount,
                                int bChoosing1, int bChoosing2);
// From iSelected one step along iDirection (a movement code), then on along
// the links until a selectable character; iSelected when none is. The screen
// on show and the current profile's statuses.
int check_link(int iDirection, int iSelected);
// The same over a given record and character statuses (enCharStatus).
int follow_links(const stSelectScreenPlayer *ptScreen, const int aiStatus[NUM_CHARACTERS], int iDirection,
                 int iSelected);
// The result of the screen for a game mode and the two highlighted characters.
int pack_selection(int iGameMode, int iSelected1, int iSelected2);

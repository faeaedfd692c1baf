// Menus: every menu of the game is data. A menu document per language gives
// each button's caption or pictures, place, alignment, font, colours, state,
// mouse area and neighbours; a menu-text document gives each screen's fixed
// texts and backgrounds. This module loads both, draws them, moves the
// selection along the links, and runs the opening and rematch screens.
#pragma once
#include "language_conf.h"

struct BITMAP;
typedef struct _TFONT_FONT TFONT_FONT;

constexpr int MENU_TEXT_SIZE = 256;        // bytes of each text field, with its zero
constexpr int MENU_OPTION_ELEMENTS = 30;   // elements of one option group
constexpr int MENU_OPTIONS = 15;           // option groups of one menu
constexpr int NUM_GAME_MENUS = 12;         // menus of a language, by menu number
constexpr int SCREEN_TEXTS = 30;           // texts of one screen
constexpr int NUM_TEXT_SCREENS = 20;       // screens of a menu-text document
constexpr int SCREEN_BACKGROUNDS = 4;      // backgrounds of one screen
constexpr int NUM_BOXES = 2;
constexpr int NUM_ZENK_BACKGROUNDS = 4;    // opening-screen backgrounds (two are loaded)

typedef struct _stFontData {
    char szID[MENU_TEXT_SIZE];
    char szName[MENU_TEXT_SIZE];  // "FUTURA", or anything else for CRACKHOUSE
    char szRoute[MENU_TEXT_SIZE];
    int iSize;                    // px
    int iColorSelected;
    int iColorUnselected;
    int iColorDisabled;
} stFontData;

// The pictures of a button; an empty route means the button is text.
typedef struct _stImageData {
    char szRoute[MENU_TEXT_SIZE];       // datafile path of the pictures
    char szImage[MENU_TEXT_SIZE];       // normal picture
    char szActiveImage[MENU_TEXT_SIZE]; // selected picture
    char szOrientation[MENU_TEXT_SIZE]; // "UP", "DOWN", "LEFT" or "RIGHT" for an arrow
    BITMAP *bmpImage;                   // owned, null for a text button
    BITMAP *bmpActiveImage;             // owned, null for a text button
} stImageData;

// Neighbours reached by each direction, as element indices.
typedef struct _stLink {
    int iUp;
    int iDown;
    int iLeft;
    int iRight;
} stLink;

typedef struct _stPosition {
    int iX; // px
    int iY;
    char szCenterType[MENU_TEXT_SIZE]; // "centrado", "izquierda" or, for texts, "derecha"
} stPosition;

// Screen rectangle answering the mouse, bounds included, px.
typedef struct _stMouseArea {
    int iXLeft;
    int iXRight;
    int iYUp;
    int iYDown;
} stMouseArea;

// One button.
typedef struct _stElement {
    char szID[MENU_TEXT_SIZE];
    char szName[MENU_TEXT_SIZE]; // the caption; empty on an arrow button
    int iStatus;                 // 1 enabled, 0 disabled
    int iValue;                  // what choosing the button answers
    stLink tLink;
    stFontData tFont;
    stImageData tImage;
    stPosition tPosition;
    stMouseArea tMouseArea;
} stElement;

typedef struct _stOption {
    char szID[MENU_TEXT_SIZE];
    char szType[MENU_TEXT_SIZE];
    int iNumElements;                       // elements in use
    stElement atElement[MENU_OPTION_ELEMENTS];
} stOption;

// Each menu of the game uses its first option group only.
typedef struct _stMenu {
    int iNumMenus;
    stOption atOption[MENU_OPTIONS];
} stMenu;

typedef struct _stTextElement {
    char szName[MENU_TEXT_SIZE]; // the text
    stFontData tFont;            // its name, route, size and selected colour are used
    stPosition tPosition;
} stTextElement;

typedef struct _stBackgroundImage {
    char szBackground[MENU_TEXT_SIZE]; // object name
} stBackgroundImage;

typedef struct _stBackground {
    int iNumBackgrounds;
    char szRoute[MENU_TEXT_SIZE]; // datafile path
    stBackgroundImage atImage[SCREEN_BACKGROUNDS];
} stBackground;

typedef struct _stScreen {
    int iNumElements;
    char szID[MENU_TEXT_SIZE];
    stBackground tBackground;
    stTextElement atTextElement[SCREEN_TEXTS];
} stScreen;

typedef struct _stMenuText {
    int iNumScreens;
    stScreen atScreen[NUM_TEXT_SCREENS];
} stMenuText;

typedef struct _stBox {
    int iXo;
    int iYo;
    int iXf;
    int iYf;
    int iColorBox;
    int iColorBoarder;
    int iXEnd;
    int iIncX;
    int iIncY;
} stBox;

// Screens of the menu-text document.
typedef enum _enTexts {
    TEXT_OPTIONS = 0,
    TEXT_CONTROLS = 1,
    TEXT_USERS = 2,
    TEXT_ENDING = 3,
    TEXT_HELP = 4,
    TEXT_INTRO = 5,
    TEXT_STAGE = 6,
    TEXT_PRINCIPAL = 7
} enTexts;

// Menu numbers.
constexpr int MENU_BEGINNING = 0;
constexpr int MENU_VERSUS = 1;
constexpr int MENU_CONTROLS_ONE = 2;
constexpr int MENU_CONTROLS_TWO = 3;
constexpr int MENU_OPTIONS_SCREEN = 4;
constexpr int MENU_STAGE = 5;
constexpr int MENU_REMATCH = 7;
constexpr int MENU_PLAY = 8;
constexpr int MENU_TOURNAMENT = 9;

typedef enum _enBeginningMenu { PLAY = 0, OPTIONS = 1, EXIT = 2 } enBeginningMenu;
typedef enum _enPlayMenu { TOURNAMENT = 0, VS = 1, BACK_TO_BEGGINING = 2 } enPlayMenu;
typedef enum _enVersusMenu { P1_VS_CPU = 0, P1_VS_P2 = 1, CPU_VS_CPU = 2, VS_BACK_TO_PLAY = 3 } enVersusMenu;
typedef enum _enTournamentMenu { EASY = 0, MEDIUM = 1, HARD = 2, T_BACK_TO_PLAY = 3 } enTournamentMenu;
// Choices of the rematch screen and of the in-match menu.
typedef enum _enRematchMenu {
    REMATCH = 0,
    CHANGE_CHARACTER = 1,
    CHANGE_STAGE = 2,
    REMATCH_EXIT = 3,
    CONTINUE = 4
} enRematchMenu;
typedef enum _enMenuScreens {
    BEGGINING_SCREEN = 0,
    PLAY_SCREEN = 1,
    VERSUS_MODE_SCREEN = 2,
    TOURNAMENT_SCREEN = 3
} enMenuScreens;

extern stMenu *g_ptMenu[NUM_GAME_MENUS];          // the current language's menus, owned
extern stMenu *g_ptParcialMenu[MAX_LANGUAGES];    // every language's options menu, owned
extern stMenuText *g_ptMenuText;                  // the current language's screens, owned
extern stMenuText *g_ptParcialMenuText;           // every language's options screen, owned
extern stBox *g_ptBox[NUM_BOXES];                 // owned
extern BITMAP *g_bmpZenkBgnd[NUM_ZENK_BACKGROUNDS]; // the opening screen's pictures, owned
extern int g_bResetStage; // TRUE once the opening screen ran: the stage screen starts afresh

// The back buffer on the screen, with the mouse pointer over it.
void present_with_mouse();
// A menu sound (enMenuSounds) on the sounds' channel, centred.
void play_menu_sound(int iSound);
stMenu *menu_create();
void menu_destroy(stMenu *ptMenu);
// Reads iCount menus into newly allocated records, then their mouse areas.
void load_menu(stMenu *aptMenu[], int iCount);
void destroy_all_menu();
void destroy_all_parcial_menu();
stMenuText *create_menu_text();
void load_menu_text(stMenuText *ptTexts);
void destroy_menu_text(stMenuText **pptTexts);
// Every language's options menu and options screen, for the language option.
void load_parcial_language(stMenu *aptMenu[], stMenuText *ptTexts);
void set_mouse_area(stMenu *aptMenu[], int iCount);
void set_mouse_area_to_one_menu(stMenu *ptMenu);

// The buttons of the menu's first option, iSelected drawn selected.
void print_button_to_screen(stMenu *ptMenu, TFONT_FONT *ptFont, BITMAP *bmpBuffer, int iSelected);
// The texts of screen iScreen.
void print_text_to_screen(const stMenuText *ptTexts, TFONT_FONT *ptFont, int iScreen, BITMAP *bmpBuffer);
// The index into g_Fonts for a font name: 1 for exactly "FUTURA", else 0.
int font_use(const char *pszName);
// From iFrom, the first element along direction iMove (MOVE_UP, MOVE_DOWN,
// MOVE_SHRINK for right, MOVE_GROW for left) that is enabled; iFrom itself
// when no element of the cycle is. bOnce: one step only, enabled or not.
int next_selection(const stMenu *ptMenu, int iFrom, int iMove, bool bOnce);

void load_box(stBox *aptBox[]);
stBox *box_create();
void box_destroy(stBox *ptBox);
// The menus' frame grows over the screen, then stays drawn on it.
void draw_box(const stBox *ptBox);
// The menus' frame, translucent, centred on the picture.
void draw_menu_frame(BITMAP *bmpPicture);

// The opening screen's picture iPicture (0 normal, 1 champion, also the
// closing picture), loaded from the current language's screen texts the first
// time it is asked for: loading both at start-up was most of the start-up's
// work, before the intro, which needs neither.
BITMAP *zenk_background(int iPicture);
void destroy_zenk_background();
// The opening screen's background for the current profile: 1 for a player
// who won the hardest cup, 2 when every character is selectable, 3 after
// long play, else 0.
int get_current_background();
// Whether the hardest tournament may be chosen.
int check_zenkplayer_dif_active();

// The opening screen: the game mode chosen (-1 to quit), the playing mode and
// the difficulty.
void opening_screen(int *piGameMode, int *piPlayingMode, int *piDifficulty);
// The game mode and difficulty the opening screen leaves with, for the
// selection iSelection of the screen it left.
void opening_result(int iSelection, int iPlayingMode, int *piGameMode, int *piDifficulty);
// The rematch screen for side iPlayer; the five flags enable CONTINUE,
// REMATCH, CHANGE_STAGE, CHANGE_CHARACTER and REMATCH_EXIT. Gives the choice.
int rematch_screen(int iPlayer, int bContinue, int bRematch, int bChangeStage, int bChangeCharacter,
                   int bExit);

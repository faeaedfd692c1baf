// Menus: the records of a data-driven menu that the mouse hit tests read.
#pragma once

constexpr int MENU_TEXT_SIZE = 256;        // bytes of each text field, with its zero
constexpr int MENU_OPTION_ELEMENTS = 30;   // elements of one option group
constexpr int MENU_OPTIONS = 15;           // option groups of one menu

// The picture of a button; an empty route means the button is text.
typedef struct _stImageData {
    char szRoute[MENU_TEXT_SIZE];       // datafile path of the pictures
    char szOrientation[MENU_TEXT_SIZE]; // "UP", "DOWN", "LEFT" or "RIGHT" for an arrow
} stImageData;

// Screen rectangle answering the mouse, bounds included, px.
typedef struct _stMouseArea {
    int iXLeft;
    int iXRight;
    int iYUp;
    int iYDown;
} stMouseArea;

// One button.
typedef struct _stElement {
    char szName[MENU_TEXT_SIZE]; // the caption; empty on an arrow button
    int iStatus;                 // 1 enabled, 0 disabled
    int iValue;                  // what choosing the button answers
    stImageData tImage;
    stMouseArea tMouseArea;
} stElement;

typedef struct _stOption {
    int iNumElements;                       // elements in use
    stElement atElement[MENU_OPTION_ELEMENTS];
} stOption;

// Each menu of the game uses its first option group only.
typedef struct _stMenu {
    stOption atOption[MENU_OPTIONS];
} stMenu;

// Choices of the rematch screen and of the in-match menu.
typedef enum _enRematchMenu {
    REMATCH = 0,
    CHANGE_CHARACTER = 1,
    CHANGE_STAGE = 2,
    REMATCH_EXIT = 3,
    CONTINUE = 4
} enRematchMenu;

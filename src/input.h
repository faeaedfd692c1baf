// Input polling: the command bindings of one side, the movement codes one poll
// gives, the three device checks with their latches, and the mouse on menus.
#pragma once
#include "geometric.h"

struct _stMenu;
struct _stElement;

// Nine 32-bit signed integers: the device kind (1 keyboard, 2 joystick) and the
// key scancode or joystick code bound to each command.
typedef struct _stInputKeys {
    int iType;   // 1 keyboard, 2 joystick
    int iUp;     // moves the paddle up
    int iDown;   // moves the paddle down
    int iShrink; // first spring command
    int iGrow;   // second spring command
    int iStart;  // confirm / start
    int iEscape; // pause / leave
    int iBack;   // go back in menus
    int iAction; // use the item
} stInputKeys;
static_assert(sizeof(stInputKeys) == 9 * sizeof(int) && sizeof(int) == 4, "nine 32-bit fields");

// Device flags of a side (stPlayer.iInput).
constexpr int IN_KEYBOARD = 1;
constexpr int IN_JOYSTICK = 2;
constexpr int IN_MOUSE = 4;
constexpr int IN_COMPUTER = 8;

// Movement codes of one poll.
typedef enum _enMovements {
    MOVE_NONE = 0,
    MOVE_UP = 1,
    MOVE_DOWN = 2,
    MOVE_SHRINK = 3,
    MOVE_GROW = 4,
    MOVE_ESCAPE = 5,
    MOVE_START = 6,
    MOVE_HELP = 7,
    MOVE_BACK = 8,
    MOVE_ACTION = 9
} enMovements;

// Joystick codes: -1 nothing pressed, 0 unbound, 1..4 stick 0 directions,
// 5..16 buttons 0..11.
constexpr int JOY_NOTHING = -1;
constexpr int JOY_UNBOUND = 0;
constexpr int JOY_CODE_UP = 1;
constexpr int JOY_CODE_DOWN = 2;
constexpr int JOY_CODE_LEFT = 3;
constexpr int JOY_CODE_RIGHT = 4;
constexpr int JOY_CODE_BUTTON0 = 5;
constexpr int JOY_READ_BUTTONS = 12; // buttons a joystick code can name

// One movement code for side iPlayer of g_tPlayer; iMode 1 held, 0 edge.
int poll_movement(int iPlayer, int iMode);
int check_joystick(const stInputKeys *ptInput, int iNumJoy, int iMode);
int check_keyboard(const stInputKeys *ptInput, int iMode);
int check_mouse();

// The joystick code of joystick iNumJoy as it stands (the caller polls).
int joy_button_pressed(int iNumJoy);
int check_joystick_pressed(int iNumJoy);
// Waits until joystick iNumJoy gives a code, clears its state and returns it.
int read_joy(int iNumJoy);
void clear_joy_buff(int iNumJoy);

int check_mouse_pressed();
int check_mouse_active();
int check_mouse_position(const struct _stMenu *ptMenu, int iPreviuos);
int check_mouse_selected(const struct _stMenu *ptMenu, int iSelected);
int check_mouse_position_changed(const struct _stMenu *ptMenu, int iPreviuos);
void check_triangle_to_mouse(const struct _stElement *ptElement, stPoint atPoint[3]);

stInputKeys *create_input_keys();
void destroy_input_keys(stInputKeys *ptInput);
void set_input_keys(stInputKeys *ptDestInput, const stInputKeys *ptSourceInput);
int check_ai();

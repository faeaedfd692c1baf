// Control configuration: which device each side plays with, the names of keys
// and joystick inputs, and the controls screen where both sides choose their
// device and rebind their eight commands.
#pragma once
#include "input.h"

struct _stPlayer;
typedef struct _TFONT_FONT TFONT_FONT;

constexpr int NUM_KEY_NAMES = 128;      // one per keyboard scancode, 0 .. KEY_MAX
constexpr int NUM_JOY_NAMES = 17;       // one per joystick code, 0 .. 16
constexpr int NUM_CONTROL_DEVICES = 5;  // the keyboard and joysticks 1 .. 4
constexpr int CONTROL_NAME_SIZE = 20;   // bytes of a device name, with its zero
constexpr int DEVICE_CODE_LENGTH = 4;   // characters of the device code in the profile

// The elements of each side's controls menu (MENU_CONTROLS_ONE, MENU_CONTROLS_TWO).
typedef enum _enControlBottons {
    CONTROL_CHANGE_L = 0, // arrow: previous device
    CONTROL_CHANGE_R = 1, // arrow: next device
    CONTROL_UP = 2,       // binding iUp
    CONTROL_DOWN = 3,     // binding iDown
    CONTROL_LEFT = 4,     // binding iShrink
    CONTROL_RIGHT = 5,    // binding iGrow
    CONTROL_START = 6,    // binding iStart
    CONTROL_BACK = 7,     // binding iBack
    CONTROL_ESCAPE = 8,   // binding iEscape
    CONTROL_ACTION = 9,   // binding iAction
    CONTROL_EXIT = 10     // leave the screen
} enControlBottons;

// Key names by scancode, without the KEY_ prefix; entry 0 is "(none)".
extern const char *const key_names[NUM_KEY_NAMES];
// Joystick code names: "(none)", the four stick directions, then "JOY_1" .. "JOY_12".
extern const char *const joy_names[NUM_JOY_NAMES];
// Device names from the labels: 0 the keyboard, n joystick n - 1.
extern char szControls[NUM_CONTROL_DEVICES][CONTROL_NAME_SIZE];

// Both sides on the keyboard, each reading its own keyboard bindings of the
// current user.
void init_controls();
// The controls screen, until a side leaves it; then the sides' device kinds go
// to g_iTypeControl / g_iTypeControl2 and the device code into the profile.
void controls_screen();

// Rebinds command element iSelected (CONTROL_UP .. CONTROL_ACTION) of the
// side from its device; the prompt is printed in fontControls.
void config_control(struct _stPlayer *ptPlayer, int iSelected, TFONT_FONT *fontControls);
// Waits for a key (Escape included: it may be bound) and binds it.
void config_keyboard(struct _stPlayer *ptPlayer, int iSelected, TFONT_FONT *fontControls);
// Waits for a joystick code and binds it; Escape on the keyboard abandons the
// wait and keeps the binding.
void config_joystick(struct _stPlayer *ptPlayer, int iSelected, TFONT_FONT *fontControls);
// Unbinds (0) the first command other than element iSel bound to iButton, in
// element order, so that no two commands share a key or button.
void validate_buttons(stInputKeys *ptControl, int iButton, int iSel);
// Device iControl1 reached by a step left (iSelect CONTROL_CHANGE_L) or right
// (CONTROL_CHANGE_R): one more step the same way, wrapping over iNumControls,
// when it is the joystick iControl2 the other side holds. Any other iSelect
// gives iControl1.
int validate_controls(int iControl1, int iControl2, int iNumControls, int iSelect);

// The names of the side's eight bindings, as the captions of elements
// CONTROL_UP .. CONTROL_ACTION of menu iNumMenu of g_ptMenu.
void info_control(int iNumMenu, const struct _stPlayer *ptPlayer);
void info_keyboard(int iMenu, const struct _stPlayer *ptPlayer);
void info_joystick(int iMenu, const struct _stPlayer *ptPlayer);
// The joy_names entry of iButton when iLowRange <= iButton <= iHighRange and
// the table has it, else "(none)".
const char *check_botton_name(int iButton, int iLowRange, int iHighRange);

// IN_KEYBOARD for exactly "KEYBOARD", otherwise IN_JOYSTICK.
int type_control(const char *pszType);
// 0 .. 3 for exactly "JOYSTICK 1" .. "JOYSTICK 4", otherwise -1.
int num_joy(const char *pszType);
// 0 .. 3 for the digits '0' .. '3', otherwise 0.
int num_joy_from_db(char cNum);
// The two sides' devices as four characters and a zero: per side "K-" for the
// keyboard or 'J' and the joystick's digit.
void write_device_code(char *pszExtra, const struct _stPlayer *ptOne, const struct _stPlayer *ptTwo);

// Control configuration: owns the key and joystick name tables, the device
// names of the current language, and, for one visit of the controls screen,
// its pictures, fonts and the two sides' cursors. Each side's bindings always
// point into the current user's controls table; the device choice lives in
// the player records.
#include "controls.h"
#include "fade.h"
#include "grabber_functions.h"
#include "help.h"
#include "labels.h"
#include "main.h"
#include "menu.h"
#include "player.h"
#include "pong.h"
#include "sound.h"
#include "sound_loading.h"
#include "tfont.h"
#include "time.h"
#include "utils.h"

#include <algorithm>
#include <allegro.h>
#include <cstdio>
#include <cstring>

constexpr const char *key_names[NUM_KEY_NAMES] = {
    "(none)",
    "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
    "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z",
    "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
    "0_PAD", "1_PAD", "2_PAD", "3_PAD", "4_PAD", "5_PAD", "6_PAD", "7_PAD", "8_PAD", "9_PAD",
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10", "F11", "F12",
    "ESC", "TILDE", "MINUS", "EQUALS", "BACKSPACE", "TAB", "OPENBRACE", "CLOSEBRACE",
    "ENTER", "COLON", "QUOTE", "BACKSLASH", "BACKSLASH2", "COMMA", "STOP", "SLASH",
    "SPACE", "INSERT", "DEL", "HOME", "END", "PGUP", "PGDN", "LEFT", "RIGHT", "UP", "DOWN",
    "SLASH_PAD", "ASTERISK", "MINUS_PAD", "PLUS_PAD", "DEL_PAD", "ENTER_PAD", "PRTSCR", "PAUSE",
    "ABNT_C1", "YEN", "KANA", "CONVERT", "NOCONVERT", "AT", "CIRCUMFLEX", "COLON2", "KANJI",
    "EQUALS_PAD", "BACKQUOTE", "SEMICOLON", "COMMAND",
    "UNKNOWN1", "UNKNOWN2", "UNKNOWN3", "UNKNOWN4", "UNKNOWN5", "UNKNOWN6", "UNKNOWN7", "UNKNOWN8",
    "LSHIFT", "RSHIFT", "LCONTROL", "RCONTROL", "ALT", "ALTGR", "LWIN", "RWIN", "MENU",
    "SCRLOCK", "NUMLOCK", "CAPSLOCK",
    "MAX"};

constexpr const char *joy_names[NUM_JOY_NAMES] = {
    "(none)", "JOY_UP", "JOY_DOWN", "JOY_LEFT", "JOY_RIGHT",
    "JOY_1", "JOY_2", "JOY_3", "JOY_4", "JOY_5", "JOY_6",
    "JOY_7", "JOY_8", "JOY_9", "JOY_10", "JOY_11", "JOY_12"};

char szControls[NUM_CONTROL_DEVICES][CONTROL_NAME_SIZE] = {};

namespace {
constexpr bool same_text(const char *pszA, const char *pszB)
{
    while (*pszA != '\0' && *pszA == *pszB) {
        pszA++;
        pszB++;
    }
    return *pszA == *pszB;
}

// The name table follows the library's scancodes: a missing or shifted entry
// breaks one of these.
static_assert(NUM_KEY_NAMES == KEY_MAX + 1, "one name per scancode");
static_assert(same_text(key_names[KEY_A], "A") && same_text(key_names[KEY_0], "0") &&
                  same_text(key_names[KEY_0_PAD], "0_PAD") && same_text(key_names[KEY_F1], "F1") &&
                  same_text(key_names[KEY_ESC], "ESC") && same_text(key_names[KEY_SPACE], "SPACE") &&
                  same_text(key_names[KEY_ENTER_PAD], "ENTER_PAD") &&
                  same_text(key_names[KEY_COMMAND], "COMMAND") &&
                  same_text(key_names[KEY_UNKNOWN8], "UNKNOWN8") &&
                  same_text(key_names[KEY_LSHIFT], "LSHIFT") &&
                  same_text(key_names[KEY_CAPSLOCK], "CAPSLOCK") && same_text(key_names[KEY_MAX], "MAX"),
              "key names in scancode order");
static_assert(NUM_JOY_NAMES == JOY_CODE_BUTTON0 + JOY_READ_BUTTONS, "one name per joystick code");

constexpr const char *FONT_NAME = "FUTURA";
constexpr const char *FONT_DATAFILE = "data/tx05.dat";
constexpr int FONT_HEIGHT = 30;          // px: device names
constexpr int PROMPT_FONT_HEIGHT = 40;   // px: rebinding prompts
constexpr const char *KEYBOARD_NAME = "KEYBOARD";
constexpr const char *apszJoystickName[] = {"JOYSTICK 1", "JOYSTICK 2", "JOYSTICK 3", "JOYSTICK 4"};
constexpr int LABEL_PROMPT_ONE = 5;      // "press a key" of each side
constexpr int LABEL_PROMPT_TWO = 6;
constexpr int LABEL_FIRST_DEVICE = 17;   // labels 17 .. 21 name the devices
constexpr int DEVICE_NAME_X_TWO = 570;   // px: side 2's device name; side 1's is the label's
constexpr int BACKGROUND_R = 0, BACKGROUND_G = 153, BACKGROUND_B = 204;
constexpr int FRAME_WAIT = 33;           // ms between two frames
constexpr int LEAVE_WAIT = 100;          // ms the exit stays shown before leaving
constexpr int FADE_TIME = 500;           // ms
constexpr int JOY_WAIT_REST = 5;         // ms between two looks at a joystick being rebound
constexpr int NO_SELECTION = -1;
constexpr int NUM_SIDES = 2;
constexpr int aiMenu[NUM_SIDES] = {MENU_CONTROLS_ONE, MENU_CONTROLS_TWO};

// The binding each command element changes, from CONTROL_UP on.
constexpr int stInputKeys::*apElementBinding[] = {
    &stInputKeys::iUp,    &stInputKeys::iDown, &stInputKeys::iShrink, &stInputKeys::iGrow,
    &stInputKeys::iStart, &stInputKeys::iBack, &stInputKeys::iEscape, &stInputKeys::iAction};
static_assert(sizeof(apElementBinding) / sizeof(apElementBinding[0]) == CONTROL_ACTION - CONTROL_UP + 1,
              "one binding per command element");

// One side's cursor on the screen.
struct ControlSide {
    int iSelected = NO_SELECTION; // element of the side's menu
    int iDevice = 0;              // index into szControls
    int iTypeMove = MOVE_NONE;    // movement code of this frame
    bool bSkipInput = false;      // set after a rebind: the next frame's input is ignored
};

// One visit's pictures, fonts and cursors.
struct ControlsState {
    BITMAP *bmpBackground = nullptr;
    TFONT_FONT *fontControls = nullptr;
    TFONT_FONT *fontPrompt = nullptr;
    int iNumControls = 1;         // the keyboard and the joysticks installed
    ControlSide atSide[NUM_SIDES];
    bool bLeave = false;
};
ControlsState g_tControls;

bool command_element(int iElement)
{
    return iElement >= CONTROL_UP && iElement <= CONTROL_ACTION;
}

int &binding_of(stInputKeys *ptControl, int iElement)
{
    return ptControl->*apElementBinding[iElement - CONTROL_UP];
}

const char *key_name(int iKey)
{
    return key_names[iKey >= 0 && iKey < NUM_KEY_NAMES ? iKey : 0];
}

bool on_keyboard(const stPlayer *ptPlayer)
{
    return (ptPlayer->iInput & ~IN_MOUSE) == IN_KEYBOARD;
}

stMenu *side_menu(int iSide)
{
    return g_ptMenu[aiMenu[iSide]];
}

void set_caption(stMenu *ptMenu, int iElement, const char *pszName)
{
    stElement &e = ptMenu->atOption[0].atElement[iElement];
    snprintf(e.szName, sizeof(e.szName), "%s", pszName);
}

// The side's "press a key" prompt, straight on the screen.
void print_prompt(const stPlayer *ptPlayer, TFONT_FONT *fontControls)
{
    const stLabel *ptLabel = g_ptLabel[ptPlayer->iPlayer == 0 ? LABEL_PROMPT_ONE : LABEL_PROMPT_TWO];
    if (!ptLabel)
        return;
    show_mouse(nullptr);
    textprintf_centre_shadow(screen, fontControls, ptLabel->iX, ptLabel->iY, ptLabel->iColor, ptLabel->szText);
}

// The next code of joystick iNumJoy, or JOY_NOTHING once Escape on the
// keyboard abandons the wait; Escape is waited out so that no one reads it next.
int wait_joystick_or_escape(int iNumJoy)
{
    while (!key[KEY_ESC]) {
        update_fmod();
        poll_joystick();
        const int iCode = joy_button_pressed(iNumJoy);
        if (iCode != JOY_NOTHING) {
            clear_joy_buff(iNumJoy);
            return iCode;
        }
        rest(JOY_WAIT_REST);
    }
    while (key[KEY_ESC])
        rest(JOY_WAIT_REST);
    clear_keybuf();
    return JOY_NOTHING;
}

// -------- the screen --------

void enter_controls()
{
    ControlsState &t = g_tControls;
    t = ControlsState();
    // The library may find more joysticks than there are device names.
    t.iNumControls = std::min(num_joysticks + 1, NUM_CONTROL_DEVICES);
    for (int i = 0; i < NUM_CONTROL_DEVICES; i++) {
        const stLabel *ptLabel = g_ptLabel[LABEL_FIRST_DEVICE + i];
        // Longer names are cut to the table's width.
        snprintf(szControls[i], sizeof(szControls[i]), "%.*s", CONTROL_NAME_SIZE - 1,
                 ptLabel ? ptLabel->szText : "");
    }
    for (int iSide = 0; iSide < NUM_SIDES; iSide++) {
        const stPlayer &p = g_tPlayer[iSide];
        t.atSide[iSide].iDevice = on_keyboard(&p) ? 0 : p.iJoystick + 1;
        info_control(aiMenu[iSide], &p);
    }
    t.fontControls = load_font_from_dat(FONT_NAME, FONT_DATAFILE, FONT_HEIGHT);
    t.fontPrompt = load_font_from_dat(FONT_NAME, FONT_DATAFILE, PROMPT_FONT_HEIGHT);
    const stBackground &b = g_ptMenuText->atScreen[TEXT_CONTROLS].tBackground;
    t.bmpBackground = load_bmp_from_dat(b.atImage[0].szBackground, b.szRoute);
}

void leave_controls()
{
    ControlsState &t = g_tControls;
    show_mouse(nullptr);
    fade_to_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
    for (stPlayer &p : g_tPlayer)
        p.iInput &= ~IN_MOUSE;
    g_iTypeControl = on_keyboard(&g_tPlayer[0]) ? 0 : 1;
    g_iTypeControl2 = on_keyboard(&g_tPlayer[1]) ? 0 : 1;
    write_device_code(g_ptUserContainer->ptCurrentUser->szExtraParams, &g_tPlayer[0], &g_tPlayer[1]);
    destroy_bitmap(t.bmpBackground);
    tfont_destroy_font(t.fontControls);
    tfont_destroy_font(t.fontPrompt);
    t.bmpBackground = nullptr;
    t.fontControls = t.fontPrompt = nullptr;
}

void draw_controls()
{
    const ControlsState &t = g_tControls;
    clear_to_color(g_bmpBuffer, makecol(BACKGROUND_R, BACKGROUND_G, BACKGROUND_B));
    blit(t.bmpBackground, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    for (int iSide = 0; iSide < NUM_SIDES; iSide++)
        print_button_to_screen(side_menu(iSide), t.fontControls, g_bmpBuffer, t.atSide[iSide].iSelected);
    print_text_to_screen(g_ptMenuText, t.fontControls, TEXT_CONTROLS, g_bmpBuffer);
    const stLabel *ptPlace = g_ptLabel[LABEL_FIRST_DEVICE];
    if (!ptPlace)
        return;
    const int aiX[NUM_SIDES] = {ptPlace->iX, DEVICE_NAME_X_TWO};
    for (int iSide = 0; iSide < NUM_SIDES; iSide++)
        textprintf_centre_shadow(g_bmpBuffer, t.fontControls, aiX[iSide], ptPlace->iY, ptPlace->iColor,
                                 szControls[t.atSide[iSide].iDevice]);
}

// The side's next device to the left or right (iSelect CONTROL_CHANGE_L or
// CONTROL_CHANGE_R), never the joystick the other side holds, and the
// bindings that go with it.
void change_device(int iSide, int iSelect)
{
    ControlsState &t = g_tControls;
    ControlSide &s = t.atSide[iSide];
    int iDevice = s.iDevice + (iSelect == CONTROL_CHANGE_L ? -1 : 1);
    if (iDevice < 0)
        iDevice = t.iNumControls - 1;
    else if (iDevice >= t.iNumControls)
        iDevice = 0;
    s.iDevice = validate_controls(iDevice, t.atSide[1 - iSide].iDevice, t.iNumControls, iSelect);
    const char *pszName = szControls[s.iDevice];
    stPlayer &p = g_tPlayer[iSide];
    p.iInput = type_control(pszName);
    p.iJoystick = num_joy(pszName);
    const int iKind = p.iInput == IN_KEYBOARD ? USER_KEYBOARD_CONTROLS : USER_JOYSTICK_CONTROLS;
    p.ptInputKeys = &g_ptUserContainer->ptCurrentUser->atControls[iSide][iKind];
}

// The mouse's click (a start while a button is held) goes to the side whose
// menu has an element under the pointer, which it selects; elsewhere it does nothing.
void route_click()
{
    ControlsState &t = g_tControls;
    bool bClick = false;
    for (ControlSide &s : t.atSide) {
        if (s.iTypeMove == MOVE_START && check_mouse_pressed()) {
            s.iTypeMove = MOVE_NONE;
            bClick = true;
        }
    }
    if (!bClick)
        return;
    for (int iSide = 0; iSide < NUM_SIDES; iSide++) {
        const int iUnder = check_mouse_position(side_menu(iSide), NO_SELECTION);
        if (iUnder != NO_SELECTION) {
            t.atSide[iSide].iSelected = iUnder;
            t.atSide[iSide].iTypeMove = MOVE_START;
            return;
        }
    }
}

void follow_mouse()
{
    for (int iSide = 0; iSide < NUM_SIDES; iSide++) {
        const stMenu *ptMenu = side_menu(iSide);
        int &iSelected = g_tControls.atSide[iSide].iSelected;
        iSelected = check_mouse_position(ptMenu, iSelected);
        // The arrows change the device: keep them only while really pointed at.
        if ((iSelected == CONTROL_CHANGE_L || iSelected == CONTROL_CHANGE_R) &&
            check_mouse_selected(ptMenu, iSelected) == -1)
            iSelected = NO_SELECTION;
    }
}

void act_on_side(int iSide)
{
    ControlsState &t = g_tControls;
    ControlSide &s = t.atSide[iSide];
    if (s.bSkipInput) {
        s.bSkipInput = false;
        return;
    }
    const int iMove = s.iTypeMove;
    switch (iMove) {
    case MOVE_UP:
    case MOVE_DOWN:
    case MOVE_SHRINK:
    case MOVE_GROW:
        if (s.iSelected == NO_SELECTION)
            s.iSelected = CONTROL_CHANGE_L;
        else
            s.iSelected = next_selection(side_menu(iSide), s.iSelected, iMove, false);
        break;
    case MOVE_ESCAPE:
    case MOVE_BACK:
        s.iSelected = CONTROL_EXIT;
        t.bLeave = true;
        break;
    case MOVE_START:
        if (s.iSelected == CONTROL_EXIT) {
            t.bLeave = true;
        } else if (s.iSelected == CONTROL_CHANGE_L || s.iSelected == CONTROL_CHANGE_R) {
            change_device(iSide, s.iSelected);
        } else if (command_element(s.iSelected)) {
            config_control(&g_tPlayer[iSide], s.iSelected, t.fontPrompt);
            s.bSkipInput = true;
        }
        break;
    default:
        break;
    }
}

void show_help()
{
    show_mouse(nullptr);
    fade_to_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
    help_screen();
    clear_keybuf();
    fade_from_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
}

void handle_controls_input()
{
    ControlsState &t = g_tControls;
    int aiBefore[NUM_SIDES];
    for (int iSide = 0; iSide < NUM_SIDES; iSide++)
        aiBefore[iSide] = t.atSide[iSide].iSelected;
    if (check_mouse_active())
        follow_mouse();
    for (int iSide = 0; iSide < NUM_SIDES; iSide++)
        t.atSide[iSide].iTypeMove = poll_movement(iSide, 0);
    const bool bHelp = keypressed() && key[KEY_F1];
    clear_keybuf();
    for (const stPlayer &p : g_tPlayer)
        clear_joy_buff(p.iJoystick);
    route_click();
    for (int iSide = 0; iSide < NUM_SIDES && !t.bLeave; iSide++)
        act_on_side(iSide);
    for (int iSide = 0; iSide < NUM_SIDES; iSide++) {
        const int iSelected = t.atSide[iSide].iSelected;
        if (iSelected != aiBefore[iSide] && iSelected != NO_SELECTION)
            play_menu_sound(SOUND_MENU_MOVE);
    }
    if (bHelp)
        show_help();
}
} // namespace

void init_controls()
{
    stUser *ptUser = g_ptUserContainer->ptCurrentUser;
    for (int iSide = 0; iSide < USER_NUM_PLAYERS; iSide++) {
        g_tPlayer[iSide].iInput = IN_KEYBOARD;
        g_tPlayer[iSide].ptInputKeys = &ptUser->atControls[iSide][USER_KEYBOARD_CONTROLS];
    }
}

void controls_screen()
{
    ControlsState &t = g_tControls;
    enter_controls();
    clean_clock();
    clear_keybuf();
    bool bFirst = true;
    while (true) {
        for (stPlayer &p : g_tPlayer)
            p.iInput |= IN_MOUSE;
        update_fmod();
        draw_controls();
        wait_retrace();
        if (bFirst) {
            fade_from_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
            bFirst = false;
        } else {
            present_with_mouse();
            wait_clock(FRAME_WAIT);
        }
        if (t.bLeave) {
            wait_clock(LEAVE_WAIT);
            break;
        }
        handle_controls_input();
        for (int iSide = 0; iSide < NUM_SIDES; iSide++) {
            info_control(aiMenu[iSide], &g_tPlayer[iSide]);
            set_mouse_area_to_one_menu(side_menu(iSide));
        }
    }
    leave_controls();
}

void config_control(stPlayer *ptPlayer, int iSelected, TFONT_FONT *fontControls)
{
    const int iDevice = ptPlayer->iInput & ~IN_MOUSE;
    if (iDevice == IN_KEYBOARD)
        config_keyboard(ptPlayer, iSelected, fontControls);
    else if (iDevice == IN_JOYSTICK)
        config_joystick(ptPlayer, iSelected, fontControls);
}

void config_keyboard(stPlayer *ptPlayer, int iSelected, TFONT_FONT *fontControls)
{
    if (!command_element(iSelected))
        return;
    print_prompt(ptPlayer, fontControls);
    clear_keybuf();
    const int iKey = readkey() >> 8;
    binding_of(ptPlayer->ptInputKeys, iSelected) = iKey;
    validate_buttons(ptPlayer->ptInputKeys, iKey, iSelected);
}

void config_joystick(stPlayer *ptPlayer, int iSelected, TFONT_FONT *fontControls)
{
    if (!command_element(iSelected))
        return;
    print_prompt(ptPlayer, fontControls);
    clear_joy_buff(ptPlayer->iJoystick);
    clear_keybuf();
    const int iCode = wait_joystick_or_escape(ptPlayer->iJoystick);
    if (iCode == JOY_NOTHING)
        return;
    binding_of(ptPlayer->ptInputKeys, iSelected) = iCode;
    validate_buttons(ptPlayer->ptInputKeys, iCode, iSelected);
}

void validate_buttons(stInputKeys *ptControl, int iButton, int iSel)
{
    for (int iElement = CONTROL_UP; iElement <= CONTROL_ACTION; iElement++) {
        int &iBinding = binding_of(ptControl, iElement);
        if (iElement != iSel && iBinding == iButton) {
            iBinding = 0;
            return;
        }
    }
}

int validate_controls(int iControl1, int iControl2, int iNumControls, int iSelect)
{
    if (iSelect != CONTROL_CHANGE_L && iSelect != CONTROL_CHANGE_R)
        return iControl1;
    if (iControl1 == iControl2 && iControl1 != 0)
        iControl1 += iSelect == CONTROL_CHANGE_L ? -1 : 1;
    if (iControl1 < 0)
        return iNumControls - 1;
    if (iControl1 >= iNumControls)
        return 0;
    return iControl1;
}

void info_control(int iNumMenu, const stPlayer *ptPlayer)
{
    const int iDevice = ptPlayer->iInput & ~IN_MOUSE;
    if (iDevice == IN_KEYBOARD)
        info_keyboard(iNumMenu, ptPlayer);
    else if (iDevice == IN_JOYSTICK)
        info_joystick(iNumMenu, ptPlayer);
}

void info_keyboard(int iMenu, const stPlayer *ptPlayer)
{
    for (int iElement = CONTROL_UP; iElement <= CONTROL_ACTION; iElement++)
        set_caption(g_ptMenu[iMenu], iElement, key_name(binding_of(ptPlayer->ptInputKeys, iElement)));
}

void info_joystick(int iMenu, const stPlayer *ptPlayer)
{
    for (int iElement = CONTROL_UP; iElement <= CONTROL_ACTION; iElement++)
        set_caption(g_ptMenu[iMenu], iElement,
                    check_botton_name(binding_of(ptPlayer->ptInputKeys, iElement), 0, NUM_JOY_NAMES - 1));
}

const char *check_botton_name(int iButton, int iLowRange, int iHighRange)
{
    if (iButton < iLowRange || iButton > iHighRange || iButton < 0 || iButton >= NUM_JOY_NAMES)
        return joy_names[0];
    return joy_names[iButton];
}

int type_control(const char *pszType)
{
    return strcmp(pszType, KEYBOARD_NAME) == 0 ? IN_KEYBOARD : IN_JOYSTICK;
}

int num_joy(const char *pszType)
{
    for (int i = 0; i < static_cast<int>(sizeof(apszJoystickName) / sizeof(apszJoystickName[0])); i++)
        if (strcmp(pszType, apszJoystickName[i]) == 0)
            return i;
    return -1;
}

int num_joy_from_db(char cNum)
{
    return cNum >= '0' && cNum <= '3' ? cNum - '0' : 0;
}

void write_device_code(char *pszExtra, const stPlayer *ptOne, const stPlayer *ptTwo)
{
    const stPlayer *aptSide[NUM_SIDES] = {ptOne, ptTwo};
    for (int iSide = 0; iSide < NUM_SIDES; iSide++) {
        char *pszPair = pszExtra + 2 * iSide;
        const bool bKeyboard = on_keyboard(aptSide[iSide]);
        pszPair[0] = bKeyboard ? 'K' : 'J';
        pszPair[1] = bKeyboard ? '-' : static_cast<char>('0' + aptSide[iSide]->iJoystick);
    }
    pszExtra[DEVICE_CODE_LENGTH] = '\0';
}

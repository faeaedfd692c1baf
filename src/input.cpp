// Input polling: turns the keyboard, joystick and mouse state into one movement
// code per call for one side. The joystick and mouse latches are shared by
// every caller, so a press one screen consumed is no new edge for the next.
#include "input.h"
#include "geometric.h"
#include "memory.h"
#include "menu.h"
#include "player.h"

#include <allegro.h>
#include <cstring>

namespace {
constexpr float MOUSE_TRIANGLE_TOLERANCE = 5.0f; // px of slack around an arrow's triangle
constexpr int MOUSE_LEFT = 1;                   // bits of mouse_b
constexpr int MOUSE_RIGHT = 2;
constexpr int READ_JOY_SLEEP = 1;               // ms between polls while waiting for a press

// Latches and the last mouse position, shared by both sides for the whole run.
struct InputState {
    int iJoyButtonPressed = 0;   // 1 while the joystick was pressed at the last edge-mode check
    int iMouseButtonPressed = 0; // 1 while a mouse button was held at the last check
    int iPreMouseX = 0;          // mouse position last seen by check_mouse_active, px
    int iPreMouseY = 0;
};
InputState g_tInput;

bool valid_joystick(int iNumJoy)
{
    return iNumJoy >= 0 && iNumJoy < MAX_JOYSTICKS;
}

// The code bound to a joystick code, in the joystick's order of the commands.
int joystick_movement(const stInputKeys *ptInput, int iCode)
{
    const int aiBinding[] = {ptInput->iUp,    ptInput->iDown, ptInput->iShrink,
                             ptInput->iGrow,  ptInput->iStart, ptInput->iBack,
                             ptInput->iEscape, ptInput->iAction};
    const int aiMove[] = {MOVE_UP,    MOVE_DOWN, MOVE_SHRINK, MOVE_GROW,
                          MOVE_START, MOVE_BACK, MOVE_ESCAPE, MOVE_ACTION};
    for (size_t i = 0; i < sizeof(aiBinding) / sizeof(aiBinding[0]); i++)
        if (aiBinding[i] == iCode)
            return aiMove[i];
    return MOVE_NONE;
}

bool key_down(int iScancode)
{
    return iScancode > 0 && iScancode < KEY_MAX && key[iScancode];
}

bool mouse_in_area(const stElement *ptElement, int iX, int iY)
{
    const stImageData *ptImage = &ptElement->tImage;
    if (ptImage->szRoute[0] != '\0' && ptElement->szName[0] == '\0') {
        stPoint atPoint[3] = {};
        check_triangle_to_mouse(ptElement, atPoint);
        const stPoint tMouse = {static_cast<float>(iX), static_cast<float>(iY)};
        return point_inside_triangle(&tMouse, atPoint, MOUSE_TRIANGLE_TOLERANCE) != 0;
    }
    const stMouseArea *ptArea = &ptElement->tMouseArea;
    return iX >= ptArea->iXLeft && iX <= ptArea->iXRight && iY >= ptArea->iYUp &&
           iY <= ptArea->iYDown;
}

// Index of the first enabled element under the mouse, or -1.
int element_under_mouse(const stMenu *ptMenu)
{
    const int iX = mouse_x;
    const int iY = mouse_y;
    poll_mouse();
    const stOption *ptOption = &ptMenu->atOption[0];
    for (int i = 0; i < ptOption->iNumElements && i < MENU_OPTION_ELEMENTS; i++)
        if (ptOption->atElement[i].iStatus == 1 && mouse_in_area(&ptOption->atElement[i], iX, iY))
            return i;
    return -1;
}
} // namespace

int joy_button_pressed(int iNumJoy)
{
    if (!valid_joystick(iNumJoy))
        return JOY_NOTHING;
    const JOYSTICK_INFO *ptJoy = &joy[iNumJoy];
    const JOYSTICK_AXIS_INFO *ptAxis = ptJoy->stick[0].axis;
    if (ptAxis[1].d1)
        return JOY_CODE_UP;
    if (ptAxis[1].d2)
        return JOY_CODE_DOWN;
    if (ptAxis[0].d2)
        return JOY_CODE_RIGHT;
    if (ptAxis[0].d1)
        return JOY_CODE_LEFT;
    for (int i = 0; i < JOY_READ_BUTTONS && i < MAX_JOYSTICK_BUTTONS; i++)
        if (ptJoy->button[i].b)
            return JOY_CODE_BUTTON0 + i;
    return JOY_NOTHING;
}

int check_joystick_pressed(int iNumJoy)
{
    if (!valid_joystick(iNumJoy))
        return 0;
    const JOYSTICK_INFO *ptJoy = &joy[iNumJoy];
    for (int i = 0; i < ptJoy->num_buttons && i < MAX_JOYSTICK_BUTTONS; i++)
        if (ptJoy->button[i].b)
            return 1;
    for (int i = 0; i < ptJoy->stick[0].num_axis && i < MAX_JOYSTICK_AXIS; i++)
        if (ptJoy->stick[0].axis[i].d1 || ptJoy->stick[0].axis[i].d2)
            return 1;
    return 0;
}

void clear_joy_buff(int iNumJoy)
{
    if (!valid_joystick(iNumJoy))
        return;
    JOYSTICK_INFO *ptJoy = &joy[iNumJoy];
    for (int i = 0; i < ptJoy->num_buttons && i < MAX_JOYSTICK_BUTTONS; i++)
        ptJoy->button[i].b = 0;
    for (int s = 0; s < ptJoy->num_sticks && s < MAX_JOYSTICK_STICKS; s++)
        for (int a = 0; a < ptJoy->stick[s].num_axis && a < MAX_JOYSTICK_AXIS; a++) {
            ptJoy->stick[s].axis[a].pos = 0;
            ptJoy->stick[s].axis[a].d1 = 0;
            ptJoy->stick[s].axis[a].d2 = 0;
        }
}

int read_joy(int iNumJoy)
{
    int iCode = JOY_NOTHING;
    while (iCode == JOY_NOTHING) {
        poll_joystick();
        iCode = joy_button_pressed(iNumJoy);
        if (iCode == JOY_NOTHING)
            rest(READ_JOY_SLEEP);
    }
    clear_joy_buff(iNumJoy);
    return iCode;
}

int check_joystick(const stInputKeys *ptInput, int iNumJoy, int iMode)
{
    poll_joystick();
    int iPressed = 1;
    if (iMode != 0)
        g_tInput.iJoyButtonPressed = 0;
    else
        iPressed = check_joystick_pressed(iNumJoy);
    if (g_tInput.iJoyButtonPressed == iPressed)
        return MOVE_NONE;
    if (iMode == 0)
        g_tInput.iJoyButtonPressed = iPressed;
    return joystick_movement(ptInput, joy_button_pressed(iNumJoy));
}

int check_keyboard(const stInputKeys *ptInput, int iMode)
{
    (void)iMode; // the keyboard always reports held keys
    if (!keypressed())
        return MOVE_NONE;
    if (key_down(ptInput->iUp))
        return MOVE_UP;
    if (key_down(ptInput->iDown))
        return MOVE_DOWN;
    if (key_down(ptInput->iShrink))
        return MOVE_SHRINK;
    if (key_down(ptInput->iGrow))
        return MOVE_GROW;
    if (key_down(ptInput->iStart))
        return MOVE_START;
    if (key_down(ptInput->iEscape))
        return MOVE_ESCAPE;
    if (key_down(KEY_F1))
        return MOVE_HELP;
    if (key_down(ptInput->iBack))
        return MOVE_BACK;
    if (key_down(ptInput->iAction))
        return MOVE_ACTION;
    return MOVE_NONE;
}

int check_mouse()
{
    poll_mouse();
    const int iButtons = mouse_b;
    const int iPressed = (iButtons & (MOUSE_LEFT | MOUSE_RIGHT)) ? 1 : 0;
    if (iPressed == g_tInput.iMouseButtonPressed)
        return MOVE_NONE;
    g_tInput.iMouseButtonPressed = iPressed;
    if (iButtons & MOUSE_LEFT)
        return MOVE_START;
    if (iButtons & MOUSE_RIGHT)
        return MOVE_BACK;
    return MOVE_NONE;
}

int poll_movement(int iPlayer, int iMode)
{
    const stPlayer *ptPlayer = &g_tPlayer[iPlayer];
    if (!ptPlayer->ptInputKeys) // no bindings chosen yet: nothing is pressed
        return MOVE_NONE;
    if (ptPlayer->iInput & IN_JOYSTICK) {
        const int iMove = check_joystick(ptPlayer->ptInputKeys, ptPlayer->iJoystick, iMode);
        if (iMove != MOVE_NONE)
            return iMove;
    }
    if (ptPlayer->iInput & IN_KEYBOARD) {
        const int iMove = check_keyboard(ptPlayer->ptInputKeys, iMode);
        if (iMove != MOVE_NONE)
            return iMove;
    }
    if (ptPlayer->iInput & IN_MOUSE)
        return check_mouse();
    return MOVE_NONE;
}

int check_mouse_pressed()
{
    return (mouse_b & (MOUSE_LEFT | MOUSE_RIGHT)) ? 1 : 0;
}

int check_mouse_active()
{
    const int iX = mouse_x;
    const int iY = mouse_y;
    const int bMoved = (iX != g_tInput.iPreMouseX || iY != g_tInput.iPreMouseY) ? -1 : 0;
    g_tInput.iPreMouseX = iX;
    g_tInput.iPreMouseY = iY;
    return bMoved;
}

void check_triangle_to_mouse(const stElement *ptElement, stPoint atPoint[3])
{
    const stMouseArea *ptArea = &ptElement->tMouseArea;
    const char *pszOrientation = ptElement->tImage.szOrientation;
    const float fLeft = static_cast<float>(ptArea->iXLeft);
    const float fRight = static_cast<float>(ptArea->iXRight);
    const float fUp = static_cast<float>(ptArea->iYUp);
    const float fDown = static_cast<float>(ptArea->iYDown);
    const float fMidX = static_cast<float>(ptArea->iXLeft + (ptArea->iXRight - ptArea->iXLeft) / 2);
    const float fMidY = static_cast<float>(ptArea->iYUp + (ptArea->iYDown - ptArea->iYUp) / 2);
    if (strcmp(pszOrientation, "DOWN") == 0) {
        atPoint[0] = {fLeft, fUp};
        atPoint[1] = {fRight, fUp};
        atPoint[2] = {fMidX, fDown};
    } else if (strcmp(pszOrientation, "UP") == 0) {
        atPoint[0] = {fLeft, fDown};
        atPoint[1] = {fRight, fDown};
        atPoint[2] = {fMidX, fUp};
    } else if (strcmp(pszOrientation, "RIGHT") == 0) {
        atPoint[0] = {fLeft, fUp};
        atPoint[1] = {fLeft, fDown};
        atPoint[2] = {fRight, fMidY};
    } else if (strcmp(pszOrientation, "LEFT") == 0) {
        atPoint[0] = {fRight, fUp};
        atPoint[1] = {fRight, fDown};
        atPoint[2] = {fLeft, fMidY};
    }
}

int check_mouse_position(const stMenu *ptMenu, int iPreviuos)
{
    const int iElement = element_under_mouse(ptMenu);
    return iElement < 0 ? iPreviuos : ptMenu->atOption[0].atElement[iElement].iValue;
}

int check_mouse_selected(const stMenu *ptMenu, int iSelected)
{
    if (iSelected < 0 || iSelected >= MENU_OPTION_ELEMENTS)
        return -1;
    const stElement *ptElement = &ptMenu->atOption[0].atElement[iSelected];
    const int iX = mouse_x;
    const int iY = mouse_y;
    poll_mouse();
    if (ptElement->iStatus != 1 || !mouse_in_area(ptElement, iX, iY))
        return -1;
    return ptElement->iValue;
}

int check_mouse_position_changed(const stMenu *ptMenu, int iPreviuos)
{
    const int iValue = check_mouse_position(ptMenu, -1);
    return (iValue != -1 && iValue != iPreviuos) ? 1 : 0;
}

stInputKeys *create_input_keys()
{
    return static_cast<stInputKeys *>(safe_malloc(sizeof(stInputKeys)));
}

void destroy_input_keys(stInputKeys *ptInput)
{
    safe_free(&ptInput);
}

void set_input_keys(stInputKeys *ptDestInput, const stInputKeys *ptSourceInput)
{
    *ptDestInput = *ptSourceInput;
}

int check_ai()
{
    return 0;
}

// Control configuration: a rebind stealing a duplicate, the device step past
// the other side's joystick, the joystick codes' names and the device code left
// in the profile.
#include "support.h"
#include "controls.h"
#include "database.h"
#include "player.h"

#include <allegro.h>

namespace {
// Side 1's keyboard defaults of a new profile.
constexpr stInputKeys KEYBOARD_KEYS = {IN_KEYBOARD, KEY_UP,    KEY_DOWN, KEY_RIGHT,    KEY_LEFT,
                                       KEY_ENTER,   KEY_ESC,   KEY_BACKSPACE, KEY_SPACE};
} // namespace

TEST(ControlsValidateButtons, ARebindStealsTheFirstDuplicateOnly)
{
    // The rebound command itself is left to the caller; only the others matter.
    // Elements run up, down, shrink, grow, start, back, escape, action.
    const std::tuple<int, int, int stInputKeys::*> atCases[] = { // code, element, binding cleared
        {KEY_SPACE, CONTROL_UP, &stInputKeys::iAction}, {KEY_LEFT, CONTROL_LEFT, &stInputKeys::iGrow},
        {KEY_RIGHT, CONTROL_LEFT, nullptr},             {KEY_RIGHT, CONTROL_RIGHT, &stInputKeys::iShrink},
        {KEY_ESC, CONTROL_BACK, &stInputKeys::iEscape}, {KEY_ESC, CONTROL_ESCAPE, nullptr},
        {KEY_Q, CONTROL_START, nullptr},
    };
    for (const auto &[iButton, iSel, pmCleared] : atCases) {
        stInputKeys tKeys = KEYBOARD_KEYS, tExpected = KEYBOARD_KEYS;
        if (pmCleared)
            tExpected.*pmCleared = 0;
        validate_buttons(&tKeys, iButton, iSel);
        EXPECT_EQ(0, memcmp(&tKeys, &tExpected, sizeof(tKeys))) << "element " << iSel;
    }
    // Two commands sharing a code: only the first in element order is cleared.
    stInputKeys tKeys = {IN_JOYSTICK, 5, 2, 3, 4, 5, 10, 11, 5};
    validate_buttons(&tKeys, 5, CONTROL_DOWN);
    EXPECT_TRUE(tKeys.iUp == 0 && tKeys.iStart == 5 && tKeys.iAction == 5);
}

TEST(ControlsValidateControls, SkipsTheOtherSidesJoystick)
{
    // Side 1's device, side 2's, number of devices, element clicked, the device reached.
    const std::array<int, 5> atCases[] = {
        {1, 1, 3, CONTROL_CHANGE_R, 2},  // keyboard -> next lands past side 2's joystick 1
        {2, 2, 3, CONTROL_CHANGE_R, 0},  // past the last joystick: the keyboard
        {-1, 0, 3, CONTROL_CHANGE_L, 2}, // below the keyboard: the last joystick
        {0, 0, 3, CONTROL_CHANGE_R, 0},  // the keyboard may be shared
        {1, 1, 3, 2, 1},   {1, 1, 3, -1, 1}, // not a step: unchanged
        {1, 1, 2, CONTROL_CHANGE_R, 0}, {2, 2, 3, CONTROL_CHANGE_L, 1}, {1, 1, 3, CONTROL_CHANGE_L, 0}, {1, 2, 3, CONTROL_CHANGE_R, 1},
    };
    for (const auto &[iControl1, iControl2, iNumControls, iSelect, iExpected] : atCases)
        EXPECT_EQ(validate_controls(iControl1, iControl2, iNumControls, iSelect), iExpected)
            << iControl1 << " " << iControl2 << " " << iSelect;
}

TEST(ControlsNames, JoystickCodeInRange)
{
    // Outside [iLow, iHigh] or past the joystick codes: no name.
    const std::tuple<int, int, int, std::string> atCases[] = {
        {-1, -1, 16, "(none)"}, {1, 0, 16, "JOY_UP"},  {16, 0, 16, "JOY_12"}, {17, 0, 40, "(none)"},
        {5, 6, 16, "(none)"},   {12, 0, 11, "(none)"}, {11, 0, 11, "JOY_7"},
    };
    for (const auto &[iButton, iLow, iHigh, sExpected] : atCases)
        EXPECT_EQ(check_botton_name(iButton, iLow, iHigh), sExpected) << iButton;
}

TEST(ControlsDeviceCode, TwoCharactersPerSide)
{
    const std::tuple<int, int, int, int, std::string> atCases[] = { // side 1's input and joystick, side 2's, code
        {IN_KEYBOARD, -1, IN_JOYSTICK, 0, "K-J0"},
        {IN_KEYBOARD | IN_MOUSE, 0, IN_KEYBOARD, -1, "K-K-"},
        {IN_JOYSTICK, 3, IN_JOYSTICK | IN_MOUSE, 1, "J3J1"},
    };
    for (const auto &[iInput1, iJoy1, iInput2, iJoy2, sExpected] : atCases) {
        stPlayer tOne = {}, tTwo = {};
        std::tie(tOne.iInput, tOne.iJoystick, tTwo.iInput, tTwo.iJoystick) = std::tie(iInput1, iJoy1, iInput2, iJoy2);
        char szExtra[] = "KEYBOARD";
        write_device_code(szExtra, &tOne, &tTwo);
        EXPECT_EQ(szExtra, sExpected);
    }
}

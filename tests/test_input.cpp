// Input polling: scripted keyboard, joystick and mouse states through the three
// device checks and poll_movement — edge and held modes, the test orders, the
// shared latches — and the mouse hit tests on a menu's first option group.
#include "headless.h"
#include "input.h"
#include "menu.h"
#include "player.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {
// Something in the key buffer, as after any key press.
void fill_key_buffer()
{
    clear_keybuf();
    simulate_keypress(KEY_A << 8 | 'a');
}

stInputKeys keyboard_keys()
{
    return {1, KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT, KEY_ENTER, KEY_ESC, KEY_BACKSPACE, KEY_SPACE};
}

stInputKeys joystick_keys()
{
    return {2, JOY_CODE_UP, JOY_CODE_DOWN, JOY_CODE_LEFT, JOY_CODE_RIGHT, 5, 10, 11, 12};
}

class InputTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        memset(const_cast<char *>(key), 0, KEY_MAX);
        memset(joy, 0, MAX_JOYSTICKS * sizeof(JOYSTICK_INFO));
        joy[0].num_buttons = 8;
        joy[0].num_sticks = 1;
        joy[0].stick[0].num_axis = 2;
        mouse_b = 0;
        fill_key_buffer();
        // Bring the latches to rest: an idle edge-mode poll and a mouse release.
        check_joystick(&tJoyKeys, 0, 0);
        check_mouse();
        for (stPlayer &p : g_tPlayer)
            p = {};
    }
    void TearDown() override
    {
        clear_keybuf();
        memset(const_cast<char *>(key), 0, KEY_MAX);
        memset(joy, 0, MAX_JOYSTICKS * sizeof(JOYSTICK_INFO));
        mouse_b = 0;
        for (stPlayer &p : g_tPlayer)
            p = {};
        HeadlessAllegro::TearDown();
    }
    void press(int iScancode, bool bDown = true) { const_cast<char *>(key)[iScancode] = bDown; }
    stInputKeys tKeys = keyboard_keys();
    stInputKeys tJoyKeys = joystick_keys();
};
} // namespace

TEST_F(InputTest, KeyboardFollowsItsTestOrder)
{
    struct Case {
        int aiHeld[3];
        int iExpected;
    };
    const Case atCases[] = {
        {{KEY_UP, 0, 0}, MOVE_UP},
        {{KEY_DOWN, 0, 0}, MOVE_DOWN},
        {{KEY_RIGHT, 0, 0}, MOVE_SHRINK},
        {{KEY_LEFT, 0, 0}, MOVE_GROW},
        {{KEY_ENTER, 0, 0}, MOVE_START},
        {{KEY_ESC, 0, 0}, MOVE_ESCAPE},
        {{KEY_F1, 0, 0}, MOVE_HELP},
        {{KEY_BACKSPACE, 0, 0}, MOVE_BACK},
        {{KEY_SPACE, 0, 0}, MOVE_ACTION},
        {{KEY_DOWN, KEY_UP, 0}, MOVE_UP},
        {{KEY_BACKSPACE, KEY_F1, KEY_ESC}, MOVE_ESCAPE},
        {{KEY_BACKSPACE, KEY_F1, 0}, MOVE_HELP},
        {{KEY_SPACE, KEY_LEFT, 0}, MOVE_GROW},
        {{KEY_A, 0, 0}, MOVE_NONE},
    };
    for (const Case &c : atCases) {
        for (int iKey : c.aiHeld)
            if (iKey)
                press(iKey);
        for (int iMode : {0, 1})
            EXPECT_EQ(check_keyboard(&tKeys, iMode), c.iExpected) << c.aiHeld[0] << " mode " << iMode;
        for (int iKey : c.aiHeld)
            if (iKey)
                press(iKey, false);
    }
}

TEST_F(InputTest, KeyboardIsSilentWhileTheKeyBufferIsEmpty)
{
    press(KEY_UP);
    clear_keybuf();
    EXPECT_EQ(check_keyboard(&tKeys, 1), MOVE_NONE);
    fill_key_buffer();
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(check_keyboard(&tKeys, 0), MOVE_UP) << "held keys repeat in either mode";
}

TEST_F(InputTest, JoystickCodesFollowTheirOrder)
{
    EXPECT_EQ(joy_button_pressed(0), JOY_NOTHING);
    joy[0].button[11].b = 1;
    EXPECT_EQ(joy_button_pressed(0), 16);
    joy[0].button[3].b = 1;
    EXPECT_EQ(joy_button_pressed(0), 8);
    joy[0].stick[0].axis[0].d1 = 1;
    EXPECT_EQ(joy_button_pressed(0), JOY_CODE_LEFT);
    joy[0].stick[0].axis[0].d2 = 1;
    EXPECT_EQ(joy_button_pressed(0), JOY_CODE_RIGHT);
    joy[0].stick[0].axis[1].d2 = 1;
    EXPECT_EQ(joy_button_pressed(0), JOY_CODE_DOWN);
    joy[0].stick[0].axis[1].d1 = 1;
    EXPECT_EQ(joy_button_pressed(0), JOY_CODE_UP);
    EXPECT_EQ(joy_button_pressed(-1), JOY_NOTHING);
}

TEST_F(InputTest, JoystickEdgeModeGivesAPressOnce)
{
    joy[0].button[0].b = 1; // code 5: start
    EXPECT_EQ(check_joystick(&tJoyKeys, 0, 0), MOVE_START);
    for (int i = 0; i < 5; i++)
        EXPECT_EQ(check_joystick(&tJoyKeys, 0, 0), MOVE_NONE);
    joy[0].button[0].b = 0;
    EXPECT_EQ(check_joystick(&tJoyKeys, 0, 0), MOVE_NONE) << "the release";
    joy[0].stick[0].axis[1].d1 = 1;
    EXPECT_EQ(check_joystick(&tJoyKeys, 0, 0), MOVE_UP);
}

TEST_F(InputTest, JoystickHeldModeRepeatsAndMapsEveryBinding)
{
    struct Case {
        int iButton;
        int iExpected;
    };
    // start 5, escape 10, back 11, action 12 are buttons 0, 5, 6, 7.
    const Case atCases[] = {{0, MOVE_START}, {5, MOVE_ESCAPE}, {6, MOVE_BACK}, {7, MOVE_ACTION},
                            {2, MOVE_NONE}};
    for (const Case &c : atCases) {
        joy[0].button[c.iButton].b = 1;
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(check_joystick(&tJoyKeys, 0, 1), c.iExpected) << c.iButton;
        joy[0].button[c.iButton].b = 0;
    }
    joy[0].stick[0].axis[0].d1 = 1;
    EXPECT_EQ(check_joystick(&tJoyKeys, 0, 1), MOVE_SHRINK);
    EXPECT_EQ(check_joystick(&tJoyKeys, 0, 1), MOVE_SHRINK);
}

TEST_F(InputTest, ClearingAJoystickForgetsItsPress)
{
    joy[0].button[4].b = 1;
    joy[0].stick[0].axis[1].d2 = 1;
    joy[0].stick[0].axis[1].pos = 90;
    EXPECT_EQ(check_joystick_pressed(0), 1);
    clear_joy_buff(-1);
    EXPECT_EQ(check_joystick_pressed(0), 1);
    clear_joy_buff(0);
    EXPECT_EQ(check_joystick_pressed(0), 0);
    EXPECT_EQ(joy[0].stick[0].axis[1].pos, 0);
    joy[0].button[2].b = 1;
    EXPECT_EQ(read_joy(0), 7);
    EXPECT_EQ(joy[0].button[2].b, 0);
}

TEST_F(InputTest, MouseClickGivesItsCodeOnThePressOnly)
{
    mouse_b = 1;
    EXPECT_EQ(check_mouse(), MOVE_START);
    EXPECT_EQ(check_mouse(), MOVE_NONE);
    EXPECT_EQ(check_mouse_pressed(), 1);
    mouse_b = 0;
    EXPECT_EQ(check_mouse(), MOVE_NONE);
    mouse_b = 2;
    EXPECT_EQ(check_mouse(), MOVE_BACK);
    EXPECT_EQ(check_mouse(), MOVE_NONE);
    mouse_b = 0;
    EXPECT_EQ(check_mouse_pressed(), 0);
}

TEST_F(InputTest, MouseActivityComparesWithTheLastPosition)
{
    check_mouse_active();
    EXPECT_EQ(check_mouse_active(), 0);
    mouse_x = mouse_x + 3;
    EXPECT_EQ(check_mouse_active(), -1);
    EXPECT_EQ(check_mouse_active(), 0);
}

TEST_F(InputTest, PollReadsTheDevicesOfTheSide)
{
    stPlayer &p = g_tPlayer[0];
    p.ptInputKeys = &tKeys;
    p.iInput = IN_KEYBOARD | IN_JOYSTICK;
    press(KEY_DOWN);
    EXPECT_EQ(poll_movement(0, 1), MOVE_DOWN) << "an idle joystick leaves the keyboard its turn";
    p.iInput = IN_MOUSE;
    mouse_b = 1;
    EXPECT_EQ(poll_movement(0, 0), MOVE_START);
    p.iInput = IN_COMPUTER;
    EXPECT_EQ(poll_movement(0, 1), MOVE_NONE);
    p.iInput = IN_KEYBOARD;
    p.ptInputKeys = nullptr;
    EXPECT_EQ(poll_movement(0, 1), MOVE_NONE) << "a side without bindings reads nothing";
    mouse_b = 0;
    check_mouse();
}

TEST_F(InputTest, JoystickBeforeKeyboardInOnePoll)
{
    stPlayer &p = g_tPlayer[1];
    p.ptInputKeys = &tJoyKeys;
    p.iInput = IN_KEYBOARD | IN_JOYSTICK;
    joy[0].stick[0].axis[1].d2 = 1; // code 2: down
    press(KEY_UP); // scancode KEY_UP is bound to nothing in this record
    EXPECT_EQ(poll_movement(1, 1), MOVE_DOWN);
}

namespace {
stElement arrow(const char *pszOrientation, int iValue)
{
    stElement e = {};
    e.iStatus = 1;
    e.iValue = iValue;
    snprintf(e.tImage.szRoute, sizeof(e.tImage.szRoute), "data/tx03.dat");
    snprintf(e.tImage.szOrientation, sizeof(e.tImage.szOrientation), "%s", pszOrientation);
    e.tMouseArea = {100, 120, 200, 220};
    return e;
}
} // namespace

TEST_F(InputTest, ArrowTrianglesByOrientation)
{
    struct Case {
        const char *pszOrientation;
        stPoint atExpected[3];
    };
    const Case atCases[] = {
        {"DOWN", {{100, 200}, {120, 200}, {110, 220}}},
        {"UP", {{100, 220}, {120, 220}, {110, 200}}},
        {"RIGHT", {{100, 200}, {100, 220}, {120, 210}}},
        {"LEFT", {{120, 200}, {120, 220}, {100, 210}}},
        {"down", {{-1, -1}, {-1, -1}, {-1, -1}}},
    };
    for (const Case &c : atCases) {
        const stElement e = arrow(c.pszOrientation, 0);
        stPoint atPoint[3] = {{-1, -1}, {-1, -1}, {-1, -1}};
        check_triangle_to_mouse(&e, atPoint);
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(atPoint[i].fX, c.atExpected[i].fX) << c.pszOrientation << i;
            EXPECT_EQ(atPoint[i].fY, c.atExpected[i].fY) << c.pszOrientation << i;
        }
    }
    stElement e = arrow("DOWN", 0);
    e.tMouseArea = {101, 120, 201, 220};
    stPoint atPoint[3];
    check_triangle_to_mouse(&e, atPoint);
    EXPECT_EQ(atPoint[2].fX, 110) << "integer halving";
}

TEST_F(InputTest, MenuHitTests)
{
    auto ptMenu = std::make_unique<stMenu>();
    stOption &o = ptMenu->atOption[0];
    o.iNumElements = 3;
    o.atElement[0] = {};
    snprintf(o.atElement[0].szName, MENU_TEXT_SIZE, "Jugar");
    o.atElement[0].iStatus = 0; // disabled
    o.atElement[0].iValue = 7;
    o.atElement[0].tMouseArea = {0, 50, 0, 50};
    o.atElement[1] = o.atElement[0];
    o.atElement[1].iStatus = 1;
    o.atElement[1].iValue = 8;
    o.atElement[2] = arrow("DOWN", 9);

    mouse_x = 50; // the corner is part of the rectangle
    mouse_y = 50;
    EXPECT_EQ(check_mouse_position(ptMenu.get(), -5), 8) << "the disabled first element is skipped";
    EXPECT_EQ(check_mouse_selected(ptMenu.get(), 1), 8);
    EXPECT_EQ(check_mouse_selected(ptMenu.get(), 0), -1);
    EXPECT_EQ(check_mouse_selected(ptMenu.get(), -1), -1);
    EXPECT_EQ(check_mouse_position_changed(ptMenu.get(), 8), 0);
    EXPECT_EQ(check_mouse_position_changed(ptMenu.get(), 3), 1);

    mouse_x = 51;
    EXPECT_EQ(check_mouse_position(ptMenu.get(), -5), -5);
    EXPECT_EQ(check_mouse_position_changed(ptMenu.get(), 3), 0);

    // Inside the arrow's rectangle but outside its triangle (bottom-left corner).
    mouse_x = 100;
    mouse_y = 220;
    EXPECT_EQ(check_mouse_position(ptMenu.get(), -5), -5);
    mouse_x = 110;
    mouse_y = 205;
    EXPECT_EQ(check_mouse_position(ptMenu.get(), -5), 9);
    mouse_x = 110;
    mouse_y = 218;
    EXPECT_EQ(check_mouse_selected(ptMenu.get(), 2), 9);
}

TEST_F(InputTest, InputKeysCopyAllNineFields)
{
    stInputKeys *ptKeys = create_input_keys();
    set_input_keys(ptKeys, &tJoyKeys);
    EXPECT_EQ(memcmp(ptKeys, &tJoyKeys, sizeof(stInputKeys)), 0);
    destroy_input_keys(ptKeys);
    EXPECT_EQ(check_ai(), 0);
}

// Input polling: scripted joystick and mouse states through the device checks
// and poll_movement — edge and held modes, the joystick's test order, the
// shared latches — and the mouse hit tests on a menu's first option group.
#include "headless.h"
#include "input.h"
#include "menu.h"
#include "player.h"

namespace {
// No key, button or axis held, no mouse button, both players blank.
void release_everything()
{
    memset(const_cast<char *>(key), 0, KEY_MAX);
    memset(joy, 0, MAX_JOYSTICKS * sizeof(JOYSTICK_INFO));
    joy[0].num_buttons = 8;
    joy[0].num_sticks = 1;
    joy[0].stick[0].num_axis = 2;
    mouse_b = 0;
    for (stPlayer &p : g_tPlayer)
        p = {};
}

class InputTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        release_everything();
        clear_keybuf();
        simulate_keypress(KEY_A << 8 | 'a'); // something in the key buffer, as after any press
        // Bring the latches to rest: an idle edge-mode poll and a mouse release.
        check_joystick(&tJoyKeys, 0, 0);
        check_mouse();
    }
    void TearDown() override
    {
        clear_keybuf();
        release_everything();
        HeadlessAllegro::TearDown();
    }
    void press(int iScancode, bool bDown = true) { const_cast<char *>(key)[iScancode] = bDown; }
    // Holds exactly one joystick code: a direction, a button, or JOY_NOTHING.
    void hold_joy(int iCode)
    {
        for (int b = 0; b < 8; b++)
            joy[0].button[b].b = iCode == JOY_CODE_BUTTON0 + b;
        joy[0].stick[0].axis[0].d1 = iCode == JOY_CODE_LEFT;
        joy[0].stick[0].axis[0].d2 = iCode == JOY_CODE_RIGHT;
        joy[0].stick[0].axis[1].d1 = iCode == JOY_CODE_UP;
        joy[0].stick[0].axis[1].d2 = iCode == JOY_CODE_DOWN;
    }
    stInputKeys tKeys = {1, KEY_UP, KEY_DOWN, KEY_RIGHT, KEY_LEFT, KEY_ENTER, KEY_ESC, KEY_BACKSPACE, KEY_SPACE};
    stInputKeys tJoyKeys = {2, JOY_CODE_UP, JOY_CODE_DOWN, JOY_CODE_LEFT, JOY_CODE_RIGHT, 5, 10, 11, 12};
};
} // namespace

TEST_F(InputTest, JoystickCodesFollowTheirOrderAndClearingForgetsThem)
{
    EXPECT_EQ(joy_button_pressed(0), JOY_NOTHING);
    // Each step holds one more input, which outranks those before it.
    const std::pair<int *, int> atSteps[] = {
        {&joy[0].button[11].b, 16}, {&joy[0].button[3].b, 8},
        {&joy[0].stick[0].axis[0].d1, JOY_CODE_LEFT}, {&joy[0].stick[0].axis[0].d2, JOY_CODE_RIGHT},
        {&joy[0].stick[0].axis[1].d2, JOY_CODE_DOWN}, {&joy[0].stick[0].axis[1].d1, JOY_CODE_UP}};
    for (const auto &[piHeld, iCode] : atSteps) {
        *piHeld = 1;
        EXPECT_EQ(joy_button_pressed(0), iCode);
    }
    EXPECT_EQ(joy_button_pressed(-1), JOY_NOTHING);
    joy[0].stick[0].axis[1].pos = 90;
    EXPECT_EQ(check_joystick_pressed(0), 1);
    clear_joy_buff(-1);
    EXPECT_EQ(check_joystick_pressed(0), 1);
    clear_joy_buff(0);
    EXPECT_EQ(check_joystick_pressed(0), 0);
    EXPECT_EQ(joy[0].stick[0].axis[1].pos, 0);
}

TEST_F(InputTest, JoystickEdgeModeGivesAPressOnceAndHeldModeRepeats)
{
    // Bound here: start 5, escape 10, back 11, action 12 (buttons 0, 5, 6, 7); left shrinks.
    const int B = JOY_CODE_BUTTON0, N = JOY_NOTHING;
    const std::array<int, 3> atSteps[] = { // code held, mode (0 edge, 1 held), movement
        {B, 0, MOVE_START},    {B, 0, MOVE_NONE},     {B, 0, MOVE_NONE},          {N, 0, MOVE_NONE},
        {JOY_CODE_UP, 0, MOVE_UP}, {N, 0, MOVE_NONE}, {B, 1, MOVE_START},         {B, 1, MOVE_START},
        {B + 5, 1, MOVE_ESCAPE}, {B + 6, 1, MOVE_BACK}, {B + 7, 1, MOVE_ACTION}, {B + 7, 1, MOVE_ACTION},
        {B + 2, 1, MOVE_NONE}, {JOY_CODE_LEFT, 1, MOVE_SHRINK}, {JOY_CODE_LEFT, 1, MOVE_SHRINK},
    };
    int iStep = 0;
    for (const auto &[iHeld, iMode, iExpected] : atSteps) {
        hold_joy(iHeld);
        EXPECT_EQ(check_joystick(&tJoyKeys, 0, iMode), iExpected) << "step " << iStep++;
    }
}

TEST_F(InputTest, MouseClickGivesItsCodeOnThePressOnlyAndMovesAreSeenOnce)
{
    const std::pair<int, int> atSteps[] = {{1, MOVE_START}, {1, MOVE_NONE}, {0, MOVE_NONE}, {2, MOVE_BACK}, {2, MOVE_NONE}};
    for (const auto &[iButtons, iExpected] : atSteps) {
        mouse_b = iButtons;
        EXPECT_EQ(check_mouse(), iExpected) << iButtons;
        EXPECT_EQ(check_mouse_pressed(), iButtons ? 1 : 0);
    }
    check_mouse_active();
    EXPECT_EQ(check_mouse_active(), 0);
    mouse_x = mouse_x + 3;
    EXPECT_EQ(check_mouse_active(), -1);
    EXPECT_EQ(check_mouse_active(), 0);
}

namespace {
// An enabled element of value iValue over tArea; given an orientation, an arrow
// picture: a picture without a name answers to its triangle only.
stElement element(int iValue, stMouseArea tArea, const char *pszOrientation = "")
{
    stElement e = {};
    e.iStatus = 1;
    e.iValue = iValue;
    e.tMouseArea = tArea;
    snprintf(e.tImage.szRoute, sizeof(e.tImage.szRoute), "%s", pszOrientation[0] ? "data/tx03.dat" : "");
    snprintf(e.tImage.szOrientation, sizeof(e.tImage.szOrientation), "%s", pszOrientation);
    return e;
}
} // namespace

TEST_F(InputTest, MenuHitTestsTakeTheFirstEnabledElementUnderTheMouse)
{
    auto ptMenu = std::make_unique<stMenu>();
    stOption &o = ptMenu->atOption[0];
    o.iNumElements = 3;
    o.atElement[0] = element(7, {0, 50, 0, 50});
    o.atElement[0].iStatus = 0; // disabled
    o.atElement[1] = element(8, {0, 50, 0, 50});
    o.atElement[2] = element(9, {100, 120, 200, 220}, "DOWN");
    // Where nothing is hit the position keeps the value given (-5) and the selection is -1.
    struct Case { int iX, iY, iPosition, aiSelected[3]; };
    const Case atCases[] = {
        {50, 50, 8, {-1, 8, -1}}, {51, 50, -5, {-1, -1, -1}}, // the corner is part of the rectangle
        {100, 220, -5, {-1, -1, -1}}, // in the arrow's rectangle, outside its triangle
        {110, 205, 9, {-1, -1, 9}},   {110, 218, 9, {-1, -1, 9}},
    };
    for (const auto &c : atCases) {
        mouse_x = c.iX;
        mouse_y = c.iY;
        EXPECT_EQ(check_mouse_position(ptMenu.get(), -5), c.iPosition) << c.iX << "," << c.iY;
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(check_mouse_selected(ptMenu.get(), i), c.aiSelected[i]) << c.iX << "," << c.iY << " " << i;
    }
    EXPECT_EQ(check_mouse_selected(ptMenu.get(), -1), -1);
}

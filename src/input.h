// Input polling: the command bindings of one side for one device kind.
#pragma once

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

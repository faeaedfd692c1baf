// Control configuration: owns the start-up choice of devices. Each side's
// bindings always point into the current user's controls table.
#include "controls.h"
#include "main.h"
#include "player.h"

void init_controls()
{
    stUser *ptUser = g_ptUserContainer->ptCurrentUser;
    for (int iSide = 0; iSide < USER_NUM_PLAYERS; iSide++) {
        g_tPlayer[iSide].iInput = IN_KEYBOARD;
        g_tPlayer[iSide].ptInputKeys = &ptUser->atControls[iSide][USER_KEYBOARD_CONTROLS];
    }
}

void controls_screen() {}

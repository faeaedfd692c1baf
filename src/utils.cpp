// The fatal-message exit, centred sprite drawing and colour conversion.
// error_message is the one way the program ends on an unrecoverable condition.
#include "utils.h"
#include "main.h"

#include <allegro.h>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int FATAL_EXIT_STATUS = -1; // seen by the shell as 255
constexpr int BYTE_MASK = 255;

// Set once the fatal path has begun, so a failure during shutdown cannot loop back.
bool g_bFatalInProgress = false;
} // namespace

void error_message(const char *pszText)
{
    if (g_bFatalInProgress)
        exit(FATAL_EXIT_STATUS);
    g_bFatalInProgress = true;
    fprintf(stderr, "Tarvelix: %s\n", pszText); // a copy for the console and the logs
    if (system_driver) { // the graphics library may not be up yet
        set_gfx_mode(GFX_TEXT, 0, 0, 0, 0);
        allegro_message("%s", pszText); // shown literally, never as a format
    }
    libraries_exit();
    exit(FATAL_EXIT_STATUS);
}

void notification_message(const char *pszText) { error_message(pszText); }

void draw_sprite_centre(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY)
{
    draw_sprite(bmpPicture, bmpSprite, iX - bmpSprite->w / 2, iY - bmpSprite->h / 2);
}

void stretch_sprite_centre(BITMAP *bmpPicture, BITMAP *bmpSprite, int iX, int iY, int iWidth,
                           int iHeight)
{
    stretch_sprite(bmpPicture, bmpSprite, iX - iWidth / 2, iY - iHeight / 2, iWidth, iHeight);
}

int change_color24(int iColor)
{
    if (get_color_depth() == 24)
        return iColor;
    return makecol((iColor >> _rgb_r_shift_24) & BYTE_MASK, (iColor >> _rgb_g_shift_24) & BYTE_MASK,
                   (iColor >> _rgb_b_shift_24) & BYTE_MASK);
}

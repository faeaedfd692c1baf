// Picture fades: the picture is redrawn straight onto the screen, lit towards or
// away from a colour, once per retrace until the fade counter reaches the total
// time; the fade always ends on its exact final picture.
#include "fade.h"
#include "time.h"

#include <allegro.h>

namespace {
constexpr int FULL_LIGHT = 255; // lighting level at which a lit sprite is the colour alone

enum class FadeDirection { FROM_COLOUR, TO_COLOUR };

// Lighting level after t of iTotalTime ms: the colour's share of the picture.
int fade_light_level(FadeDirection eDirection, int t, int iTotalTime)
{
    const int iLevel = static_cast<int>(static_cast<long long>(t) * FULL_LIGHT / iTotalTime);
    return eDirection == FadeDirection::FROM_COLOUR ? FULL_LIGHT - iLevel : iLevel;
}

void draw_final_picture(BITMAP *bmpOriginal, int iX, int iY, int iColour, FadeDirection eDirection)
{
    if (eDirection == FadeDirection::TO_COLOUR) {
        set_trans_blender(getr(iColour), getg(iColour), getb(iColour), 0);
        draw_lit_sprite(screen, bmpOriginal, iX, iY, FULL_LIGHT);
    } else {
        draw_sprite(screen, bmpOriginal, iX, iY); // also draws an 8-bit picture through its palette
    }
}

void run_picture_fade(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour,
                      FadeDirection eDirection)
{
    set_trans_blender(getr(iColour), getg(iColour), getb(iColour), 0);
    clean_fade_count();
    for (int t = 0; t < iTotalTime; t = return_fade_count()) {
        draw_lit_sprite(screen, bmpOriginal, iX, iY, fade_light_level(eDirection, t, iTotalTime));
        wait_retrace();
    }
    draw_final_picture(bmpOriginal, iX, iY, iColour, eDirection);
}
} // namespace

void fade_from_color(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour)
{
    run_picture_fade(bmpOriginal, iTotalTime, iX, iY, iColour, FadeDirection::FROM_COLOUR);
}

void fade_to_color(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour)
{
    run_picture_fade(bmpOriginal, iTotalTime, iX, iY, iColour, FadeDirection::TO_COLOUR);
}

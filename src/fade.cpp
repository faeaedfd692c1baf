// Picture fades: the picture is redrawn straight onto the screen, lit towards or
// away from a colour, once per retrace until the fade counter reaches the total
// time; the fade always ends on its exact final picture. Music fades move a
// channel slot's volume the same way and always end on exactly 0 or the music volume.
#include "fade.h"
#include "sound.h"
#include "time.h"

#include <allegro.h>
#include <cassert>

namespace {
constexpr int FULL_LIGHT = 255; // lighting level at which a lit sprite is the colour alone

// Music rises while the picture comes out of the colour and falls while it goes in.
enum class FadeDirection { FROM_COLOUR, TO_COLOUR };
constexpr int NO_MUSIC = -1; // channel slot of a picture fade that leaves the music alone
constexpr int MUSIC_POLL_REST = 10; // ms between two top-ups of the music in a wait

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

// Music volume after t of iTotalTime ms, between 0 and the music volume.
float fade_music_volume(FadeDirection eDirection, int t, int iTotalTime)
{
    const float fShare = static_cast<float>(t) * fMusicVolume / static_cast<float>(iTotalTime);
    return eDirection == FadeDirection::FROM_COLOUR ? fShare : fMusicVolume - fShare;
}

// The slot's newest channel; without sound there is none and nothing happens.
void set_music_volume(int iChannel, float fVolume)
{
    assert(iChannel >= 0 && iChannel < NUM_CHANNELS);
    mix_channel_set_volume(cnlChannelSounds[iChannel], fVolume);
}

void set_final_music_volume(int iChannel, FadeDirection eDirection)
{
    set_music_volume(iChannel, eDirection == FadeDirection::FROM_COLOUR ? fMusicVolume : 0.0f);
}

// iChannel NO_MUSIC: the picture only.
void run_picture_fade(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour,
                      FadeDirection eDirection, int iChannel)
{
    set_trans_blender(getr(iColour), getg(iColour), getb(iColour), 0);
    clean_fade_count();
    for (int t = 0; t < iTotalTime; t = return_fade_count()) {
        draw_lit_sprite(screen, bmpOriginal, iX, iY, fade_light_level(eDirection, t, iTotalTime));
        if (iChannel != NO_MUSIC)
            set_music_volume(iChannel, fade_music_volume(eDirection, t, iTotalTime));
        update_fmod(); // the music plays on through every fade
        wait_retrace();
    }
    draw_final_picture(bmpOriginal, iX, iY, iColour, eDirection);
    if (iChannel != NO_MUSIC)
        set_final_music_volume(iChannel, eDirection);
}

void run_music_fade(int iChannel, int iTotalTime, FadeDirection eDirection)
{
    clean_fade_count();
    for (int t = 0; t < iTotalTime; t = return_fade_count()) {
        set_music_volume(iChannel, fade_music_volume(eDirection, t, iTotalTime));
        update_fmod();
        wait_retrace();
    }
    set_final_music_volume(iChannel, eDirection);
    update_fmod();
}

bool any_joystick_button()
{
    poll_joystick();
    for (int j = 0; j < num_joysticks; j++)
        for (int b = 0; b < joy[j].num_buttons; b++)
            if (joy[j].button[b].b)
                return true;
    return false;
}

// Whether the player answered: a key, a mouse button or any joystick button,
// so that a player with only a pad or a mouse is never held on the page.
bool player_answered()
{
    return keypressed() || mouse_b || any_joystick_button();
}

// Waits until every mouse and joystick button is up, so that the press that
// opened the page does not close it at once.
void wait_buttons_released()
{
    while (mouse_b || any_joystick_button()) {
        update_fmod();
        rest(MUSIC_POLL_REST);
    }
}
} // namespace

void fade_from_color(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour)
{
    run_picture_fade(bmpOriginal, iTotalTime, iX, iY, iColour, FadeDirection::FROM_COLOUR, NO_MUSIC);
}

void fade_to_color(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour)
{
    run_picture_fade(bmpOriginal, iTotalTime, iX, iY, iColour, FadeDirection::TO_COLOUR, NO_MUSIC);
}

void fade_music_in(int iChannel, int iTotalTime)
{
    run_music_fade(iChannel, iTotalTime, FadeDirection::FROM_COLOUR);
}

void fade_music_out(int iChannel, int iTotalTime)
{
    run_music_fade(iChannel, iTotalTime, FadeDirection::TO_COLOUR);
}

void fade_media_in(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour, int iChannel)
{
    run_picture_fade(bmpOriginal, iTotalTime, iX, iY, iColour, FadeDirection::FROM_COLOUR, iChannel);
}

void fade_media_out(BITMAP *bmpOriginal, int iTotalTime, int iX, int iY, int iColour, int iChannel)
{
    run_picture_fade(bmpOriginal, iTotalTime, iX, iY, iColour, FadeDirection::TO_COLOUR, iChannel);
}

void wait_with_music(int iTime, bool bKeyEnds)
{
    clear_keybuf();
    clean_fade_count();
    while (return_fade_count() < iTime && !(bKeyEnds && keypressed())) {
        update_fmod();
        rest(MUSIC_POLL_REST);
    }
    clear_keybuf();
}

void wait_answer_with_music()
{
    wait_buttons_released();
    clear_keybuf();
    while (!player_answered()) {
        update_fmod();
        rest(MUSIC_POLL_REST);
    }
    clear_keybuf();
    wait_buttons_released();
}

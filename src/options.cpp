// The options screen. It works on its own copies of the profile's settings,
// applies the volumes live every frame, and writes everything back when
// player one leaves. It draws from every language's copy of the options menu
// and texts, so the screen speaks the language being chosen; the game's own
// tables are reloaded in that language only when a screen that reads them
// (controls, help) opens, or on leaving.
#include "options.h"
#include "controls.h"
#include "credits.h"
#include "database.h"
#include "fade.h"
#include "grabber_functions.h"
#include "help.h"
#include "input.h"
#include "labels.h"
#include "language_conf.h"
#include "main.h"
#include "menu.h"
#include "player.h"
#include "sound.h"
#include "sound_loading.h"
#include "tfont.h"
#include "time.h"
#include "utils.h"

#include <algorithm>
#include <allegro.h>
#include <cstdio>

namespace {
constexpr const char *SCREEN_FONT = "FUTURA";
constexpr const char *FONT_DATAFILE = "data/tx05.dat";
constexpr int SCREEN_FONT_HEIGHT = 40;   // px, the language's name and the sync label
constexpr int PERCENT_FONT_HEIGHT = 24;  // px, the sliders' percentages
constexpr int FADE_TIME = 500;           // ms
constexpr int FRAME_WAIT = 33;           // ms a frame waits on the clock
constexpr int EXIT_WAIT = 100;           // ms before the screen leaves
constexpr int VOLUME_MAX = 255;
constexpr int PERCENT = 100;
constexpr int LEFT_MOUSE_BUTTON = 1;     // its bit in mouse_b

// The sliders: a track from SLIDER_LEFT to SLIDER_RIGHT, a knob KNOB_WIDTH wide
// reaching KNOB_REACH above and below the track.
constexpr int SLIDER_LEFT = 285;         // px
constexpr int SLIDER_RIGHT = 565;
constexpr int SLIDER_SPAN = SLIDER_RIGHT - SLIDER_LEFT;
constexpr int MUSIC_SLIDER_Y = 270;
constexpr int FX_SLIDER_Y = 314;
constexpr int KNOB_REACH = 12;
constexpr int KNOB_WIDTH = 14;
constexpr int TRACK_REACH = 3;           // px above and below the track the pointer counts on it
constexpr int DRAG_BAND = 299;           // px right of the knob's edge a press starts a drag in
constexpr int SLIDER_RED = 0xFF0000;
constexpr int SLIDER_BLUE = 0x2EA2F4;

constexpr int LANGUAGE_NAME_X = 600;     // px; its y is the language arrows'
constexpr int SYNC_LABEL_X = 325;
constexpr int SYNC_LABEL_Y = 490;
constexpr int BACKDROP_RGB = 0x0099CC;   // behind the background picture
constexpr int DISABLED_TEXT_GREY = 128;
constexpr int FIRST_VOLUME_BUTTON = MUSIC_L;
constexpr int LAST_VOLUME_BUTTON = FX_R;
constexpr int VOLUME_TEXTS[] = {2, 3, 4}; // the volume heading, music and effects

enum { MUSIC = 0, EFFECTS = 1 };

struct Slider {
    int iY;
    int iLeftButton;
    int iRightButton;
    bool bHighlight = false;
    bool bDrag = false;
};

// The screen's working state, for one visit.
struct OptionsState {
    int aiVolume[2] = {0, 0};
    bool bSyncOff = false;
    int iLanguage = 0;
    int iLoadedLanguage = 0;    // the language of the game's own tables
    int iSelected = LENGUAJE_L;
    Slider atSlider[2] = {{MUSIC_SLIDER_Y, MUSIC_L, MUSIC_R}, {FX_SLIDER_Y, FX_L, FX_R}};
    bool bFadeIn = true;        // the next frame fades in from black
    bool bRedSliders = false;   // the next frame draws the sliders red
    bool bExit = false;         // leave after a short wait
    bool bLeave = false;        // leave at the end of this frame
    TFONT_FONT *fontName = nullptr;
    TFONT_FONT *fontPercent = nullptr;
    BITMAP *bmpBackground = nullptr;
};

stUser *profile() { return g_ptUserContainer->ptCurrentUser; }
stMenu *options_menu(const OptionsState &t) { return g_ptParcialMenu[t.iLanguage]; }

// The game's own tables in the chosen language, before a screen that reads them.
void load_chosen_language(OptionsState *pt)
{
    if (pt->iLanguage == pt->iLoadedLanguage)
        return;
    reload_languages_conf(pt->iLanguage);
    pt->iLoadedLanguage = pt->iLanguage;
}

// Without sound the volume controls are greyed out and read 0.
void disable_sound_controls(OptionsState *pt)
{
    stOption &tOption = options_menu(*pt)->atOption[0];
    for (int i = FIRST_VOLUME_BUTTON; i <= LAST_VOLUME_BUTTON; i++)
        tOption.atElement[i].iStatus = 0;
    const int iGrey = makecol(DISABLED_TEXT_GREY, DISABLED_TEXT_GREY, DISABLED_TEXT_GREY);
    for (int i : VOLUME_TEXTS)
        g_ptParcialMenuText->atScreen[pt->iLanguage].atTextElement[i].tFont.iColorSelected = iGrey;
    pt->aiVolume[MUSIC] = pt->aiVolume[EFFECTS] = 0;
}

bool pointer_in(int iX, int iY, int iLeft, int iRight, int iTop, int iBottom)
{
    return iX >= iLeft && iX <= iRight && iY >= iTop && iY <= iBottom;
}

int knob_x(int iVolume) { return SLIDER_LEFT + iVolume * SLIDER_SPAN / VOLUME_MAX; }

// Hover, press and drag of one slider by the mouse; a drag goes on wherever
// the pointer goes until the button is released.
void update_slider(OptionsState *pt, int iSlider)
{
    Slider &s = pt->atSlider[iSlider];
    const Slider &tOther = pt->atSlider[1 - iSlider];
    int &iVolume = pt->aiVolume[iSlider];
    const int x = mouse_x, y = mouse_y;
    const bool bButton = (mouse_b & LEFT_MOUSE_BUTTON) != 0;
    const int iKnob = knob_x(iVolume);
    const bool bOverKnob = pointer_in(x, y, iKnob, iKnob + KNOB_WIDTH, s.iY - KNOB_REACH, s.iY + KNOB_REACH);
    const bool bOverTrack = pointer_in(x, y, SLIDER_LEFT, SLIDER_RIGHT, s.iY - TRACK_REACH, s.iY + TRACK_REACH);
    if (!bButton)
        s.bDrag = false;
    if (((bOverKnob || bOverTrack) && !tOther.bDrag) || s.bDrag) {
        s.bHighlight = true;
        if (bButton) {
            if (pointer_in(x, y, iKnob, iKnob + DRAG_BAND, s.iY - KNOB_REACH, s.iY + KNOB_REACH))
                s.bDrag = true;
            iVolume = slider_volume(x);
        }
    } else {
        s.bHighlight = pt->iSelected == s.iLeftButton || pt->iSelected == s.iRightButton;
    }
}

void draw_screen(OptionsState *pt)
{
    const OptionsState &t = *pt;
    stMenu *ptMenu = options_menu(t);
    clear_to_color(g_bmpBuffer, rgb_color(BACKDROP_RGB));
    blit(t.bmpBackground, g_bmpBuffer, 0, 0, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT);
    print_text_to_screen(g_ptParcialMenuText, nullptr, t.iLanguage, g_bmpBuffer);
    print_button_to_screen(ptMenu, nullptr, g_bmpBuffer, t.iSelected);
    const int iWhite = makecol(255, 255, 255);
    textprintf_centre_shadow(g_bmpBuffer, t.fontName, LANGUAGE_NAME_X,
                             ptMenu->atOption[0].atElement[LENGUAJE_L].tPosition.iY, iWhite,
                             g_tLanguage[t.iLanguage].szLanguage);
    const stLabel *ptSync = g_ptParcialLabel[LABELS_PER_LANGUAGE * t.iLanguage + (t.bSyncOff ? 1 : 0)];
    if (ptSync)
        textprintf_centre_shadow(g_bmpBuffer, t.fontName, SYNC_LABEL_X, SYNC_LABEL_Y, ptSync->iColor,
                                 ptSync->szText);
    if (bSoundError)
        return;
    const int iColour = rgb_color(t.bRedSliders ? SLIDER_RED : SLIDER_BLUE);
    for (int i = MUSIC; i <= EFFECTS; i++) {
        if (!t.bRedSliders)
            update_slider(pt, i);
        slide_bar(g_bmpBuffer, t.fontPercent, SLIDER_LEFT, SLIDER_RIGHT, t.atSlider[i].iY, KNOB_REACH,
                  iColour, t.aiVolume[i], t.atSlider[i].bHighlight ? 0 : 1);
    }
    pt->bRedSliders = false;
}

void present(OptionsState *pt)
{
    if (!pt->bSyncOff)
        wait_retrace();
    if (pt->bFadeIn) {
        show_mouse(nullptr);
        fade_from_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
        pt->bFadeIn = false;
    } else {
        present_with_mouse();
    }
    wait_clock(FRAME_WAIT);
}

void fade_out()
{
    show_mouse(nullptr);
    fade_to_color(g_bmpBuffer, FADE_TIME, 0, 0, makecol(0, 0, 0));
}

// Start on the selected button.
void act(OptionsState *pt)
{
    OptionsState &t = *pt;
    const int iLanguages = g_tFileLanguageConf.iNumLanguages;
    switch (t.iSelected) {
    case MUSIC_L:
    case MUSIC_R:
        t.aiVolume[MUSIC] = volume_step(t.aiVolume[MUSIC], t.iSelected == MUSIC_L ? -VOLUME_STEP : VOLUME_STEP);
        break;
    case FX_L:
    case FX_R:
        t.aiVolume[EFFECTS] = volume_step(t.aiVolume[EFFECTS], t.iSelected == FX_L ? -VOLUME_STEP : VOLUME_STEP);
        break;
    case CONFIG:
        fade_out();
        load_chosen_language(pt);
        controls_screen();
        t.bFadeIn = true;
        break;
    case VSYNC_L:
    case VSYNC_R:
        t.bSyncOff = !t.bSyncOff;
        break;
    case LENGUAJE_L:
    case LENGUAJE_R:
        t.iLanguage = language_step(t.iLanguage, t.iSelected == LENGUAJE_L ? -1 : 1, iLanguages);
        break;
    case CREDITS_BUTTON:
        fade_out();
        snprintf(profile()->szLanguage, sizeof(profile()->szLanguage), "%s",
                 g_tLanguage[t.iLanguage].szIdLanguage);
        set_languages_conf();
        credits();
        t.bRedSliders = true;
        t.bFadeIn = true;
        break;
    case EXIT_OPT:
        t.bLeave = true;
        break;
    default:
        break;
    }
}

// A held arrow on a volume button keeps changing its volume: Left (the grow
// binding) on a left arrow, Right (the shrink binding) on a right one.
void hold_volume_arrows(OptionsState *pt, int iHeld)
{
    const int iSel = pt->iSelected;
    const bool bDown = (iSel == MUSIC_L || iSel == FX_L) && iHeld == MOVE_GROW;
    const bool bUp = (iSel == MUSIC_R || iSel == FX_R) && iHeld == MOVE_SHRINK;
    if (!bDown && !bUp)
        return;
    int &iVolume = pt->aiVolume[iSel == MUSIC_L || iSel == MUSIC_R ? MUSIC : EFFECTS];
    iVolume = volume_step(iVolume, bDown ? -VOLUME_STEP : VOLUME_STEP);
}

void show_help(OptionsState *pt)
{
    fade_out();
    load_chosen_language(pt);
    help_screen();
    clear_keybuf();
    pt->bFadeIn = true;
}

void handle_input(OptionsState *pt)
{
    OptionsState &t = *pt;
    stMenu *ptMenu = options_menu(t);
    const int iBefore = t.iSelected;
    if (check_mouse_active())
        t.iSelected = check_mouse_position(ptMenu, t.iSelected);
    const int iMove = poll_movement(0, 0);
    hold_volume_arrows(pt, poll_movement(0, 1));
    clear_joy_buff(g_tPlayer[0].iJoystick);
    const bool bDirection = iMove >= MOVE_UP && iMove <= MOVE_GROW;
    if (t.iSelected < 0 && bDirection) {
        t.iSelected = LENGUAJE_L;
    } else if (bDirection) {
        t.iSelected = next_selection(ptMenu, t.iSelected, iMove, false);
    } else if (iMove == MOVE_ESCAPE || iMove == MOVE_BACK) {
        t.iSelected = EXIT_OPT;
        play_menu_sound(SOUND_MENU_RETURN);
        t.bExit = true;
    } else if (iMove == MOVE_START) {
        play_menu_sound(SOUND_MENU_SELECT);
        // A click acts only on the button under the pointer.
        const bool bClick = check_mouse_pressed();
        if (!bClick || check_mouse_selected(ptMenu, t.iSelected) != -1)
            act(pt);
    }
    if (t.iSelected != iBefore && !t.bExit)
        play_menu_sound(SOUND_MENU_MOVE);
    if (key[KEY_F1])
        show_help(pt);
    clear_keybuf();
}

void enter(OptionsState *pt)
{
    OptionsState &t = *pt;
    const stScreen &tScreen = g_ptMenuText->atScreen[TEXT_OPTIONS];
    t.bmpBackground = load_bmp_from_dat(tScreen.tBackground.atImage[0].szBackground,
                                        tScreen.tBackground.szRoute);
    t.fontName = load_font_from_dat(SCREEN_FONT, FONT_DATAFILE, SCREEN_FONT_HEIGHT);
    t.fontPercent = load_font_from_dat(SCREEN_FONT, FONT_DATAFILE, PERCENT_FONT_HEIGHT);
    clear_keybuf();
    t.aiVolume[MUSIC] = profile()->iMusicVolume;
    t.aiVolume[EFFECTS] = profile()->iFXVolume;
    t.bSyncOff = profile()->bVsync == 0;
    t.iLanguage = t.iLoadedLanguage = num_of_lenguages(profile()->szLanguage);
    g_tPlayer[0].iInput |= IN_MOUSE;
}

void leave(OptionsState *pt)
{
    OptionsState &t = *pt;
    if (!bSoundError) {
        profile()->iMusicVolume = t.aiVolume[MUSIC];
        profile()->iFXVolume = t.aiVolume[EFFECTS];
    }
    profile()->bVsync = t.bSyncOff ? 0 : -1;
    // The credits may have switched the documents' language on their own.
    if (t.iLanguage != t.iLoadedLanguage || g_iLanguage != t.iLanguage) {
        reload_languages_conf(t.iLanguage);
        t.iLoadedLanguage = t.iLanguage;
    }
    g_tPlayer[0].iInput &= ~IN_MOUSE;
    fade_out();
    tfont_destroy_font(t.fontName);
    tfont_destroy_font(t.fontPercent);
    destroy_bitmap(t.bmpBackground);
}
} // namespace

int volume_step(int iVolume, int iDelta)
{
    const int iPercent = iVolume * PERCENT / VOLUME_MAX;
    if (iDelta < 0 && iPercent > 0)
        return std::max(iVolume + iDelta, 0);
    if (iDelta > 0 && iPercent < PERCENT)
        return std::min(iVolume + iDelta, VOLUME_MAX);
    return iVolume;
}

int slider_volume(int iPointerX)
{
    return std::clamp((iPointerX - SLIDER_LEFT) * VOLUME_MAX / SLIDER_SPAN, 0, VOLUME_MAX);
}

int language_step(int iLanguage, int iDirection, int iCount)
{
    if (iCount <= 0)
        return 0;
    return ((iLanguage + iDirection) % iCount + iCount) % iCount;
}

void options_screen()
{
    OptionsState t;
    enter(&t);
    while (true) {
        if (bSoundError)
            disable_sound_controls(&t);
        set_fmod_volume(t.aiVolume[MUSIC] / static_cast<float>(VOLUME_MAX),
                        t.aiVolume[EFFECTS] / static_cast<float>(VOLUME_MAX));
        update_fmod();
        draw_screen(&t);
        present(&t);
        if (t.bExit) {
            wait_clock(EXIT_WAIT);
            break;
        }
        handle_input(&t);
        if (t.bLeave)
            break;
    }
    leave(&t);
}

// The intro. The logo fades in, the ball enters from the top right, bounces
// off the logo's round spot (a one-circle stage, so the stage collision
// throws the sparks of the chosen stage) and the intro ends once the ball has
// wholly left the screen. Keys are read once, at the serve: none ends the
// intro early.
#include "intro.h"
#include "ball.h"
#include "collision.h"
#include "fade.h"
#include "grabber_functions.h"
#include "main.h"
#include "particle.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "time.h"

#include <allegro.h>
#include <cmath>

namespace {
constexpr const char *INTRO_DATAFILE = "data/tx07.dat";
constexpr const char *LOGO_PICTURE = "Vanto";
constexpr const char *LOGO_LETTER_PICTURE = "LOGO_LETTER";

constexpr int LOGO_FADE_TIME = 1000; // ms, in and out
constexpr int LOGO_REST = 500;       // ms before the serve and after the ball has gone
constexpr int DEFAULT_LEVEL = 6;     // the storm's first level: its ball, and its sparks
constexpr int NO_STAGE_LEVEL = -3;   // the level index of the logo's own sparks

// The logo's round spot on the screen, which the ball bounces off.
constexpr float SPOT_X = 506.0f;     // px
constexpr float SPOT_Y = 164.0f;
constexpr float SPOT_RADIUS = 26.0f;

constexpr float SERVE_X = 670.0f;    // px; the serve's y is the ball's radius
constexpr float SERVE_SPEED = 300.0f; // px/s
constexpr int SERVE_MIN_ANGLE = 35;  // degrees below the horizontal, leftward
constexpr int SERVE_MAX_ANGLE = 50;
constexpr float DEGREES_TO_RADIANS = static_cast<float>(M_PI) / 180.0f;
constexpr float MS_PER_SECOND = 1000.0f;

// A held key and what it chooses.
struct IntroKey {
    int iScancode;
    int iScancodePad; // the keypad's twin, or 0
    enum { FIRE, SHADOWS, LEVEL } eChoice;
    int iLevel;
};
constexpr IntroKey atIntroKeys[] = {
    {KEY_F, 0, IntroKey::FIRE, 0},
    {KEY_S, 0, IntroKey::SHADOWS, 0},
    {KEY_N, 0, IntroKey::LEVEL, NO_STAGE_LEVEL},
    {KEY_0, KEY_0_PAD, IntroKey::LEVEL, 0},
    {KEY_1, KEY_1_PAD, IntroKey::LEVEL, 3},
    {KEY_3, KEY_3_PAD, IntroKey::LEVEL, 9},
    {KEY_4, KEY_4_PAD, IntroKey::LEVEL, 12},
    {KEY_5, KEY_5_PAD, IntroKey::LEVEL, 15},
    {KEY_6, KEY_6_PAD, IntroKey::LEVEL, 18},
    {KEY_7, KEY_7_PAD, IntroKey::LEVEL, 21},
};

bool ball_off_screen(const stBall &tBall)
{
    const float r = tBall.tCircle.fRadius;
    return tBall.fX - r > SCREEN_W || tBall.fX + r < 0 || tBall.fY + r < 0 || tBall.fY - r > SCREEN_H;
}

void draw_logo(BITMAP *bmpLogo)
{
    clear_bitmap(g_bmpBuffer);
    draw_sprite(g_bmpBuffer, bmpLogo, SCREEN_W / 2 - bmpLogo->w / 2, SCREEN_H / 2 - bmpLogo->h / 2);
}

void serve_intro_ball()
{
    const float fAngle = random_range(SERVE_MIN_ANGLE, SERVE_MAX_ANGLE) * DEGREES_TO_RADIANS;
    g_tBall.fX = SERVE_X;
    g_tBall.fY = g_tBall.tCircle.fRadius;
    g_tBall.fVelX = -SERVE_SPEED * std::cos(fAngle);
    g_tBall.fVelY = SERVE_SPEED * std::sin(fAngle);
}
} // namespace

stIntroKeys intro_keys(const volatile char *akHeld, int iLevel)
{
    stIntroKeys tKeys = {0, 0, iLevel};
    for (const IntroKey &k : atIntroKeys) {
        if (!akHeld[k.iScancode] && !(k.iScancodePad && akHeld[k.iScancodePad]))
            continue;
        if (k.eChoice == IntroKey::FIRE)
            tKeys.bFire = 1;
        else if (k.eChoice == IntroKey::SHADOWS)
            tKeys.bShadows = 1;
        else
            tKeys.iLevel = k.iLevel;
        break;
    }
    return tKeys;
}

void intro()
{
    bmpLogoLetter = load_bmp_from_dat(LOGO_LETTER_PICTURE, INTRO_DATAFILE);
    BITMAP *bmpLogo = load_bmp_from_dat(LOGO_PICTURE, INTRO_DATAFILE);
    clear_keybuf();
    draw_logo(bmpLogo);
    mark_intro_first_frame();
    fade_from_color(g_bmpBuffer, LOGO_FADE_TIME, 0, 0, makecol(0, 0, 0));
    wait_with_music(LOGO_REST, false);

    g_iLevel = DEFAULT_LEVEL;
    init_ball(&g_tBall);
    const stIntroKeys tKeys = intro_keys(key, g_iLevel);
    g_iLevel = tKeys.iLevel;
    clear_keybuf();

    stLevelBounds tSpot = {};
    tSpot.iNumCircles = 1;
    tSpot.vtCircle[0] = {SPOT_RADIUS, {SPOT_X, SPOT_Y}};
    serve_intro_ball();
    clean_count();
    float fElapsed = 0.0f;
    float fDT = 0.0f;
    while (!ball_off_screen(g_tBall)) {
        draw_logo(bmpLogo);
        update_ball(&g_tBall, fDT);
        g_tBall.bFire = tKeys.bFire;
        g_tBall.bShadows = tKeys.bShadows;
        detect_stage_collision(&tSpot, &g_tBall, TRUE);
        update_particles(fDT);
        draw_particles(g_bmpBuffer);
        draw_ball(g_bmpBuffer, &g_tBall);
        update_fmod();
        wait_retrace();
        blit(g_bmpBuffer, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H);
        fDT = return_count() / MS_PER_SECOND - fElapsed;
        fElapsed += fDT;
    }
    destroy_ball(&g_tBall);
    wait_with_music(LOGO_REST, false);
    fade_to_color(g_bmpBuffer, LOGO_FADE_TIME, 0, 0, makecol(0, 0, 0));
    kill_particles();
    destroy_bitmap(bmpLogo);
    destroy_bitmap(bmpLogoLetter);
    bmpLogoLetter = nullptr;
}

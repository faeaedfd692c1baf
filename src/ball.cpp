// The ball: owns its two images and the scratch bitmap for the shadow trail.
// tCircle's centre follows (fX, fY) after every move, the shadow ring index stays
// within 0 .. BALL_SHADOWS - 1, and a held ball (bCollSpring) never counts as out.
#include "ball.h"
#include "grabber_functions.h"
#include "main.h"
#include "particle.h"
#include "pong.h"
#include "random.h"
#include "stXMLParser.h"
#include "tables.h"
#include "utils.h"

#include <algorithm>
#include <allegro.h>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace {
constexpr char LEVEL_DOCUMENT[] = "NIVEL";
constexpr char LEVEL_DATAFILE[] = "data/tx15.dat";
constexpr int DATAFILE_NAME_SIZE = 256;   // bytes of the images' datafile path, with its zero
constexpr int SERVE_MAX_DEGREES = 20;     // the serve leaves within this of horizontal
constexpr double PI = 3.14159265358979323846;
constexpr float HALF_TURN_DEGREES = 180.0f;
constexpr int SHADOW_ALPHA_STEP = 51;     // alpha per shadow period of age: 255 / BALL_SHADOWS
constexpr int MAX_ALPHA = 255;
constexpr int SHADOW_R = 0, SHADOW_G = 96, SHADOW_B = 192; // the trail's blue tint
constexpr int SHADOW_LIGHT = 64;          // lighting level of the tint, 0 .. 255
constexpr int FIRE_PARTICLES = 4;
constexpr double FIRE_LIFE = 1.0;         // s
constexpr double FIRE_HALF_FAN = 75.0;    // degrees either side of the ball's bearing
constexpr double FIRE_SPEED = 30.0;       // px/s
constexpr double FIRE_SIZE_DELTA = 5.0;   // px/s
constexpr double RAD_TO_DEG = 57.29577951308232;
constexpr char NO_MEMORY[] = "Error al crear memoria dinamica."; // the allocation failure's text

// The serve: from the start position at a random angle, keeping the horizontal
// direction the ball had (a fresh record goes to the right).
void serve(stBall *ptBall)
{
    ptBall->fX = ptBall->fStartX;
    ptBall->fY = ptBall->fStartY;
    const int iDegrees = random_range(-SERVE_MAX_DEGREES, SERVE_MAX_DEGREES);
    ptBall->fAngle = static_cast<float>(iDegrees * PI / HALF_TURN_DEGREES);
    const float fAcross = ptBall->fStartVel * table_cos(ptBall->fAngle);
    ptBall->fVelX = ptBall->fVelX >= 0.0f ? fAcross : -fAcross;
    ptBall->fVelY = ptBall->fStartVel * table_sin(ptBall->fAngle);
    ptBall->fTimeSinceAccel = 0.0f;
    ptBall->bOutBounds = FALSE;
    ptBall->iExitPlace = 0;
    ptBall->bCollSpring = FALSE;
    ptBall->fBounceDirX = 0.0f;
    ptBall->fBounceDirY = 0.0f;
    std::fill(std::begin(ptBall->aiShadPosX), std::end(ptBall->aiShadPosX),
              static_cast<int>(ptBall->fStartX));
    std::fill(std::begin(ptBall->aiShadPosY), std::end(ptBall->aiShadPosY),
              static_cast<int>(ptBall->fStartY));
    ptBall->iLastShadow = 0;
}

// The exit test on the position before the move; later rules override the side.
void test_exit(stBall *ptBall)
{
    assert(ptBall->rleSprite);
    const int w = ptBall->rleSprite->w, h = ptBall->rleSprite->h;
    const int iSideOfX = ptBall->fX >= SCREEN_WIDTH / 2 ? 1 : 0;
    if (ptBall->fPrevX < -w) {
        ptBall->bOutBounds = TRUE;
        ptBall->iExitPlace = 0;
    }
    if (ptBall->fPrevX > SCREEN_WIDTH + w) {
        ptBall->bOutBounds = TRUE;
        ptBall->iExitPlace = 1;
    }
    if (ptBall->fPrevY < -h) {
        ptBall->bOutBounds = TRUE;
        ptBall->iExitPlace = iSideOfX;
    }
    if (ptBall->fPrevY > SCREEN_HEIGHT + h) {
        ptBall->bOutBounds = TRUE;
        ptBall->iExitPlace = iSideOfX;
    }
}
} // namespace

void init_ball(stBall *ptBall)
{
    stXMLParser *ptParser =
        open_xml_entry(LEVEL_DOCUMENT, LEVEL_DATAFILE, "escenas", "nivel", g_iLevel, "pelota");

    // Every string read shares one buffer: the datafile's name is kept apart.
    char szFile[DATAFILE_NAME_SIZE];
    snprintf(szFile, sizeof(szFile), "%s", xmlparser_getAttributeVal_asString(ptParser, "archivo"));
    ptBall->rleNormalSprite =
        load_rle_from_dat(xmlparser_getAttributeVal_asString(ptParser, "imagen"), szFile);
    ptBall->rleBigSprite =
        load_rle_from_dat(xmlparser_getAttributeVal_asString(ptParser, "imagen_grande"), szFile);
    ptBall->bmpTempSprite = create_bitmap(ptBall->rleBigSprite->w, ptBall->rleBigSprite->h);
    if (!ptBall->bmpTempSprite)
        error_message(NO_MEMORY);
    ptBall->rleSprite = ptBall->rleNormalSprite;
    ptBall->tCircle.fRadius = static_cast<float>(ptBall->rleNormalSprite->w / 2);

    ptBall->fStartX = static_cast<float>(xmlparser_getAttributeVal_asInteger(ptParser, "ini_x"));
    ptBall->fStartY = static_cast<float>(xmlparser_getAttributeVal_asInteger(ptParser, "ini_y"));
    ptBall->fStartY += static_cast<float>(xmlparser_getAttributeVal_asInteger(ptParser, "ini_y_delta"));
    ptBall->fStartVel = xmlparser_getAttributeVal_asFloat(ptParser, "velocidad");
    ptBall->fMass = xmlparser_getAttributeVal_asFloat(ptParser, "masa");
    ptBall->fAccelPorc = xmlparser_getAttributeVal_asFloat(ptParser, "porc_acel");
    ptBall->fTimeToAccel = xmlparser_getAttributeVal_asFloat(ptParser, "tiempo_acel");
    xmlparser_destroy(ptParser);

    serve(ptBall);
    ptBall->fShadowTime = 0.0f;
    ptBall->iLastShadow = 0;
    ptBall->bFire = FALSE;
    ptBall->bShadows = FALSE;
}

void reset_ball(stBall *ptBall) { serve(ptBall); }

void update_ball(stBall *ptBall, float fDT)
{
    const bool bTrailShown = ptBall->bShadows != 0;
    ptBall->bFire = FALSE;
    ptBall->bShadows = FALSE;
    float fShadowTime = ptBall->fShadowTime;
    if (ptBall->bOutBounds == TRUE) {
        serve(ptBall);
        fShadowTime = 0.0f;
    }

    // The speed grows by fAccelPorc per fTimeToAccel, compounding every frame,
    // up to the ball's top speed. A configuration without a time to accelerate
    // over keeps the speed.
    if (ptBall->fTimeToAccel > 0.0f) {
        const float k = fDT / ptBall->fTimeToAccel;
        ptBall->fVelX += ptBall->fVelX * ptBall->fAccelPorc * k;
        ptBall->fVelY += ptBall->fVelY * ptBall->fAccelPorc * k;
    }
    const float fSpeed = std::hypot(ptBall->fVelX, ptBall->fVelY);
    if (fSpeed > BALL_MAX_SPEED) {
        ptBall->fVelX *= BALL_MAX_SPEED / fSpeed;
        ptBall->fVelY *= BALL_MAX_SPEED / fSpeed;
    }

    ptBall->fPrevX = ptBall->fX;
    ptBall->fPrevY = ptBall->fY;
    ptBall->fX += ptBall->fVelX * fDT;
    ptBall->fY += ptBall->fVelY * fDT;
    ptBall->fVel = std::sqrt(ptBall->fVelX * ptBall->fVelX + ptBall->fVelY * ptBall->fVelY);
    ptBall->tCircle.tCenter = {ptBall->fX, ptBall->fY};
    ptBall->tPath = {{ptBall->fPrevX, ptBall->fPrevY}, {ptBall->fX, ptBall->fY}};

    // One shadow per period at most, however long the frame.
    const float t = fShadowTime + fDT;
    if (t <= BALL_SHADOW_PERIOD) {
        ptBall->fShadowTime = t;
    } else {
        ptBall->fShadowTime = t - BALL_SHADOW_PERIOD;
        if (bTrailShown) {
            ptBall->aiShadPosX[ptBall->iLastShadow] = static_cast<int>(ptBall->fPrevX);
            ptBall->aiShadPosY[ptBall->iLastShadow] = static_cast<int>(ptBall->fPrevY);
        } else {
            // The trail starts collapsed on the ball.
            std::fill(std::begin(ptBall->aiShadPosX), std::end(ptBall->aiShadPosX),
                      static_cast<int>(ptBall->fX));
            std::fill(std::begin(ptBall->aiShadPosY), std::end(ptBall->aiShadPosY),
                      static_cast<int>(ptBall->fY));
        }
        ptBall->iLastShadow = (ptBall->iLastShadow + 1) % BALL_SHADOWS;
    }

    if (ptBall->bCollSpring != TRUE)
        test_exit(ptBall);
}

void draw_ball(BITMAP *bmpPicture, stBall *ptBall)
{
    const int w = ptBall->rleSprite->w, h = ptBall->rleSprite->h;
    if (ptBall->bShadows) {
        // Oldest first: each shadow a blue-lit copy, fainter with age.
        for (int k = 0; k < BALL_SHADOWS; k++) {
            const int iSlot = (ptBall->iLastShadow + k) % BALL_SHADOWS;
            const int iAlpha = std::clamp(
                static_cast<int>((ptBall->fShadowTime / BALL_SHADOW_PERIOD + k) * SHADOW_ALPHA_STEP),
                0, MAX_ALPHA);
            set_trans_blender(SHADOW_R, SHADOW_G, SHADOW_B, iAlpha);
            clear_to_color(ptBall->bmpTempSprite, bitmap_mask_color(ptBall->bmpTempSprite));
            draw_lit_rle_sprite(ptBall->bmpTempSprite, ptBall->rleSprite, 0, 0, SHADOW_LIGHT);
            draw_trans_sprite(bmpPicture, ptBall->bmpTempSprite, ptBall->aiShadPosX[iSlot] - w / 2,
                              ptBall->aiShadPosY[iSlot] - h / 2);
        }
    }
    if (ptBall->bFire) {
        // Fanned around the bearing of the ball from the screen's top-left corner.
        const double fBearing = std::atan2(ptBall->fY, ptBall->fX) * RAD_TO_DEG;
        init_particle_explosion(static_cast<int>(ptBall->fX), static_cast<int>(ptBall->fY),
                                FIRE_PARTICLES, FIRE_LIFE, fBearing - FIRE_HALF_FAN,
                                fBearing + FIRE_HALF_FAN, FIRE_SPEED, FIRE_SIZE_DELTA, 1,
                                makecol(255, 255, 0), makecol(255, 0, 0), CIRCLE_PARTICLE, nullptr);
    }
    draw_rle_sprite(bmpPicture, ptBall->rleSprite, static_cast<int>(ptBall->fX) - w / 2,
                    static_cast<int>(ptBall->fY) - h / 2);
}

void destroy_ball(stBall *ptBall)
{
    if (ptBall->bmpTempSprite)
        destroy_bitmap(ptBall->bmpTempSprite);
    if (ptBall->rleNormalSprite)
        destroy_rle_sprite(ptBall->rleNormalSprite);
    if (ptBall->rleBigSprite)
        destroy_rle_sprite(ptBall->rleBigSprite);
    ptBall->bmpTempSprite = nullptr;
    ptBall->rleNormalSprite = nullptr;
    ptBall->rleBigSprite = nullptr;
    ptBall->rleSprite = nullptr;
}

// The paddle: owns its sphere picture and runs its band's state machine. The
// band's length stays within [fOriginalSpringLength, fMaxSpringLength] under
// growing and shrinking, and a held ball follows the band's displacement.
#include "paddle.h"
#include "collision.h"
#include "grabber_functions.h"
#include "paddle_spring.h"
#include "pong.h"
#include "sound.h"
#include "sound_loading.h"
#include "stXMLParser.h"
#include "tables.h"
#include "utils.h"

#include <algorithm>
#include <allegro.h>
#include <cmath>
#include <cstdio>

namespace {
constexpr char CHARACTER_DOCUMENT[] = "PERSONAJES";
constexpr char CHARACTER_DATAFILE[] = "data/tx15.dat";
constexpr int DATAFILE_NAME_SIZE = 256;     // bytes of the sphere's datafile path, with its zero
constexpr float GROWTH_PERIOD = 0.016f;     // s: fSpringGrowth is the change per this time
constexpr float WEAK_HIT_GIVE = 0.01f;      // px recorded as the give of a hit too weak to bend
constexpr float REACTION_RATE = 2.0f;       // the reaction's clock runs this much faster
constexpr float RECOVERING_RATE = 4.0f;     // and the recovery's
constexpr float BREAKING_RATE = 5.0f;       // and the tear's
constexpr float VIBRATION_AMPLITUDE = 20.0f; // px of the shake after a throw
constexpr float VIBRATION_FREQUENCY = 15.0f; // rad/s
constexpr float FIRE_RESISTANCE = 0.3f;     // share of the resistance left under the fire effect
constexpr float DEMO_THROW_BOOST = 300.0f;  // px/s added to every throw between two computers
constexpr char NO_PADDLE[] = "Error al intentar acceder al paddle.";
constexpr char NO_PADDLE_OR_BALL[] = "Error al intentar acceder al paddle o a la pelota.";

void require_paddle(const stPaddle *ptPaddle)
{
    if (!ptPaddle)
        error_message(NO_PADDLE);
}

// The held ball, which the collision and reaction states cannot do without.
stBall *held_ball(const stPaddle *ptPaddle)
{
    if (!ptPaddle || !ptPaddle->ptBall)
        error_message(NO_PADDLE_OR_BALL);
    return ptPaddle->ptBall;
}

// The ball's centre at the band's displacement, one radius out along its
// mirror direction.
void hold_ball(const stPaddle *ptPaddle, stBall *ptBall)
{
    const float r = ptBall->tCircle.fRadius;
    ptBall->fX = ptPaddle->fX + ptPaddle->fDeformedSpringX + r * ptBall->fBounceDirX;
    ptBall->fY = ptPaddle->fY + ptPaddle->fDeformedSpringY + r * ptBall->fBounceDirY;
    ptBall->tCircle.tCenter = {ptBall->fX, ptBall->fY};
}

void set_displacement(stPaddle *ptPaddle, float fX, float fY)
{
    ptPaddle->fDeformedSpringX = fX;
    ptPaddle->fDeformedSpringY = fY;
}

void enter_state(stPaddle *ptPaddle, int iState)
{
    ptPaddle->iSpringState = iState;
    ptPaddle->fDeformedSpringTime = 0.0f;
}

// The throw at the end of the reaction: as fast as the band's stored give and
// the length it gained since the catch allow, never below its least speed.
void throw_ball(stPaddle *ptPaddle, stBall *ptBall)
{
    // A band shortened by more than its give has nothing left to throw with:
    // the least speed, not the root of a negative number.
    const float fStretch = std::max(
        0.0f, (ptPaddle->fSpringLength - ptPaddle->fCollSpringLength) + ptPaddle->fSpringX);
    float s = std::sqrt(2.0f * ptPaddle->fCollAccel * fStretch);
    if (s <= ptPaddle->fSpringMinVel)
        s = ptPaddle->fSpringMinVel;
    ptBall->fVelX = s * ptPaddle->fBounceReturnDirX;
    ptBall->fVelY = s * ptPaddle->fBounceReturnDirY + ptPaddle->fVY;
    const float fSpeed = std::hypot(ptBall->fVelX, ptBall->fVelY);
    if (g_iGameMode == GM_COMPUTER_VS_COMPUTER && fSpeed > 0.0f) {
        const float k = DEMO_THROW_BOOST / fSpeed + 1.0f;
        ptBall->fVelX *= k;
        ptBall->fVelY *= k;
    }
    play_sound(sndPaddleSound[SOUND_PADDLE_SHOOT], CHANNEL_SOUNDS, FX_VOLUME, hit_pan(ptBall->fX));
    ptPaddle->ptBall = nullptr;
    ptBall->bCollSpring = FALSE;
    ptPaddle->fDeltaHitVel = std::hypot(ptBall->fVelX, ptBall->fVelY) - ptPaddle->fInitialHitVel;
}

// The band springs back along the catch's direction by g u^2 + u per step u.
void spring_back(stPaddle *ptPaddle, float u)
{
    const float fStep = ptPaddle->fCollAccel * u * u + u;
    set_displacement(ptPaddle, ptPaddle->fDeformedSpringX + ptPaddle->fNormalisedCollVX * fStep,
                     ptPaddle->fDeformedSpringY + ptPaddle->fNormalisedCollVY * fStep);
}

// Reads the character's "datos" and, when present, its "liga".
void load_character(stPaddle *ptPaddle, int iCharacter)
{
    stXMLParser *ptParser =
        open_xml_entry(CHARACTER_DOCUMENT, CHARACTER_DATAFILE, "raiz", "personaje", iCharacter, "datos");
    ptPaddle->iSpringColor = xmlparser_getAttributeVal_asColor(ptParser, "color");
    // Every string read shares one buffer: the datafile's name is kept apart.
    char szFile[DATAFILE_NAME_SIZE];
    snprintf(szFile, sizeof(szFile), "%s", xmlparser_getAttributeVal_asString(ptParser, "archivo"));
    ptPaddle->rleSphere =
        load_rle_from_dat(xmlparser_getAttributeVal_asString(ptParser, "imagen_esfera"), szFile);
    xmlparser_gotoParent(ptParser);
    if (xmlparser_findElement(ptParser, "liga")) {
        ptPaddle->fDeltaVY = xmlparser_getAttributeVal_asFloat(ptParser, "delta_velocidad");
        ptPaddle->fDampVY = xmlparser_getAttributeVal_asFloat(ptParser, "desaceleracion");
        ptPaddle->fMaxVY = xmlparser_getAttributeVal_asFloat(ptParser, "velocidad_max");
        ptPaddle->fSpringK = xmlparser_getAttributeVal_asFloat(ptParser, "constante_k_liga");
        ptPaddle->fMaxSpringLength = xmlparser_getAttributeVal_asFloat(ptParser, "longitud_max");
        ptPaddle->fOriginalSpringLength = xmlparser_getAttributeVal_asFloat(ptParser, "longitud_min");
        ptPaddle->fSpringMinVel = xmlparser_getAttributeVal_asFloat(ptParser, "velocidad_min_liga");
        ptPaddle->fSpringMaxAcceleration =
            xmlparser_getAttributeVal_asFloat(ptParser, "aceleracion_max_liga");
        ptPaddle->fSpringGrowth = xmlparser_getAttributeVal_asFloat(ptParser, "delta_crecimiento");
        ptPaddle->fSpringForceResistance = xmlparser_getAttributeVal_asFloat(ptParser, "resistencia");
    }
    xmlparser_destroy(ptParser);
}
} // namespace

void init_paddle(stPaddle *ptPaddle, float fX, float fY, int iCharacter)
{
    require_paddle(ptPaddle);
    load_character(ptPaddle, iCharacter);
    ptPaddle->fX = fX;
    ptPaddle->fY = fY;
    ptPaddle->fVY = 0.0f;
    ptPaddle->fDeltaHitVel = 0.0f;
    ptPaddle->fInitialHitVel = 0.0f;
    ptPaddle->iCharacter = iCharacter;
    ptPaddle->iSpringState = SPRING_NORMAL;
    ptPaddle->fSpringLength = ptPaddle->fOriginalSpringLength;
    set_displacement(ptPaddle, 0.0f, 0.0f);
    ptPaddle->fDeformedSpringMaxX = 0.0f;
    ptPaddle->fDeformedSpringMaxY = 0.0f;
    ptPaddle->fCollAccel = 0.0f;
    ptPaddle->fRadius = static_cast<float>(ptPaddle->rleSphere->w / 2);
    ptPaddle->ptBall = nullptr;
    ptPaddle->iCollidingObjectRadius = 0.0f;
}

void update_paddle(stPaddle *ptPaddle, float fDT)
{
    require_paddle(ptPaddle);
    switch (ptPaddle->iSpringState) {
    case SPRING_NORMAL:
        set_displacement(ptPaddle, 0.0f, 0.0f);
        break;
    case SPRING_COLLISION:
        update_paddle_collision(ptPaddle, fDT);
        break;
    case SPRING_REACTION:
        update_paddle_collision_return(ptPaddle, fDT);
        break;
    case SPRING_RECOVERING:
        update_paddle_collision_recovering(ptPaddle, fDT);
        break;
    case SPRING_BREAKING:
        update_paddle_collision_breaking(ptPaddle, fDT);
        break;
    case SPRING_BROKEN:
        update_paddle_collision_broken(ptPaddle, fDT);
        break;
    case SPRING_VIBRATING:
        update_paddle_collision_vibrating(ptPaddle, fDT);
        break;
    case SPRING_REVIVING:
        update_paddle_collision_reviving(ptPaddle, fDT);
        break;
    default:
        ptPaddle->iSpringState = SPRING_NORMAL;
        break;
    }
}

void handle_paddle_collision(stPaddle *ptPaddle, stBall *ptBall)
{
    if (!ptPaddle || !ptBall)
        error_message(NO_PADDLE_OR_BALL);
    ptPaddle->ptBall = ptBall;
    const float cx = ptBall->fCollVelX, cy = ptBall->fCollVelY;
    const float v2 = cx * cx + cy * cy;
    const float v = std::sqrt(v2);
    ptPaddle->fInitialHitVel = v;

    // The give that would absorb the hit (1/2 m v^2 = 1/2 k X^2), less what the
    // band already lengthened beyond its start takes up.
    const float X = std::sqrt(v2 * ptBall->fMass / ptPaddle->fSpringK);
    const float D = X - (ptPaddle->fSpringLength - ptPaddle->fOriginalSpringLength);
    if (D <= 0.0f) {
        // Too weak to bend the band: bounced at once like off a wall.
        ptPaddle->iSpringState = SPRING_NORMAL;
        ptPaddle->fSpringX = WEAK_HIT_GIVE;
        ptBall->fVelX = v * ptBall->fBounceDirX;
        ptBall->fVelY = v * ptBall->fBounceDirY + ptPaddle->fVY;
        ptBall->bCollSpring = FALSE;
        play_sound(sndPaddleSound[SOUND_PADDLE_SHOOT], CHANNEL_SOUNDS, FX_VOLUME,
                   hit_pan(ptBall->fX));
        return;
    }

    // The deceleration that stops the ball within D; the band moves with at most
    // its own limit, but the force and the time are the hit's.
    ptPaddle->fSpringX = D;
    const float a = v2 / (2.0f * D);
    ptPaddle->fCollAccel = std::min(a, ptPaddle->fSpringMaxAcceleration);
    ptPaddle->fSpringCollisionForce = ptBall->fMass * a;
    ptPaddle->iSpringState = SPRING_COLLISION;
    ptPaddle->fNormalisedCollVX = cx / v;
    ptPaddle->fNormalisedCollVY = cy / v;
    ptPaddle->fDeformedSpringMaxTime = v / a;
    ptPaddle->fDeformedSpringTime = 0.0f;
    ptPaddle->fCollSpringLength = ptPaddle->fSpringLength;
    set_displacement(ptPaddle, 0.0f, 0.0f);
    ptPaddle->fDeformedSpringMaxX = ptPaddle->fNormalisedCollVX * D;
    ptPaddle->fDeformedSpringMaxY = ptPaddle->fNormalisedCollVY * D;
    // Thrown back the way it came.
    ptPaddle->fBounceReturnDirX = -ptPaddle->fNormalisedCollVX;
    ptPaddle->fBounceReturnDirY = -ptPaddle->fNormalisedCollVY;
}

int grow_paddle_spring(stPaddle *ptPaddle, float fTime)
{
    const float L = ptPaddle->fSpringLength + ptPaddle->fSpringGrowth * fTime / GROWTH_PERIOD;
    if (L > ptPaddle->fMaxSpringLength) {
        ptPaddle->fSpringLength = ptPaddle->fMaxSpringLength;
        return 1;
    }
    ptPaddle->fSpringLength = L;
    return 0;
}

int shrink_paddle_spring(stPaddle *ptPaddle, float fTime)
{
    const float L = ptPaddle->fSpringLength - ptPaddle->fSpringGrowth * fTime / GROWTH_PERIOD;
    if (L < ptPaddle->fOriginalSpringLength) {
        ptPaddle->fSpringLength = ptPaddle->fOriginalSpringLength;
        return 1;
    }
    ptPaddle->fSpringLength = L;
    return 0;
}

void draw_paddle(BITMAP *bmpPicture, const stPaddle *ptPaddle)
{
    draw_spring(bmpPicture, ptPaddle);
    const RLE_SPRITE *rle = ptPaddle->rleSphere;
    const int x = static_cast<int>(ptPaddle->fX) - rle->w / 2;
    const float fHalf = 0.5f * ptPaddle->fSpringLength;
    draw_rle_sprite(bmpPicture, rle, x, static_cast<int>(ptPaddle->fY - fHalf - rle->h / 2));
    draw_rle_sprite(bmpPicture, rle, x, static_cast<int>(ptPaddle->fY + fHalf - rle->h / 2));
}

void destroy_paddle(stPaddle *ptPaddle)
{
    if (ptPaddle->rleSphere)
        destroy_rle_sprite(ptPaddle->rleSphere);
    ptPaddle->rleSphere = nullptr;
}

void update_paddle_collision(stPaddle *ptPaddle, float fDT)
{
    stBall *ptBall = held_ball(ptPaddle);
    const float T = ptPaddle->fDeformedSpringMaxTime;
    const bool bDone = ptPaddle->fDeformedSpringTime + fDT >= T;
    const float t = std::min(ptPaddle->fDeformedSpringTime + fDT, T);
    ptPaddle->fDeformedSpringTime = t;
    const float r = ptBall->tCircle.fRadius;
    const float g = ptPaddle->fCollAccel;
    ptPaddle->iCollidingObjectRadius = r;
    set_displacement(ptPaddle,
                     r * ptPaddle->fNormalisedCollVX + ptBall->fCollVelX * t +
                         g * ptBall->fBounceDirX * t * t,
                     r * ptPaddle->fNormalisedCollVY + ptBall->fCollVelY * t +
                         g * ptBall->fBounceDirY * t * t);
    hold_ball(ptPaddle, ptBall);
    if (bDone) {
        enter_state(ptPaddle, SPRING_REACTION);
        ptBall->fCollMaxX = ptBall->fX;
        ptBall->fCollMaxY = ptBall->fY;
    }
}

void update_paddle_collision_return(stPaddle *ptPaddle, float fDT)
{
    stBall *ptBall = held_ball(ptPaddle);
    const float T = ptPaddle->fDeformedSpringMaxTime;
    const float fStep = REACTION_RATE * fDT;
    const bool bDone = ptPaddle->fDeformedSpringTime + fStep >= T;
    const float t = std::min(ptPaddle->fDeformedSpringTime + fStep, T);
    ptPaddle->fDeformedSpringTime = t;
    const float r = ptBall->tCircle.fRadius;
    const float g = ptPaddle->fCollAccel;
    set_displacement(ptPaddle, r * ptPaddle->fNormalisedCollVX + g * ptPaddle->fBounceReturnDirX * t * t,
                     r * ptPaddle->fNormalisedCollVY + g * ptPaddle->fBounceReturnDirY * t * t);
    hold_ball(ptPaddle, ptBall);
    // Pushed into an obstacle, the ball goes at once.
    if (detect_stage_collision(g_ptLevelBounds, ptBall, FALSE) ||
        bDone) {
        throw_ball(ptPaddle, ptBall);
        enter_state(ptPaddle, SPRING_RECOVERING);
    }
}

void update_paddle_collision_recovering(stPaddle *ptPaddle, float fDT)
{
    require_paddle(ptPaddle);
    const float u = RECOVERING_RATE * fDT;
    const bool bDone = ptPaddle->fDeformedSpringTime + u >= ptPaddle->fDeformedSpringMaxTime;
    ptPaddle->fDeformedSpringTime += u;
    spring_back(ptPaddle, u);
    if (!bDone)
        return;
    // The break test, on the one ball of the match that the throw let go.
    const float f = g_tBall.bFire ? FIRE_RESISTANCE : 1.0f;
    if (ptPaddle->fSpringCollisionForce > ptPaddle->fSpringForceResistance * f) {
        play_sound(sndPaddleSound[SOUND_PADDLE_BREAK], CHANNEL_SOUNDS, FX_VOLUME,
                   hit_pan(g_tBall.fX));
        enter_state(ptPaddle, SPRING_BREAKING);
    } else {
        enter_state(ptPaddle, SPRING_VIBRATING);
    }
}

void update_paddle_collision_breaking(stPaddle *ptPaddle, float fDT)
{
    require_paddle(ptPaddle);
    const float u = BREAKING_RATE * fDT;
    const bool bDone = ptPaddle->fDeformedSpringTime + u >= ptPaddle->fDeformedSpringMaxTime;
    ptPaddle->fDeformedSpringTime += u;
    spring_back(ptPaddle, u);
    if (bDone)
        enter_state(ptPaddle, SPRING_BROKEN);
}

void update_paddle_collision_broken(stPaddle *ptPaddle, float)
{
    require_paddle(ptPaddle);
    ptPaddle->fDeformedSpringTime = 0.0f;
}

void update_paddle_collision_vibrating(stPaddle *ptPaddle, float fDT)
{
    require_paddle(ptPaddle);
    ptPaddle->fDeformedSpringTime += fDT;
    // Swung first away from the direction of the throw.
    const float fSwing =
        VIBRATION_AMPLITUDE * table_sin(VIBRATION_FREQUENCY * ptPaddle->fDeformedSpringTime);
    set_displacement(ptPaddle, ptPaddle->fBounceReturnDirX >= 0.0f ? -fSwing : fSwing, 0.0f);
    if (ptPaddle->fDeformedSpringTime >= ptPaddle->fDeformedSpringMaxTime) {
        enter_state(ptPaddle, SPRING_NORMAL);
        ptPaddle->iCollidingObjectRadius = 0.0f;
    }
}

void update_paddle_collision_reviving(stPaddle *ptPaddle, float fDT)
{
    require_paddle(ptPaddle);
    set_displacement(ptPaddle, 0.0f, 0.0f);
    ptPaddle->fDeformedSpringTime += fDT;
    if (ptPaddle->fDeformedSpringTime >= ptPaddle->fDeformedSpringMaxTime)
        enter_state(ptPaddle, SPRING_NORMAL);
}

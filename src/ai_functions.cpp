// Reactive controllers: every computer side owns one record, read from the
// "ai" element of a level's "NIVEL" entry; the module keeps no other state. A
// controller never moves a paddle out of the field's height and never writes a
// non-finite speed.
#include "ai_functions.h"
#include "grabber_functions.h"
#include "item.h"
#include "main.h"
#include "memory.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "stXMLParser.h"
#include "utils.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
constexpr const char *LEVEL_DOCUMENT = "NIVEL";
constexpr const char *LEVEL_DATAFILE = "data/tx15.dat";
constexpr const char *NO_ENEMY = "No la estructura del enemigo no ha sido creada.";
constexpr int FULL_VISION = 100;          // % seen inside the near radius
constexpr int FOLLOW_JITTER = 2;          // px of a follower's error in the noisy zone
constexpr float PREDICT_NOISE_Y = 0.5f * PLAYER_FIELD_HEIGHT; // px at q = 1, before the / 4
constexpr int PREDICT_NOISE_Y_DIVISOR = 4;
constexpr float PREDICT_NOISE_X = 0.5f * SCREEN_WIDTH; // px at q = 1
constexpr float DEAD_ZONE = 10.0f;        // px of error a follower lets be
constexpr int RANDOM_KICK = 10;           // px/s a random controller adds at most per frame
constexpr float FIELD_MIDDLE_Y = 0.5f * PLAYER_FIELD_HEIGHT; // px: where a predictor waits for the ball
constexpr float AWAY_TIME = 0.2f;         // s added to a predictor's return to the middle
constexpr float IMAGE_FREEZE = 0.35f;     // s a mirrored picture freezes the paddle
constexpr float LIGHTNING_STUN = 0.5f;    // s a lightning strike stuns the paddle

const stNamedAI atControllers[] = {
    {"very_stupid_ai", very_stupid_ai}, {"stupid_ai", stupid_ai},
    {"random_ai", random_ai},           {"follow_ai", follow_ai},
    {"erratic_follow_ai", erratic_follow_ai}, {"predict_ai", predict_ai},
};

float clamp_speed(float fVY, float fMaxVY)
{
    if (std::isnan(fVY))
        return 0.0f;
    return fVY > fMaxVY ? fMaxVY : (fVY < -fMaxVY ? -fMaxVY : fVY);
}

bool inside_field(float fY)
{
    return fY > 0.0f && fY < PLAYER_FIELD_HEIGHT;
}

// Where the side sees the ball. False when the ball is beyond the far radius:
// the controller then does nothing this frame. Between the radii the ball is
// seen with noise: a follower's height jitters, a predictor's height and
// abscissa wander with the fraction q of the ball it cannot make out.
bool see_ball(const stPlayer *ptEnemy, const stBall *ptBall, bool bPredict, float *pfSeenX,
              float *pfSeenY)
{
    const stReactiveAI *ptAI = ptEnemy->ptReactiveAI;
    const float dx = ptEnemy->ptPaddle->fX - ptBall->fX;
    const float dy = ptEnemy->ptPaddle->fY - ptBall->fY;
    const float d2 = dx * dx + dy * dy;
    *pfSeenX = ptBall->fX;
    *pfSeenY = ptBall->fY;
    if (d2 > ptAI->fVisionSensorFar_2)
        return false;
    // Radii that are equal (or the wrong way round) leave no noisy zone.
    const float fZone = ptAI->fVisionSensorFar_2 - ptAI->fVisionSensorNear_2;
    if (d2 < ptAI->fVisionSensorNear_2 || fZone <= 0.0f)
        return true;
    if (!bPredict) {
        *pfSeenY += random_range(-FOLLOW_JITTER, FOLLOW_JITTER);
        return true;
    }
    const float q = ((ptAI->iVisionPercentFar - ptAI->iVisionPercentNear) *
                     (d2 - ptAI->fVisionSensorNear_2) / fZone) / -100.0f;
    const int iNoiseY = static_cast<int>(q * PREDICT_NOISE_Y) / PREDICT_NOISE_Y_DIVISOR;
    *pfSeenY += random_range(-iNoiseY, iNoiseY);
    const int iNoiseX = static_cast<int>(q * PREDICT_NOISE_X);
    *pfSeenX += random_range(-iNoiseX, iNoiseX);
    return true;
}

// The paddle's error against the seen height. With a torn band a follower
// steers the nearer of its two ends instead of the middle.
float steering_error(const stPaddle *ptPaddle, float fSeenY, bool bEnds)
{
    if (!bEnds || ptPaddle->iSpringState != SPRING_BROKEN)
        return ptPaddle->fY - fSeenY;
    const float fUpper = ptPaddle->fY - 0.5f * ptPaddle->fSpringLength - fSeenY;
    const float fLower = ptPaddle->fY + 0.5f * ptPaddle->fSpringLength - fSeenY;
    return std::fabs(fUpper) < std::fabs(fLower) ? fUpper : fLower;
}

// The effects a side suffers, then the controller's own move of the paddle:
// a mirrored picture freezes it, swapped controls turn its speed round, a
// lightning strike stuns it. bDamp: follow_ai damps after computing the move.
void apply_effects_and_move(stPlayer *ptEnemy, float fDT, bool bDamp)
{
    stPaddle *ptPaddle = ptEnemy->ptPaddle;
    bool bMove = true;
    bool bFrozen = false;
    if (ptEnemy->iSufferingItem == IMAGE) {
        if (ptEnemy->fTimeSufferingItem <= IMAGE_FREEZE) {
            ptPaddle->fVY = 0.0f;
            bMove = false;
            bFrozen = true;
        } else {
            ptEnemy->iSufferingItem = NO_ITEM;
        }
    } else if (ptEnemy->iSufferingItem == MIRROR) {
        ptPaddle->fVY = -ptPaddle->fVY; // the player update moves it the wrong way
        bMove = false;
    }
    if (!bFrozen && ptEnemy->iSufferingElement == UAYUMIN_LEVEL) {
        if (ptEnemy->fTimeSufferingElement < LIGHTNING_STUN) {
            ptEnemy->fTimeSufferingElement += fDT;
            ptPaddle->fVY = 0.0f;
        } else {
            ptEnemy->fTimeSufferingElement = 0.0f;
            ptEnemy->iSufferingElement = NO_LEVEL_ELEMENT;
        }
        bMove = false;
    }
    if (bMove) {
        const float fNewY = ptPaddle->fY + ptPaddle->fVY * fDT;
        if (bDamp)
            ptPaddle->fVY *= ptPaddle->fDampVY;
        if (inside_field(fNewY))
            ptPaddle->fY = fNewY;
    }
    ptEnemy->fTimeSufferingItem += fDT;
}

void require_enemy(const stPlayer *ptEnemy)
{
    if (!ptEnemy)
        error_message(NO_ENEMY);
}
} // namespace

AIFunction reactive_ai_function(const char *pszType)
{
    return find_ai_function(atControllers, pszType, random_ai);
}

stXMLParser *open_ai_record(int iLevel)
{
    return open_xml_entry(LEVEL_DOCUMENT, LEVEL_DATAFILE, "escenas", "nivel", iLevel, "ai");
}

void init_reactive_ai_struct(stReactiveAI *ptReactiveAI)
{
    snprintf(ptReactiveAI->szType, sizeof(ptReactiveAI->szType), "%s", "stupid_ai");
    ptReactiveAI->iVisionSensorFar = 0;
    ptReactiveAI->fVisionSensorFar_2 = 0.0f;
    ptReactiveAI->iVisionSensorNear = 0;
    ptReactiveAI->fVisionSensorNear_2 = 0.0f;
    ptReactiveAI->iVisionPercentFar = 0;
    ptReactiveAI->iVisionPercentNear = FULL_VISION;
    ptReactiveAI->fMaxVY = 0.0f;
    ptReactiveAI->fDampVY = 0.0f;
    ptReactiveAI->fDeltaVY = 0.0f;
    ptReactiveAI->fSwingVY = 0.0f;
}

stReactiveAI *init_reactive_ai(int iLevel)
{
    // Read into a local record first: a fatal read leaves nothing allocated.
    stReactiveAI tAI;
    init_reactive_ai_struct(&tAI);
    stXMLParser *ptParser = open_ai_record(iLevel);
    xmlparser_findElement(ptParser, "reactive_ai");
    snprintf(tAI.szType, sizeof(tAI.szType), "%s",
             xmlparser_getAttributeVal_asString(ptParser, "type"));
    tAI.iVisionSensorFar = xmlparser_getAttributeVal_asInteger(ptParser, "vision_sensor_far");
    tAI.iVisionSensorNear = xmlparser_getAttributeVal_asInteger(ptParser, "vision_sensor_near");
    tAI.iVisionPercentFar = xmlparser_getAttributeVal_asInteger(ptParser, "vision_percent_far");
    tAI.fMaxVY = xmlparser_getAttributeVal_asFloat(ptParser, "max_velocity_y");
    tAI.fDampVY = xmlparser_getAttributeVal_asFloat(ptParser, "damp_velocity_y");
    tAI.fDeltaVY = xmlparser_getAttributeVal_asFloat(ptParser, "delta_velocity_y");
    xmlparser_destroy(ptParser);
    // Squared as floats: a large distance in the document must not overflow an int.
    const float fFar = static_cast<float>(tAI.iVisionSensorFar);
    const float fNear = static_cast<float>(tAI.iVisionSensorNear);
    tAI.fVisionSensorFar_2 = fFar * fFar;
    tAI.fVisionSensorNear_2 = fNear * fNear;
    tAI.fSwingVY = tAI.fMaxVY;
    tAI.pAIFunction = reactive_ai_function(tAI.szType);
    stReactiveAI *ptAI = static_cast<stReactiveAI *>(safe_malloc(sizeof(stReactiveAI)));
    *ptAI = tAI;
    return ptAI;
}

void destroy_reactive_ai(stReactiveAI *ptReactiveAI)
{
    safe_free(&ptReactiveAI);
}

void very_stupid_ai(stPlayer *ptEnemy, stBall *, float)
{
    require_enemy(ptEnemy);
}

void stupid_ai(stPlayer *ptEnemy, stBall *, float fDT)
{
    require_enemy(ptEnemy);
    stPaddle *ptPaddle = ptEnemy->ptPaddle;
    const float fNewY = ptPaddle->fY + ptPaddle->fVY * fDT;
    // It bounces off whichever bound it would cross; the paddle's own speed
    // says which way it heads.
    if (fNewY < 0.0f || fNewY > PLAYER_FIELD_HEIGHT)
        ptPaddle->fVY = -ptPaddle->fVY;
    else
        ptPaddle->fY = fNewY;
}

void random_ai(stPlayer *ptEnemy, stBall *, float fDT)
{
    require_enemy(ptEnemy);
    stPaddle *ptPaddle = ptEnemy->ptPaddle;
    ptPaddle->fVY = clamp_speed(ptPaddle->fVY + random_range(-RANDOM_KICK, RANDOM_KICK),
                                ptPaddle->fMaxVY);
    const float fNewY = ptPaddle->fY + ptPaddle->fVY * fDT;
    if (inside_field(fNewY))
        ptPaddle->fY = fNewY;
    else
        ptPaddle->fVY = fNewY >= 0.0f ? -ptPaddle->fMaxVY : ptPaddle->fMaxVY;
}

void follow_ai(stPlayer *ptEnemy, stBall *ptBall, float fDT)
{
    float fSeenX = 0.0f, fSeenY = 0.0f;
    if (!see_ball(ptEnemy, ptBall, false, &fSeenX, &fSeenY))
        return;
    stPaddle *ptPaddle = ptEnemy->ptPaddle;
    const float e = steering_error(ptPaddle, fSeenY, true);
    if (e > DEAD_ZONE)
        ptPaddle->fVY -= ptPaddle->fDeltaVY;
    else if (e < -DEAD_ZONE)
        ptPaddle->fVY += ptPaddle->fDeltaVY;
    ptPaddle->fVY = clamp_speed(ptPaddle->fVY, ptPaddle->fMaxVY);
    apply_effects_and_move(ptEnemy, fDT, true);
}

void erratic_follow_ai(stPlayer *ptEnemy, stBall *ptBall, float fDT)
{
    float fSeenX = 0.0f, fSeenY = 0.0f;
    if (!see_ball(ptEnemy, ptBall, false, &fSeenX, &fSeenY))
        return;
    stPaddle *ptPaddle = ptEnemy->ptPaddle;
    stReactiveAI *ptAI = ptEnemy->ptReactiveAI;
    // The swing keeps the largest size it has had: neither a freeze nor the
    // player update's damping can stop it for good. At rest it sets off
    // toward the ball.
    const float fSize = std::fabs(ptPaddle->fVY);
    if (fSize > ptAI->fSwingVY)
        ptAI->fSwingVY = fSize;
    const float e = steering_error(ptPaddle, fSeenY, false);
    float fSign = ptPaddle->fVY > 0.0f ? 1.0f : (ptPaddle->fVY < 0.0f ? -1.0f : (e > 0.0f ? -1.0f : 1.0f));
    if ((e > DEAD_ZONE && fSign > 0.0f) || (e < -DEAD_ZONE && fSign < 0.0f))
        fSign = -fSign;
    ptPaddle->fVY = fSign * ptAI->fSwingVY;
    apply_effects_and_move(ptEnemy, fDT, false);
}

void predict_ai(stPlayer *ptEnemy, stBall *ptBall, float fDT)
{
    float fSeenX = 0.0f, fSeenY = 0.0f;
    if (!see_ball(ptEnemy, ptBall, true, &fSeenX, &fSeenY))
        return;
    stPaddle *ptPaddle = ptEnemy->ptPaddle;
    if (ptBall->fVelX != 0.0f) {
        // In double: a ball crawling sideways gives a huge time and a huge
        // target, whose quotient must stay finite.
        double t = (static_cast<double>(ptPaddle->fX) - fSeenX) / ptBall->fVelX;
        double fTarget = FIELD_MIDDLE_Y;
        if (t > 0.0) {
            fTarget = fSeenY + static_cast<double>(ptBall->fVelY) * t;
        } else {
            t = AWAY_TIME - t;
        }
        double fVY = (fTarget - ptPaddle->fY) / t;
        if (ptPaddle->iSpringState == SPRING_BROKEN) {
            const double fHalf = 0.5 * ptPaddle->fSpringLength;
            const double fUpper = (fTarget - (ptPaddle->fY - fHalf)) / t;
            const double fLower = (fTarget - (ptPaddle->fY + fHalf)) / t;
            fVY = std::fabs(fUpper) < std::fabs(fLower) ? fUpper : fLower;
        }
        const double fMax = ptPaddle->fMaxVY;
        ptPaddle->fVY = static_cast<float>(std::clamp(fVY, -fMax, fMax));
    } else {
        ptPaddle->fVY = clamp_speed(ptPaddle->fVY, ptPaddle->fMaxVY);
    }
    apply_effects_and_move(ptEnemy, fDT, false);
}

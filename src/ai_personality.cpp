// Personalities of computer sides: each side owns its three parts, read from
// the "ai" element of a level's "NIVEL" entry; the module keeps no state of
// its own. A behaviour only works the side's band or uses its item: it never
// touches the reactive controller.
#include "ai_personality.h"
#include "item.h"
#include "main.h"
#include "memory.h"
#include "player.h"
#include "pong.h"
#include "stXMLParser.h"

#include <allegro.h>
#include <cstdio>
#include <cstring>

namespace {
constexpr int NUM_1D_BEHAVIOURS = 4;    // aggressive, puny, boring, inactive
constexpr int PHASE_EXTEND = 0;         // the aggressive phase that lengthens on hits
constexpr int PHASE_OMIT = 1;           // the phase that lets hits go by
constexpr int FIRST_2D_STATE = 3;

// The changing personality acts as these, by iActualPersonality.
const AIFunction apf1DRotation[NUM_1D_BEHAVIOURS] = {
    ai_personality_1D_aggressive, ai_personality_1D_puny, ai_personality_1D_boring,
    ai_personality_1D_boring_inactive};
const stNamedAI at1DBehaviours[] = {
    {"aggressive", ai_personality_1D_aggressive}, {"puny", ai_personality_1D_puny},
    {"boring", ai_personality_1D_boring}, {"esquizofrenic", ai_personality_1D_esquizofrenic}};
const stNamedAI at3DBehaviours[] = {{"impulsive", ai_personality_3D_impulsive},
                                         {"analytic", ai_personality_3D_analytic},
                                         {"predictable", ai_personality_3D_predictable}};

// A new record holding a copy of t.
template <typename T> T *allocated_copy(const T &t)
{
    T *pt = static_cast<T *>(safe_malloc(sizeof(T)));
    *pt = t;
    return pt;
}

// The name and the four hit counts that the band and the 2D parts share.
template <typename T> void read_type_and_counts(stXMLParser *ptParser, T *pt)
{
    snprintf(pt->szType, AI_TYPE_SIZE, "%s", xmlparser_getAttributeVal_asString(ptParser, "type"));
    pt->iConsecutiveOmissions = xmlparser_getAttributeVal_asInteger(ptParser, "consecutive_omissions");
    pt->iConsecutiveChanges = xmlparser_getAttributeVal_asInteger(ptParser, "consecutive_changes");
    pt->iRandomOmissions = xmlparser_getAttributeVal_asInteger(ptParser, "random_omissions");
    pt->iRandomChanges = xmlparser_getAttributeVal_asInteger(ptParser, "random_changes");
}

void read_1D(stXMLParser *ptParser, stPersonality1D *pt)
{
    xmlparser_findElement(ptParser, "personality1D");
    read_type_and_counts(ptParser, pt);
    pt->fMaxTimeSamePersonality = xmlparser_getAttributeVal_asFloat(ptParser, "time_same_personality");
    pt->iBehaviourState = PHASE_OMIT;
    pt->iPreviousSpringState = SPRING_NORMAL;
    pt->iNumPersonalities = NUM_1D_BEHAVIOURS;
    pt->pAIFunction = find_ai_function(at1DBehaviours, pt->szType, ai_personality_1D_boring_inactive);
    xmlparser_gotoParent(ptParser);
}

void read_2D(stXMLParser *ptParser, stPersonality2D *pt)
{
    xmlparser_findElement(ptParser, "personality2D");
    read_type_and_counts(ptParser, pt);
    pt->fDeltaChange = xmlparser_getAttributeVal_asFloat(ptParser, "delta_change");
    pt->fMaxChange = xmlparser_getAttributeVal_asFloat(ptParser, "max_change");
    pt->fProbabilityLeft = xmlparser_getAttributeVal_asFloat(ptParser, "probability_left");
    pt->fProbabilityRight = xmlparser_getAttributeVal_asFloat(ptParser, "probability_right");
    pt->iBehaviourState = FIRST_2D_STATE;
    pt->pAIFunction = strcmp(pt->szType, "audatious") == 0 ? ai_personality_2D_audacious
                                                            : ai_personality_2D_cautious;
    xmlparser_gotoParent(ptParser);
}

void read_3D(stXMLParser *ptParser, stPersonality3D *pt)
{
    xmlparser_findElement(ptParser, "personality3D");
    snprintf(pt->szType, AI_TYPE_SIZE, "%s", xmlparser_getAttributeVal_asString(ptParser, "type"));
    pt->iPositionMirror = xmlparser_getAttributeVal_asInteger(ptParser, "position_mirror");
    pt->fVel2Big = xmlparser_getAttributeVal_asInteger(ptParser, "acceleration_to_big");
    pt->fVel2Accel = xmlparser_getAttributeVal_asInteger(ptParser, "acceleration_to_accelerate");
    pt->iPositionInvertControl = xmlparser_getAttributeVal_asInteger(ptParser, "position_invert_control");
    pt->iPositionShrink = xmlparser_getAttributeVal_asInteger(ptParser, "position_shrink");
    pt->iPositionStretch = xmlparser_getAttributeVal_asInteger(ptParser, "position_stretch");
    pt->fNumWaitSeconds = xmlparser_getAttributeVal_asFloat(ptParser, "wait_seconds");
    pt->fVariance = xmlparser_getAttributeVal_asInteger(ptParser, "variance");
    pt->iPositionMagnet = xmlparser_getAttributeVal_asInteger(ptParser, "position_magnet");
    pt->pAIFunction = find_ai_function(at3DBehaviours, pt->szType, ai_personality_3D_impulsive);
    xmlparser_gotoParent(ptParser);
}

// Whether the analytic side uses its item now: a position item once the ball
// is within iDistance px of the opponent's edge, a ball item once the ball
// flies right faster than the threshold.
bool analytic_moment(const stPersonality3D *pt, int iPlayer, int iItem, const stBall *ptBall)
{
    int iDistance = 0;
    switch (iItem) {
    case PROPERTIES:
    case GROW_PADDLE:
        iDistance = pt->iPositionStretch;
        break;
    case SHRINK_PADDLE:
        iDistance = pt->iPositionShrink;
        break;
    case MIRROR:
        iDistance = pt->iPositionInvertControl;
        break;
    case MAGNET:
        iDistance = pt->iPositionMagnet;
        break;
    case IMAGE:
        iDistance = pt->iPositionMirror;
        break;
    case GROW_BALL:
        return ptBall->fVelX > pt->fVel2Big;
    case FAST_BALL:
        return ptBall->fVelX > pt->fVel2Accel;
    default:
        return false;
    }
    const int x = static_cast<int>(ptBall->fX);
    if (iPlayer == 0)
        return x > SCREEN_WIDTH - iDistance;
    if (iPlayer == 1)
        return x < iDistance;
    return false;
}
} // namespace

stPersonality *init_personality(int iLevel)
{
    // Read into local records first: a fatal read leaves nothing allocated.
    stPersonality1D t1D = {};
    stPersonality2D t2D = {};
    stPersonality3D t3D = {};
    stXMLParser *ptParser = open_ai_record(iLevel);
    read_1D(ptParser, &t1D);
    read_2D(ptParser, &t2D);
    read_3D(ptParser, &t3D);
    xmlparser_destroy(ptParser);
    stPersonality *ptPersonality = static_cast<stPersonality *>(safe_malloc(sizeof(stPersonality)));
    ptPersonality->ptPer1D = allocated_copy(t1D);
    ptPersonality->ptPer2D = allocated_copy(t2D);
    ptPersonality->ptPer3D = allocated_copy(t3D);
    return ptPersonality;
}

void destroy_personality(stPersonality *ptPersonality)
{
    if (!ptPersonality)
        return;
    safe_free(&ptPersonality->ptPer1D);
    safe_free(&ptPersonality->ptPer2D);
    safe_free(&ptPersonality->ptPer3D);
    safe_free(&ptPersonality);
}

// Holds the band short while waiting; lengthens it while it holds the ball on
// iConsecutiveChanges hits in a row, then lets iConsecutiveOmissions hits go
// by, starting with the omissions. A hit is counted on the frame it is caught
// and the choice made then holds for every frame the band holds the ball.
void ai_personality_1D_aggressive(stPlayer *ptEnemy, stBall *, float fDT)
{
    stPersonality1D *pt = ptEnemy->ptPersonality->ptPer1D;
    stPaddle *ptPaddle = ptEnemy->ptPaddle;
    const int iState = ptPaddle->iSpringState;
    const bool bHitStart = iState == SPRING_COLLISION && pt->iPreviousSpringState == SPRING_NORMAL;
    const bool bHolding = iState == SPRING_COLLISION && pt->iPreviousSpringState == SPRING_COLLISION;
    if (!bHolding) {
        pt->bExtendingHit = pt->iBehaviourState == PHASE_EXTEND ? TRUE : FALSE;
        if (pt->iBehaviourState == PHASE_EXTEND) {
            if (pt->iSameBehaviourCount >= pt->iConsecutiveChanges) {
                pt->iSameBehaviourCount = 0;
                pt->iBehaviourState = PHASE_OMIT;
            }
        } else if (pt->iSameBehaviourCount >= pt->iConsecutiveOmissions) {
            pt->iSameBehaviourCount = 0;
            pt->iBehaviourState = PHASE_EXTEND;
        }
    }
    if (iState == SPRING_NORMAL) {
        shrink_paddle_spring(ptPaddle, fDT);
    } else if (iState == SPRING_COLLISION) {
        if (bHitStart)
            pt->iSameBehaviourCount++;
        if (pt->bExtendingHit)
            grow_paddle_spring(ptPaddle, fDT);
    }
    pt->iPreviousSpringState = ptPaddle->iSpringState;
}

// Waits with a long band and shortens it under the ball: soft returns.
void ai_personality_1D_puny(stPlayer *ptEnemy, stBall *, float fDT)
{
    stPaddle *ptPaddle = ptEnemy->ptPaddle;
    if (ptPaddle->iSpringState == SPRING_NORMAL)
        grow_paddle_spring(ptPaddle, fDT);
    else if (ptPaddle->iSpringState == SPRING_COLLISION)
        shrink_paddle_spring(ptPaddle, fDT);
}

// Always the longest band.
void ai_personality_1D_boring(stPlayer *ptEnemy, stBall *, float fDT)
{
    grow_paddle_spring(ptEnemy->ptPaddle, fDT);
}

void ai_personality_1D_boring_inactive(stPlayer *, stBall *, float) {}

// Acts as aggressive, puny, boring and inactive in turn, each for
// fMaxTimeSamePersonality seconds.
void ai_personality_1D_esquizofrenic(stPlayer *ptEnemy, stBall *ptBall, float fDT)
{
    stPersonality1D *pt = ptEnemy->ptPersonality->ptPer1D;
    pt->fTimeWithSamePersonality += fDT;
    if (pt->fTimeWithSamePersonality > pt->fMaxTimeSamePersonality) {
        pt->iActualPersonality = (pt->iActualPersonality + 1) % pt->iNumPersonalities;
        pt->fTimeWithSamePersonality = 0.0f;
    }
    apf1DRotation[pt->iActualPersonality](ptEnemy, ptBall, fDT);
}

void ai_personality_2D_audacious(stPlayer *, stBall *, float) {}

void ai_personality_2D_cautious(stPlayer *, stBall *, float) {}

void ai_personality_3D_impulsive(stPlayer *ptEnemy, stBall *, float)
{
    if (ptEnemy->tItems.iItem != NO_ITEM)
        use_item(ptEnemy->iPlayer, &ptEnemy->tItems);
}

void ai_personality_3D_analytic(stPlayer *ptEnemy, stBall *ptBall, float)
{
    const int iItem = ptEnemy->tItems.iItem;
    if (iItem != NO_ITEM &&
        analytic_moment(ptEnemy->ptPersonality->ptPer3D, ptEnemy->iPlayer, iItem, ptBall))
        use_item(ptEnemy->iPlayer, &ptEnemy->tItems);
}

// Uses an item after holding it fNumWaitSeconds; the wait only runs while an
// item is held.
void ai_personality_3D_predictable(stPlayer *ptEnemy, stBall *, float fDT)
{
    if (ptEnemy->tItems.iItem == NO_ITEM)
        return;
    stPersonality3D *pt = ptEnemy->ptPersonality->ptPer3D;
    pt->fWaitedSeconds += fDT;
    if (pt->fWaitedSeconds > pt->fNumWaitSeconds) {
        use_item(ptEnemy->iPlayer, &ptEnemy->tItems);
        pt->fWaitedSeconds = 0.0f;
    }
}

// Collision and bounce: no state of its own; it reads and writes the ball, the
// stage's obstacle record and the shake record. Every bounce keeps the ball's
// speed, and a stage test without obstacles (or without a record) never collides.
#include "collision.h"
#include "item.h"
#include "main.h"
#include "paddle.h"
#include "particle.h"
#include "pong.h"
#include "sound.h"
#include "sound_loading.h"

#include <algorithm>
#include <allegro.h>
#include <cmath>
#include <limits>

namespace {
constexpr double EPSILON = 1e-8;          // distances and angles below this count as zero
constexpr double PI = 3.14159265358979323846;
constexpr float CLEARANCE = 0.1f;         // px left between a bounced ball and the obstacle
constexpr float VERTICAL_STEP = 1.0f;     // px: a step narrower than this is treated as vertical
constexpr float SHAKE_VEL_DIVISOR = 125.0f; // px/s of horizontal velocity per px of shake
constexpr float SHAKE_MAX_GAIN = 15.0f;   // px, the velocity's share of the shake at most
constexpr float SHAKE_BASE = 5.0f;        // px added to every shake
constexpr float PAN_SPAN = 1.5f;          // pan per screen height of x
constexpr float PAN_OFFSET = 0.75f;       // pan at x = 0 is -PAN_OFFSET

float ball_speed(const stBall *ptBall)
{
    return std::sqrt(ptBall->fVelX * ptBall->fVelX + ptBall->fVelY * ptBall->fVelY);
}

// Velocity of the given speed along the angle theta (radians).
void set_velocity(stBall *ptBall, float fTheta, float fSpeed)
{
    ptBall->fVelX = static_cast<float>(std::cos(fTheta) * fSpeed);
    ptBall->fVelY = static_cast<float>(std::sin(fTheta) * fSpeed);
}

// Moves the ball's centre, keeping its circle on it.
void place_ball(stBall *ptBall, float fX, float fY)
{
    ptBall->fX = fX;
    ptBall->fY = fY;
    ptBall->tCircle.tCenter.fX = fX;
    ptBall->tCircle.tCenter.fY = fY;
}

// On the ray from the circle's centre through the ball's previous centre, at the
// sum of the radii plus the clearance from the centre.
void place_outside_circle(const stCircle *ptCircle, stBall *ptBall)
{
    const stPoint tPrev{ptBall->fPrevX, ptBall->fPrevY};
    const float fReach = ptCircle->fRadius + ptBall->tCircle.fRadius + CLEARANCE;
    const float k = static_cast<float>(
        1.0f - fReach / (point_point_distance(&tPrev, &ptCircle->tCenter) + EPSILON));
    place_ball(ptBall, tPrev.fX + k * (ptCircle->tCenter.fX - tPrev.fX),
               tPrev.fY + k * (ptCircle->tCenter.fY - tPrev.fY));
}

// Obstacle circle or end sphere hit: touching now, or the last step passed through it.
bool circle_touched(const stCircle *ptCircle, const stBall *ptBall)
{
    const float dx = ptCircle->tCenter.fX - ptBall->fX;
    const float dy = ptCircle->tCenter.fY - ptBall->fY;
    const float fReach = ptBall->tCircle.fRadius + ptCircle->fRadius;
    if (dx * dx + dy * dy <= fReach * fReach)
        return true;
    return point_segment_distance(&ptBall->tPath, &ptCircle->tCenter, nullptr) < ptCircle->fRadius;
}

// Lifts a ball that touched the segment a frame ago off the segment's line:
// from its centre now along the line's normal to r plus the clearance on the
// side of its previous centre, so it keeps this frame's travel along the wall.
// Of the bounced and the incoming velocity it keeps the one that leaves the line:
// a ball already moving away from the wall is not turned back into it.
void lift_off_segment(const stSegment *ptSegment, stBall *ptBall, const stPoint *ptCentre,
                      float fInVelX, float fInVelY)
{
    const float sx = ptSegment->tPoint1.fX - ptSegment->tPoint0.fX;
    const float sy = ptSegment->tPoint1.fY - ptSegment->tPoint0.fY;
    const float fLength = std::sqrt(sx * sx + sy * sy);
    const float nx = -sy / fLength, ny = sx / fLength; // unit normal of the line
    const float fPrevSide = (ptBall->fPrevX - ptSegment->tPoint0.fX) * nx +
                            (ptBall->fPrevY - ptSegment->tPoint0.fY) * ny;
    const float fSide = fPrevSide < 0.0f ? -1.0f : 1.0f;
    const float x = ptCentre->fX, y = ptCentre->fY;
    const float fNow = (x - ptSegment->tPoint0.fX) * nx + (y - ptSegment->tPoint0.fY) * ny;
    const float fLift = fSide * (ptBall->tCircle.fRadius + CLEARANCE) - fNow;
    place_ball(ptBall, x + fLift * nx, y + fLift * ny);
    if (fSide * (ptBall->fVelX * nx + ptBall->fVelY * ny) < 0.0f) {
        ptBall->fVelX = fInVelX;
        ptBall->fVelY = fInVelY;
    }
}

bool zero_length(const stSegment *ptSegment)
{
    return ptSegment->tPoint0.fX == ptSegment->tPoint1.fX &&
           ptSegment->tPoint0.fY == ptSegment->tPoint1.fY;
}

} // namespace

float hit_pan(float fX) { return PAN_SPAN * fX / SCREEN_HEIGHT - PAN_OFFSET; }

enCloseness collision_closeness(float fActualDistance, float fNearestDistance,
                                float fActualLastDistance, float fNearestLastDistance)
{
    const double a = fActualDistance, n = fNearestDistance;
    const double aL = fActualLastDistance, nL = fNearestLastDistance;
    if (aL + EPSILON < nL)
        return CLOSER;
    if (std::fabs(aL - nL) < EPSILON) {
        if (a + EPSILON < n)
            return CLOSER;
        if (std::fabs(a - n) < EPSILON)
            return EQUAL;
    }
    return FURTHER;
}

int same_point(const stPoint *ptPoint0, const stPoint *ptPoint1)
{
    return point_point_distance(ptPoint0, ptPoint1) < EPSILON ? 1 : 0;
}

int common_point(const stSegment *ptSegment0, const stSegment *ptSegment1, stPoint *ptPoint)
{
    const stPoint *apPair[4][2] = {
        {&ptSegment0->tPoint0, &ptSegment1->tPoint0},
        {&ptSegment0->tPoint1, &ptSegment1->tPoint0},
        {&ptSegment0->tPoint0, &ptSegment1->tPoint1},
        {&ptSegment0->tPoint1, &ptSegment1->tPoint1},
    };
    for (const auto &tPair : apPair) {
        if (same_point(tPair[0], tPair[1])) {
            *ptPoint = *tPair[0];
            return TRUE;
        }
    }
    return FALSE;
}

int segment_circle_colision(const stSegment *ptSegment, const stCircle *ptCircle,
                            float *pfDistance, stPoint *ptNearestPoint)
{
    *pfDistance = point_segment_distance(ptSegment, &ptCircle->tCenter, ptNearestPoint);
    return *pfDistance < ptCircle->fRadius ? 1 : 0;
}

int circle_circle_colision(const stCircle *ptCircle1, const stCircle *ptCircle2)
{
    const float dx = ptCircle1->tCenter.fX - ptCircle2->tCenter.fX;
    const float dy = ptCircle1->tCenter.fY - ptCircle2->tCenter.fY;
    const float fReach = ptCircle1->fRadius + ptCircle2->fRadius;
    return dx * dx + dy * dy <= fReach * fReach ? 1 : 0;
}

int ball_circle_colision(const stBall *ptBall, const stCircle *ptCircle)
{
    return circle_touched(ptCircle, ptBall) ? 1 : 0;
}

void circle_bounce(const stCircle *ptCircle, stBall *ptBall)
{
    const float fSpeed = ball_speed(ptBall);
    const float fTangent = std::atan2(ptBall->fPrevX - ptCircle->tCenter.fX,
                                      ptCircle->tCenter.fY - ptBall->fPrevY);
    const float fTheta = 2.0f * fTangent - std::atan2(ptBall->fVelY, ptBall->fVelX);
    set_velocity(ptBall, fTheta, fSpeed);
    place_outside_circle(ptCircle, ptBall);
}

void circle_paddle_bounce(const stCircle *ptCircle, stBall *ptBall)
{
    const float fSpeed = ball_speed(ptBall);
    const float fTheta = std::atan2(ptBall->fPrevY - ptCircle->tCenter.fY,
                                    ptBall->fPrevX - ptCircle->tCenter.fX);
    set_velocity(ptBall, fTheta, fSpeed);
    place_outside_circle(ptCircle, ptBall);
}

void segment_bounce(const stSegment *ptSegment, stBall *ptBall, float fDistance)
{
    const float sx = ptSegment->tPoint0.fX - ptSegment->tPoint1.fX;
    const float sy = ptSegment->tPoint0.fY - ptSegment->tPoint1.fY;
    const float vx = ptBall->fVelX, vy = ptBall->fVelY;
    const float fSpeed = ball_speed(ptBall);
    const float fAlpha = std::atan2(vy, vx);
    set_velocity(ptBall, 2.0f * std::atan2(sy, sx) - fAlpha, fSpeed);

    // Signed angle between the incoming direction and the segment. Motion along
    // the segment (either way, whatever the sign of a zero cross product) leaves
    // the position alone: there is no depth to clear across it.
    const double fPhi = std::atan2(double(vx * sy - vy * sx), double(vx * sx + vy * sy));
    if (std::fabs(fPhi) < EPSILON || std::fabs(std::fabs(fPhi) - PI) < EPSILON)
        return;
    const float fDepth = (ptBall->tCircle.fRadius - fDistance) + CLEARANCE;
    const float fSinPhi = static_cast<float>(std::sin(fPhi));
    const float dx = std::cos(fAlpha) * fDepth / fSinPhi;
    const float dy = std::sin(fAlpha) * fDepth / fSinPhi;
    // Back by |dx| and |dy| against the incoming velocity.
    float x = ptBall->fX, y = ptBall->fY;
    if (dx * vx < 0.0f)
        x += dx;
    else
        x -= dx;
    if (vy * dy >= 0.0f)
        y -= dy;
    else
        y += dy;
    place_ball(ptBall, x, y);
}

void corner_bounce(const stPoint *ptPoint, stBall *ptBall)
{
    const float fReach = ptBall->tCircle.fRadius + CLEARANCE;
    const float bx = ptBall->fX, by = ptBall->fY, qx = ptBall->fPrevX, qy = ptBall->fPrevY;
    const float px = ptPoint->fX, py = ptPoint->fY;
    stPoint tContact;
    if (std::fabs(bx - qx) >= VERTICAL_STEP) {
        // The line of the step, y = m x + b, cut with the circle around the corner.
        const float m = (by - qy) / (bx - qx);
        const float b = by - m * bx;
        const float a2 = m * m + 1.0f;
        const float a1 = 2.0f * (m * (b - py) - px);
        const float a0 = px * px + (b - py) * (b - py) - fReach * fReach;
        const float fDisc = a1 * a1 - 4.0f * a2 * a0;
        if (fDisc < 0.0f)
            return;
        const float s = std::sqrt(fDisc);
        const float x1 = (s - a1) / (2.0f * a2);
        const float x2 = (-s - a1) / (2.0f * a2);
        // The root nearer the previous position (x2 on a tie).
        tContact.fX = (qx - x1) * (qx - x1) < (qx - x2) * (qx - x2) ? x1 : x2;
        tContact.fY = m * tContact.fX + b;
    } else {
        const float t = fReach * fReach - (bx - px) * (bx - px);
        if (t < 0.0f)
            return;
        // The root on the side the ball came from (below on a tie), as for a
        // slanted step: the other one would put the ball through the obstacle.
        const float fBelow = py + std::sqrt(t);
        const float fAbove = py - std::sqrt(t);
        tContact.fX = bx;
        tContact.fY = (qy - fAbove) * (qy - fAbove) < (qy - fBelow) * (qy - fBelow) ? fAbove : fBelow;
    }
    const float fSpeed = ball_speed(ptBall);
    const float fTangent = std::atan2(tContact.fX - px, py - tContact.fY);
    set_velocity(ptBall, 2.0f * fTangent - std::atan2(ptBall->fVelY, ptBall->fVelX), fSpeed);
    place_ball(ptBall, tContact.fX, tContact.fY);
}

void segment_normalised_bounce(const stSegment *ptSegment, stBall *ptBall)
{
    const float sx = ptSegment->tPoint0.fX - ptSegment->tPoint1.fX;
    const float sy = ptSegment->tPoint0.fY - ptSegment->tPoint1.fY;
    const float fAlpha = std::atan2(ptBall->fVelY, ptBall->fVelX);
    const float fMirror = 2.0f * std::atan2(sy, sx) - fAlpha;
    ptBall->fBounceDirX = std::cos(fMirror);
    ptBall->fBounceDirY = std::sin(fMirror);

    // The distance counts positive on the side the ball came from, whichever way
    // the line runs: a ball is held r off the line on its own side, and one whose
    // step crossed the line is brought back across it, for both paddles alike.
    const stPoint tCentre{ptBall->fX, ptBall->fY};
    const stPoint tPrev{ptBall->fPrevX, ptBall->fPrevY};
    const float fSide = point_line_distance(ptSegment, &tPrev) < 0.0f ? -1.0f : 1.0f;
    const float fBack = ptBall->tCircle.fRadius - fSide * point_line_distance(ptSegment, &tCentre);
    place_ball(ptBall, ptBall->fX - std::cos(fAlpha) * fBack,
               ptBall->fY - std::sin(fAlpha) * fBack);
    ptBall->fCollX = ptBall->fX;
    ptBall->fCollY = ptBall->fY;
    ptBall->bCollSpring = TRUE;
    ptBall->fCollVelX = ptBall->fVelX;
    ptBall->fCollVelY = ptBall->fVelY;
    ptBall->fVelX = 0.0f;
    ptBall->fVelY = 0.0f;
}

int detect_stage_collision(const stLevelBounds *ptLevelBounds, stBall *ptBall, int bUpdateBall)
{
    if (!ptLevelBounds)
        return FALSE;
    const float fInfinity = std::numeric_limits<float>::infinity();
    stCollisionData tNearest = {FALSE, 0, 'C', fInfinity, fInfinity, {0, 0}, {0, 0}};
    const float r = ptBall->tCircle.fRadius;
    const stPoint tCentre{ptBall->fX, ptBall->fY};
    const stPoint tPrev{ptBall->fPrevX, ptBall->fPrevY};

    const int iNumCircles = std::clamp(ptLevelBounds->iNumCircles, 0, MAX_LEVEL_CIRCLES);
    for (int i = 0; i < iNumCircles; i++) {
        const stCircle *ptCircle = &ptLevelBounds->vtCircle[i];
        if (!circle_touched(ptCircle, ptBall))
            continue;
        tNearest.bCollision = TRUE;
        const float a = point_point_distance(&tCentre, &ptCircle->tCenter) - ptCircle->fRadius;
        const float aL = point_point_distance(&tPrev, &ptCircle->tCenter) - ptCircle->fRadius;
        if (collision_closeness(a, std::fabs(tNearest.fDistance), aL, tNearest.fLastDistance) ==
            CLOSER) {
            tNearest.cFigureType = 'C';
            tNearest.iFigureIndex = i;
            tNearest.fDistance = a;
            tNearest.fLastDistance = aL;
        }
    }

    const int iNumSegments = std::clamp(ptLevelBounds->iNumSegments, 0, MAX_LEVEL_SEGMENTS);
    for (int j = 0; j < iNumSegments; j++) {
        const stSegment *ptSegment = &ptLevelBounds->vtSegment[j];
        if (zero_length(ptSegment))
            continue; // it has no line to measure a side from
        stPoint tNear;
        float d = point_segment_distance(ptSegment, &tCentre, &tNear);
        if (segment_segment_intersection(ptSegment, &ptBall->tPath))
            d = -d; // the step crossed it
        else if (!(d < r))
            continue;
        tNearest.bCollision = TRUE;
        const float aL = point_segment_distance(ptSegment, &tPrev, nullptr);
        if (collision_closeness(std::fabs(d), std::fabs(tNearest.fDistance), aL,
                                tNearest.fLastDistance) != CLOSER)
            continue;
        tNearest.cFigureType = 'S';
        tNearest.iFigureIndex = j;
        tNearest.fDistance = d;
        tNearest.fLastDistance = aL;
        tNearest.tIntersection = tNear;
        // An end point nearer the step than the centre is to the segment: a corner.
        if (point_segment_distance(&ptBall->tPath, &ptSegment->tPoint0, nullptr) <= d) {
            tNearest.cFigureType = 'E';
            tNearest.tCommonPoint = ptSegment->tPoint0;
        } else if (point_segment_distance(&ptBall->tPath, &ptSegment->tPoint1, nullptr) <= d) {
            tNearest.cFigureType = 'E';
            tNearest.tCommonPoint = ptSegment->tPoint1;
        }
    }

    if (!tNearest.bCollision || !bUpdateBall)
        return tNearest.bCollision;

    if (tBigBallHit.bActive) {
        const float fShake = std::min(ptBall->fVelX / SHAKE_VEL_DIVISOR, SHAKE_MAX_GAIN) + SHAKE_BASE;
        tBigBallHit.fDeltaX = fShake;
        tBigBallHit.fDeltaY = fShake;
    }
    float e = 0.0f; // distance from the obstacle after the bounce, px
    switch (tNearest.cFigureType) {
    case 'C': {
        const stCircle *ptCircle = &ptLevelBounds->vtCircle[tNearest.iFigureIndex];
        circle_bounce(ptCircle, ptBall);
        const stPoint tAfter{ptBall->fX, ptBall->fY};
        e = point_point_distance(&tAfter, &ptCircle->tCenter) - ptCircle->fRadius;
        break;
    }
    case 'S': {
        const stSegment *ptSegment = &ptLevelBounds->vtSegment[tNearest.iFigureIndex];
        const float fInVelX = ptBall->fVelX, fInVelY = ptBall->fVelY;
        segment_bounce(ptSegment, ptBall, tNearest.fDistance);
        // A ball that already touched the segment a frame ago (left there by a
        // corner, grazing it) is pulled back far along a shallow approach, beyond
        // where it was a frame ago and maybe through the wall behind it. Put back
        // where it was, it would still touch the wall and bounce in place every
        // frame; it is lifted off the wall from where it is now instead.
        const stPoint tPulled{ptBall->fX, ptBall->fY};
        if (tNearest.fLastDistance <= r &&
            point_point_distance(&tCentre, &tPulled) > point_point_distance(&tCentre, &tPrev))
            lift_off_segment(ptSegment, ptBall, &tCentre, fInVelX, fInVelY);
        const stPoint tAfter{ptBall->fX, ptBall->fY};
        e = point_segment_distance(ptSegment, &tAfter, nullptr);
        break;
    }
    default: {
        corner_bounce(&tNearest.tCommonPoint, ptBall);
        const stPoint tAfter{ptBall->fX, ptBall->fY};
        e = point_point_distance(&tAfter, &tNearest.tCommonPoint);
        break;
    }
    }
    // Thrown farther than it was a frame ago, when it did not touch: back to
    // where it was then.
    if (e > tNearest.fLastDistance && tNearest.fLastDistance > r)
        place_ball(ptBall, ptBall->fPrevX, ptBall->fPrevY);

    init_stage_particles(static_cast<int>(ptBall->fX), static_cast<int>(ptBall->fY),
                         g_iLevel / LEVELS_PER_STAGE);
    play_sound(sndBallSound[SOUND_BALL_HIT_METAL], CHANNEL_SOUNDS, FX_VOLUME, hit_pan(ptBall->fX));
    return tNearest.bCollision;
}

void detect_paddle_collision(stPaddle *ptPaddle, stBall *ptBall)
{
    if (ptBall->bCollSpring == TRUE)
        return;
    const float r = ptBall->tCircle.fRadius;
    const float fHalf = 0.5f * ptPaddle->fSpringLength;
    const bool bSpringCatches =
        ptPaddle->iSpringState != SPRING_BREAKING && ptPaddle->iSpringState != SPRING_BROKEN;
    const int iMiddle = SCREEN_WIDTH / 2;
    const bool bComing = (ptPaddle->fX < iMiddle && ptBall->fVelX < 0.0f) ||
                         (ptPaddle->fX > iMiddle && ptBall->fVelX > 0.0f);
    if (bSpringCatches && bComing) {
        const stSegment tSpring = {{ptPaddle->fX, ptPaddle->fY + fHalf},
                                   {ptPaddle->fX, ptPaddle->fY - fHalf}};
        const stPoint tCentre{ptBall->fX, ptBall->fY};
        if (point_segment_distance(&tSpring, &tCentre, nullptr) < r ||
            segment_segment_intersection(&tSpring, &ptBall->tPath)) {
            segment_normalised_bounce(&tSpring, ptBall);
            handle_paddle_collision(ptPaddle, ptBall);
            play_sound(sndPaddleSound[SOUND_PADDLE_CATCH], CHANNEL_SOUNDS, FX_VOLUME,
                       hit_pan(ptBall->fX));
        }
    }

    // The end spheres bounce in every state, also right after a catch.
    const stCircle tUpper = {ptPaddle->fRadius, {ptPaddle->fX, ptPaddle->fY - fHalf}};
    const stCircle tLower = {ptPaddle->fRadius, {ptPaddle->fX, ptPaddle->fY + fHalf}};
    const stCircle *ptSphere = nullptr;
    if (circle_touched(&tUpper, ptBall))
        ptSphere = &tUpper;
    else if (circle_touched(&tLower, ptBall))
        ptSphere = &tLower;
    else
        return;
    circle_paddle_bounce(ptSphere, ptBall);
    const float w = ball_speed(ptBall);
    ptBall->fVelY += ptPaddle->fVY;
    ptPaddle->fDeltaHitVel = ball_speed(ptBall) - w;
    play_sound(sndBallSound[SOUND_BALL_HIT_METAL], CHANNEL_SOUNDS, FX_VOLUME, hit_pan(ptBall->fX));
}

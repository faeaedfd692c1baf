// Collision of the ball with the stage's obstacles (circles and segments) and the
// bounces: the nearest obstacle is chosen, the ball's velocity is turned and the
// ball moved out of it, keeping its speed. A spring line catches the ball instead.
// Booleans that this module sets hold TRUE (-1) and FALSE (0).
#pragma once
#include "ball.h"
#include "geometric.h"

struct _stPaddle;
typedef struct _stPaddle stPaddle;

constexpr int MAX_LEVEL_CIRCLES = 200;  // obstacle circles of one stage
constexpr int MAX_LEVEL_SEGMENTS = 200; // obstacle segments of one stage

// The obstacles of one stage; only the first iNumCircles and iNumSegments are used.
typedef struct _stLevelBounds {
    int iNumCircles;
    stCircle vtCircle[MAX_LEVEL_CIRCLES];
    int iNumSegments;
    stSegment vtSegment[MAX_LEVEL_SEGMENTS];
} stLevelBounds;

// The nearest candidate of one stage test.
typedef struct _stCollisionData {
    int bCollision;       // TRUE once any obstacle was a candidate
    int iFigureIndex;     // index of the chosen obstacle in its array
    char cFigureType;     // 'C' circle, 'S' segment, 'E' end point of a segment
    float fDistance;      // from the ball's centre, px (signed for segments: negative when crossed)
    float fLastDistance;  // from the ball's previous centre, px
    stPoint tCommonPoint; // the corner, for 'E'
    stPoint tIntersection; // the segment's point nearest the ball, for 'S' and 'E'
} stCollisionData;

typedef enum _enCloseness { FURTHER = 0, CLOSER = 1, EQUAL = 2 } enCloseness;

// The actual candidate against the nearest so far: the previous distances decide
// first, then the current ones.
enCloseness collision_closeness(float fActualDistance, float fNearestDistance,
                                float fActualLastDistance, float fNearestLastDistance);
// 1 when the points are closer than 1e-8.
int same_point(const stPoint *ptPoint0, const stPoint *ptPoint1);
// TRUE and the shared end point (taken from ptSegment0) in ptPoint, else FALSE.
int common_point(const stSegment *ptSegment0, const stSegment *ptSegment1, stPoint *ptPoint);
// 1 when the segment passes strictly closer than the radius to the centre; the
// distance and the segment's nearest point are written out.
int segment_circle_colision(const stSegment *ptSegment, const stCircle *ptCircle,
                            float *pfDistance, stPoint *ptNearestPoint);
int circle_circle_colision(const stCircle *ptCircle1, const stCircle *ptCircle2);
// 1 when the ball touches the circle or its last step passed through it.
int ball_circle_colision(const stBall *ptBall, const stCircle *ptCircle);

// Mirror bounce off a fixed circle; the ball ends 0.1 px clear of it.
void circle_bounce(const stCircle *ptCircle, stBall *ptBall);
// Straight away from a paddle's end sphere; the ball ends 0.1 px clear of it.
void circle_paddle_bounce(const stCircle *ptCircle, stBall *ptBall);
// Mirror bounce off a segment; fDistance is the signed distance of the ball's
// centre (negative when its step crossed the segment). The ball is pulled back
// along its incoming direction to clear the segment by 0.1 px.
void segment_bounce(const stSegment *ptSegment, stBall *ptBall, float fDistance);
// Bounce off a segment's end point, about the tangent where the ball's line
// meets the circle of radius r + 0.1 around it; a missed circle changes nothing.
void corner_bounce(const stPoint *ptPoint, stBall *ptBall);
// The catch by a spring line: the mirror direction is kept in fBounceDir, the
// velocity in fCollVel, the position in fColl, and the ball stops.
void segment_normalised_bounce(const stSegment *ptSegment, stBall *ptBall);

// Pan of a sound made at x: -0.75 at the left edge, 0 at x = 300, +1.25 at the right.
float hit_pan(float fX);

// TRUE when the ball touches any obstacle; with bUpdateBall non-zero the nearest
// one is bounced off, sparks fly and the hit sounds. No obstacles (null) never collide.
int detect_stage_collision(const stLevelBounds *ptLevelBounds, stBall *ptBall, int bUpdateBall);
// The ball against one paddle: its spring line catches a ball coming toward
// its half (unless the band is tearing or torn) and hands it to the band; the
// end spheres bounce it straight away and pass on the paddle's vertical speed.
// A ball already caught is left alone.
void detect_paddle_collision(stPaddle *ptPaddle, stBall *ptBall);

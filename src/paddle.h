// A paddle: an elastic band stretched vertically between two spheres. The band
// catches the ball, gives way under it, throws it back and then shakes, or after
// a hit too hard for it tears until the next point. Booleans hold TRUE (-1).
#pragma once
#include "ball.h"

struct BITMAP;
struct RLE_SPRITE;

typedef enum _enSpringStates {
    SPRING_NORMAL = 0,     // straight, waiting for the ball
    SPRING_COLLISION = 1,  // giving way under the caught ball
    SPRING_REACTION = 2,   // pushing the held ball back out
    SPRING_RECOVERING = 3, // springing back after the throw
    SPRING_BREAKING = 4,   // tearing apart
    SPRING_BROKEN = 5,     // torn until the match loop revives it
    SPRING_VIBRATING = 6,  // shaking after a throw it withstood
    SPRING_REVIVING = 7,   // growing back from both spheres
    NUM_SPRING_STATES = 8
} enSpringStates;

typedef struct _stPaddle {
    int iCharacter;                // character whose band this is
    float fRadius;                 // radius of the end spheres: half the sphere's width, px
    float fX;                      // centre of the band, px (fixed per side)
    float fY;                      // px (moved by the player)
    float fVY;                     // vertical speed, px/s
    float fMaxVY;                  // limit of fVY, px/s
    float fDampVY;                 // damping factor of fVY
    float fDeltaVY;                // speed change per 16 ms of a held control, px/s
    float fInitialHitVel;          // speed of the ball at the last catch, px/s
    float fDeltaHitVel;            // speed the last hit added to the ball, px/s
    float fSpringLength;           // current length of the band, px
    float fMaxSpringLength;        // upper limit of the length, px
    float fOriginalSpringLength;   // lower limit of the length and its start value, px
    float fCollSpringLength;       // length at the last catch, px
    float fSpringK;                // spring constant k, 1/s^2 per unit of mass
    int iSpringColor;              // colour of the band
    int iSpringState;              // enSpringStates value
    float fDeformedSpringX;        // displacement of the band's middle from (fX, fY), px
    float fDeformedSpringY;        // px
    float fDeformedSpringTime;     // time spent in the current state (scaled per state), s
    float fDeformedSpringMaxX;     // deepest displacement the last catch expects, px
    float fDeformedSpringMaxY;     // px
    float fDeformedSpringMaxTime;  // duration T of every timed state after the last catch, s
    float fNormalisedCollVX;       // unit direction n of the ball's velocity at the catch
    float fNormalisedCollVY;
    float fCollAccel;              // acceleration g that moves the band and throws, px/s^2
    float fSpringCollisionForce;   // force of the last hit (mass * px/s^2)
    float fSpringForceResistance;  // force the band withstands (mass * px/s^2)
    float fSpringX;                // depth X of the band's give at the last catch, px
    float fSpringMinVel;           // least speed of a throw, px/s
    float fSpringMaxAcceleration;  // upper limit of g, px/s^2
    float fSpringGrowth;           // length change per 16 ms of lengthening, px
    float iCollidingObjectRadius;  // radius of the held ball, 0 when none, px
    float fBounceReturnDirX;       // unit direction R of the throw
    float fBounceReturnDirY;
    stBall *ptBall;                // the ball being held, or null; not owned
    RLE_SPRITE *rleSphere;         // picture of the end spheres; owned
} stPaddle;

// Loads the character's band and sphere from "PERSONAJES" and resets the paddle
// at (fX, fY): straight, at its starting length, holding nothing.
void init_paddle(stPaddle *ptPaddle, float fX, float fY, int iCharacter);
// One frame of the band's state machine.
void update_paddle(stPaddle *ptPaddle, float fDT);
// The catch, right after the spring line stopped the ball: a weak hit bounces
// it at once, any other starts the band giving way.
void handle_paddle_collision(stPaddle *ptPaddle, stBall *ptBall);
// Lengthen or shorten the band for fTime seconds: 1 when the limit was reached.
int grow_paddle_spring(stPaddle *ptPaddle, float fTime);
int shrink_paddle_spring(stPaddle *ptPaddle, float fTime);
// The band, then both spheres.
void draw_paddle(BITMAP *bmpPicture, const stPaddle *ptPaddle);
// Frees the sphere picture.
void destroy_paddle(stPaddle *ptPaddle);

// The state handlers, one per timed state, as update_paddle dispatches them.
void update_paddle_collision(stPaddle *ptPaddle, float fDT);
void update_paddle_collision_return(stPaddle *ptPaddle, float fDT);
void update_paddle_collision_recovering(stPaddle *ptPaddle, float fDT);
void update_paddle_collision_breaking(stPaddle *ptPaddle, float fDT);
void update_paddle_collision_broken(stPaddle *ptPaddle, float fDT);
void update_paddle_collision_vibrating(stPaddle *ptPaddle, float fDT);
void update_paddle_collision_reviving(stPaddle *ptPaddle, float fDT);

// The ball of a match: configuration per level index, the serve, motion with a
// steady speed-up, the out-of-field test and drawing with a shadow trail and a
// fire burst. Booleans hold TRUE (-1) and FALSE (0).
#pragma once
#include "geometric.h"

struct BITMAP;
struct RLE_SPRITE;

constexpr int BALL_SHADOWS = 5; // slots of the shadow trail

typedef struct _stBall {
    stCircle tCircle;   // radius: half the normal image's width; centre: (fX, fY)
    stSegment tPath;    // last frame's step: before the move -> after it
    float fStartX;      // serve position, px
    float fStartY;      // px
    float fStartVel;    // serve speed, px/s
    float fX;           // centre, px
    float fY;           // px
    float fPrevX;       // centre before the last move, px
    float fPrevY;       // px
    float fVelX;        // px/s
    float fVelY;        // px/s
    float fVel;         // speed after the last move, px/s
    float fAngle;       // last serve angle, radians
    int bOutBounds;     // TRUE once the ball has left the field; the next update serves
    int iExitPlace;     // where it left: 0 the left side, 1 the right side
    float fMass;        // used by the paddle's catch; items scale it
    float fTimeSinceAccel; // set to 0 at every serve, s
    float fTimeToAccel; // time over which fAccelPorc applies, s
    float fAccelPorc;   // speed-up fraction per fTimeToAccel
    float fBounceDirX;  // unit direction of the mirror bounce at a catch
    float fBounceDirY;
    int bCollSpring;    // TRUE while a paddle's spring holds the ball
    float fCollVelX;    // velocity at the catch, px/s
    float fCollVelY;
    float fCollX;       // position at the catch, px
    float fCollY;
    float fCollMaxX;    // position at the spring's deepest point, px
    float fCollMaxY;
    RLE_SPRITE *rleSprite;       // the image in use: normal or big (not owned separately)
    RLE_SPRITE *rleNormalSprite; // owned
    RLE_SPRITE *rleBigSprite;    // owned
    BITMAP *bmpTempSprite;       // scratch the size of the big image, for tinting shadows; owned
    int bFire;          // fire burst wanted this frame; cleared by every update
    int bShadows;       // shadow trail wanted this frame; cleared by every update
    int iLastShadow;    // ring index of the next shadow slot to write (the oldest)
    float fShadowTime;  // time since the last shadow sample, s
    int aiShadPosX[BALL_SHADOWS]; // shadow centres, px
    int aiShadPosY[BALL_SHADOWS];
} stBall;

constexpr float BALL_SHADOW_PERIOD = 0.055f; // s between two shadow samples
// px/s the ball never exceeds: faster, a frame's step would cross most of the
// stage at once and a rally kept alive by torn bands' spheres could speed the
// ball up until its bounces no longer let it move.
constexpr float BALL_MAX_SPEED = 2000.0f;

// Loads the current level index's configuration (g_iLevel) and images, and serves.
void init_ball(stBall *ptBall);
// Serves from the start position with a random angle, keeping the horizontal direction.
void reset_ball(stBall *ptBall);
// One frame of fDT seconds: serve after an exit, speed-up, move, shadows, exit test.
void update_ball(stBall *ptBall, float fDT);
// The shadow trail, the fire burst's particles, then the ball.
void draw_ball(BITMAP *bmpPicture, stBall *ptBall);
// Frees the scratch bitmap and both images.
void destroy_ball(stBall *ptBall);

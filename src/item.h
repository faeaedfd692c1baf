// Items of the power bar. For now only the shared shake record of the big
// ball's hard hits, which stays inactive until the items arrive.
#pragma once

typedef struct _stHardHit {
    int bActive;   // TRUE while the big ball is in force
    float fTime;   // time since the last swing of the shake, s
    float fDeltaX; // screen offset of the finished frame, px
    float fDeltaY; // px
} stHardHit;

extern stHardHit tBigBallHit; // shared by both sides; the stage collision sets the offsets

// The personality of a computer side: three parts, each with its behaviour,
// run every frame after the side's reactive controller. The one-dimensional
// part works the paddle's band around each hit, the two-dimensional part is
// kept but does nothing, the three-dimensional part uses the items.
#pragma once
#include "ai_functions.h"

typedef struct _stPersonality1D {
    char szType[AI_TYPE_SIZE];     // behaviour name
    int iConsecutiveChanges;       // hits in a row on which the band is lengthened (phase 0)
    int iConsecutiveOmissions;     // hits in a row on which it is not (phase 1)
    int iRandomChanges;            // read, drives nothing
    int iRandomOmissions;          // read, drives nothing
    int iSameBehaviourCount;       // hits counted in the current phase
    int iBehaviourState;           // phase: 0 lengthen on hits, 1 let them go by
    int iPreviousSpringState;      // the band's state on the previous frame
    int iActualPersonality;        // behaviour the changing personality acts as, 0 .. 3
    int iNumPersonalities;         // behaviours it rotates through: 4
    float fMaxTimeSamePersonality; // s before the changing personality moves on
    float fTimeWithSamePersonality; // s spent in the current behaviour
    int bExtendingHit;             // TRUE while the hit being held is one to lengthen on
    AIFunction pAIFunction;
} stPersonality1D;

typedef struct _stPersonality2D {
    char szType[AI_TYPE_SIZE];
    int iConsecutiveChanges;
    int iConsecutiveOmissions;
    int iRandomOmissions;
    int iRandomChanges;
    int iSameBehaviourCount; // starts at 0
    int iBehaviourState;     // starts at 3
    float fDeltaChange;
    float fMaxChange;
    float fProbabilityLeft;
    float fProbabilityRight;
    AIFunction pAIFunction;
} stPersonality2D;

typedef struct _stPersonality3D {
    char szType[AI_TYPE_SIZE];  // behaviour name
    int iPositionMirror;        // px from the opponent's edge at which IMAGE is used
    int iPositionInvertControl; // the same for MIRROR
    int iPositionShrink;        // the same for SHRINK_PADDLE
    int iPositionStretch;       // the same for GROW_PADDLE and PROPERTIES
    int iPositionMagnet;        // the same for MAGNET
    float fVariance;            // read, drives nothing
    float fVel2Accel;           // ball speed to the right above which FAST_BALL is used, px/s
    float fVel2Big;             // the same for GROW_BALL, px/s
    float fNumWaitSeconds;      // s an item is held before it is used
    float fWaitedSeconds;       // s the current item has been held
    AIFunction pAIFunction;
} stPersonality3D;

typedef struct _stPersonality {
    stPersonality1D *ptPer1D; // owned
    stPersonality2D *ptPer2D; // owned
    stPersonality3D *ptPer3D; // owned
} stPersonality;

// A new personality read from the "ai" record of level index iLevel.
stPersonality *init_personality(int iLevel);
// Frees the three parts, then the record.
void destroy_personality(stPersonality *ptPersonality);

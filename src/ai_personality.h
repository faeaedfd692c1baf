// The behaviours of a computer side's personality, each (side, ball, frame
// time in s) like the reactive controllers, chosen by name from the "ai"
// record of a level.
#pragma once
#include "personality_interface.h"

// One-dimensional: how the side works its band around each hit.
void ai_personality_1D_aggressive(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void ai_personality_1D_puny(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void ai_personality_1D_boring(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void ai_personality_1D_boring_inactive(struct _stPlayer *ptEnemy, struct _stBall *ptBall,
                                       float fDT);
void ai_personality_1D_esquizofrenic(struct _stPlayer *ptEnemy, struct _stBall *ptBall,
                                     float fDT);
// Two-dimensional: kept for the data, they do nothing.
void ai_personality_2D_audacious(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void ai_personality_2D_cautious(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
// Three-dimensional: when the side uses the item it holds.
void ai_personality_3D_impulsive(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void ai_personality_3D_analytic(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);
void ai_personality_3D_predictable(struct _stPlayer *ptEnemy, struct _stBall *ptBall, float fDT);

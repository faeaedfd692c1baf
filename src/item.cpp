// Items of the power bar: owns the shake record of the big ball's hard hits.
// The record is all zero (inactive, no offset) until an item sets it.
#include "item.h"

stHardHit tBigBallHit = {0, 0.0f, 0.0f, 0.0f};

// Whole-picture sprite drawing in one pass: a full-screen picture (a finished
// match frame) drawn with its mask-coloured pixels skipped.
#pragma once

struct BITMAP;

// Draws bmpSprite onto bmpTarget at iX, iY (clipped to the target's clip
// rectangle), mirrored left to right when bFlip is set, leaving the target's
// pixels where the sprite holds the mask colour: the same picture as the
// library's draw_sprite and draw_sprite_h_flip, row by row for two 32-bit
// bitmaps (the sprite in memory), through the library otherwise.
void draw_masked_copy(BITMAP *bmpTarget, BITMAP *bmpSprite, int iX, int iY, bool bFlip);

// Presenting a finished frame: the back buffer drawn onto the screen as a
// sprite, its mask-coloured pixels skipped, at an offset and optionally
// mirrored left to right.
#pragma once

struct BITMAP;

// Draws bmpFrame onto bmpScreen at iX, iY (clipped to the screen's clip
// rectangle), mirrored left to right when bFlip is set, leaving the screen's
// pixels where the frame holds the mask colour: the same picture as the
// library's draw_sprite and draw_sprite_h_flip, row by row in one pass for
// two 32-bit bitmaps, through the library otherwise.
void present_frame(BITMAP *bmpScreen, BITMAP *bmpFrame, int iX, int iY, bool bFlip);

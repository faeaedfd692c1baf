// Translucent drawing without the library's per-pixel calls: discs (the
// particles) and coverage maps (anti-aliased glyphs) blended into a 32-bit
// memory bitmap with the library's own translucency formula, so that the
// picture is exactly the one the library draws in its translucent mode.
#pragma once

struct BITMAP;

// Fills the disc of iRadius px (0 or more) around (iX, iY) with iColor at
// opacity iAlpha, clipped to the bitmap's clip rectangle: the pixels of
// circlefill drawn in the translucent mode with set_trans_blender(0, 0, 0,
// iAlpha). Leaves the drawing mode solid.
void trans_circlefill(BITMAP *bmp, int iX, int iY, int iRadius, int iColor, int iAlpha);

// Draws an iWidth by iHeight map of coverage values (0 none, 255 full), row
// after row, with its top-left corner at (iX, iY): a fully covered pixel takes
// iColor, a partly covered one iColor blended at the coverage as opacity,
// clipped to the bitmap's clip rectangle. Leaves the drawing mode solid.
void draw_coverage(BITMAP *bmp, const unsigned char *pCoverage, int iWidth, int iHeight, int iX,
                   int iY, int iColor);

// Translucent drawing without the library's per-pixel calls: discs (the
// particles) and coverage maps (anti-aliased glyphs) blended into a 32-bit
// memory bitmap with the library's own translucency formula, so that the
// picture is exactly the one the library draws in its translucent mode.
#pragma once

#include <cstdint>

struct BITMAP;

// The library's translucent blend of colour iSrc over pixel iDst at opacity
// iAlpha (0 leaves iDst, 255 gives iSrc), for 24- and 32-bit pixels: each
// channel moves (iAlpha + 1) / 256 of the way, with the library's rounding.
inline uint32_t trans_blend(uint32_t iSrc, uint32_t iDst, uint32_t iAlpha)
{
    // The arithmetic is the library's, in 64 bits: a negative difference
    // wraps, and that wrap is part of its rounding.
    const uint64_t n = iAlpha ? iAlpha + 1 : 0;
    const uint64_t x = iSrc, y = iDst;
    const uint64_t rb = ((x & 0xFF00FF) - (y & 0xFF00FF)) * n / 256 + y;
    const uint64_t g = ((x & 0xFF00) - (y & 0xFF00)) * n / 256 + (y & 0xFF00);
    return static_cast<uint32_t>((rb & 0xFF00FF) | (g & 0xFF00));
}

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

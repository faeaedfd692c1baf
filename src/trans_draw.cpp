// Translucent discs and coverage maps. The library blends each pixel through
// a call to its blender and sets the blender up again for every opacity: a
// smashed snowman's flakes and the match's anti-aliased texts spent a third of
// a frame there. A 32-bit memory bitmap is blended here in plain loops with
// the same formula; any other bitmap goes through the library.
#include "trans_draw.h"

#include <algorithm>
#include <allegro.h>
#include <cstdint>

namespace {
constexpr int FAST_DEPTH = 32;       // bits per pixel of the direct loops
constexpr uint32_t FULL_COVER = 255; // a coverage value that paints the colour itself

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

bool blends_directly(BITMAP *bmp)
{
    return bitmap_color_depth(bmp) == FAST_DEPTH && is_memory_bitmap(bmp);
}

// The rectangle a drawing may touch: the clip rectangle, or the whole bitmap
// when clipping is off (nothing is ever written outside the bitmap).
struct Bounds {
    int iLeft, iTop, iRight, iBottom; // right and bottom exclusive
};

Bounds bounds_of(const BITMAP *bmp)
{
    if (bmp->clip)
        return {bmp->cl, bmp->ct, bmp->cr, bmp->cb};
    return {0, 0, bmp->w, bmp->h};
}

// Blends row iY from iX1 to iX2 (inclusive), clipped.
void blend_span(BITMAP *bmp, const Bounds &b, int iX1, int iY, int iX2, uint32_t iColor,
                uint32_t iAlpha)
{
    if (iY < b.iTop || iY >= b.iBottom)
        return;
    iX1 = std::max(iX1, b.iLeft);
    iX2 = std::min(iX2, b.iRight - 1);
    uint32_t *pRow = reinterpret_cast<uint32_t *>(bmp->line[iY]);
    for (int x = iX1; x <= iX2; x++)
        pRow[x] = trans_blend(iColor, pRow[x], iAlpha);
}
} // namespace

void trans_circlefill(BITMAP *bmp, int iX, int iY, int iRadius, int iColor, int iAlpha)
{
    if (!blends_directly(bmp)) {
        drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
        set_trans_blender(0, 0, 0, iAlpha);
        circlefill(bmp, iX, iY, iRadius, iColor);
        solid_mode();
        return;
    }
    const Bounds b = bounds_of(bmp);
    const uint32_t iSrc = static_cast<uint32_t>(iColor), iA = static_cast<uint32_t>(iAlpha);
    // The library's midpoint walk over one eighth of the circle: every row of
    // the disc is filled exactly once, the widest rows as the walk goes and
    // the top and bottom rows each time the walk steps inwards.
    int cx = 0, cy = iRadius;
    int iDecision = 1 - iRadius, iEast = 3, iSouthEast = 5 - 2 * iRadius;
    do {
        blend_span(bmp, b, iX - cy, iY - cx, iX + cy, iSrc, iA);
        if (cx)
            blend_span(bmp, b, iX - cy, iY + cx, iX + cy, iSrc, iA);
        if (iDecision < 0) {
            iDecision += iEast;
            iEast += 2;
            iSouthEast += 2;
        } else {
            if (cx != cy) {
                blend_span(bmp, b, iX - cx, iY - cy, iX + cx, iSrc, iA);
                if (cy)
                    blend_span(bmp, b, iX - cx, iY + cy, iX + cx, iSrc, iA);
            }
            iDecision += iSouthEast;
            iEast += 2;
            iSouthEast += 4;
            cy--;
        }
        cx++;
    } while (cx <= cy);
    solid_mode();
}

void draw_coverage(BITMAP *bmp, const unsigned char *pCoverage, int iWidth, int iHeight, int iX,
                   int iY, int iColor)
{
    const bool bDirect = blends_directly(bmp);
    const Bounds b = bounds_of(bmp);
    for (int iRow = 0; iRow < iHeight; iRow++) {
        const unsigned char *pValues = pCoverage + static_cast<size_t>(iRow) * iWidth;
        const int y = iY + iRow;
        if (bDirect && (y < b.iTop || y >= b.iBottom))
            continue;
        uint32_t *pRow = bDirect ? reinterpret_cast<uint32_t *>(bmp->line[y]) : nullptr;
        for (int iCol = 0; iCol < iWidth; iCol++) {
            const uint32_t v = pValues[iCol];
            const int x = iX + iCol;
            if (v == 0)
                continue;
            if (bDirect) {
                if (x < b.iLeft || x >= b.iRight)
                    continue;
                uint32_t &iPixel = pRow[x];
                iPixel = v == FULL_COVER ? static_cast<uint32_t>(iColor)
                                         : trans_blend(static_cast<uint32_t>(iColor), iPixel, v);
            } else if (v == FULL_COVER) {
                solid_mode();
                putpixel(bmp, x, y, iColor);
            } else {
                drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
                set_trans_blender(0, 0, 0, static_cast<int>(v));
                putpixel(bmp, x, y, iColor);
            }
        }
    }
    solid_mode();
}

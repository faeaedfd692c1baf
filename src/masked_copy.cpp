// Whole-picture sprite drawing. The library's sprite drawing takes a picture
// pixel by pixel through a general routine: presenting a match frame that way
// was four fifths of the frame's instructions. Two 32-bit bitmaps are copied
// here row by row, eight pixels at a time where the processor has the wide
// vector instructions (AVX2), four at a time where it has the older ones.
#include "masked_copy.h"

#include <algorithm>
#include <allegro.h>
#include <cstdint>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#ifdef __x86_64__
#include <immintrin.h>
#endif

namespace {
constexpr int FAST_DEPTH = 32; // bits per pixel of the one-pass copy

#ifdef __SSE2__
constexpr int LANES = 4; // pixels of one vector

// Four sprite pixels over four target pixels, the mask-coloured ones left out.
inline __m128i over(__m128i vSrc, __m128i vDst, __m128i vMask)
{
    const __m128i vSkip = _mm_cmpeq_epi32(vSrc, vMask);
    return _mm_or_si128(_mm_and_si128(vSkip, vDst), _mm_andnot_si128(vSkip, vSrc));
}
#endif

#ifdef __x86_64__
constexpr int WIDE_LANES = 8; // pixels of one wide vector

// Whether this processor has the wide vectors; asked once.
bool has_wide_vectors()
{
    static const bool bWide = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
    return bWide;
}

// Eight sprite pixels stored over the target at pOut: a block without the
// mask colour (nearly all of a frame) without reading the target first.
__attribute__((target("avx2"))) inline void store_over(__m256i *pOut, __m256i vSrc, __m256i vMask)
{
    const __m256i vSkip = _mm256_cmpeq_epi32(vSrc, vMask);
    if (_mm256_testz_si256(vSkip, vSkip))
        _mm256_storeu_si256(pOut, vSrc);
    else
        _mm256_storeu_si256(pOut, _mm256_blendv_epi8(vSrc, _mm256_loadu_si256(pOut), vSkip));
}

// The row's first pixels in blocks of eight; returns how many it copied.
__attribute__((target("avx2"))) int copy_row_wide(uint32_t *pDst, const uint32_t *pSrc, int iCount,
                                                   uint32_t iMask)
{
    const __m256i vMask = _mm256_set1_epi32(static_cast<int>(iMask));
    int i = 0;
    for (; i + WIDE_LANES <= iCount; i += WIDE_LANES)
        store_over(reinterpret_cast<__m256i *>(pDst + i),
                   _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pSrc + i)), vMask);
    return i;
}

// The same, mirrored, as copy_row_mirrored below.
__attribute__((target("avx2"))) int copy_row_mirrored_wide(uint32_t *pDst, const uint32_t *pSrcEnd,
                                                            int iCount, uint32_t iMask)
{
    const __m256i vMask = _mm256_set1_epi32(static_cast<int>(iMask));
    const __m256i vReverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
    int i = 0;
    for (; i + WIDE_LANES <= iCount; i += WIDE_LANES) {
        const __m256i vSrc = _mm256_loadu_si256(
            reinterpret_cast<const __m256i *>(pSrcEnd - i - (WIDE_LANES - 1)));
        store_over(reinterpret_cast<__m256i *>(pDst + i),
                   _mm256_permutevar8x32_epi32(vSrc, vReverse), vMask);
    }
    return i;
}
#endif

// The row's pixels that are not the mask colour, in order.
void copy_row(uint32_t *pDst, const uint32_t *pSrc, int iCount, uint32_t iMask)
{
    int i = 0;
#ifdef __x86_64__
    if (has_wide_vectors())
        i = copy_row_wide(pDst, pSrc, iCount, iMask);
#endif
#ifdef __SSE2__
    const __m128i vMask = _mm_set1_epi32(static_cast<int>(iMask));
    for (; i + LANES <= iCount; i += LANES) {
        __m128i *pOut = reinterpret_cast<__m128i *>(pDst + i);
        const __m128i vSrc = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pSrc + i));
        _mm_storeu_si128(pOut, over(vSrc, _mm_loadu_si128(pOut), vMask));
    }
#endif
    for (; i < iCount; i++)
        if (pSrc[i] != iMask)
            pDst[i] = pSrc[i];
}

// The same, mirrored: target pixel i takes the sprite pixel i places before pSrcEnd.
void copy_row_mirrored(uint32_t *pDst, const uint32_t *pSrcEnd, int iCount, uint32_t iMask)
{
    int i = 0;
#ifdef __x86_64__
    if (has_wide_vectors())
        i = copy_row_mirrored_wide(pDst, pSrcEnd, iCount, iMask);
#endif
#ifdef __SSE2__
    const __m128i vMask = _mm_set1_epi32(static_cast<int>(iMask));
    constexpr int REVERSE = _MM_SHUFFLE(0, 1, 2, 3);
    for (; i + LANES <= iCount; i += LANES) {
        __m128i *pOut = reinterpret_cast<__m128i *>(pDst + i);
        const __m128i vSrc = _mm_shuffle_epi32(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(pSrcEnd - i - (LANES - 1))), REVERSE);
        _mm_storeu_si128(pOut, over(vSrc, _mm_loadu_si128(pOut), vMask));
    }
#endif
    for (; i < iCount; i++)
        if (pSrcEnd[-i] != iMask)
            pDst[i] = pSrcEnd[-i];
}
} // namespace

void draw_masked_copy(BITMAP *bmpTarget, BITMAP *bmpSprite, int iX, int iY, bool bFlip)
{
    if (bitmap_color_depth(bmpTarget) != FAST_DEPTH || bitmap_color_depth(bmpSprite) != FAST_DEPTH ||
        !is_memory_bitmap(bmpSprite) || !is_linear_bitmap(bmpTarget)) {
        if (bFlip)
            draw_sprite_h_flip(bmpTarget, bmpSprite, iX, iY);
        else
            draw_sprite(bmpTarget, bmpSprite, iX, iY);
        return;
    }
    // The part of the sprite that lands inside the target's clip rectangle.
    const int iLeft = std::max(iX, bmpTarget->cl), iRight = std::min(iX + bmpSprite->w, bmpTarget->cr);
    const int iTop = std::max(iY, bmpTarget->ct), iBottom = std::min(iY + bmpSprite->h, bmpTarget->cb);
    if (iLeft >= iRight || iTop >= iBottom)
        return;
    const int iCount = iRight - iLeft;
    const uint32_t iMask = static_cast<uint32_t>(bitmap_mask_color(bmpSprite));
    acquire_bitmap(bmpTarget);
    for (int y = iTop; y < iBottom; y++) {
        const uint32_t *pSrc = reinterpret_cast<const uint32_t *>(bmpSprite->line[y - iY]);
        uint32_t *pDst = reinterpret_cast<uint32_t *>(bmp_write_line(bmpTarget, y)) + iLeft;
        // Mirrored, target column x shows sprite column w - 1 - (x - iX).
        if (bFlip)
            copy_row_mirrored(pDst, pSrc + bmpSprite->w - 1 - (iLeft - iX), iCount, iMask);
        else
            copy_row(pDst, pSrc + (iLeft - iX), iCount, iMask);
    }
    bmp_unwrite_line(bmpTarget);
    release_bitmap(bmpTarget);
}

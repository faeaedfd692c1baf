// The TrueType text layer: owns the FreeType instance and the global text
// background. Every font owns its face, a copy of the bytes the face reads and
// a glyph cache that always matches the font's current height.
#include "tfont.h"
#include "trans_draw.h"

#include <allegro.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int FIRST_SCALABLE_HEIGHT = 8; // px, the height a scalable font starts at
constexpr int MAX_PIXEL_SIZE = 0xFFFF;   // px, the largest size FreeType accepts
constexpr int GREY_LEVELS = 256;         // levels of a full-range grey bitmap
constexpr int MAX_COVERAGE = 255;        // the last entry of the colour ramp
constexpr int FIXED_POINT_SHIFT = 6;     // 26.6 FreeType values to whole pixels
constexpr unsigned REPLACEMENT_CHARACTER = 0xFFFD; // drawn for bytes that are not UTF-8
constexpr unsigned MAX_CODE_POINT = 0x10FFFF;
constexpr unsigned SURROGATE_FIRST = 0xD800, SURROGATE_LAST = 0xDFFF;

// The layer's state for the whole run.
struct TfontState {
    bool bInitialised = false;         // FreeType is up
    FT_Library ptLibrary = nullptr;    // the FreeType instance every face belongs to
    int iTextMode = TFONT_TRANSPARENT; // background of the forms without _ex; -1 transparent
};
TfontState g_tTfont;

// Decodes the UTF-8 character at *ppText and moves past it. An invalid, overlong
// or cut sequence gives the replacement character and moves one byte only; no
// byte after the terminating zero is ever read.
unsigned next_character(const unsigned char **ppText)
{
    const unsigned char *p = *ppText;
    const unsigned uLead = p[0];
    *ppText = p + 1;
    if (uLead < 0x80)
        return uLead;
    int iLength;       // bytes of the sequence
    unsigned uCode;    // bits of the lead byte
    unsigned uSmallest; // smallest code this length may encode
    if ((uLead & 0xE0) == 0xC0) {
        iLength = 2, uCode = uLead & 0x1F, uSmallest = 0x80;
    } else if ((uLead & 0xF0) == 0xE0) {
        iLength = 3, uCode = uLead & 0x0F, uSmallest = 0x800;
    } else if ((uLead & 0xF8) == 0xF0) {
        iLength = 4, uCode = uLead & 0x07, uSmallest = 0x10000;
    } else {
        return REPLACEMENT_CHARACTER;
    }
    for (int i = 1; i < iLength; i++) {
        if ((p[i] & 0xC0) != 0x80) // the terminating zero is no continuation byte either
            return REPLACEMENT_CHARACTER;
        uCode = (uCode << 6) | (p[i] & 0x3F);
    }
    if (uCode < uSmallest || uCode > MAX_CODE_POINT ||
        (uCode >= SURROGATE_FIRST && uCode <= SURROGATE_LAST))
        return REPLACEMENT_CHARACTER;
    *ppText = p + iLength;
    return uCode;
}

// Length of the UTF-8 sequence a lead byte announces (1 for anything else).
int sequence_length(unsigned char uLead)
{
    if ((uLead & 0xE0) == 0xC0)
        return 2;
    if ((uLead & 0xF0) == 0xE0)
        return 3;
    if ((uLead & 0xF8) == 0xF0)
        return 4;
    return 1;
}

// Formats into the printf buffer; a text cut at the buffer's end loses the
// half character it would otherwise end with.
void format_text(char (&szText)[TFONT_PRINTF_BUFFER], const char *pszFormat, va_list args)
{
    const int iWanted = vsnprintf(szText, sizeof(szText), pszFormat, args);
    if (iWanted < 0) {
        szText[0] = '\0';
        return;
    }
    const int iKept = static_cast<int>(sizeof(szText)) - 1;
    if (iWanted <= iKept)
        return;
    int iStart = iKept - 1; // start of the last character kept
    while (iStart > 0 && (static_cast<unsigned char>(szText[iStart]) & 0xC0) == 0x80)
        iStart--;
    if (iStart + sequence_length(static_cast<unsigned char>(szText[iStart])) > iKept)
        szText[iStart] = '\0';
}

int glyph_index(const TFONT_FONT *ptFont, unsigned uCode)
{
    const FT_Face face = ptFont->face;
    const FT_UInt uGlyph = face->charmap ? FT_Get_Char_Index(face, uCode) : uCode;
    // Without a character map the code is the index: keep it inside the cache.
    return uGlyph < static_cast<FT_UInt>(ptFont->num_glyphs) ? static_cast<int>(uGlyph) : 0;
}

const unsigned char *bitmap_row(const FT_Bitmap &tBitmap, int iRow)
{
    // A negative pitch means the rows are stored bottom first.
    const int iPitch = tBitmap.pitch;
    const int iStored = iPitch >= 0 ? iRow : static_cast<int>(tBitmap.rows) - 1 - iRow;
    return tBitmap.buffer + static_cast<ptrdiff_t>(iStored) * (iPitch >= 0 ? iPitch : -iPitch);
}

// One byte per pixel, top row first: 1 where a mono pixel is set, or the grey
// coverage stretched to 0..255. Null for an empty bitmap or when memory runs out.
unsigned char *expand_bitmap(const FT_Bitmap &tBitmap, bool bMono)
{
    const int w = static_cast<int>(tBitmap.width);
    const int h = static_cast<int>(tBitmap.rows);
    if (w <= 0 || h <= 0)
        return nullptr;
    unsigned char *pPixels = static_cast<unsigned char *>(malloc(static_cast<size_t>(w) * h));
    if (!pPixels)
        return nullptr;
    const int iLevels = tBitmap.num_grays > 0 ? tBitmap.num_grays : GREY_LEVELS;
    const int iFactor = GREY_LEVELS / iLevels;
    for (int iRow = 0; iRow < h; iRow++) {
        const unsigned char *pRow = bitmap_row(tBitmap, iRow);
        unsigned char *pOut = pPixels + static_cast<size_t>(iRow) * w;
        for (int iCol = 0; iCol < w; iCol++) {
            if (bMono)
                pOut[iCol] = (pRow[iCol >> 3] >> (7 - (iCol & 7))) & 1;
            else
                pOut[iCol] = static_cast<unsigned char>(iFactor > 1 ? pRow[iCol] * iFactor : pRow[iCol]);
        }
    }
    return pPixels;
}

// Renders a glyph object to a bitmap of the wanted kind and stores it; false
// when FreeType gives another kind (the glyph then has no such picture).
bool store_bitmap(FT_Glyph *pptGlyph, bool bMono, unsigned char **ppPixels, int *piW, int *piH,
                  int *piLeft, int *piTop)
{
    if (FT_Glyph_To_Bitmap(pptGlyph, bMono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL, nullptr,
                           1) != 0 ||
        (*pptGlyph)->format != FT_GLYPH_FORMAT_BITMAP)
        return false;
    const FT_BitmapGlyph ptBitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(*pptGlyph);
    const FT_Bitmap &tBitmap = ptBitmapGlyph->bitmap;
    if (tBitmap.pixel_mode != (bMono ? FT_PIXEL_MODE_MONO : FT_PIXEL_MODE_GRAY))
        return false;
    *ppPixels = expand_bitmap(tBitmap, bMono);
    if (!*ppPixels && tBitmap.width > 0 && tBitmap.rows > 0)
        return false; // out of memory: the glyph simply draws nothing
    *piW = *ppPixels ? static_cast<int>(tBitmap.width) : 0;
    *piH = *ppPixels ? static_cast<int>(tBitmap.rows) : 0;
    *piLeft = ptBitmapGlyph->left;
    *piTop = ptBitmapGlyph->top;
    return true;
}

// Rasterises a glyph once per height, both two-level and grey.
const TFONT_GLYPH *cache_glyph(TFONT_FONT *ptFont, int iGlyph)
{
    TFONT_GLYPH *ptGlyph = &ptFont->cached_glyphs[iGlyph];
    if (ptGlyph->is_cached)
        return ptGlyph;
    ptGlyph->is_cached = 1;
    const FT_Face face = ptFont->face;
    if (FT_Load_Glyph(face, static_cast<FT_UInt>(iGlyph), FT_LOAD_DEFAULT) != 0)
        return ptGlyph; // a glyph FreeType cannot load neither draws nor advances
    ptGlyph->advance_x = static_cast<int>(face->glyph->advance.x >> FIXED_POINT_SHIFT);
    ptGlyph->advance_y = static_cast<int>(face->glyph->advance.y >> FIXED_POINT_SHIFT);

    FT_Glyph ptMono = nullptr, ptGrey = nullptr;
    if (FT_Get_Glyph(face->glyph, &ptMono) != 0)
        return ptGlyph;
    if (FT_Glyph_Copy(ptMono, &ptGrey) == 0) {
        ptGlyph->has_aa = store_bitmap(&ptGrey, false, &ptGlyph->aa_bitmap, &ptGlyph->aa_w,
                                       &ptGlyph->aa_h, &ptGlyph->aa_left, &ptGlyph->aa_top);
        FT_Done_Glyph(ptGrey);
    }
    ptGlyph->has_mono = store_bitmap(&ptMono, true, &ptGlyph->mono_bitmap, &ptGlyph->mono_w,
                                     &ptGlyph->mono_h, &ptGlyph->mono_left, &ptGlyph->mono_top);
    FT_Done_Glyph(ptMono);
    return ptGlyph;
}

void empty_glyph_cache(TFONT_FONT *ptFont)
{
    for (int i = 0; i < ptFont->num_glyphs; i++) {
        TFONT_GLYPH *ptGlyph = &ptFont->cached_glyphs[i];
        free(ptGlyph->mono_bitmap);
        free(ptGlyph->aa_bitmap);
        memset(ptGlyph, 0, sizeof(*ptGlyph));
    }
}

// Ascender plus the size of the descender, in whole pixels, at the size set.
int size_total_height(FT_Face face)
{
    const int iAscender = static_cast<int>(face->size->metrics.ascender >> FIXED_POINT_SHIFT);
    const int iDescender = static_cast<int>(face->size->metrics.descender >> FIXED_POINT_SHIFT);
    return iAscender + abs(iDescender);
}

int restore_previous_size(TFONT_FONT *ptFont)
{
    if (ptFont->real_face_h > 0)
        FT_Set_Pixel_Sizes(ptFont->face, 0, static_cast<FT_UInt>(ptFont->real_face_h));
    return -1;
}

// 256 colours from the background (entry 0) to the text colour (entry 255), in
// the bitmap's colour depth.
void build_ramp(int aiRamp[GREY_LEVELS], int iDepth, int iBg, int iColor)
{
    const int aiFrom[3] = {getr_depth(iDepth, iBg), getg_depth(iDepth, iBg), getb_depth(iDepth, iBg)};
    const int aiTo[3] = {getr_depth(iDepth, iColor), getg_depth(iDepth, iColor),
                         getb_depth(iDepth, iColor)};
    for (int i = 0; i < GREY_LEVELS; i++) {
        int aiMixed[3];
        for (int c = 0; c < 3; c++)
            aiMixed[c] = aiFrom[c] + (aiTo[c] - aiFrom[c]) * i / MAX_COVERAGE;
        aiRamp[i] = makecol_depth(iDepth, aiMixed[0], aiMixed[1], aiMixed[2]);
    }
}

void draw_grey_glyph(BITMAP *bmp, const TFONT_GLYPH *ptGlyph, int iLeft, int iTop, int iColor,
                     const int *piRamp)
{
    if (!piRamp) {
        draw_coverage(bmp, ptGlyph->aa_bitmap, ptGlyph->aa_w, ptGlyph->aa_h, iLeft, iTop, iColor);
        return;
    }
    for (int iRow = 0; iRow < ptGlyph->aa_h; iRow++) {
        const unsigned char *pRow = ptGlyph->aa_bitmap + static_cast<size_t>(iRow) * ptGlyph->aa_w;
        for (int iCol = 0; iCol < ptGlyph->aa_w; iCol++)
            if (pRow[iCol])
                putpixel(bmp, iLeft + iCol, iTop + iRow, piRamp[pRow[iCol]]);
    }
}

void draw_mono_glyph(BITMAP *bmp, const TFONT_GLYPH *ptGlyph, int iLeft, int iTop, int iColor)
{
    for (int iRow = 0; iRow < ptGlyph->mono_h; iRow++) {
        const unsigned char *pRow =
            ptGlyph->mono_bitmap + static_cast<size_t>(iRow) * ptGlyph->mono_w;
        for (int iCol = 0; iCol < ptGlyph->mono_w; iCol++)
            if (pRow[iCol])
                putpixel(bmp, iLeft + iCol, iTop + iRow, iColor);
    }
}

// The one text walk behind every output form: top-left corner at (x, y).
void draw_text(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y, int iColor,
               int iBg, bool bAntiAliased)
{
    if (!bmp || !ptFont || !pszText)
        return;
    if (y + ptFont->face_h < bmp->ct || y >= bmp->cb || x >= bmp->cr)
        return;
    int aiRamp[GREY_LEVELS];
    const bool bBox = iBg >= 0;
    if (bBox) {
        const int iWidth = tfont_text_length(ptFont, pszText);
        if (iWidth > 0) // an empty text draws no box at all
            rectfill(bmp, x, y, x + iWidth - 1, y + ptFont->face_h - 1, iBg);
        if (bAntiAliased)
            build_ramp(aiRamp, bitmap_color_depth(bmp), iBg, iColor);
    }
    acquire_bitmap(bmp);
    int iPenX = x, iPenY = y;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(pszText);
    while (*p && iPenX < bmp->cr) {
        const TFONT_GLYPH *ptGlyph = cache_glyph(ptFont, glyph_index(ptFont, next_character(&p)));
        const int iBaseline = iPenY + ptFont->face_ascender;
        if (bAntiAliased && ptGlyph->has_aa)
            draw_grey_glyph(bmp, ptGlyph, iPenX + ptGlyph->aa_left, iBaseline - ptGlyph->aa_top,
                            iColor, bBox ? aiRamp : nullptr);
        else if (!bAntiAliased && ptGlyph->has_mono)
            draw_mono_glyph(bmp, ptGlyph, iPenX + ptGlyph->mono_left,
                            iBaseline - ptGlyph->mono_top, iColor);
        if (ptGlyph->advance_x)
            iPenX += ptGlyph->advance_x + ptFont->ch_spacing;
        if (ptGlyph->advance_y)
            iPenY += ptGlyph->advance_y + ptFont->ch_spacing;
    }
    release_bitmap(bmp);
    if (bAntiAliased && !bBox) // translucent edges changed the drawing mode
        solid_mode();
}

void draw_centre(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y, int iColor,
                 int iBg, bool bAntiAliased)
{
    draw_text(bmp, ptFont, pszText, x - tfont_text_length(ptFont, pszText) / 2, y, iColor, iBg,
              bAntiAliased);
}

void draw_right(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y, int iColor,
                int iBg, bool bAntiAliased)
{
    draw_text(bmp, ptFont, pszText, x - tfont_text_length(ptFont, pszText), y, iColor, iBg,
              bAntiAliased);
}
} // namespace

int tfont_init()
{
    if (g_tTfont.bInitialised)
        return 0;
    if (FT_Init_FreeType(&g_tTfont.ptLibrary) != 0)
        return -1;
    g_tTfont.bInitialised = true;
    return 0;
}

void tfont_exit()
{
    if (!g_tTfont.bInitialised)
        return;
    FT_Done_FreeType(g_tTfont.ptLibrary);
    g_tTfont.ptLibrary = nullptr;
    g_tTfont.bInitialised = false;
}

int tfont_text_mode(int iMode)
{
    const int iPrevious = g_tTfont.iTextMode;
    g_tTfont.iTextMode = iMode;
    return iPrevious;
}

TFONT_FONT *tfont_load_font_from_mem(const void *pData, int iSize)
{
    if (!g_tTfont.bInitialised || !pData || iSize <= 0)
        return nullptr;
    TFONT_FONT *ptFont = static_cast<TFONT_FONT *>(calloc(1, sizeof(TFONT_FONT)));
    unsigned char *pCopy = static_cast<unsigned char *>(malloc(static_cast<size_t>(iSize)));
    if (!ptFont || !pCopy) {
        free(ptFont);
        free(pCopy);
        return nullptr;
    }
    memcpy(pCopy, pData, static_cast<size_t>(iSize));
    if (FT_New_Memory_Face(g_tTfont.ptLibrary, pCopy, iSize, 0, &ptFont->face) != 0) {
        free(pCopy);
        free(ptFont);
        return nullptr;
    }
    ptFont->data = pCopy;
    ptFont->data_size = iSize;
    const FT_Face face = ptFont->face;
    ptFont->num_fixed_sizes = FT_IS_SCALABLE(face) ? -1 : face->num_fixed_sizes;
    const int iStrikes = ptFont->num_fixed_sizes > 0 ? ptFont->num_fixed_sizes : 0;
    // Glyph 0 always exists in the cache: unknown characters fall back to it.
    ptFont->num_glyphs = face->num_glyphs > 0 ? static_cast<int>(face->num_glyphs) : 1;
    ptFont->cached_glyphs =
        static_cast<TFONT_GLYPH *>(calloc(static_cast<size_t>(ptFont->num_glyphs), sizeof(TFONT_GLYPH)));
    ptFont->fixed_sizes = static_cast<int *>(malloc((iStrikes + 1) * sizeof(int)));
    if (!ptFont->cached_glyphs || !ptFont->fixed_sizes) {
        tfont_destroy_font(ptFont);
        return nullptr;
    }
    for (int i = 0; i < iStrikes; i++)
        ptFont->fixed_sizes[i] = face->available_sizes[i].height;
    ptFont->fixed_sizes[iStrikes] = -1;
    // A face that cannot take even its first size is of no use to anyone.
    if (tfont_set_font_size(ptFont, iStrikes ? ptFont->fixed_sizes[0] : FIRST_SCALABLE_HEIGHT) != 0) {
        tfont_destroy_font(ptFont);
        return nullptr;
    }
    return ptFont;
}

void tfont_destroy_font(TFONT_FONT *ptFont)
{
    if (!ptFont)
        return;
    if (ptFont->cached_glyphs)
        empty_glyph_cache(ptFont);
    free(ptFont->cached_glyphs);
    free(ptFont->fixed_sizes);
    // tfont_exit already released every face with FreeType itself.
    if (g_tTfont.bInitialised)
        FT_Done_Face(ptFont->face);
    free(ptFont->data);
    free(ptFont);
}

int tfont_set_font_size(TFONT_FONT *ptFont, int h)
{
    assert(ptFont);
    if (h == ptFont->face_h)
        return 0;
    if (h < 1 || h > MAX_PIXEL_SIZE)
        return -1;
    const FT_Face face = ptFont->face;
    int iReal = h;
    int iDirection = 0; // +1 while growing the size, -1 while shrinking it
    for (;;) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(iReal)) != 0)
            return restore_previous_size(ptFont);
        const int iTotal = size_total_height(face);
        if (iTotal == h)
            break;
        if (iDirection == 0) {
            iDirection = iTotal > h ? -1 : 1;
        } else if (iDirection > 0 && iTotal > h) {
            // One size too far: the one before stays at or below h.
            iReal--;
            if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(iReal)) != 0)
                return restore_previous_size(ptFont);
            break;
        } else if (iDirection < 0 && iTotal < h) {
            break;
        }
        iReal += iDirection;
        if (iReal < 1 || iReal > MAX_PIXEL_SIZE)
            return restore_previous_size(ptFont);
    }
    empty_glyph_cache(ptFont);
    ptFont->real_face_h = iReal;
    ptFont->face_h = h;
    ptFont->face_ascender = static_cast<int>(face->size->metrics.ascender >> FIXED_POINT_SHIFT);
    return 0;
}

int tfont_get_font_height(const TFONT_FONT *ptFont)
{
    assert(ptFont);
    return ptFont->face_h;
}

void tfont_set_char_extra_spacing(TFONT_FONT *ptFont, int iSpacing)
{
    assert(ptFont);
    ptFont->ch_spacing = std::clamp(iSpacing, 0, TFONT_MAX_CHAR_SPACING);
}

int tfont_text_length(TFONT_FONT *ptFont, const char *pszText)
{
    if (!ptFont || !pszText)
        return 0;
    int iWidth = 0;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(pszText);
    while (*p) {
        const TFONT_GLYPH *ptGlyph = cache_glyph(ptFont, glyph_index(ptFont, next_character(&p)));
        if (ptGlyph->advance_x)
            iWidth += ptGlyph->advance_x + ptFont->ch_spacing;
    }
    return iWidth;
}

void tfont_textout_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                         int iColor, int iBg)
{
    draw_text(bmp, ptFont, pszText, x, y, iColor, iBg, true);
}

void tfont_textout_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                      int iColor, int iBg)
{
    draw_text(bmp, ptFont, pszText, x, y, iColor, iBg, false);
}

void tfont_textout_aa(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                      int iColor)
{
    draw_text(bmp, ptFont, pszText, x, y, iColor, g_tTfont.iTextMode, true);
}

void tfont_textout(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y, int iColor)
{
    draw_text(bmp, ptFont, pszText, x, y, iColor, g_tTfont.iTextMode, false);
}

void tfont_textout_centre_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x,
                                int y, int iColor, int iBg)
{
    draw_centre(bmp, ptFont, pszText, x, y, iColor, iBg, true);
}

void tfont_textout_centre_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                             int iColor, int iBg)
{
    draw_centre(bmp, ptFont, pszText, x, y, iColor, iBg, false);
}

void tfont_textout_centre_aa(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                             int iColor)
{
    draw_centre(bmp, ptFont, pszText, x, y, iColor, g_tTfont.iTextMode, true);
}

void tfont_textout_centre(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                          int iColor)
{
    draw_centre(bmp, ptFont, pszText, x, y, iColor, g_tTfont.iTextMode, false);
}

void tfont_textout_right_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x,
                               int y, int iColor, int iBg)
{
    draw_right(bmp, ptFont, pszText, x, y, iColor, iBg, true);
}

void tfont_textout_right_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                            int iColor, int iBg)
{
    draw_right(bmp, ptFont, pszText, x, y, iColor, iBg, false);
}

void tfont_textout_right_aa(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                            int iColor)
{
    draw_right(bmp, ptFont, pszText, x, y, iColor, g_tTfont.iTextMode, true);
}

void tfont_textout_right(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                         int iColor)
{
    draw_right(bmp, ptFont, pszText, x, y, iColor, g_tTfont.iTextMode, false);
}

void tfont_textprintf_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor, int iBg,
                         const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_text(bmp, ptFont, szText, x, y, iColor, iBg, false);
}

void tfont_textprintf_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor, int iBg,
                            const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_text(bmp, ptFont, szText, x, y, iColor, iBg, true);
}

void tfont_textprintf_centre_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                                int iBg, const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_centre(bmp, ptFont, szText, x, y, iColor, iBg, false);
}

void tfont_textprintf_centre_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                                   int iBg, const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_centre(bmp, ptFont, szText, x, y, iColor, iBg, true);
}

void tfont_textprintf_right_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                                  int iBg, const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_right(bmp, ptFont, szText, x, y, iColor, iBg, true);
}

void tfont_textprintf(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                      const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_text(bmp, ptFont, szText, x, y, iColor, g_tTfont.iTextMode, false);
}

void tfont_textprintf_aa(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                         const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_text(bmp, ptFont, szText, x, y, iColor, g_tTfont.iTextMode, true);
}

void tfont_textprintf_centre(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                             const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_centre(bmp, ptFont, szText, x, y, iColor, g_tTfont.iTextMode, false);
}

void tfont_textprintf_centre_aa(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                                const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_centre(bmp, ptFont, szText, x, y, iColor, g_tTfont.iTextMode, true);
}

void tfont_textprintf_right_aa(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                               const char *pszFormat, ...)
{
    char szText[TFONT_PRINTF_BUFFER];
    va_list args;
    va_start(args, pszFormat);
    format_text(szText, pszFormat, args);
    va_end(args);
    draw_right(bmp, ptFont, szText, x, y, iColor, g_tTfont.iTextMode, true);
}

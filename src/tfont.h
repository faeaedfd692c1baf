// The TrueType text layer: scalable fonts rendered by FreeType onto Allegro
// bitmaps, anti-aliased or two-level, with a per-glyph cache per font height.
// Text is UTF-8; an invalid byte is drawn as the replacement character.
#pragma once

struct BITMAP;
typedef struct FT_FaceRec_ *FT_Face; // the same handle FreeType's own headers declare

constexpr int TFONT_TRANSPARENT = -1;      // background "colour" that draws no box
constexpr int TFONT_MAX_CHAR_SPACING = 4096; // px, upper limit of the extra spacing
constexpr int TFONT_PRINTF_BUFFER = 512;   // bytes a formatted text is built in (with its zero)

// One glyph, rasterised both ways at the font's current height.
typedef struct _TFONT_GLYPH {
    unsigned char is_cached;   // 1 once both bitmaps below were made at this height
    unsigned char has_mono;    // 1 when mono_bitmap holds the two-level picture
    unsigned char has_aa;      // 1 when aa_bitmap holds the grey picture
    int mono_w, mono_h;        // px, size of the two-level picture
    int mono_left, mono_top;   // px, its offset from the pen (top is upwards)
    unsigned char *mono_bitmap; // mono_w x mono_h bytes, non-zero where the pixel is set
    int aa_w, aa_h;            // px, size of the grey picture
    int aa_left, aa_top;       // px, its offset from the pen (top is upwards)
    unsigned char *aa_bitmap;  // aa_w x aa_h coverage bytes, 0 to 255
    int advance_x, advance_y;  // px the pen moves after the glyph
} TFONT_GLYPH;

// A loaded font, owned by whoever loaded it and freed by tfont_destroy_font.
typedef struct _TFONT_FONT {
    FT_Face face;              // the opened face; it reads `data` for its whole life
    int face_h;                // px, the height last accepted by tfont_set_font_size
    int real_face_h;           // px, the FreeType pixel size that gives face_h
    int face_ascender;         // px, baseline distance below the top of the text
    unsigned char *data;       // the font's own copy of the file bytes
    int data_size;             // bytes in data
    int ch_spacing;            // px added after every glyph that advances; 0 to 4096
    int num_fixed_sizes;       // -1 for a scalable face, else its number of bitmap strikes
    int num_glyphs;            // records in cached_glyphs: the face's glyph count
    TFONT_GLYPH *cached_glyphs; // one record per glyph of the face, by glyph index
    int *fixed_sizes;          // px heights of the strikes, ended by -1
} TFONT_FONT;

// 0 on success (also when already initialised), non-zero when FreeType fails.
int tfont_init();
// Releases FreeType; nothing when not initialised. Every font must be destroyed first.
void tfont_exit();
// Sets the background of the forms without _ex (a colour, or -1); gives the previous one.
int tfont_text_mode(int iMode);

// A new font from a font file's bytes, which are copied: the caller may free
// pData at once. Null when memory runs out, the layer is not initialised or
// FreeType rejects the bytes. The font starts 8 pixels high.
TFONT_FONT *tfont_load_font_from_mem(const void *pData, int iSize);
// Frees everything the font holds and the font itself; null is accepted.
void tfont_destroy_font(TFONT_FONT *ptFont);

// Chooses the FreeType size whose ascender plus descender is h pixels, or the
// nearest below. 0 on success, -1 when h < 1 or cannot be reached (the previous
// height stays in force). A new height empties the glyph cache.
int tfont_set_font_size(TFONT_FONT *ptFont, int h);
int tfont_get_font_height(const TFONT_FONT *ptFont);
void tfont_set_char_extra_spacing(TFONT_FONT *ptFont, int iSpacing); // clamped to 0..4096

// Width in pixels: the advances of the text's glyphs plus the extra spacing.
int tfont_text_length(TFONT_FONT *ptFont, const char *pszText);

// Text with its top-left corner at (x, y); bg -1 is transparent, else the
// colour of a box as high as the font and as wide as the text.
void tfont_textout_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                         int iColor, int iBg);
void tfont_textout_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                      int iColor, int iBg);
void tfont_textout_aa(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                      int iColor);
void tfont_textout(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y, int iColor);

// x is the centre of the text (its half width truncated towards zero).
void tfont_textout_centre_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x,
                                int y, int iColor, int iBg);
void tfont_textout_centre_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                             int iColor, int iBg);
void tfont_textout_centre_aa(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                             int iColor);
void tfont_textout_centre(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                          int iColor);

// x is the right end of the text.
void tfont_textout_right_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x,
                               int y, int iColor, int iBg);
void tfont_textout_right_ex(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                            int iColor, int iBg);
void tfont_textout_right_aa(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                            int iColor);
void tfont_textout_right(BITMAP *bmp, TFONT_FONT *ptFont, const char *pszText, int x, int y,
                         int iColor);

// printf-style forms: the text is formatted into TFONT_PRINTF_BUFFER bytes
// (longer results are cut at a whole character), then drawn as above.
#define TFONT_PRINTF_CHECK(fmt, args) __attribute__((format(printf, fmt, args)))
void tfont_textprintf_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor, int iBg,
                         const char *pszFormat, ...) TFONT_PRINTF_CHECK(7, 8);
void tfont_textprintf_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor, int iBg,
                            const char *pszFormat, ...) TFONT_PRINTF_CHECK(7, 8);
void tfont_textprintf_centre_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                                int iBg, const char *pszFormat, ...) TFONT_PRINTF_CHECK(7, 8);
void tfont_textprintf_centre_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                                   int iBg, const char *pszFormat, ...) TFONT_PRINTF_CHECK(7, 8);
void tfont_textprintf_right_aa_ex(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                                  int iBg, const char *pszFormat, ...) TFONT_PRINTF_CHECK(7, 8);
void tfont_textprintf(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                      const char *pszFormat, ...) TFONT_PRINTF_CHECK(6, 7);
void tfont_textprintf_aa(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                         const char *pszFormat, ...) TFONT_PRINTF_CHECK(6, 7);
void tfont_textprintf_centre(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                             const char *pszFormat, ...) TFONT_PRINTF_CHECK(6, 7);
void tfont_textprintf_centre_aa(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                                const char *pszFormat, ...) TFONT_PRINTF_CHECK(6, 7);
void tfont_textprintf_right_aa(BITMAP *bmp, TFONT_FONT *ptFont, int x, int y, int iColor,
                               const char *pszFormat, ...) TFONT_PRINTF_CHECK(6, 7);
#undef TFONT_PRINTF_CHECK

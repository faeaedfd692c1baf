// The TrueType text layer on memory bitmaps with the game's two real faces:
// widths against FreeType's own advances, the height search, the two kinds of
// output, alignment, clipping, formatting limits and invalid UTF-8.
#include "datafile_builder.h"
#include "headless.h"
#include "tfont.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {
const char *const CRACKHOUSE_FILE = "/usr/share/fonts/opentype/bebas-neue/BebasNeue-Bold.otf";

// Distinct colours on a bitmap, and the rows that hold every pixel not of iBg.
struct Drawn { std::set<int> sColours; int iTop = INT32_MAX, iBottom = -1; };
Drawn inspect(BITMAP *bmp, int iBg)
{
    Drawn tDrawn;
    for (int y = 0; y < bmp->h; y++)
        for (int x = 0; x < bmp->w; x++) {
            const int c = getpixel(bmp, x, y);
            tDrawn.sColours.insert(c);
            if (c == iBg)
                continue;
            tDrawn.iTop = std::min(tDrawn.iTop, y);
            tDrawn.iBottom = std::max(tDrawn.iBottom, y);
        }
    return tDrawn;
}

// The count of pixels that differ between two bitmaps of one size, which are
// then cleared to black for the next comparison.
int take_differences(BITMAP *a, BITMAP *b)
{
    const int iDifferent = differing_pixels(a, b);
    clear_to_color(a, makecol(0, 0, 0));
    clear_to_color(b, makecol(0, 0, 0));
    return iDifferent;
}
} // namespace

class Tfont : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        ASSERT_EQ(tfont_init(), 0);
        ptFutura = load_test_font();
        ptCrackhouse = load_test_font(CRACKHOUSE_FILE);
        ASSERT_TRUE(ptFutura && ptCrackhouse);
        tfont_text_mode(TFONT_TRANSPARENT);
        bmpA = create_bitmap(400, 120);
        bmpB = create_bitmap(400, 120);
        take_differences(bmpA, bmpB);
    }
    void TearDown() override
    {
        destroy_bitmap(bmpA);
        destroy_bitmap(bmpB);
        tfont_destroy_font(ptFutura);
        tfont_destroy_font(ptCrackhouse);
        tfont_exit();
        HeadlessAllegro::TearDown();
    }
    static int iBlack() { return makecol(0, 0, 0); }
    static int iWhite() { return makecol(255, 255, 255); }
    TFONT_FONT *ptFutura = nullptr;
    TFONT_FONT *ptCrackhouse = nullptr;
    BITMAP *bmpA = nullptr;
    BITMAP *bmpB = nullptr;
};

// Against FreeType used directly on the same file: the height is exactly h
// when some size gives it, else the tallest below; the width is the sum of the
// advances plus the extra spacing (clamped to 0..4096) once per glyph. A
// height below 1 is refused and leaves the last one.
TEST_F(Tfont, HeightSearchGivesTheTallestSizeThatFitsAndWidthsAreFreeTypesAdvances)
{
    FT_Library ptLibrary = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&ptLibrary), 0);
    for (const char *pszFile : {FUTURA_FILE, CRACKHOUSE_FILE}) {
        TFONT_FONT *ptFont = pszFile == FUTURA_FILE ? ptFutura : ptCrackhouse;
        FT_Face face = nullptr;
        ASSERT_EQ(FT_New_Face(ptLibrary, pszFile, 0, &face), 0);
        auto total_height = [face](int iPixels) {
            FT_Set_Pixel_Sizes(face, 0, iPixels);
            return static_cast<int>(face->size->metrics.ascender >> 6) -
                   static_cast<int>(face->size->metrics.descender >> 6);
        };
        for (int h = 4; h <= 120; h++) {
            ASSERT_EQ(tfont_set_font_size(ptFont, h), 0) << h;
            EXPECT_EQ(tfont_get_font_height(ptFont), h);
            const int iReal = ptFont->real_face_h;
            EXPECT_LE(total_height(iReal), h) << pszFile << " " << h;
            EXPECT_EQ(ptFont->face_ascender, static_cast<int>(face->size->metrics.ascender >> 6));
            if (total_height(iReal) < h) {
                EXPECT_GT(total_height(iReal + 1), h) << pszFile << " " << h;
            }
        }
        FT_Set_Pixel_Sizes(face, 0, ptFont->real_face_h);
        int iWidth = 0;
        for (const char *p = "Tarvelix"; *p; p++) {
            FT_Load_Char(face, static_cast<unsigned char>(*p), FT_LOAD_DEFAULT);
            iWidth += static_cast<int>(face->glyph->advance.x >> 6);
        }
        EXPECT_GT(iWidth, 120) << "a real word is wider than it is high";
        const std::pair<int, int> aSpacings[] = {{3, 3}, {5000, 4096}, {-3, 0}, {0, 0}}; // asked, stored
        for (const auto &[iAsked, iStored] : aSpacings) {
            tfont_set_char_extra_spacing(ptFont, iAsked);
            EXPECT_EQ(tfont_text_length(ptFont, "Tarvelix"), iWidth + 8 * iStored) << pszFile << " " << iAsked;
        }
        for (int iBad : {0, -500})
            EXPECT_EQ(tfont_set_font_size(ptFont, iBad), -1) << iBad;
        EXPECT_EQ(tfont_get_font_height(ptFont), 120);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(ptLibrary);
}

// The box is exactly as wide as the text and as high as the font, and the ink
// stays inside it; two-level text adds only the text colour, anti-aliased text
// shades between the two colours, never towards black. The forms without _ex
// follow the global mode.
TEST_F(Tfont, BackgroundBoxHoldsTheTextInTwoColoursOrInShades)
{
    const int iBg = makecol(0, 90, 0), x = 5, y = 30;
    for (TFONT_FONT *ptFont : {ptFutura, ptCrackhouse})
        for (int h : {15, 32, 70}) {
            ASSERT_EQ(tfont_set_font_size(ptFont, h), 0);
            const int w = tfont_text_length(ptFont, "Hdgjpqy");
            ASSERT_LT(x + w, bmpA->w);
            for (auto pfnDraw : {tfont_textout_aa_ex, tfont_textout_ex}) {
                pfnDraw(bmpA, ptFont, "Hdgjpqy", x, y, iWhite(), iBg);
                EXPECT_EQ(getpixel(bmpA, x, y), iBg);
                EXPECT_EQ(getpixel(bmpA, x + w - 1, y + h - 1), iBg);
                EXPECT_EQ(getpixel(bmpA, x - 1, y), iBlack());
                EXPECT_EQ(getpixel(bmpA, x + w, y), iBlack());
                const Drawn tDrawn = inspect(bmpA, iBlack());
                EXPECT_EQ(tDrawn.iTop, y) << h;
                EXPECT_EQ(tDrawn.iBottom, y + h - 1) << h;
                EXPECT_TRUE(tDrawn.sColours.count(iWhite())) << "solid pixels are the text colour";
                if (pfnDraw == tfont_textout_ex)
                    EXPECT_EQ(tDrawn.sColours, (std::set<int>{iBlack(), iBg, iWhite()})) << h;
                else
                    EXPECT_GE(tDrawn.sColours.size(), 10u) << "edges are shaded at height " << h;
                for (int c : tDrawn.sColours)
                    if (c != iBlack()) {
                        EXPECT_EQ(getr(c), getb(c)) << std::hex << c;
                        EXPECT_GE(getg(c), 90) << std::hex << c;
                    }
                take_differences(bmpA, bmpB);
            }
        }
    tfont_textout_ex(bmpA, ptFutura, "", x, y, iWhite(), iBg); // empty text draws not even its box
    EXPECT_EQ(inspect(bmpA, iBlack()).iBottom, -1);
    EXPECT_EQ(tfont_text_mode(iBg), TFONT_TRANSPARENT);
    tfont_textout_aa(bmpA, ptFutura, "T", x, y, iWhite());
    EXPECT_EQ(getpixel(bmpA, x, y), iBg);
    EXPECT_EQ(tfont_text_mode(TFONT_TRANSPARENT), iBg);
}

// x is the centre (the half width truncated) or the right end of the text.
TEST_F(Tfont, CentredAndRightAlignedTextIsTheLeftTextMoved)
{
    using Form = void (*)(BITMAP *, TFONT_FONT *, const char *, int, int, int);
    struct Case { Form pfnDraw, pfnLeft; bool bCentre; };
    const Case aForms[] = {{tfont_textout_centre_aa, tfont_textout_aa, true},
                  {tfont_textout_centre, tfont_textout, true},
                  {tfont_textout_right_aa, tfont_textout_aa, false},
                  {tfont_textout_right, tfont_textout, false}};
    for (const char *pszText : {"Tarvelix", "¿Jugar otra vez?", "i"})
        for (TFONT_FONT *ptFont : {ptFutura, ptCrackhouse}) {
            ASSERT_EQ(tfont_set_font_size(ptFont, 32), 0);
            const int w = tfont_text_length(ptFont, pszText);
            for (const auto &f : aForms) {
                f.pfnDraw(bmpA, ptFont, pszText, 200, 40, iWhite());
                f.pfnLeft(bmpB, ptFont, pszText, 200 - (f.bCentre ? w / 2 : w), 40, iWhite());
                ASSERT_TRUE(inspect(bmpA, iBlack()).sColours.count(iWhite())) << pszText;
                EXPECT_EQ(take_differences(bmpA, bmpB), 0) << pszText;
            }
        }
}

// "ñ" is two bytes: one that would straddle the end of the buffer is left out
// whole; the two-level form shares the buffer; arguments format as printf's.
TEST_F(Tfont, FormattedTextIsCutAtTheBufferWithoutOverflow)
{
    ASSERT_EQ(tfont_set_font_size(ptFutura, 8), 0);
    BITMAP *bmpWide1 = create_bitmap(8000, 12);
    BITMAP *bmpWide2 = create_bitmap(8000, 12);
    take_differences(bmpWide1, bmpWide2);
    const int iKept = TFONT_PRINTF_BUFFER - 1;
    const std::string sLong(iKept + 300, 'l');
    const std::string sStraddle = std::string(iKept - 1, 'l') + "ñ" + "lll";
    const std::string sFitsExactly = std::string(iKept - 2, 'l') + "ñ";
    const std::pair<std::string, std::string> aCases[] = {
        {sLong, sLong.substr(0, iKept)}, {sStraddle, sStraddle.substr(0, iKept - 1)}, {sFitsExactly, sFitsExactly}};
    for (const auto &[sText, sExpected] : aCases) {
        tfont_textprintf_aa(bmpWide1, ptFutura, 0, 0, iWhite(), "%s", sText.c_str());
        tfont_textout_aa(bmpWide2, ptFutura, sExpected.c_str(), 0, 0, iWhite());
        EXPECT_EQ(take_differences(bmpWide1, bmpWide2), 0) << sText.size();
        tfont_textprintf_ex(bmpWide1, ptFutura, 0, 0, iWhite(), -1, "%s", sText.c_str());
        tfont_textout_ex(bmpWide2, ptFutura, sExpected.c_str(), 0, 0, iWhite(), -1);
        EXPECT_EQ(take_differences(bmpWide1, bmpWide2), 0) << sText.size();
    }
    tfont_textprintf_right_aa(bmpWide1, ptFutura, 500, 0, iWhite(), "%d%% %s", 50, "vol");
    tfont_textout_right_aa(bmpWide2, ptFutura, "50% vol", 500, 0, iWhite());
    EXPECT_EQ(take_differences(bmpWide1, bmpWide2), 0);
    destroy_bitmap(bmpWide1);
    destroy_bitmap(bmpWide2);
}

TEST_F(Tfont, InvalidUtf8IsDrawnAsReplacementCharacters)
{
    ASSERT_EQ(tfont_set_font_size(ptFutura, 20), 0);
    const std::string R = "\xEF\xBF\xBD";
    const std::pair<const char *, std::string> aCases[] = {
        {"A\x80" "B", "A" + R + "B"},            // lone continuation byte
        {"A\xC3", "A" + R},                      // cut at the end
        {"\xC3(", R + "("},                      // lead without continuation
        {"\xC0\xAF", R + R},                     // overlong "/"
        {"\xED\xA0\x80", R + R + R},             // surrogate
        {"\xF4\x90\x80\x80", R + R + R + R},     // past the last code point
        {"\xE2\x82", R + R},                     // cut three-byte sequence
        {"a\xC3\xB1" "b", "añb"},                // valid, for contrast
    };
    for (const auto &[pszBytes, sSameAs] : aCases) {
        EXPECT_EQ(tfont_text_length(ptFutura, pszBytes), tfont_text_length(ptFutura, sSameAs.c_str())) << sSameAs;
        tfont_textout_aa(bmpA, ptFutura, pszBytes, 10, 10, iWhite());
        tfont_textout_aa(bmpB, ptFutura, sSameAs.c_str(), 10, 10, iWhite());
        EXPECT_EQ(take_differences(bmpA, bmpB), 0) << sSameAs;
    }
}

// Bytes FreeType rejects give no font, nor does any while the layer is down;
// a font keeps its own copy of the bytes.
TEST_F(Tfont, RejectedBytesGiveNoFontAndTheFontKeepsItsOwnCopy)
{
    std::string sBytes = datafile_builder::read_file(FUTURA_FILE);
    const std::string sText = "not a font at all";
    EXPECT_EQ(tfont_load_font_from_mem(sText.data(), static_cast<int>(sText.size())), nullptr);
    EXPECT_EQ(tfont_load_font_from_mem(sBytes.data(), 64), nullptr); // only the header
    EXPECT_EQ(tfont_load_font_from_mem(nullptr, 100), nullptr);
    TFONT_FONT *ptFont = tfont_load_font_from_mem(sBytes.data(), static_cast<int>(sBytes.size()));
    ASSERT_NE(ptFont, nullptr);
    EXPECT_EQ(tfont_get_font_height(ptFont), 8);
    sBytes.assign(sBytes.size(), '\0');
    ASSERT_EQ(tfont_set_font_size(ptFont, 32), 0);
    ASSERT_EQ(tfont_set_font_size(ptFutura, 32), 0);
    tfont_textout_aa(bmpA, ptFont, "Tarvelix", 10, 10, iWhite());
    tfont_textout_aa(bmpB, ptFutura, "Tarvelix", 10, 10, iWhite());
    EXPECT_EQ(take_differences(bmpA, bmpB), 0);
    tfont_destroy_font(ptFont);
    tfont_destroy_font(nullptr);
    tfont_destroy_font(ptFutura);
    tfont_destroy_font(ptCrackhouse);
    ptFutura = ptCrackhouse = nullptr;
    tfont_exit();
    EXPECT_EQ(load_test_font(), nullptr);
}

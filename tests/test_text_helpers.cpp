// Shadowed and bold text and the volume slider on memory bitmaps: the black
// copies sit exactly at their offsets under the text, text is printed
// literally, and the slider's knob and label follow iChange.
#include "headless.h"
#include "tfont.h"
#include "utils.h"

namespace {
struct Offset { int iDX, iDY; };
const std::vector<Offset> vShadow = {{3, 3}};
const std::vector<Offset> vBold = {{-4, -4}, {-4, 4}, {4, -4}, {4, 4}};

using Helper = void (*)(BITMAP *, TFONT_FONT *, int, int, int, const char *);
using Plain = void (*)(BITMAP *, TFONT_FONT *, const char *, int, int, int);
} // namespace

class TextHelpers : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        ASSERT_EQ(tfont_init(), 0);
        ptFont = load_test_font();
        ASSERT_NE(ptFont, nullptr);
        ASSERT_EQ(tfont_set_font_size(ptFont, 30), 0);
        tfont_text_mode(TFONT_TRANSPARENT);
        iBg = makecol(90, 90, 90);
        iText = makecol(255, 255, 255);
        bmpOut = create_bitmap(500, 100);
        bmpMask = create_bitmap(500, 100);
    }
    void TearDown() override
    {
        destroy_bitmap(bmpOut);
        destroy_bitmap(bmpMask);
        tfont_destroy_font(ptFont);
        tfont_exit();
        HeadlessAllegro::TearDown();
    }
    // The mask pixel at (x, y), or the background outside the bitmap.
    int mask_at(int x, int y) const
    {
        return x < 0 || y < 0 || x >= bmpMask->w || y >= bmpMask->h ? iBg : getpixel(bmpMask, x, y);
    }
    TFONT_FONT *ptFont = nullptr;
    BITMAP *bmpOut = nullptr;  // what the helper drew
    BITMAP *bmpMask = nullptr; // the text alone, drawn once where the helper's text goes
    int iBg = 0, iText = 0;
};

TEST_F(TextHelpers, BlackCopiesLieExactlyAtTheirOffsetsUnderTheText)
{
    // pfnPlain: the same alignment and rendering without copies.
    struct Case { const char *pszName; Helper pfnHelper; Plain pfnPlain; const std::vector<Offset> *pvCopies; };
    const Case aCases[] = {
        {"shadow", textprintf_shadow, tfont_textout_aa, &vShadow},
        {"centre_shadow", textprintf_centre_shadow, tfont_textout_centre_aa, &vShadow},
        {"right_shadow", textprintf_right_shadow, tfont_textout_right_aa, &vShadow},
        {"bold", textprintf_bold, tfont_textout_aa, &vBold},
        {"centre_bold", textprintf_centre_bold, tfont_textout_centre_aa, &vBold},
        {"right_bold_aa", textprintf_right_bold_aa, tfont_textout_right_aa, &vBold},
        {"bold_no_aa", textprintf_bold_no_aa, tfont_textout, &vBold},
        {"centre_bold_no_aa", textprintf_centre_bold_no_aa, tfont_textout_centre, &vBold},
    };
    // Format directives in the text must come out as they are written.
    const char *const TEXT = "Gol 100% %s %d";
    const int x = 250, y = 30;
    for (const Case &c : aCases) {
        clear_to_color(bmpOut, iBg);
        clear_to_color(bmpMask, iBg);
        c.pfnHelper(bmpOut, ptFont, x, y, iText, TEXT);
        c.pfnPlain(bmpMask, ptFont, TEXT, x, y, iText);
        int iBlackSeen = 0, iTextSeen = 0;
        for (int py = 0; py < bmpOut->h; py++)
            for (int px = 0; px < bmpOut->w; px++) {
                const int iGot = getpixel(bmpOut, px, py);
                if (mask_at(px, py) == iText) { // the text is drawn last, over every copy
                    ASSERT_EQ(iGot, iText) << c.pszName << " at " << px << "," << py;
                    iTextSeen++;
                    continue;
                }
                if (mask_at(px, py) != iBg)
                    continue; // an anti-aliased edge of the text itself
                bool bCovered = false, bTouched = false;
                for (const Offset &o : *c.pvCopies) {
                    bCovered |= mask_at(px - o.iDX, py - o.iDY) == iText;
                    bTouched |= mask_at(px - o.iDX, py - o.iDY) != iBg;
                }
                if (bCovered) {
                    ASSERT_EQ(iGot, makecol(0, 0, 0)) << c.pszName << " at " << px << "," << py;
                    iBlackSeen++;
                } else if (!bTouched) {
                    ASSERT_EQ(iGot, iBg) << c.pszName << " at " << px << "," << py;
                }
            }
        EXPECT_GT(iBlackSeen, 100) << c.pszName;
        EXPECT_GT(iTextSeen, 100) << c.pszName;
    }
}

// The knob stands at iX1 + (iX2 - iX1) * iChange / 255: taller centre columns
// at k-3 and k-2 in the line colour, light edges at k-4 and k-1, nothing beside;
// the label (the knob's percentage, or MUTE at 0%) is white over its black
// shadow right of the track.
TEST_F(TextHelpers, SliderKnobAndLabelFollowTheSetting)
{
    struct Case { int iX1, iX2, iChange, iKnob; const char *pszLabel; }; // the knob's place and label wanted
    const Case aCases[] = {
        {100, 300, 0, 100, "MUTE"},   {100, 300, 255, 300, "100%"}, {100, 300, 1, 100, "MUTE"},
        {100, 300, 128, 200, "50%"},  {100, 355, 128, 228, "50%"},  {100, 300, 2, 101, "MUTE"},
        {100, 300, 3, 102, "1%"},     {150, 150, 255, 150, "100%"}, {150, 150, 0, 150, "MUTE"},
    };
    const int iY = 60, iBar = 8, iColor = makecol(200, 40, 40), iEdge = makecol(158, 251, 253);
    BITMAP *bmpLabel = create_bitmap(500, 100);
    for (const auto &c : aCases)
        for (int iStatus : {1, 0}) {
            SCOPED_TRACE(testing::Message() << c.iChange << " on " << c.iX1 << ".." << c.iX2 << " status " << iStatus);
            const int iLine = iStatus ? iColor : makecol(46, 244, 244);
            clear_to_color(bmpOut, iBg);
            slide_bar(bmpOut, ptFont, c.iX1, c.iX2, iY, iBar, iColor, c.iChange, iStatus);
            // Columns left of k, their top row and their colour.
            const std::array<int, 3> aColumns[] = {{4, iY - iBar, iEdge},     {1, iY - iBar, iEdge},
                                                   {3, iY - iBar - 1, iLine}, {2, iY - iBar - 1, iLine},
                                                   {5, iY - iBar - 2, iBg},   {0, iY - iBar - 2, iBg}};
            for (const auto &[iLeftOfK, iTop, iWant] : aColumns) {
                EXPECT_EQ(getpixel(bmpOut, c.iKnob - iLeftOfK, iTop), iWant) << "k-" << iLeftOfK;
                EXPECT_EQ(getpixel(bmpOut, c.iKnob - iLeftOfK, 2 * iY - iTop), iWant) << "k-" << iLeftOfK;
                EXPECT_EQ(getpixel(bmpOut, c.iKnob - iLeftOfK, iTop - 1), iBg) << "k-" << iLeftOfK;
            }
            clear_to_color(bmpLabel, iBg);
            blit(bmpOut, bmpLabel, 0, 0, 0, 0, c.iX2 + 2, bmpOut->h);
            tfont_textout_aa(bmpLabel, ptFont, c.pszLabel, c.iX2 + 16, iY - 19, makecol(0, 0, 0));
            tfont_textout_aa(bmpLabel, ptFont, c.pszLabel, c.iX2 + 15, iY - 20, makecol(255, 255, 255));
            EXPECT_EQ(differing_pixels(bmpOut, bmpLabel), 0) << c.pszLabel;
        }
    destroy_bitmap(bmpLabel);
}

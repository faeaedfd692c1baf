// Translucent discs and coverage maps give exactly the library's translucent
// drawing, at every size, opacity and clipped position.
#include "headless.h"
#include "trans_draw.h"

namespace {
class TransDraw : public HeadlessAllegro {
  protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        bmpOurs = create_bitmap(71, 53);
        bmpLibrary = create_bitmap(71, 53);
    }
    void TearDown() override
    {
        destroy_bitmap(bmpOurs);
        destroy_bitmap(bmpLibrary);
        HeadlessAllegro::TearDown();
    }
    // The same random picture in both bitmaps, both clipped to an inner rectangle.
    void fill_both()
    {
        for (int y = 0; y < bmpOurs->h; y++)
            for (int x = 0; x < bmpOurs->w; x++)
                putpixel(bmpOurs, x, y, random_colour());
        blit(bmpOurs, bmpLibrary, 0, 0, 0, 0, bmpOurs->w, bmpOurs->h);
        for (BITMAP *bmp : {bmpOurs, bmpLibrary})
            set_clip_rect(bmp, 3, 2, bmp->w - 5, bmp->h - 4);
    }
    int random_colour() { return static_cast<int>(tRandom() & 0xFFFFFF); }
    BITMAP *bmpOurs = nullptr, *bmpLibrary = nullptr;
    std::mt19937 tRandom{11};
};
} // namespace

TEST_F(TransDraw, DiscsMatchTheLibrarysTranslucentCirclefill)
{
    // Centres inside, on the clip edges and outside; radii from a dot to wider
    // than the bitmap; opacities at both ends and between.
    const int aiCentreX[] = {35, 3, -6, 66, 90};
    const int aiCentreY[] = {26, 1, 50, -20};
    const int aiAlpha[] = {0, 1, 128, 254, 255};
    for (int iRadius = 0; iRadius <= 45; iRadius++) {
        fill_both();
        for (int iX : aiCentreX) {
            for (int iY : aiCentreY) {
                const int iColour = random_colour(), iAlpha = aiAlpha[tRandom() % 5];
                trans_circlefill(bmpOurs, iX, iY, iRadius, iColour, iAlpha);
                drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
                set_trans_blender(0, 0, 0, iAlpha);
                circlefill(bmpLibrary, iX, iY, iRadius, iColour);
                solid_mode();
            }
        }
        ASSERT_EQ(differing_pixels(bmpOurs, bmpLibrary), 0) << "radius " << iRadius;
    }
}

TEST_F(TransDraw, CoverageMapsMatchTheLibrarysPixelByPixelBlending)
{
    const int iWidth = 23, iHeight = 17;
    unsigned char acCoverage[iWidth * iHeight];
    const struct { int iX, iY; } atCorners[] = {{10, 10}, {-8, -5}, {60, 45}, {1, 40}};
    for (const auto &c : atCorners) {
        fill_both();
        for (unsigned char &v : acCoverage) {
            const unsigned iDraw = tRandom() % 4; // none, full and partial cover all occur
            v = static_cast<unsigned char>(iDraw == 0 ? 0 : iDraw == 1 ? 255 : tRandom() % 256);
        }
        const int iColour = random_colour();
        draw_coverage(bmpOurs, acCoverage, iWidth, iHeight, c.iX, c.iY, iColour);
        for (int y = 0; y < iHeight; y++) {
            for (int x = 0; x < iWidth; x++) {
                const int v = acCoverage[y * iWidth + x];
                drawing_mode(v == 255 ? DRAW_MODE_SOLID : DRAW_MODE_TRANS, nullptr, 0, 0);
                set_trans_blender(0, 0, 0, v);
                if (v)
                    putpixel(bmpLibrary, c.iX + x, c.iY + y, iColour);
            }
        }
        solid_mode();
        EXPECT_EQ(differing_pixels(bmpOurs, bmpLibrary), 0) << "corner " << c.iX << "," << c.iY;
    }
}

// A masked copy gives exactly the library's sprite drawing: mask-coloured
// pixels skipped, offsets clipped at every edge, mirrored or not.
#include "headless.h"
#include "masked_copy.h"

namespace {
class MaskedCopy : public HeadlessAllegro {};
} // namespace

TEST_F(MaskedCopy, MatchesTheLibrarysSpriteDrawing)
{
    BITMAP *bmpFrame = create_bitmap(103, 61); // odd sizes: rows end between vector steps
    BITMAP *bmpOurs = create_bitmap(97, 67);
    BITMAP *bmpLibrary = create_bitmap(97, 67);
    std::mt19937 tRandom(5);
    const int iMask = bitmap_mask_color(bmpFrame);
    const struct { int iX, iY; } atOffsets[] = {{0, 0}, {3, -2}, {-5, 4}, {-1, 9}, {90, 60}, {-102, 0}, {200, 0}};
    for (bool bFlip : {false, true}) {
        for (const auto &o : atOffsets) {
            for (int y = 0; y < bmpFrame->h; y++)
                for (int x = 0; x < bmpFrame->w; x++)
                    putpixel(bmpFrame, x, y, tRandom() % 4 == 0 ? iMask : int(tRandom() & 0xFFFFFF));
            for (int y = 0; y < bmpOurs->h; y++)
                for (int x = 0; x < bmpOurs->w; x++)
                    putpixel(bmpOurs, x, y, int(tRandom() & 0xFFFFFF));
            set_clip_rect(bmpOurs, 2, 1, bmpOurs->w - 3, bmpOurs->h - 2);
            blit(bmpOurs, bmpLibrary, 0, 0, 0, 0, bmpOurs->w, bmpOurs->h);
            set_clip_rect(bmpLibrary, 2, 1, bmpLibrary->w - 3, bmpLibrary->h - 2);
            draw_masked_copy(bmpOurs, bmpFrame, o.iX, o.iY, bFlip);
            if (bFlip)
                draw_sprite_h_flip(bmpLibrary, bmpFrame, o.iX, o.iY);
            else
                draw_sprite(bmpLibrary, bmpFrame, o.iX, o.iY);
            EXPECT_EQ(differing_pixels(bmpOurs, bmpLibrary), 0)
                << "offset " << o.iX << "," << o.iY << (bFlip ? " mirrored" : "");
        }
    }
    destroy_bitmap(bmpFrame);
    destroy_bitmap(bmpOurs);
    destroy_bitmap(bmpLibrary);
}

// Drawing helpers and fades on memory bitmaps: centring, colour conversion,
// and fades that always end on their exact final picture.
#include "fade.h"
#include "headless.h"
#include "main.h"
#include "utils.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {
BITMAP *make_picture(int w, int h, int iColour)
{
    BITMAP *bmp = create_bitmap(w, h);
    clear_to_color(bmp, iColour);
    return bmp;
}
} // namespace

class Drawing : public HeadlessAllegro {};

TEST_F(Drawing, ChangeColor24GivesTheSameColourAtEveryDepth)
{
    const Rgb atColours[] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}};
    for (int iDepth : {15, 16, 24, 32}) {
        SetUpDepth(iDepth);
        for (const Rgb &c : atColours) {
            // Colours are read from hexadecimal text in the 24-bit layout.
            putpixel(screen, 0, 0, change_color24(makecol24(c.r, c.g, c.b)));
            const Rgb tGot = pixel_rgb(screen, 0, 0);
            // 15 and 16 bits keep the top bits of each component.
            const int iTolerance = iDepth <= 16 ? 7 : 0;
            EXPECT_NEAR(tGot.r, c.r, iTolerance) << iDepth << " " << c;
            EXPECT_NEAR(tGot.g, c.g, iTolerance) << iDepth << " " << c;
            EXPECT_NEAR(tGot.b, c.b, iTolerance) << iDepth << " " << c;
        }
    }
}

TEST_F(Drawing, CentredSpritesTruncateTheHalfSizes)
{
    BITMAP *bmpSprite = make_picture(5, 3, makecol(255, 255, 0));
    draw_sprite_centre(screen, bmpSprite, 100, 50);
    // 5 by 3 centred on (100, 50): top-left (98, 49), bottom-right (102, 51).
    EXPECT_EQ(pixel_rgb(screen, 98, 49), (Rgb{255, 255, 0}));
    EXPECT_EQ(pixel_rgb(screen, 102, 51), (Rgb{255, 255, 0}));
    EXPECT_EQ(pixel_rgb(screen, 97, 49), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel_rgb(screen, 103, 51), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel_rgb(screen, 98, 48), (Rgb{0, 0, 0}));

    stretch_sprite_centre(screen, bmpSprite, 300, 300, 41, 21);
    EXPECT_EQ(pixel_rgb(screen, 280, 290), (Rgb{255, 255, 0}));
    EXPECT_EQ(pixel_rgb(screen, 279, 290), (Rgb{0, 0, 0}));
    EXPECT_EQ(pixel_rgb(screen, 280, 289), (Rgb{0, 0, 0}));
    destroy_bitmap(bmpSprite);
    EXPECT_EQ(odd(3), 1);
    EXPECT_EQ(odd(-4), 0);
}

TEST_F(Drawing, FadesEndOnTheirExactFinalPicture)
{
    struct Case {
        int iDepth, iTotalTime;
        bool bToColour;
    };
    const Case aCases[] = {
        {32, 1000, true}, {32, 1000, false}, {24, 300, true}, {16, 300, false},
        {32, 0, true},    {32, 0, false},    {32, -5, true},
    };
    for (const Case &c : aCases) {
        SetUpDepth(c.iDepth);
        const int iBlue = makecol(40, 90, 230);
        const int iPink = makecol(255, 0, 255); // transparent: the screen shows through
        BITMAP *bmp = make_picture(64, 32, iBlue);
        putpixel(bmp, 5, 5, iPink);
        clear_to_color(screen, makecol(10, 200, 10));
        const int iFadeColour = makecol(0, 0, 0);
        {
            ClockFeeder tFeeder(7); // the clock runs far faster than real time
            if (c.bToColour)
                fade_to_color(bmp, c.iTotalTime, 100, 200, iFadeColour);
            else
                fade_from_color(bmp, c.iTotalTime, 100, 200, iFadeColour);
        }
        const Rgb tExpected = c.bToColour ? Rgb{0, 0, 0} : pixel_rgb(bmp, 0, 0);
        const std::string sCase = "depth " + std::to_string(c.iDepth) + " time " +
                                  std::to_string(c.iTotalTime) + (c.bToColour ? " to" : " from");
        EXPECT_EQ(pixel_rgb(screen, 100, 200), tExpected) << sCase;
        EXPECT_EQ(pixel_rgb(screen, 163, 231), tExpected) << sCase;
        // The transparent pixel and the pixel just past the picture still show the background.
        const Rgb tBackground = pixel_rgb(screen, 99, 200);
        EXPECT_EQ(pixel_rgb(screen, 105, 205), tBackground) << sCase;
        EXPECT_EQ(pixel_rgb(screen, 164, 231), tBackground) << sCase;
        destroy_bitmap(bmp);
    }
}

using FatalMessageDeathTest = HeadlessAllegro;

TEST_F(FatalMessageDeathTest, MessageIsShownLiterallyAndExitsWith255)
{
    EXPECT_EXIT(error_message("100% %s %d %n done"), ::testing::ExitedWithCode(255),
                "100% %s %d %n done");
    EXPECT_EXIT(notification_message("No se pudo leer %x desde el XML."),
                ::testing::ExitedWithCode(255), "No se pudo leer %x desde el XML\\.");
}

TEST(StartUp, GraphicsDepthsAreTriedInOrderUntilOneWorks)
{
    struct Case {
        std::vector<int> vAccepted;
        int iExpected;
        std::vector<int> vTried;
    };
    const Case aCases[] = {
        {{24, 32, 16, 15}, 24, {24}},
        {{16}, 16, {24, 32, 16}},
        {{15}, 15, {24, 32, 16, 15}},
        {{}, 0, {24, 32, 16, 15}},
    };
    static std::vector<int> s_vAccepted, s_vTried;
    for (const Case &c : aCases) {
        s_vAccepted = c.vAccepted;
        s_vTried.clear();
        const int iDepth = find_graphics_depth([](int d) {
            s_vTried.push_back(d);
            for (int a : s_vAccepted)
                if (a == d)
                    return 0;
            return -1;
        });
        EXPECT_EQ(iDepth, c.iExpected);
        EXPECT_EQ(s_vTried, c.vTried);
    }
}

TEST(StartUp, PasswordIsThirteenCharactersAndTerminated)
{
    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    EXPECT_EQ(strlen(szPassword), 13u);
    EXPECT_EQ(szPassword[13], 0);
    EXPECT_EQ(szPassword[14], 0);
}

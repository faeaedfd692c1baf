// Drawing helpers and fades on memory bitmaps: centring, colour conversion,
// and fades that start on their first picture and always end on their exact
// final one.
#include "fade.h"
#include "headless.h"
#include "main.h"
#include "time.h"
#include "utils.h"

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
        // 15 and 16 bits keep the top bits of each component.
        const int iTolerance = iDepth <= 16 ? 7 : 0;
        for (const Rgb &c : atColours) {
            // Colours are read from hexadecimal text in the 24-bit layout.
            putpixel(screen, 0, 0, change_color24(makecol24(c.r, c.g, c.b)));
            const Rgb tGot = pixel_rgb(screen, 0, 0);
            EXPECT_TRUE(abs(tGot.r - c.r) <= iTolerance && abs(tGot.g - c.g) <= iTolerance &&
                        abs(tGot.b - c.b) <= iTolerance)
                << "depth " << iDepth << ": " << c << " gave " << tGot;
        }
    }
}

// The first frame of a fade shows where it starts: the colour alone when fading
// from it, the picture when fading to it. A watcher holds the clock until it
// has seen that frame, then runs it far faster than real time.
TEST_F(Drawing, FadesStartOnTheirFirstPictureAndEndOnTheirExactFinalOne)
{
    const std::tuple<int, int, bool> atCases[] = { // depth, time, towards the colour
        {32, 1000, true}, {32, 1000, false}, {24, 300, true}, {16, 300, false},
        {32, 0, true},    {32, 0, false},    {32, -5, true},
    };
    for (const auto &[iDepth, iTotalTime, bToColour] : atCases) {
        SetUpDepth(iDepth);
        BITMAP *bmp = make_picture(64, 32, makecol(40, 90, 230));
        putpixel(bmp, 5, 5, makecol(255, 0, 255)); // transparent: the screen shows through
        clear_to_color(screen, makecol(10, 200, 10));
        const Rgb tBackground = pixel_rgb(screen, 100, 200), tColour = {0, 0, 0}, tPicture = pixel_rgb(bmp, 0, 0);
        std::atomic<bool> bDone{false};
        Rgb tFirst{-1, -1, -1};
        std::thread tWatcher([&] {
            while (!bDone && pixel_rgb(screen, 108, 208) == tBackground)
                std::this_thread::yield();
            tFirst = pixel_rgb(screen, 108, 208);
            while (!bDone)
                increase_clock();
        });
        if (bToColour)
            fade_to_color(bmp, iTotalTime, 100, 200, makecol(0, 0, 0));
        else
            fade_from_color(bmp, iTotalTime, 100, 200, makecol(0, 0, 0));
        bDone = true;
        tWatcher.join();
        const std::string sCase = "depth " + std::to_string(iDepth) + " time " + std::to_string(iTotalTime) +
                                  (bToColour ? " to" : " from");
        // Only a 32-bit pixel is written at once: at other depths the watcher could read half of one.
        if (iTotalTime > 0 && iDepth == 32) {
            EXPECT_EQ(tFirst, bToColour ? tPicture : tColour) << sCase;
        }
        const Rgb tFinal = bToColour ? tColour : tPicture;
        EXPECT_EQ(pixel_rgb(screen, 100, 200), tFinal) << sCase;
        EXPECT_EQ(pixel_rgb(screen, 163, 231), tFinal) << sCase;
        // The transparent pixel and the pixel just past the picture still show the background.
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
    // The depth that works (0: none) and the depths tried before the answer.
    const std::pair<int, std::vector<int>> atCases[] = {
        {24, {24}}, {16, {24, 32, 16}}, {15, {24, 32, 16, 15}}, {0, {24, 32, 16, 15}}};
    static int s_iAccepted;
    static std::vector<int> s_vTried;
    for (const auto &[iAccepted, vTried] : atCases) {
        s_iAccepted = iAccepted;
        s_vTried.clear();
        EXPECT_EQ(find_graphics_depth([](int d) {
                      s_vTried.push_back(d);
                      return d == s_iAccepted ? 0 : -1;
                  }),
                  iAccepted);
        EXPECT_EQ(s_vTried, vTried);
    }
}

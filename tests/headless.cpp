// Headless Allegro for drawing tests, and a stand-in for the timer thread.
#include "headless.h"
#include "time.h"

#include <cerrno>
#include <chrono>
#include <ostream>

namespace {
constexpr int TEST_SCREEN_W = 800; // px
constexpr int TEST_SCREEN_H = 600; // px
bool g_bAllegroInstalled = false;  // install_allegro runs once per test process
}

void HeadlessAllegro::SetUpDepth(int iDepth)
{
    if (!g_bAllegroInstalled) {
        ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
        g_bAllegroInstalled = true;
    }
    set_color_depth(iDepth);
    if (ptScreen)
        destroy_bitmap(ptScreen);
    ptScreen = create_bitmap(TEST_SCREEN_W, TEST_SCREEN_H);
    ASSERT_NE(ptScreen, nullptr);
    clear_to_color(ptScreen, makecol(0, 0, 0));
    screen = ptScreen;
}

void HeadlessAllegro::TearDown()
{
    screen = nullptr;
    if (ptScreen)
        destroy_bitmap(ptScreen);
    ptScreen = nullptr;
}

ClockFeeder::ClockFeeder(int iTicksPerPass)
    : tThread([this, iTicksPerPass] {
          while (bRunning) {
              for (int i = 0; i < iTicksPerPass; i++)
                  increase_clock();
              std::this_thread::sleep_for(std::chrono::microseconds(20));
          }
      })
{
}

ClockFeeder::~ClockFeeder()
{
    bRunning = false;
    tThread.join();
}

Rgb pixel_rgb(BITMAP *bmp, int x, int y)
{
    const int c = getpixel(bmp, x, y);
    const int iDepth = bitmap_color_depth(bmp);
    return {getr_depth(iDepth, c), getg_depth(iDepth, c), getb_depth(iDepth, c)};
}

std::ostream &operator<<(std::ostream &os, const Rgb &c)
{
    return os << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

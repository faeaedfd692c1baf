// Headless Allegro for drawing tests, and a stand-in for the timer thread.
#include "headless.h"
#include "datafile_builder.h"
#include "item.h"
#include "main.h"
#include "player.h"
#include "pong.h"
#include "sound.h"
#include "time.h"

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <ostream>
#include <stdexcept>

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

SilentSound::SilentSound() : iSaved(bSoundError) { bSoundError = -1; }

SilentSound::~SilentSound() { bSoundError = iSaved; }

InDirectory::InDirectory(const std::string &sDir) : sOld(std::filesystem::current_path())
{
    std::filesystem::current_path(sDir.empty() ? std::filesystem::path(__FILE__).parent_path().parent_path()
                                               : std::filesystem::path(sDir));
    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    packfile_password(szPassword);
}

InDirectory::~InDirectory()
{
    packfile_password(nullptr);
    std::filesystem::current_path(sOld);
}

void CleanMatch::clear()
{
    for (stPlayer &t : g_tPlayer)
        t = {};
    g_tBall = {};
    tBigBallHit = {};
}

ScratchGame::ScratchGame(const std::string &sPrefix) : sDir(datafile_builder::make_temp_dir(sPrefix))
{
    if (sDir.empty())
        throw std::runtime_error("no temporary directory");
    std::filesystem::create_directory(sDir + "/data");
    ptIn = std::make_unique<InDirectory>(sDir);
}

ScratchGame::~ScratchGame()
{
    ptIn.reset();
    std::filesystem::remove_all(sDir);
}

TFONT_FONT *load_test_font(const char *pszFile)
{
    const std::string sBytes = datafile_builder::read_file(pszFile);
    return tfont_load_font_from_mem(sBytes.data(), static_cast<int>(sBytes.size()));
}

int differing_pixels(BITMAP *a, BITMAP *b)
{
    int iDiffering = 0;
    for (int y = 0; y < a->h; y++)
        for (int x = 0; x < a->w; x++)
            iDiffering += getpixel(a, x, y) != getpixel(b, x, y);
    return iDiffering;
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

// Headless test support: Allegro without a display, the screen pointed at an
// 800 by 600 memory bitmap, and a thread that stands in for the timer.
#pragma once
#include "support.h"
#include "tfont.h"

#include <allegro.h>
#include <atomic>
#include <thread>

// Allegro under SYSTEM_NONE at the given colour depth, with `screen` a memory
// bitmap of 800 by 600. One per test; restores everything afterwards.
class HeadlessAllegro : public ::testing::Test {
protected:
    void SetUp() override { SetUpDepth(32); }
    void SetUpDepth(int iDepth);
    void TearDown() override;
    BITMAP *ptScreen = nullptr;
};

// Sound switched off while the object lives: every sound stays silent.
class SilentSound {
public:
    SilentSound();
    ~SilentSound();
private:
    int iSaved;
};

// The process in sDir (the repository's root, with the game's own data, when
// empty) with the datafiles' password set while the object lives.
class InDirectory {
public:
    explicit InDirectory(const std::string &sDir = "");
    ~InDirectory();
private:
    std::string sOld;
};

// Both sides of the match, the ball and the big ball's shake cleared when the
// object is made and again when it ends.
class CleanMatch {
public:
    CleanMatch() { clear(); }
    ~CleanMatch() { clear(); }
    static void clear();
};

// A fresh game directory under /tmp with an empty data/ in it, current while
// the object lives (as InDirectory), and removed afterwards.
class ScratchGame {
public:
    explicit ScratchGame(const std::string &sPrefix);
    ~ScratchGame();
    const std::string sDir;
private:
    std::unique_ptr<InDirectory> ptIn;
};

// The menus' face, read from its system file as the build packs it.
constexpr char FUTURA_FILE[] = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-SemiBold.otf";
// A font of the text layer made from a file's bytes; null when refused.
TFONT_FONT *load_test_font(const char *pszFile = FUTURA_FILE);

// The count of pixels that differ between two bitmaps of one size.
int differing_pixels(BITMAP *a, BITMAP *b);

// Calls the clock callback from its own thread, as the timer would, until destroyed.
class ClockFeeder {
public:
    explicit ClockFeeder(int iTicksPerPass = 1);
    ~ClockFeeder();
private:
    std::atomic<bool> bRunning{true};
    std::thread tThread;
};

// r, g, b of a pixel, for comparing colours independently of the pixel layout.
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
};
Rgb pixel_rgb(BITMAP *bmp, int x, int y);
std::ostream &operator<<(std::ostream &os, const Rgb &c);

// Headless test support: Allegro without a display, the screen pointed at an
// 800 by 600 memory bitmap, and a thread that stands in for the timer.
#pragma once
#include <allegro.h>
#include <atomic>
#include <gtest/gtest.h>
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

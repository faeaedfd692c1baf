// The match benchmark: real frames of a player-against-player match on the
// game's data (level 12, Camaney against Lenguas) with scripted held keys,
// each frame played and drawn into a memory screen of 800 by 600 at 32 bits,
// set against the cost of copying that screen three times.
#include "headless_game.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

namespace {
constexpr int BENCH_LEVEL = 12;
constexpr int BENCH_FRAMES = 4000;       // frames measured
constexpr int WARM_UP_FRAMES = 200;      // frames played before measuring
constexpr float FRAME_STEP = 1.0f / 500; // s of game time per frame
constexpr int KEY_SWITCH_FRAMES = 250;   // frames between reversals of player one's keys
constexpr int COPY_RUNS = 400;           // runs of the three copies
constexpr int COPIES = 3;

using Clock = std::chrono::steady_clock;

double median(std::vector<double> vTimes)
{
    std::sort(vTimes.begin(), vTimes.end());
    return vTimes[vTimes.size() / 2];
}

// One scripted frame: player one rides up and down, player two keeps up.
void scripted_frame(int iFrame)
{
    const bool bUp = (iFrame / KEY_SWITCH_FRAMES) % 2 == 0;
    headless::hold_key(KEY_UP, bUp);
    headless::hold_key(KEY_DOWN, !bUp);
    headless::hold_key(KEY_W, true);
    play_pong_frame(FRAME_STEP);
    draw_pong();
    if (pong_winner() != WITHOUT_A_WINNER) {
        exit_pong();
        headless::start_match(BENCH_LEVEL);
    }
}
} // namespace

int main()
{
    enter_game_directory();
    if (!headless::start_game("tarvelix_bench"))
        return 1;
    g_tPlayer[0].iCharacter = CAMANEY;
    g_tPlayer[1].iCharacter = LENGUAS;
    g_iGameMode = GM_PLAYER_VS_PLAYER;
    headless::start_match(BENCH_LEVEL);

    for (int i = 0; i < WARM_UP_FRAMES; i++)
        scripted_frame(i);
    std::vector<double> vFrame;
    vFrame.reserve(BENCH_FRAMES);
    for (int i = 0; i < BENCH_FRAMES; i++) {
        const Clock::time_point tStart = Clock::now();
        scripted_frame(WARM_UP_FRAMES + i);
        vFrame.push_back(std::chrono::duration<double, std::micro>(Clock::now() - tStart).count());
    }

    const size_t iBytes = static_cast<size_t>(SCREEN_WIDTH) * SCREEN_HEIGHT * 4;
    std::vector<unsigned char> vSource(iBytes, 0x5a);
    std::vector<unsigned char> vDest(iBytes);
    std::vector<double> vCopy;
    vCopy.reserve(COPY_RUNS);
    unsigned iCheck = 0;
    for (int i = 0; i < COPY_RUNS; i++) {
        vSource[i] = static_cast<unsigned char>(i);
        const Clock::time_point tStart = Clock::now();
        for (int c = 0; c < COPIES; c++)
            memcpy(vDest.data(), vSource.data(), iBytes);
        vCopy.push_back(std::chrono::duration<double, std::micro>(Clock::now() - tStart).count());
        iCheck += vDest[i];
    }

    exit_pong();
    headless::stop_game();

    const double fFrame = median(vFrame);
    const double fCopy = median(vCopy);
    printf("copies checked: %u\n", iCheck);
    printf("frame: median %.1f us (%.0f fps); memcpy x3: median %.1f us; ratio %.2f\n", fFrame,
           1e6 / fFrame, fCopy, fFrame / fCopy);
    return 0;
}

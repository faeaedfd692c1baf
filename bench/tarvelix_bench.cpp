// The match benchmark: real frames of a player-against-player match on the
// game's data (level 12, Camaney against Lenguas) with scripted held keys,
// each frame played and drawn into a memory screen of 800 by 600 at 32 bits,
// set against the cost of copying that screen three times.
#include "database_interface.h"
#include "main.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "tables.h"
#include "tfont.h"

#include <algorithm>
#include <allegro.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
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
constexpr int SCREEN_DEPTH = 32;

using Clock = std::chrono::steady_clock;

double median(std::vector<double> vTimes)
{
    std::sort(vTimes.begin(), vTimes.end());
    return vTimes[vTimes.size() / 2];
}

void hold(int iScancode, bool bDown)
{
    const_cast<char *>(key)[iScancode] = bDown ? 1 : 0;
}

void start_match()
{
    for (int i = 0; i < 2; i++)
        reset_player(&g_tPlayer[i], i, g_iLevel, 0);
    init_pong();
}

// One scripted frame: player one rides up and down, player two keeps up.
void scripted_frame(int iFrame)
{
    const bool bUp = (iFrame / KEY_SWITCH_FRAMES) % 2 == 0;
    hold(KEY_UP, bUp);
    hold(KEY_DOWN, !bUp);
    hold(KEY_W, true);
    play_pong_frame(FRAME_STEP);
    draw_pong();
    if (pong_winner() != WITHOUT_A_WINNER) {
        exit_pong();
        start_match();
    }
}
} // namespace

int main()
{
    enter_game_directory();
    if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0 || tfont_init() != 0) {
        fprintf(stderr, "tarvelix_bench: the graphics or text library did not start\n");
        return 1;
    }
    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    packfile_password(szPassword);
    bSoundError = -1; // no sound output: the frame's own work is measured
    set_color_depth(SCREEN_DEPTH);
    screen = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    g_bmpBuffer = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
    init_tables();
    random_init_seed(1);
    g_ptUserContainer = read_users();
    stUser *ptUser = g_ptUserContainer->ptCurrentUser;
    ptUser->bVsync = FALSE;
    for (int i = 0; i < 2; i++) {
        init_player(i, &g_tPlayer[i], IN_KEYBOARD);
        g_tPlayer[i].ptInputKeys = &ptUser->atControls[i][USER_KEYBOARD_CONTROLS];
    }
    g_tPlayer[0].iCharacter = CAMANEY;
    g_tPlayer[1].iCharacter = LENGUAS;
    g_iGameMode = GM_PLAYER_VS_PLAYER;
    g_iLevel = BENCH_LEVEL;
    simulate_keypress(KEY_A << 8 | 'a'); // held keys count once a key was pressed
    start_match();

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
    for (stPlayer &p : g_tPlayer)
        destroy_player(&p);
    close_users(g_ptUserContainer);
    destroy_bitmap(g_bmpBuffer);
    destroy_bitmap(screen);
    screen = nullptr;
    tfont_exit();

    const double fFrame = median(vFrame);
    const double fCopy = median(vCopy);
    printf("copies checked: %u\n", iCheck);
    printf("frame: median %.1f us (%.0f fps); memcpy x3: median %.1f us; ratio %.2f\n", fFrame,
           1e6 / fFrame, fCopy, fFrame / fCopy);
    return 0;
}

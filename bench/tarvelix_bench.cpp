// The match benchmark: real frames of matches on the game's data with
// scripted held keys, each frame played, drawn into the 800 by 600 by 32-bit
// buffer and presented to a memory screen, set against the cost of copying
// that screen three times (measured right after each case, in the same run).
// Besides an average frame it measures the heaviest moments of the game: the
// big ball shaking the picture, the mirrored picture, the storm's lightning,
// a smashed snowman's 350 flakes and both power bars filling, the item cases
// on the level with the most obstacles. One line per case:
//   frame CASE: median U us (F fps); memcpy x3: median M us; ratio R
//
// With --frames N [--case CASE] it only plays N frames of that case (the
// average one when not given), seeded, and prints nothing: the program whose
// instructions `make bench-callgrind` counts inside bench_frames.
#include "collision.h"
#include "headless_game.h"
#include "item.h"
#include "particle.h"
#include "stage_elements.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {
constexpr int AVERAGE_LEVEL = 12;        // the snow stage's first level, Camaney against Lenguas
constexpr int STORM_LEVEL = 8;           // the level whose lightning strikes
constexpr int SNOW_LEVEL = 14;           // the level whose snowmen are smashed
constexpr int CASE_FRAMES = 600;         // frames measured per case
constexpr int MAX_PLAYED_FRAMES = 60000; // frames a case may play waiting for its moments
constexpr int WARM_UP_FRAMES = 200;      // frames played before measuring
constexpr float AVERAGE_STEP = 1.0f / 500; // s of game time per frame of the average case
constexpr float MOMENT_STEP = 1.0f / 60;   // s per frame where moments must come round
constexpr int KEY_SWITCH_FRAMES = 250;   // frames between reversals of player one's keys
constexpr int COPY_RUNS = 400;           // runs of the three copies
constexpr int COPIES = 3;
constexpr float SHAKE = 12.0f;           // px the big ball's shake keeps the picture off
constexpr int FLAKES = 300;              // live particles that make a frame a smash frame
constexpr float SMASH_SPEED = 900.0f;    // px/s of the ball sent into a grown snowman
constexpr float BALL_PARK_X = 110.0f;    // px: where the ball waits, left of the snowmen
constexpr float BALL_PARK_Y = 300.0f;

using Clock = std::chrono::steady_clock;

double median(std::vector<double> vTimes)
{
    std::sort(vTimes.begin(), vTimes.end());
    return vTimes[vTimes.size() / 2];
}

// One case: the level it plays, the step of game time, what it does before
// each frame to keep its moment coming, and which frames are its own.
struct Case {
    std::string sName;
    int iLevel;
    float fStep;
    std::function<void()> prepare;
    std::function<bool()> counts;
};

// One scripted frame: player one rides up and down, player two keeps up; a
// finished match starts again. Undrawn, when only the time to a moment passes.
void scripted_frame(int iLevel, int iFrame, float fStep, bool bDraw = true)
{
    const bool bUp = (iFrame / KEY_SWITCH_FRAMES) % 2 == 0;
    headless::hold_key(KEY_UP, bUp);
    headless::hold_key(KEY_DOWN, !bUp);
    headless::hold_key(KEY_W, true);
    play_pong_frame(iFrame == 0 ? 0.0f : fStep);
    if (bDraw)
        draw_pong();
    if (pong_winner() != WITHOUT_A_WINNER) {
        exit_pong();
        headless::start_match(iLevel);
    }
}

// Side iPlayer keeps iItem in force: whenever its effect has ended, the bar
// fills and the item is used again.
void keep_item(int iPlayer, int iItem)
{
    stItem *ptItems = &g_tPlayer[iPlayer].tItems;
    if (ptItems->iUsedItem == iItem)
        return;
    ptItems->fPowerBar = ptItems->fProspectedBar = ptItems->fFullBar;
    ptItems->iItem = iItem;
    use_item(iPlayer, ptItems);
}

// Both bars empty and heading for full, over and over.
void keep_bars_filling()
{
    for (stPlayer &tPlayer : g_tPlayer) {
        stItem *ptItems = &tPlayer.tItems;
        if (ptItems->fPowerBar >= ptItems->fFullBar) {
            ptItems->fPowerBar = 0.0f;
            ptItems->iItem = NO_ITEM;
        }
        ptItems->fProspectedBar = ptItems->fFullBar;
    }
}

// The ball waits, still, clear of the snowmen's grid until one has grown to
// its full size (the ball in play would smash them young), then is sent into
// it: the smash bursts into all its flakes.
void smash_grown_snowman()
{
    if (count_live_particles() >= FLAKES)
        return;
    for (int i = 0; i < NUM_SNOWMEN; i++) {
        const stSpecialElement &e = tElements.tSpecialElement[i];
        if (!e.bActive || e.bmpImagElement != tElements.bmpElement[SPECIAL_IMAGES - 1])
            continue;
        const stCircle &tBody = tElements.tSpecialElementBounds.vtCircle[i];
        g_tBall.fX = tBody.tCenter.fX - tBody.fRadius;
        g_tBall.fY = tBody.tCenter.fY;
        g_tBall.fVelX = SMASH_SPEED;
        g_tBall.fVelY = 0.0f;
        return;
    }
    g_tBall.fX = BALL_PARK_X;
    g_tBall.fY = BALL_PARK_Y;
    g_tBall.fVelX = g_tBall.fVelY = 0.0f;
}

// The level index whose stage has the most walls and bumpers.
int level_with_most_obstacles()
{
    int iBest = 0, iMost = -1;
    for (int iLevel = 0; iLevel < NUM_LEVEL_INDICES; iLevel++) {
        headless::start_match(iLevel);
        const int iObstacles = g_ptLevelBounds->iNumCircles + g_ptLevelBounds->iNumSegments;
        if (iObstacles > iMost) {
            iMost = iObstacles;
            iBest = iLevel;
        }
        exit_pong();
    }
    return iBest;
}

// Median of the three copies of a screen, in microseconds.
double copy_median()
{
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
    // The copies are used, so that the compiler keeps them.
    if (iCheck == 1)
        printf("\n");
    return median(vCopy);
}

// Plays frames of the case until iFrames of them were its own, each of those
// drawn and, with pvTimes, timed. Until the case's moment comes the frames
// are only played: the storm's next strike can be half a minute of game time
// away. Kept out of line so that a callgrind count can be limited to it.
__attribute__((noinline)) void bench_frames(const Case &tCase, int iFrames, std::vector<double> *pvTimes)
{
    int iCounted = 0;
    for (int i = WARM_UP_FRAMES; i < WARM_UP_FRAMES + MAX_PLAYED_FRAMES && iCounted < iFrames; i++) {
        tCase.prepare();
        if (!tCase.counts()) {
            scripted_frame(tCase.iLevel, i, tCase.fStep, false);
            continue;
        }
        const Clock::time_point tStart = Clock::now();
        scripted_frame(tCase.iLevel, i, tCase.fStep);
        if (pvTimes)
            pvTimes->push_back(std::chrono::duration<double, std::micro>(Clock::now() - tStart).count());
        iCounted++;
    }
}

// Plays the case and prints its line; false when its moments did not come.
bool run_case(const Case &tCase)
{
    headless::start_match(tCase.iLevel);
    for (int i = 0; i < WARM_UP_FRAMES; i++)
        scripted_frame(tCase.iLevel, i, tCase.fStep);
    std::vector<double> vFrame;
    vFrame.reserve(CASE_FRAMES);
    bench_frames(tCase, CASE_FRAMES, &vFrame);
    exit_pong();
    if (vFrame.empty()) {
        fprintf(stderr, "tarvelix_bench: no frame of case %s\n", tCase.sName.c_str());
        return false;
    }
    const double fFrame = median(vFrame);
    const double fCopy = copy_median();
    printf("frame %s: median %.1f us (%.0f fps); memcpy x3: median %.1f us; ratio %.2f\n",
           tCase.sName.c_str(), fFrame, 1e6 / fFrame, fCopy, fFrame / fCopy);
    return true;
}

// The cases, the item cases on level iCrowded.
std::vector<Case> bench_cases(int iCrowded)
{
    auto always = [] { return true; };
    auto nothing = [] {};
    return {
        {"average", AVERAGE_LEVEL, AVERAGE_STEP, nothing, always},
        {"obstacles", iCrowded, AVERAGE_STEP, nothing, always},
        {"big-ball-shake", iCrowded, MOMENT_STEP,
         [] {
             keep_item(0, GROW_BALL);
             if (tBigBallHit.fDeltaX == 0.0f && tBigBallHit.fDeltaY == 0.0f)
                 tBigBallHit.fDeltaX = tBigBallHit.fDeltaY = SHAKE;
         },
         [] { return tBigBallHit.bActive != FALSE; }},
        {"mirror", iCrowded, MOMENT_STEP, [] { keep_item(0, IMAGE); },
         [] { return g_tPlayer[0].tItems.bInvertScreen != FALSE; }},
        {"bars-filling", iCrowded, MOMENT_STEP, keep_bars_filling, always},
        {"lightning", STORM_LEVEL, MOMENT_STEP, nothing,
         [] { return tElements.tSpecialElement[0].bActive != FALSE; }},
        {"snowman-smash", SNOW_LEVEL, MOMENT_STEP, smash_grown_snowman,
         [] { return count_live_particles() >= FLAKES; }},
    };
}
} // namespace

int main(int argc, char **argv)
{
    int iCallgrindFrames = 0;
    std::string sCallgrindCase = "average";
    if ((argc == 3 || argc == 5) && strcmp(argv[1], "--frames") == 0)
        iCallgrindFrames = atoi(argv[2]);
    if (argc == 5 && strcmp(argv[3], "--case") == 0)
        sCallgrindCase = argv[4];
    if (argc != 1 && (iCallgrindFrames <= 0 || (argc == 5 && strcmp(argv[3], "--case") != 0))) {
        fprintf(stderr, "usage: tarvelix_bench [--frames N [--case CASE]]\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0); // each case's line as soon as it is measured
    enter_game_directory();
    if (!headless::start_game("tarvelix_bench"))
        return 1;
    g_tPlayer[0].iCharacter = CAMANEY;
    g_tPlayer[1].iCharacter = LENGUAS;
    g_iGameMode = GM_PLAYER_VS_PLAYER;
    const std::vector<Case> vCases = bench_cases(level_with_most_obstacles());
    bool bAll = true;
    if (iCallgrindFrames > 0) {
        const auto it = std::find_if(vCases.begin(), vCases.end(),
                                     [&](const Case &t) { return t.sName == sCallgrindCase; });
        bAll = it != vCases.end();
        if (bAll) {
            headless::start_match(it->iLevel);
            bench_frames(*it, iCallgrindFrames, nullptr);
            exit_pong();
        } else {
            fprintf(stderr, "tarvelix_bench: no case %s\n", sCallgrindCase.c_str());
        }
    } else {
        for (const Case &tCase : vCases)
            bAll = run_case(tCase) && bAll;
    }
    headless::stop_game();
    return bAll ? 0 : 1;
}

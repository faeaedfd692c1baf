// Bot matches: whole matches between two computer sides without a window,
// with the game's own frame at a fixed step of 1/60 s and its own data, for
// tuning the computer opponents. Every frame checks that the ball and the
// paddles stay finite, the paddles inside the field, the scores only grow and
// a winner comes within the time limit. One line per match, then a summary.
// With --levels all the sides' levels and the stage level change match by
// match; the resident memory after match 10 and after the last one must agree
// within a small margin.
#include "ai_personality.h"
#include "headless_game.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#ifdef __SANITIZE_ADDRESS__
// Freed memory waits in the sanitizer's quarantine before it is reused: at
// the default 256 MB the resident memory would grow for the first dozens of
// matches. 4 MB fill within a match and still catch a late use of what the
// last frames freed.
extern "C" const char *__asan_default_options()
{
    return "quarantine_size_mb=4";
}
#endif

namespace {
constexpr float FRAME = 1.0f / 60;        // s: the step of every frame
constexpr float MAX_MATCH_TIME = 600.0f;  // s of game time a match may last
constexpr int FOLLOWER = -1;              // side played by the plain follower
constexpr int FOLLOWER_LEVEL = 0;         // whose speeds the plain follower takes
constexpr int FULL_SIGHT = 2000;          // px: farther than any corner of the field
constexpr int MEMORY_BASE_MATCH = 10;     // match after which the resident memory is the base
// Bytes the resident memory may grow past the base. It swings with the stage
// last played and the allocator's caches: over 1000 matches it rose by at
// most 2.3 MB from any match past the tenth to a later one, in the sanitized
// build as in the plain one. Beyond that, growth is kept memory, e.g. 4 KB
// per match over 1000 matches.
constexpr long MEMORY_MARGIN = 4L << 20;
// Steps of the stage level in a --levels all run (see levels_of_match): 7
// and 7 - 2 share no factor with 24, so every stage level comes with every
// level of either side.
constexpr int STAGE_STEP = 2;
constexpr int STAGE_ROUND_STEP = 7;

// The plain character of each stage: both sides play the one of the stage
// played, so that only their computer opponents differ.
constexpr int aiStageCharacter[NUM_LEVELS] = {CAMANEY, LENGUAS, UAYUMIN, KAROLA,
                                              GUANTE,  OJEIS,   ARTURITO, CARNAL};

struct Options {
    int aiLevel[2] = {0, 0}; // AI level index of each side, or FOLLOWER
    int iMatches = 1;
    int iSeed = 1;
    int iStageLevel = -1;    // level index played; -1: the right side's
    bool bAllLevels = false; // the levels change every match (see levels_of_match)
};

// Match iMatch (from 0) of a --levels all run, in rounds of 24 matches: the
// left side steps through the 24 levels, the right one is one level further
// ahead every round and the stage level steps by 2 within a round and by 7
// from one round to the next. Any two of the three thus meet in every
// combination within 576 matches. The seed shifts all three.
Options levels_of_match(const Options &tOptions, int iMatch)
{
    Options t = tOptions;
    const int iStep = iMatch % NUM_LEVEL_INDICES;
    const int iRound = iMatch / NUM_LEVEL_INDICES;
    const int iShift = tOptions.iSeed % NUM_LEVEL_INDICES;
    t.aiLevel[0] = (iStep + iShift) % NUM_LEVEL_INDICES;
    t.aiLevel[1] = (iStep + iRound + iShift) % NUM_LEVEL_INDICES;
    t.iStageLevel = (STAGE_STEP * iStep + STAGE_ROUND_STEP * iRound + iShift) % NUM_LEVEL_INDICES;
    return t;
}

// Bytes of the process that are in memory now.
long resident_bytes()
{
    long iPages = 0, iResident = 0;
    FILE *ptFile = fopen("/proc/self/statm", "r");
    if (ptFile) {
        if (fscanf(ptFile, "%ld %ld", &iPages, &iResident) != 2)
            iResident = 0;
        fclose(ptFile);
    }
    return iResident * sysconf(_SC_PAGESIZE);
}

struct MatchResult {
    int iWinner = WITHOUT_A_WINNER;
    float fTime = 0.0f;       // s of game time
    int iFrames = 0;
    std::vector<int> vRallies; // catches of each rally that ended in a point
    int iViolations = 0;
    int iItemsDealt = 0;       // both sides' bars that filled and dealt an item
    int iItemsUsed = 0;        // items both sides used
};

// Items dealt and used this frame: a held or running item that was not there before.
struct ItemWatch {
    int aiHeld[2] = {NO_ITEM, NO_ITEM};
    int aiUsed[2] = {NO_ITEM, NO_ITEM};
    void count(MatchResult *ptResult)
    {
        for (int i = 0; i < 2; i++) {
            const stItem &t = g_tPlayer[i].tItems;
            if (t.iItem != NO_ITEM && aiHeld[i] == NO_ITEM)
                ptResult->iItemsDealt++;
            if (t.iUsedItem != NO_ITEM && t.iUsedItem != aiUsed[i])
                ptResult->iItemsUsed++;
            aiHeld[i] = t.iItem;
            aiUsed[i] = t.iUsedItem;
        }
    }
};

void no_behaviour(stPlayer *, stBall *, float) {}

bool parse_level(const char *pszValue, int *piLevel)
{
    if (strcmp(pszValue, "follow") == 0) {
        *piLevel = FOLLOWER;
        return true;
    }
    char *pszEnd = nullptr;
    const long iLevel = strtol(pszValue, &pszEnd, 10);
    if (*pszValue == '\0' || *pszEnd != '\0' || iLevel < 0 || iLevel >= NUM_LEVEL_INDICES)
        return false;
    *piLevel = static_cast<int>(iLevel);
    return true;
}

bool parse_count(const char *pszValue, int iMin, int *piCount)
{
    char *pszEnd = nullptr;
    const long iCount = strtol(pszValue, &pszEnd, 10);
    if (*pszValue == '\0' || *pszEnd != '\0' || iCount < iMin || iCount > 1000000)
        return false;
    *piCount = static_cast<int>(iCount);
    return true;
}

bool parse_options(int argc, char **argv, Options *ptOptions)
{
    bool bLeft = false, bRight = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string sName = argv[i];
        const char *pszValue = argv[i + 1];
        bool bGood = false;
        if (sName == "--left")
            bGood = bLeft = parse_level(pszValue, &ptOptions->aiLevel[0]);
        else if (sName == "--right")
            bGood = bRight = parse_level(pszValue, &ptOptions->aiLevel[1]);
        else if (sName == "--matches")
            bGood = parse_count(pszValue, 1, &ptOptions->iMatches);
        else if (sName == "--seed")
            bGood = parse_count(pszValue, 0, &ptOptions->iSeed);
        else if (sName == "--stage-level")
            bGood = parse_level(pszValue, &ptOptions->iStageLevel) && ptOptions->iStageLevel >= 0;
        else if (sName == "--levels")
            bGood = ptOptions->bAllLevels = strcmp(pszValue, "all") == 0;
        if (!bGood) {
            fprintf(stderr, "tvx_botmatch: bad option %s %s\n", argv[i], pszValue);
            return false;
        }
    }
    const bool bLevelsGiven = ptOptions->bAllLevels
                                  ? !bLeft && !bRight && ptOptions->iStageLevel < 0
                                  : bLeft && bRight;
    if (argc % 2 == 0 || !bLevelsGiven) {
        fprintf(stderr, "usage: tvx_botmatch --left L --right R --matches N --seed S "
                        "[--stage-level K]\n  L, R: AI level index 0 .. 23, or follow "
                        "(level 0's speeds, full sight, no personality)\n"
                        "   or: tvx_botmatch --levels all --matches N --seed S\n"
                        "  both sides' levels and the stage level change every match\n");
        return false;
    }
    if (ptOptions->iStageLevel < 0)
        ptOptions->iStageLevel = std::max(ptOptions->aiLevel[1], 0);
    return true;
}

// The plain follower: level 0's paddle speeds, a follow_ai that sees the
// whole field exactly, and a personality that never acts.
void make_follower(stPlayer *ptPlayer)
{
    stReactiveAI *ptAI = ptPlayer->ptReactiveAI;
    ptAI->pAIFunction = follow_ai;
    ptAI->iVisionSensorFar = ptAI->iVisionSensorNear = FULL_SIGHT;
    ptAI->fVisionSensorFar_2 = ptAI->fVisionSensorNear_2 = float(FULL_SIGHT) * FULL_SIGHT;
    ptPlayer->ptPersonality->ptPer1D->pAIFunction = no_behaviour;
    ptPlayer->ptPersonality->ptPer2D->pAIFunction = no_behaviour;
    ptPlayer->ptPersonality->ptPer3D->pAIFunction = no_behaviour;
}

void start_bot_match(const Options &tOptions)
{
    g_iLevel = tOptions.iStageLevel;
    for (int i = 0; i < 2; i++) {
        const bool bFollower = tOptions.aiLevel[i] == FOLLOWER;
        const int iLevel = bFollower ? FOLLOWER_LEVEL : tOptions.aiLevel[i];
        g_tPlayer[i].iInput = IN_COMPUTER;
        g_tPlayer[i].iCharacter = aiStageCharacter[tOptions.iStageLevel / LEVELS_PER_STAGE];
        reset_player(&g_tPlayer[i], i, iLevel, 0);
        if (bFollower)
            make_follower(&g_tPlayer[i]);
    }
    init_pong();
}

bool finite_ball_and_paddles()
{
    bool bFinite = std::isfinite(g_tBall.fX) && std::isfinite(g_tBall.fY) &&
                   std::isfinite(g_tBall.fVelX) && std::isfinite(g_tBall.fVelY);
    for (const stPlayer &tPlayer : g_tPlayer)
        bFinite = bFinite && std::isfinite(tPlayer.ptPaddle->fY) &&
                  std::isfinite(tPlayer.ptPaddle->fVY);
    return bFinite;
}

bool paddles_in_field()
{
    for (const stPlayer &tPlayer : g_tPlayer)
        if (!(tPlayer.ptPaddle->fY >= 0.0f && tPlayer.ptPaddle->fY <= PLAYER_FIELD_HEIGHT))
            return false;
    return true;
}

// Catches by a paddle's band this frame: a catch sets the speed of the ball
// it met, and a bending one starts the band's collision state.
struct CatchWatch {
    float afHitVel[2] = {0, 0};
    int aiState[2] = {SPRING_NORMAL, SPRING_NORMAL};
    int count()
    {
        int iCatches = 0;
        for (int i = 0; i < 2; i++) {
            const stPaddle *p = g_tPlayer[i].ptPaddle;
            const bool bBent = p->iSpringState == SPRING_COLLISION && aiState[i] != SPRING_COLLISION;
            if (bBent || p->fInitialHitVel != afHitVel[i])
                iCatches++;
            afHitVel[i] = p->fInitialHitVel;
            aiState[i] = p->iSpringState;
        }
        return iCatches;
    }
};

MatchResult play_match(const Options &tOptions)
{
    MatchResult tResult;
    start_bot_match(tOptions);
    CatchWatch tWatch;
    ItemWatch tItemWatch;
    int iRally = 0;
    int aiPoints[2] = {0, 0};
    int iFrame = 0;
    while (pong_winner() == WITHOUT_A_WINNER) {
        play_pong_frame(iFrame == 0 ? 0.0f : FRAME);
        iFrame++;
        tResult.fTime = iFrame * FRAME;
        iRally += tWatch.count();
        tItemWatch.count(&tResult);
        if (!finite_ball_and_paddles() || !paddles_in_field())
            tResult.iViolations++;
        for (int i = 0; i < 2; i++) {
            if (g_tPlayer[i].iPoints < aiPoints[i])
                tResult.iViolations++;
            if (g_tPlayer[i].iPoints != aiPoints[i]) {
                tResult.vRallies.push_back(iRally);
                iRally = 0;
            }
            aiPoints[i] = g_tPlayer[i].iPoints;
        }
        if (tResult.fTime > MAX_MATCH_TIME) {
            tResult.iViolations++;
            break;
        }
    }
    tResult.iWinner = pong_winner();
    tResult.iFrames = iFrame;
    exit_pong();
    return tResult;
}

template <typename T> double median(std::vector<T> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (double(v[n / 2 - 1]) + v[n / 2]);
}
} // namespace

int main(int argc, char **argv)
{
    // Line by line, also into a file: the leak check at exit ends the process
    // without flushing what is still buffered.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    Options tOptions;
    if (!parse_options(argc, argv, &tOptions))
        return 2;
    enter_game_directory();
    if (!headless::start_game("tvx_botmatch"))
        return 2;
    random_init_seed(tOptions.iSeed);
    // The rules of a computer-against-computer match, harder throws included.
    g_iGameMode = GM_COMPUTER_VS_COMPUTER;

    int aiWins[2] = {0, 0};
    int iViolations = 0;
    std::vector<float> vTimes;
    std::vector<int> vRallies;
    int iItemsDealt = 0;
    int iItemsUsed = 0;
    long iFrames = 0;
    long iBaseMemory = 0;
    for (int iMatch = 1; iMatch <= tOptions.iMatches; iMatch++) {
        const Options tMatch = tOptions.bAllLevels ? levels_of_match(tOptions, iMatch - 1) : tOptions;
        const MatchResult tResult = play_match(tMatch);
        if (iMatch == MEMORY_BASE_MATCH)
            iBaseMemory = resident_bytes();
        iFrames += tResult.iFrames;
        if (tResult.iWinner != WITHOUT_A_WINNER)
            aiWins[tResult.iWinner]++;
        iViolations += tResult.iViolations;
        vTimes.push_back(tResult.fTime);
        vRallies.insert(vRallies.end(), tResult.vRallies.begin(), tResult.vRallies.end());
        iItemsDealt += tResult.iItemsDealt;
        iItemsUsed += tResult.iItemsUsed;
        printf("match %d: levels %d-%d on %d; %s wins %d-%d; %.1f s; median rally %.1f hits; "
               "items dealt %d, used %d; violations %d; resident %.1f MB\n",
               iMatch, tMatch.aiLevel[0], tMatch.aiLevel[1], tMatch.iStageLevel,
               tResult.iWinner == PLAYER_1_WINNER   ? "left"
               : tResult.iWinner == PLAYER_2_WINNER ? "right"
                                                    : "nobody",
               g_tPlayer[0].iPoints, g_tPlayer[1].iPoints, tResult.fTime, median(tResult.vRallies),
               tResult.iItemsDealt, tResult.iItemsUsed, tResult.iViolations,
               resident_bytes() / 1048576.0);
    }
    const long iEndMemory = resident_bytes();
    headless::stop_game();
    packfile_password(nullptr);
    printf("summary: matches %d; frames %ld; left wins %d; right wins %d; median match %.1f s; "
           "median rally %.1f hits; longest match %.1f s; items dealt %d, used %d; "
           "invariant violations %d\n",
           tOptions.iMatches, iFrames, aiWins[0], aiWins[1], median(vTimes), median(vRallies),
           vTimes.empty() ? 0.0f : *std::max_element(vTimes.begin(), vTimes.end()), iItemsDealt,
           iItemsUsed, iViolations);
    bool bMemoryKept = true;
    if (tOptions.iMatches > MEMORY_BASE_MATCH) {
        const long iGrowth = iEndMemory - iBaseMemory;
        bMemoryKept = iGrowth <= MEMORY_MARGIN;
        printf("memory: resident %.1f MB after match %d, %.1f MB after match %d; grew %+ld KB "
               "(at most %ld KB allowed)\n",
               iBaseMemory / 1048576.0, MEMORY_BASE_MATCH, iEndMemory / 1048576.0,
               tOptions.iMatches, iGrowth / 1024, MEMORY_MARGIN / 1024);
    }
    return iViolations == 0 && bMemoryKept ? 0 : 1;
}

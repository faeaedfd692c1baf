// The match: the winner rule, scoring by exit place with the revival of a torn
// band, the rematch choices, the character and tournament arithmetic, and
// whole matches of real frames on the game's own data with scripted keys.
#include "controls.h"
#include "database_interface.h"
#include "headless.h"
#include "item.h"
#include "main.h"
#include "menu.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "tables.h"
#include "tfont.h"

namespace {
class PongTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        for (int i = 0; i < 2; i++) {
            atPaddle[i] = {};
            atPaddle[i].iSpringState = SPRING_NORMAL;
            g_tPlayer[i].iPlayer = i;
            g_tPlayer[i].ptPaddle = &atPaddle[i];
        }
        g_iGameMode = GM_PLAYER_VS_PLAYER;
        start_pong_match();
    }
    void score_for(int iExitPlace)
    {
        g_tBall.bOutBounds = TRUE;
        g_tBall.iExitPlace = iExitPlace;
        detect_out_of_bounds();
    }
    CleanMatch tMatch;
    stPaddle atPaddle[2];
    SilentSound tSilence;
};
} // namespace

TEST_F(PongTest, WinnerRule)
{
    struct Case { int iOne, iTwo, iWinner; };
    const Case atCases[] = {
        {0, 0, WITHOUT_A_WINNER}, {3, 0, PLAYER_1_WINNER},  {0, 3, PLAYER_2_WINNER},  {3, 1, WITHOUT_A_WINNER},
        {4, 4, WITHOUT_A_WINNER}, {5, 4, PLAYER_1_WINNER},  {4, 5, PLAYER_2_WINNER},  {2, 0, WITHOUT_A_WINNER},
    };
    for (const Case &c : atCases) {
        g_tPlayer[0].iPoints = c.iOne;
        g_tPlayer[1].iPoints = c.iTwo;
        EXPECT_EQ(exists_pong_winner(), c.iWinner) << c.iOne << "-" << c.iTwo;
    }
}

// Exit place 1 scores for player one, 0 for player two; 3-0 ends the match,
// 3-1 goes on to five; a point revives a torn band and nothing else.
TEST_F(PongTest, PointsGoByExitPlaceAndReviveTornBands)
{
    score_for(1);
    EXPECT_TRUE(g_tPlayer[0].iPoints == 1 && g_tPlayer[1].iPoints == 0);
    g_tBall.bOutBounds = FALSE;
    detect_out_of_bounds();
    EXPECT_EQ(g_tPlayer[0].iPoints, 1) << "a ball in the field scores nothing";
    atPaddle[0].iSpringState = SPRING_BROKEN;
    atPaddle[1].iSpringState = SPRING_VIBRATING;
    score_for(0);
    EXPECT_EQ(atPaddle[0].iSpringState, SPRING_REVIVING);
    EXPECT_EQ(atPaddle[1].iSpringState, SPRING_VIBRATING);
    for (int iExit : {1, 1})
        score_for(iExit);
    EXPECT_EQ(pong_winner(), WITHOUT_A_WINNER) << "3-1";
    for (int iExit : {0, 0, 0})
        score_for(iExit);
    EXPECT_EQ(pong_winner(), WITHOUT_A_WINNER) << "3-4";
    score_for(0);
    EXPECT_EQ(g_tPlayer[1].iPoints, 5);
    EXPECT_EQ(pong_winner(), PLAYER_2_WINNER);
}

TEST_F(PongTest, TournamentOpponentsEndWithTheAlterEgo)
{
    for (int iSeed = 1; iSeed <= 40; iSeed++) {
        random_init_seed(iSeed);
        const int iCharacter = iSeed % NUM_CHARACTERS;
        g_tPlayer[0].iCharacter = iCharacter;
        int viOrder[TOURNAMENT_OPPONENTS];
        select_tournament_opponents(viOrder);
        // Alter egos pair up, each on the other side of the divide.
        EXPECT_EQ(viOrder[7], get_alter_character(iCharacter)) << iSeed;
        EXPECT_EQ(get_alter_character(viOrder[7]), iCharacter) << iSeed;
        const bool bAlter = is_alter(iCharacter) != 0;
        EXPECT_NE(is_alter(viOrder[7]) != 0, bAlter) << iSeed;
        int viSorted[TOURNAMENT_OPPONENTS];
        std::copy(viOrder, viOrder + TOURNAMENT_OPPONENTS, viSorted);
        std::sort(viSorted, viSorted + TOURNAMENT_OPPONENTS);
        EXPECT_EQ(std::adjacent_find(viSorted, viSorted + 8), viSorted + 8) << "no repeats";
        for (int i = 0; i < 7; i++)
            EXPECT_EQ(is_alter(viOrder[i]) != 0, bAlter) << iSeed << " " << i;
        // The player's own character is not among the first seven; Carnal and
        // Arturito, when they are, come just before the alter ego.
        const int iPlain = bAlter ? get_alter_character(iCharacter) : iCharacter;
        if (iPlain != CARNAL) {
            EXPECT_EQ(viOrder[6], bAlter ? ALTER_CARNAL : CARNAL) << iSeed;
        }
        if (iPlain != ARTURITO) {
            EXPECT_EQ(viOrder[iPlain == CARNAL ? 6 : 5], bAlter ? ALTER_ARTURITO : ARTURITO) << iSeed;
        }
        EXPECT_EQ(std::count(viOrder, viOrder + 8, iCharacter), 0);
    }
    EXPECT_EQ(get_alter_character(CAMANEY), ALTER_CAMANEY);
}

// A rematch or continuing goes on; the exit quits, and a tournament then has
// no levels left. A lost tournament match is replayed.
TEST_F(PongTest, RematchChoicesAndRemainingLevels)
{
    ClockFeeder tClock(50);
    int bContinue = FALSE;
    check_rematch_selection(REMATCH, &bContinue);
    EXPECT_TRUE(bContinue == TRUE && !pong_quit());
    bContinue = FALSE;
    check_rematch_selection(CONTINUE, &bContinue);
    EXPECT_TRUE(bContinue == FALSE && !pong_quit()) << "continuing changes nothing";
    EXPECT_EQ(remaining_levels(VERSUS_MODE, 3, 0, TRUE), TRUE);
    EXPECT_EQ(remaining_levels(VERSUS_MODE, 3, 0, FALSE), FALSE);
    EXPECT_EQ(remaining_levels(TOURNAMENT_MODE, 2, 1, TRUE), 4);
    for (int iExit : {0, 0, 0})
        score_for(iExit); // player two wins 0-3
    EXPECT_EQ(remaining_levels(TOURNAMENT_MODE, 2, 1, TRUE), 5) << "the lost match is replayed";
    EXPECT_EQ(remaining_levels(TOURNAMENT_MODE, 2, 3, FALSE), 0);
    check_rematch_selection(REMATCH_EXIT, &bContinue);
    EXPECT_TRUE(pong_quit());
    EXPECT_EQ(remaining_levels(TOURNAMENT_MODE, 2, 1, TRUE), 0);
}

// --- whole matches of real frames on the game's own data ----------------------

namespace {
class PongSeriesTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        ASSERT_EQ(tfont_init(), 0);
        init_tables();
        random_init_seed(8);
        g_bmpBuffer = create_bitmap(800, 600);
        g_ptUserContainer = read_users();
        g_ptUserContainer->ptCurrentUser->bVsync = FALSE; // no clock runs here to wait on
        for (int i = 0; i < 2; i++)
            g_tPlayer[i] = {}, init_player(i, &g_tPlayer[i], IN_KEYBOARD);
        init_controls();
        g_tPlayer[0].iCharacter = CAMANEY;
        g_tPlayer[1].iCharacter = LENGUAS;
        g_iGameMode = GM_PLAYER_VS_PLAYER;
        clear_keybuf();
        simulate_keypress(KEY_A << 8 | 'a'); // the key buffer is not empty once a key was pressed
    }
    void TearDown() override
    {
        memset(const_cast<char *>(key), 0, KEY_MAX);
        clear_keybuf();
        for (stPlayer &p : g_tPlayer)
            destroy_player(&p), p = {};
        close_users(g_ptUserContainer);
        g_ptUserContainer = nullptr;
        destroy_bitmap(g_bmpBuffer);
        g_bmpBuffer = nullptr;
        tfont_exit();
        HeadlessAllegro::TearDown();
    }
    void hold(int iScancode, bool bDown) { const_cast<char *>(key)[iScancode] = bDown; }
    const InDirectory tGame;
    SilentSound tSilence;
};
} // namespace

// Player one rides up and down with its keys, player two keeps to the top:
// points come one at a time until a winner by the rules, and leaving the
// match gives back controls that an item had swapped.
TEST_F(PongSeriesTest, RealFramesScorePointsAndDeclareAWinner)
{
    constexpr float STEP = 1.0f / 200;    // s
    constexpr int MAX_FRAMES = 200 * 600; // ten minutes of play at most
    for (int iLevel : {12, 3}) {
        g_iLevel = iLevel;
        for (int i = 0; i < 2; i++)
            reset_player(&g_tPlayer[i], i, g_iLevel, 0);
        init_pong();
        EXPECT_STREQ(g_tPlayer[0].szCharName, "Camaney");
        hold(KEY_W, true);
        int iFrames = 0, iLastTotal = 0;
        play_pong_frame(0.0f); // the first frame of a match runs with no time
        while (pong_winner() == WITHOUT_A_WINNER && iFrames < MAX_FRAMES) {
            hold(KEY_UP, (iFrames / 300) % 2 == 0);
            hold(KEY_DOWN, (iFrames / 300) % 2 != 0);
            play_pong_frame(STEP);
            if (iFrames++ % 50 == 0)
                draw_pong();
            const int iTotal = g_tPlayer[0].iPoints + g_tPlayer[1].iPoints;
            ASSERT_TRUE(iTotal == iLastTotal || iTotal == iLastTotal + 1) << "one point at a time";
            iLastTotal = iTotal;
        }
        ASSERT_NE(pong_winner(), WITHOUT_A_WINNER) << "level " << iLevel << " after " << iFrames;
        EXPECT_EQ(exists_pong_winner(), pong_winner());
        const stPlayer &w = g_tPlayer[pong_winner()], &l = g_tPlayer[1 - pong_winner()];
        EXPECT_TRUE(w.iPoints == 5 || (w.iPoints == 3 && l.iPoints == 0));
        EXPECT_LT(g_tPlayer[1].ptPaddle->fY, 300.0f) << "player two rode up";
        const stInputKeys tKeys = *g_tPlayer[1].ptInputKeys;
        g_tPlayer[0].tItems.iItem = MIRROR;
        use_item(0, &g_tPlayer[0].tItems);
        EXPECT_EQ(g_tPlayer[1].ptInputKeys->iUp, tKeys.iDown);
        exit_pong();
        EXPECT_TRUE(g_tPlayer[1].ptInputKeys->iUp == tKeys.iUp && g_tPlayer[1].ptInputKeys->iGrow == tKeys.iGrow);
        EXPECT_EQ(g_ptLevelBounds, nullptr);
    }
}

// With both bands torn only the spheres meet the ball: between people a
// sphere met dead centre sends it straight back; between two computers it
// leaves turned by up to 30 degrees, never back toward the sphere.
TEST_F(PongSeriesTest, TornBandsSpheresScatterTheBallOnlyBetweenComputers)
{
    constexpr float SPEED = 600.0f; // px/s, straight at player one's upper sphere
    g_iLevel = 12;
    for (int i = 0; i < 2; i++)
        reset_player(&g_tPlayer[i], i, g_iLevel, 0);
    init_pong();
    play_pong_frame(0.0f);
    for (int iMode : {GM_PLAYER_VS_PLAYER, GM_COMPUTER_VS_COMPUTER}) {
        g_iGameMode = iMode;
        float fWidest = 0.0f;
        for (int t = 0; t < 40; t++) {
            for (stPlayer &p : g_tPlayer)
                p.ptPaddle->iSpringState = SPRING_BROKEN, p.ptPaddle->fY = 300.0f, p.ptPaddle->fVY = 0.0f;
            const stPaddle *ptPaddle = g_tPlayer[0].ptPaddle;
            g_tBall.fX = ptPaddle->fX + ptPaddle->fRadius + g_tBall.tCircle.fRadius + 2.0f;
            g_tBall.fY = ptPaddle->fY - 0.5f * ptPaddle->fSpringLength;
            g_tBall.fVelX = -SPEED;
            g_tBall.fVelY = 0.0f;
            play_pong_frame(1.0f / 200);
            ASSERT_GT(g_tBall.fVelX, 0.0f) << "the sphere sends the ball back";
            const float fAngle = std::fabs(std::atan2(g_tBall.fVelY, g_tBall.fVelX)) * 180.0f / 3.14159265f;
            EXPECT_LE(fAngle, 30.5f);
            fWidest = std::max(fWidest, fAngle);
        }
        if (iMode == GM_PLAYER_VS_PLAYER)
            EXPECT_LT(fWidest, 1.0f) << "between people the sphere keeps its geometry";
        else
            EXPECT_GT(fWidest, 10.0f) << "between computers the bounces scatter";
    }
    exit_pong();
}

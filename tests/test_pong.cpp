// The match: the winner rule, scoring by exit place with the revival of a torn
// band, the rematch choices, and the character and tournament arithmetic.
// (Whole matches of real frames are played by the end-to-end tests.)
#include "headless.h"
#include "menu.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {
class PongTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        iSavedSoundError = bSoundError;
        bSoundError = -1;
        for (int i = 0; i < 2; i++) {
            atPaddle[i] = {};
            atPaddle[i].iSpringState = SPRING_NORMAL;
            g_tPlayer[i] = {};
            g_tPlayer[i].iPlayer = i;
            g_tPlayer[i].ptPaddle = &atPaddle[i];
        }
        g_tBall = {};
        g_iGameMode = GM_PLAYER_VS_PLAYER;
        start_pong_match();
    }
    void TearDown() override
    {
        for (stPlayer &p : g_tPlayer)
            p = {};
        g_tBall = {};
        bSoundError = iSavedSoundError;
        HeadlessAllegro::TearDown();
    }
    void score_for(int iExitPlace)
    {
        g_tBall.bOutBounds = TRUE;
        g_tBall.iExitPlace = iExitPlace;
        detect_out_of_bounds();
    }
    stPaddle atPaddle[2];
    int iSavedSoundError = 0;
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

TEST_F(PongTest, AlterEgosPairUp)
{
    for (int c = 0; c < NUM_CHARACTERS; c++) {
        const int a = get_alter_character(c);
        EXPECT_TRUE(a >= 0 && a < NUM_CHARACTERS && get_alter_character(a) == c) << c;
        EXPECT_NE(is_alter(a) != 0, is_alter(c) != 0) << c;
    }
    EXPECT_EQ(get_alter_character(CAMANEY), ALTER_CAMANEY);
}

TEST_F(PongTest, TournamentOpponentsEndWithTheAlterEgo)
{
    for (int iSeed = 1; iSeed <= 40; iSeed++) {
        random_init_seed(iSeed);
        const int iCharacter = iSeed % NUM_CHARACTERS;
        g_tPlayer[0].iCharacter = iCharacter;
        int viOrder[TOURNAMENT_OPPONENTS];
        select_tournament_opponents(viOrder);
        EXPECT_EQ(viOrder[7], get_alter_character(iCharacter)) << iSeed;
        const bool bAlter = is_alter(iCharacter) != 0;
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

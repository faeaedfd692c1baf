// The screens around a match: what the character selection gives back per
// game mode, its links over characters that cannot be chosen, the stage
// screen's steps, its right arrow's mouse rule and its restart after the
// opening screen, and the presentations' score digits, verdicts, name lines
// and score announcements.
#include "database.h"
#include "input.h"
#include "labels.h"
#include "playing_screens.h"
#include "pong.h"
#include "select_player.h"
#include "stage.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <iterator>

TEST(CharacterSelection, ResultPerGameMode)
{
    const struct {
        int iGameMode, iOne, iTwo, iExpected;
    } atCases[] = {{GM_PLAYER_VS_COMPUTER, CAMANEY, OJEIS, (CAMANEY << 8) | 20},
                   {GM_PLAYER_VS_PLAYER, GUANTE, KAROLA, (GUANTE << 8) | KAROLA},
                   {GM_COMPUTER_VS_COMPUTER, CAMANEY, LENGUAS, (7 << 8) | 11}};
    for (const auto &c : atCases)
        EXPECT_EQ(pack_selection(c.iGameMode, c.iOne, c.iTwo), c.iExpected) << c.iGameMode;
}

TEST(CharacterSelection, LinksSkipCharactersThatCannotBeChosen)
{
    // A ring to the right 0 -> 1 -> ... -> 15 -> 0; up goes back one.
    stSelectScreenPlayer tScreen = {};
    for (int i = 0; i < NUM_CHARACTERS; i++)
        tScreen.tCharacter[i].tLink = {(i + 15) % 16, i, i, (i + 1) % 16};
    int aiStatus[NUM_CHARACTERS];
    std::fill(std::begin(aiStatus), std::end(aiStatus), static_cast<int>(HIDDEN));
    aiStatus[CAMANEY] = aiStatus[UAYUMIN] = SELECTABLE;
    aiStatus[LENGUAS] = NOT_SELECTABLE;
    const struct {
        int iMove, iFrom, iExpected;
    } atCases[] = {{MOVE_SHRINK, CAMANEY, UAYUMIN}, {MOVE_SHRINK, UAYUMIN, CAMANEY}, {MOVE_UP, CAMANEY, UAYUMIN},
                   {MOVE_DOWN, CAMANEY, CAMANEY},   {MOVE_GROW, UAYUMIN, UAYUMIN}};
    for (const auto &c : atCases)
        EXPECT_EQ(follow_links(&tScreen, aiStatus, c.iMove, c.iFrom), c.iExpected) << c.iMove << " " << c.iFrom;
    // No character can be chosen along the chain: the highlight stays.
    aiStatus[UAYUMIN] = HIDDEN;
    EXPECT_EQ(follow_links(&tScreen, aiStatus, MOVE_SHRINK, CAMANEY), CAMANEY);
}

TEST(StageSelection, StepsStayOnPlayableStagesAndLevels)
{
    int abPlayable[NUM_LEVEL_INDICES] = {};
    for (int i : {6, 7, 8, 12, 13}) // the storm stage's three levels, the snow stage's first two
        abPlayable[i] = -1;
    enum Op { UP, DOWN, NEXT, PREVIOUS, MOUSE_NEXT };
    struct Case {
        stSceneChoice tFrom;
        Op eOp;
        stSceneChoice tExpected;
    };
    const Case atCases[] = {
        {{12, 0}, UP, {12, 0}},        {{12, 1}, UP, {12, 0}},        {{12, 0}, DOWN, {12, 1}},
        {{12, 1}, DOWN, {12, 1}},      {{6, 2}, DOWN, {6, 2}},        {{12, 0}, NEXT, {6, 0}},
        {{6, 0}, NEXT, {12, 0}},       {{6, 0}, PREVIOUS, {12, 0}},   {{12, 2}, NEXT, {6, 2}},
        {{6, 2}, PREVIOUS, {6, 2}},    {{6, 0}, MOUSE_NEXT, {12, 0}}, {{12, 0}, MOUSE_NEXT, {6, 0}},
        {{21, 0}, MOUSE_NEXT, {6, 0}}, {{12, 2}, MOUSE_NEXT, {6, 2}},
    };
    for (const Case &c : atCases) {
        stSceneChoice t = c.tFrom;
        switch (c.eOp) {
        case UP: t = scene_level_up(t); break;
        case DOWN: t = scene_level_down(t, abPlayable); break;
        case NEXT: t = scene_next(t, abPlayable); break;
        case PREVIOUS: t = scene_previous(t, abPlayable); break;
        case MOUSE_NEXT: t = scene_next_by_mouse(t, abPlayable); break;
        }
        EXPECT_TRUE(t.iSceneCount == c.tExpected.iSceneCount && t.iSceneLevel == c.tExpected.iSceneLevel)
            << c.tFrom.iSceneCount << "+" << c.tFrom.iSceneLevel << " op " << c.eOp << " gave " << t.iSceneCount
            << "+" << t.iSceneLevel;
    }
    // With nothing playable at a level the stage stays; the right arrow clicked
    // past the last stage shows the third stage even when it is locked.
    int abNone[NUM_LEVEL_INDICES] = {};
    EXPECT_EQ(scene_next({12, 1}, abNone).iSceneCount, 12);
    EXPECT_EQ(scene_next_by_mouse({21, 1}, abNone).iSceneCount, 6);
    // After the opening screen a visit starts at stage 4, level 0; else where it was left.
    const stSceneChoice tFresh = scene_start({6, 2}, 1), tKept = scene_start({6, 2}, 0);
    EXPECT_TRUE(tFresh.iSceneCount == 12 && tFresh.iSceneLevel == 0);
    EXPECT_TRUE(tKept.iSceneCount == 6 && tKept.iSceneLevel == 2);
}

TEST(Presentations, ScoreBeforeThePointVerdictsNamesAndAnnouncements)
{
    int iOne = 0, iTwo = 0;
    score_before_point(3, 0, 1, &iOne, &iTwo);
    EXPECT_TRUE(iOne == 2 && iTwo == 0);
    score_before_point(4, 5, 0, &iOne, &iTwo);
    EXPECT_TRUE(iOne == 4 && iTwo == 4);

    // Labels of player one's and of player two's win, by game mode.
    const int aiVerdict[][3] = {{GM_PLAYER_VS_COMPUTER, 7, 8}, {GM_PLAYER_VS_PLAYER, 7, 9}, {GM_COMPUTER_VS_COMPUTER, 10, 11}};
    for (const auto &v : aiVerdict)
        EXPECT_TRUE(verdict_label(v[0], PLAYER_1_WINNER) == v[1] && verdict_label(v[0], PLAYER_2_WINNER) == v[2]) << v[0];

    char szUpper[NAME_LINE_SIZE], szLower[NAME_LINE_SIZE];
    name_lines("Alter Karola", szUpper, szLower);
    EXPECT_TRUE(strcmp(szUpper, "Alter") == 0 && strcmp(szLower, "Karola") == 0);
    name_lines("Guante", szUpper, szLower);
    EXPECT_TRUE(szUpper[0] == '\0' && strcmp(szLower, "Guante") == 0);

    // Announcements for 0-1 .. 0-11: versus looks at the first nine only.
    stScoresLabel atLabel[NUM_SCORE_LABELS] = {};
    for (int i = 0; i < NUM_SCORE_LABELS; i++) {
        atLabel[i].iScoreP1 = 0;
        atLabel[i].iScoreP2 = i + 1;
        g_ptScoresLabel[i] = &atLabel[i];
    }
    EXPECT_EQ(score_label_index(0, 9, VERSUS_MODE), 8);
    EXPECT_EQ(score_label_index(0, 10, VERSUS_MODE), -1);
    EXPECT_EQ(score_label_index(0, 10, TOURNAMENT_MODE), 9);
    EXPECT_EQ(score_label_index(3, 3, TOURNAMENT_MODE), -1);
    for (stScoresLabel *&pt : g_ptScoresLabel)
        pt = nullptr;
}

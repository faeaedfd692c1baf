// The screens around a match: what the character selection gives back per
// game mode, its links over characters that cannot be chosen, the stage
// screen's steps, its right arrow's mouse rule and its restart after the
// opening screen, and the presentations' score digits, verdicts, name lines
// and score announcements.
#include "support.h"
#include "database.h"
#include "input.h"
#include "labels.h"
#include "playing_screens.h"
#include "pong.h"
#include "select_player.h"
#include "stage.h"

TEST(CharacterSelection, ResultPerGameMode)
{
    EXPECT_EQ(pack_selection(GM_PLAYER_VS_COMPUTER, CAMANEY, OJEIS), (CAMANEY << 8) | 20);
    EXPECT_EQ(pack_selection(GM_PLAYER_VS_PLAYER, GUANTE, KAROLA), (GUANTE << 8) | KAROLA);
    EXPECT_EQ(pack_selection(GM_COMPUTER_VS_COMPUTER, CAMANEY, LENGUAS), (7 << 8) | 11);
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
    const std::array<int, 3> atCases[] = {{MOVE_SHRINK, CAMANEY, UAYUMIN}, {MOVE_SHRINK, UAYUMIN, CAMANEY},
                                          {MOVE_UP, CAMANEY, UAYUMIN},     {MOVE_DOWN, CAMANEY, CAMANEY},
                                          {MOVE_GROW, UAYUMIN, UAYUMIN}}; // move, from, reached
    for (const auto &[iMove, iFrom, iExpected] : atCases)
        EXPECT_EQ(follow_links(&tScreen, aiStatus, iMove, iFrom), iExpected) << iMove << " " << iFrom;
    // No character can be chosen along the chain: the highlight stays.
    aiStatus[UAYUMIN] = HIDDEN;
    EXPECT_EQ(follow_links(&tScreen, aiStatus, MOVE_SHRINK, CAMANEY), CAMANEY);
}

TEST(StageSelection, StepsStayOnPlayableStagesAndLevels)
{
    int abPlayable[NUM_LEVEL_INDICES] = {}, abNone[NUM_LEVEL_INDICES] = {}, abAll[NUM_LEVEL_INDICES];
    for (int i : {6, 7, 8, 12, 13}) // the storm stage's three levels, the snow stage's first two
        abPlayable[i] = -1;
    std::fill(std::begin(abAll), std::end(abAll), -1);
    // With nothing playable at a level the stage stays; the right arrow clicked
    // past the last stage shows the third stage even when it is locked. After
    // the opening screen a visit starts at stage 4, level 0; else where it was left.
    // With every level playable the last stage (count 21) is reached from the
    // one before it and wraps to the first, and the third level is the lowest.
    const stSceneChoice atResults[][2] = {
        {scene_level_up({12, 0}), {12, 0}},                 {scene_level_up({12, 1}), {12, 0}},
        {scene_level_down({12, 0}, abPlayable), {12, 1}},   {scene_level_down({12, 1}, abPlayable), {12, 1}},
        {scene_level_down({6, 2}, abPlayable), {6, 2}},     {scene_next({12, 0}, abPlayable), {6, 0}},
        {scene_next({6, 0}, abPlayable), {12, 0}},          {scene_previous({6, 0}, abPlayable), {12, 0}},
        {scene_next({12, 2}, abPlayable), {6, 2}},          {scene_previous({6, 2}, abPlayable), {6, 2}},
        {scene_next_by_mouse({6, 0}, abPlayable), {12, 0}}, {scene_next_by_mouse({12, 0}, abPlayable), {6, 0}},
        {scene_next_by_mouse({21, 0}, abPlayable), {6, 0}}, {scene_next_by_mouse({12, 2}, abPlayable), {6, 2}},
        {scene_next({12, 1}, abNone), {12, 1}},             {scene_next_by_mouse({21, 1}, abNone), {6, 1}},
        {scene_start({6, 2}, 1), {12, 0}},                  {scene_start({6, 2}, 0), {6, 2}},
        {scene_next({18, 1}, abAll), {21, 1}},              {scene_next({21, 1}, abAll), {0, 1}},
        {scene_previous({0, 2}, abAll), {21, 2}},           {scene_level_down({21, 1}, abAll), {21, 2}},
        {scene_level_down({3, 2}, abAll), {3, 2}},
    };
    int iRow = 0;
    for (const auto &r : atResults)
        EXPECT_TRUE(r[0].iSceneCount == r[1].iSceneCount && r[0].iSceneLevel == r[1].iSceneLevel)
            << "row " << iRow++ << ": expected " << r[1].iSceneCount << "+" << r[1].iSceneLevel << ", got "
            << r[0].iSceneCount << "+" << r[0].iSceneLevel;
}

TEST(Presentations, ScoreBeforeThePointVerdictsNamesAndAnnouncements)
{
    // The side that scored shows one point less; the other keeps its score.
    int iOne = 0, iTwo = 0;
    score_before_point(3, 0, 1, &iOne, &iTwo);
    EXPECT_TRUE(iOne == 2 && iTwo == 0);
    score_before_point(4, 5, 0, &iOne, &iTwo);
    EXPECT_TRUE(iOne == 4 && iTwo == 4);

    // Labels of player one's and of player two's win, by game mode.
    const int aiVerdict[][3] = {{GM_PLAYER_VS_COMPUTER, 7, 8}, {GM_PLAYER_VS_PLAYER, 7, 9}, {GM_COMPUTER_VS_COMPUTER, 10, 11}};
    for (const auto &v : aiVerdict)
        EXPECT_TRUE(verdict_label(v[0], PLAYER_1_WINNER) == v[1] && verdict_label(v[0], PLAYER_2_WINNER) == v[2]) << v[0];

    const std::pair<const char *, std::string> atNames[] = {{"Alter Karola", "Alter|Karola"}, {"Guante", "|Guante"}};
    for (const auto &[pszName, sLines] : atNames) {
        char szUpper[NAME_LINE_SIZE], szLower[NAME_LINE_SIZE];
        name_lines(pszName, szUpper, szLower);
        EXPECT_EQ(std::string(szUpper) + "|" + szLower, sLines);
    }

    // Announcements for 0-1 .. 0-11: versus looks at the first nine only.
    stScoresLabel atLabel[NUM_SCORE_LABELS] = {};
    for (int i = 0; i < NUM_SCORE_LABELS; i++) {
        atLabel[i].iScoreP2 = i + 1;
        g_ptScoresLabel[i] = &atLabel[i];
    }
    EXPECT_EQ(score_label_index(0, 9, VERSUS_MODE), 8);
    EXPECT_EQ(score_label_index(0, 10, VERSUS_MODE), -1);
    EXPECT_EQ(score_label_index(0, 10, TOURNAMENT_MODE), 9);
    EXPECT_EQ(score_label_index(3, 3, TOURNAMENT_MODE), -1);
    std::fill(std::begin(g_ptScoresLabel), std::end(g_ptScoresLabel), nullptr);
}

// Level collision texts: the worked example, the order and kinds of figures,
// the header and version checks with their fatal messages, and texts that do
// not fit (too long, more figures of one kind than a stage holds).
#include "headless.h"
#include "level.h"
#include "memory.h"

#include <gtest/gtest.h>
#include <string>

namespace {
// The record of a text, released by the test.
struct LevelText {
    explicit LevelText(const std::string &sText) : ptLevel(collision_to_level(sText.c_str())) {}
    ~LevelText() { safe_free(&ptLevel); }
    stLevelBounds *ptLevel;
};

std::string header(int iCount, const char *pszVersion = "1.0")
{
    return std::string("Tarvelix-level;") + pszVersion + ";" + std::to_string(iCount) +
           "\nany text\n";
}
} // namespace

TEST(Level, ExampleGivesOneSegmentAndOneCircle)
{
    LevelText t(header(2) + "Line;1;1;0;40;800;40\nCircle;1;1;400;300;25\n");
    ASSERT_EQ(t.ptLevel->iNumSegments, 1);
    ASSERT_EQ(t.ptLevel->iNumCircles, 1);
    const stSegment &s = t.ptLevel->vtSegment[0];
    EXPECT_EQ(s.tPoint0.fX, 0.0f);
    EXPECT_EQ(s.tPoint0.fY, 40.0f);
    EXPECT_EQ(s.tPoint1.fX, 800.0f);
    EXPECT_EQ(s.tPoint1.fY, 40.0f);
    const stCircle &c = t.ptLevel->vtCircle[0];
    EXPECT_EQ(c.tCenter.fX, 400.0f);
    EXPECT_EQ(c.tCenter.fY, 300.0f);
    EXPECT_EQ(c.fRadius, 25.0f);
}

TEST(Level, FiguresKeepTheOrderOfTheirLinesPerKind)
{
    LevelText t(header(5) + "Circle;1;1;10;20;5\r\nLine;1;1;1;2;3;4\r\nCircle;0;0;30;40;6\r\n"
                            "Line;9;9;5;6;7;8\r\nLine;9;9;-5;-6;-7;-8\r\n");
    ASSERT_EQ(t.ptLevel->iNumCircles, 2);
    ASSERT_EQ(t.ptLevel->iNumSegments, 3);
    EXPECT_EQ(t.ptLevel->vtCircle[1].tCenter.fX, 30.0f);
    EXPECT_EQ(t.ptLevel->vtCircle[1].fRadius, 6.0f); // "\r" before "\n" is harmless
    EXPECT_EQ(t.ptLevel->vtSegment[1].tPoint0.fX, 5.0f);
    EXPECT_EQ(t.ptLevel->vtSegment[2].tPoint1.fY, -8.0f);
}

TEST(Level, CountRulesHowManyLinesAreRead)
{
    struct Case {
        std::string sBody;
        int iCount, iSegments, iCircles;
        const char *pszWhat;
    };
    const std::string sTwo = "Line;1;1;0;0;10;0\nCircle;1;1;5;5;5\n";
    const Case aCases[] = {
        {sTwo, 0, 0, 0, "a count of 0 is an empty stage"},
        {sTwo, 1, 1, 0, "lines beyond the count are ignored"},
        {"Wall;1;1;0;0;10;0\n" + sTwo, 2, 0, 0, "an unknown type uses up the count"},
        {"line;1;1;0;40;800;40\n", 1, 0, 0, "types are case-sensitive"},
        {sTwo, 1000000, 1, 1, "a count beyond the text stops at its end"},
        {sTwo, -3, 0, 0, "a negative count reads nothing"},
    };
    for (const Case &c : aCases) {
        LevelText t(header(c.iCount) + c.sBody);
        EXPECT_EQ(t.ptLevel->iNumSegments, c.iSegments) << c.pszWhat;
        EXPECT_EQ(t.ptLevel->iNumCircles, c.iCircles) << c.pszWhat;
    }
}

TEST(Level, MissingNumbersReadAsZero)
{
    LevelText t(header(1) + "Circle;1;1;70");
    ASSERT_EQ(t.ptLevel->iNumCircles, 1);
    EXPECT_EQ(t.ptLevel->vtCircle[0].tCenter.fX, 70.0f);
    EXPECT_EQ(t.ptLevel->vtCircle[0].tCenter.fY, 0.0f);
    EXPECT_EQ(t.ptLevel->vtCircle[0].fRadius, 0.0f);
}

TEST(Level, OlderAndEqualVersionsLoad)
{
    for (const char *pszVersion : {"1.0", "0.9", "1", "abc"}) {
        LevelText t(header(1, pszVersion) + "Circle;1;1;1;2;3\n");
        EXPECT_EQ(t.ptLevel->iNumCircles, 1) << pszVersion;
    }
}

// More figures of one kind than a stage holds: the first ones are kept, the
// rest read and dropped, and the other kind still loads.
TEST(Level, FiguresBeyondTheCapacityOfTheirKindAreDropped)
{
    const int iExtra = 30;
    std::string sBody;
    for (int i = 0; i < MAX_LEVEL_SEGMENTS + iExtra; i++)
        sBody += "Line;1;1;" + std::to_string(i) + ";0;" + std::to_string(i) + ";9\n";
    sBody += "Circle;1;1;7;8;9\n";
    const std::string sText = header(MAX_LEVEL_SEGMENTS + iExtra + 1) + sBody;
    ASSERT_LT(sText.size(), static_cast<size_t>(LEVEL_TEXT_SIZE));
    LevelText t(sText);
    ASSERT_EQ(t.ptLevel->iNumSegments, MAX_LEVEL_SEGMENTS);
    EXPECT_EQ(t.ptLevel->vtSegment[MAX_LEVEL_SEGMENTS - 1].tPoint0.fX, MAX_LEVEL_SEGMENTS - 1.0f);
    ASSERT_EQ(t.ptLevel->iNumCircles, 1);
    EXPECT_EQ(t.ptLevel->vtCircle[0].fRadius, 9.0f);

    std::string sCircles;
    for (int i = 0; i < MAX_LEVEL_CIRCLES + iExtra; i++)
        sCircles += "Circle;1;1;" + std::to_string(i) + ";1;2\n";
    LevelText u(header(MAX_LEVEL_CIRCLES + iExtra) + sCircles);
    EXPECT_EQ(u.ptLevel->iNumCircles, MAX_LEVEL_CIRCLES);
    EXPECT_EQ(u.ptLevel->vtCircle[MAX_LEVEL_CIRCLES - 1].tCenter.fX, MAX_LEVEL_CIRCLES - 1.0f);
}

TEST(Level, TextJustShortEnoughForTheBufferLoads)
{
    std::string sText = header(1) + "Circle;1;1;4;5;6\n";
    sText.append(LEVEL_TEXT_SIZE - 1 - sText.size(), '\n');
    LevelText t(sText);
    EXPECT_EQ(t.ptLevel->iNumCircles, 1);
}

using LevelDeathTest = HeadlessAllegro;

TEST_F(LevelDeathTest, WrongHeaderEndsTheProgram)
{
    for (const char *pszText : {"tarvelix-level;1.0;0\nx\n", "Tarvelix-level ;1.0;0\nx\n",
                                "Tarvelix;1.0;0\nx\n", ""}) {
        EXPECT_EXIT(collision_to_level(pszText), ::testing::ExitedWithCode(255),
                    "El archivo tiene header incorrecto")
            << pszText;
    }
}

TEST_F(LevelDeathTest, NewerVersionEndsTheProgram)
{
    EXPECT_EXIT(collision_to_level("Tarvelix-level;1.1;0\nx\n"), ::testing::ExitedWithCode(255),
                "El archivo tiene una version mayor al sistema favor de actualizar sistema o "
                "crear de nuevo el archivo");
}

// A text that does not fit the working buffer is refused as not one of ours,
// never copied past its end.
TEST_F(LevelDeathTest, TextTooLongForTheBufferIsRefused)
{
    std::string sText = header(1) + "Circle;1;1;4;5;6\n";
    sText.append(LEVEL_TEXT_SIZE - sText.size(), '\n');
    ASSERT_EQ(sText.size(), static_cast<size_t>(LEVEL_TEXT_SIZE));
    EXPECT_EXIT(collision_to_level(sText.c_str()), ::testing::ExitedWithCode(255),
                "El archivo tiene header incorrecto");
    sText.append(50000, 'x');
    EXPECT_EXIT(collision_to_level(sText.c_str()), ::testing::ExitedWithCode(255),
                "El archivo tiene header incorrecto");
}

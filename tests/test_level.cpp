// Level collision texts: the worked example, the order and kinds of figures,
// the count and version rules, the header and version checks with their fatal
// messages, and texts that do not fit (too long, more figures of one kind than
// a stage holds).
#include "headless.h"
#include "level.h"
#include "memory.h"

namespace {
std::string header(int iCount, const std::string &sVersion = "1.0")
{
    return "Tarvelix-level;" + sVersion + ";" + std::to_string(iCount) + "\nany text\n";
}

// The figures read from a text: x0, y0, x1, y1 of every segment, then x, y, r
// of every circle, in the order stored.
struct Figures { std::vector<float> vSegments, vCircles; };

Figures read_level(const std::string &sText)
{
    stLevelBounds *ptLevel = collision_to_level(sText.c_str(), "COLISION0 (data/tx20.dat)");
    Figures t;
    for (int i = 0; i < ptLevel->iNumSegments; i++) {
        const stSegment &s = ptLevel->vtSegment[i];
        t.vSegments.insert(t.vSegments.end(), {s.tPoint0.fX, s.tPoint0.fY, s.tPoint1.fX, s.tPoint1.fY});
    }
    for (int i = 0; i < ptLevel->iNumCircles; i++) {
        const stCircle &c = ptLevel->vtCircle[i];
        t.vCircles.insert(t.vCircles.end(), {c.tCenter.fX, c.tCenter.fY, c.fRadius});
    }
    safe_free(&ptLevel);
    return t;
}
} // namespace

TEST(Level, TextsGiveTheirFiguresByTheCountAndTheVersion)
{
    struct Case { std::string sText; std::vector<float> vSegments, vCircles; const char *pszWhat; };
    const std::string sTwo = "Line;1;1;0;0;10;0\nCircle;1;1;5;5;5\n";
    const Case aCases[] = {
        {header(2) + "Line;1;1;0;40;800;40\nCircle;1;1;400;300;25\n", {0, 40, 800, 40}, {400, 300, 25},
         "the worked example"},
        {header(5) + "Circle;1;1;10;20;5\r\nLine;1;1;1;2;3;4\r\nCircle;0;0;30;40;6\r\n"
                     "Line;9;9;5;6;7;8\r\nLine;9;9;-5;-6;-7;-8\r\n",
         {1, 2, 3, 4, 5, 6, 7, 8, -5, -6, -7, -8}, {10, 20, 5, 30, 40, 6},
         "each kind in the order of its lines; \\r before \\n is harmless"},
        {header(0) + sTwo, {}, {}, "a count of 0 is an empty stage"},
        {header(1) + sTwo, {0, 0, 10, 0}, {}, "lines beyond the count are ignored"},
        {header(2) + "Wall;1;1;0;0;10;0\n" + sTwo, {}, {}, "an unknown type uses up the count"},
        {header(1) + "line;1;1;0;40;800;40\n", {}, {}, "types are case-sensitive"},
        {header(1000000) + sTwo, {0, 0, 10, 0}, {5, 5, 5}, "a count beyond the text stops at its end"},
        {header(-3) + sTwo, {}, {}, "a negative count reads nothing"},
        {header(1) + "Circle;1;1;70", {}, {70, 0, 0}, "missing numbers read as 0"},
        {header(1, "0.9") + sTwo, {0, 0, 10, 0}, {}, "an older version"},
        {header(1, "abc") + sTwo, {0, 0, 10, 0}, {}, "a version that reads as 0"},
    };
    for (const Case &c : aCases) {
        const Figures t = read_level(c.sText);
        EXPECT_EQ(t.vSegments, c.vSegments) << c.pszWhat;
        EXPECT_EQ(t.vCircles, c.vCircles) << c.pszWhat;
    }
}

// More figures of one kind than a stage holds: the first ones are kept, the
// rest read and dropped, and the other kind still loads.
TEST(Level, FiguresBeyondTheCapacityOfTheirKindAreDropped)
{
    constexpr int EXTRA = 30;
    std::string sLines, sCircles;
    for (int i = 0; i < MAX_LEVEL_SEGMENTS + EXTRA; i++)
        sLines += "Line;1;1;" + std::to_string(i) + ";0;" + std::to_string(i) + ";9\n";
    const std::string sText = header(MAX_LEVEL_SEGMENTS + EXTRA + 1) + sLines + "Circle;1;1;7;8;9\n";
    ASSERT_LT(sText.size(), static_cast<size_t>(LEVEL_TEXT_SIZE));
    const Figures t = read_level(sText);
    ASSERT_EQ(t.vSegments.size(), 4u * MAX_LEVEL_SEGMENTS);
    EXPECT_EQ(t.vSegments[4 * (MAX_LEVEL_SEGMENTS - 1)], MAX_LEVEL_SEGMENTS - 1.0f);
    EXPECT_EQ(t.vCircles, (std::vector<float>{7, 8, 9}));

    for (int i = 0; i < MAX_LEVEL_CIRCLES + EXTRA; i++)
        sCircles += "Circle;1;1;" + std::to_string(i) + ";1;2\n";
    const Figures u = read_level(header(MAX_LEVEL_CIRCLES + EXTRA) + sCircles);
    ASSERT_EQ(u.vCircles.size(), 3u * MAX_LEVEL_CIRCLES);
    EXPECT_EQ(u.vCircles[3 * (MAX_LEVEL_CIRCLES - 1)], MAX_LEVEL_CIRCLES - 1.0f);
}

TEST(Level, TextJustShortEnoughForTheBufferLoads)
{
    std::string sText = header(1) + "Circle;1;1;4;5;6\n";
    sText.append(LEVEL_TEXT_SIZE - 1 - sText.size(), '\n');
    EXPECT_EQ(read_level(sText).vCircles, (std::vector<float>{4, 5, 6}));
}

using LevelDeathTest = HeadlessAllegro;

// A wrong header or a newer version ends the program; so does a text that does
// not fit the working buffer, refused as not one of ours and never copied past
// its end.
TEST_F(LevelDeathTest, RefusedTextsEndTheProgram)
{
    const char *pszHeader = "El texto de colisiones COLISION0 \\(data/tx20.dat\\) tiene un encabezado incorrecto";
    std::string sFull = header(1) + "Circle;1;1;4;5;6\n";
    sFull.append(LEVEL_TEXT_SIZE - sFull.size(), '\n');
    const std::pair<std::string, const char *> aCases[] = {
        {"tarvelix-level;1.0;0\nx\n", pszHeader},
        {"Tarvelix-level ;1.0;0\nx\n", pszHeader},
        {"Tarvelix;1.0;0\nx\n", pszHeader},
        {"", pszHeader},
        {"Tarvelix-level;1.1;0\nx\n", "El texto de colisiones COLISION0 \\(data/tx20.dat\\) es de una versión "
                                      "más nueva que este juego: actualice el juego o vuelva a crear el texto"},
        {sFull, pszHeader},
        {sFull + std::string(50000, 'x'), pszHeader},
    };
    for (const auto &[sText, pszMessage] : aCases)
        EXPECT_EXIT(collision_to_level(sText.c_str(), "COLISION0 (data/tx20.dat)"), ::testing::ExitedWithCode(255),
                    pszMessage)
            << sText.substr(0, 30);
}

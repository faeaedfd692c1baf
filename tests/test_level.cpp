// Level collision texts that do not fit: more figures of one kind than a stage
// holds, and a text just short enough for the buffer.
#include "support.h"
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

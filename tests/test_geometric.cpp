// Geometry primitives: sign conventions, inclusive bounds, the collinear rules of
// the segment test, the inside tests and the truncations of line_intersection.
#include "support.h"
#include "geometric.h"

namespace {
stSegment seg(float x0, float y0, float x1, float y1) { return {{x0, y0}, {x1, y1}}; }
} // namespace

TEST(Geometric, RangeIsInclusiveInEitherOrder)
{
    struct Case { float fStart, fEnd, fTest; int iExpected; };
    const float fNaN = std::numeric_limits<float>::quiet_NaN();
    const Case aCases[] = {
        {5, 1, 1, 1}, {1, 5, 5, 1}, {1, 5, 6, 0}, {5, 1, 3, 1}, {1, 5, 0.999f, 0}, {2, 2, 2, 1}, {1, 5, fNaN, 0},
    };
    for (const Case &c : aCases)
        EXPECT_EQ(number_in_range(c.fStart, c.fEnd, c.fTest), c.iExpected) << c.fStart << " " << c.fEnd << " " << c.fTest;
}

TEST(Geometric, SegmentIntersectionCases)
{
    struct Case { stSegment s0, s1; int iExpected; const char *pszWhat; };
    const Case aCases[] = {
        {seg(0, 0, 2, 2), seg(0, 2, 2, 0), 1, "proper crossing"},
        {seg(0, 0, 1, 0), seg(1, 0, 1, 1), 1, "shared end point"},
        {seg(1, 0, 1, 1), seg(0, 0, 2, 0), 1, "T-junction"},
        {seg(0, 0, 2, 0), seg(1, 0, 3, 0), 1, "collinear overlap"},
        {seg(0, 0, 2, 0), seg(3, 0, 1, 0), 1, "collinear overlap, the second's end inside"},
        {seg(1, 0, 2, 0), seg(0, 0, 3, 0), 0, "collinear, second contains first"},
        {seg(0, 0, 3, 0), seg(1, 0, 2, 0), 1, "collinear, first contains second"},
        {seg(0, 0, 1, 0), seg(2, 0, 3, 0), 0, "collinear, apart"},
        {seg(0, 0, 2, 0), seg(3, -1, 3, 1), 0, "crosses the line beyond the end"},
        {seg(0, 0, 2, 0), seg(1, 1, 1, 3), 0, "both ends on one side"},
        {seg(5, 5, 5, 5), seg(5, 5, 5, 5), 1, "equal points"},
    };
    for (const Case &c : aCases)
        EXPECT_EQ(segment_segment_intersection(&c.s0, &c.s1), c.iExpected) << c.pszWhat;
}

TEST(Geometric, LineDistanceIsSignedAndAreasAreNot)
{
    // The line distance is signed: positive to the right of A -> B on screen.
    const stSegment x = seg(0, 0, 1, 0), back = seg(1, 0, 0, 0);
    const stPoint below{0, 1}, far{10, -7};
    EXPECT_FLOAT_EQ(point_line_distance(&x, &below), 1.0f);
    EXPECT_FLOAT_EQ(point_line_distance(&x, &far), -7.0f);
    EXPECT_FLOAT_EQ(point_line_distance(&back, &below), -1.0f);
    const stPoint atReversed[3] = {{0, 3}, {4, 0}, {0, 0}};
    EXPECT_FLOAT_EQ(triangle_area(atReversed), 6.0f); // unsigned
    // A zero-length segment is measured from its point, never divided by its length.
    const stSegment tDot = seg(2, 2, 2, 2);
    const stPoint tFrom{5, 6};
    EXPECT_FLOAT_EQ(point_segment_distance(&tDot, &tFrom, nullptr), 5.0f);
}

TEST(Geometric, PointInsideTriangleAndConvexPolygon)
{
    const stPoint at[3] = {{0, 0}, {10, 0}, {0, 10}};
    struct Case { stPoint p; float fTolerance; int iExpected; };
    const Case aCases[] = {{{5, 5}, 0, 1}, {{0, 0}, 0, 1}, {{5.1f, 5}, 0, 0}, {{-1, 2}, 0, 0}, {{5.1f, 5}, 5, 1}};
    for (const Case &c : aCases)
        EXPECT_EQ(point_inside_triangle(&c.p, at, c.fTolerance), c.iExpected) << c.p.fX << "," << c.p.fY;

    const stPoint atSquare[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_FLOAT_EQ(polygon_area(atSquare, 4), 16.0f);
    const stPoint in{1, 2}, out{5, 2}, edge{2, 0};
    EXPECT_EQ(point_inside_polygon(&in, atSquare, 4), 1);
    EXPECT_EQ(point_inside_polygon(&out, atSquare, 4), 0);
    // On an edge that turn is 0 and counted alone: outside. Walked the other
    // way the other three turns are negative: all four count.
    EXPECT_EQ(point_inside_polygon(&edge, atSquare, 4), 0);
    const stPoint atBack[4] = {{0, 4}, {4, 4}, {4, 0}, {0, 0}};
    EXPECT_EQ(point_inside_polygon(&edge, atBack, 4), 1);
}

TEST(Geometric, LineIntersectionTruncatesAndKeepsVerticalX)
{
    struct Case { stSegment l1, l2; int iExpected; stPoint tPoint; };
    const Case aCases[] = {
        {seg(3, 0, 3, 10), seg(0, 0.5f, 1, 1.5f), 1, {3, 3}},   // y truncated from 3.5
        {seg(0, 0.5f, 1, 1.5f), seg(3, 0, 3, 10), 1, {3, 3}},   // the vertical one second
        {seg(2.5f, 0, 2.5f, 9), seg(0, 0, 1, 1), 1, {2.5f, 2}}, // vertical x not truncated
        {seg(3, 0, 3, 10), seg(5, 1, 5, 2), 0, {3, 0}},         // both vertical
        {seg(0, 0, 1, 1), seg(0, 2, 1, 3), 0, {0, 0}},          // parallel
        {seg(0, 0, 10, 7), seg(0, 3, 10, 3), 1, {4, 2}},        // x 4.28 -> 4, y 2.8 -> 2
        {seg(0, 0, -10, 7), seg(0, 3, 10, 3), 1, {-4, 2}},      // toward zero for negative x
    };
    for (const Case &c : aCases) {
        stPoint t{-99, -99};
        EXPECT_EQ(line_intersection(&c.l1, &c.l2, &t), c.iExpected);
        EXPECT_FLOAT_EQ(t.fX, c.tPoint.fX);
        EXPECT_FLOAT_EQ(t.fY, c.tPoint.fY);
    }
    // Nearly parallel lines meet far away, without overflowing the whole-pixel x.
    const stSegment l1 = seg(0, 0, 1000, 1), l2 = seg(0, 1, 1000, 2.0001f);
    stPoint t;
    EXPECT_EQ(line_intersection(&l1, &l2, &t), 1);
    EXPECT_TRUE(std::isfinite(t.fX) && t.fX < -1e6f);
}

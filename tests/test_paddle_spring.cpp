// Band drawing on memory bitmaps: the tear opening, the torn band, the revival
// from both ends, and the node operations.
#include "headless.h"
#include "paddle.h"
#include "paddle_spring.h"

namespace {
constexpr int W = 200, H = 400; // px of the test picture

// A white band of 200 px from (100, 100) to (100, 300), its middle displaced by
// (fDX, fDY) round a ball of fBallRadius, fTime s into a state of 0.25 s.
stPaddle band(float fDX, float fDY, float fBallRadius, int iState = SPRING_NORMAL, float fTime = 0)
{
    stPaddle p = {};
    p.fX = 100;
    p.fY = 200;
    p.fSpringLength = 200;
    p.iSpringColor = makecol(255, 255, 255);
    p.iSpringState = iState;
    p.fDeformedSpringX = fDX;
    p.fDeformedSpringY = fDY;
    p.iCollidingObjectRadius = fBallRadius;
    p.fDeformedSpringTime = fTime;
    p.fDeformedSpringMaxTime = 0.25f;
    return p;
}

// The band drawn on black, for looking at its pixels.
struct Drawing {
    explicit Drawing(const stPaddle &p) : bmp(create_bitmap(W, H))
    {
        clear_to_color(bmp, 0);
        draw_spring(bmp, &p);
    }
    ~Drawing() { destroy_bitmap(bmp); }
    bool lit(int x, int y) const { return getpixel(bmp, x, y) != 0; }
    // Lit pixels in the rows y0 to y1.
    int rows(int y0, int y1) const
    {
        int n = 0;
        for (int y = y0; y <= y1; y++)
            for (int x = 0; x < W; x++)
                n += lit(x, y) ? 1 : 0;
        return n;
    }
    // Every pixel of the column x from y0 to y1 is lit.
    bool column(int x, int y0, int y1) const
    {
        for (int y = y0; y <= y1; y++)
            if (!lit(x, y))
                return false;
        return true;
    }
    BITMAP *bmp;
};

class PaddleSpringTest : public HeadlessAllegro {};
} // namespace

TEST_F(PaddleSpringTest, TearingOpensFromTheBallTornDrawsNothingRevivingGrowsFromTheEnds)
{
    Drawing d0(band(-30, 0, 10, SPRING_BREAKING, 0));
    EXPECT_TRUE(d0.lit(70, 190) && d0.lit(70, 210)); // the torn ends at the ball's sides
    EXPECT_EQ(d0.rows(192, 208), 0);
    Drawing d1(band(-30, 0, 10, SPRING_BREAKING, 0.125f)); // half way: ends 50 + 10 px from the middle
    EXPECT_TRUE(d1.lit(70, 140) && d1.lit(70, 260));
    EXPECT_EQ(d1.rows(145, 255), 0);
    EXPECT_EQ(Drawing(band(-30, 0, 10, SPRING_BROKEN)).rows(0, H - 1), 0);
    Drawing r1(band(0, 0, 0, SPRING_REVIVING, 0.125f));
    EXPECT_TRUE(r1.column(100, 100, 150) && r1.column(100, 250, 300));
    EXPECT_EQ(r1.rows(151, 249), 0);
    // A revival with no duration shows the whole band rather than dividing by zero.
    stPaddle p = band(0, 0, 0, SPRING_REVIVING, 0.125f);
    p.fDeformedSpringMaxTime = 0;
    const Drawing r2(p);
    EXPECT_TRUE(r2.column(100, 100, 300));
    EXPECT_EQ(r2.rows(0, H - 1), 201);
}

TEST(PaddleSpringNodes, NodeOperations)
{
    stSpring t;
    init_spring(&t);
    EXPECT_FLOAT_EQ(t.fCurviness, 0.25f); // the control points a quarter of the chord out
    const stSpringNode a{10, 20, 0}, b{13, 24, 0};
    EXPECT_FLOAT_EQ(calc_node_distance(&a, &b), 5.0f);
    stSpringNode m{};
    create_dummy_node(&m, &a, &b);
    EXPECT_EQ(m.iX, 7);
    EXPECT_EQ(m.iY, 16);
    calc_tangent_with_nodes(&m, &a, &b);
    EXPECT_FLOAT_EQ(m.fTangent, std::atan2(4.0f, 3.0f));

    // A quarter of the chord (40 px) from each end, along each end's tangent.
    const stSpringNode n1{0, 0, 0}, n2{0, 40, static_cast<float>(M_PI / 2)};
    int ai[SPRING_PIECE_POINTS];
    get_control_points(&n1, &n2, ai, 0.25f);
    const int aiExpected[SPRING_PIECE_POINTS] = {0, 0, 10, 0, 0, 30, 0, 40};
    for (int i = 0; i < SPRING_PIECE_POINTS; i++)
        EXPECT_EQ(ai[i], aiExpected[i]) << i;
}

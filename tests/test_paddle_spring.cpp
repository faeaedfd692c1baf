// Band drawing on memory bitmaps: the straight band, the band wrapped round a
// held ball, mirror images for the two sides, the tear opening, the torn band,
// the revival from both ends, and the node operations.
#include "headless.h"
#include "paddle.h"
#include "paddle_spring.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr int W = 200, H = 400; // px of the test picture

stPaddle band(float fDX, float fDY, float fBallRadius, int iState = SPRING_NORMAL)
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
    p.fDeformedSpringMaxTime = 0.25f;
    return p;
}

// The drawn pixels of a picture, for comparing drawings.
struct Drawing {
    explicit Drawing(const stPaddle &p) : bmp(create_bitmap(W, H))
    {
        clear_to_color(bmp, 0);
        draw_spring(bmp, &p);
    }
    ~Drawing() { destroy_bitmap(bmp); }
    bool lit(int x, int y) const { return getpixel(bmp, x, y) != 0; }
    int count() const
    {
        int n = 0;
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++)
                n += lit(x, y) ? 1 : 0;
        return n;
    }
    // Lit pixels of one row.
    int row(int y) const
    {
        int n = 0;
        for (int x = 0; x < W; x++)
            n += lit(x, y) ? 1 : 0;
        return n;
    }
    BITMAP *bmp;
};

class PaddleSpringTest : public HeadlessAllegro {};
} // namespace

TEST_F(PaddleSpringTest, StraightBandIsOneVerticalLineBetweenTheSpheres)
{
    for (float fDX : {0.0f, 0.09f, -0.09f}) {
        Drawing d(band(fDX, 5, 10));
        EXPECT_EQ(d.count(), 201) << fDX;
        for (int y = 100; y <= 300; y++)
            ASSERT_TRUE(d.lit(100, y)) << y;
        EXPECT_FALSE(d.lit(100, 99));
        EXPECT_FALSE(d.lit(100, 301));
        EXPECT_EQ(getr(getpixel(d.bmp, 100, 200)), 255);
    }
}

TEST_F(PaddleSpringTest, BandHoldingABallPassesAboveAndBelowIt)
{
    Drawing d(band(-30, 0, 10));
    EXPECT_TRUE(d.lit(70, 190));
    EXPECT_TRUE(d.lit(70, 210));
    EXPECT_TRUE(d.lit(100, 100)); // the ends stay at the spheres
    EXPECT_TRUE(d.lit(100, 300));
    EXPECT_FALSE(d.lit(100, 200)); // the rest line is left
    // One curve: every row between the ends is crossed, and the ball's middle
    // is closed on the far side by the piece between the two inner nodes.
    for (int y = 101; y < 300; y++)
        ASSERT_GE(d.row(y), 1) << y;
    int iLeftmost = W;
    for (int x = 0; x < W; x++)
        if (d.lit(x, 200))
            iLeftmost = std::min(iLeftmost, x);
    EXPECT_LE(iLeftmost, 70);
}

TEST_F(PaddleSpringTest, TwoSidesAreMirrorImagesUpToOnePixel)
{
    const float afDX[] = {-45, -30, -12.5f, 8, 27};
    for (float fDX : afDX) {
        Drawing a(band(fDX, 7, 12));
        Drawing b(band(-fDX, 7, 12));
        for (int y = 0; y < H; y++) {
            for (int x = 1; x < W - 1; x++) {
                if (!a.lit(x, y))
                    continue;
                const int xm = 200 - x; // mirrored about x = 100
                ASSERT_TRUE(b.lit(xm, y) || b.lit(xm - 1, y) || b.lit(xm + 1, y) ||
                            b.lit(xm, y - 1) || b.lit(xm, y + 1))
                    << fDX << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(PaddleSpringTest, TornBandDrawsNothing)
{
    Drawing d(band(-30, 0, 10, SPRING_BROKEN));
    EXPECT_EQ(d.count(), 0);
}

TEST_F(PaddleSpringTest, TearingBandOpensFromTheBallToTheWholeLength)
{
    stPaddle p = band(-30, 0, 10, SPRING_BREAKING);
    p.fDeformedSpringTime = 0;
    Drawing d0(p);
    EXPECT_TRUE(d0.lit(70, 190)); // the torn ends at the ball's sides
    EXPECT_TRUE(d0.lit(70, 210));
    for (int y = 192; y <= 208; y++)
        EXPECT_EQ(d0.row(y), 0) << y; // the gap between them
    p.fDeformedSpringTime = 0.125f; // half way: ends 50 + 10 px from the middle
    Drawing d1(p);
    EXPECT_TRUE(d1.lit(70, 140));
    EXPECT_TRUE(d1.lit(70, 260));
    for (int y = 145; y <= 255; y++)
        EXPECT_EQ(d1.row(y), 0) << y;
    // A band that tears while straight opens as well.
    stPaddle q = band(0, 0, 0, SPRING_BREAKING);
    q.fDeformedSpringTime = 0.125f;
    Drawing d2(q);
    EXPECT_TRUE(d2.lit(100, 100));
    EXPECT_TRUE(d2.lit(100, 150));
    EXPECT_EQ(d2.row(200), 0);
}

TEST_F(PaddleSpringTest, RevivingBandGrowsFromBothSpheres)
{
    stPaddle p = band(0, 0, 0, SPRING_REVIVING);
    p.fDeformedSpringTime = 0;
    Drawing d0(p);
    EXPECT_EQ(d0.count(), 2); // two points at the spheres
    EXPECT_TRUE(d0.lit(100, 100));
    EXPECT_TRUE(d0.lit(100, 300));
    p.fDeformedSpringTime = 0.125f;
    Drawing d1(p);
    EXPECT_TRUE(d1.lit(100, 150));
    EXPECT_TRUE(d1.lit(100, 250));
    EXPECT_FALSE(d1.lit(100, 151));
    EXPECT_FALSE(d1.lit(100, 249));
    p.fDeformedSpringTime = 0.25f;
    Drawing d2(p);
    for (int y = 100; y <= 300; y++)
        ASSERT_TRUE(d2.lit(100, y)) << y;
    // A revival with no duration shows the whole band rather than dividing by zero.
    p.fDeformedSpringMaxTime = 0;
    Drawing d3(p);
    EXPECT_TRUE(d3.lit(100, 200));
}

TEST(PaddleSpringNodes, NodeOperations)
{
    stSpring t;
    init_spring(&t);
    EXPECT_EQ(t.iState, 0);
    EXPECT_FLOAT_EQ(t.fCurviness, 0.25f);
    EXPECT_EQ(t.tNodes[3].iX, 0);
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

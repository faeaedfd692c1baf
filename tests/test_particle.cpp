// Particles: emission counts, the fan of angles with its jitter, the spread of
// life and speed, the per-stage spark table, lives and the three drawings.
#include "headless.h"
#include "particle.h"
#include "pong.h"
#include "random.h"
#include "tables.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr double EMIT_DEG = 0.01745328888888889; // radians per emission degree

int rgb(int iRgb) { return makecol(iRgb >> 16, (iRgb >> 8) & 0xff, iRgb & 0xff); }

class ParticleTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        init_tables();
        random_init_seed(1234);
        kill_particles();
    }
    void TearDown() override
    {
        kill_particles();
        HeadlessAllegro::TearDown();
    }
    // A full turn of particles without speed at (x, y): they stay where they are.
    void emit(int x, int y, int iParticles, double fLife = 10.0, double fSizeDelta = 0.0,
              enParticleTypes eType = CIRCLE_PARTICLE, int iColor1 = 0xffffff, int iColor2 = 0xffffff,
              BITMAP *bmp = nullptr)
    {
        init_particle_explosion(x, y, iParticles, fLife, 0, 360, 0, fSizeDelta, 1, rgb(iColor1), rgb(iColor2),
                                eType, bmp);
    }
};
} // namespace

TEST_F(ParticleTest, EmissionWithoutParticlesLivesOrLifeDoesNothing)
{
    for (const auto &[iParticles, fLife, iLives] : {std::tuple{0, 1.0, 1}, std::tuple{-3, 1.0, 1},
                                                   std::tuple{10, 1.0, 0}, std::tuple{10, 0.0, 1}})
        init_particle_explosion(0, 0, iParticles, fLife, 0, 360, 30, 1, iLives, 0, 0, CIRCLE_PARTICLE, nullptr);
    EXPECT_EQ(count_live_particles(), 0);
}

TEST_F(ParticleTest, FanStartsAtTheSmallerAngleAndJittersByOneStep)
{
    struct Case {
        double fAngle1, fAngle2;
        int iParticles;
        double fStart, fStep;
    };
    const Case aCases[] = {
        {350, 10, 4, 10, 85}, // 340 degrees from 10, not a 20-degree fan
        {10, 350, 4, 10, 85},
        {0, 720, 8, 0, 45},   // wider than a turn: one full turn from 0
        {30, 30, 3, 30, 0},   // no span: no jitter
        {-45, 45, 9, 45 - 90, 10},
    };
    for (const Case &c : aCases) {
        kill_particles();
        init_particle_explosion(100, 200, c.iParticles, 1.0, c.fAngle1, c.fAngle2, 30, 0, 1, 0, 0,
                                CIRCLE_PARTICLE, nullptr);
        ASSERT_EQ(count_live_particles(), c.iParticles);
        for (int k = 0; k < c.iParticles; k++) {
            const stParticle *p = get_particle(k);
            const double fJitter = p->fAngle / EMIT_DEG - (k * c.fStep + c.fStart + 90);
            EXPECT_NEAR(fJitter, std::round(fJitter), 1e-6) << k;
            EXPECT_LE(std::fabs(fJitter), static_cast<int>(c.fStep) + 1e-6) << k;
            EXPECT_EQ(p->fX, 100.0);
            EXPECT_EQ(p->fY, 200.0);
            EXPECT_EQ(p->bAlive, -1);
        }
    }
}

TEST_F(ParticleTest, LifeSpeedAndSizeAreSpreadWithinTheirBounds)
{
    init_particle_explosion(0, 0, 500, 1.05, 0, 360, 35, 1.6, 1, 7, 9, LINE_PARTICLE, nullptr);
    ASSERT_EQ(count_live_particles(), 500);
    int aiSizes[3] = {0, 0, 0};
    for (int i = 0; i < 500; i++) {
        const stParticle *p = get_particle(i);
        EXPECT_GE(p->fLife, static_cast<int>(1.05 * 85) / 100.0);  // 0.89
        EXPECT_LE(p->fLife, static_cast<int>(1.05 * 115) / 100.0); // 1.20
        EXPECT_GE(p->fVel, static_cast<int>(35 * 85) / 100.0);     // 29.75
        EXPECT_LE(p->fVel, static_cast<int>(35 * 115) / 100.0);    // 40.25
        ASSERT_TRUE(p->fSize == 1.0 || p->fSize == 2.0);
        aiSizes[static_cast<int>(p->fSize)]++;
        EXPECT_DOUBLE_EQ(p->fVelX, p->fVel * table_cos(static_cast<float>(p->fAngle)));
        EXPECT_DOUBLE_EQ(p->fVelY, p->fVel * table_sin(static_cast<float>(p->fAngle)));
    }
    EXPECT_TRUE(aiSizes[1] > 0 && aiSizes[2] > 0);
}

TEST_F(ParticleTest, FullPoolPlacesFewerAndFreedSlotsFillFromTheBottom)
{
    emit(0, 0, 995);
    emit(0, 0, 10);
    EXPECT_EQ(count_live_particles(), MAX_PARTICLES);
    emit(0, 0, 3);
    EXPECT_EQ(count_live_particles(), MAX_PARTICLES);
    kill_particles();
    emit(0, 0, 5000); // capped at the pool's size, step from the cap
    EXPECT_EQ(count_live_particles(), MAX_PARTICLES);

    // Short lives in slots 0 to 9, long ones after them: the short ones end,
    // and a new emission takes the lowest free slots.
    kill_particles();
    emit(0, 0, 10, 0.5);
    emit(0, 0, 10, 10.0);
    update_particles(0.7f);
    EXPECT_EQ(count_live_particles(), 10);
    emit(5, 5, 3, 10.0);
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(get_particle(i)->fX, 5.0);
    EXPECT_EQ(get_particle(3)->bAlive, 0);
}

TEST_F(ParticleTest, UpdateMovesGrowsAndEndsLives)
{
    init_particle_explosion(10, 20, 1, 1.0, 0, 0, 100, 2.0, 2, 0, 0, CIRCLE_PARTICLE, nullptr);
    const stParticle *p = get_particle(0);
    const double fLife = p->fLife, fSize = p->fSize, vx = p->fVelX, vy = p->fVelY;
    update_particles(0.25f);
    EXPECT_DOUBLE_EQ(p->fElapsed, 0.25);
    EXPECT_DOUBLE_EQ(p->fX, 10 + 0.25 * vx);
    EXPECT_DOUBLE_EQ(p->fY, 20 + 0.25 * vy);
    EXPECT_DOUBLE_EQ(p->fSize, fSize + 0.5);
    // The step that reaches the life's end takes a life and stands still.
    const double x = p->fX;
    update_particles(static_cast<float>(fLife));
    EXPECT_EQ(p->bAlive, -1);
    EXPECT_EQ(p->iNumLives, 1);
    EXPECT_EQ(p->fElapsed, 0.0);
    EXPECT_EQ(p->fX, x);
    update_particles(static_cast<float>(fLife));
    EXPECT_EQ(count_live_particles(), 0);
}

TEST_F(ParticleTest, StageSparksFollowTheTable)
{
    struct Case {
        int iLevel, iParticles;
        double fLife;
        int iRgb1, iRgb2;
        enParticleTypes eType;
    };
    const Case aCases[] = {
        {-1, 8, 1.05, 0xffff00, 0xff0000, BITMAP_PARTICLE},
        {CAMANEY_LEVEL, 25, 1.05, 0xffff00, 0xff0000, LINE_PARTICLE},
        {LENGUAS_LEVEL, 10, 0.65, 0xffffff, 0xffffff, CIRCLE_PARTICLE},
        {UAYUMIN_LEVEL, 30, 0.95, 0xffffff, 0xffffff, CIRCLE_PARTICLE},
        {KAROLA_LEVEL, 15, 0.7, 0xffffff, 0xffffff, CIRCLE_PARTICLE},
        {GUANTE_LEVEL, 20, 0.75, 0x7fffff, 0xffffff, LINE_PARTICLE},
        {OJEIS_LEVEL, 20, 0.75, 0xd0b281, 0xf2d4ba, CIRCLE_PARTICLE},
        {ARTURITO_LEVEL, 35, 1.15, 0xffff00, 0xff0000, LINE_PARTICLE},
        {CARNAL_LEVEL, 20, 0.75, 0xff0000, 0x000000, CIRCLE_PARTICLE},
        {8, 20, 0.75, 0xffffff, 0xffffff, CIRCLE_PARTICLE},
        {-2, 20, 0.75, 0xffffff, 0xffffff, CIRCLE_PARTICLE},
    };
    for (const Case &c : aCases) {
        kill_particles();
        init_stage_particles(300, 400, c.iLevel);
        ASSERT_EQ(count_live_particles(), c.iParticles) << c.iLevel;
        const stParticle *p = get_particle(0);
        EXPECT_EQ(p->eType, c.eType) << c.iLevel;
        EXPECT_EQ(p->iColor1, rgb(c.iRgb1)) << c.iLevel;
        EXPECT_EQ(p->iColor2, rgb(c.iRgb2)) << c.iLevel;
        EXPECT_EQ(p->iNumLives, 1);
        EXPECT_GE(p->fLife, static_cast<int>(c.fLife * 85) / 100.0);
        EXPECT_LE(p->fLife, static_cast<int>(c.fLife * 115) / 100.0);
        EXPECT_EQ(p->fX, 300.0);
        // A full turn from 0, each slot one step further round (jitter within a step).
        const double fStep = 360.0 / c.iParticles;
        const stParticle *q = get_particle(c.iParticles - 1);
        EXPECT_NEAR(q->fAngle / EMIT_DEG - 90, (c.iParticles - 1) * fStep, fStep + 1e-6);
    }
}

TEST_F(ParticleTest, TranslucencyFadesWithTheLivedFraction)
{
    // A white disc at half its life is drawn with blender alpha 128 (255 - 127).
    emit(100, 100, 1, 1.0);
    update_particles(static_cast<float>(get_particle(0)->fLife / 2));
    draw_particles(ptScreen);
    // Solid drawing is back: a plain fill is opaque.
    rectfill(ptScreen, 300, 300, 310, 310, makecol(255, 255, 255));
    EXPECT_EQ(pixel_rgb(ptScreen, 305, 305), (Rgb{255, 255, 255}));

    BITMAP *bmpRef = create_bitmap(200, 200);
    for (int iAlpha : {128, 127}) {
        clear_to_color(bmpRef, makecol(0, 0, 0));
        drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
        set_trans_blender(0, 0, 0, iAlpha);
        circlefill(bmpRef, 100, 100, 1, makecol(255, 255, 255));
        solid_mode();
        EXPECT_EQ(pixel_rgb(ptScreen, 100, 100) == pixel_rgb(bmpRef, 100, 100), iAlpha == 128) << iAlpha;
    }
    destroy_bitmap(bmpRef);
}

TEST_F(ParticleTest, DiscsStepByTwoAndTheOuterRingsAgeFirst)
{
    // Black to white, grown to a size of 5.9: discs of radius 5, 3 and 1. The
    // same particle is emitted twice (same draws), the second time with the
    // growth that reaches 5.9 in 1 s.
    emit(100, 100, 1, 100.0, 0, CIRCLE_PARTICLE, 0x000000);
    const stParticle *p = get_particle(0);
    const double fGrow = 5.9 - p->fSize;
    kill_particles();
    random_init_seed(1234);
    emit(100, 100, 1, 100.0, fGrow, CIRCLE_PARTICLE, 0x000000);
    update_particles(1.0f);
    ASSERT_NEAR(p->fSize, 5.9, 1e-6);
    const double fLived = p->fElapsed / p->fLife;
    clear_to_color(ptScreen, makecol(0, 0, 255));
    draw_particle_circle(ptScreen, 0);
    const int iX = static_cast<int>(p->fX), iY = static_cast<int>(p->fY);
    for (const auto &[iRadius, iAt] : {std::pair{5, 4}, std::pair{3, 2}, std::pair{1, 0}}) {
        const int c = static_cast<int>(255 * (iRadius / p->fSize) * fLived);
        EXPECT_EQ(pixel_rgb(ptScreen, iX + iAt, iY), (Rgb{c, c, c})) << iRadius;
    }
    EXPECT_EQ(pixel_rgb(ptScreen, iX + 6, iY), (Rgb{0, 0, 255}));
}

TEST_F(ParticleTest, LinePointsAlongTheFlightAndPictureNeedsAPicture)
{
    // A fan of no width at 0 degrees flies at 90: straight down the screen.
    init_particle_explosion(50, 50, 1, 100.0, 0, 0, 0, 8.0, 1, rgb(0xff0000), rgb(0xff0000), LINE_PARTICLE,
                            nullptr);
    update_particles(1.0f);
    ASSERT_GE(get_particle(0)->fSize, 9.0);
    draw_particle_line(ptScreen, 0);
    EXPECT_EQ(pixel_rgb(ptScreen, 50, 50), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel_rgb(ptScreen, 50, 58), (Rgb{255, 0, 0}));
    EXPECT_EQ(pixel_rgb(ptScreen, 53, 50), (Rgb{0, 0, 0}));

    // The intro's sparks without the intro's letter draw nothing and survive.
    kill_particles();
    init_stage_particles(200, 200, -1);
    draw_particles(ptScreen);
    EXPECT_EQ(pixel_rgb(ptScreen, 200, 200), (Rgb{0, 0, 0}));

    // With a picture: its top-left corner on the particle.
    BITMAP *bmpLetter = create_bitmap(4, 4);
    clear_to_color(bmpLetter, makecol(0, 255, 0));
    kill_particles();
    emit(300, 300, 1, 10.0, 0, BITMAP_PARTICLE, 0, 0, bmpLetter);
    draw_particles(ptScreen);
    EXPECT_GT(pixel_rgb(ptScreen, 303, 303).g, 200);
    EXPECT_EQ(pixel_rgb(ptScreen, 299, 300), (Rgb{0, 0, 0}));
    destroy_bitmap(bmpLetter);
}

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
    // White particles that stay at (x, y), growing by fSizeDelta.
    void emit(int x, int y, int iParticles, double fLife = 10.0, double fSizeDelta = 0.0,
              enParticleTypes eType = CIRCLE_PARTICLE, int iColor1 = -1, int iColor2 = -1)
    {
        const int iWhite = makecol(255, 255, 255);
        init_particle_explosion(x, y, iParticles, fLife, 0, 360, 0, fSizeDelta, 1,
                                iColor1 < 0 ? iWhite : iColor1, iColor2 < 0 ? iWhite : iColor2,
                                eType, nullptr);
    }
};
} // namespace

TEST_F(ParticleTest, EmissionWithoutParticlesLivesOrLifeDoesNothing)
{
    const int iWhite = makecol(255, 255, 255);
    init_particle_explosion(0, 0, 0, 1, 0, 360, 30, 1, 1, iWhite, iWhite, CIRCLE_PARTICLE, nullptr);
    init_particle_explosion(0, 0, -3, 1, 0, 360, 30, 1, 1, iWhite, iWhite, CIRCLE_PARTICLE, nullptr);
    init_particle_explosion(0, 0, 10, 1, 0, 360, 30, 1, 0, iWhite, iWhite, CIRCLE_PARTICLE, nullptr);
    init_particle_explosion(0, 0, 10, 0, 0, 360, 30, 1, 1, iWhite, iWhite, CIRCLE_PARTICLE, nullptr);
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
        {350, 10, 4, 10, 85},  // 340 degrees from 10, not a 20-degree fan
        {10, 350, 4, 10, 85},
        {0, 720, 8, 0, 45},    // wider than a turn: one full turn from 0
        {30, 30, 3, 30, 0},    // no span: no jitter
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
    bool bSawLow = false, bSawHigh = false;
    for (int i = 0; i < 500; i++) {
        const stParticle *p = get_particle(i);
        EXPECT_GE(p->fLife, static_cast<int>(1.05 * 85) / 100.0);   // 0.89
        EXPECT_LE(p->fLife, static_cast<int>(1.05 * 115) / 100.0);  // 1.20
        EXPECT_GE(p->fVel, static_cast<int>(35 * 85) / 100.0);      // 29.75
        EXPECT_LE(p->fVel, static_cast<int>(35 * 115) / 100.0);     // 40.25
        EXPECT_TRUE(p->fSize == 1.0 || p->fSize == 2.0);
        bSawLow |= p->fSize == 1.0;
        bSawHigh |= p->fSize == 2.0;
        EXPECT_DOUBLE_EQ(p->fVelX, p->fVel * table_cos(static_cast<float>(p->fAngle)));
        EXPECT_DOUBLE_EQ(p->fVelY, p->fVel * table_sin(static_cast<float>(p->fAngle)));
        EXPECT_EQ(p->fElapsed, 0.0);
        EXPECT_EQ(p->iColor1, 7);
        EXPECT_EQ(p->iColor2, 9);
        EXPECT_EQ(p->fSizeDelta, 1.6);
        EXPECT_EQ(p->eType, LINE_PARTICLE);
        EXPECT_EQ(p->iNumLives, 1);
    }
    EXPECT_TRUE(bSawLow && bSawHigh);
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
    EXPECT_EQ(get_particle(0)->bAlive, 0);
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
    EXPECT_EQ(p->bAlive, 0);
    EXPECT_EQ(count_live_particles(), 0);
}

TEST_F(ParticleTest, StageSparksFollowTheTable)
{
    struct Case {
        int iLevel, iParticles;
        double fLife;
        int r1, g1, b1, r2, g2, b2;
        enParticleTypes eType;
    };
    const Case aCases[] = {
        {-1, 8, 1.05, 255, 255, 0, 255, 0, 0, BITMAP_PARTICLE},
        {CAMANEY_LEVEL, 25, 1.05, 255, 255, 0, 255, 0, 0, LINE_PARTICLE},
        {LENGUAS_LEVEL, 10, 0.65, 255, 255, 255, 255, 255, 255, CIRCLE_PARTICLE},
        {UAYUMIN_LEVEL, 30, 0.95, 255, 255, 255, 255, 255, 255, CIRCLE_PARTICLE},
        {KAROLA_LEVEL, 15, 0.7, 255, 255, 255, 255, 255, 255, CIRCLE_PARTICLE},
        {GUANTE_LEVEL, 20, 0.75, 127, 255, 255, 255, 255, 255, LINE_PARTICLE},
        {OJEIS_LEVEL, 20, 0.75, 208, 178, 129, 242, 212, 186, CIRCLE_PARTICLE},
        {ARTURITO_LEVEL, 35, 1.15, 255, 255, 0, 255, 0, 0, LINE_PARTICLE},
        {CARNAL_LEVEL, 20, 0.75, 255, 0, 0, 0, 0, 0, CIRCLE_PARTICLE},
        {8, 20, 0.75, 255, 255, 255, 255, 255, 255, CIRCLE_PARTICLE},
        {-2, 20, 0.75, 255, 255, 255, 255, 255, 255, CIRCLE_PARTICLE},
    };
    for (const Case &c : aCases) {
        kill_particles();
        init_stage_particles(300, 400, c.iLevel);
        ASSERT_EQ(count_live_particles(), c.iParticles) << c.iLevel;
        const stParticle *p = get_particle(0);
        EXPECT_EQ(p->eType, c.eType) << c.iLevel;
        EXPECT_EQ(p->iColor1, makecol(c.r1, c.g1, c.b1)) << c.iLevel;
        EXPECT_EQ(p->iColor2, makecol(c.r2, c.g2, c.b2)) << c.iLevel;
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
        const bool bSame = pixel_rgb(ptScreen, 100, 100) == pixel_rgb(bmpRef, 100, 100);
        EXPECT_EQ(bSame, iAlpha == 128) << iAlpha;
    }
    destroy_bitmap(bmpRef);
}

TEST_F(ParticleTest, DiscsStepByTwoAndTheOuterRingsAgeFirst)
{
    // Black to white, grown to a size of 5.9: discs of radius 5, 3 and 1.
    const int iBlack = makecol(0, 0, 0), iWhite = makecol(255, 255, 255);
    init_particle_explosion(100, 100, 1, 100.0, 0, 0, 0, 0, 1, iBlack, iWhite, CIRCLE_PARTICLE,
                            nullptr);
    const stParticle *p = get_particle(0);
    const float fGrow = static_cast<float>(5.9 - p->fSize);
    // The same particle again (same draws), with a growth that reaches 5.9 in 1 s.
    kill_particles();
    random_init_seed(1234);
    init_particle_explosion(100, 100, 1, 100.0, 0, 0, 0, fGrow, 1, iBlack, iWhite,
                            CIRCLE_PARTICLE, nullptr);
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
    const int iRed = makecol(255, 0, 0);
    init_particle_explosion(50, 50, 1, 100.0, 0, 0, 0, 8.0, 1, iRed, iRed, LINE_PARTICLE, nullptr);
    update_particles(1.0f);
    const stParticle *p = get_particle(0);
    ASSERT_GE(p->fSize, 9.0);
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
    init_particle_explosion(300, 300, 1, 10.0, 0, 0, 0, 0, 1, 0, 0, BITMAP_PARTICLE, bmpLetter);
    draw_particles(ptScreen);
    EXPECT_GT(pixel_rgb(ptScreen, 303, 303).g, 200);
    EXPECT_EQ(pixel_rgb(ptScreen, 299, 300), (Rgb{0, 0, 0}));
    destroy_bitmap(bmpLetter);
}

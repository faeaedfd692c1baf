// Particles: lives, motion and growth, and the per-stage sparks.
#include "headless.h"
#include "particle.h"
#include "pong.h"
#include "random.h"
#include "tables.h"

namespace {

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
    void emit(int x, int y, int iParticles, double fLife = 10.0, enParticleTypes eType = CIRCLE_PARTICLE,
              int iColor = 0xffffff, BITMAP *bmp = nullptr)
    {
        init_particle_explosion(x, y, iParticles, fLife, 0, 360, 0, 0, 1, rgb(iColor), rgb(iColor), eType, bmp);
    }
};
} // namespace

TEST_F(ParticleTest, UpdateMovesGrowsAndEndsLives)
{
    init_particle_explosion(10, 20, 1, 1.0, 0, 0, 100, 2.0, 2, 0, 0, CIRCLE_PARTICLE, nullptr);
    const stParticle *p = get_particle(0);
    const double fLife = p->fLife, fSize = p->fSize, vx = p->fVelX, vy = p->fVelY;
    update_particles(0.25f);
    EXPECT_DOUBLE_EQ(p->fX, 10 + 0.25 * vx);
    EXPECT_DOUBLE_EQ(p->fY, 20 + 0.25 * vy);
    EXPECT_DOUBLE_EQ(p->fSize, fSize + 0.5);
    // The step that reaches the life's end takes a life and stands still.
    const double x = p->fX;
    update_particles(static_cast<float>(fLife));
    EXPECT_TRUE(p->bAlive == -1 && p->iNumLives == 1 && p->fElapsed == 0.0 && p->fX == x);
    update_particles(static_cast<float>(fLife));
    EXPECT_EQ(count_live_particles(), 0);
}

TEST_F(ParticleTest, StageSparksFollowTheTable)
{
    struct Case { int iLevel, iParticles; int iRgb1, iRgb2; enParticleTypes eType; };
    const Case aCases[] = {
        {-1, 8, 0xffff00, 0xff0000, BITMAP_PARTICLE},          {CAMANEY_LEVEL, 25, 0xffff00, 0xff0000, LINE_PARTICLE},
        {OJEIS_LEVEL, 20, 0xd0b281, 0xf2d4ba, CIRCLE_PARTICLE}, {CARNAL_LEVEL, 20, 0xff0000, 0x000000, CIRCLE_PARTICLE},
        {8, 20, 0xffffff, 0xffffff, CIRCLE_PARTICLE},
    };
    for (const Case &c : aCases) {
        kill_particles();
        init_stage_particles(300, 400, c.iLevel);
        ASSERT_EQ(count_live_particles(), c.iParticles) << c.iLevel;
        const stParticle *p = get_particle(0);
        EXPECT_TRUE(p->eType == c.eType && p->iColor1 == rgb(c.iRgb1) && p->iColor2 == rgb(c.iRgb2)) << c.iLevel;
        EXPECT_TRUE(p->iNumLives == 1 && p->fX == 300.0);
    }
}

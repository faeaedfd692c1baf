// Particles: emission counts and the pool, lives and the per-stage sparks.
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

TEST_F(ParticleTest, PoolIsCappedAndFreedSlotsFillFromTheBottom)
{
    for (const auto &[iParticles, fLife, iLives] : {std::tuple{0, 1.0, 1}, std::tuple{-3, 1.0, 1},
                                                   std::tuple{10, 1.0, 0}, std::tuple{10, 0.0, 1}})
        init_particle_explosion(0, 0, iParticles, fLife, 0, 360, 30, 1, iLives, 0, 0, CIRCLE_PARTICLE, nullptr);
    EXPECT_EQ(count_live_particles(), 0) << "no particles, lives or life: nothing";
    emit(0, 0, 995);
    emit(0, 0, 10);
    EXPECT_EQ(count_live_particles(), MAX_PARTICLES);
    kill_particles();
    emit(0, 0, 5000);
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

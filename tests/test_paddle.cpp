// The paddle: the catch arithmetic with worked numbers, every timed state's
// switch at the frame that reaches T, the throw's speed (least speed, length
// change, the boost between two computers), the tear with and without the
// fire effect, the length limits, and every character's band from the game's
// data.
#include "collision.h"
#include "datafile_builder.h"
#include "headless.h"
#include "main.h"
#include "paddle.h"
#include "pong.h"
#include "sound.h"
#include "tables.h"


namespace db = datafile_builder;

namespace {
constexpr float BALL_RADIUS = 12.0f;
constexpr float STEP = 1.0f / 64; // s, exact in binary so that frames add up to T exactly

// A left paddle at (50, 300) with a band of k = 64: a ball of mass 1 at 500 px/s
// gives X = D = 62.5 px, a = 2000 px/s^2, T = 0.25 s.
stPaddle make_paddle()
{
    stPaddle p = {};
    p.fX = 50; p.fY = 300; p.fRadius = 12; p.fMaxVY = 500; p.fDampVY = 0.9f; p.fDeltaVY = 60;
    p.fSpringLength = p.fOriginalSpringLength = 100; p.fMaxSpringLength = 200; p.fSpringGrowth = 2;
    p.fSpringK = 64; p.fSpringMinVel = 300; p.fSpringMaxAcceleration = p.fSpringForceResistance = 1e9f;
    p.iSpringState = SPRING_NORMAL;
    return p;
}

// A ball just stopped on the spring line, as the catch leaves it.
stBall caught_ball(float vx, float vy, float fMass = 1.0f)
{
    stBall b = {};
    b.tCircle.fRadius = BALL_RADIUS; b.fMass = fMass; b.bCollSpring = TRUE;
    b.fX = b.fPrevX = 62; b.fY = b.fPrevY = 300; b.fCollVelX = vx; b.fCollVelY = vy;
    b.fBounceDirX = -vx / std::hypot(vx, vy); // the mirror direction about a vertical line
    b.fBounceDirY = vy / std::hypot(vx, vy);
    return b;
}

class PaddleTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        init_tables();
        reset_globals();
        p = make_paddle();
    }
    void TearDown() override
    {
        reset_globals();
        HeadlessAllegro::TearDown();
    }
    static void reset_globals()
    {
        g_tBall = {};
        g_iGameMode = GM_PLAYER_VS_COMPUTER;
        g_ptLevelBounds = nullptr;
    }
    // Runs frames until the state changes; gives the number of frames it took.
    int frames_until_change(float fDT, int iLimit = 1000)
    {
        const int iState = p.iSpringState;
        for (int i = 1; i <= iLimit; i++) {
            update_paddle(&p, fDT);
            if (p.iSpringState != iState)
                return i;
        }
        return -1;
    }
    void run(int iFrames)
    {
        for (int i = 0; i < iFrames; i++)
            update_paddle(&p, STEP);
    }
    // The catch of a head-on ball at 500 px/s, through the throw.
    void catch_and_throw()
    {
        b = caught_ball(-500, 0);
        handle_paddle_collision(&p, &b);
        ASSERT_EQ(frames_until_change(STEP), 16);
        ASSERT_EQ(frames_until_change(STEP), 8);
        ASSERT_EQ(p.iSpringState, SPRING_RECOVERING);
    }
    SilentSound tSilence;
    stPaddle p;
    stBall b;
};
} // namespace

TEST_F(PaddleTest, CatchArithmetic)
{
    struct Case { float fMass, fExtra, fMaxAccel, fGive, fAccel, fForce, T; const char *pszWhat; };
    // k = 100 and c = (-300, 400) in every case: |c| = 500, n = (-0.6, 0.8).
    const Case aCases[] = {
        {1, 0, 1e9f, 50, 2500, 2500, 0.2f, "X = 500 sqrt(1/100) = 50"},
        {1, 20, 1e9f, 30, 250000.0f / 60, 250000.0f / 60, 0.12f, "20 px of extra length take up part of the give"},
        {1, 0, 1000, 50, 1000, 2500, 0.2f, "the band moves with its limit, the force and T keep the hit's"},
        {4, 0, 1e9f, 100, 1250, 5000, 0.4f, "a heavier ball gives deeper"},
    };
    for (const Case &c : aCases) {
        p = make_paddle();
        p.fSpringK = 100;
        p.fSpringLength += c.fExtra;
        p.fSpringMaxAcceleration = c.fMaxAccel;
        stBall t = caught_ball(-300, 400, c.fMass);
        handle_paddle_collision(&p, &t);
        EXPECT_TRUE(p.iSpringState == SPRING_COLLISION && p.ptBall == &t && p.fInitialHitVel == 500) << c.pszWhat;
        EXPECT_NEAR(p.fSpringX, c.fGive, 1e-3f) << c.pszWhat;
        EXPECT_NEAR(p.fCollAccel, c.fAccel, 0.05f) << c.pszWhat;
        EXPECT_NEAR(p.fSpringCollisionForce, c.fForce, 0.05f) << c.pszWhat;
        EXPECT_NEAR(p.fDeformedSpringMaxTime, c.T, 1e-5f) << c.pszWhat;
        EXPECT_TRUE(p.fNormalisedCollVX == -0.6f && p.fNormalisedCollVY == 0.8f);
        EXPECT_TRUE(p.fBounceReturnDirX == 0.6f && p.fBounceReturnDirY == -0.8f); // back the way it came
    }
}

TEST_F(PaddleTest, WeakHitOnALengthenedBandBouncesAtOnce)
{
    p.fSpringK = 100;
    p.fSpringLength = 160; // 60 px beyond the start: more than the 50 px the hit needs
    p.fVY = -80;
    b = caught_ball(-300, 400);
    handle_paddle_collision(&p, &b);
    EXPECT_TRUE(p.iSpringState == SPRING_NORMAL && b.bCollSpring == FALSE && p.ptBall == &b);
    EXPECT_FLOAT_EQ(p.fSpringX, 0.01f);
    EXPECT_NEAR(b.fVelX, 300, 1e-3f);      // full speed along the mirror direction
    EXPECT_NEAR(b.fVelY, 400 - 80, 1e-3f); // plus the paddle's own
}

// Each timed state does its work on the frame that reaches T and switches
// there: T = 0.25 s in frames of 1/64 s.
TEST_F(PaddleTest, EachStateSwitchesAtTheFrameThatReachesT)
{
    struct Case { int iState, iFrames, iNext; }; // iFrames = T / (rate * frame)
    const Case aCases[] = {
        {SPRING_COLLISION, 16, SPRING_REACTION}, {SPRING_REACTION, 8, SPRING_RECOVERING},
        {SPRING_RECOVERING, 4, SPRING_VIBRATING}, {SPRING_BREAKING, 4, SPRING_BROKEN}, // 5 / 64 a frame: the fourth passes T
        {SPRING_VIBRATING, 16, SPRING_NORMAL},   {SPRING_REVIVING, 16, SPRING_NORMAL},
    };
    for (const Case &c : aCases) {
        p = make_paddle();
        b = caught_ball(-500, 0);
        handle_paddle_collision(&p, &b);
        p.iSpringState = c.iState;
        EXPECT_EQ(frames_until_change(STEP), c.iFrames) << c.iState;
        EXPECT_TRUE(p.iSpringState == c.iNext && p.fDeformedSpringTime == 0) << c.iState;
    }
    // A torn band waits for the match loop.
    p.iSpringState = SPRING_BROKEN;
    p.fDeformedSpringTime = 3;
    EXPECT_EQ(frames_until_change(STEP, 500), -1);
    EXPECT_EQ(p.fDeformedSpringTime, 0.0f);
}

TEST_F(PaddleTest, HeldBallFollowsTheBandThroughCatchAndReaction)
{
    b = caught_ball(-500, 0);
    handle_paddle_collision(&p, &b);
    // Half way into the give: D = r + v t - g t^2 with t = 0.125.
    run(8);
    EXPECT_TRUE(p.iCollidingObjectRadius == BALL_RADIUS && p.fDeformedSpringY == 0);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -12 - 62.5f + 31.25f);
    EXPECT_FLOAT_EQ(b.fX, 50 - 12 - 62.5f + 31.25f + 12); // one radius out along the mirror
    EXPECT_FLOAT_EQ(b.tCircle.tCenter.fX, b.fX);
    // The frame that reaches T: back at -r, and that is the deepest point recorded.
    run(8);
    EXPECT_EQ(p.iSpringState, SPRING_REACTION);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -12.0f);
    EXPECT_FLOAT_EQ(b.fCollMaxX, b.fX);
    // The reaction pushes out along R with g t^2 on a clock twice as fast.
    run(1);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -12 + 2000 * (2 * STEP) * (2 * STEP));
    EXPECT_EQ(b.bCollSpring, TRUE);
}

TEST_F(PaddleTest, ThrowDependsOnTheLengthGainedWhileHolding)
{
    struct Case { float fExtra, fLengthChange, fMinVel, fExpected; const char *pszWhat; };
    // s = sqrt(2 g (dL + D)): g = 2000 and D = X = 62.5 on a band at its start
    // length; 20 px beyond it D = 42.5 and g = 500^2 / 85, so that s is 500 again.
    const Case aCases[] = {
        {0, 0, 300, 500, "unchanged: back at the speed it came"},
        {0, 37.5f, 300, std::sqrt(4000.0f * 100), "lengthened: faster"},
        {0, -37.5f, 300, std::sqrt(4000.0f * 25), "shortened: slower"},
        {0, -37.5f, 400, 400, "never below the least speed"},
        {0, -80, 300, 300, "shortened by more than the give: the least speed"},
        {20, 0, 300, 500, "lengthened before the catch: only what it gains while holding counts"},
    };
    for (const Case &c : aCases) {
        p = make_paddle();
        p.fOriginalSpringLength = 150;
        p.fSpringLength = 150 + c.fExtra;
        p.fSpringMinVel = c.fMinVel;
        p.fVY = 40;
        b = caught_ball(-500, 0);
        handle_paddle_collision(&p, &b);
        ASSERT_GT(frames_until_change(STEP), 0) << c.pszWhat;
        p.fSpringLength += c.fLengthChange;
        ASSERT_GT(frames_until_change(STEP), 0) << c.pszWhat;
        ASSERT_EQ(p.iSpringState, SPRING_RECOVERING) << c.pszWhat;
        EXPECT_NEAR(b.fVelX, c.fExpected, 1e-2f) << c.pszWhat;
        EXPECT_FLOAT_EQ(b.fVelY, 40.0f) << c.pszWhat; // R is level: the paddle's speed only
        EXPECT_TRUE(b.bCollSpring == FALSE && p.ptBall == nullptr);
        EXPECT_NEAR(p.fDeltaHitVel, std::hypot(c.fExpected, 40.0f) - 500, 1e-2f) << c.pszWhat;
    }
}

TEST_F(PaddleTest, ThrowBetweenTwoComputersIs300Faster)
{
    g_iGameMode = GM_COMPUTER_VS_COMPUTER;
    catch_and_throw();
    EXPECT_NEAR(b.fVelX, 800, 1e-2f);
    EXPECT_NEAR(b.fVelY, 0, 1e-3f);
}

TEST_F(PaddleTest, TearsOnlyAfterTheRecoveryAndSoonerUnderFire)
{
    struct Case { float fResistance; int bFire, iExpected; };
    // The hit's force is m a = 2000.
    const Case aCases[] = {{1999, FALSE, SPRING_BREAKING}, {2001, FALSE, SPRING_VIBRATING},
                           {6000, TRUE, SPRING_BREAKING} /* 30 % of 6000 = 1800 */, {7000, TRUE, SPRING_VIBRATING}};
    for (const Case &c : aCases) {
        p = make_paddle();
        p.fSpringForceResistance = c.fResistance;
        catch_and_throw();
        g_tBall.bFire = c.bFire;
        EXPECT_EQ(frames_until_change(STEP), 4);
        EXPECT_EQ(p.iSpringState, c.iExpected) << c.fResistance << " " << c.bFire;
    }
}

TEST_F(PaddleTest, GrowthAndShrinkStopAtTheLimits)
{
    // From 100 px, 2 px per 16 ms (0.08 s is 10 px), in this order.
    struct Step { int (*pfChange)(stPaddle *, float); float fTime; int iLimit; float fLength; };
    const Step aSteps[] = {
        {grow_paddle_spring, 0.08f, 0, 110},   {grow_paddle_spring, 10, 1, 200},
        {grow_paddle_spring, 0.001f, 1, 200},  {shrink_paddle_spring, 0.08f, 0, 190},
        {shrink_paddle_spring, 10, 1, 100},    {shrink_paddle_spring, 0.001f, 1, 100},
    };
    for (const Step &s : aSteps) {
        EXPECT_EQ(s.pfChange(&p, s.fTime), s.iLimit) << s.fTime << " to " << s.fLength;
        EXPECT_NEAR(p.fSpringLength, s.fLength, 1e-3f) << s.fTime << " to " << s.fLength;
    }
}

// The ball: the serve, speed-up and motion, the exit test, the shadow clock,
// and the drawing.
#include "ball.h"
#include "headless.h"
#include "main.h"
#include "particle.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "tables.h"

namespace {
constexpr int NORMAL_SIZE = 24;    // px, the normal picture's width and height
constexpr int BIG_SIZE = 40;       // px
constexpr float FRAME = 1.0f / 60; // s
constexpr double DEG = 0.017453292519943295;

// A disc of the colour on the mask colour, in a bitmap of iSize pixels.
BITMAP *disc_bitmap(int iSize, int iColor)
{
    BITMAP *bmp = create_bitmap(iSize, iSize);
    clear_to_color(bmp, bitmap_mask_color(bmp));
    circlefill(bmp, iSize / 2, iSize / 2, iSize / 2 - 1, iColor);
    return bmp;
}

// A ball with its pictures made here, serving from (400, 300) at 400 px/s.
class BallTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        init_tables();
        random_init_seed(77);
        kill_particles();
        BITMAP *bmpNormal = disc_bitmap(NORMAL_SIZE, makecol(255, 128, 0));
        BITMAP *bmpBig = disc_bitmap(BIG_SIZE, makecol(128, 128, 128));
        t = {};
        t.rleNormalSprite = t.rleSprite = get_rle_sprite(bmpNormal);
        t.rleBigSprite = get_rle_sprite(bmpBig);
        t.bmpTempSprite = create_bitmap(BIG_SIZE, BIG_SIZE);
        t.tCircle.fRadius = NORMAL_SIZE / 2;
        destroy_bitmap(bmpNormal);
        destroy_bitmap(bmpBig);
        t.fStartX = 400, t.fStartY = 300, t.fStartVel = 400, t.fMass = 1, t.fTimeToAccel = 10;
        reset_ball(&t);
    }
    void TearDown() override
    {
        destroy_ball(&t);
        kill_particles();
        HeadlessAllegro::TearDown();
    }
    // The ball placed at (x, y) moving at (vx, vy), as after some frames of play.
    void place(float x, float y, float vx, float vy) { t.fX = x, t.fY = y, t.fVelX = vx, t.fVelY = vy; }
    stBall t;
};

} // namespace

TEST_F(BallTest, ServeStaysWithinTwentyDegreesAndKeepsTheDirection)
{
    for (int i = 0; i < 500; i++) {
        const float fDir = i % 2 ? -1.0f : 1.0f;
        place(123, 45, fDir * 50, 300);
        t.bOutBounds = t.bCollSpring = t.iLastShadow = TRUE;
        t.fBounceDirX = 0.5f, t.aiShadPosX[4] = 7;
        reset_ball(&t);
        const int iDegrees = static_cast<int>(std::lround(t.fAngle / DEG));
        ASSERT_LE(std::abs(iDegrees), 20);
        EXPECT_NEAR(t.fAngle, iDegrees * DEG, 1e-6);
        EXPECT_FLOAT_EQ(t.fVelX, fDir * 400 * table_cos(t.fAngle));
        EXPECT_FLOAT_EQ(t.fVelY, 400 * table_sin(t.fAngle));
        ASSERT_TRUE(t.fX == 400 && t.fY == 300 && t.aiShadPosX[4] == 400 && t.iLastShadow == 0);
        EXPECT_TRUE(t.bOutBounds == 0 && t.bCollSpring == 0 && t.fBounceDirX == 0);
    }
}

TEST_F(BallTest, SpeedUpCompoundsPerTimeToAccel)
{
    struct Case { float fAccelPorc, fTimeToAccel, fSeconds, fFactor; };
    const Case aCases[] = {
        {4.0f, 1, 2, BALL_MAX_SPEED / 500},             // the top speed holds
        {0.1f, 10, 10, std::pow(1 + 0.01f / 60, 600.0f)},
        {0.5f, 2, 3, std::pow(1 + 0.25f / 60, 180.0f)},
        {0.3f, 0, 1, 1.0f},                             // no time to accelerate over
    };
    for (const Case &c : aCases) {
        place(400, 300, 300, 400);
        t.fAccelPorc = c.fAccelPorc;
        t.fTimeToAccel = c.fTimeToAccel;
        for (int i = 0; i < std::lround(c.fSeconds / FRAME); i++) {
            place(400, 300, t.fVelX, t.fVelY); // kept in the field however far it would fly
            update_ball(&t, FRAME);
        }
        EXPECT_NEAR(t.fVel, 500 * c.fFactor, 500 * c.fFactor * 1e-4f) << c.fAccelPorc;
        EXPECT_NEAR(t.fVelY / t.fVelX, 400.0f / 300.0f, 1e-4f); // direction kept
    }
}

TEST_F(BallTest, ExitIsTestedOnThePositionBeforeTheMove)
{
    struct Case { float x, y, vx, vy; int bOut, iPlace; const char *pszWhat; };
    const float fStep = 60; // px/s: one pixel per frame
    const Case aCases[] = {
        {-24.5f, 300, -fStep, 0, TRUE, 0, "beyond the left edge by more than a width"},
        {-24, 300, -fStep, 0, FALSE, 0, "exactly a width beyond the left edge"},
        {824.5f, 300, fStep, 0, TRUE, 1, "beyond the right edge"},
        {399, -25, fStep, 0, TRUE, 1, "top, now at x 400: right half"},
        {398, -25, fStep, 0, TRUE, 0, "top, now at x 399: left half"},
        {500, 625, 0, fStep, TRUE, 1, "bottom, right half"},
        {100, 625, 0, fStep, TRUE, 0, "bottom, left half"},
        {900, -30, 0, -fStep, TRUE, 1, "right and top"},
        {850, 700, 0, fStep, TRUE, 1, "beyond the right, the bottom decides too"},
        {400, -24, 0, -fStep, FALSE, 0, "a height above the top"},
    };
    for (const Case &c : aCases) {
        reset_ball(&t);
        place(c.x, c.y, c.vx, c.vy);
        update_ball(&t, FRAME);
        EXPECT_TRUE(t.bOutBounds == c.bOut && t.iExitPlace == c.iPlace) << c.pszWhat;
    }
    // While a spring holds it, never out.
    reset_ball(&t);
    place(-500, -500, 0, 0);
    t.bCollSpring = TRUE;
    update_ball(&t, FRAME);
    EXPECT_EQ(t.bOutBounds, FALSE);
    // The frame after an exit serves in the same direction and moves.
    place(-30, 300, -500, 0);
    t.bCollSpring = FALSE;
    update_ball(&t, FRAME);
    ASSERT_EQ(t.bOutBounds, TRUE);
    update_ball(&t, 0.01f);
    EXPECT_TRUE(t.bOutBounds == FALSE && t.fVelX < 0 && t.fPrevX == 400);
    EXPECT_FLOAT_EQ(t.fX, 400 + t.fVelX * 0.01f);
    // The path and the circle follow the move.
    EXPECT_TRUE(t.tPath.tPoint0.fX == 400 && t.tPath.tPoint1.fX == t.fX && t.tCircle.tCenter.fX == t.fX);
}

TEST_F(BallTest, ShadowClockTakesOnePeriodPerFrameAtMost)
{
    place(100, 100, 600, 0);
    update_ball(&t, 0.2f);
    EXPECT_NEAR(t.fShadowTime, 0.145f, 1e-6f);
    EXPECT_EQ(t.iLastShadow, 1);
    for (int i = 0; i < BALL_SHADOWS; i++) // the trail was off: every shadow sits on the ball
        EXPECT_TRUE(t.aiShadPosX[i] == static_cast<int>(t.fX) && t.aiShadPosY[i] == 100) << i;
    // Under a period the clock only accumulates.
    t.fShadowTime = 0;
    update_ball(&t, 0.05f);
    EXPECT_NEAR(t.fShadowTime, 0.05f, 1e-7f);
    EXPECT_EQ(t.iLastShadow, 1);
    // Requests last one frame.
    t.bFire = t.bShadows = TRUE;
    update_ball(&t, 0.001f);
    EXPECT_TRUE(t.bFire == FALSE && t.bShadows == FALSE);
}

// The ball: configuration from the game's own "NIVEL" document for every level
// index, the serve, speed-up and motion, the exit test, the shadow clock, the
// drawing of trail, fire burst and ball, and the tuning of serve speeds.
#include "ball.h"
#include "collision.h"
#include "datafile_builder.h"
#include "headless.h"
#include "particle.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "tables.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <unistd.h>

namespace db = datafile_builder;

namespace {
constexpr int NORMAL_SIZE = 24;    // px, the normal picture's width and height
constexpr int BIG_SIZE = 40;       // px
constexpr float FRAME = 1.0f / 60; // s
constexpr double DEG = 0.017453292519943295;

const std::filesystem::path NIVEL_SOURCE =
    std::filesystem::path(__FILE__).parent_path().parent_path() / "assets/tx15/NIVEL.xml";

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
        t.fStartX = 400;
        t.fStartY = 300;
        t.fStartVel = 400;
        t.fMass = 1;
        t.fTimeToAccel = 10;
        reset_ball(&t);
    }
    void TearDown() override
    {
        destroy_ball(&t);
        kill_particles();
        HeadlessAllegro::TearDown();
    }
    // The ball placed at (x, y) moving at (vx, vy), as after some frames of play.
    void place(float x, float y, float vx, float vy)
    {
        t.fX = x;
        t.fY = y;
        t.fVelX = vx;
        t.fVelY = vy;
    }
    stBall t;
};

// A scratch game directory holding data/tx15.dat with the game's own "NIVEL"
// and data/tx08.dat with two pictures under the names it gives.
class BallDataTest : public HeadlessAllegro {
protected:
    static void TearDownTestSuite()
    {
        if (!sDir.empty())
            std::filesystem::remove_all(sDir);
        sDir.clear();
    }
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        init_tables();
        random_init_seed(5);
        ASSERT_NE(getcwd(szOldDir, sizeof(szOldDir)), nullptr);
        if (sDir.empty()) {
            sDir = db::make_temp_dir("tvx_ball");
            ASSERT_FALSE(sDir.empty());
            std::filesystem::create_directory(sDir + "/data");
            db::Contents tDocuments, tPictures;
            tDocuments.vRaw = {{"NIVEL", db::read_file(NIVEL_SOURCE.string())}};
            ASSERT_FALSE(tDocuments.vRaw[0].second.empty()) << NIVEL_SOURCE;
            ASSERT_TRUE(db::pack(sDir + "/data/tx15.dat", tDocuments));
            BITMAP *bmpNormal = disc_bitmap(NORMAL_SIZE, makecol(255, 128, 0));
            BITMAP *bmpBig = disc_bitmap(BIG_SIZE, makecol(128, 128, 128));
            tPictures.vBitmaps = {{"BALL", bmpNormal}, {"BIG_BALL", bmpBig}};
            ASSERT_TRUE(db::pack(sDir + "/data/tx08.dat", tPictures));
            destroy_bitmap(bmpNormal);
            destroy_bitmap(bmpBig);
        }
        ASSERT_EQ(chdir(sDir.c_str()), 0);
        packfile_password(db::data_password().c_str());
    }
    void TearDown() override
    {
        packfile_password(nullptr);
        EXPECT_EQ(chdir(szOldDir), 0);
        g_iLevel = 0;
        HeadlessAllegro::TearDown();
    }
    static inline std::string sDir;
    char szOldDir[4096] = {0};
};

// Flight time across the 800-px field, from its left edge to its right edge,
// of a level index's serve sent straight, at 60 frames a second.
float crossing_time(int iLevel)
{
    g_iLevel = iLevel;
    stBall t = {};
    init_ball(&t);
    t.fX = 0;
    t.fVelX = t.fStartVel;
    t.fVelY = 0;
    float fTime = 0;
    for (; t.fX < 800; fTime += FRAME)
        update_ball(&t, FRAME);
    destroy_ball(&t);
    return fTime;
}
} // namespace

TEST_F(BallDataTest, EveryLevelIndexReadsItsOwnEntry)
{
    for (int iLevel = 0; iLevel < NUM_LEVEL_INDICES; iLevel++) {
        g_iLevel = iLevel;
        stBall t = {};
        init_ball(&t);
        const int iStage = iLevel / 3, iStep = iLevel % 3;
        EXPECT_FLOAT_EQ(t.fStartVel, 390.0f + 10 * iStage + 25 * iStep) << iLevel;
        EXPECT_NEAR(t.fAccelPorc, 0.15f + 0.01f * iStage + 0.03f * iStep, 1e-6f) << iLevel;
        EXPECT_NEAR(t.fMass, 1.0f + 0.02f * iStage + 0.05f * iStep, 1e-6f) << iLevel;
        EXPECT_FLOAT_EQ(t.fTimeToAccel, 10.0f);
        EXPECT_FLOAT_EQ(t.fStartX, 400.0f);
        EXPECT_FLOAT_EQ(t.fStartY, 300.0f);
        ASSERT_NE(t.rleNormalSprite, nullptr);
        EXPECT_EQ(t.rleSprite, t.rleNormalSprite);
        EXPECT_FLOAT_EQ(t.tCircle.fRadius, NORMAL_SIZE / 2);
        EXPECT_EQ(t.rleBigSprite->w, BIG_SIZE);
        EXPECT_EQ(t.bmpTempSprite->w, BIG_SIZE);
        EXPECT_EQ(t.bmpTempSprite->h, BIG_SIZE);
        // Served: from the start, a fresh record to the right.
        EXPECT_EQ(t.fX, t.fStartX);
        EXPECT_GT(t.fVelX, 0.0f);
        destroy_ball(&t);
        EXPECT_EQ(t.rleSprite, nullptr);
        EXPECT_EQ(t.bmpTempSprite, nullptr);
    }
}

// The tuning: about two seconds across the field on the easiest level, every
// stage's last level clearly faster than its first, and every level faster
// than the same level of the stage before.
TEST_F(BallDataTest, ServesCrossTheFieldInAboutTwoSecondsAndGetFaster)
{
    float afTime[NUM_LEVEL_INDICES];
    for (int i = 0; i < NUM_LEVEL_INDICES; i++)
        afTime[i] = crossing_time(i);
    EXPECT_NEAR(afTime[0], 2.0f, 0.1f);
    for (int s = 0; s < NUM_LEVELS; s++) {
        EXPECT_LT(afTime[3 * s + 1], afTime[3 * s]) << "stage " << s;
        EXPECT_LT(afTime[3 * s + 2], afTime[3 * s + 1]) << "stage " << s;
        EXPECT_LT(afTime[3 * s + 2], 0.92f * afTime[3 * s]) << "stage " << s;
        for (int l = 0; s > 0 && l < 3; l++)
            EXPECT_LT(afTime[3 * s + l], afTime[3 * (s - 1) + l]) << s << " " << l;
    }
    EXPECT_GT(afTime[NUM_LEVEL_INDICES - 1], 1.3f); // still playable at the end
}

TEST_F(BallTest, ServeStaysWithinTwentyDegreesAndKeepsTheDirection)
{
    for (int i = 0; i < 500; i++) {
        const float fDir = i % 2 ? -1.0f : 1.0f;
        place(123, 45, fDir * 50, 300);
        t.bOutBounds = t.bCollSpring = TRUE;
        t.fBounceDirX = 0.5f;
        t.iLastShadow = 3;
        t.aiShadPosX[4] = 7;
        reset_ball(&t);
        const int iDegrees = static_cast<int>(std::lround(t.fAngle / DEG));
        ASSERT_LE(std::abs(iDegrees), 20);
        EXPECT_NEAR(t.fAngle, iDegrees * DEG, 1e-6);
        EXPECT_GT(t.fVelX * fDir, 0.0f);
        EXPECT_FLOAT_EQ(std::fabs(t.fVelX), 400 * table_cos(t.fAngle));
        EXPECT_FLOAT_EQ(t.fVelY, 400 * table_sin(t.fAngle));
        EXPECT_TRUE(t.fX == 400 && t.fY == 300 && t.aiShadPosX[4] == 400 && t.iLastShadow == 0);
        EXPECT_TRUE(t.bOutBounds == 0 && t.bCollSpring == 0 && t.fBounceDirX == 0);
    }
}

TEST_F(BallTest, SpeedUpCompoundsPerTimeToAccel)
{
    struct Case { float fAccelPorc, fTimeToAccel, fSeconds, fFactor; };
    const Case aCases[] = {
        {0.0f, 10, 5, 1.0f},                            // no speed-up
        {4.0f, 1, 2, BALL_MAX_SPEED / 500},             // the top speed holds
        {0.1f, 10, 1, std::pow(1 + 0.01f / 60, 60.0f)}, // about 1 % a second
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

TEST_F(BallTest, MoveRecordsThePathAndTheCircle)
{
    place(100, 200, 600, -300);
    t.fAccelPorc = 0.2f;
    update_ball(&t, 0.1f);
    const float vx = 600 * (1 + 0.2f * 0.01f), vy = -300 * (1 + 0.2f * 0.01f);
    EXPECT_FLOAT_EQ(t.fVelX, vx);
    EXPECT_FLOAT_EQ(t.fX, 100 + vx * 0.1f); // moved with the new velocity
    EXPECT_FLOAT_EQ(t.fY, 200 + vy * 0.1f);
    EXPECT_FLOAT_EQ(t.fVel, std::sqrt(vx * vx + vy * vy));
    EXPECT_TRUE(t.fPrevX == 100 && t.fPrevY == 200 && t.tPath.tPoint0.fX == 100 && t.tPath.tPoint0.fY == 200);
    EXPECT_TRUE(t.tPath.tPoint1.fX == t.fX && t.tPath.tPoint1.fY == t.fY);
    EXPECT_TRUE(t.tCircle.tCenter.fX == t.fX && t.tCircle.tCenter.fY == t.fY);
}

TEST_F(BallTest, ExitIsTestedOnThePositionBeforeTheMove)
{
    struct Case { float x, y, vx, vy; int bOut, iPlace; const char *pszWhat; };
    const float fStep = 60; // px/s: one pixel per frame
    const Case aCases[] = {
        {-24.5f, 300, -fStep, 0, TRUE, 0, "beyond the left edge by more than a width"},
        {-24, 300, -fStep, 0, FALSE, 0, "exactly a width beyond the left edge"},
        {824.5f, 300, fStep, 0, TRUE, 1, "beyond the right edge"},
        {824, 300, fStep, 0, FALSE, 0, "a width beyond the right edge"},
        {399, -25, fStep, 0, TRUE, 1, "top, now at x 400: right half"},
        {398, -25, fStep, 0, TRUE, 0, "top, now at x 399: left half"},
        {500, 625, 0, fStep, TRUE, 1, "bottom, right half"},
        {100, 625, 0, fStep, TRUE, 0, "bottom, left half"},
        {900, -30, 0, -fStep, TRUE, 1, "right and top"},
        {-30, 630, 0, fStep, TRUE, 0, "left and bottom"},
        {850, 700, 0, fStep, TRUE, 1, "beyond the right, the bottom decides too"},
        {-100, -100, -fStep, 0, TRUE, 0, "left and top"},
        {400, -24, 0, -fStep, FALSE, 0, "a height above the top"},
    };
    for (const Case &c : aCases) {
        reset_ball(&t);
        place(c.x, c.y, c.vx, c.vy);
        update_ball(&t, FRAME);
        EXPECT_EQ(t.bOutBounds, c.bOut) << c.pszWhat;
        EXPECT_EQ(t.iExitPlace, c.iPlace) << c.pszWhat;
    }
    // While a spring holds it, never out.
    reset_ball(&t);
    place(-500, -500, 0, 0);
    t.bCollSpring = TRUE;
    update_ball(&t, FRAME);
    EXPECT_EQ(t.bOutBounds, FALSE);
}

TEST_F(BallTest, TheFrameAfterAnExitServesInTheSameDirectionAndMoves)
{
    place(-30, 300, -500, 0);
    update_ball(&t, FRAME);
    ASSERT_EQ(t.bOutBounds, TRUE);
    t.fShadowTime = 0.05f;
    t.bShadows = TRUE;
    update_ball(&t, 0.01f);
    EXPECT_EQ(t.bOutBounds, FALSE);
    EXPECT_LT(t.fVelX, 0.0f);
    EXPECT_EQ(t.fPrevX, 400.0f);
    EXPECT_FLOAT_EQ(t.fX, 400 + t.fVelX * 0.01f);
    EXPECT_FLOAT_EQ(t.fShadowTime, 0.01f); // the stored clock is not carried over
}

TEST_F(BallTest, ShadowClockTakesOnePeriodPerFrameAtMost)
{
    place(100, 100, 600, 0);
    update_ball(&t, 0.2f);
    EXPECT_NEAR(t.fShadowTime, 0.145f, 1e-6f);
    EXPECT_EQ(t.iLastShadow, 1);
    // The trail was off: every shadow sits on the ball.
    for (int i = 0; i < BALL_SHADOWS; i++) {
        EXPECT_EQ(t.aiShadPosX[i], static_cast<int>(t.fX));
        EXPECT_EQ(t.aiShadPosY[i], 100);
    }
    // Under a period the clock only accumulates.
    t.fShadowTime = 0;
    update_ball(&t, 0.05f);
    EXPECT_NEAR(t.fShadowTime, 0.05f, 1e-7f);
    EXPECT_EQ(t.iLastShadow, 1);
    // Requests last one frame.
    t.bFire = t.bShadows = TRUE;
    update_ball(&t, 0.001f);
    EXPECT_EQ(t.bFire, FALSE);
    EXPECT_EQ(t.bShadows, FALSE);
}

TEST_F(BallTest, TrailSpreadsFromTheBallOverFivePeriods)
{
    place(100, 100, 550, 0);
    t.fShadowTime = 0;
    const float fPeriodStep = 0.056f; // just over one period each frame
    update_ball(&t, fPeriodStep);     // the trail was off: collapsed on the ball
    for (int i = 0; i < BALL_SHADOWS; i++)
        ASSERT_EQ(t.aiShadPosX[i], static_cast<int>(t.fX));
    int aiPrev[BALL_SHADOWS];
    for (int k = 0; k < BALL_SHADOWS; k++) {
        t.bShadows = TRUE; // wanted every frame
        const int iSlot = t.iLastShadow;
        update_ball(&t, fPeriodStep);
        aiPrev[k] = static_cast<int>(t.fPrevX);
        EXPECT_EQ(t.aiShadPosX[iSlot], aiPrev[k]);
        EXPECT_EQ(t.iLastShadow, (iSlot + 1) % BALL_SHADOWS);
        // Distinct positions along the flight, in ring order.
        EXPECT_TRUE(k == 0 || aiPrev[k] > aiPrev[k - 1]) << k;
    }
}

TEST_F(BallTest, DrawingCentresTheBallAndFadesOlderShadows)
{
    clear_to_color(ptScreen, makecol(0, 0, 0));
    place(200, 150, 0, 0);
    draw_ball(ptScreen, &t);
    EXPECT_EQ(pixel_rgb(ptScreen, 200, 150), (Rgb{255, 128, 0}));
    EXPECT_EQ(pixel_rgb(ptScreen, 200 - 12, 150 - 12), (Rgb{0, 0, 0})); // the mask corner
    EXPECT_EQ(count_live_particles(), 0);

    // Shadows at five separate places; the ring's next slot is the oldest.
    clear_to_color(ptScreen, makecol(0, 0, 0));
    for (int i = 0; i < BALL_SHADOWS; i++) {
        t.aiShadPosX[i] = 100 + 60 * i;
        t.aiShadPosY[i] = 400;
    }
    t.iLastShadow = 2;
    t.fShadowTime = 0;
    t.bShadows = TRUE;
    draw_ball(ptScreen, &t);
    // Lit a quarter of the way toward (0, 96, 192), then laid over black.
    const Rgb tLit{255 - 255 * 64 / 256, 128 + (96 - 128) * 64 / 256, 192 * 64 / 256};
    int iPrevRed = -1;
    for (int k = 0; k < BALL_SHADOWS; k++) {
        const Rgb c = pixel_rgb(ptScreen, t.aiShadPosX[(2 + k) % BALL_SHADOWS], 400);
        if (k == 0)
            EXPECT_EQ(c, (Rgb{0, 0, 0})) << "the oldest, alpha 0";
        else
            EXPECT_GT(c.r, iPrevRed) << k;
        EXPECT_NEAR(c.r, tLit.r * 51 * k / 256, 2) << k;
        EXPECT_NEAR(c.b, tLit.b * 51 * k / 256, 2) << k;
        iPrevRed = c.r;
    }
}

TEST_F(BallTest, FireBurstFansAroundTheBallsBearing)
{
    place(300, 400, 0, 0);
    t.bFire = TRUE;
    draw_ball(ptScreen, &t);
    ASSERT_EQ(count_live_particles(), 4);
    const double fBearing = std::atan2(400.0, 300.0) * 57.29577951308232, fStep = 150.0 / 4;
    for (int k = 0; k < 4; k++) {
        const stParticle *p = get_particle(k);
        const double fDeg = p->fAngle / 0.01745328888888889 - 90;
        EXPECT_NEAR(fDeg, fBearing - 75 + k * fStep, static_cast<int>(fStep) + 1e-6) << k;
        EXPECT_TRUE(p->fX == 300 && p->fY == 400 && p->eType == CIRCLE_PARTICLE && p->fSizeDelta == 5.0) << k;
        EXPECT_EQ(p->iColor1, makecol(255, 255, 0));
        EXPECT_EQ(p->iColor2, makecol(255, 0, 0));
    }
}

// A headless rally against the stage alone: a ball at up to 1000 px/s, in
// frames of up to 1/60 s, flying inside a closed box with circles in it never
// gets out of the box and never changes speed.
TEST_F(BallTest, PropertyBallStaysInAClosedStage)
{
    const int iSavedSoundError = bSoundError;
    bSoundError = -1; // the hit sound stays silent
    auto ptBounds = std::make_unique<stLevelBounds>();
    const stPoint atCorner[4] = {{50, 50}, {750, 50}, {750, 550}, {50, 550}};
    for (int i = 0; i < 4; i++)
        ptBounds->vtSegment[ptBounds->iNumSegments++] = {atCorner[i], atCorner[(i + 1) % 4]};
    std::mt19937 rng(3309);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < 12; i++) {
        const float fAngle = 6.2831853f * unit(rng);
        const float fFrom = 80 + 150 * unit(rng); // clear of the serve point
        ptBounds->vtCircle[ptBounds->iNumCircles++] = {
            8 + 25 * unit(rng), {400 + fFrom * std::cos(fAngle), 300 + fFrom * std::sin(fAngle) * 0.8f}};
    }
    for (int iRally = 0; iRally < 40; iRally++) {
        reset_ball(&t);
        const float fAngle = 6.2831853f * unit(rng), fSpeed = 300 + 700 * unit(rng);
        t.fVelX = fSpeed * std::cos(fAngle);
        t.fVelY = fSpeed * std::sin(fAngle);
        int iHits = 0;
        for (int iFrame = 0; iFrame < 3000; iFrame++) {
            update_ball(&t, 1.0f / 300 + (1.0f / 60 - 1.0f / 300) * unit(rng));
            iHits += detect_stage_collision(ptBounds.get(), &t, TRUE) ? 1 : 0;
            ASSERT_TRUE(t.fX > 50 && t.fX < 750 && t.fY > 50 && t.fY < 550)
                << iRally << " " << iFrame << ": " << t.fX << "," << t.fY;
            ASSERT_NEAR(std::hypot(t.fVelX, t.fVelY), fSpeed, fSpeed * 1e-3f) << iFrame;
            ASSERT_EQ(t.bOutBounds, FALSE);
        }
        EXPECT_GT(iHits, 20) << iRally;
    }
    bSoundError = iSavedSoundError;
}

// The paddle: the catch arithmetic with worked numbers, every timed state's
// switch at the frame that reaches T, the throw's speed (least speed, length
// change, the demo boost), the tear with and without the fire effect, the
// length limits, the fatal paths, and loading bands from a datafile packed
// here and from the game's own characters.
#include "collision.h"
#include "datafile_builder.h"
#include "headless.h"
#include "paddle.h"
#include "pong.h"
#include "sound.h"
#include "tables.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace db = datafile_builder;

namespace {
constexpr float BALL_RADIUS = 12.0f;
constexpr float STEP = 1.0f / 64; // s, exact in binary so that frames add up to T exactly

// A left paddle at (50, 300) with a band of k = 64: a ball of mass 1 at 500 px/s
// gives X = D = 62.5 px, a = 2000 px/s^2, T = 0.25 s.
stPaddle make_paddle()
{
    stPaddle p = {};
    p.fX = 50;
    p.fY = 300;
    p.fMaxVY = 500;
    p.fDampVY = 0.9f;
    p.fDeltaVY = 60;
    p.fSpringLength = p.fOriginalSpringLength = 100;
    p.fMaxSpringLength = 200;
    p.fSpringK = 64;
    p.iSpringState = SPRING_NORMAL;
    p.fSpringMinVel = 300;
    p.fSpringMaxAcceleration = 1e9f;
    p.fSpringGrowth = 2;
    p.fSpringForceResistance = 1e9f;
    p.fRadius = 12;
    return p;
}

// A ball just stopped on the spring line, as the catch leaves it.
stBall caught_ball(float vx, float vy, float fMass = 1.0f)
{
    stBall b = {};
    b.tCircle.fRadius = BALL_RADIUS;
    b.fMass = fMass;
    b.fX = b.fPrevX = 62;
    b.fY = b.fPrevY = 300;
    b.fCollVelX = vx;
    b.fCollVelY = vy;
    const float fLen = std::hypot(vx, vy);
    b.fBounceDirX = -vx / fLen; // the mirror direction about a vertical line
    b.fBounceDirY = vy / fLen;
    b.bCollSpring = TRUE;
    return b;
}

class PaddleTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        init_tables();
        iSavedSoundError = bSoundError;
        bSoundError = -1; // every sound stays silent
        g_tBall = {};
        g_iGameMode = GM_PLAYER_VS_COMPUTER;
        g_ptLevelBounds = nullptr;
        p = make_paddle();
    }
    void TearDown() override
    {
        bSoundError = iSavedSoundError;
        g_tBall = {};
        g_iGameMode = GM_PLAYER_VS_COMPUTER;
        g_ptLevelBounds = nullptr;
        HeadlessAllegro::TearDown();
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
    int iSavedSoundError = 0;
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
        EXPECT_EQ(p.iSpringState, SPRING_COLLISION) << c.pszWhat;
        EXPECT_EQ(p.ptBall, &t) << c.pszWhat;
        EXPECT_FLOAT_EQ(p.fInitialHitVel, 500) << c.pszWhat;
        EXPECT_NEAR(p.fSpringX, c.fGive, 1e-3f) << c.pszWhat;
        EXPECT_NEAR(p.fCollAccel, c.fAccel, 0.05f) << c.pszWhat;
        EXPECT_NEAR(p.fSpringCollisionForce, c.fForce, 0.05f) << c.pszWhat;
        EXPECT_NEAR(p.fDeformedSpringMaxTime, c.T, 1e-5f) << c.pszWhat;
        EXPECT_FLOAT_EQ(p.fNormalisedCollVX, -0.6f);
        EXPECT_FLOAT_EQ(p.fNormalisedCollVY, 0.8f);
        EXPECT_FLOAT_EQ(p.fBounceReturnDirX, 0.6f); // thrown back the way it came
        EXPECT_FLOAT_EQ(p.fBounceReturnDirY, -0.8f);
    }
}

TEST_F(PaddleTest, WeakHitOnALengthenedBandBouncesAtOnce)
{
    p.fSpringK = 100;
    p.fSpringLength = 160; // 60 px beyond the start: more than the 50 px the hit needs
    p.fVY = -80;
    b = caught_ball(-300, 400);
    handle_paddle_collision(&p, &b);
    EXPECT_EQ(p.iSpringState, SPRING_NORMAL);
    EXPECT_FLOAT_EQ(p.fSpringX, 0.01f);
    EXPECT_NEAR(b.fVelX, 300, 1e-3f);      // full speed along the mirror direction
    EXPECT_NEAR(b.fVelY, 400 - 80, 1e-3f); // plus the paddle's own
    EXPECT_EQ(b.bCollSpring, FALSE);
    EXPECT_EQ(p.ptBall, &b);
}

// Each timed state does its work on the frame that reaches T and switches
// there: T = 0.25 s in frames of 1/64 s.
TEST_F(PaddleTest, EachStateSwitchesAtTheFrameThatReachesT)
{
    struct Case { int iState, iFrames, iNext; }; // iFrames = T / (rate * frame)
    const Case aCases[] = {
        {SPRING_COLLISION, 16, SPRING_REACTION},
        {SPRING_REACTION, 8, SPRING_RECOVERING},
        {SPRING_RECOVERING, 4, SPRING_VIBRATING},
        {SPRING_BREAKING, 4, SPRING_BROKEN}, // 5 x 1/64 a frame: the fourth passes T
        {SPRING_VIBRATING, 16, SPRING_NORMAL},
        {SPRING_REVIVING, 16, SPRING_NORMAL},
    };
    for (const Case &c : aCases) {
        p = make_paddle();
        b = caught_ball(-500, 0);
        handle_paddle_collision(&p, &b);
        p.iSpringState = c.iState;
        EXPECT_EQ(frames_until_change(STEP), c.iFrames) << c.iState;
        EXPECT_EQ(p.iSpringState, c.iNext) << c.iState;
        EXPECT_EQ(p.fDeformedSpringTime, 0.0f) << c.iState;
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
    EXPECT_EQ(p.iCollidingObjectRadius, BALL_RADIUS);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -12 - 62.5f + 31.25f);
    EXPECT_FLOAT_EQ(p.fDeformedSpringY, 0.0f);
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
        EXPECT_EQ(b.bCollSpring, FALSE);
        EXPECT_EQ(p.ptBall, nullptr);
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

TEST_F(PaddleTest, BallPushedIntoAnObstacleIsThrownAtOnce)
{
    auto ptBounds = std::make_unique<stLevelBounds>();
    ptBounds->iNumCircles = 1;
    ptBounds->vtCircle[0] = {10, {110, 300}}; // in the way of the ball pushed out along R
    g_ptLevelBounds = ptBounds.get();
    b = caught_ball(-500, 0);
    handle_paddle_collision(&p, &b);
    ASSERT_EQ(frames_until_change(STEP), 16);
    // Out along R the ball reaches the circle (x 88 and more) before T.
    const int iFrames = frames_until_change(STEP);
    EXPECT_GT(iFrames, 0);
    EXPECT_LT(iFrames, 8);
    EXPECT_EQ(p.iSpringState, SPRING_RECOVERING);
    EXPECT_EQ(b.bCollSpring, FALSE);
    EXPECT_GT(b.fVelX, 0.0f);
}

TEST_F(PaddleTest, TearsOnlyAfterTheRecoveryAndSoonerUnderFire)
{
    struct Case { float fResistance; int bFire, iExpected; };
    // The hit's force is m a = 2000.
    const Case aCases[] = {
        {1999, FALSE, SPRING_BREAKING},
        {2001, FALSE, SPRING_VIBRATING},
        {6000, TRUE, SPRING_BREAKING},  // 30 % of 6000 = 1800
        {7000, TRUE, SPRING_VIBRATING}, // 2100
    };
    for (const Case &c : aCases) {
        p = make_paddle();
        p.fSpringForceResistance = c.fResistance;
        catch_and_throw();
        g_tBall.bFire = c.bFire;
        EXPECT_EQ(frames_until_change(STEP), 4);
        EXPECT_EQ(p.iSpringState, c.iExpected) << c.fResistance << " " << c.bFire;
    }
}

TEST_F(PaddleTest, VibrationSwingsAwayFromTheThrowAndEndsStraight)
{
    catch_and_throw();
    frames_until_change(STEP);
    ASSERT_EQ(p.iSpringState, SPRING_VIBRATING);
    run(1);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -20 * table_sin(15 * STEP)); // R points right
    EXPECT_LT(p.fDeformedSpringX, 0.0f);
    EXPECT_EQ(p.fDeformedSpringY, 0.0f);
    frames_until_change(STEP);
    EXPECT_EQ(p.iSpringState, SPRING_NORMAL);
    EXPECT_EQ(p.iCollidingObjectRadius, 0.0f);
    run(1);
    EXPECT_EQ(p.fDeformedSpringX, 0.0f);
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

TEST_F(PaddleTest, UnknownStateBecomesNormal)
{
    for (int iState : {-1, 8, 1000}) {
        p.iSpringState = iState;
        update_paddle(&p, STEP);
        EXPECT_EQ(p.iSpringState, SPRING_NORMAL) << iState;
    }
}

using PaddleDeathTest = PaddleTest;

TEST_F(PaddleDeathTest, StatesWithoutTheirPaddleOrBallEndTheProgram)
{
    const char *pszNoBall = "Error al intentar acceder al paddle o a la pelota\\.";
    const char *pszNoPaddle = "Error al intentar acceder al paddle\\.";
    p.iSpringState = SPRING_COLLISION;
    EXPECT_EXIT(update_paddle(&p, STEP), ::testing::ExitedWithCode(255), pszNoBall);
    p.iSpringState = SPRING_REACTION;
    EXPECT_EXIT(update_paddle(&p, STEP), ::testing::ExitedWithCode(255), pszNoBall);
    EXPECT_EXIT(update_paddle_collision_vibrating(nullptr, STEP), ::testing::ExitedWithCode(255), pszNoPaddle);
    EXPECT_EXIT(update_paddle(nullptr, STEP), ::testing::ExitedWithCode(255), pszNoPaddle);
}

// --- loading from datafiles ----------------------------------------------------

namespace {
constexpr int SPHERE_SIZE = 26; // px

const std::filesystem::path CHARACTERS_SOURCE =
    std::filesystem::path(__FILE__).parent_path().parent_path() / "assets/tx15/PERSONAJES.xml";

// Two characters: the first with a band, the second without one.
const char TWO_CHARACTERS[] =
    "<raiz>\n"
    " <personaje>\n"
    "  <datos color=\"FF8000\" archivo=\"data/tx16.dat\" imagen_esfera=\"BLOB\"/>\n"
    "  <liga delta_velocidad=\"70\" desaceleracion=\"0.88\" velocidad_max=\"450\""
    " constante_k_liga=\"180\" longitud_max=\"220\" longitud_min=\"110\""
    " velocidad_min_liga=\"320\" aceleracion_max_liga=\"5000\" delta_crecimiento=\"2.5\""
    " resistencia=\"6000\"/>\n"
    " </personaje>\n"
    " <personaje>\n"
    "  <datos color=\"0000FF\" archivo=\"data/tx16.dat\" imagen_esfera=\"BLOB2\"/>\n"
    " </personaje>\n"
    "</raiz>\n";

// The sphere names the document gives, in order.
std::vector<std::string> sphere_names(const std::string &sDocument)
{
    std::vector<std::string> vNames;
    const std::string sKey = "imagen_esfera=\"";
    for (size_t i = sDocument.find(sKey); i != std::string::npos; i = sDocument.find(sKey, i + 1)) {
        const size_t iStart = i + sKey.size();
        vNames.push_back(sDocument.substr(iStart, sDocument.find('"', iStart) - iStart));
    }
    return vNames;
}

// A scratch game directory: data/tx15.dat with the document as "PERSONAJES" and
// data/tx16.dat with a sphere picture under every name it gives; empty on failure.
std::string make_game_dir(const std::string &sDocument)
{
    packfile_password(nullptr); // the pictures are written plain for the packer
    const std::string sDir = db::make_temp_dir("tvx_paddle");
    if (sDir.empty() || !std::filesystem::create_directory(sDir + "/data"))
        return "";
    db::Contents tDocuments, tPictures;
    tDocuments.vRaw = {{"PERSONAJES", sDocument}};
    BITMAP *bmpSphere = create_bitmap(SPHERE_SIZE, SPHERE_SIZE);
    clear_to_color(bmpSphere, makecol(90, 90, 90));
    for (const std::string &sName : sphere_names(sDocument))
        tPictures.vBitmaps.push_back({sName, bmpSphere});
    const bool bPacked = db::pack(sDir + "/data/tx15.dat", tDocuments) && db::pack(sDir + "/data/tx16.dat", tPictures);
    destroy_bitmap(bmpSphere);
    return bPacked ? sDir : "";
}

// Tests that run inside a scratch game directory, each made once.
class PaddleDataTest : public PaddleTest {
protected:
    static void TearDownTestSuite()
    {
        for (std::string *psDir : {&sMadeUpDir, &sGameDir}) {
            if (!psDir->empty())
                std::filesystem::remove_all(*psDir);
            psDir->clear();
        }
    }
    void SetUp() override
    {
        PaddleTest::SetUp();
        ASSERT_NE(getcwd(szOldDir, sizeof(szOldDir)), nullptr);
    }
    void TearDown() override
    {
        packfile_password(nullptr);
        EXPECT_EQ(chdir(szOldDir), 0);
        PaddleTest::TearDown();
    }
    void enter(std::string *psDir, const std::string &sDocument)
    {
        if (psDir->empty())
            *psDir = make_game_dir(sDocument);
        ASSERT_FALSE(psDir->empty());
        ASSERT_EQ(chdir(psDir->c_str()), 0);
        packfile_password(db::data_password().c_str());
    }
    // A catch at v px/s of a ball of mass m, run at 60 frames a second until the
    // band settles; gives the state the recovery ends in and the deepest give of
    // the band's middle.
    int catch_ball(stPaddle *ptPaddle, float v, float fAngle, float fMass, float *pfDeepest)
    {
        g_tBall = caught_ball(-v * std::cos(fAngle), v * std::sin(fAngle), fMass);
        handle_paddle_collision(ptPaddle, &g_tBall);
        *pfDeepest = 0;
        for (int i = 0; i < 600 && ptPaddle->iSpringState != SPRING_BREAKING &&
                        ptPaddle->iSpringState != SPRING_VIBRATING;
             i++) {
            update_paddle(ptPaddle, 1.0f / 60);
            *pfDeepest = std::max(*pfDeepest, -ptPaddle->fDeformedSpringX);
        }
        return ptPaddle->iSpringState;
    }
    static inline std::string sMadeUpDir, sGameDir; // TWO_CHARACTERS, the game's own "PERSONAJES"
    char szOldDir[4096] = {0};
};
} // namespace

TEST_F(PaddleDataTest, LoadsTheCharactersBandAndResets)
{
    enter(&sMadeUpDir, TWO_CHARACTERS);
    p.iSpringState = SPRING_BROKEN;
    p.fVY = 99;
    p.fDeformedSpringX = 7;
    p.iCollidingObjectRadius = 12;
    init_paddle(&p, 750, 280, 0);
    // The colour in the graphics library's 24-bit layout.
    EXPECT_EQ(getr(p.iSpringColor), getr24(0xFF8000));
    EXPECT_EQ(getg(p.iSpringColor), getg24(0xFF8000));
    EXPECT_EQ(getb(p.iSpringColor), getb24(0xFF8000));
    ASSERT_NE(p.rleSphere, nullptr);
    // The band's attributes, then the reset.
    const std::pair<float, float> aFields[] = {
        {p.fDeltaVY, 70},          {p.fDampVY, 0.88f},      {p.fMaxVY, 450},
        {p.fSpringK, 180},         {p.fMaxSpringLength, 220}, {p.fOriginalSpringLength, 110},
        {p.fSpringMinVel, 320},    {p.fSpringMaxAcceleration, 5000}, {p.fSpringGrowth, 2.5f},
        {p.fSpringForceResistance, 6000}, {p.fRadius, SPHERE_SIZE / 2}, {p.fX, 750},
        {p.fY, 280},               {p.fVY, 0},              {p.fSpringLength, 110},
        {p.fDeformedSpringX, 0},   {p.iCollidingObjectRadius, 0},
    };
    for (size_t i = 0; i < std::size(aFields); i++)
        EXPECT_FLOAT_EQ(aFields[i].first, aFields[i].second) << "field " << i;
    EXPECT_EQ(p.iSpringState, SPRING_NORMAL);
    destroy_paddle(&p);
    EXPECT_EQ(p.rleSphere, nullptr);

    // Without a band element the band's values stay as they were.
    stPaddle q = make_paddle();
    init_paddle(&q, 50, 300, 1);
    EXPECT_EQ(getb(q.iSpringColor), getb24(0x0000FF));
    EXPECT_EQ(q.fSpringK, 64);
    EXPECT_EQ(q.fMaxSpringLength, 200);
    EXPECT_EQ(q.fSpringLength, 100);
    destroy_paddle(&q);
}

// Every band of the game: a serve (390 to 510 px/s, masses 1.0 to 1.24, up to
// 20 degrees off level) bends it visibly and never tears it; a hard hit at
// 1200 px/s does.
TEST_F(PaddleDataTest, EveryBandBendsUnderAServeAndTearsOnlyUnderAHardHit)
{
    const std::string sDocument = db::read_file(CHARACTERS_SOURCE.string());
    ASSERT_EQ(sphere_names(sDocument).size(), static_cast<size_t>(NUM_CHARACTERS)) << CHARACTERS_SOURCE;
    enter(&sGameDir, sDocument);
    for (int iCharacter = 0; iCharacter < NUM_CHARACTERS; iCharacter++) {
        stPaddle q = {};
        init_paddle(&q, 50, 300, iCharacter);
        EXPECT_EQ(q.fRadius, SPHERE_SIZE / 2);
        EXPECT_LT(q.fOriginalSpringLength, q.fMaxSpringLength) << iCharacter;
        EXPECT_GT(q.fSpringGrowth, 0) << iCharacter;
        for (float v : {390.0f, 450.0f, 510.0f})
            for (float fMass : {1.0f, 1.24f})
                for (float fAngle : {0.0f, 0.35f}) {
                    q.iSpringState = SPRING_NORMAL;
                    q.fSpringLength = q.fOriginalSpringLength;
                    float fDeepest = 0;
                    EXPECT_EQ(catch_ball(&q, v, fAngle, fMass, &fDeepest), SPRING_VIBRATING)
                        << iCharacter << " at " << v << " px/s, mass " << fMass;
                    EXPECT_GE(fDeepest, 20.0f) << iCharacter << " at " << v;
                    EXPECT_GE(std::hypot(g_tBall.fVelX, g_tBall.fVelY), q.fSpringMinVel - 1e-2f);
                    EXPECT_GT(g_tBall.fVelX, 0.0f) << iCharacter; // back into the field
                }
        q.iSpringState = SPRING_NORMAL;
        float fDeepest = 0;
        EXPECT_EQ(catch_ball(&q, 1200, 0, 1.0f, &fDeepest), SPRING_BREAKING) << iCharacter;
        destroy_paddle(&q);
    }
}

// An alter ego's band is a harder variant of its counterpart's.
TEST_F(PaddleDataTest, AlterEgosAreHarderVariants)
{
    enter(&sGameDir, db::read_file(CHARACTERS_SOURCE.string()));
    const int aiPairs[][2] = {{ARTURITO, ALTER_ARTURITO}, {CAMANEY, ALTER_CAMANEY}, {LENGUAS, ALTER_LENGUAS},
                              {UAYUMIN, ALTER_UAYUMIN},   {CARNAL, ALTER_CARNAL},   {KAROLA, ALTER_KAROLA},
                              {GUANTE, ALTER_GUANTE},     {OJEIS, ALTER_OJEIS}};
    for (const auto &aiPair : aiPairs) {
        stPaddle a = {}, e = {};
        init_paddle(&a, 50, 300, aiPair[0]);
        init_paddle(&e, 50, 300, aiPair[1]);
        EXPECT_GT(e.fSpringK, a.fSpringK) << aiPair[1];
        EXPECT_GT(e.fSpringForceResistance, a.fSpringForceResistance) << aiPair[1];
        EXPECT_GT(e.fSpringGrowth, a.fSpringGrowth) << aiPair[1];
        EXPECT_GT(e.fSpringMinVel, a.fSpringMinVel) << aiPair[1];
        EXPECT_GT(e.fMaxVY, a.fMaxVY) << aiPair[1];
        EXPECT_NE(e.iSpringColor, a.iSpringColor) << aiPair[1];
        destroy_paddle(&a);
        destroy_paddle(&e);
    }
}

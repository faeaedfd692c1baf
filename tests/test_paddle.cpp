// The paddle: the catch arithmetic with worked numbers, every timed state's
// switch at the frame that reaches T, the throw's speed (least speed, length
// change, the demo boost), the tear with and without the fire effect, the
// length limits, the fatal paths, and loading a character's band from a
// datafile packed here.
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
    p.fSpringLength = 100;
    p.fOriginalSpringLength = 100;
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
    struct Case {
        float vx, vy, fMass, k, fExtra, fMaxAccel;
        float fGive, fAccel, fForce, T;
        const char *pszWhat;
    };
    // |v| = 500 in every case; n = (-0.6, 0.8).
    const Case aCases[] = {
        {-300, 400, 1, 100, 0, 1e9f, 50, 2500, 2500, 0.2f, "X = 500 sqrt(1/100) = 50"},
        {-300, 400, 1, 100, 20, 1e9f, 30, 250000.0f / 60, 250000.0f / 60, 0.12f,
         "20 px of extra length take up part of the give"},
        {-300, 400, 1, 100, 0, 1000, 50, 1000, 2500, 0.2f,
         "the band moves with its limit, the force and T keep the hit's"},
        {-300, 400, 4, 100, 0, 1e9f, 100, 1250, 5000, 0.4f, "a heavier ball gives deeper"},
    };
    for (const Case &c : aCases) {
        p = make_paddle();
        p.fSpringK = c.k;
        p.fSpringLength += c.fExtra;
        p.fSpringMaxAcceleration = c.fMaxAccel;
        stBall t = caught_ball(c.vx, c.vy, c.fMass);
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
        EXPECT_NEAR(p.fDeformedSpringMaxX, -0.6f * c.fGive, 1e-3f);
        EXPECT_NEAR(p.fDeformedSpringMaxY, 0.8f * c.fGive, 1e-3f);
        EXPECT_EQ(p.fCollSpringLength, p.fSpringLength);
        EXPECT_EQ(p.fDeformedSpringTime, 0.0f);
        EXPECT_EQ(t.bCollSpring, TRUE);
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
    EXPECT_NEAR(b.fVelX, 300, 1e-3f); // full speed along the mirror direction
    EXPECT_NEAR(b.fVelY, 400 - 80, 1e-3f); // plus the paddle's own
    EXPECT_EQ(b.bCollSpring, FALSE);
    EXPECT_EQ(p.ptBall, &b);
}

// Each timed state does its work on the frame that reaches T and switches
// there: T = 0.25 s in frames of 1/64 s.
TEST_F(PaddleTest, EachStateSwitchesAtTheFrameThatReachesT)
{
    struct Case {
        int iState;
        int iFrames; // T / (rate * frame)
        int iNext;
    };
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
    for (int i = 0; i < 8; i++)
        update_paddle(&p, STEP);
    EXPECT_EQ(p.iCollidingObjectRadius, BALL_RADIUS);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -12 - 62.5f + 31.25f);
    EXPECT_FLOAT_EQ(p.fDeformedSpringY, 0.0f);
    EXPECT_FLOAT_EQ(b.fX, 50 - 12 - 62.5f + 31.25f + 12); // one radius out along the mirror
    EXPECT_FLOAT_EQ(b.tCircle.tCenter.fX, b.fX);
    // The frame that reaches T: back at -r, and that is the deepest point recorded.
    for (int i = 0; i < 8; i++)
        update_paddle(&p, STEP);
    EXPECT_EQ(p.iSpringState, SPRING_REACTION);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -12.0f);
    EXPECT_FLOAT_EQ(b.fCollMaxX, b.fX);
    // The reaction pushes out along R with g t^2 on a clock twice as fast.
    update_paddle(&p, STEP);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -12 + 2000 * (2 * STEP) * (2 * STEP));
    EXPECT_EQ(b.bCollSpring, TRUE);
}

TEST_F(PaddleTest, ThrowDependsOnTheLengthGainedWhileHolding)
{
    struct Case {
        float fLengthChange, fMinVel, fExpected;
        const char *pszWhat;
    };
    // s = sqrt(2 g (dL + X)) with g = 2000, X = 62.5.
    const Case aCases[] = {
        {0, 300, 500, "unchanged: back at the speed it came"},
        {37.5f, 300, std::sqrt(4000.0f * 100), "lengthened: faster"},
        {-37.5f, 300, std::sqrt(4000.0f * 25), "shortened: slower"},
        {-37.5f, 400, 400, "never below the least speed"},
        {-80, 300, 300, "shortened by more than the give: the least speed"},
    };
    for (const Case &c : aCases) {
        p = make_paddle();
        p.fSpringLength = p.fOriginalSpringLength = 150;
        p.fSpringMinVel = c.fMinVel;
        p.fVY = 40;
        b = caught_ball(-500, 0);
        handle_paddle_collision(&p, &b);
        for (int i = 0; i < 16; i++)
            update_paddle(&p, STEP);
        p.fSpringLength += c.fLengthChange;
        for (int i = 0; i < 8; i++)
            update_paddle(&p, STEP);
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
    struct Case {
        float fResistance;
        int bFire;
        int iExpected;
    };
    // The hit's force is m a = 2000.
    const Case aCases[] = {
        {1999, FALSE, SPRING_BREAKING},
        {2001, FALSE, SPRING_VIBRATING},
        {6000, TRUE, SPRING_BREAKING}, // 30 % of 6000 = 1800
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
    update_paddle(&p, STEP);
    EXPECT_FLOAT_EQ(p.fDeformedSpringX, -20 * table_sin(15 * STEP)); // R points right
    EXPECT_LT(p.fDeformedSpringX, 0.0f);
    EXPECT_EQ(p.fDeformedSpringY, 0.0f);
    frames_until_change(STEP);
    EXPECT_EQ(p.iSpringState, SPRING_NORMAL);
    EXPECT_EQ(p.iCollidingObjectRadius, 0.0f);
    update_paddle(&p, STEP);
    EXPECT_EQ(p.fDeformedSpringX, 0.0f);
}

TEST_F(PaddleTest, GrowthAndShrinkStopAtTheLimits)
{
    // 2 px per 16 ms: 0.08 s is 10 px.
    EXPECT_EQ(grow_paddle_spring(&p, 0.08f), 0);
    EXPECT_NEAR(p.fSpringLength, 110, 1e-3f);
    EXPECT_EQ(grow_paddle_spring(&p, 10), 1);
    EXPECT_EQ(p.fSpringLength, 200);
    EXPECT_EQ(grow_paddle_spring(&p, 0.001f), 1);
    EXPECT_EQ(p.fSpringLength, 200);
    EXPECT_EQ(shrink_paddle_spring(&p, 0.08f), 0);
    EXPECT_NEAR(p.fSpringLength, 190, 1e-3f);
    EXPECT_EQ(shrink_paddle_spring(&p, 10), 1);
    EXPECT_EQ(p.fSpringLength, 100);
    EXPECT_EQ(shrink_paddle_spring(&p, 0.001f), 1);
    EXPECT_EQ(p.fSpringLength, 100);
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
    p.iSpringState = SPRING_COLLISION;
    EXPECT_EXIT(update_paddle(&p, STEP), ::testing::ExitedWithCode(255),
                "Error al intentar acceder al paddle o a la pelota\\.");
    p.iSpringState = SPRING_REACTION;
    EXPECT_EXIT(update_paddle(&p, STEP), ::testing::ExitedWithCode(255),
                "Error al intentar acceder al paddle o a la pelota\\.");
    EXPECT_EXIT(update_paddle_collision_vibrating(nullptr, STEP), ::testing::ExitedWithCode(255),
                "Error al intentar acceder al paddle\\.");
    EXPECT_EXIT(update_paddle(nullptr, STEP), ::testing::ExitedWithCode(255),
                "Error al intentar acceder al paddle\\.");
}

// --- loading from a datafile -------------------------------------------------

namespace {
constexpr int SPHERE_SIZE = 26; // px

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
    "  <datos color=\"0000FF\" archivo=\"data/tx16.dat\" imagen_esfera=\"BLOB\"/>\n"
    " </personaje>\n"
    "</raiz>\n";

class PaddleDataTest : public HeadlessAllegro {
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
        ASSERT_NE(getcwd(szOldDir, sizeof(szOldDir)), nullptr);
        if (sDir.empty()) {
            sDir = db::make_temp_dir("tvx_paddle");
            ASSERT_FALSE(sDir.empty());
            std::filesystem::create_directory(sDir + "/data");
            db::Contents tDocuments;
            tDocuments.vRaw = {{"PERSONAJES", TWO_CHARACTERS}};
            ASSERT_TRUE(db::pack(sDir + "/data/tx15.dat", tDocuments));
            BITMAP *bmpSphere = create_bitmap(SPHERE_SIZE, SPHERE_SIZE);
            clear_to_color(bmpSphere, bitmap_mask_color(bmpSphere));
            circlefill(bmpSphere, SPHERE_SIZE / 2, SPHERE_SIZE / 2, SPHERE_SIZE / 2 - 1,
                       makecol(200, 200, 200));
            db::Contents tPictures;
            tPictures.vBitmaps = {{"BLOB", bmpSphere}};
            ASSERT_TRUE(db::pack(sDir + "/data/tx16.dat", tPictures));
            destroy_bitmap(bmpSphere);
        }
        ASSERT_EQ(chdir(sDir.c_str()), 0);
        packfile_password(db::data_password().c_str());
    }
    void TearDown() override
    {
        packfile_password(nullptr);
        EXPECT_EQ(chdir(szOldDir), 0);
        HeadlessAllegro::TearDown();
    }
    static std::string sDir;
    char szOldDir[4096] = {0};
};
std::string PaddleDataTest::sDir;
} // namespace

TEST_F(PaddleDataTest, LoadsTheCharactersBandAndResets)
{
    stPaddle p = make_paddle();
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
    EXPECT_EQ(p.fRadius, SPHERE_SIZE / 2);
    EXPECT_EQ(p.fDeltaVY, 70);
    EXPECT_FLOAT_EQ(p.fDampVY, 0.88f);
    EXPECT_EQ(p.fMaxVY, 450);
    EXPECT_EQ(p.fSpringK, 180);
    EXPECT_EQ(p.fMaxSpringLength, 220);
    EXPECT_EQ(p.fOriginalSpringLength, 110);
    EXPECT_EQ(p.fSpringMinVel, 320);
    EXPECT_EQ(p.fSpringMaxAcceleration, 5000);
    EXPECT_FLOAT_EQ(p.fSpringGrowth, 2.5f);
    EXPECT_EQ(p.fSpringForceResistance, 6000);
    // The reset.
    EXPECT_EQ(p.fX, 750);
    EXPECT_EQ(p.fY, 280);
    EXPECT_EQ(p.iCharacter, 0);
    EXPECT_EQ(p.fVY, 0);
    EXPECT_EQ(p.iSpringState, SPRING_NORMAL);
    EXPECT_EQ(p.fSpringLength, 110);
    EXPECT_EQ(p.fDeformedSpringX, 0);
    EXPECT_EQ(p.iCollidingObjectRadius, 0);
    EXPECT_EQ(p.ptBall, nullptr);
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

// --- the game's own characters -------------------------------------------------

namespace {
const std::filesystem::path CHARACTERS_SOURCE =
    std::filesystem::path(__FILE__).parent_path().parent_path() / "assets/tx15/PERSONAJES.xml";

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

// A scratch game directory with the game's "PERSONAJES" and a sphere picture
// of its own under every name the document gives.
class PaddleCharactersTest : public PaddleDataTest {
protected:
    static void TearDownTestSuite()
    {
        if (!sGameDir.empty())
            std::filesystem::remove_all(sGameDir);
        sGameDir.clear();
    }
    void SetUp() override
    {
        PaddleDataTest::SetUp();
        if (sGameDir.empty()) {
            packfile_password(nullptr); // the pictures are written plain for the packer
            sGameDir = db::make_temp_dir("tvx_characters");
            ASSERT_FALSE(sGameDir.empty());
            std::filesystem::create_directory(sGameDir + "/data");
            const std::string sDocument = db::read_file(CHARACTERS_SOURCE.string());
            ASSERT_FALSE(sDocument.empty()) << CHARACTERS_SOURCE;
            db::Contents tDocuments;
            tDocuments.vRaw = {{"PERSONAJES", sDocument}};
            ASSERT_TRUE(db::pack(sGameDir + "/data/tx15.dat", tDocuments));
            const std::vector<std::string> vNames = sphere_names(sDocument);
            ASSERT_EQ(vNames.size(), static_cast<size_t>(NUM_CHARACTERS));
            BITMAP *bmpSphere = create_bitmap(SPHERE_SIZE, SPHERE_SIZE);
            clear_to_color(bmpSphere, makecol(90, 90, 90));
            db::Contents tPictures;
            for (const std::string &sName : vNames)
                tPictures.vBitmaps.push_back({sName, bmpSphere});
            ASSERT_TRUE(db::pack(sGameDir + "/data/tx16.dat", tPictures));
            destroy_bitmap(bmpSphere);
            packfile_password(db::data_password().c_str());
        }
        ASSERT_EQ(chdir(sGameDir.c_str()), 0);
        init_tables();
        iSavedSoundError = bSoundError;
        bSoundError = -1;
        g_tBall = {};
        g_ptLevelBounds = nullptr;
        g_iGameMode = GM_PLAYER_VS_COMPUTER;
    }
    void TearDown() override
    {
        bSoundError = iSavedSoundError;
        g_tBall = {};
        PaddleDataTest::TearDown();
    }
    // A catch at v px/s of a ball of mass m, run at 60 frames a second until the
    // band settles; gives the state the recovery ends in and the deepest give of
    // the band's middle.
    int catch_ball(stPaddle *ptPaddle, float v, float fAngle, float fMass, float *pfDeepest)
    {
        stBall b = caught_ball(-v * std::cos(fAngle), v * std::sin(fAngle), fMass);
        g_tBall = b;
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
    static std::string sGameDir;
    int iSavedSoundError = 0;
};
std::string PaddleCharactersTest::sGameDir;
} // namespace

// Every band: a serve (390 to 510 px/s, masses 1.0 to 1.24, up to 20 degrees
// off level) bends it visibly and never tears it; a hard hit at 1200 px/s does.
TEST_F(PaddleCharactersTest, EveryBandBendsUnderAServeAndTearsOnlyUnderAHardHit)
{
    for (int iCharacter = 0; iCharacter < NUM_CHARACTERS; iCharacter++) {
        stPaddle p = {};
        init_paddle(&p, 50, 300, iCharacter);
        EXPECT_EQ(p.fRadius, SPHERE_SIZE / 2);
        EXPECT_LT(p.fOriginalSpringLength, p.fMaxSpringLength) << iCharacter;
        EXPECT_GT(p.fSpringGrowth, 0) << iCharacter;
        for (float v : {390.0f, 450.0f, 510.0f}) {
            for (float fMass : {1.0f, 1.24f}) {
                for (float fAngle : {0.0f, 0.35f}) {
                    p.iSpringState = SPRING_NORMAL;
                    p.fSpringLength = p.fOriginalSpringLength;
                    float fDeepest = 0;
                    EXPECT_EQ(catch_ball(&p, v, fAngle, fMass, &fDeepest), SPRING_VIBRATING)
                        << iCharacter << " at " << v << " px/s, mass " << fMass;
                    EXPECT_GE(fDeepest, 20.0f) << iCharacter << " at " << v;
                    EXPECT_GE(std::hypot(g_tBall.fVelX, g_tBall.fVelY), p.fSpringMinVel - 1e-2f);
                    EXPECT_GT(g_tBall.fVelX, 0.0f) << iCharacter; // back into the field
                }
            }
        }
        p.iSpringState = SPRING_NORMAL;
        float fDeepest = 0;
        EXPECT_EQ(catch_ball(&p, 1200, 0, 1.0f, &fDeepest), SPRING_BREAKING) << iCharacter;
        destroy_paddle(&p);
    }
}

// An alter ego's band is a harder variant of its counterpart's.
TEST_F(PaddleCharactersTest, AlterEgosAreHarderVariants)
{
    const int aiPairs[][2] = {{ARTURITO, ALTER_ARTURITO}, {CAMANEY, ALTER_CAMANEY},
                              {LENGUAS, ALTER_LENGUAS},   {UAYUMIN, ALTER_UAYUMIN},
                              {CARNAL, ALTER_CARNAL},     {KAROLA, ALTER_KAROLA},
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

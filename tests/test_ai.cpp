// Computer sides: the controllers' sight zones, steering and suffered effects,
// the personalities' band work and item use, and the records read from "NIVEL".
#include "ai_personality.h"
#include "datafile_builder.h"
#include "headless.h"
#include "player.h"
#include "pong.h"
#include "random.h"

namespace db = datafile_builder;

namespace {
constexpr float DT = 0.01f;      // s
constexpr float PERIOD = 0.016f; // s: one growth period, 1 px of band with fSpringGrowth 1

// A right-hand computer side at (750, 300) with a 150-px band, seeing the whole field clearly.
class AITest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        random_init_seed(7);
        init_reactive_ai_struct(&tAI);
        sight(900, 1000, 50);
        tPaddle = {};
        tPaddle.fX = 750;
        tPaddle.fMaxVY = 200; tPaddle.fDampVY = 0.5f; tPaddle.fDeltaVY = 40;
        tPaddle.fOriginalSpringLength = 100; tPaddle.fMaxSpringLength = 200; tPaddle.fSpringGrowth = 1;
        place(300, 0, SPRING_NORMAL);
        t1D = {};
        t1D.iBehaviourState = 1; t1D.iNumPersonalities = 4;
        t3D = {};
        tPersonality = {&t1D, nullptr, &t3D};
        tPlayer = {};
        tPlayer.iPlayer = 1; tPlayer.ptPaddle = &tPaddle; tPlayer.ptReactiveAI = &tAI; tPlayer.ptPersonality = &tPersonality;
        tPlayer.tItems.iItem = tPlayer.tItems.iUsedItem = tPlayer.iSufferingItem = NO_ITEM;
        tPlayer.iSufferingElement = NO_LEVEL_ELEMENT;
        tBall = {};
        // Items act on the match's sides: both hold this paddle.
        for (stPlayer &t : g_tPlayer)
            t.ptPaddle = &tPaddle;
    }
    void sight(int iNear, int iFar, int iPercentFar)
    {
        tAI.fVisionSensorNear_2 = static_cast<float>(iNear * iNear);
        tAI.fVisionSensorFar_2 = static_cast<float>(iFar * iFar);
        tAI.iVisionPercentFar = iPercentFar;
    }
    void place(float fY, float fVY, int iState)
    {
        tPaddle.fY = fY; tPaddle.fVY = fVY; tPaddle.iSpringState = iState; tPaddle.fSpringLength = 150;
    }
    void ball(float x, float y, float vx, float vy) { tBall.fX = x; tBall.fY = y; tBall.fVelX = vx; tBall.fVelY = vy; }
    // The change of the band's length over one frame of a 1D behaviour.
    float band_step(AIFunction f, int iState, float fDT = PERIOD)
    {
        const float fBefore = tPaddle.fSpringLength;
        tPaddle.iSpringState = iState;
        f(&tPlayer, &tBall, fDT);
        return tPaddle.fSpringLength - fBefore;
    }
    CleanMatch tMatch;
    stPaddle tPaddle; stReactiveAI tAI; stPersonality1D t1D; stPersonality3D t3D;
    stPersonality tPersonality; stPlayer tPlayer; stBall tBall;
};
using PersonalityTest = AITest;
using AIDeathTest = HeadlessAllegro;
} // namespace

TEST_F(AITest, SightZones)
{
    sight(100, 400, 50);
    for (AIFunction f : {follow_ai, erratic_follow_ai, predict_ai}) {
        place(300, 50, SPRING_NORMAL);
        tPlayer.fTimeSufferingItem = 0.125f;
        ball(349, 300, 300, 90); // 401 px away: nothing at all this frame
        f(&tPlayer, &tBall, DT);
        EXPECT_TRUE(tPaddle.fY == 300 && tPaddle.fVY == 50 && tPlayer.fTimeSufferingItem == 0.125f);
        ball(351, 300, 300, 90); // 399 px away: the same frame acts
        f(&tPlayer, &tBall, DT);
        EXPECT_NE(tPaddle.fY, 300);
    }
    struct Case { AIFunction f; int iNear, iFar, iPercentFar; float bx, by, bvx, bvy, fVY; }; // fVY: NAN varies
    const Case atCases[] = {
        {predict_ai, 100, 400, 50, 690, 280, 60, -40, -60},   // near: arrives in 1 s
        {predict_ai, 100, 400, 50, 700, 300, 50, -400, -200}, // near, clamped
        {predict_ai, 100, 400, 50, 450, 300, 100, 20, NAN},   // between the radii
        {predict_ai, 100, 400, 100, 450, 300, 100, 20, 20},   // seen clearly up to the far radius
        {predict_ai, 200, 200, 50, 590, 180, 80, 30, -30},    // equal radii, 200 px: no noisy zone
        {follow_ai, 100, 400, 50, 700, 289.5f, 0, 0, -20},    // e = 10.5 steers, then damped
        {follow_ai, 100, 400, 50, 550, 289.5f, 0, 0, NAN},    // +-2 px jitter: not always
    };
    for (const Case &c : atCases) {
        sight(c.iNear, c.iFar, c.iPercentFar);
        ball(c.bx, c.by, c.bvx, c.bvy);
        std::set<float> tSeen;
        for (int i = 0; i < 40; i++) {
            place(300, 0, SPRING_NORMAL);
            c.f(&tPlayer, &tBall, DT);
            tSeen.insert(tPaddle.fVY);
        }
        EXPECT_TRUE(std::isnan(c.fVY) ? tSeen.size() > 1 : tSeen == std::set<float>{c.fVY})
            << c.bx << " " << c.iPercentFar << ": " << tSeen.size() << " speeds, " << *tSeen.begin();
    }
}

TEST_F(AITest, SteeringStep)
{
    constexpr int N = SPRING_NORMAL, C = SPRING_COLLISION, B = SPRING_BROKEN;
    struct Case { AIFunction f; int iState; float fY, fVY0, bx, by, bvx, bvy, fVY, fYAfter; };
    // A torn band of 150 px has its ends 75 px above and below fY.
    const Case atCases[] = {
        {follow_ai, N, 300, 0, 700, 290, 0, 0, 0, 300},             // e = 10: dead zone
        {follow_ai, N, 300, 30, 700, 310, 0, 0, 15, 300.3f},        // e = -10: kept, moved, damped
        {follow_ai, N, 300, 0, 700, 289, 0, 0, -20, 299.6f},
        {follow_ai, N, 300, 190, 700, 400, 0, 0, 100, 302},         // clamped, damped after the move
        {follow_ai, N, 599, 150, 700, 700, 0, 0, 95, 599},          // 600.9 is not taken
        {follow_ai, B, 300, 0, 700, 220, 0, 0, 0, 300},             // upper end 225 is near it
        {follow_ai, B, 300, 0, 700, 390, 0, 0, 20, 300.4f},         // lower end 375
        {follow_ai, B, 300, 0, 700, 300, 0, 0, -20, 299.6f},        // a tie steers the lower end
        {follow_ai, C, 300, 0, 700, 220, 0, 0, -20, 299.6f},        // a whole band: its middle
        {erratic_follow_ai, N, 300, 80, 700, 200, 0, 0, -80, 299.2f},
        {erratic_follow_ai, N, 300, 80, 700, 295, 0, 0, 80, 300.8f},
        {erratic_follow_ai, B, 300, 80, 700, 220, 0, 0, -80, 299.2f}, // always the middle
        {predict_ai, N, 300, 0, 650, 300, 100, 50, 50, 300.5f},       // 350 in 1 s
        {predict_ai, N, 180, 0, 650, 300, -100, 0, 100, 181},         // away: 300 in 1.2 s
        {predict_ai, N, 280, 0, 750, 300, 100, 0, 100, 281},          // t = 0: over 0.2 s
        {predict_ai, N, 300, -250, 650, 300, 0, 0, -200, 298},        // fVelX 0: only clamped
        {predict_ai, B, 300, 0, 650, 300, 100, 125, 50, 300.5f},      // 425: 200 or 50 px/s
        {predict_ai, B, 300, 0, 650, 300, 100, 0, -75, 299.25f},      // a tie: the lower end
    };
    for (const Case &c : atCases) {
        place(c.fY, c.fVY0, c.iState);
        tAI.fSwingVY = 0;
        ball(c.bx, c.by, c.bvx, c.bvy);
        c.f(&tPlayer, &tBall, DT);
        EXPECT_FLOAT_EQ(tPaddle.fVY, c.fVY) << c.iState << " " << c.fY << " " << c.fVY0 << " " << c.by;
        EXPECT_FLOAT_EQ(tPaddle.fY, c.fYAfter) << c.iState << " " << c.fY << " " << c.fVY0 << " " << c.by;
    }
    for (float vx : {1e-30f, -1e-30f, 1e-3f, -1e-3f, 1e-40f}) // a ball crawling sideways
        for (float vy : {0.0f, 50.0f, -3e4f}) {
            place(300, 0, SPRING_NORMAL);
            ball(650, 300, vx, vy);
            predict_ai(&tPlayer, &tBall, DT);
            EXPECT_TRUE(std::isfinite(tPaddle.fVY) && std::fabs(tPaddle.fVY) <= 200) << vx << " " << vy;
        }
}

TEST_F(AITest, BlindControllers)
{
    struct Case { float fY, fVY; int iFrames; float fYAfter, fVYAfter; };
    // Bounces in both orders: no direction is remembered between calls.
    const Case atCases[] = {{2, -300, 1, 2, 300},     {598, 300, 1, 598, -300}, {2, -300, 1, 2, 300},
                            {300, 100, 1, 301, 100},  {300, 0, 500, 300, 0}};
    for (const Case &c : atCases) {
        place(c.fY, c.fVY, SPRING_NORMAL);
        for (int i = 0; i < c.iFrames; i++)
            stupid_ai(&tPlayer, &tBall, DT);
        EXPECT_TRUE(std::fabs(tPaddle.fY - c.fYAfter) < 1e-4f && tPaddle.fVY == c.fVYAfter) << c.fY << " " << c.fVY;
    }
    very_stupid_ai(&tPlayer, &tBall, DT);
    EXPECT_EQ(tPaddle.fY, 300);
    float fLow = 600, fHigh = 0;
    for (int i = 0; i < 5000; i++) {
        random_ai(&tPlayer, &tBall, 0.05f);
        ASSERT_TRUE(std::fabs(tPaddle.fVY) <= 200 && tPaddle.fY > 0 && tPaddle.fY < 600) << "frame " << i;
        fLow = std::min(fLow, tPaddle.fY), fHigh = std::max(fHigh, tPaddle.fY);
    }
    EXPECT_TRUE(fLow < 50 && fHigh > 550) << "both edges met: " << fLow << " " << fHigh;
}

TEST_F(AIDeathTest, SimpleControllersNeedAPlayer)
{
    stBall tBall = {};
    for (AIFunction f : {very_stupid_ai, stupid_ai, random_ai})
        EXPECT_EXIT(f(nullptr, &tBall, DT), ::testing::ExitedWithCode(255),
                    "No la estructura del enemigo no ha sido creada\\.");
}

TEST_F(AITest, MirroredPictureFreezesSwappedControlsTurnLightningStuns)
{
    struct Case { AIFunction f; float fVY0, fMoveVY, fVYAfter; }; // the first free move's speed, then
    const Case atCases[] = {{follow_ai, 0, 40, 20}, {erratic_follow_ai, 80, 80, 80}, {predict_ai, 0, 100, 100}};
    for (const Case &c : atCases) {
        auto still = [&](int iFrames, float fDT, const char *pszWhat) {
            for (int i = 0; i < iFrames; i++) {
                c.f(&tPlayer, &tBall, fDT);
                EXPECT_TRUE(tPaddle.fVY == 0 && tPaddle.fY == 300) << pszWhat << " frame " << i;
            }
        };
        ball(650, 400, 100, 0);
        place(300, c.fVY0, SPRING_NORMAL);
        tPlayer.iSufferingItem = IMAGE; // six frames of 1/16 s stay within 0.35 s
        tPlayer.fTimeSufferingItem = 0;
        still(6, 0.0625f, "image");
        EXPECT_FLOAT_EQ(tPlayer.fTimeSufferingItem, 0.375f);
        c.f(&tPlayer, &tBall, 0.0625f);
        EXPECT_EQ(tPlayer.iSufferingItem, NO_ITEM);
        EXPECT_FLOAT_EQ(tPaddle.fVY, c.fVYAfter);
        EXPECT_FLOAT_EQ(tPaddle.fY, 300 + c.fMoveVY * 0.0625f);
        place(300, c.fVY0, SPRING_NORMAL);
        tPlayer.iSufferingItem = IMAGE;
        tPlayer.fTimeSufferingItem = 0.35f;
        still(1, 0.0625f, "image on its limit");
        tPlayer.iSufferingItem = MIRROR;
        c.f(&tPlayer, &tBall, DT);
        EXPECT_TRUE(tPaddle.fVY < 0 && tPaddle.fY == 300) << "mirror " << tPaddle.fVY;
        tPlayer.iSufferingItem = NO_ITEM;
        tPlayer.iSufferingElement = UAYUMIN_LEVEL; // four frames of 1/8 s reach 0.5 s
        tPlayer.fTimeSufferingElement = 0;
        still(4, 0.125f, "lightning");
        c.f(&tPlayer, &tBall, 0.125f); // cleared in place
        EXPECT_TRUE(tPlayer.iSufferingElement == NO_LEVEL_ELEMENT && tPlayer.fTimeSufferingElement == 0);
        EXPECT_EQ(tPaddle.fY, 300);
        c.f(&tPlayer, &tBall, 0.125f);
        EXPECT_GT(tPaddle.fY, 300);
    }
}

TEST_F(PersonalityTest, AggressiveLengthensOnTwoHitsOfEveryThree)
{
    t1D.iConsecutiveChanges = 2;
    t1D.iConsecutiveOmissions = 1;
    tPaddle.fMaxSpringLength = 1000;
    for (int iHit = 1; iHit <= 9; iHit++) {
        const bool bLengthen = iHit % 3 != 1; // hits 1, 4, 7 go by
        for (int i = 0; i < 3; i++)
            EXPECT_LT(band_step(ai_personality_1D_aggressive, SPRING_NORMAL), 0) << iHit;
        for (int i = 0; i < 1 + iHit % 4; i++) { // a hit lasts 1 to 4 frames
            const float fChange = band_step(ai_personality_1D_aggressive, SPRING_COLLISION);
            EXPECT_TRUE(bLengthen ? fChange > 0 : fChange == 0) << "hit " << iHit << " frame " << i;
        }
        EXPECT_EQ(band_step(ai_personality_1D_aggressive, SPRING_REACTION), 0) << iHit;
    }
}

TEST_F(PersonalityTest, ChangingActsAsEachBehaviourForFiveSeconds)
{
    t1D.fMaxTimeSamePersonality = 5;
    struct Sample { float fTime; int iActual, iState, iBandSign; }; // the band: -1 shorter, +1 longer
    const int N = SPRING_NORMAL, C = SPRING_COLLISION;
    const Sample atSamples[] = {{2.5f, 0, N, -1},  {4.9f, 0, N, -1},  {5.1f, 1, N, 1},   {7.5f, 1, C, -1},
                                {12.5f, 2, C, 1}, {17.5f, 3, N, 0}, {22.5f, 0, N, -1}};
    int iFrame = 0;
    for (const Sample &s : atSamples) {
        for (; (iFrame + 1) * 0.02f < s.fTime; iFrame++)
            band_step(ai_personality_1D_esquizofrenic, SPRING_NORMAL, 0.02f);
        tPaddle.fSpringLength = 150;
        const float fChange = band_step(ai_personality_1D_esquizofrenic, s.iState, 0.02f);
        iFrame++;
        EXPECT_EQ(t1D.iActualPersonality, s.iActual) << s.fTime;
        EXPECT_EQ((fChange > 0) - (fChange < 0), s.iBandSign) << s.fTime;
    }
}

TEST_F(PersonalityTest, ImpulsiveAtOncePredictableAfterItsWait)
{
    tPlayer.tItems.iItem = MAGNET;
    ai_personality_3D_impulsive(&tPlayer, &tBall, DT);
    EXPECT_EQ(tPlayer.tItems.iUsedItem, MAGNET);
    t3D.fNumWaitSeconds = 2;
    for (int iItem : {FAST_BALL, IMAGE}) { // the wait starts again for the second item
        tPlayer.tItems.iItem = iItem;
        for (int i = 0; i < 8; i++) // 2 s held: not yet
            ai_personality_3D_predictable(&tPlayer, &tBall, 0.25f);
        EXPECT_EQ(tPlayer.tItems.iItem, iItem);
        ai_personality_3D_predictable(&tPlayer, &tBall, 0.25f);
        EXPECT_EQ(tPlayer.tItems.iUsedItem, iItem);
        tPlayer.tItems.iItem = NO_ITEM; // as the draining bar's next update leaves it
        for (int i = 0; i < 20; i++) // holding nothing, the wait does not run
            ai_personality_3D_predictable(&tPlayer, &tBall, 0.25f);
        EXPECT_EQ(t3D.fWaitedSeconds, 0);
    }
}

TEST_F(PersonalityTest, AnalyticUsesItemsAtItsThresholds)
{
    t3D.iPositionStretch = 100; t3D.iPositionShrink = 150; t3D.iPositionMagnet = 200;
    t3D.iPositionInvertControl = 250; t3D.iPositionMirror = 300;
    t3D.fVel2Accel = 450; t3D.fVel2Big = 500;
    struct Case { int iPlayer, iItem; float x, vx; bool bUsed; };
    const Case atCases[] = {
        {0, MAGNET, 600.9f, 0, false},      {0, MAGNET, 601, 0, true},         {1, MAGNET, 200, 0, false},
        {1, MAGNET, 199, 0, true},          {0, PROPERTIES, 700, 0, false},    {0, PROPERTIES, 701, 0, true},
        {1, GROW_PADDLE, 100, 0, false},    {1, GROW_PADDLE, 99, 0, true},     {0, SHRINK_PADDLE, 651, 0, true},
        {1, SHRINK_PADDLE, 150, 0, false},  {0, MIRROR, 551, 0, true},         {1, MIRROR, 249, 0, true},
        {0, IMAGE, 500, 0, false},          {1, IMAGE, 299, 0, true},          {0, GROW_BALL, 400, 501, true},
        {0, GROW_BALL, 790, 500, false},    {1, GROW_BALL, 10, -900, false},   {0, FAST_BALL, 400, 451, true},
        {1, FAST_BALL, 10, 450, false},     {0, NO_ITEM, 790, 900, false},
    };
    for (const Case &c : atCases) {
        tPlayer.iPlayer = c.iPlayer;
        tPlayer.tItems.iItem = c.iItem;
        tPlayer.tItems.iUsedItem = NO_ITEM;
        ball(c.x, 300, c.vx, 0);
        ai_personality_3D_analytic(&tPlayer, &tBall, DT);
        EXPECT_EQ(tPlayer.tItems.iUsedItem, c.bUsed ? c.iItem : NO_ITEM)
            << c.iPlayer << " " << c.iItem << " " << c.x << " " << c.vx;
    }
}

TEST_F(AITest, LevelRecordsAndNames)
{
    // Level i's entry: the names of row i, and every number read carries the digit i (K).
    const std::string sEntry =
        R"(<nivel><ai><reactive_ai type="R" vision_sensor_far="3K0" vision_sensor_near="1K0" )"
        R"(vision_percent_far="7K" max_velocity_y="2K0.5" damp_velocity_y="0.7K" delta_velocity_y="3K"/>)"
        R"(<personality1D type="A" consecutive_omissions="3K" consecutive_changes="2K" random_omissions="0" )"
        R"(random_changes="0" time_same_personality="7.K"/><personality2D type="B" consecutive_omissions="0" )"
        R"(consecutive_changes="0" random_omissions="0" random_changes="0" delta_change="0" max_change="0" )"
        R"(probability_left="0.5" probability_right="0.5"/><personality3D type="C" position_mirror="300" )"
        R"(acceleration_to_big="5K0" acceleration_to_accelerate="450" position_invert_control="250" )"
        R"(position_shrink="200" position_stretch="300" wait_seconds="1.K" variance="0" position_magnet="2K7"/></ai></nivel>)";
    struct Case { const char *r, *a, *b, *c; AIFunction fR, fA, fB, fC; };
    const Case atCases[] = {
        {"predict_ai", "puny", "x", "predictable",
         predict_ai, ai_personality_1D_puny, ai_personality_2D_cautious, ai_personality_3D_predictable},
        {"follow_ai", "aggressive", "audatious", "analytic",
         follow_ai, ai_personality_1D_aggressive, ai_personality_2D_audacious, ai_personality_3D_analytic},
        {"very_stupid_ai", "boring", "audacious", "impulsive",
         very_stupid_ai, ai_personality_1D_boring, ai_personality_2D_cautious, ai_personality_3D_impulsive},
        {"stupid_ai", "esquizofrenic", "cautious", "Analytic",
         stupid_ai, ai_personality_1D_esquizofrenic, ai_personality_2D_cautious, ai_personality_3D_impulsive},
        {"random_ai", "Aggressive", "audatious", "bogus",
         random_ai, ai_personality_1D_boring_inactive, ai_personality_2D_audacious, ai_personality_3D_impulsive},
        {"erratic_follow_ai", "boring_inactive", "x", "predict",
         erratic_follow_ai, ai_personality_1D_boring_inactive, ai_personality_2D_cautious, ai_personality_3D_impulsive},
        {"predict", "puny", "x", "analytic",
         random_ai, ai_personality_1D_puny, ai_personality_2D_cautious, ai_personality_3D_analytic},
    };
    std::string sDocument = "<escenas>";
    for (const Case &t : atCases)
        for (char ch : sEntry) // one pass: the names put in are never rewritten
            sDocument += ch == 'K' ? std::to_string(&t - atCases)
                         : ch == 'R' ? t.r : ch == 'A' ? t.a : ch == 'B' ? t.b : ch == 'C' ? t.c
                         : std::string(1, ch);
    // One more entry with sight radii as large as a document can hold: squared without overflowing.
    sDocument += R"(<nivel><ai><reactive_ai type="follow_ai" vision_sensor_far="2147483647" )"
                 R"(vision_sensor_near="100000" vision_percent_far="70" max_velocity_y="200" )"
                 R"(damp_velocity_y="0.7" delta_velocity_y="30"/></ai></nivel></escenas>)";
    const ScratchGame tGame("tvx_ai");
    ASSERT_TRUE(db::pack("data/tx15.dat", {{{"NIVEL", sDocument}}, {}}));
    for (int i = 0; i < static_cast<int>(std::size(atCases)); i++) {
        const Case &t = atCases[i];
        stReactiveAI *ptAI = init_reactive_ai(i);
        EXPECT_STREQ(ptAI->szType, t.r);
        EXPECT_EQ(ptAI->pAIFunction, t.fR) << t.r;
        EXPECT_TRUE(ptAI->fVisionSensorFar_2 == (300 + 10 * i) * (300 + 10 * i) &&
                    ptAI->fVisionSensorNear_2 == (100 + 10 * i) * (100 + 10 * i)) << i;
        EXPECT_TRUE(ptAI->iVisionPercentFar == 70 + i && ptAI->iVisionPercentNear == 100) << i;
        EXPECT_FLOAT_EQ(ptAI->fMaxVY, 200.5f + 10 * i);
        EXPECT_FLOAT_EQ(ptAI->fDampVY, 0.7f + 0.01f * i);
        EXPECT_FLOAT_EQ(ptAI->fDeltaVY, 30 + i);
        destroy_reactive_ai(ptAI);
        stPersonality *ptP = init_personality(i);
        const stPersonality1D &t1 = *ptP->ptPer1D;
        EXPECT_EQ(t1.pAIFunction, t.fA) << t.a;
        EXPECT_TRUE(t1.iConsecutiveOmissions == 30 + i && t1.iConsecutiveChanges == 20 + i) << i;
        EXPECT_FLOAT_EQ(t1.fMaxTimeSamePersonality, 7 + 0.1f * i);
        EXPECT_TRUE(t1.iBehaviourState == 1 && t1.iNumPersonalities == 4 && t1.iSameBehaviourCount == 0);
        EXPECT_EQ(ptP->ptPer2D->pAIFunction, t.fB) << t.b;
        EXPECT_EQ(ptP->ptPer3D->pAIFunction, t.fC) << t.c;
        EXPECT_TRUE(ptP->ptPer3D->fVel2Big == 500 + 10 * i && ptP->ptPer3D->iPositionMagnet == 207 + 10 * i);
        EXPECT_FLOAT_EQ(ptP->ptPer3D->fNumWaitSeconds, 1 + 0.1f * i);
        destroy_personality(ptP);
    }
    stReactiveAI *ptAI = init_reactive_ai(static_cast<int>(std::size(atCases)));
    EXPECT_FLOAT_EQ(ptAI->fVisionSensorFar_2, 2147483647.0f * 2147483647.0f);
    EXPECT_FLOAT_EQ(ptAI->fVisionSensorNear_2, 1e10f);
    destroy_reactive_ai(ptAI);
}

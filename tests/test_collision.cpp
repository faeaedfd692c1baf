// Collision and bounce: the circle and segment tests, the segment bounce with
// worked numbers, the stage test's push-back, properties over random throws
// (speed kept, never left inside or beyond), the paddle's spring line and end
// spheres, a fast rally in a closed stage, and a ball skimming a wall it
// overlaps, which must move on and leave it.
#include "collision.h"
#include "headless.h"
#include "item.h"
#include "paddle.h"
#include "particle.h"
#include "pong.h"
#include "sound.h"
#include "tables.h"

namespace {
constexpr float TURN = 6.2831853f; // rad

// A ball of radius r that stepped from (qx, qy) to (bx, by) with velocity (vx, vy).
stBall make_ball(float qx, float qy, float bx, float by, float vx, float vy, float r = 10.0f)
{
    stBall t = {};
    t.tCircle = {r, {bx, by}};
    t.tPath = {{qx, qy}, {bx, by}};
    t.fPrevX = qx;
    t.fPrevY = qy;
    t.fX = bx;
    t.fY = by;
    t.fVelX = vx;
    t.fVelY = vy;
    return t;
}

// A ball thrown from (qx, qy) at (vx, vy) for one frame of fDT seconds.
stBall thrown_ball(float qx, float qy, float vx, float vy, float fDT, float r)
{
    return make_ball(qx, qy, qx + vx * fDT, qy + vy * fDT, vx, vy, r);
}

// The next frame of flight, moved as the ball's own update moves it.
void fly(stBall *ptBall, float fDT)
{
    *ptBall = thrown_ball(ptBall->fX, ptBall->fY, ptBall->fVelX, ptBall->fVelY, fDT, ptBall->tCircle.fRadius);
}

float speed(const stBall &t) { return std::hypot(t.fVelX, t.fVelY); }

stSegment seg(float x0, float y0, float x1, float y1) { return {{x0, y0}, {x1, y1}}; }

// The ball's position and velocity, each within its tolerance (0: exactly).
void expect_motion(const stBall &t, float x, float y, float vx, float vy, float fPos, float fVel,
                   const std::string &sWhat = "")
{
    EXPECT_NEAR(t.fX, x, fPos) << sWhat;
    EXPECT_NEAR(t.fY, y, fPos) << sWhat;
    EXPECT_NEAR(t.fVelX, vx, fVel) << sWhat;
    EXPECT_NEAR(t.fVelY, vy, fVel) << sWhat;
}

// Uniform floats in [0, 1) from a fixed seed.
struct Unit {
    explicit Unit(unsigned iSeed) : tGen(iSeed) {}
    float operator()() { return tDist(tGen); }
    std::mt19937 tGen;
    std::uniform_real_distribution<float> tDist{0.0f, 1.0f};
};

class CollisionTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        init_tables();
        kill_particles();
        g_iLevel = 0;
        ptBounds = std::make_unique<stLevelBounds>();
    }
    void TearDown() override
    {
        kill_particles();
        g_iLevel = 0;
        HeadlessAllegro::TearDown();
    }
    void add_circle(float x, float y, float fRadius) { ptBounds->vtCircle[ptBounds->iNumCircles++] = {fRadius, {x, y}}; }
    void add_segment(const stSegment &s) { ptBounds->vtSegment[ptBounds->iNumSegments++] = s; }
    int hit(stBall *ptBall) { return detect_stage_collision(ptBounds.get(), ptBall, TRUE); }

    CleanMatch tMatch;
    SilentSound tSilence; // the hit sound
    std::unique_ptr<stLevelBounds> ptBounds;
};
} // namespace

TEST(Collision, CircleAndSegmentTests)
{
    const stSegment s = seg(0, 0, 10, 0);
    const stCircle touching{3, {5, 3}}, crossing{3, {5, 2}};
    float d = 0;
    stPoint n{};
    EXPECT_EQ(segment_circle_colision(&s, &touching, &d, &n), 0); // strictly below the radius
    EXPECT_FLOAT_EQ(d, 3.0f);
    EXPECT_EQ(segment_circle_colision(&s, &crossing, &d, &n), 1);
    EXPECT_TRUE(n.fX == 5 && n.fY == 0);

    const stCircle a{2, {0, 0}}, b{3, {5, 0}}, c{3, {5.01f, 0}};
    EXPECT_TRUE(circle_circle_colision(&a, &b) == 1 && circle_circle_colision(&a, &c) == 0); // touching counts

    // The swept test of the ball uses the circle's radius only.
    const stCircle obstacle{5, {50, 0}};
    const stBall tThrough = make_ball(0, 4, 100, 4, 6000, 0); // path 4 px from the centre
    const stBall tBeside = make_ball(0, 8, 100, 8, 6000, 0);  // 8 px: within R + r, not R
    const stBall tTouching = make_ball(0, 0, 36, 0, 2160, 0); // 14 px apart, r + R = 15
    EXPECT_TRUE(ball_circle_colision(&tThrough, &obstacle) == 1 && ball_circle_colision(&tBeside, &obstacle) == 0 &&
                ball_circle_colision(&tTouching, &obstacle) == 1);
}

TEST(Collision, SegmentBouncePullsBackAlongTheIncomingDirection)
{
    struct Case { stSegment s; float bx, by, vx, vy, d, fExpX, fExpY, fExpVX, fExpVY; const char *pszWhat; };
    const stSegment floor = seg(-100, 0, 100, 0);
    const Case aCases[] = {
        {floor, 0, -5, 0, 100, 5, 0, -10.1f, 0, -100, "straight down, 5 px deep"},
        {floor, 0, 15, 0, 100, -15, 0, -10.1f, 0, -100, "crossed, 15 px beyond"},
        {floor, 0, -5, 100, 100, 5, -5.1f, -10.1f, 100, -100, "at 45 degrees"},
        {floor, 0, 5, 0, -100, 5, 0, 10.1f, 0, 100, "from below"},
        {floor, 0, -5, 100, 0, 5, 0, -5, 100, 0, "along it: stays"},
        // Along it the other way, where the cross product is a negative zero:
        // the angle is -pi, and the position must stay rather than fly off.
        {seg(100, 0, -100, 0), 0, -5, -100, 0, 5, 0, -5, -100, 0, "along it, negative zero"},
    };
    for (const Case &c : aCases) {
        stBall t = make_ball(c.bx - c.vx / 60, c.by - c.vy / 60, c.bx, c.by, c.vx, c.vy);
        segment_bounce(&c.s, &t, c.d);
        expect_motion(t, c.fExpX, c.fExpY, c.fExpVX, c.fExpVY, 1e-3f, 1e-3f, c.pszWhat);
    }
}

// No record, and a zero-length segment (it has no line to measure a side
// from): the ball stays as it was.
TEST_F(CollisionTest, NoRecordOrAZeroLengthSegmentLeavesTheBallAlone)
{
    add_segment(seg(5, 5, 5, 5));
    for (const stLevelBounds *ptRecord : {static_cast<stLevelBounds *>(nullptr), ptBounds.get()}) {
        stBall t = make_ball(0, 0, 5, 6, 300, 360);
        EXPECT_EQ(detect_stage_collision(ptRecord, &t, TRUE), FALSE);
        expect_motion(t, 5, 6, 300, 360, 0, 0);
    }
}

TEST_F(CollisionTest, BounceThatLeavesTheBallFartherThanBeforeGoesBackToQ)
{
    // A frame ago 10.05 px from the segment (not touching), now 9 px: the bounce
    // clears it by 10.1, farther than before, so the ball returns to Q.
    add_segment(seg(-100, 0, 100, 0));
    stBall t = make_ball(0, -10.05f, 1, -9, 60, 63);
    EXPECT_EQ(hit(&t), TRUE);
    EXPECT_TRUE(t.fX == 0 && t.fY == -10.05f && t.fVelY < 0) << "back at Q, still bounced";
}

// A ball fired at one segment from a point clear of it, anywhere along it and
// its ends, at up to 5000 px/s over a frame of up to 1/20 s: it never gets
// through; when it hits, it keeps its speed and ends at least r from the
// segment on the side it came from.
TEST_F(CollisionTest, PropertySegmentHitKeepsSpeedAndNeverLetsTheBallThrough)
{
    Unit unit(6003);
    int iCrossings = 0, iHits = 0;
    for (int i = 0; i < 30000; i++) {
        ptBounds->iNumSegments = 0;
        const float r = 5 + 15 * unit();
        const float fDir = TURN * unit(), fHalf = 20 + 200 * unit(); // through (400, 300)
        const float dx = std::cos(fDir) * fHalf, dy = std::sin(fDir) * fHalf;
        const stSegment s = seg(400 - dx, 300 - dy, 400 + dx, 300 + dy);
        add_segment(s);
        const float fAlong = (fHalf + r) * (2 * unit() - 1);
        const float tx = 400 + std::cos(fDir) * fAlong, ty = 300 + std::sin(fDir) * fAlong;
        const float fAim = TURN * unit();
        const float fFrom = r + 0.5f + 150 * unit();
        const stPoint tQ{tx - std::cos(fAim) * fFrom, ty - std::sin(fAim) * fFrom};
        if (point_segment_distance(&s, &tQ, nullptr) <= r)
            continue; // start clear of it
        const float fSpeed = 50 + 4950 * unit(), fDT = 0.05f * unit();
        stBall t = thrown_ball(tQ.fX, tQ.fY, std::cos(fAim) * fSpeed, std::sin(fAim) * fSpeed, fDT, r);
        iCrossings += segment_segment_intersection(&s, &t.tPath);
        const bool bHit = hit(&t);
        const stPoint tB{t.fX, t.fY};
        const stSegment tMoved = seg(tQ.fX, tQ.fY, t.fX, t.fY);
        ASSERT_FALSE(segment_segment_intersection(&s, &tMoved))
            << i << ": from " << tQ.fX << "," << tQ.fY << " to " << t.fX << "," << t.fY;
        ASSERT_TRUE(std::isfinite(t.fX) && std::isfinite(t.fY));
        if (!bHit)
            continue;
        iHits++;
        ASSERT_NEAR(speed(t), fSpeed, fSpeed * 1e-5f) << i;
        if (std::fabs(fAlong) > fHalf - 3 * r)
            continue; // near an end the corner may leave it closer
        ASSERT_GE(point_segment_distance(&s, &tB, nullptr), r - 1e-3f) << i;
        ASSERT_GE(point_line_distance(&s, &tB) * point_line_distance(&s, &tQ), 0.0f) << i;
    }
    EXPECT_GT(iCrossings, 3000);
    EXPECT_GT(iHits, 5000);
}

// A rally at 900 to 2000 px/s in frames of up to 1/60 s inside a closed stage
// whose walls meet in concave corners (a box with its corners cut and a notch
// in each long wall): the ball never leaves it and keeps its speed.
TEST_F(CollisionTest, PropertyFastRallyStaysInsideAStageWithConcaveCorners)
{
    // The outline, clockwise on screen; every corner but the notches' tips is concave.
    const stPoint atOutline[] = {
        {90, 50},   {380, 50},  {400, 90},  {420, 50},  {710, 50},  {750, 90}, {750, 510},
        {710, 550}, {420, 550}, {400, 510}, {380, 550}, {90, 550},  {50, 510}, {50, 90},
    };
    const int iPoints = static_cast<int>(std::size(atOutline));
    for (int i = 0; i < iPoints; i++)
        add_segment({atOutline[i], atOutline[(i + 1) % iPoints]});
    // Inside by the crossing rule: a ray to the right crosses the outline an odd number of times.
    auto inside = [&](float x, float y) {
        bool bInside = false;
        for (int i = 0, j = iPoints - 1; i < iPoints; j = i++) {
            const stPoint &a = atOutline[i], &b = atOutline[j];
            if ((a.fY > y) != (b.fY > y) && x < a.fX + (y - a.fY) * (b.fX - a.fX) / (b.fY - a.fY))
                bInside = !bInside;
        }
        return bInside;
    };
    Unit unit(7007);
    constexpr int RALLIES = 100, FRAMES = 20000;
    int iHits = 0;
    for (int iRally = 0; iRally < RALLIES; iRally++) {
        const float fAngle = TURN * unit(), fSpeed = 900 + 1100 * unit();
        stBall t = make_ball(400, 300, 400, 300, fSpeed * std::cos(fAngle), fSpeed * std::sin(fAngle), 12);
        for (int iFrame = 0; iFrame < FRAMES; iFrame++) {
            fly(&t, 1.0f / 300 + (1.0f / 60 - 1.0f / 300) * unit());
            iHits += hit(&t) ? 1 : 0;
            ASSERT_TRUE(inside(t.fX, t.fY))
                << "rally " << iRally << ", frame " << iFrame << ": " << t.fX << "," << t.fY;
            ASSERT_NEAR(speed(t), fSpeed, fSpeed * 1e-3f) << iRally << " " << iFrame;
        }
    }
    EXPECT_GT(iHits, RALLIES * FRAMES / 40);
}

// A ball left overlapping a wall and moving almost along it, toward the wall or
// away from it (as a bounce in a concave corner can leave it), run against that
// wall alone for two seconds of 1/60 s frames: it moves on every frame, keeps
// its speed and ends clear of the wall on the side it started.
TEST_F(CollisionTest, BallSkimmingAWallItOverlapsMovesOnAndLeavesIt)
{
    struct Case { stSegment s; float r, qx, qy, vx, vy; std::string sWhat; };
    // Where stage flights stopped dead: a bounce in a concave corner left the
    // ball in the neighbouring wall, and it bounced in place between two velocities.
    const Case aCases[] = {
        {seg(150, 30, 270, 36), 12, 264.5177f, 46.78677f, -768.9896f, -6.7628f, "ojeis 3, away"},
        {seg(150, 30, 270, 36), 12, 264.5177f, 46.78677f, -765.8288f, -69.9781f, "ojeis 3, toward"},
        {seg(400, 522, 423, 559), 12, 427.2084f, 547.6556f, -386.7529f, -607.1927f, "carnal 3"},
        {seg(500, 563, 650, 570), 20, 511.5866f, 546.5777f, 798.3226f, 54.0333f, "camaney 3, big ball"},
        {seg(368, 560, 432, 560), 12, 423.8553f, 551.0220f, -865.8486f, -12.4390f, "uayumin 3"},
    };
    constexpr int FRAMES = 120;
    constexpr float DT = 1.0f / 60; // s
    for (const Case &c : aCases) {
        ptBounds->iNumSegments = 0;
        add_segment(c.s);
        stBall t = make_ball(c.qx, c.qy, c.qx, c.qy, c.vx, c.vy, c.r);
        const stPoint tStart{c.qx, c.qy};
        ASSERT_LT(point_segment_distance(&c.s, &tStart, nullptr), c.r) << c.sWhat;
        const float fStartSide = point_line_distance(&c.s, &tStart), fSpeed = speed(t);
        int iStill = 0; // frames that ended where they began
        for (int iFrame = 0; iFrame < FRAMES; iFrame++) {
            fly(&t, DT);
            hit(&t);
            iStill += t.fX == t.fPrevX && t.fY == t.fPrevY ? 1 : 0;
            ASSERT_NEAR(speed(t), fSpeed, fSpeed * 1e-4f) << c.sWhat << ", frame " << iFrame;
        }
        EXPECT_EQ(iStill, 0) << c.sWhat;
        const stPoint tEnd{t.fX, t.fY};
        EXPECT_GE(point_segment_distance(&c.s, &tEnd, nullptr), c.r) << c.sWhat;
        EXPECT_GT(point_line_distance(&c.s, &tEnd) * fStartSide, 0.0f) << c.sWhat;
    }
}

namespace {
// A paddle at x with a band of 100 px at y 300, spheres of radius 10, a band
// stiff enough that a hit at a few hundred px/s bends it.
stPaddle make_paddle(float x, int iState = SPRING_NORMAL)
{
    stPaddle p = {};
    p.fX = x, p.fY = 300, p.fRadius = 10, p.fSpringK = 100, p.iSpringState = iState;
    p.fSpringLength = p.fOriginalSpringLength = 100, p.fMaxSpringLength = 200;
    p.fSpringMaxAcceleration = p.fSpringForceResistance = 1e6f;
    return p;
}
} // namespace

// A ball coming toward its paddle's half is caught on the spring line, r from
// it, and then left alone by that paddle and by the other one; a ball going
// away, at a tearing or torn band, or clear of the line passes untouched.
TEST_F(CollisionTest, SpringLineCatchesOnlyABallComingTowardItsHalf)
{
    struct Case { float fPaddleX, qx, bx, vx; int iState; bool bCaught; const char *pszWhat; };
    const Case aCases[] = {
        {50, 70, 58, -720, SPRING_NORMAL, true, "left paddle, touching"},
        {50, 90, 20, -4200, SPRING_NORMAL, true, "left paddle, the step jumps across the line"},
        {750, 730, 742, 720, SPRING_NORMAL, true, "right paddle, touching"},
        {750, 700, 790, 5400, SPRING_NORMAL, true, "right paddle, the step jumps across the line"},
        {50, 40, 50, 600, SPRING_NORMAL, false, "moving away from the paddle's half"},
        {50, 60, 50, -600, SPRING_BREAKING, false, "tearing"},
        {50, 60, 50, -600, SPRING_BROKEN, false, "torn"},
        {50, 120, 110, -600, SPRING_NORMAL, false, "clear of the line"},
    };
    for (const Case &c : aCases) {
        stPaddle p = make_paddle(c.fPaddleX, c.iState);
        stBall t = make_ball(c.qx, 290, c.bx, 290, c.vx, 0);
        t.fMass = 1;
        detect_paddle_collision(&p, &t);
        if (!c.bCaught) {
            EXPECT_TRUE(t.bCollSpring == 0 && t.fVelX == c.vx && t.fX == c.bx && p.iSpringState == c.iState &&
                        p.fDeltaHitVel == 0)
                << c.pszWhat;
            continue;
        }
        EXPECT_TRUE(t.bCollSpring == -1 && t.fVelX == 0 && p.ptBall == &t && p.iSpringState == SPRING_COLLISION)
            << c.pszWhat;
        EXPECT_FLOAT_EQ(t.fCollVelX, c.vx) << c.pszWhat;
        EXPECT_NEAR(std::fabs(t.fX - c.fPaddleX), 10.0f, 1e-3f) << c.pszWhat; // r from the line
        const stBall tHeld = t;
        stPaddle tOther = make_paddle(800 - c.fPaddleX);
        detect_paddle_collision(&p, &t);
        detect_paddle_collision(&tOther, &t);
        EXPECT_TRUE(t.fX == tHeld.fX && t.fY == tHeld.fY && tOther.ptBall == nullptr) << c.pszWhat;
    }
}

TEST_F(CollisionTest, EndSpheresBounceStraightAwayAndPassOnThePaddlesSpeed)
{
    struct Case { float qx, qy, bx, by, vx, vy, fSphereY; int iState; const char *pszWhat; };
    const Case aCases[] = {
        {80, 230, 62, 246, -900, 800, 250, SPRING_NORMAL, "upper sphere"},
        {80, 370, 62, 354, -900, -800, 350, SPRING_NORMAL, "lower sphere"},
        {20, 230, 38, 246, 900, 800, 250, SPRING_NORMAL, "upper sphere, going away"},
        {80, 230, 62, 246, -900, 800, 250, SPRING_BROKEN, "upper sphere of a torn band"},
    };
    for (const Case &c : aCases) {
        stPaddle p = make_paddle(50, c.iState);
        p.fVY = -150;
        stBall t = make_ball(c.qx, c.qy, c.bx, c.by, c.vx, c.vy);
        const float fSpeed = speed(t);
        detect_paddle_collision(&p, &t);
        EXPECT_EQ(t.bCollSpring, 0) << c.pszWhat;
        // Along the ray from the sphere's centre through Q, 20.1 px out.
        const float ux = c.qx - 50, uy = c.qy - c.fSphereY, ul = std::hypot(ux, uy);
        expect_motion(t, 50 + ux / ul * 20.1f, c.fSphereY + uy / ul * 20.1f, ux / ul * fSpeed,
                      uy / ul * fSpeed - 150, 1e-3f, 1e-2f, c.pszWhat);
        EXPECT_NEAR(p.fDeltaHitVel, speed(t) - fSpeed, 1e-2f) << c.pszWhat;
    }
}

// Players: the speed clamp, the field bounds, the hit credit rules and the
// controller level rule.
#include "headless.h"
#include "player.h"
#include "pong.h"

namespace {
class PlayerTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        reset_player_damping();
        for (int i = 0; i < 2; i++) {
            atPaddle[i] = {};
            atPaddle[i].fX = i == 0 ? PLAYER_ONE_X : PLAYER_TWO_X;
            atPaddle[i].fY = 300;
            atPaddle[i].fMaxVY = 500;
            atPaddle[i].fDampVY = 0.5f;
            atPaddle[i].fSpringLength = atPaddle[i].fOriginalSpringLength = 100;
            atPaddle[i].fMaxSpringLength = 200;
            atPaddle[i].iSpringState = SPRING_NORMAL;
            atPlayer[i] = {};
            atPlayer[i].iPlayer = i;
            atPlayer[i].ptPaddle = &atPaddle[i];
            atPlayer[i].tItems.iUsedItem = NO_ITEM;
        }
    }
    void TearDown() override
    {
        reset_player_damping();
        HeadlessAllegro::TearDown();
    }
    CleanMatch tMatch;
    stPaddle atPaddle[2];
    stPlayer atPlayer[2];
};
} // namespace

// The speed is clamped to +-fMaxVY before the move, and the move stops at the
// field's edges.
TEST_F(PlayerTest, SpeedIsClampedAndThePaddleNeverLeavesTheField)
{
    struct Case { float fY, fVY, fExpected; };
    const Case atCases[] = {{300, 1000, 305}, {300, -1000, 295}, {599, 300, 599}, {1, -300, 1}, {598, 50, 598.5f},
                            {5, -100, 4}};
    for (const Case &c : atCases) {
        atPaddle[0].fY = c.fY;
        atPaddle[0].fVY = c.fVY;
        update_player(&atPlayer[0], 0.01f);
        EXPECT_FLOAT_EQ(atPaddle[0].fY, c.fExpected) << c.fY << " " << c.fVY;
    }
}

TEST_F(PlayerTest, HitCreditRules)
{
    struct Case { float fCredit; int bShadows, iUsedItem; float fBarChange; };
    const Case atCases[] = {{-10, TRUE, NO_ITEM, -5}, {-10, TRUE, 2, 0},        {10, TRUE, NO_ITEM, 15},
                            {10, TRUE, 2, 15},        {-10, FALSE, NO_ITEM, -10}, {10, FALSE, 0, 10}};
    for (const Case &c : atCases) {
        EXPECT_FLOAT_EQ(credit_hit(100, c.fCredit, c.bShadows, c.iUsedItem), 100 + c.fBarChange)
            << c.fCredit << " " << c.bShadows << " " << c.iUsedItem;
        g_tBall.bShadows = c.bShadows;
        atPlayer[0].tItems.fProspectedBar = 100;
        atPlayer[0].tItems.fPowerBar = 500; // a running effect that has not drained the bar yet
        atPlayer[0].tItems.fFullBar = 1000;
        atPlayer[0].tItems.iUsedItem = c.iUsedItem;
        atPaddle[0].fDeltaHitVel = c.fCredit;
        update_player(&atPlayer[0], 0.01f);
        EXPECT_FLOAT_EQ(atPlayer[0].tItems.fProspectedBar, 100 + c.fBarChange);
        EXPECT_EQ(atPaddle[0].fDeltaHitVel, 0.0f) << "the credit is spent once";
    }
}

TEST_F(PlayerTest, ControllerLevelRule)
{
    struct Case { int iLevel, iSceneOrder, iDifficulty, iExpected; };
    const Case atCases[] = {{-2, 2, 0, 8}, {-7, 0, 1, 2}, {-1, 7, 0, 21}, {12, 5, 2, 12}, {0, 3, 1, 0}};
    for (const Case &c : atCases)
        EXPECT_EQ(controller_level(c.iLevel, c.iSceneOrder, c.iDifficulty), c.iExpected)
            << c.iLevel << " " << c.iSceneOrder;
}

// Items: every effect undone exactly, the bar following its prospect and
// dealing or losing its item, and the magnet's cap.
#include "headless.h"
#include "item.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"

namespace {
constexpr float FULL = 1000.0f; // levels of a full bar
constexpr float DT = 0.01f;     // s

class ItemTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        random_init_seed(3);
        for (int i = 0; i < 2; i++) {
            atPaddle[i] = {};
            atPaddle[i].fX = i == 0 ? PLAYER_ONE_X : PLAYER_TWO_X; atPaddle[i].fY = 300;
            atPaddle[i].fDeltaVY = 66; atPaddle[i].fDampVY = 0.89f; atPaddle[i].fMaxVY = 520;
            atPaddle[i].fSpringForceResistance = 9900; atPaddle[i].fSpringLength = 113.37f;
            atPaddle[i].fMaxSpringLength = 170; atPaddle[i].fOriginalSpringLength = 90;
            atPaddle[i].fSpringMinVel = 380; atPaddle[i].fSpringMaxAcceleration = 7800;
            atPaddle[i].fSpringGrowth = 3;
            atKeys[i] = {1, KEY_UP, KEY_DOWN, KEY_LEFT, KEY_RIGHT, KEY_ENTER, KEY_ESC, KEY_BACKSPACE, KEY_SPACE};
            g_tPlayer[i].iPlayer = i, g_tPlayer[i].ptPaddle = &atPaddle[i], g_tPlayer[i].ptInputKeys = &atKeys[i];
            g_tPlayer[i].iSufferingItem = NO_ITEM;
        }
        rleNormal = square_sprite(24);
        rleBig = square_sprite(40);
        g_tBall.rleNormalSprite = g_tBall.rleSprite = rleNormal; g_tBall.rleBigSprite = rleBig; g_tBall.tCircle.fRadius = 12;
        g_tBall.fMass = 1.24f; g_tBall.fX = 400; g_tBall.fY = 300; g_tBall.fVelX = 333.3f; g_tBall.fVelY = -71.7f;
        tItems = {};
        tItems.iItem = tItems.iUsedItem = NO_ITEM; tItems.fFullBar = FULL; tItems.fVelBar = 1500; tItems.iNumItems = NUM_ITEMS;
        for (int i = 0; i < NUM_ITEMS; i++)
            tItems.aiProbability[i] = 10, tItems.afDecSpeed[i] = 200;
        tItems.tProperties = {250000, 1.5f, 1.75f, 16, 0.03125f, 96, 1.5f, 1.125f, 1.5f, 1.25f, 1.25f, 1.5f, 0.625f};
        tItems.bmpInsideNormal = tItems.bmpInside = create_bar(20, 4, makecol(0, 255, 0));
        tItems.bmpInsideUsed = create_bar(20, 4, makecol(255, 255, 0));
    }
    void TearDown() override
    {
        destroy_bitmap(tItems.bmpInsideNormal);
        destroy_bitmap(tItems.bmpInsideUsed);
        destroy_rle_sprite(rleNormal);
        destroy_rle_sprite(rleBig);
        HeadlessAllegro::TearDown();
    }
    static RLE_SPRITE *square_sprite(int iSize)
    {
        BITMAP *bmp = create_bar(iSize, iSize, makecol(200, 90, 20));
        RLE_SPRITE *rle = get_rle_sprite(bmp); // a copy of the pixels
        destroy_bitmap(bmp);
        return rle;
    }
    // Everything an effect may touch: the numbers, and the rest as integers.
    struct Snapshot { std::vector<float> vNumbers; std::vector<long long> vOthers; };
    Snapshot snapshot() const
    {
        Snapshot t;
        for (const stPaddle &p : atPaddle)
            t.vNumbers.insert(t.vNumbers.end(),
                              {p.fDeltaVY, p.fDampVY, p.fMaxVY, p.fSpringForceResistance, p.fSpringLength,
                               p.fMaxSpringLength, p.fOriginalSpringLength, p.fSpringMinVel,
                               p.fSpringMaxAcceleration, p.fSpringGrowth});
        t.vNumbers.insert(t.vNumbers.end(), {g_tBall.fMass, g_tBall.fVelX, g_tBall.fVelY, g_tBall.tCircle.fRadius});
        for (const stInputKeys &k : atKeys)
            t.vOthers.insert(t.vOthers.end(), {k.iUp, k.iDown, k.iShrink, k.iGrow});
        t.vOthers.insert(t.vOthers.end(), {reinterpret_cast<long long>(g_tBall.rleSprite), tBigBallHit.bActive,
                                           tItems.bMagnetPull, tItems.bInvertScreen});
        return t;
    }
    // Equal within float rounding: a factor's division may land one unit off.
    static bool same(const Snapshot &a, const Snapshot &b)
    {
        for (size_t i = 0; i < a.vNumbers.size(); i++)
            if (std::fabs(a.vNumbers[i] - b.vNumbers[i]) > 1e-6f * std::fabs(b.vNumbers[i]))
                return false;
        return a.vOthers == b.vOthers;
    }
    CleanMatch tMatch;
    SilentSound tSilence; // the bar and power-up sounds
    stPaddle atPaddle[2];
    stInputKeys atKeys[2];
    RLE_SPRITE *rleNormal = nullptr;
    RLE_SPRITE *rleBig = nullptr;
    stItem tItems;
};
} // namespace

// Each effect with the properties of the fixture, then undone exactly: the
// opponent suffers it, the bar shows it in use and is emptied at the end.
TEST_F(ItemTest, EveryEffectActsAndIsUndoneExactly)
{
    const stPaddle &p = atPaddle[0], &q = atPaddle[1];
    const std::pair<int, std::function<bool()>> aEffects[] = {
        {PROPERTIES, [&] { return p.fDampVY == 0.89f - 0.03125f && p.fDeltaVY == 66 + 16 && p.fMaxVY == 520 + 96 &&
                                  p.fSpringGrowth == 3 + 1.5f && p.fSpringMinVel == 380 * 1.25f; }},
        {GROW_BALL, [&] { return g_tBall.rleSprite == rleBig && g_tBall.tCircle.fRadius == 20 && tBigBallHit.bActive; }},
        {GROW_PADDLE, [&] { return std::fabs(p.fSpringLength - 113.37f * 1.5f) < 1e-3f && p.fMaxSpringLength == 255; }},
        {SHRINK_PADDLE, [&] { return q.fOriginalSpringLength == 90 * 0.625f && p.fOriginalSpringLength == 90; }},
        {MIRROR, [&] { return atKeys[1].iUp == KEY_DOWN && atKeys[1].iDown == KEY_UP && atKeys[1].iShrink == KEY_RIGHT &&
                              atKeys[1].iGrow == KEY_LEFT && atKeys[0].iUp == KEY_UP; }},
        {MAGNET, [&] { return tItems.bMagnetPull == TRUE; }},
        {FAST_BALL, [&] { return g_tBall.fVelX == 333.3f * 1.5f && g_tBall.fVelY == -71.7f * 1.5f; }},
        {IMAGE, [&] { return tItems.bInvertScreen == TRUE; }},
    };
    ASSERT_EQ(std::size(aEffects), static_cast<size_t>(NUM_ITEMS));
    for (const auto &[iItem, effect] : aEffects) {
        const Snapshot tBefore = snapshot();
        tItems.iItem = iItem;
        tItems.fPowerBar = tItems.fProspectedBar = FULL;
        use_item(0, &tItems);
        EXPECT_TRUE(effect()) << "item " << iItem;
        EXPECT_TRUE(tItems.iUsedItem == iItem && tItems.bmpInside == tItems.bmpInsideUsed);
        EXPECT_EQ(g_tPlayer[1].iSufferingItem, iItem);
        undo_item(0, &tItems);
        EXPECT_TRUE(same(snapshot(), tBefore)) << "item " << iItem << " is not restored";
        EXPECT_TRUE(tItems.iUsedItem == NO_ITEM && tItems.fPowerBar == 0 && tItems.fProspectedBar == 0);
        EXPECT_EQ(tItems.bmpInside, tItems.bmpInsideNormal);
        EXPECT_EQ(g_tPlayer[1].iSufferingItem, NO_ITEM);
    }
    // With nothing held only the opponent's suffered item is cleared.
    tItems.iItem = NO_ITEM;
    g_tPlayer[1].iSufferingItem = MAGNET;
    const Snapshot tBefore = snapshot();
    use_item(0, &tItems);
    EXPECT_TRUE(same(snapshot(), tBefore));
    EXPECT_EQ(g_tPlayer[1].iSufferingItem, NO_ITEM);
}

TEST_F(ItemTest, BarFollowsItsProspectDealsAtFullAndLosesBelow)
{
    struct Case { float fBar, fProspect, fUsedSpeed, fExpectedBar, fExpectedProspect; int iUsedItem; };
    // Filling at 1500 per s, never beyond the prospect, emptying as fast, the
    // prospect kept within the bar and above empty, a running effect draining both.
    const Case atCases[] = {{0, 100, 0, 15, 100, NO_ITEM},       {90, 100, 0, 100, 100, NO_ITEM},
                            {500, 100, 0, 485, 100, NO_ITEM},    {995, 2000, 0, 1000, 1000, NO_ITEM},
                            {10, -50, 0, 0, 0, NO_ITEM},         {600, 600, 300, 597, 597, MAGNET}};
    for (const Case &c : atCases) {
        tItems.fPowerBar = c.fBar;
        tItems.fProspectedBar = c.fProspect;
        tItems.iUsedItem = c.iUsedItem;
        tItems.afDecSpeed[MAGNET] = c.fUsedSpeed;
        update_items(0, &tItems, DT);
        EXPECT_TRUE(std::fabs(tItems.fPowerBar - c.fExpectedBar) < 1e-3f &&
                    std::fabs(tItems.fProspectedBar - c.fExpectedProspect) < 1e-3f)
            << c.fBar << " -> " << c.fProspect << ": " << tItems.fPowerBar << ", " << tItems.fProspectedBar;
        EXPECT_EQ(tItems.iItem != NO_ITEM, c.fExpectedBar >= FULL);
    }
    // A full bar keeps its item until the bar drops, used or not.
    tItems.iUsedItem = NO_ITEM;
    tItems.fPowerBar = tItems.fProspectedBar = FULL;
    for (int i = 0; i < 5 && tItems.iItem == NO_ITEM; i++) // a draw may deal nothing
        update_items(0, &tItems, DT);
    const int iDealt = tItems.iItem;
    ASSERT_NE(iDealt, NO_ITEM);
    update_items(0, &tItems, DT);
    EXPECT_EQ(tItems.iItem, iDealt);
    tItems.fProspectedBar = FULL - 100;
    update_items(0, &tItems, DT);
    EXPECT_EQ(tItems.iItem, NO_ITEM);
}

TEST_F(ItemTest, MagnetPullsTowardThePaddleWithinTheTopSpeed)
{
    tItems.bMagnetPull = TRUE;
    struct Case { float fX, fY; };
    for (const Case &c : {Case{PLAYER_ONE_X, 300}, Case{PLAYER_ONE_X + 0.5f, 300}, Case{60, 305},
                          Case{400, 300}, Case{700, 550}}) {
        g_tBall.fX = c.fX, g_tBall.fY = c.fY, g_tBall.fVelX = -1990, g_tBall.fVelY = 0;
        update_items(0, &tItems, DT);
        const float fSpeed = std::hypot(g_tBall.fVelX, g_tBall.fVelY);
        EXPECT_TRUE(std::isfinite(fSpeed) && fSpeed <= BALL_MAX_SPEED + 0.01f) << c.fX << "," << c.fY;
        EXPECT_TRUE(c.fY <= 300 || g_tBall.fVelY < 0) << "pulled up toward the paddle";
    }
}

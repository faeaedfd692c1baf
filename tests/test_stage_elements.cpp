// Stage special elements: the functions chosen by level index, the snowmen's
// first appearances, their three strengths, their grid, and a record that lists
// too many pictures.
#include "datafile_builder.h"
#include "headless.h"
#include "main.h"
#include "particle.h"
#include "player.h"
#include "pong.h"
#include "random.h"
#include "sound.h"
#include "stage_elements.h"

namespace db = datafile_builder;

namespace {
constexpr float STEP = 1.0f / 64; // s: a frame whose sums stay exact
constexpr int SNOW_LEVEL = 14;    // the snow stage's third level

// The stages' record, the snow stage's listing five pictures.
const char *const SPECIAL_DOCUMENT = R"(<especiales ruta="data/tx14.dat">
  <elemento frente="0" n_imagenes="0"/><elemento frente="0" n_imagenes="0"/>
  <elemento frente="0" n_imagenes="2"><imagen nombre="RAYO"/><imagen nombre="CIELO"/></elemento>
  <elemento frente="0" n_imagenes="0"/>
  <elemento frente="0" n_imagenes="5"><imagen nombre="M1"/><imagen nombre="M2"/><imagen nombre="M3"/>
    <imagen nombre="M4"/><imagen nombre="M5"/></elemento>
  <elemento frente="0" n_imagenes="0"/><elemento frente="0" n_imagenes="0"/><elemento frente="0" n_imagenes="0"/>
</especiales>)";

class SpecialTest : public HeadlessAllegro {
protected:
    // The pictures and the record, packed once for all the tests.
    static void pack_data()
    {
        sDir = db::make_temp_dir("tvx_special");
        std::filesystem::create_directory(sDir + "/data");
        std::vector<BITMAP *> vKeep;
        auto picture = [&vKeep](int w, int h, int iColor) {
            BITMAP *bmp = create_bitmap_ex(32, w, h);
            clear_to_color(bmp, iColor);
            vKeep.push_back(bmp);
            return bmp;
        };
        const int iPink = makecol32(255, 0, 255);
        db::Contents tPictures;
        tPictures.vBitmaps = {{"RAYO", picture(20, 600, makecol32(255, 255, 200))},
                              {"CIELO", picture(800, 600, iPink)}};
        for (const char *pszName : {"M1", "M2", "M3", "M4", "M5"})
            tPictures.vBitmaps.push_back({pszName, picture(120, 112, makecol32(230, 240, 255))});
        bPacked = db::pack(sDir + "/data/tx14.dat", tPictures) &&
                  db::pack(sDir + "/data/tx15.dat", {{{"ELEMENTOS_ES", SPECIAL_DOCUMENT}}, {}});
        for (BITMAP *bmp : vKeep)
            destroy_bitmap(bmp);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(sDir); }
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        if (sDir.empty())
            pack_data();
        ASSERT_TRUE(bPacked);
        ptGame = std::make_unique<InDirectory>(sDir);
        random_init_seed(5);
        g_bmpBuffer = create_bitmap(SCREEN_WIDTH, SCREEN_HEIGHT);
        g_tBall.fMass = 1.0f;
        away();
        kill_particles();
    }
    void TearDown() override
    {
        destroy_special_elements();
        load_special_elements(0);
        g_bSpecialOnFront = FALSE;
        kill_particles();
        destroy_bitmap(g_bmpBuffer);
        g_bmpBuffer = nullptr;
        ptGame.reset();
        HeadlessAllegro::TearDown();
    }
    static void start(int iLevel) { load_special_elements(iLevel); init_special_elements(); }
    static void frame(float fTimer) { update_special_elements(fTimer); draw_special_elements(); } // one frame
    static void away() // the ball far from everything
    {
        g_tBall.fX = g_tBall.fPrevX = g_tBall.fY = g_tBall.fPrevY = -1000;
        g_tBall.tCircle = {12, {-1000, -1000}};
    }
    static inline std::string sDir;
    static inline bool bPacked = false;
    std::unique_ptr<InDirectory> ptGame;
    SilentSound tSilence;
    CleanMatch tMatch;
};
} // namespace

TEST_F(SpecialTest, OnlyAThirdLevelHasItsStagesElements)
{
    void (*const apfUpdate[NUM_LEVELS])(float) = {
        update_special_elements_camaney, update_special_elements_lenguas, update_special_elements_uayumin,
        update_special_elements_karola,  update_special_elements_guante,  update_special_elements_ojeis,
        update_special_elements_arturito, update_special_elements_carnal};
    for (int iLevel = 0; iLevel < NUM_LEVEL_INDICES; iLevel++) {
        start(iLevel);
        const bool bThird = iLevel % LEVELS_PER_STAGE == 2;
        EXPECT_EQ(update_special_elements,
                  bThird ? apfUpdate[iLevel / LEVELS_PER_STAGE] : update_special_elements_none)
            << iLevel;
        EXPECT_TRUE((init_special_elements == init_special_elements_none) != bThird &&
                    (draw_special_elements == draw_special_elements_none) != bThird) << iLevel;
        destroy_special_elements();
    }
    // A record listing five pictures gives the first three.
    start(SNOW_LEVEL);
    EXPECT_EQ(tElements.iNumImagToElement, SPECIAL_IMAGES);
    for (BITMAP *bmp : tElements.bmpElement)
        EXPECT_NE(bmp, nullptr);
    for (const auto &[iElement, iTotal, iNext] : {std::tuple{0, 5, 1}, {3, 5, 4}, {4, 5, 0}, {7, 5, 0}, {0, 1, 0}})
        EXPECT_EQ(next_element(iElement, iTotal), iNext);
}

TEST_F(SpecialTest, SnowmenAppearBySlotInCellsOfTheirOwn)
{
    start(SNOW_LEVEL);
    float afShown[NUM_SNOWMEN] = {};
    for (float t = 0; t < 16; t += STEP) {
        frame(STEP);
        std::set<std::pair<int, int>> setCells;
        for (int i = 0; i < NUM_SNOWMEN; i++) {
            const stSpecialElement &e = tElements.tSpecialElement[i];
            if (!e.bActive)
                continue;
            if (afShown[i] == 0)
                afShown[i] = t + STEP;
            const stCircle &c = tElements.tSpecialElementBounds.vtCircle[i];
            EXPECT_TRUE(c.fRadius == 31 && c.tCenter.fX == e.iX + 60 && c.tCenter.fY == e.iY + 79);
            // Its cell: the one whose origin lies within the placement's offsets.
            const int iColumn = (e.iX - 45) / 118, iRow = (e.iY - 25) / 179;
            EXPECT_TRUE(tSnowMan[iColumn][iRow].bActive);
            EXPECT_TRUE(setCells.insert({iColumn, iRow}).second) << "two snowmen share a cell";
        }
    }
    for (int i = 0; i < NUM_SNOWMEN; i++)
        EXPECT_TRUE(afShown[i] >= 3 * i + 2.0f && afShown[i] <= 3 * i + 3.0f + 2 * STEP) << "slot " << i;
    // With every cell taken a snowman waits for one instead of searching for ever.
    destroy_special_elements();
    start(SNOW_LEVEL);
    for (auto &aColumn : tSnowMan)
        for (stPosSnowMan &tCell : aColumn)
            tCell.bActive = TRUE;
    for (int i = 0; i < 400; i++)
        frame(STEP);
    EXPECT_FALSE(tElements.tSpecialElement[0].bActive);
    tSnowMan[0][0].bActive = FALSE;
    for (int i = 0; i < 400; i++)
        frame(STEP);
    EXPECT_TRUE(tElements.tSpecialElement[0].bActive);
}

TEST_F(SpecialTest, BallBouncesOffAStrongSnowmanAndBreaksThroughAWeakOne)
{
    struct Case { float fAge, fSpeed, fMass; bool bBounces; };
    // Speed times mass against 1750 young, 3000 middle, 3500 full grown.
    const Case atCases[] = {{1, 1700, 1, true}, {1, 1500, 1.2f, false}, {4, 2900, 1, true},
                            {4, 3100, 1, false}, {6, 3400, 1, true},     {6, 1800, 2, false}};
    for (const Case &c : atCases) {
        start(SNOW_LEVEL);
        // Snowman 0 shows after 2 or 3 s; it then ages by the frames.
        while (!tElements.tSpecialElement[0].bActive)
            frame(STEP);
        for (float t = 0; t < c.fAge; t += STEP)
            frame(STEP);
        const stCircle tBody = tElements.tSpecialElementBounds.vtCircle[0];
        g_tBall.fMass = c.fMass;
        g_tBall.fVelX = c.fSpeed;
        g_tBall.fVelY = 0;
        g_tBall.fX = g_tBall.fPrevX = tBody.tCenter.fX - 40; // touching it from the left
        g_tBall.fY = g_tBall.fPrevY = tBody.tCenter.fY;
        g_tBall.tCircle = {12, {g_tBall.fX, g_tBall.fY}};
        const int iParticles = count_live_particles();
        const stSpecialElement &e = tElements.tSpecialElement[0];
        const stPosSnowMan &tCell = tSnowMan[(e.iX - 45) / 118][(e.iY - 25) / 179];
        ASSERT_TRUE(tCell.bActive);
        update_special_elements(0);
        EXPECT_EQ(g_tBall.fVelX < 0, c.bBounces) << c.fAge << " s, " << c.fSpeed;
        EXPECT_FALSE(e.bActive) << "smashed either way";
        EXPECT_FALSE(tCell.bActive) << "its cell is free again";
        EXPECT_GT(count_live_particles(), iParticles);
        away();
        kill_particles();
        destroy_special_elements();
    }
}

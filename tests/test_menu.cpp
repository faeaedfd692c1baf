// Languages, labels and menus: the language chosen from the profile, the
// documents of a language that lacks its entry, labels and score labels with
// missing or surplus entries, the selection moving along links past disabled
// buttons (and stopping on a cycle of disabled ones), mouse areas by
// alignment, and what the opening screen leaves with.
#include "datafile_builder.h"
#include "headless.h"
#include "input.h"
#include "labels.h"
#include "language_conf.h"
#include "main.h"
#include "menu.h"
#include "tfont.h"

namespace db = datafile_builder;

namespace {
// Three languages listed, files for two only.
const char *const LANGUAGES = R"(<conf_lenguajes num_lenguajes="3">
 <lenguajes>
  <elemento valor="0" lenguaje="English" id_lenguaje="Ingles"/>
  <elemento valor="1" lenguaje="Español" id_lenguaje="Espanol"/>
  <elemento valor="2" lenguaje="Third" id_lenguaje="Tercero"/>
 </lenguajes>
 <archivos_conf>
  <f_elemento valor="0" textos="T0" creditos="C0" torneos="R0" labels="L0" menu="M0" etiquetas_marcadores="S0"/>
  <f_elemento valor="1" textos="T1" creditos="C1" torneos="R1" labels="L1" menu="M1" etiquetas_marcadores="S1"/>
 </archivos_conf>
</conf_lenguajes>)";

// "numero" 3 with two entries, the second without attributes; a cursor.
const char *const LABELS = R"(<pantalla><textos numero="3">
 <elemento texto="ONE"><atributos x="10" y="20" color="FF0000" tamano="30"/></elemento>
 <elemento texto="TWO"/>
</textos><cursor activo="_" inactivo=" " timeOn="300" timeOff="200" tamano="20" color="FFFFFF" x="5" y="6"/></pantalla>)";

std::string score_labels()
{
    std::string s = R"(<etiquetas n_etiquetas="14">)";
    for (int i = 0; i < 14; i++)
        s += "<elemento texto=\"L" + std::to_string(i) + "\" posX=\"1\" posY=\"2\" color=\"00FF00\" tamano=\"40\" scoreA=\"" +
             std::to_string(i) + "\" scoreB=\"0\"/>";
    return s + "</etiquetas>";
}

class MenuTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        ASSERT_TRUE(db::pack("data/tx15.dat",
                             {{{"LENGUAJES", LANGUAGES}, {"L0", LABELS}, {"L1", LABELS}, {"S1", score_labels()}},
                              {}}));
        g_ptUserContainer = read_users();
        ASSERT_EQ(tfont_init(), 0);
        for (TFONT_FONT *&ptFont : g_Fonts)
            ptFont = load_test_font();
    }
    void TearDown() override
    {
        destroy_all_labels();
        destroy_all_score_labels();
        destroy_parcial_labels();
        for (TFONT_FONT *&ptFont : g_Fonts)
            tfont_destroy_font(std::exchange(ptFont, nullptr));
        tfont_exit();
        close_users(g_ptUserContainer);
        g_ptUserContainer = nullptr;
        g_iLanguage = 0;
        HeadlessAllegro::TearDown();
    }
    void language(const char *pszId) { snprintf(g_ptUserContainer->ptCurrentUser->szLanguage, USER_TEXT_SIZE, "%s", pszId); }
    const ScratchGame tGame{"tvx_menu"};
};

// A menu of text buttons 0 .. n-1 in a ring (down: next, up: previous).
stMenu ring(int n, const char *pszAlign = "centrado")
{
    stMenu t = {};
    stOption &o = t.atOption[0];
    o.iNumElements = n;
    for (int i = 0; i < n; i++) {
        stElement &e = o.atElement[i];
        snprintf(e.szName, sizeof(e.szName), "BUTTON %d", i);
        e.iStatus = 1;
        e.iValue = i;
        e.tLink = {(i + n - 1) % n, (i + 1) % n, i, (i + 1) % n};
        e.tPosition.iX = 400;
        e.tPosition.iY = 100 + 50 * i;
        snprintf(e.tPosition.szCenterType, sizeof(e.tPosition.szCenterType), "%s", pszAlign);
        e.tFont.iSize = 40;
    }
    return t;
}
} // namespace

TEST_F(MenuTest, LanguageComesFromTheProfileAndAMissingEntryKeepsTheLastReached)
{
    // An unknown identifier keeps the language before it; the third language
    // has no files entry, so the second's document names are used.
    const std::tuple<const char *, int, std::string> atCases[] = {
        {"Espanol", 1, "L1"}, {"Klingon", 1, "L1"}, {"Ingles", 0, "L0"}, {"Tercero", 2, "L1"}, {"ingles", 2, "L1"}};
    init_languages_conf();
    EXPECT_EQ(g_tFileLanguageConf.iNumLanguages, 3);
    EXPECT_STREQ(g_tLanguage[1].szLanguage, "Espa\xc3\xb1ol");
    for (const auto &[pszId, iLanguage, sLabels] : atCases) {
        language(pszId);
        set_languages_conf();
        EXPECT_EQ(g_iLanguage, iLanguage) << pszId;
        EXPECT_EQ(g_tFileLanguageConf.szLabels, sLabels) << pszId;
    }
    EXPECT_EQ(num_of_lenguages("Espanol"), 1);
    EXPECT_EQ(num_of_lenguages("Klingon"), 0);
    EXPECT_STREQ(g_tFileParcialLanguageConf[1].szMenu, "M1");
    EXPECT_STREQ(g_tFileParcialLanguageConf[2].szMenu, "") << "no entry: left empty";
}

TEST_F(MenuTest, LabelsFillWhatTheDocumentHasAndScoreLabelsFitTheirTable)
{
    language("Espanol");
    init_languages_conf();
    load_labels();
    ASSERT_TRUE(g_ptLabel[0] && g_ptLabel[1] && g_ptCursor);
    EXPECT_STREQ(g_ptLabel[0]->szText, "ONE");
    EXPECT_TRUE(g_ptLabel[0]->iX == 10 && g_ptLabel[0]->iY == 20 && g_ptLabel[0]->iSize == 30);
    EXPECT_EQ(g_ptLabel[1]->iSize, 0) << "no attributes: left as allocated";
    EXPECT_EQ(g_ptLabel[2], nullptr) << "listed but missing";
    EXPECT_TRUE(g_ptCursor->cActive == '_' && g_ptCursor->fTimeOn == 300 && g_ptCursor->iY == 6);
    // Fewer than 16 labels: no language gets its two partial labels (the
    // third language, which has no documents, is left out).
    g_tFileLanguageConf.iNumLanguages = 2;
    load_parcial_labels();
    for (stLabel *ptLabel : g_ptParcialLabel)
        EXPECT_EQ(ptLabel, nullptr);
    load_score_labels(); // 14 listed, 11 kept
    for (int i = 0; i < NUM_SCORE_LABELS; i++) {
        ASSERT_NE(g_ptScoresLabel[i], nullptr);
        EXPECT_EQ(g_ptScoresLabel[i]->iScoreP1, i);
    }
}

TEST(MenuSelection, SkipsDisabledButtonsAndStaysOnADisabledCycleOrAnOutsideStart)
{
    stMenu t = ring(4);
    stElement *e = t.atOption[0].atElement;
    e[1].iStatus = e[2].iStatus = 0;
    // From, move, once (the next button even if disabled), expected.
    const std::tuple<int, int, bool, int> atCases[] = {
        {0, MOVE_DOWN, false, 3},  {3, MOVE_UP, false, 0},   {0, MOVE_UP, false, 3},   {0, MOVE_SHRINK, false, 3},
        {0, MOVE_SHRINK, true, 1}, {3, MOVE_GROW, false, 3}, {0, MOVE_DOWN, true, 1},  {4, MOVE_DOWN, false, 4},
        {-1, MOVE_DOWN, false, -1}};
    for (const auto &[iFrom, iMove, bOnce, iExpected] : atCases)
        EXPECT_EQ(next_selection(&t, iFrom, iMove, bOnce), iExpected) << iFrom << " " << iMove;
    // Every button disabled, or a link out of the menu: the selection stays.
    for (int i = 0; i < 4; i++)
        e[i].iStatus = 0;
    EXPECT_EQ(next_selection(&t, 0, MOVE_DOWN, false), 0);
    e[3].iStatus = 1;
    e[0].tLink.iDown = 17;
    EXPECT_EQ(next_selection(&t, 0, MOVE_DOWN, false), 0);
}

TEST_F(MenuTest, MouseAreasFollowTheAlignment)
{
    tfont_set_font_size(g_Fonts[0], 40);
    const int iWidth = tfont_text_length(g_Fonts[0], "BUTTON 1");
    // Left and right edges; 0, 0: left as the document gave it.
    const std::tuple<const char *, int, int> atCases[] = {
        {"centrado", 400 - iWidth / 2, 400 - iWidth / 2 + iWidth}, {"izquierda", 400, 400 + iWidth}, {"derecha", 0, 0}};
    for (const auto &[pszAlign, iLeft, iRight] : atCases) {
        stMenu t = ring(2, pszAlign);
        set_mouse_area_to_one_menu(&t);
        const stMouseArea &a = t.atOption[0].atElement[1].tMouseArea;
        EXPECT_TRUE(a.iXLeft == iLeft && a.iXRight == iRight) << pszAlign << ": " << a.iXLeft << ".." << a.iXRight;
        EXPECT_TRUE(iRight == 0 || (a.iYUp == 150 && a.iYDown == 190)) << pszAlign;
    }
}

TEST(OpeningScreen, LeavesWithTheGameModeAndDifficultyOfItsSelection)
{
    // Selection and playing mode in, game mode and difficulty out.
    const std::array<int, 4> atCases[] = {{-1, 1, -1, 0},        {-1, 0, -1, 0},  {P1_VS_P2, 1, 1, 0},
                                          {CPU_VS_CPU, 1, 2, 0}, {HARD, 0, 0, 2}, {EASY, 0, 0, 0}};
    for (const auto &[iSelection, iPlayingMode, iGameMode, iDifficulty] : atCases) {
        int aiOut[2] = {99, 99};
        opening_result(iSelection, iPlayingMode, &aiOut[0], &aiOut[1]);
        EXPECT_TRUE(aiOut[0] == iGameMode && aiOut[1] == iDifficulty) << iSelection << " " << iPlayingMode;
    }
}

// 1: the champion's cup won; 2: every character open; 3: played past the long-play time.
TEST(OpeningScreen, BackgroundRewardsTheProfilesProgress)
{
    g_ptUserContainer = read_users();
    stUser &u = *g_ptUserContainer->ptCurrentUser;
    EXPECT_EQ(get_current_background(), 0);
    u.iTimePlaying = 18000;
    EXPECT_EQ(get_current_background(), 0);
    u.aiWinnedCups[3][2] = 1;
    EXPECT_EQ(get_current_background(), 1);
    std::fill(std::begin(u.aiPlayableChar), std::end(u.aiPlayableChar), static_cast<int>(SELECTABLE));
    EXPECT_EQ(get_current_background(), 2);
    u.iTimePlaying = 18001;
    EXPECT_EQ(get_current_background(), 3);
    close_users(std::exchange(g_ptUserContainer, nullptr));
}

// The rules of the screens around the match: the intro's hidden keys, the
// options' volume steps, slider and language wrap-around, and the credits
// document's limits and line positions.
#include "credits.h"
#include "headless.h"
#include "intro.h"
#include "options.h"
#include "stXMLParser.h"

namespace {

TEST(IntroKeys, FirstHeldKeyInTableOrderWins)
{
    constexpr int DEFAULT = 6;
    // Keys held; fire, shadows and level wanted. N comes before the digits, 4 before 7.
    const std::pair<std::vector<int>, stIntroKeys> atCases[] = {
        {{}, {0, 0, DEFAULT}},        {{KEY_F, KEY_S}, {1, 0, DEFAULT}}, {{KEY_S, KEY_3}, {0, 1, DEFAULT}},
        {{KEY_N, KEY_5}, {0, 0, -3}}, {{KEY_0_PAD}, {0, 0, 0}},          {{KEY_1}, {0, 0, 3}},
        {{KEY_7, KEY_4}, {0, 0, 12}}, {{KEY_2}, {0, 0, DEFAULT}},        {{KEY_8, KEY_9}, {0, 0, DEFAULT}},
    };
    for (const auto &[aiHeld, tWant] : atCases) {
        char akHeld[KEY_MAX] = {};
        for (int k : aiHeld)
            akHeld[k] = 1;
        const stIntroKeys t = intro_keys(akHeld, DEFAULT);
        EXPECT_TRUE(t.bFire == tWant.bFire && t.bShadows == tWant.bShadows && t.iLevel == tWant.iLevel)
            << "first held key " << (aiHeld.empty() ? 0 : aiHeld[0]) << " gave level " << t.iLevel;
    }
}

TEST(Options, VolumeStepsStayWithinTheScale)
{
    // Volume, step, volume after; 1 reads 0 %.
    const std::array<int, 3> atCases[] = {
        {0, -VOLUME_STEP, 0},    {3, -VOLUME_STEP, 0},     {1, -VOLUME_STEP, 1},   {100, -VOLUME_STEP, 85},
        {100, VOLUME_STEP, 115}, {250, VOLUME_STEP, 255},  {255, VOLUME_STEP, 255},
    };
    for (const auto &[iVolume, iDelta, iWant] : atCases)
        EXPECT_EQ(volume_step(iVolume, iDelta), iWant) << iVolume << " " << iDelta;
}

TEST(Options, SliderFollowsThePointerAndClamps)
{
    const std::pair<int, int> atPointer[] = {{0, 0}, {285, 0}, {425, 127}, {565, 255}, {1000, 255}};
    for (const auto &[iX, iWant] : atPointer)
        EXPECT_EQ(slider_volume(iX), iWant) << iX;
    for (int x = 285; x < 565; x++)
        EXPECT_LE(slider_volume(x), slider_volume(x + 1));
}

TEST(Options, LanguagesWrapAround)
{
    EXPECT_EQ(language_step(0, -1, 2), 1);
    EXPECT_EQ(language_step(1, 1, 2), 0);
    EXPECT_EQ(language_step(1, 1, 3), 2);
    EXPECT_EQ(language_step(0, -1, 0), 0);
}

using CreditsDocument = HeadlessAllegro; // entry colours need a colour depth

// A document asking for more entries and lines than the show holds.
TEST_F(CreditsDocument, OversizedDocumentIsCutToTheTables)
{
    std::string s = R"(<Staff font1="A" font_size1="44" font2="B" font_size2="20" archivo="f" n_personas="20">)";
    for (int p = 0; p < 20; p++) {
        s += R"(<Persona nombre="P)" + std::to_string(p) +
             R"(" color1="FFAE00" color2="FFFFFF" num_actividades="30" fade_time="1500" imagen="" archivo=""><Actividades)";
        for (int a = 1; a <= 30; a++)
            s += " Act" + std::to_string(a) + "=\"L" + std::to_string(a) + "\"";
        s += "/></Persona>";
    }
    s += "</Staff>";
    stXMLParser *ptParser = xmlparser_create();
    xmlparser_loadFile_from_dat(ptParser, s.c_str(), static_cast<int>(s.size()));
    ASSERT_EQ(xmlparser_parserFile(ptParser), 0);
    xmlparser_gotoRoot(ptParser);
    static stCredits atStaff[CREDITS_PEOPLE];
    stCreditsFonts tFonts = {};
    EXPECT_EQ(read_credits(ptParser, atStaff, &tFonts), CREDITS_PEOPLE);
    xmlparser_destroy(ptParser);
    EXPECT_STREQ(atStaff[CREDITS_PEOPLE - 1].szName, "P12");
    for (const stCredits &t : atStaff) {
        EXPECT_EQ(t.iNumActivities, CREDITS_ACTIVITIES);
        EXPECT_STREQ(t.aszActivity[CREDITS_ACTIVITIES - 1], "L15");
    }
    EXPECT_EQ(tFonts.aiSize[1], 20);
}

TEST(Credits, LinePositions)
{
    EXPECT_EQ(credits_first_line_y(true, 0), 157);
    EXPECT_EQ(credits_first_line_y(false, 0), 462);
    EXPECT_EQ(credits_first_line_y(true, 4), 117);
    // The three-entry page: each name sits below the names and lines of the
    // entries above it (an entry without lines still moves the next one down).
    // Entry k, lines of the first and of the second entry, the name's y.
    const std::array<int, 4> atCases[] = {{0, 4, 5, 60}, {1, 0, 5, 120}, {1, 2, 5, 180}, {2, 0, 0, 180}, {2, 2, 3, 330}};
    for (const auto &[k, p, q, iNameY] : atCases)
        EXPECT_EQ(credits_trio_name_y(k, p, q), iNameY) << k << " " << p << " " << q;
    EXPECT_EQ(credits_trio_line_y(2, 2, 3), 330 + 40);
}
} // namespace

// The resource loaders against datafiles packed at test time with dat and the
// game's password: each conversion, and the fatal message for every way a load
// can fail.
#include "datafile_builder.h"
#include "grabber_functions.h"
#include "headless.h"
#include "memory.h"
#include "sound.h"
#include "stXMLParser.h"
#include "tfont.h"

namespace db = datafile_builder;

namespace {
constexpr int PICTURE_W = 4; // px
constexpr int PICTURE_H = 2; // px
constexpr int FONT_HEIGHT = 15;    // px
constexpr char XML_TEXT[] = "<Sound><menu archivo=\"data/tx11.dat\" num_sounds=\"1\"/></Sound>";

// The picture's pixels, row by row; pink is the mask colour.
const Rgb atPicture[PICTURE_H][PICTURE_W] = {
    {{255, 0, 255}, {250, 20, 10}, {10, 200, 30}, {20, 40, 230}},
    {{255, 255, 255}, {0, 0, 0}, {255, 0, 255}, {128, 64, 192}},
};
bool is_mask(const Rgb &c) { return c == Rgb{255, 0, 255}; }

std::string random_bytes(std::mt19937 &tRandom, int iLength)
{
    std::string s(iLength, '\0');
    for (char &c : s)
        c = static_cast<char>(tRandom() & 0xff);
    return s;
}

// The datafiles every test reads: made once, removed after the last test.
struct stFixtureFiles {
    std::string sDir;      // temporary directory holding them
    std::string sGood;     // packed with the game's password
    std::string sWrong;    // the same objects under another password
    std::vector<std::pair<std::string, std::string>> vTexts; // raw objects: name, bytes
};
stFixtureFiles g_tFiles;

void make_files()
{
    g_tFiles.sDir = db::make_temp_dir("tvx_grabber");
    ASSERT_FALSE(g_tFiles.sDir.empty());
    g_tFiles.sGood = g_tFiles.sDir + "/good.dat";
    g_tFiles.sWrong = g_tFiles.sDir + "/wrong.dat";
    g_tFiles.vTexts = {{"TEN", "0123456789"}};
    std::mt19937 tRandom(5);
    for (int iLength : {1, 255, 256, 4097, 65536})
        g_tFiles.vTexts.push_back({"TEXT" + std::to_string(iLength), random_bytes(tRandom, iLength)});

    db::Contents tContents;
    tContents.vRaw = {{"DOC", XML_TEXT},
                      {"TONE", db::wav_bytes(4410)}, // 100 ms
                      {"FONT", db::read_file(FUTURA_FILE)},
                      {"GARBAGE", random_bytes(tRandom, 64)}}; // no font reader accepts it
    tContents.vRaw.insert(tContents.vRaw.end(), g_tFiles.vTexts.begin(), g_tFiles.vTexts.end());
    BITMAP *bmpPicture = create_bitmap_ex(24, PICTURE_W, PICTURE_H);
    for (int y = 0; y < PICTURE_H; y++)
        for (int x = 0; x < PICTURE_W; x++)
            putpixel(bmpPicture, x, y, makecol24(atPicture[y][x].r, atPicture[y][x].g, atPicture[y][x].b));
    tContents.vBitmaps = {{"PICTURE", bmpPicture}};
    ASSERT_TRUE(db::pack(g_tFiles.sGood, tContents));
    ASSERT_TRUE(db::pack(g_tFiles.sWrong, tContents, "another-password"));
    destroy_bitmap(bmpPicture);
}

class GrabberTest : public HeadlessAllegro {
protected:
    static void TearDownTestSuite()
    {
        if (!g_tFiles.sDir.empty())
            std::filesystem::remove_all(g_tFiles.sDir);
        g_tFiles = stFixtureFiles();
    }
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        Prepare();
    }
    void Prepare()
    {
        if (g_tFiles.sDir.empty())
            make_files();
        packfile_password(db::data_password().c_str());
    }
    void TearDown() override
    {
        packfile_password(nullptr);
        HeadlessAllegro::TearDown();
    }
    const char *good() const { return g_tFiles.sGood.c_str(); }
};

void expect_near(const Rgb &tGot, const Rgb &tWanted, int iTolerance)
{
    EXPECT_NEAR(tGot.r, tWanted.r, iTolerance) << tGot << " wanted " << tWanted;
    EXPECT_NEAR(tGot.g, tWanted.g, iTolerance) << tGot << " wanted " << tWanted;
    EXPECT_NEAR(tGot.b, tWanted.b, iTolerance) << tGot << " wanted " << tWanted;
}
} // namespace

TEST_F(GrabberTest, TextIsAnExactCopyOfAnyBytesFollowedByAZero)
{
    auto vObjects = g_tFiles.vTexts;
    vObjects.push_back({"ten", "0123456789"}); // names ignore case
    for (const auto &[sObject, sWanted] : vObjects) {
        int iSize = 0;
        char *pszText = load_txt_from_dat(sObject.c_str(), good(), &iSize);
        ASSERT_EQ(iSize, static_cast<int>(sWanted.size()) + 1) << sObject;
        EXPECT_EQ(std::string(pszText, sWanted.size()), sWanted) << sObject;
        EXPECT_EQ(pszText[sWanted.size()], '\0') << sObject;
        safe_free(&pszText);
    }
}

// An XML handle gets the document's text and its zero; a font comes at the
// asked height; a sample is the object's sound, and none with sound off.
TEST_F(GrabberTest, XmlFontAndSampleAreTheirObjectsConverted)
{
    stXMLParser *ptParser = xmlparser_create();
    int iSize = 0;
    load_xml_from_dat(ptParser, "DOC", good(), &iSize);
    EXPECT_EQ(iSize, static_cast<int>(sizeof(XML_TEXT)));
    EXPECT_EQ(xmlparser_parserFile(ptParser), 0);
    xmlparser_gotoRoot(ptParser);
    ASSERT_EQ(xmlparser_findElement(ptParser, "Sound/menu"), 1);
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptParser, "archivo"), "data/tx11.dat");
    xmlparser_destroy(ptParser);

    ASSERT_EQ(tfont_init(), 0);
    TFONT_FONT *ptFont = load_font_from_dat("FONT", good(), FONT_HEIGHT);
    ASSERT_NE(ptFont, nullptr);
    EXPECT_EQ(tfont_get_font_height(ptFont), FONT_HEIGHT);
    tfont_destroy_font(ptFont);
    tfont_exit();

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    init_sound_library();
    ASSERT_EQ(bSoundError, 0);
    stMixSound *sndTone = load_sample_from_dat("TONE", good(), 0);
    ASSERT_NE(sndTone, nullptr);
    unsigned int iLengthMs = 0;
    EXPECT_EQ(mix_sound_get_length_ms(sndTone, &iLengthMs), MIX_OK);
    EXPECT_EQ(iLengthMs, 100u);
    destroy_sound(sndTone);
    exit_sound_libary();
    bSoundError = -1;
    EXPECT_EQ(load_sample_from_dat("TONE", good(), 1), nullptr);
    bSoundError = 0;
}

// Bitmaps and sprites come back in the current colour depth whatever the stored one.
class GrabberDepthTest : public GrabberTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUpDepth(GetParam());
        Prepare();
    }
    int tolerance() const { return GetParam() <= 16 ? 8 : 0; } // colour units lost at 15 and 16 bits
};

TEST_P(GrabberDepthTest, BitmapAndRleSpriteComeInTheCurrentDepthWithTheirMask)
{
    BITMAP *bmp = load_bmp_from_dat("PICTURE", good());
    RLE_SPRITE *rle = load_rle_from_dat("PICTURE", good());
    ASSERT_NE(bmp, nullptr);
    ASSERT_NE(rle, nullptr);
    EXPECT_EQ(bitmap_color_depth(bmp), GetParam());
    EXPECT_EQ(rle->color_depth, GetParam());
    ASSERT_TRUE(bmp->w == PICTURE_W && bmp->h == PICTURE_H && rle->w == PICTURE_W && rle->h == PICTURE_H);
    // The sprite shows the background through its mask.
    const Rgb tBackground = {0, 0, 128};
    BITMAP *bmpTarget = create_bitmap(PICTURE_W, PICTURE_H);
    clear_to_color(bmpTarget, makecol(tBackground.r, tBackground.g, tBackground.b));
    draw_rle_sprite(bmpTarget, rle, 0, 0);
    for (int y = 0; y < PICTURE_H; y++)
        for (int x = 0; x < PICTURE_W; x++) {
            const bool bMask = is_mask(atPicture[y][x]);
            if (bMask)
                EXPECT_EQ(getpixel(bmp, x, y), bitmap_mask_color(bmp)) << x << "," << y;
            else
                expect_near(pixel_rgb(bmp, x, y), atPicture[y][x], tolerance());
            expect_near(pixel_rgb(bmpTarget, x, y), bMask ? tBackground : atPicture[y][x], tolerance());
        }
    destroy_bitmap(bmpTarget);
    destroy_rle_sprite(rle);
    destroy_bitmap(bmp);
}

INSTANTIATE_TEST_SUITE_P(GrabberDepths, GrabberDepthTest, ::testing::Values(15, 16, 24, 32));

// Every loader ends with the load message and status 255 on a missing object;
// so do a missing file, a wrong password, and an object of the wrong kind
// (bytes FreeType rejects, a raw object read as a picture, a picture read as
// raw bytes). Names are data: a '%' in one is shown as itself.
TEST_F(GrabberTest, EveryFailedLoadEndsWithTheLoadMessage)
{
    using Loader = std::function<void(const char *pszObject, const char *pszFile)>;
    const Loader font = [](const char *o, const char *f) { load_font_from_dat(o, f, FONT_HEIGHT); };
    const Loader bmp = [](const char *o, const char *f) { load_bmp_from_dat(o, f); };
    const Loader rle = [](const char *o, const char *f) { load_rle_from_dat(o, f); };
    const Loader txt = [](const char *o, const char *f) { int i; load_txt_from_dat(o, f, &i); };
    const Loader sample = [](const char *o, const char *f) { load_sample_from_dat(o, f, 0); };
    const Loader xml = [](const char *o, const char *f) { int i; load_xml_from_dat(xmlparser_create(), o, f, &i); };
    const std::string sMissing = g_tFiles.sDir + "/none.dat";
    struct Case { const Loader &fnLoad; const char *pszObject; const std::string &sFile; };
    const Case atCases[] = {{font, "NOT_THERE", g_tFiles.sGood}, {bmp, "NOT_THERE", g_tFiles.sGood},
                   {rle, "NOT_THERE", g_tFiles.sGood},  {txt, "NOT_THERE", g_tFiles.sGood},
                   {sample, "NOT_THERE", g_tFiles.sGood}, {xml, "NOT_THERE", g_tFiles.sGood},
                   {txt, "TEN", sMissing},              {rle, "PICTURE", g_tFiles.sWrong},
                   {bmp, "%s%n%d", g_tFiles.sGood},     {font, "GARBAGE", g_tFiles.sGood},
                   {bmp, "TEN", g_tFiles.sGood},        {txt, "PICTURE", g_tFiles.sGood}};
    ASSERT_EQ(tfont_init(), 0);
    for (const auto &tCase : atCases) {
        std::string sPattern;
        for (char c : "Error al cargar " + std::string(tCase.pszObject) + " desde " + tCase.sFile + "\n") {
            if (std::string(".[]{}()*+?^$|\\").find(c) != std::string::npos)
                sPattern.push_back('\\');
            sPattern.push_back(c);
        }
        EXPECT_EXIT(tCase.fnLoad(tCase.pszObject, tCase.sFile.c_str()), ::testing::ExitedWithCode(255), sPattern)
            << tCase.pszObject << " from " << tCase.sFile;
    }
    tfont_exit();
}

// The resource loaders against a datafile packed at test time with dat and the
// game's password: the fatal message for every way a load can fail. (Every
// conversion is used by the tests that read the game's own data.)
#include "datafile_builder.h"
#include "grabber_functions.h"
#include "headless.h"
#include "stXMLParser.h"
#include "tfont.h"

namespace db = datafile_builder;

namespace {
constexpr int FONT_HEIGHT = 15; // px

// A datafile with a text, bytes that no font reader accepts and a picture,
// packed under the game's password and under another one.
class GrabberTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        sDir = db::make_temp_dir("tvx_grabber");
        ASSERT_FALSE(sDir.empty());
        db::Contents tContents;
        tContents.vRaw = {{"TEN", "0123456789"}, {"GARBAGE", std::string(64, '\x5a')}};
        BITMAP *bmpPicture = create_bitmap_ex(24, 4, 2);
        clear_to_color(bmpPicture, makecol24(250, 20, 10));
        tContents.vBitmaps = {{"PICTURE", bmpPicture}};
        ASSERT_TRUE(db::pack(sDir + "/good.dat", tContents));
        ASSERT_TRUE(db::pack(sDir + "/wrong.dat", tContents, "another-password"));
        destroy_bitmap(bmpPicture);
        // Set only now: with a password set, the picture saved for dat would be encrypted.
        packfile_password(db::data_password().c_str());
    }
    void TearDown() override
    {
        packfile_password(nullptr);
        std::filesystem::remove_all(sDir);
        HeadlessAllegro::TearDown();
    }
    std::string sDir;
};
} // namespace

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
    const std::string sGood = sDir + "/good.dat", sWrong = sDir + "/wrong.dat", sMissing = sDir + "/none.dat";
    struct Case { const Loader &fnLoad; const char *pszObject; const std::string &sFile; };
    const Case atCases[] = {{font, "NOT_THERE", sGood},   {bmp, "NOT_THERE", sGood},  {rle, "NOT_THERE", sGood},
                            {txt, "NOT_THERE", sGood},    {sample, "NOT_THERE", sGood}, {xml, "NOT_THERE", sGood},
                            {txt, "TEN", sMissing},       {rle, "PICTURE", sWrong},   {bmp, "%s%n%d", sGood},
                            {font, "GARBAGE", sGood},     {bmp, "TEN", sGood},        {txt, "PICTURE", sGood}};
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

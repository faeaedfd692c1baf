// The sound catalogue against a "SONIDOS" document and a sound bank packed at
// test time into a scratch game directory: how the groups are read, what is
// loaded, and what happens when the document names too few or too many sounds.
#include "datafile_builder.h"
#include "headless.h"
#include "sound.h"
#include "sound_loading.h"

#include <unistd.h>

namespace db = datafile_builder;

namespace {
constexpr char BANK[] = "data/bank.dat";
constexpr int BANK_SOUNDS = 12;   // objects S0 ... S11
constexpr int SOUND_FRAMES = 441; // 10 ms each

// One group element of the document.
struct stGroupSource {
    std::string sElement;
    std::string sFile;
    int iNumSounds;                  // written as "num_sounds"
    std::vector<std::string> vNames; // written as sound0, sound1...
};

std::vector<std::string> bank_names(int iCount)
{
    std::vector<std::string> v;
    for (int i = 0; i < iCount; i++)
        v.push_back("S" + std::to_string(i));
    return v;
}

// A document that names every sound the game loads.
std::vector<stGroupSource> complete_document()
{
    return {
        {"songs", "data/music", NUM_SONGS, {"data/music/intro.ogg", "", "data/music/ending.ogg"}},
        {"effects", BANK, NUM_EFFECT_SOUNDS, bank_names(NUM_EFFECT_SOUNDS)},
        {"menu", BANK, NUM_MENU_SOUNDS, bank_names(NUM_MENU_SOUNDS)},
        {"paddle", BANK, NUM_PADDLE_SOUNDS, bank_names(NUM_PADDLE_SOUNDS)},
        {"ball", BANK, NUM_BALL_SOUNDS, bank_names(NUM_BALL_SOUNDS)},
        {"special", BANK, NUM_SPECIAL_SOUNDS, bank_names(NUM_SPECIAL_SOUNDS)},
    };
}

stGroupSource *group(std::vector<stGroupSource> &vGroups, const std::string &sElement)
{
    for (stGroupSource &tGroup : vGroups)
        if (tGroup.sElement == sElement)
            return &tGroup;
    return nullptr;
}

std::string document_text(const std::vector<stGroupSource> &vGroups)
{
    std::string s = "<Sound>\n";
    for (const stGroupSource &tGroup : vGroups) {
        s += "  <" + tGroup.sElement;
        if (!tGroup.sFile.empty())
            s += " archivo=\"" + tGroup.sFile + "\"";
        s += " num_sounds=\"" + std::to_string(tGroup.iNumSounds) + "\">\n    <sonidos";
        for (size_t i = 0; i < tGroup.vNames.size(); i++)
            s += " sound" + std::to_string(i) + "=\"" + tGroup.vNames[i] + "\"";
        s += "/>\n  </" + tGroup.sElement + ">\n";
    }
    return s + "</Sound>\n";
}

struct stArrayView {
    stMixSound **psndSounds;
    int iCount;
};
const stArrayView atArrays[] = {
    {sndMenuSound, NUM_MENU_SOUNDS},     {sndPaddleSound, NUM_PADDLE_SOUNDS},
    {sndBallSound, NUM_BALL_SOUNDS},     {sndEffectsSound, NUM_EFFECT_SOUNDS},
    {sndSpecialSound, NUM_SPECIAL_SOUNDS},
};

int loaded_sounds()
{
    int iLoaded = 0;
    for (const stArrayView &tArray : atArrays)
        for (int i = 0; i < tArray.iCount; i++)
            iLoaded += tArray.psndSounds[i] != nullptr;
    return iLoaded;
}
constexpr int ALL_EFFECTS =
    NUM_MENU_SOUNDS + NUM_PADDLE_SOUNDS + NUM_BALL_SOUNDS + NUM_EFFECT_SOUNDS + NUM_SPECIAL_SOUNDS;
} // namespace

// A scratch game directory (data/tx15.dat and data/bank.dat) as the current one.
class SoundLoadingTest : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        sDir = db::make_temp_dir("tvx_sound_loading");
        ASSERT_FALSE(sDir.empty());
        ASSERT_NE(getcwd(szOldDir, sizeof(szOldDir)), nullptr);
        ASSERT_EQ(chdir(sDir.c_str()), 0);
        std::filesystem::create_directory("data");
        db::Contents tBank;
        for (const std::string &sName : bank_names(BANK_SOUNDS))
            tBank.vRaw.push_back({sName, db::wav_bytes(SOUND_FRAMES)});
        ASSERT_TRUE(db::pack(BANK, tBank));
        const std::string sPassword = db::data_password();
        packfile_password(sPassword.c_str());
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        bSoundError = 0;
    }
    void TearDown() override
    {
        destroy_effects();
        exit_sound_libary();
        bSoundError = 0;
        packfile_password(nullptr);
        EXPECT_EQ(chdir(szOldDir), 0);
        std::filesystem::remove_all(sDir);
        HeadlessAllegro::TearDown();
    }
    void write_document(const std::vector<stGroupSource> &vGroups)
    {
        db::Contents tDocument;
        tDocument.vRaw = {{"SONIDOS", document_text(vGroups)}};
        ASSERT_TRUE(db::pack("data/tx15.dat", tDocument));
    }
    void start_sound()
    {
        init_sound_library();
        ASSERT_EQ(bSoundError, 0);
    }
    std::string sDir;
    char szOldDir[PATH_MAX] = {0};
};

TEST_F(SoundLoadingTest, ReadsEveryGroupInIndexOrder)
{
    write_document(complete_document());
    init_sound_loading();
    EXPECT_STREQ(tSndSong.szFile, "data/music");
    EXPECT_STREQ(tSndSong.szName[INTRO_SONG], "data/music/intro.ogg");
    EXPECT_STREQ(tSndSong.szName[1], "");
    EXPECT_STREQ(tSndSong.szName[ENDING_SONG], "data/music/ending.ogg");
    const std::pair<const stGroupSounds *, int> atGroups[] = {
        {&tSndEffects, NUM_EFFECT_SOUNDS}, {&tSndMenu, NUM_MENU_SOUNDS},
        {&tSndPaddle, NUM_PADDLE_SOUNDS},  {&tSndBall, NUM_BALL_SOUNDS},
        {&tSndSpecial, NUM_SPECIAL_SOUNDS},
    };
    for (const auto &[ptGroup, iCount] : atGroups) {
        EXPECT_STREQ(ptGroup->szFile, BANK);
        for (int i = 0; i < GROUP_MAX_SOUNDS; i++)
            EXPECT_EQ(std::string(ptGroup->szName[i]), i < iCount ? "S" + std::to_string(i) : "")
                << "name " << i;
    }
}

// With no names to read, "sonidos" may carry no sound attributes at all, and
// names from an earlier reading are gone.
TEST_F(SoundLoadingTest, NumSoundsZeroReadsNoNames)
{
    write_document(complete_document());
    init_sound_loading();
    std::vector<stGroupSource> vGroups = complete_document();
    group(vGroups, "menu")->iNumSounds = 0;
    group(vGroups, "menu")->vNames.clear();
    write_document(vGroups);
    init_sound_loading();
    for (int i = 0; i < GROUP_MAX_SOUNDS; i++)
        EXPECT_STREQ(tSndMenu.szName[i], "") << "name " << i;
    EXPECT_STREQ(tSndMenu.szFile, BANK);
}

TEST_F(SoundLoadingTest, NumSoundsAboveTenReadsTheFirstTen)
{
    std::vector<stGroupSource> vGroups = complete_document();
    group(vGroups, "menu")->iNumSounds = BANK_SOUNDS;
    group(vGroups, "menu")->vNames = bank_names(BANK_SOUNDS);
    write_document(vGroups);
    init_sound_loading();
    for (int i = 0; i < GROUP_MAX_SOUNDS; i++)
        EXPECT_EQ(std::string(tSndMenu.szName[i]), "S" + std::to_string(i));
    EXPECT_STREQ(tSndPaddle.szName[0], "S0"); // the next group is untouched
}

TEST_F(SoundLoadingTest, LongNamesAreCutToTheirBuffer)
{
    std::vector<stGroupSource> vGroups = complete_document();
    const std::string sLong(2 * SOUND_NAME_SIZE, 'L');
    group(vGroups, "ball")->vNames[0] = sLong;
    group(vGroups, "ball")->sFile = sLong;
    write_document(vGroups);
    init_sound_loading();
    EXPECT_EQ(std::string(tSndBall.szName[0]), sLong.substr(0, SOUND_NAME_SIZE - 1));
    EXPECT_EQ(std::string(tSndBall.szFile), sLong.substr(0, SOUND_NAME_SIZE - 1));
}

TEST_F(SoundLoadingTest, LoadsEveryEffectAndReleasesThem)
{
    write_document(complete_document());
    start_sound();
    init_sound_loading();
    load_effects();
    EXPECT_EQ(loaded_sounds(), ALL_EFFECTS);
    destroy_effects();
    EXPECT_EQ(loaded_sounds(), 0);
}

// The number of loads comes from the enumerations: the paddle's third sound is
// loaded from an empty name.
TEST_F(SoundLoadingTest, TooFewNamesEndsWithTheLoadMessage)
{
    const std::string sStyle = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // the audio thread must not be forked
    std::vector<stGroupSource> vGroups = complete_document();
    group(vGroups, "paddle")->iNumSounds = 2;
    group(vGroups, "paddle")->vNames.resize(2);
    write_document(vGroups);
    start_sound();
    init_sound_loading();
    EXPECT_EXIT(load_effects(), ::testing::ExitedWithCode(255),
                "Error al cargar  desde data/bank\\.dat\n");
    GTEST_FLAG_SET(death_test_style, sStyle);
}

TEST_F(SoundLoadingTest, WithSoundOffNothingLoads)
{
    std::vector<stGroupSource> vGroups = complete_document();
    for (stGroupSource &tGroup : vGroups)
        for (std::string &sName : tGroup.vNames)
            sName = "NOT_IN_THE_BANK"; // a load attempted would end the program
    write_document(vGroups);
    init_sound_loading();
    bSoundError = -1;
    load_effects();
    EXPECT_EQ(loaded_sounds(), 0);
}

TEST_F(SoundLoadingTest, MissingArchivoEndsTheProgram)
{
    std::vector<stGroupSource> vGroups = complete_document();
    group(vGroups, "special")->sFile.clear();
    write_document(vGroups);
    EXPECT_EXIT(init_sound_loading(), ::testing::ExitedWithCode(255),
                "No se pudo leer archivo desde el XML\\.");
}

TEST_F(SoundLoadingTest, MissingDocumentEndsWithTheLoadMessage)
{
    EXPECT_EXIT(init_sound_loading(), ::testing::ExitedWithCode(255),
                "Error al cargar SONIDOS desde data/tx15\\.dat\n");
}

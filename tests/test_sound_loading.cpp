// The sound catalogue against a "SONIDOS" document and a sound bank packed at
// test time into a scratch game directory: what is loaded, and what happens
// when the document or a group's file is missing or a group names too few sounds.
#include "datafile_builder.h"
#include "headless.h"
#include "sound.h"
#include "sound_loading.h"

namespace db = datafile_builder;

namespace {
constexpr char BANK[] = "data/bank.dat";
constexpr int BANK_SOUNDS = 12;   // objects S0 ... S11
constexpr int SOUND_FRAMES = 441; // 10 ms each

// One group element of the document: its file, its "num_sounds" and the names
// written as sound0, sound1...
struct stGroupSource { std::string sFile; int iNumSounds; std::vector<std::string> vNames; };
typedef std::map<std::string, stGroupSource> Document; // by group element

std::vector<std::string> bank_names(int iCount)
{
    std::vector<std::string> v;
    for (int i = 0; i < iCount; i++)
        v.push_back("S" + std::to_string(i));
    return v;
}

// A document that names every sound the game loads.
Document complete_document()
{
    return {
        {"songs", {"data/music", NUM_SONGS, {"data/music/intro.ogg", "", "data/music/ending.ogg"}}},
        {"effects", {BANK, NUM_EFFECT_SOUNDS, bank_names(NUM_EFFECT_SOUNDS)}},
        {"menu", {BANK, NUM_MENU_SOUNDS, bank_names(NUM_MENU_SOUNDS)}},
        {"paddle", {BANK, NUM_PADDLE_SOUNDS, bank_names(NUM_PADDLE_SOUNDS)}},
        {"ball", {BANK, NUM_BALL_SOUNDS, bank_names(NUM_BALL_SOUNDS)}},
        {"special", {BANK, NUM_SPECIAL_SOUNDS, bank_names(NUM_SPECIAL_SOUNDS)}},
    };
}

std::string document_text(const Document &tDocument)
{
    std::string s = "<Sound>\n";
    for (const auto &[sElement, tGroup] : tDocument) {
        s += "  <" + sElement;
        if (!tGroup.sFile.empty())
            s += " archivo=\"" + tGroup.sFile + "\"";
        s += " num_sounds=\"" + std::to_string(tGroup.iNumSounds) + "\">\n    <sonidos";
        for (size_t i = 0; i < tGroup.vNames.size(); i++)
            s += " sound" + std::to_string(i) + "=\"" + tGroup.vNames[i] + "\"";
        s += "/>\n  </" + sElement + ">\n";
    }
    return s + "</Sound>\n";
}

int loaded_sounds()
{
    const std::pair<stMixSound **, int> atArrays[] = {
        {sndMenuSound, NUM_MENU_SOUNDS},   {sndPaddleSound, NUM_PADDLE_SOUNDS},   {sndBallSound, NUM_BALL_SOUNDS},
        {sndEffectsSound, NUM_EFFECT_SOUNDS}, {sndSpecialSound, NUM_SPECIAL_SOUNDS}};
    int iLoaded = 0;
    for (const auto &[psndSounds, iCount] : atArrays)
        iLoaded += static_cast<int>(std::count_if(psndSounds, psndSounds + iCount, [](stMixSound *p) { return p; }));
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
        db::Contents tBank;
        for (const std::string &sName : bank_names(BANK_SOUNDS))
            tBank.vRaw.push_back({sName, db::wav_bytes(SOUND_FRAMES)});
        ASSERT_TRUE(db::pack(BANK, tBank));
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        bSoundError = 0;
    }
    void TearDown() override
    {
        destroy_effects();
        exit_sound_libary();
        bSoundError = 0;
        HeadlessAllegro::TearDown();
    }
    void write_document(const Document &tDocument)
    {
        ASSERT_TRUE(db::pack("data/tx15.dat", {{{"SONIDOS", document_text(tDocument)}}, {}}));
    }
    void start_sound()
    {
        init_sound_library();
        ASSERT_EQ(bSoundError, 0);
    }
    const ScratchGame tGame{"tvx_sound_loading"};
};

// With sound on every effect loads and is released; with it off none is even
// tried (a load of a name not in the bank would end the program).
TEST_F(SoundLoadingTest, LoadsEveryEffectOnlyWithSoundOn)
{
    Document tDocument = complete_document();
    for (auto &[sElement, tGroup] : tDocument)
        tGroup.vNames.assign(tGroup.vNames.size(), "NOT_IN_THE_BANK");
    write_document(tDocument);
    init_sound_loading();
    bSoundError = -1;
    load_effects();
    EXPECT_EQ(loaded_sounds(), 0);
    bSoundError = 0;
    write_document(complete_document());
    start_sound();
    init_sound_loading();
    load_effects();
    EXPECT_EQ(loaded_sounds(), ALL_EFFECTS);
    destroy_effects();
    EXPECT_EQ(loaded_sounds(), 0);
}

// A missing document or file attribute ends the program, and so does a group
// with too few names: the number of loads comes from the enumerations, so the
// paddle's third sound is loaded from an empty name.
TEST_F(SoundLoadingTest, MissingDocumentArchivoOrNamesEndTheProgram)
{
    EXPECT_EXIT(init_sound_loading(), ::testing::ExitedWithCode(255),
                "Error al cargar SONIDOS desde data/tx15\\.dat\n");
    Document tDocument = complete_document();
    tDocument["special"].sFile.clear();
    write_document(tDocument);
    EXPECT_EXIT(init_sound_loading(), ::testing::ExitedWithCode(255),
                "Falta el atributo archivo en el documento SONIDOS \\(data/tx15\\.dat\\)");
    const std::string sStyle = GTEST_FLAG_GET(death_test_style);
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // the audio thread must not be forked
    tDocument = complete_document();
    tDocument["paddle"] = {BANK, 2, bank_names(2)};
    write_document(tDocument);
    start_sound();
    init_sound_loading();
    EXPECT_EXIT(load_effects(), ::testing::ExitedWithCode(255), "Error al cargar  desde data/bank\\.dat\n");
    GTEST_FLAG_SET(death_test_style, sStyle);
}

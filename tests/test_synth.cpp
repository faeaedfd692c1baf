// The synthesiser of our content tools: the pitch of what a recipe renders,
// note names, and the sources' error messages. (The build renders every
// shipped recipe and song.)
#include "support.h"
#include "../tools/synth.h"

namespace {

constexpr double RATE = synth::SAMPLE_RATE;
constexpr const char *RECIPE_NAME = "test.sfx";
constexpr const char *SCORE_NAME = "test.score";

synth::stBuffer render_recipe(const std::string &sText)
{
    synth::stSfx tSfx;
    synth::stBuffer tOut;
    std::string sError;
    EXPECT_TRUE(synth::parse_sfx(sText, RECIPE_NAME, tSfx, sError)) << sError;
    EXPECT_TRUE(synth::render_sfx(tSfx, tOut, sError)) << sError;
    return tOut;
}

// Upward zero crossings of v in [dFrom, dTo) seconds: the cycles played there.
int upward_crossings(const std::vector<float> &v, double dFrom, double dTo)
{
    int iCount = 0;
    size_t iEnd = std::min(v.size(), static_cast<size_t>(dTo * RATE));
    for (size_t i = static_cast<size_t>(dFrom * RATE) + 1; i < iEnd; i++)
        if (v[i - 1] < 0 && v[i] >= 0)
            iCount++;
    return iCount;
}

// Cycles counted in a window: every wave plays its frequency, an exponential
// sweep (200 Hz to 800 Hz over 1 s: f(t) = 200 * 4^t) passes through each
// frequency and then holds, and a repeated sweep (300 to 600 Hz every 200 ms
// from 100 ms on) starts over at its alignment.
TEST(SynthRecipe, WavesAndSweepsPlayTheirFrequencies)
{
    const std::string sSweep = "part\nwave sine\nfreq 200 800 1000\nlength 1500\nenv 1 0 1 5\n";
    const std::string sRepeat = "part\nwave sine\nfreq 300 600\nrepeat 200 100\nlength 700\nenv 1 0 1 5\n";
    struct Case { std::string sRecipe; double dFrom, dTo, dHz, dTolerance; };
    const Case atCases[] = {
        {"part\nwave sine\nfreq 441\nlength 1000\nenv 1 0 1 1\n", 0.1, 0.9, 441, 2.5},
        {"part\nwave square\nfreq 441\nlength 1000\nenv 1 0 1 1\n", 0.1, 0.9, 441, 2.5},
        {"part\nwave saw\nfreq 300\nlength 1000\nenv 1 0 1 1\n", 0.1, 0.9, 300, 2.5},
        {"part\nwave triangle\nfreq 1000\nlength 1000\nenv 1 0 1 1\n", 0.1, 0.9, 1000, 2.5},
        {sSweep, 0.05, 0.25, 200 * std::pow(4.0, 0.15), 7},  {sSweep, 0.4, 0.6, 400, 12},
        {sSweep, 0.8, 1.0, 200 * std::pow(4.0, 0.9), 21},    {sSweep, 1.1, 1.4, 800, 10},
        {sRepeat, 0.1, 0.14, 300 * std::pow(2.0, 0.1), 40},  {sRepeat, 0.26, 0.3, 300 * std::pow(2.0, 0.9), 40},
        {sRepeat, 0.5, 0.54, 300 * std::pow(2.0, 0.1), 40},  {sRepeat, 0.66, 0.7, 300 * std::pow(2.0, 0.9), 40}};
    for (const auto &tCase : atCases) {
        const double dHz = upward_crossings(render_recipe(tCase.sRecipe).avSamples[0], tCase.dFrom, tCase.dTo) /
                           (tCase.dTo - tCase.dFrom);
        EXPECT_NEAR(dHz, tCase.dHz, tCase.dTolerance)
            << tCase.sRecipe << " from " << tCase.dFrom << " s";
    }
}

// Equal temperament from A4 = 440 Hz; 0 marks a word that is no note name.
TEST(SynthNotes, NoteNamesGiveTheirFrequencies)
{
    const std::pair<const char *, double> atCases[] = {
        {"A4", 440.0}, {"C4", 261.63}, {"F#3", 185.0}, {"Bb2", 116.54}, {"A0", 27.5}, {"C8", 4186.01},
        {"", 0},       {"H4", 0},      {"a4", 0},      {"C#", 0},       {"Cb9", 0},   {"C44", 0}};
    for (const auto &[pszName, dWanted] : atCases) {
        double dFreq = 0;
        EXPECT_EQ(synth::note_freq(pszName, dFreq), dWanted > 0) << pszName;
        EXPECT_NEAR(dWanted > 0 ? dFreq : 0, dWanted, 0.01) << pszName;
    }
}

// Each message starts with the file and line it is about.
TEST(SynthErrors, MalformedSourceNamesFileAndLine)
{
    struct Case { bool bScore; const char *szText; int iLine; const char *szMessage; };
    const Case atCases[] = {
        {false, "part\nwave sine\nfreq abc\n", 3, "not a number"},
        {false, "part\nwave wobble\n", 2, "unknown wave"},
        {false, "seed 3\nbogus 1\n", 2, "unknown key 'bogus'"},
        {false, "# only a comment\n", 1, "no part"},
        {false, "part\nwave sine\nfreq 440\npart\nwave sine\n", 4, "needs 'freq'"},
        {false, "part\nfreq 440\n", 1, "no 'wave'"},
        {false, "part\nwave sine\nfreq 440\nchannels 2\n", 4, "before the first part"},
        {false, "part\nwave sine\nfreq 440 880\nrepeat 0\n", 4, "outside"},
        {false, "part\nwave sine\nfreq 440\nrepeat 100\n", 1, "needs a sweep"},
        {false, "part\nwave sine\nfreq 440\nenv 1 2 0.5\n", 4, "needs 4 value"},
        {false, "loop 300 710\npart\nwave sine\nfreq 440\nlength 500\n", 1, "ends after the effect"},
        {false, "loop 20 710\npart\nwave sine\nfreq 440\nlength 900\n", 1, "crossfade"},
        {false, "part\nwave sine\nfreq 440\nlength 19999\nstart 19999\n", 5, "longer than"},
        {true, "pattern p\nx: C4\nend\norder p\n", 2, "unknown instrument 'x'"},
        {true, "instrument a\nwave sine\nend\npattern p\na: - C4\nend\norder p\n", 5, "holds no note"},
        {true, "instrument a\nwave sine\nend\npattern p\na: C4 . H4\nend\norder p\n", 5, "not a step"},
        {true, "instrument d\nwave noise\nend\npattern p\nd: x C4\nend\norder p\n", 5, "plays x, X or o"},
        {true, "instrument a\nwave sine\nend\npattern p\na: C4+E4+G4+C5+E5+G5+C6\nend\n", 5, "chord"},
        {true, "instrument a\nwave sine\nend\ninstrument d\nwave noise\nend\npattern p\na: C4 . . . .\nd: x . .\nend\n",
         9, "does not repeat evenly"},
        {true, "instrument a\nwave sine\n", 2, "'end' is missing"},
        {true, "instrument a\nwave sine\nend\ninstrument a\n", 4, "defined twice"},
        {true, "order q\n", 1, "unknown pattern 'q'"},
        {true, "instrument a\nwave sine\nend\npattern p\na: C4\nend\n", 6, "no 'order'"},
        {true, "pattern p\nend\n", 2, "no steps"}};
    for (const auto &tCase : atCases) {
        std::string sError;
        synth::stSong tSong;
        synth::stSfx tSfx;
        EXPECT_FALSE(tCase.bScore ? synth::parse_song(tCase.szText, SCORE_NAME, tSong, sError)
                                  : synth::parse_sfx(tCase.szText, RECIPE_NAME, tSfx, sError))
            << tCase.szText;
        std::string sPrefix = std::string(tCase.bScore ? SCORE_NAME : RECIPE_NAME) + ":" + std::to_string(tCase.iLine) + ": ";
        EXPECT_EQ(sError.rfind(sPrefix, 0), 0u) << sError;
        EXPECT_NE(sError.find(tCase.szMessage), std::string::npos) << sError;
    }
}

}  // namespace

// The synthesiser of our content tools: lengths, pitch and envelope of what a
// recipe renders, the seamless loop sections and song wraps, the sources'
// error messages, and the sound document against the recipes it names.
#include "../tools/synth.h"
#include "stXMLParser.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

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

synth::stBuffer render_score(const std::string &sText)
{
    synth::stSong tSong;
    synth::stBuffer tOut;
    std::string sError;
    EXPECT_TRUE(synth::parse_song(sText, SCORE_NAME, tSong, sError)) << sError;
    EXPECT_TRUE(synth::render_song(tSong, tOut, sError)) << sError;
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

float window_peak(const std::vector<float> &v, double dFrom, double dTo)
{
    float fPeak = 0;
    size_t iEnd = std::min(v.size(), static_cast<size_t>(dTo * RATE));
    for (size_t i = static_cast<size_t>(dFrom * RATE); i < iEnd; i++)
        fPeak = std::max(fPeak, std::fabs(v[i]));
    return fPeak;
}

// The largest step between neighbouring frames in [iFrom, iTo).
float largest_step(const std::vector<float> &v, size_t iFrom, size_t iTo)
{
    float fStep = 0;
    for (size_t i = iFrom + 1; i < iTo; i++)
        fStep = std::max(fStep, std::fabs(v[i] - v[i - 1]));
    return fStep;
}

// Playing [iStart, iEnd) again and again: the frame after iEnd - 1 is iStart.
// It continues the section as smoothly as the section's own frames do, and
// the value and slope arriving at the wrap are those arriving at the start.
void expect_seamless_loop(const synth::stBuffer &tBuf, size_t iStart, size_t iEnd)
{
    int iSounding = 0;
    for (int c = 0; c < tBuf.iChannels; c++) {
        const std::vector<float> &v = tBuf.avSamples[c];
        float fStep = largest_step(v, iStart, iEnd);
        if (fStep == 0.0f)
            continue;  // a channel panned away
        iSounding++;
        float fTolerance = fStep * 0.02f;
        EXPECT_LE(std::fabs(v[iStart] - v[iEnd - 1]), fStep);
        EXPECT_NEAR(v[iEnd - 1], v[iStart - 1], 1e-6f);
        EXPECT_NEAR(v[iEnd - 1] - v[iEnd - 2], v[iStart - 1] - v[iStart - 2], fTolerance);
        if (iEnd < v.size()) {  // played once through, the section's end runs on just as smoothly
            EXPECT_NEAR(v[iEnd], v[iStart], 1e-6f);
            EXPECT_NEAR(v[iEnd + 1] - v[iEnd], v[iStart + 1] - v[iStart], fTolerance);
        }
    }
    EXPECT_GT(iSounding, 0) << "the section is silent";
}

struct DurationCase {
    const char *szRecipe;
    size_t iFrames;
};

class SynthDuration : public testing::TestWithParam<DurationCase> {};

TEST_P(SynthDuration, RecipeRendersItsLength)
{
    EXPECT_EQ(render_recipe(GetParam().szRecipe).frames(), GetParam().iFrames);
}

INSTANTIATE_TEST_SUITE_P(
    SynthRecipes, SynthDuration,
    testing::Values(
        // held 100 ms, released over 50 ms
        DurationCase{"part\nwave sine\nfreq 440\nlength 100\nenv 5 10 0.5 50\n", 6615},
        // a zero release still takes the 1 ms de-click ramp: 301 ms
        DurationCase{"part\nwave sine\nfreq 440\nstart 200\nlength 100\nenv 0 0 1 0\n", 13275},
        // the latest part ends the effect
        DurationCase{"part\nwave sine\nfreq 440\nlength 50\nenv 1 1 1 50\n"
                     "part\nwave noise\nstart 400\nlength 100\nenv 1 1 1 100\n",
                     26460},
        // an explicit length wins over the parts
        DurationCase{"length 500\npart\nwave square\nfreq 220\nlength 900\n", 22050},
        DurationCase{"length 500\npart\nwave square\nfreq 220\nlength 10\n", 22050}));

struct PitchCase {
    const char *szWave;
    double dFreq;
};

class SynthPitch : public testing::TestWithParam<PitchCase> {};

TEST_P(SynthPitch, EveryWavePlaysItsFrequency)
{
    std::string sRecipe = std::string("part\nwave ") + GetParam().szWave + "\nfreq " +
                          std::to_string(GetParam().dFreq) + "\nlength 1000\nenv 1 0 1 1\n";
    synth::stBuffer tOut = render_recipe(sRecipe);
    EXPECT_NEAR(upward_crossings(tOut.avSamples[0], 0.1, 0.9), GetParam().dFreq * 0.8, 2.0);
}

INSTANTIATE_TEST_SUITE_P(SynthWaves, SynthPitch,
                         testing::Values(PitchCase{"sine", 441}, PitchCase{"square", 441},
                                         PitchCase{"saw", 300}, PitchCase{"triangle", 1000},
                                         PitchCase{"square", 2500}));

TEST(SynthSweep, ExponentialSweepPassesThroughEachFrequency)
{
    // 200 Hz to 800 Hz over one second, then held: f(t) = 200 * 4^t.
    synth::stBuffer tOut = render_recipe("part\nwave sine\nfreq 200 800 1000\nlength 1500\nenv 1 0 1 5\n");
    for (double t : {0.15, 0.25, 0.5, 0.75, 0.9}) {
        double dExpected = 200.0 * std::pow(4.0, t);
        double dMeasured = upward_crossings(tOut.avSamples[0], t - 0.1, t + 0.1) / 0.2;
        EXPECT_NEAR(dMeasured, dExpected, dExpected * 0.03) << "at " << t << " s";
    }
    EXPECT_NEAR(upward_crossings(tOut.avSamples[0], 1.1, 1.4) / 0.3, 800.0, 10.0);
}

TEST(SynthSweep, RepeatedSweepStartsOverAtItsAlignment)
{
    // 300 Hz up to 600 Hz, starting over every 200 ms from 100 ms on.
    synth::stBuffer tOut =
        render_recipe("part\nwave sine\nfreq 300 600\nrepeat 200 100\nlength 700\nenv 1 0 1 5\n");
    for (double dCycle : {0.1, 0.3, 0.5}) {
        double dLow = upward_crossings(tOut.avSamples[0], dCycle, dCycle + 0.04) / 0.04;
        double dHigh = upward_crossings(tOut.avSamples[0], dCycle + 0.16, dCycle + 0.2) / 0.04;
        EXPECT_NEAR(dLow, 300.0 * std::pow(2.0, 0.1), 40.0) << "cycle at " << dCycle;
        EXPECT_NEAR(dHigh, 300.0 * std::pow(2.0, 0.9), 40.0) << "cycle at " << dCycle;
    }
}

TEST(SynthEnvelope, AttackPeaksThenDecaysToSustainThenReleases)
{
    // Attack 50 ms, decay 100 ms to half, held to 400 ms, released over 100 ms.
    synth::stBuffer tOut = render_recipe("peak 0.5\npart\nwave sine\nfreq 1000\nlength 400\nenv 50 100 0.5 100\n");
    const std::vector<float> &v = tOut.avSamples[0];
    float fTop = window_peak(v, 0.045, 0.055);
    EXPECT_NEAR(fTop, 0.5f, 0.005f);  // the loudest moment, normalised to the peak
    EXPECT_LT(window_peak(v, 0.010, 0.012), window_peak(v, 0.030, 0.032));
    EXPECT_NEAR(window_peak(v, 0.012, 0.013), fTop * 0.25f, 0.02f);  // a linear rise
    EXPECT_GT(window_peak(v, 0.080, 0.090), window_peak(v, 0.140, 0.150));
    EXPECT_NEAR(window_peak(v, 0.2, 0.39), fTop * 0.5f, 0.01f);
    EXPECT_LT(window_peak(v, 0.45, 0.46), fTop * 0.5f * 0.2f);
    EXPECT_LT(window_peak(v, 0.498, 0.5), 0.001f);
}

TEST(SynthEnvelope, SameSeedSameSoundOtherSeedOtherNoise)
{
    const std::string sNoise = "part\nwave noise\nlength 100\nfilter lowpass 3000\n";
    synth::stBuffer tA = render_recipe("seed 4\n" + sNoise), tB = render_recipe("seed 4\n" + sNoise);
    synth::stBuffer tC = render_recipe("seed 5\n" + sNoise);
    EXPECT_EQ(tA.avSamples[0], tB.avSamples[0]);
    EXPECT_NE(tA.avSamples[0], tC.avSamples[0]);
}

struct LoopCase {
    const char *szPath;
    int iStartMs, iEndMs;
};

class SynthLoop : public testing::TestWithParam<LoopCase> {};

// The item bar plays these sections over and over while it fills or empties.
TEST_P(SynthLoop, BarSectionLoopsWithoutAStep)
{
    std::string sText, sError;
    ASSERT_TRUE(synth::read_text(GetParam().szPath, sText, sError)) << sError;
    synth::stSfx tSfx;
    ASSERT_TRUE(synth::parse_sfx(sText, GetParam().szPath, tSfx, sError)) << sError;
    EXPECT_EQ(tSfx.iLoopStartMs, GetParam().iStartMs);
    EXPECT_EQ(tSfx.iLoopEndMs, GetParam().iEndMs);
    synth::stBuffer tOut;
    ASSERT_TRUE(synth::render_sfx(tSfx, tOut, sError)) << sError;
    // The frames the sound engine loops over: ms * 44100 / 1000.
    expect_seamless_loop(tOut, synth::ms_to_frames(GetParam().iStartMs), synth::ms_to_frames(GetParam().iEndMs));
}

INSTANTIATE_TEST_SUITE_P(SynthBar, SynthLoop,
                         testing::Values(LoopCase{"assets/tx13/BAR_FILLING.sfx", 300, 710},
                                         LoopCase{"assets/tx13/BAR_EMPTYING.sfx", 200, 450}));

TEST(SynthLoopProperty, AnyLoopSectionOfAnyRecipeIsSeamless)
{
    static const char *const aszWaves[] = {"sine", "square", "saw", "triangle", "noise"};
    std::mt19937 tRng(20261206);
    for (int iCase = 0; iCase < 60; iCase++) {
        int iFade = std::uniform_int_distribution<int>(5, 60)(tRng);
        int iStart = std::uniform_int_distribution<int>(iFade, 400)(tRng);
        int iEnd = iStart + std::uniform_int_distribution<int>(2 * iFade, 500)(tRng);
        std::string sRecipe = "channels " + std::to_string(iCase % 2 + 1) + "\nseed " + std::to_string(iCase) +
                              "\nloop " + std::to_string(iStart) + " " + std::to_string(iEnd) + "\ncrossfade " +
                              std::to_string(iFade) + "\n";
        for (int iPart = 0; iPart < 1 + iCase % 3; iPart++) {
            int iF0 = std::uniform_int_distribution<int>(60, 3000)(tRng);
            int iF1 = std::uniform_int_distribution<int>(60, 3000)(tRng);
            sRecipe += std::string("part\nwave ") + aszWaves[tRng() % 5] + "\nfreq " + std::to_string(iF0) + " " +
                       std::to_string(iF1) + "\nlength " + std::to_string(iEnd + 100) + "\nvibrato 7 0.5\npan " +
                       std::to_string(iPart - 1) + "\n";
        }
        SCOPED_TRACE(sRecipe);
        expect_seamless_loop(render_recipe(sRecipe), synth::ms_to_frames(iStart), synth::ms_to_frames(iEnd));
    }
}

// A smooth bass with a note in the last step whose release runs past the end.
constexpr const char *WRAP_SCORE =
    "tempo 120\nsteps 4\nquality 0.5\n"
    "instrument bass\nwave sine\nenv 5 50 0.8 400\nend\n"
    "instrument kick\nwave sine\nfreq 120 50 60\nenv 0 100 0 30\nend\n"
    "pattern p\nbass: A2 - - - C3 - . . E3 - - - - - - G2\nkick: . . . . x . . .\nend\n"
    "order p p\n";

TEST(SynthSong, ReleasePastTheEndSoundsAtTheStart)
{
    // One note, on the last of 16 steps; its 400 ms release runs past the end.
    synth::stBuffer tOut = render_score("tempo 120\nsteps 4\ninstrument bass\nwave sine\nenv 5 50 0.8 400\nend\n"
                                        "pattern p\nbass: . . . . . . . . . . . . . . . G2\nend\norder p\n");
    // 16 sixteenth notes at 120 beats a minute: 2 s.
    ASSERT_EQ(tOut.frames(), static_cast<size_t>(2 * RATE));
    for (int c = 0; c < 2; c++) {
        const std::vector<float> &v = tOut.avSamples[c];
        EXPECT_GT(window_peak(v, 0.0, 0.02), 0.3f);   // the release, laid onto the start
        EXPECT_LT(window_peak(v, 0.5, 1.8), 1e-6f);   // and nothing else
        EXPECT_LE(std::fabs(v.front() - v.back()), largest_step(v, 0, 512) * 1.5f);
    }
}

TEST(SynthSong, OggFileIsOneLoopLongAndItsEndJoinsItsStart)
{
    synth::stSong tSong;
    synth::stBuffer tOut;
    std::string sError;
    ASSERT_TRUE(synth::parse_song(WRAP_SCORE, SCORE_NAME, tSong, sError)) << sError;
    ASSERT_TRUE(synth::render_song(tSong, tOut, sError)) << sError;
    char szPath[] = "/tmp/tvx_song_XXXXXX";
    int iFd = mkstemp(szPath);
    ASSERT_GE(iFd, 0);
    close(iFd);
    ASSERT_TRUE(synth::write_sound(tOut, szPath, SF_FORMAT_OGG | SF_FORMAT_VORBIS, tSong.dQuality, sError)) << sError;

    SF_INFO tInfo = {};
    SNDFILE *ptFile = sf_open(szPath, SFM_READ, &tInfo);
    ASSERT_NE(ptFile, nullptr);
    EXPECT_EQ(tInfo.channels, 2);
    EXPECT_EQ(tInfo.samplerate, synth::SAMPLE_RATE);
    ASSERT_EQ(static_cast<size_t>(tInfo.frames), synth::song_frames(tSong));
    std::vector<float> vfAll(static_cast<size_t>(tInfo.frames) * 2);
    ASSERT_EQ(sf_readf_float(ptFile, vfAll.data(), tInfo.frames), tInfo.frames);
    sf_close(ptFile);
    std::remove(szPath);

    for (int c = 0; c < 2; c++) {
        std::vector<float> v;
        for (size_t i = c; i < vfAll.size(); i += 2)
            v.push_back(vfAll[i]);
        // Lossy, but the wrap is no bigger a step than the music's own next to it.
        float fLocal = std::max(largest_step(v, 0, 512), largest_step(v, v.size() - 512, v.size()));
        EXPECT_LE(std::fabs(v.front() - v.back()), fLocal * 1.5f) << "channel " << c;
        float fPeak = window_peak(v, 0, 4.0);
        EXPECT_GT(fPeak, 0.5f);
        EXPECT_LT(fPeak, 0.99f);
    }
}

TEST(SynthSong, GameSongsWrapWithoutAStep)
{
    for (const char *szPath : {"assets/music/intro.score", "assets/music/ending.score"}) {
        SCOPED_TRACE(szPath);
        std::string sText, sError;
        ASSERT_TRUE(synth::read_text(szPath, sText, sError)) << sError;
        synth::stSong tSong;
        ASSERT_TRUE(synth::parse_song(sText, szPath, tSong, sError)) << sError;
        synth::stBuffer tOut;
        ASSERT_TRUE(synth::render_song(tSong, tOut, sError)) << sError;
        double dSeconds = static_cast<double>(tOut.frames()) / RATE;
        EXPECT_GE(dSeconds, 30.0);
        EXPECT_LE(dSeconds, 60.0);
        for (int c = 0; c < 2; c++) {
            const std::vector<float> &v = tOut.avSamples[c];
            float fLocal = std::max(largest_step(v, 0, 256), largest_step(v, v.size() - 256, v.size()));
            EXPECT_LE(std::fabs(v.front() - v.back()), fLocal * 1.5f);
        }
    }
}

struct NoteCase {
    const char *szName;
    double dFreq;  // Hz, equal temperament from A4 = 440 Hz
};

class SynthNotes : public testing::TestWithParam<NoteCase> {};

TEST_P(SynthNotes, NoteNameGivesItsFrequency)
{
    double dFreq = 0;
    ASSERT_TRUE(synth::note_freq(GetParam().szName, dFreq));
    EXPECT_NEAR(dFreq, GetParam().dFreq, 0.01);
}

INSTANTIATE_TEST_SUITE_P(SynthScale, SynthNotes,
                         testing::Values(NoteCase{"A4", 440.0}, NoteCase{"C4", 261.63}, NoteCase{"F#3", 185.0},
                                         NoteCase{"Bb2", 116.54}, NoteCase{"A0", 27.5}, NoteCase{"C8", 4186.01},
                                         NoteCase{"E5", 659.26}));

TEST(SynthNotes, NotNoteNames)
{
    double dFreq = 0;
    for (const char *sz : {"", "A", "H4", "a4", "C#", "Cb9", "C44", "C-1", "x"})
        EXPECT_FALSE(synth::note_freq(sz, dFreq)) << sz;
}

TEST(SynthNotes, SharpsInAPatternLineAreNotComments)
{
    const std::vector<std::string> vsExpected = {"lead", "F#3", "-", "C#4+G#4"};
    EXPECT_EQ(synth::tokens("lead F#3 - C#4+G#4   # the hook, sharp"), vsExpected);
    EXPECT_TRUE(synth::tokens("#a whole comment").empty());
}

TEST(SynthNotes, ChordsAccentsHoldsAndRepeatsOfAPattern)
{
    synth::stSong tSong;
    std::string sError;
    ASSERT_TRUE(synth::parse_song("instrument a\nwave sine\nend\ninstrument k\nwave noise\nend\n"
                                  "pattern p\na: C4+E4+G4! - . A3 | - - . .\nk: X . o x\nend\norder p p\n",
                                  SCORE_NAME, tSong, sError))
        << sError;
    const synth::stPattern &tP = tSong.vPatterns[0];
    ASSERT_EQ(tP.iSteps, 8);
    const synth::stPatternLine &tNotes = tP.vLines[0];
    ASSERT_EQ(tNotes.vNotes.size(), 2u);
    EXPECT_EQ(tNotes.vNotes[0].vdFreqs.size(), 3u);
    EXPECT_EQ(tNotes.vNotes[0].dVelocity, synth::ACCENT_VELOCITY);
    EXPECT_EQ(tNotes.vNotes[0].iSteps, 2);
    EXPECT_EQ(tNotes.vNotes[1].iStep, 3);
    EXPECT_EQ(tNotes.vNotes[1].iSteps, 3);  // the bar line is no step
    const synth::stPatternLine &tDrums = tP.vLines[1];
    ASSERT_EQ(tDrums.iSteps, 4);  // repeated twice over the pattern
    ASSERT_EQ(tDrums.vNotes.size(), 3u);
    EXPECT_EQ(tDrums.vNotes[0].dVelocity, synth::DRUM_VELOCITY[1]);
    EXPECT_EQ(tDrums.vNotes[1].dVelocity, synth::DRUM_VELOCITY[2]);
    EXPECT_EQ(tSong.viOrder.size(), 2u);
    EXPECT_EQ(synth::song_frames(tSong), static_cast<size_t>(std::llround(16 * RATE * 60.0 / (120.0 * 4))));
}

struct ErrorCase {
    bool bScore;
    const char *szText;
    int iLine;
    const char *szMessage;
};

class SynthErrors : public testing::TestWithParam<ErrorCase> {};

TEST_P(SynthErrors, MalformedSourceNamesFileAndLine)
{
    const ErrorCase &tCase = GetParam();
    std::string sError;
    bool bParsed;
    if (tCase.bScore) {
        synth::stSong tSong;
        bParsed = synth::parse_song(tCase.szText, SCORE_NAME, tSong, sError);
    } else {
        synth::stSfx tSfx;
        bParsed = synth::parse_sfx(tCase.szText, RECIPE_NAME, tSfx, sError);
    }
    ASSERT_FALSE(bParsed);
    std::string sPrefix = std::string(tCase.bScore ? SCORE_NAME : RECIPE_NAME) + ":" + std::to_string(tCase.iLine) + ": ";
    EXPECT_EQ(sError.rfind(sPrefix, 0), 0u) << sError;
    EXPECT_NE(sError.find(tCase.szMessage), std::string::npos) << sError;
}

INSTANTIATE_TEST_SUITE_P(
    SynthSources, SynthErrors,
    testing::Values(
        ErrorCase{false, "part\nwave sine\nfreq abc\n", 3, "not a number"},
        ErrorCase{false, "part\nwave sine\nfreq 1e400\n", 3, "not a number"},
        ErrorCase{false, "part\nwave sine\nfreq nan\n", 3, "not a number"},
        ErrorCase{false, "part\nwave wobble\n", 2, "unknown wave"},
        ErrorCase{false, "seed 3\nbogus 1\n", 2, "unknown key 'bogus'"},
        ErrorCase{false, "# only a comment\n", 1, "no part"},
        ErrorCase{false, "part\nwave sine\nfreq 440\npart\nwave sine\n", 4, "needs 'freq'"},
        ErrorCase{false, "part\nfreq 440\n", 1, "no 'wave'"},
        ErrorCase{false, "part\nwave sine\nfreq 440\nchannels 2\n", 4, "before the first part"},
        ErrorCase{false, "part\nwave sine\nfreq 440 880\nrepeat 0\n", 4, "outside"},
        ErrorCase{false, "part\nwave sine\nfreq 440\nrepeat 100\n", 1, "needs a sweep"},
        ErrorCase{false, "part\nwave sine\nfreq 440\nenv 1 2 0.5\n", 4, "needs 4 value"},
        ErrorCase{false, "part\nwave sine\nfreq 440\nenv 1 2 1.5 3\n", 4, "outside"},
        ErrorCase{false, "part\nwave sine\nfreq 440\nduty 0.5 0.5\n", 4, "at most 1"},
        ErrorCase{false, "loop 300 710\npart\nwave sine\nfreq 440\nlength 500\n", 1, "ends after the effect"},
        ErrorCase{false, "loop 20 710\npart\nwave sine\nfreq 440\nlength 900\n", 1, "crossfade"},
        ErrorCase{false, "loop 300.5 710\n", 1, "whole milliseconds"},
        ErrorCase{false, "channels 3\n", 1, "outside"},
        ErrorCase{false, "part\nwave sine\nfreq 440\nlength 19999\nstart 19999\n", 5, "longer than"},
        ErrorCase{true, "pattern p\nx: C4\nend\norder p\n", 2, "unknown instrument 'x'"},
        ErrorCase{true, "instrument a\nwave sine\nend\npattern p\na: - C4\nend\norder p\n", 5, "holds no note"},
        ErrorCase{true, "instrument a\nwave sine\nend\npattern p\na: C4 . H4\nend\norder p\n", 5, "not a step"},
        ErrorCase{true, "instrument a\nwave sine\nend\npattern p\na: C4 x\nend\norder p\n", 5, "own freq"},
        ErrorCase{true, "instrument d\nwave noise\nend\npattern p\nd: x C4\nend\norder p\n", 5, "plays x, X or o"},
        ErrorCase{true, "instrument a\nwave sine\nend\npattern p\na: C4+E4+G4+C5+E5+G5+C6\nend\n", 5, "chord"},
        ErrorCase{true,
                  "instrument a\nwave sine\nend\ninstrument d\nwave noise\nend\n"
                  "pattern p\na: C4 . . . .\nd: x . .\nend\norder p\n",
                  9, "does not repeat evenly"},
        ErrorCase{true, "instrument a\nwave sine\n", 2, "'end' is missing"},
        ErrorCase{true, "instrument a\nfreq 100\nend\n", 1, "no 'wave'"},
        ErrorCase{true, "instrument a\nwave sine\nend\ninstrument a\n", 4, "defined twice"},
        ErrorCase{true, "order q\n", 1, "unknown pattern 'q'"},
        ErrorCase{true, "tempo 1000\n", 1, "outside"},
        ErrorCase{true, "instrument a\nwave sine\nend\npattern p\na: C4\nend\n", 6, "no 'order'"},
        ErrorCase{true, "pattern p\nend\n", 2, "no steps"}));

TEST(SynthErrorsProperty, MangledSourcesNeverCrashAndAlwaysSayWhere)
{
    const std::string sBase = "channels 2\nseed 9\nloop 100 300\ncrossfade 20\n"
                              "part\nwave saw\nfreq 200 900\nrepeat 200 100\nlength 400\nenv 5 40 0.6 50\n"
                              "filter lowpass 800 4000 2\nvibrato 6 0.3\nfm 1.5 2 0.5\narp 30 0 7 12\n"
                              "part\nwave noise\nfreq 900 100\nstart 50\nlength 100\ndrive 3\ntremolo 9 0.5\n";
    static const char *const aszPieces[] = {" ", "\n", "0", "-", "9999", "part", "loop", "#", ".", "1e9", "x",
                                            "wave", "freq", "env", "0.0001", "filter", "arp"};
    std::mt19937 tRng(5);
    int iParsed = 0;
    for (int iCase = 0; iCase < 400; iCase++) {
        std::string sText = sBase;
        for (int iEdit = 0; iEdit < 1 + iCase % 3; iEdit++) {
            size_t iPos = tRng() % sText.size();
            if (tRng() % 2)
                sText.erase(iPos, 1 + tRng() % 3);
            else
                sText.insert(iPos, aszPieces[tRng() % std::size(aszPieces)]);
        }
        synth::stSfx tSfx;
        std::string sError;
        if (!synth::parse_sfx(sText, RECIPE_NAME, tSfx, sError)) {
            int iLine = -1;
            ASSERT_EQ(std::sscanf(sError.c_str(), "test.sfx:%d: ", &iLine), 1) << sError;
            EXPECT_GE(iLine, 1) << sError;
            EXPECT_LE(iLine, static_cast<int>(std::count(sText.begin(), sText.end(), '\n')) + 1) << sError;
            continue;
        }
        iParsed++;
        if (synth::sfx_frames(tSfx) > 2 * RATE)
            continue;  // long renders add nothing the short ones do not check
        synth::stBuffer tOut;
        if (!synth::render_sfx(tSfx, tOut, sError))
            continue;
        for (int c = 0; c < tOut.iChannels; c++)
            for (float f : tOut.avSamples[c])
                ASSERT_TRUE(std::isfinite(f) && std::fabs(f) <= tSfx.dPeak + 1e-6) << sText;
    }
    EXPECT_GT(iParsed, 20);  // the mangling leaves some recipes whole
}

// The sound document names, per group, the bank datafile and its objects; each
// object is the recipe of the same name in that bank's source directory.
struct GroupCase {
    const char *szGroup;
    int iSounds;  // entries the game loads for the group
};

TEST(SynthCatalogue, EverySoundTheDocumentNamesHasARecipeThatRenders)
{
    static const GroupCase atGroups[] = {{"effects", 8}, {"menu", 4}, {"paddle", 3}, {"ball", 2}, {"special", 3}};
    stXMLParser *ptXml = xmlparser_create();
    ASSERT_EQ(xmlparser_loadFile(ptXml, "assets/tx15/SONIDOS.xml"), 0);
    xmlparser_parserFile(ptXml);
    int iNamed = 0;
    for (const GroupCase &tGroup : atGroups) {
        SCOPED_TRACE(tGroup.szGroup);
        xmlparser_gotoRoot(ptXml);
        ASSERT_EQ(xmlparser_findElement(ptXml, "Sound"), 1);
        ASSERT_EQ(xmlparser_findElement(ptXml, tGroup.szGroup), 1);
        std::string sFile = xmlparser_getAttributeVal_asString(ptXml, "archivo");
        EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptXml, "num_sounds"), tGroup.iSounds);
        ASSERT_EQ(sFile.rfind("data/", 0), 0u);
        ASSERT_EQ(sFile.size(), std::string("data/txNN.dat").size());
        std::string sDir = "assets/" + sFile.substr(5, 4) + "/";
        ASSERT_EQ(xmlparser_findElement(ptXml, "sonidos"), 1);
        for (int i = 0; i < tGroup.iSounds; i++) {
            std::string sAttr = "sound" + std::to_string(i);
            ASSERT_EQ(xmlparser_findAttribute(ptXml, sAttr.c_str()), 1) << sAttr;
            std::string sPath = sDir + xmlparser_getAttributeVal_asString(ptXml, sAttr.c_str()) + ".sfx";
            std::string sText, sError;
            ASSERT_TRUE(synth::read_text(sPath, sText, sError)) << sError;
            synth::stSfx tSfx;
            synth::stBuffer tOut;
            ASSERT_TRUE(synth::parse_sfx(sText, sPath, tSfx, sError)) << sError;
            ASSERT_TRUE(synth::render_sfx(tSfx, tOut, sError)) << sPath << ": " << sError;
            EXPECT_LT(window_peak(tOut.avSamples[0], 0, 60.0), 0.99f) << sPath;
            iNamed++;
        }
    }
    // The songs are files on disk; index 1 has no song.
    xmlparser_gotoRoot(ptXml);
    ASSERT_EQ(xmlparser_findElement(ptXml, "Sound"), 1);
    ASSERT_EQ(xmlparser_findElement(ptXml, "songs"), 1);
    EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptXml, "num_sounds"), 3);
    ASSERT_EQ(xmlparser_findElement(ptXml, "sonidos"), 1);
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptXml, "sound0"), "data/music/intro.ogg");
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptXml, "sound1"), "");
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptXml, "sound2"), "data/music/ending.ogg");
    xmlparser_destroy(ptXml);
    EXPECT_EQ(iNamed, 20);
}

}  // namespace

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

std::string read_asset(const std::string &sPath)
{
    std::string sText, sError;
    EXPECT_TRUE(synth::read_text(sPath, sText, sError)) << sError;
    return sText;
}

synth::stBuffer render_recipe(const std::string &sText, const std::string &sName = RECIPE_NAME,
                              synth::stSfx *ptSfx = nullptr)
{
    synth::stSfx tSfx;
    synth::stBuffer tOut;
    std::string sError;
    EXPECT_TRUE(synth::parse_sfx(sText, sName, tSfx, sError)) << sError;
    EXPECT_TRUE(synth::render_sfx(tSfx, tOut, sError)) << sName << ": " << sError;
    if (ptSfx)
        *ptSfx = tSfx;
    return tOut;
}

synth::stBuffer render_score(const std::string &sText, const std::string &sName = SCORE_NAME,
                             synth::stSong *ptSong = nullptr)
{
    synth::stSong tSong;
    synth::stBuffer tOut;
    std::string sError;
    EXPECT_TRUE(synth::parse_song(sText, sName, tSong, sError)) << sError;
    EXPECT_TRUE(synth::render_song(tSong, tOut, sError)) << sError;
    if (ptSong)
        *ptSong = tSong;
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

// A song played over and over: the step from its last frame to its first is
// no bigger than the music's own steps next to it.
void expect_wraps(const std::vector<float> &v, size_t iWindow)
{
    float fLocal = std::max(largest_step(v, 0, iWindow), largest_step(v, v.size() - iWindow, v.size()));
    EXPECT_LE(std::fabs(v.front() - v.back()), fLocal * 1.5f);
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

TEST(SynthRecipe, RendersItsLength)
{
    const struct {
        const char *szRecipe;
        size_t iFrames;
    } atCases[] = {
        // held 100 ms, released over 50 ms
        {"part\nwave sine\nfreq 440\nlength 100\nenv 5 10 0.5 50\n", 6615},
        // a zero release still takes the 1 ms de-click ramp: 301 ms
        {"part\nwave sine\nfreq 440\nstart 200\nlength 100\nenv 0 0 1 0\n", 13275},
        // the latest part ends the effect
        {"part\nwave sine\nfreq 440\nlength 50\nenv 1 1 1 50\npart\nwave noise\nstart 400\nlength 100\nenv 1 1 1 100\n",
         26460},
        // an explicit length wins over the parts
        {"length 500\npart\nwave square\nfreq 220\nlength 900\n", 22050},
        {"length 500\npart\nwave square\nfreq 220\nlength 10\n", 22050}};
    for (const auto &tCase : atCases)
        EXPECT_EQ(render_recipe(tCase.szRecipe).frames(), tCase.iFrames) << tCase.szRecipe;
}

TEST(SynthRecipe, EveryWavePlaysItsFrequency)
{
    const struct {
        const char *szWave;
        double dFreq;
    } atCases[] = {{"sine", 441}, {"square", 441}, {"saw", 300}, {"triangle", 1000}, {"square", 2500}};
    for (const auto &tCase : atCases) {
        synth::stBuffer tOut = render_recipe(std::string("part\nwave ") + tCase.szWave + "\nfreq " +
                                             std::to_string(tCase.dFreq) + "\nlength 1000\nenv 1 0 1 1\n");
        EXPECT_NEAR(upward_crossings(tOut.avSamples[0], 0.1, 0.9), tCase.dFreq * 0.8, 2.0) << tCase.szWave;
    }
}

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
    std::vector<float> vA = render_recipe("seed 4\n" + sNoise).avSamples[0];
    EXPECT_EQ(render_recipe("seed 4\n" + sNoise).avSamples[0], vA);
    EXPECT_NE(render_recipe("seed 5\n" + sNoise).avSamples[0], vA);
}

// The item bar plays these sections over and over while it fills or empties,
// on the frames the sound engine loops over (ms * 44100 / 1000).
TEST(SynthLoop, BarSectionsLoopWithoutAStep)
{
    const struct {
        const char *szPath;
        int iStartMs, iEndMs;
    } atBars[] = {{"assets/tx13/BAR_FILLING.sfx", 300, 710}, {"assets/tx13/BAR_EMPTYING.sfx", 200, 450}};
    for (const auto &tBar : atBars) {
        SCOPED_TRACE(tBar.szPath);
        synth::stSfx tSfx;
        synth::stBuffer tOut = render_recipe(read_asset(tBar.szPath), tBar.szPath, &tSfx);
        EXPECT_EQ(tSfx.iLoopStartMs, tBar.iStartMs);
        EXPECT_EQ(tSfx.iLoopEndMs, tBar.iEndMs);
        expect_seamless_loop(tOut, synth::ms_to_frames(tBar.iStartMs), synth::ms_to_frames(tBar.iEndMs));
    }
}

TEST(SynthLoop, AnyLoopSectionOfAnyRecipeIsSeamless)
{
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
            sRecipe += std::string("part\nwave ") + synth::WAVE_NAMES[tRng() % synth::NUM_WAVES] + "\nfreq " +
                       std::to_string(iF0) + " " + std::to_string(iF1) + "\nlength " + std::to_string(iEnd + 100) +
                       "\nvibrato 7 0.5\npan " + std::to_string(iPart - 1) + "\n";
        }
        SCOPED_TRACE(sRecipe);
        expect_seamless_loop(render_recipe(sRecipe), synth::ms_to_frames(iStart), synth::ms_to_frames(iEnd));
    }
}

// One note on the last of 16 steps: its 400 ms release runs past the end, so it
// sounds at the start, and the Ogg file of the song is one loop that joins.
TEST(SynthSong, ReleasePastTheEndSoundsAtTheStartOfTheOggLoop)
{
    synth::stSong tSong;
    synth::stBuffer tOut = render_score("tempo 120\nsteps 4\nquality 0.5\ninstrument bass\nwave sine\n"
                                        "env 5 50 0.8 400\nend\npattern p\nbass: . . . . . . . . . . . . . . . G2\n"
                                        "end\norder p\n",
                                        SCORE_NAME, &tSong);
    // 16 sixteenth notes at 120 beats a minute: 2 s.
    ASSERT_EQ(tOut.frames(), static_cast<size_t>(2 * RATE));
    for (const std::vector<float> &v : tOut.avSamples) {
        EXPECT_GT(window_peak(v, 0.0, 0.02), 0.3f);  // the release, laid onto the start
        EXPECT_LT(window_peak(v, 0.5, 1.8), 1e-6f);  // and nothing else
        expect_wraps(v, 512);
    }
    char szPath[] = "/tmp/tvx_song_XXXXXX";
    int iFd = mkstemp(szPath);
    ASSERT_GE(iFd, 0);
    close(iFd);
    std::string sError;
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
    for (size_t c = 0; c < 2; c++) {
        std::vector<float> v;
        for (size_t i = c; i < vfAll.size(); i += 2)
            v.push_back(vfAll[i]);
        expect_wraps(v, 512);  // lossy, but the wrap still joins
        float fPeak = window_peak(v, 0, 4.0);
        EXPECT_GT(fPeak, 0.5f);  // normalised to the peak, and not clipped
        EXPECT_LT(fPeak, 0.99f);
    }
}

TEST(SynthSong, GameSongsWrapWithoutAStep)
{
    for (const char *szPath : {"assets/music/intro.score", "assets/music/ending.score"}) {
        SCOPED_TRACE(szPath);
        synth::stBuffer tOut = render_score(read_asset(szPath), szPath);
        double dSeconds = static_cast<double>(tOut.frames()) / RATE;
        EXPECT_GE(dSeconds, 30.0);
        EXPECT_LE(dSeconds, 60.0);
        for (const std::vector<float> &v : tOut.avSamples)
            expect_wraps(v, 256);
    }
}

// Equal temperament from A4 = 440 Hz; 0 marks a word that is no note name.
TEST(SynthNotes, NoteNamesGiveTheirFrequencies)
{
    const struct {
        const char *szName;
        double dFreq;
    } atCases[] = {{"A4", 440.0}, {"C4", 261.63}, {"F#3", 185.0}, {"Bb2", 116.54}, {"A0", 27.5}, {"C8", 4186.01},
                   {"E5", 659.26}, {"", 0},      {"A", 0},      {"H4", 0},      {"a4", 0},   {"C#", 0},
                   {"Cb9", 0},     {"C44", 0},   {"C-1", 0},    {"x", 0}};
    for (const auto &tCase : atCases) {
        double dFreq = 0;
        EXPECT_EQ(synth::note_freq(tCase.szName, dFreq), tCase.dFreq > 0) << tCase.szName;
        if (tCase.dFreq > 0) {
            EXPECT_NEAR(dFreq, tCase.dFreq, 0.01) << tCase.szName;
        }
    }
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

// Each message starts with the file and line it is about.
TEST(SynthErrors, MalformedSourceNamesFileAndLine)
{
    const struct {
        bool bScore;
        const char *szText;
        int iLine;
        const char *szMessage;
    } atCases[] = {
        {false, "part\nwave sine\nfreq abc\n", 3, "not a number"},
        {false, "part\nwave sine\nfreq 1e400\n", 3, "not a number"},
        {false, "part\nwave sine\nfreq nan\n", 3, "not a number"},
        {false, "part\nwave wobble\n", 2, "unknown wave"},
        {false, "seed 3\nbogus 1\n", 2, "unknown key 'bogus'"},
        {false, "# only a comment\n", 1, "no part"},
        {false, "part\nwave sine\nfreq 440\npart\nwave sine\n", 4, "needs 'freq'"},
        {false, "part\nfreq 440\n", 1, "no 'wave'"},
        {false, "part\nwave sine\nfreq 440\nchannels 2\n", 4, "before the first part"},
        {false, "part\nwave sine\nfreq 440 880\nrepeat 0\n", 4, "outside"},
        {false, "part\nwave sine\nfreq 440\nrepeat 100\n", 1, "needs a sweep"},
        {false, "part\nwave sine\nfreq 440\nenv 1 2 0.5\n", 4, "needs 4 value"},
        {false, "part\nwave sine\nfreq 440\nenv 1 2 1.5 3\n", 4, "outside"},
        {false, "part\nwave sine\nfreq 440\nduty 0.5 0.5\n", 4, "at most 1"},
        {false, "loop 300 710\npart\nwave sine\nfreq 440\nlength 500\n", 1, "ends after the effect"},
        {false, "loop 20 710\npart\nwave sine\nfreq 440\nlength 900\n", 1, "crossfade"},
        {false, "loop 300.5 710\n", 1, "whole milliseconds"},
        {false, "channels 3\n", 1, "outside"},
        {false, "part\nwave sine\nfreq 440\nlength 19999\nstart 19999\n", 5, "longer than"},
        {true, "pattern p\nx: C4\nend\norder p\n", 2, "unknown instrument 'x'"},
        {true, "instrument a\nwave sine\nend\npattern p\na: - C4\nend\norder p\n", 5, "holds no note"},
        {true, "instrument a\nwave sine\nend\npattern p\na: C4 . H4\nend\norder p\n", 5, "not a step"},
        {true, "instrument a\nwave sine\nend\npattern p\na: C4 x\nend\norder p\n", 5, "own freq"},
        {true, "instrument d\nwave noise\nend\npattern p\nd: x C4\nend\norder p\n", 5, "plays x, X or o"},
        {true, "instrument a\nwave sine\nend\npattern p\na: C4+E4+G4+C5+E5+G5+C6\nend\n", 5, "chord"},
        {true, "instrument a\nwave sine\nend\ninstrument d\nwave noise\nend\npattern p\na: C4 . . . .\nd: x . .\nend\n"
               "order p\n",
         9, "does not repeat evenly"},
        {true, "instrument a\nwave sine\n", 2, "'end' is missing"},
        {true, "instrument a\nfreq 100\nend\n", 1, "no 'wave'"},
        {true, "instrument a\nwave sine\nend\ninstrument a\n", 4, "defined twice"},
        {true, "order q\n", 1, "unknown pattern 'q'"},
        {true, "tempo 1000\n", 1, "outside"},
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

TEST(SynthErrors, MangledSourcesNeverCrashAndAlwaysSayWhere)
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
TEST(SynthCatalogue, EverySoundTheDocumentNamesHasARecipeThatRenders)
{
    const struct {
        const char *szGroup;
        int iSounds;  // entries the game loads for the group
    } atGroups[] = {{"effects", 8}, {"menu", 4}, {"paddle", 3}, {"ball", 2}, {"special", 3}};
    stXMLParser *ptXml = xmlparser_create();
    ASSERT_EQ(xmlparser_loadFile(ptXml, "assets/tx15/SONIDOS.xml"), 0);
    xmlparser_parserFile(ptXml);
    auto find_group = [ptXml](const char *szGroup) {
        xmlparser_gotoRoot(ptXml);
        return xmlparser_findElement(ptXml, "Sound") == 1 && xmlparser_findElement(ptXml, szGroup) == 1;
    };
    int iNamed = 0;
    for (const auto &tGroup : atGroups) {
        SCOPED_TRACE(tGroup.szGroup);
        ASSERT_TRUE(find_group(tGroup.szGroup));
        std::string sFile = xmlparser_getAttributeVal_asString(ptXml, "archivo");
        EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptXml, "num_sounds"), tGroup.iSounds);
        ASSERT_EQ(sFile.rfind("data/", 0), 0u);
        ASSERT_EQ(sFile.size(), std::string("data/txNN.dat").size());
        ASSERT_EQ(xmlparser_findElement(ptXml, "sonidos"), 1);
        for (int i = 0; i < tGroup.iSounds; i++) {
            std::string sAttr = "sound" + std::to_string(i);
            ASSERT_EQ(xmlparser_findAttribute(ptXml, sAttr.c_str()), 1) << sAttr;
            std::string sPath = "assets/" + sFile.substr(5, 4) + "/" +
                                xmlparser_getAttributeVal_asString(ptXml, sAttr.c_str()) + ".sfx";
            EXPECT_LT(window_peak(render_recipe(read_asset(sPath), sPath).avSamples[0], 0, 60.0), 0.99f) << sPath;
            iNamed++;
        }
    }
    // The songs are files on disk; index 1 has no song.
    ASSERT_TRUE(find_group("songs"));
    EXPECT_EQ(xmlparser_getAttributeVal_asInteger(ptXml, "num_sounds"), 3);
    ASSERT_EQ(xmlparser_findElement(ptXml, "sonidos"), 1);
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptXml, "sound0"), "data/music/intro.ogg");
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptXml, "sound1"), "");
    EXPECT_STREQ(xmlparser_getAttributeVal_asString(ptXml, "sound2"), "data/music/ending.ogg");
    xmlparser_destroy(ptXml);
    EXPECT_EQ(iNamed, 20);
}

}  // namespace

// The synthesiser of our content tools: lengths, pitch and envelope of what a
// recipe renders, the seamless loop sections and song wraps, and the sources'
// error messages. (The build renders every shipped recipe and song.)
#include "support.h"
#include "../tools/synth.h"

#include <sndfile.h>

#include <unistd.h>

namespace {

constexpr double RATE = synth::SAMPLE_RATE;
constexpr const char *RECIPE_NAME = "test.sfx";
constexpr const char *SCORE_NAME = "test.score";

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

TEST(SynthRecipe, RendersItsLength)
{
    const std::pair<const char *, size_t> atCases[] = {
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
    for (const auto &[pszRecipe, iFrames] : atCases)
        EXPECT_EQ(render_recipe(pszRecipe).frames(), iFrames) << pszRecipe;
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
// sounds at the start, and the Ogg file of the song is one loop that joins,
// normalised to the peak and not clipped.
TEST(SynthSong, ReleasePastTheEndSoundsAtTheStartOfTheOggLoop)
{
    synth::stSong tSong;
    synth::stBuffer tOut;
    std::string sError;
    ASSERT_TRUE(synth::parse_song("tempo 120\nsteps 4\nquality 0.5\ninstrument bass\nwave sine\nenv 5 50 0.8 400\nend\n"
                                  "pattern p\nbass: . . . . . . . . . . . . . . . G2\nend\norder p\n",
                                  SCORE_NAME, tSong, sError))
        << sError;
    ASSERT_TRUE(synth::render_song(tSong, tOut, sError)) << sError;
    ASSERT_EQ(tOut.frames(), static_cast<size_t>(2 * RATE));  // 16 sixteenths at 120 beats a minute
    for (const std::vector<float> &v : tOut.avSamples) {
        EXPECT_GT(window_peak(v, 0.0, 0.02), 0.3f);  // the release, laid onto the start
        EXPECT_LT(window_peak(v, 0.5, 1.8), 1e-6f);  // and nothing else
    }
    const std::string sPath = ::testing::TempDir() + "tvx_song_" + std::to_string(getpid()) + ".ogg";
    ASSERT_TRUE(synth::write_sound(tOut, sPath, SF_FORMAT_OGG | SF_FORMAT_VORBIS, tSong.dQuality, sError)) << sError;
    SF_INFO tInfo = {};
    SNDFILE *ptFile = sf_open(sPath.c_str(), SFM_READ, &tInfo);
    ASSERT_NE(ptFile, nullptr);
    ASSERT_EQ(tInfo.channels, 2);
    EXPECT_EQ(tInfo.samplerate, synth::SAMPLE_RATE);
    ASSERT_EQ(static_cast<size_t>(tInfo.frames), synth::song_frames(tSong));
    std::vector<float> vfAll(static_cast<size_t>(tInfo.frames) * 2);
    ASSERT_EQ(sf_readf_float(ptFile, vfAll.data(), tInfo.frames), tInfo.frames);
    sf_close(ptFile);
    std::remove(sPath.c_str());
    for (size_t c = 0; c < 2; c++) {
        std::vector<float> v;
        for (size_t i = c; i < vfAll.size(); i += 2)
            v.push_back(vfAll[i]);
        // Lossy, but the wrap from the last frame to the first is no bigger
        // step than the music's own next to it.
        const float fLocal = std::max(largest_step(v, 0, 512), largest_step(v, v.size() - 512, v.size()));
        EXPECT_LE(std::fabs(v.front() - v.back()), fLocal * 1.5f);
        EXPECT_GT(window_peak(v, 0, 4.0), 0.5f);
        EXPECT_LT(window_peak(v, 0, 4.0), 0.99f);
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

// A chord with an accent held over a rest, a sharp (no comment) held across
// a bar line, and a drum line repeated over the pattern.
TEST(SynthNotes, ChordsAccentsHoldsAndRepeatsOfAPattern)
{
    synth::stSong tSong;
    std::string sError;
    ASSERT_TRUE(synth::parse_song("instrument a\nwave sine\nend\ninstrument k\nwave noise\nend\n"
                                  "pattern p\na: C4+E4+G4! - . F#3 | - - . .  # the hook\nk: X . o x\nend\norder p p\n",
                                  SCORE_NAME, tSong, sError))
        << sError;
    const synth::stPattern &tP = tSong.vPatterns[0];
    ASSERT_EQ(tP.iSteps, 8);
    const std::vector<synth::stPatternNote> &vNotes = tP.vLines[0].vNotes;
    ASSERT_EQ(vNotes.size(), 2u);
    EXPECT_EQ(vNotes[0].vdFreqs.size(), 3u);
    EXPECT_EQ(vNotes[0].dVelocity, synth::ACCENT_VELOCITY);
    EXPECT_EQ(vNotes[0].iSteps, 2);
    EXPECT_EQ(vNotes[1].iStep, 3);
    EXPECT_EQ(vNotes[1].iSteps, 3);
    EXPECT_NEAR(vNotes[1].vdFreqs.at(0), 185.0, 0.01);
    const synth::stPatternLine &tDrums = tP.vLines[1];
    EXPECT_EQ(tDrums.iSteps, 4);
    ASSERT_EQ(tDrums.vNotes.size(), 3u);
    EXPECT_EQ(tDrums.vNotes[0].dVelocity, synth::DRUM_VELOCITY[1]);
    EXPECT_EQ(tDrums.vNotes[1].dVelocity, synth::DRUM_VELOCITY[2]);
    EXPECT_EQ(synth::song_frames(tSong), static_cast<size_t>(std::llround(16 * RATE * 60.0 / (120.0 * 4))));
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

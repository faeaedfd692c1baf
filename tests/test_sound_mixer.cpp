// The mixer back end: what reaches the output (through SDL's disk driver, which
// writes every mixed frame to a file) and the mixing rules on direct renders.
#include "sound_mixer.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int RATE = MIX_OUTPUT_RATE;
constexpr int WAIT_LIMIT_MS = 20000;       // longest a test waits for a sound to end
constexpr int DISK_DELAY_MS = 4;           // disk driver pause per buffer: about 5 times real time
constexpr size_t MIN_GAP_FRAMES = 32;      // silent frames that separate two sounds in the output
constexpr int RAMP_BASE = 1000;            // the ramp signal never reaches zero
constexpr int RAMP_PERIOD = 20000;         // frames before the ramp starts over
constexpr int WAV_PCM16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int OGG_VORBIS = SF_FORMAT_OGG | SF_FORMAT_VORBIS;

// A mono signal that names its frames: 1000 + i mod 20000, never silent.
std::vector<int16_t> ramp(int iFrames)
{
    std::vector<int16_t> aiSamples(iFrames);
    for (int i = 0; i < iFrames; i++)
        aiSamples[i] = static_cast<int16_t>(RAMP_BASE + i % RAMP_PERIOD);
    return aiSamples;
}

// Two sines, one per side, for the lossy Ogg tests.
std::vector<int16_t> stereo_tones(int iFrames)
{
    std::vector<int16_t> aiSamples(iFrames * 2);
    for (int i = 0; i < iFrames; i++) {
        aiSamples[2 * i] = static_cast<int16_t>(12000 * sin(2 * M_PI * 440 * i / RATE));
        aiSamples[2 * i + 1] = static_cast<int16_t>(9000 * sin(2 * M_PI * 660 * i / RATE));
    }
    return aiSamples;
}

void write_sound_file(const std::string &sPath, const std::vector<int16_t> &aiSamples, int iChannels,
                      int iRate, int iFormat)
{
    SF_INFO tInfo = {};
    tInfo.samplerate = iRate;
    tInfo.channels = iChannels;
    tInfo.format = iFormat;
    SNDFILE *ptFile = sf_open(sPath.c_str(), SFM_WRITE, &tInfo);
    ASSERT_NE(ptFile, nullptr) << sf_strerror(nullptr);
    if (iFormat == OGG_VORBIS) {
        double dQuality = 0.6;
        sf_command(ptFile, SFC_SET_VBR_ENCODING_QUALITY, &dQuality, sizeof(dQuality));
    }
    sf_writef_short(ptFile, aiSamples.data(), static_cast<sf_count_t>(aiSamples.size() / iChannels));
    sf_close(ptFile);
}

// The whole file decoded as the mixer decodes it.
std::vector<int16_t> decode_file(const std::string &sPath)
{
    SF_INFO tInfo = {};
    SNDFILE *ptFile = sf_open(sPath.c_str(), SFM_READ, &tInfo);
    EXPECT_NE(ptFile, nullptr);
    if (!ptFile)
        return {};
    sf_command(ptFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::vector<int16_t> aiSamples(static_cast<size_t>(tInfo.frames * tInfo.channels));
    sf_readf_short(ptFile, aiSamples.data(), tInfo.frames);
    sf_close(ptFile);
    return aiSamples;
}

std::vector<uint8_t> read_bytes(const std::string &sPath)
{
    std::ifstream tFile(sPath, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(tFile), std::istreambuf_iterator<char>());
}

std::vector<int16_t> read_raw_output(const std::string &sPath)
{
    std::vector<uint8_t> aBytes = read_bytes(sPath);
    std::vector<int16_t> aiSamples(aBytes.size() / sizeof(int16_t));
    memcpy(aiSamples.data(), aBytes.data(), aiSamples.size() * sizeof(int16_t));
    return aiSamples;
}

bool frame_silent(const std::vector<int16_t> &aiOut, size_t iFrame)
{
    return aiOut[2 * iFrame] == 0 && aiOut[2 * iFrame + 1] == 0;
}

struct stSegment {
    size_t iStart;  // first sounding frame
    size_t iEnd;    // one past the last
};

// The runs of sound in a stereo output, split at MIN_GAP_FRAMES of silence.
std::vector<stSegment> sound_segments(const std::vector<int16_t> &aiOut)
{
    std::vector<stSegment> atSegments;
    size_t iFrames = aiOut.size() / 2;
    size_t iSilent = MIN_GAP_FRAMES;
    for (size_t i = 0; i < iFrames; i++) {
        if (frame_silent(aiOut, i)) {
            iSilent++;
            continue;
        }
        if (iSilent >= MIN_GAP_FRAMES)
            atSegments.push_back({i, i + 1});
        atSegments.back().iEnd = i + 1;
        iSilent = 0;
    }
    return atSegments;
}

// One side of a stereo output, frames [iStart, iStart + iCount).
std::vector<int16_t> side(const std::vector<int16_t> &aiOut, size_t iStart, size_t iCount, int iSide)
{
    std::vector<int16_t> aiSide(iCount);
    for (size_t i = 0; i < iCount; i++)
        aiSide[i] = aiOut[2 * (iStart + i) + iSide];
    return aiSide;
}

std::vector<int16_t> frames_of(const std::vector<int16_t> &aiMono, size_t iFrom, size_t iTo)
{
    return std::vector<int16_t>(aiMono.begin() + iFrom, aiMono.begin() + iTo);
}

// Waits, servicing the mixer, until the channel has ended.
void wait_for_end(MixChannel cnlChannel)
{
    for (int iWaited = 0; iWaited < WAIT_LIMIT_MS; iWaited++) {
        mix_system_update();
        bool bPlaying = false;
        if (mix_channel_is_playing(cnlChannel, &bPlaying) != MIX_OK || !bPlaying)
            return;
        SDL_Delay(1);
    }
    ADD_FAILURE() << "the sound did not end";
}

void wait_serviced(int iMs)
{
    for (int i = 0; i < iMs; i++) {
        mix_system_update();
        SDL_Delay(1);
    }
}

// Files in a fresh temporary directory, and the sounds made from them.
class SoundMixerFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szDir[] = "/tmp/tvx_sound_XXXXXX";
        ASSERT_NE(mkdtemp(szDir), nullptr);
        sDir = szDir;
    }
    void TearDown() override
    {
        mix_system_release();
        for (stMixSound *sndSound : asndSounds)
            mix_sound_release(sndSound);
        std::filesystem::remove_all(sDir);
    }
    std::string write(const std::string &sName, const std::vector<int16_t> &aiSamples, int iChannels = 1,
                      int iRate = RATE, int iFormat = WAV_PCM16)
    {
        std::string sPath = sDir + "/" + sName;
        write_sound_file(sPath, aiSamples, iChannels, iRate, iFormat);
        return sPath;
    }
    stMixSound *create(const std::string &sPath, enMixSoundKind iKind)
    {
        stMixSound *sndSound = nullptr;
        EXPECT_EQ(mix_sound_create_from_file(sPath.c_str(), iKind, &sndSound), MIX_OK);
        if (sndSound)
            asndSounds.push_back(sndSound);
        return sndSound;
    }
    MixChannel play(stMixSound *sndSound, bool bPaused = false)
    {
        MixChannel cnlChannel = 0;
        EXPECT_EQ(mix_play_sound(sndSound, bPaused, &cnlChannel), MIX_OK);
        return cnlChannel;
    }
    std::string sDir;
    std::vector<stMixSound *> asndSounds;
};

// The real output path: SDL's disk driver writes what the callback mixed.
class SoundMixerDisk : public SoundMixerFiles {
protected:
    void SetUp() override
    {
        SoundMixerFiles::SetUp();
        sOutput = sDir + "/output.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", sOutput.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", std::to_string(DISK_DELAY_MS).c_str(), 1);
        ASSERT_EQ(mix_system_create(), MIX_OK);
        ASSERT_EQ(mix_system_init(MIX_MAX_CHANNELS, 0), MIX_OK);
    }
    // Closes the device and gives everything it wrote, interleaved stereo.
    std::vector<int16_t> finish()
    {
        mix_system_close();
        return read_raw_output(sOutput);
    }
    std::string sOutput;
};

// Direct renders without a device.
class SoundMixerRender : public SoundMixerFiles {
protected:
    void SetUp() override
    {
        SoundMixerFiles::SetUp();
        ASSERT_EQ(mix_system_create(), MIX_OK);
        ASSERT_EQ(mix_system_init(MIX_MAX_CHANNELS, MIX_INIT_NO_OUTPUT), MIX_OK);
    }
    std::vector<int16_t> render(int iFrames)
    {
        std::vector<int16_t> aiOut(iFrames * 2);
        mix_render(aiOut.data(), iFrames);
        return aiOut;
    }
};

struct stPanCase {
    float fPan;
    float fLeftGain;   // expected share of the signal on each side
    float fRightGain;
};

class SoundMixerPan : public SoundMixerDisk, public ::testing::WithParamInterface<stPanCase> {};

TEST_P(SoundMixerPan, SidesFollowThePan)
{
    const stPanCase &tCase = GetParam();
    std::vector<int16_t> aiRamp = ramp(RATE / 5);
    MixChannel cnlChannel = play(create(write("tone.wav", aiRamp), MIX_SAMPLE), true);
    mix_channel_set_pan(cnlChannel, tCase.fPan);
    mix_channel_set_paused(cnlChannel, false);
    wait_for_end(cnlChannel);
    std::vector<int16_t> aiOut = finish();
    std::vector<stSegment> atSegments = sound_segments(aiOut);
    ASSERT_EQ(atSegments.size(), 1u);
    ASSERT_EQ(atSegments[0].iEnd - atSegments[0].iStart, aiRamp.size());
    for (size_t i = 0; i < aiRamp.size(); i++) {
        size_t iFrame = atSegments[0].iStart + i;
        ASSERT_NEAR(aiOut[2 * iFrame], aiRamp[i] * tCase.fLeftGain, 0.5) << "frame " << i;
        ASSERT_NEAR(aiOut[2 * iFrame + 1], aiRamp[i] * tCase.fRightGain, 0.5) << "frame " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(SoundPans, SoundMixerPan,
                         ::testing::Values(stPanCase{-1.0f, 1.0f, 0.0f}, stPanCase{1.0f, 0.0f, 1.0f},
                                           stPanCase{0.0f, 1.0f, 1.0f}, stPanCase{-0.5f, 1.0f, 0.5f},
                                           stPanCase{-3.0f, 1.0f, 0.0f}));

TEST_F(SoundMixerDisk, HalfVolumeHalvesTheAmplitude)
{
    stMixSound *sndTone = create(write("tone.wav", ramp(RATE / 5)), MIX_SAMPLE);
    MixChannel cnlFull = play(sndTone);
    wait_for_end(cnlFull);
    wait_serviced(20);  // a gap of silence between the two
    MixChannel cnlHalf = play(sndTone, true);
    mix_channel_set_volume(cnlHalf, 0.5f);
    mix_channel_set_paused(cnlHalf, false);
    wait_for_end(cnlHalf);
    std::vector<int16_t> aiOut = finish();
    std::vector<stSegment> atSegments = sound_segments(aiOut);
    ASSERT_EQ(atSegments.size(), 2u);
    size_t iFrames = atSegments[0].iEnd - atSegments[0].iStart;
    ASSERT_EQ(atSegments[1].iEnd - atSegments[1].iStart, iFrames);
    for (size_t i = 0; i < iFrames * 2; i++) {
        int iFull = aiOut[2 * atSegments[0].iStart + i];
        int iHalf = aiOut[2 * atSegments[1].iStart + i];
        ASSERT_LE(abs(2 * iHalf - iFull), 1) << "sample " << i;
    }
}

TEST_F(SoundMixerDisk, PausedChannelAddsNothingAndResumesFromItsStart)
{
    std::vector<int16_t> aiFirst = ramp(RATE / 4);
    std::vector<int16_t> aiSecond(RATE / 5, -7000);
    MixChannel cnlPaused = play(create(write("first.wav", aiFirst), MIX_SAMPLE), true);
    MixChannel cnlOther = play(create(write("second.wav", aiSecond), MIX_SAMPLE));
    wait_for_end(cnlOther);
    wait_serviced(20);
    mix_channel_set_paused(cnlPaused, false);
    wait_for_end(cnlPaused);
    std::vector<int16_t> aiOut = finish();
    std::vector<stSegment> atSegments = sound_segments(aiOut);
    ASSERT_EQ(atSegments.size(), 2u);
    size_t iSecondFrames = atSegments[0].iEnd - atSegments[0].iStart;
    EXPECT_EQ(side(aiOut, atSegments[0].iStart, iSecondFrames, 0), aiSecond);
    EXPECT_EQ(side(aiOut, atSegments[0].iStart, iSecondFrames, 1), aiSecond);
    size_t iFirstFrames = atSegments[1].iEnd - atSegments[1].iStart;
    EXPECT_EQ(side(aiOut, atSegments[1].iStart, iFirstFrames, 0), aiFirst);
}

TEST_F(SoundMixerDisk, StopEndsOutputAtOnce)
{
    stMixSound *sndTone = create(write("tone.wav", ramp(RATE / 2)), MIX_SAMPLE);
    mix_sound_set_loop_mode(sndTone, MIX_LOOP_NORMAL);
    MixChannel cnlChannel = play(sndTone);
    wait_serviced(100);
    ASSERT_EQ(mix_channel_stop(cnlChannel), MIX_OK);
    struct stat tStat;
    ASSERT_EQ(stat(sOutput.c_str(), &tStat), 0);
    size_t iFramesAtStop = static_cast<size_t>(tStat.st_size) / (2 * sizeof(int16_t));
    bool bPlaying = true;
    EXPECT_EQ(mix_channel_is_playing(cnlChannel, &bPlaying), MIX_OK);
    EXPECT_FALSE(bPlaying);
    wait_serviced(100);
    std::vector<int16_t> aiOut = finish();
    std::vector<stSegment> atSegments = sound_segments(aiOut);
    ASSERT_EQ(atSegments.size(), 1u);
    // Only what was already mixed into the device's buffers may follow the stop.
    constexpr size_t DEVICE_BUFFERS_IN_FLIGHT = 2;
    EXPECT_LE(atSegments[0].iEnd, iFramesAtStop + DEVICE_BUFFERS_IN_FLIGHT * 1024);
    EXPECT_GT(aiOut.size() / 2, atSegments[0].iEnd + MIN_GAP_FRAMES);
}

struct stLoopCase {
    enMixSoundKind iKind;
    int iCount;  // repeats of the loop section
};

class SoundMixerLoop : public SoundMixerDisk, public ::testing::WithParamInterface<stLoopCase> {};

TEST_P(SoundMixerLoop, SectionPlaysOnceThenItsRepeats)
{
    constexpr unsigned int LOOP_START_MS = 300;
    constexpr unsigned int LOOP_END_MS = 710;
    constexpr size_t LOOP_START = LOOP_START_MS * RATE / 1000;
    constexpr size_t LOOP_END = LOOP_END_MS * RATE / 1000;
    std::vector<int16_t> aiRamp = ramp(RATE);
    stMixSound *sndSound = create(write("loop.wav", aiRamp), GetParam().iKind);
    ASSERT_EQ(mix_sound_set_loop_points(sndSound, LOOP_START_MS, LOOP_END_MS), MIX_OK);
    ASSERT_EQ(mix_sound_set_loop_count(sndSound, GetParam().iCount), MIX_OK);
    wait_for_end(play(sndSound));
    std::vector<int16_t> aiOut = finish();

    std::vector<int16_t> aiExpected = frames_of(aiRamp, 0, LOOP_END);
    for (int i = 0; i < GetParam().iCount; i++) {
        std::vector<int16_t> aiSection = frames_of(aiRamp, LOOP_START, LOOP_END);
        aiExpected.insert(aiExpected.end(), aiSection.begin(), aiSection.end());
    }
    std::vector<int16_t> aiTail = frames_of(aiRamp, LOOP_END, aiRamp.size());
    aiExpected.insert(aiExpected.end(), aiTail.begin(), aiTail.end());
    std::vector<stSegment> atSegments = sound_segments(aiOut);
    ASSERT_EQ(atSegments.size(), 1u);
    ASSERT_EQ(atSegments[0].iEnd - atSegments[0].iStart, aiExpected.size());
    EXPECT_EQ(side(aiOut, atSegments[0].iStart, aiExpected.size(), 0), aiExpected);
    EXPECT_EQ(side(aiOut, atSegments[0].iStart, aiExpected.size(), 1), aiExpected);
}

INSTANTIATE_TEST_SUITE_P(SoundLoops, SoundMixerLoop,
                         ::testing::Values(stLoopCase{MIX_SAMPLE, 2}, stLoopCase{MIX_COMPRESSED, 2},
                                           stLoopCase{MIX_STREAM, 2}, stLoopCase{MIX_SAMPLE, 0},
                                           stLoopCase{MIX_STREAM, 1}));

TEST_F(SoundMixerDisk, StreamPlaysAnOggFileFromBeginningToEnd)
{
    // Longer than a channel's ring, so the stream must be topped up while it plays.
    constexpr int SONG_FRAMES = RATE * 3;
    std::string sPath = write("song.ogg", stereo_tones(SONG_FRAMES), 2, RATE, OGG_VORBIS);
    std::vector<int16_t> aiReference = decode_file(sPath);
    ASSERT_EQ(aiReference.size(), static_cast<size_t>(SONG_FRAMES) * 2);
    wait_for_end(play(create(sPath, MIX_STREAM)));
    std::vector<int16_t> aiOut = finish();

    size_t iRefStart = 0;
    while (frame_silent(aiReference, iRefStart))
        iRefStart++;
    size_t iOutStart = 0;
    while (iOutStart < aiOut.size() / 2 && frame_silent(aiOut, iOutStart))
        iOutStart++;
    size_t iFrames = aiReference.size() / 2 - iRefStart;
    ASSERT_GE(aiOut.size() / 2, iOutStart + iFrames);
    for (size_t i = 0; i < iFrames * 2; i++)
        ASSERT_EQ(aiOut[2 * iOutStart + i], aiReference[2 * iRefStart + i]) << "sample " << i;
    for (size_t i = iOutStart + iFrames; i < aiOut.size() / 2; i++)
        ASSERT_TRUE(frame_silent(aiOut, i)) << "frame " << i << " after the end";
}

// ---- direct renders ----

TEST_F(SoundMixerRender, SoundsFromMemoryPlayTheirFrames)
{
    std::vector<int16_t> aiRamp = ramp(RATE / 10);
    std::string sWav = write("effect.wav", aiRamp);
    std::string sOgg = write("effect.ogg", stereo_tones(RATE / 2), 2, RATE, OGG_VORBIS);
    struct {
        std::string sPath;
        enMixSoundKind iKind;
    } atCases[] = {{sWav, MIX_SAMPLE}, {sWav, MIX_COMPRESSED}, {sWav, MIX_STREAM}, {sOgg, MIX_SAMPLE},
                   {sOgg, MIX_COMPRESSED}};
    for (const auto &tCase : atCases) {
        std::vector<uint8_t> aBytes = read_bytes(tCase.sPath);
        stMixCreateInfo tInfo = {sizeof(stMixCreateInfo), static_cast<unsigned int>(aBytes.size())};
        stMixSound *sndSound = nullptr;
        ASSERT_EQ(mix_sound_create_from_memory(aBytes.data(), &tInfo, tCase.iKind, &sndSound), MIX_OK);
        aBytes.assign(aBytes.size(), 0);  // the sound keeps its own copy
        asndSounds.push_back(sndSound);
        std::vector<int16_t> aiDecoded = decode_file(tCase.sPath);
        bool bMono = tCase.sPath == sWav;
        size_t iFrames = aiDecoded.size() / (bMono ? 1 : 2);
        MixChannel cnlChannel = play(sndSound);
        std::vector<int16_t> aiOut = render(static_cast<int>(iFrames) + 100);
        for (size_t i = 0; i < iFrames; i++) {
            ASSERT_EQ(aiOut[2 * i], aiDecoded[bMono ? i : 2 * i]) << tCase.sPath << " frame " << i;
            ASSERT_EQ(aiOut[2 * i + 1], aiDecoded[bMono ? i : 2 * i + 1]) << tCase.sPath << " frame " << i;
        }
        for (size_t i = iFrames; i < iFrames + 100; i++)
            ASSERT_TRUE(frame_silent(aiOut, i));
        bool bPlaying = true;
        EXPECT_EQ(mix_channel_is_playing(cnlChannel, &bPlaying), MIX_OK);
        EXPECT_FALSE(bPlaying) << tCase.sPath;
        mix_system_update();
    }
}

TEST_F(SoundMixerRender, OtherRatesAreResampledToTheOutputRate)
{
    constexpr int SOURCE_RATE = RATE / 2;
    constexpr int SOURCE_FRAMES = 2000;
    std::vector<int16_t> aiSource(SOURCE_FRAMES);
    for (int i = 0; i < SOURCE_FRAMES; i++)
        aiSource[i] = static_cast<int16_t>(10 * i);
    std::string sPath = write("slow.wav", aiSource, 1, SOURCE_RATE);
    for (enMixSoundKind iKind : {MIX_SAMPLE, MIX_STREAM}) {
        MixChannel cnlChannel = play(create(sPath, iKind));
        std::vector<int16_t> aiOut = render(SOURCE_FRAMES * 2 + 100);
        // Every output frame lies halfway or on a source frame: 5 per output frame.
        for (int i = 0; i < 2 * (SOURCE_FRAMES - 1); i++)
            ASSERT_EQ(aiOut[2 * i], 5 * i) << "frame " << i;
        for (int i = 2 * SOURCE_FRAMES; i < 2 * SOURCE_FRAMES + 100; i++)
            ASSERT_TRUE(frame_silent(aiOut, i));
        bool bPlaying = true;
        mix_channel_is_playing(cnlChannel, &bPlaying);
        EXPECT_FALSE(bPlaying);
    }
}

TEST_F(SoundMixerRender, LoopSectionThatResamplingEmptiesPlaysOnce)
{
    // 2206 frames at 22050 Hz: 100 ms falls on the last source frame, and
    // past the last frame of the resampled sound.
    constexpr int SOURCE_FRAMES = 2206;
    stMixSound *sndSound = create(write("edge.wav", ramp(SOURCE_FRAMES), 1, RATE / 2), MIX_SAMPLE);
    ASSERT_EQ(mix_sound_set_loop_points(sndSound, 100, 101), MIX_OK);
    ASSERT_EQ(mix_sound_set_loop_count(sndSound, -1), MIX_OK);
    MixChannel cnlChannel = play(sndSound);
    render(3 * SOURCE_FRAMES);
    bool bPlaying = true;
    EXPECT_EQ(mix_channel_is_playing(cnlChannel, &bPlaying), MIX_OK);
    EXPECT_FALSE(bPlaying);
}

TEST_F(SoundMixerRender, StealsTheLowestPriorityThenTheOldest)
{
    stMixSound *sndLoop = create(write("loop.wav", ramp(RATE / 10)), MIX_SAMPLE);
    mix_sound_set_loop_mode(sndLoop, MIX_LOOP_NORMAL);
    std::mt19937 tRandom(20261206);
    for (int iRound = 0; iRound < 50; iRound++) {
        std::vector<MixChannel> acnlChannels(MIX_MAX_CHANNELS);
        std::vector<int> aiPriority(MIX_MAX_CHANNELS);
        for (int i = 0; i < MIX_MAX_CHANNELS; i++) {
            acnlChannels[i] = play(sndLoop);
            aiPriority[i] = std::uniform_int_distribution<int>(0, 6)(tRandom) * 40;
            mix_channel_set_priority(acnlChannels[i], aiPriority[i]);
        }
        // The first of the largest priority numbers is both the lowest priority and the oldest.
        size_t iVictim = std::max_element(aiPriority.begin(), aiPriority.end()) - aiPriority.begin();
        MixChannel cnlNew = play(sndLoop);
        for (int i = 0; i < MIX_MAX_CHANNELS; i++) {
            bool bPlaying = false;
            enMixResult iResult = mix_channel_is_playing(acnlChannels[i], &bPlaying);
            EXPECT_EQ(iResult == MIX_OK && bPlaying, static_cast<size_t>(i) != iVictim) << "channel " << i;
        }
        bool bPlaying = false;
        EXPECT_EQ(mix_channel_is_playing(cnlNew, &bPlaying), MIX_OK);
        EXPECT_TRUE(bPlaying);
        for (MixChannel cnlChannel : acnlChannels)
            mix_channel_stop(cnlChannel);
        mix_channel_stop(cnlNew);
    }
}

TEST_F(SoundMixerRender, EndedChannelsAreNotPlayingUntilReused)
{
    stMixSound *sndShort = create(write("short.wav", ramp(500)), MIX_SAMPLE);
    MixChannel cnlFirst = play(sndShort);
    render(600);
    bool bPlaying = true;
    EXPECT_EQ(mix_channel_is_playing(cnlFirst, &bPlaying), MIX_OK);
    EXPECT_FALSE(bPlaying);
    EXPECT_EQ(mix_channel_set_volume(cnlFirst, 0.5f), MIX_ERR_INVALID_HANDLE);
    mix_system_update();
    MixChannel cnlSecond = play(sndShort);
    EXPECT_NE(cnlSecond, cnlFirst);
    EXPECT_EQ(mix_channel_is_playing(cnlFirst, &bPlaying), MIX_ERR_INVALID_HANDLE);
    EXPECT_EQ(mix_channel_is_playing(0, &bPlaying), MIX_ERR_INVALID_HANDLE);
    EXPECT_EQ(mix_channel_stop(cnlSecond), MIX_OK);
    EXPECT_EQ(mix_channel_stop(cnlSecond), MIX_ERR_INVALID_HANDLE);
}

TEST_F(SoundMixerRender, ReleasingAPlayingSoundStopsItsChannels)
{
    stMixSound *sndSound = nullptr;
    ASSERT_EQ(mix_sound_create_from_file(write("a.wav", ramp(RATE)).c_str(), MIX_COMPRESSED, &sndSound), MIX_OK);
    MixChannel cnlChannel = play(sndSound);
    render(1000);
    EXPECT_EQ(mix_sound_release(sndSound), MIX_OK);
    std::vector<int16_t> aiOut = render(1000);
    EXPECT_TRUE(std::all_of(aiOut.begin(), aiOut.end(), [](int16_t iSample) { return iSample == 0; }));
    bool bPlaying = true;
    mix_channel_is_playing(cnlChannel, &bPlaying);
    EXPECT_FALSE(bPlaying);
}

TEST_F(SoundMixerRender, FailuresAreReportedByCode)
{
    stMixSound *sndSound = nullptr;
    EXPECT_EQ(mix_sound_create_from_file((sDir + "/missing.wav").c_str(), MIX_SAMPLE, &sndSound),
              MIX_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(mix_sound_create_from_file((sDir + "/missing.ogg").c_str(), MIX_COMPRESSED, &sndSound),
              MIX_ERR_FILE_NOT_FOUND);
    EXPECT_EQ(sndSound, nullptr);
    const char acGarbage[] = "this is not a sound file at all, only some text";
    stMixCreateInfo tInfo = {sizeof(stMixCreateInfo), sizeof(acGarbage)};
    EXPECT_EQ(mix_sound_create_from_memory(acGarbage, &tInfo, MIX_SAMPLE, &sndSound), MIX_ERR_FILE_BAD);
    stMixCreateInfo tBadSize = {92, sizeof(acGarbage)};
    EXPECT_EQ(mix_sound_create_from_memory(acGarbage, &tBadSize, MIX_SAMPLE, &sndSound), MIX_ERR_INVALID_PARAM);
    std::string sThree = write("three.wav", std::vector<int16_t>(300, 5), 3);
    EXPECT_EQ(mix_sound_create_from_file(sThree.c_str(), MIX_SAMPLE, &sndSound), MIX_ERR_FORMAT);
    EXPECT_EQ(sndSound, nullptr);

    stMixSound *sndTone = create(write("tone.wav", ramp(1000)), MIX_SAMPLE);
    EXPECT_EQ(mix_sound_set_loop_points(sndTone, 10, 10), MIX_ERR_INVALID_PARAM);
    EXPECT_EQ(mix_sound_set_loop_points(nullptr, 0, 10), MIX_ERR_INVALID_HANDLE);
    EXPECT_EQ(mix_sound_set_loop_count(sndTone, -2), MIX_ERR_INVALID_PARAM);
    MixChannel cnlChannel = 0;
    EXPECT_EQ(mix_play_sound(nullptr, false, &cnlChannel), MIX_ERR_INVALID_HANDLE);
    EXPECT_EQ(mix_channel_set_priority(play(sndTone), MIX_LOWEST_PRIORITY + 1), MIX_ERR_INVALID_PARAM);
    EXPECT_EQ(mix_system_init(MIX_MAX_CHANNELS, MIX_INIT_NO_OUTPUT), MIX_ERR_INITIALIZED);

    // No software channels: the sound cannot be played.
    mix_system_close();
    EXPECT_EQ(mix_play_sound(sndTone, false, &cnlChannel), MIX_ERR_UNINITIALIZED);
    ASSERT_EQ(mix_system_init(0, MIX_INIT_NO_OUTPUT), MIX_OK);
    EXPECT_EQ(mix_play_sound(sndTone, false, &cnlChannel), MIX_ERR_NO_SOFTWARE);
    mix_system_release();
    unsigned int iVersion = 0;
    EXPECT_EQ(mix_system_get_version(&iVersion), MIX_ERR_UNINITIALIZED);
    EXPECT_EQ(mix_system_init(MIX_MAX_CHANNELS, MIX_INIT_NO_OUTPUT), MIX_ERR_UNINITIALIZED);
    EXPECT_EQ(mix_system_update(), MIX_ERR_UNINITIALIZED);
    EXPECT_EQ(mix_system_close(), MIX_OK);
    EXPECT_EQ(mix_system_release(), MIX_OK);
}

TEST(SoundMixerResults, EveryCodeHasItsOwnTextAndOthersAreUnknown)
{
    const int aiCodes[] = {MIX_OK, MIX_ERR_INVALID_PARAM, MIX_ERR_INVALID_HANDLE, MIX_ERR_UNINITIALIZED,
                           MIX_ERR_INITIALIZED, MIX_ERR_FILE_NOT_FOUND, MIX_ERR_FILE_BAD, MIX_ERR_FORMAT,
                           MIX_ERR_MEMORY, MIX_ERR_OUTPUT_INIT, MIX_ERR_NO_SOFTWARE};
    std::vector<std::string> asTexts;
    for (int iCode : aiCodes)
        asTexts.push_back(mix_error_string(iCode));
    std::sort(asTexts.begin(), asTexts.end());
    EXPECT_EQ(std::adjacent_find(asTexts.begin(), asTexts.end()), asTexts.end());
    EXPECT_STREQ(mix_error_string(MIX_ERR_MEMORY), "Not enough memory or resources.");
    EXPECT_STREQ(mix_error_string(MIX_ERR_OUTPUT_INIT), "Error initializing output device.");
    for (int iCode : {-1, 5, 39, 57, 59, 1000})
        EXPECT_STREQ(mix_error_string(iCode), "Unknown error.") << iCode;
}

TEST(SoundMixerVersion, ReportsItsOwnVersionOnceCreated)
{
    ASSERT_EQ(mix_system_create(), MIX_OK);
    unsigned int iVersion = 0;
    EXPECT_EQ(mix_system_get_version(&iVersion), MIX_OK);
    EXPECT_EQ(iVersion, MIX_VERSION);
    EXPECT_EQ(mix_system_release(), MIX_OK);
}

}  // namespace

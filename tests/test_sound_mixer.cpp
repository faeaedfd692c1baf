// The mixer back end's rules on direct renders, without a device (the sound
// engine's tests play through the real output path).
#include "support.h"
#include "datafile_builder.h"
#include "sound_mixer.h"

#include <sndfile.h>

namespace db = datafile_builder;

namespace {

constexpr int RATE = MIX_OUTPUT_RATE;
constexpr int OGG_VORBIS = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
constexpr int RENDER_BLOCK = 4096;  // frames rendered between two services of the mixer

// A mono signal that names its frames: 1000 + i mod 20000, never silent.
std::vector<int16_t> ramp(int iFrames)
{
    std::vector<int16_t> aiSamples(iFrames);
    for (int i = 0; i < iFrames; i++)
        aiSamples[i] = static_cast<int16_t>(1000 + i % 20000);
    return aiSamples;
}

// Two sines, one per side, for the lossy Ogg sounds.
std::vector<int16_t> stereo_tones(int iFrames)
{
    std::vector<int16_t> aiSamples(iFrames * 2);
    for (int i = 0; i < iFrames; i++) {
        aiSamples[2 * i] = static_cast<int16_t>(12000 * sin(2 * M_PI * 440 * i / RATE));
        aiSamples[2 * i + 1] = static_cast<int16_t>(9000 * sin(2 * M_PI * 660 * i / RATE));
    }
    return aiSamples;
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

bool all_silent(const std::vector<int16_t> &aiOut, size_t iFromFrame = 0)
{
    return std::all_of(aiOut.begin() + 2 * iFromFrame, aiOut.end(), [](int16_t i) { return i == 0; });
}

// Playing, as opposed to ended, stopped or never started.
bool playing(MixChannel cnlChannel)
{
    bool bPlaying = false;
    return mix_channel_is_playing(cnlChannel, &bPlaying) == MIX_OK && bPlaying;
}

// Files in a fresh temporary directory, and the sounds made from them, on a
// mixer without a device that the test drives with mix_render.
class SoundMixer : public ::testing::Test {
protected:
    void SetUp() override
    {
        sDir = db::make_temp_dir("tvx_sound");
        ASSERT_FALSE(sDir.empty());
        ASSERT_EQ(mix_system_create(), MIX_OK);
        ASSERT_EQ(mix_system_init(MIX_MAX_CHANNELS, MIX_INIT_NO_OUTPUT), MIX_OK);
    }
    void TearDown() override
    {
        mix_system_release();
        for (stMixSound *sndSound : asndSounds)
            mix_sound_release(sndSound);
        std::filesystem::remove_all(sDir);
    }
    std::string write(const std::string &sName, const std::vector<int16_t> &aiSamples, int iChannels = 1,
                      int iRate = RATE, int iFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16)
    {
        std::string sPath = sDir + "/" + sName;
        SF_INFO tInfo = {0, iRate, iChannels, iFormat, 0, 0};
        SNDFILE *ptFile = sf_open(sPath.c_str(), SFM_WRITE, &tInfo);
        EXPECT_NE(ptFile, nullptr) << sf_strerror(nullptr);
        sf_writef_short(ptFile, aiSamples.data(), static_cast<sf_count_t>(aiSamples.size() / iChannels));
        sf_close(ptFile);
        return sPath;
    }
    stMixSound *create(const std::string &sPath, enMixSoundKind iKind)
    {
        stMixSound *sndSound = nullptr;
        EXPECT_EQ(mix_sound_create_from_file(sPath.c_str(), iKind, &sndSound), MIX_OK);
        asndSounds.push_back(sndSound);
        return sndSound;
    }
    MixChannel play(stMixSound *sndSound, bool bPaused = false)
    {
        MixChannel cnlChannel = 0;
        EXPECT_EQ(mix_play_sound(sndSound, bPaused, &cnlChannel), MIX_OK);
        return cnlChannel;
    }
    // The next iFrames stereo frames, serviced as the game does between blocks.
    std::vector<int16_t> render(int iFrames)
    {
        std::vector<int16_t> aiOut(iFrames * 2);
        for (int i = 0; i < iFrames; i += RENDER_BLOCK) {
            mix_system_update();
            mix_render(aiOut.data() + 2 * i, std::min(RENDER_BLOCK, iFrames - i));
        }
        return aiOut;
    }
    std::string sDir;
    std::vector<stMixSound *> asndSounds;
};

// Every frame of each play: the far side fades out as the pan moves over, the
// centre is full on both; a pan or a volume beyond an end counts as that end.
// Each starts paused: a paused channel adds nothing and resumes from its start.
TEST_F(SoundMixer, SidesFollowPanAndVolumeAndPausedChannelsWait)
{
    struct Case { float fPan, fVolume, fLeft, fRight; }; // the share of the signal on each side
    const Case atCases[] = {{-1, 1, 1, 0},       {1, 1, 0, 1},          {0, 1, 1, 1},          {-0.5f, 1, 1, 0.5f},
                   {-3, 1, 1, 0},       {3, 1, 0, 1},          {0, 0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.25f, 0.5f},
                   {0, 3, 1, 1},        {0, -0.5f, 0, 0}};
    std::vector<int16_t> aiRamp = ramp(RATE / 20);
    stMixSound *sndTone = create(write("tone.wav", aiRamp), MIX_SAMPLE);
    for (const auto &tCase : atCases) {
        SCOPED_TRACE(testing::Message() << "pan " << tCase.fPan << " volume " << tCase.fVolume);
        MixChannel cnlChannel = play(sndTone, true);
        ASSERT_EQ(mix_channel_set_pan(cnlChannel, tCase.fPan), MIX_OK);
        ASSERT_EQ(mix_channel_set_volume(cnlChannel, tCase.fVolume), MIX_OK);
        EXPECT_TRUE(all_silent(render(500)));
        ASSERT_EQ(mix_channel_set_paused(cnlChannel, false), MIX_OK);
        std::vector<int16_t> aiOut = render(static_cast<int>(aiRamp.size()) + 100);
        for (size_t i = 0; i < aiRamp.size(); i++) {
            ASSERT_NEAR(aiOut[2 * i], aiRamp[i] * tCase.fLeft, 0.5) << "frame " << i;
            ASSERT_NEAR(aiOut[2 * i + 1], aiRamp[i] * tCase.fRight, 0.5) << "frame " << i;
        }
        EXPECT_TRUE(all_silent(aiOut, aiRamp.size()));
        EXPECT_FALSE(playing(cnlChannel));
    }
}

// Frame-exact: the sound up to the section's end, the section once per repeat,
// then the rest, for every kind of sound.
TEST_F(SoundMixer, LoopSectionPlaysOnceThenItsRepeats)
{
    constexpr unsigned int LOOP_START_MS = 300, LOOP_END_MS = 710;
    constexpr size_t LOOP_START = LOOP_START_MS * RATE / 1000, LOOP_END = LOOP_END_MS * RATE / 1000;
    // The kind of sound and the repeats of the loop section.
    const std::pair<enMixSoundKind, int> atCases[] = {
        {MIX_SAMPLE, 2}, {MIX_COMPRESSED, 2}, {MIX_STREAM, 2}, {MIX_SAMPLE, 0}, {MIX_STREAM, 1}};
    std::vector<int16_t> aiRamp = ramp(RATE);
    std::string sPath = write("loop.wav", aiRamp);
    for (const auto &[iKind, iCount] : atCases) {
        SCOPED_TRACE(testing::Message() << "kind " << iKind << " repeats " << iCount);
        stMixSound *sndSound = create(sPath, iKind);
        ASSERT_EQ(mix_sound_set_loop_points(sndSound, LOOP_START_MS, LOOP_END_MS), MIX_OK);
        ASSERT_EQ(mix_sound_set_loop_count(sndSound, iCount), MIX_OK);
        std::vector<int16_t> aiExpected(aiRamp.begin(), aiRamp.begin() + LOOP_END);
        for (int i = 0; i < iCount; i++)
            aiExpected.insert(aiExpected.end(), aiRamp.begin() + LOOP_START, aiRamp.begin() + LOOP_END);
        aiExpected.insert(aiExpected.end(), aiRamp.begin() + LOOP_END, aiRamp.end());
        MixChannel cnlChannel = play(sndSound);
        std::vector<int16_t> aiOut = render(static_cast<int>(aiExpected.size()) + 100);
        for (size_t i = 0; i < aiExpected.size(); i++) {
            ASSERT_EQ(aiOut[2 * i], aiExpected[i]) << "frame " << i;
            ASSERT_EQ(aiOut[2 * i + 1], aiExpected[i]) << "frame " << i;
        }
        EXPECT_TRUE(all_silent(aiOut, aiExpected.size()));
        EXPECT_FALSE(playing(cnlChannel));
    }
}

// Every kind of sound, from a file or from memory, plays its decoded frames
// and then nothing. The WAV's first samples read like a chunk header, so its
// reader's skip over the data to the very end of the bytes must succeed, or
// the samples would be taken for a chunk; the long stream outlasts a channel's
// ring and is topped up while it plays.
TEST_F(SoundMixer, SoundsPlayTheirDecodedFrames)
{
    std::vector<int16_t> aiLikeAChunk = ramp(RATE / 10);
    const int16_t aiHeader[] = {'d' | 'a' << 8, 't' | 'a' << 8, 8, 0};
    std::copy(std::begin(aiHeader), std::end(aiHeader), aiLikeAChunk.begin());
    std::string sWav = write("effect.wav", aiLikeAChunk);
    std::string sOgg = write("effect.ogg", stereo_tones(RATE / 2), 2, RATE, OGG_VORBIS);
    std::string sSong = write("song.ogg", stereo_tones(RATE * 3), 2, RATE, OGG_VORBIS);
    struct Case { std::string sPath; enMixSoundKind iKind; bool bMemory; };
    const Case atCases[] = {{sWav, MIX_SAMPLE, true}, {sWav, MIX_COMPRESSED, true}, {sWav, MIX_STREAM, true},
                   {sOgg, MIX_SAMPLE, true}, {sOgg, MIX_COMPRESSED, true}, {sSong, MIX_STREAM, false}};
    for (const auto &tCase : atCases) {
        SCOPED_TRACE(testing::Message() << tCase.sPath << " kind " << tCase.iKind);
        stMixSound *sndSound = nullptr;
        if (tCase.bMemory) {
            std::string sBytes = db::read_file(tCase.sPath);
            stMixCreateInfo tInfo = {sizeof(stMixCreateInfo), static_cast<unsigned int>(sBytes.size())};
            ASSERT_EQ(mix_sound_create_from_memory(sBytes.data(), &tInfo, tCase.iKind, &sndSound), MIX_OK);
            asndSounds.push_back(sndSound);
            sBytes.assign(sBytes.size(), 0);  // the sound keeps its own copy
        } else {
            sndSound = create(tCase.sPath, tCase.iKind);
        }
        std::vector<int16_t> aiDecoded = decode_file(tCase.sPath);
        const int iChannels = tCase.sPath == sWav ? 1 : 2;
        size_t iFrames = aiDecoded.size() / iChannels;
        MixChannel cnlChannel = play(sndSound);
        std::vector<int16_t> aiOut = render(static_cast<int>(iFrames) + 100);
        for (size_t i = 0; i < iFrames; i++) {
            ASSERT_EQ(aiOut[2 * i], aiDecoded[iChannels * i]) << "frame " << i;
            ASSERT_EQ(aiOut[2 * i + 1], aiDecoded[iChannels * i + iChannels - 1]) << "frame " << i;
        }
        EXPECT_TRUE(all_silent(aiOut, iFrames));
        EXPECT_FALSE(playing(cnlChannel));
    }
}

// Every output frame lies halfway or on a source frame; a loop section that
// resampling empties must not loop for ever on no frames.
TEST_F(SoundMixer, OtherRatesAreResampledToTheOutputRate)
{
    // 2206 frames at 22050 Hz: 100 ms falls on the last source frame, and
    // past the last frame of the resampled sound.
    constexpr int SOURCE_FRAMES = 2206;
    std::vector<int16_t> aiSource(SOURCE_FRAMES);
    for (int i = 0; i < SOURCE_FRAMES; i++)
        aiSource[i] = static_cast<int16_t>(10 * i);
    std::string sPath = write("slow.wav", aiSource, 1, RATE / 2);
    for (enMixSoundKind iKind : {MIX_SAMPLE, MIX_STREAM}) {
        MixChannel cnlChannel = play(create(sPath, iKind));
        std::vector<int16_t> aiOut = render(SOURCE_FRAMES * 2 + 100);
        for (int i = 0; i < 2 * (SOURCE_FRAMES - 1); i++)
            ASSERT_EQ(aiOut[2 * i], 5 * i) << "frame " << i;
        EXPECT_TRUE(all_silent(aiOut, 2 * SOURCE_FRAMES));
        EXPECT_FALSE(playing(cnlChannel));
    }
    stMixSound *sndEdge = create(sPath, MIX_SAMPLE);
    ASSERT_EQ(mix_sound_set_loop_points(sndEdge, 100, 101), MIX_OK);
    ASSERT_EQ(mix_sound_set_loop_count(sndEdge, -1), MIX_OK);
    MixChannel cnlEdge = play(sndEdge);
    mix_render(std::vector<int16_t>(6 * SOURCE_FRAMES).data(), 3 * SOURCE_FRAMES);
    bool bPlaying = true;
    EXPECT_EQ(mix_channel_is_playing(cnlEdge, &bPlaying), MIX_OK);
    EXPECT_FALSE(bPlaying);
}

TEST_F(SoundMixer, StealsTheLowestPriorityThenTheOldest)
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
        acnlChannels.push_back(play(sndLoop));
        for (size_t i = 0; i < acnlChannels.size(); i++) {
            EXPECT_EQ(playing(acnlChannels[i]), i != iVictim) << "channel " << i;
            mix_channel_stop(acnlChannels[i]);
        }
    }
}

TEST_F(SoundMixer, EndedStoppedOrReleasedChannelsAreSilentAndNotPlaying)
{
    stMixSound *sndShort = create(write("short.wav", ramp(500)), MIX_SAMPLE);
    MixChannel cnlFirst = play(sndShort);
    mix_render(std::vector<int16_t>(1200).data(), 600);
    bool bPlaying = true;
    EXPECT_EQ(mix_channel_is_playing(cnlFirst, &bPlaying), MIX_OK);  // ended, not yet reused
    EXPECT_FALSE(bPlaying);
    EXPECT_EQ(mix_channel_set_volume(cnlFirst, 0.5f), MIX_ERR_INVALID_HANDLE);
    mix_system_update();
    MixChannel cnlSecond = play(sndShort);
    EXPECT_NE(cnlSecond, cnlFirst);
    EXPECT_EQ(mix_channel_is_playing(cnlFirst, &bPlaying), MIX_ERR_INVALID_HANDLE);
    EXPECT_EQ(mix_channel_is_playing(0, &bPlaying), MIX_ERR_INVALID_HANDLE);
    EXPECT_EQ(mix_channel_stop(cnlSecond), MIX_OK);
    EXPECT_EQ(mix_channel_stop(cnlSecond), MIX_ERR_INVALID_HANDLE);

    // A stop, or the release of a playing sound, silences its channel at once.
    stMixSound *sndLoop = create(write("loop.wav", ramp(RATE / 10)), MIX_SAMPLE);
    mix_sound_set_loop_mode(sndLoop, MIX_LOOP_NORMAL);
    stMixSound *sndLong = nullptr;
    ASSERT_EQ(mix_sound_create_from_file(write("a.wav", ramp(RATE)).c_str(), MIX_COMPRESSED, &sndLong), MIX_OK);
    MixChannel cnlLoop = play(sndLoop), cnlLong = play(sndLong);
    render(1000);
    EXPECT_EQ(mix_channel_stop(cnlLoop), MIX_OK);
    EXPECT_EQ(mix_sound_release(sndLong), MIX_OK);
    EXPECT_TRUE(all_silent(render(1000)));
    EXPECT_FALSE(playing(cnlLoop));
    EXPECT_FALSE(playing(cnlLong));
}

TEST_F(SoundMixer, FailuresAreReportedByCode)
{
    stMixSound *sndSound = nullptr;
    EXPECT_EQ(mix_sound_create_from_file((sDir + "/missing.wav").c_str(), MIX_SAMPLE, &sndSound),
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
    EXPECT_EQ(mix_system_update(), MIX_ERR_UNINITIALIZED);
    EXPECT_STREQ(mix_error_string(MIX_ERR_NO_SOFTWARE), "A sound was played but no software channels were set up.");
    EXPECT_STREQ(mix_error_string(MIX_ERR_NO_SOFTWARE + 1), "Unknown error.");
}

}  // namespace

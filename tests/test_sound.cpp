// The sound engine's slots, volumes and failure policy, on the real mixer with
// SDL's disk driver (or a device that cannot open).
#include "fade.h"
#include "headless.h"
#include "sound.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int TONE_FRAMES = MIX_OUTPUT_RATE / 10;  // a 100 ms effect
constexpr int TONE_LEVEL = 8000;                   // its constant sample value
constexpr int WAIT_LIMIT_MS = 20000;
constexpr char DISK_DELAY_MS[] = "4";              // disk driver pause per buffer

unsigned int iFakeVersion;  // the version the test's query reports
enMixResult fake_version(unsigned int *piVersion)
{
    *piVersion = iFakeVersion;
    return MIX_OK;
}

class SoundEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        char szDir[] = "/tmp/tvx_engine_XXXXXX";
        ASSERT_NE(mkdtemp(szDir), nullptr);
        sDir = szDir;
        sOutput = sDir + "/output.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", sOutput.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", DISK_DELAY_MS, 1);
        sTone = write_tone("tone.wav", TONE_FRAMES);
    }
    void TearDown() override
    {
        for (stMixSound *sndSound : asndSounds)
            destroy_sound(sndSound);
        exit_sound_libary();
        set_sound_version_query(nullptr);
        fMusicVolume = 1.0f;
        fFXVolume = 1.0f;
        std::filesystem::remove_all(sDir);
    }
    std::string write_tone(const std::string &sName, int iFrames)
    {
        std::string sPath = sDir + "/" + sName;
        SF_INFO tInfo = {};
        tInfo.samplerate = MIX_OUTPUT_RATE;
        tInfo.channels = 1;
        tInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE *ptFile = sf_open(sPath.c_str(), SFM_WRITE, &tInfo);
        EXPECT_NE(ptFile, nullptr);
        std::vector<int16_t> aiSamples(iFrames, TONE_LEVEL);
        sf_writef_short(ptFile, aiSamples.data(), iFrames);
        sf_close(ptFile);
        return sPath;
    }
    // init_sound_library, giving what it printed.
    std::string start()
    {
        testing::internal::CaptureStdout();
        init_sound_library();
        return testing::internal::GetCapturedStdout();
    }
    stMixSound *sample(const std::string &sPath, int bLoop)
    {
        stMixSound *sndSound = nullptr;
        create_sample_sound(&sndSound, sPath.c_str(), bLoop);
        if (sndSound)
            asndSounds.push_back(sndSound);
        return sndSound;
    }
    float slot_volume(int iChannel)
    {
        float fVolume = -1.0f;
        mix_channel_get_volume(cnlChannelSounds[iChannel], &fVolume);
        return fVolume;
    }
    void wait_slot_ends(int iChannel)
    {
        for (int i = 0; i < WAIT_LIMIT_MS && channel_is_playing(iChannel); i++) {
            update_fmod();
            SDL_Delay(1);
        }
        EXPECT_EQ(channel_is_playing(iChannel), 0);
    }
    // The peak level of every run of sound in the output, in order.
    std::vector<int> sound_levels()
    {
        exit_sound_libary();
        std::ifstream tFile(sOutput, std::ios::binary);
        std::vector<char> acBytes((std::istreambuf_iterator<char>(tFile)), std::istreambuf_iterator<char>());
        std::vector<int16_t> aiOut(acBytes.size() / sizeof(int16_t));
        memcpy(aiOut.data(), acBytes.data(), aiOut.size() * sizeof(int16_t));
        std::vector<int> aiLevels;
        bool bInSound = false;
        for (int16_t iSample : aiOut) {
            if (iSample != 0 && !bInSound)
                aiLevels.push_back(0);
            bInSound = iSample != 0;
            if (bInSound)
                aiLevels.back() = std::max(aiLevels.back(), static_cast<int>(iSample));
        }
        return aiLevels;
    }
    std::string sDir;
    std::string sOutput;
    std::string sTone;
    std::vector<stMixSound *> asndSounds;
};

TEST_F(SoundEngine, StartsQuietlyOnAWorkingDevice)
{
    EXPECT_EQ(start(), "");
    EXPECT_EQ(bSoundError, 0);
    for (int iChannel = 0; iChannel < NUM_CHANNELS; iChannel++)
        EXPECT_EQ(channel_is_playing(iChannel), 0) << "a slot that never played";
}

struct stVersionCase {
    unsigned int iVersion;
    bool bAccepted;
};

class SoundEngineVersion : public SoundEngine, public ::testing::WithParamInterface<stVersionCase> {};

TEST_P(SoundEngineVersion, OldVersionsLeaveTheGameSilent)
{
    iFakeVersion = GetParam().iVersion;
    set_sound_version_query(fake_version);
    std::string sPrinted = start();
    if (GetParam().bAccepted) {
        EXPECT_EQ(sPrinted, "");
        EXPECT_EQ(bSoundError, 0);
        play_sound(sample(sTone, 0), CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
        EXPECT_EQ(channel_is_playing(CHANNEL_SOUNDS), 1);
        return;
    }
    char szExpected[128];
    snprintf(szExpected, sizeof(szExpected),
             "Error!  You are using an old version of the mixer %08x.  This program requires 00040601\n",
             GetParam().iVersion);
    EXPECT_EQ(sPrinted, szExpected);
    EXPECT_EQ(bSoundError, -1);
    testing::internal::CaptureStdout();
    stMixSound *sndSound = sample(sTone, 0);
    play_sound(sndSound, CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
    update_fmod();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(sndSound, nullptr);
    EXPECT_EQ(channel_is_playing(CHANNEL_SOUNDS), 0);
}

INSTANTIATE_TEST_SUITE_P(SoundVersions, SoundEngineVersion,
                         ::testing::Values(stVersionCase{0x40600, false}, stVersionCase{0, false},
                                           stVersionCase{0x40601, true}, stVersionCase{MIX_VERSION, true}));

TEST_F(SoundEngine, UnavailableDeviceReportsOnceThenStaysSilent)
{
    setenv("SDL_DISKAUDIOFILE", (sDir + "/no/such/dir/output.raw").c_str(), 1);
    EXPECT_EQ(start(), "Mixer error! (56) Error initializing output device.\n");
    EXPECT_EQ(bSoundError, -1);

    testing::internal::CaptureStdout();
    stMixSound *sndSound = sample(sTone, 1);
    stMixSound *sndMissing = sample(sDir + "/missing.wav", 0);
    play_sound(sndSound, CHANNEL_INTRO_MUSIC, MUSIC_VOLUME, 0.0f);
    pause_channel(CHANNEL_INTRO_MUSIC);
    swap_pause_channel(CHANNEL_INTRO_MUSIC);
    stop_channel(CHANNEL_INTRO_MUSIC);
    set_fmod_channel_priority(CHANNEL_INTRO_MUSIC, 0);
    set_fmod_volume(0.25f, 0.75f);
    set_repit_loop_point_sound(sndSound, 300, 710, -1);
    disable_loop_sound(sndSound);
    update_fmod();
    destroy_sound(sndMissing);
    exit_sound_libary();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(sndSound, nullptr);
    EXPECT_EQ(channel_is_playing(CHANNEL_INTRO_MUSIC), 0);
    EXPECT_FLOAT_EQ(fMusicVolume, 0.25f);  // the volumes are kept all the same
    EXPECT_FLOAT_EQ(fFXVolume, 0.75f);
}

TEST_F(SoundEngine, OtherFailuresAreReportedAndSoundStaysOn)
{
    ASSERT_EQ(start(), "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(sample(sDir + "/missing.wav", 0), nullptr);
    play_sound(nullptr, CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Mixer error! (10) The sound file could not be opened.\n"
              "Mixer error! (2) An invalid sound or channel handle was used.\n");
    EXPECT_EQ(bSoundError, 0);
    play_sound(sample(sTone, 0), CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
    EXPECT_EQ(channel_is_playing(CHANNEL_SOUNDS), 1);
}

TEST_F(SoundEngine, VolumeArgumentChoosesTheVolume)
{
    ASSERT_EQ(start(), "");
    set_fmod_volume(0.5f, 0.25f);
    stMixSound *sndTone = sample(sTone, 0);
    struct {
        int iChannel;
        int iVolume;
    } atPlays[] = {{CHANNEL_SOUNDS, FX_VOLUME}, {CHANNEL_GAME_MUSIC, MUSIC_VOLUME}, {CHANNEL_SOUNDS, 2}};
    for (const auto &tPlay : atPlays) {
        play_sound(sndTone, tPlay.iChannel, tPlay.iVolume, 0.0f);
        wait_slot_ends(tPlay.iChannel);
    }
    std::vector<int> aiLevels = sound_levels();
    ASSERT_EQ(aiLevels.size(), 3u);
    EXPECT_EQ(aiLevels[0], TONE_LEVEL / 4);  // effect volume
    EXPECT_EQ(aiLevels[1], TONE_LEVEL / 2);  // music volume
    EXPECT_EQ(aiLevels[2], TONE_LEVEL);      // the mixer's default, whatever the effect volume
}

TEST_F(SoundEngine, SetVolumeReachesOnlyTheIntroMusicAtOnce)
{
    ASSERT_EQ(start(), "");
    stMixSound *sndLoop = sample(sTone, 1);
    set_fmod_volume(1.0f, 1.0f);
    play_sound(sndLoop, CHANNEL_INTRO_MUSIC, MUSIC_VOLUME, 0.0f);
    play_sound(sndLoop, CHANNEL_GAME_MUSIC, MUSIC_VOLUME, 0.0f);
    set_fmod_volume(0.5f, 0.3f);
    EXPECT_FLOAT_EQ(slot_volume(CHANNEL_INTRO_MUSIC), 0.5f);
    EXPECT_FLOAT_EQ(slot_volume(CHANNEL_GAME_MUSIC), 1.0f);
    play_sound(sndLoop, CHANNEL_GAME_MUSIC, MUSIC_VOLUME, 0.0f);
    EXPECT_FLOAT_EQ(slot_volume(CHANNEL_GAME_MUSIC), 0.5f);
}

TEST_F(SoundEngine, SlotOperationsReachOnlyTheNewestSound)
{
    ASSERT_EQ(start(), "");
    stMixSound *sndLoop = sample(sTone, 1);
    play_sound(sndLoop, CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
    MixChannel cnlOlder = cnlChannelSounds[CHANNEL_SOUNDS];
    play_sound(sndLoop, CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
    ASSERT_NE(cnlChannelSounds[CHANNEL_SOUNDS], cnlOlder);

    bool bPaused = false;
    swap_pause_channel(CHANNEL_SOUNDS);
    mix_channel_get_paused(cnlChannelSounds[CHANNEL_SOUNDS], &bPaused);
    EXPECT_TRUE(bPaused);
    mix_channel_get_paused(cnlOlder, &bPaused);
    EXPECT_FALSE(bPaused);
    swap_pause_channel(CHANNEL_SOUNDS);
    mix_channel_get_paused(cnlChannelSounds[CHANNEL_SOUNDS], &bPaused);
    EXPECT_FALSE(bPaused);

    stop_channel(CHANNEL_SOUNDS);
    EXPECT_EQ(channel_is_playing(CHANNEL_SOUNDS), 0);
    bool bPlaying = false;
    mix_channel_is_playing(cnlOlder, &bPlaying);
    EXPECT_TRUE(bPlaying);  // the older sound plays on
}

TEST_F(SoundEngine, RepeatedLoopSectionMakesAOneShotSoundLoop)
{
    ASSERT_EQ(start(), "");
    stMixSound *sndFilling = sample(write_tone("filling.wav", MIX_OUTPUT_RATE), 0);
    set_repit_loop_point_sound(sndFilling, 300, 710, -1);
    play_sound(sndFilling, CHANNEL_BAR, FX_VOLUME, -0.7f);
    constexpr int LONGER_THAN_THE_SOUND_MS = 400;  // 1 s of sound at about five times real time
    for (int i = 0; i < LONGER_THAN_THE_SOUND_MS; i++) {
        update_fmod();
        SDL_Delay(1);
    }
    EXPECT_EQ(channel_is_playing(CHANNEL_BAR), 1);
    disable_loop_sound(sndFilling);
    play_sound(sndFilling, CHANNEL_BAR_P2, FX_VOLUME, 0.7f);
    wait_slot_ends(CHANNEL_BAR_P2);
}

TEST_F(SoundEngine, ReleaseIsSafeWithoutStartUp)
{
    bSoundError = 0;  // as at program start, before init_sound_library
    testing::internal::CaptureStdout();
    exit_sound_libary();
    exit_sound_libary();
    update_fmod();
    set_loop_point_sound(nullptr, 0, 100);
    EXPECT_EQ(channel_is_playing(CHANNEL_GAME_MUSIC), 0);
    set_fmod_channel_priority(CHANNEL_GAME_MUSIC, 0);
    // Only the frame update complains: there is no mixer to service.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Mixer error! (3) The mixer is not initialized.\n");
}

// Music fades on a running engine, with the clock fed far faster than real time.
class SoundFade : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        char szDir[] = "/tmp/tvx_fade_XXXXXX";
        ASSERT_NE(mkdtemp(szDir), nullptr);
        sDir = szDir;
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (sDir + "/output.raw").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", DISK_DELAY_MS, 1);
        init_sound_library();
        ASSERT_EQ(bSoundError, 0);
        SF_INFO tInfo = {};
        tInfo.samplerate = MIX_OUTPUT_RATE;
        tInfo.channels = 1;
        tInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        std::string sPath = sDir + "/music.wav";
        SNDFILE *ptFile = sf_open(sPath.c_str(), SFM_WRITE, &tInfo);
        ASSERT_NE(ptFile, nullptr);
        std::vector<int16_t> aiSamples(TONE_FRAMES, TONE_LEVEL);
        sf_writef_short(ptFile, aiSamples.data(), TONE_FRAMES);
        sf_close(ptFile);
        create_sample_sound(&sndMusic, sPath.c_str(), 1);
        set_fmod_volume(0.8f, 0.8f);
        play_sound(sndMusic, CHANNEL_INTRO_MUSIC, MUSIC_VOLUME, 0.0f);
    }
    void TearDown() override
    {
        destroy_sound(sndMusic);
        exit_sound_libary();
        fMusicVolume = 1.0f;
        fFXVolume = 1.0f;
        std::filesystem::remove_all(sDir);
        HeadlessAllegro::TearDown();
    }
    float intro_volume()
    {
        float fVolume = -1.0f;
        mix_channel_get_volume(cnlChannelSounds[CHANNEL_INTRO_MUSIC], &fVolume);
        return fVolume;
    }
    // Runs a fade while another thread samples the intro music's volume.
    std::vector<float> watch(void (*pfnFade)(BITMAP *bmpPicture))
    {
        std::vector<float> afSeen;
        std::atomic<bool> bDone{false};
        std::thread tWatcher([&] {
            while (!bDone) {
                afSeen.push_back(intro_volume());
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        BITMAP *bmpPicture = create_bitmap(32, 32);
        clear_to_color(bmpPicture, makecol(200, 100, 50));
        {
            ClockFeeder tFeeder(1);
            pfnFade(bmpPicture);
        }
        destroy_bitmap(bmpPicture);
        bDone = true;
        tWatcher.join();
        return afSeen;
    }
    std::string sDir;
    stMixSound *sndMusic = nullptr;
};

struct stFadeCase {
    const char *pszName;
    void (*pfnFade)(BITMAP *bmpPicture);
    bool bIn;
};

class SoundFades : public SoundFade, public ::testing::WithParamInterface<stFadeCase> {};

TEST_P(SoundFades, VolumeMovesSteadilyAndEndsExactly)
{
    // Start from the other end, as a zero-length fade leaves it.
    if (GetParam().bIn)
        fade_music_out(CHANNEL_INTRO_MUSIC, 0);
    else
        fade_music_in(CHANNEL_INTRO_MUSIC, 0);
    std::vector<float> afSeen = watch(GetParam().pfnFade);
    float fEnd = GetParam().bIn ? 0.8f : 0.0f;
    EXPECT_FLOAT_EQ(intro_volume(), fEnd);
    bool bMiddle = false;
    for (size_t i = 1; i < afSeen.size(); i++) {
        ASSERT_GE(afSeen[i] * (GetParam().bIn ? 1 : -1), afSeen[i - 1] * (GetParam().bIn ? 1 : -1) - 1e-6f)
            << GetParam().pszName << " sample " << i;
        bMiddle = bMiddle || (afSeen[i] > 0.1f && afSeen[i] < 0.7f);
    }
    EXPECT_TRUE(bMiddle) << GetParam().pszName;
    EXPECT_EQ(channel_is_playing(CHANNEL_INTRO_MUSIC), 1);  // neither paused nor stopped
    bool bPaused = true;
    mix_channel_get_paused(cnlChannelSounds[CHANNEL_INTRO_MUSIC], &bPaused);
    EXPECT_FALSE(bPaused);
}

INSTANTIATE_TEST_SUITE_P(
    SoundFadeKinds, SoundFades,
    ::testing::Values(
        stFadeCase{"MusicIn", [](BITMAP *) { fade_music_in(CHANNEL_INTRO_MUSIC, 1000); }, true},
        stFadeCase{"MusicOut", [](BITMAP *) { fade_music_out(CHANNEL_INTRO_MUSIC, 1000); }, false},
        stFadeCase{"MediaIn", [](BITMAP *bmp) { fade_media_in(bmp, 1000, 0, 0, makecol(0, 0, 0), CHANNEL_INTRO_MUSIC); },
                   true},
        stFadeCase{"MediaOut",
                   [](BITMAP *bmp) { fade_media_out(bmp, 1000, 0, 0, makecol(0, 0, 0), CHANNEL_INTRO_MUSIC); }, false}),
    [](const ::testing::TestParamInfo<stFadeCase> &tInfo) { return std::string(tInfo.param.pszName); });

TEST_F(SoundFade, FadesRunToTheirEndWithSoundOff)
{
    exit_sound_libary();
    bSoundError = -1;
    BITMAP *bmpPicture = create_bitmap(8, 8);
    clear_to_color(bmpPicture, makecol(200, 100, 50));
    {
        ClockFeeder tFeeder(7);
        fade_music_in(CHANNEL_GAME_MUSIC, 200);
        fade_media_out(bmpPicture, 200, 10, 10, makecol(0, 0, 0), CHANNEL_GAME_MUSIC);
        fade_music_out(CHANNEL_GAME_MUSIC, 0);
    }
    EXPECT_EQ(pixel_rgb(screen, 10, 10), (Rgb{0, 0, 0}));
    destroy_bitmap(bmpPicture);
}

}  // namespace

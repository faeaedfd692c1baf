// The sound engine's slots, volumes, fades and failure policy, on the real
// mixer with SDL's disk driver (or a device that cannot open).
#include "datafile_builder.h"
#include "fade.h"
#include "headless.h"
#include "sound.h"
#include "time.h"

#include <SDL.h>

#include <sstream>

namespace db = datafile_builder;

namespace {

constexpr int TONE_FRAMES = MIX_OUTPUT_RATE / 10;  // a 100 ms effect
constexpr char SDL_LINE_START[] = "Tarvelix: SDL: "; // how SDL's own messages are printed

unsigned int iFakeVersion;  // the version the test's query reports
enMixResult fake_version(unsigned int *piVersion)
{
    *piVersion = iFakeVersion;
    return MIX_OK;
}

float slot_volume(int iChannel)
{
    float fVolume = -1.0f;
    mix_channel_get_volume(cnlChannelSounds[iChannel], &fVolume);
    return fVolume;
}

bool slot_paused(MixChannel cnlChannel)
{
    bool bPaused = false;
    mix_channel_get_paused(cnlChannel, &bPaused);
    return bPaused;
}

class SoundEngine : public HeadlessAllegro {
protected:
    void SetUp() override
    {
        HeadlessAllegro::SetUp();
        sDir = db::make_temp_dir("tvx_engine");
        ASSERT_FALSE(sDir.empty());
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (sDir + "/output.raw").c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "4", 1);  // ms per buffer: about 5 times real time
        sTone = sDir + "/tone.wav";
        db::write_file(sTone, db::wav_bytes(TONE_FRAMES));
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
        HeadlessAllegro::TearDown();
    }
    // init_sound_library, giving what it printed but SDL's own lines (its disk
    // driver announces itself).
    std::string start()
    {
        testing::internal::CaptureStderr();
        init_sound_library();
        std::istringstream tPrinted(testing::internal::GetCapturedStderr());
        std::string sLine, sKept;
        while (std::getline(tPrinted, sLine))
            if (sLine.rfind(SDL_LINE_START, 0) != 0)
                sKept += sLine + "\n";
        return sKept;
    }
    stMixSound *sample(const std::string &sPath, int bLoop)
    {
        stMixSound *sndSound = nullptr;
        create_sample_sound(&sndSound, sPath.c_str(), bLoop);
        if (sndSound)
            asndSounds.push_back(sndSound);
        return sndSound;
    }
    std::string sDir;
    std::string sTone;
    std::vector<stMixSound *> asndSounds;
};

std::string old_version_message(unsigned int iVersion)
{
    char szMessage[128];
    snprintf(szMessage, sizeof(szMessage),
             "Tarvelix: Error!  You are using an old version of the mixer %08x.  This program requires 00040601\n",
             iVersion);
    return szMessage;
}

// The back end's own version and 0x40601 start quietly. Older ones (or none
// read) and a device that cannot open print one message and switch sound off
// for good: every later operation is silent and says nothing (fades still run
// to their end), though the volumes are still kept.
TEST_F(SoundEngine, StartUpAcceptsOrSwitchesSoundOffForGood)
{
    // The version query (null: the back end's own), the version it reads, whether
    // the device opens and what start-up prints.
    struct Case { pfnSoundVersionQuery pfnQuery; unsigned int iVersion; bool bDeviceOpens; std::string sPrinted; };
    const Case atCases[] = {{nullptr, MIX_VERSION, true, ""},
                   {fake_version, 0x40601, true, ""},
                   {fake_version, 0x40600, true, old_version_message(0x40600)},
                   {fake_version, 0, true, old_version_message(0)},
                   {nullptr, MIX_VERSION, false, "Tarvelix: Mixer error! (56) Error initializing output device. ("}};
    for (const auto &tCase : atCases) {
        SCOPED_TRACE(tCase.sPrinted);
        iFakeVersion = tCase.iVersion;
        set_sound_version_query(tCase.pfnQuery);
        setenv("SDL_DISKAUDIOFILE", (sDir + (tCase.bDeviceOpens ? "" : "/no/such/dir") + "/output.raw").c_str(), 1);
        // A device that cannot open is reported with SDL's own words after the text.
        EXPECT_EQ(start().substr(0, tCase.bDeviceOpens ? std::string::npos : tCase.sPrinted.size()),
                  tCase.sPrinted);
        const bool bOn = tCase.sPrinted.empty();
        EXPECT_EQ(bSoundError, bOn ? 0 : -1);
        for (int iChannel = 0; iChannel < NUM_CHANNELS; iChannel++)
            EXPECT_EQ(channel_is_playing(iChannel), 0) << "a slot that never played";

        testing::internal::CaptureStderr();
        stMixSound *sndSound = sample(sTone, 1);
        play_sound(sndSound, CHANNEL_INTRO_MUSIC, MUSIC_VOLUME, 0.0f);
        EXPECT_EQ(channel_is_playing(CHANNEL_INTRO_MUSIC), bOn ? 1 : 0);
        pause_channel(CHANNEL_INTRO_MUSIC);
        swap_pause_channel(CHANNEL_INTRO_MUSIC);
        set_fmod_volume(0.25f, 0.75f);
        stop_channel(CHANNEL_INTRO_MUSIC);
        set_fmod_channel_priority(CHANNEL_INTRO_MUSIC, 0);
        set_repit_loop_point_sound(sndSound, 300, 710, -1);
        disable_loop_sound(sndSound);
        if (!bOn) {
            destroy_sound(sample(sDir + "/missing.wav", 0));
            ClockFeeder tFeeder(7); // fades still run to their end
            fade_music_in(CHANNEL_INTRO_MUSIC, 200);
            fade_music_out(CHANNEL_INTRO_MUSIC, 0);
        }
        update_fmod();
        exit_sound_libary();
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(sndSound != nullptr, bOn);
        EXPECT_EQ(channel_is_playing(CHANNEL_INTRO_MUSIC), 0);
        EXPECT_FLOAT_EQ(fMusicVolume, 0.25f);
        EXPECT_FLOAT_EQ(fFXVolume, 0.75f);
    }
}

// The volume argument picks the effect or the music volume, or leaves the
// mixer's full volume; a new volume reaches the intro music at once and the
// stage song at its next start; a slot's pause and stop reach only its newest sound.
TEST_F(SoundEngine, VolumesAndCommandsReachOnlyTheSlotsNewestSound)
{
    ASSERT_EQ(start(), "");
    set_fmod_volume(0.5f, 0.25f);
    stMixSound *sndLoop = sample(sTone, 1);
    struct Play { int iChannel, iVolume; float fExpected; };
    const Play atPlays[] = {{CHANNEL_SOUNDS, FX_VOLUME, 0.25f}, {CHANNEL_GAME_MUSIC, MUSIC_VOLUME, 0.5f},
                   {CHANNEL_BAR, 2, 1.0f}, {CHANNEL_INTRO_MUSIC, MUSIC_VOLUME, 0.5f}};
    for (const auto &tPlay : atPlays) {
        play_sound(sndLoop, tPlay.iChannel, tPlay.iVolume, 0.0f);
        EXPECT_FLOAT_EQ(slot_volume(tPlay.iChannel), tPlay.fExpected) << "slot " << tPlay.iChannel;
    }
    set_fmod_volume(0.3f, 0.25f);
    EXPECT_FLOAT_EQ(slot_volume(CHANNEL_INTRO_MUSIC), 0.3f);
    EXPECT_FLOAT_EQ(slot_volume(CHANNEL_GAME_MUSIC), 0.5f);
    play_sound(sndLoop, CHANNEL_GAME_MUSIC, MUSIC_VOLUME, 0.0f);
    EXPECT_FLOAT_EQ(slot_volume(CHANNEL_GAME_MUSIC), 0.3f);

    MixChannel cnlOlder = cnlChannelSounds[CHANNEL_SOUNDS];
    play_sound(sndLoop, CHANNEL_SOUNDS, FX_VOLUME, 0.0f);
    ASSERT_NE(cnlChannelSounds[CHANNEL_SOUNDS], cnlOlder);
    swap_pause_channel(CHANNEL_SOUNDS);
    EXPECT_TRUE(slot_paused(cnlChannelSounds[CHANNEL_SOUNDS]));
    EXPECT_FALSE(slot_paused(cnlOlder));
    swap_pause_channel(CHANNEL_SOUNDS);
    EXPECT_FALSE(slot_paused(cnlChannelSounds[CHANNEL_SOUNDS]));
    stop_channel(CHANNEL_SOUNDS);
    EXPECT_EQ(channel_is_playing(CHANNEL_SOUNDS), 0);
    bool bPlaying = false;
    mix_channel_is_playing(cnlOlder, &bPlaying);
    EXPECT_TRUE(bPlaying);  // the older sound plays on
}

// Each step of a fade, seen on the intro music's volume and on the picture's
// first pixel: the clock is fed one millisecond at a time from another thread,
// which after each retrace waits (bounded) for the fade to take its next step,
// so that every step is seen however busy the machine is.
struct stFadeStep { float fVolume; int iRed; };

std::vector<stFadeStep> watch_fade(const std::function<void()> &fnFade)
{
    std::vector<stFadeStep> atSeen;
    std::atomic<bool> bDone{false};
    std::thread tFeeder([&] {
        while (!bDone) {
            const float fBefore = slot_volume(CHANNEL_INTRO_MUSIC);
            atSeen.push_back({fBefore, getr(getpixel(screen, 0, 0))});
            const int iRetrace = return_retrace_count();
            increase_clock();
            for (int i = 0; i < 1000 && !bDone && return_retrace_count() != iRetrace &&
                            slot_volume(CHANNEL_INTRO_MUSIC) == fBefore;
                 i++)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    fnFade();
    bDone = true;
    tFeeder.join();
    return atSeen;
}

// Volume and light move steadily and end exactly on the music volume or 0,
// the picture or the colour; the music is neither paused nor stopped.
TEST_F(SoundEngine, FadesMoveSteadilyAndEndExactly)
{
    ASSERT_EQ(start(), "");
    set_fmod_volume(0.8f, 0.8f);
    play_sound(sample(sTone, 1), CHANNEL_INTRO_MUSIC, MUSIC_VOLUME, 0.0f);
    BITMAP *bmpPicture = create_bitmap(8, 8);
    clear_to_color(bmpPicture, makecol(200, 100, 50));
    struct Case { const char *pszName; std::function<void()> fnFade; bool bIn, bPicture; };
    const Case atCases[] = {
        {"music in", [] { fade_music_in(CHANNEL_INTRO_MUSIC, 1000); }, true, false},
        {"music out", [] { fade_music_out(CHANNEL_INTRO_MUSIC, 1000); }, false, false},
        {"media in", [&] { fade_media_in(bmpPicture, 1000, 0, 0, makecol(0, 0, 0), CHANNEL_INTRO_MUSIC); }, true,
         true},
        {"media out", [&] { fade_media_out(bmpPicture, 1000, 0, 0, makecol(0, 0, 0), CHANNEL_INTRO_MUSIC); },
         false, true}};
    for (const auto &tCase : atCases) {
        SCOPED_TRACE(tCase.pszName);
        // Start from the other end, as a zero-length fade leaves it.
        if (tCase.bIn)
            fade_music_out(CHANNEL_INTRO_MUSIC, 0);
        else
            fade_music_in(CHANNEL_INTRO_MUSIC, 0);
        clear_to_color(screen, makecol(tCase.bIn ? 0 : 200, 0, 0));
        std::vector<stFadeStep> atSeen = watch_fade(tCase.fnFade);
        atSeen.push_back({slot_volume(CHANNEL_INTRO_MUSIC), getr(getpixel(screen, 0, 0))});
        EXPECT_FLOAT_EQ(atSeen.back().fVolume, tCase.bIn ? 0.8f : 0.0f);
        EXPECT_EQ(atSeen.back().iRed, tCase.bIn == tCase.bPicture ? 200 : 0);  // music alone leaves the screen
        const int iDirection = tCase.bIn ? 1 : -1;
        int iMiddle = 0;
        for (size_t i = 1; i < atSeen.size(); i++) {
            ASSERT_GE(atSeen[i].fVolume * iDirection, atSeen[i - 1].fVolume * iDirection - 1e-6f) << "step " << i;
            ASSERT_GE(atSeen[i].iRed * iDirection, atSeen[i - 1].iRed * iDirection) << "step " << i;
            iMiddle += atSeen[i].fVolume > 0.1f && atSeen[i].fVolume < 0.7f &&
                       (!tCase.bPicture || (atSeen[i].iRed > 25 && atSeen[i].iRed < 175));
        }
        EXPECT_GT(iMiddle, 10);
        EXPECT_EQ(channel_is_playing(CHANNEL_INTRO_MUSIC), 1);
        EXPECT_FALSE(slot_paused(cnlChannelSounds[CHANNEL_INTRO_MUSIC]));
    }
    destroy_bitmap(bmpPicture);
}

}  // namespace

// The sound engine over our mixer: owns the seven channel slots, the two
// volumes and the sound-off flag. Once bSoundError is set it stays set, nothing
// more is printed, and every operation but the exempt ones returns at once.
#include "sound.h"
#include "quit_signal.h"
#include "utils.h"

#include <cassert>
#include <cstdio>

MixChannel cnlChannelSounds[NUM_CHANNELS];
int bSoundError = 0;
float fMusicVolume = 1.0f;
float fFXVolume = 1.0f;

namespace {

constexpr int SOUND_CHANNELS = MIX_MAX_CHANNELS;  // software channels asked of the mixer
constexpr int HIGHEST_PRIORITY = 0;
constexpr int REPORT_SIZE = 512; // bytes of a report's text or detail

// The engine, for the whole run.
struct stSoundEngine {
    unsigned int iVersion;                // the back end's version, 0 until read
    pfnSoundVersionQuery pfnVersionQuery; // how start-up reads it
};

stSoundEngine tEngine = {0, mix_system_get_version};

// The results that mean the output cannot work at all.
bool switches_sound_off(int iResult)
{
    return iResult == MIX_ERR_MEMORY || iResult == MIX_ERR_OUTPUT_INIT || iResult == MIX_ERR_NO_SOFTWARE;
}

MixChannel slot_channel(int iChannel)
{
    assert(iChannel >= 0 && iChannel < NUM_CHANNELS);
    return cnlChannelSounds[iChannel];
}

// Sets the loop mode that the creation's loop flag asks for.
void apply_loop_flag(stMixSound *sndSound, int bLoop)
{
    if (sndSound)
        sound_error(mix_sound_set_loop_mode(sndSound, bLoop ? MIX_LOOP_NORMAL : MIX_LOOP_OFF));
}

void create_from_file(stMixSound **psndSound, const char *pszFile, int bLoop, enMixSoundKind iKind)
{
    if (bSoundError)
        return;
    sound_error(mix_sound_create_from_file(pszFile, iKind, psndSound), pszFile);
    apply_loop_flag(*psndSound, bLoop);
}

void create_from_memory(stMixSound **psndSound, const void *pData, const stMixCreateInfo *ptInfo, int bLoop,
                        enMixSoundKind iKind)
{
    if (bSoundError)
        return;
    sound_error(mix_sound_create_from_memory(pData, ptInfo, iKind, psndSound));
    apply_loop_flag(*psndSound, bLoop);
}

}  // namespace

void create_sample_sound(stMixSound **psndSound, const char *pszFile, int bLoop)
{
    create_from_file(psndSound, pszFile, bLoop, MIX_SAMPLE);
}

void create_compressed_sound(stMixSound **psndSound, const char *pszFile, int bLoop)
{
    create_from_file(psndSound, pszFile, bLoop, MIX_COMPRESSED);
}

void create_stream_sound(stMixSound **psndSound, const char *pszFile, int bLoop)
{
    create_from_file(psndSound, pszFile, bLoop, MIX_STREAM);
}

void create_sample_sound_from_memory(stMixSound **psndSound, const void *pData, const stMixCreateInfo *ptInfo,
                                     int bLoop)
{
    create_from_memory(psndSound, pData, ptInfo, bLoop, MIX_SAMPLE);
}

void create_compressed_sound_from_memory(stMixSound **psndSound, const void *pData,
                                         const stMixCreateInfo *ptInfo, int bLoop)
{
    create_from_memory(psndSound, pData, ptInfo, bLoop, MIX_COMPRESSED);
}

void create_stream_sound_from_memory(stMixSound **psndSound, const void *pData, const stMixCreateInfo *ptInfo,
                                     int bLoop)
{
    create_from_memory(psndSound, pData, ptInfo, bLoop, MIX_STREAM);
}

void play_sound(stMixSound *sndSound, int iChannel, int iVolume, float fPan)
{
    assert(iChannel >= 0 && iChannel < NUM_CHANNELS);
    if (bSoundError)
        return;
    // The slot's previous sound plays on; the slot now reaches only the new one.
    sound_error(mix_play_sound(sndSound, true, &cnlChannelSounds[iChannel]));
    MixChannel cnlChannel = cnlChannelSounds[iChannel];
    if (iVolume == FX_VOLUME) {
        mix_channel_set_volume(cnlChannel, fFXVolume);
    } else if (iVolume == MUSIC_VOLUME) {
        mix_channel_set_volume(cnlChannel, fMusicVolume);
        mix_channel_set_priority(cnlChannel, HIGHEST_PRIORITY);
    }
    mix_channel_set_pan(cnlChannel, fPan);
    mix_channel_set_paused(cnlChannel, false);
}

void pause_channel(int iChannel)
{
    if (bSoundError)
        return;
    mix_channel_set_paused(slot_channel(iChannel), true);
}

void unpause_channel(int iChannel)
{
    if (bSoundError)
        return;
    mix_channel_set_paused(slot_channel(iChannel), false);
}

void swap_pause_channel(int iChannel)
{
    if (bSoundError)
        return;
    bool bPaused = false;
    mix_channel_get_paused(slot_channel(iChannel), &bPaused);
    mix_channel_set_paused(slot_channel(iChannel), !bPaused);
}

void stop_channel(int iChannel)
{
    if (bSoundError)
        return;
    mix_channel_stop(slot_channel(iChannel));
}

int channel_is_playing(int iChannel)
{
    bool bPlaying = false;
    if (mix_channel_is_playing(slot_channel(iChannel), &bPlaying) != MIX_OK)
        return 0;
    return bPlaying ? 1 : 0;
}

void set_fmod_channel_priority(int iChannel, int iPriority)
{
    mix_channel_set_priority(slot_channel(iChannel), iPriority);
}

void set_fmod_volume(float fMusic, float fEffects)
{
    fMusicVolume = fMusic;
    fFXVolume = fEffects;
    if (bSoundError)
        return;
    sound_error(mix_channel_set_volume(cnlChannelSounds[CHANNEL_INTRO_MUSIC], fMusicVolume));
}

void set_loop_point_sound(stMixSound *sndSound, unsigned int iStartMs, unsigned int iEndMs)
{
    mix_sound_set_loop_points(sndSound, iStartMs, iEndMs);
}

void set_repit_loop_point_sound(stMixSound *sndSound, unsigned int iStartMs, unsigned int iEndMs, int iTimes)
{
    mix_sound_set_loop_points(sndSound, iStartMs, iEndMs);
    mix_sound_set_loop_count(sndSound, iTimes);
}

void disable_loop_sound(stMixSound *sndSound)
{
    mix_sound_set_loop_mode(sndSound, MIX_LOOP_OFF);
}

void init_sound_library()
{
    bSoundError = 0;
    tEngine.iVersion = 0;
    for (MixChannel &cnlChannel : cnlChannelSounds)
        cnlChannel = 0;

    sound_error(mix_system_create());
    if (!bSoundError)
        sound_error(tEngine.pfnVersionQuery(&tEngine.iVersion));
    if (tEngine.iVersion < SOUND_REQUIRED_VERSION) {
        char szText[REPORT_SIZE];
        snprintf(szText, sizeof(szText),
                 "Error!  You are using an old version of the mixer %08x.  This program requires %08x",
                 tEngine.iVersion, SOUND_REQUIRED_VERSION);
        console_message(szText, nullptr);
        sound_error(mix_system_close());
        sound_error(mix_system_release());
        bSoundError = -1;
    } else if (!bSoundError) {
        sound_error(mix_system_init(SOUND_CHANNELS, 0));
    }
}

void update_fmod()
{
    leave_if_quit_signal(); // every loop of the game passes here once a frame
    sound_error(mix_system_update());
}

void destroy_sound(stMixSound *sndSound)
{
    // The memory goes back even with sound off; only the report is skipped then.
    sound_error(mix_sound_release(sndSound));
}

void exit_sound_libary()
{
    sound_error(mix_system_close());
    sound_error(mix_system_release());
    for (MixChannel &cnlChannel : cnlChannelSounds)
        cnlChannel = 0;
}

void sound_error(int iResult, const char *pszSource)
{
    if (iResult == MIX_OK || bSoundError)
        return;
    char szText[REPORT_SIZE];
    snprintf(szText, sizeof(szText), "Mixer error! (%d) %s", iResult, mix_error_string(iResult));
    // The library's words belong to the failures of opening the device or a sound.
    const bool bOpening = iResult == MIX_ERR_OUTPUT_INIT || iResult == MIX_ERR_FILE_NOT_FOUND ||
                          iResult == MIX_ERR_FILE_BAD;
    const char *pszLibrary = bOpening ? mix_error_detail() : "";
    char szDetail[REPORT_SIZE];
    snprintf(szDetail, sizeof(szDetail), "%s%s%s", pszSource ? pszSource : "",
             pszSource && pszLibrary[0] ? ": " : "", pszLibrary);
    console_message(szText, szDetail);
    if (switches_sound_off(iResult))
        bSoundError = -1;
}

void set_sound_version_query(pfnSoundVersionQuery pfnQuery)
{
    tEngine.pfnVersionQuery = pfnQuery ? pfnQuery : mix_system_get_version;
}

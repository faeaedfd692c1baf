// The game's sound engine: sounds created from files or memory, played on seven
// named channel slots, and the failure policy that switches sound off for the
// rest of the run when the output cannot work.
#pragma once
#include "sound_mixer.h"

typedef enum _enChannels {
    CHANNEL_INTRO_MUSIC = 0,     // music of the intro and the menus
    CHANNEL_GAME_MUSIC = 1,      // the stage song during a match
    CHANNEL_SOUNDS = 2,          // ordinary effects: menus, ball, paddles, items
    CHANNEL_SPECIAL_SOUNDS = 3,  // stage special elements
    CHANNEL_LIGHT = 4,           // the light-bulb effect of the opening screen
    CHANNEL_BAR = 5,             // bar filling and emptying, player one
    CHANNEL_BAR_P2 = 6,          // bar filling and emptying, player two
    NUM_CHANNELS = 7
} enChannels;

// The volume argument of play_sound (any other value keeps the mixer's default, 1).
constexpr int FX_VOLUME = 0;     // the effect volume
constexpr int MUSIC_VOLUME = 1;  // the music volume, at the highest priority

constexpr unsigned int SOUND_REQUIRED_VERSION = 0x40601;  // oldest back end version accepted

extern MixChannel cnlChannelSounds[NUM_CHANNELS];  // per slot: the channel of its last sound
extern int bSoundError;                             // 0 while sound works, -1 once switched off
extern float fMusicVolume;                          // 0 to 1, given to music as it starts
extern float fFXVolume;                             // 0 to 1, given to effects as they start

// Creation: *psndSound gets the new sound (null on failure); bLoop loops it.
void create_sample_sound(stMixSound **psndSound, const char *pszFile, int bLoop);
void create_compressed_sound(stMixSound **psndSound, const char *pszFile, int bLoop);
void create_stream_sound(stMixSound **psndSound, const char *pszFile, int bLoop);
void create_sample_sound_from_memory(stMixSound **psndSound, const void *pData,
                                     const stMixCreateInfo *ptInfo, int bLoop);
void create_compressed_sound_from_memory(stMixSound **psndSound, const void *pData,
                                         const stMixCreateInfo *ptInfo, int bLoop);
void create_stream_sound_from_memory(stMixSound **psndSound, const void *pData,
                                     const stMixCreateInfo *ptInfo, int bLoop);

// Starts the sound on a free channel and keeps it in the slot iChannel; iVolume
// is FX_VOLUME, MUSIC_VOLUME or another value; fPan -1 left to +1 right.
void play_sound(stMixSound *sndSound, int iChannel, int iVolume, float fPan);
void pause_channel(int iChannel);
void unpause_channel(int iChannel);
void swap_pause_channel(int iChannel);
void stop_channel(int iChannel);
// 1 while the slot's newest sound plays (paused counts), else 0.
int channel_is_playing(int iChannel);
void set_fmod_channel_priority(int iChannel, int iPriority);  // 0 is the highest
// Stores both volumes (0 to 1) and applies the music volume to the intro music slot.
void set_fmod_volume(float fMusic, float fEffects);

// Loop section in ms; the repeat count -1 loops for ever.
void set_loop_point_sound(stMixSound *sndSound, unsigned int iStartMs, unsigned int iEndMs);
void set_repit_loop_point_sound(stMixSound *sndSound, unsigned int iStartMs, unsigned int iEndMs,
                                int iTimes);
void disable_loop_sound(stMixSound *sndSound);

void init_sound_library();
void update_fmod();  // once per frame of every loop; also where a quit signal ends the game
void destroy_sound(stMixSound *sndSound);
void exit_sound_libary();  // safe whether or not start-up ran
// The failure report for a result of the back end, on the error output with
// the program's prefix: the result's text, then in parentheses pszSource (the
// sound's file, when known) and the library's own words for a device or a
// sound that would not open.
void sound_error(int iResult, const char *pszSource = nullptr);

// The version query start-up uses; a test may put in one that reports another
// version. Null puts back the back end's own.
typedef enMixResult (*pfnSoundVersionQuery)(unsigned int *piVersion);
void set_sound_version_query(pfnSoundVersionQuery pfnQuery);

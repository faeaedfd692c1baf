// The sound back end: SDL2 audio output at 44100 Hz stereo, a software mixer of
// 64 channels, sounds decoded with libsndfile (WAV and Ogg Vorbis). Every
// operation gives a numeric result; mix_error_string gives its text.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int MIX_OUTPUT_RATE = 44100;     // frames per second of the mixed output
constexpr int MIX_OUTPUT_CHANNELS = 2;     // interleaved left, right
constexpr int MIX_MAX_CHANNELS = 64;       // software channels the mixer can run
constexpr int MIX_DEFAULT_PRIORITY = 128;  // priority of a channel as it starts
constexpr int MIX_LOWEST_PRIORITY = 256;   // 0 is the highest
constexpr unsigned int MIX_VERSION = 0x00050000;  // this back end's version number

typedef enum _enMixResult {
    MIX_OK = 0,
    MIX_ERR_INVALID_PARAM = 1,        // an argument out of its range
    MIX_ERR_INVALID_HANDLE = 2,       // a null sound or a channel that has ended or was reused
    MIX_ERR_UNINITIALIZED = 3,        // the system is not created or not initialised
    MIX_ERR_INITIALIZED = 4,          // the system is already initialised
    MIX_ERR_FILE_NOT_FOUND = 10,      // the file could not be opened
    MIX_ERR_FILE_BAD = 11,            // the data is not a sound libsndfile can decode
    MIX_ERR_FORMAT = 12,              // a sound of more than two channels
    MIX_ERR_MEMORY = 40,              // out of memory or resources
    MIX_ERR_OUTPUT_INIT = 56,         // the output device could not be initialised
    MIX_ERR_NO_SOFTWARE = 58,         // a sound was played with no software channels set up
} enMixResult;

// How a sound is held: decoded whole, kept encoded and decoded while it
// plays, or read from its source while it plays and never loaded whole.
typedef enum _enMixSoundKind { MIX_SAMPLE, MIX_COMPRESSED, MIX_STREAM } enMixSoundKind;

typedef enum _enMixLoopMode { MIX_LOOP_OFF = 1, MIX_LOOP_NORMAL = 2 } enMixLoopMode;

// mix_system_init flags: 0 opens the audio device; MIX_INIT_NO_OUTPUT opens
// none, and the caller drives the mixer with mix_render.
constexpr unsigned int MIX_INIT_NO_OUTPUT = 1;

// Extra information for a sound created from memory: iSize must be
// sizeof(stMixCreateInfo), iLength is the number of bytes.
typedef struct _stMixCreateInfo {
    int iSize;             // bytes of this record
    unsigned int iLength;  // bytes of sound data
} stMixCreateInfo;

typedef struct _stMixSound stMixSound;

// A channel handle: valid from mix_play_sound until the channel ends, is
// stopped or is taken by another sound. 0 is never a channel.
typedef uint32_t MixChannel;

// System life cycle. Close and release are safe in any state.
enMixResult mix_system_create();
enMixResult mix_system_get_version(unsigned int *piVersion);
enMixResult mix_system_init(int iMaxChannels, unsigned int iFlags);
// Frees finished channels and decodes ahead for the channels that decode while
// they play; call it every frame.
enMixResult mix_system_update();
enMixResult mix_system_close();
enMixResult mix_system_release();

// Sounds. A new sound does not loop and its loop section is the whole sound.
// Memory sources are copied: the caller may free its bytes afterwards.
enMixResult mix_sound_create_from_file(const char *pszPath, enMixSoundKind iKind,
                                       stMixSound **psndSound);
enMixResult mix_sound_create_from_memory(const void *pData, const stMixCreateInfo *ptInfo,
                                         enMixSoundKind iKind, stMixSound **psndSound);
// Loop normal repeats the loop section for ever; loop off plays the sound once.
enMixResult mix_sound_set_loop_mode(stMixSound *sndSound, enMixLoopMode iMode);
// The loop section runs from iStartMs up to (not including) iEndMs.
enMixResult mix_sound_set_loop_points(stMixSound *sndSound, unsigned int iStartMs,
                                      unsigned int iEndMs);
// How many times the loop section is repeated after it is first played, then
// the sound plays on to its end; -1 repeats for ever, 0 plays it once. A count
// other than 0 makes the sound loop.
enMixResult mix_sound_set_loop_count(stMixSound *sndSound, int iCount);
// Stops every channel playing the sound, then frees it.
enMixResult mix_sound_release(stMixSound *sndSound);
enMixResult mix_sound_get_length_ms(const stMixSound *sndSound, unsigned int *piLengthMs);

// Channels. A sound starts on a free channel; when all are busy, on the one of
// lowest priority, the oldest among equals. Volume 1 and pan 0 to begin with.
enMixResult mix_play_sound(stMixSound *sndSound, bool bPaused, MixChannel *pcnlChannel);
enMixResult mix_channel_set_volume(MixChannel cnlChannel, float fVolume);  // 0 to 1
enMixResult mix_channel_get_volume(MixChannel cnlChannel, float *pfVolume);
enMixResult mix_channel_set_pan(MixChannel cnlChannel, float fPan);  // -1 left to +1 right
enMixResult mix_channel_set_paused(MixChannel cnlChannel, bool bPaused);
enMixResult mix_channel_get_paused(MixChannel cnlChannel, bool *pbPaused);
enMixResult mix_channel_set_priority(MixChannel cnlChannel, int iPriority);  // 0 to 256
enMixResult mix_channel_stop(MixChannel cnlChannel);
// A channel that has ended (and not been reused) is not playing, with MIX_OK.
enMixResult mix_channel_is_playing(MixChannel cnlChannel, bool *pbPlaying);

// Mixes the next iFrames stereo frames into pFrames (interleaved, 16-bit). The
// audio device's callback runs it; without a device the caller does.
void mix_render(int16_t *pFrames, int iFrames);

// The text of a result; "Unknown error." for a code outside the table.
const char *mix_error_string(int iResult);
// SDL's or libsndfile's own words for why the last mix_system_init or sound
// creation could not open the device or the sound ("" when it did).
const char *mix_error_detail();

// The sound back end: owns the SDL audio device, the 64 software channels and
// every sound's decoded or encoded data. Every sound reaches the mixer at the
// output rate (44100 Hz), so mixing is a plain multiply-add per frame.
//
// Threads: the game thread calls every mix_ operation; the audio device's
// thread runs mix_render. One mutex guards the channel table and is held only
// for table changes and for one mix pass (no decoding, no allocation under it).
// A decoded sample is read in place by the mixer. A compressed sound or a
// stream gets, per playing channel, a decoder and a ring of DECODE_AHEAD
// frames: the game thread fills the ring when the sound starts and tops it up
// in every mix_system_update (outside the mutex); the audio thread only reads
// it. The ring is single-producer single-consumer through two atomic counters,
// so the audio thread never decodes at all. Only the game thread frees a
// channel's decoder, after the channel has left the table under the mutex.
#include "sound_mixer.h"
#include "utils.h"

#include <SDL.h>
#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

namespace {

constexpr int MIX_BLOCK_FRAMES = 1024;         // frames mixed per pass of the float accumulator
constexpr int DEVICE_BUFFER_FRAMES = 1024;     // frames per device callback (about 23 ms)
constexpr int DECODE_AHEAD = MIX_OUTPUT_RATE * 2;  // frames of a channel's ring (2 s)
constexpr int DECODE_CHUNK = 4096;             // frames decoded per libsndfile read
constexpr int MAX_SOURCE_CHANNELS = 2;         // mono or stereo sounds only
constexpr int CHANNEL_INDEX_BITS = 7;          // low bits of a channel handle: the index
constexpr uint32_t CHANNEL_INDEX_MASK = (1u << CHANNEL_INDEX_BITS) - 1;
constexpr uint32_t GENERATION_LIMIT = 1u << (32 - CHANNEL_INDEX_BITS);  // wraps back to 1
constexpr float SAMPLE_MAX = 32767.0f;         // limits of a 16-bit output sample
constexpr float SAMPLE_MIN = -32768.0f;
constexpr size_t PATH_CAPACITY = 512;          // bytes of a stream's file path
constexpr size_t DETAIL_CAPACITY = 256;        // bytes of a library's own error text
static_assert(MIX_MAX_CHANNELS <= (1 << CHANNEL_INDEX_BITS), "channel index must fit its bits");

// An encoded sound in memory, read through libsndfile's virtual I/O.
struct stMemorySource {
    const uint8_t *pData;  // the encoded bytes
    sf_count_t iLength;    // bytes
    sf_count_t iPos;       // read position, bytes
};

// Linear interpolation from the source rate to the output rate, across calls.
struct stResampler {
    double dStep;                          // source frames per output frame
    double dFrac;                          // position between aiLast and the next frame, 0..1
    float afLast[MAX_SOURCE_CHANNELS];     // last source frame taken
    bool bPrimed;                          // afLast holds a frame
};

// A single-producer single-consumer ring of frames: the game thread writes,
// the audio thread reads. Counters only grow; the index is the counter modulo
// DECODE_AHEAD.
struct stRing {
    int16_t *piFrames;                  // DECODE_AHEAD frames of the sound's channel count
    std::atomic<uint64_t> iWritten;     // frames written since the start
    std::atomic<uint64_t> iRead;        // frames read since the start
    std::atomic<bool> bDone;            // every frame of the sound is in the ring
};

// What one playing channel of a compressed sound or stream needs. Everything
// but the ring belongs to the game thread.
struct stDecodeState {
    stRing tRing;
    SNDFILE *ptFile;            // the decoder
    stMemorySource tMemory;     // its input, for sounds held in memory
    sf_count_t iPos;            // next source frame to decode
    sf_count_t iLoopStart;      // loop section, source frames
    sf_count_t iLoopEnd;
    int iLoopsLeft;             // repeats still to make, -1 for ever
    stResampler tResampler;
};

}  // namespace

struct _stMixSound {
    enMixSoundKind iKind;
    int iChannels;              // 1 or 2
    int iSourceRate;            // Hz of the source
    sf_count_t iSourceFrames;   // frames at the source rate
    int16_t *piSamples;         // MIX_SAMPLE: the decoded frames at the output rate
    sf_count_t iFrames;         // MIX_SAMPLE: frames in piSamples
    uint8_t *pEncoded;          // compressed sound, or stream from memory: the bytes
    size_t iEncodedSize;        // bytes of pEncoded
    char szPath[PATH_CAPACITY]; // stream from a file: its path
    unsigned int iLoopStartMs;  // loop section, ms
    unsigned int iLoopEndMs;
    int iLoopCount;             // repeats of the section, -1 for ever, 0 no loop
};

namespace {

enum enChannelState { CHANNEL_FREE, CHANNEL_ACTIVE, CHANNEL_FINISHED };

struct stChannel {
    stMixSound *sndSound;       // the sound it plays, null when free
    enChannelState iState;      // FINISHED: ended by the mixer, not yet freed
    uint32_t iGeneration;       // bumped at every start; part of the handle
    uint64_t iStartOrder;       // when it started, for taking the oldest
    bool bPaused;
    float fVolume;              // 0 to 1
    float fPan;                 // -1 left to +1 right
    int iPriority;              // 0 highest to 256 lowest
    sf_count_t iPos;            // MIX_SAMPLE: next frame to mix
    sf_count_t iLoopStart;      // MIX_SAMPLE: loop section, output frames
    sf_count_t iLoopEnd;
    int iLoopsLeft;             // MIX_SAMPLE: repeats still to make, -1 for ever
    stDecodeState *ptDecode;    // compressed sound or stream, else null
};

// The system, for the whole run.
struct stSystem {
    bool bCreated;              // mix_system_create was called
    bool bInitialised;          // mix_system_init succeeded
    SDL_AudioDeviceID iDevice;  // 0 without output
    int iNumChannels;           // software channels set up, 0 to MIX_MAX_CHANNELS
    uint64_t iNextStartOrder;   // counter of started channels
};

stSystem tSystem;
std::mutex mtxMixer;                        // guards atChannel against the audio thread
stChannel atChannel[MIX_MAX_CHANNELS];
float afMixBuffer[MIX_BLOCK_FRAMES * MIX_OUTPUT_CHANNELS];  // audio thread: one pass, sample units
int16_t aiDecodeIn[DECODE_CHUNK * MAX_SOURCE_CHANNELS];     // game thread: frames read from a file
int16_t aiDecodeOut[(DECODE_CHUNK + 1) * MAX_SOURCE_CHANNELS];  // game thread: resampled frames
char szErrorDetail[DETAIL_CAPACITY];        // game thread: see mix_error_detail

void note_error_detail(const char *pszDetail)
{
    snprintf(szErrorDetail, sizeof(szErrorDetail), "%s", pszDetail ? pszDetail : "");
}

struct stResultText {
    enMixResult iResult;
    const char *pszText;
};
const stResultText atResultText[] = {
    {MIX_OK, "No errors."},
    {MIX_ERR_INVALID_PARAM, "An invalid parameter was passed to this function."},
    {MIX_ERR_INVALID_HANDLE, "An invalid sound or channel handle was used."},
    {MIX_ERR_UNINITIALIZED, "The mixer is not initialized."},
    {MIX_ERR_INITIALIZED, "The mixer is already initialized."},
    {MIX_ERR_FILE_NOT_FOUND, "The sound file could not be opened."},
    {MIX_ERR_FILE_BAD, "The sound data could not be decoded."},
    {MIX_ERR_FORMAT, "Unsupported sound format: only mono and stereo sounds are played."},
    {MIX_ERR_MEMORY, "Not enough memory or resources."},
    {MIX_ERR_OUTPUT_INIT, "Error initializing output device."},
    {MIX_ERR_NO_SOFTWARE, "A sound was played but no software channels were set up."},
};

// ---- libsndfile on memory ----

sf_count_t memory_length(void *pUser) { return static_cast<stMemorySource *>(pUser)->iLength; }

sf_count_t memory_seek(sf_count_t iOffset, int iWhence, void *pUser)
{
    stMemorySource *ptSource = static_cast<stMemorySource *>(pUser);
    sf_count_t iBase = iWhence == SEEK_SET ? 0 : iWhence == SEEK_CUR ? ptSource->iPos : ptSource->iLength;
    sf_count_t iPos = iBase + iOffset;
    if (iPos < 0 || iPos > ptSource->iLength)
        return -1;
    ptSource->iPos = iPos;
    return iPos;
}

sf_count_t memory_read(void *pBuffer, sf_count_t iCount, void *pUser)
{
    stMemorySource *ptSource = static_cast<stMemorySource *>(pUser);
    sf_count_t iRead = std::min(iCount, ptSource->iLength - ptSource->iPos);
    memcpy(pBuffer, ptSource->pData + ptSource->iPos, static_cast<size_t>(iRead));
    ptSource->iPos += iRead;
    return iRead;
}

sf_count_t memory_write(const void *, sf_count_t, void *) { return 0; }

sf_count_t memory_tell(void *pUser) { return static_cast<stMemorySource *>(pUser)->iPos; }

SF_VIRTUAL_IO tMemoryIO = {memory_length, memory_seek, memory_read, memory_write, memory_tell};

// Opens a decoder on the sound's source; ptMemory must live as long as it.
SNDFILE *open_decoder(const stMixSound *sndSound, stMemorySource *ptMemory, SF_INFO *ptInfo)
{
    memset(ptInfo, 0, sizeof(*ptInfo));
    SNDFILE *ptFile;
    if (sndSound->pEncoded) {
        *ptMemory = {sndSound->pEncoded, static_cast<sf_count_t>(sndSound->iEncodedSize), 0};
        ptFile = sf_open_virtual(&tMemoryIO, SFM_READ, ptInfo, ptMemory);
    } else {
        ptFile = sf_open(sndSound->szPath, SFM_READ, ptInfo);
    }
    if (ptFile)
        sf_command(ptFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return ptFile;
}

// ---- resampling ----

void init_resampler(stResampler *ptResampler, int iSourceRate)
{
    *ptResampler = {};
    ptResampler->dStep = static_cast<double>(iSourceRate) / MIX_OUTPUT_RATE;
}

// Converts iIn source frames; writes at most iIn / dStep + 1 frames to piOut and
// gives their number. At the output rate the frames are copied unchanged.
size_t resample(stResampler *ptResampler, int iChannels, const int16_t *piIn, size_t iIn,
                int16_t *piOut)
{
    if (ptResampler->dStep == 1.0) {
        memcpy(piOut, piIn, iIn * iChannels * sizeof(int16_t));
        return iIn;
    }
    size_t iOut = 0;
    for (size_t i = 0; i < iIn; i++) {
        const int16_t *piFrame = piIn + i * iChannels;
        if (ptResampler->bPrimed) {
            while (ptResampler->dFrac < 1.0) {
                for (int c = 0; c < iChannels; c++) {
                    double dLast = ptResampler->afLast[c];
                    piOut[iOut * iChannels + c] =
                        static_cast<int16_t>(lrint(dLast + (piFrame[c] - dLast) * ptResampler->dFrac));
                }
                iOut++;
                ptResampler->dFrac += ptResampler->dStep;
            }
            ptResampler->dFrac -= 1.0;
        }
        for (int c = 0; c < iChannels; c++)
            ptResampler->afLast[c] = piFrame[c];
        ptResampler->bPrimed = true;
    }
    return iOut;
}

// ---- sounds ----

sf_count_t ms_to_frames(unsigned int iMs, int iRate, sf_count_t iFrames)
{
    return std::min(static_cast<sf_count_t>(iMs) * iRate / 1000, iFrames);
}

unsigned int length_ms(const stMixSound *sndSound)
{
    return static_cast<unsigned int>(sndSound->iSourceFrames * 1000 / sndSound->iSourceRate);
}

void free_sound(stMixSound *sndSound)
{
    free(sndSound->piSamples);
    free(sndSound->pEncoded);
    free(sndSound);
}

// Decodes the whole sound into piSamples at the output rate.
enMixResult decode_whole(stMixSound *sndSound, SNDFILE *ptFile)
{
    size_t iChannels = static_cast<size_t>(sndSound->iChannels);
    size_t iSourceFrames = static_cast<size_t>(sndSound->iSourceFrames);
    int16_t *piSource = static_cast<int16_t *>(malloc((iSourceFrames + 1) * iChannels * sizeof(int16_t)));
    if (!piSource)
        return MIX_ERR_MEMORY;
    sf_count_t iRead = sf_readf_short(ptFile, piSource, sndSound->iSourceFrames);
    if (iRead < 0) {
        free(piSource);
        return MIX_ERR_FILE_BAD;
    }
    sndSound->iSourceFrames = iRead;
    if (sndSound->iSourceRate == MIX_OUTPUT_RATE) {
        sndSound->piSamples = piSource;
        sndSound->iFrames = iRead;
        return MIX_OK;
    }
    stResampler tResampler;
    init_resampler(&tResampler, sndSound->iSourceRate);
    size_t iMaxOut = static_cast<size_t>(iRead / tResampler.dStep) + 2;
    sndSound->piSamples = static_cast<int16_t *>(malloc(iMaxOut * iChannels * sizeof(int16_t)));
    if (!sndSound->piSamples) {
        free(piSource);
        return MIX_ERR_MEMORY;
    }
    sndSound->iFrames = static_cast<sf_count_t>(
        resample(&tResampler, sndSound->iChannels, piSource, static_cast<size_t>(iRead), sndSound->piSamples));
    free(piSource);
    return MIX_OK;
}

// Reads the source's format and, for a sample, decodes it; the sound's source
// (pEncoded or szPath) is already set.
enMixResult open_sound(stMixSound *sndSound)
{
    stMemorySource tMemory;
    SF_INFO tInfo;
    SNDFILE *ptFile = open_decoder(sndSound, &tMemory, &tInfo);
    if (!ptFile)
        note_error_detail(sf_strerror(nullptr));
    if (!ptFile)
        return sndSound->pEncoded || sf_error(nullptr) != SF_ERR_SYSTEM ? MIX_ERR_FILE_BAD
                                                                        : MIX_ERR_FILE_NOT_FOUND;
    enMixResult iResult = MIX_OK;
    if (tInfo.channels < 1 || tInfo.channels > MAX_SOURCE_CHANNELS)
        iResult = MIX_ERR_FORMAT;
    else if (tInfo.samplerate <= 0 || tInfo.frames <= 0)
        iResult = MIX_ERR_FILE_BAD;
    if (iResult == MIX_OK) {
        sndSound->iChannels = tInfo.channels;
        sndSound->iSourceRate = tInfo.samplerate;
        sndSound->iSourceFrames = tInfo.frames;
        if (sndSound->iKind == MIX_SAMPLE)
            iResult = decode_whole(sndSound, ptFile);
    }
    sf_close(ptFile);
    if (iResult == MIX_OK) {
        sndSound->iLoopStartMs = 0;
        sndSound->iLoopEndMs = length_ms(sndSound) + 1;  // past the last frame: the whole sound
    }
    return iResult;
}

enMixResult new_sound(enMixSoundKind iKind, stMixSound **psndSound)
{
    note_error_detail(nullptr);
    if (!psndSound || iKind < MIX_SAMPLE || iKind > MIX_STREAM)
        return MIX_ERR_INVALID_PARAM;
    *psndSound = nullptr;
    if (!tSystem.bInitialised)
        return MIX_ERR_UNINITIALIZED;
    stMixSound *sndSound = static_cast<stMixSound *>(calloc(1, sizeof(stMixSound)));
    if (!sndSound)
        return MIX_ERR_MEMORY;
    sndSound->iKind = iKind;
    *psndSound = sndSound;
    return MIX_OK;
}

// Keeps the new sound when it opened, else frees it and clears the handle.
enMixResult finish_sound(enMixResult iResult, stMixSound **psndSound)
{
    if (iResult == MIX_OK)
        iResult = open_sound(*psndSound);
    if (iResult != MIX_OK) {
        free_sound(*psndSound);
        *psndSound = nullptr;
    }
    return iResult;
}

// Reads a whole file into memory (a compressed sound keeps its encoded bytes).
enMixResult read_file(const char *pszPath, stMixSound *sndSound)
{
    FILE *ptFile = fopen(pszPath, "rb");
    if (!ptFile) {
        note_error_detail(strerror(errno));
        return MIX_ERR_FILE_NOT_FOUND;
    }
    enMixResult iResult = MIX_OK;
    long iSize = fseek(ptFile, 0, SEEK_END) == 0 ? ftell(ptFile) : -1;
    if (iSize <= 0 || fseek(ptFile, 0, SEEK_SET) != 0) {
        iResult = MIX_ERR_FILE_BAD;
    } else {
        sndSound->pEncoded = static_cast<uint8_t *>(malloc(static_cast<size_t>(iSize)));
        sndSound->iEncodedSize = static_cast<size_t>(iSize);
        if (!sndSound->pEncoded)
            iResult = MIX_ERR_MEMORY;
        else if (fread(sndSound->pEncoded, 1, sndSound->iEncodedSize, ptFile) != sndSound->iEncodedSize)
            iResult = MIX_ERR_FILE_BAD;
    }
    fclose(ptFile);
    return iResult;
}

// ---- decoding ahead ----

void free_decode_state(stDecodeState *ptDecode)
{
    if (!ptDecode)
        return;
    if (ptDecode->ptFile)
        sf_close(ptDecode->ptFile);
    free(ptDecode->tRing.piFrames);
    delete ptDecode;
}

// Decodes into the ring until it is full or the sound has been written whole.
void refill(stDecodeState *ptDecode, const stMixSound *sndSound)
{
    stRing *ptRing = &ptDecode->tRing;
    int iChannels = sndSound->iChannels;
    double dStep = ptDecode->tResampler.dStep;
    while (!ptRing->bDone.load(std::memory_order_relaxed)) {
        uint64_t iWritten = ptRing->iWritten.load(std::memory_order_relaxed);
        uint64_t iFree = DECODE_AHEAD - (iWritten - ptRing->iRead.load(std::memory_order_acquire));
        sf_count_t iRoom = static_cast<sf_count_t>(std::min<uint64_t>(iFree, DECODE_CHUNK));
        sf_count_t iWant = dStep == 1.0 ? iRoom : static_cast<sf_count_t>((iRoom - 1) * dStep);
        iWant = std::min<sf_count_t>(iWant, DECODE_CHUNK);
        if (iWant < 1)
            return;
        bool bLooping = ptDecode->iLoopsLeft != 0 && ptDecode->iPos < ptDecode->iLoopEnd;
        sf_count_t iLimit = bLooping ? ptDecode->iLoopEnd : sndSound->iSourceFrames;
        iWant = std::min(iWant, iLimit - ptDecode->iPos);
        sf_count_t iGot = iWant > 0 ? sf_readf_short(ptDecode->ptFile, aiDecodeIn, iWant) : 0;
        if (iGot > 0) {
            ptDecode->iPos += iGot;
            size_t iOut = resample(&ptDecode->tResampler, iChannels, aiDecodeIn, static_cast<size_t>(iGot),
                                   aiDecodeOut);
            for (size_t i = 0; i < iOut; i++) {
                size_t iIndex = static_cast<size_t>((iWritten + i) % DECODE_AHEAD);
                memcpy(ptRing->piFrames + iIndex * iChannels, aiDecodeOut + i * iChannels,
                       iChannels * sizeof(int16_t));
            }
            ptRing->iWritten.store(iWritten + iOut, std::memory_order_release);
        }
        bool bAtLimit = ptDecode->iPos >= iLimit;
        if (bAtLimit && bLooping) {
            if (sf_seek(ptDecode->ptFile, ptDecode->iLoopStart, SEEK_SET) < 0) {
                ptRing->bDone.store(true, std::memory_order_release);
                return;
            }
            ptDecode->iPos = ptDecode->iLoopStart;
            if (ptDecode->iLoopsLeft > 0)
                ptDecode->iLoopsLeft--;
        } else if (bAtLimit || iGot < iWant) {
            ptRing->bDone.store(true, std::memory_order_release);  // the end, or the data ran out early
        }
    }
}

// A decoder and a full ring for a new channel of a compressed sound or stream.
enMixResult start_decoding(stMixSound *sndSound, stDecodeState **pptDecode)
{
    stDecodeState *ptDecode = new (std::nothrow) stDecodeState();
    if (!ptDecode)
        return MIX_ERR_MEMORY;
    SF_INFO tInfo;
    ptDecode->ptFile = open_decoder(sndSound, &ptDecode->tMemory, &tInfo);
    if (!ptDecode->ptFile)
        note_error_detail(sf_strerror(nullptr));
    ptDecode->tRing.piFrames =
        static_cast<int16_t *>(malloc(sizeof(int16_t) * DECODE_AHEAD * sndSound->iChannels));
    enMixResult iResult = MIX_OK;
    if (!ptDecode->ptFile)
        iResult = sndSound->pEncoded ? MIX_ERR_FILE_BAD : MIX_ERR_FILE_NOT_FOUND;
    else if (!ptDecode->tRing.piFrames)
        iResult = MIX_ERR_MEMORY;
    else if (tInfo.channels != sndSound->iChannels || tInfo.samplerate != sndSound->iSourceRate)
        iResult = MIX_ERR_FILE_BAD;  // a stream's file changed since it was created
    if (iResult != MIX_OK) {
        free_decode_state(ptDecode);
        return iResult;
    }
    ptDecode->iLoopStart = ms_to_frames(sndSound->iLoopStartMs, sndSound->iSourceRate, sndSound->iSourceFrames);
    ptDecode->iLoopEnd = ms_to_frames(sndSound->iLoopEndMs, sndSound->iSourceRate, sndSound->iSourceFrames);
    ptDecode->iLoopsLeft = sndSound->iLoopCount;
    init_resampler(&ptDecode->tResampler, sndSound->iSourceRate);
    refill(ptDecode, sndSound);
    *pptDecode = ptDecode;
    return MIX_OK;
}

// ---- channels ----

MixChannel channel_handle(int iIndex)
{
    return atChannel[iIndex].iGeneration << CHANNEL_INDEX_BITS | static_cast<uint32_t>(iIndex);
}

// The channel a handle names while its generation holds; call with the mutex held.
stChannel *find_channel(MixChannel cnlChannel)
{
    uint32_t iIndex = cnlChannel & CHANNEL_INDEX_MASK;
    if (cnlChannel == 0 || iIndex >= static_cast<uint32_t>(tSystem.iNumChannels))
        return nullptr;
    stChannel *ptChannel = &atChannel[iIndex];
    if (ptChannel->iGeneration != cnlChannel >> CHANNEL_INDEX_BITS || ptChannel->iState == CHANNEL_FREE)
        return nullptr;
    return ptChannel;
}

stChannel *find_active_channel(MixChannel cnlChannel)
{
    stChannel *ptChannel = find_channel(cnlChannel);
    return ptChannel && ptChannel->iState == CHANNEL_ACTIVE ? ptChannel : nullptr;
}

// Empties a channel and hands back its decoder for the caller to free once the
// mutex is released; call with the mutex held.
stDecodeState *clear_channel(stChannel *ptChannel)
{
    stDecodeState *ptDecode = ptChannel->ptDecode;
    ptChannel->ptDecode = nullptr;
    ptChannel->sndSound = nullptr;
    ptChannel->iState = CHANNEL_FREE;
    return ptDecode;
}

// A free or finished channel, else the lowest priority, the oldest among equals.
int choose_channel()
{
    int iBest = -1;
    for (int i = 0; i < tSystem.iNumChannels; i++) {
        const stChannel *ptChannel = &atChannel[i];
        if (ptChannel->iState != CHANNEL_ACTIVE)
            return i;
        if (iBest < 0 || ptChannel->iPriority > atChannel[iBest].iPriority ||
            (ptChannel->iPriority == atChannel[iBest].iPriority &&
             ptChannel->iStartOrder < atChannel[iBest].iStartOrder))
            iBest = i;
    }
    return iBest;
}

// Adds iFrames frames of a sound (mono or stereo) to the accumulator.
void accumulate(float *pfOut, const int16_t *piIn, int iChannels, sf_count_t iFrames, float fLeft, float fRight)
{
    if (iChannels == 1) {
        for (sf_count_t i = 0; i < iFrames; i++) {
            float fSample = piIn[i];
            pfOut[2 * i] += fSample * fLeft;
            pfOut[2 * i + 1] += fSample * fRight;
        }
    } else {
        for (sf_count_t i = 0; i < iFrames; i++) {
            pfOut[2 * i] += piIn[2 * i] * fLeft;
            pfOut[2 * i + 1] += piIn[2 * i + 1] * fRight;
        }
    }
}

void mix_sample_channel(stChannel *ptChannel, int iFrames, float fLeft, float fRight)
{
    const stMixSound *sndSound = ptChannel->sndSound;
    int iDone = 0;
    while (iDone < iFrames) {
        bool bLooping = ptChannel->iLoopsLeft != 0 && ptChannel->iPos < ptChannel->iLoopEnd;
        sf_count_t iLimit = bLooping ? ptChannel->iLoopEnd : sndSound->iFrames;
        sf_count_t iCount = std::min<sf_count_t>(iFrames - iDone, iLimit - ptChannel->iPos);
        accumulate(afMixBuffer + iDone * MIX_OUTPUT_CHANNELS,
                   sndSound->piSamples + ptChannel->iPos * sndSound->iChannels, sndSound->iChannels, iCount,
                   fLeft, fRight);
        ptChannel->iPos += iCount;
        iDone += static_cast<int>(iCount);
        if (ptChannel->iPos < iLimit)
            continue;
        if (!bLooping) {
            ptChannel->iState = CHANNEL_FINISHED;
            return;
        }
        ptChannel->iPos = ptChannel->iLoopStart;
        if (ptChannel->iLoopsLeft > 0)
            ptChannel->iLoopsLeft--;
    }
}

void mix_decoded_channel(stChannel *ptChannel, int iFrames, float fLeft, float fRight)
{
    stRing *ptRing = &ptChannel->ptDecode->tRing;
    int iChannels = ptChannel->sndSound->iChannels;
    int iDone = 0;
    while (iDone < iFrames) {
        bool bDone = ptRing->bDone.load(std::memory_order_acquire);
        uint64_t iRead = ptRing->iRead.load(std::memory_order_relaxed);
        uint64_t iAvailable = ptRing->iWritten.load(std::memory_order_acquire) - iRead;
        if (iAvailable == 0) {
            if (bDone)
                ptChannel->iState = CHANNEL_FINISHED;
            return;  // else starved: the game thread has not topped the ring up in time
        }
        size_t iIndex = static_cast<size_t>(iRead % DECODE_AHEAD);
        sf_count_t iCount = static_cast<sf_count_t>(
            std::min<uint64_t>({static_cast<uint64_t>(iFrames - iDone), iAvailable, DECODE_AHEAD - iIndex}));
        accumulate(afMixBuffer + iDone * MIX_OUTPUT_CHANNELS, ptRing->piFrames + iIndex * iChannels, iChannels,
                   iCount, fLeft, fRight);
        ptRing->iRead.store(iRead + iCount, std::memory_order_release);
        iDone += static_cast<int>(iCount);
    }
}

void SDLCALL audio_callback(void *, Uint8 *pStream, int iBytes)
{
    mix_render(reinterpret_cast<int16_t *>(pStream),
               iBytes / static_cast<int>(MIX_OUTPUT_CHANNELS * sizeof(int16_t)));
}

// SDL's own messages, as every message of the program: on the error output
// with its prefix. May run on the audio thread.
void SDLCALL report_sdl_message(void *, int, SDL_LogPriority, const char *pszMessage)
{
    char szLine[DETAIL_CAPACITY];
    snprintf(szLine, sizeof(szLine), "SDL: %s", pszMessage);
    console_message(szLine, nullptr);
}

enMixResult open_output()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // SDL must leave SIGINT and SIGTERM to the game
    SDL_LogSetOutputFunction(report_sdl_message, nullptr);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        note_error_detail(SDL_GetError());
        return MIX_ERR_OUTPUT_INIT;
    }
    SDL_AudioSpec tWanted = {};
    tWanted.freq = MIX_OUTPUT_RATE;
    tWanted.format = AUDIO_S16SYS;
    tWanted.channels = MIX_OUTPUT_CHANNELS;
    tWanted.samples = DEVICE_BUFFER_FRAMES;
    tWanted.callback = audio_callback;
    SDL_AudioSpec tObtained;
    tSystem.iDevice = SDL_OpenAudioDevice(nullptr, 0, &tWanted, &tObtained, 0);
    if (tSystem.iDevice == 0) {
        note_error_detail(SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return MIX_ERR_OUTPUT_INIT;
    }
    SDL_PauseAudioDevice(tSystem.iDevice, 0);
    return MIX_OK;
}

}  // namespace

// ---- system ----

enMixResult mix_system_create()
{
    tSystem.bCreated = true;
    return MIX_OK;
}

enMixResult mix_system_get_version(unsigned int *piVersion)
{
    if (!piVersion)
        return MIX_ERR_INVALID_PARAM;
    if (!tSystem.bCreated)
        return MIX_ERR_UNINITIALIZED;
    *piVersion = MIX_VERSION;
    return MIX_OK;
}

enMixResult mix_system_init(int iMaxChannels, unsigned int iFlags)
{
    if (!tSystem.bCreated)
        return MIX_ERR_UNINITIALIZED;
    if (tSystem.bInitialised)
        return MIX_ERR_INITIALIZED;
    note_error_detail(nullptr);
    if (iMaxChannels < 0 || iMaxChannels > MIX_MAX_CHANNELS || (iFlags & ~MIX_INIT_NO_OUTPUT) != 0)
        return MIX_ERR_INVALID_PARAM;
    for (stChannel &tChannel : atChannel)
        tChannel = stChannel{};
    tSystem.iDevice = 0;
    if (!(iFlags & MIX_INIT_NO_OUTPUT)) {
        enMixResult iResult = open_output();
        if (iResult != MIX_OK)
            return iResult;
    }
    {
        std::lock_guard<std::mutex> tLock(mtxMixer);  // the callback may already be running
        tSystem.iNumChannels = iMaxChannels;
    }
    tSystem.bInitialised = true;
    return MIX_OK;
}

enMixResult mix_system_update()
{
    if (!tSystem.bInitialised)
        return MIX_ERR_UNINITIALIZED;
    stDecodeState *aptFinished[MIX_MAX_CHANNELS];
    int iNumFinished = 0;
    stChannel *aptDecoding[MIX_MAX_CHANNELS];
    int iNumDecoding = 0;
    {
        std::lock_guard<std::mutex> tLock(mtxMixer);
        for (int i = 0; i < tSystem.iNumChannels; i++) {
            stChannel *ptChannel = &atChannel[i];
            if (ptChannel->iState == CHANNEL_FINISHED)
                aptFinished[iNumFinished++] = clear_channel(ptChannel);
            else if (ptChannel->iState == CHANNEL_ACTIVE && ptChannel->ptDecode)
                aptDecoding[iNumDecoding++] = ptChannel;
        }
    }
    for (int i = 0; i < iNumFinished; i++)
        free_decode_state(aptFinished[i]);
    // Only this thread changes a channel's sound and decoder, so both stay valid
    // here even if the mixer finishes the channel meanwhile.
    for (int i = 0; i < iNumDecoding; i++)
        refill(aptDecoding[i]->ptDecode, aptDecoding[i]->sndSound);
    return MIX_OK;
}

enMixResult mix_system_close()
{
    if (!tSystem.bInitialised)
        return MIX_OK;
    if (tSystem.iDevice != 0) {
        SDL_CloseAudioDevice(tSystem.iDevice);  // waits for the callback: the mutex must be free
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        tSystem.iDevice = 0;
    }
    for (int i = 0; i < tSystem.iNumChannels; i++)
        free_decode_state(clear_channel(&atChannel[i]));
    tSystem.iNumChannels = 0;
    tSystem.bInitialised = false;
    return MIX_OK;
}

enMixResult mix_system_release()
{
    mix_system_close();
    tSystem.bCreated = false;
    return MIX_OK;
}

// ---- sounds ----

enMixResult mix_sound_create_from_file(const char *pszPath, enMixSoundKind iKind, stMixSound **psndSound)
{
    if (!pszPath)
        return MIX_ERR_INVALID_PARAM;
    enMixResult iResult = new_sound(iKind, psndSound);
    if (iResult != MIX_OK)
        return iResult;
    stMixSound *sndSound = *psndSound;
    if (iKind == MIX_COMPRESSED) {
        iResult = read_file(pszPath, sndSound);
    } else {
        size_t iLength = strlen(pszPath);
        if (iLength >= sizeof(sndSound->szPath))
            iResult = MIX_ERR_INVALID_PARAM;
        else
            memcpy(sndSound->szPath, pszPath, iLength + 1);
    }
    return finish_sound(iResult, psndSound);
}

enMixResult mix_sound_create_from_memory(const void *pData, const stMixCreateInfo *ptInfo, enMixSoundKind iKind,
                                         stMixSound **psndSound)
{
    if (!pData || !ptInfo || ptInfo->iSize != static_cast<int>(sizeof(stMixCreateInfo)) || ptInfo->iLength == 0)
        return MIX_ERR_INVALID_PARAM;
    enMixResult iResult = new_sound(iKind, psndSound);
    if (iResult != MIX_OK)
        return iResult;
    stMixSound *sndSound = *psndSound;
    sndSound->pEncoded = static_cast<uint8_t *>(malloc(ptInfo->iLength));
    if (!sndSound->pEncoded) {
        iResult = MIX_ERR_MEMORY;
    } else {
        memcpy(sndSound->pEncoded, pData, ptInfo->iLength);
        sndSound->iEncodedSize = ptInfo->iLength;
    }
    iResult = finish_sound(iResult, psndSound);
    if (iResult == MIX_OK && iKind == MIX_SAMPLE) {
        free(sndSound->pEncoded);  // a sample keeps only its decoded frames
        sndSound->pEncoded = nullptr;
        sndSound->iEncodedSize = 0;
    }
    return iResult;
}

enMixResult mix_sound_set_loop_mode(stMixSound *sndSound, enMixLoopMode iMode)
{
    if (!sndSound)
        return MIX_ERR_INVALID_HANDLE;
    if (iMode != MIX_LOOP_OFF && iMode != MIX_LOOP_NORMAL)
        return MIX_ERR_INVALID_PARAM;
    sndSound->iLoopCount = iMode == MIX_LOOP_NORMAL ? -1 : 0;
    return MIX_OK;
}

enMixResult mix_sound_set_loop_points(stMixSound *sndSound, unsigned int iStartMs, unsigned int iEndMs)
{
    if (!sndSound)
        return MIX_ERR_INVALID_HANDLE;
    if (iStartMs >= iEndMs ||
        ms_to_frames(iStartMs, sndSound->iSourceRate, sndSound->iSourceFrames) >=
            ms_to_frames(iEndMs, sndSound->iSourceRate, sndSound->iSourceFrames))
        return MIX_ERR_INVALID_PARAM;
    sndSound->iLoopStartMs = iStartMs;
    sndSound->iLoopEndMs = iEndMs;
    return MIX_OK;
}

enMixResult mix_sound_set_loop_count(stMixSound *sndSound, int iCount)
{
    if (!sndSound)
        return MIX_ERR_INVALID_HANDLE;
    if (iCount < -1)
        return MIX_ERR_INVALID_PARAM;
    sndSound->iLoopCount = iCount;
    return MIX_OK;
}

enMixResult mix_sound_release(stMixSound *sndSound)
{
    if (!sndSound)
        return MIX_ERR_INVALID_HANDLE;
    stDecodeState *aptDecode[MIX_MAX_CHANNELS];
    int iNumDecode = 0;
    {
        std::lock_guard<std::mutex> tLock(mtxMixer);
        for (int i = 0; i < tSystem.iNumChannels; i++)
            if (atChannel[i].iState != CHANNEL_FREE && atChannel[i].sndSound == sndSound)
                aptDecode[iNumDecode++] = clear_channel(&atChannel[i]);
    }
    for (int i = 0; i < iNumDecode; i++)
        free_decode_state(aptDecode[i]);
    free_sound(sndSound);
    return MIX_OK;
}

enMixResult mix_sound_get_length_ms(const stMixSound *sndSound, unsigned int *piLengthMs)
{
    if (!sndSound)
        return MIX_ERR_INVALID_HANDLE;
    if (!piLengthMs)
        return MIX_ERR_INVALID_PARAM;
    *piLengthMs = length_ms(sndSound);
    return MIX_OK;
}

// ---- channels ----

enMixResult mix_play_sound(stMixSound *sndSound, bool bPaused, MixChannel *pcnlChannel)
{
    note_error_detail(nullptr);
    if (!pcnlChannel)
        return MIX_ERR_INVALID_PARAM;
    *pcnlChannel = 0;
    if (!sndSound)
        return MIX_ERR_INVALID_HANDLE;
    if (!tSystem.bInitialised)
        return MIX_ERR_UNINITIALIZED;
    if (tSystem.iNumChannels == 0)
        return MIX_ERR_NO_SOFTWARE;
    stDecodeState *ptDecode = nullptr;
    if (sndSound->iKind != MIX_SAMPLE) {
        enMixResult iResult = start_decoding(sndSound, &ptDecode);
        if (iResult != MIX_OK)
            return iResult;
    }
    stDecodeState *ptOld;
    {
        std::lock_guard<std::mutex> tLock(mtxMixer);
        int iIndex = choose_channel();
        stChannel *ptChannel = &atChannel[iIndex];
        ptOld = clear_channel(ptChannel);
        uint32_t iGeneration = ptChannel->iGeneration + 1;
        *ptChannel = stChannel{};
        ptChannel->sndSound = sndSound;
        ptChannel->iState = CHANNEL_ACTIVE;
        ptChannel->iGeneration = iGeneration < GENERATION_LIMIT ? iGeneration : 1;
        ptChannel->iStartOrder = tSystem.iNextStartOrder++;
        ptChannel->bPaused = bPaused;
        ptChannel->fVolume = 1.0f;
        ptChannel->iPriority = MIX_DEFAULT_PRIORITY;
        ptChannel->iLoopStart = ms_to_frames(sndSound->iLoopStartMs, MIX_OUTPUT_RATE, sndSound->iFrames);
        ptChannel->iLoopEnd = ms_to_frames(sndSound->iLoopEndMs, MIX_OUTPUT_RATE, sndSound->iFrames);
        ptChannel->iLoopsLeft = sndSound->iLoopCount;
        ptChannel->ptDecode = ptDecode;
        *pcnlChannel = channel_handle(iIndex);
    }
    free_decode_state(ptOld);
    return MIX_OK;
}

// Runs fnChange on the active channel behind a handle, under the mixer lock.
template <typename Change> enMixResult with_active_channel(MixChannel cnlChannel, Change fnChange)
{
    std::lock_guard<std::mutex> tLock(mtxMixer);
    stChannel *ptChannel = find_active_channel(cnlChannel);
    if (!ptChannel)
        return MIX_ERR_INVALID_HANDLE;
    fnChange(*ptChannel);
    return MIX_OK;
}

enMixResult mix_channel_set_volume(MixChannel cnlChannel, float fVolume)
{
    if (std::isnan(fVolume))
        return MIX_ERR_INVALID_PARAM;
    return with_active_channel(cnlChannel,
                               [&](stChannel &t) { t.fVolume = std::clamp(fVolume, 0.0f, 1.0f); });
}

enMixResult mix_channel_get_volume(MixChannel cnlChannel, float *pfVolume)
{
    if (!pfVolume)
        return MIX_ERR_INVALID_PARAM;
    return with_active_channel(cnlChannel, [&](stChannel &t) { *pfVolume = t.fVolume; });
}

enMixResult mix_channel_set_pan(MixChannel cnlChannel, float fPan)
{
    if (std::isnan(fPan))
        return MIX_ERR_INVALID_PARAM;
    return with_active_channel(cnlChannel,
                               [&](stChannel &t) { t.fPan = std::clamp(fPan, -1.0f, 1.0f); });
}

enMixResult mix_channel_set_paused(MixChannel cnlChannel, bool bPaused)
{
    return with_active_channel(cnlChannel, [&](stChannel &t) { t.bPaused = bPaused; });
}

enMixResult mix_channel_get_paused(MixChannel cnlChannel, bool *pbPaused)
{
    if (!pbPaused)
        return MIX_ERR_INVALID_PARAM;
    return with_active_channel(cnlChannel, [&](stChannel &t) { *pbPaused = t.bPaused; });
}

enMixResult mix_channel_set_priority(MixChannel cnlChannel, int iPriority)
{
    if (iPriority < 0 || iPriority > MIX_LOWEST_PRIORITY)
        return MIX_ERR_INVALID_PARAM;
    return with_active_channel(cnlChannel, [&](stChannel &t) { t.iPriority = iPriority; });
}

enMixResult mix_channel_stop(MixChannel cnlChannel)
{
    stDecodeState *ptDecode;
    {
        std::lock_guard<std::mutex> tLock(mtxMixer);
        stChannel *ptChannel = find_active_channel(cnlChannel);
        if (!ptChannel)
            return MIX_ERR_INVALID_HANDLE;
        ptDecode = clear_channel(ptChannel);
    }
    free_decode_state(ptDecode);
    return MIX_OK;
}

enMixResult mix_channel_is_playing(MixChannel cnlChannel, bool *pbPlaying)
{
    if (!pbPlaying)
        return MIX_ERR_INVALID_PARAM;
    *pbPlaying = false;
    std::lock_guard<std::mutex> tLock(mtxMixer);
    uint32_t iIndex = cnlChannel & CHANNEL_INDEX_MASK;
    if (cnlChannel == 0 || iIndex >= static_cast<uint32_t>(tSystem.iNumChannels) ||
        atChannel[iIndex].iGeneration != cnlChannel >> CHANNEL_INDEX_BITS)
        return MIX_ERR_INVALID_HANDLE;  // never started, or reused by another sound
    *pbPlaying = atChannel[iIndex].iState == CHANNEL_ACTIVE;
    return MIX_OK;
}

// ---- mixing ----

void mix_render(int16_t *pFrames, int iFrames)
{
    std::lock_guard<std::mutex> tLock(mtxMixer);
    while (iFrames > 0) {
        int iBlock = std::min(iFrames, MIX_BLOCK_FRAMES);
        std::fill(afMixBuffer, afMixBuffer + iBlock * MIX_OUTPUT_CHANNELS, 0.0f);
        for (int i = 0; i < tSystem.iNumChannels; i++) {
            stChannel *ptChannel = &atChannel[i];
            if (ptChannel->iState != CHANNEL_ACTIVE || ptChannel->bPaused)
                continue;
            // Balance: the far side fades out as the pan moves over; the centre is full on both.
            float fLeft = ptChannel->fVolume * (ptChannel->fPan > 0.0f ? 1.0f - ptChannel->fPan : 1.0f);
            float fRight = ptChannel->fVolume * (ptChannel->fPan < 0.0f ? 1.0f + ptChannel->fPan : 1.0f);
            if (ptChannel->ptDecode)
                mix_decoded_channel(ptChannel, iBlock, fLeft, fRight);
            else
                mix_sample_channel(ptChannel, iBlock, fLeft, fRight);
        }
        for (int i = 0; i < iBlock * MIX_OUTPUT_CHANNELS; i++)
            pFrames[i] = static_cast<int16_t>(lrintf(std::clamp(afMixBuffer[i], SAMPLE_MIN, SAMPLE_MAX)));
        pFrames += iBlock * MIX_OUTPUT_CHANNELS;
        iFrames -= iBlock;
    }
}

const char *mix_error_detail() { return szErrorDetail; }

const char *mix_error_string(int iResult)
{
    for (const stResultText &tEntry : atResultText)
        if (tEntry.iResult == iResult)
            return tEntry.pszText;
    return "Unknown error.";
}

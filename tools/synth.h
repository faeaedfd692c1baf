// The synthesiser shared by tvx_sfx, tvx_song and their tests: reads effect
// recipes (.sfx) and song scores (.score) and renders them at 44100 Hz.
// Reading never stops the program: every fault in a source comes back as
// "file:line: message", and rendering only ever sees values that were checked.
//
// Effect recipe, one directive per line, '#' starts a comment, times in ms:
//   channels 1|2   seed N   peak P   length MS   loop START END   crossfade MS
//   echo DELAY FEEDBACK MIX
//   part [NAME]                      then, for that part:
//   start MS   length MS (the held time; the release follows)   and the voice
//   keys below.
// Voice keys (effect parts and song instruments):
//   wave sine|square|saw|triangle|noise   freq F0 [F1 [SWEEP]]   repeat PERIOD [ALIGN]
//   duty D   env ATTACK DECAY SUSTAIN RELEASE   volume V   pan P
//   vibrato HZ SEMITONES   tremolo HZ DEPTH   fm RATIO INDEX0 [INDEX1]
//   filter lowpass|highpass|bandpass CUT0 [CUT1 [Q]]   drive D   arp STEP SEMITONES...
// Song score: tempo BPM, steps (per beat), peak, quality, seed; blocks
//   "instrument NAME" ... "end" (voice keys and echo), "pattern NAME" ... "end"
//   (lines "INSTRUMENT: steps"), and "order PATTERN...". A step is a note
//   (C4, F#3, Bb2, optional '!' accent, chords joined by '+'), '-' (hold),
//   '.' (rest), or for an instrument with its own freq x, X (accent), o (soft);
//   '|' is only a visual bar line.
#pragma once

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace synth {

constexpr int SAMPLE_RATE = 44100;              // frames per second of every output
constexpr double PI = 3.14159265358979323846;
constexpr double MIN_RAMP_S = 0.001;            // shortest attack and release, s: no click at either end
constexpr double MAX_FREQ_HZ = 20000.0;         // highest oscillator frequency, Hz
constexpr double MAX_CUTOFF_RATIO = 0.45;       // highest filter cutoff, fraction of the rate
constexpr double MIN_CUTOFF_HZ = 10.0;          // lowest filter cutoff, Hz
constexpr double MAX_SFX_MS = 20000.0;          // longest effect, ms
constexpr double MAX_SONG_S = 300.0;            // longest song loop, s
constexpr int MAX_PARTS = 32;                   // parts of one effect
constexpr int MAX_ARP_STEPS = 16;               // semitone steps of one arpeggio
constexpr int MAX_CHORD_NOTES = 6;              // notes sounding at once on one step
constexpr double DECAY_CURVE = 5.0;             // steepness of the decay and release curves
constexpr double ECHO_SILENCE = 0.001;          // echo level below which its tail is dropped
constexpr double DEFAULT_PEAK = 0.8;            // output peak after normalising, full scale 1
constexpr double DEFAULT_CROSSFADE_MS = 60.0;   // blend that closes an effect's loop section, ms
constexpr double DEFAULT_QUALITY = 0.6;         // Vorbis quality, 0..1
constexpr double DEFAULT_Q = 0.707;             // filter resonance when none is given
constexpr double FRAME_EPSILON = 1e-6;          // rounding slack when seconds become whole frames
constexpr double DRUM_VELOCITY[3] = {0.75, 1.0, 0.45};  // x, X, o
constexpr double NOTE_VELOCITY = 0.8;           // a plain note
constexpr double ACCENT_VELOCITY = 1.0;         // a note marked '!'

// Limits of the values a source may give (beyond them a source is at fault).
constexpr double MIN_DUTY = 0.05, MAX_DUTY = 0.95;   // square high fraction
constexpr double MAX_VOLUME = 4.0;                   // linear gain of one part
constexpr double MAX_MOD_HZ = 100.0;                 // vibrato and tremolo rates, Hz
constexpr double MAX_VIBRATO_SEMIS = 24.0;           // vibrato depth, semitones
constexpr double MAX_ARP_SEMIS = 48.0;               // arpeggio offset either way, semitones
constexpr double MIN_FM_RATIO = 0.01, MAX_FM_RATIO = 32.0;  // modulator to carrier frequency
constexpr double MAX_FM_INDEX = 50.0;                // phase modulation depth, radians
constexpr double MIN_Q = 0.3, MAX_Q = 20.0;          // filter resonance
constexpr double MAX_DRIVE = 20.0;                   // saturation amount
constexpr double MAX_ECHO_MS = 2000.0;               // echo delay, ms
constexpr double MAX_FEEDBACK = 0.95;                // echo feedback: always dies away
constexpr double MIN_PEAK = 0.01, MAX_PEAK = 0.98;   // normalised output peak: never clips
constexpr double MAX_CROSSFADE_MS = 1000.0;          // loop blend, ms
constexpr double MAX_SEED = 4294967295.0;            // seeds are 32-bit
constexpr double MIN_TEMPO = 20.0, MAX_TEMPO = 400.0;  // beats per minute
constexpr double MAX_STEPS_PER_BEAT = 16.0;

enum class Wave { SINE, SQUARE, SAW, TRIANGLE, NOISE };
constexpr int NUM_WAVES = 5;
constexpr const char *WAVE_NAMES[] = {"sine", "square", "saw", "triangle", "noise"};  // in Wave order
static_assert(sizeof(WAVE_NAMES) / sizeof(WAVE_NAMES[0]) == NUM_WAVES, "one name per wave");
enum class Filter { NONE, LOWPASS, HIGHPASS, BANDPASS };

// How one sounding part or instrument makes its signal.
struct stVoice {
    Wave eWave = Wave::SINE;
    bool bWave = false;              // a wave was chosen
    double dFreq0 = 0, dFreq1 = 0;   // pitch sweep from, to, Hz (0: white noise)
    double dSweepS = 0;              // sweep time, s (0: the held time)
    double dRepeatS = 0;             // the sweep starts over every so often, s (0: once)
    double dAlignS = 0;              // a repeated sweep begins here, s from the part's start
    double dDuty = 0.5;              // square: high fraction of a cycle
    double dAttackS = 0.005, dDecayS = 0.05, dSustain = 1.0, dReleaseS = 0.05;  // envelope, s and level
    double dVolume = 1.0;            // linear gain
    double dPan = 0.0;               // -1 left .. 1 right (stereo output only)
    double dVibHz = 0, dVibSemis = 0;    // pitch vibrato rate, Hz, and depth, semitones
    double dTremHz = 0, dTremDepth = 0;  // amplitude tremolo rate, Hz, and depth, 0..1
    double dFmRatio = 0, dFmIndex0 = 0, dFmIndex1 = 0;  // phase modulator: frequency ratio, index from/to (radians)
    Filter eFilter = Filter::NONE;
    double dCut0 = 0, dCut1 = 0, dQ = DEFAULT_Q;  // filter cutoff from/to over the whole sound, Hz; resonance
    double dDrive = 0;               // soft saturation amount (0: clean)
    double dArpStepS = 0;            // arpeggio step time, s (0: none)
    std::vector<double> vdArpSemis;  // arpeggio offsets, semitones, cycled
};

// A feedback echo laid over a whole effect or one instrument.
struct stEcho {
    double dDelayS = 0;     // s (0: no echo)
    double dFeedback = 0;   // level of each repeat relative to the one before, 0..0.95
    double dMix = 0;        // level of the echoes against the dry signal, 0..1
};

// A rendered sound: one vector of samples per channel, all the same length.
struct stBuffer {
    int iChannels = 1;
    std::vector<float> avSamples[2];
    size_t frames() const { return avSamples[0].size(); }
    void resize(size_t iFrames) { for (int c = 0; c < iChannels; c++) avSamples[c].assign(iFrames, 0.0f); }
};

struct stPart {
    stVoice tVoice;
    double dStartS = 0;      // onset from the start of the effect, s
    double dLengthS = 0.1;   // held time, s; the release follows
    int iLine = 0;           // where the part begins in its recipe
};

struct stSfx {
    int iChannels = 1;
    uint32_t iSeed = 1;
    double dPeak = DEFAULT_PEAK;
    double dLengthS = 0;            // 0: the end of the last part's release
    int iLoopStartMs = -1, iLoopEndMs = -1;  // seamless loop section, ms (-1: none)
    double dCrossfadeS = DEFAULT_CROSSFADE_MS / 1000.0;
    stEcho tEcho;
    std::vector<stPart> vParts;
};

// ---- numbers, tokens and messages ----

inline std::string where(const std::string &sFile, int iLine)
{
    return sFile + ":" + std::to_string(iLine) + ": ";
}

// Splits a line into words, dropping a '#' comment.
// A comment starts at a '#' that begins a word, so sharps inside notes (F#3) stay.
inline std::vector<std::string> tokens(const std::string &sLine)
{
    std::vector<std::string> vsWords;
    std::istringstream tIn(sLine);
    std::string sWord;
    while (tIn >> sWord && sWord[0] != '#')
        vsWords.push_back(sWord);
    return vsWords;
}

// A whole word as a finite number.
inline bool to_number(const std::string &sWord, double &dOut)
{
    if (sWord.empty())
        return false;
    char *pEnd = nullptr;
    errno = 0;
    dOut = std::strtod(sWord.c_str(), &pEnd);
    return errno == 0 && *pEnd == '\0' && std::isfinite(dOut);
}

// The reader of one source: its name, the current line and the first fault.
struct stReader {
    std::string sFile;
    int iLine = 0;
    std::string sError;
    bool fail(const std::string &sMessage)
    {
        if (sError.empty())
            sError = where(sFile, iLine) + sMessage;
        return false;
    }
    // Reads vsWords[i] as a number within [dMin, dMax].
    bool number(const std::vector<std::string> &vsWords, size_t i, double dMin, double dMax, double &dOut)
    {
        if (i >= vsWords.size())
            return fail("'" + vsWords[0] + "' needs more values");
        if (!to_number(vsWords[i], dOut))
            return fail("'" + vsWords[i] + "' is not a number");
        if (dOut < dMin || dOut > dMax)
            return fail("'" + vsWords[0] + "' value " + vsWords[i] + " is outside " +
                        std::to_string(dMin) + " .. " + std::to_string(dMax));
        return true;
    }
    bool count(const std::vector<std::string> &vsWords, size_t iMin, size_t iMax)
    {
        if (vsWords.size() < iMin + 1)
            return fail("'" + vsWords[0] + "' needs " + std::to_string(iMin) + " value(s)");
        if (vsWords.size() > iMax + 1)
            return fail("'" + vsWords[0] + "' takes at most " + std::to_string(iMax) + " value(s)");
        return true;
    }
};

// Reads one voice key into tVoice. Returns false with bKnown false when the
// word is not a voice key, or with the reader's error when its values are bad.
inline bool read_voice_key(stReader &tR, const std::vector<std::string> &vsW, stVoice &tV, bool &bKnown)
{
    const std::string &sKey = vsW[0];
    bKnown = true;
    double d[4] = {0, 0, 0, 0};
    if (sKey == "wave") {
        if (!tR.count(vsW, 1, 1))
            return false;
        for (int i = 0; i < NUM_WAVES; i++)
            if (vsW[1] == WAVE_NAMES[i]) {
                tV.eWave = static_cast<Wave>(i);
                tV.bWave = true;
                return true;
            }
        return tR.fail("unknown wave '" + vsW[1] + "' (sine, square, saw, triangle, noise)");
    }
    if (sKey == "freq") {
        if (!tR.count(vsW, 1, 3) || !tR.number(vsW, 1, 1, MAX_FREQ_HZ, d[0]))
            return false;
        d[1] = d[0];
        if (vsW.size() > 2 && !tR.number(vsW, 2, 1, MAX_FREQ_HZ, d[1]))
            return false;
        if (vsW.size() > 3 && !tR.number(vsW, 3, 1, MAX_SFX_MS, d[2]))
            return false;
        tV.dFreq0 = d[0];
        tV.dFreq1 = d[1];
        tV.dSweepS = d[2] / 1000.0;
        return true;
    }
    if (sKey == "repeat") {
        if (!tR.count(vsW, 1, 2) || !tR.number(vsW, 1, 1, MAX_SFX_MS, d[0]))
            return false;
        if (vsW.size() > 2 && !tR.number(vsW, 2, 0, MAX_SFX_MS, d[1]))
            return false;
        tV.dRepeatS = d[0] / 1000.0;
        tV.dAlignS = d[1] / 1000.0;
        return true;
    }
    if (sKey == "duty") {
        if (!tR.count(vsW, 1, 1) || !tR.number(vsW, 1, MIN_DUTY, MAX_DUTY, tV.dDuty))
            return false;
        return true;
    }
    if (sKey == "env") {
        if (!tR.count(vsW, 4, 4) || !tR.number(vsW, 1, 0, MAX_SFX_MS, d[0]) ||
            !tR.number(vsW, 2, 0, MAX_SFX_MS, d[1]) || !tR.number(vsW, 3, 0, 1, d[2]) ||
            !tR.number(vsW, 4, 0, MAX_SFX_MS, d[3]))
            return false;
        tV.dAttackS = d[0] / 1000.0;
        tV.dDecayS = d[1] / 1000.0;
        tV.dSustain = d[2];
        tV.dReleaseS = d[3] / 1000.0;
        return true;
    }
    if (sKey == "volume")
        return tR.count(vsW, 1, 1) && tR.number(vsW, 1, 0, MAX_VOLUME, tV.dVolume);
    if (sKey == "pan")
        return tR.count(vsW, 1, 1) && tR.number(vsW, 1, -1, 1, tV.dPan);
    if (sKey == "vibrato")
        return tR.count(vsW, 2, 2) && tR.number(vsW, 1, 0, MAX_MOD_HZ, tV.dVibHz) &&
               tR.number(vsW, 2, 0, MAX_VIBRATO_SEMIS, tV.dVibSemis);
    if (sKey == "tremolo")
        return tR.count(vsW, 2, 2) && tR.number(vsW, 1, 0, MAX_MOD_HZ, tV.dTremHz) &&
               tR.number(vsW, 2, 0, 1, tV.dTremDepth);
    if (sKey == "fm") {
        if (!tR.count(vsW, 2, 3) || !tR.number(vsW, 1, MIN_FM_RATIO, MAX_FM_RATIO, tV.dFmRatio) ||
            !tR.number(vsW, 2, 0, MAX_FM_INDEX, tV.dFmIndex0))
            return false;
        tV.dFmIndex1 = tV.dFmIndex0;
        return vsW.size() < 4 || tR.number(vsW, 3, 0, MAX_FM_INDEX, tV.dFmIndex1);
    }
    if (sKey == "filter") {
        if (!tR.count(vsW, 2, 4))
            return false;
        if (vsW[1] == "lowpass")
            tV.eFilter = Filter::LOWPASS;
        else if (vsW[1] == "highpass")
            tV.eFilter = Filter::HIGHPASS;
        else if (vsW[1] == "bandpass")
            tV.eFilter = Filter::BANDPASS;
        else
            return tR.fail("unknown filter '" + vsW[1] + "' (lowpass, highpass, bandpass)");
        if (!tR.number(vsW, 2, MIN_CUTOFF_HZ, MAX_FREQ_HZ, tV.dCut0))
            return false;
        tV.dCut1 = tV.dCut0;
        if (vsW.size() > 3 && !tR.number(vsW, 3, MIN_CUTOFF_HZ, MAX_FREQ_HZ, tV.dCut1))
            return false;
        return vsW.size() < 5 || tR.number(vsW, 4, MIN_Q, MAX_Q, tV.dQ);
    }
    if (sKey == "drive")
        return tR.count(vsW, 1, 1) && tR.number(vsW, 1, 0, MAX_DRIVE, tV.dDrive);
    if (sKey == "arp") {
        if (!tR.count(vsW, 2, MAX_ARP_STEPS + 1) || !tR.number(vsW, 1, 1, MAX_SFX_MS, d[0]))
            return false;
        tV.dArpStepS = d[0] / 1000.0;
        tV.vdArpSemis.clear();
        for (size_t i = 2; i < vsW.size(); i++) {
            if (!tR.number(vsW, i, -MAX_ARP_SEMIS, MAX_ARP_SEMIS, d[1]))
                return false;
            tV.vdArpSemis.push_back(d[1]);
        }
        return true;
    }
    bKnown = false;
    return false;
}

inline bool read_echo(stReader &tR, const std::vector<std::string> &vsW, stEcho &tE)
{
    double dMs = 0;
    if (!tR.count(vsW, 3, 3) || !tR.number(vsW, 1, 1, MAX_ECHO_MS, dMs) ||
        !tR.number(vsW, 2, 0, MAX_FEEDBACK, tE.dFeedback) || !tR.number(vsW, 3, 0, 1, tE.dMix))
        return false;
    tE.dDelayS = dMs / 1000.0;
    return true;
}

// A voice that can sound: a wave, and a pitch unless it is white noise.
inline bool check_voice(stReader &tR, const stVoice &tV, bool bPitchFromNotes)
{
    if (!tV.bWave)
        return tR.fail("no 'wave' given");
    if (!bPitchFromNotes && tV.eWave != Wave::NOISE && tV.dFreq0 <= 0)
        return tR.fail("a pitched wave needs 'freq'");
    if (tV.dRepeatS > 0 && tV.dFreq0 == tV.dFreq1)
        return tR.fail("'repeat' needs a sweep ('freq F0 F1')");
    return true;
}

// Frames an echo keeps sounding after its input ends.
inline size_t echo_tail_frames(const stEcho &tE)
{
    if (tE.dDelayS <= 0 || tE.dMix <= 0)
        return 0;
    double dRepeats = tE.dFeedback > 0 ? std::ceil(std::log(ECHO_SILENCE) / std::log(tE.dFeedback)) : 1.0;
    return static_cast<size_t>(std::ceil(tE.dDelayS * SAMPLE_RATE * (dRepeats + 1)));
}

// ---- effect recipes ----

inline double part_end(const stPart &tP)
{
    return tP.dStartS + tP.dLengthS + std::max(tP.tVoice.dReleaseS, MIN_RAMP_S);
}

// The effect's length in frames: the one given, or the end of its last part
// and of the echo that follows it.
inline size_t sfx_frames(const stSfx &tSfx)
{
    if (tSfx.dLengthS > 0)
        return static_cast<size_t>(std::ceil(tSfx.dLengthS * SAMPLE_RATE - FRAME_EPSILON));
    double dEnd = 0;
    for (const stPart &tP : tSfx.vParts)
        dEnd = std::max(dEnd, part_end(tP));
    return static_cast<size_t>(std::ceil(dEnd * SAMPLE_RATE - FRAME_EPSILON)) + echo_tail_frames(tSfx.tEcho);
}

inline size_t ms_to_frames(int iMs)
{
    return static_cast<size_t>(iMs) * SAMPLE_RATE / 1000;  // the sound engine's rounding
}

// Closing checks once the whole recipe is read; a fault is reported at the
// line that caused it (the part, the loop, or the last line).
inline bool check_sfx(stReader &tR, const stSfx &tSfx, int iLoopLine)
{
    if (tSfx.vParts.empty())
        return tR.fail("the recipe has no part");
    int iLastLine = tR.iLine;
    for (const stPart &tP : tSfx.vParts) {
        tR.iLine = tP.iLine;
        if (!check_voice(tR, tP.tVoice, false))
            return false;
    }
    tR.iLine = iLastLine;
    double dEnd = static_cast<double>(sfx_frames(tSfx)) / SAMPLE_RATE;
    if (dEnd * 1000.0 > MAX_SFX_MS)
        return tR.fail("the effect lasts " + std::to_string(dEnd) + " s, longer than " +
                       std::to_string(MAX_SFX_MS / 1000.0) + " s");
    if (tSfx.iLoopStartMs >= 0) {
        tR.iLine = iLoopLine;
        size_t iStart = ms_to_frames(tSfx.iLoopStartMs), iEnd = ms_to_frames(tSfx.iLoopEndMs);
        size_t iFade = static_cast<size_t>(tSfx.dCrossfadeS * SAMPLE_RATE);
        if (iEnd > sfx_frames(tSfx))
            return tR.fail("the loop section ends after the effect");
        if (iStart < iFade || iEnd - iStart < 2 * iFade)
            return tR.fail("the loop section must start at least one crossfade in and last at least two");
    }
    return true;
}

inline bool parse_sfx(const std::string &sText, const std::string &sFile, stSfx &tSfx, std::string &sError)
{
    stReader tR;
    tR.sFile = sFile;
    tSfx = stSfx();
    std::istringstream tIn(sText);
    std::string sLine;
    int iLoopLine = 0;
    while (std::getline(tIn, sLine) && tR.sError.empty()) {
        tR.iLine++;
        std::vector<std::string> vsW = tokens(sLine);
        if (vsW.empty())
            continue;
        const std::string &sKey = vsW[0];
        bool bInPart = !tSfx.vParts.empty();
        if (sKey == "part") {
            if (static_cast<int>(tSfx.vParts.size()) >= MAX_PARTS)
                tR.fail("more than " + std::to_string(MAX_PARTS) + " parts");
            else if (tR.count(vsW, 0, 1)) {
                tSfx.vParts.emplace_back();
                tSfx.vParts.back().iLine = tR.iLine;
            }
            continue;
        }
        if (bInPart) {
            stPart &tP = tSfx.vParts.back();
            double dMs = 0;
            bool bKnown = false;
            if (sKey == "start" || sKey == "length") {
                if (tR.count(vsW, 1, 1) && tR.number(vsW, 1, 0, MAX_SFX_MS, dMs))
                    (sKey == "start" ? tP.dStartS : tP.dLengthS) = dMs / 1000.0;
            } else if (!read_voice_key(tR, vsW, tP.tVoice, bKnown) && !bKnown) {
                tR.fail("unknown part key '" + sKey + "'" +
                        (sKey == "channels" || sKey == "seed" || sKey == "peak" || sKey == "loop" ||
                                 sKey == "crossfade" || sKey == "echo"
                             ? " (it belongs before the first part)"
                             : ""));
            }
            continue;
        }
        double d[2] = {0, 0};
        if (sKey == "channels") {
            if (tR.count(vsW, 1, 1) && tR.number(vsW, 1, 1, 2, d[0])) {
                if (d[0] != 1 && d[0] != 2)
                    tR.fail("'channels' is 1 or 2");
                tSfx.iChannels = static_cast<int>(d[0]);
            }
        } else if (sKey == "seed") {
            if (tR.count(vsW, 1, 1) && tR.number(vsW, 1, 0, MAX_SEED, d[0]))
                tSfx.iSeed = static_cast<uint32_t>(d[0]);
        } else if (sKey == "peak") {
            if (tR.count(vsW, 1, 1))
                tR.number(vsW, 1, MIN_PEAK, MAX_PEAK, tSfx.dPeak);
        } else if (sKey == "length") {
            if (tR.count(vsW, 1, 1) && tR.number(vsW, 1, 1, MAX_SFX_MS, d[0]))
                tSfx.dLengthS = d[0] / 1000.0;
        } else if (sKey == "loop") {
            if (tR.count(vsW, 2, 2) && tR.number(vsW, 1, 0, MAX_SFX_MS, d[0]) &&
                tR.number(vsW, 2, 0, MAX_SFX_MS, d[1])) {
                if (d[0] != std::floor(d[0]) || d[1] != std::floor(d[1]) || d[1] <= d[0])
                    tR.fail("'loop' takes whole milliseconds START < END");
                tSfx.iLoopStartMs = static_cast<int>(d[0]);
                tSfx.iLoopEndMs = static_cast<int>(d[1]);
                iLoopLine = tR.iLine;
            }
        } else if (sKey == "crossfade") {
            if (tR.count(vsW, 1, 1) && tR.number(vsW, 1, 1, MAX_CROSSFADE_MS, d[0]))
                tSfx.dCrossfadeS = d[0] / 1000.0;
        } else if (sKey == "echo") {
            read_echo(tR, vsW, tSfx.tEcho);
        } else {
            tR.fail("unknown key '" + sKey + "' (effect keys come before the first 'part')");
        }
    }
    if (tR.sError.empty())
        check_sfx(tR, tSfx, iLoopLine);
    sError = tR.sError;
    return sError.empty();
}

// ---- rendering ----

// xorshift32: the same seed always gives the same noise.
struct stNoise {
    uint32_t iState;
    explicit stNoise(uint32_t iSeed) : iState(iSeed * 2654435761u + 0x9e3779b9u) { if (!iState) iState = 1; }
    double next()
    {
        iState ^= iState << 13;
        iState ^= iState >> 17;
        iState ^= iState << 5;
        return static_cast<double>(iState) / 2147483648.0 - 1.0;
    }
};

// Smooths the jump of a naive saw or square at a phase wrap (dT phase 0..1, dDt increment).
inline double poly_blep(double dT, double dDt)
{
    if (dT < dDt) {
        double x = dT / dDt;
        return x + x - x * x - 1.0;
    }
    if (dT > 1.0 - dDt) {
        double x = (dT - 1.0) / dDt;
        return x * x + x + x + 1.0;
    }
    return 0.0;
}

// Falls from 1 at x = 0 to 0 at x = 1, quickly at first.
inline double fall_curve(double x)
{
    static const double dFloor = std::exp(-DECAY_CURVE);
    return (std::exp(-DECAY_CURVE * x) - dFloor) / (1.0 - dFloor);
}

// Envelope level at t seconds after the onset of a note held for dGateS.
inline double envelope(const stVoice &tV, double t, double dGateS)
{
    double dAttack = std::max(tV.dAttackS, MIN_RAMP_S);
    auto held = [&](double x) {
        if (x < dAttack)
            return x / dAttack;
        if (x < dAttack + tV.dDecayS)
            return tV.dSustain + (1.0 - tV.dSustain) * fall_curve((x - dAttack) / tV.dDecayS);
        return tV.dSustain;
    };
    if (t < dGateS)
        return held(t);
    double dRelease = std::max(tV.dReleaseS, MIN_RAMP_S);
    double x = (t - dGateS) / dRelease;
    return x >= 1.0 ? 0.0 : held(dGateS) * fall_curve(x);
}

// Frequency at t seconds after the onset (before vibrato).
inline double sweep_freq(const stVoice &tV, double t, double dGateS)
{
    double dFreq = tV.dFreq0;
    if (tV.dFreq1 != tV.dFreq0) {
        double dTime = tV.dRepeatS > 0 ? tV.dRepeatS : (tV.dSweepS > 0 ? tV.dSweepS : dGateS);
        double dPos = t;
        if (tV.dRepeatS > 0) {
            dPos = std::fmod(t - tV.dAlignS, tV.dRepeatS);
            if (dPos < 0)
                dPos += tV.dRepeatS;
        }
        double x = dTime > 0 ? std::min(dPos / dTime, 1.0) : 1.0;
        dFreq = tV.dFreq0 * std::pow(tV.dFreq1 / tV.dFreq0, x);
    }
    if (tV.dArpStepS > 0 && !tV.vdArpSemis.empty()) {
        size_t iStep = static_cast<size_t>(t / tV.dArpStepS) % tV.vdArpSemis.size();
        dFreq *= std::pow(2.0, tV.vdArpSemis[iStep] / 12.0);
    }
    return dFreq;
}

// A state-variable filter (trapezoidal integration): stable while its cutoff moves.
struct stSvf {
    double dIc1 = 0, dIc2 = 0;  // integrator states
    double process(Filter eKind, double dCutHz, double dQ, double x)
    {
        double g = std::tan(PI * std::min(dCutHz, MAX_CUTOFF_RATIO * SAMPLE_RATE) / SAMPLE_RATE);
        double k = 1.0 / dQ;
        double a1 = 1.0 / (1.0 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        double v3 = x - dIc2;
        double v1 = a1 * dIc1 + a2 * v3;
        double v2 = dIc2 + a2 * dIc1 + a3 * v3;
        dIc1 = 2.0 * v1 - dIc1;
        dIc2 = 2.0 * v2 - dIc2;
        if (eKind == Filter::LOWPASS)
            return v2;
        if (eKind == Filter::BANDPASS)
            return v1 * k;  // unity gain at the centre
        return x - k * v1 - v2;
    }
};

// Adds one note of a voice to tOut from frame iOnset; frames past the end are dropped.
inline void render_voice(const stVoice &tV, size_t iOnset, double dGateS, double dVelocity, uint32_t iSeed,
                         stBuffer &tOut)
{
    double dDuration = dGateS + std::max(tV.dReleaseS, MIN_RAMP_S);
    size_t iFrames = static_cast<size_t>(std::ceil(dDuration * SAMPLE_RATE));
    double dGainL = dVelocity * tV.dVolume, dGainR = 0;
    if (tOut.iChannels == 2) {
        double dAngle = (tV.dPan + 1.0) * PI / 4.0;  // equal power
        dGainR = dGainL * std::sin(dAngle) * std::sqrt(2.0);
        dGainL = dGainL * std::cos(dAngle) * std::sqrt(2.0);
    }
    stNoise tNoise(iSeed);
    stSvf tSvf;
    double dPhase = 0, dModPhase = 0, dHeld = tNoise.next();
    double dDriveNorm = tV.dDrive > 0 ? std::tanh(tV.dDrive) : 1.0;
    for (size_t i = 0; i < iFrames && iOnset + i < tOut.frames(); i++) {
        double t = static_cast<double>(i) / SAMPLE_RATE;
        double dAmp = envelope(tV, t, dGateS);
        double dFreq = sweep_freq(tV, t, dGateS);
        if (tV.dVibSemis > 0)
            dFreq *= std::pow(2.0, tV.dVibSemis * std::sin(2.0 * PI * tV.dVibHz * t) / 12.0);
        double dDt = std::min(dFreq / SAMPLE_RATE, 0.5);
        double dP = dPhase;
        bool bFm = tV.dFmRatio > 0;
        if (bFm) {
            double dIndex = tV.dFmIndex0 + (tV.dFmIndex1 - tV.dFmIndex0) * std::min(t / dDuration, 1.0);
            dP += dIndex * std::sin(2.0 * PI * dModPhase) / (2.0 * PI);
            dP -= std::floor(dP);
            dModPhase += dDt * tV.dFmRatio;
            dModPhase -= std::floor(dModPhase);
        }
        double s = 0;
        switch (tV.eWave) {
        case Wave::SINE:
            s = std::sin(2.0 * PI * dP);
            break;
        case Wave::SQUARE:
            s = (dP < tV.dDuty ? 1.0 : -1.0) - (2.0 * tV.dDuty - 1.0);  // a narrow pulse has no offset
            if (!bFm) {
                double dFall = dP - tV.dDuty;
                s += poly_blep(dP, dDt) - poly_blep(dFall - std::floor(dFall), dDt);
            }
            break;
        case Wave::SAW:
            s = 2.0 * dP - 1.0 - (bFm ? 0.0 : poly_blep(dP, dDt));
            break;
        case Wave::TRIANGLE:
            s = 4.0 * std::fabs(dP - 0.5) - 1.0;
            break;
        case Wave::NOISE:
            s = tV.dFreq0 > 0 ? dHeld : tNoise.next();
            break;
        }
        dPhase += dDt;
        if (dPhase >= 1.0) {
            dPhase -= 1.0;
            dHeld = tNoise.next();  // sample-and-hold noise changes once a cycle
        }
        if (tV.eFilter != Filter::NONE) {
            double dCut = tV.dCut0 * std::pow(tV.dCut1 / tV.dCut0, std::min(t / dDuration, 1.0));
            s = tSvf.process(tV.eFilter, dCut, tV.dQ, s);
        }
        if (tV.dDrive > 0)
            s = std::tanh(tV.dDrive * s) / dDriveNorm;
        if (tV.dTremDepth > 0)
            dAmp *= 1.0 - tV.dTremDepth * (0.5 - 0.5 * std::cos(2.0 * PI * tV.dTremHz * t));
        s *= dAmp;
        tOut.avSamples[0][iOnset + i] += static_cast<float>(s * dGainL);
        if (tOut.iChannels == 2)
            tOut.avSamples[1][iOnset + i] += static_cast<float>(s * dGainR);
    }
}

inline void apply_echo(const stEcho &tE, stBuffer &tBuf)
{
    if (tE.dDelayS <= 0 || tE.dMix <= 0)
        return;
    size_t iDelay = static_cast<size_t>(std::lround(tE.dDelayS * SAMPLE_RATE));
    for (int c = 0; c < tBuf.iChannels; c++) {
        std::vector<float> &v = tBuf.avSamples[c];
        std::vector<float> vWet(v.size(), 0.0f);
        for (size_t n = iDelay; n < v.size(); n++)
            vWet[n] = v[n - iDelay] + static_cast<float>(tE.dFeedback) * vWet[n - iDelay];
        for (size_t n = 0; n < v.size(); n++)
            v[n] += static_cast<float>(tE.dMix) * vWet[n];
    }
}

// Scales the buffer so its largest sample is dPeak; false when it is silent.
inline bool normalise(stBuffer &tBuf, double dPeak)
{
    float fMax = 0;
    for (int c = 0; c < tBuf.iChannels; c++)
        for (float f : tBuf.avSamples[c])
            fMax = std::max(fMax, std::fabs(f));
    if (fMax < 1e-9f)
        return false;
    float fScale = static_cast<float>(dPeak) / fMax;
    for (int c = 0; c < tBuf.iChannels; c++)
        for (float &f : tBuf.avSamples[c])
            f *= fScale;
    return true;
}

// Closes the loop section [iStart, iEnd) with two blends of iFade frames. The
// frames before iEnd fade into the frames before iStart, so the frame after
// the section's last is exactly the one after the frame before its start; and
// the frames from iEnd on fade from those following iStart back to the sound's
// own tail, so playing past the section is as smooth as looping it.
inline void close_loop(stBuffer &tBuf, size_t iStart, size_t iEnd, size_t iFade)
{
    size_t iAfter = std::min(iFade, tBuf.frames() - iEnd);
    for (int c = 0; c < tBuf.iChannels; c++) {
        std::vector<float> &v = tBuf.avSamples[c];
        for (size_t k = 0; k < iFade; k++) {
            double w = 0.5 - 0.5 * std::cos(PI * static_cast<double>(k + 1) / static_cast<double>(iFade));
            size_t iTo = iEnd - iFade + k, iFrom = iStart - iFade + k;
            v[iTo] = static_cast<float>((1.0 - w) * v[iTo] + w * v[iFrom]);
        }
        for (size_t k = 0; k < iAfter; k++) {
            double w = 0.5 + 0.5 * std::cos(PI * static_cast<double>(k) / static_cast<double>(iFade));
            v[iEnd + k] = static_cast<float>(w * v[iStart + k] + (1.0 - w) * v[iEnd + k]);
        }
    }
}

// Renders a checked recipe; false (with a message) when it makes only silence.
inline bool render_sfx(const stSfx &tSfx, stBuffer &tOut, std::string &sError)
{
    size_t iFrames = sfx_frames(tSfx);
    tOut.iChannels = tSfx.iChannels;
    tOut.resize(iFrames);
    for (size_t i = 0; i < tSfx.vParts.size(); i++) {
        const stPart &tP = tSfx.vParts[i];
        size_t iOnset = static_cast<size_t>(std::lround(tP.dStartS * SAMPLE_RATE));
        render_voice(tP.tVoice, iOnset, tP.dLengthS, 1.0, tSfx.iSeed + static_cast<uint32_t>(i) * 7919u, tOut);
    }
    apply_echo(tSfx.tEcho, tOut);
    if (tSfx.iLoopStartMs >= 0)
        close_loop(tOut, ms_to_frames(tSfx.iLoopStartMs), ms_to_frames(tSfx.iLoopEndMs),
                   static_cast<size_t>(tSfx.dCrossfadeS * SAMPLE_RATE));
    // An explicit length may cut a sound short, an echo leaves a faint tail:
    // fade the last few ms out (never inside the loop section).
    size_t iFadeOut = std::min(iFrames, static_cast<size_t>(MIN_RAMP_S * 5 * SAMPLE_RATE));
    if (tSfx.iLoopStartMs >= 0)
        iFadeOut = std::min(iFadeOut, iFrames - ms_to_frames(tSfx.iLoopEndMs));
    for (int c = 0; c < tOut.iChannels; c++)
        for (size_t k = 0; k < iFadeOut; k++)
            tOut.avSamples[c][iFrames - 1 - k] *= static_cast<float>(k) / static_cast<float>(iFadeOut);
    if (!normalise(tOut, tSfx.dPeak)) {
        sError = "the effect renders only silence";
        return false;
    }
    return true;
}

// ---- song scores ----

struct stInstrument {
    std::string sName;
    stVoice tVoice;
    stEcho tEcho;
    bool bDrum = false;   // plays at its own 'freq' (or as noise), triggered by x, X, o
    int iLine = 0;
};

// One note (or chord) of a pattern line.
struct stPatternNote {
    int iStep = 0;                 // onset, steps from the start of the line
    int iSteps = 1;                // held for, steps
    std::vector<double> vdFreqs;   // Hz (empty for a drum hit)
    double dVelocity = NOTE_VELOCITY;
};

struct stPatternLine {
    int iInstrument = 0;
    int iSteps = 0;                // length of the line, steps
    std::vector<stPatternNote> vNotes;
    bool bHoldable = false;        // the last step read sounds, so '-' may extend it
    int iLine = 0;
};

struct stPattern {
    std::string sName;
    int iSteps = 0;                // the longest line; the others repeat to fill it
    std::vector<stPatternLine> vLines;
};

struct stSong {
    double dTempo = 120;           // beats per minute
    int iStepsPerBeat = 4;
    double dPeak = DEFAULT_PEAK;
    double dQuality = DEFAULT_QUALITY;
    uint32_t iSeed = 1;
    std::vector<stInstrument> vInstruments;
    std::vector<stPattern> vPatterns;
    std::vector<int> viOrder;      // pattern indices, played in turn, then from the top
};

// "C4", "F#3", "Bb2" (A4 = 440 Hz); false when the word is no note name.
inline bool note_freq(const std::string &sWord, double &dFreq)
{
    static const int aiSemis[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (sWord.size() < 2 || sWord[0] < 'A' || sWord[0] > 'G')
        return false;
    int iSemi = aiSemis[sWord[0] - 'A'];
    size_t i = 1;
    if (sWord[i] == '#' || sWord[i] == 'b') {
        iSemi += sWord[i] == '#' ? 1 : -1;
        i++;
    }
    if (i + 1 != sWord.size() || sWord[i] < '0' || sWord[i] > '8')
        return false;
    int iMidi = 12 * (sWord[i] - '0' + 1) + iSemi;
    dFreq = 440.0 * std::pow(2.0, (iMidi - 69) / 12.0);
    return true;
}

inline int find_named(const std::vector<stInstrument> &v, const std::string &s)
{
    for (size_t i = 0; i < v.size(); i++)
        if (v[i].sName == s)
            return static_cast<int>(i);
    return -1;
}

inline int find_pattern(const std::vector<stPattern> &v, const std::string &s)
{
    for (size_t i = 0; i < v.size(); i++)
        if (v[i].sName == s)
            return static_cast<int>(i);
    return -1;
}

// Reads one step word of a pattern line.
inline bool read_step(stReader &tR, const std::string &sWord, const stInstrument &tI, stPatternLine &tL)
{
    if (sWord == "|")
        return true;
    if (sWord == "-") {
        if (!tL.bHoldable)
            return tR.fail("'-' holds no note");
        tL.vNotes.back().iSteps++;
        tL.iSteps++;
        return true;
    }
    if (sWord == ".") {
        tL.bHoldable = false;
        tL.iSteps++;
        return true;
    }
    stPatternNote tN;
    tN.iStep = tL.iSteps;
    if (sWord == "x" || sWord == "X" || sWord == "o") {
        if (!tI.bDrum)
            return tR.fail("'" + sWord + "' needs an instrument with its own freq; '" + tI.sName + "' plays notes");
        tN.dVelocity = DRUM_VELOCITY[sWord == "x" ? 0 : (sWord == "X" ? 1 : 2)];
    } else {
        if (tI.bDrum)
            return tR.fail("'" + tI.sName + "' plays x, X or o, not '" + sWord + "'");
        std::string sNotes = sWord;
        if (!sNotes.empty() && sNotes.back() == '!') {
            tN.dVelocity = ACCENT_VELOCITY;
            sNotes.pop_back();
        }
        size_t iPos = 0;
        while (true) {
            size_t iPlus = sNotes.find('+', iPos);
            std::string sNote = sNotes.substr(iPos, iPlus == std::string::npos ? std::string::npos : iPlus - iPos);
            double dFreq = 0;
            if (!note_freq(sNote, dFreq))
                return tR.fail("'" + sWord + "' is not a step (a note like C4, F#3 or Bb2, '-', '.', or '|')");
            tN.vdFreqs.push_back(dFreq);
            if (iPlus == std::string::npos)
                break;
            iPos = iPlus + 1;
        }
        if (static_cast<int>(tN.vdFreqs.size()) > MAX_CHORD_NOTES)
            return tR.fail("more than " + std::to_string(MAX_CHORD_NOTES) + " notes in one chord");
    }
    tL.vNotes.push_back(tN);
    tL.bHoldable = true;
    tL.iSteps++;
    return true;
}

inline bool close_pattern(stReader &tR, stPattern &tP)
{
    for (const stPatternLine &tL : tP.vLines)
        tP.iSteps = std::max(tP.iSteps, tL.iSteps);
    if (tP.iSteps == 0)
        return tR.fail("pattern '" + tP.sName + "' has no steps");
    for (const stPatternLine &tL : tP.vLines)
        if (tL.iSteps == 0 || tP.iSteps % tL.iSteps != 0) {
            tR.iLine = tL.iLine;
            return tR.fail("a line of " + std::to_string(tL.iSteps) + " steps does not repeat evenly over pattern '" +
                           tP.sName + "' of " + std::to_string(tP.iSteps));
        }
    return true;
}

inline bool parse_song(const std::string &sText, const std::string &sFile, stSong &tSong, std::string &sError)
{
    enum { TOP, INSTRUMENT, PATTERN } eBlock = TOP;
    stReader tR;
    tR.sFile = sFile;
    tSong = stSong();
    std::istringstream tIn(sText);
    std::string sLine;
    while (std::getline(tIn, sLine) && tR.sError.empty()) {
        tR.iLine++;
        std::vector<std::string> vsW = tokens(sLine);
        if (vsW.empty())
            continue;
        const std::string &sKey = vsW[0];
        double d = 0;
        if (eBlock == INSTRUMENT) {
            stInstrument &tI = tSong.vInstruments.back();
            bool bKnown = false;
            if (sKey == "end") {
                tI.bDrum = tI.tVoice.dFreq0 > 0 || (tI.tVoice.bWave && tI.tVoice.eWave == Wave::NOISE);
                int iEndLine = tR.iLine;
                tR.iLine = tI.iLine;  // a fault of the instrument as a whole is reported where it begins
                if (check_voice(tR, tI.tVoice, true))
                    eBlock = TOP;
                tR.iLine = iEndLine;
            } else if (sKey == "echo") {
                read_echo(tR, vsW, tI.tEcho);
            } else if (!read_voice_key(tR, vsW, tI.tVoice, bKnown) && !bKnown) {
                tR.fail("unknown instrument key '" + sKey + "' (or a missing 'end')");
            }
            continue;
        }
        if (eBlock == PATTERN) {
            stPattern &tP = tSong.vPatterns.back();
            if (sKey == "end") {
                if (tR.count(vsW, 0, 0) && close_pattern(tR, tP))
                    eBlock = TOP;
                continue;
            }
            if (sKey.size() < 2 || sKey.back() != ':') {
                tR.fail("a pattern line starts with 'INSTRUMENT:' (or a missing 'end')");
                continue;
            }
            int iInst = find_named(tSong.vInstruments, sKey.substr(0, sKey.size() - 1));
            if (iInst < 0) {
                tR.fail("unknown instrument '" + sKey.substr(0, sKey.size() - 1) + "'");
                continue;
            }
            stPatternLine *ptLine = nullptr;
            for (stPatternLine &tL : tP.vLines)
                if (tL.iInstrument == iInst)
                    ptLine = &tL;
            if (!ptLine) {
                tP.vLines.emplace_back();
                ptLine = &tP.vLines.back();
                ptLine->iInstrument = iInst;
                ptLine->iLine = tR.iLine;
            }
            for (size_t i = 1; i < vsW.size() && tR.sError.empty(); i++)
                read_step(tR, vsW[i], tSong.vInstruments[iInst], *ptLine);
            continue;
        }
        if (sKey == "instrument" || sKey == "pattern") {
            if (!tR.count(vsW, 1, 1))
                continue;
            bool bInstrument = sKey == "instrument";
            if ((bInstrument ? find_named(tSong.vInstruments, vsW[1]) : find_pattern(tSong.vPatterns, vsW[1])) >= 0) {
                tR.fail(sKey + " '" + vsW[1] + "' is defined twice");
                continue;
            }
            if (bInstrument) {
                tSong.vInstruments.emplace_back();
                tSong.vInstruments.back().sName = vsW[1];
                tSong.vInstruments.back().iLine = tR.iLine;
                eBlock = INSTRUMENT;
            } else {
                tSong.vPatterns.emplace_back();
                tSong.vPatterns.back().sName = vsW[1];
                eBlock = PATTERN;
            }
        } else if (sKey == "order") {
            for (size_t i = 1; i < vsW.size(); i++) {
                int iPat = find_pattern(tSong.vPatterns, vsW[i]);
                if (iPat < 0) {
                    tR.fail("unknown pattern '" + vsW[i] + "' in the order");
                    break;
                }
                tSong.viOrder.push_back(iPat);
            }
        } else if (sKey == "tempo") {
            if (tR.count(vsW, 1, 1))
                tR.number(vsW, 1, MIN_TEMPO, MAX_TEMPO, tSong.dTempo);
        } else if (sKey == "steps") {
            if (tR.count(vsW, 1, 1) && tR.number(vsW, 1, 1, MAX_STEPS_PER_BEAT, d)) {
                if (d != std::floor(d))
                    tR.fail("'steps' is a whole number");
                tSong.iStepsPerBeat = static_cast<int>(d);
            }
        } else if (sKey == "peak") {
            if (tR.count(vsW, 1, 1))
                tR.number(vsW, 1, MIN_PEAK, MAX_PEAK, tSong.dPeak);
        } else if (sKey == "quality") {
            if (tR.count(vsW, 1, 1))
                tR.number(vsW, 1, 0, 1, tSong.dQuality);
        } else if (sKey == "seed") {
            if (tR.count(vsW, 1, 1) && tR.number(vsW, 1, 0, MAX_SEED, d))
                tSong.iSeed = static_cast<uint32_t>(d);
        } else {
            tR.fail("unknown key '" + sKey + "'");
        }
    }
    if (tR.sError.empty() && eBlock != TOP)
        tR.fail("the score ends inside a block: 'end' is missing");
    if (tR.sError.empty() && tSong.viOrder.empty())
        tR.fail("the score has no 'order'");
    if (tR.sError.empty()) {
        double dSteps = 0;
        for (int iPat : tSong.viOrder)
            dSteps += tSong.vPatterns[iPat].iSteps;
        if (dSteps * 60.0 / (tSong.dTempo * tSong.iStepsPerBeat) > MAX_SONG_S)
            tR.fail("the song lasts longer than " + std::to_string(MAX_SONG_S) + " s");
    }
    sError = tR.sError;
    return sError.empty();
}

inline double step_frames(const stSong &tSong)
{
    return SAMPLE_RATE * 60.0 / (tSong.dTempo * tSong.iStepsPerBeat);
}

// Frames of one pass through the order: the length of the looping file.
inline size_t song_frames(const stSong &tSong)
{
    long iSteps = 0;
    for (int iPat : tSong.viOrder)
        iSteps += tSong.vPatterns[iPat].iSteps;
    return static_cast<size_t>(std::llround(iSteps * step_frames(tSong)));
}

// Renders one pass of a checked score, stereo. Whatever sounds past the end
// (releases, echoes) is laid onto the start, so the file loops seamlessly.
inline bool render_song(const stSong &tSong, stBuffer &tOut, std::string &sError)
{
    size_t iLoop = song_frames(tSong);
    double dStep = step_frames(tSong);
    tOut.iChannels = 2;
    tOut.resize(iLoop);
    for (size_t iInst = 0; iInst < tSong.vInstruments.size(); iInst++) {
        const stInstrument &tI = tSong.vInstruments[iInst];
        size_t iTail = static_cast<size_t>(std::ceil((std::max(tI.tVoice.dReleaseS, MIN_RAMP_S)) * SAMPLE_RATE)) +
                       echo_tail_frames(tI.tEcho);
        stBuffer tTrack;
        tTrack.iChannels = 2;
        tTrack.resize(iLoop + iTail);
        long iPatStart = 0;
        uint32_t iNote = 0;
        for (int iPat : tSong.viOrder) {
            const stPattern &tP = tSong.vPatterns[iPat];
            for (const stPatternLine &tL : tP.vLines) {
                if (tL.iInstrument != static_cast<int>(iInst))
                    continue;
                for (int iRep = 0; iRep < tP.iSteps / tL.iSteps; iRep++)
                    for (const stPatternNote &tN : tL.vNotes) {
                        long iStep = iPatStart + iRep * tL.iSteps + tN.iStep;
                        size_t iOnset = static_cast<size_t>(std::llround(iStep * dStep));
                        double dGate = tN.iSteps * dStep / SAMPLE_RATE;
                        uint32_t iSeed = tSong.iSeed * 977u + static_cast<uint32_t>(iInst) * 104729u + iNote++;
                        if (tI.bDrum) {
                            render_voice(tI.tVoice, iOnset, dGate, tN.dVelocity, iSeed, tTrack);
                            continue;
                        }
                        for (double dFreq : tN.vdFreqs) {
                            stVoice tV = tI.tVoice;
                            tV.dFreq0 = tV.dFreq1 = dFreq;
                            render_voice(tV, iOnset, dGate, tN.dVelocity, iSeed, tTrack);
                        }
                    }
            }
            iPatStart += tP.iSteps;
        }
        apply_echo(tI.tEcho, tTrack);
        for (int c = 0; c < 2; c++)
            for (size_t i = 0; i < tTrack.frames(); i++)
                tOut.avSamples[c][i % iLoop] += tTrack.avSamples[c][i];
    }
    if (!normalise(tOut, tSong.dPeak)) {
        sError = "the song renders only silence";
        return false;
    }
    return true;
}

// ---- files ----

inline bool read_text(const std::string &sPath, std::string &sText, std::string &sError)
{
    std::ifstream tIn(sPath, std::ios::binary);
    if (!tIn) {
        sError = sPath + ": cannot be read";
        return false;
    }
    std::ostringstream tAll;
    tAll << tIn.rdbuf();
    sText = tAll.str();
    return true;
}

// Writes the buffer through libsndfile into a temporary file beside sPath and
// renames it, so a failed write never leaves a truncated file under the name.
inline bool write_sound(const stBuffer &tBuf, const std::string &sPath, int iFormat, double dQuality,
                        std::string &sError)
{
    std::string sTemp = sPath + ".tmp";
    SF_INFO tInfo = {};
    tInfo.samplerate = SAMPLE_RATE;
    tInfo.channels = tBuf.iChannels;
    tInfo.format = iFormat;
    SNDFILE *ptFile = sf_open(sTemp.c_str(), SFM_WRITE, &tInfo);
    if (!ptFile) {
        sError = sTemp + ": " + sf_strerror(nullptr);
        return false;
    }
    if ((iFormat & SF_FORMAT_SUBMASK) == SF_FORMAT_VORBIS)
        sf_command(ptFile, SFC_SET_VBR_ENCODING_QUALITY, &dQuality, sizeof(dQuality));
    else
        sf_command(ptFile, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    std::vector<float> vfFrames(tBuf.frames() * tBuf.iChannels);
    for (size_t i = 0; i < tBuf.frames(); i++)
        for (int c = 0; c < tBuf.iChannels; c++)
            vfFrames[i * tBuf.iChannels + c] = tBuf.avSamples[c][i];
    sf_count_t iWritten = sf_writef_float(ptFile, vfFrames.data(), static_cast<sf_count_t>(tBuf.frames()));
    bool bOk = iWritten == static_cast<sf_count_t>(tBuf.frames());
    if (!bOk)
        sError = sTemp + ": " + sf_strerror(ptFile);
    if (sf_close(ptFile) != 0 && bOk) {
        sError = sTemp + ": cannot be closed";
        bOk = false;
    }
    if (bOk && std::rename(sTemp.c_str(), sPath.c_str()) != 0) {
        sError = sPath + ": cannot be written";
        bOk = false;
    }
    if (!bOk)
        std::remove(sTemp.c_str());
    return bOk;
}

}  // namespace synth

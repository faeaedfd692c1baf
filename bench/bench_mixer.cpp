// The mixer's cost: one second of output with all 64 channels playing, mixed
// without a device, reported as the fraction of that second it takes.
#include "sound_mixer.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int ONE_SECOND = MIX_OUTPUT_RATE;  // frames
constexpr int UPDATE_FRAMES = 1470;          // frames between two game frames at 30 a second

std::string write_tone(const std::string &sPath, int iChannels, int iFormat)
{
    SF_INFO tInfo = {};
    tInfo.samplerate = MIX_OUTPUT_RATE;
    tInfo.channels = iChannels;
    tInfo.format = iFormat;
    std::vector<int16_t> aiSamples(static_cast<size_t>(ONE_SECOND) * iChannels);
    for (size_t i = 0; i < aiSamples.size(); i++)
        aiSamples[i] = static_cast<int16_t>(3000 * sin(0.03 * static_cast<double>(i)));
    SNDFILE *ptFile = sf_open(sPath.c_str(), SFM_WRITE, &tInfo);
    sf_writef_short(ptFile, aiSamples.data(), ONE_SECOND);
    sf_close(ptFile);
    return sPath;
}

// A mixer without a device, every channel busy with a looping sound of the
// given kind (mono and stereo alternately), at assorted volumes and pans.
class MixerSetup {
public:
    MixerSetup(enMixSoundKind iKind, int iFormat, const char *pszExtension)
    {
        char szDir[] = "/tmp/tvx_bench_XXXXXX";
        sDir = mkdtemp(szDir) ? szDir : "/tmp";
        mix_system_create();
        mix_system_init(MIX_MAX_CHANNELS, MIX_INIT_NO_OUTPUT);
        for (int iChannels = 1; iChannels <= 2; iChannels++) {
            std::string sPath = write_tone(sDir + "/tone" + std::to_string(iChannels) + pszExtension, iChannels,
                                           iFormat);
            stMixSound *sndSound = nullptr;
            mix_sound_create_from_file(sPath.c_str(), iKind, &sndSound);
            mix_sound_set_loop_mode(sndSound, MIX_LOOP_NORMAL);
            asndSounds.push_back(sndSound);
            unlink(sPath.c_str());
        }
        for (int i = 0; i < MIX_MAX_CHANNELS; i++) {
            MixChannel cnlChannel = 0;
            mix_play_sound(asndSounds[i % 2], false, &cnlChannel);
            mix_channel_set_volume(cnlChannel, 0.2f + 0.01f * i);
            mix_channel_set_pan(cnlChannel, -1.0f + 2.0f * i / (MIX_MAX_CHANNELS - 1));
        }
    }
    ~MixerSetup()
    {
        for (stMixSound *sndSound : asndSounds)
            mix_sound_release(sndSound);
        mix_system_release();
        rmdir(sDir.c_str());
    }

private:
    std::string sDir;
    std::vector<stMixSound *> asndSounds;
};

// Each iteration is one second of sound: its time is the share of real time
// the work takes, given in percent.
void report_percent_of_second(benchmark::State &state, std::chrono::steady_clock::time_point tStart)
{
    std::chrono::duration<double> dElapsed = std::chrono::steady_clock::now() - tStart;
    constexpr double PERCENT = 100.0;
    state.counters["percent_of_second"] = PERCENT * dElapsed.count() / static_cast<double>(state.iterations());
}

// The audio thread's whole work: mixing decoded samples.
void BM_MixOneSecond64Samples(benchmark::State &state)
{
    MixerSetup tSetup(MIX_SAMPLE, SF_FORMAT_WAV | SF_FORMAT_PCM_16, ".wav");
    std::vector<int16_t> aiOut(static_cast<size_t>(ONE_SECOND) * MIX_OUTPUT_CHANNELS);
    auto tStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        mix_render(aiOut.data(), ONE_SECOND);
        benchmark::DoNotOptimize(aiOut.data());
    }
    report_percent_of_second(state, tStart);
}
BENCHMARK(BM_MixOneSecond64Samples)->Unit(benchmark::kMillisecond);

// Mixing from the decoding rings, with the game thread's updates that decode
// 64 Ogg Vorbis channels ahead: the worst case the engine allows.
void BM_DecodeAndMixOneSecond64OggChannels(benchmark::State &state)
{
    MixerSetup tSetup(MIX_COMPRESSED, SF_FORMAT_OGG | SF_FORMAT_VORBIS, ".ogg");
    std::vector<int16_t> aiOut(static_cast<size_t>(UPDATE_FRAMES) * MIX_OUTPUT_CHANNELS);
    auto tStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (int iFrames = 0; iFrames < ONE_SECOND; iFrames += UPDATE_FRAMES) {
            mix_render(aiOut.data(), UPDATE_FRAMES);
            mix_system_update();
        }
        benchmark::DoNotOptimize(aiOut.data());
    }
    report_percent_of_second(state, tStart);
}
BENCHMARK(BM_DecodeAndMixOneSecond64OggChannels)->Unit(benchmark::kMillisecond);

}  // namespace

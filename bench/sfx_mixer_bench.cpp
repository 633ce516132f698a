// The mixer's cost: 32 looping sample voices (each resampled at its own frequency) plus the
// game's module, mixed at 44100 Hz stereo in blocks of 1024 frames, the size the SDL device
// asks for. The "core_share_%" counter is the processor time spent mixing against the time the
// mixed audio lasts: the share of one core that playback takes. "wall_share_%" uses elapsed time
// instead, which other processes on a busy machine inflate.
#include "Platform/plat_audio.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <time.h>

namespace
{

double ThreadCpuSeconds()
{
    timespec tmp_Ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &tmp_Ts);
    return static_cast<double>(tmp_Ts.tv_sec) + static_cast<double>(tmp_Ts.tv_nsec) * 1e-9;
}

constexpr int kRate = 44100;
constexpr int kBlock = 1024;

// A one-second 16-bit mono sine WAV, written next to the program's working directory.
std::string WriteSineWav()
{
    const std::string tmp_strPath = "sfx_mixer_bench_sine.wav";
    std::vector<int16_t> tmp_Samples(kRate);
    for (int i = 0; i < kRate; ++i)
        tmp_Samples[static_cast<size_t>(i)] =
            static_cast<int16_t>(8000.0 * std::sin(2.0 * M_PI * 440.0 * i / kRate));
    FILE* tmp_pFile = std::fopen(tmp_strPath.c_str(), "wb");
    auto tmp_Put = [&](const void* fp_pData, size_t fp_uSize)
    { std::fwrite(fp_pData, 1, fp_uSize, tmp_pFile); };
    auto tmp_U32 = [&](uint32_t fp_uiValue) { tmp_Put(&fp_uiValue, 4); };
    auto tmp_U16 = [&](uint16_t fp_uValue) { tmp_Put(&fp_uValue, 2); };
    const uint32_t tmp_uiData = kRate * 2;
    tmp_Put("RIFF", 4);
    tmp_U32(36 + tmp_uiData);
    tmp_Put("WAVEfmt ", 8);
    tmp_U32(16);
    tmp_U16(1);
    tmp_U16(1);
    tmp_U32(kRate);
    tmp_U32(kRate * 2);
    tmp_U16(2);
    tmp_U16(16);
    tmp_Put("data", 4);
    tmp_U32(tmp_uiData);
    tmp_Put(tmp_Samples.data(), tmp_uiData);
    std::fclose(tmp_pFile);
    return tmp_strPath;
}

void MixBlocks(benchmark::State& fp_State, int fp_iVoices, bool fp_bModule)
{
    PlatAudioInit(kPlatAudioNoSoundDevice, kRate, 32, nullptr);
    PlatAudioStart();
    const std::string tmp_strWav = WriteSineWav();
    const PlatAudioHandle tmp_hSample = PlatAudioSampleLoad(tmp_strWav.c_str(), 0, 0, 64, 0);
    for (int i = 0; i < fp_iVoices; ++i)
        PlatAudioSamplePlayEx(tmp_hSample, 0, 30000 + 700 * i, 60, -100 + 6 * i, true);
    if (fp_bModule)
    {
        const std::string tmp_strSong = std::string(VELORA_GAME_DATA_DIR) + "/music/game.mod";
        const PlatAudioHandle tmp_hMusic = PlatAudioMusicLoad(tmp_strSong.c_str(), 0, 0, 0);
        if (tmp_hMusic == 0 || PlatAudioMusicPlayEx(tmp_hMusic, 0, kPlatAudioLoop, true) == 0)
            fp_State.SkipWithError("the game's module did not load");
    }
    std::vector<float> tmp_Buffer(2 * kBlock);
    double tmp_dBusy = 0.0;
    double tmp_dWall = 0.0;
    int64_t tmp_iBlocks = 0;
    for (auto _ : fp_State)
    {
        const auto tmp_Start = std::chrono::steady_clock::now();
        const double tmp_dCpuStart = ThreadCpuSeconds();
        PlatAudioRender(tmp_Buffer.data(), kBlock);
        tmp_dBusy += ThreadCpuSeconds() - tmp_dCpuStart;
        tmp_dWall +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - tmp_Start).count();
        ++tmp_iBlocks;
        benchmark::DoNotOptimize(tmp_Buffer.data());
    }
    const double tmp_dAudio = static_cast<double>(tmp_iBlocks) * kBlock / kRate;
    fp_State.counters["core_share_%"] = 100.0 * tmp_dBusy / tmp_dAudio;
    fp_State.counters["wall_share_%"] = 100.0 * tmp_dWall / tmp_dAudio;
    PlatAudioStop();
    PlatAudioFree();
    std::remove(tmp_strWav.c_str());
}

void BM_Voices32AndModule(benchmark::State& fp_State)
{
    MixBlocks(fp_State, 32, true);
}
void BM_Voices32(benchmark::State& fp_State)
{
    MixBlocks(fp_State, 32, false);
}
void BM_ModuleOnly(benchmark::State& fp_State)
{
    MixBlocks(fp_State, 0, true);
}

// Alternated, so that a drift of the machine's speed touches all three alike.
BENCHMARK(BM_Voices32AndModule)->MinTime(1.0);
BENCHMARK(BM_Voices32)->MinTime(1.0);
BENCHMARK(BM_ModuleOnly)->MinTime(1.0);
BENCHMARK(BM_Voices32AndModule)->MinTime(1.0);
BENCHMARK(BM_Voices32)->MinTime(1.0);
BENCHMARK(BM_ModuleOnly)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();

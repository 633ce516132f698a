// The mixer: levels, panning, resampling, slides, playback limits, streams, modules, bad files
// and the output device paths, checked on buffers rendered directly.
#include "Platform/plat_audio.h"

#include "audio_test_files.h"
#include "test_support.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace
{

constexpr int kRate = 44100;

// Mixer on the no-sound device: nothing but direct render calls advances it.
class MixerTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ASSERT_NE(PlatAudioInit(kPlatAudioNoSoundDevice, kRate, 32, nullptr), 0);
        ASSERT_NE(PlatAudioStart(), 0);
    }
    void TearDown() override
    {
        PlatAudioStop();
        PlatAudioFree();
        TempDirTest::TearDown();
    }

    static std::vector<float> Render(int fp_iFrames)
    {
        std::vector<float> tmp_Buffer(static_cast<size_t>(fp_iFrames) * 2);
        PlatAudioRender(tmp_Buffer.data(), fp_iFrames);
        return tmp_Buffer;
    }

    static PlatAudioHandle LoadSample(const std::string& fp_strBytes, int fp_iMax = 4,
                                      uint32_t fp_uiFlags = 0)
    {
        WriteFile("s.wav", fp_strBytes);
        return PlatAudioSampleLoad("s.wav", 0, 0, fp_iMax, fp_uiFlags);
    }
};

TEST_F(MixerTest, VolumeAndPanningScaleEachSide)
{
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.8f, 4410));
    ASSERT_NE(tmp_hSample, 0u);
    struct Row
    {
        int volume, pan;
        float left, right;
    };
    const Row tmp_Rows[] = {
        {100, 0, 0.8f, 0.8f},   {50, 0, 0.4f, 0.4f},    {100, -100, 0.8f, 0.0f},
        {100, 100, 0.0f, 0.8f}, {100, -50, 0.8f, 0.4f}, {50, 50, 0.2f, 0.4f},
    };
    for (const Row& tmp_Row : tmp_Rows)
    {
        SCOPED_TRACE(testing::Message() << "volume " << tmp_Row.volume << " pan " << tmp_Row.pan);
        const PlatAudioHandle tmp_hChannel =
            PlatAudioSamplePlayEx(tmp_hSample, 0, -1, tmp_Row.volume, tmp_Row.pan, false);
        ASSERT_NE(tmp_hChannel, 0u);
        const std::vector<float> tmp_Out = Render(1000);
        EXPECT_NEAR(PeakLeft(tmp_Out), tmp_Row.left, 1e-3);
        EXPECT_NEAR(PeakRight(tmp_Out), tmp_Row.right, 1e-3);
        const int32_t tmp_iLevel = PlatAudioChannelGetLevel(tmp_hChannel);
        EXPECT_NEAR(tmp_iLevel & 0xFFFF, tmp_Row.left * 128, 1.0);
        EXPECT_NEAR(tmp_iLevel >> 16, tmp_Row.right * 128, 1.0);
        ASSERT_NE(PlatAudioSampleStop(tmp_hSample), 0);
        EXPECT_EQ(PlatAudioChannelIsActive(tmp_hChannel), kPlatAudioStopped);
    }
}

TEST_F(MixerTest, KeepValuesTakeSampleDefaultsAndSetAttributesChangesThem)
{
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.6f, 44100));
    const PlatAudioHandle tmp_hChannel = PlatAudioSamplePlayEx(tmp_hSample, 0, -1, -1, -101, false);
    std::vector<float> tmp_Out = Render(100);
    EXPECT_NEAR(PeakLeft(tmp_Out), 0.6f, 1e-3);
    EXPECT_NEAR(PeakRight(tmp_Out), 0.6f, 1e-3);
    // Through the sample handle: every playback changes; -1/-101 keep the others.
    ASSERT_NE(PlatAudioChannelSetAttributes(tmp_hSample, -1, 50, -101), 0);
    tmp_Out = Render(100);
    EXPECT_NEAR(PeakLeft(tmp_Out), 0.3f, 1e-3);
    ASSERT_NE(PlatAudioChannelSetAttributes(tmp_hChannel, -1, -1, -100), 0);
    tmp_Out = Render(100);
    EXPECT_NEAR(PeakLeft(tmp_Out), 0.3f, 1e-3);
    EXPECT_EQ(PeakRight(tmp_Out), 0.0f);
    // Out-of-range values are clamped, not refused.
    ASSERT_NE(PlatAudioChannelSetAttributes(tmp_hChannel, -1, 250, 0), 0);
    tmp_Out = Render(100);
    EXPECT_NEAR(PeakLeft(tmp_Out), 0.6f, 1e-3);
}

TEST_F(MixerTest, FrequencyScalesDurationAndPitch)
{
    struct Row
    {
        int freq;
        int frames; // expected sounding frames of a 4410-frame sample
    };
    const Row tmp_Rows[] = {{44100, 4410}, {88200, 2205}, {22050, 8820}, {0, 4410}};
    for (const Row& tmp_Row : tmp_Rows)
    {
        SCOPED_TRACE(tmp_Row.freq);
        const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.5f, 4410));
        const PlatAudioHandle tmp_hChannel =
            PlatAudioSamplePlayEx(tmp_hSample, 0, tmp_Row.freq, 100, 0, false);
        const std::vector<float> tmp_Out = Render(20000);
        EXPECT_NEAR(CountSoundingFrames(tmp_Out), tmp_Row.frames, 1);
        EXPECT_EQ(PlatAudioChannelIsActive(tmp_hChannel), kPlatAudioStopped);
        EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioStopped);
        PlatAudioSampleFree(tmp_hSample);
    }

    // A 441 Hz sine played at twice its rate sounds at 882 Hz: count rising zero crossings.
    const PlatAudioHandle tmp_hSine = LoadSample(MakeSineWav(441.0, 0.5f, 44100));
    PlatAudioSamplePlayEx(tmp_hSine, 0, 88200, 100, 0, false);
    const std::vector<float> tmp_Out = Render(kRate / 10);
    int tmp_iRising = 0;
    for (size_t i = 2; i < tmp_Out.size(); i += 2)
        if (tmp_Out[i - 2] < 0.0f && tmp_Out[i] >= 0.0f)
            ++tmp_iRising;
    EXPECT_NEAR(tmp_iRising, 88, 1);
}

TEST_F(MixerTest, SlideToMinusTwoFadesToSilenceThenStops)
{
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.8f, 100));
    const PlatAudioHandle tmp_hChannel = PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, true);
    ASSERT_NE(PlatAudioChannelSlideAttributes(tmp_hChannel, -1, -2, -101, 100), 0);
    // Halfway through the fade the level is about half.
    std::vector<float> tmp_Out = Render(kRate / 20);
    EXPECT_NEAR(tmp_Out[tmp_Out.size() - 2], 0.4f, 0.01f);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hChannel), kPlatAudioPlaying);
    tmp_Out = Render(kRate / 20 + 10);
    EXPECT_LT(tmp_Out[tmp_Out.size() - 22], 0.01f);
    EXPECT_EQ(tmp_Out[tmp_Out.size() - 2], 0.0f);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hChannel), kPlatAudioStopped);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioStopped);
    EXPECT_EQ(PlatAudioTestGetChannelCount(), 0);
    EXPECT_EQ(CountSoundingFrames(Render(1000)), 0);
}

TEST_F(MixerTest, SlidesReachTheirTargetsAndKeepPlaying)
{
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.8f, 100));
    PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, true);
    // Through the sample handle; time 0 applies at once.
    ASSERT_NE(PlatAudioChannelSlideAttributes(tmp_hSample, -1, 25, -101, 200), 0);
    ASSERT_NE(PlatAudioChannelSlideAttributes(tmp_hSample, -1, -1, 100, 0), 0);
    std::vector<float> tmp_Out = Render(kRate / 10);
    EXPECT_EQ(PeakLeft(tmp_Out), 0.0f);
    EXPECT_NEAR(tmp_Out[tmp_Out.size() - 1], 0.8f * (100 - 75.0f * 0.5f) / 100, 0.01f);
    tmp_Out = Render(kRate / 5);
    EXPECT_NEAR(tmp_Out[tmp_Out.size() - 1], 0.2f, 1e-3);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioPlaying);
    // Setting the volume ends a fade-out: the channel no longer stops.
    ASSERT_NE(PlatAudioChannelSlideAttributes(tmp_hSample, -1, -2, -101, 100), 0);
    ASSERT_NE(PlatAudioChannelSetAttributes(tmp_hSample, -1, 100, -101), 0);
    tmp_Out = Render(kRate / 5);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioPlaying);
    EXPECT_NEAR(PeakRight(tmp_Out), 0.8f, 1e-3);
}

TEST_F(MixerTest, PlaybackLimitRefusesOrTakesOverTheLongestPlaying)
{
    WriteFile("s.wav", MakeConstWav(0.1f, 44100));
    const PlatAudioHandle tmp_hRefuse = PlatAudioSampleLoad("s.wav", 0, 0, 2, 0);
    const PlatAudioHandle tmp_hOver = PlatAudioSampleLoad("s.wav", 0, 0, 2, kPlatAudioOverLongest);
    for (PlatAudioHandle tmp_hSample : {tmp_hRefuse, tmp_hOver})
    {
        const bool tmp_bOver = tmp_hSample == tmp_hOver;
        SCOPED_TRACE(tmp_bOver ? "take over" : "refuse");
        const PlatAudioHandle tmp_hFirst = PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false);
        Render(100);
        const PlatAudioHandle tmp_hSecond =
            PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false);
        ASSERT_NE(tmp_hFirst, 0u);
        ASSERT_NE(tmp_hSecond, 0u);
        const PlatAudioHandle tmp_hThird = PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false);
        if (tmp_bOver)
        {
            ASSERT_NE(tmp_hThird, 0u);
            EXPECT_EQ(PlatAudioChannelIsActive(tmp_hFirst), kPlatAudioStopped);
            EXPECT_EQ(PlatAudioChannelIsActive(tmp_hThird), kPlatAudioPlaying);
        }
        else
        {
            EXPECT_EQ(tmp_hThird, 0u);
            EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_NO_CHANNEL);
            EXPECT_EQ(PlatAudioChannelIsActive(tmp_hFirst), kPlatAudioPlaying);
        }
        EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSecond), kPlatAudioPlaying);
        EXPECT_EQ(PlatAudioTestGetChannelCount(), 2);
        // Two playbacks of 0.1 mix to 0.2.
        EXPECT_NEAR(PeakLeft(Render(10)), 0.2f, 1e-3);
        PlatAudioSampleStop(tmp_hSample);
        EXPECT_EQ(PlatAudioTestGetChannelCount(), 0);
    }
}

TEST_F(MixerTest, LoopedSampleKeepsPlayingAndUnloopedEnds)
{
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.5f, 100));
    const PlatAudioHandle tmp_hLooped = PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, -100, true);
    const PlatAudioHandle tmp_hOnce = PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 100, false);
    const std::vector<float> tmp_Out = Render(10000);
    int tmp_iLeft = 0, tmp_iRight = 0;
    for (size_t i = 0; i < tmp_Out.size(); i += 2)
    {
        tmp_iLeft += tmp_Out[i] > 0.49f;
        tmp_iRight += tmp_Out[i + 1] > 0.49f;
    }
    EXPECT_EQ(tmp_iLeft, 10000);
    EXPECT_EQ(tmp_iRight, 100);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hLooped), kPlatAudioPlaying);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hOnce), kPlatAudioStopped);
}

TEST_F(MixerTest, SampleHandlePausesResumesAndStopsEveryPlayback)
{
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.25f, 1000));
    PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false);
    PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false);
    Render(400);
    ASSERT_NE(PlatAudioChannelPause(tmp_hSample), 0);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioPaused);
    EXPECT_EQ(PlatAudioChannelGetLevel(tmp_hSample), 0);
    EXPECT_EQ(CountSoundingFrames(Render(5000)), 0);
    // Pausing twice and resuming something not paused change nothing and succeed.
    EXPECT_NE(PlatAudioChannelPause(tmp_hSample), 0);
    ASSERT_NE(PlatAudioChannelResume(tmp_hSample), 0);
    EXPECT_NE(PlatAudioChannelResume(tmp_hSample), 0);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioPlaying);
    // Both resume where they paused: 600 frames of 0.5 remain.
    const std::vector<float> tmp_Out = Render(5000);
    EXPECT_EQ(CountSoundingFrames(tmp_Out), 600);
    EXPECT_NEAR(PeakLeft(tmp_Out), 0.5f, 1e-3);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioStopped);
}

TEST_F(MixerTest, GlobalVolumesScaleTheirKindOnly)
{
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.8f, 44100));
    PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false);
    ASSERT_NE(PlatAudioSetGlobalVolumes(100, 50, 100), 0);
    EXPECT_NEAR(PeakLeft(Render(100)), 0.4f, 1e-3);
    ASSERT_NE(PlatAudioSetGlobalVolumes(0, -1, 0), 0);
    EXPECT_NEAR(PeakLeft(Render(100)), 0.4f, 1e-3);
    // The channel's own level ignores the global volume.
    EXPECT_NEAR(PlatAudioChannelGetLevel(tmp_hSample) & 0xFFFF, 102, 1);
}

TEST_F(MixerTest, StreamDecodesItsFileRegionWhilePlaying)
{
    std::vector<float> tmp_Stereo;
    for (int i = 0; i < 3000; ++i)
    {
        tmp_Stereo.push_back(static_cast<float>(i % 1000) / 1000.0f);
        tmp_Stereo.push_back(-static_cast<float>(i % 1000) / 1000.0f);
    }
    const std::string tmp_Wav = MakeWav(tmp_Stereo, 2, kRate);
    // The sound lies inside a bigger file, as in a resource pack.
    WriteFile("pack.bin", std::string(123, 'x') + tmp_Wav + std::string(50, 'y'));
    const PlatAudioHandle tmp_hStream = PlatAudioStreamCreateFile(
        "pack.bin", 123, static_cast<uint32_t>(tmp_Wav.size()), kPlatAudioPrescan);
    ASSERT_NE(tmp_hStream, 0u);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hStream), kPlatAudioStopped);
    ASSERT_NE(PlatAudioStreamPlay(tmp_hStream, true, 0), 0);
    std::vector<float> tmp_Out = Render(4000);
    for (int i = 0; i < 3000; i += 7)
    {
        ASSERT_NEAR(tmp_Out[2 * i], tmp_Stereo[2 * i], 1e-4) << i;
        ASSERT_NEAR(tmp_Out[2 * i + 1], tmp_Stereo[2 * i + 1], 1e-4) << i;
    }
    EXPECT_EQ(CountSoundingFrames(tmp_Out), 2997); // frames 0, 1000 and 2000 are silent
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hStream), kPlatAudioStopped);

    // Looped, it wraps around to its first frame.
    ASSERT_NE(PlatAudioStreamPlay(tmp_hStream, true, kPlatAudioLoop), 0);
    tmp_Out = Render(3500);
    EXPECT_NEAR(tmp_Out[2 * 3100], tmp_Stereo[2 * 100], 1e-4);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hStream), kPlatAudioPlaying);
    ASSERT_NE(PlatAudioChannelStop(tmp_hStream), 0);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hStream), kPlatAudioStopped);
    ASSERT_NE(PlatAudioStreamFree(tmp_hStream), 0);
    EXPECT_EQ(PlatAudioStreamFree(tmp_hStream), 0);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_HANDLE);
}

TEST_F(MixerTest, ModulePlaysOnceOrLoopsAndFadesOut)
{
    const std::string tmp_Mod = MakeTinyMod();
    WriteFile("m.bin", "head" + tmp_Mod);
    const PlatAudioHandle tmp_hMusic =
        PlatAudioMusicLoad("m.bin", 4, static_cast<uint32_t>(tmp_Mod.size()), 0);
    ASSERT_NE(tmp_hMusic, 0u);
    ASSERT_NE(PlatAudioMusicPlayEx(tmp_hMusic, 0, 0, true), 0);
    std::vector<float> tmp_Out = Render(kRate);
    EXPECT_GT(PeakLeft(tmp_Out) + PeakRight(tmp_Out), 0.05f);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hMusic), kPlatAudioPlaying);
    EXPECT_GT(PlatAudioChannelGetLevel(tmp_hMusic), 0);
    Render(kRate); // the song lasts 1.28 s
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hMusic), kPlatAudioStopped);

    ASSERT_NE(PlatAudioMusicPlayEx(tmp_hMusic, 0, kPlatAudioLoop, true), 0);
    Render(3 * kRate);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hMusic), kPlatAudioPlaying);
    EXPECT_GT(PeakLeft(Render(kRate / 2)) + PeakRight(Render(kRate / 2)), 0.05f);
    ASSERT_NE(PlatAudioChannelSlideAttributes(tmp_hMusic, -1, -2, -101, 500), 0);
    Render(kRate / 4);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hMusic), kPlatAudioPlaying);
    Render(kRate / 4 + 10);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hMusic), kPlatAudioStopped);
    EXPECT_EQ(CountSoundingFrames(Render(1000)), 0);
    // Played again after the fade it starts silent; a slide brings it back (as the engine does).
    ASSERT_NE(PlatAudioMusicPlayEx(tmp_hMusic, 0, kPlatAudioLoop, true), 0);
    ASSERT_NE(PlatAudioChannelSlideAttributes(tmp_hMusic, 0, 100, -101, 100), 0);
    Render(kRate / 5);
    EXPECT_GT(PeakLeft(Render(kRate / 2)) + PeakRight(Render(kRate / 2)), 0.05f);
    ASSERT_NE(PlatAudioMusicFree(tmp_hMusic), 0);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hMusic), kPlatAudioStopped);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_HANDLE);
}

TEST_F(MixerTest, GeneratedSongPlaysWithoutClipping)
{
    const std::string tmp_strPath = std::string(VELORA_GAME_DATA_DIR) + "/music/game.mod";
    const PlatAudioHandle tmp_hMusic = PlatAudioMusicLoad(tmp_strPath.c_str(), 0, 0, 0);
    ASSERT_NE(tmp_hMusic, 0u) << PlatAudioErrorGetCode();
    ASSERT_NE(PlatAudioMusicPlayEx(tmp_hMusic, 0, 0, true), 0);
    int tmp_iSeconds = 0;
    float tmp_fPeak = 0.0f;
    while (PlatAudioChannelIsActive(tmp_hMusic) == kPlatAudioPlaying && tmp_iSeconds < 120)
    {
        const std::vector<float> tmp_Out = Render(kRate);
        tmp_fPeak = std::max({tmp_fPeak, PeakLeft(tmp_Out), PeakRight(tmp_Out)});
        ++tmp_iSeconds;
    }
    // Between half a minute and a minute long, loud enough, never at the clipping limit.
    EXPECT_GE(tmp_iSeconds, 30);
    EXPECT_LE(tmp_iSeconds, 61);
    EXPECT_GT(tmp_fPeak, 0.3f);
    EXPECT_LT(tmp_fPeak, 0.99f);
}

TEST_F(MixerTest, BadFilesFailWithTheirErrorCodes)
{
    const std::string tmp_Wav = MakeConstWav(0.5f, 1000);
    WriteFile("good.wav", tmp_Wav);
    WriteFile("truncated.wav", tmp_Wav.substr(0, 30));
    WriteFile("headeronly.wav", tmp_Wav.substr(0, 44));
    WriteFile("cutdata.wav", tmp_Wav.substr(0, tmp_Wav.size() - 100));
    WriteFile("garbage.bin", std::string(4000, '\x5a'));
    struct Row
    {
        const char* file;
        uint64_t offset;
        uint32_t length;
        int error;
    };
    const Row tmp_Rows[] = {
        {"missing.wav", 0, 0, PLAT_AUDIO_ERR_FILE_OPEN},
        {"good.wav", 0, static_cast<uint32_t>(tmp_Wav.size() + 1), PLAT_AUDIO_ERR_FILE_OPEN},
        {"good.wav", tmp_Wav.size() + 1, 0, PLAT_AUDIO_ERR_FILE_OPEN},
        {"truncated.wav", 0, 0, PLAT_AUDIO_ERR_FORMAT},
        {"cutdata.wav", 0, 0, PLAT_AUDIO_ERR_FORMAT},
        // The region ends before the file does: cut as well.
        {"good.wav", 0, static_cast<uint32_t>(tmp_Wav.size() - 2), PLAT_AUDIO_ERR_FORMAT},
        {"garbage.bin", 0, 0, PLAT_AUDIO_ERR_FORMAT},
        {"good.wav", 10, 0, PLAT_AUDIO_ERR_FORMAT},
    };
    for (const Row& tmp_Row : tmp_Rows)
    {
        SCOPED_TRACE(testing::Message() << tmp_Row.file << " at " << tmp_Row.offset);
        EXPECT_EQ(PlatAudioSampleLoad(tmp_Row.file, tmp_Row.offset, tmp_Row.length, 1, 0), 0u);
        EXPECT_EQ(PlatAudioErrorGetCode(), tmp_Row.error);
        EXPECT_EQ(PlatAudioStreamCreateFile(tmp_Row.file, tmp_Row.offset, tmp_Row.length, 0), 0u);
        EXPECT_EQ(PlatAudioErrorGetCode(), tmp_Row.error);
        EXPECT_EQ(PlatAudioMusicLoad(tmp_Row.file, tmp_Row.offset, tmp_Row.length, 0), 0u);
        EXPECT_EQ(PlatAudioErrorGetCode(), tmp_Row.error);
    }
    // A header that promises data it does not hold decodes to nothing: not a usable sample.
    EXPECT_EQ(PlatAudioSampleLoad("headeronly.wav", 0, 0, 1, 0), 0u);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_FORMAT);
    // A module cut short.
    WriteFile("cut.mod", MakeTinyMod().substr(0, 700));
    EXPECT_EQ(PlatAudioMusicLoad("cut.mod", 0, 0, 0), 0u);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_FORMAT);
    EXPECT_EQ(PlatAudioSampleLoad("good.wav", 0, 0, 0, 0), 0u);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_PARAM);
    EXPECT_NE(PlatAudioSampleLoad("good.wav", 0, 0, 1, 0), 0u);
    // A RIFF length one byte over (a missing pad byte) is tolerated.
    EXPECT_NE(PlatAudioSampleLoad("good.wav", 0, static_cast<uint32_t>(tmp_Wav.size() - 1), 1, 0),
              0u);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_OK);
}

TEST_F(MixerTest, WrongHandlesFail)
{
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.5f, 100));
    const PlatAudioHandle tmp_hChannel = PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false);
    // A voice is no stream or module; a sample is no channel of those kinds either.
    EXPECT_EQ(PlatAudioStreamPlay(tmp_hChannel, true, 0), 0);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_HANDLE);
    EXPECT_EQ(PlatAudioMusicPlayEx(tmp_hSample, 0, 0, true), 0);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_HANDLE);
    for (PlatAudioHandle tmp_h : {0u, 9999u})
    {
        EXPECT_EQ(PlatAudioChannelStop(tmp_h), 0);
        EXPECT_EQ(PlatAudioChannelPause(tmp_h), 0);
        EXPECT_EQ(PlatAudioChannelResume(tmp_h), 0);
        EXPECT_EQ(PlatAudioChannelSetAttributes(tmp_h, -1, 50, -101), 0);
        EXPECT_EQ(PlatAudioChannelSlideAttributes(tmp_h, -1, 50, -101, 10), 0);
        EXPECT_EQ(PlatAudioChannelGetLevel(tmp_h), -1);
        EXPECT_EQ(PlatAudioChannelIsActive(tmp_h), 0u);
        EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_HANDLE);
        EXPECT_EQ(PlatAudioSamplePlayEx(tmp_h, 0, -1, 100, 0, false), 0u);
        EXPECT_EQ(PlatAudioSampleStop(tmp_h), 0);
        EXPECT_EQ(PlatAudioSampleFree(tmp_h), 0);
        EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_HANDLE);
    }
    // Freeing a sample ends its playbacks.
    ASSERT_NE(PlatAudioSampleFree(tmp_hSample), 0);
    EXPECT_EQ(PlatAudioTestGetChannelCount(), 0);
    EXPECT_EQ(CountSoundingFrames(Render(100)), 0);
}

TEST_F(MixerTest, CpuShareIsMeasuredWhileMixing)
{
    EXPECT_EQ(PlatAudioGetCPU(), 0.0f);
    const PlatAudioHandle tmp_hSample = LoadSample(MakeConstWav(0.01f, 1000), 40);
    for (int i = 0; i < 32; ++i)
        PlatAudioSamplePlayEx(tmp_hSample, 0, 22050 + 100 * i, 100, 0, true);
    for (int i = 0; i < 50; ++i)
        Render(1024);
    EXPECT_GT(PlatAudioGetCPU(), 0.0f);
}

// ---- Output device paths -------------------------------------------------------------------

class AudioDeviceTest : public TempDirTest
{
protected:
    void TearDown() override
    {
        PlatAudioFree();
        TempDirTest::TearDown();
    }
};

TEST_F(AudioDeviceTest, CallsBeforeInitFail)
{
    EXPECT_EQ(PlatAudioStart(), 0);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_NOT_INIT);
    EXPECT_EQ(PlatAudioSampleLoad("x.wav", 0, 0, 1, 0), 0u);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_NOT_INIT);
    EXPECT_EQ(PlatAudioChannelGetLevel(1), -1);
    EXPECT_EQ(PlatAudioTestGetRate(), 0);
    EXPECT_EQ(PlatAudioFree(), 0);
}

TEST_F(AudioDeviceTest, DriverThatCannotOpenFallsBackToNoSoundDevice)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(PlatAudioInit(kPlatAudioDefaultDevice, kRate, 32, nullptr), 0);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_DEVICE);
    ASSERT_NE(PlatAudioInit(kPlatAudioNoSoundDevice, kRate, 32, nullptr), 0);
    EXPECT_EQ(PlatAudioInit(kPlatAudioNoSoundDevice, kRate, 32, nullptr), 0);
    EXPECT_EQ(PlatAudioErrorGetCode(), PLAT_AUDIO_ERR_ALREADY);
    EXPECT_NE(PlatAudioStart(), 0);
    EXPECT_NE(PlatAudioPause(), 0);
    EXPECT_EQ(PlatAudioTestGetRate(), kRate);
}

TEST_F(AudioDeviceTest, DummyDeviceDrivesTheMixerFromItsOwnThread)
{
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_NE(PlatAudioInit(kPlatAudioDefaultDevice, kRate, 32, nullptr), 0);
    ASSERT_NE(PlatAudioStart(), 0);
    WriteFile("s.wav", MakeConstWav(0.5f, kRate / 20));
    const PlatAudioHandle tmp_hSample = PlatAudioSampleLoad("s.wav", 0, 0, 1, 0);
    ASSERT_NE(PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false), 0u);
    // The device thread plays the 50 ms sample to its end (allow up to 10 s on a busy machine).
    for (int i = 0; i < 1000 && PlatAudioChannelIsActive(tmp_hSample) != kPlatAudioStopped; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioStopped);

    // Paused output leaves channels where they are.
    ASSERT_NE(PlatAudioPause(), 0);
    PlatAudioSamplePlayEx(tmp_hSample, 0, -1, 100, 0, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioPlaying);
    ASSERT_NE(PlatAudioStop(), 0);
    EXPECT_EQ(PlatAudioChannelIsActive(tmp_hSample), kPlatAudioStopped);
    ASSERT_NE(PlatAudioFree(), 0);
    EXPECT_EQ(PlatAudioTestGetRate(), 0);
}

} // namespace

// The sound subsystem and sounds: start and stop blocks, the no-sound-card mode, loading from
// XML-mode and PAK-mode resources, playing and the per-sound operations with their guards,
// unloading, and the errors of bad files and wrong IDs.
#include "CVelora/cvelora_res_pak.h"
#include "CVelora/cvelora_sfx_classes.h"
#include "CVelora/cvelora_utils_csmartid.h"
#include "CVelora/cvelora_utils_xml.h"
#include "Platform/plat_audio.h"

#include "../Platform/audio_test_files.h"
#include "cvelora_sfx_fixture.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

namespace
{

const std::string kInitBlock = kSfxSep1 + "--==: Initializing Sound and Music Subsystem...\n";
const std::string kStoresBlock = "\n   =: Creating Sounds Manager...\n\n   +: Done.\n"
                                 "\n   =: Creating Music Manager...\n\n   +: Done.\n"
                                 "\n   =: Creating Playlists Manager...\n\n   +: Done.\n"
                                 "   +: Done.\n" +
                                 kSfxSep1 + "\n";
const std::string kDeinitBlock = kSfxSep1 + "--==: Deinitializing Sound and Music Subsystem...\n" +
                                 "   =: Destroying Sounds Manager...\n   +: Done.\n"
                                 "   =: Destroying Music Manager...\n   +: Done.\n"
                                 "   =: Destroying Playlists Manager...\n   +: Done.\n"
                                 "   +: Done.\n" +
                                 kSfxSep1 + "\n";

using SoundTest = SfxEngineTest;

TEST_F(SoundTest, StartAndStopWriteTheirBlocks)
{
    StartSound();
    EXPECT_EQ(NewLog(), kInitBlock + kStoresBlock);
    EXPECT_TRUE(m_pVLA->m_bSfxInitialised);
    EXPECT_FALSE(m_pVLA->m_bNoSoundCard);
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, -1);
    EXPECT_EQ(m_pVLA->m_iCurrentPlaylist, -1);
    m_pVLA->DeinitSoundSubsystem();
    EXPECT_EQ(NewLog(), kDeinitBlock);
    EXPECT_FALSE(m_pVLA->m_bSfxInitialised);
    EXPECT_EQ(m_pVLA->m_pSounds, nullptr);
    EXPECT_EQ(PlatAudioTestGetRate(), 0);

    // A stop that finds nothing to stop says so for each store.
    m_pVLA->DeinitSoundSubsystem();
    const std::string tmp_strLog = NewLog();
    EXPECT_NE(tmp_strLog.find("   =: Destroying Sounds Manager...\n   +: Failed.\n"),
              std::string::npos);
    EXPECT_NE(tmp_strLog.find("   =: Destroying Playlists Manager...\n   +: Failed.\n"),
              std::string::npos);
}

TEST_F(SoundTest, EngineTeardownStopsTheSubsystem)
{
    StartSound();
    NewLog();
    delete m_pVLA;
    m_pVLA = nullptr;
    EXPECT_EQ(NewLog().substr(0, kDeinitBlock.size()), kDeinitBlock);
    EXPECT_EQ(PlatAudioTestGetRate(), 0);
}

TEST_F(SoundTest, StartBeforeGraphicsIsAGameError)
{
    m_pVLA->m_bGfxDeviceCreated = false;
    const CEHSException tmp_E = Catch([&] { m_pVLA->InitSoundSubsystem(44100); });
    EXPECT_EQ(tmp_E.m_iType, EHS_GAME);
    EXPECT_EQ(tmp_E.m_strDesc,
              "Sound and Music system should be initialized after graphics system!");
    EXPECT_TRUE(m_pVLA->m_bSfxInitialised); // set first: the teardown still runs the stop
    EXPECT_EQ(NewLog(), kInitBlock);
}

TEST_F(SoundTest, WithoutSoundCardEverythingIsSilent)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    CSmartID tmp_Smart("SND_CLICK");
    StartSound();
    EXPECT_EQ(NewLog(), kInitBlock + " !: No sound card available!\n" + kStoresBlock);
    EXPECT_TRUE(m_pVLA->m_bNoSoundCard);

    WriteFile("click.wav", MakeConstWav(0.5f, 100));
    EXPECT_EQ(m_pVLA->LoadSound("click.wav", "SND_CLICK", 1, false, 1, false, 0, 0), -2);
    EXPECT_EQ(tmp_Smart.GetIID(), -1);
    EXPECT_EQ(m_pVLA->LoadMusic(GameSongPath(), "MUS_GAME", 1, 0, 0, 0), -2);
    const std::string tmp_strDoc = "<playlist id=\"PL\" tag=\"1\"><m id=\"MUS_GAME\"/></playlist>";
    EXPECT_EQ(m_pVLA->LoadPlaylist(reinterpret_cast<const uint8_t*>(tmp_strDoc.data()),
                                   static_cast<int>(tmp_strDoc.size())),
              -2);
    // Not even wrong IDs raise anything.
    EXPECT_NO_THROW({
        m_pVLA->SoundPlay(tmp_Smart, false, -1, -1, -101);
        m_pVLA->SoundPlay("SND_CLICK", false, -1, -1, -101);
        m_pVLA->SoundPlay(7, true, 44100, 100, 0);
        m_pVLA->SoundStop(7);
        m_pVLA->SoundPause("SND_NONE");
        m_pVLA->SoundResume(7);
        m_pVLA->SoundSetAttributes(7, -1, 50, -101);
        m_pVLA->SoundSlideAttributes("SND_NONE", -1, 50, -101, 100);
        EXPECT_EQ(m_pVLA->SoundGetStatus(7), 0u);
        m_pVLA->SoundUnload("SND_CLICK");
        m_pVLA->SoundUnload(0);
        m_pVLA->PlayMusic(-1, true, 0);
        m_pVLA->PlayMusic("MUS_GAME", true, 0);
        m_pVLA->StopMusic(3000);
        m_pVLA->MusicSetVolume(50, 100);
        EXPECT_EQ(m_pVLA->GetMusicStatus(), 0u);
        m_pVLA->PlaylistSet(-1);
        m_pVLA->PlaylistSet("PL");
        m_pVLA->PlaylistNext();
        m_pVLA->PlaylistStop();
        m_pVLA->UpdateMusic();
        m_pVLA->SetGlobalVolumes(10, 10);
        m_pVLA->PauseAudio();
        m_pVLA->ResumeAudio();
        EXPECT_EQ(m_pVLA->SoundGetCPU(), 0.0f);
    });
    EXPECT_EQ(NewLog(), "");
    m_pVLA->DeinitSoundSubsystem();
    EXPECT_EQ(NewLog(), kDeinitBlock);
}

// Writes DATA/ with a descriptor or a pack holding a sample and a stream.
void WriteSoundResources(bool fp_bPak)
{
    std::filesystem::create_directory("DATA");
    const std::string tmp_strClick = ReadFile(GameClickPath());
    const std::string tmp_strLoop = MakeConstWav(0.25f, 44100);
    if (!fp_bPak)
    {
        WriteFile("DATA/click.wav", tmp_strClick);
        WriteFile("DATA/loop.wav", tmp_strLoop);
        WriteFile(
            "DATA/sounds.xml",
            "<respack><res id=\"SND_CLICK\" typeid=\"SOUND\" filename=\"click.wav\" tag=\"1\" "
            "data2=\"2\"/><res id=\"SND_LOOP\" typeid=\"SOUND\" filename=\"loop.wav\" tag=\"1\" "
            "data1=\"1\" data3=\"1\"/></respack>");
        return;
    }
    std::vector<VLAPakEntry> tmp_Entries(2);
    tmp_Entries[0].m_strID = "SND_CLICK";
    tmp_Entries[0].m_strTypeID = "SOUND";
    tmp_Entries[0].m_iTag = 1;
    tmp_Entries[0].m_iData2 = 2;
    tmp_Entries[1].m_strID = "SND_LOOP";
    tmp_Entries[1].m_strTypeID = "SOUND";
    tmp_Entries[1].m_iTag = 1;
    tmp_Entries[1].m_iData1 = 1;
    tmp_Entries[1].m_iData3 = 1;
    WriteFile("DATA/sounds.pak", WritePak(tmp_Entries, {tmp_strClick, tmp_strLoop}));
}

class SoundResourceTest : public SfxEngineTest, public testing::WithParamInterface<bool>
{
};

TEST_P(SoundResourceTest, SoundsLoadFromResourcesPlayAndStop)
{
    WriteSoundResources(GetParam());
    CSmartID tmp_Click("SND_CLICK");
    m_pVLA->InitResourcesSubsystem();
    StartSound();
    NewLog();
    m_pVLA->LoadResources(1);
    const std::string tmp_strLog = NewLog();
    EXPECT_NE(tmp_strLog.find("\n  -=: Loading sound: SND_CLICK\n   +: Done.\n\n"),
              std::string::npos);
    EXPECT_NE(tmp_strLog.find("\n  -=: Loading sound: SND_LOOP\n   +: Done.\n\n"),
              std::string::npos);
    const int tmp_iClick = m_pVLA->FindSound("SND_CLICK");
    const int tmp_iLoop = m_pVLA->FindSound("SND_LOOP");
    ASSERT_EQ(tmp_iClick, 0);
    ASSERT_EQ(tmp_iLoop, 1);
    EXPECT_EQ(tmp_Click.GetIID(), tmp_iClick);

    // The data values: SND_CLICK a sample of 2 playbacks that may take over; SND_LOOP a stream.
    VLASound* tmp_pClick = m_pVLA->m_pSounds->GetItem(tmp_iClick);
    EXPECT_FALSE(tmp_pClick->m_bStream);
    EXPECT_NE(tmp_pClick->m_hSample, 0u);
    EXPECT_EQ(tmp_pClick->m_iMaxPlaybacks, 2);
    EXPECT_FALSE(tmp_pClick->m_bNoOverride);
    VLASound* tmp_pLoop = m_pVLA->m_pSounds->GetItem(tmp_iLoop);
    EXPECT_TRUE(tmp_pLoop->m_bStream);
    EXPECT_NE(tmp_pLoop->m_hStream, 0u);
    EXPECT_TRUE(tmp_pLoop->m_bNoOverride);

    m_pVLA->SoundPlay(tmp_Click, false, -1, -1, -101);
    m_pVLA->SoundPlay(tmp_iLoop, false, -1, -1, -101);
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iClick), kPlatAudioPlaying);
    EXPECT_EQ(m_pVLA->SoundGetStatus("SND_LOOP"), kPlatAudioPlaying);
    EXPECT_GT(RenderMs(20), 0.5f);
    RenderMs(100); // the click lasts 35 ms
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iClick), kPlatAudioStopped);
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iLoop), kPlatAudioPlaying);
    m_pVLA->SoundStop("SND_LOOP");
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iLoop), kPlatAudioStopped);
    EXPECT_EQ(RenderMs(20), 0.0f);
    // A third click while two play takes over the oldest one.
    for (int i = 0; i < 3; ++i)
        m_pVLA->SoundPlay(tmp_Click, false, -1, -1, -101);
    EXPECT_EQ(PlatAudioTestGetChannelCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(XmlAndPak, SoundResourceTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& fp_Info)
                         { return fp_Info.param ? std::string("Pak") : std::string("Xml"); });

TEST_F(SoundTest, LoadingTwiceReturnsTheFirstIDSilently)
{
    StartSound();
    WriteFile("a.wav", MakeConstWav(0.5f, 100));
    NewLog();
    EXPECT_EQ(m_pVLA->LoadSound("a.wav", "SND_A", 3, false, 1, false, 0, 0), 0);
    EXPECT_EQ(NewLog(), "\n  -=: Loading sound: SND_A\n   +: Done.\n\n");
    EXPECT_EQ(m_pVLA->LoadSound("other.wav", "SND_A", 3, true, 1, false, 0, 0), 0);
    EXPECT_EQ(NewLog(), "");
    EXPECT_EQ(m_pVLA->m_pSounds->GetTag(0), 3);
    EXPECT_EQ(m_pVLA->FindSound("SND_B"), -1);
    EXPECT_EQ(NewLog(), " !: Cannot find iID of sound with strID = SND_B\n");
}

TEST_F(SoundTest, WrongSoundIDsAreGameErrors)
{
    StartSound();
    WriteFile("a.wav", MakeConstWav(0.5f, 100));
    m_pVLA->LoadSound("a.wav", "SND_A", 0, false, 1, false, 0, 0);
    struct Row
    {
        std::function<void()> call;
        const char* text;
    };
    const Row tmp_Rows[] = {
        {[&] { m_pVLA->SoundPlay("SND_NONE", false, -1, -1, -101); }, "Invalid sound ID: -1"},
        {[&] { m_pVLA->SoundPlay(1, false, -1, -1, -101); }, "Invalid sound ID: 1"},
        {[&] { m_pVLA->SoundStop(-5); }, "Invalid sound ID: -5"},
        {[&] { m_pVLA->SoundPause("SND_NONE"); }, "Invalid sound ID: -1"},
        {[&] { m_pVLA->SoundResume(9); }, "Invalid sound ID: 9"},
        {[&] { m_pVLA->SoundSetAttributes("x", -1, 1, -101); }, "Invalid sound ID: -1"},
        {[&] { m_pVLA->SoundSlideAttributes(2, -1, 1, -101, 5); }, "Invalid sound ID: 2"},
        {[&] { m_pVLA->SoundGetStatus("SND_NONE"); }, "Invalid sound ID: -1"},
    };
    for (const Row& tmp_Row : tmp_Rows)
    {
        const CEHSException tmp_E = Catch(tmp_Row.call);
        EXPECT_EQ(tmp_E.m_iType, EHS_GAME);
        EXPECT_EQ(tmp_E.m_strDesc, tmp_Row.text);
    }
    // A freed slot is no sound either.
    m_pVLA->SoundUnload("SND_A");
    EXPECT_EQ(Catch([&] { m_pVLA->SoundPlay(0, false, -1, -1, -101); }).m_strDesc,
              "Invalid sound ID: 0");
}

TEST_F(SoundTest, InactiveWindowDropsCallsButStatusAnswers)
{
    StartSound();
    WriteFile("a.wav", MakeConstWav(0.5f, 44100));
    const int tmp_iID = m_pVLA->LoadSound("a.wav", "SND_A", 0, false, 4, false, 0, 0);
    m_pVLA->SoundPlay(tmp_iID, true, -1, -1, -101);
    SetWindowActive(false);
    EXPECT_NO_THROW({
        m_pVLA->SoundStop(tmp_iID);
        m_pVLA->SoundPause(tmp_iID);
        m_pVLA->SoundSetAttributes(tmp_iID, -1, 0, -101);
        m_pVLA->SoundSlideAttributes(tmp_iID, -1, -2, -101, 0);
        m_pVLA->SoundPlay(tmp_iID, true, -1, -1, -101);
        m_pVLA->SoundPlay(99, true, -1, -1, -101); // not even checked
    });
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iID), kPlatAudioPlaying);
    EXPECT_EQ(PlatAudioTestGetChannelCount(), 1);
    EXPECT_NEAR(RenderMs(20), 0.5f, 1e-3);
    EXPECT_THROW(m_pVLA->SoundGetStatus(99), CEHSException);
    SetWindowActive(true);
    m_pVLA->SoundStop(tmp_iID);
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iID), kPlatAudioStopped);
}

TEST_F(SoundTest, PauseAndResumeFollowThePausedFlag)
{
    StartSound();
    WriteFile("a.wav", MakeConstWav(0.5f, 44100));
    const int tmp_iID = m_pVLA->LoadSound("a.wav", "SND_A", 0, false, 4, false, 0, 0);
    VLASound* tmp_pSound = m_pVLA->m_pSounds->GetItem(tmp_iID);
    // Resuming a sound that is not paused does nothing.
    m_pVLA->SoundResume(tmp_iID);
    EXPECT_FALSE(tmp_pSound->m_bPaused);
    m_pVLA->SoundPlay(tmp_iID, false, -1, -1, -101);
    m_pVLA->SoundPause("SND_A");
    m_pVLA->SoundPause("SND_A");
    EXPECT_TRUE(tmp_pSound->m_bPaused);
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iID), kPlatAudioPaused);
    EXPECT_EQ(RenderMs(20), 0.0f);
    m_pVLA->SoundResume(tmp_iID);
    EXPECT_FALSE(tmp_pSound->m_bPaused);
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iID), kPlatAudioPlaying);
    EXPECT_NEAR(RenderMs(20), 0.5f, 1e-3);
}

TEST_F(SoundTest, AttributesAndSlidesReachEveryPlaybackOfASample)
{
    StartSound();
    WriteFile("a.wav", MakeConstWav(0.25f, 44100));
    const int tmp_iID = m_pVLA->LoadSound("a.wav", "SND_A", 0, false, 4, false, 0, 0);
    m_pVLA->SoundPlay(tmp_iID, true, -1, 100, -101);
    m_pVLA->SoundPlay(tmp_iID, true, -1, 100, -101);
    EXPECT_NEAR(RenderMs(10), 0.5f, 1e-3);
    m_pVLA->SoundSetAttributes(tmp_iID, -1, 50, -101);
    EXPECT_NEAR(RenderMs(10), 0.25f, 1e-3);
    m_pVLA->SoundSlideAttributes("SND_A", -1, -2, -101, 100);
    RenderMs(110);
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iID), kPlatAudioStopped);
    EXPECT_EQ(PlatAudioTestGetChannelCount(), 0);

    // Global volumes: samples and streams take the first value, music the second.
    m_pVLA->SoundPlay(tmp_iID, true, -1, 100, -101);
    m_pVLA->SetGlobalVolumes(50, 100);
    EXPECT_NEAR(RenderMs(10), 0.125f, 1e-3);
    m_pVLA->SetGlobalVolumes(100, 0);
    EXPECT_NEAR(RenderMs(10), 0.25f, 1e-3);
    RenderMs(500);
    EXPECT_GT(m_pVLA->SoundGetCPU(), 0.0f);
}

TEST_F(SoundTest, StreamPlayKeepsOrSetsItsAttributes)
{
    StartSound();
    WriteFile("s.wav", MakeConstWav(0.5f, 44100));
    const int tmp_iID = m_pVLA->LoadSound("s.wav", "SND_S", 0, true, 1, false, 0, 0);
    m_pVLA->SoundPlay(tmp_iID, false, -1, 50, -101);
    EXPECT_NEAR(RenderMs(10), 0.25f, 1e-3);
    // (-1, -1, -101) makes no attribute call: the volume set before stays.
    m_pVLA->SoundPlay(tmp_iID, true, -1, -1, -101);
    EXPECT_NEAR(RenderMs(10), 0.25f, 1e-3);
    m_pVLA->SoundPlay(tmp_iID, true, 88200, 100, -101);
    EXPECT_NEAR(RenderMs(10), 0.5f, 1e-3);
    RenderMs(600); // looped at twice the speed: still playing
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iID), kPlatAudioPlaying);
}

TEST_F(SoundTest, UnloadingClearsSlotAndSmartID)
{
    StartSound();
    WriteFile("a.wav", MakeConstWav(0.5f, 100));
    CSmartID tmp_A("SND_A");
    CSmartID tmp_B("SND_B");
    m_pVLA->LoadSound("a.wav", "SND_A", 0, false, 1, false, 0, 0);
    m_pVLA->LoadSound("a.wav", "SND_B", 0, false, 1, false, 0, 0);
    EXPECT_EQ(tmp_A.GetIID(), 0);
    EXPECT_EQ(tmp_B.GetIID(), 1);
    NewLog();
    m_pVLA->SoundUnload("SND_A");
    EXPECT_EQ(NewLog(), "\n   =: Unloading sound. strID = SND_A\n   +: Done.\n");
    EXPECT_EQ(tmp_A.GetIID(), -1);
    m_pVLA->SoundUnload(1);
    EXPECT_EQ(NewLog(), "\n   =: Unloading sound. iID = 1\n   +: Done.\n");
    EXPECT_EQ(tmp_B.GetIID(), -1);
    m_pVLA->SoundUnload(1);
    m_pVLA->SoundUnload("SND_A");
    m_pVLA->SoundUnload(-3);
    EXPECT_EQ(NewLog(), "\n   =: Unloading sound. iID = 1\n !: Failed.\n"
                        "\n   =: Unloading sound. strID = SND_A\n !: Failed.\n"
                        "\n   =: Unloading sound. iID = -3\n !: Failed.\n");
    // The freed slot is taken again by the next load.
    EXPECT_EQ(m_pVLA->LoadSound("a.wav", "SND_C", 0, false, 1, false, 0, 0), 0);
}

TEST_F(SoundTest, BadSoundFilesRaiseGeneralErrorsWithTheLibraryCode)
{
    StartSound();
    const std::string tmp_Wav = MakeConstWav(0.5f, 1000);
    WriteFile("truncated.wav", tmp_Wav.substr(0, 30));
    WriteFile("cutdata.wav", tmp_Wav.substr(0, 1000));
    struct Row
    {
        const char* file;
        bool stream;
        const char* text;
        int code;
    };
    const Row tmp_Rows[] = {
        {"truncated.wav", false, "Cannot load sample!", PLAT_AUDIO_ERR_FORMAT},
        {"truncated.wav", true, "Cannot create stream!", PLAT_AUDIO_ERR_FORMAT},
        {"cutdata.wav", false, "Cannot load sample!", PLAT_AUDIO_ERR_FORMAT},
        {"cutdata.wav", true, "Cannot create stream!", PLAT_AUDIO_ERR_FORMAT},
        {"missing.wav", false, "Cannot load sample!", PLAT_AUDIO_ERR_FILE_OPEN},
        {"missing.wav", true, "Cannot create stream!", PLAT_AUDIO_ERR_FILE_OPEN},
    };
    for (const Row& tmp_Row : tmp_Rows)
    {
        const CEHSException tmp_E = Catch(
            [&] { m_pVLA->LoadSound(tmp_Row.file, "SND_BAD", 0, tmp_Row.stream, 1, false, 0, 0); });
        EXPECT_EQ(tmp_E.m_iType, EHS_GENERAL);
        EXPECT_EQ(tmp_E.m_strDesc, tmp_Row.text);
        EXPECT_EQ(tmp_E.m_iCode, tmp_Row.code);
        EXPECT_EQ(m_pVLA->m_pSounds->FindItem("SND_BAD"), -1);
    }
}

TEST_F(SoundTest, BusyPlaybacksWithoutTakeOverDropTheRequest)
{
    StartSound();
    WriteFile("a.wav", MakeConstWav(0.5f, 44100));
    const int tmp_iID = m_pVLA->LoadSound("a.wav", "SND_A", 0, false, 1, true, 0, 0);
    m_pVLA->SoundPlay(tmp_iID, false, -1, -1, -101);
    EXPECT_NO_THROW(m_pVLA->SoundPlay(tmp_iID, false, -1, -1, -101));
    EXPECT_EQ(PlatAudioTestGetChannelCount(), 1);
}

TEST_F(SoundTest, FocusLossPausesTheOutputAndFocusGainResumesIt)
{
    StartSound();
    PlatAudioTestDetachDevice(false); // the device thread drives the mixer here
    WriteFile("a.wav", MakeConstWav(0.5f, 2205));
    const int tmp_iID = m_pVLA->LoadSound("a.wav", "SND_A", 0, false, 1, false, 0, 0);
    m_pVLA->OnFocusLost();
    SetWindowActive(true); // the window procedure would clear it; the test plays while paused
    m_pVLA->SoundPlay(tmp_iID, false, -1, -1, -101);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // Six times the sound's length later it has not advanced.
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iID), kPlatAudioPlaying);
    m_pVLA->OnFocusGained();
    for (int i = 0; i < 1000 && m_pVLA->SoundGetStatus(tmp_iID) != kPlatAudioStopped; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(m_pVLA->SoundGetStatus(tmp_iID), kPlatAudioStopped);
}

} // namespace

// Music: loading both kinds, the queue with fades, the update that starts the queued music in
// the update that finds the old one stopped, volume, levels, and the errors.
#include "CVelora/cvelora_sfx_classes.h"
#include "Platform/plat_audio.h"

#include "../Platform/audio_test_files.h"
#include "cvelora_sfx_fixture.h"

#include <functional>

namespace
{

class MusicTest : public SfxEngineTest
{
protected:
    void SetUp() override
    {
        SfxEngineTest::SetUp();
        StartSound();
        WriteFile("tiny.mod", MakeTinyMod());
        // The game's song is kept loaded; the tiny one (1.28 s) is loaded for each playback.
        m_iSong = m_pVLA->LoadMusic(GameSongPath(), "MUS_GAME", 1, 0, 0, 0);
        m_iTiny = m_pVLA->LoadMusic("tiny.mod", "MUS_TINY", 1, 0, 0, 1);
        NewLog();
    }

    VLAMusic* Music(int fp_iID) { return m_pVLA->m_pMusic->GetItem(fp_iID); }

    int m_iSong = -1;
    int m_iTiny = -1;
};

TEST_F(MusicTest, LoadingChoosesTheClassAndLogs)
{
    EXPECT_EQ(m_iSong, 0);
    EXPECT_EQ(m_iTiny, 1);
    EXPECT_EQ(dynamic_cast<VLAPreloadedMusic*>(Music(m_iSong)) != nullptr, true);
    EXPECT_TRUE(Music(m_iSong)->m_bLoaded);
    EXPECT_EQ(dynamic_cast<VLAPreloadedMusic*>(Music(m_iTiny)), nullptr);
    EXPECT_FALSE(Music(m_iTiny)->m_bLoaded);
    EXPECT_EQ(m_pVLA->LoadMusic("tiny.mod", "MUS_X", 2, 0, 0, 7), 2);
    EXPECT_EQ(NewLog(), "\n  -=: Loading music: MUS_X\n   +: Done.\n\n");
    EXPECT_EQ(m_pVLA->LoadMusic("other.mod", "MUS_X", 2, 0, 0, 1), 2);
    EXPECT_EQ(NewLog(), "");
    EXPECT_EQ(m_pVLA->FindMusic("MUS_TINY"), 1);
    EXPECT_EQ(m_pVLA->FindMusic("MUS_NONE"), -1);
    EXPECT_EQ(NewLog(), " !: Cannot find iID of music with strID = MUS_NONE\n");
}

TEST_F(MusicTest, SongFadesOutAndTheQueuedMusicStartsInTheUpdateThatFindsItStopped)
{
    m_pVLA->PlayMusic("MUS_GAME", true, 0);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, m_iSong);
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, m_iSong);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, -1);
    EXPECT_GT(RenderMs(1000), 0.2f);
    EXPECT_GT(Music(m_iSong)->GetLevelLeft() + Music(m_iSong)->GetLevelRight(), 0.0f);
    EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioPlaying);

    m_pVLA->PlayMusic(m_iTiny, false, 3000);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, m_iTiny);
    RenderMs(2900);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, m_iSong); // still fading
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, m_iTiny);
    EXPECT_FALSE(Music(m_iTiny)->m_bLoaded);
    RenderMs(110);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, m_iTiny);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, -1);
    EXPECT_TRUE(Music(m_iTiny)->m_bLoaded);
    EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioPlaying);
    // The preloaded song stays loaded, stopped.
    EXPECT_TRUE(Music(m_iSong)->m_bLoaded);
    EXPECT_EQ(Music(m_iSong)->GetStatus(), kPlatAudioStopped);
}

TEST_F(MusicTest, MusicThatEndsByItselfIsFreedByTheFirstStatusQuery)
{
    m_pVLA->PlayMusic(m_iTiny, false, 0);
    m_pVLA->UpdateMusic();
    EXPECT_TRUE(Music(m_iTiny)->m_bLoaded);
    EXPECT_GT(RenderMs(500), 0.05f);
    RenderMs(1000);
    EXPECT_TRUE(Music(m_iTiny)->m_bLoaded);
    EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioStopped);
    EXPECT_FALSE(Music(m_iTiny)->m_bLoaded);
    // Nothing follows without a playlist.
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, -1);
}

TEST_F(MusicTest, CurrentMusicIsNotRestartedEvenWhileFading)
{
    m_pVLA->PlayMusic(m_iSong, true, 0);
    m_pVLA->UpdateMusic();
    m_pVLA->PlayMusic(m_iSong, true, 0);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, -1);
    m_pVLA->StopMusic(200);
    m_pVLA->PlayMusic("MUS_GAME", true, 0);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, -1);
    RenderMs(250);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
    EXPECT_EQ(RenderMs(100), 0.0f);
}

TEST_F(MusicTest, SecondRequestReplacesTheFirstAndFadeZeroStopsAtOnce)
{
    m_pVLA->PlayMusic(m_iTiny, true, 0);
    m_pVLA->UpdateMusic();
    m_pVLA->PlayMusic(m_iSong, true, 5000);
    m_pVLA->PlayMusic(2, false, 0); // a slot not loaded yet is only queued
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, 2);
    m_pVLA->PlayMusic(m_iSong, true, 0);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, m_iSong);
    // The last request stopped the looped tiny module at once and freed it.
    EXPECT_FALSE(Music(m_iTiny)->m_bLoaded);
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, m_iTiny);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, m_iSong);
    EXPECT_GT(RenderMs(500), 0.1f);
}

TEST_F(MusicTest, VolumeSlidesTheCurrentMusic)
{
    m_pVLA->PlayMusic(m_iTiny, true, 0);
    m_pVLA->UpdateMusic();
    RenderMs(100);
    const float tmp_fFull = Music(m_iTiny)->GetLevelLeft() + Music(m_iTiny)->GetLevelRight();
    ASSERT_GT(tmp_fFull, 0.0f);
    m_pVLA->MusicSetVolume(50, 0);
    RenderMs(100);
    const float tmp_fHalf = Music(m_iTiny)->GetLevelLeft() + Music(m_iTiny)->GetLevelRight();
    EXPECT_NEAR(tmp_fHalf, tmp_fFull / 2, 0.02f);
    // Paused music reports no level and ignores volume changes.
    Music(m_iTiny)->Pause();
    EXPECT_EQ(Music(m_iTiny)->GetLevelLeft(), 0.0f);
    EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioPaused);
    Music(m_iTiny)->Resume();
    EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioPlaying);
}

TEST_F(MusicTest, InactiveWindowDropsMusicRequests)
{
    m_pVLA->PlayMusic(m_iSong, true, 0);
    m_pVLA->UpdateMusic();
    SetWindowActive(false);
    m_pVLA->PlayMusic(m_iTiny, true, 0);
    m_pVLA->StopMusic(0);
    m_pVLA->MusicSetVolume(0, 0);
    m_pVLA->PlayMusic(-1, true, 0); // not even checked
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, -1);
    EXPECT_GT(RenderMs(300), 0.1f);
    EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioPlaying);
}

TEST_F(MusicTest, PreloadedSongPlaysAgainAtFullVolumeAfterAFade)
{
    m_pVLA->PlayMusic(m_iSong, true, 0);
    m_pVLA->UpdateMusic();
    m_pVLA->StopMusic(100);
    RenderMs(150);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
    m_pVLA->PlayMusic(m_iSong, true, 0);
    m_pVLA->UpdateMusic();
    EXPECT_GT(RenderMs(1000), 0.2f);
}

TEST_F(MusicTest, MusicErrors)
{
    WriteFile("garbage.mod", std::string(3000, '\x11'));
    struct Row
    {
        std::function<void()> call;
        int type;
        const char* text;
        int code;
    };
    const Row tmp_Rows[] = {
        {[&] { m_pVLA->PlayMusic(-1, true, 0); }, EHS_GAME, "Invalid music id!", 0},
        {[&] { m_pVLA->PlayMusic("MUS_NONE", true, 0); }, EHS_GAME, "Invalid music id!", 0},
        {[&] { m_pVLA->LoadMusic("garbage.mod", "MUS_BAD", 0, 0, 0, 0); }, EHS_GENERAL,
         "Cannot load music!", PLAT_AUDIO_ERR_FORMAT},
        {[&] { m_pVLA->LoadMusic("missing.mod", "MUS_BAD", 0, 0, 0, 0); }, EHS_GENERAL,
         "Cannot load music!", PLAT_AUDIO_ERR_FILE_OPEN},
        // A music loaded at each playback fails when it is started by the update.
        {[&]
         {
             m_pVLA->PlayMusic(m_pVLA->LoadMusic("garbage.mod", "MUS_LATE", 0, 0, 0, 1), false, 0);
             m_pVLA->UpdateMusic();
         },
         EHS_GENERAL, "Cannot load music!", PLAT_AUDIO_ERR_FORMAT},
        {[&]
         {
             m_pVLA->m_iCurrentMusic = 40;
             m_pVLA->StopMusic(0);
         },
         EHS_GENERAL, "Cannot stop music - invalid ID!", 0},
        {[&] { m_pVLA->GetMusicStatus(); }, EHS_GENERAL, "Cannot get music status - invalid ID!",
         0},
        {[&] { m_pVLA->MusicSetVolume(5, 5); }, EHS_GENERAL,
         "Cannot get music status - invalid ID!", 0},
        {[&]
         {
             m_pVLA->m_iCurrentMusic = -1;
             m_pVLA->m_iQueuedMusic = 40;
             m_pVLA->UpdateMusic();
         },
         EHS_GENERAL, "Cannot play music - invalid ID!", 0},
    };
    for (const Row& tmp_Row : tmp_Rows)
    {
        const CEHSException tmp_E = Catch(tmp_Row.call);
        EXPECT_EQ(tmp_E.m_iType, tmp_Row.type) << tmp_Row.text;
        EXPECT_EQ(tmp_E.m_strDesc, tmp_Row.text);
        EXPECT_EQ(tmp_E.m_iCode, tmp_Row.code) << tmp_Row.text;
    }
    m_pVLA->m_iCurrentMusic = -1;
}

} // namespace

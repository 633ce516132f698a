// Script API, VLA_SFX_ and VLAUTIL_ groups on a started sound subsystem (SDL's dummy driver):
// every function reaches its operation with its arguments in order, by strID or iID as argument
// 1's type says, and the operations' own errors leave the script unchanged.
#include "CVelora/cvelora_scr_main.h"
#include "CVelora/cvelora_sfx_fixture.h"

#include <filesystem>
#include <optional>

namespace
{

class GlueSfxTest : public SfxEngineTest
{
protected:
    void SetUp() override
    {
        SfxEngineTest::SetUp();
        std::filesystem::create_directory("DATA");
        std::filesystem::copy_file(GameClickPath(), "DATA/click.wav");
        std::filesystem::copy_file(GameSongPath(), "DATA/song.mod");
        WriteFile("DATA/pack.xml",
                  "<respack>"
                  "<res id=\"SND_CLICK\" typeid=\"SOUND\" filename=\"click.wav\" data2=\"2\"/>"
                  "<res id=\"MUS_GAME\" typeid=\"MUSIC\" filename=\"song.mod\"/>"
                  "<res id=\"PL_MAIN\" typeid=\"PLAYLIST\" filename=\"main.playlist\"/>"
                  "</respack>");
        WriteFile("DATA/main.playlist", "<playlist id=\"PL_MAIN\"><a id=\"MUS_GAME\"/></playlist>");
        m_pVLA->InitResourcesSubsystem();
        StartSound();
        m_pVLA->InitScriptsSubsystem();
    }
    std::optional<CEHSException> Run(const std::string& fp_strText)
    {
        try
        {
            m_pVLA->LoadScriptFromBuffer(fp_strText.data(), fp_strText.size(), "SCR_SFX");
        }
        catch (const CEHSException& e)
        {
            return e;
        }
        return std::nullopt;
    }
    double Number(const char* fp_pszGlobal)
    {
        lua_getglobal(m_pVLA->m_pLuaState, fp_pszGlobal);
        const double tmp_dValue = lua_tonumber(m_pVLA->m_pLuaState, -1);
        lua_settop(m_pVLA->m_pLuaState, 0);
        return tmp_dValue;
    }
};

TEST_F(GlueSfxTest, SoundsByStrIDAndIID)
{
    ASSERT_FALSE(Run("id = VLAUTIL_DemandSound('SND_CLICK')\n"
                     "again = VLAUTIL_DemandSound('SND_CLICK')\n"
                     "VLA_SFX_SetGlobalVolumes(80, 70)\n"
                     "VLA_SFX_SoundPlay('SND_CLICK', true, -1, -1, -101)\n"
                     "playing = VLA_SFX_SoundGetStatus(id)\n"
                     "VLA_SFX_SoundPause(id)\n"
                     "paused = VLA_SFX_SoundGetStatus('SND_CLICK')\n"
                     "VLA_SFX_SoundResume('SND_CLICK')\n"
                     "resumed = VLA_SFX_SoundGetStatus(id)\n"
                     "VLA_SFX_SoundSetAttributes(id, 22050, 50, 0)\n"
                     "VLA_SFX_SoundSlideAttributes('SND_CLICK', -1, 10, -1, 100)\n"
                     "VLA_SFX_SoundStop('SND_CLICK')\n"
                     "stopped = VLA_SFX_SoundGetStatus(id)\n"));
    EXPECT_EQ(Number("id"), 0.0);
    EXPECT_EQ(Number("again"), 0.0);
    EXPECT_EQ(Number("playing"), 1.0);
    EXPECT_EQ(Number("paused"), 3.0);
    EXPECT_EQ(Number("resumed"), 1.0);
    EXPECT_EQ(Number("stopped"), 0.0);

    NewLog();
    ASSERT_FALSE(Run("VLA_SFX_SoundUnload('SND_CLICK')"));
    EXPECT_NE(NewLog().find("SND_CLICK"), std::string::npos);

    // The operations' own errors, unchanged.
    const struct
    {
        const char* m_pszCall;
        const char* m_pszDesc;
    } tmp_Rows[] = {
        {"VLA_SFX_SoundPlay(99, false, 0, 0, 0)", "Invalid sound ID: 99"},
        {"VLA_SFX_SoundStop(7.8)", "Invalid sound ID: 7"},
        {"VLAUTIL_DemandSound('SND_NONE')", "Invalid sound demand. ID = SND_NONE"},
        {"VLAUTIL_DemandMusic('MUS_NONE')", "Invalid music demand. ID = MUS_NONE"},
        {"VLAUTIL_DemandPlaylist('PL_NONE')", "Invalid playlist demand. ID = PL_NONE"},
    };
    for (const auto& tmp_Row : tmp_Rows)
    {
        auto tmp_Err = Run(tmp_Row.m_pszCall);
        ASSERT_TRUE(tmp_Err) << tmp_Row.m_pszCall;
        EXPECT_EQ(tmp_Err->m_iType, EHS_GAME) << tmp_Row.m_pszCall;
        EXPECT_EQ(tmp_Err->m_strDesc, tmp_Row.m_pszDesc) << tmp_Row.m_pszCall;
    }
}

TEST_F(GlueSfxTest, MusicAndPlaylists)
{
    ASSERT_FALSE(Run("mus = VLAUTIL_DemandMusic('MUS_GAME')\n"
                     "pl = VLAUTIL_DemandPlaylist('PL_MAIN')\n"
                     "VLA_SFX_PlaylistSet('PL_MAIN')\n"));
    EXPECT_EQ(Number("mus"), 0.0);
    EXPECT_EQ(Number("pl"), 0.0);
    EXPECT_EQ(m_pVLA->m_iCurrentPlaylist, 0);
    ASSERT_FALSE(Run("VLA_SFX_PlaylistStop()"));
    EXPECT_EQ(m_pVLA->m_iCurrentPlaylist, -1);
    ASSERT_FALSE(Run("VLA_SFX_PlaylistSet(0)"));
    EXPECT_EQ(m_pVLA->m_iCurrentPlaylist, 0);
    auto tmp_Err = Run("VLA_SFX_PlaylistSet('PL_NONE')");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_strDesc, "Invalid playlist ID!");
    // No music is playing: the volume slide has nothing to act on and returns quietly.
    EXPECT_FALSE(Run("VLA_SFX_MusicSetVolume(50, 100)"));
}

} // namespace

// Sound next to a real graphics device on the virtual display: the sound start after the
// graphics start, and the texture demand helper.
#include "CVelora/cvelora_utils_demand.h"
#include "Platform/plat_audio.h"

#include "cvelora_gfx_test_support.h"

#include <cstdlib>
#include <filesystem>

namespace
{

class SfxWithGfxTest : public GfxEngineTest
{
protected:
    void SetUp() override
    {
        GfxEngineTest::SetUp();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
};

TEST_F(SfxWithGfxTest, SoundStartsAfterGraphicsAndStopsBeforeIt)
{
    StartGraphics();
    m_pVLA->InitSoundSubsystem(44100);
    EXPECT_FALSE(m_pVLA->m_bNoSoundCard);
    EXPECT_EQ(PlatAudioTestGetRate(), 44100);
    TakeLog();
    delete m_pVLA;
    m_pVLA = nullptr;
    const std::string tmp_strLog = ReadFile(kLogFileName);
    const size_t tmp_uSound = tmp_strLog.find("Deinitializing Sound and Music Subsystem...");
    const size_t tmp_uGraphics = tmp_strLog.find("Deinitializing");
    EXPECT_NE(tmp_uSound, std::string::npos);
    EXPECT_EQ(tmp_uSound, tmp_uGraphics); // the first stop block is the sound's
    EXPECT_NE(tmp_strLog.find("Deinitializing", tmp_uSound + 1), std::string::npos);
}

TEST_F(SfxWithGfxTest, TextureDemandLoadsOnceAndMissingTexturesAreGameErrors)
{
    std::filesystem::create_directory("DATA");
    WriteFile("DATA/bg.png", MakePng(2, 2, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF}));
    WriteFile("DATA/tex.xml",
              "<respack><res id=\"TEX_BG\" typeid=\"TEXTURE\" filename=\"bg.png\"/></respack>");
    m_pVLA->InitResourcesSubsystem();
    StartGraphics();
    const int tmp_iID = DemandTexture("TEX_BG");
    EXPECT_EQ(tmp_iID, 0);
    EXPECT_NE(TakeLog().find("Cannot find iID of texture with strID = TEX_BG"), std::string::npos);
    EXPECT_EQ(DemandTexture("TEX_BG"), tmp_iID);
    EXPECT_EQ(TakeLog(), "");

    try
    {
        DemandTexture("TEX_NONE");
        ADD_FAILURE() << "no error";
    }
    catch (const CEHSException& tmp_E)
    {
        EXPECT_EQ(tmp_E.m_iType, EHS_GAME);
        EXPECT_EQ(tmp_E.m_strDesc, "Invalid texture demand. ID = TEX_NONE");
    }
    EXPECT_EQ(TakeLog(), LogEntry("Cannot find iID of texture with strID = TEX_NONE", 5) +
                             LogEmpty(1) + LogEntry("Cannot find resource with ID = TEX_NONE", 5) +
                             LogEntry("Cannot find iID of texture with strID = TEX_NONE", 5));
}

} // namespace

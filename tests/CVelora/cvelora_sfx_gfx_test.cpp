// Sound next to a real graphics device on the virtual display: the sound start after the
// graphics start, and the texture demand helper.
#include "CVelora/cvelora_utils_demand.h"
#include "Platform/plat_audio.h"

#include "cvelora_gfx_test_support.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

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

struct DemandRow
{
    const char* kind;
    std::function<int()> demand;
    const char* findMiss; // the strID the find logs as missing
    const char* resource; // the resource loaded
    const char* error;    // the error when it is still missing
};

// Texture, technique pack and font resources for the graphics demand helpers.
void WriteGraphicsResources()
{
    std::filesystem::create_directory("DATA");
    WriteFile("DATA/bg.png", MakePng(2, 2, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF}));
    WriteFile("DATA/tech.teq", "<techniquespack><technique id=\"TEQ_A\"/><technique id=\"TEQ_B\"/>"
                               "</techniquespack>");
    std::string tmp_strFont = "<fontdesc id=\"FNT_A\" textureid=\"TEX_BG\" techniqueid=\"TEQ_B\" "
                              "techpackid=\"TEQ_PACK\" cellsize=\"8\"";
    for (int c = 0; c < 256; ++c)
        tmp_strFont += " cs" + std::to_string(c) + "=\"6\"";
    WriteFile("DATA/a.fnt", tmp_strFont + "/>");
    WriteFile("DATA/gfx.xml", "<respack><res id=\"TEX_BG\" typeid=\"TEXTURE\" filename=\"bg.png\"/>"
                              "<res id=\"TEQ_PACK\" typeid=\"TECHNIQUE\" filename=\"tech.teq\"/>"
                              "<res id=\"FNT_A\" typeid=\"FONT\" filename=\"a.fnt\"/></respack>");
}

TEST_F(SfxWithGfxTest, GraphicsDemandsLoadOnceThenOnlyFind)
{
    WriteGraphicsResources();
    m_pVLA->InitResourcesSubsystem();
    StartGraphics();
    const DemandRow tmp_Rows[] = {
        {"texture", [] { return DemandTexture("TEX_BG"); }, "TEX_BG", "", ""},
        {"technique", [] { return DemandTechnique("TEQ_A", "TEQ_PACK"); }, "TEQ_A", "", ""},
        {"font", [] { return DemandFont("FNT_A"); }, "FNT_A", "", ""},
    };
    for (const DemandRow& tmp_Row : tmp_Rows)
    {
        SCOPED_TRACE(tmp_Row.kind);
        const int tmp_iID = tmp_Row.demand();
        EXPECT_EQ(tmp_iID, 0);
        const std::string tmp_strMiss = LogEntry(std::string("Cannot find iID of ") + tmp_Row.kind +
                                                     " with strID = " + tmp_Row.findMiss,
                                                 5);
        EXPECT_EQ(TakeLog().rfind(tmp_strMiss, 0), 0u);
        EXPECT_EQ(tmp_Row.demand(), tmp_iID);
        EXPECT_EQ(TakeLog(), "");
    }
    // The technique came from its pack, so its sibling is there without another load.
    EXPECT_EQ(DemandTechnique("TEQ_B", "TEQ_PACK"), 1);
    EXPECT_EQ(TakeLog(), "");
}

TEST_F(SfxWithGfxTest, MissingGraphicsResourcesAreGameErrors)
{
    WriteGraphicsResources();
    m_pVLA->InitResourcesSubsystem();
    StartGraphics();
    const DemandRow tmp_Rows[] = {
        {"texture", [] { return DemandTexture("TEX_NONE"); }, "TEX_NONE", "TEX_NONE",
         "Invalid texture demand. ID = TEX_NONE"},
        {"technique", [] { return DemandTechnique("TEQ_NONE", "TEQ_NOPACK"); }, "TEQ_NONE",
         "TEQ_NOPACK", "Invalid technique demand. ID = TEQ_NONE  TechPackID = TEQ_NOPACK"},
        {"font", [] { return DemandFont("FNT_NONE"); }, "FNT_NONE", "FNT_NONE",
         "Invalid font demand. ID = FNT_NONE"},
    };
    for (const DemandRow& tmp_Row : tmp_Rows)
    {
        SCOPED_TRACE(tmp_Row.kind);
        try
        {
            tmp_Row.demand();
            ADD_FAILURE() << "no error";
        }
        catch (const CEHSException& tmp_E)
        {
            EXPECT_EQ(tmp_E.m_iType, EHS_GAME);
            EXPECT_EQ(tmp_E.m_strDesc, tmp_Row.error);
        }
        const std::string tmp_strMiss = LogEntry(std::string("Cannot find iID of ") + tmp_Row.kind +
                                                     " with strID = " + tmp_Row.findMiss,
                                                 5);
        EXPECT_EQ(
            TakeLog(),
            tmp_strMiss + LogEmpty(1) +
                LogEntry(std::string("Cannot find resource with ID = ") + tmp_Row.resource, 5) +
                tmp_strMiss);
    }
}

} // namespace

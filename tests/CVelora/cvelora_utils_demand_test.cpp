// Demand helpers: a resource is loaded on first demand and found afterwards; a resource that
// does not exist is a Game error after the resource subsystem's warning.
#include "CVelora/cvelora_utils_demand.h"

#include "../Platform/audio_test_files.h"
#include "cvelora_sfx_fixture.h"

#include <filesystem>
#include <functional>

namespace
{

class DemandTest : public SfxEngineTest
{
protected:
    void SetUp() override
    {
        SfxEngineTest::SetUp();
        std::filesystem::create_directory("DATA");
        WriteFile("DATA/a.wav", MakeConstWav(0.5f, 100));
        WriteFile("DATA/tiny.mod", MakeTinyMod());
        WriteFile("DATA/pl.txt", "<playlist id=\"PL_A\"><m id=\"MUS_A\"/></playlist>");
        WriteFile("DATA/res.xml", "<respack>"
                                  "<res id=\"SND_A\" typeid=\"SOUND\" filename=\"a.wav\"/>"
                                  "<res id=\"MUS_A\" typeid=\"MUSIC\" filename=\"tiny.mod\"/>"
                                  "<res id=\"PL_A\" typeid=\"PLAYLIST\" filename=\"pl.txt\"/>"
                                  "</respack>");
        m_pVLA->InitResourcesSubsystem();
        StartSound();
        NewLog();
    }
};

struct DemandRow
{
    const char* kind;
    std::function<int(const std::string&)> demand;
    const char* id;
    const char* loadLine; // what the first demand logs
};

TEST_F(DemandTest, FirstDemandLoadsLaterDemandsOnlyFind)
{
    const DemandRow tmp_Rows[] = {
        {"sound", DemandSound, "SND_A", "\n  -=: Loading sound: SND_A\n   +: Done.\n\n"},
        {"music", DemandMusic, "MUS_A", "\n  -=: Loading music: MUS_A\n   +: Done.\n\n"},
        {"playlist", DemandPlaylist, "PL_A", "\n  -=: Processing playlist file...\n"},
    };
    for (const DemandRow& tmp_Row : tmp_Rows)
    {
        SCOPED_TRACE(tmp_Row.kind);
        EXPECT_EQ(tmp_Row.demand(tmp_Row.id), 0);
        const std::string tmp_strLog = NewLog();
        EXPECT_EQ(tmp_strLog.rfind(std::string(" !: Cannot find iID of ") + tmp_Row.kind +
                                       " with strID = " + tmp_Row.id + "\n",
                                   0),
                  0u);
        EXPECT_NE(tmp_strLog.find(tmp_Row.loadLine), std::string::npos);
        EXPECT_EQ(tmp_Row.demand(tmp_Row.id), 0);
        EXPECT_EQ(NewLog(), "");
    }
}

TEST_F(DemandTest, MissingResourceIsAGameErrorAfterTheWarning)
{
    const DemandRow tmp_Rows[] = {
        {"sound", DemandSound, "SND_NONE", "Invalid sound demand. ID = SND_NONE"},
        {"music", DemandMusic, "MUS_NONE", "Invalid music demand. ID = MUS_NONE"},
        {"playlist", DemandPlaylist, "PL_NONE", "Invalid playlist demand. ID = PL_NONE"},
    };
    for (const DemandRow& tmp_Row : tmp_Rows)
    {
        SCOPED_TRACE(tmp_Row.kind);
        const CEHSException tmp_E = Catch([&] { tmp_Row.demand(tmp_Row.id); });
        EXPECT_EQ(tmp_E.m_iType, EHS_GAME);
        EXPECT_EQ(tmp_E.m_strDesc, tmp_Row.loadLine);
        const std::string tmp_strMiss = std::string(" !: Cannot find iID of ") + tmp_Row.kind +
                                        " with strID = " + tmp_Row.id + "\n";
        EXPECT_EQ(NewLog(), tmp_strMiss + "\n !: Cannot find resource with ID = " + tmp_Row.id +
                                "\n" + tmp_strMiss);
    }
}

TEST_F(DemandTest, WithoutEngineTheAssertionFails)
{
    CVelora* tmp_pVLA = m_pVLA;
    m_pVLA = nullptr;
    delete tmp_pVLA;
    const CEHSException tmp_E = Catch([] { DemandSound("SND_A"); });
    EXPECT_EQ(tmp_E.m_iType, EHS_GENERAL);
    EXPECT_EQ(tmp_E.m_strDesc, "EHS Assertion failed.");
}

} // namespace

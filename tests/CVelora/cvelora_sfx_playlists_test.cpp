// Playlists: the weighted picker, building playlists from documents (also through resources),
// and the music update walking a playlist: alternation, repetition, the all-current error,
// setting and stopping.
#include "CVelora/cvelora_res_pak.h"
#include "CVelora/cvelora_sfx_classes.h"
#include "CVelora/cvelora_sfx_playlists.h"
#include "CVelora/cvelora_utils_xml.h"
#include "Platform/plat_audio.h"

#include "../Platform/audio_test_files.h"
#include "cvelora_sfx_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <set>

namespace
{

std::string CatchText(const std::function<void()>& fp_Call)
{
    try
    {
        fp_Call();
    }
    catch (const char* tmp_pszText)
    {
        return tmp_pszText;
    }
    return "";
}

TEST(RandomizerTest, PicksAddedValuesByWeight)
{
    TRandomizer<int32_t> tmp_Empty;
    EXPECT_EQ(CatchText([&] { tmp_Empty.GetRandomValue(); }),
              "No values were thrown in randomizer!");

    TRandomizer<int32_t> tmp_One;
    tmp_One.AddValue(42, 0); // a single value needs no weight
    EXPECT_EQ(tmp_One.GetRandomValue(), 42);

    TRandomizer<int32_t> tmp_Three;
    tmp_Three.AddValue(1, 10);
    tmp_Three.AddValue(2, 0);
    tmp_Three.AddValue(3, 30);
    EXPECT_EQ(tmp_Three.GetCount(), 3);
    std::srand(7);
    int tmp_Counts[4] = {0, 0, 0, 0};
    for (int i = 0; i < 4000; ++i)
        ++tmp_Counts[tmp_Three.GetRandomValue()];
    EXPECT_EQ(tmp_Counts[2], 0);
    EXPECT_NEAR(tmp_Counts[3] / 4000.0, 0.75, 0.05);
    EXPECT_EQ(tmp_Counts[1] + tmp_Counts[3], 4000);

    TRandomizer<int32_t> tmp_Zero;
    tmp_Zero.AddValue(1, 0);
    tmp_Zero.AddValue(2, -5);
    EXPECT_EQ(CatchText([&] { tmp_Zero.GetRandomValue(); }),
              "Error in TRandomizer::GetRandomValue!");
}

class PlaylistTest : public SfxEngineTest
{
protected:
    void SetUp() override
    {
        SfxEngineTest::SetUp();
        std::filesystem::create_directory("DATA");
        WriteFile("DATA/tiny.mod", MakeTinyMod());
        WriteFile("DATA/music.xml",
                  "<respack>"
                  "<res id=\"MUS_A\" typeid=\"MUSIC\" filename=\"tiny.mod\" data1=\"1\"/>"
                  "<res id=\"MUS_B\" typeid=\"MUSIC\" filename=\"tiny.mod\"/>"
                  "<res id=\"MUS_C\" typeid=\"MUSIC\" filename=\"tiny.mod\"/>"
                  "</respack>");
        m_pVLA->InitResourcesSubsystem();
        StartSound();
        NewLog();
    }

    int Load(const std::string& fp_strDoc)
    {
        return m_pVLA->LoadPlaylist(reinterpret_cast<const uint8_t*>(fp_strDoc.data()),
                                    static_cast<int>(fp_strDoc.size()));
    }

    const std::vector<int32_t>& Entries(int fp_iID)
    {
        return m_pVLA->m_pPlaylists->GetItem(fp_iID)->m_Entries;
    }

    // Plays until the current piece (1.28 s, not looped) has ended and runs the update.
    void NextPiece()
    {
        RenderMs(1400);
        m_pVLA->UpdateMusic();
    }
};

TEST_F(PlaylistTest, DocumentBuildsAPlaylistLoadingMissingMusic)
{
    m_pVLA->LoadResource("MUS_A");
    NewLog();
    const int tmp_iID = Load("<playlist id=\"PL_MAIN\" tag=\"2\"><a id=\"MUS_A\"/><b id=\"MUS_B\"/>"
                             "<c id=\"MUS_NONE\"/><a id=\"MUS_A\"/></playlist>");
    EXPECT_EQ(tmp_iID, 0);
    EXPECT_EQ(Entries(tmp_iID), (std::vector<int32_t>{0, 1, 0}));
    EXPECT_EQ(m_pVLA->m_pPlaylists->GetTag(tmp_iID), 2);
    EXPECT_EQ(NewLog(), "\n  -=: Processing playlist file...\n"
                        " !: Cannot find iID of music with strID = MUS_B\n"
                        "\n  -=: Loading music: MUS_B\n   +: Done.\n\n"
                        " !: Cannot find iID of music with strID = MUS_NONE\n"
                        "\n !: Cannot find resource with ID = MUS_NONE\n"
                        " !: Cannot find iID of music with strID = MUS_NONE\n"
                        "   =: New playlist contains 3 entries.\n"
                        "   +: Done.\n\n");
    EXPECT_EQ(m_pVLA->FindPlaylist("PL_MAIN"), 0);
    EXPECT_EQ(m_pVLA->FindPlaylist("PL_NONE"), -1);
    EXPECT_EQ(NewLog(), " !: Cannot find iID of playlist with strID = PL_NONE\n");

    // The same id again keeps the first playlist.
    EXPECT_EQ(Load("<playlist id=\"PL_MAIN\"><a id=\"MUS_C\"/></playlist>"), 0);
    EXPECT_EQ(NewLog(), "\n  -=: Processing playlist file...\n !: Warning: Dublicated playlist!\n");
    EXPECT_EQ(Entries(0).size(), 3u);
    // A missing or non-numeric tag is 0.
    EXPECT_EQ(Load("<playlist id=\"PL_EMPTY\" tag=\"x7\"/>"), 1);
    EXPECT_EQ(m_pVLA->m_pPlaylists->GetTag(1), 0);
    EXPECT_TRUE(Entries(1).empty());
}

TEST_F(PlaylistTest, DocumentErrors)
{
    const CEHSException tmp_E = Catch([&] { Load("<music id=\"X\"/>"); });
    EXPECT_EQ(tmp_E.m_iType, EHS_GAME);
    EXPECT_EQ(tmp_E.m_strDesc, "XML file doesn't contain playlist data!");
    const CEHSException tmp_Null = Catch([&] { m_pVLA->ProcessPlaylist(nullptr); });
    EXPECT_EQ(tmp_Null.m_iType, EHS_GENERAL);
    EXPECT_EQ(tmp_Null.m_strDesc, "XML Parser error - root node object is NULL!");
}

TEST_F(PlaylistTest, PlaylistResourceLoadsInPakModeDecoded)
{
    std::filesystem::remove_all("DATA");
    std::filesystem::create_directory("DATA");
    std::string tmp_strDoc = "<playlist id=\"PL\" tag=\"1\"><m id=\"MUS_P\"/></playlist>";
    for (char& tmp_c : tmp_strDoc)
        tmp_c = static_cast<char>(tmp_c ^ kXMLKey);
    std::vector<VLAPakEntry> tmp_Entries(2);
    tmp_Entries[0].m_strID = "PL";
    tmp_Entries[0].m_strTypeID = "PLAYLIST";
    tmp_Entries[1].m_strID = "MUS_P";
    tmp_Entries[1].m_strTypeID = "MUSIC";
    WriteFile("DATA/music.pak", WritePak(tmp_Entries, {tmp_strDoc, ReadFile(GameSongPath())}));
    // A second engine start with only the pack present.
    delete m_pVLA;
    m_pVLA = new CVelora;
    m_pVLA->m_bGfxDeviceCreated = true;
    m_pVLA->InitResourcesSubsystem();
    StartSound();
    m_pVLA->LoadResource("PL");
    ASSERT_EQ(m_pVLA->FindPlaylist("PL"), 0);
    EXPECT_EQ(Entries(0), (std::vector<int32_t>{0}));
    m_pVLA->PlaylistSet("PL");
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, 0);
    EXPECT_GT(RenderMs(1000), 0.2f);
}

TEST_F(PlaylistTest, TwoPiecesAlternate)
{
    const int tmp_iID = Load("<playlist id=\"PL\"><m id=\"MUS_A\"/><m id=\"MUS_B\"/></playlist>");
    m_pVLA->PlaylistSet(tmp_iID);
    EXPECT_EQ(m_pVLA->m_iCurrentPlaylist, tmp_iID);
    m_pVLA->UpdateMusic();
    std::vector<int> tmp_Played = {m_pVLA->m_iCurrentMusic};
    for (int i = 0; i < 5; ++i)
    {
        NextPiece();
        tmp_Played.push_back(m_pVLA->m_iCurrentMusic);
        EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioPlaying);
    }
    for (size_t i = 0; i < tmp_Played.size(); ++i)
    {
        EXPECT_TRUE(tmp_Played[i] == 0 || tmp_Played[i] == 1) << tmp_Played[i];
        if (i > 0)
        {
            EXPECT_NE(tmp_Played[i], tmp_Played[i - 1]);
        }
    }
}

TEST_F(PlaylistTest, OnePieceRepeats)
{
    m_pVLA->LoadResource("MUS_A");
    m_pVLA->LoadResource("MUS_B");
    m_pVLA->PlaylistSet(Load("<playlist id=\"PL\"><m id=\"MUS_B\"/></playlist>"));
    for (int i = 0; i < 3; ++i)
    {
        m_pVLA->UpdateMusic();
        EXPECT_EQ(m_pVLA->m_iCurrentMusic, 1);
        EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioPlaying);
        RenderMs(1400);
    }
}

TEST_F(PlaylistTest, EmptyPlaylistQueuesNothing)
{
    m_pVLA->PlaylistSet(Load("<playlist id=\"PL\"><m id=\"MUS_NONE\"/></playlist>"));
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
    EXPECT_EQ(m_pVLA->m_iQueuedMusic, -1);
    // It even empties a queue a PlayMusic left.
    m_pVLA->LoadResource("MUS_A");
    m_pVLA->PlayMusic("MUS_A", false, 0);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
}

TEST_F(PlaylistTest, EntriesThatAllNameTheCurrentMusicThrow)
{
    m_pVLA->LoadResource("MUS_A");
    const int tmp_iID = Load("<playlist id=\"PL\"><m id=\"MUS_A\"/><m id=\"MUS_A\"/></playlist>");
    m_pVLA->PlayMusic("MUS_A", false, 0);
    m_pVLA->UpdateMusic();
    m_pVLA->PlaylistSet(tmp_iID); // fades MUS_A out over 3000 ms
    RenderMs(3100);
    EXPECT_EQ(CatchText([&] { m_pVLA->UpdateMusic(); }), "No values were thrown in randomizer!");
}

TEST_F(PlaylistTest, SettingTheCurrentPlaylistAgainChangesNothing)
{
    m_pVLA->LoadResource("MUS_A");
    m_pVLA->LoadResource("MUS_B");
    const int tmp_iID = Load("<playlist id=\"PL\"><m id=\"MUS_B\"/></playlist>");
    m_pVLA->PlayMusic("MUS_A", true, 0);
    m_pVLA->UpdateMusic();
    m_pVLA->PlaylistSet("PL");
    RenderMs(3100);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, 1); // the looped MUS_A faded out; the playlist took over
    m_pVLA->PlaylistSet(tmp_iID);
    RenderMs(500);
    EXPECT_EQ(m_pVLA->GetMusicStatus(), kPlatAudioPlaying); // no fade
    // Stop fades out and ends the playlist: nothing follows.
    m_pVLA->PlaylistStop();
    EXPECT_EQ(m_pVLA->m_iCurrentPlaylist, -1);
    RenderMs(3100);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
    m_pVLA->UpdateMusic();
    EXPECT_EQ(m_pVLA->m_iCurrentMusic, -1);
}

TEST_F(PlaylistTest, PlaylistIDErrors)
{
    const CEHSException tmp_E = Catch([&] { m_pVLA->PlaylistSet("PL_NONE"); });
    EXPECT_EQ(tmp_E.m_iType, EHS_GAME);
    EXPECT_EQ(tmp_E.m_strDesc, "Invalid playlist ID!");
    m_pVLA->PlaylistSet(5); // only checked when the next piece is chosen
    const CEHSException tmp_Next = Catch([&] { m_pVLA->UpdateMusic(); });
    EXPECT_EQ(tmp_Next.m_iType, EHS_GENERAL);
    EXPECT_EQ(tmp_Next.m_strDesc, "Internal error - invalid playlist ID!");
}

} // namespace

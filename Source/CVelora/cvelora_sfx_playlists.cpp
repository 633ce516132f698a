// Playlists: the PLAYLIST loader, building a playlist from its document, choosing and stopping
// the current playlist, and picking the next piece when the current music ends.
#include "CVelora/cvelora_sfx_playlists.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_res_main.h"
#include "CVelora/cvelora_utils_xml.h"

#include <cctype>
#include <memory>
#include <new>

namespace
{
constexpr int kFileID = 135;
constexpr int kPlaylistFade = 3000;
constexpr int32_t kEntryWeight = 10;

// A decimal integer read the way streams read one: leading blanks, a sign, digits up to the
// first other character. No digits gives 0 (a missing or non-numeric tag).
int ParseTag(const std::string& fp_strText)
{
    size_t i = 0;
    while (i < fp_strText.size() && std::isspace(static_cast<unsigned char>(fp_strText[i])))
        ++i;
    bool tmp_bNegative = false;
    if (i < fp_strText.size() && (fp_strText[i] == '-' || fp_strText[i] == '+'))
        tmp_bNegative = fp_strText[i++] == '-';
    int64_t tmp_iValue = 0;
    for (; i < fp_strText.size() && std::isdigit(static_cast<unsigned char>(fp_strText[i])); ++i)
    {
        tmp_iValue = tmp_iValue * 10 + (fp_strText[i] - '0');
        if (tmp_iValue > INT32_MAX)
            return 0;
    }
    return static_cast<int>(tmp_bNegative ? -tmp_iValue : tmp_iValue);
}
} // namespace

void RESLOAD_Playlist(const uint8_t* fp_pData, int fp_iSize, const char* /*fp_pszID*/,
                      int /*fp_iTag*/, int /*fp_iData1*/, int /*fp_iData2*/, int /*fp_iData3*/)
{
    CVelora* tmp_pVLA = GetEngine();
    EHSAssert(tmp_pVLA != nullptr);
    tmp_pVLA->LoadPlaylist(fp_pData, fp_iSize);
}

int CVelora::LoadPlaylist(const uint8_t* fp_pData, int fp_iSize)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return -2;
    CXMLDocument tmp_Doc;
    tmp_Doc.LoadFromBuffer(fp_pData, fp_iSize, m_bXMLEncryption, "playlist");
    tmp_Doc.Parse();
    return ProcessPlaylist(tmp_Doc.GetRoot());
}

int CVelora::ProcessPlaylist(CXMLNode* fp_pRoot)
{
    Checkpoint(kFileID);
    LogAddEmptyLines(1);
    LogAddEntry("Processing playlist file...", 2);
    if (fp_pRoot == nullptr)
        ThrowGeneral("XML Parser error - root node object is NULL!");
    if (fp_pRoot->GetName() != "playlist")
        ThrowGame("XML file doesn't contain playlist data!");
    if (m_pPlaylists == nullptr)
        ThrowGame("Sound and Music system was not initialized!");
    const std::string tmp_strID = fp_pRoot->GetAttribute("id");
    if (const int tmp_iID = m_pPlaylists->FindItem(tmp_strID); tmp_iID != -1)
    {
        LogAddEntry("Warning: Dublicated playlist!", 5);
        return tmp_iID;
    }
    std::unique_ptr<VLAPlaylist> tmp_pPlaylist(new (std::nothrow) VLAPlaylist);
    if (tmp_pPlaylist == nullptr)
        ThrowGeneral("Cannot create playlist object!");
    for (int i = 0; i < fp_pRoot->GetChildCount(); ++i)
    {
        CXMLNode* tmp_pChild = fp_pRoot->GetChild(i);
        if (tmp_pChild == nullptr)
            ThrowGeneral("XML Parser error - child node is NULL");
        const std::string tmp_strMusic = tmp_pChild->GetAttribute("id");
        int tmp_iMusic = FindMusic(tmp_strMusic);
        if (tmp_iMusic == -1)
        {
            LoadResource(tmp_strMusic);
            tmp_iMusic = FindMusic(tmp_strMusic);
        }
        if (tmp_iMusic != -1)
            tmp_pPlaylist->m_Entries.push_back(tmp_iMusic);
    }
    LogAddEntry("New playlist contains " + std::to_string(tmp_pPlaylist->m_Entries.size()) +
                    " entries.",
                1);
    const int tmp_iTag = ParseTag(fp_pRoot->GetAttribute("tag"));
    const int tmp_iID = m_pPlaylists->AddItem(tmp_pPlaylist.release(), tmp_strID, tmp_iTag);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);
    return tmp_iID;
}

int CVelora::FindPlaylist(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    const int tmp_iID = m_pPlaylists != nullptr ? m_pPlaylists->FindItem(fp_strID) : -1;
    if (tmp_iID == -1)
        LogAddEntry("Cannot find iID of playlist with strID = " + fp_strID, 5);
    return tmp_iID;
}

void CVelora::PlaylistSet(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    PlaylistSet(m_pPlaylists != nullptr ? m_pPlaylists->FindItem(fp_strID) : -1);
}

void CVelora::PlaylistSet(int fp_iID)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return;
    if (fp_iID == -1)
        ThrowGame("Invalid playlist ID!");
    if (fp_iID == m_iCurrentPlaylist)
        return;
    StopMusic(kPlaylistFade);
    m_iCurrentPlaylist = fp_iID;
}

void CVelora::PlaylistStop()
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return;
    StopMusic(kPlaylistFade);
    m_iCurrentPlaylist = -1;
}

void CVelora::PlaylistNext()
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return;
    if (m_pPlaylists == nullptr || m_iCurrentPlaylist < 0 ||
        m_iCurrentPlaylist >= m_pPlaylists->GetCount() ||
        m_pPlaylists->GetItem(m_iCurrentPlaylist) == nullptr)
        ThrowGeneral("Internal error - invalid playlist ID!");
    const std::vector<int32_t>& tmp_Entries = m_pPlaylists->GetItem(m_iCurrentPlaylist)->m_Entries;
    if (tmp_Entries.empty())
    {
        m_iQueuedMusic = -1;
        return;
    }
    if (tmp_Entries.size() == 1)
    {
        m_iQueuedMusic = tmp_Entries[0];
        return;
    }
    // Never the piece that just ended; an entry listed twice weighs twice.
    TRandomizer<int32_t> tmp_Randomizer;
    for (int32_t tmp_iEntry : tmp_Entries)
        if (tmp_iEntry != m_iCurrentMusic)
            tmp_Randomizer.AddValue(tmp_iEntry, kEntryWeight);
    m_iQueuedMusic = tmp_Randomizer.GetRandomValue();
}

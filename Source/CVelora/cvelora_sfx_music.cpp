// Background music: loading and finding music, the one-entry queue (a change of music is
// requested and the current one fades out; the music update starts the queued one), status and
// volume of the current music. Also the MUSIC resource loader.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_res_main.h"
#include "CVelora/cvelora_sfx_classes.h"

#include <memory>
#include <new>

namespace
{
constexpr int kFileID = 134;

// The music in the current slot, or null when that slot holds none.
VLAMusic* GetMusicOrNull(TItemsManager<VLAMusic>* fp_pMusic, int fp_iID)
{
    if (fp_pMusic == nullptr || fp_iID < 0 || fp_iID >= fp_pMusic->GetCount())
        return nullptr;
    return fp_pMusic->GetItem(fp_iID);
}
} // namespace

void RESLOAD_Music(const char* fp_pszFilename, int fp_iOffset, int fp_iSize, const char* fp_pszID,
                   int fp_iTag, int fp_iData1, int /*fp_iData2*/, int /*fp_iData3*/)
{
    CVelora* tmp_pVLA = GetEngine();
    EHSAssert(tmp_pVLA != nullptr);
    tmp_pVLA->LoadMusic(fp_pszFilename, fp_pszID, fp_iTag, static_cast<uint32_t>(fp_iOffset),
                        static_cast<uint32_t>(fp_iSize), fp_iData1);
}

int CVelora::LoadMusic(const std::string& fp_strFile, const std::string& fp_strID, int fp_iTag,
                       uint32_t fp_uiOffset, uint32_t fp_uiSize, int fp_iData1)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return -2;
    if (m_pMusic == nullptr)
        ThrowGame("Sound and Music system was not initialized!");
    if (const int tmp_iID = m_pMusic->FindItem(fp_strID); tmp_iID != -1)
        return tmp_iID;
    LogAddEmptyLines(1);
    LogAddEntry("Loading music: " + fp_strID, 2);
    std::unique_ptr<VLAMusic> tmp_pMusic;
    if (fp_iData1 == 1)
    {
        tmp_pMusic.reset(new (std::nothrow) VLAMusic(fp_strFile, fp_uiOffset, fp_uiSize));
        if (tmp_pMusic == nullptr)
            ThrowGeneral("Cannot create VLAMusic object!");
    }
    else
    {
        tmp_pMusic.reset(new (std::nothrow) VLAPreloadedMusic(fp_strFile, fp_uiOffset, fp_uiSize));
        if (tmp_pMusic == nullptr)
            ThrowGeneral("Cannot create VLAPreloadedMusic object!");
    }
    const int tmp_iID = m_pMusic->AddItem(tmp_pMusic.release(), fp_strID, fp_iTag);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);
    return tmp_iID;
}

int CVelora::FindMusic(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    const int tmp_iID = m_pMusic != nullptr ? m_pMusic->FindItem(fp_strID) : -1;
    if (tmp_iID == -1)
        LogAddEntry("Cannot find iID of music with strID = " + fp_strID, 5);
    return tmp_iID;
}

void CVelora::PlayMusic(const std::string& fp_strID, bool fp_bLoop, int fp_iFade)
{
    Checkpoint(kFileID);
    PlayMusic(m_pMusic != nullptr ? m_pMusic->FindItem(fp_strID) : -1, fp_bLoop, fp_iFade);
}

void CVelora::PlayMusic(int fp_iID, bool fp_bLoop, int fp_iFade)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard || !IsWindowActive())
        return;
    if (fp_iID == -1)
        ThrowGame("Invalid music id!");
    // The music already current is not restarted, not even while it fades out.
    if (fp_iID == m_iCurrentMusic)
        return;
    m_iQueuedMusic = fp_iID;
    m_bQueuedLoop = fp_bLoop;
    if (m_iCurrentMusic != -1)
        StopMusic(fp_iFade);
}

void CVelora::StopMusic(int fp_iFade)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard || !IsWindowActive() || m_iCurrentMusic == -1)
        return;
    VLAMusic* tmp_pMusic = GetMusicOrNull(m_pMusic, m_iCurrentMusic);
    if (tmp_pMusic == nullptr)
        ThrowGeneral("Cannot stop music - invalid ID!");
    // The music stays current until the update finds it stopped.
    tmp_pMusic->Stop(fp_iFade);
}

uint32_t CVelora::GetMusicStatus()
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard || m_iCurrentMusic == -1)
        return 0;
    VLAMusic* tmp_pMusic = GetMusicOrNull(m_pMusic, m_iCurrentMusic);
    if (tmp_pMusic == nullptr)
        ThrowGeneral("Cannot get music status - invalid ID!");
    return tmp_pMusic->GetStatus();
}

void CVelora::MusicSetVolume(int fp_iVolume, int fp_iTime)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard || !IsWindowActive() || m_iCurrentMusic == -1)
        return;
    VLAMusic* tmp_pMusic = GetMusicOrNull(m_pMusic, m_iCurrentMusic);
    if (tmp_pMusic == nullptr)
        ThrowGeneral("Cannot get music status - invalid ID!");
    tmp_pMusic->SlideVolume(fp_iVolume, fp_iTime);
}

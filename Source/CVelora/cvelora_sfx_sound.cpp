// Sound effects: loading, finding and unloading sounds, and the play, stop, pause, resume,
// attribute and status operations by smart ID, strID and iID. Also the SOUND resource loader.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_res_main.h"
#include "CVelora/cvelora_sfx_classes.h"
#include "CVelora/cvelora_utils_csmartid.h"

#include <memory>
#include <new>

namespace
{
constexpr int kFileID = 133;

// The sound in slot fp_iID; a free or missing slot is the caller's error.
VLASound* GetSoundChecked(TItemsManager<VLASound>* fp_pSounds, int fp_iID)
{
    if (fp_pSounds != nullptr && fp_iID >= 0 && fp_iID < fp_pSounds->GetCount())
    {
        if (VLASound* tmp_pSound = fp_pSounds->GetItem(fp_iID))
            return tmp_pSound;
    }
    ThrowGame("Invalid sound ID: " + std::to_string(fp_iID));
}

int FindSoundSilently(TItemsManager<VLASound>* fp_pSounds, const std::string& fp_strID)
{
    return fp_pSounds != nullptr ? fp_pSounds->FindItem(fp_strID) : -1;
}
} // namespace

void RESLOAD_Sound(const char* fp_pszFilename, int fp_iOffset, int fp_iSize, const char* fp_pszID,
                   int fp_iTag, int fp_iData1, int fp_iData2, int fp_iData3)
{
    CVelora* tmp_pVLA = GetEngine();
    EHSAssert(tmp_pVLA != nullptr);
    tmp_pVLA->LoadSound(fp_pszFilename, fp_pszID, fp_iTag, fp_iData1 == 1,
                        fp_iData2 > 1 ? fp_iData2 : 1, fp_iData3 == 1,
                        static_cast<uint32_t>(fp_iOffset), static_cast<uint32_t>(fp_iSize));
}

int CVelora::LoadSound(const std::string& fp_strFile, const std::string& fp_strID, int fp_iTag,
                       bool fp_bStream, int fp_iMaxPlaybacks, bool fp_bNoOverride,
                       uint32_t fp_uiOffset, uint32_t fp_uiSize)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return -2;
    if (m_pSounds == nullptr)
        ThrowGame("Sound and Music system was not initialized!");
    if (const int tmp_iID = m_pSounds->FindItem(fp_strID); tmp_iID != -1)
        return tmp_iID;
    LogAddEmptyLines(1);
    LogAddEntry("Loading sound: " + fp_strID, 2);
    std::unique_ptr<VLASound> tmp_pSound(new (std::nothrow) VLASound(
        fp_strFile, fp_bStream, fp_iMaxPlaybacks, fp_bNoOverride, fp_uiOffset, fp_uiSize));
    if (tmp_pSound == nullptr)
        ThrowGeneral("Cannot create sound object!");
    const int tmp_iID = m_pSounds->AddItem(tmp_pSound.release(), fp_strID, fp_iTag);
    CSmartID::SetSmartIDNumber(fp_strID, tmp_iID);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);
    return tmp_iID;
}

int CVelora::FindSound(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    const int tmp_iID = FindSoundSilently(m_pSounds, fp_strID);
    if (tmp_iID == -1)
        LogAddEntry("Cannot find iID of sound with strID = " + fp_strID, 5);
    return tmp_iID;
}

void CVelora::SoundUnload(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return;
    LogAddEmptyLines(1);
    LogAddEntry("Unloading sound. strID = " + fp_strID, 1);
    CSmartID::SetSmartIDNumber(fp_strID, -1);
    const int tmp_iID = FindSoundSilently(m_pSounds, fp_strID);
    if (tmp_iID != -1 && m_pSounds->GetItem(tmp_iID) != nullptr)
    {
        m_pSounds->FreeItem(tmp_iID);
        LogAddEntry("Done.", 4);
    }
    else
    {
        LogAddEntry("Failed.", 5);
    }
}

void CVelora::SoundUnload(int fp_iID)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return;
    LogAddEmptyLines(1);
    LogAddEntry("Unloading sound. iID = " + std::to_string(fp_iID), 1);
    CSmartID::ResetSmartIDNumber(fp_iID, SMARTID_SOUND);
    if (m_pSounds != nullptr && fp_iID >= 0 && fp_iID < m_pSounds->GetCount() &&
        m_pSounds->GetItem(fp_iID) != nullptr)
    {
        m_pSounds->FreeItem(fp_iID);
        LogAddEntry("Done.", 4);
    }
    else
    {
        LogAddEntry("Failed.", 5);
    }
}

// ---- Per-sound operations ------------------------------------------------------------------
// Dropped without a sound card and while the window is inactive (the status query answers even
// then); a slot without a sound raises "Invalid sound ID: " + iID.

void CVelora::SoundPlay(const CSmartID& fp_SmartID, bool fp_bLoop, int fp_iFreq, int fp_iVolume,
                        int fp_iPan)
{
    if (m_bNoSoundCard || !IsWindowActive())
        return;
    SoundPlay(fp_SmartID.GetIID(), fp_bLoop, fp_iFreq, fp_iVolume, fp_iPan);
}

void CVelora::SoundPlay(const std::string& fp_strID, bool fp_bLoop, int fp_iFreq, int fp_iVolume,
                        int fp_iPan)
{
    SoundPlay(FindSoundSilently(m_pSounds, fp_strID), fp_bLoop, fp_iFreq, fp_iVolume, fp_iPan);
}

void CVelora::SoundPlay(int fp_iID, bool fp_bLoop, int fp_iFreq, int fp_iVolume, int fp_iPan)
{
    if (m_bNoSoundCard || !IsWindowActive())
        return;
    GetSoundChecked(m_pSounds, fp_iID)->Play(fp_bLoop, fp_iFreq, fp_iVolume, fp_iPan);
}

void CVelora::SoundStop(const std::string& fp_strID)
{
    SoundStop(FindSoundSilently(m_pSounds, fp_strID));
}

void CVelora::SoundStop(int fp_iID)
{
    if (m_bNoSoundCard || !IsWindowActive())
        return;
    GetSoundChecked(m_pSounds, fp_iID)->Stop();
}

void CVelora::SoundPause(const std::string& fp_strID)
{
    SoundPause(FindSoundSilently(m_pSounds, fp_strID));
}

void CVelora::SoundPause(int fp_iID)
{
    if (m_bNoSoundCard || !IsWindowActive())
        return;
    GetSoundChecked(m_pSounds, fp_iID)->Pause();
}

void CVelora::SoundResume(const std::string& fp_strID)
{
    SoundResume(FindSoundSilently(m_pSounds, fp_strID));
}

void CVelora::SoundResume(int fp_iID)
{
    if (m_bNoSoundCard || !IsWindowActive())
        return;
    GetSoundChecked(m_pSounds, fp_iID)->Resume();
}

void CVelora::SoundSetAttributes(const std::string& fp_strID, int fp_iFreq, int fp_iVolume,
                                 int fp_iPan)
{
    SoundSetAttributes(FindSoundSilently(m_pSounds, fp_strID), fp_iFreq, fp_iVolume, fp_iPan);
}

void CVelora::SoundSetAttributes(int fp_iID, int fp_iFreq, int fp_iVolume, int fp_iPan)
{
    if (m_bNoSoundCard || !IsWindowActive())
        return;
    GetSoundChecked(m_pSounds, fp_iID)->SetAttributes(fp_iFreq, fp_iVolume, fp_iPan);
}

void CVelora::SoundSlideAttributes(const std::string& fp_strID, int fp_iFreq, int fp_iVolume,
                                   int fp_iPan, int fp_iTime)
{
    SoundSlideAttributes(FindSoundSilently(m_pSounds, fp_strID), fp_iFreq, fp_iVolume, fp_iPan,
                         fp_iTime);
}

void CVelora::SoundSlideAttributes(int fp_iID, int fp_iFreq, int fp_iVolume, int fp_iPan,
                                   int fp_iTime)
{
    if (m_bNoSoundCard || !IsWindowActive())
        return;
    GetSoundChecked(m_pSounds, fp_iID)->SlideAttributes(fp_iFreq, fp_iVolume, fp_iPan, fp_iTime);
}

uint32_t CVelora::SoundGetStatus(const std::string& fp_strID)
{
    return SoundGetStatus(FindSoundSilently(m_pSounds, fp_strID));
}

uint32_t CVelora::SoundGetStatus(int fp_iID)
{
    if (m_bNoSoundCard)
        return 0;
    return GetSoundChecked(m_pSounds, fp_iID)->GetStatus();
}

// The sound and music subsystem: start and stop of the audio library and the three stores,
// pause and resume on focus changes, global volumes, the mixer's CPU share and the per-frame
// music update.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_sfx_classes.h"
#include "CVelora/cvelora_sfx_playlists.h"
#include "Platform/plat_audio.h"

#include <new>

namespace
{
constexpr int kFileID = 130;

// Creates one store with its log lines; a failure raises fp_pszError.
template <typename T>
TItemsManager<T>* CreateStore(CVelora& fp_VLA, const char* fp_pszStep, const char* fp_pszError)
{
    fp_VLA.LogAddEmptyLines(1);
    fp_VLA.LogAddEntry(fp_pszStep, 1);
    auto* tmp_pStore = new (std::nothrow) TItemsManager<T>;
    if (tmp_pStore == nullptr)
        ThrowGeneral(fp_pszError);
    fp_VLA.LogAddEmptyLines(1);
    fp_VLA.LogAddEntry("Done.", 4);
    return tmp_pStore;
}

template <typename T>
void DestroyStore(CVelora& fp_VLA, TItemsManager<T>*& fp_pStore, const char* fp_pszStep)
{
    fp_VLA.LogAddEntry(fp_pszStep, 1);
    if (fp_pStore == nullptr)
    {
        fp_VLA.LogAddEntry("Failed.", 4);
        return;
    }
    fp_pStore->FreeAllItems();
    delete fp_pStore;
    fp_pStore = nullptr;
    fp_VLA.LogAddEntry("Done.", 4);
}
} // namespace

void CVelora::InitSoundSubsystem(int fp_iRate)
{
    Checkpoint(kFileID);
    m_bSfxInitialised = true;
    LogAddSeparator(1);
    LogAddEntry("Initializing Sound and Music Subsystem...", 3);
    if (!m_bGfxDeviceCreated)
        ThrowGame("Sound and Music system should be initialized after graphics system!");

    m_bNoSoundCard = false;
    if (PlatAudioInit(kPlatAudioDefaultDevice, fp_iRate, 32, m_pWindow) == 0)
    {
        m_bNoSoundCard = true;
        const int tmp_iResult = PlatAudioInit(kPlatAudioNoSoundDevice, fp_iRate, 32, m_pWindow);
        LogAddEntry("No sound card available!", 5);
        if (tmp_iResult == 0)
            ThrowGeneral("Cannot initialize BASS library!", PlatAudioErrorGetCode());
    }
    if (PlatAudioStart() == 0)
        ThrowGeneral("Cannot start digital output!", PlatAudioErrorGetCode());

    m_pSounds =
        CreateStore<VLASound>(*this, "Creating Sounds Manager...", "Cannot create Sounds Manager!");
    m_pMusic =
        CreateStore<VLAMusic>(*this, "Creating Music Manager...", "Cannot create Music Manager!");
    m_pPlaylists = CreateStore<VLAPlaylist>(*this, "Creating Playlists Manager...",
                                            "Cannot create Playlists Manager!");

    m_iCurrentMusic = -1;
    m_iQueuedMusic = -1;
    m_bQueuedLoop = false;
    m_iCurrentPlaylist = -1;

    LogAddEntry("Done.", 4);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

void CVelora::DeinitSoundSubsystem()
{
    Checkpoint(kFileID);
    LogAddSeparator(1);
    LogAddEntry("Deinitializing Sound and Music Subsystem...", 3);
    DestroyStore(*this, m_pSounds, "Destroying Sounds Manager...");
    DestroyStore(*this, m_pMusic, "Destroying Music Manager...");
    DestroyStore(*this, m_pPlaylists, "Destroying Playlists Manager...");
    PlatAudioStop();
    PlatAudioFree();
    LogAddEntry("Done.", 4);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
    m_bSfxInitialised = false;
}

void CVelora::PauseAudio()
{
    Checkpoint(kFileID);
    if (!m_bSfxInitialised || m_bNoSoundCard)
        return;
    PlatAudioPause();
}

void CVelora::ResumeAudio()
{
    Checkpoint(kFileID);
    if (!m_bSfxInitialised || m_bNoSoundCard)
        return;
    PlatAudioStart();
}

void CVelora::SetGlobalVolumes(int fp_iSoundVolume, int fp_iMusicVolume)
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return;
    PlatAudioSetGlobalVolumes(fp_iMusicVolume, fp_iSoundVolume, fp_iSoundVolume);
}

float CVelora::SoundGetCPU()
{
    Checkpoint(kFileID);
    if (m_bNoSoundCard)
        return 0.0f;
    return PlatAudioGetCPU();
}

void CVelora::UpdateMusic()
{
    Checkpoint(kFileID);
    if (!m_bSfxInitialised || m_bNoSoundCard)
        return;
    if (GetMusicStatus() == 0 && m_iCurrentPlaylist != -1)
        PlaylistNext();
    if (GetMusicStatus() == 0)
        m_iCurrentMusic = -1;
    if (m_iQueuedMusic != -1 && m_iCurrentMusic == -1)
    {
        m_iCurrentMusic = m_iQueuedMusic;
        m_iQueuedMusic = -1;
        if (m_iCurrentMusic < 0 || m_iCurrentMusic >= m_pMusic->GetCount() ||
            m_pMusic->GetItem(m_iCurrentMusic) == nullptr)
            ThrowGeneral("Cannot play music - invalid ID!");
        m_pMusic->GetItem(m_iCurrentMusic)->Play(m_bQueuedLoop);
    }
}

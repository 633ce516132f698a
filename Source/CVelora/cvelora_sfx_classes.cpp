// The sound and music objects (see cvelora_sfx_classes.h).
#include "CVelora/cvelora_sfx_classes.h"

#include "CVelora/cvelora_ehs.h"
#include "Platform/plat_audio.h"

namespace
{
constexpr int kFileID = 132;

[[noreturn]] void ThrowAudio(const char* fp_pszText,
                             std::source_location fp_Loc = std::source_location::current())
{
    ThrowGeneral(fp_pszText, PlatAudioErrorGetCode(), fp_Loc);
}

// The volume, frequency and panning values meaning "leave as it is".
constexpr int kKeepFreq = -1;
constexpr int kKeepVolume = -1;
constexpr int kKeepPan = -101;
} // namespace

// ---- VLASound ------------------------------------------------------------------------------

VLASound::VLASound(const std::string& fp_strFile, bool fp_bStream, int fp_iMaxPlaybacks,
                   bool fp_bNoOverride, uint32_t fp_uiOffset, uint32_t fp_uiSize)
    : m_bStream(fp_bStream), m_iMaxPlaybacks(fp_iMaxPlaybacks), m_bNoOverride(fp_bNoOverride),
      m_strFile(fp_strFile), m_uiOffset(fp_uiOffset), m_uiSize(fp_uiSize)
{
    Checkpoint(kFileID);
    if (m_bStream)
    {
        m_hStream =
            PlatAudioStreamCreateFile(m_strFile.c_str(), m_uiOffset, m_uiSize, kPlatAudioPrescan);
        if (m_hStream == 0)
            ThrowAudio("Cannot create stream!");
    }
    else
    {
        m_hSample = PlatAudioSampleLoad(m_strFile.c_str(), m_uiOffset, m_uiSize, m_iMaxPlaybacks,
                                        m_bNoOverride ? 0 : kPlatAudioOverLongest);
        if (m_hSample == 0)
            ThrowAudio("Cannot load sample!");
    }
}

VLASound::~VLASound() noexcept(false)
{
    if (m_bStream)
    {
        if (PlatAudioChannelStop(m_hStream) == 0)
            ThrowAudio("Cannot stop stream!");
        PlatAudioStreamFree(m_hStream);
    }
    else
    {
        if (PlatAudioSampleStop(m_hSample) == 0)
            ThrowAudio("Cannot stop sample!");
        PlatAudioSampleFree(m_hSample);
    }
}

void VLASound::Play(bool fp_bLoop, int fp_iFreq, int fp_iVolume, int fp_iPan)
{
    if (!m_bStream)
    {
        if (PlatAudioSamplePlayEx(m_hSample, 0, fp_iFreq, fp_iVolume, fp_iPan, fp_bLoop) == 0)
        {
            // Every playback the sound allows is busy and it may not take one over: the request
            // is dropped, as a mixer without free voices drops it. Not a reason to end the game.
            if (PlatAudioErrorGetCode() == PLAT_AUDIO_ERR_NO_CHANNEL)
                return;
            ThrowAudio("Cannot playback sample!");
        }
        return;
    }
    if (PlatAudioStreamPlay(m_hStream, true, fp_bLoop ? kPlatAudioLoop : 0) == 0)
        ThrowAudio("Cannot play stream!");
    if (fp_iFreq == kKeepFreq && fp_iVolume == kKeepVolume && fp_iPan == kKeepPan)
        return;
    if (PlatAudioChannelSetAttributes(m_hStream, fp_iFreq, fp_iVolume, fp_iPan) == 0)
        ThrowAudio("Cannot set stream attributes!");
}

void VLASound::Stop()
{
    if (m_bStream)
    {
        if (PlatAudioChannelStop(m_hStream) == 0)
            ThrowAudio("Cannot stop stream!");
    }
    else if (PlatAudioSampleStop(m_hSample) == 0)
    {
        ThrowAudio("Cannot stop sample!");
    }
}

void VLASound::Pause()
{
    if (m_bPaused)
        return;
    if (PlatAudioChannelPause(m_bStream ? m_hStream : m_hSample) == 0)
        ThrowAudio(m_bStream ? "Cannot pause stream!" : "Cannot pause sample!");
    m_bPaused = true;
}

void VLASound::Resume()
{
    if (!m_bPaused)
        return;
    if (PlatAudioChannelResume(m_bStream ? m_hStream : m_hSample) == 0)
        ThrowAudio(m_bStream ? "Cannot resume playback of stream!"
                             : "Cannot resume playback of sample!");
    m_bPaused = false;
}

void VLASound::SetAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan)
{
    if (PlatAudioChannelSetAttributes(m_bStream ? m_hStream : m_hSample, fp_iFreq, fp_iVolume,
                                      fp_iPan) == 0)
        ThrowAudio(m_bStream ? "Cannot set attributes of stream!"
                             : "Cannot set attributes of sample!");
}

void VLASound::SlideAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan, int fp_iTime)
{
    if (PlatAudioChannelSlideAttributes(m_bStream ? m_hStream : m_hSample, fp_iFreq, fp_iVolume,
                                        fp_iPan, static_cast<uint32_t>(fp_iTime)) == 0)
        ThrowAudio(m_bStream ? "Cannot slide attributes of stream!"
                             : "Cannot slide attributes of sample!");
}

uint32_t VLASound::GetStatus()
{
    return PlatAudioChannelIsActive(m_bStream ? m_hStream : m_hSample);
}

// ---- VLAMusic ------------------------------------------------------------------------------

VLAMusic::VLAMusic(const std::string& fp_strFile, uint32_t fp_uiOffset, uint32_t fp_uiSize)
    : m_strFile(fp_strFile), m_uiOffset(fp_uiOffset), m_uiSize(fp_uiSize)
{
    Checkpoint(kFileID);
}

VLAMusic::~VLAMusic() noexcept(false)
{
    Checkpoint(kFileID);
    VLAMusic::Stop(0);
    FreeModule();
}

void VLAMusic::LoadModule()
{
    m_hMusic = PlatAudioMusicLoad(m_strFile.c_str(), m_uiOffset, m_uiSize, 0);
    if (m_hMusic == 0)
        ThrowAudio("Cannot load music!");
    m_bLoaded = true;
}

void VLAMusic::FreeModule()
{
    if (m_bLoaded)
        PlatAudioMusicFree(m_hMusic);
    m_hMusic = 0;
    m_bLoaded = false;
    m_bPaused = false;
}

void VLAMusic::Play(bool fp_bLoop)
{
    Checkpoint(kFileID);
    if (m_bLoaded)
        return;
    LoadModule();
    if (PlatAudioMusicPlayEx(m_hMusic, 0, fp_bLoop ? kPlatAudioLoop : 0, true) == 0)
        ThrowAudio("Cannot start music playback!");
}

void VLAMusic::Stop(int fp_iFade)
{
    Checkpoint(kFileID);
    if (!m_bLoaded)
        return;
    if (fp_iFade == 0)
    {
        if (PlatAudioChannelStop(m_hMusic) == 0)
            ThrowAudio("Cannot stop music playback!");
        FreeModule();
        return;
    }
    if (PlatAudioChannelSlideAttributes(m_hMusic, kKeepFreq, kPlatAudioFadeStop, kKeepPan,
                                        static_cast<uint32_t>(fp_iFade)) == 0)
        ThrowAudio("Cannot slide music attributes for smooth fading!");
}

void VLAMusic::Pause()
{
    Checkpoint(kFileID);
    if (m_bLoaded && !m_bPaused)
    {
        if (PlatAudioChannelPause(m_hMusic) == 0)
            ThrowAudio("Cannot pause music playback!");
    }
    m_bPaused = true;
}

void VLAMusic::Resume()
{
    Checkpoint(kFileID);
    if (m_bLoaded && m_bPaused)
    {
        if (PlatAudioChannelResume(m_hMusic) == 0)
            ThrowAudio("Cannot resume music playback!");
    }
    m_bPaused = false;
}

uint32_t VLAMusic::GetStatus()
{
    Checkpoint(kFileID);
    if (!m_bLoaded)
        return 0;
    const uint32_t tmp_uiStatus = PlatAudioChannelIsActive(m_hMusic);
    if (tmp_uiStatus == 0)
        FreeModule();
    return tmp_uiStatus;
}

void VLAMusic::SlideVolume(int fp_iVolume, int fp_iTime)
{
    Checkpoint(kFileID);
    if (!m_bLoaded || m_bPaused)
        return;
    if (PlatAudioChannelSlideAttributes(m_hMusic, kKeepFreq, fp_iVolume, kKeepPan,
                                        static_cast<uint32_t>(fp_iTime)) == 0)
        ThrowAudio("Cannot slide music volume!");
}

float VLAMusic::GetLevelLeft()
{
    Checkpoint(kFileID);
    if (!m_bLoaded || m_bPaused)
        return 0.0f;
    const int32_t tmp_iLevel = PlatAudioChannelGetLevel(m_hMusic);
    if (tmp_iLevel == -1)
        return 0.0f;
    return static_cast<float>(tmp_iLevel & 0xFFFF) / 128.0f;
}

float VLAMusic::GetLevelRight()
{
    Checkpoint(kFileID);
    if (!m_bLoaded || m_bPaused)
        return 0.0f;
    const int32_t tmp_iLevel = PlatAudioChannelGetLevel(m_hMusic);
    if (tmp_iLevel == -1)
        return 0.0f;
    return static_cast<float>((static_cast<uint32_t>(tmp_iLevel) >> 16) & 0xFFFF) / 128.0f;
}

// ---- VLAPreloadedMusic ---------------------------------------------------------------------

VLAPreloadedMusic::VLAPreloadedMusic(const std::string& fp_strFile, uint32_t fp_uiOffset,
                                     uint32_t fp_uiSize)
    : VLAMusic(fp_strFile, fp_uiOffset, fp_uiSize)
{
    Checkpoint(kFileID);
    LoadModule();
}

VLAPreloadedMusic::~VLAPreloadedMusic() noexcept(false)
{
    Checkpoint(kFileID);
}

void VLAPreloadedMusic::Play(bool fp_bLoop)
{
    Checkpoint(kFileID);
    if (PlatAudioMusicPlayEx(m_hMusic, 0, fp_bLoop ? kPlatAudioLoop : 0, true) == 0)
        ThrowAudio("Cannot start music playback!");
    // Back to full volume within 100 ms, after an earlier fade-out left it silent.
    if (PlatAudioChannelSlideAttributes(m_hMusic, 0, 100, kKeepPan, 100) == 0)
        ThrowAudio("Cannot set music params!");
}

void VLAPreloadedMusic::Stop(int fp_iFade)
{
    Checkpoint(kFileID);
    if (!m_bLoaded)
        return;
    if (fp_iFade == 0)
    {
        if (PlatAudioChannelStop(m_hMusic) == 0)
            ThrowAudio("Cannot stop music playback!");
        return;
    }
    if (PlatAudioChannelSlideAttributes(m_hMusic, kKeepFreq, kPlatAudioFadeStop, kKeepPan,
                                        static_cast<uint32_t>(fp_iFade)) == 0)
        ThrowAudio("Cannot slide music attributes for smooth fading!");
}

uint32_t VLAPreloadedMusic::GetStatus()
{
    Checkpoint(kFileID);
    return m_bLoaded ? PlatAudioChannelIsActive(m_hMusic) : 0;
}

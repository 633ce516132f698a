// The sound and music objects: VLASound (one loaded sample or stream) and the two music classes,
// VLAMusic (module loaded for each playback) and VLAPreloadedMusic (module kept loaded). They
// wrap the audio library's handles; every library failure raises a General error carrying the
// library's error code.
#pragma once

#include <cstdint>
#include <string>

class VLASound
{
public:
    VLASound(const std::string& fp_strFile, bool fp_bStream, int fp_iMaxPlaybacks,
             bool fp_bNoOverride, uint32_t fp_uiOffset, uint32_t fp_uiSize);
    // Stops and frees the sample or stream; a library failure is raised like Stop's.
    ~VLASound() noexcept(false);
    VLASound(const VLASound&) = delete;
    VLASound& operator=(const VLASound&) = delete;

    void Play(bool fp_bLoop, int fp_iFreq, int fp_iVolume, int fp_iPan);
    void Stop();
    void Pause();
    void Resume();
    void SetAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan);
    void SlideAttributes(int fp_iFreq, int fp_iVolume, int fp_iPan, int fp_iTime);
    // The library's channel state, as it comes (0 when not playing).
    uint32_t GetStatus();

    uint32_t m_hSample = 0;
    uint32_t m_hStream = 0;
    bool m_bStream = false;
    int32_t m_iMaxPlaybacks = 1;
    bool m_bNoOverride = false;
    std::string m_strFile;
    uint32_t m_uiOffset = 0;
    uint32_t m_uiSize = 0;
    bool m_bPaused = false;
};

class VLAMusic
{
public:
    // Stores the file region; nothing is loaded yet.
    VLAMusic(const std::string& fp_strFile, uint32_t fp_uiOffset, uint32_t fp_uiSize);
    virtual ~VLAMusic() noexcept(false);
    VLAMusic(const VLAMusic&) = delete;
    VLAMusic& operator=(const VLAMusic&) = delete;

    // Loads the module (if not loaded) and plays it from the start.
    virtual void Play(bool fp_bLoop);
    // fp_iFade 0 stops at once and frees the module; otherwise it fades out over fp_iFade ms
    // and stops by itself.
    virtual void Stop(int fp_iFade);
    virtual void Pause();
    virtual void Resume();
    // Channel state; a module found stopped is freed.
    virtual uint32_t GetStatus();
    virtual void SlideVolume(int fp_iVolume, int fp_iTime);
    // 0.0 .. 1.0
    virtual float GetLevelLeft();
    virtual float GetLevelRight();

    uint32_t m_hMusic = 0;
    std::string m_strFile;
    uint32_t m_uiOffset = 0;
    uint32_t m_uiSize = 0;
    bool m_bPaused = false;
    bool m_bLoaded = false;

protected:
    void LoadModule();
    void FreeModule();
};

class VLAPreloadedMusic : public VLAMusic
{
public:
    // Loads the module at once; it stays loaded until the object is destroyed.
    VLAPreloadedMusic(const std::string& fp_strFile, uint32_t fp_uiOffset, uint32_t fp_uiSize);
    ~VLAPreloadedMusic() noexcept(false) override;

    void Play(bool fp_bLoop) override;
    // As VLAMusic::Stop, but a stop without fade keeps the module loaded.
    void Stop(int fp_iFade) override;
    uint32_t GetStatus() override;
};

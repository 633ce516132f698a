// The engine with a started sound subsystem (see cvelora_sfx_fixture.h).
#include "cvelora_sfx_fixture.h"

#include "Platform/plat_audio.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

void SfxEngineTest::SetUp()
{
    TempDirTest::SetUp();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    m_pVLA = new CVelora;
    // The sound start requires the graphics device; these tests need no picture.
    m_pVLA->m_bGfxDeviceCreated = true;
    SetWindowActive(true);
    m_uLogSeen = 0;
}

void SfxEngineTest::TearDown()
{
    delete m_pVLA;
    PlatAudioTestDetachDevice(false);
    SetWindowActive(false);
    TempDirTest::TearDown();
}

void SfxEngineTest::StartSound()
{
    m_pVLA->InitSoundSubsystem(44100);
    PlatAudioTestDetachDevice(true);
}

float SfxEngineTest::RenderMs(int fp_iMs)
{
    float tmp_fPeak = 0.0f;
    std::vector<float> tmp_Buffer(2 * 441);
    for (int i = 0; i < fp_iMs / 10; ++i)
    {
        PlatAudioRender(tmp_Buffer.data(), 441);
        for (float tmp_f : tmp_Buffer)
            tmp_fPeak = std::max(tmp_fPeak, std::fabs(tmp_f));
    }
    return tmp_fPeak;
}

std::string SfxEngineTest::NewLog()
{
    const std::string tmp_strLog = ReadFile(kLogFileName);
    const std::string tmp_strNew = tmp_strLog.substr(std::min(m_uLogSeen, tmp_strLog.size()));
    m_uLogSeen = tmp_strLog.size();
    return tmp_strNew;
}

std::string GameSongPath()
{
    return std::string(VELORA_GAME_DATA_DIR) + "/music/game.mod";
}

std::string GameClickPath()
{
    return std::string(VELORA_GAME_DATA_DIR) + "/sounds/click.wav";
}

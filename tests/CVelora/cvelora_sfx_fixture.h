// The engine with a started sound subsystem on SDL's dummy audio driver, for the sound, music,
// playlist and demand tests. The mixer is detached from the device, so that only Render calls
// advance it and every test sees the same samples whatever the machine's load.
#pragma once

#include "CVelora/cvelora.h"
#include "test_support.h"

#include <string>

inline const std::string kSfxSep1 = "|---------------------------------------------------|\n";

class SfxEngineTest : public TempDirTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the sound subsystem at 44100 Hz and detaches the mixer from the device.
    void StartSound();
    // Mixes fp_iMs milliseconds; returns the peak of either side.
    static float RenderMs(int fp_iMs);
    // The log written since the last call (or since the engine was created).
    std::string NewLog();
    // Runs fp_Body and returns the engine error it raised (type 0 and an empty text if none).
    template <typename F> static CEHSException Catch(F fp_Body)
    {
        try
        {
            fp_Body();
        }
        catch (const CEHSException& tmp_E)
        {
            return tmp_E;
        }
        return CEHSException(0, 0, "", "", 0);
    }

    CVelora* m_pVLA = nullptr;
    size_t m_uLogSeen = 0;
};

// Paths of the game's generated audio.
std::string GameSongPath();
std::string GameClickPath();

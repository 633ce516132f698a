// Input subsystem lifecycle: start (input object, keyboard and mouse devices), stop, the
// per-frame read of both devices and their re-acquire when the window gains the focus.
#include "CVelora/cvelora.h"

namespace
{
constexpr int kFileID = 127;
}

void CVelora::InpInit()
{
    Checkpoint(kFileID);
    m_bInpInitialised = true;
    LogAddSeparator(1);
    LogAddEntry("Initializing Input Subsystem...", 3);

    if (!m_bGfxDeviceCreated || !m_pWindow)
        ThrowGame("Input system should be initialized after graphics system!");

    const int32_t tmp_iResult = PlatInputCreate(&m_pInpDI);
    if (PlatInputFailed(tmp_iResult))
        ThrowGeneral("Cannot create DirectInput object!", tmp_iResult);
    if (!m_pInpDI)
        ThrowGeneral("Error: Direct Input object is NULL!");

    KeyboardInit();
    MouseInit();

    LogAddEntry("Done.", 4);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

void CVelora::InpDeinit()
{
    Checkpoint(kFileID);
    LogAddSeparator(1);
    LogAddEntry("Deinitializing Input Subsystem...", 3);

    MouseDeinit();
    KeyboardDeinit();
    if (m_pInpDI)
    {
        PlatInputRelease(m_pInpDI);
        m_pInpDI = nullptr;
    }

    LogAddEntry("Done.", 4);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
    m_bInpInitialised = false;
}

void CVelora::InpUpdate()
{
    Checkpoint(kFileID);
    if (!m_pInpDI)
        return;
    KeyboardUpdate();
    MouseUpdate();
}

void CVelora::InpReacquire()
{
    Checkpoint(kFileID);
    if (!m_pInpDI)
        return;
    KeyboardReacquire();
    MouseReacquire();
}

// Mouse: device start, stop and re-acquire, the per-frame state read, the cursor step (pointer
// position in client coordinates, inside flag, hiding the system pointer over the client area)
// and the button, movement, wheel and cursor queries.
#include "CVelora/cvelora.h"

#include <cstring>
#include <string>

namespace
{
constexpr int kFileID = 129;

void LogAcquireFailure(CVelora& fp_VLA, const char* fp_pszText, int32_t fp_iResult)
{
    fp_VLA.LogAddEntry(fp_pszText, 5);
    fp_VLA.LogAddEntry(std::to_string(fp_iResult), 5);
}

bool IsDown(const PlatMouseState2& fp_State, int fp_iButton)
{
    if (fp_iButton < 1 || fp_iButton > 8)
        return false;
    return (fp_State.rgbButtons[fp_iButton - 1] & 0x80) != 0;
}

} // namespace

void CVelora::MouseInit()
{
    Checkpoint(kFileID);
    int32_t tmp_iResult = PlatInputCreateDevice(m_pInpDI, PLATINP_DEVICE_MOUSE, &m_pInpMouse);
    if (PlatInputFailed(tmp_iResult))
        ThrowGeneral("Cannot create DirectInputDevice (Mouse) object!", tmp_iResult);
    if (!m_pInpMouse)
        ThrowGeneral("Error: mouse object is NULL!");

    tmp_iResult = PlatInputSetDataFormat(m_pInpMouse, PLATINP_FORMAT_MOUSE2);
    if (PlatInputFailed(tmp_iResult))
        ThrowGeneral("Cannot set data format for Mouse!", tmp_iResult);

    tmp_iResult = PlatInputSetCooperativeLevel(m_pInpMouse, m_pWindow,
                                               PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_FOREGROUND);
    if (PlatInputFailed(tmp_iResult))
        ThrowGeneral("Cannot set cooperative level for Mouse!", tmp_iResult);

    MouseReacquire();
}

void CVelora::MouseDeinit()
{
    Checkpoint(kFileID);
    if (!m_pInpMouse)
        return;
    PlatInputUnacquire(m_pInpMouse);
    m_bInpMouseAcquired = false;
    PlatInputReleaseDevice(m_pInpMouse);
    m_pInpMouse = nullptr;
    PlatShowCursor(true);
}

void CVelora::MouseReacquire()
{
    Checkpoint(kFileID);
    if (!m_pInpMouse)
        return;
    const int32_t tmp_iResult = PlatInputAcquire(m_pInpMouse);
    m_bInpMouseAcquired = tmp_iResult == PLATINP_OK;
    if (!m_bInpMouseAcquired)
        LogAcquireFailure(*this, "Cannot acquire mouse!", tmp_iResult);
}

void CVelora::MouseUpdate()
{
    Checkpoint(kFileID);
    if (!m_pInpMouse)
        return;
    if (!m_bInpMouseAcquired)
    {
        if (PlatInputAcquire(m_pInpMouse) != PLATINP_OK)
        {
            std::memset(&m_InpMouseState, 0, sizeof(m_InpMouseState));
            std::memset(&m_InpPrevMouseState, 0, sizeof(m_InpPrevMouseState));
            return;
        }
        m_bInpMouseAcquired = true;
    }

    m_InpPrevMouseState = m_InpMouseState;
    int32_t tmp_iResult =
        PlatInputGetDeviceState(m_pInpMouse, sizeof(m_InpMouseState), &m_InpMouseState);
    if (tmp_iResult == PLATINP_ERR_INPUTLOST)
    {
        tmp_iResult = PlatInputAcquire(m_pInpMouse);
        if (tmp_iResult == PLATINP_ERR_OTHERAPPHASPRIO)
        {
            // The window lost the focus before its deactivation reached us: the same as a
            // device that cannot be acquired, not a failure.
            m_bInpMouseAcquired = false;
            std::memset(&m_InpMouseState, 0, sizeof(m_InpMouseState));
            std::memset(&m_InpPrevMouseState, 0, sizeof(m_InpPrevMouseState));
            return;
        }
        if (tmp_iResult != PLATINP_OK)
            ThrowGeneral("Cannot reacquire Mouse!", tmp_iResult);
        tmp_iResult =
            PlatInputGetDeviceState(m_pInpMouse, sizeof(m_InpMouseState), &m_InpMouseState);
        if (tmp_iResult != PLATINP_OK)
            ThrowGeneral("Second try of getting Mouse state failed!", tmp_iResult);
    }
    else if (tmp_iResult != PLATINP_OK)
        ThrowGeneral("Cannot get Mouse state!", tmp_iResult);

    // Cursor step: the system pointer in client coordinates, and whether it is over the client
    // area of the active window; the system pointer is hidden exactly while it is.
    m_iInpPrevCursorX = m_iInpCursorX;
    m_iInpPrevCursorY = m_iInpCursorY;
    PlatGetCursorClientPos(m_pWindow, m_iInpCursorX, m_iInpCursorY);

    m_bInpPrevCursorInside = m_bInpCursorInside;
    if (IsWindowActive())
    {
        int32_t tmp_iRight = 0, tmp_iBottom = 0;
        PlatGetClientRect(m_pWindow, tmp_iRight, tmp_iBottom);
        m_bInpCursorInside = m_iInpCursorX >= 0 && m_iInpCursorX < tmp_iRight &&
                             m_iInpCursorY >= 0 && m_iInpCursorY < tmp_iBottom;
    }
    else
        m_bInpCursorInside = false;

    if (!m_bInpPrevCursorInside && m_bInpCursorInside)
        PlatShowCursor(false);
    else if (m_bInpPrevCursorInside && !m_bInpCursorInside)
        PlatShowCursor(true);
}

uint8_t CVelora::MouseGetAnyPressedKey() const
{
    for (int i = 1; i <= 8; ++i)
        if (IsDown(m_InpMouseState, i))
            return static_cast<uint8_t>(i);
    return 0;
}

bool CVelora::MouseIsKeyPressed(int fp_iButton) const
{
    return IsDown(m_InpMouseState, fp_iButton);
}

bool CVelora::MouseIsKeyClicked(int fp_iButton) const
{
    return IsDown(m_InpMouseState, fp_iButton) && !IsDown(m_InpPrevMouseState, fp_iButton);
}

int CVelora::MouseGetWheelDelta() const
{
    if (m_InpMouseState.lZ > 0)
        return 1;
    if (m_InpMouseState.lZ < 0)
        return -1;
    return 0;
}

void CVelora::MouseGetCursorPos(int32_t& fp_iX, int32_t& fp_iY) const
{
    fp_iX = m_iInpCursorX;
    fp_iY = m_iInpCursorY;
}

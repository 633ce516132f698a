// Keyboard: device start, stop and re-acquire, the per-frame state read, key queries, the typed
// character of this frame and the engine-wide text buffer that collects typed characters.
#include "CVelora/cvelora.h"

#include <cstring>
#include <string>

namespace
{
constexpr int kFileID = 128;

constexpr uint8_t kKeySpace = 57;
constexpr uint8_t kKeyBackspace = 14;
constexpr uint8_t kKeyLShift = 42;
constexpr uint8_t kKeyRShift = 54;

// One row of the typed-character table: the key, its character, and with Shift held.
struct TypedKey
{
    uint8_t m_uiKey;
    char m_cPlain;
    char m_cShifted;
};

// Tested in this order; the first key that went down in this frame decides.
constexpr TypedKey kTypedKeys[] = {
    {30, 'a', 'A'}, {48, 'b', 'B'}, {46, 'c', 'C'},  {32, 'd', 'D'},  {18, 'e', 'E'},
    {33, 'f', 'F'}, {34, 'g', 'G'}, {35, 'h', 'H'},  {23, 'i', 'I'},  {36, 'j', 'J'},
    {37, 'k', 'K'}, {38, 'l', 'L'}, {50, 'm', 'M'},  {49, 'n', 'N'},  {24, 'o', 'O'},
    {25, 'p', 'P'}, {16, 'q', 'Q'}, {19, 'r', 'R'},  {31, 's', 'S'},  {20, 't', 'T'},
    {22, 'u', 'U'}, {47, 'v', 'V'}, {17, 'w', 'W'},  {45, 'x', 'X'},  {21, 'y', 'Y'},
    {44, 'z', 'Z'}, {41, '`', '~'}, {2, '1', '!'},   {3, '2', '@'},   {4, '3', '#'},
    {5, '4', '$'},  {6, '5', '%'},  {7, '6', '^'},   {8, '7', '&'},   {9, '8', '*'},
    {10, '9', '('}, {11, '0', ')'}, {12, '-', '_'},  {13, '=', '+'},  {26, '[', '{'},
    {27, ']', '}'}, {39, ';', ':'}, {40, '\'', '"'}, {43, '\\', '|'}, {51, ',', '<'},
    {52, '.', '>'}, {53, '/', '?'}, {82, '0', '0'},  {79, '1', '1'},  {80, '2', '2'},
    {81, '3', '3'}, {75, '4', '4'}, {76, '5', '5'},  {77, '6', '6'},  {71, '7', '7'},
    {72, '8', '8'}, {73, '9', '9'}, {181, '/', '/'}, {55, '*', '*'},  {74, '-', '-'},
    {78, '+', '+'}, {57, ' ', ' '},
};

void LogAcquireFailure(CVelora& fp_VLA, const char* fp_pszText, int32_t fp_iResult)
{
    fp_VLA.LogAddEntry(fp_pszText, 5);
    fp_VLA.LogAddEntry(std::to_string(fp_iResult), 5);
}

} // namespace

void CVelora::KeyboardInit()
{
    Checkpoint(kFileID);
    int32_t tmp_iResult = PlatInputCreateDevice(m_pInpDI, PLATINP_DEVICE_KEYBOARD, &m_pInpKeyboard);
    if (PlatInputFailed(tmp_iResult))
        ThrowGeneral("Cannot create DirectInputDevice (Keyboard) object!", tmp_iResult);
    if (!m_pInpKeyboard)
        ThrowGeneral("Error: keyboard object is NULL!");

    tmp_iResult = PlatInputSetDataFormat(m_pInpKeyboard, PLATINP_FORMAT_KEYBOARD);
    if (PlatInputFailed(tmp_iResult))
        ThrowGeneral("Cannot set data format for Keyboard!", tmp_iResult);

    tmp_iResult = PlatInputSetCooperativeLevel(m_pInpKeyboard, m_pWindow,
                                               PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_FOREGROUND |
                                                   PLATINP_COOP_NOWINKEY);
    if (PlatInputFailed(tmp_iResult))
        ThrowGeneral("Cannot set cooperative level for Keyboard!", tmp_iResult);

    KeyboardReacquire();
}

void CVelora::KeyboardDeinit()
{
    Checkpoint(kFileID);
    if (!m_pInpKeyboard)
        return;
    PlatInputUnacquire(m_pInpKeyboard);
    m_bInpKeyboardAcquired = false;
    PlatInputReleaseDevice(m_pInpKeyboard);
    m_pInpKeyboard = nullptr;
}

void CVelora::KeyboardReacquire()
{
    Checkpoint(kFileID);
    if (!m_pInpKeyboard)
        return;
    const int32_t tmp_iResult = PlatInputAcquire(m_pInpKeyboard);
    m_bInpKeyboardAcquired = tmp_iResult == PLATINP_OK;
    if (!m_bInpKeyboardAcquired)
        LogAcquireFailure(*this, "Cannot acquire keyboard!", tmp_iResult);
}

void CVelora::KeyboardUpdate()
{
    Checkpoint(kFileID);
    if (!m_pInpKeyboard)
        return;
    if (!m_bInpKeyboardAcquired)
    {
        if (PlatInputAcquire(m_pInpKeyboard) != PLATINP_OK)
        {
            std::memset(m_aInpKeyState, 0, sizeof(m_aInpKeyState));
            std::memset(m_aInpPrevKeyState, 0, sizeof(m_aInpPrevKeyState));
            return;
        }
        m_bInpKeyboardAcquired = true;
    }

    std::memcpy(m_aInpPrevKeyState, m_aInpKeyState, sizeof(m_aInpKeyState));
    int32_t tmp_iResult =
        PlatInputGetDeviceState(m_pInpKeyboard, sizeof(m_aInpKeyState), m_aInpKeyState);
    if (tmp_iResult == PLATINP_ERR_INPUTLOST)
    {
        tmp_iResult = PlatInputAcquire(m_pInpKeyboard);
        if (tmp_iResult == PLATINP_ERR_OTHERAPPHASPRIO)
        {
            // The window lost the focus before its deactivation reached us: the same as a
            // device that cannot be acquired, not a failure.
            m_bInpKeyboardAcquired = false;
            std::memset(m_aInpKeyState, 0, sizeof(m_aInpKeyState));
            std::memset(m_aInpPrevKeyState, 0, sizeof(m_aInpPrevKeyState));
            return;
        }
        if (tmp_iResult != PLATINP_OK)
            ThrowGeneral("Cannot reacquire Keyboard!", tmp_iResult);
        tmp_iResult =
            PlatInputGetDeviceState(m_pInpKeyboard, sizeof(m_aInpKeyState), m_aInpKeyState);
        if (tmp_iResult != PLATINP_OK)
            ThrowGeneral("Second try of getting Keyboard state failed!", tmp_iResult);
    }
    else if (tmp_iResult != PLATINP_OK)
        ThrowGeneral("Cannot get Keyboard state!", tmp_iResult);

    if (m_bInpTextBufferStatus)
        KeyboardUpdateTextBuffer();
}

void CVelora::KeyboardUpdateTextBuffer()
{
    Checkpoint(kFileID);
    if (KeyboardIsKeyClicked(kKeySpace))
    {
        m_strInpTextBuffer += ' ';
        return;
    }
    if (KeyboardIsKeyClicked(kKeyBackspace))
    {
        if (!m_strInpTextBuffer.empty())
            m_strInpTextBuffer.pop_back();
        return;
    }
    const uint8_t tmp_uiChar = KeyboardGetTypedChar();
    if (tmp_uiChar != 0)
        m_strInpTextBuffer += static_cast<char>(tmp_uiChar);
    if (m_strInpTextBuffer.size() > m_uiInpTextBufferMax)
        m_strInpTextBuffer.resize(m_uiInpTextBufferMax);
}

uint8_t CVelora::KeyboardGetAnyPressedKey() const
{
    Checkpoint(kFileID);
    for (int i = 0; i < 255; ++i)
        if (m_aInpKeyState[i] & 0x80)
            return static_cast<uint8_t>(i);
    return 0;
}

bool CVelora::KeyboardIsKeyPressed(int fp_iKey) const
{
    return (m_aInpKeyState[fp_iKey & 0xFF] & 0x80) != 0;
}

bool CVelora::KeyboardIsKeyClicked(int fp_iKey) const
{
    const int tmp_iKey = fp_iKey & 0xFF;
    return (m_aInpKeyState[tmp_iKey] & 0x80) != 0 && (m_aInpPrevKeyState[tmp_iKey] & 0x80) == 0;
}

uint8_t CVelora::KeyboardGetTypedChar() const
{
    Checkpoint(kFileID);
    const bool tmp_bShift = KeyboardIsKeyPressed(kKeyLShift) || KeyboardIsKeyPressed(kKeyRShift);
    for (const TypedKey& tmp_Key : kTypedKeys)
        if (KeyboardIsKeyClicked(tmp_Key.m_uiKey))
            return static_cast<uint8_t>(tmp_bShift ? tmp_Key.m_cShifted : tmp_Key.m_cPlain);
    return 0;
}

void CVelora::KeyboardSetTextBufferStatus(bool fp_bOn)
{
    Checkpoint(kFileID);
    m_bInpTextBufferStatus = fp_bOn;
}

void CVelora::KeyboardSetTextInBuffer(const std::string& fp_strText)
{
    Checkpoint(kFileID);
    m_strInpTextBuffer = fp_strText;
}

void CVelora::KeyboardSetTextBufferSize(uint32_t fp_uiSize)
{
    Checkpoint(kFileID);
    m_uiInpTextBufferMax = fp_uiSize;
    if (m_strInpTextBuffer.size() > m_uiInpTextBufferMax)
        m_strInpTextBuffer.resize(m_uiInpTextBufferMax);
}

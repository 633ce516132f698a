// Keyboard and mouse devices on SDL (see plat_input.h). The keyboard state is SDL's scancode
// state translated through our scancode -> DirectInput key code table; mouse movement and wheel
// are summed from the events the window pump removes; the pointer position comes from the X
// server when SDL runs on X11 (SDL's own position stops at the window edge).
#include "Platform/plat_input.h"

#include "Platform/plat_window.h"
#include "Platform/plat_window_sdl.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <vector>

// The input object keeps nothing of its own: its devices read SDL's state.
struct PlatInput
{
};

struct PlatInputDevice
{
    PlatInputDeviceKind m_Kind;
    PlatInputDataFormat m_Format = static_cast<PlatInputDataFormat>(0);
    PlatWindow* m_pWindow = nullptr;
    uint32_t m_uiCoopFlags = PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_BACKGROUND;
    bool m_bAcquired = false;
    bool m_bLost = false; // the focus went while acquired; the next read says so
    // Mouse movement summed from events since the previous read (main thread only).
    int32_t m_iSumX = 0;
    int32_t m_iSumY = 0;
    int32_t m_iSumZ = 0;
};

namespace
{

// Scancode -> DirectInput key code. Codes are the PC set-1 scan codes, with the E0-prefixed
// keys at 128 + code; every key that has a DirectInput code and an SDL scancode is here.
struct ScanMap
{
    SDL_Scancode m_Scan;
    uint8_t m_uiCode;
};

constexpr ScanMap kScanMap[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},
    {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},
    {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},
    {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_RETURN2, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},
    {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},
    {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_NONUSHASH, 43}, // the same physical key on PC keyboards
    {SDL_SCANCODE_Z, 44},
    {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59},
    {SDL_SCANCODE_F2, 60},
    {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},
    {SDL_SCANCODE_F7, 65},
    {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87},
    {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_F13, 100},
    {SDL_SCANCODE_F14, 101},
    {SDL_SCANCODE_F15, 102},
    {SDL_SCANCODE_INTERNATIONAL2, 112}, // kana
    {SDL_SCANCODE_LANG3, 112},
    {SDL_SCANCODE_LANG4, 112},
    {SDL_SCANCODE_INTERNATIONAL1, 115}, // ro / Brazilian "/?"
    {SDL_SCANCODE_INTERNATIONAL4, 121}, // convert
    {SDL_SCANCODE_INTERNATIONAL5, 123}, // no-convert
    {SDL_SCANCODE_INTERNATIONAL3, 125}, // yen
    {SDL_SCANCODE_KP_EQUALS, 141},
    {SDL_SCANCODE_KP_EQUALSAS400, 141},
    {SDL_SCANCODE_AUDIOPREV, 144},
    {SDL_SCANCODE_STOP, 149},
    {SDL_SCANCODE_AUDIONEXT, 153},
    {SDL_SCANCODE_KP_ENTER, 156},
    {SDL_SCANCODE_RCTRL, 157},
    {SDL_SCANCODE_MUTE, 160},
    {SDL_SCANCODE_AUDIOMUTE, 160},
    {SDL_SCANCODE_CALCULATOR, 161},
    {SDL_SCANCODE_AUDIOPLAY, 162},
    {SDL_SCANCODE_AUDIOSTOP, 164},
    {SDL_SCANCODE_VOLUMEDOWN, 174},
    {SDL_SCANCODE_VOLUMEUP, 176},
    {SDL_SCANCODE_AC_HOME, 178},
    {SDL_SCANCODE_KP_COMMA, 179},
    {SDL_SCANCODE_KP_DIVIDE, 181},
    {SDL_SCANCODE_PRINTSCREEN, 183},
    {SDL_SCANCODE_SYSREQ, 183},
    {SDL_SCANCODE_RALT, 184},
    {SDL_SCANCODE_PAUSE, 197},
    {SDL_SCANCODE_HOME, 199},
    {SDL_SCANCODE_UP, 200},
    {SDL_SCANCODE_PAGEUP, 201},
    {SDL_SCANCODE_LEFT, 203},
    {SDL_SCANCODE_RIGHT, 205},
    {SDL_SCANCODE_END, 207},
    {SDL_SCANCODE_DOWN, 208},
    {SDL_SCANCODE_PAGEDOWN, 209},
    {SDL_SCANCODE_INSERT, 210},
    {SDL_SCANCODE_DELETE, 211},
    {SDL_SCANCODE_LGUI, 219},
    {SDL_SCANCODE_RGUI, 220},
    {SDL_SCANCODE_APPLICATION, 221},
    {SDL_SCANCODE_MENU, 221},
    {SDL_SCANCODE_POWER, 222},
    {SDL_SCANCODE_SLEEP, 223},
    {SDL_SCANCODE_AC_SEARCH, 229},
    {SDL_SCANCODE_AC_BOOKMARKS, 230},
    {SDL_SCANCODE_AC_REFRESH, 231},
    {SDL_SCANCODE_AC_STOP, 232},
    {SDL_SCANCODE_AC_FORWARD, 233},
    {SDL_SCANCODE_AC_BACK, 234},
    {SDL_SCANCODE_COMPUTER, 235},
    {SDL_SCANCODE_MAIL, 236},
    {SDL_SCANCODE_MEDIASELECT, 237},
};

const std::array<uint8_t, SDL_NUM_SCANCODES>& ScanTable()
{
    static const std::array<uint8_t, SDL_NUM_SCANCODES> s_Table = []
    {
        std::array<uint8_t, SDL_NUM_SCANCODES> tmp_Table{};
        for (const ScanMap& tmp_Entry : kScanMap)
            tmp_Table[tmp_Entry.m_Scan] = tmp_Entry.m_uiCode;
        return tmp_Table;
    }();
    return s_Table;
}

// Results queued by the test hook, per operation.
std::deque<int32_t> g_Injected[6];

// True (with fp_iResult set) when a test queued a result for this call.
bool Injected(PlatInputOp fp_Op, int32_t& fp_iResult)
{
    std::deque<int32_t>& tmp_Queue = g_Injected[static_cast<int>(fp_Op)];
    if (tmp_Queue.empty())
        return false;
    fp_iResult = tmp_Queue.front();
    tmp_Queue.pop_front();
    return fp_iResult != PLATINP_OK;
}

// Live devices, for the event listener (main thread only).
std::vector<PlatInputDevice*> g_Devices;
bool g_bListenerAdded = false;
int g_iCursorCounter = 0;

bool IsForeground(const PlatInputDevice* fp_pDevice)
{
    return (fp_pDevice->m_uiCoopFlags & PLATINP_COOP_FOREGROUND) != 0;
}

bool WindowHasFocus(PlatWindow* fp_pWindow)
{
    SDL_Window* tmp_pWin = fp_pWindow ? PlatGetSDLWindow(fp_pWindow) : nullptr;
    return tmp_pWin && (SDL_GetWindowFlags(tmp_pWin) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void OnEvent(const SDL_Event& fp_Event)
{
    switch (fp_Event.type)
    {
    case SDL_MOUSEMOTION:
        if (fp_Event.motion.which == SDL_TOUCH_MOUSEID)
            break;
        for (PlatInputDevice* tmp_pDev : g_Devices)
            if (tmp_pDev->m_Kind == PLATINP_DEVICE_MOUSE && tmp_pDev->m_bAcquired)
            {
                tmp_pDev->m_iSumX += fp_Event.motion.xrel;
                tmp_pDev->m_iSumY += fp_Event.motion.yrel;
            }
        break;
    case SDL_MOUSEWHEEL:
    {
        int32_t tmp_iNotches = fp_Event.wheel.y;
        if (fp_Event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            tmp_iNotches = -tmp_iNotches;
        for (PlatInputDevice* tmp_pDev : g_Devices)
            if (tmp_pDev->m_Kind == PLATINP_DEVICE_MOUSE && tmp_pDev->m_bAcquired)
                tmp_pDev->m_iSumZ += tmp_iNotches * kPlatWheelDelta;
        break;
    }
    case SDL_WINDOWEVENT:
        if (fp_Event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
            fp_Event.window.event == SDL_WINDOWEVENT_MINIMIZED ||
            fp_Event.window.event == SDL_WINDOWEVENT_HIDDEN)
        {
            for (PlatInputDevice* tmp_pDev : g_Devices)
                if (tmp_pDev->m_bAcquired && IsForeground(tmp_pDev))
                {
                    tmp_pDev->m_bAcquired = false;
                    tmp_pDev->m_bLost = true;
                }
        }
        break;
    default:
        break;
    }
}

uint32_t FormatSize(PlatInputDataFormat fp_Format)
{
    switch (fp_Format)
    {
    case PLATINP_FORMAT_KEYBOARD:
        return kPlatKeyboardStateSize;
    case PLATINP_FORMAT_MOUSE2:
        return sizeof(PlatMouseState2);
    }
    return 0;
}

void ReadKeyboard(uint8_t* fp_pKeys)
{
    std::memset(fp_pKeys, 0, kPlatKeyboardStateSize);
    int tmp_iCount = 0;
    const Uint8* tmp_pState = SDL_GetKeyboardState(&tmp_iCount);
    const std::array<uint8_t, SDL_NUM_SCANCODES>& tmp_Table = ScanTable();
    for (int i = 0; i < tmp_iCount && i < SDL_NUM_SCANCODES; ++i)
        if (tmp_pState[i] && tmp_Table[i] != 0)
            fp_pKeys[tmp_Table[i]] = 0x80;
}

void ReadMouse(PlatInputDevice* fp_pDevice, PlatMouseState2& fp_State)
{
    std::memset(&fp_State, 0, sizeof(fp_State));
    fp_State.lX = fp_pDevice->m_iSumX;
    fp_State.lY = fp_pDevice->m_iSumY;
    fp_State.lZ = fp_pDevice->m_iSumZ;
    fp_pDevice->m_iSumX = fp_pDevice->m_iSumY = fp_pDevice->m_iSumZ = 0;
    // SDL numbers buttons left 1, middle 2, right 3, then the extra ones 4 to 8; the state
    // orders them left, right, middle, extras.
    static constexpr int s_aSDLButton[8] = {1, 3, 2, 4, 5, 6, 7, 8};
    const Uint32 tmp_uiMask = SDL_GetMouseState(nullptr, nullptr);
    for (int i = 0; i < 8; ++i)
        if (tmp_uiMask & SDL_BUTTON(s_aSDLButton[i]))
            fp_State.rgbButtons[i] = 0x80;
}

// Actual window size and the logical (requested) size; equal when windowed.
void GetSizes(PlatWindow* fp_pWindow, int& fp_iActualW, int& fp_iActualH, int& fp_iLogicalW,
              int& fp_iLogicalH)
{
    PlatGetClientSize(fp_pWindow, fp_iActualW, fp_iActualH);
    PlatGetLogicalSize(fp_pWindow, fp_iLogicalW, fp_iLogicalH);
    if (!PlatIsFullScreen(fp_pWindow) || fp_iLogicalW <= 0 || fp_iLogicalH <= 0)
    {
        fp_iLogicalW = fp_iActualW;
        fp_iLogicalH = fp_iActualH;
    }
}

int32_t FloorDiv(int64_t fp_iNum, int64_t fp_iDen)
{
    int64_t tmp_iQ = fp_iNum / fp_iDen;
    if ((fp_iNum % fp_iDen != 0) && ((fp_iNum < 0) != (fp_iDen < 0)))
        --tmp_iQ;
    return static_cast<int32_t>(tmp_iQ);
}

// Pointer relative to the window's top-left corner, in window pixels.
bool QueryPointer(SDL_Window* fp_pWin, int& fp_iX, int& fp_iY)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo tmp_Info;
    SDL_VERSION(&tmp_Info.version);
    if (SDL_GetWindowWMInfo(fp_pWin, &tmp_Info) && tmp_Info.subsystem == SDL_SYSWM_X11)
    {
        Window tmp_Root, tmp_Child;
        int tmp_iRootX, tmp_iRootY;
        unsigned int tmp_uiMask;
        if (XQueryPointer(tmp_Info.info.x11.display, tmp_Info.info.x11.window, &tmp_Root,
                          &tmp_Child, &tmp_iRootX, &tmp_iRootY, &fp_iX, &fp_iY, &tmp_uiMask))
            return true;
    }
#endif
    // Other video drivers: SDL's global position (may lag while the pointer is outside).
    int tmp_iGX = 0, tmp_iGY = 0, tmp_iWX = 0, tmp_iWY = 0;
    SDL_GetGlobalMouseState(&tmp_iGX, &tmp_iGY);
    SDL_GetWindowPosition(fp_pWin, &tmp_iWX, &tmp_iWY);
    fp_iX = tmp_iGX - tmp_iWX;
    fp_iY = tmp_iGY - tmp_iWY;
    return true;
}

} // namespace

int32_t PlatInputCreate(PlatInput** fp_ppInput)
{
    if (!fp_ppInput)
        return PLATINP_ERR_INVALIDPARAM;
    *fp_ppInput = nullptr;
    int32_t tmp_iInjected = 0;
    if (Injected(PlatInputOp::Create, tmp_iInjected))
        return tmp_iInjected;
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return PLATINP_ERR_NOTINITIALIZED;
    if (!g_bListenerAdded)
    {
        PlatAddEventListener(&OnEvent);
        g_bListenerAdded = true;
    }
    *fp_ppInput = new PlatInput;
    return PLATINP_OK;
}

void PlatInputRelease(PlatInput* fp_pInput)
{
    delete fp_pInput;
}

int32_t PlatInputCreateDevice(PlatInput* fp_pInput, PlatInputDeviceKind fp_Kind,
                              PlatInputDevice** fp_ppDevice)
{
    if (!fp_ppDevice)
        return PLATINP_ERR_INVALIDPARAM;
    *fp_ppDevice = nullptr;
    int32_t tmp_iInjected = 0;
    if (Injected(PlatInputOp::CreateDevice, tmp_iInjected))
        return tmp_iInjected;
    if (!fp_pInput)
        return PLATINP_ERR_INVALIDPARAM;
    if (fp_Kind != PLATINP_DEVICE_KEYBOARD && fp_Kind != PLATINP_DEVICE_MOUSE)
        return PLATINP_ERR_NOINPUT;
    PlatInputDevice* tmp_pDev = new PlatInputDevice{fp_Kind};
    g_Devices.push_back(tmp_pDev);
    *fp_ppDevice = tmp_pDev;
    return PLATINP_OK;
}

int32_t PlatInputSetDataFormat(PlatInputDevice* fp_pDevice, PlatInputDataFormat fp_Format)
{
    if (!fp_pDevice)
        return PLATINP_ERR_INVALIDPARAM;
    int32_t tmp_iInjected = 0;
    if (Injected(PlatInputOp::SetDataFormat, tmp_iInjected))
        return tmp_iInjected;
    const bool tmp_bFits =
        (fp_pDevice->m_Kind == PLATINP_DEVICE_KEYBOARD && fp_Format == PLATINP_FORMAT_KEYBOARD) ||
        (fp_pDevice->m_Kind == PLATINP_DEVICE_MOUSE && fp_Format == PLATINP_FORMAT_MOUSE2);
    if (!tmp_bFits)
        return PLATINP_ERR_INVALIDPARAM;
    if (fp_pDevice->m_bAcquired)
        return PLATINP_ERR_INVALIDPARAM; // the format cannot change under a reader
    fp_pDevice->m_Format = fp_Format;
    return PLATINP_OK;
}

int32_t PlatInputSetCooperativeLevel(PlatInputDevice* fp_pDevice, PlatWindow* fp_pWindow,
                                     uint32_t fp_uiFlags)
{
    if (!fp_pDevice)
        return PLATINP_ERR_INVALIDPARAM;
    int32_t tmp_iInjected = 0;
    if (Injected(PlatInputOp::SetCooperativeLevel, tmp_iInjected))
        return tmp_iInjected;
    const uint32_t tmp_uiAccess = fp_uiFlags & (PLATINP_COOP_EXCLUSIVE | PLATINP_COOP_NONEXCLUSIVE);
    const uint32_t tmp_uiWhen = fp_uiFlags & (PLATINP_COOP_FOREGROUND | PLATINP_COOP_BACKGROUND);
    const uint32_t tmp_uiKnown = PLATINP_COOP_EXCLUSIVE | PLATINP_COOP_NONEXCLUSIVE |
                                 PLATINP_COOP_FOREGROUND | PLATINP_COOP_BACKGROUND |
                                 PLATINP_COOP_NOWINKEY;
    if ((fp_uiFlags & ~tmp_uiKnown) != 0 ||
        (tmp_uiAccess != PLATINP_COOP_EXCLUSIVE && tmp_uiAccess != PLATINP_COOP_NONEXCLUSIVE) ||
        (tmp_uiWhen != PLATINP_COOP_FOREGROUND && tmp_uiWhen != PLATINP_COOP_BACKGROUND))
        return PLATINP_ERR_INVALIDPARAM;
    if (tmp_uiAccess == PLATINP_COOP_EXCLUSIVE)
        return PLATINP_ERR_UNSUPPORTED;
    if (!fp_pWindow || !PlatGetSDLWindow(fp_pWindow))
        return PLATINP_ERR_INVALIDPARAM;
    if (fp_pDevice->m_bAcquired)
        return PLATINP_ERR_INVALIDPARAM;
    fp_pDevice->m_pWindow = fp_pWindow;
    fp_pDevice->m_uiCoopFlags = fp_uiFlags;
    return PLATINP_OK;
}

int32_t PlatInputAcquire(PlatInputDevice* fp_pDevice)
{
    if (!fp_pDevice || fp_pDevice->m_Format == 0)
        return PLATINP_ERR_INVALIDPARAM;
    int32_t tmp_iInjected = 0;
    if (Injected(PlatInputOp::Acquire, tmp_iInjected))
        return tmp_iInjected;
    if (fp_pDevice->m_bAcquired)
        return PLATINP_OK;
    if (IsForeground(fp_pDevice) && !WindowHasFocus(fp_pDevice->m_pWindow))
        return PLATINP_ERR_OTHERAPPHASPRIO;
    fp_pDevice->m_bAcquired = true;
    fp_pDevice->m_bLost = false;
    fp_pDevice->m_iSumX = fp_pDevice->m_iSumY = fp_pDevice->m_iSumZ = 0;
    return PLATINP_OK;
}

int32_t PlatInputUnacquire(PlatInputDevice* fp_pDevice)
{
    if (!fp_pDevice)
        return PLATINP_ERR_INVALIDPARAM;
    fp_pDevice->m_bAcquired = false;
    fp_pDevice->m_bLost = false;
    return PLATINP_OK;
}

int32_t PlatInputGetDeviceState(PlatInputDevice* fp_pDevice, uint32_t fp_uiSize, void* fp_pData)
{
    if (!fp_pDevice || !fp_pData || fp_pDevice->m_Format == 0 ||
        fp_uiSize != FormatSize(fp_pDevice->m_Format))
        return PLATINP_ERR_INVALIDPARAM;
    int32_t tmp_iInjected = 0;
    if (Injected(PlatInputOp::GetDeviceState, tmp_iInjected))
    {
        if (tmp_iInjected == PLATINP_ERR_INPUTLOST)
            fp_pDevice->m_bAcquired = false;
        return tmp_iInjected;
    }
    // The focus may have gone in events not yet removed from the queue.
    if (fp_pDevice->m_bAcquired && IsForeground(fp_pDevice) &&
        !WindowHasFocus(fp_pDevice->m_pWindow))
    {
        fp_pDevice->m_bAcquired = false;
        fp_pDevice->m_bLost = true;
    }
    if (fp_pDevice->m_bLost)
    {
        fp_pDevice->m_bLost = false;
        return PLATINP_ERR_INPUTLOST;
    }
    if (!fp_pDevice->m_bAcquired)
        return PLATINP_ERR_NOTACQUIRED;
    if (fp_pDevice->m_Kind == PLATINP_DEVICE_KEYBOARD)
        ReadKeyboard(static_cast<uint8_t*>(fp_pData));
    else
        ReadMouse(fp_pDevice, *static_cast<PlatMouseState2*>(fp_pData));
    return PLATINP_OK;
}

void PlatInputReleaseDevice(PlatInputDevice* fp_pDevice)
{
    if (!fp_pDevice)
        return;
    g_Devices.erase(std::remove(g_Devices.begin(), g_Devices.end(), fp_pDevice), g_Devices.end());
    delete fp_pDevice;
}

uint8_t PlatKeyCodeFromScancode(int fp_iScancode)
{
    if (fp_iScancode < 0 || fp_iScancode >= SDL_NUM_SCANCODES)
        return 0;
    return ScanTable()[fp_iScancode];
}

bool PlatGetCursorClientPos(PlatWindow* fp_pWindow, int32_t& fp_iX, int32_t& fp_iY)
{
    fp_iX = fp_iY = 0;
    SDL_Window* tmp_pWin = fp_pWindow ? PlatGetSDLWindow(fp_pWindow) : nullptr;
    if (!tmp_pWin)
        return false;
    int tmp_iX = 0, tmp_iY = 0;
    QueryPointer(tmp_pWin, tmp_iX, tmp_iY);
    int tmp_iAW, tmp_iAH, tmp_iLW, tmp_iLH;
    GetSizes(fp_pWindow, tmp_iAW, tmp_iAH, tmp_iLW, tmp_iLH);
    if ((tmp_iAW == tmp_iLW && tmp_iAH == tmp_iLH) || tmp_iLW <= 0 || tmp_iLH <= 0)
    {
        fp_iX = tmp_iX;
        fp_iY = tmp_iY;
        return true;
    }
    // Full screen: the logical picture is scaled to fit, keeping its aspect ratio, and centred
    // between black bars (the same integer rule as the graphics device's present).
    int tmp_iVW = tmp_iAW, tmp_iVH = tmp_iAH;
    if (static_cast<int64_t>(tmp_iAW) * tmp_iLH > static_cast<int64_t>(tmp_iAH) * tmp_iLW)
        tmp_iVW = static_cast<int>(static_cast<int64_t>(tmp_iAH) * tmp_iLW / tmp_iLH);
    else
        tmp_iVH = static_cast<int>(static_cast<int64_t>(tmp_iAW) * tmp_iLH / tmp_iLW);
    const int tmp_iOX = (tmp_iAW - tmp_iVW) / 2;
    const int tmp_iOY = (tmp_iAH - tmp_iVH) / 2;
    if (tmp_iVW <= 0 || tmp_iVH <= 0)
        return true;
    fp_iX = FloorDiv(static_cast<int64_t>(tmp_iX - tmp_iOX) * tmp_iLW, tmp_iVW);
    fp_iY = FloorDiv(static_cast<int64_t>(tmp_iY - tmp_iOY) * tmp_iLH, tmp_iVH);
    return true;
}

void PlatGetClientRect(PlatWindow* fp_pWindow, int32_t& fp_iRight, int32_t& fp_iBottom)
{
    int tmp_iAW = 0, tmp_iAH = 0, tmp_iLW = 0, tmp_iLH = 0;
    if (fp_pWindow)
        GetSizes(fp_pWindow, tmp_iAW, tmp_iAH, tmp_iLW, tmp_iLH);
    fp_iRight = tmp_iLW;
    fp_iBottom = tmp_iLH;
}

int PlatShowCursor(bool fp_bShow)
{
    g_iCursorCounter += fp_bShow ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_ShowCursor(g_iCursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return g_iCursorCounter;
}

bool PlatIsCursorShown()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        return SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE;
    return g_iCursorCounter >= 0;
}

void PlatInputInjectResult(PlatInputOp fp_Op, int32_t fp_iResult)
{
    g_Injected[static_cast<int>(fp_Op)].push_back(fp_iResult);
}

void PlatInputClearInjected()
{
    for (std::deque<int32_t>& tmp_Queue : g_Injected)
        tmp_Queue.clear();
}

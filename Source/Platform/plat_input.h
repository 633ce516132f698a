// Keyboard and mouse devices for the input subsystem, and the system pointer.
// A device is created from the input object, given a data format and a cooperative level, then
// acquired and read: the keyboard as 256 bytes indexed by DirectInput key codes (translated from
// SDL scancodes here), the mouse as relative axes, wheel and 8 buttons. Foreground devices are
// tied to the game window's input focus. Results are 32-bit codes: 0 success, negative failure.
#pragma once

#include <cstdint>

struct PlatWindow;
struct PlatInput;
struct PlatInputDevice;

// Results. The failure codes are the values the engine logs and reports, so they keep the
// numbers the input code was written against.
inline constexpr int32_t PLATINP_OK = 0;
inline constexpr int32_t PLATINP_ERR_OTHERAPPHASPRIO = static_cast<int32_t>(0x80070005u);
inline constexpr int32_t PLATINP_ERR_NOTACQUIRED = static_cast<int32_t>(0x8007000Cu);
inline constexpr int32_t PLATINP_ERR_NOTINITIALIZED = static_cast<int32_t>(0x80070015u);
inline constexpr int32_t PLATINP_ERR_INPUTLOST = static_cast<int32_t>(0x8007001Eu);
inline constexpr int32_t PLATINP_ERR_INVALIDPARAM = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t PLATINP_ERR_UNSUPPORTED = static_cast<int32_t>(0x80004001u);
inline constexpr int32_t PLATINP_ERR_NOINPUT = static_cast<int32_t>(0x80004005u);
// Creation and setup report failure by a negative result; a positive one is a success.
inline constexpr bool PlatInputFailed(int32_t fp_iResult)
{
    return fp_iResult < 0;
}

enum PlatInputDeviceKind
{
    PLATINP_DEVICE_KEYBOARD = 1,
    PLATINP_DEVICE_MOUSE = 2,
};

enum PlatInputDataFormat
{
    PLATINP_FORMAT_KEYBOARD = 1, // 256 bytes, one per key code, bit 7 = down
    PLATINP_FORMAT_MOUSE2 = 2,   // PlatMouseState2
};

// Cooperative-level flags: exactly one of EXCLUSIVE / NONEXCLUSIVE and one of FOREGROUND /
// BACKGROUND. A foreground device can be acquired only while the window has the input focus and
// is taken away when the focus goes. Exclusive access is not offered.
enum PlatInputCoopFlags : uint32_t
{
    PLATINP_COOP_EXCLUSIVE = 0x01,
    PLATINP_COOP_NONEXCLUSIVE = 0x02,
    PLATINP_COOP_FOREGROUND = 0x04,
    PLATINP_COOP_BACKGROUND = 0x08,
    PLATINP_COOP_NOWINKEY = 0x10,
};

inline constexpr uint32_t kPlatKeyboardStateSize = 256;

// Extended mouse state: movement since the previous read (X and Y in window pixels, Z in wheel
// units of 120 per notch, positive away from the user) and 8 buttons (bit 7 = down); button 0 is
// the left, 1 the right, 2 the middle one.
struct PlatMouseState2
{
    int32_t lX;
    int32_t lY;
    int32_t lZ;
    uint8_t rgbButtons[8];
};
static_assert(sizeof(PlatMouseState2) == 20, "the extended mouse state is 20 bytes");

inline constexpr int32_t kPlatWheelDelta = 120;

// The input object. Needs the video system (a game window) to exist.
int32_t PlatInputCreate(PlatInput** fp_ppInput);
void PlatInputRelease(PlatInput* fp_pInput);

int32_t PlatInputCreateDevice(PlatInput* fp_pInput, PlatInputDeviceKind fp_Kind,
                              PlatInputDevice** fp_ppDevice);
int32_t PlatInputSetDataFormat(PlatInputDevice* fp_pDevice, PlatInputDataFormat fp_Format);
int32_t PlatInputSetCooperativeLevel(PlatInputDevice* fp_pDevice, PlatWindow* fp_pWindow,
                                     uint32_t fp_uiFlags);
// 0 when the device is (now) acquired. A foreground device fails with OTHERAPPHASPRIO while the
// window lacks the input focus.
int32_t PlatInputAcquire(PlatInputDevice* fp_pDevice);
int32_t PlatInputUnacquire(PlatInputDevice* fp_pDevice);
// Fills fp_pData (fp_uiSize must be the format's size) with the state now. After the focus was
// lost while acquired, the first read returns INPUTLOST and the device stays unacquired until
// the next successful acquire; later reads return NOTACQUIRED.
int32_t PlatInputGetDeviceState(PlatInputDevice* fp_pDevice, uint32_t fp_uiSize, void* fp_pData);
// Unacquires and frees the device.
void PlatInputReleaseDevice(PlatInputDevice* fp_pDevice);

// DirectInput key code of an SDL scancode (0 for keys without one).
uint8_t PlatKeyCodeFromScancode(int fp_iScancode);

// The system pointer in client coordinates of the window's logical screen: in full screen the
// scaling of the picture is undone. May lie outside the client area (negative or beyond).
// False (and 0, 0) when there is no window.
bool PlatGetCursorClientPos(PlatWindow* fp_pWindow, int32_t& fp_iX, int32_t& fp_iY);
// Client rectangle of the logical screen: (0, 0) to the logical width and height.
void PlatGetClientRect(PlatWindow* fp_pWindow, int32_t& fp_iRight, int32_t& fp_iBottom);
// Display counter of the system pointer: shown while it is >= 0 (starts at 0). Each call moves
// it by one and returns the new value.
int PlatShowCursor(bool fp_bShow);
bool PlatIsCursorShown();

// Test hook: the next calls of an operation return these results in turn instead of doing their
// work (PLATINP_OK in the list lets that call do its work); an injected INPUTLOST from a state
// read also takes the device away, as a real one does.
enum class PlatInputOp
{
    Create,
    CreateDevice,
    SetDataFormat,
    SetCooperativeLevel,
    Acquire,
    GetDeviceState,
};
void PlatInputInjectResult(PlatInputOp fp_Op, int32_t fp_iResult);
void PlatInputClearInjected();

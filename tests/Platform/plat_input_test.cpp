// The input devices of the platform layer: the scancode table, the device contract (formats,
// cooperative levels, acquire tied to the input focus, input lost after the focus went) and the
// system pointer counter, on the virtual display.
#include "CVelora/cvelora_inp_keynames.h"
#include "Platform/plat_input.h"
#include "Platform/plat_sys.h"
#include "Platform/plat_window.h"
#include "xdotool_support.h"

#include <set>

namespace
{
// SDL scancode numbers are part of SDL's stable ABI (USB HID usage numbers).
constexpr int kScanA = 4, kScanEscape = 41, kScanKpEnter = 88, kScanRCtrl = 228, kScanUp = 82,
              kScanF12 = 69, kScanAudioMute = 262, kScanMute = 127;
constexpr int kNumScancodes = 512;
constexpr uint8_t kWakeCode = 227;

class PlatInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(PlatRegisterWindowClass("vla_gamewindow"));
        m_pWindow = PlatCreateWindow("PlatInputTest", 320, 240, true);
        ASSERT_NE(m_pWindow, nullptr);
        PlatShowWindow(m_pWindow);
        m_strWid = XWindowId("PlatInputTest");
        ASSERT_FALSE(m_strWid.empty());
        ASSERT_EQ(PlatInputCreate(&m_pInput), PLATINP_OK);
    }
    void TearDown() override
    {
        for (PlatInputDevice* d : m_Devices)
            PlatInputReleaseDevice(d);
        PlatInputRelease(m_pInput);
        PlatDestroyWindow(m_pWindow);
        PlatUnregisterWindowClass();
    }

    PlatInputDevice* Device(PlatInputDeviceKind fp_Kind, bool fp_bReady)
    {
        PlatInputDevice* d = nullptr;
        EXPECT_EQ(PlatInputCreateDevice(m_pInput, fp_Kind, &d), PLATINP_OK);
        m_Devices.push_back(d);
        if (fp_bReady)
        {
            EXPECT_EQ(PlatInputSetDataFormat(d, fp_Kind == PLATINP_DEVICE_KEYBOARD
                                                    ? PLATINP_FORMAT_KEYBOARD
                                                    : PLATINP_FORMAT_MOUSE2),
                      PLATINP_OK);
            EXPECT_EQ(PlatInputSetCooperativeLevel(
                          d, m_pWindow, PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_FOREGROUND),
                      PLATINP_OK);
        }
        return d;
    }

    // Moves the focus and pumps the queue until the device sees it (or a few seconds pass).
    void Focus(const std::string& fp_strWid, PlatInputDevice* fp_pProbe, bool fp_bExpectFocus)
    {
        XDo("windowfocus --sync " + fp_strWid);
        for (int i = 0; i < 600; ++i)
        {
            Pump();
            const int32_t r = PlatInputAcquire(fp_pProbe);
            if ((r == PLATINP_OK) == fp_bExpectFocus)
                break;
            PlatSleep(5);
        }
    }
    static void Pump()
    {
        PlatMessage msg;
        while (PlatPeekMessage(msg))
        {
        }
    }

    PlatWindow* m_pWindow = nullptr;
    PlatInput* m_pInput = nullptr;
    std::vector<PlatInputDevice*> m_Devices;
    std::string m_strWid;
};
} // namespace

TEST(PlatKeyTable, ScancodesGiveKeyCodes)
{
    const std::pair<int, int> cases[] = {
        {kScanA, 30},   {kScanEscape, 1}, {kScanKpEnter, 156},   {kScanRCtrl, 157},
        {kScanUp, 200}, {kScanF12, 88},   {kScanAudioMute, 160}, {kScanMute, 160},
        {0, 0},         {-1, 0},          {kNumScancodes, 0},    {100000, 0},
    };
    for (const auto& [scan, code] : cases)
        EXPECT_EQ(PlatKeyCodeFromScancode(scan), code) << "scancode " << scan;
}

TEST(PlatKeyTable, EveryNamedKeyButWakeHasAScancode)
{
    std::set<int> reachable;
    for (int s = 0; s < kNumScancodes; ++s)
        reachable.insert(PlatKeyCodeFromScancode(s));
    size_t n = 0;
    const VLAKeyName* pTable = GetKeyNameTable(n);
    for (size_t i = 0; i < n; ++i)
    {
        // SDL has no scancode for the Wake key, so it can never be reported.
        if (pTable[i].m_uiCode == kWakeCode)
            continue;
        EXPECT_TRUE(reachable.count(pTable[i].m_uiCode)) << pTable[i].m_pszName;
    }
}

TEST_F(PlatInputTest, DeviceSetupIsChecked)
{
    PlatInputDevice* kb = Device(PLATINP_DEVICE_KEYBOARD, false);
    EXPECT_EQ(PlatInputAcquire(kb), PLATINP_ERR_INVALIDPARAM); // no data format yet
    EXPECT_EQ(PlatInputSetDataFormat(kb, PLATINP_FORMAT_MOUSE2), PLATINP_ERR_INVALIDPARAM);
    EXPECT_EQ(PlatInputSetDataFormat(kb, PLATINP_FORMAT_KEYBOARD), PLATINP_OK);
    const uint32_t bad[] = {
        0,
        PLATINP_COOP_NONEXCLUSIVE,
        PLATINP_COOP_FOREGROUND,
        PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_EXCLUSIVE | PLATINP_COOP_FOREGROUND,
        PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_FOREGROUND | PLATINP_COOP_BACKGROUND,
        PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_FOREGROUND | 0x100,
    };
    for (uint32_t f : bad)
        EXPECT_EQ(PlatInputSetCooperativeLevel(kb, m_pWindow, f), PLATINP_ERR_INVALIDPARAM) << f;
    EXPECT_EQ(PlatInputSetCooperativeLevel(kb, m_pWindow,
                                           PLATINP_COOP_EXCLUSIVE | PLATINP_COOP_FOREGROUND),
              PLATINP_ERR_UNSUPPORTED);
    EXPECT_EQ(PlatInputSetCooperativeLevel(kb, nullptr,
                                           PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_FOREGROUND),
              PLATINP_ERR_INVALIDPARAM);
    EXPECT_EQ(PlatInputSetCooperativeLevel(kb, m_pWindow, 0x16), PLATINP_OK);

    PlatInputDevice* none = nullptr;
    EXPECT_EQ(PlatInputCreateDevice(m_pInput, static_cast<PlatInputDeviceKind>(7), &none),
              PLATINP_ERR_NOINPUT);
    EXPECT_EQ(none, nullptr);
}

TEST_F(PlatInputTest, AcquireFollowsTheInputFocus)
{
    PlatInputDevice* kb = Device(PLATINP_DEVICE_KEYBOARD, true);
    PlatInputDevice* mouse = Device(PLATINP_DEVICE_MOUSE, true);
    uint8_t keys[256];
    PlatMouseState2 ms;

    Focus(XRootId(), kb, false);
    EXPECT_EQ(PlatInputAcquire(kb), PLATINP_ERR_OTHERAPPHASPRIO);
    EXPECT_EQ(PlatInputAcquire(mouse), PLATINP_ERR_OTHERAPPHASPRIO);
    EXPECT_EQ(PlatInputGetDeviceState(kb, 256, keys), PLATINP_ERR_NOTACQUIRED);

    Focus(m_strWid, kb, true);
    ASSERT_EQ(PlatInputAcquire(kb), PLATINP_OK);
    ASSERT_EQ(PlatInputAcquire(mouse), PLATINP_OK);
    EXPECT_EQ(PlatInputGetDeviceState(kb, 256, keys), PLATINP_OK);
    EXPECT_EQ(PlatInputGetDeviceState(kb, 255, keys), PLATINP_ERR_INVALIDPARAM);
    EXPECT_EQ(PlatInputGetDeviceState(mouse, sizeof(ms), &ms), PLATINP_OK);
    EXPECT_EQ(PlatInputGetDeviceState(mouse, 16, &ms), PLATINP_ERR_INVALIDPARAM);

    // The focus goes while acquired: one "input lost", then "not acquired".
    XDo("windowfocus --sync " + XRootId());
    for (int i = 0; i < 50; ++i)
    {
        Pump();
        PlatSleep(5);
    }
    EXPECT_EQ(PlatInputGetDeviceState(kb, 256, keys), PLATINP_ERR_INPUTLOST);
    EXPECT_EQ(PlatInputGetDeviceState(kb, 256, keys), PLATINP_ERR_NOTACQUIRED);
    EXPECT_EQ(PlatInputGetDeviceState(mouse, sizeof(ms), &ms), PLATINP_ERR_INPUTLOST);
    EXPECT_EQ(PlatInputAcquire(kb), PLATINP_ERR_OTHERAPPHASPRIO);

    // Background devices are not tied to the focus.
    PlatInputDevice* bg = Device(PLATINP_DEVICE_KEYBOARD, false);
    EXPECT_EQ(PlatInputSetDataFormat(bg, PLATINP_FORMAT_KEYBOARD), PLATINP_OK);
    EXPECT_EQ(PlatInputSetCooperativeLevel(bg, m_pWindow,
                                           PLATINP_COOP_NONEXCLUSIVE | PLATINP_COOP_BACKGROUND),
              PLATINP_OK);
    EXPECT_EQ(PlatInputAcquire(bg), PLATINP_OK);
    EXPECT_EQ(PlatInputGetDeviceState(bg, 256, keys), PLATINP_OK);

    Focus(m_strWid, kb, true);
    EXPECT_EQ(PlatInputAcquire(kb), PLATINP_OK);
    EXPECT_EQ(PlatInputGetDeviceState(kb, 256, keys), PLATINP_OK);
    EXPECT_EQ(PlatInputUnacquire(kb), PLATINP_OK);
    EXPECT_EQ(PlatInputGetDeviceState(kb, 256, keys), PLATINP_ERR_NOTACQUIRED);
}

TEST_F(PlatInputTest, PointerCounterHidesBelowZero)
{
    EXPECT_TRUE(PlatIsCursorShown());
    EXPECT_EQ(PlatShowCursor(false), -1);
    EXPECT_FALSE(PlatIsCursorShown());
    EXPECT_EQ(PlatShowCursor(false), -2);
    EXPECT_EQ(PlatShowCursor(true), -1);
    EXPECT_FALSE(PlatIsCursorShown());
    EXPECT_EQ(PlatShowCursor(true), 0);
    EXPECT_TRUE(PlatIsCursorShown());
    EXPECT_EQ(PlatShowCursor(true), 1);
    EXPECT_TRUE(PlatIsCursorShown());
}

TEST_F(PlatInputTest, PointerPositionInClientCoordinates)
{
    int32_t right = 0, bottom = 0;
    PlatGetClientRect(m_pWindow, right, bottom);
    EXPECT_EQ(right, 320);
    EXPECT_EQ(bottom, 240);
    // Window-relative positions, then one far outside (left of and above the window).
    const std::pair<int, int> inside[] = {{0, 0}, {319, 239}, {17, 203}};
    for (const auto& [x, y] : inside)
    {
        XDo("mousemove --sync --window " + m_strWid + " " + std::to_string(x) + " " +
            std::to_string(y));
        int32_t cx = -1, cy = -1;
        EXPECT_TRUE(PlatGetCursorClientPos(m_pWindow, cx, cy));
        EXPECT_EQ(cx, x);
        EXPECT_EQ(cy, y);
    }
    XDo("mousemove --sync 0 0");
    int32_t cx = 0, cy = 0;
    EXPECT_TRUE(PlatGetCursorClientPos(m_pWindow, cx, cy));
    EXPECT_EQ(cx, -100); // the windowed client area starts at (100, 100)
    EXPECT_EQ(cy, -100);
    EXPECT_FALSE(PlatGetCursorClientPos(nullptr, cx, cy));
}

TEST(PlatInputFullScreen, PointerUndoesTheScalingAndBars)
{
    ASSERT_TRUE(PlatRegisterWindowClass("vla_gamewindow"));
    // A 1000 x 600 picture on the 1024 x 768 screen: 1024 x 614 at y 77, bars above and below.
    PlatWindow* pWindow = PlatCreateWindow("PlatInputFullScreen", 1000, 600, false);
    ASSERT_NE(pWindow, nullptr);
    PlatShowWindow(pWindow);
    ASSERT_FALSE(XWindowId("PlatInputFullScreen").empty());
    int32_t right = 0, bottom = 0;
    PlatGetClientRect(pWindow, right, bottom);
    EXPECT_EQ(right, 1000);
    EXPECT_EQ(bottom, 600);
    struct
    {
        int sx, sy, x, y;
    } cases[] = {
        {0, 77, 0, 0},         {0, 76, 0, -1},       {1023, 690, 999, 599},
        {1023, 691, 999, 600}, {512, 384, 500, 300}, {0, 0, 0, -76},
    };
    for (const auto& c : cases)
    {
        XDo("mousemove --sync " + std::to_string(c.sx) + " " + std::to_string(c.sy));
        int32_t x = 0, y = 0;
        EXPECT_TRUE(PlatGetCursorClientPos(pWindow, x, y));
        EXPECT_EQ(x, c.x) << c.sx << "," << c.sy;
        EXPECT_EQ(y, c.y) << c.sx << "," << c.sy;
    }
    PlatDestroyWindow(pWindow);
    PlatUnregisterWindowClass();
}

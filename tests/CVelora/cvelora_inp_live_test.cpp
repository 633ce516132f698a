// Input end to end on the virtual display: keys, pointer moves, buttons and the wheel sent with
// xdotool travel through the window pump and the devices into the input block, read by the
// engine step; focus loss and gain, the start warnings, and hiding the system pointer.
#include "CVelora/cvelora.h"
#include "Platform/plat_input.h"
#include "Platform/plat_sys.h"
#include "test_support.h"
#include "xdotool_support.h"

#include <functional>
#include <string>
#include <vector>

namespace
{
constexpr const char* kTitle = "InpLiveTest";
const std::string kSep = "|" + std::string(51, '-') + "|\n";

class InpLiveTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ResetQuitRequest();
        m_pVLA = new CVelora;
        m_pVLA->SetAppName(kTitle, "v. 1.0");
    }
    void TearDown() override
    {
        // No key of a test stays held for the next one.
        XDoQuietly("keyup Shift_L Shift_R a b");
        delete m_pVLA; // stops input, then graphics (which removes the window)
        TempDirTest::TearDown();
    }

    // Graphics at 800 x 600 (windowed, or full screen on the whole virtual screen), then input;
    // fp_bFocus gives the window the input focus first.
    void Start(bool fp_bWindowed, bool fp_bFocus)
    {
        m_pVLA->GfxPreinit(800, 600);
        m_pVLA->GfxInit(fp_bWindowed ? 3 : 2, fp_bWindowed);
        ASSERT_TRUE(m_pVLA->m_bGfxDeviceCreated);
        ASSERT_NE(m_pVLA->m_pWindow, nullptr);
        m_strWid = XWindowId(kTitle);
        ASSERT_FALSE(m_strWid.empty());
        XDo("windowfocus --sync " + (fp_bFocus ? m_strWid : XRootId()));
        Pump();
        m_uiLogStart = ReadFile("gamelog.txt").size();
        m_pVLA->InpInit();
        if (fp_bFocus)
        {
            ASSERT_TRUE(m_pVLA->m_bInpKeyboardAcquired && m_pVLA->m_bInpMouseAcquired);
        }
    }
    // Removes what is queued so far (the window system's answers to xdotool).
    void Pump()
    {
        for (int i = 0; i < 20; ++i)
        {
            m_pVLA->ProcessMessages();
            PlatSleep(2);
        }
    }
    // Runs engine steps until a step that ran a frame finds fp_Cond true; false after ~5 s.
    bool FramesUntil(const std::function<bool()>& fp_Cond)
    {
        for (int i = 0; i < 1500; ++i)
        {
            if (m_pVLA->UpdateAllSystems() == 1 && fp_Cond())
                return true;
            PlatSleep(3);
        }
        return false;
    }
    // Runs fp_iCount engine steps that each run a frame.
    void Frames(int fp_iCount, const std::function<void()>& fp_Each = nullptr)
    {
        for (int i = 0; i < fp_iCount;)
        {
            if (m_pVLA->UpdateAllSystems() == 1)
            {
                ++i;
                if (fp_Each)
                    fp_Each();
            }
            PlatSleep(2);
        }
    }
    std::string LogSinceStart() { return ReadFile("gamelog.txt").substr(m_uiLogStart); }
    void MoveInWindow(int fp_iX, int fp_iY)
    {
        XDo("mousemove --sync --window " + m_strWid + " " + std::to_string(fp_iX) + " " +
            std::to_string(fp_iY));
    }
    bool CursorAt(int32_t fp_iX, int32_t fp_iY)
    {
        int32_t x = 0, y = 0;
        m_pVLA->MouseGetCursorPos(x, y);
        return x == fp_iX && y == fp_iY;
    }

    CVelora* m_pVLA = nullptr;
    std::string m_strWid;
    size_t m_uiLogStart = 0;
};

struct KeyCase
{
    const char* m_pszKeysym;
    int m_iCode;
};

// X key names (evdev keymap of the virtual server) and the key codes they must give.
constexpr KeyCase kKeys[] = {
    {"a", 30},
    {"z", 44},
    {"1", 2},
    {"0", 11},
    {"Escape", 1},
    {"Return", 28},
    {"space", 57},
    {"BackSpace", 14},
    {"Tab", 15},
    {"grave", 41},
    {"backslash", 43},
    {"Shift_L", 42},
    {"Shift_R", 54},
    {"Control_L", 29},
    {"Control_R", 157},
    {"Alt_L", 56},
    {"F1", 59},
    {"F10", 68},
    {"F11", 87},
    {"F12", 88},
    {"Caps_Lock", 58},
    {"KP_Insert", 82},
    {"KP_End", 79},
    {"KP_Add", 78},
    {"KP_Subtract", 74},
    {"KP_Multiply", 55},
    {"KP_Divide", 181},
    {"KP_Enter", 156},
    {"Home", 199},
    {"Up", 200},
    {"Prior", 201},
    {"Left", 203},
    {"Right", 205},
    {"End", 207},
    {"Down", 208},
    {"Next", 209},
    {"Insert", 210},
    {"Delete", 211},
    {"Print", 183},
    {"Pause", 197},
    {"Scroll_Lock", 70},
    {"Super_L", 219},
    {"Menu", 221},
    {"XF86AudioMute", 160},
    {"XF86AudioLowerVolume", 174},
    {"XF86AudioRaiseVolume", 176},
    {"XF86AudioPlay", 162},
    {"XF86AudioStop", 164},
    {"XF86AudioPrev", 144},
    {"XF86AudioNext", 153},
    {"XF86Calculator", 161},
    {"XF86Mail", 236},
    {"XF86MyComputer", 235},
    {"XF86HomePage", 178},
    {"XF86Search", 229},
    {"XF86Favorites", 230},
    {"XF86Reload", 231},
    {"XF86Forward", 233},
    {"XF86Back", 234},
    {"XF86Sleep", 223},
    {"XF86PowerOff", 222},
    {"XF86AudioMedia", 237},
};
} // namespace

TEST_F(InpLiveTest, StartWithoutFocusWarnsAndReadsNothingUntilFocused)
{
    Start(true, false);
    EXPECT_FALSE(m_pVLA->m_bInpKeyboardAcquired);
    EXPECT_FALSE(m_pVLA->m_bInpMouseAcquired);
    EXPECT_EQ(LogSinceStart(), kSep + "--==: Initializing Input Subsystem...\n" +
                                   " !: Cannot acquire keyboard!\n !: -2147024891\n" +
                                   " !: Cannot acquire mouse!\n !: -2147024891\n" +
                                   "   +: Done.\n" + kSep + "\n");

    // While not acquired every update reads all keys up, with no error.
    XDo("keydown a");
    for (int i = 0; i < 10; ++i)
    {
        m_pVLA->InpUpdate();
        EXPECT_EQ(m_pVLA->KeyboardGetAnyPressedKey(), 0);
        EXPECT_FALSE(m_pVLA->m_bInpKeyboardAcquired);
        PlatSleep(2);
    }
    XDo("keyup a");

    // Once the window has the focus, the per-frame update (or the focus gain) acquires both.
    XDo("windowfocus --sync " + m_strWid);
    EXPECT_TRUE(
        FramesUntil([&] { return m_pVLA->m_bInpKeyboardAcquired && m_pVLA->m_bInpMouseAcquired; }));
    XDo("keydown b");
    EXPECT_TRUE(FramesUntil([&] { return m_pVLA->KeyboardIsKeyPressed(48); }));
    XDo("keyup b");
}

TEST_F(InpLiveTest, GoodStartLogsOnlyTheBlock)
{
    Start(true, true);
    EXPECT_EQ(LogSinceStart(),
              kSep + "--==: Initializing Input Subsystem...\n   +: Done.\n" + kSep + "\n");
}

TEST_F(InpLiveTest, KeysReachTheKeyState)
{
    Start(true, true);
    for (const KeyCase& k : kKeys)
    {
        XDo(std::string("keydown ") + k.m_pszKeysym);
        EXPECT_TRUE(FramesUntil([&] { return m_pVLA->KeyboardIsKeyPressed(k.m_iCode); }))
            << k.m_pszKeysym;
        XDo(std::string("keyup ") + k.m_pszKeysym);
        EXPECT_TRUE(FramesUntil([&] { return m_pVLA->KeyboardGetAnyPressedKey() == 0; }))
            << k.m_pszKeysym;
    }
}

TEST_F(InpLiveTest, AHeldKeyIsClickedInExactlyOneFrame)
{
    Start(true, true);
    XDo("keydown a");
    ASSERT_TRUE(FramesUntil([&] { return m_pVLA->KeyboardIsKeyPressed(30); }));
    int clicked = m_pVLA->KeyboardIsKeyClicked(30) ? 1 : 0;
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 'a');
    int pressed = 0;
    Frames(20,
           [&]
           {
               clicked += m_pVLA->KeyboardIsKeyClicked(30) ? 1 : 0;
               pressed += m_pVLA->KeyboardIsKeyPressed(30) ? 1 : 0;
               EXPECT_EQ(m_pVLA->KeyboardGetTypedChar(), 0);
           });
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(pressed, 20);
    XDo("keyup a");
    EXPECT_TRUE(FramesUntil([&] { return !m_pVLA->KeyboardIsKeyPressed(30); }));
    EXPECT_FALSE(m_pVLA->KeyboardIsKeyClicked(30));
}

TEST_F(InpLiveTest, TypingFillsTheTextBuffer)
{
    Start(true, true);
    m_pVLA->KeyboardSetTextBufferStatus(true);
    // One key at a time, each seen by a frame: "Hi" Space "2" Backspace "!".
    const char* steps[][2] = {
        {"keydown", "Shift_L"}, {"keydown", "h"}, {"keyup", "h"},           {"keyup", "Shift_L"},
        {"keydown", "i"},       {"keyup", "i"},   {"keydown", "space"},     {"keyup", "space"},
        {"keydown", "2"},       {"keyup", "2"},   {"keydown", "BackSpace"}, {"keyup", "BackSpace"},
        {"keydown", "Shift_R"}, {"keydown", "1"}, {"keyup", "1"},           {"keyup", "Shift_R"},
    };
    const int codes[] = {42, 35, 35, 42, 23, 23, 57, 57, 3, 3, 14, 14, 54, 2, 2, 54};
    for (size_t i = 0; i < std::size(steps); ++i)
    {
        XDo(std::string(steps[i][0]) + " " + steps[i][1]);
        const bool down = std::string(steps[i][0]) == "keydown";
        EXPECT_TRUE(FramesUntil([&] { return m_pVLA->KeyboardIsKeyPressed(codes[i]) == down; }))
            << steps[i][1];
    }
    EXPECT_EQ(m_pVLA->KeyboardGetTextInBuffer(), "Hi !");
}

TEST_F(InpLiveTest, PointerMovesGiveCursorAndDeltas)
{
    Start(true, true);
    MoveInWindow(100, 200);
    ASSERT_TRUE(FramesUntil([&] { return CursorAt(100, 200); }));
    Frames(1);
    EXPECT_EQ(m_pVLA->MouseGetCursorDeltaX(), 0);
    EXPECT_EQ(m_pVLA->MouseGetDeltaX(), 0);
    MoveInWindow(130, 180);
    ASSERT_TRUE(FramesUntil([&] { return CursorAt(130, 180); }));
    EXPECT_EQ(m_pVLA->MouseGetCursorDeltaX(), 30);
    EXPECT_EQ(m_pVLA->MouseGetCursorDeltaY(), -20);
    EXPECT_EQ(m_pVLA->MouseGetDeltaX(), 30);
    EXPECT_EQ(m_pVLA->MouseGetDeltaY(), -20);
    EXPECT_TRUE(m_pVLA->MouseGetCursorStatus());
    Frames(1);
    EXPECT_EQ(m_pVLA->MouseGetCursorDeltaX(), 0);
    EXPECT_EQ(m_pVLA->MouseGetDeltaY(), 0);

    // Outside the client area the position goes on (window at 100, 100 on the screen).
    XDo("mousemove --sync 40 30");
    ASSERT_TRUE(FramesUntil([&] { return CursorAt(-60, -70); }));
    EXPECT_FALSE(m_pVLA->MouseGetCursorStatus());
}

TEST_F(InpLiveTest, ButtonsAreClickedInOneFrameAndNumbered)
{
    Start(true, true);
    MoveInWindow(400, 300);
    // X button numbers and the engine's: 1 left, 2 right, 3 middle, then the extra buttons.
    const std::pair<int, int> buttons[] = {{1, 1}, {3, 2}, {2, 3}, {8, 4}, {9, 5}, {10, 6}};
    for (const auto& [xButton, button] : buttons)
    {
        XDo("mousedown " + std::to_string(xButton));
        ASSERT_TRUE(FramesUntil([&] { return m_pVLA->MouseIsKeyPressed(button); }))
            << "button " << button;
        EXPECT_TRUE(m_pVLA->MouseIsKeyClicked(button));
        EXPECT_EQ(m_pVLA->MouseGetAnyPressedKey(), button);
        Frames(3,
               [&]
               {
                   EXPECT_TRUE(m_pVLA->MouseIsKeyPressed(button));
                   EXPECT_FALSE(m_pVLA->MouseIsKeyClicked(button));
               });
        XDo("mouseup " + std::to_string(xButton));
        ASSERT_TRUE(FramesUntil([&] { return m_pVLA->MouseGetAnyPressedKey() == 0; }));
    }
}

TEST_F(InpLiveTest, WheelGivesItsSignForOneFrame)
{
    Start(true, true);
    MoveInWindow(400, 300);
    for (const auto& [xButton, sign] : {std::pair{4, 1}, std::pair{5, -1}})
    {
        XDo("click " + std::to_string(xButton));
        ASSERT_TRUE(FramesUntil([&] { return m_pVLA->MouseGetWheelDelta() != 0; }));
        EXPECT_EQ(m_pVLA->MouseGetWheelDelta(), sign);
        EXPECT_EQ(m_pVLA->m_InpMouseState.lZ, sign * kPlatWheelDelta);
        Frames(1);
        EXPECT_EQ(m_pVLA->MouseGetWheelDelta(), 0);
    }
}

TEST_F(InpLiveTest, FocusLossReadsAllUpAndFocusGainReacquires)
{
    Start(true, true);
    MoveInWindow(400, 300);
    XDo("keydown a mousedown 1");
    ASSERT_TRUE(FramesUntil(
        [&] { return m_pVLA->KeyboardIsKeyPressed(30) && m_pVLA->MouseIsKeyPressed(1); }));

    XDo("windowfocus --sync " + XRootId());
    // The engine step sees the deactivation and runs no more frames.
    bool inactive = false;
    for (int i = 0; i < 1500 && !inactive; ++i)
    {
        inactive = m_pVLA->UpdateAllSystems() == 0 && !IsWindowActive();
        PlatSleep(3);
    }
    ASSERT_TRUE(inactive);
    EXPECT_NE(ReadFile("gamelog.txt").find("FOCUS LOST\n"), std::string::npos);

    // A read while the devices are taken away gives all keys and buttons up, and no error.
    EXPECT_NO_THROW(m_pVLA->InpUpdate());
    EXPECT_EQ(m_pVLA->KeyboardGetAnyPressedKey(), 0);
    EXPECT_EQ(m_pVLA->MouseGetAnyPressedKey(), 0);
    EXPECT_FALSE(m_pVLA->m_bInpKeyboardAcquired);
    EXPECT_NO_THROW(m_pVLA->InpUpdate());
    EXPECT_EQ(m_pVLA->KeyboardGetAnyPressedKey(), 0);
    XDo("mouseup 1");

    // The focus gain re-acquires at once (no warnings), and the held key reads down again.
    const size_t logBefore = ReadFile("gamelog.txt").size();
    XDo("windowfocus --sync " + m_strWid);
    ASSERT_TRUE(FramesUntil([&] { return IsWindowActive(); }));
    EXPECT_TRUE(m_pVLA->m_bInpKeyboardAcquired);
    EXPECT_TRUE(m_pVLA->m_bInpMouseAcquired);
    EXPECT_EQ(ReadFile("gamelog.txt").substr(logBefore), "FOCUS GAINED\n");
    EXPECT_TRUE(FramesUntil([&] { return m_pVLA->KeyboardIsKeyPressed(30); }));
    XDo("keyup a");
    EXPECT_TRUE(FramesUntil([&] { return m_pVLA->KeyboardGetAnyPressedKey() == 0; }));
}

TEST_F(InpLiveTest, SystemPointerIsHiddenOverTheClientAreaOnly)
{
    Start(true, true);
    EXPECT_TRUE(PlatIsCursorShown());
    MoveInWindow(10, 10);
    ASSERT_TRUE(FramesUntil([&] { return m_pVLA->MouseGetCursorStatus(); }));
    EXPECT_FALSE(PlatIsCursorShown());
    XDo("mousemove --sync 5 5"); // outside: the window starts at (100, 100)
    ASSERT_TRUE(FramesUntil([&] { return !m_pVLA->MouseGetCursorStatus(); }));
    EXPECT_TRUE(PlatIsCursorShown());
    MoveInWindow(799, 599);
    ASSERT_TRUE(FramesUntil([&] { return m_pVLA->MouseGetCursorStatus(); }));
    EXPECT_FALSE(PlatIsCursorShown());
    MoveInWindow(800, 599); // one past the right edge
    ASSERT_TRUE(FramesUntil([&] { return !m_pVLA->MouseGetCursorStatus(); }));
    EXPECT_TRUE(PlatIsCursorShown());
    MoveInWindow(400, 300);
    ASSERT_TRUE(FramesUntil([&] { return m_pVLA->MouseGetCursorStatus(); }));
    EXPECT_FALSE(PlatIsCursorShown());
    // Stopping input shows the pointer again.
    m_pVLA->InpDeinit();
    EXPECT_TRUE(PlatIsCursorShown());
    EXPECT_FALSE(m_pVLA->m_bInpInitialised);
    EXPECT_EQ(m_pVLA->m_pInpDI, nullptr);
    EXPECT_EQ(m_pVLA->m_pInpKeyboard, nullptr);
    EXPECT_EQ(m_pVLA->m_pInpMouse, nullptr);
}

TEST_F(InpLiveTest, FullScreenPointerIsInLogicalScreenCoordinates)
{
    Start(false, true);
    // The 800 x 600 picture fills the 1024 x 768 virtual screen (scale 1.28, no bars).
    const std::pair<std::pair<int, int>, std::pair<int, int>> cases[] = {
        {{0, 0}, {0, 0}},
        {{512, 384}, {400, 300}},
        {{1023, 767}, {799, 599}},
        {{128, 640}, {100, 500}},
    };
    for (const auto& [screen, logical] : cases)
    {
        XDo("mousemove --sync " + std::to_string(screen.first) + " " +
            std::to_string(screen.second));
        EXPECT_TRUE(FramesUntil([&] { return CursorAt(logical.first, logical.second); }))
            << screen.first << "," << screen.second;
        EXPECT_TRUE(m_pVLA->MouseGetCursorStatus());
    }
}

namespace
{
struct StartFailure
{
    PlatInputOp m_Op;
    int m_iSkip; // calls of the operation that still do their work first (the keyboard's)
    int32_t m_iResult;
    const char* m_pszText;
    int32_t m_iCode;
};

constexpr int32_t kFailCode = static_cast<int32_t>(0x80004005u);
constexpr int32_t kSuccessNoObject = 1;

// The engine's error for a start whose fp_Case operation fails with kFailCode.
std::string StartError(CVelora* fp_pVLA, const StartFailure& fp_Case)
{
    for (int i = 0; i < fp_Case.m_iSkip; ++i)
        PlatInputInjectResult(fp_Case.m_Op, PLATINP_OK);
    PlatInputInjectResult(fp_Case.m_Op, fp_Case.m_iResult);
    try
    {
        fp_pVLA->InpInit();
    }
    catch (const CEHSException& e)
    {
        PlatInputClearInjected();
        EXPECT_EQ(e.m_iType, EHS_GENERAL) << e.m_strDesc;
        EXPECT_EQ(e.m_iCode, fp_Case.m_iCode) << e.m_strDesc;
        return e.m_strDesc;
    }
    PlatInputClearInjected();
    return "no error";
}
} // namespace

TEST_F(InpLiveTest, StartFailuresRaiseGeneralErrorsWithTheResult)
{
    Start(true, true);
    m_pVLA->InpDeinit();
    const StartFailure cases[] = {
        {PlatInputOp::Create, 0, kFailCode, "Cannot create DirectInput object!", kFailCode},
        {PlatInputOp::CreateDevice, 0, kFailCode,
         "Cannot create DirectInputDevice (Keyboard) object!", kFailCode},
        {PlatInputOp::CreateDevice, 1, kFailCode, "Cannot create DirectInputDevice (Mouse) object!",
         kFailCode},
        {PlatInputOp::SetDataFormat, 0, kFailCode, "Cannot set data format for Keyboard!",
         kFailCode},
        {PlatInputOp::SetDataFormat, 1, kFailCode, "Cannot set data format for Mouse!", kFailCode},
        {PlatInputOp::SetCooperativeLevel, 0, kFailCode,
         "Cannot set cooperative level for Keyboard!", kFailCode},
        {PlatInputOp::SetCooperativeLevel, 1, kFailCode, "Cannot set cooperative level for Mouse!",
         kFailCode},
        // A success result that hands back no object.
        {PlatInputOp::Create, 0, kSuccessNoObject, "Error: Direct Input object is NULL!", 0},
        {PlatInputOp::CreateDevice, 0, kSuccessNoObject, "Error: keyboard object is NULL!", 0},
        {PlatInputOp::CreateDevice, 1, kSuccessNoObject, "Error: mouse object is NULL!", 0},
        // A positive result is a success: the start goes on.
        {PlatInputOp::SetDataFormat, 1, kSuccessNoObject, "no error", 0},
        {PlatInputOp::SetCooperativeLevel, 0, kSuccessNoObject, "no error", 0},
    };
    for (const StartFailure& c : cases)
    {
        EXPECT_EQ(StartError(m_pVLA, c), c.m_pszText);
        // The flag was set first, so the stop cleans up whatever was made.
        EXPECT_TRUE(m_pVLA->m_bInpInitialised);
        m_pVLA->InpDeinit();
        EXPECT_EQ(m_pVLA->m_pInpDI, nullptr);
        EXPECT_EQ(m_pVLA->m_pInpKeyboard, nullptr);
        EXPECT_EQ(m_pVLA->m_pInpMouse, nullptr);
    }
}

TEST_F(InpLiveTest, AcquireFailureOnFocusGainIsAWarning)
{
    Start(true, true);
    m_pVLA->m_bInpKeyboardAcquired = false;
    m_pVLA->m_bInpMouseAcquired = false;
    PlatInputUnacquire(m_pVLA->m_pInpKeyboard);
    PlatInputUnacquire(m_pVLA->m_pInpMouse);
    PlatInputInjectResult(PlatInputOp::Acquire, static_cast<int32_t>(0x8007001Eu));
    const size_t before = ReadFile("gamelog.txt").size();
    m_pVLA->InpReacquire();
    const std::string warning = " !: Cannot acquire keyboard!\n !: -2147024866\n";
    EXPECT_EQ(ReadFile("gamelog.txt").substr(before), warning);
    EXPECT_FALSE(m_pVLA->m_bInpKeyboardAcquired);
    EXPECT_TRUE(m_pVLA->m_bInpMouseAcquired);
    // The next update acquires it without a word.
    m_pVLA->InpUpdate();
    EXPECT_TRUE(m_pVLA->m_bInpKeyboardAcquired);
    EXPECT_EQ(ReadFile("gamelog.txt").substr(before), warning);
}

TEST_F(InpLiveTest, InputLostIsReacquiredAndReadAgainInTheSameUpdate)
{
    Start(true, true);
    XDo("keydown b");
    ASSERT_TRUE(FramesUntil([&] { return m_pVLA->KeyboardIsKeyPressed(48); }));
    // Lost on the keyboard read, then on the mouse read: both come back within the update.
    PlatInputInjectResult(PlatInputOp::GetDeviceState, PLATINP_ERR_INPUTLOST);
    PlatInputInjectResult(PlatInputOp::GetDeviceState, PLATINP_OK);
    PlatInputInjectResult(PlatInputOp::GetDeviceState, PLATINP_ERR_INPUTLOST);
    EXPECT_NO_THROW(m_pVLA->InpUpdate());
    EXPECT_TRUE(m_pVLA->KeyboardIsKeyPressed(48));
    EXPECT_FALSE(m_pVLA->KeyboardIsKeyClicked(48));
    EXPECT_TRUE(m_pVLA->m_bInpKeyboardAcquired);
    EXPECT_TRUE(m_pVLA->m_bInpMouseAcquired);
    XDo("keyup b");
}

TEST_F(InpLiveTest, ReadFailuresRaiseGeneralErrors)
{
    Start(true, true);
    constexpr int32_t kLost = PLATINP_ERR_INPUTLOST;
    struct ReadFailure
    {
        std::vector<int32_t> m_Reads;
        std::vector<int32_t> m_Acquires;
        const char* m_pszText;
        int32_t m_iCode;
    } cases[] = {
        {{kFailCode}, {}, "Cannot get Keyboard state!", kFailCode},
        {{kLost}, {kFailCode}, "Cannot reacquire Keyboard!", kFailCode},
        {{kLost, kFailCode}, {}, "Second try of getting Keyboard state failed!", kFailCode},
        {{PLATINP_OK, kFailCode}, {}, "Cannot get Mouse state!", kFailCode},
        {{PLATINP_OK, kLost}, {kFailCode}, "Cannot reacquire Mouse!", kFailCode},
        {{PLATINP_OK, kLost, kFailCode},
         {},
         "Second try of getting Mouse state failed!",
         kFailCode},
        // Not acquired although the flag says so: not the lost result, so an error.
        {{PLATINP_ERR_NOTACQUIRED}, {}, "Cannot get Keyboard state!", PLATINP_ERR_NOTACQUIRED},
    };
    for (const ReadFailure& c : cases)
    {
        for (int32_t r : c.m_Reads)
            PlatInputInjectResult(PlatInputOp::GetDeviceState, r);
        for (int32_t r : c.m_Acquires)
            PlatInputInjectResult(PlatInputOp::Acquire, r);
        try
        {
            m_pVLA->InpUpdate();
            ADD_FAILURE() << "no error for " << c.m_pszText;
        }
        catch (const CEHSException& e)
        {
            EXPECT_EQ(e.m_iType, EHS_GENERAL);
            EXPECT_EQ(e.m_iCode, c.m_iCode);
            EXPECT_EQ(e.m_strDesc, c.m_pszText);
        }
        PlatInputClearInjected();
        m_pVLA->InpReacquire();
    }
}

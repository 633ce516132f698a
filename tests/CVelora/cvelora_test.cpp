// The engine root: timer clamp and FPS, focus handling, callbacks and the main loop.
#include "CVelora/cvelora.h"
#include "Platform/plat_sys.h"
#include "Platform/plat_window.h"
#include "test_support.h"

namespace
{
uint32_t g_uiNow = 0;
uint32_t FakeClock()
{
    return g_uiNow;
}

class EngineTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        g_uiNow = 100000;
        PlatSetTimeSource(FakeClock);
        ResetQuitRequest();
        m_pVLA = new CVelora;
    }
    void TearDown() override
    {
        delete m_pVLA;
        SetWindowActive(false);
        PlatSetTimeSource(nullptr);
        TempDirTest::TearDown();
    }
    CVelora* m_pVLA = nullptr;
};

int g_iLost = 0;
int g_iRestored = 0;
void OnLost()
{
    ++g_iLost;
}
void OnRestored()
{
    ++g_iRestored;
}
} // namespace

TEST_F(EngineTest, ConstructionPrimesTheTimer)
{
    EXPECT_EQ(GetEngine(), m_pVLA);
    EXPECT_EQ(m_pVLA->m_uiCurrentTime, 100000u);
    EXPECT_EQ(m_pVLA->m_uiPreviousTime, 99999u);
    EXPECT_EQ(m_pVLA->m_iDelta, 1);
    EXPECT_EQ(m_pVLA->TimerGetFPS(), 1);
}

TEST_F(EngineTest, TimerDeltaIsClampedTo1To300)
{
    struct Row
    {
        uint32_t step;
        int delta;
        float seconds;
    };
    const Row rows[] = {
        {5000, 300, 0.3f}, {0, 1, 0.001f}, {16, 16, 0.016f}, {300, 300, 0.3f}, {301, 300, 0.3f}};
    for (const Row& row : rows)
    {
        g_uiNow += row.step;
        m_pVLA->UpdateTimer();
        EXPECT_EQ(m_pVLA->m_iDelta, row.delta) << row.step;
        EXPECT_FLOAT_EQ(m_pVLA->TimerGetDelta(), row.seconds) << row.step;
    }
}

TEST_F(EngineTest, FpsFirstValueIs101WithSteady10msFrames)
{
    // Construction primed the previous time at 99999, so the first step lands at 100009.
    g_uiNow -= 1;
    for (int step = 1; step <= 99; ++step)
    {
        g_uiNow += 10;
        m_pVLA->UpdateTimer();
        ASSERT_EQ(m_pVLA->TimerGetFPS(), 1) << step;
    }
    g_uiNow += 10;
    m_pVLA->UpdateTimer();
    EXPECT_EQ(m_pVLA->TimerGetFPS(), 101);
    for (int step = 1; step <= 100; ++step)
    {
        g_uiNow += 10;
        m_pVLA->UpdateTimer();
    }
    EXPECT_EQ(m_pVLA->TimerGetFPS(), 100);
}

TEST_F(EngineTest, FocusGainRestartsTheFrameMeasurement)
{
    m_pVLA->RegisterCallback(OnLost, VLACB_LOSTFOCUS);
    m_pVLA->RegisterCallback(OnRestored, VLACB_RESTOREDFOCUS);
    g_iLost = g_iRestored = 0;
    SetWindowActive(true);

    PlatPostActivate(0);
    EXPECT_EQ(m_pVLA->UpdateAllSystems(), 0);
    EXPECT_EQ(g_iLost, 1);
    g_uiNow += 10000;
    PlatPostActivate(1);
    PlatPostActivate(2); // already active: nothing more
    EXPECT_EQ(m_pVLA->UpdateAllSystems(), 1);
    EXPECT_EQ(g_iRestored, 1);
    EXPECT_EQ(m_pVLA->m_iDelta, 1); // the step after the double step counts from the gain

    g_uiNow += 7;
    m_pVLA->UpdateTimer();
    EXPECT_EQ(m_pVLA->m_iDelta, 7);

    const std::string log = ReadFile(kLogFileName);
    EXPECT_NE(log.find("\nFOCUS LOST\nFOCUS GAINED\n"), std::string::npos);
}

TEST_F(EngineTest, InactiveWindowRunsNoFrames)
{
    SetWindowActive(false);
    EXPECT_EQ(m_pVLA->UpdateAllSystems(), 0);
    SetWindowActive(true);
    EXPECT_EQ(m_pVLA->UpdateAllSystems(), 1);
}

TEST_F(EngineTest, RegisterCallbackLogLines)
{
    m_pVLA->RegisterCallback(OnLost, VLACB_LOSTFOCUS);
    m_pVLA->RegisterCallback(OnRestored, 4);
    m_pVLA->RegisterCallback(OnRestored, VLACB_RESTOREDFOCUS);
    m_pVLA->RegisterCallback(OnLost, VLACB_TERMINATION);
    const std::string sep = "|---------------------------------------------------|\n";
    EXPECT_EQ(ReadFile(kLogFileName),
              sep + "   +: Callback function for lost focus registered.\n" + sep + "\n" + sep +
                  sep + "\n" + sep + "   +: Callback function for restored focus registered.\n" +
                  sep + "\n" + sep + "   +: Callback function for termination registered.\n" + sep +
                  "\n");
    EXPECT_EQ(m_pVLA->m_pfnLostFocus, OnLost);
    EXPECT_EQ(m_pVLA->m_pfnRestoredFocus, OnRestored);
    EXPECT_EQ(m_pVLA->m_pfnTermination, OnLost);
}

namespace
{
int g_iFrames = 0;
bool StopAfterThree()
{
    return ++g_iFrames < 3;
}
bool NeverCalled()
{
    ++g_iFrames;
    return true;
}
} // namespace

TEST_F(EngineTest, FrameReturningFalseEndsTheLoopWithoutQuitFlag)
{
    SetWindowActive(true);
    g_iFrames = 0;
    RunMainLoop(StopAfterThree);
    EXPECT_EQ(g_iFrames, 3);
    EXPECT_FALSE(IsQuitRequested());
}

TEST_F(EngineTest, QuitMessageEndsTheLoopBeforeAFrame)
{
    SetWindowActive(true);
    g_iFrames = 0;
    PlatPostQuitMessage();
    RunMainLoop(NeverCalled);
    EXPECT_EQ(g_iFrames, 0);
    EXPECT_TRUE(IsQuitRequested());
}

TEST_F(EngineTest, DestroyMessagePostsQuit)
{
    SetWindowActive(true);
    PlatPostDestroy();
    EXPECT_EQ(m_pVLA->UpdateAllSystems(), -1);
    EXPECT_FALSE(IsWindowActive());
}

TEST_F(EngineTest, RequestQuitStopsTheLoop)
{
    RequestQuit();
    g_iFrames = 0;
    RunMainLoop(NeverCalled);
    EXPECT_EQ(g_iFrames, 0);
    EXPECT_TRUE(IsQuitRequested());
}

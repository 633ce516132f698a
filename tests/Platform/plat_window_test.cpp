// The game window on a real (virtual) display: sizes by mode, title, and the activation flag.
#include "CVelora/cvelora.h"
#include "Platform/plat_window.h"
#include "test_support.h"

namespace
{
class WindowTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ResetQuitRequest();
        m_pVLA = new CVelora;
        m_pVLA->SetAppName("Quibbet", "v. 1.0");
    }
    void TearDown() override
    {
        if (m_pVLA->m_pWindow != nullptr)
            DestroyGameWindow(m_pVLA->m_pWindow);
        delete m_pVLA;
        TempDirTest::TearDown();
    }
    CVelora* m_pVLA = nullptr;
};
} // namespace

TEST_F(WindowTest, WindowedClientAreaIsExactlyTheRequestedSize)
{
    CreateGameWindow(m_pVLA->m_pWindow, 800, 600, true);
    ASSERT_NE(m_pVLA->m_pWindow, nullptr);
    EXPECT_TRUE(IsWindowActive());
    EXPECT_FALSE(PlatIsFullScreen(m_pVLA->m_pWindow));
    int w = 0, h = 0;
    PlatGetClientSize(m_pVLA->m_pWindow, w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

TEST_F(WindowTest, FullScreenCoversTheDesktop)
{
    CreateGameWindow(m_pVLA->m_pWindow, 800, 600, false);
    ASSERT_NE(m_pVLA->m_pWindow, nullptr);
    EXPECT_TRUE(PlatIsFullScreen(m_pVLA->m_pWindow));
    int w = 0, h = 0;
    PlatGetClientSize(m_pVLA->m_pWindow, w, h);
    // The tests run on a 1024 x 768 virtual screen.
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
}

TEST_F(WindowTest, ClosingTheWindowEndsTheMainLoop)
{
    CreateGameWindow(m_pVLA->m_pWindow, 640, 480, true);
    static int s_iFrames = 0;
    s_iFrames = 0;
    RunMainLoop(
        []
        {
            if (++s_iFrames == 2)
                PlatPostDestroy(); // what the window system sends when the user closes it
            return true;
        });
    EXPECT_EQ(s_iFrames, 2);
    EXPECT_TRUE(IsQuitRequested());
    EXPECT_FALSE(IsWindowActive());
}

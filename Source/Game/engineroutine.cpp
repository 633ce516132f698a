// The game's entry routine (see engineroutine.h). For now it opens the window, runs the loop
// until the window is closed, and shuts down in order.
#include "Game/engineroutine.h"

#include "CVelora/cvelora.h"

namespace
{
constexpr int kFileID = 1005;
} // namespace

void ShutdownGame()
{
    Checkpoint(kFileID);
}

namespace
{
bool GameFrame()
{
    return true;
}
} // namespace

void GameMain(CVelora* fp_pVLA)
{
    Checkpoint(kFileID);
    fp_pVLA->SetAppName("Quibbet", "v. 1.0");
    fp_pVLA->RegisterCallback(ShutdownGame, VLACB_TERMINATION);
    CreateGameWindow(fp_pVLA->m_pWindow, 800, 600, false);
    RunMainLoop(GameFrame);
    ShutdownGame();
    DestroyGameWindow(fp_pVLA->m_pWindow);
    fp_pVLA->m_pWindow = nullptr;
}

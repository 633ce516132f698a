// The game's entry routine (see engineroutine.h): starts the engine in the game's order, loads
// the game's resources, runs the main loop and shuts the game down.
#include "Game/engineroutine.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_gfx_main.h"
#include "CVelora/cvelora_inp_keynames.h"
#include "Platform/plat_sys.h"

namespace
{
constexpr int kFileID = 1005;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kSampleRate = 44100;
constexpr int kFirstTag = 1;
constexpr int kLastTag = 8;

CVelora* g_pVLA = nullptr;
int g_iDisplayMode = 1;

void Engine_InitResourcesSubsystem()
{
    Checkpoint(kFileID);
    if (g_pVLA == nullptr)
        ThrowGeneral("Error in Engine_InitResourcesSubsystem: pVLA == NULL!");
    g_pVLA->InitResourcesSubsystem();
}

void CheckVideoModes()
{
    Checkpoint(kFileID);
    g_pVLA->GfxPreinit(kScreenWidth, kScreenHeight);
    VIDEOCAPS tmp_Caps;
    g_pVLA->GfxGetVideoCaps(tmp_Caps);
    if (tmp_Caps.m_Modes[1].m_bValid)
        g_iDisplayMode = 2;
    else if (tmp_Caps.m_Modes[0].m_bValid)
        g_iDisplayMode = 1;
    else
    {
        PlatMessageBox("No video modes available!",
                       "No video modes available: your video card cannot handle 800x600x16bit "
                       "resolution");
        RequestQuit();
    }
}

void StartEngineSubsystems()
{
    Checkpoint(kFileID);
    g_pVLA->GfxInit(g_iDisplayMode == 1 ? 1 : 2, false);
    g_pVLA->InpInit();
    g_pVLA->InitSoundSubsystem(kSampleRate);
    g_pVLA->InitScriptsSubsystem();
}

void GameModInit()
{
    Checkpoint(kFileID);
    for (int tmp_iTag = kFirstTag; tmp_iTag <= kLastTag; ++tmp_iTag)
        g_pVLA->LoadResources(tmp_iTag);
}

void SetupGameScreen()
{
    Checkpoint(kFileID);
    g_pVLA->PlayMusic("MUS_GAME", true, 3000);
}

bool GameFrame()
{
    Checkpoint(kFileID);
    static const uint8_t s_uiEscape = KeyNameToCode("ESCAPE");
    return !g_pVLA->KeyboardIsKeyClicked(s_uiEscape);
}

void OnTermination() { ShutdownGame(); }
} // namespace

void ShutdownGame()
{
    Checkpoint(kFileID);
    if (g_pVLA != nullptr && g_pVLA->m_bSfxInitialised)
        g_pVLA->StopMusic(3000);
}

void GameMain(CVelora* fp_pVLA)
{
    Checkpoint(kFileID);
    g_pVLA = fp_pVLA;
    g_pVLA->SetAppName("Quibbet", "v. 1.0");
    g_pVLA->RegisterCallback(OnTermination, VLACB_TERMINATION);
    Engine_InitResourcesSubsystem();
    if (!IsQuitRequested())
        CheckVideoModes();
    if (!IsQuitRequested())
        StartEngineSubsystems();
    if (!IsQuitRequested())
    {
        GameModInit();
        SetupGameScreen();
        RunMainLoop(GameFrame);
    }
    ShutdownGame();
}

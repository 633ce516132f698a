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

void DrawTitleScreen()
{
    Checkpoint(kFileID);
    g_pVLA->SceneBegin();
    g_pVLA->SceneClearScreen(0.08f, 0.10f, 0.18f);
    g_pVLA->FontSet("FNT_FONT1");
    const int tmp_iFont = g_pVLA->FontGetID("FNT_FONT1");
    auto tmp_CentredX = [tmp_iFont](const char* fp_pszText, float fp_fScale)
    {
        return (kScreenWidth - g_pVLA->FontGetStringWidth(fp_pszText, tmp_iFont, fp_fScale, 0.0f)) /
               2.0f;
    };
    g_pVLA->FontDrawTextEx("Quibbet", tmp_CentredX("Quibbet", 2.0f), 220.0f, 0, 0, 1.0f, true, 2.0f,
                           0.0f, 0.0f);
    g_pVLA->FontDrawText("Press Escape to quit", tmp_CentredX("Press Escape to quit", 1.0f), 320.0f,
                         0, 0, 0.8f);
    g_pVLA->FontDrawText(("FPS: " + std::to_string(g_pVLA->TimerGetFPS())).c_str(), 10.0f, 10.0f, 0,
                         0, 0.6f);
    g_pVLA->SceneEnd();
    g_pVLA->ScenePresent();
}

bool GameFrame()
{
    Checkpoint(kFileID);
    static const uint8_t s_uiEscape = KeyNameToCode("ESCAPE");
    if (g_pVLA->KeyboardIsKeyClicked(s_uiEscape))
        return false;
    DrawTitleScreen();
    return true;
}

void OnTermination()
{
    ShutdownGame();
}
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

// The engine root object: construction and ordered teardown, callbacks, the frame timer,
// focus handling, the engine step and the main loop.
#include "CVelora/cvelora.h"

#include "Platform/plat_sys.h"
#include "Platform/plat_window.h"

namespace
{
constexpr int kFileID = 112;

CVelora* g_pEngine = nullptr;
bool g_bQuitRequested = false;
} // namespace

CVelora::CVelora()
{
    Checkpoint(kFileID);
    g_pEngine = this;
    m_uiCurrentTime = PlatGetTime();
    m_uiPreviousTime = m_uiCurrentTime - 1;
    // Each run starts a new log.
    PlatDeleteFile(kLogFileName);
}

CVelora::~CVelora()
{
    Checkpoint(kFileID);
    if (m_bFatalShutdown && m_pfnTermination != nullptr)
        m_pfnTermination();

    // Subsystems stop in this order, each only if it was started:
    // input, sound, graphics, resources, scripts.
    if (m_bInpInitialised)
        InpDeinit();

    if (m_bSfxInitialised)
        DeinitSoundSubsystem();

    if (m_bGfxStarted)
        GfxDeinit();

    if (m_bResInitialised)
        DeinitResourcesSubsystem();

    if (m_bScrInitialised)
        DeinitScriptsSubsystem();

    LogAddEmptyLines(1);
    LogAddSeparator(1);
    LogAddSeparator(1);
    LogAddEntry("End of log.", 3);
    LogAddSeparator(1);
    LogAddSeparator(1);
    LogAddEmptyLines(1);

    if (g_pEngine == this)
        g_pEngine = nullptr;
}

void CVelora::SetAppName(const std::string& fp_strName, const std::string& fp_strVersion)
{
    Checkpoint(kFileID);
    m_strAppName = fp_strName;
    m_strAppVersion = fp_strVersion;
    if (m_pWindow != nullptr)
        PlatSetWindowTitle(m_pWindow, m_strAppName);

    const PlatLocalTime tmp_Now = PlatGetLocalTime();
    LogAddEmptyLines(2);
    LogAddSeparator(1);
    LogAddEntry("Starting " + fp_strName + " " + fp_strVersion, 3);
    LogAddEntry(std::string("Powered by Velora2D Engine ") + kEngineVersion, 3);
    LogAddEntry(std::string("Built: ") + __DATE__ + "   " + __TIME__, 3);
    LogAddEmptyLines(1);
    LogAddEntry("Execution date: " + std::to_string(tmp_Now.day) + "." +
                    std::to_string(tmp_Now.month) + "." + std::to_string(tmp_Now.year),
                3);
    LogAddEntry("Execution time: " + std::to_string(tmp_Now.hour) + ":" +
                    std::to_string(tmp_Now.minute),
                3);
    LogAddSeparator(1);
    LogAddEmptyLines(2);
}

void CVelora::RegisterCallback(VLACallback fp_pfnFunc, int fp_iKind)
{
    Checkpoint(kFileID);
    LogAddSeparator(1);
    switch (fp_iKind)
    {
    case VLACB_LOSTFOCUS:
        m_pfnLostFocus = fp_pfnFunc;
        LogAddEntry("Callback function for lost focus registered.", 4);
        break;
    case VLACB_RESTOREDFOCUS:
        m_pfnRestoredFocus = fp_pfnFunc;
        LogAddEntry("Callback function for restored focus registered.", 4);
        break;
    case VLACB_TERMINATION:
        m_pfnTermination = fp_pfnFunc;
        LogAddEntry("Callback function for termination registered.", 4);
        break;
    default:
        break;
    }
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

int CVelora::ProcessMessages()
{
    PlatMessage tmp_Msg;
    while (PlatPeekMessage(tmp_Msg))
    {
        switch (tmp_Msg.m_Type)
        {
        case PlatMsg::Quit:
            return -1;
        case PlatMsg::Destroy:
            GameWindowProc(m_pWindow, kWM_DESTROY, 0);
            break;
        case PlatMsg::Activate:
            GameWindowProc(m_pWindow, kWM_ACTIVATE, tmp_Msg.m_iParam);
            break;
        case PlatMsg::Other:
            break;
        }
    }
    return 0;
}

int CVelora::UpdateAllSystems()
{
    if (ProcessMessages() == -1)
        return -1;
    if (!IsWindowActive())
        return 0;
    if (m_pD3DDevice != nullptr && !GfxCheckDevice())
        return 0;
    UpdateTimer();
    InpUpdate();
    UpdateMusic();
    return 1;
}

void CVelora::UpdateTimer()
{
    const uint32_t tmp_uiNow = PlatGetTime();
    m_iDelta = static_cast<int32_t>(tmp_uiNow - m_uiPreviousTime);
    m_uiCurrentTime = tmp_uiNow;
    m_uiPreviousTime = tmp_uiNow;
    // A stall (window drag, loading, breakpoint) must not produce one huge frame.
    if (m_iDelta > 300)
        m_iDelta = 300;
    if (m_iDelta < 1)
        m_iDelta = 1;
    m_iFPSAccumulator += m_iDelta;
    m_fDeltaSeconds = static_cast<float>(m_iDelta) * 0.001f;
    if (m_iFPSAccumulator >= 1000)
    {
        m_iFPS = m_iFrameCounter + 1;
        m_iFPSAccumulator = 0;
        m_iFrameCounter = 0;
    }
    else
    {
        ++m_iFrameCounter;
    }
}

void CVelora::OnFocusGained()
{
    LogAddLine("FOCUS GAINED");
    if (m_pfnRestoredFocus != nullptr)
        m_pfnRestoredFocus();
    // The first step absorbs the inactive period, the second restarts the measurement.
    UpdateTimer();
    UpdateTimer();
    InpReacquire();
    ResumeAudio();
}

void CVelora::OnFocusLost()
{
    if (m_pfnLostFocus != nullptr)
        m_pfnLostFocus();
    LogAddLine("FOCUS LOST");
    VQuadDropBatch();
    if (m_bSfxInitialised)
        PauseAudio();
}

CVelora* GetEngine()
{
    Checkpoint(kFileID);
    return g_pEngine;
}

void RunMainLoop(VLAFrameFunc fp_pfnFrame)
{
    while (!g_bQuitRequested)
    {
        const int tmp_iResult = GetEngine()->UpdateAllSystems();
        if (tmp_iResult == 0)
            PlatWaitMessage();
        else if (tmp_iResult == -1)
            g_bQuitRequested = true;
        else if (!fp_pfnFrame())
            return;
    }
}

void RequestQuit()
{
    g_bQuitRequested = true;
}
bool IsQuitRequested()
{
    return g_bQuitRequested;
}
void ResetQuitRequest()
{
    g_bQuitRequested = false;
}

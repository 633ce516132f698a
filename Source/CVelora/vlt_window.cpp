// Program entry (single-instance guard, fault protection, engine lifetime) and the game
// window: creation, removal and the window procedure that reports activation changes.
#include "CVelora/cvelora.h"

#include "Platform/plat_sys.h"
#include "Platform/plat_window.h"

namespace
{
constexpr int kFileID = 111;
constexpr const char* kWindowClassName = "vla_gamewindow";

bool g_bWindowActive = false;
} // namespace

bool IsWindowActive()
{
    return g_bWindowActive;
}
void SetWindowActive(bool fp_bActive)
{
    g_bWindowActive = fp_bActive;
}

int VeloraProgramEntry(VLAGameMain fp_pfnGameMain)
{
    if (!PlatAcquireSingleInstance("Velora2D App"))
        return 0;
    ReportFatalError(
        [fp_pfnGameMain]
        {
            Checkpoint(kFileID);
            CVelora* tmp_pVLA = new CVelora;
            fp_pfnGameMain(tmp_pVLA);
            delete tmp_pVLA;
        });
    return 0;
}

void CreateGameWindow(PlatWindow*& fp_pWindow, int fp_iWidth, int fp_iHeight, bool fp_bWindowed)
{
    Checkpoint(kFileID);
    if (!PlatRegisterWindowClass(kWindowClassName))
        ThrowGeneral("Cannot register window class!");
    const CVelora* tmp_pVLA = GetEngine();
    const std::string tmp_strTitle = tmp_pVLA != nullptr ? tmp_pVLA->m_strAppName : std::string();
    PlatWindow* tmp_pWindow = PlatCreateWindow(tmp_strTitle, fp_iWidth, fp_iHeight, fp_bWindowed);
    if (tmp_pWindow == nullptr)
        ThrowGeneral("Invalid window handle returned by CreateWindowEx()");
    fp_pWindow = tmp_pWindow;
    // Already active when shown, so the first activation does not count as a focus gain.
    g_bWindowActive = true;
    PlatShowWindow(tmp_pWindow);
}

void DestroyGameWindow(PlatWindow* fp_pWindow)
{
    Checkpoint(kFileID);
    PlatHideWindow(fp_pWindow);
    PlatDestroyWindow(fp_pWindow);
    PlatUnregisterWindowClass();
}

void GameWindowProc(PlatWindow*, int fp_iMessage, int fp_iParam)
{
    switch (fp_iMessage)
    {
    case kWM_DESTROY:
        g_bWindowActive = false;
        PlatPostQuitMessage();
        break;
    case kWM_ACTIVATE:
        if (fp_iParam == 1 || fp_iParam == 2)
        {
            if (!g_bWindowActive)
            {
                g_bWindowActive = true;
                if (CVelora* tmp_pVLA = GetEngine())
                    tmp_pVLA->OnFocusGained();
            }
        }
        else if (g_bWindowActive)
        {
            g_bWindowActive = false;
            if (CVelora* tmp_pVLA = GetEngine())
                tmp_pVLA->OnFocusLost();
        }
        break;
    default:
        break;
    }
}

// SDL implementation of the game window and its message queue (see plat_window.h).
#include "Platform/plat_window.h"
#include "Platform/plat_window_sdl.h"

#include <vector>

struct PlatWindow
{
    SDL_Window* m_pSDLWindow = nullptr;
    bool m_bFullScreen = false;
    int m_iLogicalWidth = 0; // the requested size: the picture's size in full screen too
    int m_iLogicalHeight = 0;
};

namespace
{
PlatWindow* g_pGameWindow = nullptr;
std::vector<PlatEventListener> g_Listeners;
bool g_bVideoReady = false;
// A posted quit is delivered once the queue holds nothing else, as quit messages always were.
bool g_bQuitPosted = false;

// The queue works before any window exists (tests post and pump messages without one).
void EnsureEvents()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        SDL_InitSubSystem(SDL_INIT_EVENTS);
}

// Our own event types for messages the window system itself would send.
Uint32 ActivateEventType()
{
    static const Uint32 s_uiType = SDL_RegisterEvents(2);
    return s_uiType;
}
Uint32 DestroyEventType()
{
    return ActivateEventType() + 1;
}

bool Translate(const SDL_Event& fp_Event, PlatMessage& fp_Msg)
{
    fp_Msg = {PlatMsg::Other, 0};
    if (fp_Event.type == SDL_QUIT)
        fp_Msg.m_Type = PlatMsg::Quit;
    else if (fp_Event.type == ActivateEventType())
        fp_Msg = {PlatMsg::Activate, fp_Event.user.code};
    else if (fp_Event.type == DestroyEventType())
        fp_Msg.m_Type = PlatMsg::Destroy;
    else if (fp_Event.type == SDL_WINDOWEVENT)
    {
        switch (fp_Event.window.event)
        {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            fp_Msg = {PlatMsg::Activate, 1};
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
        case SDL_WINDOWEVENT_MINIMIZED:
            fp_Msg = {PlatMsg::Activate, 0};
            break;
        case SDL_WINDOWEVENT_CLOSE:
            fp_Msg.m_Type = PlatMsg::Destroy;
            break;
        default:
            break;
        }
    }
    return true;
}
} // namespace

bool PlatRegisterWindowClass(const std::string& fp_strClassName)
{
    // The X11 window class carries the class name, as on the system the game came from.
    setenv("SDL_VIDEO_X11_WMCLASS", fp_strClassName.c_str(), 1);
    // Closing the window is reported as a destroy message; the engine posts the quit itself.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0)
        return false;
    g_bVideoReady = true;
    return true;
}

void PlatUnregisterWindowClass()
{
    if (g_bVideoReady)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    g_bVideoReady = false;
}

PlatWindow* PlatCreateWindow(const std::string& fp_strTitle, int fp_iWidth, int fp_iHeight,
                             bool fp_bWindowed)
{
    if (!g_bVideoReady)
        return nullptr;
    int tmp_iX = 100, tmp_iY = 100, tmp_iW = fp_iWidth, tmp_iH = fp_iHeight;
    Uint32 tmp_uiFlags = SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL;
    if (!fp_bWindowed)
    {
        // No mode switch: a borderless window covering the desktop; the device scales the
        // picture into it. Created at full size because without a window manager a later
        // resize is not honoured.
        SDL_DisplayMode tmp_Mode{};
        if (SDL_GetDesktopDisplayMode(0, &tmp_Mode) == 0)
        {
            tmp_iW = tmp_Mode.w;
            tmp_iH = tmp_Mode.h;
        }
        tmp_iX = tmp_iY = 0;
        tmp_uiFlags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
    }
    SDL_Window* tmp_pSDL =
        SDL_CreateWindow(fp_strTitle.c_str(), tmp_iX, tmp_iY, tmp_iW, tmp_iH, tmp_uiFlags);
    if (tmp_pSDL == nullptr)
    {
        // A display without GL still gets a window (the graphics device falls back to null).
        tmp_pSDL = SDL_CreateWindow(fp_strTitle.c_str(), tmp_iX, tmp_iY, tmp_iW, tmp_iH,
                                    tmp_uiFlags & ~SDL_WINDOW_OPENGL);
        if (tmp_pSDL == nullptr)
            return nullptr;
    }
    auto* tmp_pWindow = new PlatWindow{tmp_pSDL, !fp_bWindowed, fp_iWidth, fp_iHeight};
    g_pGameWindow = tmp_pWindow;
    return tmp_pWindow;
}

void PlatShowWindow(PlatWindow* fp_pWindow)
{
    if (fp_pWindow == nullptr)
        return;
    SDL_ShowWindow(fp_pWindow->m_pSDLWindow);
    SDL_RaiseWindow(fp_pWindow->m_pSDLWindow);
}

void PlatHideWindow(PlatWindow* fp_pWindow)
{
    if (fp_pWindow != nullptr)
        SDL_HideWindow(fp_pWindow->m_pSDLWindow);
}

void PlatDestroyWindow(PlatWindow* fp_pWindow)
{
    if (fp_pWindow == nullptr)
        return;
    if (g_pGameWindow == fp_pWindow)
        g_pGameWindow = nullptr;
    SDL_DestroyWindow(fp_pWindow->m_pSDLWindow);
    delete fp_pWindow;
}

void PlatGetClientSize(const PlatWindow* fp_pWindow, int& fp_iWidth, int& fp_iHeight)
{
    fp_iWidth = fp_iHeight = 0;
    if (fp_pWindow != nullptr)
        SDL_GetWindowSize(fp_pWindow->m_pSDLWindow, &fp_iWidth, &fp_iHeight);
}

void PlatGetLogicalSize(const PlatWindow* fp_pWindow, int& fp_iWidth, int& fp_iHeight)
{
    fp_iWidth = fp_pWindow != nullptr ? fp_pWindow->m_iLogicalWidth : 0;
    fp_iHeight = fp_pWindow != nullptr ? fp_pWindow->m_iLogicalHeight : 0;
}

bool PlatIsFullScreen(const PlatWindow* fp_pWindow)
{
    return fp_pWindow != nullptr && fp_pWindow->m_bFullScreen;
}

void PlatSetWindowTitle(PlatWindow* fp_pWindow, const std::string& fp_strTitle)
{
    if (fp_pWindow != nullptr)
        SDL_SetWindowTitle(fp_pWindow->m_pSDLWindow, fp_strTitle.c_str());
}

PlatWindow* PlatGetGameWindow()
{
    return g_pGameWindow;
}

SDL_Window* PlatGetSDLWindow(PlatWindow* fp_pWindow)
{
    return fp_pWindow != nullptr ? fp_pWindow->m_pSDLWindow : nullptr;
}

void PlatAddEventListener(PlatEventListener fp_pfnListener)
{
    g_Listeners.push_back(fp_pfnListener);
}

bool PlatPeekMessage(PlatMessage& fp_Msg)
{
    EnsureEvents();
    SDL_Event tmp_Event;
    if (SDL_PollEvent(&tmp_Event) == 0)
    {
        if (!g_bQuitPosted)
            return false;
        g_bQuitPosted = false;
        fp_Msg = {PlatMsg::Quit, 0};
        return true;
    }
    for (PlatEventListener tmp_pfnListener : g_Listeners)
        tmp_pfnListener(tmp_Event);
    return Translate(tmp_Event, fp_Msg);
}

void PlatWaitMessage()
{
    EnsureEvents();
    if (g_bQuitPosted)
        return;
    // A null event waits without removing the message.
    SDL_WaitEvent(nullptr);
}

void PlatPostQuitMessage()
{
    g_bQuitPosted = true;
}

void PlatPostActivate(int fp_iParam)
{
    EnsureEvents();
    SDL_Event tmp_Event{};
    tmp_Event.type = ActivateEventType();
    tmp_Event.user.code = fp_iParam;
    SDL_PushEvent(&tmp_Event);
}

void PlatPostDestroy()
{
    EnsureEvents();
    SDL_Event tmp_Event{};
    tmp_Event.type = DestroyEventType();
    SDL_PushEvent(&tmp_Event);
}

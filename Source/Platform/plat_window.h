// The one game window and the message queue (SDL window and event pump).
// Window events become messages: quit, destroy (the user closed the window) and activation.
#pragma once

#include <string>

struct PlatWindow;

enum class PlatMsg
{
    Quit,     // the quit message: ends the main loop
    Destroy,  // the window was closed by the user
    Activate, // m_iParam: 1 activated, 0 deactivated (or minimised)
    Other,    // anything else (input events, exposes ...): nothing for the engine to do
};

struct PlatMessage
{
    PlatMsg m_Type;
    int m_iParam;
};

// Prepares the video system for game windows (the window class); false on failure.
bool PlatRegisterWindowClass(const std::string& fp_strClassName);
void PlatUnregisterWindowClass();

// Full screen: a borderless window at (0, 0) of the desktop size, whose picture is scaled.
// Windowed: client area of exactly fp_iWidth x fp_iHeight at (100, 100). Null on failure.
PlatWindow* PlatCreateWindow(const std::string& fp_strTitle, int fp_iWidth, int fp_iHeight,
                             bool fp_bWindowed);
void PlatShowWindow(PlatWindow* fp_pWindow);
void PlatHideWindow(PlatWindow* fp_pWindow);
void PlatDestroyWindow(PlatWindow* fp_pWindow);
void PlatGetClientSize(const PlatWindow* fp_pWindow, int& fp_iWidth, int& fp_iHeight);
// The size the window was asked for: the client size when windowed, the size of the scaled
// picture in full screen.
void PlatGetLogicalSize(const PlatWindow* fp_pWindow, int& fp_iWidth, int& fp_iHeight);
bool PlatIsFullScreen(const PlatWindow* fp_pWindow);
void PlatSetWindowTitle(PlatWindow* fp_pWindow, const std::string& fp_strTitle);
PlatWindow* PlatGetGameWindow(); // the window created last, or null

// Removes the next message without waiting; false when the queue is empty.
bool PlatPeekMessage(PlatMessage& fp_Msg);
// Blocks until a message is queued (not removed).
void PlatWaitMessage();
void PlatPostQuitMessage();
// Test hooks: queue an activation or destroy message as the window system would.
void PlatPostActivate(int fp_iParam);
void PlatPostDestroy();

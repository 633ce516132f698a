// Platform-internal view of the game window for the other SDL-based platform modules
// (graphics device, input). Engine code never includes this file.
#pragma once

#include <SDL.h>

struct PlatWindow;

SDL_Window* PlatGetSDLWindow(PlatWindow* fp_pWindow);

// Every SDL event the pump removes is shown to these listeners first (input devices use this
// for the wheel and focus bookkeeping). At most a few listeners; registered once.
using PlatEventListener = void (*)(const SDL_Event&);
void PlatAddEventListener(PlatEventListener fp_pfnListener);

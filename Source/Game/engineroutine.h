// The game's entry routine: names the application, starts the engine, runs the main loop and
// shuts the game down.
#pragma once

class CVelora;

void GameMain(CVelora* fp_pVLA);
void ShutdownGame();

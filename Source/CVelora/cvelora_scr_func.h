// Calling global Lua functions by name with CLuaValue parameters and results: the engine
// members AddScriptParam and CallScriptFunction (declared on CVelora in cvelora.h).
#pragma once

#include "CVelora/cvelora.h"

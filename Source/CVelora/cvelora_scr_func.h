// Calling global Lua functions by name with CLuaValue parameters and results: the engine
// members AddScriptParam and CallScriptFunction (declared on CVelora in cvelora.h).
#pragma once

#include "CVelora/cvelora.h"

// Result count that keeps every value a function returns (the interpreter's LUA_MULTRET), for
// callers that do not include the interpreter's headers.
inline constexpr int kScriptAllResults = -1;

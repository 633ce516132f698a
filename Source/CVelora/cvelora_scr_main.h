// Script subsystem: the one Lua state (start, stop, panic handler), native-function
// registration, loading chunks from memory, and the boundary every script API function
// crosses: argument checks and the hand-over of engine errors around the interpreter's C
// frames. Only the script modules include the Lua headers.
#pragma once

#include <lua.hpp>

#include <initializer_list>
#include <source_location>
#include <string>
#include <vector>

class CVelora;

// Interpreter status as the engine reports it: run-time error 1, syntax error 3, memory
// error 4, error in the error handler 5.
int ScriptStatusCode(int fp_iLuaStatus);
// The error value a failed load or call left at the top of the stack, as a text.
std::string ScriptErrorMessage(lua_State* fp_pL);
// Raises a Lua error (type 4) at the caller.
[[noreturn]] void ThrowLua(int fp_iCode, const std::string& fp_strDesc,
                           std::source_location fp_Loc = std::source_location::current());
// To be called after every lua_pcall: rethrows, unchanged, an engine error that a script API
// function raised during the call (the protected call itself only saw a Lua error).
void ScriptRethrowPendingError(CVelora* fp_pVLA);

// ---- Script API functions (glue) ----

struct SGlueEntry
{
    const char* m_pszName;
    lua_CFunction m_pfnFunc;
};
// Every VLA_ and VLAUTIL_ function in registration order.
std::vector<SGlueEntry> GetScriptAPITable();

// Accepted-type value of an id argument: a number (iID) or a string (strID).
inline constexpr int kGlueArgID = 100;

// Records fp_iIndex in fp_iBadIndex when the argument there does not have fp_iType (a Lua type,
// or kGlueArgID) and no bad index was recorded before. A missing argument has no type.
void CheckArgType(lua_State* fp_pL, int fp_iIndex, int fp_iType, int& fp_iBadIndex);
// Checks arguments 1..n against fp_Types in index order and raises the Game argument error,
// at the caller's line, naming the first bad index. With fp_bLastOptional the last argument
// counts only when exactly n arguments were passed. Returns whether it counts.
bool GlueCheckArgs(lua_State* fp_pL, const char* fp_pszName, std::initializer_list<int> fp_Types,
                   bool fp_bLastOptional = false,
                   std::source_location fp_Loc = std::source_location::current());
[[noreturn]] void ThrowGlueArgError(const char* fp_pszName, int fp_iIndex,
                                    std::source_location fp_Loc = std::source_location::current());

// Conversions of checked arguments.
int GlueToInt(lua_State* fp_pL, int fp_iIndex); // truncated toward zero, clamped to 32 bits
float GlueToFloat(lua_State* fp_pL, int fp_iIndex);
bool GlueToBool(lua_State* fp_pL, int fp_iIndex);
std::string GlueToText(lua_State* fp_pL, int fp_iIndex);
bool GlueIsStrID(lua_State* fp_pL, int fp_iIndex); // an id argument given as a string

// Runs a glue function's body. An engine error it raises is stored on the engine and the
// interpreter is left through lua_error outside the catch block; the protected call that ran
// the script rethrows it. While an error is stored every glue function leaves at once, so a
// script that catches the Lua error with pcall cannot drive the engine any further.
int GlueRun(lua_State* fp_pL, int (*fp_pfnBody)(lua_State*));

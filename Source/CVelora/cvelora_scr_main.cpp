// Script subsystem: the Lua state, panic handler, native-function registration, script
// loading, and the error boundary shared by every script API function.
#include "CVelora/cvelora_scr_main.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_glue_gfx.h"
#include "CVelora/cvelora_glue_inp.h"
#include "CVelora/cvelora_glue_log.h"
#include "CVelora/cvelora_glue_res.h"
#include "CVelora/cvelora_glue_sfx.h"
#include "CVelora/cvelora_glue_sys.h"
#include "CVelora/cvelora_glue_util.h"
#include "CVelora/cvelora_res_main.h"

#include <climits>
#include <cmath>

namespace
{
constexpr int kFileID = 137;

// Called by the interpreter for an error outside any protected call. The interpreter has
// already reset its stack, and no protected call is on the C stack, so the exception leaves
// only the interpreter's own throw frames.
int ScriptPanic(lua_State*)
{
    Checkpoint(kFileID);
    ThrowGame("Lua is on panic! Error source is unknown.");
}

// Lua 5.1 opens its libraries through calls, each with the library's name as argument.
void OpenLibrary(lua_State* fp_pL, lua_CFunction fp_pfnOpen, const char* fp_pszName)
{
    lua_pushcfunction(fp_pL, fp_pfnOpen);
    lua_pushstring(fp_pL, fp_pszName);
    lua_call(fp_pL, 1, 0);
}

lua_State* RequireState(CVelora* fp_pVLA, std::source_location fp_Loc)
{
    if (fp_pVLA->m_pLuaState == nullptr)
        ThrowGeneral("Internal error - scripts subsystem was not initialized!", 0, fp_Loc);
    return fp_pVLA->m_pLuaState;
}
} // namespace

int ScriptStatusCode(int fp_iLuaStatus)
{
    // 5.1 numbers its run-time error 2 (1 is a yield); the others agree.
    return fp_iLuaStatus == LUA_ERRRUN ? 1 : fp_iLuaStatus;
}

std::string ScriptErrorMessage(lua_State* fp_pL)
{
    size_t tmp_uiLen = 0;
    const char* tmp_pszMsg = lua_tolstring(fp_pL, -1, &tmp_uiLen);
    if (tmp_pszMsg != nullptr)
        return std::string(tmp_pszMsg, tmp_uiLen);
    // error() with a table or nil gives no text; say what it was rather than read a null.
    return std::string("(error object is a ") + lua_typename(fp_pL, lua_type(fp_pL, -1)) +
           " value)";
}

void ThrowLua(int fp_iCode, const std::string& fp_strDesc, std::source_location fp_Loc)
{
    throw CEHSException(EHS_LUA, fp_iCode, fp_strDesc, fp_Loc.file_name(),
                        static_cast<int>(fp_Loc.line()));
}

void ScriptRethrowPendingError(CVelora* fp_pVLA)
{
    if (!fp_pVLA->m_pScriptPendingError)
        return;
    std::exception_ptr tmp_pError = fp_pVLA->m_pScriptPendingError;
    fp_pVLA->m_pScriptPendingError = nullptr;
    if (fp_pVLA->m_pLuaState != nullptr)
        lua_settop(fp_pVLA->m_pLuaState, 0);
    std::rethrow_exception(tmp_pError);
}

void CVelora::InitScriptsSubsystem()
{
    Checkpoint(kFileID);
    if (m_bScrInitialised)
        ThrowGeneral("Script subsystem reinitialization!");
    m_bScrInitialised = true;

    LogAddSeparator(1);
    LogAddEntry("Initializing Scripts Subsystem...", 3);
    LogAddEmptyLines(1);
    LogAddEntry("   Creating Lua state...", 1);
    m_pLuaState = lua_open();
    if (m_pLuaState == nullptr)
        ThrowGeneral("Cannot create lua state!");
    LogAddEntry("   Done.", 4);
    LogAddEmptyLines(2);

    LogAddEntry("   Initializing standart Lua libraries...", 1);
    // Until the panic handler is installed an opener's failure would end the process, so
    // install it first; it raises the engine's panic error either way.
    lua_atpanic(m_pLuaState, ScriptPanic);
    // Base (with coroutines), math, io and os: no string, table, debug or package library.
    OpenLibrary(m_pLuaState, luaopen_base, "");
    OpenLibrary(m_pLuaState, luaopen_math, LUA_MATHLIBNAME);
    OpenLibrary(m_pLuaState, luaopen_io, LUA_IOLIBNAME);
    OpenLibrary(m_pLuaState, luaopen_os, LUA_OSLIBNAME);
    lua_settop(m_pLuaState, 0);
    LogAddEntry("   Done.", 4);
    LogAddEmptyLines(1);

    for (const SGlueEntry& tmp_Entry : GetScriptAPITable())
        RegisterScriptFunction(tmp_Entry.m_pszName, tmp_Entry.m_pfnFunc);

    LogAddEntry("Done.", 4);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

void CVelora::DeinitScriptsSubsystem()
{
    Checkpoint(kFileID);
    if (!m_bScrInitialised)
        ThrowGeneral("Internal error - scripts subsystem was not initialized!");
    LogAddSeparator(1);
    LogAddEntry("Deinitializing Scripts Subsystem...", 3);
    if (m_pLuaState != nullptr)
    {
        lua_close(m_pLuaState);
        m_pLuaState = nullptr;
    }
    LogAddEntry("Done.", 4);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

void CVelora::RegisterScriptFunction(const std::string& fp_strName, lua_CFunction fp_pfnFunc)
{
    Checkpoint(kFileID);
    lua_State* tmp_pL = RequireState(this, std::source_location::current());
    lua_pushlstring(tmp_pL, fp_strName.data(), fp_strName.size());
    lua_pushcclosure(tmp_pL, fp_pfnFunc, 0);
    lua_settable(tmp_pL, LUA_GLOBALSINDEX);
    lua_settop(tmp_pL, 0);
}

void CVelora::LoadScriptFromBuffer(const char* fp_pData, size_t fp_uiSize,
                                   const std::string& fp_strName)
{
    Checkpoint(kFileID);
    LogAddEmptyLines(1);
    LogAddEntry("Loading script from buffer: " + fp_strName, 1);
    lua_State* tmp_pL = RequireState(this, std::source_location::current());

    int tmp_iStatus = luaL_loadbuffer(tmp_pL, fp_pData, fp_uiSize, fp_strName.c_str());
    if (tmp_iStatus != 0)
    {
        std::string tmp_strMsg = ScriptErrorMessage(tmp_pL);
        lua_settop(tmp_pL, 0);
        ThrowLua(ScriptStatusCode(tmp_iStatus), tmp_strMsg);
    }
    tmp_iStatus = lua_pcall(tmp_pL, 0, 0, 0);
    ScriptRethrowPendingError(this);
    if (tmp_iStatus != 0)
    {
        std::string tmp_strMsg = ScriptErrorMessage(tmp_pL);
        lua_settop(tmp_pL, 0);
        ThrowLua(ScriptStatusCode(tmp_iStatus), tmp_strMsg);
    }
    lua_settop(tmp_pL, 0);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);
}

// The SCRIPT loader: the resource's strID names the chunk.
void RESLOAD_Script(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int, int, int, int)
{
    Checkpoint(kFileID);
    CVelora* tmp_pVLA = GetEngine();
    EHSAssert(tmp_pVLA != nullptr);
    tmp_pVLA->LoadScriptFromBuffer(reinterpret_cast<const char*>(fp_pData),
                                   fp_iSize > 0 ? static_cast<size_t>(fp_iSize) : 0, fp_pszID);
}

// ---- Script API boundary ----

std::vector<SGlueEntry> GetScriptAPITable()
{
    std::vector<SGlueEntry> tmp_Table;
    AppendGlueSYS(tmp_Table);
    AppendGlueLOG(tmp_Table);
    AppendGlueGFX(tmp_Table);
    AppendGlueINP(tmp_Table);
    AppendGlueSFX(tmp_Table);
    AppendGlueRES(tmp_Table);
    AppendGlueUTIL(tmp_Table);
    return tmp_Table;
}

void CheckArgType(lua_State* fp_pL, int fp_iIndex, int fp_iType, int& fp_iBadIndex)
{
    const int tmp_iType = lua_type(fp_pL, fp_iIndex);
    const bool tmp_bOK = fp_iType == kGlueArgID
                             ? (tmp_iType == LUA_TNUMBER || tmp_iType == LUA_TSTRING)
                             : tmp_iType == fp_iType;
    if (!tmp_bOK && fp_iBadIndex == 0)
        fp_iBadIndex = fp_iIndex;
}

void ThrowGlueArgError(const char* fp_pszName, int fp_iIndex, std::source_location fp_Loc)
{
    ThrowGame(std::string("Error in glue function: ") + "glue_" + fp_pszName + "." +
                  "Invalid argument type. Index = " + std::to_string(fp_iIndex),
              0, fp_Loc);
}

bool GlueCheckArgs(lua_State* fp_pL, const char* fp_pszName, std::initializer_list<int> fp_Types,
                   bool fp_bLastOptional, std::source_location fp_Loc)
{
    const int tmp_iFull = static_cast<int>(fp_Types.size());
    const bool tmp_bOptional = fp_bLastOptional && lua_gettop(fp_pL) == tmp_iFull;
    const int tmp_iChecked = (fp_bLastOptional && !tmp_bOptional) ? tmp_iFull - 1 : tmp_iFull;
    int tmp_iBad = 0;
    int tmp_iIndex = 1;
    for (int tmp_iType : fp_Types)
    {
        if (tmp_iIndex > tmp_iChecked)
            break;
        CheckArgType(fp_pL, tmp_iIndex, tmp_iType, tmp_iBad);
        ++tmp_iIndex;
    }
    if (tmp_iBad != 0)
        ThrowGlueArgError(fp_pszName, tmp_iBad, fp_Loc);
    return tmp_bOptional;
}

int GlueToInt(lua_State* fp_pL, int fp_iIndex)
{
    const double tmp_dValue = std::trunc(lua_tonumber(fp_pL, fp_iIndex));
    // Casting a double outside the int range is undefined; clamp instead.
    if (std::isnan(tmp_dValue))
        return 0;
    if (tmp_dValue <= static_cast<double>(INT_MIN))
        return INT_MIN;
    if (tmp_dValue >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(tmp_dValue);
}

float GlueToFloat(lua_State* fp_pL, int fp_iIndex)
{
    return static_cast<float>(lua_tonumber(fp_pL, fp_iIndex));
}

bool GlueToBool(lua_State* fp_pL, int fp_iIndex)
{
    return lua_toboolean(fp_pL, fp_iIndex) != 0;
}

std::string GlueToText(lua_State* fp_pL, int fp_iIndex)
{
    size_t tmp_uiLen = 0;
    const char* tmp_pszText = lua_tolstring(fp_pL, fp_iIndex, &tmp_uiLen);
    return tmp_pszText != nullptr ? std::string(tmp_pszText, tmp_uiLen) : std::string();
}

bool GlueIsStrID(lua_State* fp_pL, int fp_iIndex)
{
    return lua_type(fp_pL, fp_iIndex) == LUA_TSTRING;
}

int GlueRun(lua_State* fp_pL, int (*fp_pfnBody)(lua_State*))
{
    CVelora* tmp_pVLA = GetEngine();
    int tmp_iResults = -1;
    if (tmp_pVLA != nullptr && !tmp_pVLA->m_pScriptPendingError)
    {
        try
        {
            tmp_iResults = fp_pfnBody(fp_pL);
        }
        catch (...)
        {
            tmp_pVLA->m_pScriptPendingError = std::current_exception();
        }
    }
    if (tmp_iResults >= 0)
        return tmp_iResults;
    // Outside the catch block and with no C++ object alive in this frame: lua_error longjmps
    // to the protected call, which rethrows the stored error.
    lua_pushstring(fp_pL, tmp_pVLA != nullptr ? "Engine error in a script API function."
                                              : "Script API function called without an engine.");
    return lua_error(fp_pL);
}

// Calling global Lua functions: pending parameters in, results out in reverse order, every
// failure an engine error; an engine error raised by the script API during the call leaves
// unchanged.
#include "CVelora/cvelora_scr_func.h"

#include "CVelora/cvelora_scr_main.h"

namespace
{
constexpr int kFileID = 139;
static_assert(kScriptAllResults == LUA_MULTRET);
} // namespace

void CVelora::AddScriptParam(const CLuaValue& fp_Value)
{
    Checkpoint(kFileID);
    m_ScriptParams.push_back(fp_Value);
}

bool CVelora::IsScriptFunction(const std::string& fp_strName)
{
    Checkpoint(kFileID);
    if (m_pLuaState == nullptr)
        return false;
    lua_pushlstring(m_pLuaState, fp_strName.data(), fp_strName.size());
    lua_gettable(m_pLuaState, LUA_GLOBALSINDEX);
    const bool tmp_bFunction = lua_isfunction(m_pLuaState, -1);
    lua_pop(m_pLuaState, 1);
    return tmp_bFunction;
}

void CVelora::CallScriptFunction(const std::string& fp_strName, int fp_iResultCount)
{
    Checkpoint(kFileID);
    if (m_pLuaState == nullptr)
        ThrowGeneral("Internal error - scripts subsystem was not initialized!");
    lua_State* tmp_pL = m_pLuaState;
    lua_settop(tmp_pL, 0);
    m_strLastCalledLuaFunction = fp_strName;
    m_ScriptResults.clear();

    lua_pushlstring(tmp_pL, fp_strName.data(), fp_strName.size());
    lua_gettable(tmp_pL, LUA_GLOBALSINDEX);
    if (!lua_isfunction(tmp_pL, -1))
    {
        // "Wrong Lua function name: " + name: deliberately silent, the call just does nothing.
        m_ScriptParams.clear();
        lua_settop(tmp_pL, 0);
        return;
    }

    const int tmp_iParams = static_cast<int>(m_ScriptParams.size());
    if (!lua_checkstack(tmp_pL, tmp_iParams + 1))
    {
        lua_settop(tmp_pL, 0);
        ThrowGeneral("Function: " + fp_strName + " Too many parameters for the Lua stack.");
    }
    for (const CLuaValue& tmp_Param : m_ScriptParams)
    {
        switch (tmp_Param.GetStatus())
        {
        case LUAVAL_NUMBER:
            lua_pushnumber(tmp_pL, tmp_Param.GetNumber());
            break;
        case LUAVAL_BOOLEAN:
            lua_pushboolean(tmp_pL, tmp_Param.GetBoolean() ? 1 : 0);
            break;
        case LUAVAL_STRING:
            lua_pushlstring(tmp_pL, tmp_Param.GetString().data(), tmp_Param.GetString().size());
            break;
        case LUAVAL_FUNCTION:
            lua_pushlstring(tmp_pL, tmp_Param.GetFunction().data(), tmp_Param.GetFunction().size());
            break;
        default:
            lua_settop(tmp_pL, 0);
            ThrowGame("Function: " + fp_strName +
                      " Wrong parameter type. Type id = " + std::to_string(tmp_Param.GetStatus()));
        }
    }

    const int tmp_iStatus = lua_pcall(tmp_pL, tmp_iParams, fp_iResultCount, 0);
    ScriptRethrowPendingError(this);
    if (tmp_iStatus != 0)
    {
        std::string tmp_strMsg = ScriptErrorMessage(tmp_pL);
        lua_settop(tmp_pL, 0);
        ThrowLua(ScriptStatusCode(tmp_iStatus), tmp_strMsg);
    }

    // Top first, so the last value the function returned ends up first in the list.
    while (lua_gettop(tmp_pL) > 0)
    {
        const int tmp_iType = lua_type(tmp_pL, -1);
        switch (tmp_iType)
        {
        case LUA_TBOOLEAN:
            m_ScriptResults.emplace_back(lua_toboolean(tmp_pL, -1) != 0);
            break;
        case LUA_TNUMBER:
            m_ScriptResults.emplace_back(static_cast<double>(lua_tonumber(tmp_pL, -1)));
            break;
        case LUA_TSTRING:
        {
            size_t tmp_uiLen = 0;
            const char* tmp_pszText = lua_tolstring(tmp_pL, -1, &tmp_uiLen);
            m_ScriptResults.emplace_back(std::string(tmp_pszText, tmp_uiLen), false);
            break;
        }
        case LUA_TFUNCTION:
            // A function value has no name of its own; it arrives as an empty function name.
            m_ScriptResults.emplace_back(std::string(), true);
            break;
        default:
            lua_settop(tmp_pL, 0);
            ThrowGame("Function: " + fp_strName +
                      " returned result of invalid type. Type id = " + std::to_string(tmp_iType));
        }
        lua_pop(tmp_pL, 1);
    }
    m_ScriptParams.clear();
}

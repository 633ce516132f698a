// Script API, VLA_SYS_ group: thin native functions over the engine root's timer, XML encrypt
// mode and engine step.
#include "CVelora/cvelora_glue_sys.h"

#include "CVelora/cvelora.h"

namespace
{
constexpr int kFileID = 138;
}

int glue_VLA_SYS_TimerGetDelta(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SYS_TimerGetDelta", {});
                       lua_pushnumber(fp_pL, GetEngine()->TimerGetDelta());
                       return 1;
                   });
}

int glue_VLA_SYS_TimerGetFPS(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SYS_TimerGetFPS", {});
                       lua_pushnumber(fp_pL, GetEngine()->TimerGetFPS());
                       return 1;
                   });
}

int glue_VLA_SYS_SetXMLEncryptMode(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SYS_SetXMLEncryptMode", {LUA_TBOOLEAN});
                       GetEngine()->m_bXMLEncryption = GlueToBool(fp_pL, 1);
                       return 0;
                   });
}

int glue_VLA_SYS_UpdateAllSystems(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SYS_UpdateAllSystems", {});
                       lua_pushnumber(fp_pL, GetEngine()->UpdateAllSystems());
                       return 1;
                   });
}

void AppendGlueSYS(std::vector<SGlueEntry>& fp_Table)
{
    fp_Table.insert(fp_Table.end(),
                    {
                        {"VLA_SYS_TimerGetDelta", glue_VLA_SYS_TimerGetDelta},
                        {"VLA_SYS_TimerGetFPS", glue_VLA_SYS_TimerGetFPS},
                        {"VLA_SYS_SetXMLEncryptMode", glue_VLA_SYS_SetXMLEncryptMode},
                        {"VLA_SYS_UpdateAllSystems", glue_VLA_SYS_UpdateAllSystems},
                    });
}

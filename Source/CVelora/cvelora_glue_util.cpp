// Script API, VLAUTIL_ group: thin native functions over the demand helpers (strID to iID, loading
// on first use).
#include "CVelora/cvelora_glue_util.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_utils_demand.h"

namespace
{
constexpr int kFileID = 151;
}

int glue_VLAUTIL_DemandTexture(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLAUTIL_DemandTexture", {LUA_TSTRING});
                       lua_pushnumber(fp_pL, DemandTexture(GlueToText(fp_pL, 1)));
                       return 1;
                   });
}

int glue_VLAUTIL_DemandTechnique(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLAUTIL_DemandTechnique", {LUA_TSTRING, LUA_TSTRING});
                       lua_pushnumber(fp_pL,
                                      DemandTechnique(GlueToText(fp_pL, 1), GlueToText(fp_pL, 2)));
                       return 1;
                   });
}

int glue_VLAUTIL_DemandFont(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLAUTIL_DemandFont", {LUA_TSTRING});
                       lua_pushnumber(fp_pL, DemandFont(GlueToText(fp_pL, 1)));
                       return 1;
                   });
}

int glue_VLAUTIL_DemandSound(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLAUTIL_DemandSound", {LUA_TSTRING});
                       lua_pushnumber(fp_pL, DemandSound(GlueToText(fp_pL, 1)));
                       return 1;
                   });
}

int glue_VLAUTIL_DemandMusic(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLAUTIL_DemandMusic", {LUA_TSTRING});
                       lua_pushnumber(fp_pL, DemandMusic(GlueToText(fp_pL, 1)));
                       return 1;
                   });
}

int glue_VLAUTIL_DemandPlaylist(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLAUTIL_DemandPlaylist", {LUA_TSTRING});
                       lua_pushnumber(fp_pL, DemandPlaylist(GlueToText(fp_pL, 1)));
                       return 1;
                   });
}

void AppendGlueUTIL(std::vector<SGlueEntry>& fp_Table)
{
    fp_Table.insert(fp_Table.end(), {
                                        {"VLAUTIL_DemandTexture", glue_VLAUTIL_DemandTexture},
                                        {"VLAUTIL_DemandTechnique", glue_VLAUTIL_DemandTechnique},
                                        {"VLAUTIL_DemandFont", glue_VLAUTIL_DemandFont},
                                        {"VLAUTIL_DemandSound", glue_VLAUTIL_DemandSound},
                                        {"VLAUTIL_DemandMusic", glue_VLAUTIL_DemandMusic},
                                        {"VLAUTIL_DemandPlaylist", glue_VLAUTIL_DemandPlaylist},
                                    });
}

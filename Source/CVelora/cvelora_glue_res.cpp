// Script API, VLA_RES_ group: thin native functions over loading resources.
#include "CVelora/cvelora_glue_res.h"

#include "CVelora/cvelora.h"

namespace
{
constexpr int kFileID = 150;
}

int glue_VLA_RES_LoadResource(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_RES_LoadResource", {LUA_TSTRING});
                       GetEngine()->LoadResource(GlueToText(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_RES_LoadResources(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_RES_LoadResources", {LUA_TNUMBER});
                       GetEngine()->LoadResources(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

void AppendGlueRES(std::vector<SGlueEntry>& fp_Table)
{
    fp_Table.insert(fp_Table.end(), {
                                        {"VLA_RES_LoadResource", glue_VLA_RES_LoadResource},
                                        {"VLA_RES_LoadResources", glue_VLA_RES_LoadResources},
                                    });
}

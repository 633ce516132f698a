// Script API, VLA_LOG_ group: an unmarked line in gamelog.txt.
#include "CVelora/cvelora_glue_log.h"

#include "CVelora/cvelora.h"

namespace
{
constexpr int kFileID = 146;
}

int glue_VLA_LOG_AddEntry(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_LOG_AddEntry", {LUA_TSTRING});
                       GetEngine()->LogAddLine(GlueToText(fp_pL, 1));
                       return 0;
                   });
}

void AppendGlueLOG(std::vector<SGlueEntry>& fp_Table)
{
    fp_Table.push_back({"VLA_LOG_AddEntry", glue_VLA_LOG_AddEntry});
}

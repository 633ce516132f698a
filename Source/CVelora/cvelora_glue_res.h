// Script API, VLA_RES_ group: loading resources.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueRES(std::vector<SGlueEntry>& fp_Table);

int glue_VLA_RES_LoadResource(lua_State* fp_pL);
int glue_VLA_RES_LoadResources(lua_State* fp_pL);

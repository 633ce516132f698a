// Script API, VLA_LOG_ group: writing to the engine log.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueLOG(std::vector<SGlueEntry>& fp_Table);

int glue_VLA_LOG_AddEntry(lua_State* fp_pL);

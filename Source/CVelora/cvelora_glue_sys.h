// Script API, VLA_SYS_ group: the engine timer, the XML encrypt mode and the engine step.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueSYS(std::vector<SGlueEntry>& fp_Table);

int glue_VLA_SYS_TimerGetDelta(lua_State* fp_pL);
int glue_VLA_SYS_TimerGetFPS(lua_State* fp_pL);
int glue_VLA_SYS_SetXMLEncryptMode(lua_State* fp_pL);
int glue_VLA_SYS_UpdateAllSystems(lua_State* fp_pL);

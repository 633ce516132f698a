// Script API, VLAUTIL_ group: the demand helpers (strID to iID, loading on first use).
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueUTIL(std::vector<SGlueEntry>& fp_Table);

int glue_VLAUTIL_DemandTexture(lua_State* fp_pL);
int glue_VLAUTIL_DemandTechnique(lua_State* fp_pL);
int glue_VLAUTIL_DemandFont(lua_State* fp_pL);
int glue_VLAUTIL_DemandSound(lua_State* fp_pL);
int glue_VLAUTIL_DemandMusic(lua_State* fp_pL);
int glue_VLAUTIL_DemandPlaylist(lua_State* fp_pL);

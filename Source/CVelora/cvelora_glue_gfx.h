// Script API, VLA_GFX_ group: scene, quads, textures, techniques and fonts.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueGFX(std::vector<SGlueEntry>& fp_Table);

int glue_VLA_GFX_SceneBegin(lua_State* fp_pL);
int glue_VLA_GFX_SceneEnd(lua_State* fp_pL);
int glue_VLA_GFX_SceneClearScreen(lua_State* fp_pL);
int glue_VLA_GFX_SceneRender(lua_State* fp_pL);
int glue_VLA_GFX_ScenePresent(lua_State* fp_pL);
int glue_VLA_GFX_SceneSetViewport(lua_State* fp_pL);
int glue_VLA_GFX_SceneMakeScreenshot(lua_State* fp_pL);
int glue_VLA_GFX_SceneSetGamma(lua_State* fp_pL);
int glue_VLA_GFX_VQuadSetPos(lua_State* fp_pL);
int glue_VLA_GFX_VQuadSetPosByVertex(lua_State* fp_pL);
int glue_VLA_GFX_VQuadRotate(lua_State* fp_pL);
int glue_VLA_GFX_VQuadScale(lua_State* fp_pL);
int glue_VLA_GFX_VQuadMove(lua_State* fp_pL);
int glue_VLA_GFX_VQuadSetTexCoords(lua_State* fp_pL);
int glue_VLA_GFX_VQuadSetColor(lua_State* fp_pL);
int glue_VLA_GFX_VQuadSetColorByVertex(lua_State* fp_pL);
int glue_VLA_GFX_TexUnloadByID(lua_State* fp_pL);
int glue_VLA_GFX_TexSet(lua_State* fp_pL);
int glue_VLA_GFX_TexSetNoTexture(lua_State* fp_pL);
int glue_VLA_GFX_TechApply(lua_State* fp_pL);
int glue_VLA_GFX_FontSet(lua_State* fp_pL);
int glue_VLA_GFX_FontDrawText(lua_State* fp_pL);

// Script API, VLA_GFX_ group: thin native functions over scene, quads, textures, techniques and
// fonts.
#include "CVelora/cvelora_glue_gfx.h"

#include "CVelora/cvelora.h"

namespace
{
constexpr int kFileID = 147;
}

int glue_VLA_GFX_SceneBegin(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_SceneBegin", {});
                       GetEngine()->SceneBegin();
                       return 0;
                   });
}

int glue_VLA_GFX_SceneEnd(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_SceneEnd", {});
                       GetEngine()->SceneEnd();
                       return 0;
                   });
}

int glue_VLA_GFX_SceneClearScreen(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_SceneClearScreen",
                                     {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER});
                       GetEngine()->SceneClearScreen(GlueToFloat(fp_pL, 1), GlueToFloat(fp_pL, 2),
                                                     GlueToFloat(fp_pL, 3));
                       return 0;
                   });
}

int glue_VLA_GFX_SceneRender(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_SceneRender", {});
                       GetEngine()->SceneRender();
                       return 0;
                   });
}

int glue_VLA_GFX_ScenePresent(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_ScenePresent", {});
                       GetEngine()->ScenePresent();
                       return 0;
                   });
}

int glue_VLA_GFX_SceneSetViewport(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_SceneSetViewport",
                                     {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER});
                       GetEngine()->SceneSetViewport(GlueToInt(fp_pL, 1), GlueToInt(fp_pL, 2),
                                                     GlueToInt(fp_pL, 3), GlueToInt(fp_pL, 4));
                       return 0;
                   });
}

int glue_VLA_GFX_SceneMakeScreenshot(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_SceneMakeScreenshot", {});
                       GetEngine()->SceneMakeScreenshot();
                       return 0;
                   });
}

int glue_VLA_GFX_SceneSetGamma(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_SceneSetGamma", {LUA_TNUMBER, LUA_TNUMBER});
                       GetEngine()->SceneSetGamma(GlueToFloat(fp_pL, 1), GlueToFloat(fp_pL, 2));
                       return 0;
                   });
}

int glue_VLA_GFX_VQuadSetPos(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       const bool tmp_bZ = GlueCheckArgs(
                           fp_pL, "VLA_GFX_VQuadSetPos",
                           {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER}, true);
                       GetEngine()->VQuadSetPos(GlueToFloat(fp_pL, 1), GlueToFloat(fp_pL, 2),
                                                GlueToFloat(fp_pL, 3), GlueToFloat(fp_pL, 4),
                                                tmp_bZ ? GlueToFloat(fp_pL, 5) : 0.5f);
                       return 0;
                   });
}

int glue_VLA_GFX_VQuadSetPosByVertex(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       const bool tmp_bZ = GlueCheckArgs(
                           fp_pL, "VLA_GFX_VQuadSetPosByVertex",
                           {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER}, true);
                       GetEngine()->VQuadSetPosByVertex(GlueToInt(fp_pL, 1), GlueToFloat(fp_pL, 2),
                                                        GlueToFloat(fp_pL, 3),
                                                        tmp_bZ ? GlueToFloat(fp_pL, 4) : 0.5f);
                       return 0;
                   });
}

int glue_VLA_GFX_VQuadRotate(lua_State* fp_pL)
{
    return GlueRun(
        fp_pL,
        [](lua_State* fp_pL)
        {
            Checkpoint(kFileID);
            GlueCheckArgs(fp_pL, "VLA_GFX_VQuadRotate", {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER});
            GetEngine()->VQuadRotate(GlueToFloat(fp_pL, 1), GlueToFloat(fp_pL, 2),
                                     GlueToFloat(fp_pL, 3));
            return 0;
        });
}

int glue_VLA_GFX_VQuadScale(lua_State* fp_pL)
{
    return GlueRun(
        fp_pL,
        [](lua_State* fp_pL)
        {
            Checkpoint(kFileID);
            GlueCheckArgs(fp_pL, "VLA_GFX_VQuadScale", {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER});
            GetEngine()->VQuadScale(GlueToFloat(fp_pL, 1), GlueToFloat(fp_pL, 2),
                                    GlueToFloat(fp_pL, 3));
            return 0;
        });
}

int glue_VLA_GFX_VQuadMove(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       const bool tmp_bZ =
                           GlueCheckArgs(fp_pL, "VLA_GFX_VQuadMove",
                                         {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER}, true);
                       GetEngine()->VQuadMove(GlueToFloat(fp_pL, 1), GlueToFloat(fp_pL, 2),
                                              tmp_bZ ? GlueToFloat(fp_pL, 3) : 0.0f);
                       return 0;
                   });
}

int glue_VLA_GFX_VQuadSetTexCoords(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(
                           fp_pL, "VLA_GFX_VQuadSetTexCoords",
                           {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER});
                       GetEngine()->VQuadSetTexCoords(GlueToInt(fp_pL, 1), GlueToFloat(fp_pL, 2),
                                                      GlueToFloat(fp_pL, 3), GlueToFloat(fp_pL, 4),
                                                      GlueToFloat(fp_pL, 5));
                       return 0;
                   });
}

int glue_VLA_GFX_VQuadSetColor(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       const bool tmp_bAlpha = GlueCheckArgs(
                           fp_pL, "VLA_GFX_VQuadSetColor",
                           {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER}, true);
                       GetEngine()->VQuadSetColor(GlueToFloat(fp_pL, 1), GlueToFloat(fp_pL, 2),
                                                  GlueToFloat(fp_pL, 3),
                                                  tmp_bAlpha ? GlueToFloat(fp_pL, 4) : 1.0f);
                       return 0;
                   });
}

int glue_VLA_GFX_VQuadSetColorByVertex(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       const bool tmp_bAlpha = GlueCheckArgs(
                           fp_pL, "VLA_GFX_VQuadSetColorByVertex",
                           {LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER}, true);
                       // The default alpha of the per-vertex form is 0.0, unlike VQuadSetColor's.
                       GetEngine()->VQuadSetColorByVertex(
                           GlueToInt(fp_pL, 1), GlueToFloat(fp_pL, 2), GlueToFloat(fp_pL, 3),
                           GlueToFloat(fp_pL, 4), tmp_bAlpha ? GlueToFloat(fp_pL, 5) : 0.0f);
                       return 0;
                   });
}

int glue_VLA_GFX_TexUnloadByID(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_TexUnloadByID", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->TexUnloadByID(GlueToText(fp_pL, 1));
                       else
                           GetEngine()->TexUnloadByID(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_GFX_TexSet(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       const bool tmp_bStage =
                           GlueCheckArgs(fp_pL, "VLA_GFX_TexSet", {kGlueArgID, LUA_TNUMBER}, true);
                       const int tmp_iStage = tmp_bStage ? GlueToInt(fp_pL, 2) : 0;
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->TexSet(GlueToText(fp_pL, 1), tmp_iStage);
                       else
                           GetEngine()->TexSet(GlueToInt(fp_pL, 1), tmp_iStage);
                       return 0;
                   });
}

int glue_VLA_GFX_TexSetNoTexture(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       const bool tmp_bStage =
                           GlueCheckArgs(fp_pL, "VLA_GFX_TexSetNoTexture", {LUA_TNUMBER}, true);
                       GetEngine()->TexSetNoTexture(tmp_bStage ? GlueToInt(fp_pL, 1) : 0);
                       return 0;
                   });
}

int glue_VLA_GFX_TechApply(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_TechApply", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->TechApply(GlueToText(fp_pL, 1));
                       else
                           GetEngine()->TechApply(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_GFX_FontSet(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_FontSet", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->FontSet(GlueToText(fp_pL, 1));
                       else
                           GetEngine()->FontSet(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_GFX_FontDrawText(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_GFX_FontDrawText",
                                     {LUA_TSTRING, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER,
                                      LUA_TNUMBER, LUA_TNUMBER});
                       GetEngine()->FontDrawText(GlueToText(fp_pL, 1).c_str(),
                                                 GlueToFloat(fp_pL, 2), GlueToFloat(fp_pL, 3),
                                                 GlueToInt(fp_pL, 4), GlueToInt(fp_pL, 5),
                                                 GlueToFloat(fp_pL, 6));
                       return 0;
                   });
}

void AppendGlueGFX(std::vector<SGlueEntry>& fp_Table)
{
    fp_Table.insert(fp_Table.end(),
                    {
                        {"VLA_GFX_SceneBegin", glue_VLA_GFX_SceneBegin},
                        {"VLA_GFX_SceneEnd", glue_VLA_GFX_SceneEnd},
                        {"VLA_GFX_SceneClearScreen", glue_VLA_GFX_SceneClearScreen},
                        {"VLA_GFX_SceneRender", glue_VLA_GFX_SceneRender},
                        {"VLA_GFX_ScenePresent", glue_VLA_GFX_ScenePresent},
                        {"VLA_GFX_SceneSetViewport", glue_VLA_GFX_SceneSetViewport},
                        {"VLA_GFX_SceneMakeScreenshot", glue_VLA_GFX_SceneMakeScreenshot},
                        {"VLA_GFX_SceneSetGamma", glue_VLA_GFX_SceneSetGamma},
                        {"VLA_GFX_VQuadSetPos", glue_VLA_GFX_VQuadSetPos},
                        {"VLA_GFX_VQuadSetPosByVertex", glue_VLA_GFX_VQuadSetPosByVertex},
                        {"VLA_GFX_VQuadRotate", glue_VLA_GFX_VQuadRotate},
                        {"VLA_GFX_VQuadScale", glue_VLA_GFX_VQuadScale},
                        {"VLA_GFX_VQuadMove", glue_VLA_GFX_VQuadMove},
                        {"VLA_GFX_VQuadSetTexCoords", glue_VLA_GFX_VQuadSetTexCoords},
                        {"VLA_GFX_VQuadSetColor", glue_VLA_GFX_VQuadSetColor},
                        {"VLA_GFX_VQuadSetColorByVertex", glue_VLA_GFX_VQuadSetColorByVertex},
                        {"VLA_GFX_TexUnloadByID", glue_VLA_GFX_TexUnloadByID},
                        {"VLA_GFX_TexSet", glue_VLA_GFX_TexSet},
                        {"VLA_GFX_TexSetNoTexture", glue_VLA_GFX_TexSetNoTexture},
                        {"VLA_GFX_TechApply", glue_VLA_GFX_TechApply},
                        {"VLA_GFX_FontSet", glue_VLA_GFX_FontSet},
                        {"VLA_GFX_FontDrawText", glue_VLA_GFX_FontDrawText},
                    });
}

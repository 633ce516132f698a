// Script API, VLA_SFX_ group: thin native functions over sounds, music and playlists.
#include "CVelora/cvelora_glue_sfx.h"

#include "CVelora/cvelora.h"

namespace
{
constexpr int kFileID = 149;
}

int glue_VLA_SFX_SetGlobalVolumes(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_SetGlobalVolumes", {LUA_TNUMBER, LUA_TNUMBER});
                       GetEngine()->SetGlobalVolumes(GlueToInt(fp_pL, 1), GlueToInt(fp_pL, 2));
                       return 0;
                   });
}

int glue_VLA_SFX_SoundUnload(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_SoundUnload", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->SoundUnload(GlueToText(fp_pL, 1));
                       else
                           GetEngine()->SoundUnload(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_SFX_SoundPlay(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(
                           fp_pL, "VLA_SFX_SoundPlay",
                           {kGlueArgID, LUA_TBOOLEAN, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->SoundPlay(GlueToText(fp_pL, 1), GlueToBool(fp_pL, 2),
                                                  GlueToInt(fp_pL, 3), GlueToInt(fp_pL, 4),
                                                  GlueToInt(fp_pL, 5));
                       else
                           GetEngine()->SoundPlay(GlueToInt(fp_pL, 1), GlueToBool(fp_pL, 2),
                                                  GlueToInt(fp_pL, 3), GlueToInt(fp_pL, 4),
                                                  GlueToInt(fp_pL, 5));
                       return 0;
                   });
}

int glue_VLA_SFX_SoundStop(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_SoundStop", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->SoundStop(GlueToText(fp_pL, 1));
                       else
                           GetEngine()->SoundStop(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_SFX_SoundPause(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_SoundPause", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->SoundPause(GlueToText(fp_pL, 1));
                       else
                           GetEngine()->SoundPause(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_SFX_SoundResume(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_SoundResume", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->SoundResume(GlueToText(fp_pL, 1));
                       else
                           GetEngine()->SoundResume(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_SFX_SoundSetAttributes(lua_State* fp_pL)
{
    return GlueRun(
        fp_pL,
        [](lua_State* fp_pL)
        {
            Checkpoint(kFileID);
            GlueCheckArgs(fp_pL, "VLA_SFX_SoundSetAttributes",
                          {kGlueArgID, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER});
            if (GlueIsStrID(fp_pL, 1))
                GetEngine()->SoundSetAttributes(GlueToText(fp_pL, 1), GlueToInt(fp_pL, 2),
                                                GlueToInt(fp_pL, 3), GlueToInt(fp_pL, 4));
            else
                GetEngine()->SoundSetAttributes(GlueToInt(fp_pL, 1), GlueToInt(fp_pL, 2),
                                                GlueToInt(fp_pL, 3), GlueToInt(fp_pL, 4));
            return 0;
        });
}

int glue_VLA_SFX_SoundSlideAttributes(lua_State* fp_pL)
{
    return GlueRun(
        fp_pL,
        [](lua_State* fp_pL)
        {
            Checkpoint(kFileID);
            GlueCheckArgs(fp_pL, "VLA_SFX_SoundSlideAttributes",
                          {kGlueArgID, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER, LUA_TNUMBER});
            if (GlueIsStrID(fp_pL, 1))
                GetEngine()->SoundSlideAttributes(GlueToText(fp_pL, 1), GlueToInt(fp_pL, 2),
                                                  GlueToInt(fp_pL, 3), GlueToInt(fp_pL, 4),
                                                  GlueToInt(fp_pL, 5));
            else
                GetEngine()->SoundSlideAttributes(GlueToInt(fp_pL, 1), GlueToInt(fp_pL, 2),
                                                  GlueToInt(fp_pL, 3), GlueToInt(fp_pL, 4),
                                                  GlueToInt(fp_pL, 5));
            return 0;
        });
}

int glue_VLA_SFX_SoundGetStatus(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_SoundGetStatus", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           lua_pushnumber(fp_pL, GetEngine()->SoundGetStatus(GlueToText(fp_pL, 1)));
                       else
                           lua_pushnumber(fp_pL, GetEngine()->SoundGetStatus(GlueToInt(fp_pL, 1)));
                       return 1;
                   });
}

int glue_VLA_SFX_MusicSetVolume(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_MusicSetVolume", {LUA_TNUMBER, LUA_TNUMBER});
                       GetEngine()->MusicSetVolume(GlueToInt(fp_pL, 1), GlueToInt(fp_pL, 2));
                       return 0;
                   });
}

int glue_VLA_SFX_PlaylistSet(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_PlaylistSet", {kGlueArgID});
                       if (GlueIsStrID(fp_pL, 1))
                           GetEngine()->PlaylistSet(GlueToText(fp_pL, 1));
                       else
                           GetEngine()->PlaylistSet(GlueToInt(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_SFX_PlaylistStop(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_SFX_PlaylistStop", {});
                       GetEngine()->PlaylistStop();
                       return 0;
                   });
}

void AppendGlueSFX(std::vector<SGlueEntry>& fp_Table)
{
    fp_Table.insert(fp_Table.end(),
                    {
                        {"VLA_SFX_SetGlobalVolumes", glue_VLA_SFX_SetGlobalVolumes},
                        {"VLA_SFX_SoundUnload", glue_VLA_SFX_SoundUnload},
                        {"VLA_SFX_SoundPlay", glue_VLA_SFX_SoundPlay},
                        {"VLA_SFX_SoundStop", glue_VLA_SFX_SoundStop},
                        {"VLA_SFX_SoundPause", glue_VLA_SFX_SoundPause},
                        {"VLA_SFX_SoundResume", glue_VLA_SFX_SoundResume},
                        {"VLA_SFX_SoundSetAttributes", glue_VLA_SFX_SoundSetAttributes},
                        {"VLA_SFX_SoundSlideAttributes", glue_VLA_SFX_SoundSlideAttributes},
                        {"VLA_SFX_SoundGetStatus", glue_VLA_SFX_SoundGetStatus},
                        {"VLA_SFX_MusicSetVolume", glue_VLA_SFX_MusicSetVolume},
                        {"VLA_SFX_PlaylistSet", glue_VLA_SFX_PlaylistSet},
                        {"VLA_SFX_PlaylistStop", glue_VLA_SFX_PlaylistStop},
                    });
}

// Script API, VLA_SFX_ group: sounds, music and playlists.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueSFX(std::vector<SGlueEntry>& fp_Table);

int glue_VLA_SFX_SetGlobalVolumes(lua_State* fp_pL);
int glue_VLA_SFX_SoundUnload(lua_State* fp_pL);
int glue_VLA_SFX_SoundPlay(lua_State* fp_pL);
int glue_VLA_SFX_SoundStop(lua_State* fp_pL);
int glue_VLA_SFX_SoundPause(lua_State* fp_pL);
int glue_VLA_SFX_SoundResume(lua_State* fp_pL);
int glue_VLA_SFX_SoundSetAttributes(lua_State* fp_pL);
int glue_VLA_SFX_SoundSlideAttributes(lua_State* fp_pL);
int glue_VLA_SFX_SoundGetStatus(lua_State* fp_pL);
int glue_VLA_SFX_MusicSetVolume(lua_State* fp_pL);
int glue_VLA_SFX_PlaylistSet(lua_State* fp_pL);
int glue_VLA_SFX_PlaylistStop(lua_State* fp_pL);

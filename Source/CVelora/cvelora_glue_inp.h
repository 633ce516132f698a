// Script API, VLA_INP_ group: keyboard, typed text and mouse.
#pragma once

#include "CVelora/cvelora_scr_main.h"

void AppendGlueINP(std::vector<SGlueEntry>& fp_Table);

int glue_VLA_INP_KeyboardGetAnyPressedKey(lua_State* fp_pL);
int glue_VLA_INP_KeyboardIsKeyPressed(lua_State* fp_pL);
int glue_VLA_INP_KeyboardIsKeyClicked(lua_State* fp_pL);
int glue_VLA_INP_KeyboardSetTextBufferStatus(lua_State* fp_pL);
int glue_VLA_INP_KeyboardSetTextInBuffer(lua_State* fp_pL);
int glue_VLA_INP_KeyboardGetTextInBuffer(lua_State* fp_pL);
int glue_VLA_INP_KeyboardSetTextBufferSize(lua_State* fp_pL);
int glue_VLA_INP_MouseGetAnyPressedKey(lua_State* fp_pL);
int glue_VLA_INP_MouseIsKeyPressed(lua_State* fp_pL);
int glue_VLA_INP_MouseIsKeyClicked(lua_State* fp_pL);
int glue_VLA_INP_MouseGetDeltaX(lua_State* fp_pL);
int glue_VLA_INP_MouseGetDeltaY(lua_State* fp_pL);
int glue_VLA_INP_MouseGetWheelDelta(lua_State* fp_pL);
int glue_VLA_INP_MouseGetCursorPos(lua_State* fp_pL);
int glue_VLA_INP_MouseGetCursorStatus(lua_State* fp_pL);

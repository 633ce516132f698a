// Script API, VLA_INP_ group: thin native functions over keyboard, typed text and mouse.
#include "CVelora/cvelora_glue_inp.h"

#include "CVelora/cvelora.h"

namespace
{
constexpr int kFileID = 148;
}

int glue_VLA_INP_KeyboardGetAnyPressedKey(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_KeyboardGetAnyPressedKey", {});
                       lua_pushnumber(fp_pL, GetEngine()->KeyboardGetAnyPressedKey());
                       return 1;
                   });
}

int glue_VLA_INP_KeyboardIsKeyPressed(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_KeyboardIsKeyPressed", {LUA_TNUMBER});
                       lua_pushboolean(
                           fp_pL, GetEngine()->KeyboardIsKeyPressed(GlueToInt(fp_pL, 1)) ? 1 : 0);
                       return 1;
                   });
}

int glue_VLA_INP_KeyboardIsKeyClicked(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_KeyboardIsKeyClicked", {LUA_TNUMBER});
                       lua_pushboolean(
                           fp_pL, GetEngine()->KeyboardIsKeyClicked(GlueToInt(fp_pL, 1)) ? 1 : 0);
                       return 1;
                   });
}

int glue_VLA_INP_KeyboardSetTextBufferStatus(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_KeyboardSetTextBufferStatus", {LUA_TBOOLEAN});
                       GetEngine()->KeyboardSetTextBufferStatus(GlueToBool(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_INP_KeyboardSetTextInBuffer(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_KeyboardSetTextInBuffer", {LUA_TSTRING});
                       GetEngine()->KeyboardSetTextInBuffer(GlueToText(fp_pL, 1));
                       return 0;
                   });
}

int glue_VLA_INP_KeyboardGetTextInBuffer(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_KeyboardGetTextInBuffer", {});
                       // Pushed straight from the engine's buffer: no C++ object of ours is alive
                       // should the push run out of memory and longjmp.
                       const std::string& tmp_strText = GetEngine()->KeyboardGetTextInBuffer();
                       lua_pushlstring(fp_pL, tmp_strText.data(), tmp_strText.size());
                       return 1;
                   });
}

int glue_VLA_INP_KeyboardSetTextBufferSize(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_KeyboardSetTextBufferSize", {LUA_TNUMBER});
                       GetEngine()->KeyboardSetTextBufferSize(
                           static_cast<uint32_t>(GlueToInt(fp_pL, 1)));
                       return 0;
                   });
}

int glue_VLA_INP_MouseGetAnyPressedKey(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_MouseGetAnyPressedKey", {});
                       lua_pushnumber(fp_pL, GetEngine()->MouseGetAnyPressedKey());
                       return 1;
                   });
}

int glue_VLA_INP_MouseIsKeyPressed(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_MouseIsKeyPressed", {LUA_TNUMBER});
                       lua_pushboolean(fp_pL,
                                       GetEngine()->MouseIsKeyPressed(GlueToInt(fp_pL, 1)) ? 1 : 0);
                       return 1;
                   });
}

int glue_VLA_INP_MouseIsKeyClicked(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_MouseIsKeyClicked", {LUA_TNUMBER});
                       lua_pushboolean(fp_pL,
                                       GetEngine()->MouseIsKeyClicked(GlueToInt(fp_pL, 1)) ? 1 : 0);
                       return 1;
                   });
}

int glue_VLA_INP_MouseGetDeltaX(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_MouseGetDeltaX", {});
                       lua_pushnumber(fp_pL, GetEngine()->MouseGetDeltaX());
                       return 1;
                   });
}

int glue_VLA_INP_MouseGetDeltaY(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_MouseGetDeltaY", {});
                       lua_pushnumber(fp_pL, GetEngine()->MouseGetDeltaY());
                       return 1;
                   });
}

int glue_VLA_INP_MouseGetWheelDelta(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_MouseGetWheelDelta", {});
                       lua_pushnumber(fp_pL, GetEngine()->MouseGetWheelDelta());
                       return 1;
                   });
}

int glue_VLA_INP_MouseGetCursorPos(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_MouseGetCursorPos", {});
                       int32_t tmp_iX = 0;
                       int32_t tmp_iY = 0;
                       GetEngine()->MouseGetCursorPos(tmp_iX, tmp_iY);
                       lua_pushnumber(fp_pL, tmp_iX);
                       lua_pushnumber(fp_pL, tmp_iY);
                       return 2;
                   });
}

int glue_VLA_INP_MouseGetCursorStatus(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pL)
                   {
                       Checkpoint(kFileID);
                       GlueCheckArgs(fp_pL, "VLA_INP_MouseGetCursorStatus", {});
                       lua_pushboolean(fp_pL, GetEngine()->MouseGetCursorStatus() ? 1 : 0);
                       return 1;
                   });
}

void AppendGlueINP(std::vector<SGlueEntry>& fp_Table)
{
    fp_Table.insert(
        fp_Table.end(),
        {
            {"VLA_INP_KeyboardGetAnyPressedKey", glue_VLA_INP_KeyboardGetAnyPressedKey},
            {"VLA_INP_KeyboardIsKeyPressed", glue_VLA_INP_KeyboardIsKeyPressed},
            {"VLA_INP_KeyboardIsKeyClicked", glue_VLA_INP_KeyboardIsKeyClicked},
            {"VLA_INP_KeyboardSetTextBufferStatus", glue_VLA_INP_KeyboardSetTextBufferStatus},
            {"VLA_INP_KeyboardSetTextInBuffer", glue_VLA_INP_KeyboardSetTextInBuffer},
            {"VLA_INP_KeyboardGetTextInBuffer", glue_VLA_INP_KeyboardGetTextInBuffer},
            {"VLA_INP_KeyboardSetTextBufferSize", glue_VLA_INP_KeyboardSetTextBufferSize},
            {"VLA_INP_MouseGetAnyPressedKey", glue_VLA_INP_MouseGetAnyPressedKey},
            {"VLA_INP_MouseIsKeyPressed", glue_VLA_INP_MouseIsKeyPressed},
            {"VLA_INP_MouseIsKeyClicked", glue_VLA_INP_MouseIsKeyClicked},
            {"VLA_INP_MouseGetDeltaX", glue_VLA_INP_MouseGetDeltaX},
            {"VLA_INP_MouseGetDeltaY", glue_VLA_INP_MouseGetDeltaY},
            {"VLA_INP_MouseGetWheelDelta", glue_VLA_INP_MouseGetWheelDelta},
            {"VLA_INP_MouseGetCursorPos", glue_VLA_INP_MouseGetCursorPos},
            {"VLA_INP_MouseGetCursorStatus", glue_VLA_INP_MouseGetCursorStatus},
        });
}

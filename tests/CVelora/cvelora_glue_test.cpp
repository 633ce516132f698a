// Script API: registration order, the argument checks of every glue function (first bad
// index, numeric strings rejected, optional arguments counted only at the full count), and an
// engine error raised by a glue function reaching the fatal report with the Lua function named.
#include "test_support.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_scr_main.h"

#include <filesystem>
#include <map>
#include <optional>

namespace
{

// Every script API function in registration order with its argument kinds: t text, b bool,
// i int, f float, d id (strID or iID); a trailing '?' makes the last argument optional.
struct SGlueSig
{
    const char* m_pszName;
    const char* m_pszArgs;
    int m_iFileID;
};
const SGlueSig kGlueSigs[] = {
    {"VLA_SYS_TimerGetDelta", "", 138},
    {"VLA_SYS_TimerGetFPS", "", 138},
    {"VLA_SYS_SetXMLEncryptMode", "b", 138},
    {"VLA_SYS_UpdateAllSystems", "", 138},
    {"VLA_LOG_AddEntry", "t", 146},
    {"VLA_GFX_SceneBegin", "", 147},
    {"VLA_GFX_SceneEnd", "", 147},
    {"VLA_GFX_SceneClearScreen", "fff", 147},
    {"VLA_GFX_SceneRender", "", 147},
    {"VLA_GFX_ScenePresent", "", 147},
    {"VLA_GFX_SceneSetViewport", "iiii", 147},
    {"VLA_GFX_SceneMakeScreenshot", "", 147},
    {"VLA_GFX_SceneSetGamma", "ff", 147},
    {"VLA_GFX_VQuadSetPos", "fffff?", 147},
    {"VLA_GFX_VQuadSetPosByVertex", "ifff?", 147},
    {"VLA_GFX_VQuadRotate", "fff", 147},
    {"VLA_GFX_VQuadScale", "fff", 147},
    {"VLA_GFX_VQuadMove", "fff?", 147},
    {"VLA_GFX_VQuadSetTexCoords", "iffff", 147},
    {"VLA_GFX_VQuadSetColor", "ffff?", 147},
    {"VLA_GFX_VQuadSetColorByVertex", "iffff?", 147},
    {"VLA_GFX_TexUnloadByID", "d", 147},
    {"VLA_GFX_TexSet", "di?", 147},
    {"VLA_GFX_TexSetNoTexture", "i?", 147},
    {"VLA_GFX_TechApply", "d", 147},
    {"VLA_GFX_FontSet", "d", 147},
    {"VLA_GFX_FontDrawText", "tffiif", 147},
    {"VLA_INP_KeyboardGetAnyPressedKey", "", 148},
    {"VLA_INP_KeyboardIsKeyPressed", "i", 148},
    {"VLA_INP_KeyboardIsKeyClicked", "i", 148},
    {"VLA_INP_KeyboardSetTextBufferStatus", "b", 148},
    {"VLA_INP_KeyboardSetTextInBuffer", "t", 148},
    {"VLA_INP_KeyboardGetTextInBuffer", "", 148},
    {"VLA_INP_KeyboardSetTextBufferSize", "i", 148},
    {"VLA_INP_MouseGetAnyPressedKey", "", 148},
    {"VLA_INP_MouseIsKeyPressed", "i", 148},
    {"VLA_INP_MouseIsKeyClicked", "i", 148},
    {"VLA_INP_MouseGetDeltaX", "", 148},
    {"VLA_INP_MouseGetDeltaY", "", 148},
    {"VLA_INP_MouseGetWheelDelta", "", 148},
    {"VLA_INP_MouseGetCursorPos", "", 148},
    {"VLA_INP_MouseGetCursorStatus", "", 148},
    {"VLA_SFX_SetGlobalVolumes", "ii", 149},
    {"VLA_SFX_SoundUnload", "d", 149},
    {"VLA_SFX_SoundPlay", "dbiii", 149},
    {"VLA_SFX_SoundStop", "d", 149},
    {"VLA_SFX_SoundPause", "d", 149},
    {"VLA_SFX_SoundResume", "d", 149},
    {"VLA_SFX_SoundSetAttributes", "diii", 149},
    {"VLA_SFX_SoundSlideAttributes", "diiii", 149},
    {"VLA_SFX_SoundGetStatus", "d", 149},
    {"VLA_SFX_MusicSetVolume", "ii", 149},
    {"VLA_SFX_PlaylistSet", "d", 149},
    {"VLA_SFX_PlaylistStop", "", 149},
    {"VLA_RES_LoadResource", "t", 150},
    {"VLA_RES_LoadResources", "i", 150},
    {"VLAUTIL_DemandTexture", "t", 151},
    {"VLAUTIL_DemandTechnique", "tt", 151},
    {"VLAUTIL_DemandFont", "t", 151},
    {"VLAUTIL_DemandSound", "t", 151},
    {"VLAUTIL_DemandMusic", "t", 151},
    {"VLAUTIL_DemandPlaylist", "t", 151},
};

// A value of the right kind, and values of the wrong kind (numeric strings included).
std::string GoodValue(char fp_cKind)
{
    switch (fp_cKind)
    {
    case 't':
        return "'TXT'";
    case 'b':
        return "true";
    case 'd':
        return "'ID'";
    default:
        return "1";
    }
}
std::vector<std::string> BadValues(char fp_cKind)
{
    switch (fp_cKind)
    {
    case 't':
        return {"5", "nil", "{}"};
    case 'b':
        return {"1", "nil", "'true'"};
    case 'd':
        return {"true", "nil", "{}"};
    default:
        return {"'1'", "'A'", "false", "nil"};
    }
}

struct SArgRow
{
    std::string m_strCall;
    int m_iBadIndex;
};

// Calls that must fail the argument check, with the index they must name.
std::vector<SArgRow> ArgErrorRows(const SGlueSig& fp_Sig)
{
    std::string tmp_strKinds = fp_Sig.m_pszArgs;
    const bool tmp_bOptional = !tmp_strKinds.empty() && tmp_strKinds.back() == '?';
    if (tmp_bOptional)
        tmp_strKinds.pop_back();
    const int tmp_iFull = static_cast<int>(tmp_strKinds.size());
    const int tmp_iRequired = tmp_bOptional ? tmp_iFull - 1 : tmp_iFull;
    auto tmp_Call = [&](const std::vector<std::string>& fp_Args)
    {
        std::string tmp_strCall = std::string(fp_Sig.m_pszName) + "(";
        for (size_t a = 0; a < fp_Args.size(); ++a)
            tmp_strCall += (a ? ", " : "") + fp_Args[a];
        return tmp_strCall + ")";
    };
    std::vector<std::string> tmp_Good;
    for (char c : tmp_strKinds)
        tmp_Good.push_back(GoodValue(c));

    std::vector<SArgRow> tmp_Rows;
    for (int i = 0; i < tmp_iFull; ++i)
        for (const std::string& tmp_strBad : BadValues(tmp_strKinds[i]))
        {
            // Wrong at i (at the full count, so an optional argument is checked too).
            std::vector<std::string> tmp_Args = tmp_Good;
            tmp_Args[i] = tmp_strBad;
            tmp_Rows.push_back({tmp_Call(tmp_Args), i + 1});
            // A later wrong argument does not change the index reported.
            if (i + 1 < tmp_iFull)
            {
                tmp_Args[tmp_iFull - 1] = BadValues(tmp_strKinds[tmp_iFull - 1])[0];
                tmp_Rows.push_back({tmp_Call(tmp_Args), i + 1});
            }
        }
    // A missing required argument fails at its index.
    for (int i = 0; i < tmp_iRequired; ++i)
        tmp_Rows.push_back(
            {tmp_Call(std::vector<std::string>(tmp_Good.begin(), tmp_Good.begin() + i)), i + 1});
    return tmp_Rows;
}

std::string ArgErrorText(const char* fp_pszName, int fp_iIndex)
{
    return std::string("Error in glue function: glue_") + fp_pszName +
           ".Invalid argument type. Index = " + std::to_string(fp_iIndex);
}

class GlueTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_pVLA = new CVelora();
        m_pVLA->InitScriptsSubsystem();
    }
    void TearDown() override
    {
        if (GetEngine() != nullptr)
            delete GetEngine();
        TempDirTest::TearDown();
    }
    std::optional<CEHSException> Run(const std::string& fp_strText)
    {
        try
        {
            m_pVLA->LoadScriptFromBuffer(fp_strText.data(), fp_strText.size(), "SCR_GLUE");
        }
        catch (const CEHSException& e)
        {
            return e;
        }
        return std::nullopt;
    }
    CVelora* m_pVLA = nullptr;
};

TEST_F(GlueTest, FunctionsAreRegisteredInTableOrderAsGlobalFunctions)
{
    const std::vector<SGlueEntry> tmp_Table = GetScriptAPITable();
    // Registered functions follow the table's order (those whose engine operation is not part
    // of this build are absent).
    size_t tmp_uiNext = 0;
    for (const SGlueEntry& tmp_Entry : tmp_Table)
    {
        while (tmp_uiNext < std::size(kGlueSigs) &&
               std::string(kGlueSigs[tmp_uiNext].m_pszName) != tmp_Entry.m_pszName)
            ++tmp_uiNext;
        ASSERT_LT(tmp_uiNext, std::size(kGlueSigs)) << tmp_Entry.m_pszName << " out of order";
        ++tmp_uiNext;
        lua_getglobal(m_pVLA->m_pLuaState, tmp_Entry.m_pszName);
        EXPECT_TRUE(lua_iscfunction(m_pVLA->m_pLuaState, -1)) << tmp_Entry.m_pszName;
        lua_settop(m_pVLA->m_pLuaState, 0);
    }
    EXPECT_EQ(tmp_Table.size(), std::size(kGlueSigs)); // all 62
}

TEST_F(GlueTest, EveryArgumentCheckNamesTheFirstBadIndex)
{
    std::map<std::string, const SGlueSig*> tmp_Sigs;
    for (const SGlueSig& tmp_Sig : kGlueSigs)
        tmp_Sigs[tmp_Sig.m_pszName] = &tmp_Sig;
    int tmp_iRows = 0;
    for (const SGlueEntry& tmp_Entry : GetScriptAPITable())
    {
        const SGlueSig& tmp_Sig = *tmp_Sigs.at(tmp_Entry.m_pszName);
        for (const SArgRow& tmp_Row : ArgErrorRows(tmp_Sig))
        {
            SetCheckpoint(0, 0);
            auto tmp_Err = Run(tmp_Row.m_strCall);
            ASSERT_TRUE(tmp_Err) << tmp_Row.m_strCall;
            EXPECT_EQ(tmp_Err->m_iType, EHS_GAME) << tmp_Row.m_strCall;
            EXPECT_EQ(tmp_Err->m_iCode, 0) << tmp_Row.m_strCall;
            EXPECT_EQ(tmp_Err->m_strDesc, ArgErrorText(tmp_Sig.m_pszName, tmp_Row.m_iBadIndex))
                << tmp_Row.m_strCall;
            // Raised by the glue function itself, after its checkpoint.
            EXPECT_NE(tmp_Err->m_strFile.find("cvelora_glue_"), std::string::npos);
            EXPECT_EQ(GetCheckpointFileID(), tmp_Sig.m_iFileID) << tmp_Row.m_strCall;
            ++tmp_iRows;
        }
    }
    EXPECT_GT(tmp_iRows, 0);
}

TEST_F(GlueTest, SysAndLogFunctionsReachTheEngine)
{
    m_pVLA->m_fDeltaSeconds = 0.25f;
    m_pVLA->m_iFPS = 42;
    ASSERT_FALSE(Run("d = VLA_SYS_TimerGetDelta()\n"
                     "fps = VLA_SYS_TimerGetFPS(1, 'extra arguments are ignored')\n"
                     "VLA_SYS_SetXMLEncryptMode(true)\n"
                     "VLA_LOG_AddEntry('line from a script')\n"));
    lua_State* L = m_pVLA->m_pLuaState;
    lua_getglobal(L, "d");
    lua_getglobal(L, "fps");
    EXPECT_EQ(lua_tonumber(L, 1), 0.25);
    EXPECT_EQ(lua_tonumber(L, 2), 42.0);
    lua_settop(L, 0);
    EXPECT_TRUE(m_pVLA->m_bXMLEncryption);
    EXPECT_NE(ReadFile(kLogFileName).find("\nline from a script\n"), std::string::npos);
    ASSERT_FALSE(Run("VLA_SYS_SetXMLEncryptMode(false)"));
    EXPECT_FALSE(m_pVLA->m_bXMLEncryption);
}

// An engine error raised inside a glue function ends the run through the top-level handler
// exactly as raised, and the report names the script function the engine called.
TEST_F(GlueTest, EngineErrorInGlueReachesTheFatalReportWithTheFunctionNamed)
{
    const std::string tmp_strScript = "function OnFrame() VLA_LOG_AddEntry(12) end";
    m_pVLA->LoadScriptFromBuffer(tmp_strScript.data(), tmp_strScript.size(), "SCR_FRAME");
    ReportFatalError([] { GetEngine()->CallScriptFunction("OnFrame", LUA_MULTRET); });
    EXPECT_EQ(GetEngine(), nullptr);
    const std::string tmp_strLog = ReadFile(kLogFileName);
    EXPECT_NE(tmp_strLog.find(" !!!: Error type: Game.\n"
                              " !!!: Error code: 0\n"
                              " !!!: Error desc: " +
                              ArgErrorText("VLA_LOG_AddEntry", 1) + "\n"),
              std::string::npos)
        << tmp_strLog;
    EXPECT_NE(tmp_strLog.find("cvelora_glue_log.cpp\n"), std::string::npos);
    EXPECT_NE(tmp_strLog.find(" !!!: Last called Lua function name: OnFrame\n"), std::string::npos);
    // The scripts stopped in the fatal teardown.
    EXPECT_NE(tmp_strLog.find("Deinitializing Scripts Subsystem..."), std::string::npos);
    const std::string tmp_strEHS = ReadFile("ehslog.txt");
    EXPECT_NE(tmp_strEHS.find("Exception type: Game.\n"), std::string::npos);
    EXPECT_NE(tmp_strEHS.find("Exception desc: " + ArgErrorText("VLA_LOG_AddEntry", 1) + "\n"),
              std::string::npos);
    m_pVLA = nullptr;
}

} // namespace

namespace
{

// SCRIPT resources load through the resource subsystem, and scripts load resources.
TEST_F(GlueTest, ScriptResourcesAndResourceFunctions)
{
    std::filesystem::create_directory("DATA");
    WriteFile("DATA/pack.xml",
              "<respack>"
              "<res id=\"SCR_MAIN\" typeid=\"SCRIPT\" filename=\"main.lua\" tag=\"1\"/>"
              "<res id=\"SCR_TWO\" typeid=\"SCRIPT\" filename=\"two.lua\" tag=\"2\"/>"
              "<res id=\"SCR_THREE\" typeid=\"SCRIPT\" filename=\"three.lua\" tag=\"3\"/>"
              "</respack>");
    WriteFile("DATA/main.lua",
              "loaded = (loaded or '') .. 'main '\n"
              "function LoadMore() VLA_RES_LoadResources(2) VLA_RES_LoadResource('SCR_THREE') "
              "VLA_RES_LoadResource('SCR_NONE') end");
    WriteFile("DATA/two.lua", "loaded = loaded .. 'two '");
    WriteFile("DATA/three.lua", "loaded = loaded .. 'three'");
    m_pVLA->InitResourcesSubsystem();
    m_pVLA->LoadResource("SCR_MAIN");
    m_pVLA->CallScriptFunction("LoadMore", LUA_MULTRET);
    lua_getglobal(m_pVLA->m_pLuaState, "loaded");
    EXPECT_STREQ(lua_tostring(m_pVLA->m_pLuaState, -1), "main two three");
    lua_settop(m_pVLA->m_pLuaState, 0);
    const std::string tmp_strLog = ReadFile(kLogFileName);
    EXPECT_NE(tmp_strLog.find("   =: Loading script from buffer: SCR_TWO\n"), std::string::npos);
    EXPECT_NE(tmp_strLog.find(" !: Cannot find resource with ID = SCR_NONE\n"), std::string::npos);
}

} // namespace

namespace
{

// Reads the globals a script set, as numbers, booleans or strings.
std::string GlobalText(lua_State* L, const char* fp_pszName)
{
    lua_getglobal(L, fp_pszName);
    std::string tmp_strText;
    switch (lua_type(L, -1))
    {
    case LUA_TBOOLEAN:
        tmp_strText = lua_toboolean(L, -1) ? "true" : "false";
        break;
    case LUA_TNUMBER:
    case LUA_TSTRING:
        tmp_strText = lua_tostring(L, -1);
        break;
    default:
        tmp_strText = lua_typename(L, lua_type(L, -1));
    }
    lua_settop(L, 0);
    return tmp_strText;
}

// The input functions read the input block's state of this frame and the last.
TEST_F(GlueTest, InputFunctionsReachTheInputState)
{
    m_pVLA->m_aInpKeyState[30] = 0x80;     // A held now
    m_pVLA->m_aInpPrevKeyState[30] = 0x80; // ... and before: pressed, not clicked
    m_pVLA->m_aInpKeyState[57] = 0x80;     // Space went down this frame: clicked
    m_pVLA->m_InpMouseState = {-3, 7, -120, {0, 0x80, 0, 0, 0, 0, 0, 0}};
    m_pVLA->m_iInpCursorX = 412;
    m_pVLA->m_iInpCursorY = 305;
    m_pVLA->m_bInpCursorInside = true;
    ASSERT_FALSE(Run("anykey = VLA_INP_KeyboardGetAnyPressedKey()\n"
                     "apressed = VLA_INP_KeyboardIsKeyPressed(30)\n"
                     "aclicked = VLA_INP_KeyboardIsKeyClicked(30.9)\n" // truncated to 30
                     "spclicked = VLA_INP_KeyboardIsKeyClicked(57)\n"
                     "bpressed = VLA_INP_KeyboardIsKeyPressed(48)\n"
                     "anybutton = VLA_INP_MouseGetAnyPressedKey()\n"
                     "rpressed = VLA_INP_MouseIsKeyPressed(2)\n"
                     "rclicked = VLA_INP_MouseIsKeyClicked(2)\n"
                     "lpressed = VLA_INP_MouseIsKeyPressed(1)\n"
                     "dx = VLA_INP_MouseGetDeltaX() dy = VLA_INP_MouseGetDeltaY()\n"
                     "wheel = VLA_INP_MouseGetWheelDelta()\n"
                     "x, y = VLA_INP_MouseGetCursorPos()\n"
                     "inside = VLA_INP_MouseGetCursorStatus()\n"
                     "VLA_INP_KeyboardSetTextBufferStatus(true)\n"
                     "VLA_INP_KeyboardSetTextBufferSize(-1)\n"
                     "VLA_INP_KeyboardSetTextInBuffer('Ann\\0Lee')\n"
                     "text = VLA_INP_KeyboardGetTextInBuffer()\n"));
    lua_State* L = m_pVLA->m_pLuaState;
    const std::pair<const char*, const char*> tmp_Expected[] = {
        {"anykey", "30"},      {"apressed", "true"}, {"aclicked", "false"}, {"spclicked", "true"},
        {"bpressed", "false"}, {"anybutton", "2"},   {"rpressed", "true"},  {"rclicked", "true"},
        {"lpressed", "false"}, {"dx", "-3"},         {"dy", "7"},           {"wheel", "-1"},
        {"x", "412"},          {"y", "305"},         {"inside", "true"},
    };
    for (const auto& [tmp_pszName, tmp_pszValue] : tmp_Expected)
        EXPECT_EQ(GlobalText(L, tmp_pszName), tmp_pszValue) << tmp_pszName;
    EXPECT_TRUE(m_pVLA->m_bInpTextBufferStatus);
    EXPECT_EQ(m_pVLA->m_uiInpTextBufferMax, 4294967295u);
    EXPECT_EQ(m_pVLA->m_strInpTextBuffer, std::string("Ann\0Lee", 7));
    lua_getglobal(L, "text");
    size_t tmp_uiLen = 0;
    const char* tmp_pszText = lua_tolstring(L, -1, &tmp_uiLen);
    EXPECT_EQ(std::string(tmp_pszText, tmp_uiLen), std::string("Ann\0Lee", 7));
    lua_settop(L, 0);
}

} // namespace

// Script subsystem: the Lua state and its libraries, script loading and its errors, calls of
// script functions with parameters and results, CLuaValue, and engine errors raised inside
// script API functions leaving the interpreter unchanged.
#include "test_support.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_scr_main.h"

#include <functional>
#include <optional>

namespace
{

const std::string kSep1 = "|---------------------------------------------------|\n";

// Runs fp_Body and returns the engine error it raised (none when it returned).
std::optional<CEHSException> CatchEHS(const std::function<void()>& fp_Body)
{
    try
    {
        fp_Body();
    }
    catch (const CEHSException& e)
    {
        return e;
    }
    return std::nullopt;
}

class ScrTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        m_pVLA = new CVelora();
        m_pVLA->InitScriptsSubsystem();
        L = m_pVLA->m_pLuaState;
    }
    void TearDown() override
    {
        // A fatal path may already have deleted the engine.
        if (GetEngine() != nullptr)
            delete GetEngine();
        TempDirTest::TearDown();
    }

    void Load(const std::string& fp_strText, const std::string& fp_strName = "SCR_TEST")
    {
        m_pVLA->LoadScriptFromBuffer(fp_strText.data(), fp_strText.size(), fp_strName);
    }
    std::optional<CEHSException> LoadError(const std::string& fp_strText,
                                           const std::string& fp_strName = "SCR_TEST")
    {
        return CatchEHS([&] { Load(fp_strText, fp_strName); });
    }
    double GlobalNumber(const char* fp_pszName)
    {
        lua_getglobal(L, fp_pszName);
        double tmp_dValue = lua_tonumber(L, -1);
        lua_settop(L, 0);
        return tmp_dValue;
    }
    int GlobalType(const char* fp_pszName)
    {
        lua_getglobal(L, fp_pszName);
        int tmp_iType = lua_type(L, -1);
        lua_settop(L, 0);
        return tmp_iType;
    }
    std::string Log() { return ReadFile(kLogFileName); }

    CVelora* m_pVLA = nullptr;
    lua_State* L = nullptr;
};

// ---- Start, stop and loading ----

TEST_F(ScrTest, InitLogsItsBlockAndOpensOnlyBaseMathIoOs)
{
    EXPECT_NE(Log().find(kSep1 +
                         "--==: Initializing Scripts Subsystem...\n\n"
                         "   =:    Creating Lua state...\n"
                         "   +:    Done.\n\n\n"
                         "   =:    Initializing standart Lua libraries...\n"
                         "   +:    Done.\n\n"
                         "   +: Done.\n" +
                         kSep1 + "\n"),
              std::string::npos)
        << Log();
    const struct
    {
        const char* m_pszGlobal;
        int m_iType;
    } tmp_Rows[] = {{"print", LUA_TFUNCTION}, {"pcall", LUA_TFUNCTION}, {"coroutine", LUA_TTABLE},
                    {"math", LUA_TTABLE},     {"io", LUA_TTABLE},       {"os", LUA_TTABLE},
                    {"string", LUA_TNIL},     {"table", LUA_TNIL},      {"debug", LUA_TNIL},
                    {"package", LUA_TNIL},    {"require", LUA_TNIL}};
    for (const auto& tmp_Row : tmp_Rows)
        EXPECT_EQ(GlobalType(tmp_Row.m_pszGlobal), tmp_Row.m_iType) << tmp_Row.m_pszGlobal;
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScrTest, SecondInitAndStopWithoutStartAreGeneralErrors)
{
    auto tmp_Err = CatchEHS([&] { m_pVLA->InitScriptsSubsystem(); });
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_GENERAL);
    EXPECT_EQ(tmp_Err->m_strDesc, "Script subsystem reinitialization!");

    delete m_pVLA;
    m_pVLA = new CVelora();
    tmp_Err = CatchEHS([&] { m_pVLA->DeinitScriptsSubsystem(); });
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_GENERAL);
    EXPECT_EQ(tmp_Err->m_strDesc, "Internal error - scripts subsystem was not initialized!");
}

TEST_F(ScrTest, StopLogsItsBlockAndDestructorStopsScripts)
{
    size_t tmp_uiBefore = Log().size();
    delete m_pVLA;
    m_pVLA = nullptr;
    std::string tmp_strTail = Log().substr(tmp_uiBefore);
    EXPECT_NE(tmp_strTail.find(kSep1 +
                               "--==: Deinitializing Scripts Subsystem...\n"
                               "   +: Done.\n" +
                               kSep1 + "\n"),
              std::string::npos)
        << tmp_strTail;
}

TEST_F(ScrTest, LoadedScriptDefinesGlobalsAndLogsItsName)
{
    size_t tmp_uiBefore = Log().size();
    Load("function OnStart() end", "SCR_START");
    EXPECT_EQ(Log().substr(tmp_uiBefore),
              "\n   =: Loading script from buffer: SCR_START\n   +: Done.\n\n");
    EXPECT_EQ(GlobalType("OnStart"), LUA_TFUNCTION);
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScrTest, EachLoadRunsTheChunkAgainAndGlobalsPersist)
{
    Load("count = (count or 0) + 1", "SCR_COUNT");
    Load("count = (count or 0) + 1", "SCR_COUNT");
    Load("twice = count * 2", "SCR_OTHER");
    EXPECT_EQ(GlobalNumber("count"), 2.0);
    EXPECT_EQ(GlobalNumber("twice"), 4.0);
}

TEST_F(ScrTest, LoadErrorsCarryStatusAndMessageNamingTheChunk)
{
    const struct
    {
        const char* m_pszText;
        int m_iCode;
        const char* m_pszDesc; // exact, or a part of it when m_bExact is false
        bool m_bExact;
    } tmp_Rows[] = {
        {"function (", 3, "[string \"SCR_BAD\"]:1: '<name>' expected near '('", true},
        {"x = = 1", 3, "[string \"SCR_BAD\"]:1: unexpected symbol near '='", true},
        {"error(\"x\")", 1, "[string \"SCR_BAD\"]:1: x", true},
        {"\nlocal n = string.len(\"abc\")", 1,
         "[string \"SCR_BAD\"]:2: attempt to index global 'string' (a nil value)", true},
        {"error(\"plain\", 0)", 1, "plain", true},
        {"error({})", 1, "(error object is a table value)", true},
        {"error()", 1, "(error object is a nil value)", true},
    };
    for (const auto& tmp_Row : tmp_Rows)
    {
        auto tmp_Err = LoadError(tmp_Row.m_pszText, "SCR_BAD");
        ASSERT_TRUE(tmp_Err) << tmp_Row.m_pszText;
        EXPECT_EQ(tmp_Err->m_iType, EHS_LUA) << tmp_Row.m_pszText;
        EXPECT_EQ(tmp_Err->m_iCode, tmp_Row.m_iCode) << tmp_Row.m_pszText;
        EXPECT_EQ(tmp_Err->m_strDesc, tmp_Row.m_pszDesc) << tmp_Row.m_pszText;
        EXPECT_EQ(lua_gettop(L), 0) << tmp_Row.m_pszText;
    }
}

TEST_F(ScrTest, MathOsIoAndCoroutinesWork)
{
    Load("f = math.floor(2.7)\n"
         "t = os.time()\n"
         "clk = os.clock()\n"
         "h = io.open('made.txt', 'w'); h:write('hi'); h:close()\n"
         "co = coroutine.create(function(a) local b = coroutine.yield(a + 1) return b * 2 end)\n"
         "_, c1 = coroutine.resume(co, 1)\n"
         "_, c2 = coroutine.resume(co, 5)\n");
    EXPECT_EQ(GlobalNumber("f"), 2.0);
    EXPECT_GT(GlobalNumber("t"), 1.0e9);
    EXPECT_EQ(ReadFile("made.txt"), "hi");
    EXPECT_EQ(GlobalNumber("c1"), 2.0);
    EXPECT_EQ(GlobalNumber("c2"), 10.0);
}

TEST_F(ScrTest, PanicBecomesGameErrorAndStateStaysUsable)
{
    auto tmp_Err = CatchEHS(
        [&]
        {
            lua_pushstring(L, "outside any protected call");
            lua_error(L);
        });
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_GAME);
    EXPECT_EQ(tmp_Err->m_strDesc, "Lua is on panic! Error source is unknown.");
    Load("after = 7");
    EXPECT_EQ(GlobalNumber("after"), 7.0);
}

TEST_F(ScrTest, RegisterScriptFunctionReplacesAnEarlierOne)
{
    m_pVLA->RegisterScriptFunction("Native",
                                   [](lua_State* fp_pL)
                                   {
                                       lua_pushnumber(fp_pL, 1);
                                       return 1;
                                   });
    m_pVLA->RegisterScriptFunction("Native",
                                   [](lua_State* fp_pL)
                                   {
                                       lua_pushnumber(fp_pL, 2);
                                       return 1;
                                   });
    EXPECT_EQ(lua_gettop(L), 0);
    Load("v = Native()");
    EXPECT_EQ(GlobalNumber("v"), 2.0);
}

// ---- CLuaValue ----

TEST(CLuaValueTest, GettersReturnOnlyTheFieldTheValueHolds)
{
    const CLuaValue tmp_Values[] = {CLuaValue(2.5), CLuaValue(true), CLuaValue("txt", false),
                                    CLuaValue("Fn", true)};
    const char* tmp_pszTexts[] = {
        "CLuaValue error: cannot return number because of different status!",
        "CLuaValue error: cannot return boolean because of different status!",
        "CLuaValue error: cannot return string because of different status!",
        "CLuaValue error: cannot return function because of different status!"};
    for (int v = 0; v < 4; ++v)
    {
        EXPECT_EQ(tmp_Values[v].GetStatus(), v + 1);
        const std::function<void()> tmp_Getters[] = {
            [&] { (void)tmp_Values[v].GetNumber(); }, [&] { (void)tmp_Values[v].GetBoolean(); },
            [&] { (void)tmp_Values[v].GetString(); }, [&] { (void)tmp_Values[v].GetFunction(); }};
        for (int g = 0; g < 4; ++g)
        {
            auto tmp_Err = CatchEHS(tmp_Getters[g]);
            if (g == v)
            {
                EXPECT_FALSE(tmp_Err) << v << " " << g;
                continue;
            }
            ASSERT_TRUE(tmp_Err) << v << " " << g;
            EXPECT_EQ(tmp_Err->m_iType, EHS_GENERAL);
            EXPECT_EQ(tmp_Err->m_strDesc, tmp_pszTexts[g]);
        }
    }
    EXPECT_EQ(tmp_Values[0].GetNumber(), 2.5);
    EXPECT_TRUE(tmp_Values[1].GetBoolean());
    EXPECT_EQ(tmp_Values[2].GetString(), "txt");
    EXPECT_EQ(tmp_Values[3].GetFunction(), "Fn");
    CLuaValue tmp_Copy = tmp_Values[2];
    EXPECT_EQ(tmp_Copy.GetString(), "txt");
}

// ---- Calling script functions ----

TEST_F(ScrTest, ResultsComeBackInReverseOrder)
{
    Load("function F() return 1, 'a', true end\n"
         "function G() local f = function() end return f end\n"
         "function Nothing() end");
    m_pVLA->CallScriptFunction("F", LUA_MULTRET);
    ASSERT_EQ(m_pVLA->m_ScriptResults.size(), 3u);
    EXPECT_EQ(m_pVLA->m_ScriptResults[0].GetStatus(), LUAVAL_BOOLEAN);
    EXPECT_TRUE(m_pVLA->m_ScriptResults[0].GetBoolean());
    EXPECT_EQ(m_pVLA->m_ScriptResults[1].GetString(), "a");
    EXPECT_EQ(m_pVLA->m_ScriptResults[2].GetNumber(), 1.0);
    EXPECT_EQ(m_pVLA->GetLastCalledLuaFunctionName(), "F");
    EXPECT_EQ(lua_gettop(L), 0);

    m_pVLA->CallScriptFunction("F", 1); // the result count is the interpreter's
    ASSERT_EQ(m_pVLA->m_ScriptResults.size(), 1u);
    EXPECT_EQ(m_pVLA->m_ScriptResults[0].GetNumber(), 1.0);

    m_pVLA->CallScriptFunction("G", LUA_MULTRET);
    ASSERT_EQ(m_pVLA->m_ScriptResults.size(), 1u);
    EXPECT_EQ(m_pVLA->m_ScriptResults[0].GetStatus(), LUAVAL_FUNCTION);

    m_pVLA->CallScriptFunction("Nothing", LUA_MULTRET);
    EXPECT_TRUE(m_pVLA->m_ScriptResults.empty());
}

TEST_F(ScrTest, ParametersArriveInOrderAndAreConsumed)
{
    Load("function P(a, b, c, d) return type(a), a, type(b), b, type(c), c, type(d), d end");
    m_pVLA->AddScriptParam(CLuaValue(2.5));
    m_pVLA->AddScriptParam(CLuaValue(true));
    m_pVLA->AddScriptParam(CLuaValue("s", false));
    m_pVLA->AddScriptParam(CLuaValue("OnClick", true));
    m_pVLA->CallScriptFunction("P", LUA_MULTRET);
    EXPECT_TRUE(m_pVLA->m_ScriptParams.empty());
    const auto& R = m_pVLA->m_ScriptResults;
    ASSERT_EQ(R.size(), 8u);
    EXPECT_EQ(R[7].GetString(), "number");
    EXPECT_EQ(R[6].GetNumber(), 2.5);
    EXPECT_EQ(R[5].GetString(), "boolean");
    EXPECT_TRUE(R[4].GetBoolean());
    EXPECT_EQ(R[3].GetString(), "string");
    EXPECT_EQ(R[2].GetString(), "s");
    EXPECT_EQ(R[1].GetString(), "string"); // a function value travels as its name
    EXPECT_EQ(R[0].GetString(), "OnClick");
}

TEST_F(ScrTest, InvalidResultTypesAreGameErrorsNamingTheFunction)
{
    Load("function RNil() return nil end\n"
         "function RTable() return 1, {} end\n"
         "function RThread() return coroutine.create(function() end) end\n"
         "function ROne() return 1 end");
    const struct
    {
        const char* m_pszName;
        int m_iCount;
        int m_iType;
    } tmp_Rows[] = {{"RNil", LUA_MULTRET, 0},
                    {"RTable", LUA_MULTRET, 5},
                    {"RThread", LUA_MULTRET, 8},
                    {"ROne", 2, 0}};
    for (const auto& tmp_Row : tmp_Rows)
    {
        auto tmp_Err =
            CatchEHS([&] { m_pVLA->CallScriptFunction(tmp_Row.m_pszName, tmp_Row.m_iCount); });
        ASSERT_TRUE(tmp_Err) << tmp_Row.m_pszName;
        EXPECT_EQ(tmp_Err->m_iType, EHS_GAME);
        EXPECT_EQ(tmp_Err->m_strDesc, std::string("Function: ") + tmp_Row.m_pszName +
                                          " returned result of invalid type. Type id = " +
                                          std::to_string(tmp_Row.m_iType));
    }
}

TEST_F(ScrTest, RunErrorIsLuaErrorAndKeepsThePendingParameters)
{
    Load("function Fail(a) error('bad ' .. a) end");
    m_pVLA->AddScriptParam(CLuaValue("arg", false));
    auto tmp_Err = CatchEHS([&] { m_pVLA->CallScriptFunction("Fail", LUA_MULTRET); });
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_LUA);
    EXPECT_EQ(tmp_Err->m_iCode, 1);
    EXPECT_EQ(tmp_Err->m_strDesc, "[string \"SCR_TEST\"]:1: bad arg");
    EXPECT_EQ(m_pVLA->m_ScriptParams.size(), 1u);
    EXPECT_EQ(m_pVLA->GetLastCalledLuaFunctionName(), "Fail");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScrTest, ParameterWithoutValueIsRefused)
{
    Load("called = false function F() called = true end");
    m_pVLA->AddScriptParam(CLuaValue());
    auto tmp_Err = CatchEHS([&] { m_pVLA->CallScriptFunction("F", LUA_MULTRET); });
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_GAME);
    EXPECT_EQ(tmp_Err->m_strDesc, "Function: F Wrong parameter type. Type id = 0");
    EXPECT_EQ(GlobalType("called"), LUA_TBOOLEAN);
    lua_getglobal(L, "called");
    EXPECT_FALSE(lua_toboolean(L, -1));
    lua_settop(L, 0);
}

TEST_F(ScrTest, NamesThatAreNotFunctionsCallNothingAndLogNothing)
{
    Load("NUMBER = 5 TABLE = {} STRING = 'F'");
    const char* tmp_pszNames[] = {"Missing", "NUMBER", "TABLE", "STRING", ""};
    for (const char* tmp_pszName : tmp_pszNames)
    {
        m_pVLA->AddScriptParam(CLuaValue(1.0));
        size_t tmp_uiLog = Log().size();
        EXPECT_FALSE(CatchEHS([&] { m_pVLA->CallScriptFunction(tmp_pszName, LUA_MULTRET); }));
        EXPECT_TRUE(m_pVLA->m_ScriptParams.empty()) << tmp_pszName;
        EXPECT_TRUE(m_pVLA->m_ScriptResults.empty()) << tmp_pszName;
        EXPECT_EQ(Log().size(), tmp_uiLog) << tmp_pszName;
        EXPECT_EQ(m_pVLA->GetLastCalledLuaFunctionName(), tmp_pszName);
        EXPECT_FALSE(m_pVLA->IsScriptFunction(tmp_pszName));
        EXPECT_EQ(lua_gettop(L), 0);
    }
    Load("function Real() end");
    EXPECT_TRUE(m_pVLA->IsScriptFunction("Real"));
    EXPECT_TRUE(m_pVLA->IsScriptFunction("VLA_LOG_AddEntry"));
    EXPECT_EQ(lua_gettop(L), 0);
}

// ---- Engine errors raised inside native functions ----

int NativeThrowsGame(lua_State* fp_pL)
{
    return GlueRun(fp_pL, [](lua_State*) -> int { ThrowGame("Invalid sound ID: 99", 7); });
}
int NativeThrowsText(lua_State* fp_pL)
{
    return GlueRun(fp_pL, [](lua_State*) -> int { throw "Error in TItemsManager<T>::FreeItem"; });
}
int NativeCallsInner(lua_State* fp_pL)
{
    return GlueRun(fp_pL,
                   [](lua_State* fp_pInnerL)
                   {
                       GetEngine()->CallScriptFunction("Inner", LUA_MULTRET);
                       lua_pushnumber(fp_pInnerL, 1);
                       return 1;
                   });
}

TEST_F(ScrTest, EngineErrorLeavesTheScriptUnchanged)
{
    m_pVLA->RegisterScriptFunction("Boom", NativeThrowsGame);
    Load("function Outer() reached = 1 Boom() reached = 2 end");
    auto tmp_Err = CatchEHS([&] { m_pVLA->CallScriptFunction("Outer", LUA_MULTRET); });
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_GAME);
    EXPECT_EQ(tmp_Err->m_iCode, 7);
    EXPECT_EQ(tmp_Err->m_strDesc, "Invalid sound ID: 99");
    EXPECT_NE(tmp_Err->m_strFile.find("cvelora_scr_test.cpp"), std::string::npos);
    EXPECT_EQ(GlobalNumber("reached"), 1.0);
    EXPECT_EQ(lua_gettop(L), 0);
    EXPECT_FALSE(m_pVLA->m_pScriptPendingError);

    // The same at a chunk's top level, inside a coroutine, and for a plain-text error.
    tmp_Err = LoadError("Boom()");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_strDesc, "Invalid sound ID: 99");
    tmp_Err = LoadError("local co = coroutine.wrap(function() Boom() end)\nco()");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_GAME);
    EXPECT_EQ(tmp_Err->m_strDesc, "Invalid sound ID: 99");
    m_pVLA->RegisterScriptFunction("BoomText", NativeThrowsText);
    try
    {
        Load("BoomText()");
        ADD_FAILURE() << "no error";
    }
    catch (const char* fp_pszText)
    {
        EXPECT_STREQ(fp_pszText, "Error in TItemsManager<T>::FreeItem");
    }
}

TEST_F(ScrTest, ScriptCannotSwallowAnEngineErrorWithPcall)
{
    m_pVLA->RegisterScriptFunction("Boom", NativeThrowsGame);
    m_pVLA->RegisterScriptFunction("Counter",
                                   [](lua_State* fp_pL)
                                   {
                                       return GlueRun(fp_pL,
                                                      [](lua_State*)
                                                      {
                                                          GetEngine()->LogAddLine("counter ran");
                                                          return 0;
                                                      });
                                   });
    auto tmp_Err = LoadError("ok, msg = pcall(Boom)\n"
                             "caught = msg\n"
                             "pcall(Counter)\n");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_strDesc, "Invalid sound ID: 99");
    EXPECT_EQ(Log().find("counter ran"), std::string::npos);
    EXPECT_EQ(GlobalType("caught"), LUA_TSTRING);
    // Once rethrown, nothing is left pending.
    Load("Counter()");
    EXPECT_NE(Log().find("counter ran"), std::string::npos);
}

TEST_F(ScrTest, EngineErrorPassesThroughNestedCalls)
{
    m_pVLA->RegisterScriptFunction("Boom", NativeThrowsGame);
    m_pVLA->RegisterScriptFunction("CallInner", NativeCallsInner);
    Load("function Inner() Boom() end\n"
         "function Outer() CallInner() end");
    auto tmp_Err = CatchEHS([&] { m_pVLA->CallScriptFunction("Outer", LUA_MULTRET); });
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_strDesc, "Invalid sound ID: 99");
    EXPECT_EQ(m_pVLA->GetLastCalledLuaFunctionName(), "Inner");
}

// A C++ exception crossing lua_pcall wrecks the state within a few hundred errors; errors
// that travel as stored records must leave it as good as new.
TEST_F(ScrTest, ManyEngineErrorsLeaveTheStateIntact)
{
    m_pVLA->RegisterScriptFunction("Boom", NativeThrowsGame);
    Load("function Deep(n) if n == 0 then Boom() else Deep(n - 1) end end\n"
         "function Sum(a, b) return a + b end");
    for (int i = 0; i < 1000; ++i)
    {
        m_pVLA->AddScriptParam(CLuaValue(10.0));
        ASSERT_TRUE(CatchEHS([&] { m_pVLA->CallScriptFunction("Deep", LUA_MULTRET); })) << i;
        m_pVLA->m_ScriptParams.clear();
    }
    m_pVLA->AddScriptParam(CLuaValue(2.0));
    m_pVLA->AddScriptParam(CLuaValue(3.0));
    m_pVLA->CallScriptFunction("Sum", LUA_MULTRET);
    ASSERT_EQ(m_pVLA->m_ScriptResults.size(), 1u);
    EXPECT_EQ(m_pVLA->m_ScriptResults[0].GetNumber(), 5.0);
    auto tmp_Err = LoadError("error('still a Lua error')");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_LUA);
}

} // namespace

// `vla run`: hosts a game written in Lua alone. With DIR as the working directory it starts the
// engine as the game does, loads the resources, and calls the global Lua function OnFrame once
// per frame until it returns false or the window is closed; errors end the run with the
// engine's fatal reports.
#include "vla_commands.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_gfx_main.h"
#include "CVelora/cvelora_scr_func.h"
#include "Platform/plat_sys.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

namespace
{
const char* const kRunHelp =
    "Usage: vla run DIR [--windowed] [--tags N,N,...]\n"
    "\n"
    "Runs the game in DIR (which holds DATA/) the way the engine runs a game: resources,\n"
    "graphics at 800 x 600 (full screen unless --windowed), input, sound, scripts. Loads the\n"
    "resources of every tag, or only of the tags listed, in that order, then calls the global\n"
    "Lua function OnFrame once per frame until it returns false or the window is closed.\n"
    "The script draws through the script API (VLA_GFX_SceneBegin ... VLA_GFX_ScenePresent).\n"
    "gamelog.txt, ehslog.txt and screenshots are written to DIR. The status is 0 after a\n"
    "normal end and 1 after a fatal error (reported in gamelog.txt and ehslog.txt).\n";

const char* const kFrameFunction = "OnFrame";

struct SRunOptions
{
    std::string m_strDir;
    bool m_bWindowed = false;
    std::vector<int> m_Tags; // empty: every tag
};

SRunOptions g_Options;
bool g_bRunCompleted = false;

bool ParseTags(const std::string& fp_strList, std::vector<int>& fp_Tags)
{
    std::stringstream tmp_Stream(fp_strList);
    std::string tmp_strItem;
    while (std::getline(tmp_Stream, tmp_strItem, ','))
    {
        char* tmp_pszEnd = nullptr;
        const long tmp_lTag = std::strtol(tmp_strItem.c_str(), &tmp_pszEnd, 10);
        if (tmp_strItem.empty() || *tmp_pszEnd != '\0' || tmp_lTag < 1 || tmp_lTag > 1000000)
            return false;
        fp_Tags.push_back(static_cast<int>(tmp_lTag));
    }
    return !fp_Tags.empty();
}

// One frame: the script's OnFrame; a first result of false ends the loop.
bool RunFrame()
{
    CVelora* tmp_pVLA = GetEngine();
    tmp_pVLA->CallScriptFunction(kFrameFunction, kScriptAllResults);
    // The results are stored last returned first.
    const std::vector<CLuaValue>& tmp_Results = tmp_pVLA->m_ScriptResults;
    return tmp_Results.empty() || tmp_Results.back().GetStatus() != LUAVAL_BOOLEAN ||
           tmp_Results.back().GetBoolean();
}

void StopScriptHost() {}

void RunScriptHost(CVelora* fp_pVLA)
{
    fp_pVLA->SetAppName("Velora2D script host", kEngineVersion);
    fp_pVLA->RegisterCallback(StopScriptHost, VLACB_TERMINATION);
    fp_pVLA->InitResourcesSubsystem();

    // Full screen needs an 800 x 600 mode as the game's: mode 2 (32-bit) when valid, else mode 1
    // (16-bit). A window renders in the desktop's format, which is mode 3.
    fp_pVLA->GfxPreinit(800, 600);
    VIDEOCAPS tmp_Caps;
    fp_pVLA->GfxGetVideoCaps(tmp_Caps);
    int tmp_iMode = 3;
    if (!g_Options.m_bWindowed)
    {
        if (tmp_Caps.m_Modes[1].m_bValid)
            tmp_iMode = 2;
        else if (tmp_Caps.m_Modes[0].m_bValid)
            tmp_iMode = 1;
        else
            ThrowGeneral("No video modes available: your video card cannot handle 800x600x16bit "
                         "resolution");
    }
    fp_pVLA->GfxInit(tmp_iMode, g_Options.m_bWindowed);
    fp_pVLA->InpInit();
    fp_pVLA->InitSoundSubsystem(44100);

    fp_pVLA->InitScriptsSubsystem();
    if (g_Options.m_Tags.empty())
        fp_pVLA->LoadResources(0);
    for (int tmp_iTag : g_Options.m_Tags)
        fp_pVLA->LoadResources(tmp_iTag);
    if (!fp_pVLA->IsScriptFunction(kFrameFunction))
        ThrowGame("The scripts define no global function OnFrame!");

    RunMainLoop(RunFrame);
}
} // namespace

int VlaRunMain(const VlaArgs& fp_Args)
{
    g_Options = SRunOptions();
    for (size_t i = 0; i < fp_Args.size(); ++i)
    {
        const std::string& tmp_strArg = fp_Args[i];
        if (VlaIsHelp(tmp_strArg))
        {
            std::cout << kRunHelp;
            return 0;
        }
        if (tmp_strArg == "--windowed")
            g_Options.m_bWindowed = true;
        else if (tmp_strArg == "--tags")
        {
            if (i + 1 >= fp_Args.size() || !ParseTags(fp_Args[++i], g_Options.m_Tags))
                return VlaUsage("run: --tags needs a list of tags like 1,2,3", "run");
        }
        else if (!tmp_strArg.empty() && tmp_strArg[0] == '-')
            return VlaUsage("run: unknown option '" + tmp_strArg + "'", "run");
        else if (g_Options.m_strDir.empty())
            g_Options.m_strDir = tmp_strArg;
        else
            return VlaUsage("run: more than one directory given", "run");
    }
    if (g_Options.m_strDir.empty())
        return VlaUsage("run: missing DIR", "run");
    std::error_code tmp_Ec;
    std::filesystem::current_path(g_Options.m_strDir, tmp_Ec);
    if (tmp_Ec)
        return VlaFail("run: cannot enter " + g_Options.m_strDir + ": " + tmp_Ec.message());
    if (!PlatAcquireSingleInstance("Velora2D App"))
        return VlaFail("run: another Velora2D program is running");

    g_bRunCompleted = false;
    ReportFatalError(
        []
        {
            CVelora* tmp_pVLA = new CVelora;
            RunScriptHost(tmp_pVLA);
            delete tmp_pVLA;
            g_bRunCompleted = true;
        });
    return g_bRunCompleted ? 0 : 1;
}

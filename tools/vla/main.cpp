// `vla`: the command-line tool for people who author game data. Dispatches to one subcommand
// per data area and turns every error into one line on standard error and a non-zero status.
#include "vla_commands.h"

#include "CVelora/cvelora_ehs.h"

#include <cstdio>
#include <exception>
#include <iostream>

namespace
{
struct VlaCommand
{
    const char* m_pszName;
    int (*m_pfnMain)(const VlaArgs&);
    const char* m_pszSummary;
};

// Add a subcommand here: its name, its entry point and one line for the overview.
const VlaCommand kCommands[] = {
    {"pak", VlaPakMain, "build, list and extract binary resource packs"},
    {"xml", VlaXmlMain, "show XML documents as the engine's reader sees them"},
    {"run", VlaRunMain, "run a game written in Lua (OnFrame once per frame)"},
};

void PrintHelp()
{
    std::cout << "Usage: vla COMMAND [ARGS...]\n\nCommands:\n";
    for (const VlaCommand& tmp_Cmd : kCommands)
        std::printf("  %-6s %s\n", tmp_Cmd.m_pszName, tmp_Cmd.m_pszSummary);
    std::cout << "\nRun 'vla COMMAND --help' for the command's own help.\n";
    std::cout.flush();
}
} // namespace

int VlaFail(const std::string& fp_strText)
{
    std::cerr << "vla: " << fp_strText << "\n";
    return 1;
}

int VlaUsage(const std::string& fp_strText, const std::string& fp_strCommand)
{
    std::cerr << "vla: " << fp_strText << " (see 'vla "
              << (fp_strCommand.empty() ? "" : fp_strCommand + " ") << "--help')\n";
    return 2;
}

bool VlaIsHelp(const std::string& fp_strArg)
{
    return fp_strArg == "--help" || fp_strArg == "-h";
}

int main(int argc, char** argv)
{
    const VlaArgs tmp_Args(argv + 1, argv + argc);
    if (tmp_Args.empty())
    {
        PrintHelp();
        return 2;
    }
    if (VlaIsHelp(tmp_Args[0]))
    {
        PrintHelp();
        return 0;
    }
    for (const VlaCommand& tmp_Cmd : kCommands)
    {
        if (tmp_Args[0] != tmp_Cmd.m_pszName)
            continue;
        try
        {
            return tmp_Cmd.m_pfnMain(VlaArgs(tmp_Args.begin() + 1, tmp_Args.end()));
        }
        catch (const CEHSException& e)
        {
            return VlaFail(e.m_strDesc);
        }
        catch (const char* tmp_pszText)
        {
            return VlaFail(tmp_pszText);
        }
        catch (const std::exception& e)
        {
            return VlaFail(e.what());
        }
    }
    return VlaUsage("unknown command '" + tmp_Args[0] + "'", "");
}

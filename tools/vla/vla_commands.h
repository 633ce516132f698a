// The subcommands of the `vla` data tool. Each takes the arguments after its own name, prints
// its help for --help, and returns the process exit status; errors it detects itself go to
// standard error as one line. Engine errors it lets through are reported by main.
#pragma once

#include <string>
#include <vector>

using VlaArgs = std::vector<std::string>;

int VlaPakMain(const VlaArgs& fp_Args);
int VlaXmlMain(const VlaArgs& fp_Args);
int VlaRunMain(const VlaArgs& fp_Args);

// Prints "vla: " + text on standard error and returns the status for a failed command (1).
int VlaFail(const std::string& fp_strText);
// The same for wrong usage (status 2), followed by a hint to the command's help.
int VlaUsage(const std::string& fp_strText, const std::string& fp_strCommand);
bool VlaIsHelp(const std::string& fp_strArg);

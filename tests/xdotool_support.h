// Real input for tests on the virtual display: runs xdotool and reads its answer. Under Xvfb
// there is no window manager, so tests give windows the input focus themselves.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Runs a shell command and returns its standard output without the trailing line break.
inline std::string ShellOutput(const std::string& fp_strCommand)
{
    std::string tmp_strOut;
    if (std::FILE* tmp_pPipe = popen(fp_strCommand.c_str(), "r"))
    {
        char tmp_aBuf[256];
        size_t tmp_uiRead;
        while ((tmp_uiRead = std::fread(tmp_aBuf, 1, sizeof(tmp_aBuf), tmp_pPipe)) > 0)
            tmp_strOut.append(tmp_aBuf, tmp_uiRead);
        pclose(tmp_pPipe);
    }
    while (!tmp_strOut.empty() && (tmp_strOut.back() == '\n' || tmp_strOut.back() == ' '))
        tmp_strOut.pop_back();
    return tmp_strOut;
}

// Runs "xdotool <args>"; a failing xdotool fails the test.
inline void XDo(const std::string& fp_strArgs)
{
    const int tmp_iStatus = std::system(("xdotool " + fp_strArgs + " 2>/dev/null").c_str());
    EXPECT_EQ(tmp_iStatus, 0) << "xdotool " << fp_strArgs;
}

// Runs "xdotool <args>" for cleanup, whatever it answers.
inline void XDoQuietly(const std::string& fp_strArgs)
{
    const int tmp_iStatus = std::system(("xdotool " + fp_strArgs + " >/dev/null 2>&1").c_str());
    (void)tmp_iStatus;
}

// X id of the window titled exactly fp_strTitle (waits for it to be mapped), "" when none.
inline std::string XWindowId(const std::string& fp_strTitle)
{
    return ShellOutput("timeout 10 xdotool search --sync --onlyvisible --name '^" + fp_strTitle +
                       "$' 2>/dev/null | head -n 1");
}

// X id of the root window: giving it the focus takes the focus from every other window.
inline std::string XRootId()
{
    return ShellOutput("xdotool search --maxdepth 0 --name '' 2>/dev/null | head -n 1");
}

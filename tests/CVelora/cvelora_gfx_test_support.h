// Shared pieces of the graphics tests: an engine with the graphics device started windowed at
// 800 x 600 on the virtual display, PNG files made in memory, the picture read back through the
// device's copy of the presented screen, and log expectations built from the log's line shapes.
#pragma once

#include "CVelora/cvelora.h"
#include "test_support.h"

#include <cstdint>
#include <string>
#include <vector>

// PNG file bytes of a w x h image given as 0xAARRGGBB words, rows top-down.
std::string MakePng(int fp_iWidth, int fp_iHeight, const std::vector<uint32_t>& fp_Pixels);

// The log's line shapes.
std::string LogEntry(const std::string& fp_strText, int fp_iKind);
std::string LogLine(const std::string& fp_strText);
std::string LogSeparator1();
std::string LogEmpty(int fp_iCount);

class GfxEngineTest : public TempDirTest
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Pre-initialises at 800 x 600 and starts windowed in mode 3; the log is emptied after.
    void StartGraphics();
    // Device scene with the quad batch open / closed, then present.
    void BeginFrame(uint32_t fp_uiClearColor = 0xFF000000);
    void EndFrame();
    // The presented picture, 0xAARRGGBB rows top-down, of the back-buffer size.
    std::vector<uint32_t> Picture(int& fp_iWidth, int& fp_iHeight);
    std::string TakeLog(); // the log so far; the file is emptied

    CVelora* m_pVLA = nullptr;
};

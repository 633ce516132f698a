// `vla run`: a folder whose script draws quads and text, takes a screenshot, logs and ends after
// a few frames gives the right picture, log and status; an engine error inside the script ends
// the run with both reports naming the Lua function; the example game runs.
#include "test_support.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>
#include <sys/wait.h>

namespace
{

int RunVla(const std::string& fp_strArgs, const std::string& fp_strEnv = "")
{
    const std::string tmp_strCmd = "SDL_AUDIODRIVER=dummy " + fp_strEnv + " " +
                                   std::string(VLA_TOOL_PATH) + " " + fp_strArgs +
                                   " >vla.out 2>vla.err";
    const int tmp_iRaw = std::system(tmp_strCmd.c_str());
    return WIFEXITED(tmp_iRaw) ? WEXITSTATUS(tmp_iRaw) : -1;
}

// A 24-bit BMP as 0xRRGGBB words, rows top-down.
struct SPicture
{
    int m_iWidth = 0;
    int m_iHeight = 0;
    std::vector<uint32_t> m_Pixels;
    uint32_t At(int x, int y) const { return m_Pixels[size_t(y) * size_t(m_iWidth) + size_t(x)]; }
};
SPicture ReadBmp(const std::string& fp_strPath)
{
    const std::string b = ReadFile(fp_strPath);
    auto U32 = [&](size_t o)
    {
        return uint32_t(uint8_t(b[o])) | uint32_t(uint8_t(b[o + 1])) << 8 |
               uint32_t(uint8_t(b[o + 2])) << 16 | uint32_t(uint8_t(b[o + 3])) << 24;
    };
    SPicture p;
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || (uint8_t(b[28]) != 24))
        return p;
    const uint32_t tmp_uiOffset = U32(10);
    p.m_iWidth = int(U32(18));
    const int32_t tmp_iHeight = int32_t(U32(22));
    p.m_iHeight = tmp_iHeight < 0 ? -tmp_iHeight : tmp_iHeight;
    const size_t tmp_uiStride = (size_t(p.m_iWidth) * 3 + 3) & ~size_t(3);
    if (b.size() < tmp_uiOffset + tmp_uiStride * size_t(p.m_iHeight))
        return SPicture();
    p.m_Pixels.resize(size_t(p.m_iWidth) * size_t(p.m_iHeight));
    for (int y = 0; y < p.m_iHeight; ++y)
    {
        const int tmp_iRow = tmp_iHeight > 0 ? p.m_iHeight - 1 - y : y; // bottom-up when positive
        const size_t o = tmp_uiOffset + size_t(tmp_iRow) * tmp_uiStride;
        for (int x = 0; x < p.m_iWidth; ++x)
        {
            const size_t q = o + size_t(x) * 3;
            p.m_Pixels[size_t(y) * size_t(p.m_iWidth) + size_t(x)] =
                uint32_t(uint8_t(b[q + 2])) << 16 | uint32_t(uint8_t(b[q + 1])) << 8 |
                uint32_t(uint8_t(b[q]));
        }
    }
    return p;
}

class VlaRunTest : public TempDirTest
{
protected:
    // A game folder "game" with the font and techniques the scripts draw with.
    void MakeGame(const std::string& fp_strScript)
    {
        std::filesystem::create_directories("game/DATA/fonts");
        for (const char* f : {"fonts/font1.png", "fonts/font1.xml"})
            std::filesystem::copy_file(std::string(VELORA_GAME_DATA_DIR) + "/" + f,
                                       std::string("game/DATA/") + f);
        std::filesystem::copy_file(std::string(VELORA_EXAMPLES_DIR) + "/script_quads/DATA/std.teq",
                                   "game/DATA/std.teq");
        WriteFile("game/DATA/game.xml",
                  "<respack>"
                  "<res id=\"TEQ_PACK_STD\" typeid=\"TECHNIQUE\" filename=\"std.teq\" tag=\"1\"/>"
                  "<res id=\"TEX_FONT1\" typeid=\"TEXTURE\" filename=\"fonts/font1.png\" "
                  "data1=\"3\" tag=\"1\"/>"
                  "<res id=\"FNT_FONT1\" typeid=\"FONT\" filename=\"fonts/font1.xml\" tag=\"1\"/>"
                  "<res id=\"SCR_MAIN\" typeid=\"SCRIPT\" filename=\"main.lua\" tag=\"2\"/>"
                  "</respack>");
        WriteFile("game/DATA/main.lua", fp_strScript);
    }
};

const char* const kDrawingScript = R"(
frames = 0
function OnFrame()
    frames = frames + 1
    VLA_LOG_AddEntry("frame " .. frames)
    VLA_GFX_SceneBegin()
    VLA_GFX_SceneClearScreen(0, 0, 0.5)
    VLA_GFX_TechApply("TEQ_QUAD")
    VLA_GFX_TexSetNoTexture()
    VLA_GFX_VQuadSetPos(100, 100, 200, 150)
    VLA_GFX_VQuadSetColor(1, 0, 0)
    VLA_GFX_SceneRender()
    VLA_GFX_VQuadSetPos(500, 100, 100, 100)
    VLA_GFX_VQuadSetColor(0, 1, 0)
    VLA_GFX_SceneRender()
    VLA_GFX_FontSet("FNT_FONT1")
    VLA_GFX_FontDrawText("HELLO", 100, 400, 0, 0, 1)
    VLA_GFX_SceneEnd()
    VLA_GFX_ScenePresent()
    if frames == 3 then
        VLA_GFX_SceneMakeScreenshot()
        return false
    end
    return true
end
)";

TEST_F(VlaRunTest, ScriptDrawsLogsTakesAScreenshotAndEnds)
{
    MakeGame(kDrawingScript);
    ASSERT_EQ(RunVla("run game --tags 1,2"), 0) << ReadFile("vla.err");
    const std::string tmp_strLog = ReadFile("game/gamelog.txt");
    EXPECT_NE(tmp_strLog.find("\nframe 1\nframe 2\nframe 3\n"), std::string::npos) << tmp_strLog;
    EXPECT_EQ(tmp_strLog.find("frame 4"), std::string::npos);
    EXPECT_EQ(tmp_strLog.find("!!!"), std::string::npos);
    // Stopped in order, scripts last.
    const size_t tmp_uiInp = tmp_strLog.find("Deinitializing Input Subsystem...");
    const size_t tmp_uiScr = tmp_strLog.find("Deinitializing Scripts Subsystem...");
    ASSERT_NE(tmp_uiScr, std::string::npos);
    EXPECT_LT(tmp_uiInp, tmp_uiScr);
    EXPECT_NE(tmp_strLog.find("End of log.", tmp_uiScr), std::string::npos);
    EXPECT_FALSE(FileExists("game/ehslog.txt"));

    const SPicture p = ReadBmp("game/screenshot1.bmp");
    ASSERT_EQ(p.m_iWidth, 800);
    ASSERT_EQ(p.m_iHeight, 600);
    EXPECT_EQ(p.At(200, 175), 0xFF0000u); // inside the red quad
    EXPECT_EQ(p.At(100, 100), 0xFF0000u); // its first pixel
    EXPECT_EQ(p.At(299, 249), 0xFF0000u); // its last pixel
    EXPECT_EQ(p.At(300, 175), 0x00007Fu); // just right of it: the clear colour
    EXPECT_EQ(p.At(200, 250), 0x00007Fu); // just below it
    EXPECT_EQ(p.At(550, 150), 0x00FF00u); // the green quad
    EXPECT_EQ(p.At(10, 10), 0x00007Fu);
    // The text: white ink inside its line, none far below it.
    int tmp_iInk = 0, tmp_iStray = 0;
    for (int y = 380; y < 460; ++y)
        for (int x = 90; x < 400; ++x)
        {
            const uint32_t c = p.At(x, y);
            const bool tmp_bWhite = (c >> 16) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) > 200;
            if (tmp_bWhite)
                (y >= 400 && y < 432 ? tmp_iInk : tmp_iStray)++;
        }
    EXPECT_GT(tmp_iInk, 100);
    EXPECT_EQ(tmp_iStray, 0);
}

TEST_F(VlaRunTest, EngineErrorInTheScriptEndsTheRunWithBothReports)
{
    MakeGame("function OnFrame() VLA_SFX_SoundPlay(42, false, 0, 0, 0) return true end");
    EXPECT_EQ(RunVla("run game"), 1);
    const std::string tmp_strLog = ReadFile("game/gamelog.txt");
    EXPECT_NE(tmp_strLog.find(" !!!: Error type: Game.\n"
                              " !!!: Error code: 0\n"
                              " !!!: Error desc: Invalid sound ID: 42\n"),
              std::string::npos)
        << tmp_strLog;
    EXPECT_NE(tmp_strLog.find("cvelora_sfx_sound.cpp\n"), std::string::npos);
    EXPECT_NE(tmp_strLog.find(" !!!: Last called Lua function name: OnFrame\n"), std::string::npos);
    EXPECT_NE(tmp_strLog.find("Deinitializing Scripts Subsystem..."), std::string::npos);
    const std::string tmp_strEHS = ReadFile("game/ehslog.txt");
    EXPECT_NE(tmp_strEHS.find("Exception type: Game.\nException code: 0\n"
                              "Exception desc: Invalid sound ID: 42\n"),
              std::string::npos)
        << tmp_strEHS;
}

TEST_F(VlaRunTest, UsageErrors)
{
    const struct
    {
        const char* m_pszArgs;
        int m_iStatus;
    } tmp_Rows[] = {{"run", 2},
                    {"run a b", 2},
                    {"run game --tags", 2},
                    {"run game --tags 1,x", 2},
                    {"run game --fast", 2},
                    {"run no-such-folder", 1}};
    for (const auto& tmp_Row : tmp_Rows)
        EXPECT_EQ(RunVla(tmp_Row.m_pszArgs), tmp_Row.m_iStatus) << tmp_Row.m_pszArgs;
    EXPECT_EQ(RunVla("run --help"), 0);
    EXPECT_NE(ReadFile("vla.out").find("Usage: vla run DIR"), std::string::npos);
}

TEST_F(VlaRunTest, ScriptsWithoutOnFrameAreAnError)
{
    MakeGame("x = 1");
    EXPECT_EQ(RunVla("run game --windowed"), 1);
    EXPECT_NE(ReadFile("game/gamelog.txt")
                  .find(" !!!: Error desc: The scripts define no global function OnFrame!\n"),
              std::string::npos);
}

// The example runs as shipped: from a copy laid out like the repository.
TEST_F(VlaRunTest, ExampleGameRuns)
{
    std::filesystem::create_directories("examples");
    std::filesystem::copy(std::string(VELORA_EXAMPLES_DIR) + "/script_quads",
                          "examples/script_quads", std::filesystem::copy_options::recursive);
    std::filesystem::create_directory_symlink(std::string(VELORA_GAME_DATA_DIR) + "/..", "game");
    ASSERT_EQ(RunVla("run examples/script_quads --windowed", "VLA_EXAMPLE_FRAMES=5"), 0)
        << ReadFile("vla.err");
    const std::string tmp_strLog = ReadFile("examples/script_quads/gamelog.txt");
    EXPECT_NE(tmp_strLog.find("\nExample ended after 5 frames.\n"), std::string::npos)
        << tmp_strLog;
    EXPECT_EQ(tmp_strLog.find("!!!"), std::string::npos);
}

} // namespace

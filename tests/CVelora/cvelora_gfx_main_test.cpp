// Graphics device and video modes: the full start-up log, the display-mode and texture-format
// rules, the windowed checks, the screen size, the device check with the reset path, the
// shutdown with its leak report, the rating table and the format names.
#include "cvelora_gfx_test_support.h"

#include <cstdlib>

namespace
{
PlatCaps TestCaps()
{
    PlatCaps c;
    c.m_uiCaps2 = PLATCAPS2_CANRENDERWINDOWED | PLATCAPS2_FULLSCREENGAMMA;
    c.m_uiRasterCaps = PLATPRASTERCAPS_FOGVERTEX;
    c.m_uiTextureCaps = PLATPTEXTURECAPS_MIPMAP;
    c.m_uiTextureAddressCaps = PLATPTADDRESSCAPS_WRAP;
    c.m_uiTextureOpCaps = 0;
    c.m_uiMaxTextureWidth = 2048;
    c.m_uiMaxTextureHeight = 1024;
    c.m_uiMaxTextureBlendStages = 4;
    c.m_uiMaxSimultaneousTextures = 2;
    return c;
}

PlatGfxTestAdapter TestAdapter()
{
    PlatGfxTestAdapter a;
    a.m_Identifier = PlatAdapterIdentifier{"", "Test Adapter 3000", 0x10DE, 0x0110};
    a.m_DesktopMode = PlatDisplayMode{1024, 768, 60, PLATFMT_X8R8G8B8};
    a.m_Modes = std::vector<PlatDisplayMode>{
        {640, 480, 60, PLATFMT_R5G6B5},   {800, 600, 75, PLATFMT_R5G6B5},
        {800, 600, 60, PLATFMT_R5G6B5},   {800, 600, 85, PLATFMT_A8R8G8B8},
        {800, 600, 60, PLATFMT_X8R8G8B8},
    };
    a.m_Caps = TestCaps();
    return a;
}

std::string ModeBlock(int n, const char* fmt, int w, int h, int hz, const char* t1, const char* t2,
                      const char* t3, const char* t4)
{
    return LogLine("     Mode" + std::to_string(n) + ":") + LogLine("          Display Mode:") +
           LogLine(std::string("               Surface format: ") + fmt) +
           LogLine("                        Width: " + std::to_string(w)) +
           LogLine("                       Height: " + std::to_string(h)) +
           LogLine("                 Refresh Rate: " + std::to_string(hz)) +
           LogLine("          Texture Formats:") +
           LogLine(std::string("               TextureFormat01: ") + t1) +
           LogLine(std::string("               TextureFormat02: ") + t2) +
           LogLine(std::string("               TextureFormat03: ") + t3) +
           LogLine(std::string("               TextureFormat04: ") + t4);
}
} // namespace

TEST_F(GfxEngineTest, PreinitAndInitWriteTheFullLog)
{
    const PlatGfxTestAdapter tmp_Adapter = TestAdapter();
    PlatGfxTestSetAdapter(&tmp_Adapter);
    m_pVLA->GfxPreinit(800, 600);
    const std::string tmp_strStd[4] = {"D3DFMT_R5G6B5", "D3DFMT_A4R4G4B4", "D3DFMT_A8R8G8B8",
                                       "D3DFMT_A8R8G8B8"};
    const std::string tmp_strPreinit =
        LogSeparator1() + LogEntry("Preinitializing Graphics Subsystem...", 3) +
        LogEntry("Direct3D object created.", 4) +
        LogEntry("Getting videoadapter capabilities...", 2) +
        LogLine("     Videocard: Test Adapter 3000") + LogLine("       VendorID: 4318") +
        LogLine("       DeviceID: 272") + LogLine("       Rating: 3") + LogEmpty(1) +
        LogEntry("Enumerating videomodes...", 1) + LogEntry("Done.", 4) +
        LogEntry("Enumerating texture formats...", 1) + LogEntry("Done.", 4) + LogEmpty(1) +
        ModeBlock(1, "D3DFMT_R5G6B5", 800, 600, 75, "D3DFMT_R5G6B5", "D3DFMT_A4R4G4B4",
                  "D3DFMT_A8R8G8B8", "D3DFMT_A8R8G8B8") +
        LogEmpty(1) +
        ModeBlock(2, "D3DFMT_A8R8G8B8", 800, 600, 85, "D3DFMT_R5G6B5", "D3DFMT_A4R4G4B4",
                  "D3DFMT_A8R8G8B8", "D3DFMT_A8R8G8B8") +
        LogEmpty(1) +
        ModeBlock(3, "D3DFMT_X8R8G8B8", 1024, 768, 60, "D3DFMT_R5G6B5", "D3DFMT_A4R4G4B4",
                  "D3DFMT_A8R8G8B8", "D3DFMT_A8R8G8B8") +
        LogEmpty(2) + LogLine("          Display Mode 1 is valid.") +
        LogLine("          Display Mode 2 is valid.") +
        LogLine("          Display Mode 3 is valid.") + LogEmpty(2) +
        LogLine("          Device can render in windowed mode") + LogEmpty(2) +
        LogLine("     MaxTextureWidth         = 2048") +
        LogLine("     MaxTextureHeight        = 1024") +
        LogLine("     MaxTextureBlendStages   = 4") + LogLine("     MaxSimultaneousTextures = 2") +
        LogEmpty(2) + LogLine("     Vertex Fog is available.") +
        LogLine("     MipMapping is available.") +
        LogLine("     Dot3 Bump Mapping is not available.") + LogEmpty(2) +
        LogLine("     Texture addr. mode: Clamp is not available.") +
        LogLine("     Texture addr. mode: Wrap is available.") + LogEmpty(2) +
        LogLine("     Dynamic gamma adjusting in full screen is supported.") +
        LogLine("     Gamma calibrating is not supported.") + LogSeparator1() + LogEmpty(1);
    EXPECT_EQ(TakeLog(), tmp_strPreinit);

    m_pVLA->GfxInit(2, false);
    std::string tmp_strInit = LogSeparator1() + LogEntry("Initializing Graphics Subsystem...", 3) +
                              LogEmpty(1) + LogEntry("Creating window...", 1) +
                              LogEntry("Done.", 4) + LogEmpty(1) + LogEmpty(1) +
                              LogEntry("Creating D3DDevice...", 1) + LogEntry("Done.", 4) +
                              LogEmpty(1) + LogSeparator1() + LogEmpty(1) + LogEmpty(1);
    for (const char* tmp_pszStore : {"Textures", "Lights", "Techniques", "Fonts"})
    {
        tmp_strInit += LogEntry(std::string("Creating ") + tmp_pszStore + " Manager...", 1) +
                       LogEmpty(1) + LogEntry("Done.", 4);
        if (std::string(tmp_pszStore) != "Fonts")
            tmp_strInit += LogEmpty(1);
    }
    EXPECT_EQ(TakeLog(), tmp_strInit);
    EXPECT_TRUE(m_pVLA->m_bGfxDeviceCreated);
    EXPECT_EQ(m_pVLA->m_PresentParams.m_uiBackBufferFormat, uint32_t(PLATFMT_A8R8G8B8));
    EXPECT_EQ(m_pVLA->m_PresentParams.m_uiSwapEffect, uint32_t(PLATSWAPEFFECT_FLIP));
    int w = 0, h = 0;
    m_pVLA->GfxGetScreenSize(w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);

    m_pVLA->GfxDeinit();
    std::string tmp_strDeinit =
        LogSeparator1() + LogEntry("Deinitializing Graphics Subsystem...", 3);
    for (const char* tmp_pszStore : {"Textures", "Lights", "Techniques", "Fonts"})
        tmp_strDeinit += LogEntry(std::string("Destroying ") + tmp_pszStore + " Manager...", 1) +
                         LogEntry("Done.", 4);
    tmp_strDeinit += LogEntry("Done.", 3) + LogSeparator1() + LogEmpty(1);
    EXPECT_EQ(TakeLog(), tmp_strDeinit);
    EXPECT_EQ(m_pVLA->m_pD3D, nullptr);
    EXPECT_EQ(m_pVLA->m_pWindow, nullptr);
}

TEST_F(GfxEngineTest, DisplayModesAndTextureFormatsFollowTheRules)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1); // adapter facts only: no GL needed
    using M = PlatDisplayMode;
    struct Case
    {
        const char* name;
        std::vector<M> modes;
        std::vector<uint32_t> unusable;
        uint32_t mode1Hz, mode1Fmt, mode2Fmt;
        uint32_t kinds[4]; // texture formats of mode 1
        bool valid1, valid2;
    };
    const std::vector<M> tmp_Std = {{800, 600, 70, 24}, {800, 600, 60, 23}, {800, 600, 60, 22}};
    const Case cases[] = {
        {"all usable; first 16-bit mode wins",
         tmp_Std,
         {},
         70,
         24,
         22,
         {23, 26, 21, 21},
         true,
         true},
        {"no 16-bit mode",
         {{800, 600, 60, 22}, {640, 480, 60, 23}},
         {},
         0,
         0,
         22,
         {0, 0, 0, 0},
         false,
         true},
        {"X1R5G5B5 when R5G6B5 is refused",
         tmp_Std,
         {23},
         70,
         24,
         22,
         {24, 26, 21, 21},
         true,
         true},
        {"A1R5G5B5 usable leaves kind 1 empty",
         tmp_Std,
         {23, 24},
         70,
         24,
         22,
         {0, 26, 21, 21},
         false,
         false},
        {"X4R4G4B4 for kind 1", tmp_Std, {23, 24, 25}, 70, 24, 22, {30, 26, 21, 21}, true, true},
        {"kind 2 falls back to A1R5G5B5, then A8R3G3B2",
         tmp_Std,
         {26},
         70,
         24,
         22,
         {23, 25, 21, 21},
         true,
         true},
        {"kind 2 A8R3G3B2", tmp_Std, {26, 25}, 70, 24, 22, {23, 29, 21, 21}, true, true},
        {"kind 3 A4R4G4B4 while X8R8G8B8 is usable",
         tmp_Std,
         {21},
         70,
         24,
         22,
         {23, 26, 26, 22},
         true,
         true},
        {"kind 3 X4R4G4B4; kind 4 missing makes the mode invalid",
         tmp_Std,
         {21, 22},
         70,
         24,
         22,
         {23, 26, 30, 0},
         false,
         false},
    };
    for (const Case& c : cases)
    {
        PlatGfxTestAdapter a;
        a.m_DesktopMode = M{1024, 768, 60, PLATFMT_X8R8G8B8};
        a.m_Modes = c.modes;
        a.m_UnusableFormats = c.unusable;
        PlatGfxTestSetAdapter(&a);
        CVelora* tmp_pVLA = m_pVLA;
        tmp_pVLA->GfxPreinit(800, 600);
        VIDEOCAPS caps;
        tmp_pVLA->GfxGetVideoCaps(caps);
        EXPECT_EQ(caps.m_Modes[0].m_uiRefreshRate, c.mode1Hz) << c.name;
        EXPECT_EQ(caps.m_Modes[0].m_uiFormat, c.mode1Fmt) << c.name;
        EXPECT_EQ(caps.m_Modes[1].m_uiFormat, c.mode2Fmt) << c.name;
        EXPECT_EQ(caps.m_Modes[2].m_uiWidth, 1024u) << c.name;
        for (int k = 0; k < 4 && c.mode1Fmt != 0; ++k)
        {
            EXPECT_EQ(caps.m_Modes[0].m_uiTextureFormats[k], c.kinds[k])
                << c.name << " kind " << k + 1;
        }
        EXPECT_EQ(caps.m_Modes[0].m_bValid, c.valid1) << c.name;
        EXPECT_EQ(caps.m_Modes[1].m_bValid, c.valid2) << c.name;
        tmp_pVLA->GfxDeinit();
        // A fresh engine for the next case (one engine per process at a time).
        delete m_pVLA;
        m_pVLA = new CVelora;
    }
}

TEST_F(GfxEngineTest, WindowedRenderingNeedsADesktopLargerThanTheRequest)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    struct Case
    {
        uint32_t dw, dh, dfmt, caps2;
        bool can;
    };
    const Case cases[] = {
        {1024, 768, PLATFMT_X8R8G8B8, PLATCAPS2_CANRENDERWINDOWED, true},
        {800, 600, PLATFMT_X8R8G8B8, PLATCAPS2_CANRENDERWINDOWED, false},
        {1024, 600, PLATFMT_X8R8G8B8, PLATCAPS2_CANRENDERWINDOWED, false},
        {1024, 768, PLATFMT_P8, PLATCAPS2_CANRENDERWINDOWED, false},
        {1024, 768, PLATFMT_X8R8G8B8, 0, false},
    };
    for (const Case& c : cases)
    {
        PlatGfxTestAdapter a;
        a.m_DesktopMode = PlatDisplayMode{c.dw, c.dh, 60, c.dfmt};
        PlatCaps caps = TestCaps();
        caps.m_uiCaps2 = c.caps2;
        a.m_Caps = caps;
        PlatGfxTestSetAdapter(&a);
        m_pVLA->GfxPreinit(800, 600);
        VIDEOCAPS vc;
        m_pVLA->GfxGetVideoCaps(vc);
        EXPECT_EQ(vc.m_bCanRenderWindowed, c.can) << c.dw << "x" << c.dh << " fmt " << c.dfmt;
        EXPECT_NE(ReadFile(kLogFileName)
                      .find(c.can ? "          Device can render in windowed mode\n"
                                  : "          Device cannot render in windowed mode\n"),
                  std::string::npos);
        m_pVLA->GfxDeinit();
        delete m_pVLA;
        m_pVLA = new CVelora;
    }
}

TEST_F(GfxEngineTest, InitRefusesWrongWindowedCombinations)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    struct Case
    {
        bool capsWindowed;
        int mode;
        const char* error;
    };
    const Case cases[] = {
        {true, 1, "Wrong combination of display mode params."},
        {true, 2, "Wrong combination of display mode params."},
        {false, 1, "Cannot switch to windowed rendering."}, // checked first
        {false, 3, "Cannot switch to windowed rendering."},
    };
    for (const Case& c : cases)
    {
        PlatGfxTestAdapter a;
        a.m_DesktopMode = PlatDisplayMode{1024, 768, 60, PLATFMT_X8R8G8B8};
        PlatCaps caps = TestCaps();
        caps.m_uiCaps2 = c.capsWindowed ? PLATCAPS2_CANRENDERWINDOWED : 0;
        a.m_Caps = caps;
        PlatGfxTestSetAdapter(&a);
        m_pVLA->GfxPreinit(800, 600);
        try
        {
            m_pVLA->GfxInit(c.mode, true);
            ADD_FAILURE() << "no error for mode " << c.mode;
        }
        catch (const CEHSException& e)
        {
            EXPECT_EQ(e.m_iType, EHS_GAME);
            EXPECT_EQ(e.m_iCode, 0);
            EXPECT_EQ(e.m_strDesc, c.error);
        }
        EXPECT_FALSE(m_pVLA->m_bGfxDeviceCreated);
        delete m_pVLA;
        m_pVLA = new CVelora;
    }
}

TEST_F(GfxEngineTest, ScreenSizeComesFromTheDesktopOnlyInFullScreenModeThree)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    for (bool tmp_bWindowed : {true, false})
    {
        m_pVLA->GfxPreinit(800, 600);
        m_pVLA->GfxInit(3, tmp_bWindowed);
        int w = 0, h = 0;
        m_pVLA->GfxGetScreenSize(w, h);
        PlatDisplayMode desk;
        m_pVLA->m_pD3D->GetAdapterDisplayMode(desk);
        EXPECT_EQ(w, tmp_bWindowed ? 800 : int(desk.m_uiWidth));
        EXPECT_EQ(h, tmp_bWindowed ? 600 : int(desk.m_uiHeight));
        EXPECT_EQ(m_pVLA->m_PresentParams.m_uiBackBufferWidth, uint32_t(w));
        EXPECT_EQ(m_pVLA->m_PresentParams.m_uiSwapEffect,
                  uint32_t(tmp_bWindowed ? PLATSWAPEFFECT_COPY : PLATSWAPEFFECT_FLIP));
        delete m_pVLA;
        m_pVLA = new CVelora;
    }
}

TEST_F(GfxEngineTest, VideoCapsNeedThePreinit)
{
    VIDEOCAPS caps;
    try
    {
        m_pVLA->GfxGetVideoCaps(caps);
        ADD_FAILURE() << "no error";
    }
    catch (const CEHSException& e)
    {
        EXPECT_EQ(e.m_iType, EHS_GAME);
        EXPECT_EQ(e.m_strDesc, "Cannot provide videocard caps - GFX system was not initialized!");
    }
    // A failed creation still counts as pre-initialised: the caps are an empty record.
    PlatGfxTestAdapter a;
    a.m_bFailCreate = true;
    PlatGfxTestSetAdapter(&a);
    try
    {
        m_pVLA->GfxPreinit(800, 600);
        ADD_FAILURE() << "no error";
    }
    catch (const CEHSException& e)
    {
        EXPECT_EQ(e.m_iType, EHS_GENERAL);
        EXPECT_EQ(e.m_strDesc, "Cannot create Direct3D object!");
    }
    m_pVLA->GfxGetVideoCaps(caps);
    EXPECT_FALSE(caps.m_Modes[0].m_bValid);
    EXPECT_EQ(caps.m_Modes[2].m_uiWidth, 0u);
    try
    {
        m_pVLA->GfxInit(3, false);
        ADD_FAILURE() << "no error";
    }
    catch (const CEHSException& e)
    {
        EXPECT_EQ(e.m_iType, EHS_GENERAL);
        EXPECT_EQ(e.m_strDesc, "Direct3D object was not created!");
    }
}

TEST_F(GfxEngineTest, ALostDeviceSkipsFramesAndIsResetWhenItCanBe)
{
    StartGraphics();
    PlatGfxDevice* dev = m_pVLA->m_pD3DDevice;
    EXPECT_TRUE(m_pVLA->GfxCheckDevice());
    EXPECT_EQ(TakeLog(), "");

    PlatGfxTestSetDeviceState(dev, PLATERR_DEVICELOST);
    EXPECT_FALSE(m_pVLA->GfxCheckDevice());
    EXPECT_EQ(TakeLog(), LogEntry("Device is lost and currently cannot be restored.", 4));

    // Bound objects are remembered before the loss ...
    m_pVLA->m_iCurrentTexture[0] = 3;
    m_pVLA->m_iCurrentTechnique = 2;
    m_pVLA->m_iCurrentFont = 1;
    m_pVLA->m_iLightMode = 1;
    PlatGfxTestSetDeviceState(dev, PLATERR_DEVICENOTRESET);
    PlatGfxTestFailResets(dev, 1);
    EXPECT_FALSE(m_pVLA->GfxCheckDevice());
    EXPECT_EQ(m_pVLA->m_pVB, nullptr); // released before the reset, not re-created
    EXPECT_EQ(TakeLog(),
              LogEntry("D3DDevice is lost. Trying to reset...", 1) + LogEntry("Failed.", 5));
    EXPECT_TRUE(m_pVLA->GfxCheckDevice());
    EXPECT_EQ(TakeLog(),
              LogEntry("D3DDevice is lost. Trying to reset...", 1) + LogEntry("Done.", 4));
    // ... and forgotten after it; a new vertex buffer serves the batch.
    EXPECT_NE(m_pVLA->m_pVB, nullptr);
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], -1);
    EXPECT_EQ(m_pVLA->m_iCurrentTechnique, -1);
    EXPECT_EQ(m_pVLA->m_iCurrentFont, -1);
    EXPECT_EQ(m_pVLA->m_iLightMode, 0);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[2].m_fRHW, 0.5f);
    EXPECT_EQ(dev->TestCooperativeLevel(), PLAT_OK);
    BeginFrame();
    m_pVLA->VQuadSetPos(0, 0, 4, 4, 0.5f);
    m_pVLA->VQuadAddToBatch();
    dev->ResetCounters();
    EndFrame();
    EXPECT_EQ(dev->GetCounters().m_uiDrawCalls, 1u);
}

TEST_F(GfxEngineTest, TheEngineStepSkipsFramesWhileTheDeviceIsLost)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1); // no window manager to take the focus away
    StartGraphics();
    PlatGfxTestSetDeviceState(m_pVLA->m_pD3DDevice, PLATERR_DEVICELOST);
    EXPECT_EQ(m_pVLA->UpdateAllSystems(), 0);
    EXPECT_EQ(TakeLog(), LogEntry("Device is lost and currently cannot be restored.", 4));
    PlatGfxTestSetDeviceState(m_pVLA->m_pD3DDevice, PLAT_OK);
    EXPECT_EQ(m_pVLA->UpdateAllSystems(), 1);
}

TEST_F(GfxEngineTest, ShutdownReportsLeakedReferences)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    StartGraphics();
    PlatGfxDevice* tmp_pLeak = m_pVLA->m_pD3DDevice;
    tmp_pLeak->AddRef();
    m_pVLA->GfxDeinit();
    const std::string tmp_strLog = TakeLog();
    EXPECT_NE(tmp_strLog.find(LogEntry("Destroying Fonts Manager...", 1) + LogEntry("Done.", 4) +
                              LogEntry("pD3Device references left!", 6) +
                              LogEntry("pD3D references left!", 6) + LogEntry("Done.", 3)),
              std::string::npos)
        << tmp_strLog;
    EXPECT_EQ(tmp_pLeak->Release(), 0u);
}

TEST_F(GfxEngineTest, StoresThatDoNotExistAreReportedAsFailedAtShutdown)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    StartGraphics();
    delete m_pVLA->m_pLights;
    m_pVLA->m_pLights = nullptr;
    m_pVLA->GfxDeinit();
    EXPECT_NE(TakeLog().find(LogEntry("Destroying Lights Manager...", 1) + LogEntry("Failed.", 4) +
                             LogEntry("Destroying Techniques Manager...", 1)),
              std::string::npos);
}

TEST(GfxTables, VideoCardRatings)
{
    const struct
    {
        uint32_t vendor, device;
        int rating;
    } cases[] = {
        {0x10DE, 0x27, 1},   {0x10DE, 0x28, 2},   {0x10DE, 0xFF, 2},   {0x10DE, 0x100, 3},
        {0x10DE, 0x16F, 3},  {0x10DE, 0x170, 4},  {0x10DE, 0x24F, 4},  {0x10DE, 0x250, 5},
        {0x1002, 0x4E48, 5}, {0x1002, 0x514C, 5}, {0x1002, 0x5157, 4}, {0x1002, 0x5159, 3},
        {0x1002, 0x4C4D, 2}, {0x1002, 0x524C, 1}, {0x1002, 0x1234, 0}, {0x102B, 0x525, 2},
        {0x102B, 0x521, 1},  {0x1039, 0x6300, 2}, {0x8086, 0x7800, 1}, {0x8086, 0x7801, 0},
        {0x104A, 0x10, 4},   {0x121A, 9, 3},      {0x121A, 5, 2},      {0x1023, 0x8520, 1},
        {0, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GfxRateVideoCard(c.vendor, c.device), c.rating)
            << std::hex << c.vendor << ":" << c.device;
}

TEST(GfxTables, FormatNames)
{
    const struct
    {
        uint32_t code;
        const char* name;
    } cases[] = {
        {0, "D3DFMT_UNKNOWN"},    {20, "D3DFMT_R8G8B8"},
        {22, "D3DFMT_X8R8G8B8"},  {30, "D3DFMT_X4R4G4B4"},
        {41, "D3DFMT_P8"},        {52, "D3DFMT_A4L4"},
        {65, "D3DFMT_W11V11U10"}, {70, "D3DFMT_D16_LOCKABLE"},
        {79, "D3DFMT_D24X4S4"},   {80, "D3DFMT_D16"},
        {101, "D3DFMT_INDEX16"},  {102, "D3DFMT_INDEX32"},
        {31, "Unknown format!"},  {72, "Unknown format!"},
        {103, "Unknown format!"}, {0xFFFFFFFF, "Unknown format!"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GfxFormatName(c.code), c.name) << c.code;
}

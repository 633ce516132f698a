// Scene operations: viewport clamping, the gamma curve, the screenshot file layout.
#include "CVelora/cvelora_gfx_scene.h"

#include "cvelora_gfx_scene_fixture.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace
{
TEST(SceneViewport, ClampsToTheScreen)
{
    const struct
    {
        int m_In[4];
        int m_Out[4];
    } kCases[] = {
        {{-10, -10, 100, 100}, {0, 0, 90, 90}},
        {{0, 0, 800, 600}, {0, 0, 800, 600}},
        {{700, 500, 200, 200}, {700, 500, 100, 100}},
        {{900, 10, 50, 50}, {900, 10, 0, 50}}, // entirely to the right: width 0
        {{-200, -5, 100, 3}, {0, 0, 0, 0}},    // entirely above and to the left
        {{10, 10, 2147483647, 20}, {10, 10, 790, 20}},
    };
    for (const auto& c : kCases)
    {
        int x = c.m_In[0], y = c.m_In[1], w = c.m_In[2], h = c.m_In[3];
        SceneClampViewport(x, y, w, h, 800, 600);
        EXPECT_EQ(x, c.m_Out[0]);
        EXPECT_EQ(y, c.m_Out[1]);
        EXPECT_EQ(w, c.m_Out[2]);
        EXPECT_EQ(h, c.m_Out[3]);
    }
}

TEST(SceneGamma, RampShapes)
{
    uint16_t r[256];
    SceneMakeGammaRamp(1.0f, 0.0f, r);
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(r[i], i * 257, 1) << i; // identity up to rounding
    EXPECT_EQ(r[0], 0);
    EXPECT_EQ(r[255], 65535);

    SceneMakeGammaRamp(0.5f, 0.0f, r);
    EXPECT_EQ(r[0], 0);
    EXPECT_NEAR(r[255], 32767, 1); // white capped at half intensity
    EXPECT_NEAR(r[128], 128 * 257 / 2, 2);

    SceneMakeGammaRamp(1.5f, 0.0f, r);
    EXPECT_NEAR(r[0], 32767, 1); // black lifted to half intensity
    EXPECT_EQ(r[255], 65535);

    SceneMakeGammaRamp(3.0f, 0.0f, r); // low capped at 1: all white
    EXPECT_EQ(r[0], 65535);
    SceneMakeGammaRamp(-1.0f, 0.0f, r); // high floored at 0: all black
    EXPECT_EQ(r[255], 0);

    // Bend 1 pulls the control point up to white: mid-tones brighten, ends stay.
    uint16_t tmp_Bent[256];
    SceneMakeGammaRamp(1.0f, 1.0f, tmp_Bent);
    EXPECT_EQ(tmp_Bent[0], 0);
    EXPECT_EQ(tmp_Bent[255], 65535);
    EXPECT_GT(tmp_Bent[128], 128 * 257 + 10000);
    for (int i = 1; i < 256; ++i)
        EXPECT_GE(tmp_Bent[i], tmp_Bent[i - 1]);
}

uint32_t U32(const std::vector<uint8_t>& b, size_t o)
{
    return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | uint32_t(b[o + 3]) << 24;
}
uint16_t U16(const std::vector<uint8_t>& b, size_t o)
{
    return uint16_t(b[o] | b[o + 1] << 8);
}

TEST(SceneBMP, HeaderAndBottomUpPaddedRows)
{
    // 3 × 2 picture: rows need 9 bytes, padded to 12.
    const uint32_t W = 3, H = 2;
    const int tmp_iPitch = 16; // wider than 4 × W: the pitch, not the width, separates rows
    std::vector<uint8_t> tmp_Src(tmp_iPitch * H, 0xEE);
    for (uint32_t y = 0; y < H; ++y)
        for (uint32_t x = 0; x < W; ++x)
        {
            uint8_t* p = &tmp_Src[y * tmp_iPitch + 4 * x];
            p[0] = uint8_t(10 * y + x);       // blue
            p[1] = uint8_t(100 + 10 * y + x); // green
            p[2] = uint8_t(200 + 10 * y + x); // red
            p[3] = 0x55;                      // alpha, dropped
        }
    const std::vector<uint8_t> b = SceneEncodeBMP(W, H, tmp_Src.data(), tmp_iPitch);
    ASSERT_EQ(b.size(), 54u + 12u * 2u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), 54u + 24u);
    EXPECT_EQ(U32(b, 6), 0u);
    EXPECT_EQ(U32(b, 10), 54u);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ(U32(b, 18), W);
    EXPECT_EQ(U32(b, 22), H);
    EXPECT_EQ(U16(b, 26), 1);
    EXPECT_EQ(U16(b, 28), 24);
    EXPECT_EQ(U32(b, 30), 0u);
    EXPECT_EQ(U32(b, 34), 24u);
    for (size_t o = 38; o < 54; o += 4)
        EXPECT_EQ(U32(b, o), 0u) << o;
    for (uint32_t r = 0; r < H; ++r)
    {
        const uint32_t y = H - 1 - r; // first stored row is the bottom one
        const uint8_t* p = &b[54 + 12 * r];
        for (uint32_t x = 0; x < W; ++x)
        {
            EXPECT_EQ(p[3 * x], 10 * y + x);
            EXPECT_EQ(p[3 * x + 1], 100 + 10 * y + x);
            EXPECT_EQ(p[3 * x + 2], 200 + 10 * y + x);
        }
        EXPECT_EQ(p[9], 0);
        EXPECT_EQ(p[10], 0);
        EXPECT_EQ(p[11], 0);
    }
}

TEST(SceneBMP, RowSizes)
{
    EXPECT_EQ(SceneBMPRowSize(800), 2400u);
    EXPECT_EQ(SceneBMPRowSize(1), 4u);
    EXPECT_EQ(SceneBMPRowSize(2), 8u);
    EXPECT_EQ(SceneBMPRowSize(5), 16u);
}

class SceneFileTest : public TempDirTest
{
};

TEST_F(SceneFileTest, WriteTruncatesAndReportsUnopenable)
{
    WriteFile("shot.bmp", std::string(100, 'x'));
    ASSERT_TRUE(SceneWriteFile("shot.bmp", {1, 2, 3}));
    EXPECT_EQ(ReadFile("shot.bmp"), std::string("\x01\x02\x03", 3));
    EXPECT_FALSE(SceneWriteFile("no/such/dir/shot.bmp", {1}));
}

// ---- On the device ----

const char* const kPack = R"(<techniquespack>
  <t id="TEQ_PLAIN" alphablending="ON" absrc="SRCALPHA" abdest="INVSRCALPHA" s0_colorop="SELECTARG1"
     s0_colorarg1="DIFFUSE" s0_alphaop="SELECTARG1" s0_alphaarg1="DIFFUSE" s1_colorop="DISABLE"
     fog="OFF"/>
  <t id="TEQ_ADD" alphablending="ON" absrc="ONE" abdest="ONE"/>
  <t id="TEQ_MODULATE" alphablending="OFF" s0_colorop="MODULATE" s0_colorarg1="TEXTURE"
     s0_colorarg2="DIFFUSE" s0_alphaop="SELECTARG1" s0_alphaarg1="TEXTURE" s0_address="CLAMP"
     s1_colorop="DISABLE" s0_minfilter="POINT" s0_magfilter="POINT" s0_mipfilter="NONE"/>
  <t id="TEQ_FOG" alphablending="OFF" fog="ON" fogstart="0" fogend="1" fogcolorr="1"
     s0_colorop="SELECTARG1" s0_colorarg1="DIFFUSE" s0_alphaop="SELECTARG1"
     s0_alphaarg1="DIFFUSE" s1_colorop="DISABLE"/>
</techniquespack>)";

class SceneDeviceTest : public GfxSceneTest
{
protected:
    void Start(int fp_iMode = 2, bool fp_bWindowed = false)
    {
        StartGfx(fp_iMode, fp_bWindowed);
        const std::string tmp_strPack = kPack;
        m_pVLA->TechLoadPack(tmp_strPack.data(), static_cast<int>(tmp_strPack.size()));
        m_pVLA->TechApply("TEQ_PLAIN");
    }

    // A frame: clear to fp_uiClear (0xRRGGBB), fp_Draw, present.
    void Frame(uint32_t fp_uiClear, const std::function<void()>& fp_Draw)
    {
        m_pVLA->SceneBegin();
        m_pVLA->SceneClearScreen(R(fp_uiClear) / 255.0f, G(fp_uiClear) / 255.0f,
                                 B(fp_uiClear) / 255.0f);
        fp_Draw();
        m_pVLA->SceneEnd();
        m_pVLA->ScenePresent();
    }

    // The centre pixel of the picture that reached the window.
    uint32_t WindowCentre()
    {
        int w = 0, h = 0;
        std::vector<uint32_t> tmp_Pixels;
        EXPECT_TRUE(PlatGfxTestGetWindowPicture(m_pVLA->m_pD3DDevice, w, h, tmp_Pixels));
        return tmp_Pixels.empty() ? 0 : tmp_Pixels[size_t(h / 2) * w + w / 2] & 0xFFFFFF;
    }
};

TEST_F(SceneDeviceTest, OperationsNeedADevice)
{
    m_pVLA = new CVelora();
    const std::function<void()> kCalls[] = {
        [&] { m_pVLA->SceneBegin(); },
        [&] { m_pVLA->SceneEnd(); },
        [&] { m_pVLA->SceneClearScreen(0, 0, 0); },
        [&] { m_pVLA->SceneSetViewport(0, 0, 10, 10); },
        [&] { m_pVLA->SceneSetGamma(1, 0); },
        [&] { m_pVLA->SceneMakeScreenshot(); },
    };
    for (const auto& f : kCalls)
        EXPECT_EQ(Raised(f), "1:D3DDevice object was not created!");
}

TEST_F(SceneDeviceTest, ModulateAdditiveAndFogPictures)
{
    Start();
    // A 4 × 4 texture of (255, 128, 64) made through the texture loader.
    const std::string tmp_strPNG = ReadFile(TestDataPath("gfxscene/orange.png"));
    ASSERT_FALSE(tmp_strPNG.empty());
    const int tmp_iTex = m_pVLA->TexLoadFromMemory(
        tmp_strPNG.data(), static_cast<int>(tmp_strPNG.size()), 4, "TEX_ORANGE", 1, 0, 0);
    ASSERT_GE(tmp_iTex, 0);

    Frame(0x404040,
          [&]
          {
              // Modulate: texture × diffuse.
              m_pVLA->TexSet(tmp_iTex, 0);
              m_pVLA->TechApply("TEQ_MODULATE");
              Quad(100, 100, 40, 40, 0.5f, 1.0f, 0.5f, 1.0f);
              // Additive over the grey clear colour.
              m_pVLA->TexSetNoTexture(0);
              m_pVLA->TechApply("TEQ_PLAIN");
              m_pVLA->TechApply("TEQ_ADD");
              Quad(200, 100, 40, 40, 0.5f, 0.25f, 0.0f, 1.0f);
              // Fog from z: the fog factor is z, so z 0 is all fog colour and z 1 none.
              m_pVLA->TechApply("TEQ_FOG");
              Quad(300, 100, 40, 40, 1, 1, 1, 1, 0.0f);
              Quad(350, 100, 40, 40, 1, 1, 1, 1, 0.5f);
              Quad(400, 100, 40, 40, 1, 1, 1, 1, 1.0f);
              Quad(450, 100, 40, 40, 0, 0, 1, 1, 0.25f);
          });
    EXPECT_TRUE(ColorNear(PresentedAt(120, 120), 0x7F8020));
    EXPECT_TRUE(ColorNear(PresentedAt(220, 120), 0xBF7F40));
    EXPECT_TRUE(ColorNear(PresentedAt(320, 120), 0xFF0000));
    EXPECT_TRUE(ColorNear(PresentedAt(370, 120), 0xFF8080));
    EXPECT_TRUE(ColorNear(PresentedAt(420, 120), 0xFFFFFF));
    EXPECT_TRUE(ColorNear(PresentedAt(470, 120), 0xBF0040));
    EXPECT_TRUE(ColorNear(PresentedAt(20, 20), 0x404040));
}

TEST_F(SceneDeviceTest, ClearAndViewport)
{
    Start();
    EXPECT_EQ(Raised([&] { m_pVLA->SceneSetViewport(-10, -10, 100, 100); }), "");
    PlatViewport v;
    m_pVLA->m_pD3DDevice->GetViewport(v);
    EXPECT_EQ(v.m_uiX, 0u);
    EXPECT_EQ(v.m_uiY, 0u);
    EXPECT_EQ(v.m_uiWidth, 90u);
    EXPECT_EQ(v.m_uiHeight, 90u);
    EXPECT_EQ(v.m_fMaxZ, 1.0f);
    m_pVLA->SceneSetViewport(790, 580, 50, 50);
    m_pVLA->m_pD3DDevice->GetViewport(v);
    EXPECT_EQ(v.m_uiX, 790u);
    EXPECT_EQ(v.m_uiY, 580u);
    EXPECT_EQ(v.m_uiWidth, 10u);
    EXPECT_EQ(v.m_uiHeight, 20u);
    // Entirely off the screen: width 0, which the device may refuse; nothing is raised.
    EXPECT_EQ(Raised([&] { m_pVLA->SceneSetViewport(900, 0, 50, 50); }), "");

    // The clear covers only the viewport.
    m_pVLA->SceneSetViewport(0, 0, 800, 600);
    Frame(0x000000,
          [&]
          {
              m_pVLA->SceneSetViewport(100, 100, 50, 50);
              m_pVLA->SceneClearScreen(1.0f, 0.5f, 1.5f); // 1.5 keeps the low 8 bits of 382
          });
    EXPECT_EQ(PresentedAt(120, 120), 0xFF7F7Eu);
    EXPECT_EQ(PresentedAt(160, 120), 0x000000u);
}

TEST_F(SceneDeviceTest, ViewportChangeDrawsPendingQuads)
{
    Start();
    m_pVLA->SceneBegin();
    Quad(0, 0, 10, 10, 1, 1, 1, 1);
    const uint64_t tmp_uiDraws = m_pVLA->m_pD3DDevice->GetCounters().m_uiDrawCalls;
    m_pVLA->SceneSetViewport(0, 0, 400, 300);
    EXPECT_EQ(m_pVLA->m_pD3DDevice->GetCounters().m_uiDrawCalls, tmp_uiDraws + 1);
    EXPECT_EQ(m_pVLA->m_iBatchCount, 0);
    m_pVLA->SceneEnd();
    // SceneEnd without SceneBegin draws nothing.
    m_pVLA->SceneEnd();
    EXPECT_EQ(m_pVLA->m_pD3DDevice->GetCounters().m_uiDrawCalls, tmp_uiDraws + 1);
}

TEST_F(SceneDeviceTest, GammaOnThePresentedPicture)
{
    // Windowed at 800 × 600, so the window shows the picture pixel for pixel.
    Start(3, true);
    PlatGfxTestCaptureWindow(m_pVLA->m_pD3DDevice, true);
    const struct
    {
        float m_fLevel;
        uint32_t m_uiClear;
        uint32_t m_uiExpected;
    } kCases[] = {
        {1.0f, 0xFFFFFF, 0xFFFFFF}, {1.0f, 0x000000, 0x000000}, {1.0f, 0x806020, 0x806020},
        {0.5f, 0xFFFFFF, 0x7F7F7F}, {0.5f, 0x000000, 0x000000}, {1.5f, 0x000000, 0x7F7F7F},
        {1.5f, 0xFFFFFF, 0xFFFFFF},
    };
    for (const auto& c : kCases)
    {
        m_pVLA->SceneSetGamma(c.m_fLevel, 0.0f);
        Frame(c.m_uiClear, [] {});
        EXPECT_TRUE(ColorNear(WindowCentre(), c.m_uiExpected))
            << c.m_fLevel << " " << std::hex << c.m_uiClear;
        // The copy of the presented back buffer is not affected by the ramp.
        EXPECT_EQ(PresentedAt(400, 300), c.m_uiClear);
    }
    PlatGammaRamp tmp_Ramp;
    m_pVLA->m_pD3DDevice->GetGammaRamp(tmp_Ramp);
    EXPECT_NEAR(tmp_Ramp.m_Green[0], 32767, 1);
    EXPECT_EQ(tmp_Ramp.m_Blue[255], 65535);
}

TEST_F(SceneDeviceTest, ThreeScreenshotsInOneFullScreenRun)
{
    Start();
    const uint32_t kColors[3] = {0x102030, 0x405060, 0x708090};
    for (int n = 0; n < 3; ++n)
    {
        Frame(kColors[n],
              [&]
              {
                  Quad(0, 0, 10, 5, 1, 0, 0, 1);        // top-left: red
                  Quad(790, 595, 10, 5, 0, 1, 0, 1);    // bottom-right: green
                  Quad(400 + n, 300, 1, 1, 0, 0, 1, 1); // one blue pixel moving right
              });
        m_pVLA->SceneMakeScreenshot();
    }
    EXPECT_EQ(m_pVLA->m_iScreenshotCounter, 3);
    const std::vector<uint32_t> tmp_Last = Presented();
    for (int n = 0; n < 3; ++n)
    {
        const std::string tmp_strName = "screenshot" + std::to_string(n + 1) + ".bmp";
        const std::string b = ReadFile(tmp_strName);
        ASSERT_EQ(b.size(), 54u + 2400u * 600u) << tmp_strName;
        const auto U32 = [&](size_t o)
        {
            return uint32_t(uint8_t(b[o])) | uint32_t(uint8_t(b[o + 1])) << 8 |
                   uint32_t(uint8_t(b[o + 2])) << 16 | uint32_t(uint8_t(b[o + 3])) << 24;
        };
        EXPECT_EQ(b.substr(0, 2), "BM");
        EXPECT_EQ(U32(2), 54u + 2400u * 600u);
        EXPECT_EQ(U32(10), 54u);
        EXPECT_EQ(U32(14), 40u);
        EXPECT_EQ(U32(18), 800u);
        EXPECT_EQ(U32(22), 600u);
        EXPECT_EQ(U32(26), 1u | 24u << 16); // planes, bits per pixel
        EXPECT_EQ(U32(30), 0u);
        EXPECT_EQ(U32(34), 2400u * 600u);
        const auto Pixel = [&](int x, int y) { // y from the top of the picture
            const size_t o = 54 + size_t(599 - y) * 2400 + size_t(x) * 3;
            return uint32_t(uint8_t(b[o + 2])) << 16 | uint32_t(uint8_t(b[o + 1])) << 8 |
                   uint8_t(b[o]);
        };
        EXPECT_EQ(Pixel(0, 0), 0xFF0000u);
        EXPECT_EQ(Pixel(799, 599), 0x00FF00u);
        EXPECT_EQ(Pixel(400, 0), kColors[n]);
        EXPECT_EQ(Pixel(400 + n, 300), 0x0000FFu);
        EXPECT_EQ(Pixel(401 + n, 300), kColors[n]);
        if (n == 2) // the whole file matches the last picture presented
            for (int y = 0; y < 600; ++y)
                for (int x = 0; x < 800; ++x)
                    if (Pixel(x, y) != (tmp_Last[size_t(y) * 800 + x] & 0xFFFFFF))
                    {
                        ADD_FAILURE() << "pixel " << x << "," << y;
                        return;
                    }
    }
    EXPECT_FALSE(FileExists("screenshot4.bmp"));
    EXPECT_TRUE(LogHas("Screenshot saved."));
}

TEST_F(SceneDeviceTest, ANewRunNumbersFromOneAgain)
{
    WriteFile("screenshot1.bmp", "old");
    Start();
    Frame(0x000000, [] {});
    m_pVLA->SceneMakeScreenshot();
    EXPECT_EQ(ReadFile("screenshot1.bmp").size(), 54u + 2400u * 600u);
}

TEST_F(SceneDeviceTest, WindowedScreenshotIsRefused)
{
    Start(3, true);
    Frame(0x000000, [] {});
    m_pVLA->SceneMakeScreenshot();
    EXPECT_EQ(m_pVLA->m_iScreenshotCounter, 0);
    EXPECT_FALSE(FileExists("screenshot1.bmp"));
    EXPECT_TRUE(LogHas("Cannot make a screenshot in windowed mode!"));
}

TEST_F(SceneDeviceTest, UnwritableScreenshotIsNotReportedAsSaved)
{
    Start();
    Frame(0x000000, [] {});
    std::filesystem::create_directory("screenshot1.bmp"); // cannot be opened as a file
    m_pVLA->SceneMakeScreenshot();
    EXPECT_EQ(m_pVLA->m_iScreenshotCounter, 1);
    EXPECT_FALSE(LogHas("Screenshot saved."));
    EXPECT_TRUE(LogHas("Cannot write screenshot file screenshot1.bmp!"));
}
} // namespace

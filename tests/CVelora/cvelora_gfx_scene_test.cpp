// Scene operations: viewport clamping, the gamma curve, the screenshot file layout.
#include "CVelora/cvelora_gfx_scene.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>

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
} // namespace

// Quad primitive: shaping the template (position, rotation, scale, move, texture coordinates,
// colours, fog factor), the shared index buffer, the batch limits and their draw calls, the
// half-pixel shift and the drop of pending quads when the focus is lost.
#include "cvelora_gfx_test_support.h"

#include <cstdlib>

namespace
{
// The batch needs no picture: the null device counts the same draws.
class VQuadTest : public GfxEngineTest
{
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        GfxEngineTest::SetUp();
        StartGraphics();
        m_pDev = m_pVLA->m_pD3DDevice;
    }
    void Submit(int n)
    {
        for (int i = 0; i < n; ++i)
        {
            m_pVLA->VQuadSetPos(float(i % 100), float(i / 100), 4, 4, 0.5f);
            m_pVLA->VQuadAddToBatch();
        }
    }
    uint64_t Draws() const { return m_pDev->GetCounters().m_uiDrawCalls; }
    uint64_t Triangles() const { return m_pDev->GetCounters().m_uiTriangles; }
    PlatGfxDevice* m_pDev = nullptr;
};

std::string Raised(const std::function<void()>& fp_Call)
{
    try
    {
        fp_Call();
    }
    catch (const CEHSException& e)
    {
        return std::to_string(e.m_iType) + ":" + e.m_strDesc;
    }
    return "(nothing raised)";
}
} // namespace

TEST_F(VQuadTest, FiveHundredQuadsAreOneDrawAtTheFiveHundredth)
{
    m_pDev->BeginScene();
    m_pVLA->VQuadBeginBatch();
    m_pDev->ResetCounters();
    Submit(499);
    EXPECT_EQ(Draws(), 0u);
    Submit(1);
    EXPECT_EQ(Draws(), 1u);
    EXPECT_EQ(Triangles(), 1000u);
    EXPECT_EQ(m_pVLA->m_iBatchCount, 0);
    m_pVLA->VQuadEndBatch();
    m_pDev->EndScene();
    EXPECT_EQ(Draws(), 1u); // nothing left for the end of the scene
}

TEST_F(VQuadTest, TheFiveHundredAndFirstIsDrawnAloneAtTheEnd)
{
    m_pDev->BeginScene();
    m_pVLA->VQuadBeginBatch();
    m_pDev->ResetCounters();
    Submit(501);
    EXPECT_EQ(Draws(), 1u);
    EXPECT_EQ(m_pVLA->m_iBatchCount, 1);
    m_pVLA->VQuadEndBatch();
    EXPECT_EQ(Draws(), 2u);
    EXPECT_EQ(Triangles(), 1002u);
    EXPECT_EQ(m_pVLA->m_pBatchData, nullptr);
    // Ending again, or flushing outside a scene, draws nothing.
    m_pVLA->VQuadEndBatch();
    m_pVLA->VQuadFlushBatch();
    m_pDev->EndScene();
    EXPECT_EQ(Draws(), 2u);
}

TEST_F(VQuadTest, SubmissionsOutsideABatchDoNothing)
{
    m_pDev->ResetCounters();
    m_pVLA->VQuadSetPos(10, 20, 4, 4, 0.5f);
    m_pVLA->VQuadAddToBatch();
    EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_fX, 10.0f); // not even shifted
    m_pVLA->VQuadEndBatch();
    EXPECT_EQ(Draws(), 0u);
    EXPECT_EQ(m_pVLA->m_iBatchCount, 0);
}

TEST_F(VQuadTest, TheHalfPixelShiftIsMadeInTheTemplate)
{
    m_pDev->BeginScene();
    m_pVLA->VQuadBeginBatch();
    VLAVERTEX* tmp_pFirst = m_pVLA->m_pBatchData;
    m_pVLA->VQuadSetPos(10, 20, 4, 4, 0.5f);
    m_pVLA->VQuadAddToBatch();
    m_pVLA->VQuadAddToBatch(); // not positioned again: half a pixel further
    EXPECT_EQ(tmp_pFirst[0].m_fX, 9.5f);
    EXPECT_EQ(tmp_pFirst[0].m_fY, 19.5f);
    EXPECT_EQ(tmp_pFirst[2].m_fX, 13.5f);
    EXPECT_EQ(tmp_pFirst[4].m_fX, 9.0f);
    EXPECT_EQ(tmp_pFirst[6].m_fY, 23.0f);
    EXPECT_EQ(tmp_pFirst[1].m_fRHW, 0.5f);
    m_pVLA->VQuadEndBatch();
    m_pDev->EndScene();
}

TEST_F(VQuadTest, LosingTheFocusDropsThePendingQuads)
{
    m_pDev->BeginScene();
    m_pVLA->VQuadBeginBatch();
    m_pDev->ResetCounters();
    Submit(3);
    m_pVLA->OnFocusLost();
    EXPECT_EQ(m_pVLA->m_pBatchData, nullptr);
    EXPECT_EQ(m_pVLA->m_iBatchCount, 0);
    m_pVLA->VQuadEndBatch();
    m_pDev->EndScene();
    EXPECT_EQ(Draws(), 0u);
    EXPECT_NE(ReadFile(kLogFileName).find("FOCUS LOST\n"), std::string::npos);
    // The buffer was unlocked: the next scene locks it again.
    m_pDev->BeginScene();
    m_pVLA->VQuadBeginBatch();
    Submit(2);
    m_pVLA->VQuadEndBatch();
    m_pDev->EndScene();
    EXPECT_EQ(Draws(), 1u);
    EXPECT_EQ(Triangles(), 4u);
}

TEST_F(VQuadTest, TheIndexBufferHoldsTwoTrianglesPerQuad)
{
    uint8_t* p = nullptr;
    ASSERT_EQ(m_pVLA->m_pIB->Lock(0, 0, &p, PLATLOCK_READONLY), PLAT_OK);
    const uint16_t* idx = reinterpret_cast<const uint16_t*>(p);
    for (int k : {0, 1, 250, 499})
    {
        const uint16_t b = uint16_t(4 * k);
        const uint16_t want[6] = {b, uint16_t(b + 1), uint16_t(b + 2),
                                  b, uint16_t(b + 2), uint16_t(b + 3)};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(idx[6 * k + i], want[i]) << "quad " << k;
    }
    m_pVLA->m_pIB->Unlock();
}

TEST_F(VQuadTest, ColoursKeepTheLowEightBitsOfTheTruncatedValue)
{
    struct Case
    {
        float r, g, b, a;
        uint32_t want;
    };
    const Case cases[] = {
        {1.0f, 0.5f, 0.25f, 1.0f, 0xFFFF7F3Fu},
        {0.0f, 0.0f, 0.0f, 1.5f, 0x7E000000u},  // 382 -> 126
        {-0.5f, 2.0f, 0.0f, 0.0f, 0x0081FE00u}, // -127 -> 0x81, 510 -> 0xFE
        {0.999f, 0.004f, 1.0f, 0.5f, 0x7FFE01FFu},
    };
    for (const Case& c : cases)
    {
        m_pVLA->VQuadSetColor(c.r, c.g, c.b, c.a);
        for (int v = 0; v < 4; ++v)
        {
            EXPECT_EQ(m_pVLA->m_QuadTemplate[v].m_uiDiffuse, c.want) << std::hex << c.want;
            EXPECT_EQ(m_pVLA->m_fQuadAlpha[v], c.a);
        }
    }
    m_pVLA->VQuadSetColor(1, 1, 1, 1);
    m_pVLA->VQuadSetColorByVertex(2, 1.0f, 0.0f, 0.0f, 0.25f);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[2].m_uiDiffuse, 0x3FFF0000u);
    EXPECT_EQ(m_pVLA->m_fQuadAlpha[2], 0.25f);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[1].m_uiDiffuse, 0xFFFFFFFFu);
    EXPECT_EQ(Raised([&] { m_pVLA->VQuadSetColorByVertex(4, 1, 1, 1, 1); }),
              "2:Wrong vertex number: must be 0 to 3");
}

TEST_F(VQuadTest, TextureCoordinatesGoToTheChosenSet)
{
    m_pVLA->VQuadSetTexCoords(1, 0.1f, 0.2f, 0.3f, 0.4f);
    m_pVLA->VQuadSetTexCoords(2, 0.5f, 0.6f, 0.7f, 0.8f);
    const float u1[4] = {0.1f, 0.3f, 0.3f, 0.1f}, v1[4] = {0.2f, 0.2f, 0.4f, 0.4f};
    const float u2[4] = {0.5f, 0.7f, 0.7f, 0.5f}, v2[4] = {0.6f, 0.6f, 0.8f, 0.8f};
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ(m_pVLA->m_QuadTemplate[i].m_fTU1, u1[i]);
        EXPECT_EQ(m_pVLA->m_QuadTemplate[i].m_fTV1, v1[i]);
        EXPECT_EQ(m_pVLA->m_QuadTemplate[i].m_fTU2, u2[i]);
        EXPECT_EQ(m_pVLA->m_QuadTemplate[i].m_fTV2, v2[i]);
    }
    for (int set : {0, 3, -1})
    {
        EXPECT_EQ(Raised([&] { m_pVLA->VQuadSetTexCoords(set, 9, 9, 9, 9); }),
                  "2:Wrong texture coordinates set number: must be 1 or 2");
        EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_fTU1, 0.1f); // nothing changed
        EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_fTU2, 0.5f);
    }
}

TEST_F(VQuadTest, PositionRotationScaleAndMove)
{
    auto expectAt = [&](int v, float x, float y)
    {
        EXPECT_NEAR(m_pVLA->m_QuadTemplate[v].m_fX, x, 1e-4f) << "vertex " << v;
        EXPECT_NEAR(m_pVLA->m_QuadTemplate[v].m_fY, y, 1e-4f) << "vertex " << v;
    };
    m_pVLA->VQuadSetPos(10, 10, 20, 20, 0.25f);
    expectAt(0, 10, 10);
    expectAt(1, 30, 10);
    expectAt(2, 30, 30);
    expectAt(3, 10, 30);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[3].m_fZ, 0.25f);
    // 90 degrees about the centre: each corner moves to the next one (y grows downwards).
    m_pVLA->VQuadRotate(20, 20, 90);
    expectAt(0, 30, 10);
    expectAt(1, 30, 30);
    expectAt(2, 10, 30);
    expectAt(3, 10, 10);
    m_pVLA->VQuadSetPos(10, 10, 20, 20, 0.25f);
    m_pVLA->VQuadScale(20, 20, 2);
    expectAt(0, 0, 0);
    expectAt(2, 40, 40);
    m_pVLA->VQuadScale(0, 0, -0.5f);
    expectAt(2, -20, -20);
    m_pVLA->VQuadMove(5, -5, 0.5f);
    expectAt(0, 5, -5);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_fZ, 0.75f);
    m_pVLA->VQuadSetPosByVertex(1, 7, 8, 0.1f);
    expectAt(1, 7, 8);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[1].m_fZ, 0.1f);
    EXPECT_EQ(Raised([&] { m_pVLA->VQuadSetPosByVertex(-1, 0, 0, 0); }),
              "2:Wrong vertex number: must be 0 to 3");
}

TEST_F(VQuadTest, FogFactorFollowsTheDepthWhileFogIsOn)
{
    for (VLAVERTEX& v : m_pVLA->m_QuadTemplate)
        v.m_uiSpecular = 0x12345678;
    m_pVLA->VQuadSetPos(0, 0, 1, 1, 0.5f);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_uiSpecular, 0x12345678u); // fog off: untouched
    m_pVLA->m_bFogOn = true;
    const struct
    {
        float z;
        uint32_t spec;
    } cases[] = {{0.5f, 0x80FFFFFF}, {1.0f, 0xFFFFFFFF},  {1.7f, 0xFFFFFFFF},
                 {0.0f, 0x00FFFFFF}, {-3.0f, 0x00FFFFFF}, {0.1f, 0x1AFFFFFF}};
    for (const auto& c : cases)
    {
        m_pVLA->VQuadSetPos(0, 0, 1, 1, c.z);
        for (int v = 0; v < 4; ++v)
            EXPECT_EQ(m_pVLA->m_QuadTemplate[v].m_uiSpecular, c.spec) << c.z;
    }
    m_pVLA->VQuadSetPosByVertex(3, 0, 0, 0.2f);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[3].m_uiSpecular, 0x33FFFFFFu);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[2].m_uiSpecular, 0x1AFFFFFFu);
    m_pVLA->VQuadMove(0, 0, 0.3f); // the moved depths give the factors
    EXPECT_EQ(m_pVLA->m_QuadTemplate[3].m_uiSpecular, 0x80FFFFFFu);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_uiSpecular, 0x66FFFFFFu);
}

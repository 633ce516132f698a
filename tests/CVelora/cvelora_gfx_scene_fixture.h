// Shared fixture of the technique, light, scene and font tests: an engine with a graphics device
// on the virtual display (800 × 600), helpers to draw quads, read back the picture the device
// presented (and the one that reached the window, through the gamma ramp), and to read the log.
#pragma once

#include "CVelora/cvelora.h"
#include "Platform/plat_gfx.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

class GfxSceneTest : public TempDirTest
{
protected:
    void TearDown() override
    {
        delete m_pVLA;
        m_pVLA = nullptr;
        PlatGfxTestSetAdapter(nullptr);
        TempDirTest::TearDown();
    }

    // Mode 2 (800 × 600, 32-bit) full screen unless told otherwise.
    void StartGfx(int fp_iMode = 2, bool fp_bWindowed = false)
    {
        m_pVLA = new CVelora();
        m_pVLA->GfxPreinit(800, 600);
        m_pVLA->GfxInit(fp_iMode, fp_bWindowed);
    }

    // Runs fp_Body with the engine's error record caught; returns "type:description", or "" when
    // nothing was raised.
    static std::string Raised(const std::function<void()>& fp_Body)
    {
        try
        {
            fp_Body();
        }
        catch (const CEHSException& e)
        {
            return std::to_string(e.m_iType) + ":" + e.m_strDesc;
        }
        return "";
    }

    static bool LogHas(const std::string& fp_strText)
    {
        return ReadFile(kLogFileName).find(fp_strText) != std::string::npos;
    }

    uint32_t RS(uint32_t fp_uiState)
    {
        uint32_t v = 0;
        EXPECT_EQ(m_pVLA->m_pD3DDevice->GetRenderState(fp_uiState, v), PLAT_OK);
        return v;
    }
    uint32_t TSS(uint32_t fp_uiStage, uint32_t fp_uiType)
    {
        uint32_t v = 0;
        EXPECT_EQ(m_pVLA->m_pD3DDevice->GetTextureStageState(fp_uiStage, fp_uiType, v), PLAT_OK);
        return v;
    }

    // One solid quad in the current technique.
    void Quad(float x, float y, float w, float h, float r, float g, float b, float a,
              float z = 0.5f)
    {
        m_pVLA->VQuadSetTexCoords(1, 0.0f, 0.0f, 1.0f, 1.0f);
        m_pVLA->VQuadSetColor(r, g, b, a);
        m_pVLA->VQuadSetPos(x, y, w, h, z);
        m_pVLA->SceneRender();
    }

    // The picture last presented (back-buffer size), 0xAARRGGBB, rows top-down.
    std::vector<uint32_t> Presented()
    {
        PlatGfxDevice* d = m_pVLA->m_pD3DDevice;
        const uint32_t w = m_pVLA->m_PresentParams.m_uiBackBufferWidth;
        const uint32_t h = m_pVLA->m_PresentParams.m_uiBackBufferHeight;
        PlatSurface* s = nullptr;
        EXPECT_EQ(d->CreateImageSurface(w, h, PLATFMT_A8R8G8B8, &s), PLAT_OK);
        EXPECT_EQ(d->GetFrontBuffer(s), PLAT_OK);
        PlatLockedRect r;
        EXPECT_EQ(s->LockRect(r, PLATLOCK_READONLY), PLAT_OK);
        std::vector<uint32_t> tmp_Out(size_t(w) * h);
        for (uint32_t y = 0; y < h; ++y)
            std::memcpy(&tmp_Out[size_t(y) * w], static_cast<uint8_t*>(r.m_pBits) + y * r.m_iPitch,
                        4 * w);
        s->UnlockRect();
        s->Release();
        return tmp_Out;
    }
    uint32_t PresentedAt(int x, int y) { return Presented()[size_t(y) * 800 + x] & 0xFFFFFF; }

    CVelora* m_pVLA = nullptr;
};

// Channels of 0xRRGGBB.
inline int R(uint32_t c)
{
    return int((c >> 16) & 255);
}
inline int G(uint32_t c)
{
    return int((c >> 8) & 255);
}
inline int B(uint32_t c)
{
    return int(c & 255);
}
// Colours equal within fp_iTol per channel (software rasterisers round differently).
inline ::testing::AssertionResult ColorNear(uint32_t fp_uiActual, uint32_t fp_uiExpected,
                                            int fp_iTol = 2)
{
    if (std::abs(R(fp_uiActual) - R(fp_uiExpected)) <= fp_iTol &&
        std::abs(G(fp_uiActual) - G(fp_uiExpected)) <= fp_iTol &&
        std::abs(B(fp_uiActual) - B(fp_uiExpected)) <= fp_iTol)
        return ::testing::AssertionSuccess();
    char tmp_sz[80];
    std::snprintf(tmp_sz, sizeof(tmp_sz), "got %06X, expected %06X", fp_uiActual & 0xFFFFFF,
                  fp_uiExpected & 0xFFFFFF);
    return ::testing::AssertionFailure() << tmp_sz;
}

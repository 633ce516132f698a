// Scene operations (see cvelora_gfx_scene.h): frame control, viewport, gamma and screenshots.
#include "CVelora/cvelora_gfx_scene.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_gfx_tech.h"
#include "Platform/plat_gfx.h"

#include <algorithm>
#include <iterator>
#include <source_location>
#include <cstddef>
#include <cstdio>

namespace
{
constexpr int kFileID = 116;

constexpr uint32_t kBMPHeadersSize = 54;

void PutU16(uint8_t* fp_pOut, uint32_t fp_uiValue)
{
    fp_pOut[0] = static_cast<uint8_t>(fp_uiValue);
    fp_pOut[1] = static_cast<uint8_t>(fp_uiValue >> 8);
}

void PutU32(uint8_t* fp_pOut, uint32_t fp_uiValue)
{
    for (int i = 0; i < 4; ++i)
        fp_pOut[i] = static_cast<uint8_t>(fp_uiValue >> (8 * i));
}

void RequireDevice(const CVelora* fp_pVLA,
                   std::source_location fp_Loc = std::source_location::current())
{
    if (fp_pVLA->m_pD3DDevice == nullptr)
        ThrowGeneral("D3DDevice object was not created!", 0, fp_Loc);
}
} // namespace

void SceneClampViewport(int& fp_iX, int& fp_iY, int& fp_iW, int& fp_iH, int fp_iScreenW,
                        int fp_iScreenH)
{
    if (fp_iX < 0)
    {
        fp_iW += fp_iX;
        fp_iX = 0;
    }
    if (fp_iY < 0)
    {
        fp_iH += fp_iY;
        fp_iY = 0;
    }
    // 64-bit sums: a caller's huge width must not wrap around into a small one.
    if (static_cast<int64_t>(fp_iX) + fp_iW > fp_iScreenW)
        fp_iW = fp_iScreenW - fp_iX;
    if (static_cast<int64_t>(fp_iY) + fp_iH > fp_iScreenH)
        fp_iH = fp_iScreenH - fp_iY;
    if (fp_iW < 0)
        fp_iW = 0;
    if (fp_iH < 0)
        fp_iH = 0;
}

void SceneMakeGammaRamp(float fp_fLevel, float fp_fBend, uint16_t fp_Ramp[256])
{
    float tmp_fLow = 0.0f;
    float tmp_fHigh = 1.0f;
    if (fp_fLevel > 1.0f)
        tmp_fLow = std::min(fp_fLevel - 1.0f, 1.0f);
    if (fp_fLevel < 1.0f)
        tmp_fHigh = std::max(fp_fLevel, 0.0f);
    const float tmp_fMid = tmp_fLow + (tmp_fHigh - tmp_fLow) * 0.5f;
    const float tmp_fControl = (1.0f - fp_fBend) * tmp_fMid + fp_fBend * tmp_fHigh;
    for (int i = 0; i < 256; ++i)
    {
        const float t = static_cast<float>(i) * 0.003921569f;
        float v = (1.0f - t) * (1.0f - t) * tmp_fLow + 2.0f * t * (1.0f - t) * tmp_fControl +
                  t * t * tmp_fHigh;
        // NaN (a NaN level or bend) fails both tests and would make the conversion undefined.
        if (!(v >= 0.0f))
            v = 0.0f;
        if (v > 1.0f)
            v = 1.0f;
        fp_Ramp[i] = static_cast<uint16_t>(v * 65535.0f);
    }
}

uint32_t SceneBMPRowSize(uint32_t fp_uiWidth)
{
    return (fp_uiWidth * 3 + 3) & ~3u;
}

std::vector<uint8_t> SceneEncodeBMP(uint32_t fp_uiWidth, uint32_t fp_uiHeight,
                                    const uint8_t* fp_pBits, int fp_iPitch)
{
    Checkpoint(kFileID);
    const uint32_t tmp_uiRowSize = SceneBMPRowSize(fp_uiWidth);
    const uint32_t tmp_uiImageSize = tmp_uiRowSize * fp_uiHeight;
    std::vector<uint8_t> tmp_Out(kBMPHeadersSize + tmp_uiImageSize, 0);
    uint8_t* p = tmp_Out.data();

    // File header.
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, kBMPHeadersSize + tmp_uiImageSize);
    PutU16(p + 6, 0);
    PutU16(p + 8, 0);
    PutU32(p + 10, kBMPHeadersSize);
    // Information header; a positive height means the rows are stored bottom-up.
    PutU32(p + 14, 40);
    PutU32(p + 18, fp_uiWidth);
    PutU32(p + 22, fp_uiHeight);
    PutU16(p + 26, 1);
    PutU16(p + 28, 24);
    PutU32(p + 30, 0);
    PutU32(p + 34, tmp_uiImageSize);
    // Resolutions and palette counts stay 0.

    uint8_t* tmp_pRow = p + kBMPHeadersSize;
    for (uint32_t y = fp_uiHeight; y-- > 0;)
    {
        const uint8_t* tmp_pSrc = fp_pBits + static_cast<ptrdiff_t>(y) * fp_iPitch;
        for (uint32_t x = 0; x < fp_uiWidth; ++x)
        {
            tmp_pRow[3 * x] = tmp_pSrc[4 * x];
            tmp_pRow[3 * x + 1] = tmp_pSrc[4 * x + 1];
            tmp_pRow[3 * x + 2] = tmp_pSrc[4 * x + 2];
        }
        tmp_pRow += tmp_uiRowSize;
    }
    return tmp_Out;
}

bool SceneWriteFile(const std::string& fp_strPath, const std::vector<uint8_t>& fp_Bytes)
{
    Checkpoint(kFileID);
    FILE* tmp_pFile = std::fopen(fp_strPath.c_str(), "wb");
    if (tmp_pFile == nullptr)
        return false;
    const size_t tmp_uWritten = std::fwrite(fp_Bytes.data(), 1, fp_Bytes.size(), tmp_pFile);
    const bool tmp_bClosed = std::fclose(tmp_pFile) == 0;
    return tmp_uWritten == fp_Bytes.size() && tmp_bClosed;
}

void CVelora::SceneBegin()
{
    Checkpoint(kFileID);
    RequireDevice(this);
    m_pD3DDevice->BeginScene();
    VQuadBeginBatch();
}

void CVelora::SceneEnd()
{
    Checkpoint(kFileID);
    RequireDevice(this);
    VQuadEndBatch();
    m_pD3DDevice->EndScene();
}

void CVelora::SceneClearScreen(float fp_fR, float fp_fG, float fp_fB)
{
    Checkpoint(kFileID);
    RequireDevice(this);
    const uint32_t tmp_uiColor =
        0xFF000000u | TechColorByte(fp_fR) << 16 | TechColorByte(fp_fG) << 8 | TechColorByte(fp_fB);
    m_pD3DDevice->Clear(PLATCLEAR_TARGET, tmp_uiColor, 0.0f, 0);
}

void CVelora::SceneRender()
{
    Checkpoint(kFileID);
    LightApply();
    VQuadAddToBatch();
}

void CVelora::ScenePresent()
{
    Checkpoint(kFileID);
    m_pD3DDevice->Present();
}

void CVelora::SceneSetViewport(int fp_iX, int fp_iY, int fp_iWidth, int fp_iHeight)
{
    Checkpoint(kFileID);
    RequireDevice(this);
    int tmp_iScreenW = 0;
    int tmp_iScreenH = 0;
    GfxGetScreenSize(tmp_iScreenW, tmp_iScreenH);
    SceneClampViewport(fp_iX, fp_iY, fp_iWidth, fp_iHeight, tmp_iScreenW, tmp_iScreenH);
    VQuadFlushBatch();
    PlatViewport tmp_Viewport;
    tmp_Viewport.m_uiX = static_cast<uint32_t>(fp_iX);
    tmp_Viewport.m_uiY = static_cast<uint32_t>(fp_iY);
    tmp_Viewport.m_uiWidth = static_cast<uint32_t>(fp_iWidth);
    tmp_Viewport.m_uiHeight = static_cast<uint32_t>(fp_iHeight);
    tmp_Viewport.m_fMinZ = 0.0f;
    tmp_Viewport.m_fMaxZ = 1.0f;
    m_pD3DDevice->SetViewport(tmp_Viewport);
}

void CVelora::SceneSetGamma(float fp_fLevel, float fp_fBend)
{
    Checkpoint(kFileID);
    RequireDevice(this);
    PlatGammaRamp tmp_Ramp;
    SceneMakeGammaRamp(fp_fLevel, fp_fBend, tmp_Ramp.m_Red);
    std::copy(std::begin(tmp_Ramp.m_Red), std::end(tmp_Ramp.m_Red), tmp_Ramp.m_Green);
    std::copy(std::begin(tmp_Ramp.m_Red), std::end(tmp_Ramp.m_Red), tmp_Ramp.m_Blue);
    m_pD3DDevice->SetGammaRamp(
        m_VideoCaps.m_bGammaCalibration ? PLATSGR_CALIBRATE : PLATSGR_NO_CALIBRATION, tmp_Ramp);
}

void CVelora::SceneMakeScreenshot()
{
    Checkpoint(kFileID);
    RequireDevice(this);
    if (m_bWindowed)
    {
        LogAddEmptyLines(1);
        LogAddEntry("Cannot make a screenshot in windowed mode!", 5);
        LogAddEmptyLines(1);
        return;
    }
    ++m_iScreenshotCounter;

    const uint32_t tmp_uiWidth = m_PresentParams.m_uiBackBufferWidth;
    const uint32_t tmp_uiHeight = m_PresentParams.m_uiBackBufferHeight;
    PlatSurface* tmp_pSurface = nullptr;
    PlatResult tmp_Result = m_pD3DDevice->CreateImageSurface(tmp_uiWidth, tmp_uiHeight,
                                                             PLATFMT_A8R8G8B8, &tmp_pSurface);
    if (tmp_Result != PLAT_OK)
        ThrowGeneral("Cannot create surface!", tmp_Result);
    EHSAssert(tmp_pSurface != nullptr);

    // The surface is released on every path, the failing ones included.
    struct SurfaceGuard
    {
        PlatSurface* m_p;
        ~SurfaceGuard() { m_p->Release(); }
    } tmp_Guard{tmp_pSurface};

    tmp_Result = m_pD3DDevice->GetFrontBuffer(tmp_pSurface);
    if (tmp_Result != PLAT_OK)
        ThrowGeneral("Cannot get front buffer!", tmp_Result);
    PlatLockedRect tmp_Rect;
    tmp_Result = tmp_pSurface->LockRect(tmp_Rect, PLATLOCK_READONLY);
    if (tmp_Result != PLAT_OK)
        ThrowGeneral("Cannot lock surface!", tmp_Result);
    std::vector<uint8_t> tmp_File =
        SceneEncodeBMP(tmp_uiWidth, tmp_uiHeight, static_cast<const uint8_t*>(tmp_Rect.m_pBits),
                       tmp_Rect.m_iPitch);
    tmp_pSurface->UnlockRect();

    // A file that cannot be written is skipped (a missed screenshot must not end the game), but
    // it is not reported as saved.
    const std::string tmp_strName = "screenshot" + std::to_string(m_iScreenshotCounter) + ".bmp";
    const bool tmp_bSaved = SceneWriteFile(tmp_strName, tmp_File);
    LogAddEmptyLines(1);
    if (tmp_bSaved)
        LogAddEntry("Screenshot saved.", 4);
    else
        LogAddEntry("Cannot write screenshot file " + tmp_strName + "!", 5);
    LogAddEmptyLines(1);
}

// Shared pieces of the graphics tests (see cvelora_gfx_test_support.h).
#include "cvelora_gfx_test_support.h"

#include "Platform/plat_gfx.h"

#include <png.h>

#include <cstdio>
#include <cstring>

std::string MakePng(int fp_iWidth, int fp_iHeight, const std::vector<uint32_t>& fp_Pixels)
{
    png_image tmp_Image;
    std::memset(&tmp_Image, 0, sizeof(tmp_Image));
    tmp_Image.version = PNG_IMAGE_VERSION;
    tmp_Image.width = static_cast<png_uint_32>(fp_iWidth);
    tmp_Image.height = static_cast<png_uint_32>(fp_iHeight);
    tmp_Image.format = PNG_FORMAT_BGRA; // little-endian 0xAARRGGBB words
    png_alloc_size_t tmp_uSize = 0;
    EXPECT_TRUE(png_image_write_to_memory(&tmp_Image, nullptr, &tmp_uSize, 0, fp_Pixels.data(), 0,
                                          nullptr));
    std::string tmp_strFile(tmp_uSize, '\0');
    EXPECT_TRUE(png_image_write_to_memory(&tmp_Image, tmp_strFile.data(), &tmp_uSize, 0,
                                          fp_Pixels.data(), 0, nullptr));
    tmp_strFile.resize(tmp_uSize);
    return tmp_strFile;
}

std::string LogEntry(const std::string& fp_strText, int fp_iKind)
{
    static const char* const kMarkers[] = {
        "? ", "   =: ", "  -=: ", "--==: ", "   +: ", " !: ", " !!!: "};
    return kMarkers[fp_iKind] + fp_strText + "\n";
}
std::string LogLine(const std::string& fp_strText)
{
    return fp_strText + "\n";
}
std::string LogSeparator1()
{
    return "|" + std::string(51, '-') + "|\n";
}
std::string LogEmpty(int fp_iCount)
{
    return std::string(static_cast<size_t>(fp_iCount), '\n');
}

void GfxEngineTest::SetUp()
{
    TempDirTest::SetUp();
    ResetQuitRequest();
    m_pVLA = new CVelora;
}

void GfxEngineTest::TearDown()
{
    delete m_pVLA;
    PlatGfxTestSetAdapter(nullptr);
    TempDirTest::TearDown();
}

void GfxEngineTest::StartGraphics()
{
    m_pVLA->GfxPreinit(800, 600);
    m_pVLA->GfxInit(3, true);
    ASSERT_TRUE(m_pVLA->m_bGfxDeviceCreated);
    TakeLog();
}

void GfxEngineTest::BeginFrame(uint32_t fp_uiClearColor)
{
    ASSERT_EQ(m_pVLA->m_pD3DDevice->BeginScene(), PLAT_OK);
    m_pVLA->m_pD3DDevice->Clear(PLATCLEAR_TARGET, fp_uiClearColor, 0.0f, 0);
    m_pVLA->VQuadBeginBatch();
}

void GfxEngineTest::EndFrame()
{
    m_pVLA->VQuadEndBatch();
    m_pVLA->m_pD3DDevice->EndScene();
    m_pVLA->m_pD3DDevice->Present();
}

std::vector<uint32_t> GfxEngineTest::Picture(int& fp_iWidth, int& fp_iHeight)
{
    fp_iWidth = static_cast<int>(m_pVLA->m_PresentParams.m_uiBackBufferWidth);
    fp_iHeight = static_cast<int>(m_pVLA->m_PresentParams.m_uiBackBufferHeight);
    PlatSurface* tmp_pSurface = nullptr;
    EXPECT_EQ(m_pVLA->m_pD3DDevice->CreateImageSurface(fp_iWidth, fp_iHeight, PLATFMT_A8R8G8B8,
                                                       &tmp_pSurface),
              PLAT_OK);
    EXPECT_EQ(m_pVLA->m_pD3DDevice->GetFrontBuffer(tmp_pSurface), PLAT_OK);
    PlatLockedRect tmp_Rect;
    tmp_pSurface->LockRect(tmp_Rect, PLATLOCK_READONLY);
    std::vector<uint32_t> tmp_Pixels(size_t(fp_iWidth) * fp_iHeight);
    for (int y = 0; y < fp_iHeight; ++y)
        std::memcpy(&tmp_Pixels[size_t(y) * fp_iWidth],
                    static_cast<const uint8_t*>(tmp_Rect.m_pBits) + y * tmp_Rect.m_iPitch,
                    size_t(fp_iWidth) * 4);
    tmp_pSurface->UnlockRect();
    tmp_pSurface->Release();
    return tmp_Pixels;
}

std::string GfxEngineTest::TakeLog()
{
    std::string tmp_strLog = ReadFile(kLogFileName);
    std::remove(kLogFileName);
    return tmp_strLog;
}

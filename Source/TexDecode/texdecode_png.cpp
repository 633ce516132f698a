// PNG reader of the texture-file decoder. libpng reports errors by longjmp, so the function
// holding the setjmp keeps no C++ objects of its own: every piece of state lives in PngState,
// owned by the caller's frame, and libpng's structures are destroyed there after the jump.
#include "TexDecode/texdecode_png.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

namespace
{

// No ancillary chunk of a texture is worth more than this.
constexpr png_alloc_size_t kPngMaxChunkBytes = 8 * 1024 * 1024;

// Whether every chunk up to IEND lies inside the data. libpng allocates (and clears) a chunk's
// buffer from its length field before reading it, so a cut-off or damaged length claiming a
// gigabyte would cost seconds before the data turned out to be missing.
bool PngChunksInside(const uint8_t* fp_pData, size_t fp_uSize)
{
    size_t tmp_uPos = 8;
    while (fp_uSize - tmp_uPos >= 12)
    {
        const uint8_t* p = fp_pData + tmp_uPos;
        const uint32_t tmp_uLength =
            uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
        if (tmp_uLength > fp_uSize - tmp_uPos - 12)
            return false;
        tmp_uPos += 12 + size_t(tmp_uLength);
        if (std::memcmp(p + 4, "IEND", 4) == 0)
            return true;
    }
    return false;
}

struct PngState
{
    const uint8_t* m_pData = nullptr;
    size_t m_uSize = 0;
    size_t m_uPos = 0;
    png_structp m_pPng = nullptr;
    png_infop m_pInfo = nullptr;
    TexRgbaImage* m_pOut = nullptr;
    std::vector<png_bytep> m_Rows;
    char m_szError[256] = {};
};

void PngReadBytes(png_structp fp_pPng, png_bytep fp_pDest, size_t fp_uCount)
{
    auto* tmp_pState = static_cast<PngState*>(png_get_io_ptr(fp_pPng));
    if (fp_uCount > tmp_pState->m_uSize - tmp_pState->m_uPos)
        png_error(fp_pPng, "unexpected end of file");
    std::memcpy(fp_pDest, tmp_pState->m_pData + tmp_pState->m_uPos, fp_uCount);
    tmp_pState->m_uPos += fp_uCount;
}

[[noreturn]] void PngOnError(png_structp fp_pPng, png_const_charp fp_pszMessage)
{
    auto* tmp_pState = static_cast<PngState*>(png_get_error_ptr(fp_pPng));
    std::snprintf(tmp_pState->m_szError, sizeof(tmp_pState->m_szError), "%s",
                  fp_pszMessage ? fp_pszMessage : "unknown error");
    png_longjmp(fp_pPng, 1);
}

// Warnings (bad ancillary chunks, a stray byte after the image data) leave a usable picture.
void PngOnWarning(png_structp, png_const_charp) {}

// Runs between setjmp and the last libpng call; only trivially destructible locals here.
bool PngDecode(PngState& fp_State)
{
    png_structp tmp_pPng = fp_State.m_pPng;
    png_infop tmp_pInfo = fp_State.m_pInfo;
    if (setjmp(png_jmpbuf(tmp_pPng)))
        return false;

    png_set_user_limits(tmp_pPng, kTexMaxDimension, kTexMaxDimension);
    png_set_chunk_malloc_max(tmp_pPng, kPngMaxChunkBytes);
    png_read_info(tmp_pPng, tmp_pInfo);
    const png_uint_32 tmp_uWidth = png_get_image_width(tmp_pPng, tmp_pInfo);
    const png_uint_32 tmp_uHeight = png_get_image_height(tmp_pPng, tmp_pInfo);
    if (!TexSizeAllowed(int(tmp_uWidth), int(tmp_uHeight)))
        png_error(tmp_pPng, "image is too large");
    const int tmp_iColorType = png_get_color_type(tmp_pPng, tmp_pInfo);

    // Everything becomes 8-bit RGBA: palettes and low depths expanded, tRNS turned into alpha,
    // 16-bit channels rounded (not truncated), grey copied to R, G and B, missing alpha opaque.
    png_set_expand(tmp_pPng);
    png_set_scale_16(tmp_pPng);
    if (tmp_iColorType == PNG_COLOR_TYPE_GRAY || tmp_iColorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(tmp_pPng);
    png_set_filler(tmp_pPng, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(tmp_pPng);
    png_read_update_info(tmp_pPng, tmp_pInfo);
    if (png_get_rowbytes(tmp_pPng, tmp_pInfo) != size_t(tmp_uWidth) * 4)
        png_error(tmp_pPng, "unexpected pixel layout after conversion");

    TexRgbaImage& tmp_Out = *fp_State.m_pOut;
    tmp_Out.m_iWidth = int(tmp_uWidth);
    tmp_Out.m_iHeight = int(tmp_uHeight);
    tmp_Out.m_Pixels.assign(size_t(tmp_uWidth) * tmp_uHeight * 4, 0);
    fp_State.m_Rows.resize(tmp_uHeight);
    for (png_uint_32 y = 0; y < tmp_uHeight; ++y)
        fp_State.m_Rows[y] = tmp_Out.m_Pixels.data() + size_t(y) * tmp_uWidth * 4;
    png_read_image(tmp_pPng, fp_State.m_Rows.data());
    // Reading to the end checks the trailing chunks' CRCs and catches a cut-off file.
    png_read_end(tmp_pPng, nullptr);
    return true;
}

} // namespace

bool TexIsPng(const uint8_t* fp_pData, size_t fp_uSize)
{
    return fp_uSize >= 8 && png_sig_cmp(fp_pData, 0, 8) == 0;
}

bool TexReadPng(const uint8_t* fp_pData, size_t fp_uSize, TexRgbaImage& fp_Out,
                std::string& fp_strError)
{
    if (!PngChunksInside(fp_pData, fp_uSize))
    {
        fp_strError = "PNG file: unexpected end of file";
        return false;
    }
    PngState tmp_State;
    tmp_State.m_pData = fp_pData;
    tmp_State.m_uSize = fp_uSize;
    tmp_State.m_pOut = &fp_Out;
    tmp_State.m_pPng =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &tmp_State, PngOnError, PngOnWarning);
    if (tmp_State.m_pPng)
        tmp_State.m_pInfo = png_create_info_struct(tmp_State.m_pPng);
    if (!tmp_State.m_pPng || !tmp_State.m_pInfo)
    {
        png_destroy_read_struct(tmp_State.m_pPng ? &tmp_State.m_pPng : nullptr, nullptr, nullptr);
        fp_strError = "PNG file: cannot create the reader";
        return false;
    }
    png_set_read_fn(tmp_State.m_pPng, &tmp_State, PngReadBytes);

    bool tmp_bOK = false;
    try
    {
        tmp_bOK = PngDecode(tmp_State);
    }
    catch (const std::bad_alloc&)
    {
        std::snprintf(tmp_State.m_szError, sizeof(tmp_State.m_szError), "out of memory");
    }
    png_destroy_read_struct(&tmp_State.m_pPng, &tmp_State.m_pInfo, nullptr);
    if (!tmp_bOK)
    {
        fp_Out = TexRgbaImage{};
        fp_strError = std::string("PNG file: ") + tmp_State.m_szError;
    }
    return tmp_bOK;
}

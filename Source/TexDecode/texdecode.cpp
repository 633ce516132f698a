// Texture-file decoder entry: recognises the file by its signature, reads it into RGBA, scales it
// to the size wanted, builds the mip chain and packs every level into the requested format.
#include "TexDecode/texdecode.h"

#include "TexDecode/texdecode_image.h"
#include "TexDecode/texdecode_jpeg.h"
#include "TexDecode/texdecode_png.h"

#include <algorithm>
#include <new>

int TexFormatBytesPerPixel(uint32_t fp_uiFormat)
{
    switch (fp_uiFormat)
    {
    case TEXFMT_A8R8G8B8:
    case TEXFMT_X8R8G8B8:
        return 4;
    case TEXFMT_R5G6B5:
    case TEXFMT_X1R5G5B5:
    case TEXFMT_A1R5G5B5:
    case TEXFMT_A4R4G4B4:
    case TEXFMT_A8R3G3B2:
    case TEXFMT_X4R4G4B4:
        return 2;
    default:
        return 0;
    }
}

bool TexDecode(const void* fp_pData, size_t fp_uSize, uint32_t fp_uiFormat, int fp_iWidth,
               int fp_iHeight, int fp_iMipLevels, TexImage& fp_Out, std::string& fp_strError)
{
    fp_Out = TexImage{};
    fp_strError.clear();
    auto tmp_Fail = [&](std::string fp_strText)
    {
        fp_Out = TexImage{};
        fp_strError = std::move(fp_strText);
        return false;
    };

    if (TexFormatBytesPerPixel(fp_uiFormat) == 0)
        return tmp_Fail("Unsupported texture format " + std::to_string(fp_uiFormat));
    if (fp_iWidth < 0 || fp_iHeight < 0)
        return tmp_Fail("Invalid texture size requested: " + std::to_string(fp_iWidth) + " x " +
                        std::to_string(fp_iHeight));
    if (fp_iMipLevels < 0)
        return tmp_Fail("Invalid number of mip levels: " + std::to_string(fp_iMipLevels));
    if (!fp_pData || fp_uSize == 0)
        return tmp_Fail("Image data is empty");

    try
    {
        const auto* tmp_pBytes = static_cast<const uint8_t*>(fp_pData);
        TexRgbaImage tmp_Image;
        std::string tmp_strError;
        bool tmp_bRead = false;
        if (TexIsPng(tmp_pBytes, fp_uSize))
            tmp_bRead = TexReadPng(tmp_pBytes, fp_uSize, tmp_Image, tmp_strError);
        else if (TexIsJpeg(tmp_pBytes, fp_uSize))
            tmp_bRead = TexReadJpeg(tmp_pBytes, fp_uSize, tmp_Image, tmp_strError);
        else
            tmp_strError = "Unknown image file format (neither PNG nor JPEG)";
        if (!tmp_bRead)
            return tmp_Fail(tmp_strError);

        const int tmp_iWidth = fp_iWidth ? fp_iWidth : tmp_Image.m_iWidth;
        const int tmp_iHeight = fp_iHeight ? fp_iHeight : tmp_Image.m_iHeight;
        if (!TexSizeAllowed(tmp_iWidth, tmp_iHeight))
            return tmp_Fail("Requested texture size is too large: " + std::to_string(tmp_iWidth) +
                            " x " + std::to_string(tmp_iHeight));
        const int tmp_iFull = TexFullChainLength(tmp_iWidth, tmp_iHeight);
        const int tmp_iLevels = fp_iMipLevels == 0 ? tmp_iFull : std::min(fp_iMipLevels, tmp_iFull);

        TexRgbaImage tmp_Level = TexResample(tmp_Image, tmp_iWidth, tmp_iHeight);
        fp_Out.m_iWidth = tmp_iWidth;
        fp_Out.m_iHeight = tmp_iHeight;
        fp_Out.m_uiFormat = fp_uiFormat;
        fp_Out.m_Levels.reserve(size_t(tmp_iLevels));
        for (int i = 0; i < tmp_iLevels; ++i)
        {
            if (i > 0)
                tmp_Level = TexHalve(tmp_Level);
            fp_Out.m_Levels.push_back(TexPack(tmp_Level, fp_uiFormat));
        }
    }
    catch (const std::bad_alloc&)
    {
        return tmp_Fail("Out of memory while decoding the image");
    }
    return true;
}

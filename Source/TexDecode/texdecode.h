// Texture-file decoder: turns a PNG or JPEG file held in memory into pixels of a requested texture
// format, scaled to a requested size, with a box-filtered mip chain. Knows nothing about the
// graphics device; the caller uploads the levels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Direct3D's numeric codes of the texture formats the decoder can write.
enum TexFormat : uint32_t
{
    TEXFMT_R5G6B5 = 23,
    TEXFMT_X1R5G5B5 = 24,
    TEXFMT_A1R5G5B5 = 25,
    TEXFMT_A4R4G4B4 = 26,
    TEXFMT_A8R3G3B2 = 29,
    TEXFMT_X4R4G4B4 = 30,
    TEXFMT_A8R8G8B8 = 21,
    TEXFMT_X8R8G8B8 = 22
};

// A decoded texture. Level 0 first; rows top-down and tightly packed; each pixel is a
// little-endian word laid out as Direct3D lays it out (A8R8G8B8 = 0xAARRGGBB per uint32; the
// 16-bit formats as uint16, A8R3G3B2 as uint16 with alpha in the high byte). Unused X bits are
// written as ones.
struct TexImage
{
    int m_iWidth = 0, m_iHeight = 0;
    uint32_t m_uiFormat = 0;
    std::vector<std::vector<uint8_t>> m_Levels;
};

// Decodes fp_pData (fp_uSize bytes) into fp_Out in format fp_uiFormat.
// fp_iWidth/fp_iHeight: size wanted (0 = the image's own size); fp_iMipLevels: 0 = full chain to
// 1x1, else that many levels (box filtered, never below 1x1, so at most the full chain).
// On failure returns false, leaves fp_Out empty and puts the reason in fp_strError.
bool TexDecode(const void* fp_pData, size_t fp_uSize, uint32_t fp_uiFormat, int fp_iWidth,
               int fp_iHeight, int fp_iMipLevels, TexImage& fp_Out, std::string& fp_strError);

// Bytes per pixel of a format the decoder writes; 0 for any other code.
int TexFormatBytesPerPixel(uint32_t fp_uiFormat);

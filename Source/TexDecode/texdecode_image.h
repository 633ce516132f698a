// The decoder's working picture (8-bit RGBA, rows top-down) and what is done to it: resampling to
// another size, halving for the mip chain, and packing into a texture format's pixel words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Largest side and largest pixel count accepted, for decoded images and for requested sizes;
// a hostile header cannot make the decoder allocate more than 256 MB of working pixels.
constexpr int kTexMaxDimension = 16384;
constexpr size_t kTexMaxPixels = size_t(1) << 26;

struct TexRgbaImage
{
    int m_iWidth = 0, m_iHeight = 0;
    std::vector<uint8_t> m_Pixels; // R, G, B, A per pixel
};

// Whether a picture of this size may be allocated.
bool TexSizeAllowed(int fp_iWidth, int fp_iHeight);

// Resamples fp_Src to fp_iWidth x fp_iHeight: area averaging along an axis that shrinks,
// linear interpolation (edge texels clamped) along an axis that grows, a plain copy when the
// size is unchanged.
TexRgbaImage TexResample(const TexRgbaImage& fp_Src, int fp_iWidth, int fp_iHeight);

// The next mip level: each side halved (rounded down, never below 1), each texel the box average
// of the texels it covers.
TexRgbaImage TexHalve(const TexRgbaImage& fp_Src);

// Number of levels of a full chain from this size down to 1 x 1.
int TexFullChainLength(int fp_iWidth, int fp_iHeight);

// Packs the picture into the pixel words of fp_uiFormat (a format TexFormatBytesPerPixel knows).
std::vector<uint8_t> TexPack(const TexRgbaImage& fp_Src, uint32_t fp_uiFormat);

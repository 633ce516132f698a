// The decoder's working picture: resampling, mip halving and packing into texture formats.
// Filtering is done on straight (not premultiplied) RGBA in float, rounded once per result.
#include "TexDecode/texdecode_image.h"

#include "TexDecode/texdecode.h"

#include <algorithm>
#include <cmath>

namespace
{

// One output texel's taps along an axis: consecutive source texels from m_iFirst with weights.
struct AxisTaps
{
    int m_iFirst = 0;
    std::vector<float> m_Weights;
};

std::vector<AxisTaps> MakeTaps(int fp_iSrc, int fp_iDst)
{
    std::vector<AxisTaps> tmp_Taps(static_cast<size_t>(fp_iDst));
    const double tmp_dScale = double(fp_iSrc) / double(fp_iDst);
    for (int i = 0; i < fp_iDst; ++i)
    {
        AxisTaps& t = tmp_Taps[size_t(i)];
        if (fp_iSrc == fp_iDst)
        {
            t.m_iFirst = i;
            t.m_Weights = {1.0f};
        }
        else if (fp_iSrc > fp_iDst)
        {
            // Area average: the output texel covers [lo, hi) of the source axis.
            const double lo = i * tmp_dScale, hi = (i + 1) * tmp_dScale;
            const int first = int(std::floor(lo));
            const int last = std::min(fp_iSrc - 1, int(std::ceil(hi)) - 1);
            t.m_iFirst = first;
            for (int j = first; j <= last; ++j)
            {
                const double cover = std::min(hi, double(j + 1)) - std::max(lo, double(j));
                t.m_Weights.push_back(float(cover / tmp_dScale));
            }
        }
        else
        {
            // Linear interpolation between the two nearest texel centres, edges clamped.
            const double x = (i + 0.5) * tmp_dScale - 0.5;
            const int j0 = int(std::floor(x));
            const float f = float(x - j0);
            const int a = std::clamp(j0, 0, fp_iSrc - 1);
            const int b = std::clamp(j0 + 1, 0, fp_iSrc - 1);
            t.m_iFirst = a;
            if (a == b)
                t.m_Weights = {1.0f};
            else
                t.m_Weights = {1.0f - f, f};
        }
    }
    return tmp_Taps;
}

} // namespace

bool TexSizeAllowed(int fp_iWidth, int fp_iHeight)
{
    return fp_iWidth >= 1 && fp_iHeight >= 1 && fp_iWidth <= kTexMaxDimension &&
           fp_iHeight <= kTexMaxDimension &&
           size_t(fp_iWidth) * size_t(fp_iHeight) <= kTexMaxPixels;
}

TexRgbaImage TexResample(const TexRgbaImage& fp_Src, int fp_iWidth, int fp_iHeight)
{
    if (fp_iWidth == fp_Src.m_iWidth && fp_iHeight == fp_Src.m_iHeight)
        return fp_Src;

    const int sw = fp_Src.m_iWidth, sh = fp_Src.m_iHeight;
    const std::vector<AxisTaps> tmp_XTaps = MakeTaps(sw, fp_iWidth);
    const std::vector<AxisTaps> tmp_YTaps = MakeTaps(sh, fp_iHeight);

    // Horizontal pass into floats (fp_iWidth x sh), then the vertical pass rounds to bytes.
    std::vector<float> tmp_Mid(size_t(fp_iWidth) * size_t(sh) * 4);
    for (int y = 0; y < sh; ++y)
    {
        const uint8_t* tmp_pRow = fp_Src.m_Pixels.data() + size_t(y) * size_t(sw) * 4;
        float* tmp_pOut = tmp_Mid.data() + size_t(y) * size_t(fp_iWidth) * 4;
        for (int x = 0; x < fp_iWidth; ++x)
        {
            const AxisTaps& t = tmp_XTaps[size_t(x)];
            float acc[4] = {0, 0, 0, 0};
            for (size_t k = 0; k < t.m_Weights.size(); ++k)
            {
                const uint8_t* s = tmp_pRow + size_t(t.m_iFirst + int(k)) * 4;
                for (int c = 0; c < 4; ++c)
                    acc[c] += t.m_Weights[k] * float(s[c]);
            }
            std::copy(acc, acc + 4, tmp_pOut + size_t(x) * 4);
        }
    }

    TexRgbaImage tmp_Dst;
    tmp_Dst.m_iWidth = fp_iWidth;
    tmp_Dst.m_iHeight = fp_iHeight;
    tmp_Dst.m_Pixels.resize(size_t(fp_iWidth) * size_t(fp_iHeight) * 4);
    const size_t tmp_uMidStride = size_t(fp_iWidth) * 4;
    for (int y = 0; y < fp_iHeight; ++y)
    {
        const AxisTaps& t = tmp_YTaps[size_t(y)];
        uint8_t* tmp_pOut = tmp_Dst.m_Pixels.data() + size_t(y) * tmp_uMidStride;
        for (size_t i = 0; i < tmp_uMidStride; ++i)
        {
            float acc = 0;
            for (size_t k = 0; k < t.m_Weights.size(); ++k)
                acc += t.m_Weights[k] * tmp_Mid[size_t(t.m_iFirst + int(k)) * tmp_uMidStride + i];
            tmp_pOut[i] = uint8_t(std::clamp(int(acc + 0.5f), 0, 255));
        }
    }
    return tmp_Dst;
}

TexRgbaImage TexHalve(const TexRgbaImage& fp_Src)
{
    return TexResample(fp_Src, std::max(1, fp_Src.m_iWidth / 2), std::max(1, fp_Src.m_iHeight / 2));
}

int TexFullChainLength(int fp_iWidth, int fp_iHeight)
{
    int tmp_iLevels = 1;
    while (fp_iWidth > 1 || fp_iHeight > 1)
    {
        fp_iWidth = std::max(1, fp_iWidth / 2);
        fp_iHeight = std::max(1, fp_iHeight / 2);
        ++tmp_iLevels;
    }
    return tmp_iLevels;
}

namespace
{

// An 8-bit channel reduced to fp_iBits bits, rounded to the nearest step.
inline unsigned Quantise(uint8_t fp_Value, int fp_iBits)
{
    const unsigned tmp_uMax = (1u << fp_iBits) - 1;
    return (unsigned(fp_Value) * tmp_uMax + 127) / 255;
}

uint16_t Pack16(const uint8_t* p, uint32_t fp_uiFormat)
{
    const uint8_t r = p[0], g = p[1], b = p[2], a = p[3];
    switch (fp_uiFormat)
    {
    case TEXFMT_R5G6B5:
        return uint16_t(Quantise(r, 5) << 11 | Quantise(g, 6) << 5 | Quantise(b, 5));
    case TEXFMT_X1R5G5B5:
        return uint16_t(0x8000 | Quantise(r, 5) << 10 | Quantise(g, 5) << 5 | Quantise(b, 5));
    case TEXFMT_A1R5G5B5:
        return uint16_t((a >= 128 ? 0x8000 : 0) | Quantise(r, 5) << 10 | Quantise(g, 5) << 5 |
                        Quantise(b, 5));
    case TEXFMT_A4R4G4B4:
        return uint16_t(Quantise(a, 4) << 12 | Quantise(r, 4) << 8 | Quantise(g, 4) << 4 |
                        Quantise(b, 4));
    case TEXFMT_X4R4G4B4:
        return uint16_t(0xF000 | Quantise(r, 4) << 8 | Quantise(g, 4) << 4 | Quantise(b, 4));
    case TEXFMT_A8R3G3B2:
        return uint16_t(unsigned(a) << 8 | Quantise(r, 3) << 5 | Quantise(g, 3) << 2 |
                        Quantise(b, 2));
    default:
        return 0;
    }
}

} // namespace

std::vector<uint8_t> TexPack(const TexRgbaImage& fp_Src, uint32_t fp_uiFormat)
{
    const size_t tmp_uCount = size_t(fp_Src.m_iWidth) * size_t(fp_Src.m_iHeight);
    const int tmp_iBytes = TexFormatBytesPerPixel(fp_uiFormat);
    std::vector<uint8_t> tmp_Out(tmp_uCount * size_t(tmp_iBytes));
    const uint8_t* s = fp_Src.m_Pixels.data();
    uint8_t* d = tmp_Out.data();
    if (tmp_iBytes == 4)
    {
        const bool tmp_bOpaque = fp_uiFormat == TEXFMT_X8R8G8B8;
        for (size_t i = 0; i < tmp_uCount; ++i, s += 4, d += 4)
        {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = tmp_bOpaque ? 0xFF : s[3];
        }
    }
    else if (tmp_iBytes == 2)
    {
        for (size_t i = 0; i < tmp_uCount; ++i, s += 4, d += 2)
        {
            const uint16_t w = Pack16(s, fp_uiFormat);
            d[0] = uint8_t(w & 0xFF);
            d[1] = uint8_t(w >> 8);
        }
    }
    return tmp_Out;
}

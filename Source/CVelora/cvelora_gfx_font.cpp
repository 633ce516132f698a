// Bitmap fonts (see cvelora_gfx_font.h): glyph cells, measuring, the FONT loader, the current
// font and drawing.
#include "CVelora/cvelora_gfx_font.h"

#include "CVelora/cvelora_ehs.h"

namespace
{
constexpr int kFileID = 126;
} // namespace

VLAGlyphCell FontGlyphCell(uint8_t fp_uiChar)
{
    const float tmp_fU = static_cast<float>(fp_uiChar % 16) * 0.0625f;
    const float tmp_fV = static_cast<float>(fp_uiChar / 16 * 16) * 0.00390625f;
    return {tmp_fU, tmp_fV, tmp_fU + 0.0625f, tmp_fV + 0.0625f};
}

float FontMeasureText(const FONTINFO& fp_Font, const char* fp_pszText, float fp_fScale,
                      float fp_fExtraAdvance)
{
    Checkpoint(kFileID);
    const auto* p = reinterpret_cast<const unsigned char*>(fp_pszText);
    float tmp_fWidth = 0.0f;
    for (int i = 0; p[i] != 0 && p[i] != '\n'; ++i)
    {
        const unsigned char ch = p[i];
        if (ch == '%' && p[i + 1] >= '0' && p[i + 1] <= '9')
        {
            ++i;
            continue;
        }
        if (ch >= 33 || ch == ' ' || ch == '\t')
            tmp_fWidth += std::floor(fp_fScale * fp_Font.m_Widths[ch] + fp_fExtraAdvance);
    }
    return tmp_fWidth;
}

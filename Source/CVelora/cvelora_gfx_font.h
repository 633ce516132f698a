// Bitmap fonts: the font record (glyph texture, technique, ten colours, cell size, 256 advance
// widths) and the text layout shared by drawing and measuring. Loading (the FONT loader),
// choosing the current font and drawing are CVelora members (graphics block). Texts are 8-bit;
// glyph cells lie in a 16 × 16 grid indexed by the character code.
#pragma once

#include <cmath>
#include <cstdint>

struct FONTINFO
{
    int32_t m_iTexture = -1;
    int32_t m_iTechnique = -1;
    float m_Colors[10][4] = {}; // red, green, blue, alpha; alpha is always 1.0
    float m_fCellSize = 0.0f;
    float m_Widths[256] = {};
};

// Texture coordinates (set 1) of the glyph cell of fp_uiChar.
struct VLAGlyphCell
{
    float m_fU0, m_fV0, m_fU1, m_fV1;
};
VLAGlyphCell FontGlyphCell(uint8_t fp_uiChar);

// How FontLayoutText walks a text.
enum class VLAFontLayout
{
    Plain,    // FontDrawText: no colour escapes, unscaled advances
    Extended, // FontDrawTextEx: colour escapes, scale, extra advance and line spacing
};

// Walks fp_pszText as the drawing calls lay it out. For every glyph to draw calls
// fp_OnGlyph(code, pen x, pen y, glyph size); for every colour escape "%d" (Extended, while
// fp_iColor >= 0) calls fp_OnColor(d). fp_iLength 0 means up to the terminating zero, otherwise
// at most that many bytes; a zero byte always ends the text.
template <typename GlyphFn, typename ColorFn>
void FontLayoutText(const FONTINFO& fp_Font, const char* fp_pszText, float fp_fX, float fp_fY,
                    int fp_iLength, int fp_iColor, VLAFontLayout fp_Mode, float fp_fScale,
                    float fp_fExtraAdvance, float fp_fExtraLine, GlyphFn&& fp_OnGlyph,
                    ColorFn&& fp_OnColor)
{
    const bool tmp_bEx = fp_Mode == VLAFontLayout::Extended;
    const float tmp_fSize = tmp_bEx ? fp_fScale * fp_Font.m_fCellSize : fp_Font.m_fCellSize;
    const auto* p = reinterpret_cast<const unsigned char*>(fp_pszText);
    float tmp_fPenX = fp_fX;
    float tmp_fPenY = fp_fY;
    for (int i = 0; fp_iLength == 0 || i < fp_iLength; ++i)
    {
        const unsigned char ch = p[i];
        if (ch == 0)
            return;
        if (tmp_bEx && ch == '%' && fp_iColor >= 0 && (fp_iLength == 0 || i + 1 < fp_iLength) &&
            p[i + 1] >= '0' && p[i + 1] <= '9')
        {
            fp_OnColor(p[i + 1] - '0');
            ++i;
            continue;
        }
        if (ch >= 33)
        {
            fp_OnGlyph(ch, tmp_fPenX, tmp_fPenY, tmp_fSize);
            tmp_fPenX += tmp_bEx ? std::floor(fp_fScale * fp_Font.m_Widths[ch] + fp_fExtraAdvance)
                                 : fp_Font.m_Widths[ch];
        }
        else if (ch == '\n')
        {
            tmp_fPenX = fp_fX;
            const double tmp_dLine = static_cast<double>(tmp_fSize) * 1.1;
            tmp_fPenY += static_cast<float>(
                std::floor(tmp_bEx ? tmp_dLine + static_cast<double>(fp_fExtraLine) : tmp_dLine));
        }
        else if (ch == ' ' || ch == '\t')
        {
            tmp_fPenX += tmp_bEx ? std::floor(fp_fScale * fp_Font.m_Widths[ch] + fp_fExtraAdvance)
                                 : std::floor(fp_Font.m_Widths[ch]);
        }
        // Other control bytes draw nothing and leave the pen where it is.
    }
}

// The width FontDrawTextEx would advance over the first line of fp_pszText (whole text: no
// length limit).
float FontMeasureText(const FONTINFO& fp_Font, const char* fp_pszText, float fp_fScale,
                      float fp_fExtraAdvance);

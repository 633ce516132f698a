// Bitmap fonts: glyph cells, text layout (plain and extended), measuring.
#include "CVelora/cvelora_gfx_font.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// A font whose widths are easy to tell apart: code c advances by c / 10 pixels.
FONTINFO MakeFont(float fp_fCell)
{
    FONTINFO f;
    f.m_fCellSize = fp_fCell;
    for (int c = 0; c < 256; ++c)
        f.m_Widths[c] = static_cast<float>(c) / 10.0f;
    return f;
}

struct Event
{
    int m_iChar; // -1 for a colour change
    float m_fX, m_fY, m_fSize;
    int m_iColor;
    bool operator==(const Event&) const = default;
};

std::vector<Event> Layout(const FONTINFO& f, const std::string& fp_strText, int fp_iLength,
                          int fp_iColor, VLAFontLayout fp_Mode, float fp_fScale = 1.0f,
                          float fp_fExtraAdvance = 0.0f, float fp_fExtraLine = 0.0f)
{
    std::vector<Event> tmp_Out;
    FontLayoutText(
        f, fp_strText.c_str(), 10.0f, 20.0f, fp_iLength, fp_iColor, fp_Mode, fp_fScale,
        fp_fExtraAdvance, fp_fExtraLine,
        [&](uint8_t c, float x, float y, float s) {
            tmp_Out.push_back({c, x, y, s, 0});
        },
        [&](int d) {
            tmp_Out.push_back({-1, 0, 0, 0, d});
        });
    return tmp_Out;
}

TEST(FontLayout, ColourEscapeOnlyWithColourIndex)
{
    const FONTINFO f = MakeFont(16.0f);
    // A = 65 advances floor(6.5) = 6 in the extended layout.
    EXPECT_EQ(Layout(f, "A%1B", 0, 0, VLAFontLayout::Extended),
              (std::vector<Event>{{'A', 10, 20, 16, 0}, {-1, 0, 0, 0, 1}, {'B', 16, 20, 16, 0}}));
    // Without a colour index every byte is a glyph: % = 37 advances 3, 1 = 49 advances 4.
    EXPECT_EQ(Layout(f, "A%1B", 0, -1, VLAFontLayout::Extended),
              (std::vector<Event>{{'A', 10, 20, 16, 0},
                                  {'%', 16, 20, 16, 0},
                                  {'1', 19, 20, 16, 0},
                                  {'B', 23, 20, 16, 0}}));
    // The plain layout knows no escapes and does not round glyph advances.
    const std::vector<Event> tmp_Plain = Layout(f, "A%1B", 0, 0, VLAFontLayout::Plain);
    ASSERT_EQ(tmp_Plain.size(), 4u);
    EXPECT_FLOAT_EQ(tmp_Plain[1].m_fX, 16.5f);
    // "%" not followed by a digit is drawn.
    EXPECT_EQ(Layout(f, "%x", 0, 0, VLAFontLayout::Extended).size(), 2u);
}

TEST(FontLayout, LengthLimitAndZeroByte)
{
    const FONTINFO f = MakeFont(8.0f);
    EXPECT_EQ(Layout(f, "ABCDEF", 3, -1, VLAFontLayout::Plain).size(), 3u);
    EXPECT_EQ(Layout(f, "ABCDEF", 0, -1, VLAFontLayout::Plain).size(), 6u);
    EXPECT_EQ(Layout(f, std::string("AB\0CD", 5), 5, -1, VLAFontLayout::Extended).size(), 2u);
    // An escape cut by the limit is not taken: the "%" is the last byte processed.
    const std::vector<Event> tmp_Cut = Layout(f, "A%1", 2, 0, VLAFontLayout::Extended);
    ASSERT_EQ(tmp_Cut.size(), 2u);
    EXPECT_EQ(tmp_Cut[1].m_iChar, '%');
}

TEST(FontLayout, ControlBytesDoNotMoveThePen)
{
    const FONTINFO f = MakeFont(8.0f);
    std::string tmp_strText = "A";
    for (int c = 1; c < 32; ++c)
        if (c != 9 && c != 10)
            tmp_strText.push_back(static_cast<char>(c));
    tmp_strText += "B";
    for (VLAFontLayout m : {VLAFontLayout::Plain, VLAFontLayout::Extended})
    {
        const std::vector<Event> e = Layout(f, tmp_strText, 0, -1, m);
        ASSERT_EQ(e.size(), 2u);
        EXPECT_FLOAT_EQ(e[1].m_fX, 10.0f + (m == VLAFontLayout::Plain ? 6.5f : 6.0f));
    }
}

TEST(FontLayout, SpaceTabLineFeed)
{
    const FONTINFO f = MakeFont(20.0f); // space 32 → 3.2, tab 9 → 0.9
    // Plain: space and tab advance by their floored widths; line feed goes back to x and down
    // by floor(cell × 1.1) = 22.
    const std::vector<Event> p = Layout(f, " \tA\nB", 0, -1, VLAFontLayout::Plain);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0], (Event{'A', 13, 20, 20, 0}));
    EXPECT_EQ(p[1], (Event{'B', 10, 42, 20, 0}));
    // Extended with scale 2, extra advance 1.5, extra line 3: glyph 40; space floor(6.4 + 1.5) =
    // 7, tab floor(1.8 + 1.5) = 3; line floor(44 + 3) = 47.
    const std::vector<Event> e =
        Layout(f, " \tA\nB", 0, -1, VLAFontLayout::Extended, 2.0f, 1.5f, 3.0f);
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0], (Event{'A', 20, 20, 40, 0}));
    EXPECT_EQ(e[1], (Event{'B', 10, 67, 40, 0}));
}

TEST(FontMeasure, FirstLineWithEscapesSkipped)
{
    const FONTINFO f = MakeFont(16.0f);
    // A 6, B 6, space 3 (floor(3.2)), escapes skipped whatever the colour settings.
    EXPECT_FLOAT_EQ(FontMeasureText(f, "A B", 1.0f, 0.0f), 15.0f);
    EXPECT_FLOAT_EQ(FontMeasureText(f, "A%3B", 1.0f, 0.0f), 12.0f);
    EXPECT_FLOAT_EQ(FontMeasureText(f, "AB\nBBBBB", 1.0f, 0.0f), 12.0f);
    EXPECT_FLOAT_EQ(FontMeasureText(f,
                                    "A\x01\x02"
                                    "B",
                                    1.0f, 0.0f),
                    12.0f);
    // Scale and extra advance per character: floor(13 + 2) + floor(13.2 + 2) = 30.
    EXPECT_FLOAT_EQ(FontMeasureText(f, "AB", 2.0f, 2.0f), 30.0f);
    EXPECT_FLOAT_EQ(FontMeasureText(f, "", 1.0f, 0.0f), 0.0f);
}

TEST(FontGlyphCells, GridOf16By16)
{
    const VLAGlyphCell a = FontGlyphCell('A'); // 65: column 1, row 4
    EXPECT_FLOAT_EQ(a.m_fU0, 0.0625f);
    EXPECT_FLOAT_EQ(a.m_fV0, 0.25f);
    EXPECT_FLOAT_EQ(a.m_fU1, 0.125f);
    EXPECT_FLOAT_EQ(a.m_fV1, 0.3125f);
    const VLAGlyphCell z = FontGlyphCell(255);
    EXPECT_FLOAT_EQ(z.m_fU1, 1.0f);
    EXPECT_FLOAT_EQ(z.m_fV1, 1.0f);
}
} // namespace

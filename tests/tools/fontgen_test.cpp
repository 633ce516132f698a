// Checks of the committed game font made by tools/fontgen: the description reads with the
// engine's XML reader and carries every attribute the font loader needs, and the glyph texture
// decodes to a white 16 x 16-cell atlas whose cells hold exactly the glyphs the widths promise,
// with clear edges so filtering never bleeds one glyph into the next.
#include "CVelora/cvelora_utils_xml.h"
#include "TexDecode/texdecode.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace
{

std::string ReadFont(const std::string& fp_strName)
{
    std::ifstream tmp_File(std::string(VELORA_GAME_DATA_DIR) + "/fonts/" + fp_strName,
                           std::ios::binary);
    EXPECT_TRUE(tmp_File.good()) << fp_strName;
    return std::string(std::istreambuf_iterator<char>(tmp_File), std::istreambuf_iterator<char>());
}

bool HasGlyph(int ch)
{
    return (ch >= 33 && ch < 127) || ch > 160;
}

class FontGenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string tmp_strXml = ReadFont("font1.xml");
        m_Doc.LoadFromBuffer(tmp_strXml.data(), int(tmp_strXml.size()), false, "font1.xml");
        m_Doc.Parse();
        m_pRoot = m_Doc.GetRoot();
    }

    float Number(const std::string& fp_strName) const
    {
        const std::string v = m_pRoot->GetAttribute(fp_strName);
        EXPECT_FALSE(v.empty()) << fp_strName;
        return v.empty() ? -1.0f : std::stof(v);
    }

    CXMLDocument m_Doc;
    CXMLNode* m_pRoot = nullptr;
};

TEST_F(FontGenTest, DescriptionHasEveryAttributeTheLoaderNeeds)
{
    ASSERT_EQ(m_pRoot->GetName(), "fontdesc");
    EXPECT_EQ(m_pRoot->GetAttribute("id"), "FNT_FONT1");
    for (const char* a : {"textureid", "techniqueid", "techpackid"})
        EXPECT_FALSE(m_pRoot->GetAttribute(a).empty()) << a;
    EXPECT_EQ(Number("cellsize"), 32.0f);
    for (int i = 0; i < 10; ++i)
        for (const char* c : {"r", "g", "b"})
        {
            const float v = Number("color" + std::to_string(i) + c);
            EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i << c;
        }
    // Colour 0 draws the tile numbers: white.
    EXPECT_EQ(Number("color0r") + Number("color0g") + Number("color0b"), 3.0f);

    const float tmp_fSpace = Number("cs32");
    EXPECT_GT(tmp_fSpace, 0.0f);
    EXPECT_EQ(Number("cs9"), 4 * tmp_fSpace);
    for (int ch = 0; ch < 256; ++ch)
    {
        const float w = Number("cs" + std::to_string(ch));
        if (ch == 9 || ch == 32 || ch == 160)
            continue;
        if (HasGlyph(ch))
            EXPECT_TRUE(w > 0.0f && w <= 32.0f) << ch << ": " << w;
        else
            EXPECT_EQ(w, 0.0f) << ch;
    }
    // All digits advance alike, so numbers of the same length have the same width.
    for (int ch = '1'; ch <= '9'; ++ch)
        EXPECT_EQ(Number("cs" + std::to_string(ch)), Number("cs48")) << char(ch);
}

TEST_F(FontGenTest, TextureHoldsOneClearEdgedGlyphPerCell)
{
    const std::string tmp_strPng = ReadFont("font1.png");
    TexImage tmp_Image;
    std::string tmp_strError;
    ASSERT_TRUE(TexDecode(tmp_strPng.data(), tmp_strPng.size(), TEXFMT_A8R8G8B8, 0, 0, 1, tmp_Image,
                          tmp_strError))
        << tmp_strError;
    const int tmp_iCell = 32;
    ASSERT_EQ(tmp_Image.m_iWidth, 16 * tmp_iCell);
    ASSERT_EQ(tmp_Image.m_iHeight, 16 * tmp_iCell);
    const std::vector<uint8_t>& p = tmp_Image.m_Levels[0];
    auto Alpha = [&](int x, int y)
    { return p[(size_t(y) * size_t(tmp_Image.m_iWidth) + size_t(x)) * 4 + 3]; };

    int tmp_iNotWhite = 0;
    for (size_t i = 0; i < p.size(); i += 4)
        tmp_iNotWhite += (p[i] & p[i + 1] & p[i + 2]) != 255;
    EXPECT_EQ(tmp_iNotWhite, 0);

    for (int ch = 0; ch < 256; ++ch)
    {
        const int x0 = (ch % 16) * tmp_iCell, y0 = (ch / 16) * tmp_iCell;
        int tmp_iInked = 0, tmp_iEdge = 0, tmp_iPartial = 0;
        for (int y = 0; y < tmp_iCell; ++y)
            for (int x = 0; x < tmp_iCell; ++x)
            {
                const uint8_t a = Alpha(x0 + x, y0 + y);
                tmp_iInked += a != 0;
                tmp_iPartial += a != 0 && a != 255;
                if (x == 0 || y == 0 || x == tmp_iCell - 1 || y == tmp_iCell - 1)
                    tmp_iEdge += a != 0;
            }
        EXPECT_EQ(tmp_iEdge, 0) << "code " << ch;
        if (HasGlyph(ch))
        {
            EXPECT_GT(tmp_iInked, 0) << "code " << ch;
            if (ch == 'O')
            {
                EXPECT_GT(tmp_iPartial, 0) << "curves are anti-aliased";
            }
        }
        else
        {
            EXPECT_EQ(tmp_iInked, 0) << "code " << ch;
        }
    }
}

} // namespace

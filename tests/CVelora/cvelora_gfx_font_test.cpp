// Bitmap fonts: glyph cells, text layout (plain and extended), measuring.
#include "CVelora/cvelora_gfx_font.h"
#include "CVelora/cvelora_utils_csmartid.h"
#include "cvelora_gfx_scene_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
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

// ---- On the device ----

const char* const kTechPack = R"(<techniquespack>
  <t id="TEQ_TEXT" alphablending="ON" absrc="SRCALPHA" abdest="INVSRCALPHA" s0_colorop="MODULATE"
     s0_colorarg1="TEXTURE" s0_colorarg2="DIFFUSE" s0_alphaop="MODULATE" s0_alphaarg1="TEXTURE"
     s0_alphaarg2="DIFFUSE" s1_colorop="DISABLE" s0_minfilter="POINT" s0_magfilter="POINT"/>
  <t id="TEQ_OTHER" alphablending="OFF"/>
</techniquespack>)";

// A font description over the block-font fixture (every cell solid white): cell size 8, every
// advance 10, colour 0 red, colour 1 green. fp_Set overrides attributes, fp_Omit drops them.
std::string FontDesc(const std::map<std::string, std::string>& fp_Set = {},
                     const std::set<std::string>& fp_Omit = {})
{
    std::map<std::string, std::string> a = {{"id", "FNT_BLOCK"},
                                            {"textureid", "TEX_BLOCK"},
                                            {"techniqueid", "TEQ_TEXT"},
                                            {"techpackid", "TEQ_PACK"},
                                            {"cellsize", "8"},
                                            {"tag", "4"},
                                            {"color0r", "1"},
                                            {"color1g", "1"},
                                            {"color2r", "0.5"},
                                            {"color2g", ""},
                                            {"color2b", "0.25"}};
    for (int c = 0; c < 256; ++c)
        a["cs" + std::to_string(c)] = "10";
    for (const auto& [k, v] : fp_Set)
        a[k] = v;
    std::string s = "<fontdesc";
    for (const auto& [k, v] : a)
        if (!fp_Omit.count(k))
            s += " " + k + "=\"" + v + "\"";
    return s + "/>";
}

class FontDeviceTest : public GfxSceneTest
{
protected:
    // Graphics, and resources indexing a pack with the block font's texture, the technique pack
    // and two fonts.
    void Start()
    {
        std::filesystem::create_directory("DATA");
        std::filesystem::copy_file(TestDataPath("gfxscene/blockfont.png"), "DATA/blockfont.png");
        WriteFile("DATA/tech.teq", kTechPack);
        WriteFile("DATA/block.fnt", FontDesc());
        WriteFile("DATA/second.fnt", FontDesc({{"id", "FNT_SECOND"}, {"color0r", "0"}}));
        WriteFile("DATA/fonts.xml", R"(<respack>
  <r id="TEX_BLOCK" typeid="TEXTURE" filename="blockfont.png" data1="3"/>
  <r id="TEQ_PACK" typeid="TECHNIQUE" filename="tech.teq"/>
  <r id="FNT_BLOCK" typeid="FONT" filename="block.fnt"/>
  <r id="FNT_SECOND" typeid="FONT" filename="second.fnt"/>
</respack>)");
        StartGfx();
        m_pVLA->InitResourcesSubsystem();
    }

    int Load(const std::string& fp_strDesc)
    {
        return m_pVLA->FontLoad(fp_strDesc.data(), static_cast<int>(fp_strDesc.size()));
    }

    // Draws within a scene; returns the quads submitted.
    int QuadsDrawn(const std::function<void()>& fp_Draw)
    {
        m_pVLA->SceneBegin();
        fp_Draw();
        const int tmp_iCount = m_pVLA->m_iBatchCount;
        m_pVLA->SceneEnd();
        return tmp_iCount;
    }
};

TEST_F(FontDeviceTest, LoadPullsInTextureAndTechniqueAndBecomesCurrent)
{
    Start();
    CSmartID tmp_Smart("FNT_SECOND");
    ASSERT_EQ(m_pVLA->m_pTextures->GetCount(), 0);
    m_pVLA->LoadResource("FNT_BLOCK");
    EXPECT_TRUE(LogHas("Loading font description from memory..."));
    ASSERT_EQ(m_pVLA->FontGetID("FNT_BLOCK"), 0);
    EXPECT_EQ(m_pVLA->m_iCurrentFont, 0);
    const FONTINFO& f = *m_pVLA->m_pFonts->GetItem(0);
    EXPECT_EQ(f.m_iTexture, m_pVLA->TexGetID("TEX_BLOCK"));
    EXPECT_EQ(f.m_iTechnique, m_pVLA->TechGetID("TEQ_TEXT"));
    EXPECT_GE(f.m_iTexture, 0);
    EXPECT_EQ(m_pVLA->TechGetID("TEQ_OTHER"), 1); // the whole pack came in
    EXPECT_EQ(f.m_fCellSize, 8.0f);
    EXPECT_EQ(f.m_Widths[200], 10.0f);
    EXPECT_EQ(m_pVLA->m_pFonts->GetTag(0), 4);
    const float kColor2[4] = {0.5f, 0.0f, 0.25f, 1.0f};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(f.m_Colors[2][c], kColor2[c]);
    EXPECT_EQ(f.m_Colors[9][0], 0.0f);
    EXPECT_EQ(f.m_Colors[9][3], 1.0f);

    // The second font finds both already loaded and does not become current.
    m_pVLA->LoadResource("FNT_SECOND");
    EXPECT_EQ(tmp_Smart.GetIID(), 1);
    EXPECT_EQ(m_pVLA->m_iCurrentFont, 0);
    EXPECT_EQ(m_pVLA->m_pTextures->GetCount(), 1);
    EXPECT_EQ(m_pVLA->m_pTechniques->GetCount(), 2);
    m_pVLA->FontSet(tmp_Smart);
    EXPECT_EQ(m_pVLA->m_iCurrentFont, 1);
    m_pVLA->FontSet("FNT_BLOCK");
    EXPECT_EQ(m_pVLA->m_iCurrentFont, 0);

    EXPECT_FALSE(LogHas("Dublicated"));
    EXPECT_EQ(Load(FontDesc({{"cellsize", "99"}})), 0);
    EXPECT_TRUE(LogHas("Warning: Dublicated font!"));
    EXPECT_EQ(m_pVLA->m_pFonts->GetItem(0)->m_fCellSize, 8.0f);

    EXPECT_EQ(m_pVLA->FontGetID("FNT_NONE"), -1);
    EXPECT_TRUE(LogHas("Cannot find iID of font with strID = FNT_NONE"));
}

TEST_F(FontDeviceTest, DescriptionErrors)
{
    Start();
    const struct
    {
        std::map<std::string, std::string> m_Set;
        std::set<std::string> m_Omit;
        const char* m_pszError;
    } kCases[] = {
        {{}, {"id"}, "1:Invalid font ID"},
        {{}, {"textureid"}, "1:Invalid font texture ID!"},
        {{{"textureid", "TEX_NOWHERE"}}, {}, "1:Cannot load font texture!"},
        {{}, {"techniqueid"}, "1:Invalid font technique ID!"},
        {{}, {"techpackid"}, "1:Invalid font technique pack ID!"},
        {{{"techniqueid", "TEQ_NOWHERE"}}, {}, "1:Cannot load font technique!"},
        {{}, {"cellsize"}, "1:Invalid font cell size!"},
        {{}, {"cs200"}, "1:Invalid character length!"},
        {{{"cs0", ""}}, {}, "1:Invalid character length!"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Raised([&] { Load(FontDesc(c.m_Set, c.m_Omit)); }), c.m_pszError) << c.m_pszError;
    EXPECT_EQ(Raised([&] { Load("<font id=\"FNT_X\"/>"); }),
              "2:XML file doesn't contain font description!");
    EXPECT_EQ(m_pVLA->m_pFonts->GetCount(), 0);
}

TEST_F(FontDeviceTest, FontSetChecks)
{
    Start();
    m_pVLA->LoadResource("FNT_BLOCK");
    m_pVLA->LoadResource("FNT_SECOND");
    EXPECT_EQ(Raised([&] { m_pVLA->FontSet(-1); }),
              "2:Cannot set current font: invalid ID. ID = -1");
    EXPECT_EQ(Raised([&] { m_pVLA->FontSet("FNT_NONE"); }),
              "2:Cannot set current font: invalid ID. strID = FNT_NONE");
    // An out-of-range number is accepted; the next draw reports it.
    EXPECT_EQ(Raised([&] { m_pVLA->FontSet(5); }), "");
    m_pVLA->SceneBegin();
    EXPECT_EQ(Raised([&] { m_pVLA->FontDrawText("A", 0, 0, 0, 0, 1); }),
              "2:Cannot draw text: invalid current font id. ID = 5");
    EXPECT_EQ(Raised([&] { m_pVLA->FontDrawTextEx("A", 0, 0, 0, 0, 1, true, 1, 0, 0); }),
              "2:Cannot draw text: invalid current font id. ID = 5");
    m_pVLA->SceneEnd();
    EXPECT_EQ(Raised([&] { m_pVLA->FontGetStringWidth("A", 2, 1, 0); }),
              "2:Cannot calculate string width: invalid font id. ID = 2");
    EXPECT_EQ(m_pVLA->FontGetStringWidth("AB\nCCC", 1, 1, 0), 20.0f);
}

TEST_F(FontDeviceTest, DrawingWithoutFontsIsAGameError)
{
    Start();
    m_pVLA->SceneBegin();
    EXPECT_EQ(Raised([&] { m_pVLA->FontDrawText("A", 0, 0, 0, 0, 1); }),
              "2:Cannot draw text: invalid current font id. ID = 0");
    m_pVLA->SceneEnd();
}

TEST_F(FontDeviceTest, ColourEscapesInThePicture)
{
    Start();
    m_pVLA->LoadResource("FNT_BLOCK");
    m_pVLA->SceneBegin();
    m_pVLA->SceneClearScreen(0, 0, 0);
    // Colour 0: A red, then "%1" switches to green for B; nothing is drawn for the escape.
    m_pVLA->FontDrawTextEx("A%1B", 100, 100, 0, 0, 1.0f, true, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(m_pVLA->m_iBatchCount, 2);
    // Colour -1: four glyphs in the quad's current colour (green, left by the escape).
    m_pVLA->FontDrawTextEx("A%1B", 100, 200, 0, -1, 1.0f, true, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(m_pVLA->m_iBatchCount, 6);
    // Scaled by 2 at half alpha in colour 0.
    m_pVLA->FontDrawTextEx("A", 100, 300, 0, 0, 0.5f, true, 2.0f, 0.0f, 0.0f);
    m_pVLA->SceneEnd();
    m_pVLA->ScenePresent();
    const std::vector<uint32_t> p = Presented();
    const auto At = [&](int x, int y) { return p[size_t(y) * 800 + x] & 0xFFFFFF; };
    EXPECT_EQ(At(100, 100), 0xFF0000u);
    EXPECT_EQ(At(107, 107), 0xFF0000u);
    EXPECT_EQ(At(108, 104), 0x000000u); // cell 8 wide, advance 10
    EXPECT_EQ(At(110, 100), 0x00FF00u);
    EXPECT_EQ(At(120, 100), 0x000000u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(At(100 + 10 * i + 4, 204), 0x00FF00u) << i;
    EXPECT_TRUE(ColorNear(At(115, 315), 0x800000));
    EXPECT_EQ(At(116, 315), 0x000000u);
}

TEST_F(FontDeviceTest, LengthLimitControlBytesAndTechniqueFlag)
{
    Start();
    m_pVLA->LoadResource("FNT_BLOCK");
    EXPECT_EQ(QuadsDrawn([&] { m_pVLA->FontDrawText("ABCDEF", 0, 0, 3, 0, 1); }), 3);
    EXPECT_EQ(QuadsDrawn([&] { m_pVLA->FontDrawText("A\x01\x1f\x08 \tB\nC", 0, 0, 0, 0, 1); }), 3);
    // Without the technique flag the caller's technique stays.
    m_pVLA->TechApply("TEQ_OTHER");
    QuadsDrawn([&] { m_pVLA->FontDrawTextEx("A", 0, 0, 0, 0, 1, false, 1, 0, 0); });
    EXPECT_EQ(m_pVLA->m_iCurrentTechnique, m_pVLA->TechGetID("TEQ_OTHER"));
    QuadsDrawn([&] { m_pVLA->FontDrawText("A", 0, 0, 0, 0, 1); });
    EXPECT_EQ(m_pVLA->m_iCurrentTechnique, m_pVLA->TechGetID("TEQ_TEXT"));
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], m_pVLA->TexGetID("TEX_BLOCK"));
    // Bad colour indexes are refused rather than read past the ten colours.
    EXPECT_EQ(Raised([&] { m_pVLA->FontDrawText("A", 0, 0, 0, 10, 1); }),
              "2:Cannot draw text: invalid color index. Index = 10");
}

// The game's generated font: loads through its description, and draws a readable line. Set
// VELORA_KEEP_PICTURES to a folder to keep the picture for a look.
TEST_F(FontDeviceTest, GeneratedFontDrawsALine)
{
    std::filesystem::create_directories("DATA/fonts");
    for (const char* f : {"fonts/font1.png", "fonts/font1.xml"})
        std::filesystem::copy_file(TestDataPath(std::string("../../game/DATA/") + f),
                                   std::string("DATA/") + f);
    WriteFile("DATA/std.teq", R"(<techniquespack>
  <t id="TEQ_FONT" alphablending="ON" absrc="SRCALPHA" abdest="INVSRCALPHA" s0_colorop="MODULATE"
     s0_colorarg1="TEXTURE" s0_colorarg2="DIFFUSE" s0_alphaop="MODULATE" s0_alphaarg1="TEXTURE"
     s0_alphaarg2="DIFFUSE" s0_address="CLAMP" s1_colorop="DISABLE" s0_minfilter="LINEAR"
     s0_magfilter="LINEAR" s0_mipfilter="NONE"/>
</techniquespack>)");
    WriteFile("DATA/game.xml", R"(<respack>
  <r id="TEX_FONT1" typeid="TEXTURE" filename="fonts/font1.png" data1="3"/>
  <r id="TEQ_PACK_STD" typeid="TECHNIQUE" filename="std.teq"/>
  <r id="FNT_FONT1" typeid="FONT" filename="fonts/font1.xml"/>
</respack>)");
    StartGfx();
    m_pVLA->InitResourcesSubsystem();
    m_pVLA->LoadResource("FNT_FONT1");
    ASSERT_EQ(m_pVLA->FontGetID("FNT_FONT1"), 0);
    const char* const kLine = "Quibbet 1234567890 %3\xC4pfel & \xFC"
                              "ber-gr\xFC\xDF"
                              "e!";
    const float tmp_fWidth = m_pVLA->FontGetStringWidth(kLine, 0, 1.0f, 0.0f);
    EXPECT_GT(tmp_fWidth, 300.0f);
    EXPECT_LT(tmp_fWidth, 600.0f);

    m_pVLA->SceneBegin();
    m_pVLA->SceneClearScreen(0.1f, 0.1f, 0.3f);
    m_pVLA->FontDrawTextEx(kLine, 20, 40, 0, 0, 1.0f, true, 1.0f, 0.0f, 0.0f);
    m_pVLA->FontDrawTextEx("Scaled 0.5, spaced +1: the quick brown fox", 20, 100, 0, 5, 1.0f, true,
                           0.5f, 1.0f, 0.0f);
    m_pVLA->FontDrawText("Plain FontDrawText\nsecond line\tafter a tab", 20, 140, 0, 8, 1.0f);
    m_pVLA->SceneEnd();
    m_pVLA->ScenePresent();
    m_pVLA->SceneMakeScreenshot();

    // Glyph pixels lie inside the first line's box and nowhere to its right.
    const std::vector<uint32_t> p = Presented();
    int tmp_iInk = 0;
    int tmp_iOutside = 0;
    for (int y = 40; y < 72; ++y)
        for (int x = 0; x < 800; ++x)
            if (R(p[size_t(y) * 800 + x]) > 128)
                (x >= 20 && x < 20 + int(tmp_fWidth) + 8 ? tmp_iInk : tmp_iOutside)++;
    EXPECT_GT(tmp_iInk, 1000);
    EXPECT_EQ(tmp_iOutside, 0);

    if (const char* tmp_pszKeep = std::getenv("VELORA_KEEP_PICTURES"))
        std::filesystem::copy_file("screenshot1.bmp",
                                   std::string(tmp_pszKeep) + "/generated_font.bmp",
                                   std::filesystem::copy_options::overwrite_existing);
}
} // namespace

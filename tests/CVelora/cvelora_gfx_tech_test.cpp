// Techniques: keyword tables, reading technique elements group by group.
#include "CVelora/cvelora_gfx_tech.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace
{
struct KeywordCase
{
    const char* m_pszTable;
    VLAKeywordTable m_Table;
    const char* m_pszText;
    uint32_t m_uiExpected;
};

// Every row of every table, plus misses: wrong case, near misses and the empty text all give the
// first row.
const KeywordCase kKeywordCases[] = {
    {"blend", kTechBlendKeywords, "ZERO", 1},
    {"blend", kTechBlendKeywords, "ONE", 2},
    {"blend", kTechBlendKeywords, "SRCCOLOR", 3},
    {"blend", kTechBlendKeywords, "INVSRCCOLOR", 4},
    {"blend", kTechBlendKeywords, "SRCALPHA", 5},
    {"blend", kTechBlendKeywords, "INVSRCALPHA", 6},
    {"blend", kTechBlendKeywords, "DESTALPHA", 7},
    {"blend", kTechBlendKeywords, "INVDESTALPHA", 8},
    {"blend", kTechBlendKeywords, "DESTCOLOR", 9},
    {"blend", kTechBlendKeywords, "INVDESTCOLOR", 10},
    {"blend", kTechBlendKeywords, "SRCALPHASAT", 11},
    {"blend", kTechBlendKeywords, "srcalpha", 1},
    {"blend", kTechBlendKeywords, "SRCALPHA ", 1},
    {"blend", kTechBlendKeywords, "", 1},
    {"texop", kTechTextureOpKeywords, "DISABLE", 1},
    {"texop", kTechTextureOpKeywords, "SELECTARG1", 2},
    {"texop", kTechTextureOpKeywords, "SELECTARG2", 3},
    {"texop", kTechTextureOpKeywords, "MODULATE", 4},
    {"texop", kTechTextureOpKeywords, "ADD", 7},
    {"texop", kTechTextureOpKeywords, "SUBTRACT", 10},
    {"texop", kTechTextureOpKeywords, "DOTPRODUCT3", 24},
    {"texop", kTechTextureOpKeywords, "Modulate", 1},
    {"texop", kTechTextureOpKeywords, "MODULATE2X", 1},
    {"texarg", kTechTextureArgKeywords, "CURRENT", 1},
    {"texarg", kTechTextureArgKeywords, "DIFFUSE", 0},
    {"texarg", kTechTextureArgKeywords, "SPECULAR", 4},
    {"texarg", kTechTextureArgKeywords, "TEXTURE", 2},
    {"texarg", kTechTextureArgKeywords, "TFACTOR", 3},
    {"texarg", kTechTextureArgKeywords, "texture", 1},
    {"texarg", kTechTextureArgKeywords, "", 1},
    {"address", kTechAddressKeywords, "WRAP", 1},
    {"address", kTechAddressKeywords, "CLAMP", 3},
    {"address", kTechAddressKeywords, "MIRROR", 1},
    {"filter", kTechFilterKeywords, "NONE", 0},
    {"filter", kTechFilterKeywords, "POINT", 1},
    {"filter", kTechFilterKeywords, "LINEAR", 2},
    {"filter", kTechFilterKeywords, "ANISOTROPIC", 0},
    {"light", kTechLightModeKeywords, "DISABLED", 0},
    {"light", kTechLightModeKeywords, "VERTEX", 1},
    {"light", kTechLightModeKeywords, "DOT3", 2},
    {"light", kTechLightModeKeywords, "Dot3", 0},
};

TEST(TechKeywords, ExactCaseSensitiveFirstRowOnMiss)
{
    for (const KeywordCase& c : kKeywordCases)
        EXPECT_EQ(TechKeywordValue(c.m_Table, c.m_pszText), c.m_uiExpected)
            << c.m_pszTable << " \"" << c.m_pszText << "\"";
}

TEST(TechKeywords, NamesBackFromValues)
{
    for (VLAKeywordTable tmp_Table :
         {kTechBlendKeywords, kTechTextureOpKeywords, kTechTextureArgKeywords, kTechAddressKeywords,
          kTechFilterKeywords, kTechLightModeKeywords})
        for (const VLAKeyword& r : tmp_Table)
            EXPECT_STREQ(TechKeywordName(tmp_Table, r.m_uiValue), r.m_pszName);
    EXPECT_EQ(TechKeywordName(kTechTextureOpKeywords, 5), nullptr);
}

TEST(TechColors, ChannelsTruncateAndKeepLowBits)
{
    const struct
    {
        float m_fIn;
        uint32_t m_uiOut;
    } kCases[] = {{0.0f, 0},   {1.0f, 255},   {0.5f, 127}, {0.999f, 254},
                  {1.5f, 126}, {-0.5f, 0x81}, {2.0f, 254}, {1e30f, 0}};
    for (const auto& c : kCases)
        EXPECT_EQ(TechColorByte(c.m_fIn), c.m_uiOut) << c.m_fIn;
    EXPECT_EQ(TechColorFromTexts("1", "0.5", "", "0.25"), 0x3FFF7F00u);
    EXPECT_EQ(TechReadFloat("abc"), 0.0f);
    EXPECT_EQ(TechReadFloat(" 2.5x"), 2.5f);
    EXPECT_EQ(TechReadInt("12"), 12);
    EXPECT_EQ(TechReadInt(""), 0);
    EXPECT_EQ(TechReadInt("-7z"), -7);
}

using Attrs = std::map<std::string, std::string, std::less<>>;

VLATECHNIQUE Read(const Attrs& fp_Attrs)
{
    VLATECHNIQUE tmp_Tech;
    TechReadAttributes(tmp_Tech,
                       [&](std::string_view fp_Name) -> std::string_view
                       {
                           auto it = fp_Attrs.find(fp_Name);
                           return it == fp_Attrs.end() ? std::string_view()
                                                       : std::string_view(it->second);
                       });
    return tmp_Tech;
}

TEST(TechRead, NoGroupsWithoutDefiningAttributes)
{
    // Values of a group are ignored while its defining attribute is absent.
    const VLATECHNIQUE t = Read({{"id", "TEQ_X"},
                                 {"absrc", "ONE"},
                                 {"fogstart", "3"},
                                 {"texturefactorg", "1"},
                                 {"s1_colorop", "MODULATE"},
                                 {"s1_minfilter", "LINEAR"},
                                 {"dynlightambientcolorr", "1"}});
    EXPECT_FALSE(t.m_bBlendingDefined);
    EXPECT_FALSE(t.m_bFogDefined);
    EXPECT_FALSE(t.m_bTextureFactorDefined);
    EXPECT_FALSE(t.m_bStagesDefined);
    EXPECT_FALSE(t.m_bFiltersDefined);
    EXPECT_FALSE(t.m_bDynLightDefined);
    EXPECT_EQ(t.m_uiSrcBlend, 0u);
    EXPECT_EQ(t.m_fFogStart, 0.0f);
    EXPECT_EQ(t.m_uiColorOp[1], 0u);
}

TEST(TechRead, EveryGroup)
{
    const VLATECHNIQUE t = Read({{"alphablending", "ON"},
                                 {"absrc", "SRCALPHA"},
                                 {"abdest", "INVSRCALPHA"},
                                 {"fog", "ON"},
                                 {"fogstart", "0.25"},
                                 {"fogend", "0.75"},
                                 {"fogcolorr", "1"},
                                 {"fogcolorg", "0.5"},
                                 {"texturefactorr", "0.2"},
                                 {"texturefactorg", "0.4"},
                                 {"texturefactorb", "0.6"},
                                 {"texturefactora", "0.8"},
                                 {"s0_colorop", "MODULATE"},
                                 {"s0_colorarg1", "TEXTURE"},
                                 {"s0_colorarg2", "DIFFUSE"},
                                 {"s0_alphaop", "SELECTARG1"},
                                 {"s0_alphaarg1", "TFACTOR"},
                                 {"s0_alphaarg2", "SPECULAR"},
                                 {"s0_address", "CLAMP"},
                                 {"s1_colorop", "ADD"},
                                 {"s1_colorarg1", "CURRENT"},
                                 {"s1_address", "WRAP"},
                                 {"s0_minfilter", "LINEAR"},
                                 {"s0_magfilter", "POINT"},
                                 {"s1_mipfilter", "LINEAR"},
                                 {"dynlightmode", "VERTEX"},
                                 {"dynlightambientcolorr", "1"},
                                 {"dynlightambientcolorb", "0.5"}});
    EXPECT_TRUE(t.m_bBlendingDefined);
    EXPECT_TRUE(t.m_bBlendingOn);
    EXPECT_EQ(t.m_uiSrcBlend, 5u);
    EXPECT_EQ(t.m_uiDestBlend, 6u);
    EXPECT_TRUE(t.m_bFogDefined);
    EXPECT_TRUE(t.m_bFogOn);
    EXPECT_EQ(t.m_fFogStart, 0.25f);
    EXPECT_EQ(t.m_fFogEnd, 0.75f);
    EXPECT_EQ(t.m_uiFogColor, 0xFFFF7F00u); // absent blue reads 0, alpha always 255
    EXPECT_TRUE(t.m_bTextureFactorDefined);
    EXPECT_EQ(t.m_uiTextureFactor, 0xCC336699u);
    EXPECT_TRUE(t.m_bStagesDefined);
    EXPECT_EQ(t.m_uiColorOp[0], 4u);
    EXPECT_EQ(t.m_uiColorArg1[0], 2u);
    EXPECT_EQ(t.m_uiColorArg2[0], 0u);
    EXPECT_EQ(t.m_uiAlphaOp[0], 2u);
    EXPECT_EQ(t.m_uiAlphaArg1[0], 3u);
    EXPECT_EQ(t.m_uiAlphaArg2[0], 4u);
    EXPECT_EQ(t.m_uiAddress[0], 3u);
    EXPECT_EQ(t.m_uiColorOp[1], 7u);
    EXPECT_EQ(t.m_uiColorArg1[1], 1u);
    EXPECT_EQ(t.m_uiColorArg2[1], 1u); // absent: first row
    EXPECT_EQ(t.m_uiAlphaOp[1], 1u);
    EXPECT_EQ(t.m_uiAddress[1], 1u);
    EXPECT_TRUE(t.m_bFiltersDefined);
    EXPECT_EQ(t.m_uiMinFilter[0], 2u);
    EXPECT_EQ(t.m_uiMagFilter[0], 1u);
    EXPECT_EQ(t.m_uiMipFilter[0], 0u);
    EXPECT_EQ(t.m_uiMinFilter[1], 0u);
    EXPECT_EQ(t.m_uiMipFilter[1], 2u);
    EXPECT_TRUE(t.m_bDynLightDefined);
    EXPECT_EQ(t.m_uiDynLightMode, 1u);
    EXPECT_EQ(t.m_uiAmbientColor, 0xFFFF007Fu);
}

TEST(TechRead, SwitchesAreOnOnlyForExactON)
{
    for (const char* v : {"on", "On", "OFF", "1", "ON "})
    {
        const VLATECHNIQUE t = Read({{"alphablending", v}, {"fog", v}});
        EXPECT_TRUE(t.m_bBlendingDefined) << v;
        EXPECT_FALSE(t.m_bBlendingOn) << v;
        EXPECT_TRUE(t.m_bFogDefined) << v;
        EXPECT_FALSE(t.m_bFogOn) << v;
    }
}
} // namespace

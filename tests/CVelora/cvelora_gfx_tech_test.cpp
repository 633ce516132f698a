// Techniques: keyword tables, reading technique elements group by group.
#include "CVelora/cvelora_gfx_tech.h"
#include "CVelora/cvelora_utils_csmartid.h"
#include "cvelora_gfx_scene_fixture.h"

#include <gtest/gtest.h>

#include <bit>

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

// ---- On the device ----

const char* const kPack = R"(<?xml version="1.0"?>
<techniquespack>
  <technique id="TEQ_FULL" tag="7" alphablending="ON" absrc="SRCALPHA" abdest="INVSRCALPHA"
    fog="ON" fogstart="0.25" fogend="0.75" fogcolorr="1" fogcolorg="0" fogcolorb="0.5"
    texturefactorr="0.2" texturefactorg="0.4" texturefactorb="0.6" texturefactora="0.8"
    s0_colorop="MODULATE" s0_colorarg1="TEXTURE" s0_colorarg2="DIFFUSE" s0_alphaop="SELECTARG2"
    s0_alphaarg1="TEXTURE" s0_alphaarg2="DIFFUSE" s0_address="CLAMP"
    s1_colorop="ADD" s1_colorarg1="CURRENT" s1_colorarg2="TFACTOR" s1_alphaop="SELECTARG1"
    s1_alphaarg1="CURRENT" s1_alphaarg2="TFACTOR" s1_address="CLAMP"
    s0_minfilter="LINEAR" s0_magfilter="LINEAR" s0_mipfilter="POINT"
    s1_minfilter="POINT" s1_magfilter="LINEAR" s1_mipfilter="NONE"
    dynlightmode="VERTEX" dynlightambientcolorr="1" dynlightambientcolorg="0.5"/>
  <technique id="TEQ_BLENDONLY" alphablending="on" absrc="ONE" abdest="ZERO"/>
  <other id="TEQ_S1OFF" s0_colorop="SELECTARG1" s0_colorarg1="DIFFUSE" s1_colorop="DISABLE"
    s1_colorarg1="TEXTURE" s1_alphaop="MODULATE" s1_address="WRAP"/>
  <technique id="TEQ_S1BAD" s0_colorop="SELECTARG1" s1_colorop="disable" s1_colorarg2="TEXTURE"/>
  <technique id="TEQ_BLENDONLY" alphablending="ON"/>
</techniquespack>)";

class TechDeviceTest : public GfxSceneTest
{
protected:
    void LoadPack(const std::string& fp_strPack = kPack)
    {
        m_pVLA->TechLoadPack(fp_strPack.data(), static_cast<int>(fp_strPack.size()));
    }

    // Every state a technique may touch, in one comparable list.
    std::vector<uint32_t> AllStates()
    {
        std::vector<uint32_t> v;
        for (uint32_t rs : {PLATRS_ALPHABLENDENABLE, PLATRS_SRCBLEND, PLATRS_DESTBLEND,
                            PLATRS_FOGENABLE, PLATRS_FOGVERTEXMODE, PLATRS_FOGSTART, PLATRS_FOGEND,
                            PLATRS_FOGCOLOR, PLATRS_TEXTUREFACTOR})
            v.push_back(RS(rs));
        for (uint32_t s = 0; s < 2; ++s)
            for (uint32_t t :
                 {PLATTSS_COLOROP, PLATTSS_COLORARG1, PLATTSS_COLORARG2, PLATTSS_ALPHAOP,
                  PLATTSS_ALPHAARG1, PLATTSS_ALPHAARG2, PLATTSS_ADDRESSU, PLATTSS_ADDRESSV,
                  PLATTSS_MINFILTER, PLATTSS_MAGFILTER, PLATTSS_MIPFILTER})
                v.push_back(TSS(s, t));
        return v;
    }
};

TEST_F(TechDeviceTest, LoadsPackKeepingFirstDefinitions)
{
    StartGfx();
    LoadPack();
    EXPECT_TRUE(LogHas("Processing techniques pack..."));
    EXPECT_TRUE(LogHas("4 techniques loaded.")); // the second TEQ_BLENDONLY is skipped
    ASSERT_EQ(m_pVLA->m_pTechniques->GetCount(), 4);
    EXPECT_EQ(m_pVLA->TechGetID("TEQ_FULL"), 0);
    EXPECT_EQ(m_pVLA->TechGetID("TEQ_S1OFF"), 2); // the element name does not matter
    EXPECT_EQ(m_pVLA->m_pTechniques->GetTag(0), 7);
    EXPECT_EQ(m_pVLA->m_pTechniques->GetTag(1), 0);
    EXPECT_FALSE(m_pVLA->m_pTechniques->GetItem(1)->m_bBlendingOn);
    EXPECT_EQ(m_pVLA->m_pTechniques->GetItem(1)->m_uiSrcBlend, 2u);

    EXPECT_FALSE(LogHas("Cannot find iID of technique"));
    EXPECT_EQ(m_pVLA->TechGetID("TEQ_NONE"), -1);
    EXPECT_TRUE(LogHas("Cannot find iID of technique with strID = TEQ_NONE"));
}

TEST_F(TechDeviceTest, PackErrors)
{
    StartGfx();
    const struct
    {
        const char* m_pszPack;
        const char* m_pszError;
    } kCases[] = {
        {"<techniques><t id=\"TEQ_A\"/></techniques>",
         "1:Wrong XML root node name: must be techniquespack!"},
        {"<techniquespack><t id=\"TEQ_A\"/><t tag=\"1\"/></techniquespack>",
         "1:Ivanlid technique ID!"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Raised([&] { LoadPack(c.m_pszPack); }), c.m_pszError) << c.m_pszPack;
    // Techniques before the faulty element stay loaded.
    EXPECT_EQ(m_pVLA->TechGetID("TEQ_A"), 0);
}

TEST_F(TechDeviceTest, AppliesOnlyDefinedGroups)
{
    StartGfx();
    LoadPack();
    m_pVLA->TechApply("TEQ_FULL");
    EXPECT_EQ(m_pVLA->m_iCurrentTechnique, 0);
    EXPECT_EQ(RS(PLATRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(RS(PLATRS_SRCBLEND), uint32_t(PLATBLEND_SRCALPHA));
    EXPECT_EQ(RS(PLATRS_DESTBLEND), uint32_t(PLATBLEND_INVSRCALPHA));
    EXPECT_EQ(RS(PLATRS_FOGENABLE), 1u);
    EXPECT_TRUE(m_pVLA->m_bFogOn);
    EXPECT_EQ(RS(PLATRS_FOGVERTEXMODE), uint32_t(PLATFOG_LINEAR));
    EXPECT_EQ(RS(PLATRS_FOGSTART), std::bit_cast<uint32_t>(0.25f));
    EXPECT_EQ(RS(PLATRS_FOGEND), std::bit_cast<uint32_t>(0.75f));
    EXPECT_EQ(RS(PLATRS_FOGCOLOR), 0xFFFF007Fu);
    EXPECT_EQ(RS(PLATRS_TEXTUREFACTOR), 0xCC336699u);
    EXPECT_EQ(TSS(0, PLATTSS_COLOROP), uint32_t(PLATTOP_MODULATE));
    EXPECT_EQ(TSS(0, PLATTSS_COLORARG1), uint32_t(PLATTA_TEXTURE));
    EXPECT_EQ(TSS(0, PLATTSS_COLORARG2), uint32_t(PLATTA_DIFFUSE));
    EXPECT_EQ(TSS(0, PLATTSS_ALPHAOP), uint32_t(PLATTOP_SELECTARG2));
    EXPECT_EQ(TSS(0, PLATTSS_ADDRESSU), uint32_t(PLATTADDRESS_CLAMP));
    EXPECT_EQ(TSS(0, PLATTSS_ADDRESSV), uint32_t(PLATTADDRESS_CLAMP));
    EXPECT_EQ(TSS(1, PLATTSS_COLOROP), uint32_t(PLATTOP_ADD));
    EXPECT_EQ(TSS(1, PLATTSS_COLORARG2), uint32_t(PLATTA_TFACTOR));
    EXPECT_EQ(TSS(1, PLATTSS_ALPHAOP), uint32_t(PLATTOP_SELECTARG1));
    EXPECT_EQ(TSS(1, PLATTSS_ADDRESSV), uint32_t(PLATTADDRESS_CLAMP));
    EXPECT_EQ(TSS(0, PLATTSS_MINFILTER), uint32_t(PLATTEXF_LINEAR));
    EXPECT_EQ(TSS(0, PLATTSS_MIPFILTER), uint32_t(PLATTEXF_POINT));
    EXPECT_EQ(TSS(1, PLATTSS_MINFILTER), uint32_t(PLATTEXF_POINT));
    EXPECT_EQ(TSS(1, PLATTSS_MAGFILTER), uint32_t(PLATTEXF_LINEAR));
    EXPECT_EQ(TSS(1, PLATTSS_MIPFILTER), uint32_t(PLATTEXF_NONE));
    EXPECT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_VERTEX));
    EXPECT_FLOAT_EQ(m_pVLA->m_fAmbientColor[0], 1.0f);
    EXPECT_FLOAT_EQ(m_pVLA->m_fAmbientColor[1], 127.0f / 255.0f);
    EXPECT_FLOAT_EQ(m_pVLA->m_fAmbientColor[2], 0.0f);
    EXPECT_FLOAT_EQ(m_pVLA->m_fAmbientColor[3], 1.0f);
    std::vector<uint32_t> tmp_Expected = AllStates();

    // Blending only ("on" in lower case is off): nothing else moves.
    m_pVLA->TechApply("TEQ_BLENDONLY");
    tmp_Expected[0] = 0;
    tmp_Expected[1] = PLATBLEND_ONE;
    tmp_Expected[2] = PLATBLEND_ZERO;
    EXPECT_EQ(AllStates(), tmp_Expected);
    EXPECT_TRUE(m_pVLA->m_bFogOn);
    EXPECT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_VERTEX));

    // Stage 1 disabled: only its colour operation is set; stage 0 gets all its values.
    m_pVLA->TechApply("TEQ_S1OFF");
    const size_t kStage0 = 9, kStage1 = 9 + 11;
    tmp_Expected[kStage0 + 0] = PLATTOP_SELECTARG1;
    tmp_Expected[kStage0 + 1] = PLATTA_DIFFUSE;
    tmp_Expected[kStage0 + 2] = PLATTA_CURRENT; // absent keywords: first row
    tmp_Expected[kStage0 + 3] = PLATTOP_DISABLE;
    tmp_Expected[kStage0 + 4] = PLATTA_CURRENT;
    tmp_Expected[kStage0 + 5] = PLATTA_CURRENT;
    tmp_Expected[kStage0 + 6] = PLATTADDRESS_WRAP;
    tmp_Expected[kStage0 + 7] = PLATTADDRESS_WRAP;
    tmp_Expected[kStage1 + 0] = PLATTOP_DISABLE;
    EXPECT_EQ(AllStates(), tmp_Expected);

    // A misspelt stage-1 operation reads as DISABLE, with the same effect.
    m_pVLA->TechApply("TEQ_FULL");
    m_pVLA->TechApply("TEQ_S1BAD");
    EXPECT_EQ(TSS(1, PLATTSS_COLOROP), uint32_t(PLATTOP_DISABLE));
    EXPECT_EQ(TSS(1, PLATTSS_COLORARG2), uint32_t(PLATTA_TFACTOR));
}

TEST_F(TechDeviceTest, ReapplyingDoesNothingNotEvenAFlush)
{
    StartGfx();
    LoadPack();
    m_pVLA->SceneBegin();
    m_pVLA->TechApply("TEQ_BLENDONLY");
    Quad(10, 10, 20, 20, 1, 1, 1, 1);
    ASSERT_EQ(m_pVLA->m_iBatchCount, 1);
    const PlatGfxCounters tmp_Before = m_pVLA->m_pD3DDevice->GetCounters();
    // Even a changed device state is not put back: the call is skipped as a whole.
    m_pVLA->m_pD3DDevice->SetRenderState(PLATRS_SRCBLEND, PLATBLEND_DESTCOLOR);
    m_pVLA->TechApply(1);
    m_pVLA->TechApply("TEQ_BLENDONLY");
    EXPECT_EQ(m_pVLA->m_iBatchCount, 1);
    EXPECT_EQ(m_pVLA->m_pD3DDevice->GetCounters().m_uiDrawCalls, tmp_Before.m_uiDrawCalls);
    EXPECT_EQ(RS(PLATRS_SRCBLEND), uint32_t(PLATBLEND_DESTCOLOR));

    // A different technique draws the pending quad first.
    m_pVLA->TechApply("TEQ_FULL");
    EXPECT_EQ(m_pVLA->m_iBatchCount, 0);
    EXPECT_EQ(m_pVLA->m_pD3DDevice->GetCounters().m_uiDrawCalls, tmp_Before.m_uiDrawCalls + 1);
    m_pVLA->SceneEnd();
}

TEST_F(TechDeviceTest, InvalidIDsAreGameErrors)
{
    StartGfx();
    LoadPack();
    EXPECT_EQ(Raised([&] { m_pVLA->TechApply(4); }), "2:Invalid technique ID! ID = 4");
    EXPECT_EQ(Raised([&] { m_pVLA->TechApply(-7); }), "2:Invalid technique ID! ID = -7");
    // A strID not in the store counts as -1, without a log line.
    m_pVLA->TechApply(0);
    EXPECT_EQ(Raised([&] { m_pVLA->TechApply("TEQ_MISSING"); }), "2:Invalid technique ID! ID = -1");
    EXPECT_FALSE(LogHas("TEQ_MISSING"));
    // -1 is the current technique after a reset: applying it then is skipped, not refused.
    PlatGfxTestSetDeviceState(m_pVLA->m_pD3DDevice, PLATERR_DEVICENOTRESET);
    ASSERT_TRUE(m_pVLA->GfxCheckDevice());
    EXPECT_EQ(Raised([&] { m_pVLA->TechApply(-1); }), "");
}

TEST_F(TechDeviceTest, DeviceResetForgetsTheCurrentTechnique)
{
    StartGfx();
    LoadPack();
    m_pVLA->TechApply("TEQ_FULL");
    ASSERT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_VERTEX));
    PlatGfxTestSetDeviceState(m_pVLA->m_pD3DDevice, PLATERR_DEVICENOTRESET);
    ASSERT_TRUE(m_pVLA->GfxCheckDevice());
    EXPECT_EQ(m_pVLA->m_iCurrentTechnique, -1);
    EXPECT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_DISABLED));
    EXPECT_FLOAT_EQ(m_pVLA->m_fAmbientColor[0], 0.0f);

    // The same technique is applied in full again.
    m_pVLA->m_pD3DDevice->SetRenderState(PLATRS_TEXTUREFACTOR, 0);
    m_pVLA->TechApply("TEQ_FULL");
    EXPECT_EQ(RS(PLATRS_TEXTUREFACTOR), 0xCC336699u);
    EXPECT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_VERTEX));
}

TEST_F(TechDeviceTest, SmartIDsFollowLoadedTechniques)
{
    CSmartID tmp_Smart("TEQ_S1OFF");
    StartGfx();
    LoadPack();
    EXPECT_EQ(tmp_Smart.GetIID(), 2);
    m_pVLA->TechApply(tmp_Smart);
    EXPECT_EQ(m_pVLA->m_iCurrentTechnique, 2);
}
} // namespace

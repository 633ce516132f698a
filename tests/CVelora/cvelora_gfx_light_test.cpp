// Dynamic lights: channel conversion of lit colours.
#include "CVelora/cvelora_gfx_light.h"
#include "cvelora_gfx_scene_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
TEST(LightColor, ChannelsClampAndRound)
{
    const struct
    {
        float m_fIn;
        uint32_t m_uiOut;
    } kCases[] = {{0.0f, 0},   {-3.0f, 0},    {1.0f, 255}, {7.0f, 255},
                  {0.5f, 128}, {0.498f, 127}, {NAN, 0},    {0.002f, 1}};
    for (const auto& c : kCases)
        EXPECT_EQ(LightChannelByte(c.m_fIn), c.m_uiOut) << c.m_fIn;
    EXPECT_EQ(LightPackColor(1.0f, 0.0f, 0.5f, 0.5f), 0x80FF0080u);
}

// ---- On the device ----

const char* const kPack = R"(<techniquespack>
  <t id="TEQ_PLAIN" alphablending="ON" absrc="SRCALPHA" abdest="INVSRCALPHA" s0_colorop="SELECTARG1"
     s0_colorarg1="DIFFUSE" s0_alphaop="SELECTARG1" s0_alphaarg1="DIFFUSE" s1_colorop="DISABLE"/>
  <t id="TEQ_RED" dynlightmode="VERTEX" dynlightambientcolorr="1"/>
  <t id="TEQ_OFF" dynlightmode="DISABLED" dynlightambientcolorg="1"/>
  <t id="TEQ_DOT3" dynlightmode="DOT3"/>
</techniquespack>)";

class LightDeviceTest : public GfxSceneTest
{
protected:
    void Start()
    {
        StartGfx();
        const std::string tmp_strPack = kPack;
        m_pVLA->TechLoadPack(tmp_strPack.data(), static_cast<int>(tmp_strPack.size()));
        m_pVLA->TechApply("TEQ_PLAIN");
    }
};

TEST_F(LightDeviceTest, VertexModeGivesAmbientColourKeepingAlpha)
{
    Start();
    m_pVLA->TechApply("TEQ_RED");
    m_pVLA->SceneBegin();
    m_pVLA->SceneClearScreen(0, 0, 0);
    m_pVLA->VQuadSetColorByVertex(0, 1, 1, 1, 0.5f);
    m_pVLA->VQuadSetColorByVertex(1, 1, 1, 1, 0.5f);
    m_pVLA->VQuadSetColorByVertex(2, 1, 1, 1, 0.5f);
    m_pVLA->VQuadSetColorByVertex(3, 0, 1, 0, 0.25f);
    m_pVLA->VQuadSetPos(100, 100, 50, 50, 0.5f);
    m_pVLA->SceneRender();
    EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_uiDiffuse, 0x80FF0000u);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[3].m_uiDiffuse, 0x40FF0000u);
    // White quads at alpha 0.5 over black come out half red.
    Quad(300, 100, 50, 50, 1, 1, 1, 0.5f);
    m_pVLA->SceneEnd();
    m_pVLA->ScenePresent();
    EXPECT_TRUE(ColorNear(PresentedAt(325, 125), 0x800000));
    EXPECT_TRUE(ColorNear(PresentedAt(200, 125), 0x000000));
}

TEST_F(LightDeviceTest, DisabledModeLeavesColoursAlone)
{
    Start();
    m_pVLA->TechApply("TEQ_RED");
    m_pVLA->TechApply("TEQ_OFF");
    EXPECT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_DISABLED));
    m_pVLA->SceneBegin();
    m_pVLA->SceneClearScreen(0, 0, 0);
    Quad(100, 100, 50, 50, 0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_uiDiffuse, 0xFF0000FFu);
    m_pVLA->SceneEnd();
    m_pVLA->ScenePresent();
    EXPECT_TRUE(ColorNear(PresentedAt(125, 125), 0x0000FF));
}

TEST_F(LightDeviceTest, Dot3NeedsALightWhereTheAdapterSupportsIt)
{
    Start();
    ASSERT_TRUE(m_pVLA->m_VideoCaps.m_bDot3); // the GL device offers the operation
    m_pVLA->TechApply("TEQ_DOT3");
    EXPECT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_DOT3));
    EXPECT_EQ(m_pVLA->m_iDot3Light, -1);
    m_pVLA->SceneBegin();
    EXPECT_EQ(Raised([&] { Quad(0, 0, 10, 10, 1, 1, 1, 1); }), "1:Wrong Dot3 light specified!");
    m_pVLA->SceneEnd();
}

TEST_F(LightDeviceTest, Dot3WithoutCapabilityDoesNothing)
{
    PlatGfxTestAdapter tmp_Adapter;
    PlatCaps tmp_Caps;
    tmp_Caps.m_uiCaps2 = PLATCAPS2_CANRENDERWINDOWED | PLATCAPS2_FULLSCREENGAMMA;
    tmp_Caps.m_uiTextureCaps = PLATPTEXTURECAPS_MIPMAP;
    tmp_Caps.m_uiTextureAddressCaps = PLATPTADDRESSCAPS_WRAP | PLATPTADDRESSCAPS_CLAMP;
    tmp_Caps.m_uiMaxTextureWidth = tmp_Caps.m_uiMaxTextureHeight = 2048;
    tmp_Caps.m_uiMaxTextureBlendStages = tmp_Caps.m_uiMaxSimultaneousTextures = 8;
    tmp_Adapter.m_Caps = tmp_Caps;
    PlatGfxTestSetAdapter(&tmp_Adapter);
    Start();
    ASSERT_FALSE(m_pVLA->m_VideoCaps.m_bDot3);
    m_pVLA->TechApply("TEQ_DOT3");
    m_pVLA->SceneBegin();
    EXPECT_EQ(Raised([&] { Quad(0, 0, 10, 10, 0.2f, 0.4f, 0.6f, 1); }), "");
    EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_uiDiffuse, 0xFF336699u);
    m_pVLA->SceneEnd();
}

TEST_F(LightDeviceTest, ResetDisablesLightingUntilATechniqueSetsIt)
{
    Start();
    m_pVLA->TechApply("TEQ_RED");
    PlatGfxTestSetDeviceState(m_pVLA->m_pD3DDevice, PLATERR_DEVICENOTRESET);
    ASSERT_TRUE(m_pVLA->GfxCheckDevice());
    EXPECT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_DISABLED));
    // A technique without the group does not bring it back.
    m_pVLA->TechApply("TEQ_PLAIN");
    EXPECT_EQ(m_pVLA->m_iLightMode, int(LIGHTMODE_DISABLED));
    m_pVLA->SceneBegin();
    Quad(0, 0, 10, 10, 0, 1, 0, 1);
    EXPECT_EQ(m_pVLA->m_QuadTemplate[0].m_uiDiffuse, 0xFF00FF00u);
    m_pVLA->SceneEnd();
}
} // namespace

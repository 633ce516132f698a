// Script API, VLA_GFX_ group on a started graphics device: every function reaches its engine
// operation with its arguments in order, defaults where an optional argument does not count,
// and the strID or iID variant chosen by argument 1's type.
#include "CVelora/cvelora_gfx_test_support.h"
#include "CVelora/cvelora_scr_main.h"

#include <optional>

namespace
{

class GlueGfxTest : public GfxEngineTest
{
protected:
    void SetUp() override
    {
        GfxEngineTest::SetUp();
        StartGraphics();
        m_pVLA->InitScriptsSubsystem();
        TakeLog();
    }
    // Runs a chunk; returns the engine error it raised.
    std::optional<CEHSException> Run(const std::string& fp_strText)
    {
        try
        {
            m_pVLA->LoadScriptFromBuffer(fp_strText.data(), fp_strText.size(), "SCR_GFX");
        }
        catch (const CEHSException& e)
        {
            return e;
        }
        return std::nullopt;
    }
    const VLAVERTEX& V(int fp_iVertex) const { return m_pVLA->m_QuadTemplate[fp_iVertex]; }
    int LoadTexture(const char* fp_pszID)
    {
        const std::string tmp_strPng = MakePng(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0});
        return m_pVLA->TexLoadFromMemory(tmp_strPng.data(), static_cast<int>(tmp_strPng.size()), 0,
                                         fp_pszID, 1, 0, 0);
    }
};

TEST_F(GlueGfxTest, QuadPositionsTakeTheirDefaultsOnlyBelowTheFullCount)
{
    const struct
    {
        const char* m_pszCall;
        float m_fZ;
    } tmp_Rows[] = {
        {"VLA_GFX_VQuadSetPos(10, 20, 30, 40)", 0.5f},
        {"VLA_GFX_VQuadSetPos(10, 20, 30, 40, 0.25)", 0.25f},
        {"VLA_GFX_VQuadSetPos(10, 20, 30, 40, 0.25, 9)", 0.5f},
        {"VLA_GFX_VQuadSetPos(10, 20, 30, 40, 0.25, 'x')", 0.5f},
    };
    for (const auto& tmp_Row : tmp_Rows)
    {
        ASSERT_FALSE(Run(tmp_Row.m_pszCall)) << tmp_Row.m_pszCall;
        EXPECT_EQ(V(0).m_fX, 10.0f);
        EXPECT_EQ(V(0).m_fY, 20.0f);
        EXPECT_EQ(V(2).m_fX, 40.0f);
        EXPECT_EQ(V(2).m_fY, 60.0f);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(V(i).m_fZ, tmp_Row.m_fZ) << tmp_Row.m_pszCall;
    }

    ASSERT_FALSE(Run("VLA_GFX_VQuadSetPosByVertex(2, 7, 8)"));
    EXPECT_EQ(V(2).m_fX, 7.0f);
    EXPECT_EQ(V(2).m_fY, 8.0f);
    EXPECT_EQ(V(2).m_fZ, 0.5f);
    ASSERT_FALSE(Run("VLA_GFX_VQuadSetPosByVertex(1.9, 5, 6, 0.125)")); // vertex truncated to 1
    EXPECT_EQ(V(1).m_fX, 5.0f);
    EXPECT_EQ(V(1).m_fZ, 0.125f);

    ASSERT_FALSE(Run("VLA_GFX_VQuadSetPos(0, 0, 10, 10, 0.5) VLA_GFX_VQuadMove(3, 4)"));
    EXPECT_EQ(V(0).m_fX, 3.0f);
    EXPECT_EQ(V(0).m_fY, 4.0f);
    EXPECT_EQ(V(0).m_fZ, 0.5f);
    ASSERT_FALSE(Run("VLA_GFX_VQuadMove(0, 0, 0.25)"));
    EXPECT_EQ(V(0).m_fZ, 0.75f);
    ASSERT_FALSE(Run("VLA_GFX_VQuadSetPos(0, 0, 10, 10) VLA_GFX_VQuadScale(0, 0, 2)"));
    EXPECT_EQ(V(2).m_fX, 20.0f);
    EXPECT_EQ(V(2).m_fY, 20.0f);
    ASSERT_FALSE(Run("VLA_GFX_VQuadSetPos(0, 0, 10, 10) VLA_GFX_VQuadRotate(0, 0, 90)"));
    EXPECT_NEAR(V(1).m_fX, 0.0f, 1e-4);
    EXPECT_NEAR(V(1).m_fY, 10.0f, 1e-4);
}

TEST_F(GlueGfxTest, ColoursAndTextureCoordinates)
{
    ASSERT_FALSE(Run("VLA_GFX_VQuadSetColor(1, 1, 1)"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(V(i).m_uiDiffuse, 0xFFFFFFFFu);
    ASSERT_FALSE(Run("VLA_GFX_VQuadSetColor(1, 0, 0, 0.5)"));
    EXPECT_EQ(V(3).m_uiDiffuse, 0x7FFF0000u);
    ASSERT_FALSE(Run("VLA_GFX_VQuadSetColorByVertex(0, 1, 1, 1)"));
    EXPECT_EQ(V(0).m_uiDiffuse, 0x00FFFFFFu); // the per-vertex default alpha is 0
    ASSERT_FALSE(Run("VLA_GFX_VQuadSetColorByVertex(2, 0, 1, 0, 1)"));
    EXPECT_EQ(V(2).m_uiDiffuse, 0xFF00FF00u);

    ASSERT_FALSE(Run("VLA_GFX_VQuadSetTexCoords(2, 0.25, 0.5, 0.75, 1)"));
    EXPECT_EQ(V(0).m_fTU2, 0.25f);
    EXPECT_EQ(V(0).m_fTV2, 0.5f);
    EXPECT_EQ(V(2).m_fTU2, 0.75f);
    EXPECT_EQ(V(2).m_fTV2, 1.0f);
    // The operation's own error comes through unchanged.
    auto tmp_Err = Run("VLA_GFX_VQuadSetTexCoords(3, 0, 0, 1, 1)");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_iType, EHS_GAME);
    EXPECT_EQ(tmp_Err->m_strDesc, "Wrong texture coordinates set number: must be 1 or 2");
}

TEST_F(GlueGfxTest, TexturesByStrIDOrIIDAndStages)
{
    ASSERT_EQ(LoadTexture("TEX_A"), 0);
    ASSERT_EQ(LoadTexture("TEX_BG"), 1);
    ASSERT_FALSE(Run("VLA_GFX_TexSet('TEX_BG')"));
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], 1);
    ASSERT_FALSE(Run("VLA_GFX_TexSet(0, 1)"));
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[1], 0);
    ASSERT_FALSE(Run("VLA_GFX_TexSet('TEX_A', 1, 'ignored')"));
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], 0); // three arguments: the stage is the default
    ASSERT_FALSE(Run("VLA_GFX_TexSetNoTexture(1)"));
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[1], -1);
    ASSERT_FALSE(Run("VLA_GFX_TexSetNoTexture('x', 1)")); // two arguments: stage 0, unchecked
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], -1);
    ASSERT_FALSE(Run("VLA_GFX_TexSet(1, 2) VLA_GFX_TexSetNoTexture()"));
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[2], 1);
    auto tmp_Err = Run("VLA_GFX_TexSet(7)");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_strDesc, "Cannot set texture - invalid ID!");

    // Unbound textures only: the device still holds a bound one.
    ASSERT_FALSE(Run("VLA_GFX_TexSetNoTexture(2)"));
    TakeLog();
    ASSERT_FALSE(Run("VLA_GFX_TexUnloadByID('TEX_BG') VLA_GFX_TexUnloadByID(0)"));
    EXPECT_EQ(TakeLog(), LogEmpty(1) + LogEntry("Loading script from buffer: SCR_GFX", 1) +
                             LogEmpty(1) + LogEntry("Unloading texture, strID = TEX_BG", 1) +
                             LogEntry("Done.", 4) + LogEmpty(1) +
                             LogEntry("Unloading texture, iID = 0", 1) + LogEntry("Done.", 4) +
                             LogEntry("Done.", 4) + LogEmpty(1));
}

TEST_F(GlueGfxTest, SceneOperations)
{
    ASSERT_FALSE(Run("VLA_GFX_SceneSetViewport(10, 20.7, 300, 200)"));
    PlatViewport tmp_Viewport;
    m_pVLA->m_pD3DDevice->GetViewport(tmp_Viewport);
    EXPECT_EQ(tmp_Viewport.m_uiX, 10u);
    EXPECT_EQ(tmp_Viewport.m_uiY, 20u);
    EXPECT_EQ(tmp_Viewport.m_uiWidth, 300u);
    EXPECT_EQ(tmp_Viewport.m_uiHeight, 200u);
    ASSERT_FALSE(Run("VLA_GFX_SceneSetViewport(0, 0, 800, 600)"));

    PlatGammaRamp tmp_Ramp;
    ASSERT_FALSE(Run("VLA_GFX_SceneSetGamma(0.5, 0)"));
    m_pVLA->m_pD3DDevice->GetGammaRamp(tmp_Ramp);
    EXPECT_LT(tmp_Ramp.m_Red[255], 40000); // white capped near half intensity
    ASSERT_FALSE(Run("VLA_GFX_SceneSetGamma(1, 0)"));
    m_pVLA->m_pD3DDevice->GetGammaRamp(tmp_Ramp);
    EXPECT_GT(tmp_Ramp.m_Red[255], 65000);

    // A frame drawn entirely from the script: clear, one quad, present.
    const std::string tmp_strPack =
        "<techniquespack><t id=\"TEQ_FLAT\" alphablending=\"OFF\" s0_colorop=\"SELECTARG1\" "
        "s0_colorarg1=\"DIFFUSE\" s1_colorop=\"DISABLE\"/></techniquespack>";
    m_pVLA->TechLoadPack(tmp_strPack.data(), static_cast<int>(tmp_strPack.size()));
    ASSERT_FALSE(Run("VLA_GFX_SceneBegin()\n"
                     "VLA_GFX_SceneClearScreen(0, 0, 1)\n"
                     "VLA_GFX_TechApply('TEQ_FLAT')\n"
                     "VLA_GFX_VQuadSetPos(100, 100, 50, 50)\n"
                     "VLA_GFX_VQuadSetColor(1, 1, 0)\n"
                     "VLA_GFX_SceneRender()\n"
                     "VLA_GFX_SceneEnd()\n"
                     "VLA_GFX_ScenePresent()\n"));
    int w = 0, h = 0;
    const std::vector<uint32_t> p = Picture(w, h);
    ASSERT_EQ(w, 800);
    EXPECT_EQ(p[120 * 800 + 120] & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(p[99 * 800 + 120] & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(p[150 * 800 + 120] & 0xFFFFFF, 0x0000FFu);

    // Windowed: the screenshot operation refuses with its warning.
    TakeLog();
    ASSERT_FALSE(Run("VLA_GFX_SceneMakeScreenshot()"));
    EXPECT_NE(TakeLog().find(LogEntry("Cannot make a screenshot in windowed mode!", 5)),
              std::string::npos);
    EXPECT_FALSE(FileExists("screenshot1.bmp"));
}

TEST_F(GlueGfxTest, TechniquesAndFonts)
{
    const std::string tmp_strPack = "<techniquespack><t id=\"TEQ_A\" alphablending=\"OFF\"/>"
                                    "<t id=\"TEQ_B\" alphablending=\"ON\"/></techniquespack>";
    m_pVLA->TechLoadPack(tmp_strPack.data(), static_cast<int>(tmp_strPack.size()));
    ASSERT_FALSE(Run("VLA_GFX_TechApply('TEQ_B')"));
    EXPECT_EQ(m_pVLA->m_iCurrentTechnique, 1);
    ASSERT_FALSE(Run("VLA_GFX_TechApply(0)"));
    EXPECT_EQ(m_pVLA->m_iCurrentTechnique, 0);

    // No font loaded: FontSet records the number and drawing refuses it.
    ASSERT_FALSE(Run("VLA_GFX_FontSet(5)"));
    EXPECT_EQ(m_pVLA->m_iCurrentFont, 5);
    auto tmp_Err = Run("VLA_GFX_FontDrawText('Hi', 10, 10, 0, 0, 1)");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_strDesc, "Cannot draw text: invalid current font id. ID = 5");
    tmp_Err = Run("VLA_GFX_FontSet('FNT_NONE')");
    ASSERT_TRUE(tmp_Err);
    EXPECT_EQ(tmp_Err->m_strDesc, "Cannot set current font: invalid ID. strID = FNT_NONE");
}

} // namespace

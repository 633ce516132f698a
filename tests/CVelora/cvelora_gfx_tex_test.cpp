// Textures: loading through the decoder into the display mode's formats (kinds, mip levels,
// maximum size), the store and smart IDs, lookups and unloading with their log lines, the binding
// rules of TexSet, and pictures drawn through the quad batch read back from the screen copy.
#include "cvelora_gfx_test_support.h"

#include "CVelora/cvelora_utils_csmartid.h"
#include "TexDecode/texdecode.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>

namespace
{
std::vector<uint32_t> Pattern(int w, int h)
{
    std::vector<uint32_t> px(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px[size_t(y) * w + x] = 0xFF000000u | uint32_t(x * 255 / std::max(1, w - 1)) << 16 |
                                    uint32_t(y * 255 / std::max(1, h - 1)) << 8 |
                                    uint32_t((x + y) % 2 ? 0xC0 : 0x30);
    return px;
}

int Load(CVelora* fp_pVLA, const std::string& fp_strFile, int fp_iKind, const char* fp_pszID,
         int fp_iMips = 0, int fp_iTag = 0, int fp_iMax = 0)
{
    return fp_pVLA->TexLoadFromMemory(fp_strFile.data(), int(fp_strFile.size()), fp_iKind, fp_pszID,
                                      fp_iMips, fp_iTag, fp_iMax);
}

std::string RaisedText(const std::function<void()>& fp_Call, int* fp_pType = nullptr)
{
    try
    {
        fp_Call();
    }
    catch (const CEHSException& e)
    {
        if (fp_pType != nullptr)
            *fp_pType = e.m_iType;
        return e.m_strDesc;
    }
    catch (const char* s)
    {
        return std::string("text: ") + s;
    }
    return "(nothing raised)";
}

// An n-bit channel widened to 8 bits: round(v * 255 / (2^n - 1)).
int Widen(int v, int bits)
{
    return (v * 255 * 2 + ((1 << bits) - 1)) / (2 * ((1 << bits) - 1));
}

// Draws texture fp_iID as a w x h quad at (x, y) with the engine's shaping calls.
void DrawTextured(CVelora* fp_pVLA, int fp_iID, float x, float y, float w, float h)
{
    fp_pVLA->TexSet(fp_iID, 0);
    fp_pVLA->VQuadSetPos(x, y, w, h, 0.5f);
    fp_pVLA->VQuadSetTexCoords(1, 0.0f, 0.0f, 1.0f, 1.0f);
    fp_pVLA->VQuadSetColor(1.0f, 1.0f, 1.0f, 1.0f);
    fp_pVLA->VQuadAddToBatch();
}
} // namespace

TEST_F(GfxEngineTest, ATextureLoadsOnceAndIsLoggedAndNamed)
{
    StartGraphics();
    CSmartID tmp_Smart("TEX_A");
    const std::string png = MakePng(4, 4, Pattern(4, 4));
    EXPECT_EQ(Load(m_pVLA, png, 4, "TEX_A", 0, 7), 0);
    EXPECT_EQ(TakeLog(), LogEmpty(1) + LogEntry("Loading texture from memory. ID = TEX_A", 1) +
                             LogEntry("Done.", 1) + LogEmpty(1));
    EXPECT_EQ(tmp_Smart.GetIID(), 0);
    EXPECT_EQ(m_pVLA->m_pTextures->GetTag(0), 7);
    // The same strID again: the loaded one, nothing decoded or logged.
    EXPECT_EQ(Load(m_pVLA, "not even an image", 4, "TEX_A"), 0);
    EXPECT_EQ(TakeLog(), "");
    EXPECT_EQ(Load(m_pVLA, png, 4, "TEX_B"), 1);
    EXPECT_EQ(m_pVLA->TexGetID("TEX_B"), 1);
    EXPECT_EQ(m_pVLA->TexGetID("TEX_NONE"), -1);
    TakeLog();
    EXPECT_EQ(m_pVLA->TexGetID("TEX_NONE"), -1);
    EXPECT_EQ(TakeLog(), LogEntry("Cannot find iID of texture with strID = TEX_NONE", 5));
    // The resource loader passes data1..data3 as kind, mip levels and maximum size.
    RESLOAD_Texture(reinterpret_cast<const uint8_t*>(png.data()), int(png.size()), "TEX_C", 3, 0, 0,
                    0);
    EXPECT_EQ(m_pVLA->TexGetID("TEX_C"), 2);
    EXPECT_EQ(m_pVLA->m_pTextures->GetItem(2)->GetFormat(), uint32_t(PLATFMT_R5G6B5));
}

TEST_F(GfxEngineTest, KindMipLevelsAndMaximumSizeShapeTheTexture)
{
    // An adapter limit of 32 texels, so that a larger maximum size is cut down to it.
    PlatGfxTestAdapter a;
    PlatCaps caps;
    caps.m_uiCaps2 = PLATCAPS2_CANRENDERWINDOWED;
    caps.m_uiTextureCaps = PLATPTEXTURECAPS_MIPMAP;
    caps.m_uiMaxTextureWidth = caps.m_uiMaxTextureHeight = 32;
    a.m_Caps = caps;
    PlatGfxTestSetAdapter(&a);
    StartGraphics();
    const std::string png = MakePng(8, 4, Pattern(8, 4));
    struct Case
    {
        int kind, mips, max;
        uint32_t fmt, levels, w, h;
    };
    const Case cases[] = {
        {0, 0, 0, PLATFMT_R5G6B5, 1, 8, 4},        {1, 1, 0, PLATFMT_R5G6B5, 1, 8, 4},
        {5, 0, 0, PLATFMT_R5G6B5, 1, 8, 4},        {2, 0, 0, PLATFMT_A4R4G4B4, 1, 8, 4},
        {3, 0, 0, PLATFMT_A8R8G8B8, 1, 8, 4},      {4, 3, 0, PLATFMT_A8R8G8B8, 3, 8, 4},
        {4, -2, 0, PLATFMT_A8R8G8B8, 1, 8, 4},     {4, 0, 16, PLATFMT_A8R8G8B8, 1, 16, 16},
        {4, 0, 1000, PLATFMT_A8R8G8B8, 1, 32, 32},
    };
    int n = 0;
    for (const Case& c : cases)
    {
        const std::string id = "TEX_" + std::to_string(n++);
        const int iID = Load(m_pVLA, png, c.kind, id.c_str(), c.mips, 0, c.max);
        PlatTexture* t = m_pVLA->m_pTextures->GetItem(iID);
        uint32_t w = 0, h = 0;
        t->GetLevelSize(0, w, h);
        EXPECT_EQ(t->GetFormat(), c.fmt) << id;
        EXPECT_EQ(t->GetLevelCount(), c.levels) << id;
        EXPECT_EQ(w, c.w) << id;
        EXPECT_EQ(h, c.h) << id;
    }
}

TEST_F(GfxEngineTest, TextureLoadFailures)
{
    int type = 0;
    EXPECT_EQ(RaisedText([&] { Load(m_pVLA, MakePng(2, 2, Pattern(2, 2)), 1, "TEX_A"); }, &type),
              "D3DDevice object was not created!");
    EXPECT_EQ(type, EHS_GENERAL);
    StartGraphics();
    const std::string png = MakePng(16, 16, Pattern(16, 16));
    for (const std::string& bad :
         {png.substr(0, png.size() / 2), std::string("GIF89a..."), std::string()})
    {
        EXPECT_EQ(RaisedText([&] { Load(m_pVLA, bad, 1, "TEX_BAD"); }, &type),
                  "Cannot create texture object!");
        EXPECT_EQ(type, EHS_GENERAL);
    }
    EXPECT_EQ(m_pVLA->TexGetID("TEX_BAD"), -1);
}

TEST_F(GfxEngineTest, UnloadingByNameAndNumber)
{
    StartGraphics();
    CSmartID tmp_A("TEX_A"), tmp_B("TEX_B");
    const std::string png = MakePng(2, 2, Pattern(2, 2));
    Load(m_pVLA, png, 1, "TEX_A");
    Load(m_pVLA, png, 1, "TEX_B");
    TakeLog();
    m_pVLA->TexUnloadByID("TEX_A");
    EXPECT_EQ(TakeLog(),
              LogEmpty(1) + LogEntry("Unloading texture, strID = TEX_A", 1) + LogEntry("Done.", 4));
    EXPECT_EQ(tmp_A.GetIID(), -1);
    m_pVLA->TexUnloadByID("TEX_A");
    EXPECT_EQ(TakeLog(), LogEmpty(1) + LogEntry("Unloading texture, strID = TEX_A", 1) +
                             LogEntry("Failed.", 5));
    EXPECT_EQ(tmp_B.GetIID(), 1);
    m_pVLA->TexUnloadByID(1);
    EXPECT_EQ(TakeLog(),
              LogEmpty(1) + LogEntry("Unloading texture, iID = 1", 1) + LogEntry("Done.", 4));
    EXPECT_EQ(tmp_B.GetIID(), -1);
    for (int iID : {1, 0, 5, -1}) // free slots and numbers outside the store
    {
        m_pVLA->TexUnloadByID(iID);
        EXPECT_EQ(TakeLog(), LogEmpty(1) +
                                 LogEntry("Unloading texture, iID = " + std::to_string(iID), 1) +
                                 LogEntry("Failed.", 5));
    }
    // A freed slot is reused by the next load.
    EXPECT_EQ(Load(m_pVLA, png, 1, "TEX_C"), 0);
}

TEST_F(GfxEngineTest, UnloadingABoundTextureLeavesAReference)
{
    StartGraphics();
    Load(m_pVLA, MakePng(2, 2, Pattern(2, 2)), 1, "TEX_A");
    m_pVLA->TexSet(0, 0);
    EXPECT_EQ(RaisedText([&] { m_pVLA->TexUnloadByID("TEX_A"); }),
              "text: Unreleased object references left!");
    m_pVLA->TexSetNoTexture(0);
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], -1);
    EXPECT_EQ(m_pVLA->m_pD3DDevice->GetTexture(0), nullptr);
    m_pVLA->TexUnloadByID("TEX_A");
    EXPECT_EQ(m_pVLA->TexGetID("TEX_A"), -1);
}

TEST_F(GfxEngineTest, TexSetBindsOnlyChangesAndDrawsThePendingQuadsFirst)
{
    StartGraphics();
    const std::string png = MakePng(2, 2, Pattern(2, 2));
    Load(m_pVLA, png, 1, "TEX_A");
    Load(m_pVLA, png, 1, "TEX_B");
    PlatGfxDevice* dev = m_pVLA->m_pD3DDevice;
    CSmartID tmp_Smart("TEX_B");
    tmp_Smart.SetSmartIDNumber("TEX_B", 1);
    BeginFrame();
    m_pVLA->TexSet(0, 0);
    dev->ResetCounters();
    m_pVLA->VQuadSetPos(0, 0, 4, 4, 0.5f);
    m_pVLA->VQuadAddToBatch();
    m_pVLA->TexSet("TEX_A", 0); // the current one: nothing at all
    EXPECT_EQ(dev->GetCounters().m_uiDrawCalls, 0u);
    m_pVLA->TexSet(-1, 3);            // -1 on an empty stage is accepted silently
    m_pVLA->TexSet("TEX_MISSING", 2); // likewise a name not loaded
    EXPECT_EQ(dev->GetCounters().m_uiDrawCalls, 0u);
    m_pVLA->TexSet(tmp_Smart, 0); // a change: the pending quad is drawn first
    EXPECT_EQ(dev->GetCounters().m_uiDrawCalls, 1u);
    EXPECT_EQ(dev->GetCounters().m_uiTextureBinds, 1u);
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], 1);
    m_pVLA->VQuadSetPos(0, 0, 4, 4, 0.5f);
    m_pVLA->VQuadAddToBatch();
    int type = 0;
    EXPECT_EQ(RaisedText([&] { m_pVLA->TexSet("TEX_MISSING", 0); }, &type),
              "Cannot set texture - invalid ID!");
    EXPECT_EQ(type, EHS_GENERAL);
    EXPECT_EQ(dev->GetCounters().m_uiDrawCalls, 2u); // drawn before the check
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], 1);
    EXPECT_EQ(RaisedText([&] { m_pVLA->TexSet(9, 1); }), "Cannot set texture - invalid ID!");
    EndFrame();

    // After a reset every stage is forgotten, so the same texture is bound again.
    PlatGfxTestSetDeviceState(dev, PLATERR_DEVICENOTRESET);
    ASSERT_TRUE(m_pVLA->GfxCheckDevice());
    EXPECT_EQ(m_pVLA->m_iCurrentTexture[0], -1);
    EXPECT_EQ(dev->GetTexture(0), nullptr);
    dev->ResetCounters();
    m_pVLA->TexSet(1, 0);
    EXPECT_EQ(dev->GetCounters().m_uiTextureBinds, 1u);
    EXPECT_NE(dev->GetTexture(0), nullptr);
}

TEST_F(GfxEngineTest, A32BitTextureDrawnThroughTheBatchIsTexelExact)
{
    StartGraphics();
    const std::vector<uint32_t> texels = Pattern(32, 32);
    const int iID = Load(m_pVLA, MakePng(32, 32, texels), 4, "TEX_A");
    BeginFrame(0xFF204060);
    DrawTextured(m_pVLA, iID, 100, 50, 32, 32);
    EndFrame();
    int w = 0, h = 0;
    const std::vector<uint32_t> px = Picture(w, h);
    ASSERT_EQ(w, 800);
    for (int y = 40; y < 92; ++y)
        for (int x = 90; x < 142; ++x)
        {
            const bool inside = x >= 100 && x < 132 && y >= 50 && y < 82;
            const uint32_t want = inside ? texels[size_t(y - 50) * 32 + (x - 100)] : 0xFF204060u;
            ASSERT_EQ(px[size_t(y) * w + x], want) << x << "," << y;
        }
}

TEST_F(GfxEngineTest, A16BitTextureShowsItsQuantisation)
{
    StartGraphics();
    // A smooth 64-step gradient in red and green.
    std::vector<uint32_t> texels(64 * 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 64; ++x)
            texels[size_t(y) * 64 + x] =
                0xFF000000u | uint32_t(x * 4) << 16 | uint32_t(255 - x * 4) << 8 | 0x80;
    const std::string png = MakePng(64, 4, texels);
    const int iID = Load(m_pVLA, png, 1, "TEX_16"); // kind 1: R5G6B5 here
    ASSERT_EQ(m_pVLA->m_pTextures->GetItem(iID)->GetFormat(), uint32_t(PLATFMT_R5G6B5));
    // What the decoder stored, word by word.
    TexImage img;
    std::string err;
    ASSERT_TRUE(TexDecode(png.data(), png.size(), TEXFMT_R5G6B5, 0, 0, 1, img, err)) << err;
    BeginFrame();
    DrawTextured(m_pVLA, iID, 0, 0, 64, 4);
    EndFrame();
    int w = 0, h = 0;
    const std::vector<uint32_t> px = Picture(w, h);
    std::set<uint32_t> reds;
    for (int x = 0; x < 64; ++x)
    {
        const uint16_t v = uint16_t(img.m_Levels[0][2 * x] | img.m_Levels[0][2 * x + 1] << 8);
        const uint32_t p = px[size_t(1) * w + x];
        // Widening may round or replicate bits: one step either way; 5-bit levels lie 8 apart.
        EXPECT_NEAR(int((p >> 16) & 255), Widen(v >> 11, 5), 1) << x;
        EXPECT_NEAR(int((p >> 8) & 255), Widen((v >> 5) & 63, 6), 1) << x;
        EXPECT_NEAR(int(p & 255), Widen(v & 31, 5), 1) << x;
        reds.insert((p >> 16) & 255);
    }
    // 64 input steps of red collapse onto at most 32 levels.
    EXPECT_LE(reds.size(), 32u);
    EXPECT_GE(reds.size(), 28u);
}

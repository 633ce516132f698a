// The platform graphics device on the virtual display: pictures read back through the front
// buffer copy (texel-exact quads, colour modulation, blending, 16-bit texture formats, stage
// operations, fog), the window picture (scaling, gamma), the reference and reset rules, the
// draw checks and the null device.
#include "Platform/plat_gfx.h"
#include "Platform/plat_window.h"
#include "test_support.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
struct Vertex
{
    float x, y, z, rhw;
    uint32_t diffuse, specular;
    float u1, v1, u2, v2;
};
static_assert(sizeof(Vertex) == PLAT_VERTEX_STRIDE);

constexpr int kW = 64, kH = 64;
constexpr int kMaxQuads = 16;

uint8_t Ch(uint32_t c, int shift)
{
    return uint8_t((c >> shift) & 255);
}

class PlatGfxTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        ASSERT_TRUE(PlatRegisterWindowClass("vla_gamewindow"));
        m_pWindow = PlatCreateWindow("gfx", kW, kH, true);
        ASSERT_NE(m_pWindow, nullptr);
        m_pGfx = PlatGfxCreate();
        ASSERT_NE(m_pGfx, nullptr);
        m_Params.m_uiBackBufferWidth = kW;
        m_Params.m_uiBackBufferHeight = kH;
        m_Params.m_uiBackBufferFormat = PLATFMT_X8R8G8B8;
        m_Params.m_uiBackBufferCount = 1;
        m_Params.m_uiSwapEffect = PLATSWAPEFFECT_COPY;
        m_Params.m_pDeviceWindow = m_pWindow;
        m_Params.m_bWindowed = true;
        ASSERT_EQ(m_pGfx->CreateDevice(m_pWindow, m_Params, &m_pDev), PLAT_OK);
        ASSERT_EQ(m_pDev->CreateIndexBuffer(kMaxQuads * 12, PLATUSAGE_WRITEONLY, PLATFMT_INDEX16,
                                            PLATPOOL_MANAGED, &m_pIB),
                  PLAT_OK);
        uint8_t* p = nullptr;
        ASSERT_EQ(m_pIB->Lock(0, 0, &p, 0), PLAT_OK);
        uint16_t* idx = reinterpret_cast<uint16_t*>(p);
        for (int k = 0; k < kMaxQuads; ++k)
        {
            const uint16_t b = uint16_t(4 * k);
            const uint16_t q[6] = {b, uint16_t(b + 1), uint16_t(b + 2),
                                   b, uint16_t(b + 2), uint16_t(b + 3)};
            std::memcpy(idx + 6 * k, q, sizeof(q));
        }
        ASSERT_EQ(m_pIB->Unlock(), PLAT_OK);
        ASSERT_EQ(m_pDev->CreateVertexBuffer(kMaxQuads * 4 * 40,
                                             PLATUSAGE_DYNAMIC | PLATUSAGE_WRITEONLY,
                                             PLATFVF_VLAVERTEX, PLATPOOL_DEFAULT, &m_pVB),
                  PLAT_OK);
        Bind();
    }

    void TearDown() override
    {
        if (m_pDev != nullptr)
        {
            m_pDev->SetStreamSource(0, nullptr, 0);
            m_pDev->SetIndices(nullptr, 0);
            for (uint32_t s = 0; s < PLAT_MAX_STAGES; ++s)
                m_pDev->SetTexture(s, nullptr);
            if (m_pVB != nullptr)
            {
                EXPECT_EQ(m_pVB->Release(), 0u);
            }
            EXPECT_EQ(m_pIB->Release(), 0u);
            EXPECT_EQ(m_pDev->Release(), 0u);
        }
        if (m_pGfx != nullptr)
        {
            EXPECT_EQ(m_pGfx->Release(), 0u);
        }
        if (m_pWindow != nullptr)
            PlatDestroyWindow(m_pWindow);
        PlatUnregisterWindowClass();
        TempDirTest::TearDown();
    }

    void Bind()
    {
        ASSERT_EQ(m_pDev->SetIndices(m_pIB, 0), PLAT_OK);
        ASSERT_EQ(m_pDev->SetStreamSource(0, m_pVB, 40), PLAT_OK);
        ASSERT_EQ(m_pDev->SetVertexShader(PLATFVF_VLAVERTEX), PLAT_OK);
    }

    // A quad shaped as the engine shapes it, shifted by half a pixel.
    void AddQuad(float x, float y, float w, float h, uint32_t diffuse,
                 uint32_t specular = 0xFFFFFFFF, float u0 = 0, float v0 = 0, float u1 = 1,
                 float v1 = 1)
    {
        const float xs[4] = {x, x + w, x + w, x};
        const float ys[4] = {y, y, y + h, y + h};
        const float us[4] = {u0, u1, u1, u0};
        const float vs[4] = {v0, v0, v1, v1};
        for (int i = 0; i < 4; ++i)
            m_Quads.push_back(Vertex{xs[i] - 0.5f, ys[i] - 0.5f, 0.5f, 0.5f, diffuse, specular,
                                     us[i], vs[i], us[i], vs[i]});
    }

    // Writes the pending quads to the vertex buffer and draws them in one call.
    PlatResult DrawQuads()
    {
        uint8_t* p = nullptr;
        EXPECT_EQ(m_pVB->Lock(0, 0, &p, PLATLOCK_DISCARD), PLAT_OK);
        std::memcpy(p, m_Quads.data(), m_Quads.size() * sizeof(Vertex));
        EXPECT_EQ(m_pVB->Unlock(), PLAT_OK);
        const uint32_t n = uint32_t(m_Quads.size() / 4);
        m_Quads.clear();
        return m_pDev->DrawIndexedPrimitive(PLATPT_TRIANGLELIST, 0, 4 * n, 0, 2 * n);
    }

    std::vector<uint32_t> Picture()
    {
        PlatSurface* s = nullptr;
        EXPECT_EQ(m_pDev->CreateImageSurface(kW, kH, PLATFMT_A8R8G8B8, &s), PLAT_OK);
        EXPECT_EQ(m_pDev->GetFrontBuffer(s), PLAT_OK);
        PlatLockedRect r;
        EXPECT_EQ(s->LockRect(r, PLATLOCK_READONLY), PLAT_OK);
        std::vector<uint32_t> px(size_t(kW) * kH);
        for (int y = 0; y < kH; ++y)
            std::memcpy(&px[size_t(y) * kW], static_cast<uint8_t*>(r.m_pBits) + y * r.m_iPitch,
                        kW * 4);
        s->UnlockRect();
        EXPECT_EQ(s->Release(), 0u);
        return px;
    }

    PlatTexture* MakeTexture(uint32_t fmt, int w, int h, const std::vector<uint8_t>& bytes)
    {
        PlatTexture* t = nullptr;
        EXPECT_EQ(m_pDev->CreateTexture(w, h, 1, 0, fmt, PLATPOOL_MANAGED, &t), PLAT_OK);
        PlatLockedRect r;
        EXPECT_EQ(t->LockRect(0, r, 0), PLAT_OK);
        EXPECT_EQ(r.m_iPitch, w * PlatFormatBytesPerPixel(fmt));
        std::memcpy(r.m_pBits, bytes.data(), bytes.size());
        EXPECT_EQ(t->UnlockRect(0), PLAT_OK);
        return t;
    }

    PlatWindow* m_pWindow = nullptr;
    PlatGfx* m_pGfx = nullptr;
    PlatGfxDevice* m_pDev = nullptr;
    PlatIndexBuffer* m_pIB = nullptr;
    PlatVertexBuffer* m_pVB = nullptr;
    PlatPresentParams m_Params;
    std::vector<Vertex> m_Quads;
};

std::vector<uint8_t> Words32(const std::vector<uint32_t>& w)
{
    std::vector<uint8_t> b(w.size() * 4);
    std::memcpy(b.data(), w.data(), b.size());
    return b;
}
std::vector<uint8_t> Words16(const std::vector<uint16_t>& w)
{
    std::vector<uint8_t> b(w.size() * 2);
    std::memcpy(b.data(), w.data(), b.size());
    return b;
}

// An n-bit channel widened to 8 bits: round(v * 255 / (2^n - 1)).
int Widen(int v, int bits)
{
    return (v * 255 * 2 + ((1 << bits) - 1)) / (2 * ((1 << bits) - 1));
}
} // namespace

TEST_F(PlatGfxTest, TextureLandsTexelExactOnThePixelGrid)
{
    ASSERT_FALSE(m_pGfx->IsNull()) << "GL tests run on a display with GL";
    std::vector<uint32_t> texels(32 * 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            texels[y * 32 + x] = 0xFF000000u | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 |
                                 uint32_t((x ^ y) & 1 ? 200 : 40);
    PlatTexture* tex = MakeTexture(PLATFMT_A8R8G8B8, 32, 32, Words32(texels));
    ASSERT_EQ(m_pDev->SetTexture(0, tex), PLAT_OK);
    ASSERT_EQ(m_pDev->BeginScene(), PLAT_OK);
    ASSERT_EQ(m_pDev->Clear(PLATCLEAR_TARGET, 0xFF102030, 0, 0), PLAT_OK);
    AddQuad(8, 16, 32, 32, 0xFFFFFFFF);
    ASSERT_EQ(DrawQuads(), PLAT_OK);
    ASSERT_EQ(m_pDev->EndScene(), PLAT_OK);
    ASSERT_EQ(m_pDev->Present(), PLAT_OK);
    const std::vector<uint32_t> px = Picture();
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
        {
            const bool inside = x >= 8 && x < 40 && y >= 16 && y < 48;
            const uint32_t want = inside ? texels[(y - 16) * 32 + (x - 8)] : 0xFF102030u;
            ASSERT_EQ(px[y * kW + x], want) << "pixel " << x << "," << y;
        }
    m_pDev->SetTexture(0, nullptr);
    EXPECT_EQ(tex->Release(), 0u);
}

TEST_F(PlatGfxTest, VertexColourModulatesAndBlendingMixesWithTheBackground)
{
    std::vector<uint32_t> texels(4 * 4, 0xFF808080u);
    PlatTexture* tex = MakeTexture(PLATFMT_A8R8G8B8, 4, 4, Words32(texels));
    m_pDev->BeginScene();
    m_pDev->Clear(PLATCLEAR_TARGET, 0xFF0000FF, 0, 0);
    m_pDev->SetTexture(0, tex);
    AddQuad(0, 0, 8, 8, 0xFFFF8040); // texture x diffuse
    ASSERT_EQ(DrawQuads(), PLAT_OK);
    // No texture reads as opaque white: the colour is the diffuse one, the alpha is taken
    // from the diffuse colour by the stage.
    m_pDev->SetTexture(0, nullptr);
    m_pDev->SetTextureStageState(0, PLATTSS_ALPHAARG1, PLATTA_DIFFUSE);
    m_pDev->SetRenderState(PLATRS_ALPHABLENDENABLE, 1);
    m_pDev->SetRenderState(PLATRS_SRCBLEND, PLATBLEND_SRCALPHA);
    m_pDev->SetRenderState(PLATRS_DESTBLEND, PLATBLEND_INVSRCALPHA);
    AddQuad(16, 0, 8, 8, 0x40FF0000); // red at alpha 64 over blue
    ASSERT_EQ(DrawQuads(), PLAT_OK);
    m_pDev->EndScene();
    m_pDev->Present();
    const std::vector<uint32_t> px = Picture();
    auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
    const uint32_t m = px[4 * kW + 4];
    EXPECT_TRUE(near(Ch(m, 16), 0x80 * 0xFF / 255)) << std::hex << m;
    EXPECT_TRUE(near(Ch(m, 8), 0x80 * 0x80 / 255)) << std::hex << m;
    EXPECT_TRUE(near(Ch(m, 0), 0x80 * 0x40 / 255)) << std::hex << m;
    const uint32_t b = px[4 * kW + 20];
    EXPECT_TRUE(near(Ch(b, 16), 64)) << std::hex << b;
    EXPECT_EQ(Ch(b, 8), 0) << std::hex << b;
    EXPECT_TRUE(near(Ch(b, 0), 191)) << std::hex << b;
    EXPECT_EQ(Ch(b, 24), 255); // the picture stays opaque
    EXPECT_EQ(tex->Release(), 0u);
}

TEST_F(PlatGfxTest, SixteenBitTexturesShowTheirQuantisation)
{
    struct Case
    {
        uint32_t fmt;
        int rBits, gBits, bBits, rShift, gShift, bShift;
    };
    const Case cases[] = {
        {PLATFMT_R5G6B5, 5, 6, 5, 11, 5, 0},
        {PLATFMT_X1R5G5B5, 5, 5, 5, 10, 5, 0},
        {PLATFMT_A4R4G4B4, 4, 4, 4, 8, 4, 0},
        {PLATFMT_A8R3G3B2, 3, 3, 2, 5, 2, 0},
    };
    for (const Case& c : cases)
    {
        // One texel per level of the red channel along x, of green along y.
        std::vector<uint16_t> words(8 * 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
            {
                const int r = x * ((1 << c.rBits) - 1) / 7, g = y * ((1 << c.gBits) - 1) / 7;
                const int bl = (1 << c.bBits) - 1;
                uint16_t a = c.fmt == PLATFMT_A4R4G4B4   ? 0xF000
                             : c.fmt == PLATFMT_A8R3G3B2 ? 0xFF00
                                                         : 0;
                words[y * 8 + x] = uint16_t(a | r << c.rShift | g << c.gShift | bl << c.bShift);
            }
        PlatTexture* tex = MakeTexture(c.fmt, 8, 8, Words16(words));
        m_pDev->SetTexture(0, tex);
        m_pDev->BeginScene();
        m_pDev->Clear(PLATCLEAR_TARGET, 0xFF000000, 0, 0);
        AddQuad(0, 0, 8, 8, 0xFFFFFFFF);
        ASSERT_EQ(DrawQuads(), PLAT_OK);
        m_pDev->EndScene();
        m_pDev->Present();
        const std::vector<uint32_t> px = Picture();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
            {
                const uint32_t p = px[y * kW + x];
                const int r = x * ((1 << c.rBits) - 1) / 7, g = y * ((1 << c.gBits) - 1) / 7;
                // Widening may round or replicate bits (one step apart); the 3-bit channels
                // are replicated, up to two steps from the rounded ratio.
                const int tol = c.fmt == PLATFMT_A8R3G3B2 ? 2 : 1;
                EXPECT_NEAR(Ch(p, 16), Widen(r, c.rBits), tol) << c.fmt << " at " << x << "," << y;
                EXPECT_NEAR(Ch(p, 8), Widen(g, c.gBits), tol) << c.fmt << " at " << x << "," << y;
                EXPECT_EQ(Ch(p, 0), 255) << c.fmt;
            }
        m_pDev->SetTexture(0, nullptr);
        EXPECT_EQ(tex->Release(), 0u);
    }
}

TEST_F(PlatGfxTest, StageOperationsFogAndTextureFactor)
{
    // Each case draws one 4 x 4 quad (diffuse 0xC0804020, texture texel 0x80FF8000 with alpha
    // 0x80) under its own states and checks the resulting pixel.
    std::vector<uint32_t> texels(2 * 2, 0x80FF8000u);
    PlatTexture* tex = MakeTexture(PLATFMT_A8R8G8B8, 2, 2, Words32(texels));
    m_pDev->SetTexture(0, tex);
    struct Case
    {
        const char* name;
        uint32_t colorOp, arg1, arg2;
        uint32_t fog;  // 0 = off, else specular alpha
        uint32_t want; // 0x00RRGGBB
    };
    const Case cases[] = {
        {"select diffuse", PLATTOP_SELECTARG1, PLATTA_DIFFUSE, PLATTA_TEXTURE, 0, 0x804020},
        {"add", PLATTOP_ADD, PLATTA_TEXTURE, PLATTA_DIFFUSE, 0, 0xFFC020},
        {"subtract", PLATTOP_SUBTRACT, PLATTA_TEXTURE, PLATTA_DIFFUSE, 0, 0x7F4000},
        {"texture factor", PLATTOP_SELECTARG1, PLATTA_TFACTOR, PLATTA_TEXTURE, 0, 0x336699},
        {"complement", PLATTOP_SELECTARG1, PLATTA_TEXTURE | PLATTA_COMPLEMENT, PLATTA_DIFFUSE, 0,
         0x007FFF},
        {"alpha replicate", PLATTOP_SELECTARG1, PLATTA_TEXTURE | PLATTA_ALPHAREPLICATE,
         PLATTA_DIFFUSE, 0, 0x808080},
        {"blend texture alpha", PLATTOP_BLENDTEXTUREALPHA, PLATTA_TEXTURE, PLATTA_DIFFUSE, 0,
         0xC06010},
        {"fog half", PLATTOP_SELECTARG1, PLATTA_DIFFUSE, PLATTA_TEXTURE, 0x80, 0x809F8F},
    };
    m_pDev->SetRenderState(PLATRS_TEXTUREFACTOR, 0xFF336699);
    m_pDev->SetRenderState(PLATRS_FOGCOLOR, 0xFF80FFFF);
    m_pDev->BeginScene();
    m_pDev->Clear(PLATCLEAR_TARGET, 0xFF000000, 0, 0);
    int n = 0;
    for (const Case& c : cases)
    {
        m_pDev->SetTextureStageState(0, PLATTSS_COLOROP, c.colorOp);
        m_pDev->SetTextureStageState(0, PLATTSS_COLORARG1, c.arg1);
        m_pDev->SetTextureStageState(0, PLATTSS_COLORARG2, c.arg2);
        m_pDev->SetRenderState(PLATRS_FOGENABLE, c.fog != 0);
        AddQuad(float(n % 8) * 8, float(n / 8) * 8, 4, 4, 0xC0804020,
                c.fog != 0 ? (c.fog << 24) | 0xFFFFFF : 0xFFFFFFFF);
        ASSERT_EQ(DrawQuads(), PLAT_OK) << c.name;
        ++n;
    }
    m_pDev->EndScene();
    m_pDev->Present();
    const std::vector<uint32_t> px = Picture();
    n = 0;
    for (const Case& c : cases)
    {
        const uint32_t p = px[(n / 8) * 8 * kW + (n % 8) * 8 + 1];
        for (int sh : {16, 8, 0})
            EXPECT_NEAR(Ch(p, sh), Ch(c.want, sh), 1)
                << c.name << " channel " << sh << " got " << std::hex << p;
        ++n;
    }
    m_pDev->SetTexture(0, nullptr);
    EXPECT_EQ(tex->Release(), 0u);
}

TEST_F(PlatGfxTest, PresentScalesToTheWindowThroughTheGammaRamp)
{
    // A 32 x 16 back buffer in the 64 x 64 window: scaled by 2 with black bars above and below.
    m_pDev->SetStreamSource(0, nullptr, 0);
    EXPECT_EQ(m_pVB->Release(), 0u);
    m_pVB = nullptr;
    PlatPresentParams p = m_Params;
    p.m_uiBackBufferWidth = 32;
    p.m_uiBackBufferHeight = 16;
    ASSERT_EQ(m_pDev->Reset(p), PLAT_OK);
    PlatGammaRamp ramp;
    for (int i = 0; i < 256; ++i)
    {
        ramp.m_Red[i] = uint16_t(i * 257 / 2); // red at half intensity
        ramp.m_Green[i] = uint16_t(i * 257);
        ramp.m_Blue[i] = uint16_t(65535 - i * 257); // blue inverted
    }
    m_pDev->SetGammaRamp(PLATSGR_NO_CALIBRATION, ramp);
    PlatGfxTestCaptureWindow(m_pDev, true);
    m_pDev->BeginScene();
    m_pDev->Clear(PLATCLEAR_TARGET, 0xFFFF8000, 0, 0);
    m_pDev->EndScene();
    ASSERT_EQ(m_pDev->Present(), PLAT_OK);
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    ASSERT_TRUE(PlatGfxTestGetWindowPicture(m_pDev, w, h, px));
    ASSERT_EQ(w, kW);
    ASSERT_EQ(h, kH);
    EXPECT_EQ(px[5 * kW + 30], 0xFF000000u);  // bar above
    EXPECT_EQ(px[60 * kW + 30], 0xFF000000u); // bar below
    const uint32_t c = px[32 * kW + 30];
    EXPECT_NEAR(Ch(c, 16), 127, 1) << std::hex << c;
    EXPECT_NEAR(Ch(c, 8), 128, 1) << std::hex << c;
    EXPECT_NEAR(Ch(c, 0), 255, 1) << std::hex << c;
    // The screenshot copy is the picture itself, before the ramp.
    PlatSurface* s = nullptr;
    ASSERT_EQ(m_pDev->CreateImageSurface(32, 16, PLATFMT_A8R8G8B8, &s), PLAT_OK);
    ASSERT_EQ(m_pDev->GetFrontBuffer(s), PLAT_OK);
    PlatLockedRect r;
    s->LockRect(r, 0);
    EXPECT_EQ(static_cast<uint32_t*>(r.m_pBits)[0], 0xFFFF8000u);
    s->UnlockRect();
    s->Release();
}

TEST_F(PlatGfxTest, ResetNeedsTheDefaultPoolEmptyAndRestoresDefaults)
{
    EXPECT_EQ(m_pDev->TestCooperativeLevel(), PLAT_OK);
    PlatGfxTestSetDeviceState(m_pDev, PLATERR_DEVICELOST);
    EXPECT_EQ(m_pDev->TestCooperativeLevel(), PLATERR_DEVICELOST);
    EXPECT_EQ(m_pDev->Present(), PLATERR_DEVICELOST);
    PlatGfxTestSetDeviceState(m_pDev, PLATERR_DEVICENOTRESET);
    m_pDev->SetRenderState(PLATRS_ALPHABLENDENABLE, 1);
    // The vertex buffer lives in the default pool: a reset must wait for it to go.
    EXPECT_EQ(m_pDev->Reset(m_Params), PLATERR_INVALIDCALL);
    m_pDev->SetStreamSource(0, nullptr, 0);
    EXPECT_EQ(m_pVB->Release(), 0u);
    m_pVB = nullptr;
    PlatGfxTestFailResets(m_pDev, 1);
    EXPECT_EQ(m_pDev->Reset(m_Params), PLATERR_DEVICELOST);
    EXPECT_EQ(m_pDev->TestCooperativeLevel(), PLATERR_DEVICENOTRESET);
    EXPECT_EQ(m_pDev->Reset(m_Params), PLAT_OK);
    EXPECT_EQ(m_pDev->TestCooperativeLevel(), PLAT_OK);
    uint32_t v = 7;
    m_pDev->GetRenderState(PLATRS_ALPHABLENDENABLE, v);
    EXPECT_EQ(v, 0u);
    m_pDev->GetRenderState(PLATRS_CULLMODE, v);
    EXPECT_EQ(v, uint32_t(PLATCULL_CCW));
    m_pDev->GetTextureStageState(0, PLATTSS_COLOROP, v);
    EXPECT_EQ(v, uint32_t(PLATTOP_MODULATE));
    m_pDev->GetTextureStageState(1, PLATTSS_COLOROP, v);
    EXPECT_EQ(v, uint32_t(PLATTOP_DISABLE));
}

TEST_F(PlatGfxTest, BoundTexturesHoldAReferenceAndCountersCountChanges)
{
    PlatTexture* tex = MakeTexture(PLATFMT_A8R8G8B8, 2, 2, Words32({1, 2, 3, 4}));
    m_pDev->ResetCounters();
    m_pDev->SetTexture(0, tex);
    m_pDev->SetTexture(0, tex); // same binding: not counted
    EXPECT_EQ(m_pDev->GetCounters().m_uiTextureBinds, 1u);
    m_pDev->SetRenderState(PLATRS_FOGENABLE, 1);
    m_pDev->SetRenderState(PLATRS_FOGENABLE, 1);
    m_pDev->SetTextureStageState(0, PLATTSS_ADDRESSU, PLATTADDRESS_CLAMP);
    EXPECT_EQ(m_pDev->GetCounters().m_uiStateChanges, 2u);
    EXPECT_EQ(tex->AddRef(), 3u);
    EXPECT_EQ(tex->Release(), 2u);
    EXPECT_EQ(tex->Release(), 1u); // the device still holds it
    m_pDev->SetTexture(0, nullptr);
    EXPECT_EQ(m_pDev->GetCounters().m_uiTextureBinds, 2u);
}

TEST_F(PlatGfxTest, DrawsAreCheckedAndCounted)
{
    AddQuad(0, 0, 4, 4, 0xFFFFFFFF);
    EXPECT_EQ(DrawQuads(), PLATERR_INVALIDCALL); // outside a scene
    ASSERT_EQ(m_pDev->BeginScene(), PLAT_OK);
    EXPECT_EQ(m_pDev->BeginScene(), PLATERR_INVALIDCALL);
    m_pDev->ResetCounters();
    AddQuad(0, 0, 4, 4, 0xFFFFFFFF);
    AddQuad(4, 0, 4, 4, 0xFFFFFFFF);
    EXPECT_EQ(DrawQuads(), PLAT_OK);
    EXPECT_EQ(m_pDev->GetCounters().m_uiDrawCalls, 1u);
    EXPECT_EQ(m_pDev->GetCounters().m_uiTriangles, 4u);
    // Indices past the index buffer, or reaching past the vertex buffer, are refused.
    EXPECT_EQ(m_pDev->DrawIndexedPrimitive(PLATPT_TRIANGLELIST, 0, 4, 0, 2 * kMaxQuads + 1),
              PLATERR_INVALIDCALL);
    EXPECT_EQ(m_pDev->SetIndices(m_pIB, 4 * kMaxQuads - 2), PLAT_OK);
    EXPECT_EQ(m_pDev->DrawIndexedPrimitive(PLATPT_TRIANGLELIST, 0, 4, 0, 2), PLATERR_INVALIDCALL);
    uint8_t* p = nullptr;
    m_pVB->Lock(0, 0, &p, 0);
    EXPECT_EQ(m_pDev->DrawIndexedPrimitive(PLATPT_TRIANGLELIST, 0, 4, 0, 2),
              PLATERR_INVALIDCALL); // locked
    m_pVB->Unlock();
    EXPECT_EQ(m_pDev->GetCounters().m_uiDrawCalls, 1u);
    EXPECT_EQ(m_pDev->EndScene(), PLAT_OK);
    EXPECT_EQ(m_pDev->EndScene(), PLATERR_INVALIDCALL);
}

TEST(PlatGfxNullTest, DummyVideoDriverGivesTheNullDeviceWithTheSameBookkeeping)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_TRUE(PlatRegisterWindowClass("vla_gamewindow"));
    PlatWindow* win = PlatCreateWindow("null", 800, 600, true);
    ASSERT_NE(win, nullptr);
    PlatGfx* gfx = PlatGfxCreate();
    ASSERT_NE(gfx, nullptr);
    EXPECT_TRUE(gfx->IsNull());
    PlatAdapterIdentifier id;
    gfx->GetAdapterIdentifier(id);
    EXPECT_EQ(id.m_strDescription, "Velora null graphics device");
    PlatDisplayMode desk;
    gfx->GetAdapterDisplayMode(desk);
    // Modes: the fixed sizes up to the desktop, 16- and 32-bit each.
    ASSERT_GE(gfx->GetAdapterModeCount(), 4u);
    PlatDisplayMode m;
    ASSERT_EQ(gfx->EnumAdapterModes(2, m), PLAT_OK);
    EXPECT_EQ(m.m_uiWidth, 800u);
    EXPECT_EQ(m.m_uiFormat, uint32_t(PLATFMT_R5G6B5));
    ASSERT_EQ(gfx->EnumAdapterModes(3, m), PLAT_OK);
    EXPECT_EQ(m.m_uiFormat, uint32_t(PLATFMT_X8R8G8B8));
    EXPECT_EQ(gfx->EnumAdapterModes(gfx->GetAdapterModeCount(), m), PLATERR_INVALIDCALL);
    EXPECT_EQ(gfx->CheckDeviceFormat(PLATFMT_X8R8G8B8, PLATFMT_A4R4G4B4), PLAT_OK);
    EXPECT_EQ(gfx->CheckDeviceFormat(PLATFMT_X8R8G8B8, PLATFMT_A8), PLATERR_NOTAVAILABLE);

    PlatPresentParams pp;
    pp.m_uiBackBufferWidth = 800;
    pp.m_uiBackBufferHeight = 600;
    pp.m_uiBackBufferFormat = PLATFMT_R5G6B5;
    pp.m_bWindowed = true;
    PlatGfxDevice* dev = nullptr;
    ASSERT_EQ(gfx->CreateDevice(win, pp, &dev), PLAT_OK);
    PlatIndexBuffer* ib = nullptr;
    PlatVertexBuffer* vb = nullptr;
    ASSERT_EQ(dev->CreateIndexBuffer(12, 0, PLATFMT_INDEX16, PLATPOOL_MANAGED, &ib), PLAT_OK);
    ASSERT_EQ(dev->CreateVertexBuffer(160, 0, PLATFVF_VLAVERTEX, PLATPOOL_DEFAULT, &vb), PLAT_OK);
    uint8_t* p = nullptr;
    ib->Lock(0, 0, &p, 0);
    const uint16_t idx[6] = {0, 1, 2, 0, 2, 3};
    std::memcpy(p, idx, sizeof(idx));
    ib->Unlock();
    dev->SetIndices(ib, 0);
    dev->SetStreamSource(0, vb, 40);
    dev->SetVertexShader(PLATFVF_VLAVERTEX);
    dev->BeginScene();
    dev->Clear(PLATCLEAR_TARGET, 0xFFFFFFFF, 0, 0);
    EXPECT_EQ(dev->DrawIndexedPrimitive(PLATPT_TRIANGLELIST, 0, 4, 0, 2), PLAT_OK);
    dev->EndScene();
    EXPECT_EQ(dev->Present(), PLAT_OK);
    EXPECT_EQ(dev->GetCounters().m_uiDrawCalls, 1u);
    EXPECT_EQ(dev->GetCounters().m_uiTriangles, 2u);
    EXPECT_EQ(dev->GetCounters().m_uiPresents, 1u);
    PlatSurface* s = nullptr;
    ASSERT_EQ(dev->CreateImageSurface(800, 600, PLATFMT_A8R8G8B8, &s), PLAT_OK);
    EXPECT_EQ(dev->GetFrontBuffer(s), PLAT_OK); // no output: a black picture
    PlatLockedRect r;
    s->LockRect(r, 0);
    EXPECT_EQ(static_cast<uint32_t*>(r.m_pBits)[1234], 0xFF000000u);
    s->UnlockRect();
    EXPECT_EQ(s->Release(), 0u);
    dev->SetStreamSource(0, nullptr, 0);
    dev->SetIndices(nullptr, 0);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(ib->Release(), 0u);
    EXPECT_EQ(dev->Release(), 0u);
    EXPECT_EQ(gfx->Release(), 0u);
    PlatDestroyWindow(win);
    PlatUnregisterWindowClass();
}

TEST(PlatGfxNullTest, AReleasedDeviceOutlivedByATextureLeavesItHarmless)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_TRUE(PlatRegisterWindowClass("vla_gamewindow"));
    PlatWindow* win = PlatCreateWindow("null", 64, 64, true);
    PlatGfx* gfx = PlatGfxCreate();
    PlatPresentParams pp;
    pp.m_uiBackBufferWidth = 64;
    pp.m_uiBackBufferHeight = 64;
    pp.m_uiBackBufferFormat = PLATFMT_X8R8G8B8;
    PlatGfxDevice* dev = nullptr;
    ASSERT_EQ(gfx->CreateDevice(win, pp, &dev), PLAT_OK);
    PlatTexture* tex = nullptr;
    ASSERT_EQ(dev->CreateTexture(4, 4, 0, 0, PLATFMT_R5G6B5, PLATPOOL_MANAGED, &tex), PLAT_OK);
    EXPECT_EQ(tex->GetLevelCount(), 3u); // 4x4, 2x2, 1x1
    EXPECT_EQ(dev->CreateTexture(4, 4, 1, 0, PLATFMT_A8, PLATPOOL_MANAGED, &tex),
              PLATERR_INVALIDCALL);
    dev->SetTexture(0, tex);
    EXPECT_EQ(dev->Release(), 0u); // the device lets go of its bindings
    EXPECT_EQ(tex->Release(), 0u);
    EXPECT_EQ(gfx->Release(), 0u);
    PlatDestroyWindow(win);
    PlatUnregisterWindowClass();
}

// Quads demo: loads a texture and draws many small textured quads per frame, moving, rotating
// and coloured, through the engine's quad batch. Run without arguments it opens a window until
// it is closed; with --bench it draws a fixed number of frames and prints the throughput.
//
//   gfx_quads_demo [--quads N] [--frames F] [--bench] [--norotate]
//
// Under SDL_VIDEODRIVER=dummy the null graphics device is used: then --bench also reports the
// engine's own CPU time per quad (shaping and submission), since nothing is drawn.
#include "CVelora/cvelora.h"
#include "Platform/plat_sys.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// An 8 x 8 uncompressed PNG made here, so the demo needs no data files: a ring with soft edges.
std::vector<uint8_t> MakeTexturePng()
{
    // PNG with stored (uncompressed) deflate blocks; the CRC and Adler sums are computed here.
    auto crc32 = [](const uint8_t* p, size_t n)
    {
        uint32_t c = 0xFFFFFFFFu;
        for (size_t i = 0; i < n; ++i)
        {
            c ^= p[i];
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    };
    auto be32 = [](std::vector<uint8_t>& v, uint32_t x)
    {
        for (int s = 24; s >= 0; s -= 8)
            v.push_back(uint8_t(x >> s));
    };
    auto chunk = [&](std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data)
    {
        be32(out, uint32_t(data.size()));
        std::vector<uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        out.insert(out.end(), body.begin(), body.end());
        be32(out, crc32(body.data(), body.size()));
    };
    const int w = 8, h = 8;
    std::vector<uint8_t> raw;
    for (int y = 0; y < h; ++y)
    {
        raw.push_back(0); // no filter
        for (int x = 0; x < w; ++x)
        {
            const float dx = x - 3.5f, dy = y - 3.5f, d = std::sqrt(dx * dx + dy * dy);
            const float a = std::fmax(0.0f, 1.0f - std::fabs(d - 2.5f) / 1.5f);
            raw.insert(raw.end(),
                       {255, uint8_t(160 + 12 * x), uint8_t(255 - 12 * y), uint8_t(a * 255.0f)});
        }
    }
    std::vector<uint8_t> z = {0x78,
                              0x01,
                              0x01,
                              uint8_t(raw.size()),
                              uint8_t(raw.size() >> 8),
                              uint8_t(~raw.size()),
                              uint8_t(~raw.size() >> 8)};
    z.insert(z.end(), raw.begin(), raw.end());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw)
    {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    be32(z, (b << 16) | a);
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    be32(ihdr, w);
    be32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA
    chunk(png, "IHDR", ihdr);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

struct Sprite
{
    float x, y, vx, vy, angle, spin, r, g, b;
};

int g_iQuads = 2000;
int g_iFrames = 0;
bool g_bBench = false;
bool g_bRotate = true;
std::vector<Sprite> g_Sprites;
int g_iFrame = 0;
double g_dEngineSeconds = 0.0; // shaping and submission only

void Shape(CVelora* e, float dt)
{
    const auto t0 = std::chrono::steady_clock::now();
    for (Sprite& s : g_Sprites)
    {
        s.x += s.vx * dt;
        s.y += s.vy * dt;
        if (s.x < 0 || s.x > 792)
            s.vx = -s.vx;
        if (s.y < 0 || s.y > 592)
            s.vy = -s.vy;
        s.angle += s.spin * dt;
        e->VQuadSetPos(s.x, s.y, 8, 8, 0.5f);
        if (g_bRotate)
            e->VQuadRotate(s.x + 4, s.y + 4, s.angle);
        e->VQuadSetColor(s.r, s.g, s.b, 1.0f);
        e->SceneRender();
    }
    g_dEngineSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void DrawFrame(CVelora* e, float dt)
{
    e->SceneBegin();
    e->SceneClearScreen(0x10 / 255.0f, 0x18 / 255.0f, 0x20 / 255.0f);
    Shape(e, dt);
    e->SceneEnd();
    e->ScenePresent();
}

bool Frame()
{
    CVelora* e = GetEngine();
    DrawFrame(e, e->TimerGetDelta());
    return g_iFrames == 0 || ++g_iFrame < g_iFrames;
}

void DemoMain(CVelora* e)
{
    e->SetAppName("Velora quads demo", "v. 1.0");
    e->GfxPreinit(800, 600);
    e->GfxInit(3, true);
    const std::vector<uint8_t> png = MakeTexturePng();
    const int tex = e->TexLoadFromMemory(png.data(), int(png.size()), 3, "TEX_RING", 1, 0, 0);
    e->TexSet(tex, 0);
    // Blend the ring's soft edge over the background: texture x vertex colour.
    const std::string techniques =
        R"(<techniquespack><technique id="TEQ_RING" alphablending="ON" absrc="SRCALPHA" )"
        R"(abdest="INVSRCALPHA" s0_colorop="MODULATE" s0_colorarg1="TEXTURE" )"
        R"(s0_colorarg2="DIFFUSE" s0_alphaop="MODULATE" s0_alphaarg1="TEXTURE" )"
        R"(s0_alphaarg2="DIFFUSE" s1_colorop="DISABLE"/></techniquespack>)";
    e->TechLoadPack(techniques.data(), static_cast<int>(techniques.size()));
    e->TechApply("TEQ_RING");
    PlatGfxDevice* d = e->m_pD3DDevice;

    std::srand(12345);
    auto rnd = [](float lo, float hi) { return lo + (hi - lo) * float(std::rand()) / RAND_MAX; };
    for (int i = 0; i < g_iQuads; ++i)
        g_Sprites.push_back({rnd(0, 792), rnd(0, 592), rnd(-120, 120), rnd(-120, 120), rnd(0, 360),
                             rnd(-180, 180), rnd(0.4f, 1), rnd(0.4f, 1), rnd(0.4f, 1)});

    if (!g_bBench)
    {
        RunMainLoop(Frame);
        return;
    }
    DrawFrame(e, 0.016f); // warm-up: programs compiled, buffers sized
    g_dEngineSeconds = 0.0;
    d->ResetCounters();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < g_iFrames; ++i)
    {
        e->ProcessMessages();
        DrawFrame(e, 0.016f);
    }
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double quads = double(g_iQuads) * g_iFrames;
    std::printf("device=%s quads=%d frames=%d seconds=%.3f quads_per_s=%.0f "
                "engine_ns_per_quad=%.1f draw_calls=%llu\n",
                e->m_pD3D->IsNull() ? "null" : "gl", g_iQuads, g_iFrames, s, quads / s,
                g_dEngineSeconds * 1e9 / quads,
                static_cast<unsigned long long>(d->GetCounters().m_uiDrawCalls));
}
} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--quads") == 0 && i + 1 < argc)
            g_iQuads = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc)
            g_iFrames = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--bench") == 0)
            g_bBench = true;
        else if (std::strcmp(argv[i], "--norotate") == 0)
            g_bRotate = false;
    }
    if (g_bBench && g_iFrames <= 0)
        g_iFrames = 100;
    return VeloraProgramEntry(DemoMain);
}

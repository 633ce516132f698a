// Graphics device of the platform layer (see plat_gfx.h). One device class keeps the Direct3D-8-
// shaped bookkeeping (states, bindings, references, scene and loss rules, counters) and, unless it
// is the null device, mirrors it into OpenGL 3.3 core: pre-transformed vertices mapped to clip
// space with the Direct3D pixel-centre rule, texture stages compiled into generated fragment
// programs, an off-screen colour buffer presented to the window scaled and through the gamma ramp.
#include "Platform/plat_gfx.h"
#include "Platform/plat_window_sdl.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#if defined(NDEBUG) && !defined(PLAT_GL_DEBUG)
#define GL_CHECK(x) x
#else
#define GL_CHECK(x)                                                                                \
    do                                                                                             \
    {                                                                                              \
        x;                                                                                         \
        if (GLenum tmp_eErr = glGetError(); tmp_eErr != GL_NO_ERROR)                               \
            std::fprintf(stderr, "GL error 0x%x at %s:%d: %s\n", tmp_eErr, __FILE__, __LINE__,     \
                         #x);                                                                      \
    } while (0)
#endif

uint32_t PlatUnknown::Release()
{
    if (--m_uiRefs == 0)
    {
        delete this;
        return 0;
    }
    return m_uiRefs;
}

int PlatFormatBytesPerPixel(uint32_t fp_uiFormat)
{
    switch (fp_uiFormat)
    {
    case PLATFMT_A8R8G8B8:
    case PLATFMT_X8R8G8B8:
        return 4;
    case PLATFMT_R5G6B5:
    case PLATFMT_X1R5G5B5:
    case PLATFMT_A1R5G5B5:
    case PLATFMT_A4R4G4B4:
    case PLATFMT_A8R3G3B2:
    case PLATFMT_X4R4G4B4:
        return 2;
    default:
        return 0;
    }
}

namespace
{
const PlatGfxTestAdapter* g_pTestAdapter = nullptr;

bool IsTextureFormat(uint32_t fp_uiFormat)
{
    return PlatFormatBytesPerPixel(fp_uiFormat) != 0;
}

bool IsDisplayFormat(uint32_t fp_uiFormat)
{
    return fp_uiFormat == PLATFMT_A8R8G8B8 || fp_uiFormat == PLATFMT_X8R8G8B8 ||
           fp_uiFormat == PLATFMT_R5G6B5 || fp_uiFormat == PLATFMT_X1R5G5B5;
}

uint32_t ReadSysHex(const std::string& fp_strPath)
{
    std::ifstream tmp_File(fp_strPath);
    std::string tmp_strText;
    if (!(tmp_File >> tmp_strText))
        return 0;
    return static_cast<uint32_t>(std::strtoul(tmp_strText.c_str(), nullptr, 16));
}

// PCI identity of the first DRM card that names one.
void ReadPciIds(uint32_t& fp_uiVendor, uint32_t& fp_uiDevice)
{
    fp_uiVendor = fp_uiDevice = 0;
    for (int i = 0; i < 8; ++i)
    {
        std::string tmp_strBase = "/sys/class/drm/card" + std::to_string(i) + "/device/";
        uint32_t tmp_uiVendor = ReadSysHex(tmp_strBase + "vendor");
        if (tmp_uiVendor != 0)
        {
            fp_uiVendor = tmp_uiVendor;
            fp_uiDevice = ReadSysHex(tmp_strBase + "device");
            return;
        }
    }
}

void SetCoreContextAttributes()
{
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

// ---------------------------------------------------------------------------------------------
// Adapter
// ---------------------------------------------------------------------------------------------
class CGfxAdapter final : public PlatGfx
{
public:
    bool Init();
    bool IsNull() const override { return m_bNull; }
    PlatResult GetAdapterIdentifier(PlatAdapterIdentifier& fp_Id) override
    {
        fp_Id = m_Identifier;
        return PLAT_OK;
    }
    PlatResult GetAdapterDisplayMode(PlatDisplayMode& fp_Mode) override
    {
        fp_Mode = m_Desktop;
        return PLAT_OK;
    }
    uint32_t GetAdapterModeCount() override { return static_cast<uint32_t>(m_Modes.size()); }
    PlatResult EnumAdapterModes(uint32_t fp_uiMode, PlatDisplayMode& fp_Mode) override
    {
        if (fp_uiMode >= m_Modes.size())
            return PLATERR_INVALIDCALL;
        fp_Mode = m_Modes[fp_uiMode];
        return PLAT_OK;
    }
    PlatResult CheckDeviceFormat(uint32_t fp_uiAdapterFormat, uint32_t fp_uiCheckFormat) override
    {
        if (!IsDisplayFormat(fp_uiAdapterFormat))
            return PLATERR_INVALIDCALL;
        if (!IsTextureFormat(fp_uiCheckFormat) || m_Unusable.count(fp_uiCheckFormat) != 0)
            return PLATERR_NOTAVAILABLE;
        return PLAT_OK;
    }
    PlatResult GetDeviceCaps(PlatCaps& fp_Caps) override
    {
        fp_Caps = m_Caps;
        return PLAT_OK;
    }
    PlatResult CreateDevice(PlatWindow* fp_pWindow, const PlatPresentParams& fp_Params,
                            PlatGfxDevice** fp_ppDevice) override;

    bool IsUsable(uint32_t fp_uiFormat) const
    {
        return IsTextureFormat(fp_uiFormat) && m_Unusable.count(fp_uiFormat) == 0;
    }
    uint32_t GetMaxTextureSize() const { return m_Caps.m_uiMaxTextureWidth; }

private:
    ~CGfxAdapter() override
    {
        if (m_bVideoStarted)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool m_bVideoStarted = false;
    bool m_bNull = true;
    PlatAdapterIdentifier m_Identifier;
    PlatDisplayMode m_Desktop;
    std::vector<PlatDisplayMode> m_Modes;
    std::set<uint32_t> m_Unusable;
    PlatCaps m_Caps;
};

bool CGfxAdapter::Init()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return false;
    m_bVideoStarted = true;

    SDL_DisplayMode tmp_Desk{};
    if (SDL_GetDesktopDisplayMode(0, &tmp_Desk) != 0)
        tmp_Desk = SDL_DisplayMode{SDL_PIXELFORMAT_RGB888, 1024, 768, 60, nullptr};
    m_Desktop.m_uiWidth = static_cast<uint32_t>(tmp_Desk.w);
    m_Desktop.m_uiHeight = static_cast<uint32_t>(tmp_Desk.h);
    m_Desktop.m_uiRefreshRate = tmp_Desk.refresh_rate > 0 ? tmp_Desk.refresh_rate : 60;
    m_Desktop.m_uiFormat =
        SDL_BITSPERPIXEL(tmp_Desk.format) == 16 ? PLATFMT_R5G6B5 : PLATFMT_X8R8G8B8;

    // A hidden window tells whether the driver gives a GL 3.3 core context, and what GL it is.
    GLint tmp_iMaxTexture = 4096;
    m_Identifier.m_strDescription = "Velora null graphics device";
    m_Identifier.m_strDriver = "null";
    SetCoreContextAttributes();
    if (SDL_Window* tmp_pProbe =
            SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN))
    {
        if (SDL_GLContext tmp_Ctx = SDL_GL_CreateContext(tmp_pProbe))
        {
            m_bNull = false;
            const char* tmp_pszRenderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
            const char* tmp_pszVersion = reinterpret_cast<const char*>(glGetString(GL_VERSION));
            m_Identifier.m_strDescription = tmp_pszRenderer ? tmp_pszRenderer : "OpenGL";
            m_Identifier.m_strDriver = tmp_pszVersion ? tmp_pszVersion : "";
            glGetIntegerv(GL_MAX_TEXTURE_SIZE, &tmp_iMaxTexture);
            SDL_GL_DeleteContext(tmp_Ctx);
        }
        SDL_DestroyWindow(tmp_pProbe);
    }
    ReadPciIds(m_Identifier.m_uiVendorId, m_Identifier.m_uiDeviceId);

    // Fixed sizes in a 16-bit and a 32-bit format each, and the desktop, as far as they fit.
    const uint32_t tmp_Sizes[3][2] = {{640, 480}, {800, 600}, {1024, 768}};
    bool tmp_bDesktopListed = false;
    for (const auto& tmp_Size : tmp_Sizes)
    {
        if (tmp_Size[0] > m_Desktop.m_uiWidth || tmp_Size[1] > m_Desktop.m_uiHeight)
            continue;
        if (tmp_Size[0] == m_Desktop.m_uiWidth && tmp_Size[1] == m_Desktop.m_uiHeight)
            tmp_bDesktopListed = true;
        for (uint32_t tmp_uiFmt : {uint32_t(PLATFMT_R5G6B5), uint32_t(PLATFMT_X8R8G8B8)})
            m_Modes.push_back({tmp_Size[0], tmp_Size[1], m_Desktop.m_uiRefreshRate, tmp_uiFmt});
    }
    if (!tmp_bDesktopListed)
        for (uint32_t tmp_uiFmt : {uint32_t(PLATFMT_R5G6B5), uint32_t(PLATFMT_X8R8G8B8)})
            m_Modes.push_back(
                {m_Desktop.m_uiWidth, m_Desktop.m_uiHeight, m_Desktop.m_uiRefreshRate, tmp_uiFmt});

    m_Caps.m_uiCaps2 = PLATCAPS2_CANRENDERWINDOWED | PLATCAPS2_FULLSCREENGAMMA;
    m_Caps.m_uiRasterCaps = PLATPRASTERCAPS_FOGVERTEX;
    m_Caps.m_uiTextureCaps = PLATPTEXTURECAPS_MIPMAP;
    m_Caps.m_uiTextureAddressCaps = PLATPTADDRESSCAPS_WRAP | PLATPTADDRESSCAPS_MIRROR |
                                    PLATPTADDRESSCAPS_CLAMP | PLATPTADDRESSCAPS_BORDER;
    m_Caps.m_uiTextureOpCaps = PLATTEXOPCAPS_DOTPRODUCT3 | 0x0007FFFF;
    m_Caps.m_uiMaxTextureWidth = static_cast<uint32_t>(tmp_iMaxTexture);
    m_Caps.m_uiMaxTextureHeight = static_cast<uint32_t>(tmp_iMaxTexture);
    m_Caps.m_uiMaxTextureBlendStages = PLAT_MAX_STAGES;
    m_Caps.m_uiMaxSimultaneousTextures = PLAT_MAX_STAGES;

    if (g_pTestAdapter != nullptr)
    {
        if (g_pTestAdapter->m_Identifier)
            m_Identifier = *g_pTestAdapter->m_Identifier;
        if (g_pTestAdapter->m_DesktopMode)
            m_Desktop = *g_pTestAdapter->m_DesktopMode;
        if (g_pTestAdapter->m_Modes)
            m_Modes = *g_pTestAdapter->m_Modes;
        if (g_pTestAdapter->m_Caps)
            m_Caps = *g_pTestAdapter->m_Caps;
        m_Unusable.insert(g_pTestAdapter->m_UnusableFormats.begin(),
                          g_pTestAdapter->m_UnusableFormats.end());
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Resources
// ---------------------------------------------------------------------------------------------
class CGfxDevice;

// Every resource is known to its device, which detaches the survivors when it goes.
class CResource
{
public:
    virtual void Detach() = 0; // the device is going: drop GL objects, forget the device
protected:
    ~CResource() = default;
};

class CTexture final : public PlatTexture, public CResource
{
public:
    CTexture(CGfxDevice* fp_pDevice, uint32_t fp_uiWidth, uint32_t fp_uiHeight,
             uint32_t fp_uiLevels, uint32_t fp_uiFormat, uint32_t fp_uiPool);
    uint32_t GetLevelCount() const override { return static_cast<uint32_t>(m_Levels.size()); }
    uint32_t GetFormat() const override { return m_uiFormat; }
    PlatResult GetLevelSize(uint32_t fp_uiLevel, uint32_t& fp_uiWidth,
                            uint32_t& fp_uiHeight) const override
    {
        if (fp_uiLevel >= m_Levels.size())
            return PLATERR_INVALIDCALL;
        fp_uiWidth = LevelWidth(fp_uiLevel);
        fp_uiHeight = LevelHeight(fp_uiLevel);
        return PLAT_OK;
    }
    PlatResult LockRect(uint32_t fp_uiLevel, PlatLockedRect& fp_Rect, uint32_t) override
    {
        if (fp_uiLevel >= m_Levels.size() || m_iLockedLevel >= 0)
            return PLATERR_INVALIDCALL;
        m_iLockedLevel = static_cast<int>(fp_uiLevel);
        fp_Rect.m_iPitch = static_cast<int>(LevelWidth(fp_uiLevel)) * m_iBpp;
        fp_Rect.m_pBits = m_Levels[fp_uiLevel].data();
        return PLAT_OK;
    }
    PlatResult UnlockRect(uint32_t fp_uiLevel) override;
    void Detach() override;

    uint32_t LevelWidth(uint32_t fp_uiLevel) const { return std::max(1u, m_uiWidth >> fp_uiLevel); }
    uint32_t LevelHeight(uint32_t fp_uiLevel) const
    {
        return std::max(1u, m_uiHeight >> fp_uiLevel);
    }
    GLuint GetGLName() const { return m_uiGL; }

private:
    ~CTexture() override;
    void Upload(uint32_t fp_uiLevel);

    CGfxDevice* m_pDevice;
    uint32_t m_uiWidth, m_uiHeight, m_uiFormat, m_uiPool;
    int m_iBpp;
    int m_iLockedLevel = -1;
    std::vector<std::vector<uint8_t>> m_Levels;
    GLuint m_uiGL = 0;
};

class CVertexBuffer final : public PlatVertexBuffer, public CResource
{
public:
    CVertexBuffer(CGfxDevice* fp_pDevice, uint32_t fp_uiLength, uint32_t fp_uiPool);
    PlatResult Lock(uint32_t fp_uiOffset, uint32_t fp_uiSize, uint8_t** fp_ppData,
                    uint32_t) override
    {
        if (m_bLocked || fp_uiOffset > m_Data.size() || fp_uiSize > m_Data.size() - fp_uiOffset)
            return PLATERR_INVALIDCALL;
        m_bLocked = true;
        *fp_ppData = m_Data.data() + fp_uiOffset;
        return PLAT_OK;
    }
    PlatResult Unlock() override
    {
        if (!m_bLocked)
            return PLATERR_INVALIDCALL;
        m_bLocked = false;
        return PLAT_OK;
    }
    void Detach() override;

    std::vector<uint8_t> m_Data;
    bool m_bLocked = false;
    GLuint m_uiGL = 0;

private:
    ~CVertexBuffer() override;
    CGfxDevice* m_pDevice;
    uint32_t m_uiPool;
};

class CIndexBuffer final : public PlatIndexBuffer, public CResource
{
public:
    CIndexBuffer(CGfxDevice* fp_pDevice, uint32_t fp_uiLength, uint32_t fp_uiFormat,
                 uint32_t fp_uiPool);
    PlatResult Lock(uint32_t fp_uiOffset, uint32_t fp_uiSize, uint8_t** fp_ppData,
                    uint32_t) override
    {
        if (m_bLocked || fp_uiOffset > m_Data.size() || fp_uiSize > m_Data.size() - fp_uiOffset)
            return PLATERR_INVALIDCALL;
        m_bLocked = true;
        *fp_ppData = m_Data.data() + fp_uiOffset;
        return PLAT_OK;
    }
    PlatResult Unlock() override;
    void Detach() override;

    std::vector<uint8_t> m_Data;
    uint32_t m_uiFormat;
    bool m_bLocked = false;
    GLuint m_uiGL = 0;
    // The index range of the last checked draw: the same draw on unchanged indices (every full
    // batch) needs no second scan. Cleared by every unlock.
    bool m_bRangeKnown = false;
    uint32_t m_uiRangeStart = 0, m_uiRangeCount = 0, m_uiRangeMin = 0, m_uiRangeMax = 0;

private:
    ~CIndexBuffer() override;
    CGfxDevice* m_pDevice;
    uint32_t m_uiPool;
};

class CSurface final : public PlatSurface
{
public:
    CSurface(uint32_t fp_uiWidth, uint32_t fp_uiHeight, uint32_t fp_uiFormat)
        : m_uiWidth(fp_uiWidth), m_uiHeight(fp_uiHeight), m_uiFormat(fp_uiFormat),
          m_Data(size_t(fp_uiWidth) * fp_uiHeight * PlatFormatBytesPerPixel(fp_uiFormat))
    {
    }
    uint32_t GetWidth() const override { return m_uiWidth; }
    uint32_t GetHeight() const override { return m_uiHeight; }
    uint32_t GetFormat() const override { return m_uiFormat; }
    PlatResult LockRect(PlatLockedRect& fp_Rect, uint32_t) override
    {
        if (m_bLocked)
            return PLATERR_INVALIDCALL;
        m_bLocked = true;
        fp_Rect.m_iPitch = static_cast<int>(m_uiWidth) * PlatFormatBytesPerPixel(m_uiFormat);
        fp_Rect.m_pBits = m_Data.data();
        return PLAT_OK;
    }
    PlatResult UnlockRect() override
    {
        if (!m_bLocked)
            return PLATERR_INVALIDCALL;
        m_bLocked = false;
        return PLAT_OK;
    }

    uint32_t m_uiWidth, m_uiHeight, m_uiFormat;
    std::vector<uint8_t> m_Data;
    bool m_bLocked = false;
};

// ---------------------------------------------------------------------------------------------
// Fragment programs generated from the texture-stage and fog states
// ---------------------------------------------------------------------------------------------
struct StageKey
{
    uint8_t m_ColorOp, m_ColorArg1, m_ColorArg2, m_AlphaOp, m_AlphaArg1, m_AlphaArg2;
    uint8_t m_TexCoord, m_HasTexture;
};

struct ProgramKey
{
    StageKey m_Stages[PLAT_MAX_STAGES];
    uint8_t m_Count = 0; // stages before the first disabled one
    uint8_t m_Fog = 0, m_Specular = 0, m_AlphaFunc = 0;

    std::string Bytes() const
    {
        std::string tmp_str(reinterpret_cast<const char*>(m_Stages), sizeof(StageKey) * m_Count);
        tmp_str.push_back(char(m_Count));
        tmp_str.push_back(char(m_Fog));
        tmp_str.push_back(char(m_Specular));
        tmp_str.push_back(char(m_AlphaFunc));
        return tmp_str;
    }
};

const char* kVertexShader = R"(#version 330 core
layout(location = 0) in vec4 aPos;
layout(location = 1) in vec4 aDiffuse;
layout(location = 2) in vec4 aSpecular;
layout(location = 3) in vec2 aTex0;
layout(location = 4) in vec2 aTex1;
uniform vec2 uScreen;
out vec4 vDiffuse;
out vec4 vSpecular;
out vec2 vTex0;
out vec2 vTex1;
void main()
{
    // Pixel centres lie on integer screen coordinates; y grows downwards.
    float w = aPos.w > 0.0 ? 1.0 / aPos.w : 1.0;
    vec2 ndc = vec2((aPos.x + 0.5) * 2.0 / uScreen.x - 1.0, 1.0 - (aPos.y + 0.5) * 2.0 / uScreen.y);
    gl_Position = vec4(ndc * w, 0.0, w);
    vDiffuse = aDiffuse;
    vSpecular = aSpecular;
    vTex0 = aTex0;
    vTex1 = aTex1;
}
)";

std::string ArgExpr(uint32_t fp_uiArg, int fp_iStage, bool fp_bAlpha)
{
    std::string tmp_strBase;
    switch (fp_uiArg & PLATTA_SELECTMASK)
    {
    case PLATTA_DIFFUSE:
        tmp_strBase = "vDiffuse";
        break;
    case PLATTA_TEXTURE:
        tmp_strBase = "t" + std::to_string(fp_iStage);
        break;
    case PLATTA_TFACTOR:
        tmp_strBase = "uTFactor";
        break;
    case PLATTA_SPECULAR:
        tmp_strBase = "vSpecular";
        break;
    default: // CURRENT and anything unknown
        tmp_strBase = "prev";
        break;
    }
    if (fp_uiArg & PLATTA_ALPHAREPLICATE)
        tmp_strBase = "vec4(" + tmp_strBase + ".a)";
    if (fp_uiArg & PLATTA_COMPLEMENT)
        tmp_strBase = "(vec4(1.0) - " + tmp_strBase + ")";
    return tmp_strBase + (fp_bAlpha ? ".a" : ".rgb");
}

std::string OpExpr(uint32_t fp_uiOp, const std::string& a1, const std::string& a2, int fp_iStage)
{
    const std::string t = "t" + std::to_string(fp_iStage);
    switch (fp_uiOp)
    {
    case PLATTOP_SELECTARG1:
        return a1;
    case PLATTOP_SELECTARG2:
        return a2;
    case PLATTOP_MODULATE2X:
        return "(" + a1 + " * " + a2 + " * 2.0)";
    case PLATTOP_MODULATE4X:
        return "(" + a1 + " * " + a2 + " * 4.0)";
    case PLATTOP_ADD:
        return "(" + a1 + " + " + a2 + ")";
    case PLATTOP_ADDSIGNED:
        return "(" + a1 + " + " + a2 + " - 0.5)";
    case PLATTOP_ADDSIGNED2X:
        return "((" + a1 + " + " + a2 + " - 0.5) * 2.0)";
    case PLATTOP_SUBTRACT:
        return "(" + a1 + " - " + a2 + ")";
    case PLATTOP_ADDSMOOTH:
        return "(" + a1 + " + " + a2 + " - " + a1 + " * " + a2 + ")";
    case PLATTOP_BLENDDIFFUSEALPHA:
        return "mix(" + a2 + ", " + a1 + ", vDiffuse.a)";
    case PLATTOP_BLENDTEXTUREALPHA:
        return "mix(" + a2 + ", " + a1 + ", " + t + ".a)";
    case PLATTOP_BLENDFACTORALPHA:
        return "mix(" + a2 + ", " + a1 + ", uTFactor.a)";
    case PLATTOP_BLENDTEXTUREALPHAPM:
        return "(" + a1 + " + " + a2 + " * (1.0 - " + t + ".a))";
    case PLATTOP_BLENDCURRENTALPHA:
        return "mix(" + a2 + ", " + a1 + ", prev.a)";
    default: // MODULATE and the operations this device does not offer
        return "(" + a1 + " * " + a2 + ")";
    }
}

std::string GenerateFragmentShader(const ProgramKey& fp_Key)
{
    std::string s = "#version 330 core\nin vec4 vDiffuse;\nin vec4 vSpecular;\nin vec2 vTex0;\n"
                    "in vec2 vTex1;\nuniform vec4 uTFactor;\nuniform vec3 uFogColor;\n"
                    "uniform float uAlphaRef;\nout vec4 oColor;\n";
    for (int i = 0; i < fp_Key.m_Count; ++i)
        if (fp_Key.m_Stages[i].m_HasTexture)
            s += "uniform sampler2D uTex" + std::to_string(i) + ";\n";
    s += "void main()\n{\n    vec4 cur = vDiffuse;\n    vec4 prev;\n";
    for (int i = 0; i < fp_Key.m_Count; ++i)
    {
        const StageKey& k = fp_Key.m_Stages[i];
        const std::string si = std::to_string(i);
        // A stage without a texture reads opaque white.
        s += "    vec4 t" + si + " = " +
             (k.m_HasTexture ? "texture(uTex" + si + ", vTex" + std::to_string(k.m_TexCoord) + ")"
                             : std::string("vec4(1.0)")) +
             ";\n    prev = cur;\n";
        std::string tmp_strColor;
        if (k.m_ColorOp == PLATTOP_DOTPRODUCT3)
            tmp_strColor = "vec3(clamp(4.0 * dot(" + ArgExpr(k.m_ColorArg1, i, false) + " - 0.5, " +
                           ArgExpr(k.m_ColorArg2, i, false) + " - 0.5), 0.0, 1.0))";
        else
            tmp_strColor = OpExpr(k.m_ColorOp, ArgExpr(k.m_ColorArg1, i, false),
                                  ArgExpr(k.m_ColorArg2, i, false), i);
        s += "    cur.rgb = clamp(" + tmp_strColor + ", 0.0, 1.0);\n";
        if (k.m_ColorOp == PLATTOP_DOTPRODUCT3)
            s += "    cur.a = cur.r;\n"; // the dot product goes to every channel
        else if (k.m_AlphaOp != PLATTOP_DISABLE)
            s += "    cur.a = clamp(" +
                 OpExpr(k.m_AlphaOp, ArgExpr(k.m_AlphaArg1, i, true),
                        ArgExpr(k.m_AlphaArg2, i, true), i) +
                 ", 0.0, 1.0);\n";
    }
    if (fp_Key.m_Specular)
        s += "    cur.rgb = clamp(cur.rgb + vSpecular.rgb, 0.0, 1.0);\n";
    if (fp_Key.m_Fog) // specular alpha carries the fog factor of pre-transformed vertices
        s += "    cur.rgb = mix(uFogColor, cur.rgb, vSpecular.a);\n";
    if (fp_Key.m_AlphaFunc != 0 && fp_Key.m_AlphaFunc != PLATCMP_ALWAYS)
    {
        static const char* const kCmp[] = {"", "false", "<", "==", "<=", ">", "!=", ">="};
        s += "    float a8 = floor(cur.a * 255.0 + 0.5);\n";
        if (fp_Key.m_AlphaFunc == PLATCMP_NEVER)
            s += "    discard;\n";
        else if (fp_Key.m_AlphaFunc < 8)
            s +=
                std::string("    if (!(a8 ") + kCmp[fp_Key.m_AlphaFunc] + " uAlphaRef)) discard;\n";
    }
    s += "    oColor = cur;\n}\n";
    return s;
}

const char* kPresentVertexShader = R"(#version 330 core
out vec2 vUV;
void main()
{
    vec2 p = vec2(float(gl_VertexID & 1), float((gl_VertexID >> 1) & 1));
    vUV = p;
    gl_Position = vec4(p * 2.0 - 1.0, 0.0, 1.0);
}
)";

const char* kPresentFragmentShader = R"(#version 330 core
in vec2 vUV;
uniform sampler2D uPicture;
uniform sampler2D uGamma;
out vec4 oColor;
void main()
{
    ivec3 i = ivec3(floor(texture(uPicture, vUV).rgb * 255.0 + 0.5));
    oColor = vec4(texelFetch(uGamma, ivec2(i.r, 0), 0).r, texelFetch(uGamma, ivec2(i.g, 0), 0).g,
                  texelFetch(uGamma, ivec2(i.b, 0), 0).b, 1.0);
}
)";

GLuint CompileProgram(const char* fp_pszVertex, const std::string& fp_strFragment)
{
    auto tmp_Compile = [](GLenum fp_eType, const char* fp_pszSource) -> GLuint
    {
        GLuint tmp_uiShader = glCreateShader(fp_eType);
        glShaderSource(tmp_uiShader, 1, &fp_pszSource, nullptr);
        glCompileShader(tmp_uiShader);
        GLint tmp_iOk = 0;
        glGetShaderiv(tmp_uiShader, GL_COMPILE_STATUS, &tmp_iOk);
        if (!tmp_iOk)
        {
            char tmp_szLog[1024] = {};
            glGetShaderInfoLog(tmp_uiShader, sizeof(tmp_szLog), nullptr, tmp_szLog);
            std::fprintf(stderr, "plat_gfx: shader compile failed: %s\n%s\n", tmp_szLog,
                         fp_pszSource);
        }
        return tmp_uiShader;
    };
    GLuint tmp_uiVS = tmp_Compile(GL_VERTEX_SHADER, fp_pszVertex);
    GLuint tmp_uiFS = tmp_Compile(GL_FRAGMENT_SHADER, fp_strFragment.c_str());
    GLuint tmp_uiProg = glCreateProgram();
    glAttachShader(tmp_uiProg, tmp_uiVS);
    glAttachShader(tmp_uiProg, tmp_uiFS);
    glLinkProgram(tmp_uiProg);
    glDeleteShader(tmp_uiVS);
    glDeleteShader(tmp_uiFS);
    GLint tmp_iOk = 0;
    glGetProgramiv(tmp_uiProg, GL_LINK_STATUS, &tmp_iOk);
    if (!tmp_iOk)
    {
        char tmp_szLog[1024] = {};
        glGetProgramInfoLog(tmp_uiProg, sizeof(tmp_szLog), nullptr, tmp_szLog);
        std::fprintf(stderr, "plat_gfx: program link failed: %s\n", tmp_szLog);
    }
    return tmp_uiProg;
}

GLenum BlendFactorGL(uint32_t fp_uiBlend)
{
    switch (fp_uiBlend)
    {
    case PLATBLEND_ZERO:
        return GL_ZERO;
    case PLATBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case PLATBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case PLATBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case PLATBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case PLATBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case PLATBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case PLATBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case PLATBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case PLATBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLint AddressGL(uint32_t fp_uiMode)
{
    switch (fp_uiMode)
    {
    case PLATTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case PLATTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case PLATTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

// ---------------------------------------------------------------------------------------------
// Device
// ---------------------------------------------------------------------------------------------
class CGfxDevice final : public PlatGfxDevice
{
public:
    CGfxDevice(CGfxAdapter* fp_pAdapter, const PlatPresentParams& fp_Params);
    bool InitGL(SDL_Window* fp_pWindow);
    bool IsGL() const { return m_Context != nullptr; }

    PlatResult TestCooperativeLevel() override { return m_iLostState; }
    PlatResult Reset(const PlatPresentParams& fp_Params) override;

    PlatResult CreateIndexBuffer(uint32_t fp_uiLength, uint32_t, uint32_t fp_uiFormat,
                                 uint32_t fp_uiPool, PlatIndexBuffer** fp_ppBuffer) override;
    PlatResult CreateVertexBuffer(uint32_t fp_uiLength, uint32_t, uint32_t, uint32_t fp_uiPool,
                                  PlatVertexBuffer** fp_ppBuffer) override;
    PlatResult CreateTexture(uint32_t fp_uiWidth, uint32_t fp_uiHeight, uint32_t fp_uiLevels,
                             uint32_t, uint32_t fp_uiFormat, uint32_t fp_uiPool,
                             PlatTexture** fp_ppTexture) override;
    PlatResult CreateImageSurface(uint32_t fp_uiWidth, uint32_t fp_uiHeight, uint32_t fp_uiFormat,
                                  PlatSurface** fp_ppSurface) override;

    PlatResult SetIndices(PlatIndexBuffer* fp_pBuffer, uint32_t fp_uiBaseVertex) override;
    PlatResult SetStreamSource(uint32_t fp_uiStream, PlatVertexBuffer* fp_pBuffer,
                               uint32_t fp_uiStride) override;
    PlatResult SetVertexShader(uint32_t fp_uiFVF) override
    {
        m_uiFVF = fp_uiFVF;
        return fp_uiFVF == PLATFVF_VLAVERTEX ? PLAT_OK : PLATERR_INVALIDCALL;
    }
    PlatResult SetRenderState(uint32_t fp_uiState, uint32_t fp_uiValue) override;
    PlatResult GetRenderState(uint32_t fp_uiState, uint32_t& fp_uiValue) override
    {
        if (fp_uiState >= PLAT_RENDERSTATE_COUNT)
            return PLATERR_INVALIDCALL;
        fp_uiValue = m_RS[fp_uiState];
        return PLAT_OK;
    }
    PlatResult SetTextureStageState(uint32_t fp_uiStage, uint32_t fp_uiType,
                                    uint32_t fp_uiValue) override;
    PlatResult GetTextureStageState(uint32_t fp_uiStage, uint32_t fp_uiType,
                                    uint32_t& fp_uiValue) override
    {
        if (fp_uiStage >= PLAT_MAX_STAGES || fp_uiType >= PLAT_TSS_COUNT)
            return PLATERR_INVALIDCALL;
        fp_uiValue = m_TSS[fp_uiStage][fp_uiType];
        return PLAT_OK;
    }
    PlatResult SetTexture(uint32_t fp_uiStage, PlatTexture* fp_pTexture) override;
    PlatTexture* GetTexture(uint32_t fp_uiStage) override
    {
        return fp_uiStage < PLAT_MAX_STAGES ? m_pTextures[fp_uiStage] : nullptr;
    }

    PlatResult BeginScene() override
    {
        if (m_bInScene)
            return PLATERR_INVALIDCALL;
        m_bInScene = true;
        return PLAT_OK;
    }
    PlatResult EndScene() override
    {
        if (!m_bInScene)
            return PLATERR_INVALIDCALL;
        m_bInScene = false;
        return PLAT_OK;
    }
    PlatResult DrawIndexedPrimitive(uint32_t fp_uiType, uint32_t fp_uiMinIndex,
                                    uint32_t fp_uiNumVertices, uint32_t fp_uiStartIndex,
                                    uint32_t fp_uiPrimCount) override;
    PlatResult Clear(uint32_t fp_uiFlags, uint32_t fp_uiColor, float, uint32_t) override;
    PlatResult Present() override;
    PlatResult SetViewport(const PlatViewport& fp_Viewport) override;
    PlatResult GetViewport(PlatViewport& fp_Viewport) override
    {
        fp_Viewport = m_Viewport;
        return PLAT_OK;
    }
    void SetGammaRamp(uint32_t, const PlatGammaRamp& fp_Ramp) override;
    void GetGammaRamp(PlatGammaRamp& fp_Ramp) override { fp_Ramp = m_Gamma; }
    bool ShowCursor(bool fp_bShow) override
    {
        bool tmp_bOld = m_bCursorShown;
        m_bCursorShown = fp_bShow;
        return tmp_bOld;
    }
    PlatResult GetFrontBuffer(PlatSurface* fp_pSurface) override;

    const PlatGfxCounters& GetCounters() const override { return m_Counters; }
    void ResetCounters() override { m_Counters = PlatGfxCounters{}; }

    // Resource bookkeeping
    void AddResource(CResource* fp_pRes, uint32_t fp_uiPool)
    {
        m_Resources.insert(fp_pRes);
        if (fp_uiPool == PLATPOOL_DEFAULT)
            ++m_iDefaultPoolObjects;
    }
    void RemoveResource(CResource* fp_pRes, uint32_t fp_uiPool)
    {
        m_Resources.erase(fp_pRes);
        if (fp_uiPool == PLATPOOL_DEFAULT)
            --m_iDefaultPoolObjects;
    }
    // GL reuses deleted names: forget a deleted buffer so a new one of that name is attached.
    void ForgetBuffer(GLuint fp_uiName)
    {
        if (m_uiBoundVB == fp_uiName)
            m_uiBoundVB = 0;
        if (m_uiBoundIB == fp_uiName)
            m_uiBoundIB = 0;
    }
    void BindTextureUnit(uint32_t fp_uiUnit, GLuint fp_uiTex)
    {
        glActiveTexture(GL_TEXTURE0 + fp_uiUnit);
        glBindTexture(GL_TEXTURE_2D, fp_uiTex);
        m_bTexturesDirty = true; // the stage bindings must be restored before the next draw
    }

    PlatResult m_iLostState = PLAT_OK;
    int m_iFailResets = 0;
    bool m_bCaptureWindow = false;
    int m_iCaptureWidth = 0, m_iCaptureHeight = 0;
    std::vector<uint32_t> m_Capture;

private:
    ~CGfxDevice() override;
    void SetDefaultStates();
    void UnbindAll();
    bool CreateTargets();
    void DestroyTargets();
    void ApplyGLState();
    void UpdateSampler(uint32_t fp_uiStage);
    GLuint ProgramFor(const ProgramKey& fp_Key);

    CGfxAdapter* m_pAdapter;
    PlatPresentParams m_Params;
    std::set<CResource*> m_Resources;
    int m_iDefaultPoolObjects = 0;

    uint32_t m_RS[PLAT_RENDERSTATE_COUNT] = {};
    uint32_t m_TSS[PLAT_MAX_STAGES][PLAT_TSS_COUNT] = {};
    PlatTexture* m_pTextures[PLAT_MAX_STAGES] = {};
    CVertexBuffer* m_pStream = nullptr;
    uint32_t m_uiStride = 0;
    CIndexBuffer* m_pIndices = nullptr;
    uint32_t m_uiBaseVertex = 0;
    uint32_t m_uiFVF = 0;
    bool m_bInScene = false;
    bool m_bCursorShown = true;
    PlatViewport m_Viewport;
    PlatGammaRamp m_Gamma{};
    bool m_bGammaIdentity = true;
    PlatGfxCounters m_Counters;

    // GL side
    SDL_Window* m_pWindow = nullptr;
    SDL_GLContext m_Context = nullptr;
    GLuint m_uiVAO = 0, m_uiFBO = 0, m_uiColorTex = 0, m_uiFrontFBO = 0, m_uiFrontTex = 0;
    GLuint m_uiGammaTex = 0, m_uiPresentProg = 0;
    GLuint m_Samplers[PLAT_MAX_STAGES] = {};
    std::unordered_map<std::string, GLuint> m_Programs;
    GLuint m_uiProgram = 0;
    GLuint m_uiBoundVB = 0, m_uiBoundIB = 0;
    bool m_bProgramDirty = true, m_bUniformsDirty = true, m_bBlendDirty = true;
    bool m_bCullDirty = true, m_bScissorDirty = true, m_bTexturesDirty = true;
    bool m_bTargetBound = false;
    uint32_t m_SamplerDirty = 0xFF;
};

// ---- resources ----
CTexture::CTexture(CGfxDevice* fp_pDevice, uint32_t fp_uiWidth, uint32_t fp_uiHeight,
                   uint32_t fp_uiLevels, uint32_t fp_uiFormat, uint32_t fp_uiPool)
    : m_pDevice(fp_pDevice), m_uiWidth(fp_uiWidth), m_uiHeight(fp_uiHeight),
      m_uiFormat(fp_uiFormat), m_uiPool(fp_uiPool), m_iBpp(PlatFormatBytesPerPixel(fp_uiFormat))
{
    for (uint32_t i = 0; i < fp_uiLevels; ++i)
        m_Levels.emplace_back(size_t(LevelWidth(i)) * LevelHeight(i) * m_iBpp, uint8_t(0));
    m_pDevice->AddResource(this, m_uiPool);
    if (m_pDevice->IsGL())
    {
        glGenTextures(1, &m_uiGL);
        m_pDevice->BindTextureUnit(0, m_uiGL);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(fp_uiLevels) - 1);
        if (m_uiFormat == PLATFMT_X8R8G8B8 || m_uiFormat == PLATFMT_X1R5G5B5 ||
            m_uiFormat == PLATFMT_X4R4G4B4)
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        for (uint32_t i = 0; i < fp_uiLevels; ++i)
            Upload(i);
    }
}

CTexture::~CTexture()
{
    if (m_pDevice != nullptr)
    {
        if (m_uiGL != 0)
            glDeleteTextures(1, &m_uiGL);
        m_pDevice->RemoveResource(this, m_uiPool);
    }
}

void CTexture::Detach()
{
    m_uiGL = 0; // deleted with the context
    m_pDevice = nullptr;
}

PlatResult CTexture::UnlockRect(uint32_t fp_uiLevel)
{
    if (m_iLockedLevel != static_cast<int>(fp_uiLevel))
        return PLATERR_INVALIDCALL;
    m_iLockedLevel = -1;
    if (m_pDevice != nullptr && m_pDevice->IsGL())
    {
        m_pDevice->BindTextureUnit(0, m_uiGL);
        Upload(fp_uiLevel);
    }
    return PLAT_OK;
}

// Stores the level in GL in the texture's own format, so a 16-bit texture keeps 16-bit colour.
// The texture must be bound on the active unit.
void CTexture::Upload(uint32_t fp_uiLevel)
{
    const GLsizei w = GLsizei(LevelWidth(fp_uiLevel)), h = GLsizei(LevelHeight(fp_uiLevel));
    const uint8_t* tmp_pData = m_Levels[fp_uiLevel].data();
    switch (m_uiFormat)
    {
    case PLATFMT_A8R8G8B8:
        glTexImage2D(GL_TEXTURE_2D, GLint(fp_uiLevel), GL_RGBA8, w, h, 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, tmp_pData);
        break;
    case PLATFMT_X8R8G8B8:
        glTexImage2D(GL_TEXTURE_2D, GLint(fp_uiLevel), GL_RGB8, w, h, 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, tmp_pData);
        break;
    case PLATFMT_R5G6B5:
        glTexImage2D(GL_TEXTURE_2D, GLint(fp_uiLevel), GL_RGB565, w, h, 0, GL_RGB,
                     GL_UNSIGNED_SHORT_5_6_5, tmp_pData);
        break;
    case PLATFMT_X1R5G5B5:
    case PLATFMT_A1R5G5B5:
        glTexImage2D(GL_TEXTURE_2D, GLint(fp_uiLevel), GL_RGB5_A1, w, h, 0, GL_BGRA,
                     GL_UNSIGNED_SHORT_1_5_5_5_REV, tmp_pData);
        break;
    case PLATFMT_A4R4G4B4:
    case PLATFMT_X4R4G4B4:
        glTexImage2D(GL_TEXTURE_2D, GLint(fp_uiLevel), GL_RGBA4, w, h, 0, GL_BGRA,
                     GL_UNSIGNED_SHORT_4_4_4_4_REV, tmp_pData);
        break;
    case PLATFMT_A8R3G3B2:
    {
        // GL has no 3-3-2 format with alpha: widen by bit replication, which keeps the
        // 3-3-2 steps exactly.
        std::vector<uint32_t> tmp_Wide(size_t(w) * h);
        for (size_t i = 0; i < tmp_Wide.size(); ++i)
        {
            uint16_t v = uint16_t(tmp_pData[2 * i] | (tmp_pData[2 * i + 1] << 8));
            uint32_t r3 = (v >> 5) & 7, g3 = (v >> 2) & 7, b2 = v & 3, a = v >> 8;
            uint32_t r = (r3 << 5) | (r3 << 2) | (r3 >> 1);
            uint32_t g = (g3 << 5) | (g3 << 2) | (g3 >> 1);
            uint32_t b = b2 * 0x55;
            tmp_Wide[i] = (a << 24) | (r << 16) | (g << 8) | b;
        }
        glTexImage2D(GL_TEXTURE_2D, GLint(fp_uiLevel), GL_RGBA8, w, h, 0, GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, tmp_Wide.data());
        break;
    }
    default:
        break;
    }
}

CVertexBuffer::CVertexBuffer(CGfxDevice* fp_pDevice, uint32_t fp_uiLength, uint32_t fp_uiPool)
    : m_Data(fp_uiLength), m_pDevice(fp_pDevice), m_uiPool(fp_uiPool)
{
    m_pDevice->AddResource(this, m_uiPool);
    if (m_pDevice->IsGL())
        glGenBuffers(1, &m_uiGL);
}

CVertexBuffer::~CVertexBuffer()
{
    if (m_pDevice != nullptr)
    {
        if (m_uiGL != 0)
        {
            glDeleteBuffers(1, &m_uiGL);
            m_pDevice->ForgetBuffer(m_uiGL);
        }
        m_pDevice->RemoveResource(this, m_uiPool);
    }
}

void CVertexBuffer::Detach()
{
    m_uiGL = 0;
    m_pDevice = nullptr;
}

CIndexBuffer::CIndexBuffer(CGfxDevice* fp_pDevice, uint32_t fp_uiLength, uint32_t fp_uiFormat,
                           uint32_t fp_uiPool)
    : m_Data(fp_uiLength), m_uiFormat(fp_uiFormat), m_pDevice(fp_pDevice), m_uiPool(fp_uiPool)
{
    m_pDevice->AddResource(this, m_uiPool);
    if (m_pDevice->IsGL())
        glGenBuffers(1, &m_uiGL);
}

CIndexBuffer::~CIndexBuffer()
{
    if (m_pDevice != nullptr)
    {
        if (m_uiGL != 0)
        {
            glDeleteBuffers(1, &m_uiGL);
            m_pDevice->ForgetBuffer(m_uiGL);
        }
        m_pDevice->RemoveResource(this, m_uiPool);
    }
}

void CIndexBuffer::Detach()
{
    m_uiGL = 0;
    m_pDevice = nullptr;
}

PlatResult CIndexBuffer::Unlock()
{
    if (!m_bLocked)
        return PLATERR_INVALIDCALL;
    m_bLocked = false;
    m_bRangeKnown = false;
    if (m_pDevice != nullptr && m_pDevice->IsGL())
    {
        // Element buffers belong to the vertex array state; upload through the copy target.
        glBindBuffer(GL_COPY_WRITE_BUFFER, m_uiGL);
        glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(m_Data.size()), m_Data.data(),
                     GL_STATIC_DRAW);
    }
    return PLAT_OK;
}

// ---- device ----
CGfxDevice::CGfxDevice(CGfxAdapter* fp_pAdapter, const PlatPresentParams& fp_Params)
    : m_pAdapter(fp_pAdapter), m_Params(fp_Params)
{
    m_pAdapter->AddRef();
    for (int i = 0; i < 256; ++i)
        m_Gamma.m_Red[i] = m_Gamma.m_Green[i] = m_Gamma.m_Blue[i] = uint16_t(i * 257);
    SetDefaultStates();
}

CGfxDevice::~CGfxDevice()
{
    UnbindAll();
    for (CResource* tmp_pRes : m_Resources)
        tmp_pRes->Detach();
    m_Resources.clear();
    if (m_Context != nullptr)
    {
        for (auto& tmp_Prog : m_Programs)
            glDeleteProgram(tmp_Prog.second);
        if (m_uiPresentProg)
            glDeleteProgram(m_uiPresentProg);
        glDeleteSamplers(GLsizei(PLAT_MAX_STAGES), m_Samplers);
        glDeleteTextures(1, &m_uiGammaTex);
        glDeleteVertexArrays(1, &m_uiVAO);
        DestroyTargets();
        SDL_GL_DeleteContext(m_Context);
    }
    m_pAdapter->Release();
}

void CGfxDevice::SetDefaultStates()
{
    std::fill(std::begin(m_RS), std::end(m_RS), 0u);
    auto f = [](float v)
    {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        return u;
    };
    m_RS[PLATRS_FILLMODE] = 3;
    m_RS[PLATRS_SHADEMODE] = 2;
    m_RS[PLATRS_ZWRITEENABLE] = 1;
    m_RS[PLATRS_LASTPIXEL] = 1;
    m_RS[PLATRS_SRCBLEND] = PLATBLEND_ONE;
    m_RS[PLATRS_DESTBLEND] = PLATBLEND_ZERO;
    m_RS[PLATRS_CULLMODE] = PLATCULL_CCW;
    m_RS[PLATRS_ZFUNC] = PLATCMP_LESSEQUAL;
    m_RS[PLATRS_ALPHAFUNC] = PLATCMP_ALWAYS;
    m_RS[PLATRS_FOGSTART] = f(0.0f);
    m_RS[PLATRS_FOGEND] = f(1.0f);
    m_RS[PLATRS_FOGDENSITY] = f(1.0f);
    m_RS[PLATRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    m_RS[PLATRS_LIGHTING] = 1;
    m_RS[PLATRS_COLORVERTEX] = 1;
    for (uint32_t s = 0; s < PLAT_MAX_STAGES; ++s)
    {
        std::fill(std::begin(m_TSS[s]), std::end(m_TSS[s]), 0u);
        m_TSS[s][PLATTSS_COLOROP] = s == 0 ? PLATTOP_MODULATE : PLATTOP_DISABLE;
        m_TSS[s][PLATTSS_ALPHAOP] = s == 0 ? PLATTOP_SELECTARG1 : PLATTOP_DISABLE;
        m_TSS[s][PLATTSS_COLORARG1] = PLATTA_TEXTURE;
        m_TSS[s][PLATTSS_COLORARG2] = PLATTA_CURRENT;
        m_TSS[s][PLATTSS_ALPHAARG1] = PLATTA_TEXTURE;
        m_TSS[s][PLATTSS_ALPHAARG2] = PLATTA_CURRENT;
        m_TSS[s][PLATTSS_TEXCOORDINDEX] = s;
        m_TSS[s][PLATTSS_ADDRESSU] = PLATTADDRESS_WRAP;
        m_TSS[s][PLATTSS_ADDRESSV] = PLATTADDRESS_WRAP;
        m_TSS[s][PLATTSS_ADDRESSW] = PLATTADDRESS_WRAP;
        m_TSS[s][PLATTSS_MAGFILTER] = PLATTEXF_POINT;
        m_TSS[s][PLATTSS_MINFILTER] = PLATTEXF_POINT;
        m_TSS[s][PLATTSS_MIPFILTER] = PLATTEXF_NONE;
        m_TSS[s][PLATTSS_MAXANISOTROPY] = 1;
    }
    m_Viewport =
        PlatViewport{0, 0, m_Params.m_uiBackBufferWidth, m_Params.m_uiBackBufferHeight, 0.0f, 1.0f};
    m_bProgramDirty = m_bUniformsDirty = m_bBlendDirty = m_bCullDirty = m_bScissorDirty = true;
    m_SamplerDirty = 0xFF;
}

void CGfxDevice::UnbindAll()
{
    for (auto& tmp_pTex : m_pTextures)
    {
        if (tmp_pTex != nullptr)
            tmp_pTex->Release();
        tmp_pTex = nullptr;
    }
    if (m_pStream != nullptr)
        m_pStream->Release();
    m_pStream = nullptr;
    if (m_pIndices != nullptr)
        m_pIndices->Release();
    m_pIndices = nullptr;
    m_bTexturesDirty = m_bProgramDirty = true;
}

bool CGfxDevice::InitGL(SDL_Window* fp_pWindow)
{
    SetCoreContextAttributes();
    m_Context = SDL_GL_CreateContext(fp_pWindow);
    if (m_Context == nullptr)
        return false;
    m_pWindow = fp_pWindow;
    SDL_GL_MakeCurrent(fp_pWindow, m_Context);
    SDL_GL_SetSwapInterval(0);

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGenVertexArrays(1, &m_uiVAO);
    glBindVertexArray(m_uiVAO);
    glGenSamplers(GLsizei(PLAT_MAX_STAGES), m_Samplers);
    for (uint32_t s = 0; s < PLAT_MAX_STAGES; ++s)
        glBindSampler(s, m_Samplers[s]);

    glGenTextures(1, &m_uiGammaTex);
    m_uiPresentProg = CompileProgram(kPresentVertexShader, kPresentFragmentShader);
    glUseProgram(m_uiPresentProg);
    glUniform1i(glGetUniformLocation(m_uiPresentProg, "uPicture"), 0);
    glUniform1i(glGetUniformLocation(m_uiPresentProg, "uGamma"), 1);
    SetGammaRamp(0, m_Gamma);
    glDisable(GL_DEPTH_TEST);
    return CreateTargets();
}

bool CGfxDevice::CreateTargets()
{
    const GLsizei w = GLsizei(m_Params.m_uiBackBufferWidth);
    const GLsizei h = GLsizei(m_Params.m_uiBackBufferHeight);
    // A 16-bit back buffer really stores 16-bit colour.
    const bool tmp_b16 = m_Params.m_uiBackBufferFormat == PLATFMT_R5G6B5 ||
                         m_Params.m_uiBackBufferFormat == PLATFMT_X1R5G5B5;
    auto tmp_MakeTarget = [&](GLuint& fp_uiFBO, GLuint& fp_uiTex) -> bool
    {
        glGenTextures(1, &fp_uiTex);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, fp_uiTex);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, tmp_b16 ? GL_RGB565 : GL_RGBA8, w, h, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
        glGenFramebuffers(1, &fp_uiFBO);
        glBindFramebuffer(GL_FRAMEBUFFER, fp_uiFBO);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, fp_uiTex, 0);
        bool tmp_bOk = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        return tmp_bOk;
    };
    bool tmp_bOk =
        tmp_MakeTarget(m_uiFBO, m_uiColorTex) && tmp_MakeTarget(m_uiFrontFBO, m_uiFrontTex);
    m_bTexturesDirty = m_bScissorDirty = m_bUniformsDirty = true;
    m_bTargetBound = false;
    return tmp_bOk;
}

void CGfxDevice::DestroyTargets()
{
    glDeleteFramebuffers(1, &m_uiFBO);
    glDeleteFramebuffers(1, &m_uiFrontFBO);
    glDeleteTextures(1, &m_uiColorTex);
    glDeleteTextures(1, &m_uiFrontTex);
    m_uiFBO = m_uiFrontFBO = m_uiColorTex = m_uiFrontTex = 0;
}

PlatResult CGfxDevice::Reset(const PlatPresentParams& fp_Params)
{
    if (m_iFailResets > 0)
    {
        --m_iFailResets;
        return PLATERR_DEVICELOST;
    }
    // Objects of the default pool must be gone before a reset, as on the original API.
    if (m_iDefaultPoolObjects > 0 || fp_Params.m_uiBackBufferWidth == 0 ||
        fp_Params.m_uiBackBufferHeight == 0)
        return PLATERR_INVALIDCALL;
    const bool tmp_bResize = fp_Params.m_uiBackBufferWidth != m_Params.m_uiBackBufferWidth ||
                             fp_Params.m_uiBackBufferHeight != m_Params.m_uiBackBufferHeight ||
                             fp_Params.m_uiBackBufferFormat != m_Params.m_uiBackBufferFormat;
    m_Params = fp_Params;
    UnbindAll();
    SetDefaultStates();
    m_bInScene = false;
    m_iLostState = PLAT_OK;
    if (IsGL() && tmp_bResize)
    {
        DestroyTargets();
        if (!CreateTargets())
            return PLATERR_NOTAVAILABLE;
    }
    return PLAT_OK;
}

PlatResult CGfxDevice::CreateIndexBuffer(uint32_t fp_uiLength, uint32_t, uint32_t fp_uiFormat,
                                         uint32_t fp_uiPool, PlatIndexBuffer** fp_ppBuffer)
{
    if (fp_ppBuffer == nullptr || fp_uiLength == 0 ||
        (fp_uiFormat != PLATFMT_INDEX16 && fp_uiFormat != PLATFMT_INDEX32))
        return PLATERR_INVALIDCALL;
    *fp_ppBuffer = new CIndexBuffer(this, fp_uiLength, fp_uiFormat, fp_uiPool);
    return PLAT_OK;
}

PlatResult CGfxDevice::CreateVertexBuffer(uint32_t fp_uiLength, uint32_t, uint32_t,
                                          uint32_t fp_uiPool, PlatVertexBuffer** fp_ppBuffer)
{
    if (fp_ppBuffer == nullptr || fp_uiLength == 0)
        return PLATERR_INVALIDCALL;
    *fp_ppBuffer = new CVertexBuffer(this, fp_uiLength, fp_uiPool);
    return PLAT_OK;
}

PlatResult CGfxDevice::CreateTexture(uint32_t fp_uiWidth, uint32_t fp_uiHeight,
                                     uint32_t fp_uiLevels, uint32_t, uint32_t fp_uiFormat,
                                     uint32_t fp_uiPool, PlatTexture** fp_ppTexture)
{
    if (fp_ppTexture == nullptr || fp_uiWidth == 0 || fp_uiHeight == 0 ||
        !m_pAdapter->IsUsable(fp_uiFormat) || fp_uiWidth > m_pAdapter->GetMaxTextureSize() ||
        fp_uiHeight > m_pAdapter->GetMaxTextureSize())
        return PLATERR_INVALIDCALL;
    uint32_t tmp_uiFull = 1;
    while ((fp_uiWidth >> tmp_uiFull) > 0 || (fp_uiHeight >> tmp_uiFull) > 0)
        ++tmp_uiFull;
    uint32_t tmp_uiLevels = fp_uiLevels == 0 ? tmp_uiFull : std::min(fp_uiLevels, tmp_uiFull);
    *fp_ppTexture =
        new CTexture(this, fp_uiWidth, fp_uiHeight, tmp_uiLevels, fp_uiFormat, fp_uiPool);
    return PLAT_OK;
}

PlatResult CGfxDevice::CreateImageSurface(uint32_t fp_uiWidth, uint32_t fp_uiHeight,
                                          uint32_t fp_uiFormat, PlatSurface** fp_ppSurface)
{
    if (fp_ppSurface == nullptr || fp_uiWidth == 0 || fp_uiHeight == 0 ||
        PlatFormatBytesPerPixel(fp_uiFormat) == 0)
        return PLATERR_INVALIDCALL;
    *fp_ppSurface = new CSurface(fp_uiWidth, fp_uiHeight, fp_uiFormat);
    return PLAT_OK;
}

PlatResult CGfxDevice::SetIndices(PlatIndexBuffer* fp_pBuffer, uint32_t fp_uiBaseVertex)
{
    if (fp_pBuffer != nullptr)
        fp_pBuffer->AddRef();
    if (m_pIndices != nullptr)
        m_pIndices->Release();
    m_pIndices = static_cast<CIndexBuffer*>(fp_pBuffer);
    m_uiBaseVertex = fp_uiBaseVertex;
    return PLAT_OK;
}

PlatResult CGfxDevice::SetStreamSource(uint32_t fp_uiStream, PlatVertexBuffer* fp_pBuffer,
                                       uint32_t fp_uiStride)
{
    if (fp_uiStream != 0)
        return PLATERR_INVALIDCALL;
    if (fp_pBuffer != nullptr)
        fp_pBuffer->AddRef();
    if (m_pStream != nullptr)
        m_pStream->Release();
    m_pStream = static_cast<CVertexBuffer*>(fp_pBuffer);
    m_uiStride = fp_uiStride;
    return PLAT_OK;
}

PlatResult CGfxDevice::SetRenderState(uint32_t fp_uiState, uint32_t fp_uiValue)
{
    if (fp_uiState >= PLAT_RENDERSTATE_COUNT)
        return PLATERR_INVALIDCALL;
    if (m_RS[fp_uiState] == fp_uiValue)
        return PLAT_OK;
    m_RS[fp_uiState] = fp_uiValue;
    ++m_Counters.m_uiStateChanges;
    switch (fp_uiState)
    {
    case PLATRS_ALPHABLENDENABLE:
    case PLATRS_SRCBLEND:
    case PLATRS_DESTBLEND:
        m_bBlendDirty = true;
        break;
    case PLATRS_CULLMODE:
        m_bCullDirty = true;
        break;
    case PLATRS_FOGENABLE:
    case PLATRS_SPECULARENABLE:
    case PLATRS_ALPHATESTENABLE:
    case PLATRS_ALPHAFUNC:
        m_bProgramDirty = true;
        break;
    case PLATRS_FOGCOLOR:
    case PLATRS_TEXTUREFACTOR:
    case PLATRS_ALPHAREF:
        m_bUniformsDirty = true;
        break;
    default:
        break;
    }
    return PLAT_OK;
}

PlatResult CGfxDevice::SetTextureStageState(uint32_t fp_uiStage, uint32_t fp_uiType,
                                            uint32_t fp_uiValue)
{
    if (fp_uiStage >= PLAT_MAX_STAGES || fp_uiType >= PLAT_TSS_COUNT)
        return PLATERR_INVALIDCALL;
    if (m_TSS[fp_uiStage][fp_uiType] == fp_uiValue)
        return PLAT_OK;
    m_TSS[fp_uiStage][fp_uiType] = fp_uiValue;
    ++m_Counters.m_uiStateChanges;
    if (fp_uiType <= PLATTSS_ALPHAARG2 || fp_uiType == PLATTSS_TEXCOORDINDEX)
        m_bProgramDirty = true;
    else
        m_SamplerDirty |= 1u << fp_uiStage;
    return PLAT_OK;
}

PlatResult CGfxDevice::SetTexture(uint32_t fp_uiStage, PlatTexture* fp_pTexture)
{
    if (fp_uiStage >= PLAT_MAX_STAGES)
        return PLATERR_INVALIDCALL;
    if (m_pTextures[fp_uiStage] == fp_pTexture)
        return PLAT_OK;
    if (fp_pTexture != nullptr)
        fp_pTexture->AddRef();
    if (m_pTextures[fp_uiStage] != nullptr)
        m_pTextures[fp_uiStage]->Release();
    m_pTextures[fp_uiStage] = fp_pTexture;
    ++m_Counters.m_uiTextureBinds;
    m_bTexturesDirty = m_bProgramDirty = true;
    return PLAT_OK;
}

void CGfxDevice::UpdateSampler(uint32_t s)
{
    const GLuint tmp_uiSampler = m_Samplers[s];
    const uint32_t* tss = m_TSS[s];
    glSamplerParameteri(tmp_uiSampler, GL_TEXTURE_WRAP_S, AddressGL(tss[PLATTSS_ADDRESSU]));
    glSamplerParameteri(tmp_uiSampler, GL_TEXTURE_WRAP_T, AddressGL(tss[PLATTSS_ADDRESSV]));
    const bool tmp_bMagLinear = tss[PLATTSS_MAGFILTER] >= PLATTEXF_LINEAR;
    const bool tmp_bMinLinear = tss[PLATTSS_MINFILTER] >= PLATTEXF_LINEAR;
    glSamplerParameteri(tmp_uiSampler, GL_TEXTURE_MAG_FILTER,
                        tmp_bMagLinear ? GL_LINEAR : GL_NEAREST);
    GLint tmp_iMin;
    switch (tss[PLATTSS_MIPFILTER])
    {
    case PLATTEXF_NONE:
        tmp_iMin = tmp_bMinLinear ? GL_LINEAR : GL_NEAREST;
        break;
    case PLATTEXF_POINT:
        tmp_iMin = tmp_bMinLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        break;
    default:
        tmp_iMin = tmp_bMinLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
        break;
    }
    glSamplerParameteri(tmp_uiSampler, GL_TEXTURE_MIN_FILTER, tmp_iMin);
    const uint32_t c = tss[PLATTSS_BORDERCOLOR];
    const GLfloat tmp_Border[4] = {((c >> 16) & 255) / 255.0f, ((c >> 8) & 255) / 255.0f,
                                   (c & 255) / 255.0f, (c >> 24) / 255.0f};
    glSamplerParameterfv(tmp_uiSampler, GL_TEXTURE_BORDER_COLOR, tmp_Border);
    float tmp_fBias;
    std::memcpy(&tmp_fBias, &tss[PLATTSS_MIPMAPLODBIAS], 4);
    glSamplerParameterf(tmp_uiSampler, GL_TEXTURE_LOD_BIAS, tmp_fBias);
    glSamplerParameterf(tmp_uiSampler, GL_TEXTURE_MIN_LOD, float(tss[PLATTSS_MAXMIPLEVEL]));
}

GLuint CGfxDevice::ProgramFor(const ProgramKey& fp_Key)
{
    const std::string tmp_strKey = fp_Key.Bytes();
    auto tmp_It = m_Programs.find(tmp_strKey);
    if (tmp_It != m_Programs.end())
        return tmp_It->second;
    GLuint tmp_uiProg = CompileProgram(kVertexShader, GenerateFragmentShader(fp_Key));
    glUseProgram(tmp_uiProg);
    for (int i = 0; i < fp_Key.m_Count; ++i)
        if (GLint tmp_iLoc = glGetUniformLocation(tmp_uiProg, ("uTex" + std::to_string(i)).c_str());
            tmp_iLoc >= 0)
            glUniform1i(tmp_iLoc, i);
    m_Programs.emplace(tmp_strKey, tmp_uiProg);
    return tmp_uiProg;
}

// Mirrors whatever changed since the last draw into GL.
void CGfxDevice::ApplyGLState()
{
    if (!m_bTargetBound)
    {
        glBindFramebuffer(GL_FRAMEBUFFER, m_uiFBO);
        glViewport(0, 0, GLsizei(m_Params.m_uiBackBufferWidth),
                   GLsizei(m_Params.m_uiBackBufferHeight));
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE); // the back buffer has no alpha
        glBindVertexArray(m_uiVAO);
        m_bTargetBound = true;
    }
    if (m_bScissorDirty)
    {
        glEnable(GL_SCISSOR_TEST);
        const GLint y =
            GLint(m_Params.m_uiBackBufferHeight) - GLint(m_Viewport.m_uiY + m_Viewport.m_uiHeight);
        glScissor(GLint(m_Viewport.m_uiX), y, GLsizei(m_Viewport.m_uiWidth),
                  GLsizei(m_Viewport.m_uiHeight));
        m_bScissorDirty = false;
    }
    if (m_bBlendDirty)
    {
        if (m_RS[PLATRS_ALPHABLENDENABLE])
        {
            glEnable(GL_BLEND);
            glBlendFuncSeparate(BlendFactorGL(m_RS[PLATRS_SRCBLEND]),
                                BlendFactorGL(m_RS[PLATRS_DESTBLEND]), GL_ZERO, GL_ONE);
        }
        else
            glDisable(GL_BLEND);
        m_bBlendDirty = false;
    }
    if (m_bCullDirty)
    {
        // Windings are as seen on screen in both APIs: GL's counter-clockwise front faces are
        // the ones culled by the counter-clockwise mode.
        const uint32_t tmp_uiCull = m_RS[PLATRS_CULLMODE];
        if (tmp_uiCull == PLATCULL_CCW || tmp_uiCull == PLATCULL_CW)
        {
            glEnable(GL_CULL_FACE);
            glFrontFace(GL_CCW);
            glCullFace(tmp_uiCull == PLATCULL_CCW ? GL_FRONT : GL_BACK);
        }
        else
            glDisable(GL_CULL_FACE);
        m_bCullDirty = false;
    }
    if (m_SamplerDirty != 0)
    {
        for (uint32_t s = 0; s < PLAT_MAX_STAGES; ++s)
            if (m_SamplerDirty & (1u << s))
                UpdateSampler(s);
        m_SamplerDirty = 0;
    }
    if (m_bTexturesDirty)
    {
        for (uint32_t s = 0; s < PLAT_MAX_STAGES; ++s)
        {
            glActiveTexture(GL_TEXTURE0 + s);
            glBindTexture(GL_TEXTURE_2D, m_pTextures[s] != nullptr
                                             ? static_cast<CTexture*>(m_pTextures[s])->GetGLName()
                                             : 0);
        }
        m_bTexturesDirty = false;
    }
    if (m_bProgramDirty)
    {
        ProgramKey tmp_Key;
        std::memset(tmp_Key.m_Stages, 0, sizeof(tmp_Key.m_Stages));
        for (uint32_t s = 0; s < PLAT_MAX_STAGES; ++s)
        {
            const uint32_t* tss = m_TSS[s];
            if (tss[PLATTSS_COLOROP] == PLATTOP_DISABLE)
                break;
            StageKey& k = tmp_Key.m_Stages[tmp_Key.m_Count++];
            k.m_ColorOp = uint8_t(tss[PLATTSS_COLOROP]);
            k.m_ColorArg1 = uint8_t(tss[PLATTSS_COLORARG1]);
            k.m_ColorArg2 = uint8_t(tss[PLATTSS_COLORARG2]);
            k.m_AlphaOp = uint8_t(tss[PLATTSS_ALPHAOP]);
            k.m_AlphaArg1 = uint8_t(tss[PLATTSS_ALPHAARG1]);
            k.m_AlphaArg2 = uint8_t(tss[PLATTSS_ALPHAARG2]);
            k.m_TexCoord = (tss[PLATTSS_TEXCOORDINDEX] & 0xFFFF) == 1 ? 1 : 0;
            k.m_HasTexture = m_pTextures[s] != nullptr;
        }
        tmp_Key.m_Fog = m_RS[PLATRS_FOGENABLE] != 0;
        tmp_Key.m_Specular = m_RS[PLATRS_SPECULARENABLE] != 0;
        tmp_Key.m_AlphaFunc =
            m_RS[PLATRS_ALPHATESTENABLE] ? uint8_t(m_RS[PLATRS_ALPHAFUNC]) : uint8_t(0);
        GLuint tmp_uiProg = ProgramFor(tmp_Key);
        if (tmp_uiProg != m_uiProgram)
        {
            m_uiProgram = tmp_uiProg;
            m_bUniformsDirty = true;
        }
        glUseProgram(m_uiProgram);
        m_bProgramDirty = false;
    }
    if (m_bUniformsDirty)
    {
        auto tmp_Color = [](uint32_t c, GLfloat* v)
        {
            v[0] = ((c >> 16) & 255) / 255.0f;
            v[1] = ((c >> 8) & 255) / 255.0f;
            v[2] = (c & 255) / 255.0f;
            v[3] = (c >> 24) / 255.0f;
        };
        GLfloat tmp_TF[4], tmp_Fog[4];
        tmp_Color(m_RS[PLATRS_TEXTUREFACTOR], tmp_TF);
        tmp_Color(m_RS[PLATRS_FOGCOLOR], tmp_Fog);
        glUniform2f(glGetUniformLocation(m_uiProgram, "uScreen"),
                    float(m_Params.m_uiBackBufferWidth), float(m_Params.m_uiBackBufferHeight));
        glUniform4fv(glGetUniformLocation(m_uiProgram, "uTFactor"), 1, tmp_TF);
        glUniform3fv(glGetUniformLocation(m_uiProgram, "uFogColor"), 1, tmp_Fog);
        glUniform1f(glGetUniformLocation(m_uiProgram, "uAlphaRef"),
                    float(m_RS[PLATRS_ALPHAREF] & 255));
        m_bUniformsDirty = false;
    }
}

PlatResult CGfxDevice::DrawIndexedPrimitive(uint32_t fp_uiType, uint32_t, uint32_t,
                                            uint32_t fp_uiStartIndex, uint32_t fp_uiPrimCount)
{
    if (!m_bInScene || fp_uiType != PLATPT_TRIANGLELIST || m_pStream == nullptr ||
        m_pIndices == nullptr || m_uiStride != PLAT_VERTEX_STRIDE || m_uiFVF != PLATFVF_VLAVERTEX ||
        m_pStream->m_bLocked || m_pIndices->m_bLocked || fp_uiPrimCount == 0)
        return PLATERR_INVALIDCALL;
    if (m_iLostState != PLAT_OK)
        return PLAT_OK; // a lost device accepts work and does nothing

    // Check every index against both buffers, so no draw reads outside them.
    const bool tmp_b32 = m_pIndices->m_uiFormat == PLATFMT_INDEX32;
    const size_t tmp_uiIndexSize = tmp_b32 ? 4 : 2;
    const size_t tmp_uiCount = size_t(fp_uiPrimCount) * 3;
    if ((size_t(fp_uiStartIndex) + tmp_uiCount) * tmp_uiIndexSize > m_pIndices->m_Data.size())
        return PLATERR_INVALIDCALL;
    uint32_t tmp_uiMin = UINT32_MAX, tmp_uiMax = 0;
    CIndexBuffer& ib = *m_pIndices;
    if (ib.m_bRangeKnown && ib.m_uiRangeStart == fp_uiStartIndex &&
        ib.m_uiRangeCount == tmp_uiCount)
    {
        tmp_uiMin = ib.m_uiRangeMin;
        tmp_uiMax = ib.m_uiRangeMax;
    }
    else
    {
        const uint8_t* tmp_pIdx = ib.m_Data.data() + fp_uiStartIndex * tmp_uiIndexSize;
        if (tmp_b32)
        {
            const uint32_t* p = reinterpret_cast<const uint32_t*>(tmp_pIdx);
            for (size_t i = 0; i < tmp_uiCount; ++i)
            {
                tmp_uiMin = std::min(tmp_uiMin, p[i]);
                tmp_uiMax = std::max(tmp_uiMax, p[i]);
            }
        }
        else
        {
            const uint16_t* p = reinterpret_cast<const uint16_t*>(tmp_pIdx);
            for (size_t i = 0; i < tmp_uiCount; ++i)
            {
                tmp_uiMin = std::min<uint32_t>(tmp_uiMin, p[i]);
                tmp_uiMax = std::max<uint32_t>(tmp_uiMax, p[i]);
            }
        }
        ib.m_bRangeKnown = true;
        ib.m_uiRangeStart = fp_uiStartIndex;
        ib.m_uiRangeCount = uint32_t(tmp_uiCount);
        ib.m_uiRangeMin = tmp_uiMin;
        ib.m_uiRangeMax = tmp_uiMax;
    }
    const uint64_t tmp_uiVertices = m_pStream->m_Data.size() / PLAT_VERTEX_STRIDE;
    if (uint64_t(m_uiBaseVertex) + tmp_uiMax >= tmp_uiVertices)
        return PLATERR_INVALIDCALL;

    ++m_Counters.m_uiDrawCalls;
    m_Counters.m_uiTriangles += fp_uiPrimCount;
    if (!IsGL())
        return PLAT_OK;

    ApplyGLState();
    // Upload only the vertices the indices reach; the buffer is orphaned so GL never waits.
    const uint32_t tmp_uiFirst = m_uiBaseVertex + tmp_uiMin;
    const uint32_t tmp_uiUsed = tmp_uiMax - tmp_uiMin + 1;
    if (m_uiBoundVB != m_pStream->m_uiGL)
    {
        glBindBuffer(GL_ARRAY_BUFFER, m_pStream->m_uiGL);
        m_uiBoundVB = m_pStream->m_uiGL;
        glEnableVertexAttribArray(0);
        glEnableVertexAttribArray(1);
        glEnableVertexAttribArray(2);
        glEnableVertexAttribArray(3);
        glEnableVertexAttribArray(4);
        glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 40, reinterpret_cast<void*>(0));
        glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 40,
                              reinterpret_cast<void*>(16));
        glVertexAttribPointer(2, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, 40,
                              reinterpret_cast<void*>(20));
        glVertexAttribPointer(3, 2, GL_FLOAT, GL_FALSE, 40, reinterpret_cast<void*>(24));
        glVertexAttribPointer(4, 2, GL_FLOAT, GL_FALSE, 40, reinterpret_cast<void*>(32));
    }
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(tmp_uiUsed) * 40, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(tmp_uiUsed) * 40,
                    m_pStream->m_Data.data() + size_t(tmp_uiFirst) * 40);
    if (m_uiBoundIB != m_pIndices->m_uiGL)
    {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_pIndices->m_uiGL);
        m_uiBoundIB = m_pIndices->m_uiGL;
    }
    GL_CHECK(glDrawElementsBaseVertex(
        GL_TRIANGLES, GLsizei(tmp_uiCount), tmp_b32 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
        reinterpret_cast<void*>(size_t(fp_uiStartIndex) * tmp_uiIndexSize), -GLint(tmp_uiMin)));
    return PLAT_OK;
}

PlatResult CGfxDevice::Clear(uint32_t fp_uiFlags, uint32_t fp_uiColor, float, uint32_t)
{
    if (m_iLostState != PLAT_OK)
        return PLAT_OK;
    if (!(fp_uiFlags & PLATCLEAR_TARGET))
        return PLAT_OK; // there is no depth or stencil buffer
    ++m_Counters.m_uiClears;
    if (!IsGL())
        return PLAT_OK;
    ApplyGLState();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(((fp_uiColor >> 16) & 255) / 255.0f, ((fp_uiColor >> 8) & 255) / 255.0f,
                 (fp_uiColor & 255) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    return PLAT_OK;
}

PlatResult CGfxDevice::SetViewport(const PlatViewport& fp_Viewport)
{
    if (uint64_t(fp_Viewport.m_uiX) + fp_Viewport.m_uiWidth > m_Params.m_uiBackBufferWidth ||
        uint64_t(fp_Viewport.m_uiY) + fp_Viewport.m_uiHeight > m_Params.m_uiBackBufferHeight)
        return PLATERR_INVALIDCALL;
    m_Viewport = fp_Viewport;
    m_bScissorDirty = true;
    return PLAT_OK;
}

void CGfxDevice::SetGammaRamp(uint32_t, const PlatGammaRamp& fp_Ramp)
{
    m_Gamma = fp_Ramp;
    m_bGammaIdentity = true;
    for (int i = 0; i < 256; ++i)
        if (m_Gamma.m_Red[i] >> 8 != i || m_Gamma.m_Green[i] >> 8 != i ||
            m_Gamma.m_Blue[i] >> 8 != i)
            m_bGammaIdentity = false;
    if (!IsGL())
        return;
    uint16_t tmp_Texels[256 * 3];
    for (int i = 0; i < 256; ++i)
    {
        tmp_Texels[3 * i] = m_Gamma.m_Red[i];
        tmp_Texels[3 * i + 1] = m_Gamma.m_Green[i];
        tmp_Texels[3 * i + 2] = m_Gamma.m_Blue[i];
    }
    BindTextureUnit(1, m_uiGammaTex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB16, 256, 1, 0, GL_RGB, GL_UNSIGNED_SHORT, tmp_Texels);
}

PlatResult CGfxDevice::Present()
{
    if (m_iLostState != PLAT_OK)
        return PLATERR_DEVICELOST;
    ++m_Counters.m_uiPresents;
    if (!IsGL())
        return PLAT_OK;
    const GLint w = GLint(m_Params.m_uiBackBufferWidth), h = GLint(m_Params.m_uiBackBufferHeight);

    // Keep the presented picture for screenshots.
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_uiFBO);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, m_uiFrontFBO);
    glBlitFramebuffer(0, 0, w, h, 0, 0, w, h, GL_COLOR_BUFFER_BIT, GL_NEAREST);

    // Scale to fit the window, keeping the aspect ratio, black bars around.
    int ww = 0, wh = 0;
    SDL_GL_GetDrawableSize(m_pWindow, &ww, &wh);
    if (ww > 0 && wh > 0)
    {
        GLint dw = ww, dh = wh;
        if (int64_t(ww) * h > int64_t(wh) * w)
            dw = GLint(int64_t(wh) * w / h);
        else
            dh = GLint(int64_t(ww) * h / w);
        const GLint dx = (ww - dw) / 2, dy = (wh - dh) / 2;
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        if (dw != ww || dh != wh)
        {
            glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        if (m_bGammaIdentity)
            glBlitFramebuffer(0, 0, w, h, dx, dy, dx + dw, dy + dh, GL_COLOR_BUFFER_BIT,
                              (dw == w && dh == h) ? GL_NEAREST : GL_LINEAR);
        else
        {
            glViewport(dx, dy, dw, dh);
            glDisable(GL_BLEND);
            glDisable(GL_CULL_FACE);
            glUseProgram(m_uiPresentProg);
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, m_uiColorTex);
            glBindSampler(0, 0);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, m_uiGammaTex);
            glBindSampler(1, 0);
            glBindVertexArray(m_uiVAO);
            glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
            glBindSampler(0, m_Samplers[0]);
            glBindSampler(1, m_Samplers[1]);
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, m_uiColorTex);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            m_uiProgram = 0;
            m_bProgramDirty = m_bBlendDirty = m_bCullDirty = m_bTexturesDirty = true;
        }
        if (m_bCaptureWindow)
        {
            std::vector<uint32_t> tmp_Rows(size_t(ww) * wh);
            glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
            glReadBuffer(GL_BACK);
            glReadPixels(0, 0, ww, wh, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, tmp_Rows.data());
            m_Capture.resize(tmp_Rows.size());
            for (int y = 0; y < wh; ++y)
                for (int x = 0; x < ww; ++x)
                    m_Capture[size_t(y) * ww + x] =
                        tmp_Rows[size_t(wh - 1 - y) * ww + x] | 0xFF000000u;
            m_iCaptureWidth = ww;
            m_iCaptureHeight = wh;
        }
        SDL_GL_SwapWindow(m_pWindow);
    }
    m_bTargetBound = false;
    m_bScissorDirty = true;
    return PLAT_OK;
}

PlatResult CGfxDevice::GetFrontBuffer(PlatSurface* fp_pSurface)
{
    CSurface* tmp_pSurface = static_cast<CSurface*>(fp_pSurface);
    const uint32_t w = m_Params.m_uiBackBufferWidth, h = m_Params.m_uiBackBufferHeight;
    if (tmp_pSurface == nullptr || tmp_pSurface->m_uiFormat != PLATFMT_A8R8G8B8 ||
        tmp_pSurface->m_uiWidth != w || tmp_pSurface->m_uiHeight != h || tmp_pSurface->m_bLocked)
        return PLATERR_INVALIDCALL;
    uint32_t* tmp_pOut = reinterpret_cast<uint32_t*>(tmp_pSurface->m_Data.data());
    if (!IsGL())
    {
        std::fill(tmp_pOut, tmp_pOut + size_t(w) * h, 0xFF000000u);
        return PLAT_OK;
    }
    std::vector<uint32_t> tmp_Rows(size_t(w) * h);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_uiFrontFBO);
    glReadPixels(0, 0, GLsizei(w), GLsizei(h), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                 tmp_Rows.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, m_uiFBO);
    // GL rows come bottom-up.
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            tmp_pOut[size_t(y) * w + x] = tmp_Rows[size_t(h - 1 - y) * w + x] | 0xFF000000u;
    return PLAT_OK;
}

PlatResult CGfxAdapter::CreateDevice(PlatWindow* fp_pWindow, const PlatPresentParams& fp_Params,
                                     PlatGfxDevice** fp_ppDevice)
{
    PlatWindow* tmp_pWindow =
        fp_Params.m_pDeviceWindow != nullptr ? fp_Params.m_pDeviceWindow : fp_pWindow;
    if (fp_ppDevice == nullptr || tmp_pWindow == nullptr || fp_Params.m_uiBackBufferWidth == 0 ||
        fp_Params.m_uiBackBufferHeight == 0 || !IsDisplayFormat(fp_Params.m_uiBackBufferFormat))
        return PLATERR_INVALIDCALL;
    CGfxDevice* tmp_pDevice = new CGfxDevice(this, fp_Params);
    if (!m_bNull)
    {
        SDL_Window* tmp_pSDL = PlatGetSDLWindow(tmp_pWindow);
        if (tmp_pSDL == nullptr || !(SDL_GetWindowFlags(tmp_pSDL) & SDL_WINDOW_OPENGL) ||
            !tmp_pDevice->InitGL(tmp_pSDL))
        {
            tmp_pDevice->Release();
            return PLATERR_NOTAVAILABLE;
        }
    }
    *fp_ppDevice = tmp_pDevice;
    return PLAT_OK;
}

} // namespace

PlatGfx* PlatGfxCreate()
{
    if (g_pTestAdapter != nullptr && g_pTestAdapter->m_bFailCreate)
        return nullptr;
    CGfxAdapter* tmp_pAdapter = new CGfxAdapter();
    if (!tmp_pAdapter->Init())
    {
        tmp_pAdapter->Release();
        return nullptr;
    }
    return tmp_pAdapter;
}

void PlatGfxTestSetAdapter(const PlatGfxTestAdapter* fp_pAdapter)
{
    g_pTestAdapter = fp_pAdapter;
}

void PlatGfxTestSetDeviceState(PlatGfxDevice* fp_pDevice, PlatResult fp_iState)
{
    static_cast<CGfxDevice*>(fp_pDevice)->m_iLostState = fp_iState;
}

void PlatGfxTestFailResets(PlatGfxDevice* fp_pDevice, int fp_iCount)
{
    static_cast<CGfxDevice*>(fp_pDevice)->m_iFailResets = fp_iCount;
}

void PlatGfxTestCaptureWindow(PlatGfxDevice* fp_pDevice, bool fp_bOn)
{
    static_cast<CGfxDevice*>(fp_pDevice)->m_bCaptureWindow = fp_bOn;
}

bool PlatGfxTestGetWindowPicture(PlatGfxDevice* fp_pDevice, int& fp_iWidth, int& fp_iHeight,
                                 std::vector<uint32_t>& fp_Pixels)
{
    const CGfxDevice* tmp_pDevice = static_cast<CGfxDevice*>(fp_pDevice);
    if (tmp_pDevice->m_Capture.empty())
        return false;
    fp_iWidth = tmp_pDevice->m_iCaptureWidth;
    fp_iHeight = tmp_pDevice->m_iCaptureHeight;
    fp_Pixels = tmp_pDevice->m_Capture;
    return true;
}

// Graphics device of the platform layer: adapter identity, display modes, capabilities and format
// checks; the device with its index and vertex buffers, render and texture-stage states,
// textures, indexed draws, frame control, gamma ramp and a copy of the presented picture.
// OpenGL 3.3 core on the SDL game window, or a null device (no output, the same bookkeeping and
// counters) where SDL has no GL video driver. Numeric codes (formats, states, operations, blend
// factors, results) are Direct3D 8's, kept as this layer's own constants, so that the log and the
// technique data speak the same numbers. Objects are reference counted; Release returns what is
// left. Engine code uses only this header; it never sees SDL or GL.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct PlatWindow;

// ---- Results ----
using PlatResult = int32_t;
inline constexpr PlatResult PLAT_OK = 0;
inline constexpr PlatResult PLATERR_OUTOFMEMORY = static_cast<int32_t>(0x8007000E);
inline constexpr PlatResult PLATERR_INVALIDCALL = static_cast<int32_t>(0x8876086C);
inline constexpr PlatResult PLATERR_NOTAVAILABLE = static_cast<int32_t>(0x8876086A);
inline constexpr PlatResult PLATERR_DEVICELOST = static_cast<int32_t>(0x88760868);
inline constexpr PlatResult PLATERR_DEVICENOTRESET = static_cast<int32_t>(0x88760869);
inline constexpr PlatResult PLATERR_OUTOFVIDEOMEMORY = static_cast<int32_t>(0x8876017C);

// ---- Formats ----
enum PlatFormat : uint32_t
{
    PLATFMT_UNKNOWN = 0,
    PLATFMT_R8G8B8 = 20,
    PLATFMT_A8R8G8B8 = 21,
    PLATFMT_X8R8G8B8 = 22,
    PLATFMT_R5G6B5 = 23,
    PLATFMT_X1R5G5B5 = 24,
    PLATFMT_A1R5G5B5 = 25,
    PLATFMT_A4R4G4B4 = 26,
    PLATFMT_R3G3B2 = 27,
    PLATFMT_A8 = 28,
    PLATFMT_A8R3G3B2 = 29,
    PLATFMT_X4R4G4B4 = 30,
    PLATFMT_A8P8 = 40,
    PLATFMT_P8 = 41,
    PLATFMT_INDEX16 = 101,
    PLATFMT_INDEX32 = 102,
};
// Bytes per pixel of the texture and surface formats the device stores; 0 for the others.
int PlatFormatBytesPerPixel(uint32_t fp_uiFormat);

// ---- Render states ----
enum PlatRenderState : uint32_t
{
    PLATRS_ZENABLE = 7,
    PLATRS_FILLMODE = 8,
    PLATRS_SHADEMODE = 9,
    PLATRS_ZWRITEENABLE = 14,
    PLATRS_ALPHATESTENABLE = 15,
    PLATRS_LASTPIXEL = 16,
    PLATRS_SRCBLEND = 19,
    PLATRS_DESTBLEND = 20,
    PLATRS_CULLMODE = 22,
    PLATRS_ZFUNC = 23,
    PLATRS_ALPHAREF = 24,
    PLATRS_ALPHAFUNC = 25,
    PLATRS_DITHERENABLE = 26,
    PLATRS_ALPHABLENDENABLE = 27,
    PLATRS_FOGENABLE = 28,
    PLATRS_SPECULARENABLE = 29,
    PLATRS_FOGCOLOR = 34,
    PLATRS_FOGTABLEMODE = 35,
    PLATRS_FOGSTART = 36,
    PLATRS_FOGEND = 37,
    PLATRS_FOGDENSITY = 38,
    PLATRS_TEXTUREFACTOR = 60,
    PLATRS_LIGHTING = 137,
    PLATRS_AMBIENT = 139,
    PLATRS_FOGVERTEXMODE = 140,
    PLATRS_COLORVERTEX = 141,
};
inline constexpr uint32_t PLAT_RENDERSTATE_COUNT = 256;

enum PlatBlend : uint32_t
{
    PLATBLEND_ZERO = 1,
    PLATBLEND_ONE = 2,
    PLATBLEND_SRCCOLOR = 3,
    PLATBLEND_INVSRCCOLOR = 4,
    PLATBLEND_SRCALPHA = 5,
    PLATBLEND_INVSRCALPHA = 6,
    PLATBLEND_DESTALPHA = 7,
    PLATBLEND_INVDESTALPHA = 8,
    PLATBLEND_DESTCOLOR = 9,
    PLATBLEND_INVDESTCOLOR = 10,
    PLATBLEND_SRCALPHASAT = 11,
};

enum PlatCull : uint32_t
{
    PLATCULL_NONE = 1,
    PLATCULL_CW = 2,
    PLATCULL_CCW = 3,
};

enum PlatCmp : uint32_t
{
    PLATCMP_NEVER = 1,
    PLATCMP_LESS = 2,
    PLATCMP_EQUAL = 3,
    PLATCMP_LESSEQUAL = 4,
    PLATCMP_GREATER = 5,
    PLATCMP_NOTEQUAL = 6,
    PLATCMP_GREATEREQUAL = 7,
    PLATCMP_ALWAYS = 8,
};

enum PlatFogMode : uint32_t
{
    PLATFOG_NONE = 0,
    PLATFOG_EXP = 1,
    PLATFOG_EXP2 = 2,
    PLATFOG_LINEAR = 3,
};

// ---- Texture-stage states ----
enum PlatTextureStageState : uint32_t
{
    PLATTSS_COLOROP = 1,
    PLATTSS_COLORARG1 = 2,
    PLATTSS_COLORARG2 = 3,
    PLATTSS_ALPHAOP = 4,
    PLATTSS_ALPHAARG1 = 5,
    PLATTSS_ALPHAARG2 = 6,
    PLATTSS_TEXCOORDINDEX = 11,
    PLATTSS_ADDRESSU = 13,
    PLATTSS_ADDRESSV = 14,
    PLATTSS_BORDERCOLOR = 15,
    PLATTSS_MAGFILTER = 16,
    PLATTSS_MINFILTER = 17,
    PLATTSS_MIPFILTER = 18,
    PLATTSS_MIPMAPLODBIAS = 19,
    PLATTSS_MAXMIPLEVEL = 20,
    PLATTSS_MAXANISOTROPY = 21,
    PLATTSS_ADDRESSW = 25,
};
inline constexpr uint32_t PLAT_TSS_COUNT = 32;
inline constexpr uint32_t PLAT_MAX_STAGES = 8;

enum PlatTextureOp : uint32_t
{
    PLATTOP_DISABLE = 1,
    PLATTOP_SELECTARG1 = 2,
    PLATTOP_SELECTARG2 = 3,
    PLATTOP_MODULATE = 4,
    PLATTOP_MODULATE2X = 5,
    PLATTOP_MODULATE4X = 6,
    PLATTOP_ADD = 7,
    PLATTOP_ADDSIGNED = 8,
    PLATTOP_ADDSIGNED2X = 9,
    PLATTOP_SUBTRACT = 10,
    PLATTOP_ADDSMOOTH = 11,
    PLATTOP_BLENDDIFFUSEALPHA = 12,
    PLATTOP_BLENDTEXTUREALPHA = 13,
    PLATTOP_BLENDFACTORALPHA = 14,
    PLATTOP_BLENDTEXTUREALPHAPM = 15,
    PLATTOP_BLENDCURRENTALPHA = 16,
    PLATTOP_DOTPRODUCT3 = 24,
};

enum PlatTextureArg : uint32_t
{
    PLATTA_DIFFUSE = 0,
    PLATTA_CURRENT = 1,
    PLATTA_TEXTURE = 2,
    PLATTA_TFACTOR = 3,
    PLATTA_SPECULAR = 4,
    PLATTA_SELECTMASK = 0x0F,
    PLATTA_COMPLEMENT = 0x10,
    PLATTA_ALPHAREPLICATE = 0x20,
};

enum PlatTextureAddress : uint32_t
{
    PLATTADDRESS_WRAP = 1,
    PLATTADDRESS_MIRROR = 2,
    PLATTADDRESS_CLAMP = 3,
    PLATTADDRESS_BORDER = 4,
};

enum PlatTextureFilter : uint32_t
{
    PLATTEXF_NONE = 0,
    PLATTEXF_POINT = 1,
    PLATTEXF_LINEAR = 2,
    PLATTEXF_ANISOTROPIC = 3,
};

// ---- Creation flags, pools, locks, clears, swap effects, primitives ----
inline constexpr uint32_t PLATUSAGE_WRITEONLY = 0x00000008;
inline constexpr uint32_t PLATUSAGE_DYNAMIC = 0x00000200;
enum PlatPool : uint32_t
{
    PLATPOOL_DEFAULT = 0,
    PLATPOOL_MANAGED = 1,
    PLATPOOL_SYSTEMMEM = 2,
};
inline constexpr uint32_t PLATLOCK_READONLY = 0x00000010;
inline constexpr uint32_t PLATLOCK_NOOVERWRITE = 0x00001000;
inline constexpr uint32_t PLATLOCK_DISCARD = 0x00002000;
inline constexpr uint32_t PLATCLEAR_TARGET = 1;
inline constexpr uint32_t PLATCLEAR_ZBUFFER = 2;
inline constexpr uint32_t PLATCLEAR_STENCIL = 4;
enum PlatSwapEffect : uint32_t
{
    PLATSWAPEFFECT_DISCARD = 1,
    PLATSWAPEFFECT_FLIP = 2,
    PLATSWAPEFFECT_COPY = 3,
};
inline constexpr uint32_t PLATPT_TRIANGLELIST = 4;
inline constexpr uint32_t PLATSGR_NO_CALIBRATION = 0;
inline constexpr uint32_t PLATSGR_CALIBRATE = 1;

// The one vertex format: pre-transformed position with reciprocal w, diffuse, specular and two
// texture-coordinate sets, 40 bytes.
inline constexpr uint32_t PLATFVF_XYZRHW = 0x004;
inline constexpr uint32_t PLATFVF_DIFFUSE = 0x040;
inline constexpr uint32_t PLATFVF_SPECULAR = 0x080;
inline constexpr uint32_t PLATFVF_TEX2 = 0x200;
inline constexpr uint32_t PLATFVF_VLAVERTEX =
    PLATFVF_XYZRHW | PLATFVF_DIFFUSE | PLATFVF_SPECULAR | PLATFVF_TEX2;
inline constexpr uint32_t PLAT_VERTEX_STRIDE = 40;

// ---- Capability bits ----
inline constexpr uint32_t PLATCAPS2_FULLSCREENGAMMA = 0x00020000;
inline constexpr uint32_t PLATCAPS2_CANRENDERWINDOWED = 0x00080000;
inline constexpr uint32_t PLATCAPS2_CANCALIBRATEGAMMA = 0x00100000;
inline constexpr uint32_t PLATPRASTERCAPS_FOGVERTEX = 0x00000080;
inline constexpr uint32_t PLATPTEXTURECAPS_MIPMAP = 0x00004000;
inline constexpr uint32_t PLATPTADDRESSCAPS_WRAP = 0x00000001;
inline constexpr uint32_t PLATPTADDRESSCAPS_MIRROR = 0x00000002;
inline constexpr uint32_t PLATPTADDRESSCAPS_CLAMP = 0x00000004;
inline constexpr uint32_t PLATPTADDRESSCAPS_BORDER = 0x00000008;
inline constexpr uint32_t PLATTEXOPCAPS_DOTPRODUCT3 = 0x00800000;

// ---- Records ----
struct PlatAdapterIdentifier
{
    std::string m_strDriver;
    std::string m_strDescription;
    uint32_t m_uiVendorId = 0;
    uint32_t m_uiDeviceId = 0;
};

struct PlatDisplayMode
{
    uint32_t m_uiWidth = 0;
    uint32_t m_uiHeight = 0;
    uint32_t m_uiRefreshRate = 0;
    uint32_t m_uiFormat = PLATFMT_UNKNOWN;
};

struct PlatCaps
{
    uint32_t m_uiCaps2 = 0;
    uint32_t m_uiRasterCaps = 0;
    uint32_t m_uiTextureCaps = 0;
    uint32_t m_uiTextureAddressCaps = 0;
    uint32_t m_uiTextureOpCaps = 0;
    uint32_t m_uiMaxTextureWidth = 0;
    uint32_t m_uiMaxTextureHeight = 0;
    uint32_t m_uiMaxTextureBlendStages = 0;
    uint32_t m_uiMaxSimultaneousTextures = 0;
};

struct PlatPresentParams
{
    uint32_t m_uiBackBufferWidth = 0;
    uint32_t m_uiBackBufferHeight = 0;
    uint32_t m_uiBackBufferFormat = PLATFMT_UNKNOWN;
    uint32_t m_uiBackBufferCount = 0;
    uint32_t m_uiMultiSampleType = 0;
    uint32_t m_uiSwapEffect = 0;
    PlatWindow* m_pDeviceWindow = nullptr;
    bool m_bWindowed = false;
    bool m_bEnableAutoDepthStencil = false;
    uint32_t m_uiAutoDepthStencilFormat = 0;
    uint32_t m_uiFlags = 0;
    uint32_t m_uiFullScreenRefreshRate = 0;
    uint32_t m_uiPresentationInterval = 0;
};

struct PlatViewport
{
    uint32_t m_uiX = 0;
    uint32_t m_uiY = 0;
    uint32_t m_uiWidth = 0;
    uint32_t m_uiHeight = 0;
    float m_fMinZ = 0.0f;
    float m_fMaxZ = 1.0f;
};

struct PlatGammaRamp
{
    uint16_t m_Red[256];
    uint16_t m_Green[256];
    uint16_t m_Blue[256];
};

struct PlatLockedRect
{
    int m_iPitch = 0;
    void* m_pBits = nullptr;
};

// What the device did, for tests and benchmarks. State changes count only calls that changed a
// value; texture binds only calls that changed what a stage holds.
struct PlatGfxCounters
{
    uint64_t m_uiDrawCalls = 0;
    uint64_t m_uiTriangles = 0;
    uint64_t m_uiTextureBinds = 0;
    uint64_t m_uiStateChanges = 0;
    uint64_t m_uiPresents = 0;
    uint64_t m_uiClears = 0;
};

// ---- Objects ----
class PlatUnknown
{
public:
    uint32_t AddRef() { return ++m_uiRefs; }
    // Returns the references left; the object is destroyed at 0.
    uint32_t Release();

protected:
    PlatUnknown() = default;
    virtual ~PlatUnknown() = default;
    PlatUnknown(const PlatUnknown&) = delete;
    PlatUnknown& operator=(const PlatUnknown&) = delete;

private:
    uint32_t m_uiRefs = 1;
};

class PlatTexture : public PlatUnknown
{
public:
    virtual uint32_t GetLevelCount() const = 0;
    virtual uint32_t GetFormat() const = 0;
    virtual PlatResult GetLevelSize(uint32_t fp_uiLevel, uint32_t& fp_uiWidth,
                                    uint32_t& fp_uiHeight) const = 0;
    // Pixels of one level, rows top-down, fp_Rect.m_iPitch bytes apart, in the texture's format.
    virtual PlatResult LockRect(uint32_t fp_uiLevel, PlatLockedRect& fp_Rect,
                                uint32_t fp_uiFlags) = 0;
    virtual PlatResult UnlockRect(uint32_t fp_uiLevel) = 0;
};

class PlatVertexBuffer : public PlatUnknown
{
public:
    // fp_uiSize 0 locks the whole buffer.
    virtual PlatResult Lock(uint32_t fp_uiOffset, uint32_t fp_uiSize, uint8_t** fp_ppData,
                            uint32_t fp_uiFlags) = 0;
    virtual PlatResult Unlock() = 0;
};

class PlatIndexBuffer : public PlatUnknown
{
public:
    virtual PlatResult Lock(uint32_t fp_uiOffset, uint32_t fp_uiSize, uint8_t** fp_ppData,
                            uint32_t fp_uiFlags) = 0;
    virtual PlatResult Unlock() = 0;
};

class PlatSurface : public PlatUnknown
{
public:
    virtual uint32_t GetWidth() const = 0;
    virtual uint32_t GetHeight() const = 0;
    virtual uint32_t GetFormat() const = 0;
    virtual PlatResult LockRect(PlatLockedRect& fp_Rect, uint32_t fp_uiFlags) = 0;
    virtual PlatResult UnlockRect() = 0;
};

class PlatGfxDevice : public PlatUnknown
{
public:
    virtual PlatResult TestCooperativeLevel() = 0;
    virtual PlatResult Reset(const PlatPresentParams& fp_Params) = 0;

    virtual PlatResult CreateIndexBuffer(uint32_t fp_uiLength, uint32_t fp_uiUsage,
                                         uint32_t fp_uiFormat, uint32_t fp_uiPool,
                                         PlatIndexBuffer** fp_ppBuffer) = 0;
    virtual PlatResult CreateVertexBuffer(uint32_t fp_uiLength, uint32_t fp_uiUsage,
                                          uint32_t fp_uiFVF, uint32_t fp_uiPool,
                                          PlatVertexBuffer** fp_ppBuffer) = 0;
    virtual PlatResult CreateTexture(uint32_t fp_uiWidth, uint32_t fp_uiHeight,
                                     uint32_t fp_uiLevels, uint32_t fp_uiUsage,
                                     uint32_t fp_uiFormat, uint32_t fp_uiPool,
                                     PlatTexture** fp_ppTexture) = 0;
    virtual PlatResult CreateImageSurface(uint32_t fp_uiWidth, uint32_t fp_uiHeight,
                                          uint32_t fp_uiFormat, PlatSurface** fp_ppSurface) = 0;

    // A null buffer unbinds. The device holds a reference to what is bound.
    virtual PlatResult SetIndices(PlatIndexBuffer* fp_pBuffer, uint32_t fp_uiBaseVertex) = 0;
    virtual PlatResult SetStreamSource(uint32_t fp_uiStream, PlatVertexBuffer* fp_pBuffer,
                                       uint32_t fp_uiStride) = 0;
    virtual PlatResult SetVertexShader(uint32_t fp_uiFVF) = 0;
    virtual PlatResult SetRenderState(uint32_t fp_uiState, uint32_t fp_uiValue) = 0;
    virtual PlatResult GetRenderState(uint32_t fp_uiState, uint32_t& fp_uiValue) = 0;
    virtual PlatResult SetTextureStageState(uint32_t fp_uiStage, uint32_t fp_uiType,
                                            uint32_t fp_uiValue) = 0;
    virtual PlatResult GetTextureStageState(uint32_t fp_uiStage, uint32_t fp_uiType,
                                            uint32_t& fp_uiValue) = 0;
    // A null texture unbinds the stage. The device holds a reference to each bound texture.
    virtual PlatResult SetTexture(uint32_t fp_uiStage, PlatTexture* fp_pTexture) = 0;
    virtual PlatTexture* GetTexture(uint32_t fp_uiStage) = 0; // no reference added

    virtual PlatResult BeginScene() = 0;
    virtual PlatResult EndScene() = 0;
    virtual PlatResult DrawIndexedPrimitive(uint32_t fp_uiType, uint32_t fp_uiMinIndex,
                                            uint32_t fp_uiNumVertices, uint32_t fp_uiStartIndex,
                                            uint32_t fp_uiPrimCount) = 0;
    // Clears the viewport rectangle; only the target is kept (no depth or stencil buffer).
    virtual PlatResult Clear(uint32_t fp_uiFlags, uint32_t fp_uiColor, float fp_fZ,
                             uint32_t fp_uiStencil) = 0;
    virtual PlatResult Present() = 0;
    virtual PlatResult SetViewport(const PlatViewport& fp_Viewport) = 0;
    virtual PlatResult GetViewport(PlatViewport& fp_Viewport) = 0;
    virtual void SetGammaRamp(uint32_t fp_uiFlags, const PlatGammaRamp& fp_Ramp) = 0;
    virtual void GetGammaRamp(PlatGammaRamp& fp_Ramp) = 0;
    virtual bool ShowCursor(bool fp_bShow) = 0;
    // Copies the picture last presented into an A8R8G8B8 surface of the back-buffer size.
    virtual PlatResult GetFrontBuffer(PlatSurface* fp_pSurface) = 0;

    virtual const PlatGfxCounters& GetCounters() const = 0;
    virtual void ResetCounters() = 0;
};

class PlatGfx : public PlatUnknown
{
public:
    virtual bool IsNull() const = 0; // true for the null device (no GL output)
    virtual PlatResult GetAdapterIdentifier(PlatAdapterIdentifier& fp_Id) = 0;
    virtual PlatResult GetAdapterDisplayMode(PlatDisplayMode& fp_Mode) = 0;
    virtual uint32_t GetAdapterModeCount() = 0;
    virtual PlatResult EnumAdapterModes(uint32_t fp_uiMode, PlatDisplayMode& fp_Mode) = 0;
    // PLAT_OK when fp_uiCheckFormat is usable as a texture format on that display format.
    virtual PlatResult CheckDeviceFormat(uint32_t fp_uiAdapterFormat,
                                         uint32_t fp_uiCheckFormat) = 0;
    virtual PlatResult GetDeviceCaps(PlatCaps& fp_Caps) = 0;
    virtual PlatResult CreateDevice(PlatWindow* fp_pWindow, const PlatPresentParams& fp_Params,
                                    PlatGfxDevice** fp_ppDevice) = 0;
};

// Creates the adapter object; null when SDL's video system cannot start at all. A video driver
// without GL gives the null device.
PlatGfx* PlatGfxCreate();

// ---- Test hooks ----
// Replaces what the next PlatGfxCreate reports about the adapter (identity, desktop mode, mode
// list, unusable texture formats, capability bits); a null pointer restores the real adapter.
struct PlatGfxTestAdapter
{
    std::optional<PlatAdapterIdentifier> m_Identifier;
    std::optional<PlatDisplayMode> m_DesktopMode;
    std::optional<std::vector<PlatDisplayMode>> m_Modes;
    // Formats refused by CheckDeviceFormat, whatever the display format.
    std::vector<uint32_t> m_UnusableFormats;
    std::optional<PlatCaps> m_Caps;
    bool m_bFailCreate = false; // PlatGfxCreate returns null
};
void PlatGfxTestSetAdapter(const PlatGfxTestAdapter* fp_pAdapter);
// Makes TestCooperativeLevel report fp_iState (PLAT_OK, PLATERR_DEVICELOST or
// PLATERR_DEVICENOTRESET), as a device that lost its surfaces would; Reset clears it.
void PlatGfxTestSetDeviceState(PlatGfxDevice* fp_pDevice, PlatResult fp_iState);
// The next fp_iCount resets fail with PLATERR_DEVICELOST.
void PlatGfxTestFailResets(PlatGfxDevice* fp_pDevice, int fp_iCount);
// While on, every present also reads back the window's picture (after scaling and gamma) so
// tests can inspect what reached the screen; PlatGfxTestGetWindowPicture returns the last one,
// rows top-down, 0xAARRGGBB, false when none was taken.
void PlatGfxTestCaptureWindow(PlatGfxDevice* fp_pDevice, bool fp_bOn);
bool PlatGfxTestGetWindowPicture(PlatGfxDevice* fp_pDevice, int& fp_iWidth, int& fp_iHeight,
                                 std::vector<uint32_t>& fp_Pixels);

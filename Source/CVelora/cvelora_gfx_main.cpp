// Graphics device and video modes: pre-initialisation with the capability pass and the three
// candidate display modes, device creation with the shared buffers and the four renderer stores,
// the per-frame device check with reset after a loss, and the ordered shutdown with leak report.
#include "CVelora/cvelora.h"

#include <new>

namespace
{
constexpr int kFileID = 113;

constexpr uint32_t kIndexBufferBytes = kVQuadIndexCount * 2;                   // 6000
constexpr uint32_t kVertexBufferBytes = kVQuadVertexCount * sizeof(VLAVERTEX); // 80000

std::string Num(uint32_t fp_uiValue)
{
    return std::to_string(fp_uiValue);
}
} // namespace

std::string GfxFormatName(uint32_t fp_uiFormat)
{
    static const struct
    {
        uint32_t m_uiCode;
        const char* m_pszName;
    } kNames[] = {
        {0, "UNKNOWN"},   {20, "R8G8B8"},   {21, "A8R8G8B8"},    {22, "X8R8G8B8"},
        {23, "R5G6B5"},   {24, "X1R5G5B5"}, {25, "A1R5G5B5"},    {26, "A4R4G4B4"},
        {27, "R3G3B2"},   {28, "A8"},       {29, "A8R3G3B2"},    {30, "X4R4G4B4"},
        {40, "A8P8"},     {41, "P8"},       {50, "L8"},          {51, "A8L8"},
        {52, "A4L4"},     {60, "V8U8"},     {61, "L6V5U5"},      {62, "X8L8V8U8"},
        {63, "Q8W8V8U8"}, {64, "V16U16"},   {65, "W11V11U10"},   {70, "D16_LOCKABLE"},
        {71, "D32"},      {73, "D15S1"},    {75, "D24S8"},       {77, "D24X8"},
        {79, "D24X4S4"},  {80, "D16"},      {100, "VERTEXDATA"}, {101, "INDEX16"},
        {102, "INDEX32"},
    };
    for (const auto& tmp_Entry : kNames)
        if (tmp_Entry.m_uiCode == fp_uiFormat)
            return std::string("D3DFMT_") + tmp_Entry.m_pszName;
    return "Unknown format!";
}

int GfxRateVideoCard(uint32_t fp_uiVendorID, uint32_t fp_uiDeviceID)
{
    struct Entry
    {
        uint32_t m_uiVendor, m_uiDevice;
        int m_iRating;
    };
    static const Entry kCards[] = {
        {0x1002, 0x4E48, 5}, {0x1002, 0x4E44, 5}, {0x1002, 0x4E45, 5}, {0x1002, 0x514D, 5},
        {0x1002, 0x4966, 5}, {0x1002, 0x514C, 5}, {0x1002, 0x5157, 4}, {0x1002, 0x5144, 4},
        {0x1002, 0x5159, 3}, {0x1002, 0x4C4D, 2}, {0x1002, 0x524C, 1}, {0x102B, 0x2527, 2},
        {0x102B, 0x525, 2},  {0x102B, 0x521, 1},  {0x1039, 0x6300, 2}, {0x8086, 0x7800, 1},
        {0x104A, 0x10, 4},   {0x121A, 9, 3},      {0x121A, 5, 2},      {0x1023, 0x8520, 1},
    };
    if (fp_uiVendorID == 0x10DE) // NVIDIA: by device ranges
    {
        if (fp_uiDeviceID < 0x28)
            return 1;
        if (fp_uiDeviceID <= 0xFF)
            return 2;
        if (fp_uiDeviceID <= 0x16F)
            return 3;
        if (fp_uiDeviceID <= 0x24F)
            return 4;
        return 5;
    }
    for (const Entry& tmp_Card : kCards)
        if (tmp_Card.m_uiVendor == fp_uiVendorID && tmp_Card.m_uiDevice == fp_uiDeviceID)
            return tmp_Card.m_iRating;
    return 0;
}

void CVelora::GfxPreinit(int fp_iWidth, int fp_iHeight)
{
    Checkpoint(kFileID);
    LogAddSeparator(1);
    LogAddEntry("Preinitializing Graphics Subsystem...", 3);
    m_bGfxStarted = true;
    m_pD3D = PlatGfxCreate();
    if (m_pD3D == nullptr)
        ThrowGeneral("Cannot create Direct3D object!");
    LogAddEntry("Direct3D object created.", 4);
    GfxGetAdapterCaps(fp_iWidth, fp_iHeight);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

void CVelora::GfxGetAdapterCaps(int fp_iWidth, int fp_iHeight)
{
    Checkpoint(kFileID);
    LogAddEntry("Getting videoadapter capabilities...", 2);
    PlatAdapterIdentifier tmp_Id;
    if (m_pD3D->GetAdapterIdentifier(tmp_Id) != PLAT_OK)
        ThrowGeneral("Cannot get videoadapter identifier");
    m_strAdapterDesc = tmp_Id.m_strDescription;
    LogAddLine("     Videocard: " + m_strAdapterDesc);
    LogAddLine("       VendorID: " + Num(tmp_Id.m_uiVendorId));
    LogAddLine("       DeviceID: " + Num(tmp_Id.m_uiDeviceId));
    m_VideoCaps.m_iRating = GfxRateVideoCard(tmp_Id.m_uiVendorId, tmp_Id.m_uiDeviceId);
    if (m_VideoCaps.m_iRating != 0)
        LogAddLine("       Rating: " + std::to_string(m_VideoCaps.m_iRating));
    else
        LogAddLine("       Rating: Unknown");
    LogAddEmptyLines(1);

    // Modes 1 and 2: the first adapter mode of the requested size in a 16-bit or a 32-bit
    // format; mode 3: the desktop.
    LogAddEntry("Enumerating videomodes...", 1);
    DISPLAYMODEINFO* tmp_pModes = m_VideoCaps.m_Modes;
    for (int i = 0; i < 3; ++i)
        tmp_pModes[i] = DISPLAYMODEINFO{};
    PlatDisplayMode tmp_Desktop;
    m_pD3D->GetAdapterDisplayMode(tmp_Desktop);
    tmp_pModes[2].m_uiWidth = tmp_Desktop.m_uiWidth;
    tmp_pModes[2].m_uiHeight = tmp_Desktop.m_uiHeight;
    tmp_pModes[2].m_uiRefreshRate = tmp_Desktop.m_uiRefreshRate;
    tmp_pModes[2].m_uiFormat = tmp_Desktop.m_uiFormat;
    const uint32_t tmp_uiCount = m_pD3D->GetAdapterModeCount();
    for (uint32_t i = 0; i < tmp_uiCount; ++i)
    {
        PlatDisplayMode tmp_Mode;
        if (m_pD3D->EnumAdapterModes(i, tmp_Mode) != PLAT_OK)
            continue;
        if (tmp_Mode.m_uiWidth != static_cast<uint32_t>(fp_iWidth) ||
            tmp_Mode.m_uiHeight != static_cast<uint32_t>(fp_iHeight))
            continue;
        int tmp_iSlot = -1;
        if (tmp_Mode.m_uiFormat == PLATFMT_R5G6B5 || tmp_Mode.m_uiFormat == PLATFMT_X1R5G5B5)
            tmp_iSlot = 0;
        else if (tmp_Mode.m_uiFormat == PLATFMT_X8R8G8B8 || tmp_Mode.m_uiFormat == PLATFMT_A8R8G8B8)
            tmp_iSlot = 1;
        if (tmp_iSlot < 0 || tmp_pModes[tmp_iSlot].m_uiFormat != 0)
            continue;
        tmp_pModes[tmp_iSlot].m_uiWidth = tmp_Mode.m_uiWidth;
        tmp_pModes[tmp_iSlot].m_uiHeight = tmp_Mode.m_uiHeight;
        tmp_pModes[tmp_iSlot].m_uiRefreshRate = tmp_Mode.m_uiRefreshRate;
        tmp_pModes[tmp_iSlot].m_uiFormat = tmp_Mode.m_uiFormat;
    }
    LogAddEntry("Done.", 4);

    LogAddEntry("Enumerating texture formats...", 1);
    for (int i = 0; i < 3; ++i)
    {
        const uint32_t tmp_uiDisplay = tmp_pModes[i].m_uiFormat;
        auto usable = [this, tmp_uiDisplay](uint32_t fp_uiFormat)
        { return m_pD3D->CheckDeviceFormat(tmp_uiDisplay, fp_uiFormat) == PLAT_OK; };
        uint32_t* f = tmp_pModes[i].m_uiTextureFormats;
        // Kind 1: 16-bit without alpha.
        if (usable(PLATFMT_R5G6B5))
            f[0] = PLATFMT_R5G6B5;
        else if (usable(PLATFMT_X1R5G5B5))
            f[0] = PLATFMT_X1R5G5B5;
        else if (usable(PLATFMT_A1R5G5B5))
            f[0] = 0;
        else if (usable(PLATFMT_X4R4G4B4))
            f[0] = PLATFMT_X4R4G4B4;
        // Kind 2: 16-bit with alpha.
        for (uint32_t tmp_uiFmt :
             {uint32_t(PLATFMT_A4R4G4B4), uint32_t(PLATFMT_A1R5G5B5), uint32_t(PLATFMT_A8R3G3B2)})
            if (f[1] == 0 && usable(tmp_uiFmt))
                f[1] = tmp_uiFmt;
        // Kind 3: 32-bit with alpha.
        if (usable(PLATFMT_A8R8G8B8))
            f[2] = PLATFMT_A8R8G8B8;
        else if (!usable(PLATFMT_X8R8G8B8) && usable(PLATFMT_X4R4G4B4))
            f[2] = PLATFMT_X4R4G4B4;
        else if (usable(PLATFMT_A4R4G4B4))
            f[2] = PLATFMT_A4R4G4B4;
        // Kind 4: 32-bit.
        if (usable(PLATFMT_A8R8G8B8))
            f[3] = PLATFMT_A8R8G8B8;
        else if (usable(PLATFMT_X8R8G8B8))
            f[3] = PLATFMT_X8R8G8B8;
    }
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);

    for (int i = 0; i < 3; ++i)
    {
        const DISPLAYMODEINFO& m = tmp_pModes[i];
        LogAddLine("     Mode" + std::to_string(i + 1) + ":");
        LogAddLine("          Display Mode:");
        LogAddLine("               Surface format: " + GfxFormatName(m.m_uiFormat));
        LogAddLine("                        Width: " + Num(m.m_uiWidth));
        LogAddLine("                       Height: " + Num(m.m_uiHeight));
        LogAddLine("                 Refresh Rate: " + Num(m.m_uiRefreshRate));
        LogAddLine("          Texture Formats:");
        for (int k = 0; k < 4; ++k)
            LogAddLine("               TextureFormat0" + std::to_string(k + 1) + ": " +
                       GfxFormatName(m.m_uiTextureFormats[k]));
        LogAddEmptyLines(i < 2 ? 1 : 2);
    }

    for (int i = 0; i < 3; ++i)
    {
        DISPLAYMODEINFO& m = tmp_pModes[i];
        m.m_bValid = m.m_uiFormat != 0 && m.m_uiTextureFormats[0] != 0 &&
                     m.m_uiTextureFormats[1] != 0 && m.m_uiTextureFormats[2] != 0 &&
                     m.m_uiTextureFormats[3] != 0;
        if (m.m_bValid)
            LogAddLine("          Display Mode " + std::to_string(i + 1) + " is valid.");
    }
    LogAddEmptyLines(2);

    PlatCaps tmp_Caps;
    m_pD3D->GetDeviceCaps(tmp_Caps);
    m_VideoCaps.m_bCanRenderWindowed =
        (tmp_Caps.m_uiCaps2 & PLATCAPS2_CANRENDERWINDOWED) != 0 &&
        static_cast<int64_t>(fp_iWidth) < static_cast<int64_t>(tmp_pModes[2].m_uiWidth) &&
        static_cast<int64_t>(fp_iHeight) < static_cast<int64_t>(tmp_pModes[2].m_uiHeight) &&
        tmp_pModes[2].m_uiFormat != PLATFMT_A8P8 && tmp_pModes[2].m_uiFormat != PLATFMT_P8;
    LogAddLine(m_VideoCaps.m_bCanRenderWindowed
                   ? "          Device can render in windowed mode"
                   : "          Device cannot render in windowed mode");
    LogAddEmptyLines(2);

    m_VideoCaps.m_uiMaxTextureWidth = tmp_Caps.m_uiMaxTextureWidth;
    m_VideoCaps.m_uiMaxTextureHeight = tmp_Caps.m_uiMaxTextureHeight;
    m_VideoCaps.m_uiMaxTextureBlendStages = tmp_Caps.m_uiMaxTextureBlendStages;
    m_VideoCaps.m_uiMaxSimultaneousTextures = tmp_Caps.m_uiMaxSimultaneousTextures;
    LogAddLine("     MaxTextureWidth         = " + Num(m_VideoCaps.m_uiMaxTextureWidth));
    LogAddLine("     MaxTextureHeight        = " + Num(m_VideoCaps.m_uiMaxTextureHeight));
    LogAddLine("     MaxTextureBlendStages   = " + Num(m_VideoCaps.m_uiMaxTextureBlendStages));
    LogAddLine("     MaxSimultaneousTextures = " + Num(m_VideoCaps.m_uiMaxSimultaneousTextures));
    LogAddEmptyLines(2);

    m_VideoCaps.m_bVertexFog = (tmp_Caps.m_uiRasterCaps & PLATPRASTERCAPS_FOGVERTEX) != 0;
    m_VideoCaps.m_bMipmapping = (tmp_Caps.m_uiTextureCaps & PLATPTEXTURECAPS_MIPMAP) != 0;
    m_VideoCaps.m_bDot3 = (tmp_Caps.m_uiTextureOpCaps & PLATTEXOPCAPS_DOTPRODUCT3) != 0;
    m_VideoCaps.m_bClampAddressing =
        (tmp_Caps.m_uiTextureAddressCaps & PLATPTADDRESSCAPS_CLAMP) != 0;
    m_VideoCaps.m_bWrapAddressing = (tmp_Caps.m_uiTextureAddressCaps & PLATPTADDRESSCAPS_WRAP) != 0;
    m_VideoCaps.m_bFullScreenGamma = (tmp_Caps.m_uiCaps2 & PLATCAPS2_FULLSCREENGAMMA) != 0;
    m_VideoCaps.m_bGammaCalibration = (tmp_Caps.m_uiCaps2 & PLATCAPS2_CANCALIBRATEGAMMA) != 0;
    auto tmp_Flag = [this](bool fp_bSet, const char* fp_pszYes, const char* fp_pszNo)
    { LogAddLine(fp_bSet ? fp_pszYes : fp_pszNo); };
    tmp_Flag(m_VideoCaps.m_bVertexFog, "     Vertex Fog is available.",
             "     Vertex Fog is not available.");
    tmp_Flag(m_VideoCaps.m_bMipmapping, "     MipMapping is available.",
             "     MipMapping is not available.");
    tmp_Flag(m_VideoCaps.m_bDot3, "     Dot3 Bump Mapping is available.",
             "     Dot3 Bump Mapping is not available.");
    LogAddEmptyLines(2);
    tmp_Flag(m_VideoCaps.m_bClampAddressing, "     Texture addr. mode: Clamp is available.",
             "     Texture addr. mode: Clamp is not available.");
    tmp_Flag(m_VideoCaps.m_bWrapAddressing, "     Texture addr. mode: Wrap is available.",
             "     Texture addr. mode: Wrap is not available.");
    LogAddEmptyLines(2);
    tmp_Flag(m_VideoCaps.m_bFullScreenGamma,
             "     Dynamic gamma adjusting in full screen is supported.",
             "     Dynamic gamma adjusting in full screen is not supported.");
    tmp_Flag(m_VideoCaps.m_bGammaCalibration, "     Gamma calibrating is supported.",
             "     Gamma calibrating is not supported.");
}

void CVelora::GfxGetVideoCaps(VIDEOCAPS& fp_Caps)
{
    Checkpoint(kFileID);
    if (!m_bGfxStarted)
        ThrowGame("Cannot provide videocard caps - GFX system was not initialized!");
    fp_Caps = m_VideoCaps;
}

void CVelora::GfxInit(int fp_iDisplayMode, bool fp_bWindowed)
{
    Checkpoint(kFileID);
    LogAddSeparator(1);
    LogAddEntry("Initializing Graphics Subsystem...", 3);
    if (m_pD3D == nullptr)
        ThrowGeneral("Direct3D object was not created!");
    if (fp_bWindowed)
    {
        if (!m_VideoCaps.m_bCanRenderWindowed)
            ThrowGame("Cannot switch to windowed rendering.");
        if (fp_iDisplayMode == 1 || fp_iDisplayMode == 2)
            ThrowGame("Wrong combination of display mode params.");
    }
    // There are three mode records; any other number would read outside them.
    if (fp_iDisplayMode < 1 || fp_iDisplayMode > 3)
        ThrowGame("Wrong combination of display mode params.");

    m_iDisplayMode = fp_iDisplayMode;
    m_bWindowed = fp_bWindowed;
    LogAddEmptyLines(1);
    LogAddEntry("Creating window...", 1);
    int tmp_iWidth = 0, tmp_iHeight = 0;
    GfxGetScreenSize(tmp_iWidth, tmp_iHeight);
    CreateGameWindow(m_pWindow, tmp_iWidth, tmp_iHeight, fp_bWindowed);
    ProcessMessages();
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);

    m_PresentParams = PlatPresentParams{};
    m_PresentParams.m_uiBackBufferWidth = static_cast<uint32_t>(tmp_iWidth);
    m_PresentParams.m_uiBackBufferHeight = static_cast<uint32_t>(tmp_iHeight);
    m_PresentParams.m_uiBackBufferFormat = m_VideoCaps.m_Modes[fp_iDisplayMode - 1].m_uiFormat;
    m_PresentParams.m_uiBackBufferCount = 1;
    m_PresentParams.m_uiSwapEffect = fp_bWindowed ? PLATSWAPEFFECT_COPY : PLATSWAPEFFECT_FLIP;
    m_PresentParams.m_pDeviceWindow = m_pWindow;
    m_PresentParams.m_bWindowed = fp_bWindowed;

    LogAddEmptyLines(1);
    LogAddEntry("Creating D3DDevice...", 1);
    const PlatResult tmp_iResult = m_pD3D->CreateDevice(m_pWindow, m_PresentParams, &m_pD3DDevice);
    if (tmp_iResult != PLAT_OK)
        ThrowGeneral("Cannot create D3DDevice!", tmp_iResult);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);

    const PlatResult tmp_iIB = m_pD3DDevice->CreateIndexBuffer(
        kIndexBufferBytes, PLATUSAGE_WRITEONLY, PLATFMT_INDEX16, PLATPOOL_MANAGED, &m_pIB);
    if (tmp_iIB != PLAT_OK)
        ThrowGeneral("Cannot create Index Buffer!", tmp_iIB);
    VQuadFillIndexBuffer();
    LogAddSeparator(1);
    LogAddEmptyLines(1);

    GfxRestoreState();
    LogAddEmptyLines(1);

    LogAddEntry("Creating Textures Manager...", 1);
    m_pTextures = new (std::nothrow) TItemsManagerCOM<PlatTexture>;
    if (m_pTextures == nullptr)
        ThrowGeneral("Cannot create Textures Manager!");
    LogAddEmptyLines(1);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);

    LogAddEntry("Creating Lights Manager...", 1);
    m_pLights = new (std::nothrow) TItemsManager<VLALIGHT>;
    if (m_pLights == nullptr)
        ThrowGeneral("Cannot create Lights Manager!");
    LogAddEmptyLines(1);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);

    LogAddEntry("Creating Techniques Manager...", 1);
    m_pTechniques = new (std::nothrow) TItemsManager<VLATECHNIQUE>;
    if (m_pTechniques == nullptr)
        ThrowGeneral("Cannot create Techniques Manager!");
    LogAddEmptyLines(1);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);

    LogAddEntry("Creating Fonts Manager...", 1);
    m_pFonts = new (std::nothrow) TItemsManager<FONTINFO>;
    if (m_pFonts == nullptr)
        ThrowGeneral("Cannot create Fonts Manager!");
    LogAddEmptyLines(1);
    LogAddEntry("Done.", 4);

    m_bGfxDeviceCreated = true;
}

void CVelora::GfxRestoreState()
{
    Checkpoint(kFileID);
    m_pD3DDevice->SetVertexShader(PLATFVF_VLAVERTEX);
    m_pD3DDevice->SetRenderState(PLATRS_LIGHTING, 0);
    m_pD3DDevice->ShowCursor(false);

    for (VLAVERTEX& tmp_Vertex : m_QuadTemplate)
    {
        tmp_Vertex.m_fZ = 0.5f;
        tmp_Vertex.m_fRHW = 0.5f;
    }

    m_iLightMode = 0;
    m_fAmbientColor[0] = m_fAmbientColor[1] = m_fAmbientColor[2] = 0.0f;
    m_fAmbientColor[3] = 1.0f;

    for (int32_t& tmp_iTexture : m_iCurrentTexture)
        tmp_iTexture = -1;
    m_iCurrentTechnique = -1;
    m_iCurrentFont = -1;

    if (m_pD3DDevice->CreateVertexBuffer(kVertexBufferBytes,
                                         PLATUSAGE_DYNAMIC | PLATUSAGE_WRITEONLY, PLATFVF_VLAVERTEX,
                                         PLATPOOL_DEFAULT, &m_pVB) != PLAT_OK)
        ThrowGame("Cannot create Vertex Buffer!");
    if (m_pD3DDevice->SetIndices(m_pIB, 0) != PLAT_OK)
        ThrowGeneral("Cannot process index buffer!");
}

bool CVelora::GfxCheckDevice()
{
    Checkpoint(kFileID);
    const PlatResult tmp_iLevel = m_pD3DDevice->TestCooperativeLevel();
    if (tmp_iLevel == PLAT_OK)
        return true;
    if (tmp_iLevel == PLATERR_DEVICELOST)
    {
        LogAddEntry("Device is lost and currently cannot be restored.", 4);
        return false;
    }
    if (tmp_iLevel == PLATERR_DEVICENOTRESET)
    {
        LogAddEntry("D3DDevice is lost. Trying to reset...", 1);
        // Default-pool objects must be gone before a reset.
        if (m_pVB != nullptr)
        {
            m_pVB->Release();
            m_pVB = nullptr;
        }
        m_pD3DDevice->SetStreamSource(0, nullptr, 0);
        if (m_pD3DDevice->Reset(m_PresentParams) != PLAT_OK)
        {
            LogAddEntry("Failed.", 5);
            return false;
        }
        LogAddEntry("Done.", 4);
        GfxRestoreState();
        return true;
    }
    return false;
}

void CVelora::GfxGetScreenSize(int& fp_iWidth, int& fp_iHeight)
{
    Checkpoint(kFileID);
    const DISPLAYMODEINFO& tmp_Mode =
        (m_iDisplayMode == 3 && !m_bWindowed) ? m_VideoCaps.m_Modes[2] : m_VideoCaps.m_Modes[0];
    fp_iWidth = static_cast<int>(tmp_Mode.m_uiWidth);
    fp_iHeight = static_cast<int>(tmp_Mode.m_uiHeight);
}

namespace
{
template <typename TStore>
void DestroyStore(CVelora* fp_pVLA, TStore*& fp_pStore, const char* fp_pszName)
{
    fp_pVLA->LogAddEntry(std::string("Destroying ") + fp_pszName + " Manager...", 1);
    if (fp_pStore == nullptr)
    {
        fp_pVLA->LogAddEntry("Failed.", 4);
        return;
    }
    fp_pStore->FreeAllItems();
    delete fp_pStore;
    fp_pStore = nullptr;
    fp_pVLA->LogAddEntry("Done.", 4);
}
} // namespace

void CVelora::GfxDeinit()
{
    Checkpoint(kFileID);
    LogAddSeparator(1);
    LogAddEntry("Deinitializing Graphics Subsystem...", 3);
    if (m_bGfxDeviceCreated)
    {
        m_pD3DDevice->SetStreamSource(0, nullptr, 0);
        m_pD3DDevice->SetIndices(nullptr, 0);
        // The stages let go of their textures too, or the texture store could not release
        // them: a texture bound at the end of the last frame is the normal case at shutdown.
        for (uint32_t s = 0; s < PLAT_MAX_STAGES; ++s)
            m_pD3DDevice->SetTexture(s, nullptr);
        m_pBatchData = nullptr;
        m_iBatchCount = 0;
        if (m_pVB != nullptr)
            m_pVB->Release();
        m_pVB = nullptr;
        if (m_pIB != nullptr)
            m_pIB->Release();
        m_pIB = nullptr;
        DestroyStore(this, m_pTextures, "Textures");
        DestroyStore(this, m_pLights, "Lights");
        DestroyStore(this, m_pTechniques, "Techniques");
        DestroyStore(this, m_pFonts, "Fonts");
        if (m_pD3DDevice->Release() > 0)
            LogAddEntry("pD3Device references left!", 6);
        m_pD3DDevice = nullptr;
        m_bGfxDeviceCreated = false;
        DestroyGameWindow(m_pWindow);
        m_pWindow = nullptr;
    }
    if (m_pD3D != nullptr)
    {
        if (m_pD3D->Release() > 0)
            LogAddEntry("pD3D references left!", 6);
        m_pD3D = nullptr;
    }
    m_bGfxStarted = false;
    LogAddEntry("Done.", 3);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

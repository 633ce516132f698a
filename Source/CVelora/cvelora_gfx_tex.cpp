// Textures: decoding image files into device textures of the display mode's formats, the texture
// store (one reference per texture), lookup and unloading, and the binding of textures to the
// device's texture stages with the current texture of each stage remembered.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_gfx_tex.h"
#include "CVelora/cvelora_utils_csmartid.h"
#include "TexDecode/texdecode.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr int kFileID = 118;
} // namespace

void RESLOAD_Texture(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                     int fp_iData1, int fp_iData2, int fp_iData3)
{
    Checkpoint(kFileID);
    GetEngine()->TexLoadFromMemory(fp_pData, fp_iSize, fp_iData1, fp_pszID, fp_iData2, fp_iTag,
                                   fp_iData3);
}

int CVelora::TexLoadFromMemory(const void* fp_pData, int fp_iSize, int fp_iKind,
                               const std::string& fp_strID, int fp_iMipLevels, int fp_iTag,
                               int fp_iMaxSize)
{
    Checkpoint(kFileID);
    if (!m_bGfxDeviceCreated)
        ThrowGeneral("D3DDevice object was not created!");
    const int tmp_iLoaded = m_pTextures->FindItem(fp_strID);
    if (tmp_iLoaded != -1)
        return tmp_iLoaded;

    // 0 (or less) asks for the image's own size.
    int tmp_iMaxSize = std::min(fp_iMaxSize, static_cast<int>(m_VideoCaps.m_uiMaxTextureWidth));
    if (tmp_iMaxSize < 0)
        tmp_iMaxSize = 0;

    LogAddEmptyLines(1);
    LogAddEntry("Loading texture from memory. ID = " + fp_strID, 1);
    const int tmp_iKind = (fp_iKind < 1 || fp_iKind > 4) ? 1 : fp_iKind;
    const uint32_t tmp_uiFormat =
        m_VideoCaps.m_Modes[m_iDisplayMode - 1].m_uiTextureFormats[tmp_iKind - 1];
    const int tmp_iMips = (m_VideoCaps.m_bMipmapping && fp_iMipLevels >= 1) ? fp_iMipLevels : 1;

    TexImage tmp_Image;
    std::string tmp_strError;
    if (fp_pData == nullptr || fp_iSize <= 0 ||
        !TexDecode(fp_pData, static_cast<size_t>(fp_iSize), tmp_uiFormat, tmp_iMaxSize,
                   tmp_iMaxSize, tmp_iMips, tmp_Image, tmp_strError))
        ThrowGeneral("Cannot create texture object!");

    PlatTexture* tmp_pTexture = nullptr;
    if (m_pD3DDevice->CreateTexture(static_cast<uint32_t>(tmp_Image.m_iWidth),
                                    static_cast<uint32_t>(tmp_Image.m_iHeight),
                                    static_cast<uint32_t>(tmp_Image.m_Levels.size()), 0,
                                    tmp_uiFormat, PLATPOOL_MANAGED, &tmp_pTexture) != PLAT_OK)
        ThrowGeneral("Cannot create texture object!");
    for (uint32_t i = 0; i < tmp_pTexture->GetLevelCount(); ++i)
    {
        PlatLockedRect tmp_Rect;
        const std::vector<uint8_t>& tmp_Level = tmp_Image.m_Levels[i];
        if (tmp_pTexture->LockRect(i, tmp_Rect, 0) != PLAT_OK)
        {
            tmp_pTexture->Release();
            ThrowGeneral("Cannot create texture object!");
        }
        uint32_t w = 0, h = 0;
        tmp_pTexture->GetLevelSize(i, w, h);
        const size_t tmp_uRow = size_t(w) * PlatFormatBytesPerPixel(tmp_uiFormat);
        for (uint32_t y = 0; y < h && (y + 1) * tmp_uRow <= tmp_Level.size(); ++y)
            std::memcpy(static_cast<uint8_t*>(tmp_Rect.m_pBits) + y * size_t(tmp_Rect.m_iPitch),
                        tmp_Level.data() + y * tmp_uRow, tmp_uRow);
        tmp_pTexture->UnlockRect(i);
    }

    const int tmp_iID = m_pTextures->AddItem(tmp_pTexture, fp_strID, fp_iTag);
    LogAddEntry("Done.", 1);
    LogAddEmptyLines(1);
    CSmartID::SetSmartIDNumber(fp_strID, tmp_iID);
    return tmp_iID;
}

int CVelora::TexGetID(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    if (!m_bGfxDeviceCreated)
        ThrowGeneral("D3DDevice object was not created!");
    const int tmp_iID = m_pTextures->FindItem(fp_strID);
    if (tmp_iID == -1)
        LogAddEntry("Cannot find iID of texture with strID = " + fp_strID, 5);
    return tmp_iID;
}

namespace
{
// A texture still bound on a stage holds a device reference, so the store could not release it.
// Raise what the store would raise, before the store gives up its own reference: releasing first
// would leave the slot pointing at a texture the device frees later.
void CheckNotBound(PlatGfxDevice* fp_pDevice, PlatTexture* fp_pTexture)
{
    for (uint32_t s = 0; s < PLAT_MAX_STAGES; ++s)
        if (fp_pTexture != nullptr && fp_pDevice->GetTexture(s) == fp_pTexture)
            throw "Unreleased object references left!";
}
} // namespace

void CVelora::TexUnloadByID(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    if (!m_bGfxDeviceCreated)
        ThrowGeneral("D3DDevice object was not created!");
    LogAddEmptyLines(1);
    LogAddEntry("Unloading texture, strID = " + fp_strID, 1);
    CSmartID::SetSmartIDNumber(fp_strID, -1);
    const int tmp_iID = m_pTextures->FindItem(fp_strID);
    if (tmp_iID != -1)
        CheckNotBound(m_pD3DDevice, m_pTextures->GetItem(tmp_iID));
    if (tmp_iID != -1 && m_pTextures->DeleteItem(tmp_iID))
        LogAddEntry("Done.", 4);
    else
        LogAddEntry("Failed.", 5);
}

void CVelora::TexUnloadByID(int fp_iID)
{
    Checkpoint(kFileID);
    if (!m_bGfxDeviceCreated)
        ThrowGeneral("D3DDevice object was not created!");
    LogAddEmptyLines(1);
    LogAddEntry("Unloading texture, iID = " + std::to_string(fp_iID), 1);
    CSmartID::ResetSmartIDNumber(fp_iID, SMARTID_TEXTURE);
    if (fp_iID >= 0 && fp_iID < m_pTextures->GetCount() && m_pTextures->GetItem(fp_iID) != nullptr)
    {
        CheckNotBound(m_pD3DDevice, m_pTextures->GetItem(fp_iID));
        m_pTextures->FreeItem(fp_iID);
        LogAddEntry("Done.", 4);
    }
    else
        LogAddEntry("Failed.", 5);
}

void CVelora::TexSet(int fp_iID, int fp_iStage)
{
    Checkpoint(kFileID);
    // Stage numbers index the eight current-texture slots.
    if (fp_iStage < 0 || fp_iStage >= 8)
        ThrowGame("Wrong texture stage: must be 0 to 7");
    if (fp_iID == m_iCurrentTexture[fp_iStage])
        return;
    VQuadFlushBatch();
    if (m_pTextures != nullptr && fp_iID >= 0 && fp_iID < m_pTextures->GetCount())
    {
        if (PlatTexture* tmp_pTexture = m_pTextures->GetItem(fp_iID))
        {
            m_pD3DDevice->SetTexture(static_cast<uint32_t>(fp_iStage), tmp_pTexture);
            m_iCurrentTexture[fp_iStage] = fp_iID;
            return;
        }
    }
    ThrowGeneral("Cannot set texture - invalid ID!");
}

void CVelora::TexSet(const std::string& fp_strID, int fp_iStage)
{
    Checkpoint(kFileID);
    TexSet(m_pTextures != nullptr ? m_pTextures->FindItem(fp_strID) : -1, fp_iStage);
}

void CVelora::TexSet(const CSmartID& fp_SmartID, int fp_iStage)
{
    Checkpoint(kFileID);
    TexSet(fp_SmartID.GetIID(), fp_iStage);
}

void CVelora::TexSetNoTexture(int fp_iStage)
{
    Checkpoint(kFileID);
    if (fp_iStage < 0 || fp_iStage >= 8)
        ThrowGame("Wrong texture stage: must be 0 to 7");
    if (!m_bGfxDeviceCreated)
        ThrowGeneral("D3DDevice object was not created!");
    VQuadFlushBatch();
    m_pD3DDevice->SetTexture(static_cast<uint32_t>(fp_iStage), nullptr);
    m_iCurrentTexture[fp_iStage] = -1;
}

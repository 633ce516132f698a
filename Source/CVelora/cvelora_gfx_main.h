// Graphics device and video modes: the capability record and display-mode records filled by the
// pre-initialisation, the video-card rating table and the format names of the log. The device's
// start, check and stop are CVelora members (graphics block of cvelora.h).
#pragma once

#include <cstdint>
#include <string>

struct DISPLAYMODEINFO
{
    uint32_t m_uiWidth = 0; // 0 when no mode was found
    uint32_t m_uiHeight = 0;
    uint32_t m_uiRefreshRate = 0;
    uint32_t m_uiFormat = 0;             // surface format; 0 when no mode was found
    uint32_t m_uiTextureFormats[4] = {}; // texture kinds 1 to 4; 0 = none usable
    bool m_bValid = false;
};

struct VIDEOCAPS
{
    DISPLAYMODEINFO m_Modes[3];
    bool m_bCanRenderWindowed = false;
    uint32_t m_uiMaxTextureWidth = 0;
    uint32_t m_uiMaxTextureHeight = 0;
    uint32_t m_uiMaxTextureBlendStages = 0;
    uint32_t m_uiMaxSimultaneousTextures = 0;
    bool m_bVertexFog = false;
    bool m_bDot3 = false;
    bool m_bMipmapping = false;
    bool m_bClampAddressing = false;
    bool m_bWrapAddressing = false;
    bool m_bFullScreenGamma = false;
    bool m_bGammaCalibration = false;
    int32_t m_iRating = 0; // 1 (weakest) to 5; 0 = card not in the table
};

// "D3DFMT_" + the format's name, or "Unknown format!".
std::string GfxFormatName(uint32_t fp_uiFormat);
// Rating of a video card by PCI vendor and device ID; 0 when it is not in the table.
int GfxRateVideoCard(uint32_t fp_uiVendorID, uint32_t fp_uiDeviceID);

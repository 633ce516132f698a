// Techniques: keyword tables, reading techniques from pack elements, the TECHNIQUE loader,
// lookup and applying (see cvelora_gfx_tech.h).
#include "CVelora/cvelora_gfx_tech.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_res_main.h"
#include "CVelora/cvelora_utils_csmartid.h"
#include "CVelora/cvelora_utils_xml.h"
#include "Platform/plat_gfx.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

namespace
{
constexpr int kFileID = 125;
constexpr int kLoaderFileID = 123; // the standard resource loaders

constexpr VLAKeyword kBlendRows[] = {
    {"ZERO", 1},      {"ONE", 2},           {"SRCCOLOR", 3},     {"INVSRCCOLOR", 4},
    {"SRCALPHA", 5},  {"INVSRCALPHA", 6},   {"DESTALPHA", 7},    {"INVDESTALPHA", 8},
    {"DESTCOLOR", 9}, {"INVDESTCOLOR", 10}, {"SRCALPHASAT", 11},
};
constexpr VLAKeyword kTextureOpRows[] = {
    {"DISABLE", 1}, {"SELECTARG1", 2}, {"SELECTARG2", 3},   {"MODULATE", 4},
    {"ADD", 7},     {"SUBTRACT", 10},  {"DOTPRODUCT3", 24},
};
constexpr VLAKeyword kTextureArgRows[] = {
    {"CURRENT", 1}, {"DIFFUSE", 0}, {"SPECULAR", 4}, {"TEXTURE", 2}, {"TFACTOR", 3},
};
constexpr VLAKeyword kAddressRows[] = {{"WRAP", 1}, {"CLAMP", 3}};
constexpr VLAKeyword kFilterRows[] = {{"NONE", 0}, {"POINT", 1}, {"LINEAR", 2}};
constexpr VLAKeyword kLightModeRows[] = {
    {"DISABLED", LIGHTMODE_DISABLED},
    {"VERTEX", LIGHTMODE_VERTEX},
    {"DOT3", LIGHTMODE_DOT3},
};

// The names of the per-stage attributes, stage 0 then stage 1.
struct StageAttributeNames
{
    const char* m_pszColorOp;
    const char* m_pszColorArg1;
    const char* m_pszColorArg2;
    const char* m_pszAlphaOp;
    const char* m_pszAlphaArg1;
    const char* m_pszAlphaArg2;
    const char* m_pszAddress;
    const char* m_pszMinFilter;
    const char* m_pszMagFilter;
    const char* m_pszMipFilter;
};
constexpr StageAttributeNames kStageNames[2] = {
    {"s0_colorop", "s0_colorarg1", "s0_colorarg2", "s0_alphaop", "s0_alphaarg1", "s0_alphaarg2",
     "s0_address", "s0_minfilter", "s0_magfilter", "s0_mipfilter"},
    {"s1_colorop", "s1_colorarg1", "s1_colorarg2", "s1_alphaop", "s1_alphaarg1", "s1_alphaarg2",
     "s1_address", "s1_minfilter", "s1_magfilter", "s1_mipfilter"},
};
} // namespace

const VLAKeywordTable kTechBlendKeywords{kBlendRows};
const VLAKeywordTable kTechTextureOpKeywords{kTextureOpRows};
const VLAKeywordTable kTechTextureArgKeywords{kTextureArgRows};
const VLAKeywordTable kTechAddressKeywords{kAddressRows};
const VLAKeywordTable kTechFilterKeywords{kFilterRows};
const VLAKeywordTable kTechLightModeKeywords{kLightModeRows};

uint32_t TechKeywordValue(VLAKeywordTable fp_Table, std::string_view fp_Text)
{
    for (const VLAKeyword& tmp_Row : fp_Table)
        if (fp_Text == tmp_Row.m_pszName)
            return tmp_Row.m_uiValue;
    return fp_Table.front().m_uiValue;
}

const char* TechKeywordName(VLAKeywordTable fp_Table, uint32_t fp_uiValue)
{
    for (const VLAKeyword& tmp_Row : fp_Table)
        if (tmp_Row.m_uiValue == fp_uiValue)
            return tmp_Row.m_pszName;
    return nullptr;
}

float TechReadFloat(std::string_view fp_Text)
{
    // strtod needs a terminated string; the C library's reading of leading blanks and signs is
    // the one the data formats were written for.
    const std::string tmp_str(fp_Text);
    return static_cast<float>(std::strtod(tmp_str.c_str(), nullptr));
}

int TechReadInt(std::string_view fp_Text)
{
    const std::string tmp_str(fp_Text);
    const long tmp_lValue = std::strtol(tmp_str.c_str(), nullptr, 10);
    if (tmp_lValue > INT32_MAX)
        return INT32_MAX;
    if (tmp_lValue < INT32_MIN)
        return INT32_MIN;
    return static_cast<int>(tmp_lValue);
}

uint32_t TechColorByte(float fp_fValue)
{
    const float tmp_fScaled = fp_fValue * 255.0f;
    // Only the low 8 bits count; values too large for an integer (or not numbers) have no
    // meaningful low bits and give 0 rather than an undefined conversion.
    if (!std::isfinite(tmp_fScaled) || std::fabs(tmp_fScaled) >= 9.0e18f)
        return 0;
    return static_cast<uint32_t>(static_cast<int64_t>(tmp_fScaled)) & 0xFFu;
}

uint32_t TechColorFromTexts(std::string_view fp_R, std::string_view fp_G, std::string_view fp_B,
                            std::string_view fp_A)
{
    return TechColorByte(TechReadFloat(fp_A)) << 24 | TechColorByte(TechReadFloat(fp_R)) << 16 |
           TechColorByte(TechReadFloat(fp_G)) << 8 | TechColorByte(TechReadFloat(fp_B));
}

void TechReadAttributes(VLATECHNIQUE& fp_Tech, const VLAAttributeFunc& fp_Attr)
{
    Checkpoint(kFileID);
    const std::string_view tmp_Blending = fp_Attr("alphablending");
    fp_Tech.m_bBlendingDefined = !tmp_Blending.empty();
    if (fp_Tech.m_bBlendingDefined)
    {
        fp_Tech.m_bBlendingOn = tmp_Blending == "ON";
        fp_Tech.m_uiSrcBlend = TechKeywordValue(kTechBlendKeywords, fp_Attr("absrc"));
        fp_Tech.m_uiDestBlend = TechKeywordValue(kTechBlendKeywords, fp_Attr("abdest"));
    }

    const std::string_view tmp_Fog = fp_Attr("fog");
    fp_Tech.m_bFogDefined = !tmp_Fog.empty();
    if (fp_Tech.m_bFogDefined)
    {
        fp_Tech.m_bFogOn = tmp_Fog == "ON";
        fp_Tech.m_fFogStart = TechReadFloat(fp_Attr("fogstart"));
        fp_Tech.m_fFogEnd = TechReadFloat(fp_Attr("fogend"));
        fp_Tech.m_uiFogColor =
            0xFF000000u | (TechColorFromTexts(fp_Attr("fogcolorr"), fp_Attr("fogcolorg"),
                                              fp_Attr("fogcolorb"), "") &
                           0x00FFFFFFu);
    }

    const std::string_view tmp_FactorR = fp_Attr("texturefactorr");
    fp_Tech.m_bTextureFactorDefined = !tmp_FactorR.empty();
    if (fp_Tech.m_bTextureFactorDefined)
        fp_Tech.m_uiTextureFactor =
            TechColorFromTexts(tmp_FactorR, fp_Attr("texturefactorg"), fp_Attr("texturefactorb"),
                               fp_Attr("texturefactora"));

    fp_Tech.m_bStagesDefined = !fp_Attr("s0_colorop").empty();
    if (fp_Tech.m_bStagesDefined)
    {
        for (int s = 0; s < 2; ++s)
        {
            const StageAttributeNames& n = kStageNames[s];
            fp_Tech.m_uiColorOp[s] =
                TechKeywordValue(kTechTextureOpKeywords, fp_Attr(n.m_pszColorOp));
            fp_Tech.m_uiColorArg1[s] =
                TechKeywordValue(kTechTextureArgKeywords, fp_Attr(n.m_pszColorArg1));
            fp_Tech.m_uiColorArg2[s] =
                TechKeywordValue(kTechTextureArgKeywords, fp_Attr(n.m_pszColorArg2));
            fp_Tech.m_uiAlphaOp[s] =
                TechKeywordValue(kTechTextureOpKeywords, fp_Attr(n.m_pszAlphaOp));
            fp_Tech.m_uiAlphaArg1[s] =
                TechKeywordValue(kTechTextureArgKeywords, fp_Attr(n.m_pszAlphaArg1));
            fp_Tech.m_uiAlphaArg2[s] =
                TechKeywordValue(kTechTextureArgKeywords, fp_Attr(n.m_pszAlphaArg2));
            fp_Tech.m_uiAddress[s] =
                TechKeywordValue(kTechAddressKeywords, fp_Attr(n.m_pszAddress));
        }
    }

    fp_Tech.m_bFiltersDefined = !fp_Attr("s0_minfilter").empty();
    if (fp_Tech.m_bFiltersDefined)
    {
        for (int s = 0; s < 2; ++s)
        {
            const StageAttributeNames& n = kStageNames[s];
            fp_Tech.m_uiMinFilter[s] =
                TechKeywordValue(kTechFilterKeywords, fp_Attr(n.m_pszMinFilter));
            fp_Tech.m_uiMagFilter[s] =
                TechKeywordValue(kTechFilterKeywords, fp_Attr(n.m_pszMagFilter));
            fp_Tech.m_uiMipFilter[s] =
                TechKeywordValue(kTechFilterKeywords, fp_Attr(n.m_pszMipFilter));
        }
    }

    const std::string_view tmp_LightMode = fp_Attr("dynlightmode");
    fp_Tech.m_bDynLightDefined = !tmp_LightMode.empty();
    if (fp_Tech.m_bDynLightDefined)
    {
        fp_Tech.m_uiDynLightMode = TechKeywordValue(kTechLightModeKeywords, tmp_LightMode);
        fp_Tech.m_uiAmbientColor =
            0xFF000000u |
            (TechColorFromTexts(fp_Attr("dynlightambientcolorr"), fp_Attr("dynlightambientcolorg"),
                                fp_Attr("dynlightambientcolorb"), "") &
             0x00FFFFFFu);
    }
}

void CVelora::TechLoadPack(const void* fp_pData, int fp_iSize)
{
    Checkpoint(kFileID);
    CXMLDocument tmp_Doc;
    tmp_Doc.LoadFromBuffer(fp_pData, fp_iSize, m_bXMLEncryption);
    tmp_Doc.Parse();

    LogAddEmptyLines(1);
    LogAddEntry("Processing techniques pack...", 2);

    const CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
    if (tmp_pRoot == nullptr || tmp_pRoot->GetNameView().empty())
        ThrowGeneral("Error in XML parser: Root node is NULL!");
    if (tmp_pRoot->GetNameView() != "techniquespack")
        ThrowGeneral("Wrong XML root node name: must be techniquespack!");
    if (m_pTechniques == nullptr)
        ThrowGeneral("D3DDevice object was not created!");

    int tmp_iCount = 0;
    for (int i = 0; i < tmp_pRoot->GetChildCount(); ++i)
    {
        const CXMLNode* tmp_pChild = tmp_pRoot->GetChild(i);
        if (tmp_pChild == nullptr)
            ThrowGeneral("Error in XML parser - child node is NULL!");
        const std::string tmp_strID = tmp_pChild->GetAttribute("id");
        if (tmp_strID.empty())
            ThrowGeneral("Ivanlid technique ID!");
        // A technique defined twice keeps its first definition.
        if (m_pTechniques->FindItem(tmp_strID) != -1)
            continue;

        auto* tmp_pTech = new (std::nothrow) VLATECHNIQUE();
        if (tmp_pTech == nullptr)
            ThrowGeneral("Cannot create VLATECHNIQUE object!");
        TechReadAttributes(*tmp_pTech, [tmp_pChild](std::string_view fp_Name)
                           { return tmp_pChild->GetAttributeView(fp_Name); });
        const int tmp_iTag = TechReadInt(tmp_pChild->GetAttributeView("tag"));
        const int tmp_iID = m_pTechniques->AddItem(tmp_pTech, tmp_strID, tmp_iTag);
        CSmartID::SetSmartIDNumber(tmp_strID, tmp_iID);
        ++tmp_iCount;
    }

    LogAddEntry(std::to_string(tmp_iCount) + " techniques loaded.", 4);
    LogAddEmptyLines(1);
}

int CVelora::TechGetID(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    const int tmp_iID = m_pTechniques != nullptr ? m_pTechniques->FindItem(fp_strID) : -1;
    if (tmp_iID == -1)
        LogAddEntry("Cannot find iID of technique with strID = " + fp_strID, 5);
    return tmp_iID;
}

void CVelora::TechApply(int fp_iID)
{
    Checkpoint(kFileID);
    if (fp_iID == m_iCurrentTechnique)
        return;
    VQuadFlushBatch();
    if (m_pTechniques == nullptr || fp_iID < 0 || fp_iID >= m_pTechniques->GetCount() ||
        m_pTechniques->GetItem(fp_iID) == nullptr)
        ThrowGame("Invalid technique ID! ID = " + std::to_string(fp_iID));
    const VLATECHNIQUE& t = *m_pTechniques->GetItem(fp_iID);
    PlatGfxDevice* d = m_pD3DDevice;

    if (t.m_bBlendingDefined)
    {
        d->SetRenderState(PLATRS_ALPHABLENDENABLE, t.m_bBlendingOn ? 1 : 0);
        d->SetRenderState(PLATRS_SRCBLEND, t.m_uiSrcBlend);
        d->SetRenderState(PLATRS_DESTBLEND, t.m_uiDestBlend);
    }
    if (t.m_bFogDefined)
    {
        m_bFogOn = t.m_bFogOn;
        d->SetRenderState(PLATRS_FOGENABLE, t.m_bFogOn ? 1 : 0);
        d->SetRenderState(PLATRS_FOGVERTEXMODE, PLATFOG_LINEAR);
        d->SetRenderState(PLATRS_FOGSTART, std::bit_cast<uint32_t>(t.m_fFogStart));
        d->SetRenderState(PLATRS_FOGEND, std::bit_cast<uint32_t>(t.m_fFogEnd));
        d->SetRenderState(PLATRS_FOGCOLOR, t.m_uiFogColor);
    }
    if (t.m_bTextureFactorDefined)
        d->SetRenderState(PLATRS_TEXTUREFACTOR, t.m_uiTextureFactor);
    if (t.m_bStagesDefined)
    {
        for (uint32_t s = 0; s < 2; ++s)
        {
            d->SetTextureStageState(s, PLATTSS_COLOROP, t.m_uiColorOp[s]);
            // A disabled stage 1 ends the cascade; its other values stay as they were.
            if (s == 1 && t.m_uiColorOp[s] == PLATTOP_DISABLE)
                break;
            d->SetTextureStageState(s, PLATTSS_COLORARG1, t.m_uiColorArg1[s]);
            d->SetTextureStageState(s, PLATTSS_COLORARG2, t.m_uiColorArg2[s]);
            d->SetTextureStageState(s, PLATTSS_ALPHAOP, t.m_uiAlphaOp[s]);
            d->SetTextureStageState(s, PLATTSS_ALPHAARG1, t.m_uiAlphaArg1[s]);
            d->SetTextureStageState(s, PLATTSS_ALPHAARG2, t.m_uiAlphaArg2[s]);
            d->SetTextureStageState(s, PLATTSS_ADDRESSU, t.m_uiAddress[s]);
            d->SetTextureStageState(s, PLATTSS_ADDRESSV, t.m_uiAddress[s]);
        }
    }
    if (t.m_bFiltersDefined)
    {
        for (uint32_t s = 0; s < 2; ++s)
        {
            d->SetTextureStageState(s, PLATTSS_MINFILTER, t.m_uiMinFilter[s]);
            d->SetTextureStageState(s, PLATTSS_MAGFILTER, t.m_uiMagFilter[s]);
            d->SetTextureStageState(s, PLATTSS_MIPFILTER, t.m_uiMipFilter[s]);
        }
    }
    if (t.m_bDynLightDefined)
    {
        LightSetMode(static_cast<int>(t.m_uiDynLightMode));
        m_fAmbientColor[0] = static_cast<float>((t.m_uiAmbientColor >> 16) & 0xFF) / 255.0f;
        m_fAmbientColor[1] = static_cast<float>((t.m_uiAmbientColor >> 8) & 0xFF) / 255.0f;
        m_fAmbientColor[2] = static_cast<float>(t.m_uiAmbientColor & 0xFF) / 255.0f;
        m_fAmbientColor[3] = 1.0f;
    }
    m_iCurrentTechnique = fp_iID;
}

void CVelora::TechApply(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    TechApply(m_pTechniques != nullptr ? m_pTechniques->FindItem(fp_strID) : -1);
}

void CVelora::TechApply(const CSmartID& fp_SmartID)
{
    Checkpoint(kFileID);
    TechApply(fp_SmartID.GetIID());
}

void RESLOAD_Technique(const uint8_t* fp_pData, int fp_iSize, const char* /*fp_pszID*/,
                       int /*fp_iTag*/, int /*fp_iData1*/, int /*fp_iData2*/, int /*fp_iData3*/)
{
    Checkpoint(kLoaderFileID);
    GetEngine()->TechLoadPack(fp_pData, fp_iSize);
}

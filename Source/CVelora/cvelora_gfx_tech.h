// Techniques: named bundles of render and texture-stage states read from techniques-pack XML,
// the keyword tables that name their values (one table per kind, used both ways), and the
// record each technique is kept in. Loading and applying are CVelora members (graphics block);
// applying sets only the groups a technique defines.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

// One keyword and the device value it stands for.
struct VLAKeyword
{
    const char* m_pszName;
    uint32_t m_uiValue;
};
using VLAKeywordTable = std::span<const VLAKeyword>;

// The keyword tables of the techniques-pack format. Matching is exact and case-sensitive; a text
// that matches no row (the empty text of an absent attribute too) gives the table's first row.
extern const VLAKeywordTable kTechBlendKeywords;
extern const VLAKeywordTable kTechTextureOpKeywords;
extern const VLAKeywordTable kTechTextureArgKeywords;
extern const VLAKeywordTable kTechAddressKeywords;
extern const VLAKeywordTable kTechFilterKeywords;
extern const VLAKeywordTable kTechLightModeKeywords;

uint32_t TechKeywordValue(VLAKeywordTable fp_Table, std::string_view fp_Text);
// The first keyword with that value, or null when the table has none.
const char* TechKeywordName(VLAKeywordTable fp_Table, uint32_t fp_uiValue);

// Dynamic-light modes.
enum VLALightMode : uint32_t
{
    LIGHTMODE_DISABLED = 0,
    LIGHTMODE_VERTEX = 1,
    LIGHTMODE_DOT3 = 2,
};

// Reads a decimal number as the data formats write them; text that is not a number reads as 0.
float TechReadFloat(std::string_view fp_Text);
// Reads a decimal integer; text that is not a number reads as 0.
int TechReadInt(std::string_view fp_Text);
// A colour channel 0..1 as a byte: value × 255 truncated toward zero, low 8 bits kept (values
// are not clamped, so 1.5 gives 126).
uint32_t TechColorByte(float fp_fValue);
// 32-bit ARGB from four channels given as decimal texts.
uint32_t TechColorFromTexts(std::string_view fp_R, std::string_view fp_G, std::string_view fp_B,
                            std::string_view fp_A);

// Index 0 is texture stage 0, index 1 stage 1. A group's values mean something only when its
// "defined" flag is set.
struct VLATECHNIQUE
{
    bool m_bBlendingDefined = false;
    bool m_bBlendingOn = false;
    uint32_t m_uiSrcBlend = 0;
    uint32_t m_uiDestBlend = 0;

    bool m_bFogDefined = false;
    bool m_bFogOn = false;
    float m_fFogStart = 0.0f;
    float m_fFogEnd = 0.0f;
    uint32_t m_uiFogColor = 0;

    bool m_bTextureFactorDefined = false;
    uint32_t m_uiTextureFactor = 0;

    bool m_bStagesDefined = false;
    uint32_t m_uiColorOp[2] = {};
    uint32_t m_uiColorArg1[2] = {};
    uint32_t m_uiColorArg2[2] = {};
    uint32_t m_uiAlphaOp[2] = {};
    uint32_t m_uiAlphaArg1[2] = {};
    uint32_t m_uiAlphaArg2[2] = {};
    uint32_t m_uiAddress[2] = {};

    bool m_bFiltersDefined = false;
    uint32_t m_uiMinFilter[2] = {};
    uint32_t m_uiMagFilter[2] = {};
    uint32_t m_uiMipFilter[2] = {};

    bool m_bDynLightDefined = false;
    uint32_t m_uiDynLightMode = LIGHTMODE_DISABLED;
    uint32_t m_uiAmbientColor = 0;
};

// An element's attribute by name; the empty text when it has none.
using VLAAttributeFunc = std::function<std::string_view(std::string_view)>;

// Fills fp_Tech from the attributes of one technique element of a pack, group by group: a
// group's values are read only when its defining attribute is present (non-empty).
void TechReadAttributes(VLATECHNIQUE& fp_Tech, const VLAAttributeFunc& fp_Attr);

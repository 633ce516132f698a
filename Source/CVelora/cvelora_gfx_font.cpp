// Bitmap fonts (see cvelora_gfx_font.h): glyph cells, measuring, the FONT loader, the current
// font and drawing.
#include "CVelora/cvelora_gfx_font.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_gfx_tech.h"
#include "CVelora/cvelora_res_main.h"
#include "CVelora/cvelora_utils_csmartid.h"
#include "CVelora/cvelora_utils_xml.h"

#include <memory>
#include <new>
#include <string>

namespace
{
constexpr int kFileID = 126;
constexpr int kLoaderFileID = 123; // the standard resource loaders
} // namespace

VLAGlyphCell FontGlyphCell(uint8_t fp_uiChar)
{
    const float tmp_fU = static_cast<float>(fp_uiChar % 16) * 0.0625f;
    const float tmp_fV = static_cast<float>(fp_uiChar / 16 * 16) * 0.00390625f;
    return {tmp_fU, tmp_fV, tmp_fU + 0.0625f, tmp_fV + 0.0625f};
}

float FontMeasureText(const FONTINFO& fp_Font, const char* fp_pszText, float fp_fScale,
                      float fp_fExtraAdvance)
{
    Checkpoint(kFileID);
    const auto* p = reinterpret_cast<const unsigned char*>(fp_pszText);
    float tmp_fWidth = 0.0f;
    for (int i = 0; p[i] != 0 && p[i] != '\n'; ++i)
    {
        const unsigned char ch = p[i];
        if (ch == '%' && p[i + 1] >= '0' && p[i + 1] <= '9')
        {
            ++i;
            continue;
        }
        if (ch >= 33 || ch == ' ' || ch == '\t')
            tmp_fWidth += std::floor(fp_fScale * fp_Font.m_Widths[ch] + fp_fExtraAdvance);
    }
    return tmp_fWidth;
}

int CVelora::FontLoad(const void* fp_pData, int fp_iSize)
{
    Checkpoint(kFileID);
    LogAddEmptyLines(1);
    LogAddEntry("Loading font description from memory...", 2);
    CXMLDocument tmp_Doc;
    tmp_Doc.LoadFromBuffer(fp_pData, fp_iSize, m_bXMLEncryption);
    tmp_Doc.Parse();

    const CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
    if (tmp_pRoot == nullptr || tmp_pRoot->GetNameView().empty())
        ThrowGeneral("Parsing error during loading the font data!");
    if (tmp_pRoot->GetNameView() != "fontdesc")
        ThrowGame("XML file doesn't contain font description!");
    if (m_pFonts == nullptr)
        ThrowGeneral("D3DDevice object was not created!");

    const std::string tmp_strID = tmp_pRoot->GetAttribute("id");
    if (tmp_strID.empty())
        ThrowGeneral("Invalid font ID");
    if (const int tmp_iOld = m_pFonts->FindItem(tmp_strID); tmp_iOld != -1)
    {
        LogAddEntry("Warning: Dublicated font!", 5);
        return tmp_iOld;
    }

    std::unique_ptr<FONTINFO> tmp_pFont(new (std::nothrow) FONTINFO());
    if (tmp_pFont == nullptr)
        ThrowGeneral("Cannot create font object!");

    const std::string tmp_strTexture = tmp_pRoot->GetAttribute("textureid");
    if (tmp_strTexture.empty())
        ThrowGeneral("Invalid font texture ID!");
    tmp_pFont->m_iTexture = TexGetID(tmp_strTexture);
    if (tmp_pFont->m_iTexture == -1)
    {
        LoadResource(tmp_strTexture);
        tmp_pFont->m_iTexture = TexGetID(tmp_strTexture);
        if (tmp_pFont->m_iTexture == -1)
            ThrowGeneral("Cannot load font texture!");
    }

    const std::string tmp_strTechnique = tmp_pRoot->GetAttribute("techniqueid");
    if (tmp_strTechnique.empty())
        ThrowGeneral("Invalid font technique ID!");
    const std::string tmp_strTechPack = tmp_pRoot->GetAttribute("techpackid");
    if (tmp_strTechPack.empty())
        ThrowGeneral("Invalid font technique pack ID!");
    tmp_pFont->m_iTechnique = TechGetID(tmp_strTechnique);
    if (tmp_pFont->m_iTechnique == -1)
    {
        LoadResource(tmp_strTechPack);
        tmp_pFont->m_iTechnique = TechGetID(tmp_strTechnique);
        if (tmp_pFont->m_iTechnique == -1)
            ThrowGeneral("Cannot load font technique!");
    }

    const std::string_view tmp_CellSize = tmp_pRoot->GetAttributeView("cellsize");
    if (tmp_CellSize.empty())
        ThrowGeneral("Invalid font cell size!");
    tmp_pFont->m_fCellSize = TechReadFloat(tmp_CellSize);

    static const char* const kChannels[3] = {"r", "g", "b"};
    for (int i = 0; i < 10; ++i)
    {
        for (int c = 0; c < 3; ++c)
            tmp_pFont->m_Colors[i][c] = TechReadFloat(
                tmp_pRoot->GetAttributeView("color" + std::to_string(i) + kChannels[c]));
        tmp_pFont->m_Colors[i][3] = 1.0f;
    }

    for (int ch = 0; ch < 256; ++ch)
    {
        const std::string_view tmp_Width = tmp_pRoot->GetAttributeView("cs" + std::to_string(ch));
        if (tmp_Width.empty())
            ThrowGeneral("Invalid character length!");
        tmp_pFont->m_Widths[ch] = TechReadFloat(tmp_Width);
    }

    const int tmp_iTag = TechReadInt(tmp_pRoot->GetAttributeView("tag"));
    const int tmp_iID = m_pFonts->AddItem(tmp_pFont.release(), tmp_strID, tmp_iTag);
    CSmartID::SetSmartIDNumber(tmp_strID, tmp_iID);
    if (tmp_iID == 0)
        m_iCurrentFont = 0;
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);
    return tmp_iID;
}

int CVelora::FontGetID(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    const int tmp_iID = m_pFonts != nullptr ? m_pFonts->FindItem(fp_strID) : -1;
    if (tmp_iID == -1)
        LogAddEntry("Cannot find iID of font with strID = " + fp_strID, 5);
    return tmp_iID;
}

void CVelora::FontSet(int fp_iID)
{
    Checkpoint(kFileID);
    if (fp_iID == -1)
        ThrowGame("Cannot set current font: invalid ID. ID = -1");
    // Other values are taken as they are; a bad one is reported by the next draw.
    m_iCurrentFont = fp_iID;
}

void CVelora::FontSet(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    const int tmp_iID = m_pFonts != nullptr ? m_pFonts->FindItem(fp_strID) : -1;
    if (tmp_iID == -1)
        ThrowGame("Cannot set current font: invalid ID. strID = " + fp_strID);
    m_iCurrentFont = tmp_iID;
}

void CVelora::FontSet(const CSmartID& fp_SmartID)
{
    Checkpoint(kFileID);
    m_iCurrentFont = fp_SmartID.GetIID();
}

namespace
{
// The current font for drawing (-1 means the first one), or a Game error.
const FONTINFO& CurrentFontForDrawing(CVelora* fp_pVLA)
{
    if (fp_pVLA->m_iCurrentFont == -1)
        fp_pVLA->m_iCurrentFont = 0;
    const int tmp_iID = fp_pVLA->m_iCurrentFont;
    TItemsManager<FONTINFO>* tmp_pFonts = fp_pVLA->m_pFonts;
    if (tmp_pFonts == nullptr || tmp_iID < 0 || tmp_iID >= tmp_pFonts->GetCount() ||
        tmp_pFonts->GetItem(tmp_iID) == nullptr)
        ThrowGame("Cannot draw text: invalid current font id. ID = " + std::to_string(tmp_iID));
    return *tmp_pFonts->GetItem(tmp_iID);
}

// The ten colours are all a font has; an index past them would read unrelated memory.
void CheckColorIndex(int fp_iColor)
{
    if (fp_iColor > 9)
        ThrowGame("Cannot draw text: invalid color index. Index = " + std::to_string(fp_iColor));
}

void DrawLaidOut(CVelora* fp_pVLA, const FONTINFO& fp_Font, const char* fp_pszText, float fp_fX,
                 float fp_fY, int fp_iLength, int fp_iColor, float fp_fAlpha, VLAFontLayout fp_Mode,
                 float fp_fScale, float fp_fExtraAdvance, float fp_fExtraLine)
{
    if (fp_iColor >= 0)
    {
        const float* c = fp_Font.m_Colors[fp_iColor];
        fp_pVLA->VQuadSetColor(c[0], c[1], c[2], fp_fAlpha);
    }
    FontLayoutText(
        fp_Font, fp_pszText, fp_fX, fp_fY, fp_iLength, fp_iColor, fp_Mode, fp_fScale,
        fp_fExtraAdvance, fp_fExtraLine,
        [&](uint8_t fp_uiChar, float fp_fPenX, float fp_fPenY, float fp_fSize)
        {
            const VLAGlyphCell tmp_Cell = FontGlyphCell(fp_uiChar);
            fp_pVLA->VQuadSetTexCoords(1, tmp_Cell.m_fU0, tmp_Cell.m_fV0, tmp_Cell.m_fU1,
                                       tmp_Cell.m_fV1);
            fp_pVLA->VQuadSetPos(fp_fPenX, fp_fPenY, fp_fSize, fp_fSize, 0.5f);
            fp_pVLA->SceneRender();
        },
        [&](int fp_iDigit)
        {
            const float* c = fp_Font.m_Colors[fp_iDigit];
            fp_pVLA->VQuadSetColor(c[0], c[1], c[2], fp_fAlpha);
        });
}
} // namespace

void CVelora::FontDrawText(const char* fp_pszText, float fp_fX, float fp_fY, int fp_iLength,
                           int fp_iColor, float fp_fAlpha)
{
    Checkpoint(kFileID);
    const FONTINFO& tmp_Font = CurrentFontForDrawing(this);
    CheckColorIndex(fp_iColor);
    TexSet(tmp_Font.m_iTexture, 0);
    TechApply(tmp_Font.m_iTechnique);
    DrawLaidOut(this, tmp_Font, fp_pszText, fp_fX, fp_fY, fp_iLength, fp_iColor, fp_fAlpha,
                VLAFontLayout::Plain, 1.0f, 0.0f, 0.0f);
}

void CVelora::FontDrawTextEx(const char* fp_pszText, float fp_fX, float fp_fY, int fp_iLength,
                             int fp_iColor, float fp_fAlpha, bool fp_bApplyTechnique,
                             float fp_fScale, float fp_fExtraAdvance, float fp_fExtraLine)
{
    Checkpoint(kFileID);
    const FONTINFO& tmp_Font = CurrentFontForDrawing(this);
    CheckColorIndex(fp_iColor);
    TexSet(tmp_Font.m_iTexture, 0);
    if (fp_bApplyTechnique)
        TechApply(tmp_Font.m_iTechnique);
    DrawLaidOut(this, tmp_Font, fp_pszText, fp_fX, fp_fY, fp_iLength, fp_iColor, fp_fAlpha,
                VLAFontLayout::Extended, fp_fScale, fp_fExtraAdvance, fp_fExtraLine);
}

float CVelora::FontGetStringWidth(const char* fp_pszText, int fp_iFontID, float fp_fScale,
                                  float fp_fExtraAdvance)
{
    Checkpoint(kFileID);
    if (m_pFonts == nullptr || fp_iFontID < 0 || fp_iFontID >= m_pFonts->GetCount() ||
        m_pFonts->GetItem(fp_iFontID) == nullptr)
        ThrowGame("Cannot calculate string width: invalid font id. ID = " +
                  std::to_string(fp_iFontID));
    return FontMeasureText(*m_pFonts->GetItem(fp_iFontID), fp_pszText, fp_fScale, fp_fExtraAdvance);
}

void RESLOAD_Font(const uint8_t* fp_pData, int fp_iSize, const char* /*fp_pszID*/, int /*fp_iTag*/,
                  int /*fp_iData1*/, int /*fp_iData2*/, int /*fp_iData3*/)
{
    Checkpoint(kLoaderFileID);
    GetEngine()->FontLoad(fp_pData, fp_iSize);
}

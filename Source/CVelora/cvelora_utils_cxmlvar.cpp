// XML variables and the XMLDATA loader (see cvelora_utils_cxmlvar.h).
#include "CVelora/cvelora_utils_cxmlvar.h"

#include "CVelora/cvelora.h"
#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_log.h"
#include "CVelora/cvelora_utils_xml.h"

#include <new>
#include <sstream>

namespace
{
constexpr int kFileID = 157;
}

CXMLVar::VarsMap* CXMLVar::s_pVarsMap = nullptr;

CXMLVar::CXMLVar(const char* fp_pszID)
{
    Checkpoint(kFileID);
    VarsMap* tmp_pMap = CreateXMLVarsMap();
    const std::string tmp_strID = fp_pszID ? fp_pszID : "";
    if (tmp_pMap->count(tmp_strID) != 0)
        ThrowGame("Error in CXMLVar::CXMLVar(const char* fp_pszID). An object with same ID "
                  "already exists! ID = " +
                  tmp_strID);
    (*tmp_pMap)[tmp_strID] = this;
}

CXMLVar::~CXMLVar()
{
    if (s_pVarsMap != nullptr)
        DeleteXMLVarsMap();
}

CXMLVar::VarsMap* CXMLVar::CreateXMLVarsMap()
{
    if (s_pVarsMap == nullptr)
    {
        s_pVarsMap = new (std::nothrow) VarsMap();
        if (s_pVarsMap == nullptr)
            ThrowGeneral("Error in CXMLVar::CreateXMLVarsMap(). Cannot create IDs map!");
    }
    return s_pVarsMap;
}

void CXMLVar::DeleteXMLVarsMap()
{
    delete s_pVarsMap;
    s_pVarsMap = nullptr;
}

void CXMLVar::SetXMLVar(const std::string& fp_strName, const std::string& fp_strValue)
{
    Checkpoint(kFileID);
    if (s_pVarsMap == nullptr)
        return;
    auto tmp_It = s_pVarsMap->find(fp_strName);
    if (tmp_It != s_pVarsMap->end())
        tmp_It->second->SetFromText(fp_strValue);
    else
        VLALogAddEntry("Warning: unused xml variable: " + fp_strName, 5);
}

void CXMLVarInt::SetFromText(const std::string& fp_strText)
{
    std::istringstream tmp_Stream(fp_strText);
    int32_t tmp_iValue = 0;
    if (tmp_Stream >> tmp_iValue)
        m_iValue = tmp_iValue;
}

void CXMLVarFloat::SetFromText(const std::string& fp_strText)
{
    std::istringstream tmp_Stream(fp_strText);
    float tmp_fValue = 0.0f;
    if (tmp_Stream >> tmp_fValue)
        m_fValue = tmp_fValue;
}

void RESLOAD_XMLData(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int /*fp_iTag*/,
                     int /*fp_iData1*/, int /*fp_iData2*/, int /*fp_iData3*/)
{
    Checkpoint(kFileID);
    const CVelora* tmp_pVLA = GetEngine();
    const bool tmp_bDecode = tmp_pVLA != nullptr && tmp_pVLA->m_bXMLEncryption;

    CXMLDocument tmp_Doc;
    tmp_Doc.LoadFromBuffer(fp_pData, fp_iSize, tmp_bDecode, fp_pszID ? fp_pszID : "");
    tmp_Doc.Parse();

    CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
    if (tmp_pRoot->GetNameView() != "xmldata")
        ThrowGeneral("Error in loading XMLData: invalid root node name!");
    if (tmp_pRoot->GetChildCount() == 0)
    {
        VLALogAddEntry("Warning: empty xmldata file!", 5);
        return;
    }
    for (int i = 0; i < tmp_pRoot->GetChildCount(); ++i)
    {
        CXMLNode* tmp_pChild = tmp_pRoot->GetChild(i);
        tmp_pChild->FirstAttribute();
        while (const char* tmp_pszName = tmp_pChild->CurrentAttributeName())
        {
            CXMLVar::SetXMLVar(tmp_pszName, tmp_pChild->GetAttribute(tmp_pszName));
            tmp_pChild->NextAttribute();
        }
    }
}

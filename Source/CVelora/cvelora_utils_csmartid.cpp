// Smart IDs (see cvelora_utils_csmartid.h).
#include "CVelora/cvelora_utils_csmartid.h"

#include "CVelora/cvelora_ehs.h"

#include <new>

namespace
{
constexpr int kFileID = 155;
}

CSmartID::IDsMap* CSmartID::s_pIDsMap = nullptr;

CSmartID::CSmartID(const char* fp_pszID, int fp_iResType)
    : m_strID(fp_pszID ? fp_pszID : ""), m_iID(-1), m_iResType(fp_iResType)
{
    Checkpoint(kFileID);
    if (m_iResType == SMARTID_DETECT)
        DetectResType();
    IDsMap* tmp_pMap = CreateIDsMap();
    if (tmp_pMap->count(m_strID) != 0)
        ThrowGame("Error in CSmartID::CSmartID(const char* fp_pszID, int fp_iResType). An object "
                  "with same strID already exists! strID = " +
                  m_strID);
    (*tmp_pMap)[m_strID] = this;
}

CSmartID::~CSmartID()
{
    if (s_pIDsMap != nullptr)
        DeleteIDsMap();
}

void CSmartID::DetectResType()
{
    Checkpoint(kFileID);
    if (m_strID.size() < 4)
        ThrowGeneral("Error in CSmartID::DetectResType : strID length is too small (<4)!");
    static const char* const kPrefixes[] = {"TEX", "TEQ", "FNT", "SND"};
    for (int i = 0; i < 4; ++i)
    {
        if (m_strID.compare(0, 3, kPrefixes[i]) == 0)
        {
            m_iResType = i + 1;
            return;
        }
    }
    ThrowGame("Error in CSmartID::DetectResType : cannot detect res type! strID = " + m_strID);
}

CSmartID::IDsMap* CSmartID::CreateIDsMap()
{
    Checkpoint(kFileID);
    if (s_pIDsMap == nullptr)
    {
        s_pIDsMap = new (std::nothrow) IDsMap();
        if (s_pIDsMap == nullptr)
            ThrowGeneral("Error in CSmartID::CreateIDsMap(). Cannot create IDs map!");
    }
    return s_pIDsMap;
}

void CSmartID::DeleteIDsMap()
{
    delete s_pIDsMap;
    s_pIDsMap = nullptr;
}

void CSmartID::SetSmartIDNumber(const std::string& fp_strID, int fp_iID)
{
    if (s_pIDsMap == nullptr)
        return;
    auto tmp_It = s_pIDsMap->find(fp_strID);
    if (tmp_It != s_pIDsMap->end())
        tmp_It->second->m_iID = fp_iID;
}

void CSmartID::ResetSmartIDNumber(int fp_iID, int fp_iResType)
{
    if (s_pIDsMap == nullptr)
        return;
    for (auto& [tmp_strID, tmp_pSmartID] : *s_pIDsMap)
    {
        if (tmp_pSmartID->m_iID == fp_iID && tmp_pSmartID->m_iResType == fp_iResType)
        {
            tmp_pSmartID->m_iID = -1;
            return;
        }
    }
}

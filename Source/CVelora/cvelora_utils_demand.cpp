// Demand helpers (see cvelora_utils_demand.h): find, else load the resource and find again.
#include "CVelora/cvelora_utils_demand.h"

#include "CVelora/cvelora.h"

namespace
{
using FindFunc = int (CVelora::*)(const std::string&);

// Find by strID; on a miss load the resource fp_strResID and find again.
int Demand(FindFunc fp_pfnFind, const std::string& fp_strID, const std::string& fp_strResID,
           const std::string& fp_strError)
{
    CVelora* tmp_pVLA = GetEngine();
    EHSAssert(tmp_pVLA != nullptr);
    if (const int tmp_iID = (tmp_pVLA->*fp_pfnFind)(fp_strID); tmp_iID != -1)
        return tmp_iID;
    tmp_pVLA->LoadResource(fp_strResID);
    if (const int tmp_iID = (tmp_pVLA->*fp_pfnFind)(fp_strID); tmp_iID != -1)
        return tmp_iID;
    ThrowGame(fp_strError);
}
} // namespace

int DemandTexture(const std::string& fp_strID)
{
    return Demand(&CVelora::TexGetID, fp_strID, fp_strID,
                  "Invalid texture demand. ID = " + fp_strID);
}

int DemandTechnique(const std::string& fp_strID, const std::string& fp_strTechPackID)
{
    // Techniques come from packs holding several: the pack is the resource to load.
    return Demand(&CVelora::TechGetID, fp_strID, fp_strTechPackID,
                  "Invalid technique demand. ID = " + fp_strID +
                      "  TechPackID = " + fp_strTechPackID);
}

int DemandFont(const std::string& fp_strID)
{
    return Demand(&CVelora::FontGetID, fp_strID, fp_strID, "Invalid font demand. ID = " + fp_strID);
}

int DemandSound(const std::string& fp_strID)
{
    return Demand(&CVelora::FindSound, fp_strID, fp_strID,
                  "Invalid sound demand. ID = " + fp_strID);
}

int DemandMusic(const std::string& fp_strID)
{
    return Demand(&CVelora::FindMusic, fp_strID, fp_strID,
                  "Invalid music demand. ID = " + fp_strID);
}

int DemandPlaylist(const std::string& fp_strID)
{
    return Demand(&CVelora::FindPlaylist, fp_strID, fp_strID,
                  "Invalid playlist demand. ID = " + fp_strID);
}

// Smart IDs: handles declared by program code that tie a resource's strID to the slot number
// (iID) of its loaded object. Owns the process-wide registry by strID; the subsystems that load
// and unload objects write the iIDs through the two static updates.
#pragma once

#include <map>
#include <string>

enum VLASmartIDType
{
    SMARTID_DETECT = 0,
    SMARTID_TEXTURE = 1,
    SMARTID_TECHNIQUE = 2,
    SMARTID_FONT = 3,
    SMARTID_SOUND = 4,
};

class CSmartID
{
public:
    // fp_iResType 0 detects the type from the strID prefix (TEX, TEQ, FNT, SND).
    explicit CSmartID(const char* fp_pszID, int fp_iResType = SMARTID_DETECT);
    // Destroys the whole registry; later destructors find none.
    ~CSmartID();
    CSmartID(const CSmartID&) = delete;
    CSmartID& operator=(const CSmartID&) = delete;

    void DetectResType();

    const std::string& GetStrID() const { return m_strID; }
    int GetIID() const { return m_iID; }
    int GetResType() const { return m_iResType; }

    using IDsMap = std::map<std::string, CSmartID*>;
    static IDsMap* CreateIDsMap();
    static void DeleteIDsMap();
    // The smart ID registered as fp_strID, if any, takes fp_iID.
    static void SetSmartIDNumber(const std::string& fp_strID, int fp_iID);
    // The first smart ID in strID order holding fp_iID with type fp_iResType gets -1.
    static void ResetSmartIDNumber(int fp_iID, int fp_iResType);

private:
    std::string m_strID;
    int m_iID = -1;
    int m_iResType = SMARTID_DETECT;

    static IDsMap* s_pIDsMap;
};

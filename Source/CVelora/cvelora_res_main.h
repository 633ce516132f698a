// Types of the resource subsystem shared with the subsystems that register loaders: the two
// loader signatures and the standard loaders. The subsystem itself (store, registries, packs,
// loading) is a set of CVelora members in the resource block of cvelora.h.
#pragma once

#include <cstdint>
#include <map>
#include <string>

class CVLAResource;

// A loader that receives the resource's bytes (valid only during the call).
using VLALoadResFunc = void (*)(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID,
                                int fp_iTag, int fp_iData1, int fp_iData2, int fp_iData3);
// A loader that receives the file holding the resource and its region, and reads it itself.
using VLALoadResExFunc = void (*)(const char* fp_pszFilename, int fp_iOffset, int fp_iSize,
                                  const char* fp_pszID, int fp_iTag, int fp_iData1, int fp_iData2,
                                  int fp_iData3);

// Resource modes.
enum VLAResMode
{
    RESMODE_NONE = 0,
    RESMODE_XML = 1,
    RESMODE_PAK = 2,
};

inline constexpr const char* kResDataFolder = "./DATA/";

// The standard loaders: thin functions that call one operation of the subsystem owning the
// object type. Each is defined by that subsystem and registered in
// CVelora::RegisterStandardLoaders (cvelora_res_main.cpp). RESLOAD_XMLData lives in
// cvelora_utils_cxmlvar.h.
void RESLOAD_Texture(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                     int fp_iData1, int fp_iData2, int fp_iData3);
void RESLOAD_Technique(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                       int fp_iData1, int fp_iData2, int fp_iData3);
void RESLOAD_Font(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                  int fp_iData1, int fp_iData2, int fp_iData3);
void RESLOAD_Sound(const char* fp_pszFilename, int fp_iOffset, int fp_iSize, const char* fp_pszID,
                   int fp_iTag, int fp_iData1, int fp_iData2, int fp_iData3);
void RESLOAD_Music(const char* fp_pszFilename, int fp_iOffset, int fp_iSize, const char* fp_pszID,
                   int fp_iTag, int fp_iData1, int fp_iData2, int fp_iData3);
void RESLOAD_Playlist(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                      int fp_iData1, int fp_iData2, int fp_iData3);
void RESLOAD_Script(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                    int fp_iData1, int fp_iData2, int fp_iData3);

// The descriptor indexing shared by XML mode and the pack builder: reads the respack
// descriptor at fp_strPath and adds one record per child to fp_Store, with file paths
// fp_strDataDir + filename. Raises the same errors as XML mode. Returns the number of records.
template <typename T> class TItemsManager;
int IndexXMLResPack(const std::string& fp_strPath, const std::string& fp_strDataDir,
                    TItemsManager<CVLAResource>& fp_Store);

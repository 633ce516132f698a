// CVLAResource: the index record of one resource (strID, type ID, tag, the file and region
// holding its bytes, three loader parameters) and the temporary buffer its bytes are read into
// for one load. Records are created by the resource subsystem and owned by its store.
#pragma once

#include <cstdint>
#include <string>

class CVLAResource
{
public:
    // Checks, in this order, raising General errors: strID, type ID and file name not empty,
    // size above 0.
    CVLAResource(const std::string& fp_strID, const std::string& fp_strTypeID, int fp_iTag,
                 const std::string& fp_strFilename, int fp_iOffset, int fp_iSize, int fp_iData1,
                 int fp_iData2, int fp_iData3);
    ~CVLAResource();
    CVLAResource(const CVLAResource&) = delete;
    CVLAResource& operator=(const CVLAResource&) = delete;

    // Reads the region into a new buffer. A file that cannot be opened or a region that does
    // not lie inside the file raises a General error naming the file; the record stays
    // unloaded.
    void DataLoad();
    void DataUnLoad();

    // The bytes while loaded, otherwise null.
    const uint8_t* GetData() const { return m_bLoaded ? m_pData : nullptr; }
    bool IsLoaded() const { return m_bLoaded; }

    const std::string& GetFilename() const { return m_strFilename; }
    const std::string& GetStrID() const { return m_strID; }
    const std::string& GetTypeID() const { return m_strTypeID; }
    int GetTag() const { return m_iTag; }
    int GetData1() const { return m_iData1; }
    int GetData2() const { return m_iData2; }
    int GetData3() const { return m_iData3; }
    int GetOffset() const { return m_iOffset; }
    int GetSize() const { return m_iSize; }

private:
    std::string m_strID;
    std::string m_strTypeID;
    int32_t m_iTag;
    std::string m_strFilename;
    int32_t m_iData1;
    int32_t m_iData2;
    int32_t m_iData3;
    int32_t m_iOffset;
    int32_t m_iSize;
    bool m_bLoaded = false;
    uint8_t* m_pData = nullptr;
};

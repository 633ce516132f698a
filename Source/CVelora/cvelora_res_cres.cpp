// The resource record (see cvelora_res_cres.h).
#include "CVelora/cvelora_res_cres.h"

#include "CVelora/cvelora_ehs.h"

#include <cstdio>
#include <memory>
#include <new>
#include <sys/stat.h>

namespace
{
constexpr int kFileID = 122;

struct FileCloser
{
    void operator()(std::FILE* fp_pFile) const { std::fclose(fp_pFile); }
};
} // namespace

CVLAResource::CVLAResource(const std::string& fp_strID, const std::string& fp_strTypeID,
                           int fp_iTag, const std::string& fp_strFilename, int fp_iOffset,
                           int fp_iSize, int fp_iData1, int fp_iData2, int fp_iData3)
{
    Checkpoint(kFileID);
    if (fp_strID.empty())
        ThrowGeneral("Invalid resource ID!");
    if (fp_strTypeID.empty())
        ThrowGeneral("Invalid resource type ID!");
    if (fp_strFilename.empty())
        ThrowGeneral("Invalid resource filename!");
    if (fp_iSize <= 0)
        ThrowGeneral("Invalide resource name - check if resource file exist!");
    m_strID = fp_strID;
    m_strTypeID = fp_strTypeID;
    m_iTag = fp_iTag;
    m_strFilename = fp_strFilename;
    m_iData1 = fp_iData1;
    m_iData2 = fp_iData2;
    m_iData3 = fp_iData3;
    m_iOffset = fp_iOffset;
    m_iSize = fp_iSize;
}

CVLAResource::~CVLAResource()
{
    if (m_bLoaded)
    {
        delete[] m_pData;
        m_pData = nullptr;
        m_bLoaded = false;
    }
}

void CVLAResource::DataLoad()
{
    Checkpoint(kFileID);
    if (m_bLoaded)
        ThrowGeneral("Internal error in CVLAResource::DataLoad()!");

    std::unique_ptr<std::FILE, FileCloser> tmp_pFile(std::fopen(m_strFilename.c_str(), "rb"));
    struct stat tmp_Stat;
    if (!tmp_pFile || fstat(fileno(tmp_pFile.get()), &tmp_Stat) != 0 || !S_ISREG(tmp_Stat.st_mode))
        ThrowGeneral("Cannot open resource file! Filename = " + m_strFilename);

    // The region must lie inside the file: a loader never sees bytes that were not read.
    const long long tmp_llEnd = static_cast<long long>(m_iOffset) + m_iSize;
    if (m_iOffset < 0 || tmp_llEnd > static_cast<long long>(tmp_Stat.st_size))
        ThrowGeneral("Resource region lies outside its file! Filename = " + m_strFilename);

    uint8_t* tmp_pData = new (std::nothrow) uint8_t[static_cast<size_t>(m_iSize)];
    if (tmp_pData == nullptr)
        ThrowGeneral("Cannot create resource data buffer!");

    if (std::fseek(tmp_pFile.get(), m_iOffset, SEEK_SET) != 0 ||
        std::fread(tmp_pData, 1, static_cast<size_t>(m_iSize), tmp_pFile.get()) !=
            static_cast<size_t>(m_iSize))
    {
        delete[] tmp_pData;
        ThrowGeneral("Cannot read resource file! Filename = " + m_strFilename);
    }
    m_pData = tmp_pData;
    m_bLoaded = true;
}

void CVLAResource::DataUnLoad()
{
    Checkpoint(kFileID);
    if (!m_bLoaded || m_pData == nullptr)
        ThrowGeneral("Internal error in CVLAResource::DataUnLoad()!");
    delete[] m_pData;
    m_pData = nullptr;
    m_bLoaded = false;
}

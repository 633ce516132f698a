// Resource pack index reading and writing (see cvelora_res_pak.h).
#include "CVelora/cvelora_res_pak.h"

#include "CVelora/cvelora_utils_xml.h"

#include <cstdio>
#include <memory>

namespace
{
// A byte source that reports the end of its input instead of reading past it.
class CByteSource
{
public:
    virtual ~CByteSource() = default;
    virtual int Get() = 0; // a byte, or -1 at the end
};

class CFileSource : public CByteSource
{
public:
    explicit CFileSource(std::FILE* fp_pFile) : m_pFile(fp_pFile) {}
    int Get() override { return std::getc(m_pFile); }

private:
    std::FILE* m_pFile;
};

class CMemorySource : public CByteSource
{
public:
    CMemorySource(const uint8_t* fp_pData, size_t fp_uSize) : m_pData(fp_pData), m_uSize(fp_uSize)
    {
    }
    int Get() override { return m_uPos < m_uSize ? m_pData[m_uPos++] : -1; }

private:
    const uint8_t* m_pData;
    size_t m_uSize;
    size_t m_uPos = 0;
};

bool ReadInt32(CByteSource& fp_Src, int32_t& fp_iOut)
{
    uint32_t tmp_uValue = 0;
    for (int i = 0; i < 4; ++i)
    {
        const int tmp_c = fp_Src.Get();
        if (tmp_c < 0)
            return false;
        tmp_uValue |= static_cast<uint32_t>(tmp_c) << (8 * i);
    }
    fp_iOut = static_cast<int32_t>(tmp_uValue);
    return true;
}

bool ReadText(CByteSource& fp_Src, std::string& fp_strOut)
{
    fp_strOut.clear();
    while (true)
    {
        const int tmp_c = fp_Src.Get();
        if (tmp_c < 0)
            return false;
        if (tmp_c == 0)
            return true;
        fp_strOut += static_cast<char>(tmp_c);
    }
}

int ReadIndex(CByteSource& fp_Src, const std::string& fp_strName,
              const std::function<void(const VLAPakEntry&)>& fp_OnEntry)
{
    int32_t tmp_iCount = 0;
    if (!ReadInt32(fp_Src, tmp_iCount))
        ThrowPlainText("PAKERROR: the pack ends inside its index - " + fp_strName);
    VLAPakEntry tmp_Entry;
    for (int32_t i = 0; i < tmp_iCount; ++i)
    {
        if (!ReadText(fp_Src, tmp_Entry.m_strID) || !ReadText(fp_Src, tmp_Entry.m_strTypeID) ||
            !ReadInt32(fp_Src, tmp_Entry.m_iOffset) || !ReadInt32(fp_Src, tmp_Entry.m_iSize) ||
            !ReadInt32(fp_Src, tmp_Entry.m_iTag) || !ReadInt32(fp_Src, tmp_Entry.m_iData1) ||
            !ReadInt32(fp_Src, tmp_Entry.m_iData2) || !ReadInt32(fp_Src, tmp_Entry.m_iData3))
            ThrowPlainText("PAKERROR: the pack ends inside its index - " + fp_strName);
        fp_OnEntry(tmp_Entry);
    }
    return tmp_iCount;
}

void PutInt32(std::string& fp_strOut, int32_t fp_iValue)
{
    const uint32_t tmp_uValue = static_cast<uint32_t>(fp_iValue);
    for (int i = 0; i < 4; ++i)
        fp_strOut += static_cast<char>((tmp_uValue >> (8 * i)) & 0xFF);
}

struct FileCloser
{
    void operator()(std::FILE* fp_pFile) const { std::fclose(fp_pFile); }
};
} // namespace

int ReadPakIndex(const std::string& fp_strPath,
                 const std::function<void(const VLAPakEntry&)>& fp_OnEntry)
{
    std::unique_ptr<std::FILE, FileCloser> tmp_pFile(std::fopen(fp_strPath.c_str(), "rb"));
    if (!tmp_pFile)
        return 0;
    CFileSource tmp_Src(tmp_pFile.get());
    return ReadIndex(tmp_Src, fp_strPath, fp_OnEntry);
}

int ReadPakIndexFromMemory(const uint8_t* fp_pData, size_t fp_uSize, const std::string& fp_strName,
                           const std::function<void(const VLAPakEntry&)>& fp_OnEntry)
{
    CMemorySource tmp_Src(fp_pData, fp_uSize);
    return ReadIndex(tmp_Src, fp_strName, fp_OnEntry);
}

std::string WritePak(std::vector<VLAPakEntry>& fp_Entries, const std::vector<std::string>& fp_Blobs)
{
    size_t tmp_uIndexSize = 4;
    for (const VLAPakEntry& tmp_Entry : fp_Entries)
        tmp_uIndexSize += PakEntrySize(tmp_Entry);

    size_t tmp_uOffset = tmp_uIndexSize;
    for (size_t i = 0; i < fp_Entries.size(); ++i)
    {
        fp_Entries[i].m_iOffset = static_cast<int32_t>(tmp_uOffset);
        fp_Entries[i].m_iSize = static_cast<int32_t>(fp_Blobs[i].size());
        tmp_uOffset += fp_Blobs[i].size();
        if (tmp_uOffset > 0x7FFFFFFF)
            ThrowPlainText("PAKERROR: a pack cannot hold more than 2 GiB.");
    }

    std::string tmp_strOut;
    tmp_strOut.reserve(tmp_uOffset);
    PutInt32(tmp_strOut, static_cast<int32_t>(fp_Entries.size()));
    for (const VLAPakEntry& tmp_Entry : fp_Entries)
    {
        tmp_strOut += tmp_Entry.m_strID;
        tmp_strOut += '\0';
        tmp_strOut += tmp_Entry.m_strTypeID;
        tmp_strOut += '\0';
        PutInt32(tmp_strOut, tmp_Entry.m_iOffset);
        PutInt32(tmp_strOut, tmp_Entry.m_iSize);
        PutInt32(tmp_strOut, tmp_Entry.m_iTag);
        PutInt32(tmp_strOut, tmp_Entry.m_iData1);
        PutInt32(tmp_strOut, tmp_Entry.m_iData2);
        PutInt32(tmp_strOut, tmp_Entry.m_iData3);
    }
    for (const std::string& tmp_strBlob : fp_Blobs)
        tmp_strOut += tmp_strBlob;
    return tmp_strOut;
}

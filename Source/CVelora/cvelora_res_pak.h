// The binary resource pack: a little-endian 32-bit entry count, the index entries (strID and
// type ID as NUL-ended texts, then offset, size, tag, data1, data2, data3 as 32-bit integers)
// and the resource bytes at the absolute offsets the entries give. Reading and writing of the
// index; the engine only reads packs, the data tools write them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct VLAPakEntry
{
    std::string m_strID;
    std::string m_strTypeID;
    int32_t m_iOffset = 0;
    int32_t m_iSize = 0;
    int32_t m_iTag = 0;
    int32_t m_iData1 = 0;
    int32_t m_iData2 = 0;
    int32_t m_iData3 = 0;
};

// Size of one entry in the index.
inline size_t PakEntrySize(const VLAPakEntry& fp_Entry)
{
    return fp_Entry.m_strID.size() + 1 + fp_Entry.m_strTypeID.size() + 1 + 24;
}

// Reads the index of the pack at fp_strPath, calling fp_OnEntry for each entry in index order.
// Returns the count from the header (0 when the file cannot be opened; 0 or less means none).
// A file that ends inside the index raises the plain text "PAKERROR: the pack ends inside its
// index - " + path after the entries before that point were handed over.
int ReadPakIndex(const std::string& fp_strPath,
                 const std::function<void(const VLAPakEntry&)>& fp_OnEntry);
// The same over bytes in memory; fp_strName names the pack in the error text.
int ReadPakIndexFromMemory(const uint8_t* fp_pData, size_t fp_uSize, const std::string& fp_strName,
                           const std::function<void(const VLAPakEntry&)>& fp_OnEntry);

// Encodes a pack: the entries with their offsets and sizes set from fp_Blobs (placed directly
// after the index, in entry order), then the bytes. fp_Blobs[i] belongs to fp_Entries[i].
std::string WritePak(std::vector<VLAPakEntry>& fp_Entries,
                     const std::vector<std::string>& fp_Blobs);

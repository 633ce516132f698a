// `vla pak`: builds a binary resource pack from a folder of respack descriptors (indexed by the
// engine's own XML-mode rules), lists a pack's index, and extracts its resources.
#include "vla_commands.h"

#include "CVelora/cvelora_itemsmanager.h"
#include "CVelora/cvelora_res_cres.h"
#include "CVelora/cvelora_res_main.h"
#include "CVelora/cvelora_res_pak.h"
#include "CVelora/cvelora_utils_xml.h"
#include "Platform/plat_sys.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

namespace
{
const char* const kPakHelp =
    "Usage:\n"
    "  vla pak build OUT.pak DIR   pack every resource declared by the *.xml respack\n"
    "                              descriptors in DIR (file names relative to DIR)\n"
    "  vla pak list FILE.pak       print the index: strID type offset size tag data1 data2 data3\n"
    "  vla pak extract FILE.pak DIR  write each resource to DIR/strID\n"
    "\n"
    "XML resources (XMLDATA, TECHNIQUE, FONT, PLAYLIST, GUIDATA, GUIENUMDATA, GUISTYLEDATA)\n"
    "are stored encoded with the XML key, as the engine reads them in PAK mode; extract\n"
    "decodes them again. Descriptors are read in byte-wise name order, and where two entries\n"
    "of a pack share a strID the engine uses the first, so extract writes only that one.\n";

bool IsXMLType(const std::string& fp_strType)
{
    static const std::set<std::string> kTypes = {
        "XMLDATA", "TECHNIQUE", "FONT", "PLAYLIST", "GUIDATA", "GUIENUMDATA", "GUISTYLEDATA"};
    return kTypes.count(fp_strType) != 0;
}

std::string ReadWholeFile(const std::string& fp_strPath, bool& fp_bOk)
{
    std::ifstream tmp_File(fp_strPath, std::ios::binary);
    fp_bOk = static_cast<bool>(tmp_File);
    std::ostringstream tmp_Out;
    tmp_Out << tmp_File.rdbuf();
    return tmp_Out.str();
}

// Writes through a temporary file renamed into place, so a failed run leaves no half pack.
bool WriteWholeFile(const std::string& fp_strPath, const std::string& fp_strBytes)
{
    const std::string tmp_strTemp = fp_strPath + ".tmp";
    {
        std::ofstream tmp_File(tmp_strTemp, std::ios::binary | std::ios::trunc);
        if (!tmp_File)
            return false;
        tmp_File.write(fp_strBytes.data(), static_cast<std::streamsize>(fp_strBytes.size()));
        if (!tmp_File.flush())
        {
            std::remove(tmp_strTemp.c_str());
            return false;
        }
    }
    if (std::rename(tmp_strTemp.c_str(), fp_strPath.c_str()) != 0)
    {
        std::remove(tmp_strTemp.c_str());
        return false;
    }
    return true;
}

void ApplyKey(std::string& fp_strBytes)
{
    XMLApplyKey(reinterpret_cast<unsigned char*>(fp_strBytes.data()), fp_strBytes.size());
}

int PakBuild(const std::string& fp_strOut, const std::string& fp_strDir)
{
    if (!std::filesystem::is_directory(fp_strDir))
        return VlaFail("pak build: not a folder: " + fp_strDir);
    const std::vector<std::string> tmp_Descriptors = PlatFindFiles(fp_strDir, "*.xml");
    if (tmp_Descriptors.empty())
        return VlaFail("pak build: no *.xml respack descriptor in " + fp_strDir);

    const std::string tmp_strDataDir = fp_strDir.back() == '/' ? fp_strDir : fp_strDir + "/";
    TItemsManager<CVLAResource> tmp_Store;
    struct StoreGuard
    {
        TItemsManager<CVLAResource>& m_Store;
        ~StoreGuard() { m_Store.FreeAllItems(); }
    } tmp_Guard{tmp_Store};
    for (const std::string& tmp_strName : tmp_Descriptors)
        IndexXMLResPack(tmp_strDataDir + tmp_strName, tmp_strDataDir, tmp_Store);

    std::vector<VLAPakEntry> tmp_Entries;
    std::vector<std::string> tmp_Blobs;
    for (int i = 0; i < tmp_Store.GetCount(); ++i)
    {
        CVLAResource* tmp_pRes = tmp_Store.GetItem(i);
        tmp_pRes->DataLoad();
        std::string tmp_strBytes(reinterpret_cast<const char*>(tmp_pRes->GetData()),
                                 static_cast<size_t>(tmp_pRes->GetSize()));
        tmp_pRes->DataUnLoad();
        if (IsXMLType(tmp_pRes->GetTypeID()))
            ApplyKey(tmp_strBytes);

        VLAPakEntry tmp_Entry;
        tmp_Entry.m_strID = tmp_pRes->GetStrID();
        tmp_Entry.m_strTypeID = tmp_pRes->GetTypeID();
        tmp_Entry.m_iTag = tmp_pRes->GetTag();
        tmp_Entry.m_iData1 = tmp_pRes->GetData1();
        tmp_Entry.m_iData2 = tmp_pRes->GetData2();
        tmp_Entry.m_iData3 = tmp_pRes->GetData3();
        tmp_Entries.push_back(tmp_Entry);
        tmp_Blobs.push_back(std::move(tmp_strBytes));
    }

    const std::string tmp_strPack = WritePak(tmp_Entries, tmp_Blobs);
    if (!WriteWholeFile(fp_strOut, tmp_strPack))
        return VlaFail("pak build: cannot write " + fp_strOut);
    std::cout << fp_strOut << ": " << tmp_Entries.size() << " resources from "
              << tmp_Descriptors.size() << " descriptors, " << tmp_strPack.size() << " bytes\n";
    return 0;
}

int PakList(const std::string& fp_strPack)
{
    if (!std::filesystem::is_regular_file(fp_strPack))
        return VlaFail("pak list: cannot open " + fp_strPack);
    ReadPakIndex(fp_strPack,
                 [](const VLAPakEntry& e)
                 {
                     std::cout << e.m_strID << ' ' << e.m_strTypeID << ' ' << e.m_iOffset << ' '
                               << e.m_iSize << ' ' << e.m_iTag << ' ' << e.m_iData1 << ' '
                               << e.m_iData2 << ' ' << e.m_iData3 << '\n';
                 });
    return 0;
}

// A strID becomes one file name inside the target folder, never a path leading elsewhere.
bool IsSafeFileName(const std::string& fp_strName)
{
    return !fp_strName.empty() && fp_strName != "." && fp_strName != ".." &&
           fp_strName.find('/') == std::string::npos;
}

int PakExtract(const std::string& fp_strPack, const std::string& fp_strDir)
{
    bool tmp_bOk = false;
    const std::string tmp_strPack = ReadWholeFile(fp_strPack, tmp_bOk);
    if (!tmp_bOk || !std::filesystem::is_regular_file(fp_strPack))
        return VlaFail("pak extract: cannot open " + fp_strPack);

    std::vector<VLAPakEntry> tmp_Entries;
    ReadPakIndexFromMemory(reinterpret_cast<const uint8_t*>(tmp_strPack.data()), tmp_strPack.size(),
                           fp_strPack, [&](const VLAPakEntry& e) { tmp_Entries.push_back(e); });

    std::error_code tmp_Ec;
    std::filesystem::create_directories(fp_strDir, tmp_Ec);
    if (!std::filesystem::is_directory(fp_strDir))
        return VlaFail("pak extract: cannot create folder " + fp_strDir);

    std::set<std::string> tmp_Written;
    for (const VLAPakEntry& e : tmp_Entries)
    {
        if (!IsSafeFileName(e.m_strID))
            return VlaFail("pak extract: strID '" + e.m_strID + "' cannot be a file name");
        if (!tmp_Written.insert(e.m_strID).second)
        {
            std::cerr << "vla: pak extract: " << e.m_strID
                      << " appears again in the index; keeping the first, as the engine does\n";
            continue;
        }
        if (e.m_iSize <= 0 || e.m_iOffset < 0 ||
            static_cast<size_t>(e.m_iOffset) + static_cast<size_t>(e.m_iSize) > tmp_strPack.size())
            return VlaFail("pak extract: the region of " + e.m_strID + " lies outside " +
                           fp_strPack);
        std::string tmp_strBytes =
            tmp_strPack.substr(static_cast<size_t>(e.m_iOffset), static_cast<size_t>(e.m_iSize));
        if (IsXMLType(e.m_strTypeID))
            ApplyKey(tmp_strBytes);
        const std::string tmp_strPath = fp_strDir + "/" + e.m_strID;
        if (!WriteWholeFile(tmp_strPath, tmp_strBytes))
            return VlaFail("pak extract: cannot write " + tmp_strPath);
    }
    return 0;
}
} // namespace

int VlaPakMain(const VlaArgs& fp_Args)
{
    for (const std::string& tmp_strArg : fp_Args)
    {
        if (VlaIsHelp(tmp_strArg))
        {
            std::cout << kPakHelp;
            return 0;
        }
    }
    if (fp_Args.empty())
        return VlaUsage("pak: missing subcommand", "pak");
    const std::string& tmp_strSub = fp_Args[0];
    const size_t tmp_uCount = fp_Args.size() - 1;
    if (tmp_strSub == "build")
    {
        if (tmp_uCount != 2)
            return VlaUsage("pak build: expected OUT.pak DIR", "pak");
        return PakBuild(fp_Args[1], fp_Args[2]);
    }
    if (tmp_strSub == "list")
    {
        if (tmp_uCount != 1)
            return VlaUsage("pak list: expected FILE.pak", "pak");
        return PakList(fp_Args[1]);
    }
    if (tmp_strSub == "extract")
    {
        if (tmp_uCount != 2)
            return VlaUsage("pak extract: expected FILE.pak DIR", "pak");
        return PakExtract(fp_Args[1], fp_Args[2]);
    }
    return VlaUsage("pak: unknown subcommand '" + tmp_strSub + "'", "pak");
}

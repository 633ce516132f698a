// The resource subsystem: the index of every resource under ./DATA/ (XML descriptors or binary
// packs), the two loader registries, and loading by strID or by tag through the registered
// loaders. Owns the resource store and its records; never the objects the loaders create.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_res_cres.h"
#include "CVelora/cvelora_res_pak.h"
#include "CVelora/cvelora_utils_cxmlvar.h"
#include "CVelora/cvelora_utils_xml.h"
#include "Platform/plat_sys.h"

#include <new>
#include <sstream>
#include <sys/stat.h>

namespace
{
constexpr int kFileID = 121;

// Decimal integer by stream extraction; a text without digits gives 0.
int ReadNumber(std::string_view fp_Text)
{
    std::istringstream tmp_Stream{std::string(fp_Text)};
    int tmp_iValue = 0;
    if (!(tmp_Stream >> tmp_iValue))
        return 0;
    return tmp_iValue;
}

// Size of a regular file that can be opened for reading; -1 when it cannot.
long long OpenableFileSize(const std::string& fp_strPath)
{
    std::FILE* tmp_pFile = std::fopen(fp_strPath.c_str(), "rb");
    if (tmp_pFile == nullptr)
        return -1;
    struct stat tmp_Stat;
    long long tmp_llSize = -1;
    if (fstat(fileno(tmp_pFile), &tmp_Stat) == 0 && S_ISREG(tmp_Stat.st_mode))
        tmp_llSize = static_cast<long long>(tmp_Stat.st_size);
    std::fclose(tmp_pFile);
    return tmp_llSize;
}
} // namespace

int IndexXMLResPack(const std::string& fp_strPath, const std::string& fp_strDataDir,
                    TItemsManager<CVLAResource>& fp_Store)
{
    Checkpoint(kFileID);
    CXMLDocument tmp_Doc;
    // Descriptors are never encoded, whatever the XML encrypt mode.
    tmp_Doc.LoadFromFile(fp_strPath, false);
    tmp_Doc.Parse();

    CXMLNode* tmp_pRoot = tmp_Doc.GetRoot();
    if (tmp_pRoot->GetNameView() != "respack")
        ThrowGame("Wrong XML ResPack descriptor: " + fp_strPath);

    int tmp_iCount = 0;
    for (int i = 0; i < tmp_pRoot->GetChildCount(); ++i)
    {
        CXMLNode* tmp_pChild = tmp_pRoot->GetChild(i);
        if (tmp_pChild == nullptr)
            ThrowGeneral("XML Parser error: child node object is NULL!");

        const std::string tmp_strID = tmp_pChild->GetAttribute("id");
        if (fp_Store.FindItem(tmp_strID) != -1)
            ThrowGame("Dublicated resource. ID = " + tmp_strID);

        const std::string tmp_strFilename = tmp_pChild->GetAttribute("filename");
        const std::string tmp_strFilePath = fp_strDataDir + tmp_strFilename;
        const long long tmp_llSize = OpenableFileSize(tmp_strFilePath);
        if (tmp_llSize < 0)
            ThrowGame("Cannot find file declared in ResPack. Filename = " + tmp_strFilename);
        // A record's size is a 32-bit count; a larger file cannot be handed to a loader.
        if (tmp_llSize < 1 || tmp_llSize > 0x7FFFFFFF)
            ThrowGeneral("Wrong resource file - check if it exists!");

        const int tmp_iData1 = ReadNumber(tmp_pChild->GetAttributeView("data1"));
        const int tmp_iData2 = ReadNumber(tmp_pChild->GetAttributeView("data2"));
        const int tmp_iData3 = ReadNumber(tmp_pChild->GetAttributeView("data3"));
        const int tmp_iTag = ReadNumber(tmp_pChild->GetAttributeView("tag"));

        CVLAResource* tmp_pRecord = new CVLAResource(
            tmp_strID, tmp_pChild->GetAttribute("typeid"), tmp_iTag, tmp_strFilePath, 0,
            static_cast<int>(tmp_llSize), tmp_iData1, tmp_iData2, tmp_iData3);
        fp_Store.AddItem(tmp_pRecord, tmp_strID, tmp_iTag);
        ++tmp_iCount;
    }
    return tmp_iCount;
}

void CVelora::InitResourcesSubsystem()
{
    Checkpoint(kFileID);
    m_bResInitialised = true;
    LogAddSeparator(1);
    LogAddEmptyLines(1);
    LogAddEntry("Initializing Resources Subsystem...", 3);
    LogAddEmptyLines(1);

    m_pResources = new (std::nothrow) TItemsManager<CVLAResource>();
    if (m_pResources == nullptr)
        ThrowGeneral("Cannot create Resources Manager!");

    if (!PlatFindFiles(kResDataFolder, "*.xml").empty())
    {
        m_iResMode = RESMODE_XML;
    }
    else if (!PlatFindFiles(kResDataFolder, "*.pak").empty())
    {
        m_iResMode = RESMODE_PAK;
        m_bXMLEncryption = true;
    }

    LogAddEmptyLines(1);
    if (m_iResMode == RESMODE_XML)
        LogAddEntry("Resources Subsystem operates in XML mode.", 1);
    else if (m_iResMode == RESMODE_PAK)
        LogAddEntry("Resources Subsystem operates in PAK mode.", 1);
    else
        LogAddEntry("No resources were found!", 5);

    ScanResourcePacks();
    RegisterStandardLoaders();

    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

void CVelora::ScanResourcePacks()
{
    Checkpoint(kFileID);
    if (m_iResMode == RESMODE_NONE)
        return;
    // Byte-wise name order, so that which duplicate wins is the same on every machine.
    const std::vector<std::string> tmp_Names =
        PlatFindFiles(kResDataFolder, m_iResMode == RESMODE_XML ? "*.xml" : "*.pak");
    int tmp_iCount = 0;
    for (const std::string& tmp_strName : tmp_Names)
    {
        const std::string tmp_strPath = kResDataFolder + tmp_strName;
        if (m_iResMode == RESMODE_XML)
            ProcessXMLResPack(tmp_strPath);
        else
            ProcessPAKResPack(tmp_strPath);
        ++tmp_iCount;
    }
    LogAddEmptyLines(1);
    LogAddEntry(std::to_string(tmp_iCount) + " resource packs found.", 4);
    LogAddEmptyLines(1);
}

void CVelora::ProcessXMLResPack(const std::string& fp_strPath)
{
    Checkpoint(kFileID);
    LogAddEmptyLines(1);
    LogAddEntry("Processing ResPack: " + fp_strPath, 1);
    LogAddEmptyLines(1);

    const int tmp_iCount = IndexXMLResPack(fp_strPath, kResDataFolder, *m_pResources);

    LogAddEmptyLines(1);
    LogAddEntry(std::to_string(tmp_iCount) + " resources found.", 4);
    LogAddEmptyLines(1);
}

void CVelora::ProcessPAKResPack(const std::string& fp_strPath)
{
    Checkpoint(kFileID);
    LogAddEmptyLines(1);
    LogAddEntry("Processing ResPack: " + fp_strPath, 1);
    LogAddEmptyLines(1);

    const int tmp_iCount =
        ReadPakIndex(fp_strPath,
                     [&](const VLAPakEntry& fp_Entry)
                     {
                         CVLAResource* tmp_pRecord = new CVLAResource(
                             fp_Entry.m_strID, fp_Entry.m_strTypeID, fp_Entry.m_iTag, fp_strPath,
                             fp_Entry.m_iOffset, fp_Entry.m_iSize, fp_Entry.m_iData1,
                             fp_Entry.m_iData2, fp_Entry.m_iData3);
                         // The first pack to declare a strID keeps it; later ones are dropped
                         // without a word.
                         if (m_pResources->FindItem(fp_Entry.m_strID) != -1)
                             delete tmp_pRecord;
                         else
                             m_pResources->AddItem(tmp_pRecord, fp_Entry.m_strID, fp_Entry.m_iTag);
                     });

    LogAddEmptyLines(1);
    LogAddEntry(std::to_string(tmp_iCount) + " resources found.", 4);
    LogAddEmptyLines(1);
}

void CVelora::RegisterStandardLoaders()
{
    Checkpoint(kFileID);
    LogAddEmptyLines(1);
    LogAddEntry("Registering resources-loading functions for standart resource types...", 2);
    LogAddEmptyLines(1);

    // Each subsystem registers its standard loader here, in this fixed order, once it exists.
    // Until then its type IDs have no loader and loading such a resource raises the
    // "no function registered" error.

    // Graphics: TEXTURE, TECHNIQUE, FONT (RegisterLoadRes).
    RegisterLoadRes(RESLOAD_Texture, "TEXTURE");
    RegisterLoadRes(RESLOAD_Technique, "TECHNIQUE");
    RegisterLoadRes(RESLOAD_Font, "FONT");

    // Sound and music: SOUND, MUSIC (RegisterLoadResEx).
    RegisterLoadResEx(RESLOAD_Sound, "SOUND");
    RegisterLoadResEx(RESLOAD_Music, "MUSIC");

    // Playlists: PLAYLIST (RegisterLoadRes).
    RegisterLoadRes(RESLOAD_Playlist, "PLAYLIST");

    // Scripts: SCRIPT (RegisterLoadRes).
    RegisterLoadRes(RESLOAD_Script, "SCRIPT");

    RegisterLoadRes(RESLOAD_XMLData, "XMLDATA");

    LogAddEmptyLines(1);
    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);
}

void CVelora::RegisterLoadRes(VLALoadResFunc fp_pfnLoader, const std::string& fp_strTypeID)
{
    Checkpoint(kFileID);
    if (m_LoadResFuncs.count(fp_strTypeID) != 0)
        ThrowGame("LoadRes function already registered for TypeID = " + fp_strTypeID);
    m_LoadResFuncs[fp_strTypeID] = fp_pfnLoader;
}

void CVelora::RegisterLoadResEx(VLALoadResExFunc fp_pfnLoader, const std::string& fp_strTypeID)
{
    Checkpoint(kFileID);
    if (m_LoadResExFuncs.count(fp_strTypeID) != 0)
        ThrowGame("LoadResEx function already registered for TypeID = " + fp_strTypeID);
    m_LoadResExFuncs[fp_strTypeID] = fp_pfnLoader;
}

void CVelora::LoadResource(const std::string& fp_strID)
{
    Checkpoint(kFileID);
    // The store is gone after the stop as well: treat that as not started.
    if (!m_bResInitialised || m_pResources == nullptr)
        ThrowGame("Resources subsystem was not initialized!");

    const int tmp_iSlot = m_pResources->FindItem(fp_strID);
    CVLAResource* tmp_pRecord = tmp_iSlot != -1 ? m_pResources->GetItem(tmp_iSlot) : nullptr;
    if (tmp_pRecord != nullptr)
    {
        LoadResourceRecord(tmp_pRecord);
    }
    else
    {
        LogAddEmptyLines(1);
        LogAddEntry("Cannot find resource with ID = " + fp_strID, 5);
    }
}

void CVelora::LoadResources(int fp_iTag)
{
    Checkpoint(kFileID);
    if (!m_bResInitialised || m_pResources == nullptr)
        ThrowGame("Resources subsystem was not initialized!");

    LogAddEmptyLines(1);
    LogAddEntry("Loading resources with Tag = " + std::to_string(fp_iTag), 2);
    LogAddEmptyLines(1);

    // Walks the slots itself rather than through the store's one shared cursor, so that a
    // loader that loads other resources (a script, say) does not end this walk early.
    int tmp_iCount = 0;
    for (int i = 0; i < m_pResources->GetCount(); ++i)
    {
        CVLAResource* tmp_pRecord = m_pResources->GetItem(i);
        if (tmp_pRecord == nullptr || (fp_iTag != 0 && m_pResources->GetTag(i) != fp_iTag))
            continue;
        LoadResourceRecord(tmp_pRecord);
        ++tmp_iCount;
    }

    LogAddEmptyLines(1);
    LogAddEntry(std::to_string(tmp_iCount) + " resources with Tag = " + std::to_string(fp_iTag) +
                    " loaded.",
                4);
    LogAddEmptyLines(1);
}

void CVelora::LoadResourceRecord(CVLAResource* fp_pRecord)
{
    Checkpoint(kFileID);
    if (fp_pRecord == nullptr)
        ThrowGeneral("Resource subsystem was not initialized!");

    auto tmp_ItRes = m_LoadResFuncs.find(fp_pRecord->GetTypeID());
    if (tmp_ItRes != m_LoadResFuncs.end())
    {
        fp_pRecord->DataLoad();
        try
        {
            tmp_ItRes->second(fp_pRecord->GetData(), fp_pRecord->GetSize(),
                              fp_pRecord->GetStrID().c_str(), fp_pRecord->GetTag(),
                              fp_pRecord->GetData1(), fp_pRecord->GetData2(),
                              fp_pRecord->GetData3());
        }
        catch (...)
        {
            // The error goes on unchanged; the record is left ready for another load.
            fp_pRecord->DataUnLoad();
            throw;
        }
        fp_pRecord->DataUnLoad();
        return;
    }

    auto tmp_ItResEx = m_LoadResExFuncs.find(fp_pRecord->GetTypeID());
    if (tmp_ItResEx != m_LoadResExFuncs.end())
    {
        tmp_ItResEx->second(fp_pRecord->GetFilename().c_str(), fp_pRecord->GetOffset(),
                            fp_pRecord->GetSize(), fp_pRecord->GetStrID().c_str(),
                            fp_pRecord->GetTag(), fp_pRecord->GetData1(), fp_pRecord->GetData2(),
                            fp_pRecord->GetData3());
        return;
    }

    ThrowGame("Cannot load resource: no function registered for Res_Type = " +
              fp_pRecord->GetTypeID());
}

void CVelora::DeinitResourcesSubsystem()
{
    Checkpoint(kFileID);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
    LogAddEntry("Deinitializing Resources Subsystem...", 3);
    LogAddEmptyLines(1);

    if (m_pResources != nullptr)
    {
        m_pResources->FreeAllItems();
        delete m_pResources;
        m_pResources = nullptr;
    }
    m_LoadResFuncs.clear();

    LogAddEntry("Done.", 4);
    LogAddEmptyLines(1);
    LogAddSeparator(1);
    LogAddEmptyLines(1);
}

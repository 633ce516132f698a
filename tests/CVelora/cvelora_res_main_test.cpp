// The resource subsystem: mode selection, indexing XML descriptors and binary packs with their
// log lines and errors, the loader registries, loading by strID and by tag, and the stop.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_res_cres.h"
#include "CVelora/cvelora_res_pak.h"
#include "CVelora/cvelora_utils_cxmlvar.h"
#include "CVelora/cvelora_utils_xml.h"
#include "test_support.h"

#include <filesystem>

namespace
{
const std::string kSep1 = "|---------------------------------------------------|\n";

// What the test loaders saw, one line per call.
std::vector<std::string> g_Calls;

void RecordLoadRes(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                   int fp_iData1, int fp_iData2, int fp_iData3)
{
    g_Calls.push_back(std::string("res ") + fp_pszID + " [" +
                      std::string(reinterpret_cast<const char*>(fp_pData), fp_iSize) + "] " +
                      std::to_string(fp_iTag) + " " + std::to_string(fp_iData1) + " " +
                      std::to_string(fp_iData2) + " " + std::to_string(fp_iData3));
}

void RecordLoadResEx(const char* fp_pszFile, int fp_iOffset, int fp_iSize, const char* fp_pszID,
                     int fp_iTag, int fp_iData1, int fp_iData2, int fp_iData3)
{
    g_Calls.push_back(std::string("ex ") + fp_pszID + " " + fp_pszFile + " " +
                      std::to_string(fp_iOffset) + " " + std::to_string(fp_iSize) + " " +
                      std::to_string(fp_iTag) + " " + std::to_string(fp_iData1) + " " +
                      std::to_string(fp_iData2) + " " + std::to_string(fp_iData3));
}

void ThrowingLoader(const uint8_t*, int, const char*, int, int, int, int)
{
    ThrowGame("loader failed");
}

// Loads every resource of tag 2 from inside a load.
void NestedLoader(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                  int fp_iData1, int fp_iData2, int fp_iData3)
{
    RecordLoadRes(fp_pData, fp_iSize, fp_pszID, fp_iTag, fp_iData1, fp_iData2, fp_iData3);
    GetEngine()->LoadResources(2);
}

std::string Int32(int32_t fp_iValue)
{
    std::string tmp(4, '\0');
    for (int i = 0; i < 4; ++i)
        tmp[i] = static_cast<char>((static_cast<uint32_t>(fp_iValue) >> (8 * i)) & 0xFF);
    return tmp;
}

// One index entry written by hand, independent of the pack writer.
std::string Entry(const std::string& fp_strID, const std::string& fp_strType, int fp_iOffset,
                  int fp_iSize, int fp_iTag = 0, int fp_iData1 = 0, int fp_iData2 = 0,
                  int fp_iData3 = 0)
{
    return fp_strID + '\0' + fp_strType + '\0' + Int32(fp_iOffset) + Int32(fp_iSize) +
           Int32(fp_iTag) + Int32(fp_iData1) + Int32(fp_iData2) + Int32(fp_iData3);
}

template <typename F> std::string ErrorOf(F fp_Body)
{
    try
    {
        fp_Body();
    }
    catch (const CEHSException& e)
    {
        return std::to_string(e.m_iType) + ":" + e.m_strDesc;
    }
    catch (const char* text)
    {
        return std::string("text:") + text;
    }
    return "(none)";
}

class ResTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        g_Calls.clear();
        std::filesystem::create_directory("DATA");
        m_pVLA = new CVelora;
    }
    void TearDown() override
    {
        delete m_pVLA;
        TempDirTest::TearDown();
    }
    // Starts the subsystem and forgets the log written so far.
    void Init()
    {
        m_pVLA->InitResourcesSubsystem();
        std::filesystem::remove("gamelog.txt");
    }
    std::string Log() { return ReadFile("gamelog.txt"); }

    CVelora* m_pVLA = nullptr;
};

const std::string kRegisterLines =
    "\n  -=: Registering resources-loading functions for standart resource types...\n\n"
    "\n   +: Done.\n\n";
} // namespace

TEST_F(ResTest, XMLModeIndexesDescriptorsWithTheirLogLines)
{
    WriteFile("DATA/a.xml", "<respack><res id=\"TEX_BG\" typeid=\"TEXTURE\" filename=\"bg.png\" "
                            "tag=\"1\"/><res id=\"SND_PIECEMOVE\" typeid=\"SOUND\" "
                            "filename=\"move.wav\" tag=\"1\" data2=\"2\"/></respack>");
    WriteFile("DATA/b.xml", "<respack><x id=\"XML_SET\" typeid=\"XMLDATA\" filename=\"set/s.xml\"/>"
                            "</respack>");
    WriteFile("DATA/bg.png", "0123456789");
    WriteFile("DATA/move.wav", "RIFF");
    // Every *.xml directly in the data folder is a descriptor: XML resources live below it.
    std::filesystem::create_directory("DATA/set");
    WriteFile("DATA/set/s.xml", "<xmldata/>");
    WriteFile("DATA/c.pak", Int32(0));
    m_pVLA->InitResourcesSubsystem();

    EXPECT_EQ(m_pVLA->m_iResMode, RESMODE_XML);
    EXPECT_TRUE(m_pVLA->m_bResInitialised);
    EXPECT_FALSE(m_pVLA->m_bXMLEncryption);
    EXPECT_EQ(Log(), kSep1 +
                         "\n--==: Initializing Resources Subsystem...\n\n"
                         "\n   =: Resources Subsystem operates in XML mode.\n"
                         "\n   =: Processing ResPack: ./DATA/a.xml\n\n"
                         "\n   +: 2 resources found.\n\n"
                         "\n   =: Processing ResPack: ./DATA/b.xml\n\n"
                         "\n   +: 1 resources found.\n\n"
                         "\n   +: 2 resource packs found.\n\n" +
                         kRegisterLines + "   +: Done.\n\n" + kSep1 + "\n");

    TItemsManager<CVLAResource>& store = *m_pVLA->m_pResources;
    ASSERT_EQ(store.GetCount(), 3);
    const CVLAResource* snd = store.GetItem(store.FindItem("SND_PIECEMOVE"));
    EXPECT_EQ(snd->GetTypeID(), "SOUND");
    EXPECT_EQ(snd->GetFilename(), "./DATA/move.wav");
    EXPECT_EQ(snd->GetOffset(), 0);
    EXPECT_EQ(snd->GetSize(), 4);
    EXPECT_EQ(snd->GetTag(), 1);
    EXPECT_EQ(store.GetTag(store.FindItem("SND_PIECEMOVE")), 1);
    EXPECT_EQ(snd->GetData2(), 2);
    EXPECT_EQ(store.GetTag(store.FindItem("XML_SET")), 0);
}

TEST_F(ResTest, NoResourcesAtAll)
{
    m_pVLA->InitResourcesSubsystem();
    EXPECT_EQ(m_pVLA->m_iResMode, RESMODE_NONE);
    EXPECT_EQ(Log(), kSep1 +
                         "\n--==: Initializing Resources Subsystem...\n\n"
                         "\n !: No resources were found!\n" +
                         kRegisterLines + "   +: Done.\n\n" + kSep1 + "\n");
    EXPECT_EQ(m_pVLA->m_LoadResFuncs.count("XMLDATA"), 1u);

    std::filesystem::remove("gamelog.txt");
    m_pVLA->LoadResource("TEX_BG");
    EXPECT_EQ(Log(), "\n !: Cannot find resource with ID = TEX_BG\n");
}

TEST_F(ResTest, PAKModeWhenThereIsNoDescriptor)
{
    WriteFile("DATA/b.pak", Int32(0));
    WriteFile("DATA/notes.txt", "not a pack");
    m_pVLA->InitResourcesSubsystem();
    EXPECT_EQ(m_pVLA->m_iResMode, RESMODE_PAK);
    EXPECT_TRUE(m_pVLA->m_bXMLEncryption);
    EXPECT_EQ(Log(), kSep1 +
                         "\n--==: Initializing Resources Subsystem...\n\n"
                         "\n   =: Resources Subsystem operates in PAK mode.\n"
                         "\n   =: Processing ResPack: ./DATA/b.pak\n\n"
                         "\n   +: 0 resources found.\n\n"
                         "\n   +: 1 resource packs found.\n\n" +
                         kRegisterLines + "   +: Done.\n\n" + kSep1 + "\n");
}

TEST_F(ResTest, DescriptorErrors)
{
    struct Row
    {
        const char* descriptor;
        const char* error;
    };
    const Row rows[] = {
        {"<resources><res id=\"A\" typeid=\"T\" filename=\"f.bin\"/></resources>",
         "2:Wrong XML ResPack descriptor: ./DATA/a.xml"},
        {"<respack><res id=\"A\" typeid=\"T\" filename=\"none.bin\"/></respack>",
         "2:Cannot find file declared in ResPack. Filename = none.bin"},
        {"<respack><res id=\"A\" typeid=\"T\"/></respack>",
         "2:Cannot find file declared in ResPack. Filename = "},
        {"<respack><res id=\"A\" typeid=\"T\" filename=\"empty.bin\"/></respack>",
         "1:Wrong resource file - check if it exists!"},
        {"<respack><res typeid=\"T\" filename=\"f.bin\"/></respack>", "1:Invalid resource ID!"},
        {"<respack><res id=\"A\" filename=\"f.bin\"/></respack>", "1:Invalid resource type ID!"},
        {"<respack><res id=\"A\" typeid=\"T\" filename=\"f.bin\"/><res id=\"A\" typeid=\"T\" "
         "filename=\"f.bin\"/></respack>",
         "2:Dublicated resource. ID = A"},
        {"<respack><res id=\"A\" typeid=\"T\" filename=\"f.bin\"/>",
         "text:XMLERROR: root element is not closed - ./DATA/a.xml"},
        {"", "text:XMLERROR: the file is empty - ./DATA/a.xml"},
    };
    WriteFile("DATA/f.bin", "x");
    WriteFile("DATA/empty.bin", "");
    for (const Row& row : rows)
    {
        WriteFile("DATA/a.xml", row.descriptor);
        CVelora* vla = m_pVLA;
        delete vla;
        m_pVLA = new CVelora;
        EXPECT_EQ(ErrorOf([&] { m_pVLA->InitResourcesSubsystem(); }), row.error) << row.descriptor;
    }
}

TEST_F(ResTest, DuplicateAcrossDescriptorsRaises)
{
    WriteFile("DATA/bg.png", "x");
    WriteFile("DATA/a.xml", "<respack><res id=\"TEX_BG\" typeid=\"TEXTURE\" filename=\"bg.png\"/>"
                            "</respack>");
    WriteFile("DATA/b.xml", "<respack><res id=\"TEX_BG\" typeid=\"TEXTURE\" filename=\"bg.png\"/>"
                            "</respack>");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->InitResourcesSubsystem(); }),
              "2:Dublicated resource. ID = TEX_BG");
}

TEST_F(ResTest, NumbersAreReadByStreamExtraction)
{
    WriteFile("DATA/f.bin", "abc");
    WriteFile("DATA/a.xml", "<respack><r id=\"A\" typeid=\"REC\" filename=\"f.bin\" tag=\" 3x\" "
                            "data1=\"-7\" data2=\"none\" data3=\"+12\"/></respack>");
    Init();
    m_pVLA->RegisterLoadRes(RecordLoadRes, "REC");
    m_pVLA->LoadResource("A");
    EXPECT_EQ(g_Calls, std::vector<std::string>{"res A [abc] 3 -7 0 12"});
}

TEST_F(ResTest, LoadingByStrIDAndByTag)
{
    WriteFile("DATA/one.bin", "one");
    WriteFile("DATA/two.bin", "two\r\n");
    WriteFile("DATA/a.xml",
              "<respack><r id=\"R1\" typeid=\"REC\" filename=\"one.bin\" tag=\"1\" data1=\"4\"/>"
              "<r id=\"R0\" typeid=\"REC\" filename=\"two.bin\"/>"
              "<r id=\"E1\" typeid=\"RECEX\" filename=\"two.bin\" tag=\"1\" data3=\"9\"/>"
              "</respack>");
    Init();
    m_pVLA->RegisterLoadRes(RecordLoadRes, "REC");
    m_pVLA->RegisterLoadResEx(RecordLoadResEx, "RECEX");

    m_pVLA->LoadResource("R0");
    m_pVLA->LoadResource("R0"); // a resource loads as often as it is asked for
    EXPECT_EQ(g_Calls,
              (std::vector<std::string>{"res R0 [two\r\n] 0 0 0 0", "res R0 [two\r\n] 0 0 0 0"}));
    EXPECT_FALSE(FileExists("gamelog.txt"));

    g_Calls.clear();
    m_pVLA->LoadResources(1);
    EXPECT_EQ(g_Calls, (std::vector<std::string>{"res R1 [one] 1 4 0 0",
                                                 "ex E1 ./DATA/two.bin 0 5 1 0 0 9"}));
    EXPECT_EQ(Log(), "\n  -=: Loading resources with Tag = 1\n\n"
                     "\n   +: 2 resources with Tag = 1 loaded.\n\n");

    g_Calls.clear();
    m_pVLA->LoadResources(0);
    EXPECT_EQ(g_Calls.size(), 3u);
    std::filesystem::remove("gamelog.txt");
    m_pVLA->LoadResources(5);
    EXPECT_EQ(Log(), "\n  -=: Loading resources with Tag = 5\n\n"
                     "\n   +: 0 resources with Tag = 5 loaded.\n\n");
}

TEST_F(ResTest, UnregisteredTypeRaisesAtLoadTime)
{
    WriteFile("DATA/bg.png", "x");
    WriteFile("DATA/a.xml", "<respack><res id=\"TEX_BG\" typeid=\"FOO\" filename=\"bg.png\"/>"
                            "</respack>");
    Init(); // indexing accepts any type ID
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResource("TEX_BG"); }),
              "2:Cannot load resource: no function registered for Res_Type = FOO");
    // Type IDs compare exactly.
    m_pVLA->RegisterLoadRes(RecordLoadRes, "foo");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResources(0); }),
              "2:Cannot load resource: no function registered for Res_Type = FOO");
}

TEST_F(ResTest, RegistriesAreCheckedIndependently)
{
    // Registering needs no started subsystem.
    m_pVLA->RegisterLoadRes(RecordLoadRes, "REC");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->RegisterLoadRes(RecordLoadRes, "REC"); }),
              "2:LoadRes function already registered for TypeID = REC");
    m_pVLA->RegisterLoadResEx(RecordLoadResEx, "REC");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->RegisterLoadResEx(RecordLoadResEx, "REC"); }),
              "2:LoadResEx function already registered for TypeID = REC");

    WriteFile("DATA/f.bin", "bytes");
    WriteFile("DATA/a.xml", "<respack><r id=\"A\" typeid=\"REC\" filename=\"f.bin\"/></respack>");
    Init();
    EXPECT_EQ(ErrorOf([&] { m_pVLA->RegisterLoadRes(RecordLoadRes, "XMLDATA"); }),
              "2:LoadRes function already registered for TypeID = XMLDATA");
    // A standard in-memory type may still get a file-region loader, which is never used.
    EXPECT_EQ(ErrorOf([&] { m_pVLA->RegisterLoadRes(RecordLoadRes, "TEXTURE"); }),
              "2:LoadRes function already registered for TypeID = TEXTURE");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->RegisterLoadResEx(RecordLoadResEx, "TEXTURE"); }), "(none)");
    // Both registries hold REC: the in-memory loader is used.
    m_pVLA->LoadResource("A");
    EXPECT_EQ(g_Calls, std::vector<std::string>{"res A [bytes] 0 0 0 0"});
}

TEST_F(ResTest, NotStartedAndNullRecord)
{
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResource("A"); }),
              "2:Resources subsystem was not initialized!");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResources(0); }),
              "2:Resources subsystem was not initialized!");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResourceRecord(nullptr); }),
              "1:Resource subsystem was not initialized!");
}

TEST_F(ResTest, StopFreesTheStoreAndTheLoadResRegistry)
{
    WriteFile("DATA/f.bin", "x");
    WriteFile("DATA/a.xml", "<respack><r id=\"A\" typeid=\"REC\" filename=\"f.bin\"/></respack>");
    Init();
    m_pVLA->RegisterLoadResEx(RecordLoadResEx, "RECEX");
    m_pVLA->DeinitResourcesSubsystem();
    EXPECT_EQ(Log(), kSep1 + "\n--==: Deinitializing Resources Subsystem...\n\n   +: Done.\n\n" +
                         kSep1 + "\n");
    EXPECT_EQ(m_pVLA->m_pResources, nullptr);
    EXPECT_TRUE(m_pVLA->m_LoadResFuncs.empty());
    EXPECT_EQ(m_pVLA->m_LoadResExFuncs.count("RECEX"), 1u);
    EXPECT_TRUE(m_pVLA->m_bResInitialised);
    // With the store gone, loading reports the subsystem as not started instead of crashing.
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResource("A"); }),
              "2:Resources subsystem was not initialized!");
}

TEST_F(ResTest, EngineTeardownStopsTheSubsystem)
{
    Init();
    delete m_pVLA;
    m_pVLA = nullptr;
    const std::string log = Log();
    EXPECT_NE(log.find("--==: Deinitializing Resources Subsystem...\n"), std::string::npos);
    EXPECT_LT(log.find("Deinitializing Resources"), log.find("End of log."));
}

TEST_F(ResTest, LoaderErrorsPassUnchangedAndLeaveTheRecordReusable)
{
    WriteFile("DATA/f.bin", "x");
    WriteFile("DATA/a.xml", "<respack><r id=\"A\" typeid=\"BAD\" filename=\"f.bin\"/></respack>");
    Init();
    m_pVLA->RegisterLoadRes(ThrowingLoader, "BAD");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResource("A"); }), "2:loader failed");
    // Not "Internal error in CVLAResource::DataLoad()!": the record was unloaded on the way out.
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResource("A"); }), "2:loader failed");
}

TEST_F(ResTest, ALoaderMayLoadOtherResources)
{
    WriteFile("DATA/f.bin", "f");
    WriteFile("DATA/a.xml", "<respack><r id=\"N\" typeid=\"NEST\" filename=\"f.bin\" tag=\"1\"/>"
                            "<r id=\"B\" typeid=\"REC\" filename=\"f.bin\" tag=\"2\"/>"
                            "<r id=\"C\" typeid=\"REC\" filename=\"f.bin\" tag=\"1\"/></respack>");
    Init();
    m_pVLA->RegisterLoadRes(NestedLoader, "NEST");
    m_pVLA->RegisterLoadRes(RecordLoadRes, "REC");
    m_pVLA->LoadResources(1);
    EXPECT_EQ(g_Calls, (std::vector<std::string>{"res N [f] 1 0 0 0", "res B [f] 2 0 0 0",
                                                 "res C [f] 1 0 0 0"}));
}

TEST_F(ResTest, SingleEntryPackIs53Bytes)
{
    // A type without a standard loader (same length as TEXTURE), so the test can register its own.
    const std::string index = Int32(1) + Entry("TEX_BG", "TESTRES", 43, 10, 1, 2, 3, 4);
    ASSERT_EQ(index.size(), 43u);
    const std::string pack = index + "0123456789";
    ASSERT_EQ(pack.size(), 53u);
    WriteFile("DATA/a.pak", pack);
    Init();
    m_pVLA->RegisterLoadRes(RecordLoadRes, "TESTRES");
    m_pVLA->LoadResource("TEX_BG");
    EXPECT_EQ(g_Calls, std::vector<std::string>{"res TEX_BG [0123456789] 1 2 3 4"});
    const CVLAResource* rec = m_pVLA->m_pResources->GetItem(0);
    EXPECT_EQ(rec->GetFilename(), "./DATA/a.pak");
    EXPECT_EQ(rec->GetOffset(), 43);
    EXPECT_EQ(rec->GetSize(), 10);

    // The writer lays out the same bytes.
    std::vector<VLAPakEntry> entries(1);
    entries[0].m_strID = "TEX_BG";
    entries[0].m_strTypeID = "TESTRES";
    entries[0].m_iTag = 1;
    entries[0].m_iData1 = 2;
    entries[0].m_iData2 = 3;
    entries[0].m_iData3 = 4;
    EXPECT_EQ(WritePak(entries, {"0123456789"}), pack);
}

TEST_F(ResTest, FirstPackWinsDuplicatesSilently)
{
    const std::string a = Int32(2) + Entry("TEX_BG", "REC", 0, 4) + Entry("A_ONLY", "REC", 0, 4);
    const std::string b = Int32(2) + Entry("TEX_BG", "REC", 4, 4) + Entry("B_ONLY", "REC", 4, 4);
    WriteFile("DATA/b.pak", b);
    WriteFile("DATA/a.pak", a);
    m_pVLA->InitResourcesSubsystem();
    const std::string log = Log();
    EXPECT_NE(log.find("\n   =: Processing ResPack: ./DATA/a.pak\n\n\n   +: 2 resources found.\n"
                       "\n\n   =: Processing ResPack: ./DATA/b.pak\n\n\n   +: 2 resources found."),
              std::string::npos)
        << log;
    ASSERT_EQ(m_pVLA->m_pResources->GetCount(), 3);
    m_pVLA->RegisterLoadRes(RecordLoadRes, "REC");
    m_pVLA->LoadResource("TEX_BG");
    ASSERT_EQ(g_Calls.size(), 1u);
    EXPECT_EQ(g_Calls[0], std::string("res TEX_BG [") + a.substr(0, 4) + "] 0 0 0 0");
    EXPECT_EQ(m_pVLA->m_pResources->GetItem(2)->GetStrID(), "B_ONLY");
}

TEST_F(ResTest, PackIndexErrors)
{
    struct Row
    {
        std::string pack;
        const char* error;
    };
    const Row rows[] = {
        {Int32(1) + Entry("TEX_BG", "TEXTURE", 43, 0),
         "1:Invalide resource name - check if resource file exist!"},
        {Int32(1) + Entry("", "TEXTURE", 0, 1), "1:Invalid resource ID!"},
        {Int32(1) + Entry("A", "", 0, 1), "1:Invalid resource type ID!"},
        // A negative count means none.
        {Int32(-3) + Entry("A", "", 0, 1), "(none)"},
        // Regions are not checked while indexing.
        {Int32(1) + Entry("A", "T", 1000, 5), "(none)"},
    };
    for (const Row& row : rows)
    {
        WriteFile("DATA/a.pak", row.pack);
        delete m_pVLA;
        m_pVLA = new CVelora;
        EXPECT_EQ(ErrorOf([&] { m_pVLA->InitResourcesSubsystem(); }), row.error);
    }
    // Loading the region outside the file names the pack.
    m_pVLA->RegisterLoadRes(RecordLoadRes, "T");
    EXPECT_EQ(ErrorOf([&] { m_pVLA->LoadResource("A"); }),
              "1:Resource region lies outside its file! Filename = ./DATA/a.pak");
}

TEST_F(ResTest, PackCutInsideItsIndexStopsAtTheEndAndNamesThePack)
{
    const std::string pack =
        Int32(2) + Entry("TEX_BG", "TEXTURE", 0, 3, 1) + Entry("SND_A", "SOUND", 0, 3, 1);
    const size_t firstEnd = 4 + 7 + 8 + 24;
    for (size_t len = 0; len < pack.size(); ++len)
    {
        WriteFile("DATA/a.pak", pack.substr(0, len));
        delete m_pVLA;
        m_pVLA = new CVelora;
        EXPECT_EQ(ErrorOf([&] { m_pVLA->InitResourcesSubsystem(); }),
                  "text:PAKERROR: the pack ends inside its index - ./DATA/a.pak")
            << len;
        // The entries read before the cut are in the store.
        EXPECT_EQ(m_pVLA->m_pResources->GetCount(), len >= firstEnd ? 1 : 0) << len;
    }
}

TEST_F(ResTest, PAKModeDecodesXMLData)
{
    CXMLVarInt sizex("sizex");
    std::string doc = "<xmldata>\r\n<board sizex=\"12\"/>\r\n</xmldata>\r\n";
    XMLApplyKey(reinterpret_cast<unsigned char*>(doc.data()), doc.size());
    std::vector<VLAPakEntry> entries(1);
    entries[0].m_strID = "XML_GAMESETTINGS";
    entries[0].m_strTypeID = "XMLDATA";
    entries[0].m_iTag = 1;
    WriteFile("DATA/game.pak", WritePak(entries, {doc}));
    Init();
    m_pVLA->LoadResources(1);
    EXPECT_EQ(sizex.m_iValue, 12);
}

// The `vla` data tool, run as a program: a pack built from a folder of descriptors indexes and
// loads like the folder itself, list and extract show the index and the original bytes, dump
// prints the reader's tree, and errors are one line on standard error with a non-zero status.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_res_cres.h"
#include "CVelora/cvelora_res_pak.h"
#include "CVelora/cvelora_utils_xml.h"
#include "test_support.h"

#include <filesystem>
#include <sys/wait.h>

namespace
{
namespace fs = std::filesystem;

struct RunResult
{
    int m_iStatus;
    std::string m_strOut;
    std::string m_strErr;
};

RunResult RunVla(const std::string& fp_strArgs)
{
    const std::string cmd = std::string(VLA_TOOL_PATH) + " " + fp_strArgs + " >vla.out 2>vla.err";
    const int raw = std::system(cmd.c_str());
    RunResult r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile("vla.out"), ReadFile("vla.err")};
    fs::remove("vla.out");
    fs::remove("vla.err");
    return r;
}

// One record as the tests compare it: everything but where the bytes are.
std::string Describe(const CVLAResource& r)
{
    return r.GetStrID() + " " + r.GetTypeID() + " tag=" + std::to_string(r.GetTag()) +
           " size=" + std::to_string(r.GetSize()) + " d=" + std::to_string(r.GetData1()) + "," +
           std::to_string(r.GetData2()) + "," + std::to_string(r.GetData3());
}

struct Indexed
{
    std::vector<std::string> m_Records;
    std::map<std::string, std::string> m_Bytes; // as the loaders would see them, decoded
};

// Starts the resource subsystem over ./DATA and reads every record's bytes.
Indexed IndexData()
{
    Indexed tmp;
    CVelora* vla = new CVelora;
    vla->InitResourcesSubsystem();
    TItemsManager<CVLAResource>& store = *vla->m_pResources;
    for (int i = 0; i < store.GetCount(); ++i)
    {
        CVLAResource* r = store.GetItem(i);
        tmp.m_Records.push_back(Describe(*r));
        r->DataLoad();
        std::string bytes(reinterpret_cast<const char*>(r->GetData()),
                          static_cast<size_t>(r->GetSize()));
        r->DataUnLoad();
        const bool xml = r->GetTypeID() == "XMLDATA" || r->GetTypeID() == "GUIDATA";
        if (xml && vla->m_bXMLEncryption)
            XMLApplyKey(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
        tmp.m_Bytes[r->GetStrID()] = bytes;
    }
    delete vla;
    return tmp;
}

class VlaTest : public TempDirTest
{
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        fs::create_directories("src/gui");
        WriteFile("src/a.xml", "<?xml version=\"1.0\"?>\r\n<respack>\r\n"
                               "  <res id=\"XML_SETTINGS\" typeid=\"XMLDATA\" "
                               "filename=\"gui/settings.xml\" tag=\"1\"/>\r\n"
                               "  <res id=\"TEX_BG\" typeid=\"TEXTURE\" filename=\"bg.png\" "
                               "tag=\"2\" data1=\"3\" data2=\"-4\" data3=\"5\"/>\r\n"
                               "</respack>\r\n");
        WriteFile("src/b.xml", "<respack><r id=\"GUI_MAIN\" typeid=\"GUIDATA\" "
                               "filename=\"gui/main.xml\" tag=\"8\"/>"
                               "<r id=\"SND_A\" typeid=\"SOUND\" filename=\"a.wav\" "
                               "data1=\"1\"/></respack>");
        WriteFile("src/gui/settings.xml", "<xmldata>\r\n<b sizex=\"8\"/>\r\n</xmldata>\r\n");
        WriteFile("src/gui/main.xml", "<gui><window id=\"WND\"/></gui>");
        WriteFile("src/bg.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
        WriteFile("src/a.wav", "RIFF....WAVE");
    }
};
} // namespace

TEST_F(VlaTest, BuiltPackIndexesAndLoadsLikeTheFolder)
{
    fs::copy("src", "DATA", fs::copy_options::recursive);
    const Indexed folder = IndexData();
    ASSERT_EQ(folder.m_Records.size(), 4u);

    RunResult r = RunVla("pak build game.pak src");
    ASSERT_EQ(r.m_iStatus, 0) << r.m_strErr;
    EXPECT_EQ(r.m_strErr, "");
    fs::remove_all("DATA");
    fs::create_directory("DATA");
    fs::rename("game.pak", "DATA/game.pak");
    const Indexed pack = IndexData();

    EXPECT_EQ(pack.m_Records, folder.m_Records);
    EXPECT_EQ(pack.m_Bytes, folder.m_Bytes);
    EXPECT_EQ(pack.m_Bytes.at("XML_SETTINGS"), ReadFile("src/gui/settings.xml"));
    EXPECT_EQ(pack.m_Bytes.at("TEX_BG"), ReadFile("src/bg.png"));

    // XML resources are stored encoded, everything else unchanged.
    const std::string bytes = ReadFile("DATA/game.pak");
    EXPECT_EQ(bytes.find("<xmldata>"), std::string::npos);
    EXPECT_NE(bytes.find("RIFF....WAVE"), std::string::npos);
}

TEST_F(VlaTest, ListAndExtract)
{
    ASSERT_EQ(RunVla("pak build game.pak src").m_iStatus, 0);
    RunResult r = RunVla("pak list game.pak");
    EXPECT_EQ(r.m_iStatus, 0);
    // The index takes 4 + (13+8+24) + (7+8+24) + (9+8+24) + (6+6+24) = 165 bytes; the
    // resources follow in index order.
    const std::pair<const char*, const char*> files[] = {
        {"XML_SETTINGS XMLDATA", "gui/settings.xml"},
        {"TEX_BG TEXTURE", "bg.png"},
        {"GUI_MAIN GUIDATA", "gui/main.xml"},
        {"SND_A SOUND", "a.wav"}};
    const char* const rest[] = {" 1 0 0 0\n", " 2 3 -4 5\n", " 8 0 0 0\n", " 0 1 0 0\n"};
    std::string expected;
    size_t offset = 165;
    for (int i = 0; i < 4; ++i)
    {
        const size_t size = fs::file_size(std::string("src/") + files[i].second);
        expected += std::string(files[i].first) + " " + std::to_string(offset) + " " +
                    std::to_string(size) + rest[i];
        offset += size;
    }
    EXPECT_EQ(r.m_strOut, expected);
    EXPECT_EQ(fs::file_size("game.pak"), offset);

    r = RunVla("pak extract game.pak out");
    EXPECT_EQ(r.m_iStatus, 0) << r.m_strErr;
    EXPECT_EQ(ReadFile("out/XML_SETTINGS"), ReadFile("src/gui/settings.xml"));
    EXPECT_EQ(ReadFile("out/GUI_MAIN"), ReadFile("src/gui/main.xml"));
    EXPECT_EQ(ReadFile("out/TEX_BG"), ReadFile("src/bg.png"));
    EXPECT_EQ(ReadFile("out/SND_A"), ReadFile("src/a.wav"));
}

TEST_F(VlaTest, XmlDump)
{
    RunResult r = RunVla("xml dump src/a.xml");
    EXPECT_EQ(r.m_iStatus, 0);
    EXPECT_EQ(r.m_strOut, "?xml version=\"1.0\"\n"
                          "respack\n"
                          "  res filename=\"gui/settings.xml\" id=\"XML_SETTINGS\" tag=\"1\" "
                          "typeid=\"XMLDATA\"\n"
                          "  res data1=\"3\" data2=\"-4\" data3=\"5\" filename=\"bg.png\" "
                          "id=\"TEX_BG\" tag=\"2\" typeid=\"TEXTURE\"\n");
    std::string encoded = "<a><b x=\"1\"/></a>";
    XMLApplyKey(reinterpret_cast<unsigned char*>(encoded.data()), encoded.size());
    WriteFile("enc.xml", encoded);
    r = RunVla("xml dump enc.xml --decode");
    EXPECT_EQ(r.m_iStatus, 0);
    EXPECT_EQ(r.m_strOut, "a\n  b x=\"1\"\n");
}

TEST_F(VlaTest, HelpOnEveryLevel)
{
    for (const char* args : {"--help", "pak --help", "pak build --help", "pak list --help",
                             "pak extract --help", "xml --help", "xml dump --help"})
    {
        RunResult r = RunVla(args);
        EXPECT_EQ(r.m_iStatus, 0) << args;
        EXPECT_NE(r.m_strOut.find("Usage:"), std::string::npos) << args;
        EXPECT_EQ(r.m_strErr, "") << args;
    }
}

TEST_F(VlaTest, ErrorsAreOneLineAndNonZero)
{
    fs::create_directories("dup");
    WriteFile("dup/a.xml", "<respack><r id=\"A\" typeid=\"T\" filename=\"f\"/></respack>");
    WriteFile("dup/b.xml", "<respack><r id=\"A\" typeid=\"T\" filename=\"f\"/></respack>");
    WriteFile("dup/f", "x");
    fs::create_directories("empty");
    WriteFile("cut.pak", std::string("\x02\0\0\0TEX", 7));
    std::vector<VLAPakEntry> evil(1);
    evil[0].m_strID = "../x";
    evil[0].m_strTypeID = "TEXTURE";
    WriteFile("evil.pak", WritePak(evil, {"bytes"}));

    struct Row
    {
        const char* args;
        const char* error;
    };
    const Row rows[] = {
        {"", "vla: unknown command 'nope' (see 'vla --help')\n"},
        {"pak build out.pak dup", "vla: Dublicated resource. ID = A\n"},
        {"pak build out.pak empty", "vla: pak build: no *.xml respack descriptor in empty\n"},
        {"pak build out.pak missing", "vla: pak build: not a folder: missing\n"},
        {"pak list cut.pak", "vla: PAKERROR: the pack ends inside its index - cut.pak\n"},
        {"pak list none.pak", "vla: pak list: cannot open none.pak\n"},
        {"pak extract evil.pak out", "vla: pak extract: strID '../x' cannot be a file name\n"},
        {"pak frob", "vla: pak: unknown subcommand 'frob' (see 'vla pak --help')\n"},
        {"xml dump none.xml", "vla: XMLERROR: the file is empty - none.xml\n"},
    };
    for (const Row& row : rows)
    {
        const std::string args = *row.args ? row.args : "nope";
        RunResult r = RunVla(args);
        EXPECT_NE(r.m_iStatus, 0) << args;
        EXPECT_EQ(r.m_strErr, row.error) << args;
    }
    EXPECT_FALSE(FileExists("out.pak"));
    EXPECT_FALSE(FileExists("x"));
}

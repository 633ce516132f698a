// XML variables: registration, assignment from text, the XMLDATA loader with its warnings and
// errors, decoding under the engine's encrypt mode, and the registry's lifetime.
#include "CVelora/cvelora.h"
#include "CVelora/cvelora_utils_cxmlvar.h"
#include "CVelora/cvelora_utils_xml.h"
#include "test_support.h"

namespace
{
using XMLVarTest = TempDirTest;

void LoadXMLData(const std::string& fp_strText)
{
    RESLOAD_XMLData(reinterpret_cast<const uint8_t*>(fp_strText.data()),
                    static_cast<int>(fp_strText.size()), "XML_TEST", 0, 0, 0, 0);
}
} // namespace

TEST_F(XMLVarTest, IntegerTextsByStreamExtraction)
{
    CXMLVarInt var("v");
    const std::pair<const char*, int> rows[] = {
        {"12", 12},   {"  8", 8}, {"8px", 8}, {"-3", -3}, {"+4", 4},  {"1.9", 1},
        {"\t\n7", 7}, {"", 1},    {"abc", 1}, {"px8", 1}, {"- 5", 1}, {"99999999999", 1},
    };
    for (const auto& [text, expected] : rows)
    {
        var.m_iValue = 1; // a text without a number keeps the previous value
        var.SetFromText(text);
        EXPECT_EQ(var.m_iValue, expected) << '"' << text << '"';
    }
}

TEST_F(XMLVarTest, FloatTextsByStreamExtraction)
{
    CXMLVarFloat var("f");
    const std::pair<const char*, float> rows[] = {
        {"0.25", 0.25f}, {"  -2.5cm", -2.5f}, {"1e2", 100.0f}, {"3", 3.0f},
        {".5", 0.5f},    {"", 7.0f},          {"x1", 7.0f},
    };
    for (const auto& [text, expected] : rows)
    {
        var.m_fValue = 7.0f;
        var.SetFromText(text);
        EXPECT_FLOAT_EQ(var.m_fValue, expected) << '"' << text << '"';
    }
}

TEST_F(XMLVarTest, XMLDataAssignsDeclaredVariablesOnly)
{
    CXMLVarInt sizex("sizex");
    CXMLVarInt sizey("sizey");
    CXMLVarFloat color("color1r");
    EXPECT_EQ(sizex.m_iValue, 0);
    EXPECT_EQ(color.m_fValue, 0.0f);

    LoadXMLData("<xmldata><board sizex=\"12\"/></xmldata>");
    EXPECT_EQ(sizex.m_iValue, 12);
    EXPECT_EQ(sizey.m_iValue, 0);
    EXPECT_EQ(color.m_fValue, 0.0f);

    // Several children, in document order: the later child wins; grandchildren are not read.
    LoadXMLData("<xmldata><a color1r=\"0.25\" sizey=\"6\"><deep sizex=\"99\"/></a>"
                "<b color1r=\"0.75\"/></xmldata>");
    EXPECT_FLOAT_EQ(color.m_fValue, 0.75f);
    EXPECT_EQ(sizey.m_iValue, 6);
    EXPECT_EQ(sizex.m_iValue, 12);
    EXPECT_FALSE(FileExists("gamelog.txt"));
}

TEST_F(XMLVarTest, UnusedAttributesWarnOncePerOccurrence)
{
    CXMLVarInt known("known");
    LoadXMLData("<xmldata><a zz=\"1\" known=\"5\" aa=\"2\"/><b zz=\"3\"/></xmldata>");
    EXPECT_EQ(known.m_iValue, 5);
    // Attribute order within a child is byte-wise: aa, known, zz.
    EXPECT_EQ(ReadFile("gamelog.txt"), " !: Warning: unused xml variable: aa\n"
                                       " !: Warning: unused xml variable: zz\n"
                                       " !: Warning: unused xml variable: zz\n");
}

TEST_F(XMLVarTest, EmptyRootWarnsAndChangesNothing)
{
    CXMLVarInt var("sizex");
    var.m_iValue = 4;
    LoadXMLData("<xmldata sizex=\"9\"/>");
    EXPECT_EQ(var.m_iValue, 4);
    EXPECT_EQ(ReadFile("gamelog.txt"), " !: Warning: empty xmldata file!\n");
}

TEST_F(XMLVarTest, LoaderErrors)
{
    try
    {
        LoadXMLData("<settings><a x=\"1\"/></settings>");
        FAIL() << "no error";
    }
    catch (const CEHSException& e)
    {
        EXPECT_EQ(e.m_iType, EHS_GENERAL);
        EXPECT_EQ(e.m_strDesc, "Error in loading XMLData: invalid root node name!");
    }
    try
    {
        LoadXMLData("");
        FAIL() << "no error";
    }
    catch (const char* text)
    {
        EXPECT_STREQ(text, "XMLERROR: buffer is empty.");
    }
    try
    {
        LoadXMLData("<xmldata><a x=\"1\"/>");
        FAIL() << "no error";
    }
    catch (const char* text)
    {
        EXPECT_STREQ(text, "XMLERROR: root element is not closed - XML_TEST");
    }
}

TEST_F(XMLVarTest, DecodesUnderTheEngineEncryptMode)
{
    CXMLVarInt var("sizex");
    std::string text = "<xmldata><a sizex=\"3\"/></xmldata>";
    XMLApplyKey(reinterpret_cast<unsigned char*>(text.data()), text.size());

    CVelora* vla = new CVelora;
    vla->m_bXMLEncryption = true;
    LoadXMLData(text);
    EXPECT_EQ(var.m_iValue, 3);
    vla->m_bXMLEncryption = false;
    EXPECT_ANY_THROW(LoadXMLData(text)); // read without decoding it is no document
    EXPECT_EQ(var.m_iValue, 3);
    delete vla;
}

TEST_F(XMLVarTest, DuplicateIDRaisesAGameError)
{
    CXMLVarInt first("gameid");
    try
    {
        CXMLVarFloat second("gameid");
        FAIL() << "no error";
    }
    catch (const CEHSException& e)
    {
        EXPECT_EQ(e.m_iType, EHS_GAME);
        EXPECT_EQ(e.m_strDesc, "Error in CXMLVar::CXMLVar(const char* fp_pszID). An object with "
                               "same ID already exists! ID = gameid");
    }
}

TEST_F(XMLVarTest, FirstDestroyedVariableDestroysTheRegistry)
{
    CXMLVarInt* a = new CXMLVarInt("a");
    CXMLVarInt b("b");
    ASSERT_NE(CXMLVar::CreateXMLVarsMap()->count("b"), 0u);
    delete a;
    // No registry: assignments do nothing and warn about nothing.
    CXMLVar::SetXMLVar("b", "5");
    EXPECT_EQ(b.m_iValue, 0);
    EXPECT_FALSE(FileExists("gamelog.txt"));
    // A variable made afterwards starts a new registry without the old ones.
    CXMLVarInt c("a");
    CXMLVar::SetXMLVar("a", "2");
    EXPECT_EQ(c.m_iValue, 2);
    CXMLVar::SetXMLVar("b", "5");
    EXPECT_EQ(b.m_iValue, 0);
    EXPECT_EQ(ReadFile("gamelog.txt"), " !: Warning: unused xml variable: b\n");
}

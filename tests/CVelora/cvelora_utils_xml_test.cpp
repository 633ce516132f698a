// The XML reader: the accepted syntax as trees (table-driven through the dump), the loading
// rules of files and memory blocks, decoding, the node interface, and input cut anywhere.
#include "CVelora/cvelora_utils_xml.h"
#include "test_support.h"

#include <cstring>

namespace
{
using XMLFileTest = TempDirTest;

std::string ParseDump(const std::string& fp_strText)
{
    CXMLDocument doc;
    doc.LoadFromBuffer(fp_strText.data(), static_cast<int>(fp_strText.size()), false);
    doc.Parse();
    return doc.DumpTree();
}

// The plain text raised by fp_Body, or "(none)".
template <typename F> std::string PlainTextOf(F fp_Body)
{
    try
    {
        fp_Body();
    }
    catch (const char* text)
    {
        return text;
    }
    return "(none)";
}

std::string Encode(std::string fp_strText)
{
    XMLApplyKey(reinterpret_cast<unsigned char*>(fp_strText.data()), fp_strText.size());
    return fp_strText;
}
} // namespace

TEST(CXMLDocument, ParsesTheAcceptedSyntax)
{
    struct Row
    {
        const char* input;
        const char* tree;
    };
    const Row rows[] = {
        {"<a/>", "a\n"},
        {"<?xml version=\"1.0\"?><!-- note --><respack><res id=\"TEX_BG\" filename=\"a.png\"/>"
         "</respack>",
         "?xml version=\"1.0\"\nrespack\n  res filename=\"a.png\" id=\"TEX_BG\"\n"},
        // A repeated name keeps the later value.
        {"<a x=\"1\" x=\"2\"/>", "a x=\"2\"\n"},
        // Blanks and '=' before the quote are skipped; no blank needed between attributes.
        {"<a b = \"1\" c=\"2\"d=\"3\"/>", "a b=\"1\" c=\"2\" d=\"3\"\n"},
        // Character data is skipped.
        {"<a>some text<b/>more text</a>", "a\n  b\n"},
        // Any closing tag closes the current node.
        {"<a><b></c><d/></a>", "a\n  b\n  d\n"},
        // A second top-level element is never read.
        {"<a/><b/>", "a\n"},
        // Names sort byte-wise: upper case before lower case, a prefix first.
        {"<n id=\"x\" ID=\"y\" idx=\"z\"/>", "n ID=\"y\" id=\"x\" idx=\"z\"\n"},
        // Values are not interpreted and may hold <, >, ' and line feeds.
        {"<a v=\"&amp; <b> 'q'\nx\"/>", "a v=\"&amp; <b> 'q'\nx\"\n"},
        // Single quotes do not delimit: the name runs to '=', the value is the next quoted text.
        {"<a b='1' c=\"2\"/>", "a b=\"2\"\n"},
        // Every <! construct is skipped up to the next -->.
        {"<!DOCTYPE a -- x --><a><![CDATA[<b/>]]>--><c/></a>", "a\n  c\n"},
        // TAB and LF are blanks; an empty value is kept.
        {"<a\tx=\"\"\n\ty=\"2\"\n/>", "a x=\"\" y=\"2\"\n"},
        // A declaration after the root starts does not disturb the tree; the last one counts.
        {"<?first a=\"1\"?><r><?second b=\"2\"?><c/></r>", "?second a=\"1\" b=\"2\"\nr\n  c\n"},
        // A closing tag before the first element closes nothing.
        {"</x><a><b/></a>", "a\n  b\n"},
        {"<r><a><b><c/></b></a><d/></r>", "r\n  a\n    b\n      c\n  d\n"},
        // Element names end at '/' and '>'.
        {"<a><b>x</b><c/></a>", "a\n  b\n  c\n"},
        // Bytes above 127 and a multibyte name sort after ASCII.
        {"<a \xC3\xA9=\"1\" z=\"2\"/>", "a z=\"2\" \xC3\xA9=\"1\"\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ParseDump(row.input), row.tree) << row.input;
}

TEST(CXMLDocument, InputCutAnywhereStopsAtTheEndAndNamesTheDocument)
{
    // Every proper prefix of a document leaves its root unclosed; none may read past the end.
    const std::string full = "<?xml version=\"1.0\"?><!-- c --><r a=\"1\"><b x=\"2\"/>text</r>";
    for (size_t len = 1; len < full.size(); ++len)
    {
        // An exact-size heap copy lets the sanitizers see any read past the block.
        std::unique_ptr<char[]> block(new char[len]);
        std::memcpy(block.get(), full.data(), len);
        CXMLDocument doc;
        doc.LoadFromBuffer(block.get(), static_cast<int>(len), false, "DOC_CUT");
        EXPECT_EQ(PlainTextOf([&] { doc.Parse(); }),
                  "XMLERROR: root element is not closed - DOC_CUT")
            << full.substr(0, len);
    }
    const char* const others[] = {"text only",
                                  "<!-- only a comment -->",
                                  "</x>",
                                  "<",
                                  "<a><b/>",
                                  "<a></a",
                                  "<a b=\"1\" c",
                                  "<!--",
                                  "<?"};
    for (const char* text : others)
        EXPECT_EQ(PlainTextOf([&] { ParseDump(text); }),
                  "XMLERROR: root element is not closed - memory buffer")
            << text;
}

TEST(CXMLDocument, PartialTreeIsKeptWhenTheRootIsNotClosed)
{
    CXMLDocument doc;
    const std::string text = "<a x=\"1\"><b/><c y=\"2";
    doc.LoadFromBuffer(text.data(), static_cast<int>(text.size()), false);
    EXPECT_NE(PlainTextOf([&] { doc.Parse(); }), "(none)");
    EXPECT_EQ(doc.DumpTree(), "a x=\"1\"\n  b\n  c\n");
}

TEST(CXMLDocument, MemoryLoadsDropEveryCR)
{
    EXPECT_EQ(ParseDump("<a v=\"1\r\n2\"\r\n/>"), "a v=\"1\n2\"\n");
    EXPECT_EQ(ParseDump("<a\r b=\"1\"/>"), "a b=\"1\"\n");
}

TEST(CXMLDocument, EmptyMemoryBlocksRaise)
{
    const std::string crs = "\r\r\r";
    EXPECT_EQ(PlainTextOf(
                  [&]
                  {
                      CXMLDocument doc;
                      doc.LoadFromBuffer("", 0, false);
                  }),
              "XMLERROR: buffer is empty.");
    EXPECT_EQ(PlainTextOf(
                  [&]
                  {
                      CXMLDocument doc;
                      doc.LoadFromBuffer(crs.data(), 3, false);
                  }),
              "XMLERROR: buffer is empty.");
    EXPECT_EQ(PlainTextOf(
                  [&]
                  {
                      CXMLDocument doc;
                      doc.LoadFromBuffer(crs.data(), -5, false);
                  }),
              "XMLERROR: buffer is empty.");
    // CR only after decoding: the key applies first.
    const std::string encodedCRs = Encode("\r\r");
    EXPECT_EQ(PlainTextOf(
                  [&]
                  {
                      CXMLDocument doc;
                      doc.LoadFromBuffer(encodedCRs.data(), 2, true);
                  }),
              "XMLERROR: buffer is empty.");
}

TEST(CXMLDocument, DecodedBlockParsesLikeThePlainDocument)
{
    const std::string plain = "<?xml version=\"1.0\"?>\r\n<respack>\r\n  <res id=\"TEX_BG\" "
                              "tag=\"1\"/>\r\n  <res id=\"SND_A\"/>\r\n</respack>\r\n";
    const std::string encoded = Encode(plain);
    ASSERT_NE(encoded, plain);
    CXMLDocument a, b;
    a.LoadFromBuffer(plain.data(), static_cast<int>(plain.size()), false);
    b.LoadFromBuffer(encoded.data(), static_cast<int>(encoded.size()), true);
    a.Parse();
    b.Parse();
    EXPECT_EQ(a.DumpTree(), b.DumpTree());
    EXPECT_EQ(b.GetBuffer(), a.GetBuffer());
    EXPECT_EQ(b.DumpTree(),
              "?xml version=\"1.0\"\nrespack\n  res id=\"TEX_BG\" tag=\"1\"\n  res id=\"SND_A\"\n");
}

TEST(CXMLDocument, NodeInterface)
{
    const std::string text = "<r a=\"1\" b=\"\"><c1 k=\"v\"/><c2><g/></c2></r>";
    CXMLDocument doc;
    doc.LoadFromBuffer(text.data(), static_cast<int>(text.size()), false);
    CXMLNode* root = doc.GetRoot();
    EXPECT_EQ(root->GetName(), "");
    EXPECT_EQ(root->GetChildCount(), 0);
    doc.Parse();

    EXPECT_EQ(root->GetName(), "r");
    EXPECT_EQ(root->GetParent(), nullptr);
    ASSERT_EQ(root->GetChildCount(), 2);
    EXPECT_EQ(root->GetChild(-1), nullptr);
    EXPECT_EQ(root->GetChild(2), nullptr);
    CXMLNode* c2 = root->GetChild(1);
    EXPECT_EQ(c2->GetName(), "c2");
    EXPECT_EQ(c2->GetParent(), root);
    ASSERT_EQ(c2->GetChildCount(), 1);
    EXPECT_EQ(c2->GetChild(0)->GetParent(), c2);
    EXPECT_EQ(c2->GetChild(0)->GetChildCount(), 0);
    EXPECT_EQ(c2->GetChild(0)->GetChild(0), nullptr);

    EXPECT_EQ(root->GetAttribute("a"), "1");
    EXPECT_EQ(root->GetAttribute("b"), "");
    EXPECT_EQ(root->GetAttribute("missing"), "");
    EXPECT_EQ(root->GetChild(0)->GetAttribute("k"), "v");

    // The calling pattern of every attribute reader.
    std::string seen;
    root->FirstAttribute();
    while (const char* name = root->CurrentAttributeName())
    {
        seen += std::string(name) + "=" + root->GetAttribute(name) + ";";
        root->NextAttribute();
    }
    EXPECT_EQ(seen, "a=1;b=;");
    root->NextAttribute(); // at the end: stays there
    EXPECT_EQ(root->CurrentAttributeName(), nullptr);
    c2->FirstAttribute();
    EXPECT_EQ(c2->CurrentAttributeName(), nullptr);
}

TEST(CXMLDocument, ManyAttributesAndChildren)
{
    // Beyond the small-list sort, and children spread over several node chunks.
    std::string text = "<r";
    for (int i = 39; i >= 0; --i)
        text += " k" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    text += " k7=\"late\">";
    for (int i = 0; i < 500; ++i)
        text += "<c n=\"" + std::to_string(i) + "\"><g/></c>";
    text += "</r>";
    CXMLDocument doc;
    doc.LoadFromBuffer(text.data(), static_cast<int>(text.size()), false);
    doc.Parse();
    CXMLNode* root = doc.GetRoot();
    EXPECT_EQ(root->GetAttributeCount(), 40);
    EXPECT_EQ(root->GetAttribute("k7"), "late");
    EXPECT_EQ(root->GetAttribute("k39"), "39");
    root->FirstAttribute();
    std::string previous;
    while (const char* name = root->CurrentAttributeName())
    {
        EXPECT_LT(previous, name);
        previous = name;
        root->NextAttribute();
    }
    ASSERT_EQ(root->GetChildCount(), 500);
    for (int i = 0; i < 500; ++i)
    {
        ASSERT_EQ(root->GetChild(i)->GetAttribute("n"), std::to_string(i));
        ASSERT_EQ(root->GetChild(i)->GetChildCount(), 1);
    }
}

TEST(CXMLDocument, LookupsBeforeIterationSeeTheLaterDuplicate)
{
    // Lookups on a node whose attributes were never iterated, short and long lists.
    std::string longList = "<r";
    for (int i = 0; i < 12; ++i)
        longList += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    longList += " a3=\"late\"/>";
    const std::pair<std::string, std::string> rows[] = {
        {"<r x=\"1\" y=\"0\" x=\"2\"/>", "2"},
        {"<r x=\"1\" x=\"\"/>", ""},
        {longList, "late"},
    };
    for (const auto& [text, expected] : rows)
    {
        CXMLDocument doc;
        doc.LoadFromBuffer(text.data(), static_cast<int>(text.size()), false);
        doc.Parse();
        const char* name = text.find("a3") != std::string::npos ? "a3" : "x";
        EXPECT_EQ(doc.GetRoot()->GetAttribute(name), expected) << text;
        EXPECT_EQ(doc.GetRoot()->GetAttribute("missing"), "") << text;
    }
}

TEST_F(XMLFileTest, FilesAreReadInTextMode)
{
    struct Row
    {
        std::string bytes;
        std::string buffer;
    };
    const Row rows[] = {
        {"<a v=\"1\r\n2\"/>\r\n", "<a v=\"1\n2\"/>\n"},
        // A lone CR stays, also before a CR LF pair.
        {"<a v=\"1\r2\r\r\n\"/>", "<a v=\"1\r2\r\n\"/>"},
        // Byte 0x1A ends the input.
        {std::string("<a/>\x1A<b/>trailing", 17), "<a/>"},
    };
    for (const Row& row : rows)
    {
        WriteFile("doc.xml", row.bytes);
        CXMLDocument doc;
        doc.LoadFromFile("doc.xml", false);
        EXPECT_EQ(doc.GetBuffer(), row.buffer);
    }

    // Decoding applies to the bytes read in text mode.
    WriteFile("enc.xml", Encode("<a v=\"x\"/>"));
    CXMLDocument enc;
    enc.LoadFromFile("enc.xml", true);
    enc.Parse();
    EXPECT_EQ(enc.DumpTree(), "a v=\"x\"\n");
}

TEST_F(XMLFileTest, EmptyOrMissingFilesRaise)
{
    WriteFile("empty.xml", "");
    WriteFile("eof.xml", "\x1A<a/>");
    for (const char* path : {"empty.xml", "eof.xml", "missing.xml", "."})
    {
        EXPECT_EQ(PlainTextOf(
                      [&]
                      {
                          CXMLDocument doc;
                          doc.LoadFromFile(path, false);
                      }),
                  std::string("XMLERROR: the file is empty - ") + path);
    }
}

TEST_F(XMLFileTest, UnclosedRootInAFileNamesThePath)
{
    WriteFile("cut.xml", "<respack><res id=\"A\"");
    CXMLDocument doc;
    doc.LoadFromFile("cut.xml", false);
    EXPECT_EQ(PlainTextOf([&] { doc.Parse(); }), "XMLERROR: root element is not closed - cut.xml");
}

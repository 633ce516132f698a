// `vla xml`: shows a document as the engine's XML reader builds it.
#include "vla_commands.h"

#include "CVelora/cvelora_utils_xml.h"

#include <iostream>

namespace
{
const char* const kXmlHelp = "Usage: vla xml dump FILE [--decode]\n"
                             "\n"
                             "Reads FILE as the engine does (text mode; with --decode, XML-key\n"
                             "encoded as inside packs) and prints the element tree: one element\n"
                             "per line, two blanks of indent per depth, each attribute as\n"
                             "name=\"value\" in the engine's iteration order. A processing\n"
                             "instruction comes first as ?target with its attributes.\n";
} // namespace

int VlaXmlMain(const VlaArgs& fp_Args)
{
    if (fp_Args.empty())
        return VlaUsage("xml: missing subcommand", "xml");
    if (VlaIsHelp(fp_Args[0]))
    {
        std::cout << kXmlHelp;
        return 0;
    }
    if (fp_Args[0] != "dump")
        return VlaUsage("xml: unknown subcommand '" + fp_Args[0] + "'", "xml");

    std::string tmp_strFile;
    bool tmp_bDecode = false;
    for (size_t i = 1; i < fp_Args.size(); ++i)
    {
        if (VlaIsHelp(fp_Args[i]))
        {
            std::cout << kXmlHelp;
            return 0;
        }
        if (fp_Args[i] == "--decode")
            tmp_bDecode = true;
        else if (tmp_strFile.empty() && (fp_Args[i].empty() || fp_Args[i][0] != '-'))
            tmp_strFile = fp_Args[i];
        else
            return VlaUsage("xml dump: unexpected argument '" + fp_Args[i] + "'", "xml");
    }
    if (tmp_strFile.empty())
        return VlaUsage("xml dump: missing FILE", "xml");

    CXMLDocument tmp_Doc;
    tmp_Doc.LoadFromFile(tmp_strFile, tmp_bDecode);
    tmp_Doc.Parse();
    std::cout << tmp_Doc.DumpTree();
    return 0;
}

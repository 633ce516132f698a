// libFuzzer target: the XML reader on any bytes, as a memory load (plain and decoded) and as a
// file load, walking the whole tree through the public node interface.
#include "CVelora/cvelora_utils_xml.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{
size_t Walk(CXMLNode* fp_pNode)
{
    size_t tmp_uSum = fp_pNode->GetName().size();
    fp_pNode->FirstAttribute();
    while (const char* tmp_pszName = fp_pNode->CurrentAttributeName())
    {
        tmp_uSum += fp_pNode->GetAttribute(tmp_pszName).size();
        fp_pNode->NextAttribute();
    }
    for (int i = 0; i < fp_pNode->GetChildCount(); ++i)
        tmp_uSum += Walk(fp_pNode->GetChild(i));
    return tmp_uSum;
}

void ParseAndWalk(CXMLDocument& fp_Doc)
{
    try
    {
        fp_Doc.Parse();
    }
    catch (const char*)
    {
        // An unclosed root still leaves a consistent partial tree.
    }
    volatile size_t tmp_uSink = Walk(fp_Doc.GetRoot()) + fp_Doc.DumpTree().size();
    (void)tmp_uSink;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* fp_pData, size_t fp_uSize)
{
    const int tmp_iSize = static_cast<int>(fp_uSize);
    for (bool tmp_bDecode : {false, true})
    {
        CXMLDocument tmp_Doc;
        try
        {
            tmp_Doc.LoadFromBuffer(fp_pData, tmp_iSize, tmp_bDecode);
        }
        catch (const char*)
        {
            continue;
        }
        ParseAndWalk(tmp_Doc);
    }

    // The text-mode file reader.
    static const std::string s_strPath = "fuzz_xml_" + std::to_string(getpid()) + ".tmp";
    if (std::FILE* tmp_pFile = std::fopen(s_strPath.c_str(), "wb"))
    {
        std::fwrite(fp_pData, 1, fp_uSize, tmp_pFile);
        std::fclose(tmp_pFile);
        CXMLDocument tmp_Doc;
        try
        {
            tmp_Doc.LoadFromFile(s_strPath, false);
            ParseAndWalk(tmp_Doc);
        }
        catch (const char*)
        {
        }
        std::remove(s_strPath.c_str());
    }
    return 0;
}

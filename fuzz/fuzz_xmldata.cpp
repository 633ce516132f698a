// libFuzzer target: the XMLDATA loader on any bytes, with a few declared variables of both
// kinds, in the working directory it is started in (warnings go to its gamelog.txt).
#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_utils_cxmlvar.h"

#include <cstdint>
#include <cstdio>
#include <sys/stat.h>

namespace
{
CXMLVarInt g_SizeX("sizex");
CXMLVarInt g_SizeY("sizey");
CXMLVarFloat g_Color("color1r");
CXMLVarFloat g_A("a");
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* fp_pData, size_t fp_uSize)
{
    try
    {
        RESLOAD_XMLData(fp_pData, static_cast<int>(fp_uSize), "XML_FUZZ", 0, 0, 0, 0);
    }
    catch (const CEHSException&)
    {
    }
    catch (const char*)
    {
    }
    // Keep the warning log from filling the disk over a long run.
    struct stat tmp_Stat;
    if (stat("gamelog.txt", &tmp_Stat) == 0 && tmp_Stat.st_size > (1 << 20))
        std::remove("gamelog.txt");
    return 0;
}

// libFuzzer target: the pack index reader on any bytes; every entry it hands over must also
// pass or fail the record's checks cleanly.
#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_res_cres.h"
#include "CVelora/cvelora_res_pak.h"

#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* fp_pData, size_t fp_uSize)
{
    try
    {
        ReadPakIndexFromMemory(fp_pData, fp_uSize, "fuzz.pak",
                               [](const VLAPakEntry& e)
                               {
                                   try
                                   {
                                       std::make_unique<CVLAResource>(
                                           e.m_strID, e.m_strTypeID, e.m_iTag, "fuzz.pak",
                                           e.m_iOffset, e.m_iSize, e.m_iData1, e.m_iData2,
                                           e.m_iData3);
                                   }
                                   catch (const CEHSException&)
                                   {
                                   }
                               });
    }
    catch (const char*)
    {
    }
    return 0;
}

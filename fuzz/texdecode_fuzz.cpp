// libFuzzer target for the texture-file decoder: any bytes, decoded into a 16-bit format with a
// full mip chain and, by the first byte, a small requested size. Must never crash or leak.
#include "TexDecode/texdecode.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* fp_pData, size_t fp_uSize)
{
    if (fp_uSize < 1)
        return 0;
    static const uint32_t kFormats[] = {TEXFMT_A8R8G8B8, TEXFMT_R5G6B5, TEXFMT_A4R4G4B4,
                                        TEXFMT_A8R3G3B2};
    const uint8_t tmp_uSelect = fp_pData[0];
    const int tmp_iSize = (tmp_uSelect & 0x80) ? (tmp_uSelect & 0x3F) : 0;
    TexImage tmp_Image;
    std::string tmp_strError;
    TexDecode(fp_pData + 1, fp_uSize - 1, kFormats[tmp_uSelect & 3], tmp_iSize, tmp_iSize, 0,
              tmp_Image, tmp_strError);
    return 0;
}

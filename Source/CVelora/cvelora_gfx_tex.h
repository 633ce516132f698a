// Textures: the TEXTURE resource loader. Loading, lookup, unloading and binding are CVelora
// members (graphics block of cvelora.h); the texture store holds one reference per texture.
#pragma once

#include <cstdint>

// Texture kinds: the display mode's texture format for each (see DISPLAYMODEINFO).
enum VLATextureKind
{
    TEXKIND_16BIT = 1,       // 16-bit without alpha
    TEXKIND_16BIT_ALPHA = 2, // 16-bit with alpha
    TEXKIND_32BIT_ALPHA = 3, // 32-bit with alpha
    TEXKIND_32BIT = 4,       // 32-bit
};

// The TEXTURE loader: data1, data2 and data3 of the resource are the kind, the mip levels and the
// maximum size.
void RESLOAD_Texture(const uint8_t* fp_pData, int fp_iSize, const char* fp_pszID, int fp_iTag,
                     int fp_iData1, int fp_iData2, int fp_iData3);

// Textures: the TEXTURE resource loader. Loading, lookup, unloading and binding are CVelora
// members (graphics block of cvelora.h); the texture store holds one reference per texture.
#pragma once

// Texture kinds: the display mode's texture format for each (see DISPLAYMODEINFO).
enum VLATextureKind
{
    TEXKIND_16BIT = 1,       // 16-bit without alpha
    TEXKIND_16BIT_ALPHA = 2, // 16-bit with alpha
    TEXKIND_32BIT_ALPHA = 3, // 32-bit with alpha
    TEXKIND_32BIT = 4,       // 32-bit
};

// The TEXTURE loader, RESLOAD_Texture, is declared with the other standard loaders in
// cvelora_res_main.h: data1, data2 and data3 of the resource are the kind, the mip levels and
// the maximum size.

// PNG reader of the texture-file decoder: every colour type and bit depth, palette with tRNS,
// interlaced files, from memory, through libpng; errors come back as text, never as a crash.
#pragma once

#include "TexDecode/texdecode_image.h"

#include <string>

// Whether the bytes start with the PNG signature.
bool TexIsPng(const uint8_t* fp_pData, size_t fp_uSize);

// Decodes a whole PNG file into 8-bit RGBA (16-bit channels rounded, missing alpha opaque).
bool TexReadPng(const uint8_t* fp_pData, size_t fp_uSize, TexRgbaImage& fp_Out,
                std::string& fp_strError);

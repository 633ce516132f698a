// JPEG reader of the texture-file decoder: greyscale, colour (YCbCr, RGB) and CMYK/YCCK files,
// baseline and progressive, from memory, through libjpeg-turbo; corrupt or truncated data is an
// error, never a crash or a silently grey picture.
#pragma once

#include "TexDecode/texdecode_image.h"

#include <string>

// Whether the bytes start with a JPEG start-of-image marker.
bool TexIsJpeg(const uint8_t* fp_pData, size_t fp_uSize);

// Decodes a whole JPEG file into 8-bit RGBA (alpha opaque).
bool TexReadJpeg(const uint8_t* fp_pData, size_t fp_uSize, TexRgbaImage& fp_Out,
                 std::string& fp_strError);

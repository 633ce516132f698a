// Tests of the texture-file decoder: PNG files of every colour type and bit depth and JPEG files
// made here with libpng/libjpeg, real files shipped by Debian packages (tests/data/texdecode),
// format packing, scaling, mip chains, argument errors, and truncated or corrupted input.
#include "TexDecode/texdecode.h"

#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

Bytes ReadData(const std::string& fp_strName)
{
    std::ifstream tmp_File(std::string(VELORA_TEST_DATA_DIR) + "/texdecode/" + fp_strName,
                           std::ios::binary);
    EXPECT_TRUE(tmp_File.good()) << fp_strName;
    return Bytes(std::istreambuf_iterator<char>(tmp_File), std::istreambuf_iterator<char>());
}

uint32_t Word32(const Bytes& fp_Level, size_t fp_uIndex)
{
    const uint8_t* p = fp_Level.data() + fp_uIndex * 4;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

uint16_t Word16(const Bytes& fp_Level, size_t fp_uIndex)
{
    const uint8_t* p = fp_Level.data() + fp_uIndex * 2;
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t Argb(const uint8_t* fp_pRgba)
{
    return uint32_t(fp_pRgba[3]) << 24 | uint32_t(fp_pRgba[0]) << 16 | uint32_t(fp_pRgba[1]) << 8 |
           fp_pRgba[2];
}

// Decodes to A8R8G8B8 at the image's own size with one level; fails the test on error.
TexImage DecodeArgb(const Bytes& fp_File)
{
    TexImage tmp_Image;
    std::string tmp_strError;
    EXPECT_TRUE(TexDecode(fp_File.data(), fp_File.size(), TEXFMT_A8R8G8B8, 0, 0, 1, tmp_Image,
                          tmp_strError))
        << tmp_strError;
    return tmp_Image;
}

// Every pixel of level 0 against an RGBA picture.
void ExpectPixels(const TexImage& fp_Image, const Bytes& fp_Rgba, int fp_iTolerance = 0)
{
    ASSERT_EQ(fp_Image.m_Levels.size(), 1u);
    ASSERT_EQ(fp_Image.m_Levels[0].size(), fp_Rgba.size());
    int tmp_iMismatches = 0;
    for (size_t i = 0; i < fp_Rgba.size() / 4 && tmp_iMismatches < 5; ++i)
    {
        const uint32_t tmp_uGot = Word32(fp_Image.m_Levels[0], i);
        for (int c = 0; c < 4; ++c)
        {
            const int tmp_iWant = fp_Rgba[i * 4 + size_t(c)];
            const int tmp_iGot = int(tmp_uGot >> (c == 3 ? 24 : 16 - 8 * c) & 0xFF);
            if (std::abs(tmp_iGot - tmp_iWant) > fp_iTolerance)
            {
                ADD_FAILURE() << "pixel " << i << " channel " << c << ": got " << tmp_iGot
                              << ", want " << tmp_iWant;
                ++tmp_iMismatches;
                break;
            }
        }
    }
}

// ---- PNG files made here ----

struct PngCase
{
    const char* m_pszName;
    int m_iColorType;
    int m_iDepth;
    bool m_bTrns;
};

struct PngFixture
{
    Bytes m_File;
    Bytes m_Expected; // RGBA the decoder must produce
};

void PngWriteBytes(png_structp fp_pPng, png_bytep fp_pData, size_t fp_uCount)
{
    auto* tmp_pOut = static_cast<Bytes*>(png_get_io_ptr(fp_pPng));
    tmp_pOut->insert(tmp_pOut->end(), fp_pData, fp_pData + fp_uCount);
}
void PngFlush(png_structp) {}

// A sample value at the case's depth; 16-bit values spread over the whole range.
unsigned Sample(int fp_iDepth, int x, int y, int fp_iChannel)
{
    if (fp_iDepth == 16)
        return unsigned(x * 5003 + y * 9973 + fp_iChannel * 20011 + x * y * 331) & 0xFFFF;
    return unsigned(x * 3 + y * 5 + fp_iChannel * 7 + x * y) % (1u << fp_iDepth);
}

// The 8-bit value of a sample: low depths scale up exactly, 16 bits round to nearest.
uint8_t To8(unsigned v, int fp_iDepth)
{
    if (fp_iDepth == 16)
        return uint8_t((v * 255 + 32767) / 65535);
    return uint8_t(v * 255 / ((1u << fp_iDepth) - 1));
}

PngFixture MakePng(const PngCase& fp_Case, int fp_iWidth, int fp_iHeight, bool fp_bInterlace)
{
    const int ct = fp_Case.m_iColorType, depth = fp_Case.m_iDepth;
    const int tmp_iChannels = ct == PNG_COLOR_TYPE_GRAY         ? 1
                              : ct == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                              : ct == PNG_COLOR_TYPE_RGB        ? 3
                              : ct == PNG_COLOR_TYPE_RGBA       ? 4
                                                                : 1;
    const int tmp_iPaletteSize = std::min(256, 1 << depth);
    std::vector<png_color> tmp_Palette(static_cast<size_t>(tmp_iPaletteSize));
    std::vector<png_byte> tmp_PaletteAlpha(size_t(std::max(1, tmp_iPaletteSize / 2 + 1)));
    for (int i = 0; i < tmp_iPaletteSize; ++i)
        tmp_Palette[size_t(i)] = {png_byte(i * 37), png_byte(i * 91), png_byte(255 - i * 13)};
    for (size_t i = 0; i < tmp_PaletteAlpha.size(); ++i)
        tmp_PaletteAlpha[i] = png_byte(i * 61 + 3);

    // The transparent grey or RGB value is the one of pixel (1, 0), so it does occur.
    png_color_16 tmp_TransColor{};
    tmp_TransColor.gray = png_uint_16(Sample(depth, 1, 0, 0));
    tmp_TransColor.red = png_uint_16(Sample(depth, 1, 0, 0));
    tmp_TransColor.green = png_uint_16(Sample(depth, 1, 0, 1));
    tmp_TransColor.blue = png_uint_16(Sample(depth, 1, 0, 2));

    PngFixture tmp_Fix;
    std::vector<Bytes> tmp_Rows(static_cast<size_t>(fp_iHeight));
    for (int y = 0; y < fp_iHeight; ++y)
    {
        Bytes& row = tmp_Rows[size_t(y)];
        row.assign((size_t(fp_iWidth) * size_t(tmp_iChannels) * size_t(depth) + 7) / 8, 0);
        size_t tmp_uBit = 0;
        for (int x = 0; x < fp_iWidth; ++x)
        {
            unsigned v[4] = {};
            for (int c = 0; c < tmp_iChannels; ++c)
            {
                v[c] = Sample(depth, x, y, c);
                if (ct == PNG_COLOR_TYPE_PALETTE)
                    v[c] %= unsigned(tmp_iPaletteSize);
                if (depth == 16)
                {
                    row[tmp_uBit / 8] = uint8_t(v[c] >> 8);
                    row[tmp_uBit / 8 + 1] = uint8_t(v[c]);
                }
                else
                    row[tmp_uBit / 8] |= uint8_t(v[c] << (8 - depth - int(tmp_uBit % 8)));
                tmp_uBit += size_t(depth);
            }
            uint8_t rgba[4];
            switch (ct)
            {
            case PNG_COLOR_TYPE_GRAY:
                rgba[0] = rgba[1] = rgba[2] = To8(v[0], depth);
                rgba[3] = fp_Case.m_bTrns && v[0] == tmp_TransColor.gray ? 0 : 255;
                break;
            case PNG_COLOR_TYPE_GRAY_ALPHA:
                rgba[0] = rgba[1] = rgba[2] = To8(v[0], depth);
                rgba[3] = To8(v[1], depth);
                break;
            case PNG_COLOR_TYPE_RGB:
                for (int c = 0; c < 3; ++c)
                    rgba[c] = To8(v[c], depth);
                rgba[3] = fp_Case.m_bTrns && v[0] == tmp_TransColor.red &&
                                  v[1] == tmp_TransColor.green && v[2] == tmp_TransColor.blue
                              ? 0
                              : 255;
                break;
            case PNG_COLOR_TYPE_RGBA:
                for (int c = 0; c < 4; ++c)
                    rgba[c] = To8(v[c], depth);
                break;
            default: // palette; entries past the tRNS table are opaque
                rgba[0] = tmp_Palette[v[0]].red;
                rgba[1] = tmp_Palette[v[0]].green;
                rgba[2] = tmp_Palette[v[0]].blue;
                rgba[3] = fp_Case.m_bTrns && v[0] < tmp_PaletteAlpha.size() ? tmp_PaletteAlpha[v[0]]
                                                                            : 255;
                break;
            }
            tmp_Fix.m_Expected.insert(tmp_Fix.m_Expected.end(), rgba, rgba + 4);
        }
    }

    png_structp tmp_pPng =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop tmp_pInfo = png_create_info_struct(tmp_pPng);
    if (setjmp(png_jmpbuf(tmp_pPng)))
    {
        png_destroy_write_struct(&tmp_pPng, &tmp_pInfo);
        ADD_FAILURE() << "libpng could not write the fixture";
        return {};
    }
    png_set_write_fn(tmp_pPng, &tmp_Fix.m_File, PngWriteBytes, PngFlush);
    png_set_IHDR(tmp_pPng, tmp_pInfo, png_uint_32(fp_iWidth), png_uint_32(fp_iHeight), depth, ct,
                 fp_bInterlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (ct == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(tmp_pPng, tmp_pInfo, tmp_Palette.data(), tmp_iPaletteSize);
    if (fp_Case.m_bTrns)
    {
        if (ct == PNG_COLOR_TYPE_PALETTE)
            png_set_tRNS(tmp_pPng, tmp_pInfo, tmp_PaletteAlpha.data(), int(tmp_PaletteAlpha.size()),
                         nullptr);
        else
            png_set_tRNS(tmp_pPng, tmp_pInfo, nullptr, 0, &tmp_TransColor);
    }
    png_write_info(tmp_pPng, tmp_pInfo);
    std::vector<png_bytep> tmp_RowPtrs;
    for (Bytes& row : tmp_Rows)
        tmp_RowPtrs.push_back(row.data());
    png_write_image(tmp_pPng, tmp_RowPtrs.data());
    png_write_end(tmp_pPng, nullptr);
    png_destroy_write_struct(&tmp_pPng, &tmp_pInfo);
    return tmp_Fix;
}

const PngCase kPngCases[] = {
    {"grey 1", PNG_COLOR_TYPE_GRAY, 1, false},
    {"grey 2", PNG_COLOR_TYPE_GRAY, 2, false},
    {"grey 4", PNG_COLOR_TYPE_GRAY, 4, false},
    {"grey 8", PNG_COLOR_TYPE_GRAY, 8, false},
    {"grey 16", PNG_COLOR_TYPE_GRAY, 16, false},
    {"grey 1 tRNS", PNG_COLOR_TYPE_GRAY, 1, true},
    {"grey 4 tRNS", PNG_COLOR_TYPE_GRAY, 4, true},
    {"grey 8 tRNS", PNG_COLOR_TYPE_GRAY, 8, true},
    {"grey 16 tRNS", PNG_COLOR_TYPE_GRAY, 16, true},
    {"grey+alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
    {"grey+alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
    {"rgb 8", PNG_COLOR_TYPE_RGB, 8, false},
    {"rgb 16", PNG_COLOR_TYPE_RGB, 16, false},
    {"rgb 8 tRNS", PNG_COLOR_TYPE_RGB, 8, true},
    {"rgb 16 tRNS", PNG_COLOR_TYPE_RGB, 16, true},
    {"rgba 8", PNG_COLOR_TYPE_RGBA, 8, false},
    {"rgba 16", PNG_COLOR_TYPE_RGBA, 16, false},
    {"palette 1", PNG_COLOR_TYPE_PALETTE, 1, false},
    {"palette 2", PNG_COLOR_TYPE_PALETTE, 2, false},
    {"palette 4", PNG_COLOR_TYPE_PALETTE, 4, false},
    {"palette 8", PNG_COLOR_TYPE_PALETTE, 8, false},
    {"palette 1 tRNS", PNG_COLOR_TYPE_PALETTE, 1, true},
    {"palette 4 tRNS", PNG_COLOR_TYPE_PALETTE, 4, true},
    {"palette 8 tRNS", PNG_COLOR_TYPE_PALETTE, 8, true},
};

TEST(TexDecodePng, EveryColourTypeAndDepthPlainAndInterlaced)
{
    for (const PngCase& c : kPngCases)
        for (bool tmp_bInterlace : {false, true})
        {
            SCOPED_TRACE(std::string(c.m_pszName) + (tmp_bInterlace ? " interlaced" : ""));
            // 13 x 7: odd sizes leave partial bytes in packed rows and empty Adam7 passes.
            const PngFixture tmp_Fix = MakePng(c, 13, 7, tmp_bInterlace);
            const TexImage tmp_Image = DecodeArgb(tmp_Fix.m_File);
            EXPECT_EQ(tmp_Image.m_iWidth, 13);
            EXPECT_EQ(tmp_Image.m_iHeight, 7);
            EXPECT_EQ(tmp_Image.m_uiFormat, uint32_t(TEXFMT_A8R8G8B8));
            ExpectPixels(tmp_Image, tmp_Fix.m_Expected);
        }
}

TEST(TexDecodePng, TinyImagesOfOnePixelAndOneRow)
{
    const PngCase tmp_Case{"rgba 8", PNG_COLOR_TYPE_RGBA, 8, false};
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{9, 1}})
    {
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        const PngFixture tmp_Fix = MakePng(tmp_Case, w, h, true);
        ExpectPixels(DecodeArgb(tmp_Fix.m_File), tmp_Fix.m_Expected);
    }
}

// ---- real files shipped by Debian ----

// libpng's simplified reader as an independent reference (both files are sRGB, so it applies
// no gamma change).
Bytes ReferencePng(const Bytes& fp_File, int& fp_iWidth, int& fp_iHeight)
{
    png_image tmp_Image{};
    tmp_Image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&tmp_Image, fp_File.data(), fp_File.size()))
        return {};
    tmp_Image.format = PNG_FORMAT_RGBA;
    Bytes tmp_Pixels(PNG_IMAGE_SIZE(tmp_Image));
    if (!png_image_finish_read(&tmp_Image, nullptr, tmp_Pixels.data(), 0, nullptr))
        return {};
    fp_iWidth = int(tmp_Image.width);
    fp_iHeight = int(tmp_Image.height);
    return tmp_Pixels;
}

// libjpeg's plain RGB output as the reference: the decoder must add only the opaque alpha.
Bytes ReferenceJpeg(const Bytes& fp_File, int& fp_iWidth, int& fp_iHeight)
{
    jpeg_decompress_struct tmp_Info;
    jpeg_error_mgr tmp_Error;
    tmp_Info.err = jpeg_std_error(&tmp_Error);
    jpeg_create_decompress(&tmp_Info);
    jpeg_mem_src(&tmp_Info, fp_File.data(), static_cast<unsigned long>(fp_File.size()));
    jpeg_read_header(&tmp_Info, TRUE);
    tmp_Info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&tmp_Info);
    fp_iWidth = int(tmp_Info.output_width);
    fp_iHeight = int(tmp_Info.output_height);
    Bytes tmp_Rgb(size_t(fp_iWidth) * size_t(fp_iHeight) * 3);
    while (tmp_Info.output_scanline < tmp_Info.output_height)
    {
        JSAMPROW row = tmp_Rgb.data() + size_t(tmp_Info.output_scanline) * size_t(fp_iWidth) * 3;
        jpeg_read_scanlines(&tmp_Info, &row, 1);
    }
    jpeg_finish_decompress(&tmp_Info);
    jpeg_destroy_decompress(&tmp_Info);
    Bytes tmp_Rgba;
    for (size_t i = 0; i < tmp_Rgb.size(); i += 3)
        tmp_Rgba.insert(tmp_Rgba.end(), {tmp_Rgb[i], tmp_Rgb[i + 1], tmp_Rgb[i + 2], 255});
    return tmp_Rgba;
}

struct RealFile
{
    const char* m_pszName;
    int m_iWidth, m_iHeight;
    bool m_bPng;
};

const RealFile kRealFiles[] = {
    {"pngtest.png", 91, 69, true},             // 8-bit RGBA, interlaced
    {"gvim.png", 16, 16, true},                // 4-bit palette with tRNS
    {"libsndfile.jpg", 367, 98, false},        // baseline colour
    {"thin-white-stripe.jpg", 493, 58, false}, // progressive colour
};

TEST(TexDecodeRealFiles, DecodeLikeTheReferenceReaders)
{
    for (const RealFile& f : kRealFiles)
    {
        SCOPED_TRACE(f.m_pszName);
        const Bytes tmp_File = ReadData(f.m_pszName);
        int w = 0, h = 0;
        const Bytes tmp_Ref =
            f.m_bPng ? ReferencePng(tmp_File, w, h) : ReferenceJpeg(tmp_File, w, h);
        ASSERT_EQ(w, f.m_iWidth);
        ASSERT_EQ(h, f.m_iHeight);
        const TexImage tmp_Image = DecodeArgb(tmp_File);
        EXPECT_EQ(tmp_Image.m_iWidth, f.m_iWidth);
        EXPECT_EQ(tmp_Image.m_iHeight, f.m_iHeight);
        ExpectPixels(tmp_Image, tmp_Ref);
    }
}

// ---- JPEG files made here ----

Bytes WriteJpeg(int fp_iWidth, int fp_iHeight, J_COLOR_SPACE fp_Space, int fp_iComponents,
                const Bytes& fp_Pixels, bool fp_bProgressive)
{
    jpeg_compress_struct tmp_Info;
    jpeg_error_mgr tmp_Error;
    tmp_Info.err = jpeg_std_error(&tmp_Error);
    jpeg_create_compress(&tmp_Info);
    unsigned char* tmp_pBuffer = nullptr;
    unsigned long tmp_uSize = 0;
    jpeg_mem_dest(&tmp_Info, &tmp_pBuffer, &tmp_uSize);
    tmp_Info.image_width = JDIMENSION(fp_iWidth);
    tmp_Info.image_height = JDIMENSION(fp_iHeight);
    tmp_Info.input_components = fp_iComponents;
    tmp_Info.in_color_space = fp_Space;
    jpeg_set_defaults(&tmp_Info);
    jpeg_set_quality(&tmp_Info, 95, TRUE);
    if (fp_bProgressive)
        jpeg_simple_progression(&tmp_Info);
    jpeg_start_compress(&tmp_Info, TRUE);
    while (tmp_Info.next_scanline < tmp_Info.image_height)
    {
        JSAMPROW row = const_cast<uint8_t*>(fp_Pixels.data()) +
                       size_t(tmp_Info.next_scanline) * size_t(fp_iWidth) * size_t(fp_iComponents);
        jpeg_write_scanlines(&tmp_Info, &row, 1);
    }
    jpeg_finish_compress(&tmp_Info);
    jpeg_destroy_compress(&tmp_Info);
    Bytes tmp_File(tmp_pBuffer, tmp_pBuffer + tmp_uSize);
    std::free(tmp_pBuffer);
    return tmp_File;
}

// A smooth picture that survives JPEG compression with small errors.
Bytes Gradient(int w, int h, int fp_iComponents)
{
    Bytes tmp_Pixels;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < fp_iComponents; ++c)
                tmp_Pixels.push_back(uint8_t(40 + x * 120 / w + y * (c + 1) * 20 / h));
    return tmp_Pixels;
}

TEST(TexDecodeJpeg, ColourAndGreyBaselineAndProgressive)
{
    const int w = 40, h = 24;
    for (int tmp_iComponents : {1, 3})
        for (bool tmp_bProgressive : {false, true})
        {
            SCOPED_TRACE(std::string(tmp_iComponents == 1 ? "grey" : "colour") +
                         (tmp_bProgressive ? " progressive" : " baseline"));
            const Bytes tmp_Source = Gradient(w, h, tmp_iComponents);
            const Bytes tmp_File = WriteJpeg(w, h, tmp_iComponents == 1 ? JCS_GRAYSCALE : JCS_RGB,
                                             tmp_iComponents, tmp_Source, tmp_bProgressive);
            int rw = 0, rh = 0;
            const TexImage tmp_Image = DecodeArgb(tmp_File);
            ExpectPixels(tmp_Image, ReferenceJpeg(tmp_File, rw, rh));
            // And it is the picture that was compressed, grey copied into R, G and B.
            Bytes tmp_SourceRgba;
            for (size_t i = 0; i < tmp_Source.size(); i += size_t(tmp_iComponents))
                for (int c = 0; c < 3; ++c)
                    tmp_SourceRgba.push_back(
                        tmp_Source[i + (tmp_iComponents == 1 ? 0 : size_t(c))]);
            for (size_t i = 3; i <= tmp_SourceRgba.size(); i += 4)
                tmp_SourceRgba.insert(tmp_SourceRgba.begin() + long(i), 255);
            ExpectPixels(tmp_Image, tmp_SourceRgba, 12);
        }
}

TEST(TexDecodeJpeg, AdobeCmykBecomesRgb)
{
    // Adobe CMYK stores ink inverted: 255 = no ink. Orange-ish: no cyan, half magenta, full yellow.
    const int w = 16, h = 16;
    Bytes tmp_Cmyk;
    for (int i = 0; i < w * h; ++i)
        tmp_Cmyk.insert(tmp_Cmyk.end(), {255, 128, 0, 255});
    const Bytes tmp_File = WriteJpeg(w, h, JCS_CMYK, 4, tmp_Cmyk, false);
    const TexImage tmp_Image = DecodeArgb(tmp_File);
    Bytes tmp_Want;
    for (int i = 0; i < w * h; ++i)
        tmp_Want.insert(tmp_Want.end(), {255, 128, 0, 255});
    ExpectPixels(tmp_Image, tmp_Want, 4);
}

// ---- packing into every format ----

Bytes OneRowPng(const Bytes& fp_Rgba)
{
    Bytes tmp_File;
    png_image tmp_Image{};
    tmp_Image.version = PNG_IMAGE_VERSION;
    tmp_Image.width = png_uint_32(fp_Rgba.size() / 4);
    tmp_Image.height = 1;
    tmp_Image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t tmp_uSize = 0;
    EXPECT_TRUE(
        png_image_write_get_memory_size(tmp_Image, tmp_uSize, 0, fp_Rgba.data(), 0, nullptr));
    tmp_File.resize(tmp_uSize);
    EXPECT_TRUE(png_image_write_to_memory(&tmp_Image, tmp_File.data(), &tmp_uSize, 0,
                                          fp_Rgba.data(), 0, nullptr));
    tmp_File.resize(tmp_uSize);
    return tmp_File;
}

TEST(TexDecodeFormats, EveryFormatPacksTheRightWords)
{
    // red, green at half alpha, blue fully transparent, a mid colour, white just under half alpha
    const Bytes tmp_Colours = {255, 0, 0,   255, 0,  255, 0,   128, 0,   0,
                               255, 0, 128, 64,  32, 200, 255, 255, 255, 127};
    struct Row
    {
        uint32_t m_uiFormat;
        int m_iBytes;
        uint32_t m_Want[5];
    };
    const Row kRows[] = {
        {TEXFMT_A8R8G8B8, 4, {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xC8804020, 0x7FFFFFFF}},
        {TEXFMT_X8R8G8B8, 4, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF804020, 0xFFFFFFFF}},
        {TEXFMT_R5G6B5, 2, {0xF800, 0x07E0, 0x001F, 0x8204, 0xFFFF}},
        {TEXFMT_X1R5G5B5, 2, {0xFC00, 0x83E0, 0x801F, 0xC104, 0xFFFF}},
        {TEXFMT_A1R5G5B5, 2, {0xFC00, 0x83E0, 0x001F, 0xC104, 0x7FFF}},
        {TEXFMT_A4R4G4B4, 2, {0xFF00, 0x80F0, 0x000F, 0xC842, 0x7FFF}},
        {TEXFMT_X4R4G4B4, 2, {0xFF00, 0xF0F0, 0xF00F, 0xF842, 0xFFFF}},
        {TEXFMT_A8R3G3B2, 2, {0xFFE0, 0x801C, 0x0003, 0xC888, 0x7FFF}},
    };
    const Bytes tmp_File = OneRowPng(tmp_Colours);
    for (const Row& r : kRows)
    {
        SCOPED_TRACE("format " + std::to_string(r.m_uiFormat));
        EXPECT_EQ(TexFormatBytesPerPixel(r.m_uiFormat), r.m_iBytes);
        TexImage tmp_Image;
        std::string tmp_strError;
        ASSERT_TRUE(TexDecode(tmp_File.data(), tmp_File.size(), r.m_uiFormat, 0, 0, 1, tmp_Image,
                              tmp_strError))
            << tmp_strError;
        EXPECT_EQ(tmp_Image.m_uiFormat, r.m_uiFormat);
        ASSERT_EQ(tmp_Image.m_Levels[0].size(), size_t(5 * r.m_iBytes));
        for (size_t i = 0; i < 5; ++i)
        {
            const uint32_t tmp_uGot = r.m_iBytes == 4 ? Word32(tmp_Image.m_Levels[0], i)
                                                      : Word16(tmp_Image.m_Levels[0], i);
            EXPECT_EQ(tmp_uGot, r.m_Want[i]) << "colour " << i;
        }
    }
    for (uint32_t tmp_uiOther : {0u, 20u, 27u, 28u, 31u, 50u, 0xFFFFFFFFu})
        EXPECT_EQ(TexFormatBytesPerPixel(tmp_uiOther), 0) << tmp_uiOther;
}

// ---- scaling and mip chains ----

// A PNG of w x h whose pixels come from a function of (x, y) giving RGBA.
template <class F> Bytes PatternPng(int w, int h, F fp_Pixel, Bytes* fp_pRgba = nullptr)
{
    Bytes tmp_Rgba;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            const std::array<uint8_t, 4> p = fp_Pixel(x, y);
            tmp_Rgba.insert(tmp_Rgba.end(), p.begin(), p.end());
        }
    if (fp_pRgba)
        *fp_pRgba = tmp_Rgba;
    png_image tmp_Image{};
    tmp_Image.version = PNG_IMAGE_VERSION;
    tmp_Image.width = png_uint_32(w);
    tmp_Image.height = png_uint_32(h);
    tmp_Image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t tmp_uSize = 0;
    png_image_write_get_memory_size(tmp_Image, tmp_uSize, 0, tmp_Rgba.data(), 0, nullptr);
    Bytes tmp_File(tmp_uSize);
    png_image_write_to_memory(&tmp_Image, tmp_File.data(), &tmp_uSize, 0, tmp_Rgba.data(), 0,
                              nullptr);
    tmp_File.resize(tmp_uSize);
    return tmp_File;
}

TexImage Decode(const Bytes& fp_File, int w, int h, int fp_iLevels)
{
    TexImage tmp_Image;
    std::string tmp_strError;
    EXPECT_TRUE(TexDecode(fp_File.data(), fp_File.size(), TEXFMT_A8R8G8B8, w, h, fp_iLevels,
                          tmp_Image, tmp_strError))
        << tmp_strError;
    return tmp_Image;
}

TEST(TexDecodeScale, ShrinkAveragesTheCoveredTexels)
{
    // 4 x 2 with values 0, 40, 80, ... along x, constant along y: halving averages pairs.
    const Bytes tmp_File =
        PatternPng(4, 2,
                   [](int x, int y) {
                       return std::array<uint8_t, 4>{uint8_t(x * 40), uint8_t(y * 100), 10, 255};
                   });
    const TexImage tmp_Half = Decode(tmp_File, 2, 1, 1);
    ASSERT_EQ(tmp_Half.m_Levels[0].size(), 8u);
    EXPECT_EQ(Word32(tmp_Half.m_Levels[0], 0), 0xFF14320Au); // (0+40)/2, (0+100)/2
    EXPECT_EQ(Word32(tmp_Half.m_Levels[0], 1), 0xFF64320Au); // (80+120)/2
    // Three to one: the plain mean of three texels.
    const Bytes tmp_Three =
        PatternPng(3, 1,
                   [](int x, int) {
                       return std::array<uint8_t, 4>{uint8_t(x * 30 + 3), 0, 0, 255};
                   });
    EXPECT_EQ(Word32(Decode(tmp_Three, 1, 1, 1).m_Levels[0], 0), 0xFF210000u); // (3+33+63)/3 = 33
}

TEST(TexDecodeScale, GrowInterpolatesLinearlyWithClampedEdges)
{
    const Bytes tmp_File =
        PatternPng(2, 1,
                   [](int x, int) {
                       return std::array<uint8_t, 4>{uint8_t(x * 255), 0, 0, 255};
                   });
    const TexImage tmp_Image = Decode(tmp_File, 4, 1, 1);
    // Output centres fall at source x = -0.25, 0.25, 0.75, 1.25.
    const uint32_t tmp_Want[] = {0xFF000000, 0xFF400000, 0xFFBF0000, 0xFFFF0000};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(Word32(tmp_Image.m_Levels[0], i), tmp_Want[i]) << i;
}

TEST(TexDecodeScale, ZeroKeepsThatSideOfTheImage)
{
    Bytes tmp_Rgba;
    const Bytes tmp_File = PatternPng(
        6, 3,
        [](int x, int y) {
            return std::array<uint8_t, 4>{uint8_t(x * 40), uint8_t(y * 80), 7, 200};
        },
        &tmp_Rgba);
    struct Case
    {
        int w, h, wantW, wantH;
    };
    for (Case c : {Case{0, 0, 6, 3}, Case{3, 0, 3, 3}, Case{0, 9, 6, 9}, Case{16, 16, 16, 16}})
    {
        const TexImage tmp_Image = Decode(tmp_File, c.w, c.h, 1);
        EXPECT_EQ(tmp_Image.m_iWidth, c.wantW);
        EXPECT_EQ(tmp_Image.m_iHeight, c.wantH);
        EXPECT_EQ(tmp_Image.m_Levels[0].size(), size_t(c.wantW * c.wantH * 4));
    }
    // Unscaled means untouched.
    ExpectPixels(Decode(tmp_File, 6, 3, 1), tmp_Rgba);
}

TEST(TexDecodeMips, ChainLengthsAndSizes)
{
    const Bytes tmp_File = PatternPng(8, 2,
                                      [](int, int) {
                                          return std::array<uint8_t, 4>{1, 2, 3, 4};
                                      });
    struct Case
    {
        int m_iAsked, m_iWant;
    };
    // 8 x 2 -> 4 x 1 -> 2 x 1 -> 1 x 1: a full chain has four levels, and never more.
    for (Case c : {Case{0, 4}, Case{1, 1}, Case{2, 2}, Case{4, 4}, Case{20, 4}})
    {
        SCOPED_TRACE(c.m_iAsked);
        const TexImage tmp_Image = Decode(tmp_File, 0, 0, c.m_iAsked);
        ASSERT_EQ(int(tmp_Image.m_Levels.size()), c.m_iWant);
        const size_t tmp_Sizes[] = {8 * 2, 4 * 1, 2 * 1, 1 * 1};
        for (size_t i = 0; i < tmp_Image.m_Levels.size(); ++i)
            EXPECT_EQ(tmp_Image.m_Levels[i].size(), tmp_Sizes[i] * 4) << "level " << i;
        // A flat picture stays flat on every level.
        for (const Bytes& tmp_Level : tmp_Image.m_Levels)
            EXPECT_EQ(Word32(tmp_Level, tmp_Level.size() / 4 - 1), 0x04010203u);
    }
    // 16-bit formats halve the byte counts, not the chain.
    TexImage tmp_Image;
    std::string tmp_strError;
    ASSERT_TRUE(TexDecode(tmp_File.data(), tmp_File.size(), TEXFMT_R5G6B5, 5, 3, 0, tmp_Image,
                          tmp_strError));
    ASSERT_EQ(tmp_Image.m_Levels.size(), 3u); // 5x3, 2x1, 1x1
    EXPECT_EQ(tmp_Image.m_Levels[0].size(), 30u);
    EXPECT_EQ(tmp_Image.m_Levels[1].size(), 4u);
    EXPECT_EQ(tmp_Image.m_Levels[2].size(), 2u);
}

TEST(TexDecodeMips, LevelsAreBoxAveragesOfTheLevelAbove)
{
    // 4 x 4 in four 2 x 2 quadrants of different colours; level 1 is the four colours, level 2
    // their mean; odd widths (5 -> 2) average every texel they cover, with fractional weights.
    const std::array<uint8_t, 4> q[4] = {
        {200, 0, 0, 255}, {0, 100, 0, 255}, {0, 0, 60, 0}, {40, 40, 40, 128}};
    const Bytes tmp_File = PatternPng(4, 4, [&](int x, int y) { return q[(y / 2) * 2 + x / 2]; });
    const TexImage tmp_Image = Decode(tmp_File, 0, 0, 0);
    ASSERT_EQ(tmp_Image.m_Levels.size(), 3u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(Word32(tmp_Image.m_Levels[1], i), Argb(q[i].data())) << i;
    // (200+0+0+40)/4=60, (0+100+0+40)/4=35, (0+0+60+40)/4=25, (255+255+0+128)/4=159.5 -> 160
    EXPECT_EQ(Word32(tmp_Image.m_Levels[2], 0), 0xA03C2319u);

    const Bytes tmp_Odd = PatternPng(5, 1,
                                     [](int x, int) {
                                         return std::array<uint8_t, 4>{uint8_t(x * 50), 0, 0, 255};
                                     });
    const TexImage tmp_OddImage = Decode(tmp_Odd, 0, 0, 2);
    // 5 -> 2: texels 0, 1 and half of 2 make the first; half of 2, 3 and 4 the second.
    EXPECT_EQ(Word32(tmp_OddImage.m_Levels[1], 0), 0xFF280000u); // (0+50+50)/2.5 = 40
    EXPECT_EQ(Word32(tmp_OddImage.m_Levels[1], 1), 0xFFA00000u); // (50+150+200)/2.5 = 160
}

// ---- errors ----

struct ErrorCase
{
    const char* m_pszName;
    const void* m_pData;
    size_t m_uSize;
    uint32_t m_uiFormat;
    int w, h, m_iLevels;
    std::string m_strWant;
};

TEST(TexDecodeErrors, BadArgumentsAndUnknownFiles)
{
    const Bytes tmp_Png = PatternPng(2, 2,
                                     [](int, int) {
                                         return std::array<uint8_t, 4>{1, 2, 3, 4};
                                     });
    const char tmp_szText[] = "GIF89a is not supported here";
    const ErrorCase kCases[] = {
        {"format", tmp_Png.data(), tmp_Png.size(), 99, 0, 0, 1, "Unsupported texture format 99"},
        {"width", tmp_Png.data(), tmp_Png.size(), TEXFMT_A8R8G8B8, -1, 4, 1,
         "Invalid texture size requested: -1 x 4"},
        {"height", tmp_Png.data(), tmp_Png.size(), TEXFMT_A8R8G8B8, 4, -2, 1,
         "Invalid texture size requested: 4 x -2"},
        {"levels", tmp_Png.data(), tmp_Png.size(), TEXFMT_A8R8G8B8, 0, 0, -1,
         "Invalid number of mip levels: -1"},
        {"null", nullptr, 10, TEXFMT_A8R8G8B8, 0, 0, 1, "Image data is empty"},
        {"empty", tmp_Png.data(), 0, TEXFMT_A8R8G8B8, 0, 0, 1, "Image data is empty"},
        {"text", tmp_szText, sizeof(tmp_szText), TEXFMT_A8R8G8B8, 0, 0, 1,
         "Unknown image file format (neither PNG nor JPEG)"},
        {"huge request", tmp_Png.data(), tmp_Png.size(), TEXFMT_A8R8G8B8, 20000, 20000, 1,
         "Requested texture size is too large: 20000 x 20000"},
        {"huge area", tmp_Png.data(), tmp_Png.size(), TEXFMT_A8R8G8B8, 16384, 8192, 1,
         "Requested texture size is too large: 16384 x 8192"},
    };
    for (const ErrorCase& c : kCases)
    {
        SCOPED_TRACE(c.m_pszName);
        TexImage tmp_Image;
        tmp_Image.m_iWidth = 5; // must be cleared
        tmp_Image.m_Levels.resize(2);
        std::string tmp_strError = "stale";
        EXPECT_FALSE(TexDecode(c.m_pData, c.m_uSize, c.m_uiFormat, c.w, c.h, c.m_iLevels, tmp_Image,
                               tmp_strError));
        EXPECT_EQ(tmp_strError, c.m_strWant);
        EXPECT_EQ(tmp_Image.m_iWidth, 0);
        EXPECT_TRUE(tmp_Image.m_Levels.empty());
    }
}

// Big-endian 32-bit value into a byte list.
void PutU32(Bytes& fp_Out, uint32_t v)
{
    fp_Out.insert(fp_Out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

// A PNG signature, an IHDR claiming the given size, an empty IDAT and IEND, with correct CRCs.
Bytes PngHeaderOnly(uint32_t w, uint32_t h)
{
    Bytes tmp_File = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes tmp_Chunk = {'I', 'H', 'D', 'R'};
    PutU32(tmp_Chunk, w);
    PutU32(tmp_Chunk, h);
    tmp_Chunk.insert(tmp_Chunk.end(), {8, 6, 0, 0, 0});
    PutU32(tmp_File, 13);
    tmp_File.insert(tmp_File.end(), tmp_Chunk.begin(), tmp_Chunk.end());
    PutU32(tmp_File, uint32_t(crc32(0, tmp_Chunk.data(), uInt(tmp_Chunk.size()))));
    // An empty IDAT: the reader stops at the first image-data chunk to report the header.
    PutU32(tmp_File, 0);
    tmp_File.insert(tmp_File.end(), {'I', 'D', 'A', 'T'});
    PutU32(tmp_File, uint32_t(crc32(0, reinterpret_cast<const Bytef*>("IDAT"), 4)));
    PutU32(tmp_File, 0);
    tmp_File.insert(tmp_File.end(), {'I', 'E', 'N', 'D'});
    PutU32(tmp_File, uint32_t(crc32(0, reinterpret_cast<const Bytef*>("IEND"), 4)));
    return tmp_File;
}

std::string DecodeError(const Bytes& fp_File)
{
    TexImage tmp_Image;
    std::string tmp_strError;
    if (TexDecode(fp_File.data(), fp_File.size(), TEXFMT_A8R8G8B8, 0, 0, 0, tmp_Image,
                  tmp_strError))
        return "(decoded)";
    EXPECT_TRUE(tmp_Image.m_Levels.empty());
    return tmp_strError;
}

TEST(TexDecodeErrors, OversizedHeadersAreRefusedBeforeAllocating)
{
    // libpng itself refuses a side above the limit; the pixel count is checked once the header
    // has been read, before any pixel memory is taken.
    EXPECT_EQ(DecodeError(PngHeaderOnly(20000, 4)), "PNG file: Invalid IHDR data");
    EXPECT_EQ(DecodeError(PngHeaderOnly(16000, 16000)), "PNG file: image is too large");
    // A JPEG whose frame header claims 60000 x 60000.
    Bytes tmp_Jpeg = WriteJpeg(8, 8, JCS_RGB, 3, Gradient(8, 8, 3), false);
    for (size_t i = 0; i + 8 < tmp_Jpeg.size(); ++i)
        if (tmp_Jpeg[i] == 0xFF && tmp_Jpeg[i + 1] == 0xC0)
        {
            tmp_Jpeg[i + 5] = tmp_Jpeg[i + 7] = 0xEA;
            tmp_Jpeg[i + 6] = tmp_Jpeg[i + 8] = 0x60;
            break;
        }
    EXPECT_EQ(DecodeError(tmp_Jpeg).rfind("JPEG file: Maximum supported image dimension", 0), 0u)
        << DecodeError(tmp_Jpeg);
}

// All fixtures used for damage tests: the real files and one of each kind made here.
std::vector<std::pair<std::string, Bytes>> DamageFixtures()
{
    std::vector<std::pair<std::string, Bytes>> tmp_List;
    for (const RealFile& f : kRealFiles)
        tmp_List.emplace_back(f.m_pszName, ReadData(f.m_pszName));
    tmp_List.emplace_back("made 16-bit interlaced png",
                          MakePng({"rgba 16", PNG_COLOR_TYPE_RGBA, 16, false}, 13, 7, true).m_File);
    tmp_List.emplace_back("made progressive grey jpeg",
                          WriteJpeg(40, 24, JCS_GRAYSCALE, 1, Gradient(40, 24, 1), true));
    return tmp_List;
}

TEST(TexDecodeErrors, TruncatedFilesFailWithAReason)
{
    for (const auto& [tmp_strName, tmp_File] : DamageFixtures())
    {
        const size_t n = tmp_File.size();
        for (size_t tmp_uCut : {size_t(1), size_t(4), size_t(8), size_t(20), size_t(33), n / 4,
                                n / 2, n - 12, n - 2, n - 1})
        {
            SCOPED_TRACE(tmp_strName + " cut to " + std::to_string(tmp_uCut));
            const std::string tmp_strError =
                DecodeError(Bytes(tmp_File.begin(), tmp_File.begin() + long(tmp_uCut)));
            EXPECT_NE(tmp_strError, "(decoded)");
            EXPECT_FALSE(tmp_strError.empty());
        }
    }
}

TEST(TexDecodeErrors, CorruptedFilesFailWithAReason)
{
    // PNG: a damaged critical chunk fails its CRC check.
    Bytes tmp_Png = ReadData("pngtest.png");
    Bytes tmp_Header = tmp_Png;
    tmp_Header[17] ^= 0x01; // IHDR width
    EXPECT_EQ(DecodeError(tmp_Header), "PNG file: IHDR: CRC error");
    Bytes tmp_Data = tmp_Png;
    tmp_Data[tmp_Data.size() / 2] ^= 0x40; // inside IDAT
    // (zlib's own check of the compressed stream may notice before the chunk's CRC does)
    EXPECT_EQ(DecodeError(tmp_Data).rfind("PNG file: IDAT: ", 0), 0u) << DecodeError(tmp_Data);

    // JPEG: a marker in the middle of the entropy-coded data loses the rest of the picture,
    // and a frame header of zero lines is no picture.
    const Bytes tmp_Jpeg = ReadData("libsndfile.jpg");
    Bytes tmp_Marker = tmp_Jpeg;
    tmp_Marker[tmp_Marker.size() / 2] = 0xFF;
    tmp_Marker[tmp_Marker.size() / 2 + 1] = 0xD9;
    EXPECT_EQ(DecodeError(tmp_Marker).rfind("JPEG file: Corrupt JPEG data", 0), 0u)
        << DecodeError(tmp_Marker);
    Bytes tmp_Empty = tmp_Jpeg;
    for (size_t i = 0; i + 8 < tmp_Empty.size(); ++i)
        if (tmp_Empty[i] == 0xFF && tmp_Empty[i + 1] == 0xC0)
        {
            tmp_Empty[i + 5] = tmp_Empty[i + 6] = 0;
            break;
        }
    EXPECT_EQ(DecodeError(tmp_Empty), "JPEG file: Empty JPEG image (DNL not supported)");
}

TEST(TexDecodeErrors, DamagedBytesAnywhereNeverBreakTheDecoder)
{
    // Flip bytes all through each file: whatever comes out must be consistent, a picture with
    // all its levels or a failure with a reason and nothing else.
    for (const auto& [tmp_strName, tmp_File] : DamageFixtures())
    {
        const size_t tmp_uStep = std::max<size_t>(1, tmp_File.size() / 150);
        for (size_t i = 0; i < tmp_File.size(); i += tmp_uStep)
        {
            SCOPED_TRACE(tmp_strName + " byte " + std::to_string(i));
            Bytes tmp_Damaged = tmp_File;
            tmp_Damaged[i] ^= 0xA5;
            TexImage tmp_Image;
            std::string tmp_strError;
            if (TexDecode(tmp_Damaged.data(), tmp_Damaged.size(), TEXFMT_A4R4G4B4, 0, 0, 0,
                          tmp_Image, tmp_strError))
            {
                ASSERT_GT(tmp_Image.m_iWidth, 0);
                ASSERT_FALSE(tmp_Image.m_Levels.empty());
                EXPECT_EQ(tmp_Image.m_Levels[0].size(),
                          size_t(tmp_Image.m_iWidth * tmp_Image.m_iHeight * 2));
                EXPECT_TRUE(tmp_strError.empty());
            }
            else
            {
                EXPECT_TRUE(tmp_Image.m_Levels.empty());
                EXPECT_FALSE(tmp_strError.empty());
            }
        }
    }
}

} // namespace

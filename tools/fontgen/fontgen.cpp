// Font generator: renders a TrueType font through FreeType into the engine's bitmap-font form,
// a 16 x 16-cell glyph texture (PNG, white glyphs, anti-aliased coverage in alpha, codes as
// Latin-1) and its "fontdesc" XML (ids, cell size, ten colours, 256 advance widths).
// The output depends only on the font file and the options: no dates, fixed zlib settings.
//
//   fontgen --font DejaVuSans.ttf --png DATA/fonts/font1.png --xml DATA/fonts/font1.xml
//           [--cell 32] [--size 22] [--id FNT_FONT1] [--texture-id TEX_FONT1]
//           [--technique-id TEQ_FONT] [--techpack-id TEQ_PACK_STD]
#include <ft2build.h>
#include FT_FREETYPE_H

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{

struct Options
{
    std::string m_strFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    std::string m_strPng, m_strXml;
    int m_iCell = 32;
    int m_iSize = 22;
    std::string m_strID = "FNT_FONT1";
    std::string m_strTextureID = "TEX_FONT1";
    std::string m_strTechniqueID = "TEQ_FONT";
    std::string m_strTechPackID = "TEQ_PACK_STD";
};

// Text colours 0 to 9: white first (tile numbers and the frame-rate display use colour 0).
const float kColours[10][3] = {{1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 0.0f}, {1.0f, 0.2f, 0.2f},
                               {0.2f, 0.9f, 0.2f}, {0.3f, 0.5f, 1.0f}, {1.0f, 0.9f, 0.2f},
                               {0.2f, 0.9f, 0.9f}, {0.9f, 0.3f, 0.9f}, {0.6f, 0.6f, 0.6f},
                               {1.0f, 0.6f, 0.1f}};

// Tab stops are this many spaces wide.
constexpr int kTabSpaces = 4;

[[noreturn]] void Die(const std::string& fp_strText)
{
    std::fprintf(stderr, "fontgen: %s\n", fp_strText.c_str());
    std::exit(1);
}

Options ParseOptions(int argc, char** argv)
{
    Options o;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        if (i + 1 >= argc)
            Die("option " + a + " needs a value");
        const std::string v = argv[++i];
        if (a == "--font")
            o.m_strFont = v;
        else if (a == "--png")
            o.m_strPng = v;
        else if (a == "--xml")
            o.m_strXml = v;
        else if (a == "--cell")
            o.m_iCell = std::atoi(v.c_str());
        else if (a == "--size")
            o.m_iSize = std::atoi(v.c_str());
        else if (a == "--id")
            o.m_strID = v;
        else if (a == "--texture-id")
            o.m_strTextureID = v;
        else if (a == "--technique-id")
            o.m_strTechniqueID = v;
        else if (a == "--techpack-id")
            o.m_strTechPackID = v;
        else
            Die("unknown option " + a);
    }
    if (o.m_strPng.empty() || o.m_strXml.empty())
        Die("usage: fontgen --png OUT.png --xml OUT.xml [--font F.ttf] [--cell N] [--size N] "
            "[--id ID] [--texture-id ID] [--technique-id ID] [--techpack-id ID]");
    if (o.m_iCell < 4 || o.m_iCell > 256 || o.m_iSize < 2 || o.m_iSize > o.m_iCell)
        Die("cell size must be 4..256 and the pixel size 2..cell size");
    return o;
}

// Codes with a glyph: printable Latin-1 (the C0 and C1 control ranges and DEL have none).
bool HasGlyph(int fp_iCode)
{
    return (fp_iCode >= 32 && fp_iCode < 127) || fp_iCode >= 160;
}

struct Glyph
{
    int m_iAdvance = 0; // whole pixels (hinted)
    int m_iLeft = 0, m_iTop = 0, m_iWidth = 0, m_iRows = 0;
    std::vector<uint8_t> m_Coverage;
};

std::vector<Glyph> RenderGlyphs(const Options& o)
{
    FT_Library tmp_pLib = nullptr;
    FT_Face tmp_pFace = nullptr;
    if (FT_Init_FreeType(&tmp_pLib))
        Die("cannot start FreeType");
    if (FT_New_Face(tmp_pLib, o.m_strFont.c_str(), 0, &tmp_pFace))
        Die("cannot open font " + o.m_strFont);
    if (FT_Set_Pixel_Sizes(tmp_pFace, 0, FT_UInt(o.m_iSize)))
        Die("cannot set the pixel size");

    std::vector<Glyph> tmp_Glyphs(256);
    for (int ch = 0; ch < 256; ++ch)
    {
        if (!HasGlyph(ch))
            continue;
        if (FT_Get_Char_Index(tmp_pFace, FT_ULong(ch)) == 0)
            Die("the font has no glyph for code " + std::to_string(ch));
        if (FT_Load_Char(tmp_pFace, FT_ULong(ch), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL))
            Die("cannot render code " + std::to_string(ch));
        const FT_GlyphSlot s = tmp_pFace->glyph;
        if (s->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && s->bitmap.rows > 0)
            Die("unexpected bitmap mode for code " + std::to_string(ch));
        Glyph& g = tmp_Glyphs[size_t(ch)];
        g.m_iAdvance = int((s->advance.x + 32) >> 6);
        g.m_iLeft = s->bitmap_left;
        g.m_iTop = s->bitmap_top;
        g.m_iWidth = int(s->bitmap.width);
        g.m_iRows = int(s->bitmap.rows);
        for (int y = 0; y < g.m_iRows; ++y)
        {
            const uint8_t* tmp_pRow = s->bitmap.buffer + y * s->bitmap.pitch;
            g.m_Coverage.insert(g.m_Coverage.end(), tmp_pRow, tmp_pRow + g.m_iWidth);
        }
    }
    FT_Done_Face(tmp_pFace);
    FT_Done_FreeType(tmp_pLib);
    return tmp_Glyphs;
}

// Where the glyph origin sits inside every cell: far enough right for the most negative left
// bearing and low enough for the tallest glyph; all glyphs must then fit the cell.
void PlaceOrigin(const std::vector<Glyph>& fp_Glyphs, int fp_iCell, int& fp_iOriginX,
                 int& fp_iBaseline)
{
    int tmp_iMinLeft = 0, tmp_iMaxRight = 0, tmp_iMaxTop = 0, tmp_iMaxBelow = 0;
    for (const Glyph& g : fp_Glyphs)
    {
        if (g.m_iWidth == 0 || g.m_iRows == 0)
            continue;
        tmp_iMinLeft = std::min(tmp_iMinLeft, g.m_iLeft);
        tmp_iMaxRight = std::max(tmp_iMaxRight, g.m_iLeft + g.m_iWidth);
        tmp_iMaxTop = std::max(tmp_iMaxTop, g.m_iTop);
        tmp_iMaxBelow = std::max(tmp_iMaxBelow, g.m_iRows - g.m_iTop);
    }
    fp_iOriginX = 1 - tmp_iMinLeft; // one clear column keeps filtering from bleeding in
    fp_iBaseline = 1 + tmp_iMaxTop;
    if (fp_iOriginX + tmp_iMaxRight > fp_iCell - 1 || fp_iBaseline + tmp_iMaxBelow > fp_iCell - 1)
        Die("glyphs do not fit a " + std::to_string(fp_iCell) + "-pixel cell at this size");
}

void PngWrite(png_structp fp_pPng, png_bytep fp_pData, size_t fp_uCount)
{
    auto* tmp_pOut = static_cast<std::string*>(png_get_io_ptr(fp_pPng));
    tmp_pOut->append(reinterpret_cast<const char*>(fp_pData), fp_uCount);
}
void PngFlush(png_structp) {}

// RGBA, rows top-down, into PNG bytes with fixed compression settings and no optional chunks.
std::string EncodePng(const std::vector<uint8_t>& fp_Rgba, int fp_iSide)
{
    std::string tmp_strOut;
    png_structp tmp_pPng =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop tmp_pInfo = tmp_pPng ? png_create_info_struct(tmp_pPng) : nullptr;
    if (!tmp_pInfo)
        Die("cannot create the PNG writer");
    if (setjmp(png_jmpbuf(tmp_pPng)))
        Die("libpng failed to write the texture");
    png_set_write_fn(tmp_pPng, &tmp_strOut, PngWrite, PngFlush);
    png_set_compression_level(tmp_pPng, 9);
    png_set_compression_mem_level(tmp_pPng, 9);
    png_set_compression_strategy(tmp_pPng, 0); // Z_DEFAULT_STRATEGY
    png_set_compression_window_bits(tmp_pPng, 15);
    png_set_filter(tmp_pPng, 0, PNG_ALL_FILTERS);
    png_set_IHDR(tmp_pPng, tmp_pInfo, png_uint_32(fp_iSide), png_uint_32(fp_iSide), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(tmp_pPng, tmp_pInfo);
    for (int y = 0; y < fp_iSide; ++y)
        png_write_row(tmp_pPng, fp_Rgba.data() + size_t(y) * size_t(fp_iSide) * 4);
    png_write_end(tmp_pPng, nullptr);
    png_destroy_write_struct(&tmp_pPng, &tmp_pInfo);
    return tmp_strOut;
}

std::string Decimal(float v)
{
    char tmp_szBuf[32];
    std::snprintf(tmp_szBuf, sizeof(tmp_szBuf), "%.2f", double(v));
    return tmp_szBuf;
}

std::string MakeXml(const Options& o, const std::vector<Glyph>& fp_Glyphs)
{
    std::ostringstream x;
    x << "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
    x << "<!-- Generated by tools/fontgen from DejaVu Sans; regenerate instead of editing. -->\n";
    x << "<fontdesc id=\"" << o.m_strID << "\" textureid=\"" << o.m_strTextureID
      << "\" techniqueid=\"" << o.m_strTechniqueID << "\" techpackid=\"" << o.m_strTechPackID
      << "\"\n  cellsize=\"" << o.m_iCell << "\"";
    for (int i = 0; i < 10; ++i)
    {
        x << "\n ";
        const char* tmp_pszChannels = "rgb";
        for (int c = 0; c < 3; ++c)
            x << " color" << i << tmp_pszChannels[c] << "=\"" << Decimal(kColours[i][c]) << "\"";
    }
    const int tmp_iSpace = fp_Glyphs[32].m_iAdvance;
    for (int ch = 0; ch < 256; ++ch)
    {
        if (ch % 8 == 0)
            x << "\n ";
        const int tmp_iWidth = ch == 9 ? kTabSpaces * tmp_iSpace : fp_Glyphs[size_t(ch)].m_iAdvance;
        x << " cs" << ch << "=\"" << tmp_iWidth << "\"";
    }
    x << "/>\n";
    return x.str();
}

void WriteFile(const std::string& fp_strPath, const std::string& fp_strBytes)
{
    std::ofstream tmp_File(fp_strPath, std::ios::binary | std::ios::trunc);
    tmp_File.write(fp_strBytes.data(), std::streamsize(fp_strBytes.size()));
    if (!tmp_File.good())
        Die("cannot write " + fp_strPath);
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = ParseOptions(argc, argv);
    const std::vector<Glyph> tmp_Glyphs = RenderGlyphs(o);
    int tmp_iOriginX = 0, tmp_iBaseline = 0;
    PlaceOrigin(tmp_Glyphs, o.m_iCell, tmp_iOriginX, tmp_iBaseline);

    // White everywhere, coverage in alpha: filtering at glyph edges never darkens the colour.
    const int tmp_iSide = 16 * o.m_iCell;
    std::vector<uint8_t> tmp_Rgba(size_t(tmp_iSide) * size_t(tmp_iSide) * 4, 255);
    for (size_t i = 3; i < tmp_Rgba.size(); i += 4)
        tmp_Rgba[i] = 0;
    for (int ch = 0; ch < 256; ++ch)
    {
        const Glyph& g = tmp_Glyphs[size_t(ch)];
        const int tmp_iX0 = (ch % 16) * o.m_iCell + tmp_iOriginX + g.m_iLeft;
        const int tmp_iY0 = (ch / 16) * o.m_iCell + tmp_iBaseline - g.m_iTop;
        for (int y = 0; y < g.m_iRows; ++y)
            for (int x = 0; x < g.m_iWidth; ++x)
                tmp_Rgba[(size_t(tmp_iY0 + y) * size_t(tmp_iSide) + size_t(tmp_iX0 + x)) * 4 + 3] =
                    g.m_Coverage[size_t(y) * size_t(g.m_iWidth) + size_t(x)];
    }

    WriteFile(o.m_strPng, EncodePng(tmp_Rgba, tmp_iSide));
    WriteFile(o.m_strXml, MakeXml(o, tmp_Glyphs));
    return 0;
}

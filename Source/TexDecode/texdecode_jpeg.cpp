// JPEG reader of the texture-file decoder. libjpeg reports errors through error_exit, which here
// longjmps back to JpegDecode; that function keeps no C++ objects of its own, all state lives in
// JpegState in the caller's frame. Warnings that mean lost image data (a cut-off file, a damaged
// entropy-coded segment) are turned into errors: libjpeg would otherwise pad the picture with grey.
#include "TexDecode/texdecode_jpeg.h"

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstring>
#include <new>

namespace
{

// Scans a progressive file may have before it is taken for a decoding-time bomb.
constexpr int kMaxScans = 1000;

struct JpegErrorManager
{
    jpeg_error_mgr m_Base; // first member: libjpeg hands back a pointer to it
    jmp_buf m_Jump;
    char m_szMessage[JMSG_LENGTH_MAX];
};

struct JpegState
{
    jpeg_decompress_struct m_Info;
    JpegErrorManager m_Error;
    jpeg_progress_mgr m_Progress;
    const uint8_t* m_pData = nullptr;
    size_t m_uSize = 0;
    TexRgbaImage* m_pOut = nullptr;
};

[[noreturn]] void JpegFail(j_common_ptr fp_pInfo)
{
    auto* tmp_pError = reinterpret_cast<JpegErrorManager*>(fp_pInfo->err);
    (*fp_pInfo->err->format_message)(fp_pInfo, tmp_pError->m_szMessage);
    std::longjmp(tmp_pError->m_Jump, 1);
}

void JpegOnErrorExit(j_common_ptr fp_pInfo)
{
    JpegFail(fp_pInfo);
}

bool JpegWarningLosesData(int fp_iCode)
{
    switch (fp_iCode)
    {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
        return true;
    default:
        return false;
    }
}

// Level -1 is a warning, higher levels are trace output; neither is printed.
void JpegOnMessage(j_common_ptr fp_pInfo, int fp_iLevel)
{
    if (fp_iLevel < 0)
    {
        if (JpegWarningLosesData(fp_pInfo->err->msg_code))
            JpegFail(fp_pInfo);
        fp_pInfo->err->num_warnings++;
    }
}

void JpegOnProgress(j_common_ptr fp_pInfo)
{
    auto* tmp_pInfo = reinterpret_cast<j_decompress_ptr>(fp_pInfo);
    if (tmp_pInfo->is_decompressor && tmp_pInfo->input_scan_number > kMaxScans)
    {
        auto* tmp_pError = reinterpret_cast<JpegErrorManager*>(fp_pInfo->err);
        std::snprintf(tmp_pError->m_szMessage, sizeof(tmp_pError->m_szMessage),
                      "too many scans (more than %d)", kMaxScans);
        std::longjmp(tmp_pError->m_Jump, 1);
    }
}

// CMYK from Adobe files is stored inverted (255 = no ink); others are plain.
void JpegCmykToRgba(TexRgbaImage& fp_Image, bool fp_bInverted)
{
    uint8_t* p = fp_Image.m_Pixels.data();
    const size_t tmp_uCount = size_t(fp_Image.m_iWidth) * size_t(fp_Image.m_iHeight);
    for (size_t i = 0; i < tmp_uCount; ++i, p += 4)
    {
        unsigned c = p[0], m = p[1], yl = p[2], k = p[3];
        if (!fp_bInverted)
        {
            c = 255 - c;
            m = 255 - m;
            yl = 255 - yl;
            k = 255 - k;
        }
        p[0] = uint8_t((c * k + 127) / 255);
        p[1] = uint8_t((m * k + 127) / 255);
        p[2] = uint8_t((yl * k + 127) / 255);
        p[3] = 255;
    }
}

// Runs between setjmp and the last libjpeg call; only trivially destructible locals here.
bool JpegDecode(JpegState& fp_State)
{
    j_decompress_ptr tmp_pInfo = &fp_State.m_Info;
    if (setjmp(fp_State.m_Error.m_Jump))
        return false;

    jpeg_create_decompress(tmp_pInfo);
    tmp_pInfo->progress = &fp_State.m_Progress;
    jpeg_mem_src(tmp_pInfo, fp_State.m_pData, static_cast<unsigned long>(fp_State.m_uSize));
    jpeg_read_header(tmp_pInfo, TRUE);
    if (!TexSizeAllowed(int(tmp_pInfo->image_width), int(tmp_pInfo->image_height)))
        ERREXIT(tmp_pInfo, JERR_IMAGE_TOO_BIG);

    const bool tmp_bCmyk =
        tmp_pInfo->jpeg_color_space == JCS_CMYK || tmp_pInfo->jpeg_color_space == JCS_YCCK;
    tmp_pInfo->out_color_space = tmp_bCmyk ? JCS_CMYK : JCS_EXT_RGBA;
    jpeg_start_decompress(tmp_pInfo);
    if (tmp_pInfo->output_components != 4)
        ERREXIT(tmp_pInfo, JERR_CONVERSION_NOTIMPL);

    TexRgbaImage& tmp_Out = *fp_State.m_pOut;
    tmp_Out.m_iWidth = int(tmp_pInfo->output_width);
    tmp_Out.m_iHeight = int(tmp_pInfo->output_height);
    tmp_Out.m_Pixels.assign(size_t(tmp_Out.m_iWidth) * size_t(tmp_Out.m_iHeight) * 4, 0);
    while (tmp_pInfo->output_scanline < tmp_pInfo->output_height)
    {
        JSAMPROW tmp_pRow = tmp_Out.m_Pixels.data() +
                            size_t(tmp_pInfo->output_scanline) * size_t(tmp_Out.m_iWidth) * 4;
        if (jpeg_read_scanlines(tmp_pInfo, &tmp_pRow, 1) != 1)
            ERREXIT(tmp_pInfo, JERR_INPUT_EOF);
    }
    jpeg_finish_decompress(tmp_pInfo);
    if (tmp_bCmyk)
        JpegCmykToRgba(tmp_Out, tmp_pInfo->saw_Adobe_marker);
    return true;
}

} // namespace

bool TexIsJpeg(const uint8_t* fp_pData, size_t fp_uSize)
{
    return fp_uSize >= 3 && fp_pData[0] == 0xFF && fp_pData[1] == 0xD8 && fp_pData[2] == 0xFF;
}

bool TexReadJpeg(const uint8_t* fp_pData, size_t fp_uSize, TexRgbaImage& fp_Out,
                 std::string& fp_strError)
{
    JpegState tmp_State;
    JpegState* tmp_pState = &tmp_State;
    std::memset(&tmp_pState->m_Info, 0, sizeof(tmp_pState->m_Info));
    std::memset(&tmp_pState->m_Progress, 0, sizeof(tmp_pState->m_Progress));
    tmp_pState->m_Info.err = jpeg_std_error(&tmp_pState->m_Error.m_Base);
    tmp_pState->m_Error.m_Base.error_exit = JpegOnErrorExit;
    tmp_pState->m_Error.m_Base.emit_message = JpegOnMessage;
    tmp_pState->m_Error.m_szMessage[0] = '\0';
    tmp_pState->m_Progress.progress_monitor = JpegOnProgress;
    tmp_pState->m_pData = fp_pData;
    tmp_pState->m_uSize = fp_uSize;
    tmp_pState->m_pOut = &fp_Out;

    bool tmp_bOK = false;
    try
    {
        tmp_bOK = JpegDecode(*tmp_pState);
    }
    catch (const std::bad_alloc&)
    {
        std::snprintf(tmp_pState->m_Error.m_szMessage, sizeof(tmp_pState->m_Error.m_szMessage),
                      "out of memory");
    }
    // Safe on a half-created object: libjpeg destroys nothing while its memory manager is unset.
    jpeg_destroy_decompress(&tmp_pState->m_Info);
    if (!tmp_bOK)
    {
        fp_Out = TexRgbaImage{};
        fp_strError = std::string("JPEG file: ") + tmp_pState->m_Error.m_szMessage;
    }
    return tmp_bOK;
}

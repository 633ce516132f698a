// The text log "gamelog.txt" (see cvelora_log.h).
#include "CVelora/cvelora_log.h"

#include <cstdio>

namespace
{
constexpr const char* kMarkers[] = {"? ", "   =: ", "  -=: ", "--==: ", "   +: ", " !: ", " !!!: "};
constexpr char kSeparatorFill[] = {'-', '=', ':', '!'};

void AppendToLog(const std::string& fp_strBytes)
{
    VLAAppendToFile(kLogFileName, fp_strBytes);
}
} // namespace

bool VLAAppendToFile(const char* fp_pszFile, const std::string& fp_strBytes)
{
    std::FILE* tmp_pFile = std::fopen(fp_pszFile, "a");
    if (tmp_pFile == nullptr)
        return false;
    std::fwrite(fp_strBytes.data(), 1, fp_strBytes.size(), tmp_pFile);
    std::fclose(tmp_pFile);
    return true;
}

void VLALogAddEntry(const std::string& fp_strText, int fp_iKind)
{
    if (fp_iKind < 0 || fp_iKind > 6)
    {
        AppendToLog(""); // the file is still opened and closed
        return;
    }
    AppendToLog(kMarkers[fp_iKind] + fp_strText + "\n");
}

void VLALogAddLine(const std::string& fp_strText)
{
    AppendToLog(fp_strText + "\n");
}

void VLALogAddSeparator(int fp_iKind)
{
    if (fp_iKind < 1 || fp_iKind > 4)
        return;
    AppendToLog("|" + std::string(51, kSeparatorFill[fp_iKind - 1]) + "|\n");
}

void VLALogAddEmptyLines(int fp_iCount)
{
    if (fp_iCount <= 0)
        return;
    AppendToLog(std::string(static_cast<size_t>(fp_iCount), '\n'));
}

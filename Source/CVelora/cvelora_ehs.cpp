// The error record, the fault table, the report file "ehslog.txt" and the top-level handler.
#include "CVelora/cvelora_ehs.h"

#include "CVelora/cvelora.h"
#include "Platform/plat_sys.h"

#include <exception>
#include <string>

CEHSException::CEHSException(int fp_iType, int fp_iCode, std::string fp_strDesc,
                             std::string fp_strFile, int fp_iLine)
    : m_iType(fp_iType), m_iCode(fp_iCode), m_strDesc(std::move(fp_strDesc)),
      m_strFile(std::move(fp_strFile)), m_iLine(fp_iLine)
{
}

const char* CEHSException::GetTypeName() const
{
    switch (m_iType)
    {
    case EHS_UNKNOWN:
        return "Unknown.";
    case EHS_GENERAL:
        return "General.";
    case EHS_GAME:
        return "Game.";
    case EHS_WIN32:
        return "Win32.";
    case EHS_LUA:
        return "Lua.";
    case EHS_LUAGLUE:
        return "Lua glue function.";
    case EHS_INSCRIPT:
        return "In-script.";
    default:
        return "Undefined type!";
    }
}

void CEHSException::WriteEHSLog() const
{
    const PlatLocalTime tmp_Now = PlatGetLocalTime();
    std::string tmp_strOut = "\n\n\n";
    tmp_strOut += "Date: " + std::to_string(tmp_Now.day) + "." + std::to_string(tmp_Now.month) +
                  "." + std::to_string(tmp_Now.year) + "\n";
    tmp_strOut +=
        "Time: " + std::to_string(tmp_Now.hour) + ":" + std::to_string(tmp_Now.minute) + "\n";
    tmp_strOut += std::string("Exception type: ") + GetTypeName() + "\n";
    tmp_strOut += "Exception code: " + std::to_string(m_iCode) + "\n";
    tmp_strOut += "Exception desc: " + m_strDesc + "\n";
    tmp_strOut += "File: " + m_strFile + "\n";
    tmp_strOut += "Line: " + std::to_string(m_iLine) + "\n";
    tmp_strOut += "Last checkpoint:\n";
    tmp_strOut += "   FileID: " + std::to_string(GetCheckpointFileID()) + "\n";
    tmp_strOut += "   Line:   " + std::to_string(GetCheckpointLine()) + "\n";
    VLAAppendToFile("ehslog.txt", tmp_strOut);
}

void ThrowGeneral(const std::string& fp_strDesc, int fp_iCode, std::source_location fp_Loc)
{
    throw CEHSException(EHS_GENERAL, fp_iCode, fp_strDesc, fp_Loc.file_name(),
                        static_cast<int>(fp_Loc.line()));
}

void ThrowGame(const std::string& fp_strDesc, int fp_iCode, std::source_location fp_Loc)
{
    throw CEHSException(EHS_GAME, fp_iCode, fp_strDesc, fp_Loc.file_name(),
                        static_cast<int>(fp_Loc.line()));
}

void EHSAssert(bool fp_bCondition, const char* fp_pszDesc, std::source_location fp_Loc)
{
    if (!fp_bCondition)
        ThrowGeneral(fp_pszDesc, 0, fp_Loc);
}

namespace
{
struct FaultText
{
    uint32_t m_uiCode;
    const char* m_pszText;
};

constexpr FaultText kFaultTable[] = {
    {0x80000002, "Data type misalingment."},
    {0x80000003, "Breakpoint."},
    {0x80000004, "A trace trap or other single-instruction mechanism signaled that one "
                 "instruction has been executed."},
    {0xC0000005, "Access violation."},
    {0xC0000006, "Page error."},
    {0xC000001D, "Illegal instruction."},
    {0xC0000025, "Noncontinuable exception ignored."},
    {0xC0000026, "Invalid disposition."},
    {0xC000008C, "Array bounds exceeded."},
    {0xC000008D, "Denormal operand (float)."},
    {0xC000008E, "Divide by zero (float)."},
    {0xC000008F, "Inexact result (float)."},
    {0xC0000090, "Invalid operation (float)."},
    {0xC0000091, "Overflow (float)."},
    {0xC0000092, "Stack overflow or underflow (float)."},
    {0xC0000093, "Underflow (float)."},
    {0xC0000094, "Divide by zero (int)."},
    {0xC0000095, "Overflow (int)."},
    {0xC0000096, "The thread tried to execute an instruction whose operation is not allowed in "
                 "the current machine mode."},
    {0xC00000FD, "Stack overflow."},
};
} // namespace

void TranslateStructuredException(unsigned int fp_uiCode)
{
    for (const FaultText& tmp_Row : kFaultTable)
        if (tmp_Row.m_uiCode == fp_uiCode)
            throw CEHSException(EHS_WIN32, static_cast<int>(fp_uiCode), tmp_Row.m_pszText, "", 0);
}

namespace
{
// Name of the script function called last; empty while no script has run.
std::string LastCalledLuaFunctionName()
{
    const CVelora* tmp_pVLA = GetEngine();
    return tmp_pVLA != nullptr ? tmp_pVLA->GetLastCalledLuaFunctionName() : std::string();
}

void WriteFatalReport(const CEHSException& fp_Error)
{
    fp_Error.WriteEHSLog();
    VLALogAddEmptyLines(2);
    VLALogAddSeparator(3);
    VLALogAddEntry("Fatal error!", 6);
    VLALogAddEntry(std::string("Error type: ") + fp_Error.GetTypeName(), 6);
    VLALogAddEntry("Error code: " + std::to_string(fp_Error.m_iCode), 6);
    VLALogAddEntry("Error desc: " + fp_Error.m_strDesc, 6);
    VLALogAddEntry("Error location: ", 6);
    if (fp_Error.m_iType == EHS_WIN32)
    {
        VLALogAddEntry("   FileID: " + std::to_string(GetCheckpointFileID()), 6);
        VLALogAddEntry("   Line: " + std::to_string(GetCheckpointLine()), 6);
    }
    else
    {
        VLALogAddEntry("   File: " + fp_Error.m_strFile, 6);
        VLALogAddEntry("   Line: " + std::to_string(fp_Error.m_iLine), 6);
    }
    VLALogAddEntry("Last called Lua function name: " + LastCalledLuaFunctionName(), 6);
    VLALogAddSeparator(3);
    VLALogAddEmptyLines(2);
}

struct ProtectedCall
{
    const std::function<void()>* m_pBody;
    std::exception_ptr m_Error;
};

void RunBody(void* fp_pData)
{
    auto* tmp_pCall = static_cast<ProtectedCall*>(fp_pData);
    // Errors are carried out of the protected frame rather than unwound through it.
    try
    {
        (*tmp_pCall->m_pBody)();
    }
    catch (...)
    {
        tmp_pCall->m_Error = std::current_exception();
    }
}
} // namespace

void ReportFatalError(const std::function<void()>& fp_Body)
{
    try
    {
        ProtectedCall tmp_Call{&fp_Body, nullptr};
        const uint32_t tmp_uiFault = PlatRunProtected(RunBody, &tmp_Call);
        if (tmp_Call.m_Error)
            std::rethrow_exception(tmp_Call.m_Error);
        if (tmp_uiFault != 0)
        {
            TranslateStructuredException(tmp_uiFault);
            throw CStructuredException{tmp_uiFault};
        }
    }
    catch (const CEHSException& e)
    {
        WriteFatalReport(e);
        FatalShutdown();
    }
    catch (const char* tmp_pszText)
    {
        VLALogAddEntry(tmp_pszText, 6);
        FatalShutdown();
    }
    catch (...)
    {
        VLALogAddEntry("EXCEPTION OF UNKNOWN TYPE!", 6);
        FatalShutdown();
    }
}

void FatalShutdown()
{
    if (CVelora* tmp_pVLA = GetEngine())
    {
        tmp_pVLA->m_bFatalShutdown = true;
        delete tmp_pVLA;
    }
}

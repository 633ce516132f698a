// The engine's one error record (CEHSException), the raising helpers every module uses,
// checkpoints (last file ID and line entered) and the top-level fatal-error handler.
#pragma once

#include <functional>
#include <source_location>
#include <string>

enum EHSErrorType
{
    EHS_UNKNOWN = 0,
    EHS_GENERAL = 1,
    EHS_GAME = 2,
    EHS_WIN32 = 3,
    EHS_LUA = 4,
    EHS_LUAGLUE = 5,
    EHS_INSCRIPT = 6,
};

class CEHSException
{
public:
    CEHSException(int fp_iType, int fp_iCode, std::string fp_strDesc, std::string fp_strFile,
                  int fp_iLine);

    const char* GetTypeName() const;
    // Appends this record to "ehslog.txt"; silently does nothing when it cannot be opened.
    void WriteEHSLog() const;

    int m_iType;
    int m_iCode;
    std::string m_strDesc;
    std::string m_strFile;
    int m_iLine;
};

// Checkpoint: two plain stores, cheap enough for every function entry.
namespace velora_detail
{
inline int g_iCheckpointFileID = 0;
inline int g_iCheckpointLine = 0;
} // namespace velora_detail

inline void SetCheckpoint(int fp_iFileID, int fp_iLine)
{
    velora_detail::g_iCheckpointFileID = fp_iFileID;
    velora_detail::g_iCheckpointLine = fp_iLine;
}
// Records the caller's file ID and source line.
inline void Checkpoint(int fp_iFileID,
                       std::source_location fp_Loc = std::source_location::current())
{
    SetCheckpoint(fp_iFileID, static_cast<int>(fp_Loc.line()));
}
inline int GetCheckpointFileID()
{
    return velora_detail::g_iCheckpointFileID;
}
inline int GetCheckpointLine()
{
    return velora_detail::g_iCheckpointLine;
}

// Raise a General (engine failure) or Game (wrong IDs, data or calls) error at the caller.
[[noreturn]] void ThrowGeneral(const std::string& fp_strDesc, int fp_iCode = 0,
                               std::source_location fp_Loc = std::source_location::current());
[[noreturn]] void ThrowGame(const std::string& fp_strDesc, int fp_iCode = 0,
                            std::source_location fp_Loc = std::source_location::current());
// Assertion check: raises General with code 0 when the condition is false.
void EHSAssert(bool fp_bCondition, const char* fp_pszDesc = "EHS Assertion failed.",
               std::source_location fp_Loc = std::source_location::current());

// A processor fault inside the protected region: translated into a Win32 record when its
// code is in the table, otherwise thrown as this type so that it reaches the catch-all.
struct CStructuredException
{
    unsigned int m_uiCode;
};

// Looks the code up in the fault table; on a hit throws the Win32 record, on a miss returns.
void TranslateStructuredException(unsigned int fp_uiCode);

// Runs fp_Body inside the top-level handler: faults become records, and every error that
// escapes is reported (both files) before the engine is shut down in order.
void ReportFatalError(const std::function<void()>& fp_Body);

// Sets the engine's fatal-shutdown flag and deletes it; no-op when there is no engine.
void FatalShutdown();

// The text log "gamelog.txt": marked entries, unmarked lines, separators and empty lines.
// Every write opens, appends and closes the file, so all that was logged survives a crash;
// a file that cannot be opened is skipped silently. These need no engine object (the fatal
// report writes through them even when the engine was never created).
#pragma once

#include <string>

inline constexpr const char* kLogFileName = "gamelog.txt";

void VLALogAddEntry(const std::string& fp_strText, int fp_iKind);
void VLALogAddLine(const std::string& fp_strText);
void VLALogAddSeparator(int fp_iKind);
void VLALogAddEmptyLines(int fp_iCount);

// Opens fp_pszFile for appending (creating it), writes fp_strBytes, closes it. Line breaks are
// this platform's text-mode ones (LF). False when the file cannot be opened.
bool VLAAppendToFile(const char* fp_pszFile, const std::string& fp_strBytes);

// Operating-system services the engine core relies on: single-instance lock, millisecond
// timer, local time, file search, message box and processor-fault protection.
// Implemented on POSIX and SDL; nothing here exposes their headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Takes the process-wide lock named fp_strName (an flock'ed file in $XDG_RUNTIME_DIR, else
// /tmp). False when another process holds it or it cannot be created. Kept until exit.
bool PlatAcquireSingleInstance(const std::string& fp_strName);

// Monotonic milliseconds (wraps like a 32-bit counter).
uint32_t PlatGetTime();
// Milliseconds since an arbitrary start, for seeding.
uint32_t PlatGetTickCount();
// Test hook: replaces the timer's source; null restores the real clock.
void PlatSetTimeSource(uint32_t (*fp_pfnSource)());
void PlatSleep(uint32_t fp_uiMilliseconds);

struct PlatLocalTime
{
    int year, month, day, hour, minute, second;
};
PlatLocalTime PlatGetLocalTime();

// Names (not paths) of regular files in fp_strDir matching "*.ext" (extension compared without
// regard to case), sorted byte-wise.
std::vector<std::string> PlatFindFiles(const std::string& fp_strDir,
                                       const std::string& fp_strPattern);
bool PlatDeleteFile(const std::string& fp_strPath);

// Modal message box (SDL), falling back to standard error.
void PlatMessageBox(const std::string& fp_strTitle, const std::string& fp_strText);

// Runs fp_pfnBody(fp_pData) with processor faults (SIGSEGV, SIGBUS, SIGFPE, SIGILL, stack
// overflow on an alternate stack) caught. Returns 0 when the body returned, otherwise the
// Windows exception code of the fault. A fault leaves the body without unwinding its frames.
uint32_t PlatRunProtected(void (*fp_pfnBody)(void*), void* fp_pData);

// POSIX and SDL implementation of the operating-system services (see plat_sys.h).
#include "Platform/plat_sys.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cfenv>
#include <chrono>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

bool PlatAcquireSingleInstance(const std::string& fp_strName)
{
    const char* tmp_pszRuntime = std::getenv("XDG_RUNTIME_DIR");
    std::string tmp_strPath =
        (tmp_pszRuntime != nullptr && *tmp_pszRuntime != '\0') ? tmp_pszRuntime : "/tmp";
    tmp_strPath += "/" + fp_strName + ".lock";
    const int tmp_iFd = open(tmp_strPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (tmp_iFd < 0)
        return false;
    if (flock(tmp_iFd, LOCK_EX | LOCK_NB) != 0)
    {
        close(tmp_iFd);
        return false;
    }
    // The descriptor stays open, and the lock held, until the process ends.
    return true;
}

namespace
{
uint32_t (*g_pfnTimeSource)() = nullptr;

uint32_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
} // namespace

uint32_t PlatGetTime()
{
    return g_pfnTimeSource != nullptr ? g_pfnTimeSource() : SteadyMilliseconds();
}

uint32_t PlatGetTickCount()
{
    return SteadyMilliseconds();
}

void PlatSetTimeSource(uint32_t (*fp_pfnSource)())
{
    g_pfnTimeSource = fp_pfnSource;
}

void PlatSleep(uint32_t fp_uiMilliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(fp_uiMilliseconds));
}

PlatLocalTime PlatGetLocalTime()
{
    const std::time_t tmp_Now = std::time(nullptr);
    std::tm tmp_Tm{};
    localtime_r(&tmp_Now, &tmp_Tm);
    return {tmp_Tm.tm_year + 1900, tmp_Tm.tm_mon + 1, tmp_Tm.tm_mday,
            tmp_Tm.tm_hour,        tmp_Tm.tm_min,     tmp_Tm.tm_sec};
}

std::vector<std::string> PlatFindFiles(const std::string& fp_strDir,
                                       const std::string& fp_strPattern)
{
    // Only "*.ext" and "*" patterns are used by the engine.
    std::string tmp_strExt;
    if (fp_strPattern.size() > 1 && fp_strPattern[0] == '*')
        tmp_strExt = fp_strPattern.substr(1);
    auto tmp_Lower = [](std::string s)
    {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    };
    tmp_strExt = tmp_Lower(tmp_strExt);

    std::vector<std::string> tmp_Names;
    DIR* tmp_pDir = opendir(fp_strDir.empty() ? "." : fp_strDir.c_str());
    if (tmp_pDir == nullptr)
        return tmp_Names;
    while (const dirent* tmp_pEntry = readdir(tmp_pDir))
    {
        const std::string tmp_strName = tmp_pEntry->d_name;
        if (tmp_strName.size() < tmp_strExt.size() ||
            tmp_Lower(tmp_strName.substr(tmp_strName.size() - tmp_strExt.size())) != tmp_strExt)
            continue;
        struct stat tmp_St
        {
        };
        if (stat((fp_strDir + "/" + tmp_strName).c_str(), &tmp_St) == 0 && S_ISREG(tmp_St.st_mode))
            tmp_Names.push_back(tmp_strName);
    }
    closedir(tmp_pDir);
    std::sort(tmp_Names.begin(), tmp_Names.end()); // byte-wise: the same order on every machine
    return tmp_Names;
}

bool PlatDeleteFile(const std::string& fp_strPath)
{
    return std::remove(fp_strPath.c_str()) == 0;
}

void PlatMessageBox(const std::string& fp_strTitle, const std::string& fp_strText)
{
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, fp_strTitle.c_str(),
                                 fp_strText.c_str(), nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", fp_strTitle.c_str(), fp_strText.c_str());
}

// ---- Processor faults ----
//
// The faulting instruction cannot be resumed, so the handler jumps back to the start of the
// protected region with the fault's Windows exception code; the caller turns the code into an
// error record. Only the main thread runs protected code, so one jump buffer is enough.

namespace
{
sigjmp_buf g_JumpBuffer;
volatile sig_atomic_t g_iProtectedDepth = 0;
pthread_t g_ProtectedThread; // written before g_iProtectedDepth is set
volatile uint32_t g_uiFaultCode = 0;
uintptr_t g_uStackLow = 0;
uintptr_t g_uStackHigh = 0;

constexpr uint32_t kDatatypeMisalignment = 0x80000002;
constexpr uint32_t kBreakpoint = 0x80000003;
constexpr uint32_t kAccessViolation = 0xC0000005;
constexpr uint32_t kInPageError = 0xC0000006;
constexpr uint32_t kIllegalInstruction = 0xC000001D;
constexpr uint32_t kFltDivideByZero = 0xC000008E;
constexpr uint32_t kFltInexactResult = 0xC000008F;
constexpr uint32_t kFltInvalidOperation = 0xC0000090;
constexpr uint32_t kFltOverflow = 0xC0000091;
constexpr uint32_t kFltUnderflow = 0xC0000093;
constexpr uint32_t kIntDivideByZero = 0xC0000094;
constexpr uint32_t kIntOverflow = 0xC0000095;
constexpr uint32_t kPrivInstruction = 0xC0000096;
constexpr uint32_t kStackOverflow = 0xC00000FD;
// abort() and other fatal signals: a code the translator's table does not know.
constexpr uint32_t kFatalAppExit = 0x40000015;

uint32_t FaultCode(int fp_iSignal, const siginfo_t* fp_pInfo)
{
    switch (fp_iSignal)
    {
    case SIGSEGV:
    {
        const auto tmp_uAddr = reinterpret_cast<uintptr_t>(fp_pInfo->si_addr);
        // A fault just below or inside the stack's reserved range is the guard page.
        if (g_uStackHigh != 0 && tmp_uAddr + 65536 >= g_uStackLow && tmp_uAddr < g_uStackHigh)
            return kStackOverflow;
        return kAccessViolation;
    }
    case SIGBUS:
        return fp_pInfo->si_code == BUS_ADRALN ? kDatatypeMisalignment : kInPageError;
    case SIGILL:
        return (fp_pInfo->si_code == ILL_PRVOPC || fp_pInfo->si_code == ILL_PRVREG)
                   ? kPrivInstruction
                   : kIllegalInstruction;
    case SIGFPE:
        switch (fp_pInfo->si_code)
        {
        case FPE_INTDIV:
            return kIntDivideByZero;
        case FPE_INTOVF:
            return kIntOverflow;
        case FPE_FLTDIV:
            return kFltDivideByZero;
        case FPE_FLTOVF:
            return kFltOverflow;
        case FPE_FLTUND:
            return kFltUnderflow;
        case FPE_FLTRES:
            return kFltInexactResult;
        default:
            return kFltInvalidOperation;
        }
    case SIGTRAP:
        return kBreakpoint;
    default:
        return kFatalAppExit;
    }
}

void FaultHandler(int fp_iSignal, siginfo_t* fp_pInfo, void*)
{
    if (g_iProtectedDepth == 0 || !pthread_equal(pthread_self(), g_ProtectedThread))
    {
        // Not ours (or another thread's, such as the audio thread): die the default way.
        signal(fp_iSignal, SIG_DFL);
        raise(fp_iSignal);
        return;
    }
    g_uiFaultCode = FaultCode(fp_iSignal, fp_pInfo);
    siglongjmp(g_JumpBuffer, 1);
}

constexpr int kFaultSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};

void InstallFaultHandlers()
{
    static bool s_bInstalled = false;
    if (s_bInstalled)
        return;
    s_bInstalled = true;

    // The handler must run on its own stack, or a stack overflow could not be reported.
    static std::vector<char> s_AltStack(std::max<size_t>(SIGSTKSZ, 64 * 1024));
    stack_t tmp_Stack{};
    tmp_Stack.ss_sp = s_AltStack.data();
    tmp_Stack.ss_size = s_AltStack.size();
    sigaltstack(&tmp_Stack, nullptr);

    pthread_attr_t tmp_Attr;
    if (pthread_getattr_np(pthread_self(), &tmp_Attr) == 0)
    {
        void* tmp_pAddr = nullptr;
        size_t tmp_uSize = 0;
        if (pthread_attr_getstack(&tmp_Attr, &tmp_pAddr, &tmp_uSize) == 0)
        {
            g_uStackLow = reinterpret_cast<uintptr_t>(tmp_pAddr);
            g_uStackHigh = g_uStackLow + tmp_uSize;
        }
        pthread_attr_destroy(&tmp_Attr);
    }

    struct sigaction tmp_Action
    {
    };
    tmp_Action.sa_sigaction = FaultHandler;
    tmp_Action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    sigemptyset(&tmp_Action.sa_mask);
    for (int tmp_iSignal : kFaultSignals)
        sigaction(tmp_iSignal, &tmp_Action, nullptr);
}
} // namespace

uint32_t PlatRunProtected(void (*fp_pfnBody)(void*), void* fp_pData)
{
    InstallFaultHandlers();
    if (sigsetjmp(g_JumpBuffer, 1) != 0)
    {
        g_iProtectedDepth = 0;
        // A float trap stays armed after the fault; leave the floating-point state clean.
        std::feclearexcept(FE_ALL_EXCEPT);
        return g_uiFaultCode;
    }
    g_ProtectedThread = pthread_self();
    g_iProtectedDepth = 1;
    fp_pfnBody(fp_pData);
    g_iProtectedDepth = 0;
    return 0;
}

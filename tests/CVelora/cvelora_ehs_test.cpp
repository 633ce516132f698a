// Fatal-error reports: the three handler branches, processor faults translated in a child
// process, appended reports, and the single-instance guard.
#include "CVelora/cvelora.h"
#include "Platform/plat_sys.h"
#include "test_support.h"

#include <cfenv>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using FatalTest = TempDirTest;

const std::string kSep1 = "|---------------------------------------------------|\n";
const std::string kSep3 = "|:::::::::::::::::::::::::::::::::::::::::::::::::::|\n";
const std::string kClosing = "\n" + kSep1 + kSep1 + "--==: End of log.\n" + kSep1 + kSep1 + "\n";

// The game's entry routine of the child run; a global because VLAGameMain is a plain pointer.
std::function<void(CVelora*)> g_ChildGame;

// Runs the program entry in a child process (the lock and faults stay there); returns the
// child's exit status, -1 when it died from a signal.
int RunProgramInChild(std::function<void(CVelora*)> game)
{
    g_ChildGame = std::move(game);
    const pid_t pid = fork();
    if (pid == 0)
    {
        const int rc = VeloraProgramEntry([](CVelora* vla) { g_ChildGame(vla); });
        _exit(rc);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string EhsReport(const std::string& type, int code, const std::string& desc,
                      const std::string& file, int line, int cpFile, int cpLine)
{
    const PlatLocalTime t = PlatGetLocalTime();
    return "\n\n\nDate: " + std::to_string(t.day) + "." + std::to_string(t.month) + "." +
           std::to_string(t.year) + "\nTime: " + std::to_string(t.hour) + ":" +
           std::to_string(t.minute) + "\nException type: " + type +
           "\nException code: " + std::to_string(code) + "\nException desc: " + desc +
           "\nFile: " + file + "\nLine: " + std::to_string(line) +
           "\nLast checkpoint:\n   FileID: " + std::to_string(cpFile) +
           "\n   Line:   " + std::to_string(cpLine) + "\n";
}

void OnTermination()
{
    VLALogAddLine("termination callback");
}
} // namespace

TEST(CEHSException, TypeNames)
{
    const std::pair<int, const char*> rows[] = {{0, "Unknown."},
                                                {1, "General."},
                                                {2, "Game."},
                                                {3, "Win32."},
                                                {4, "Lua."},
                                                {5, "Lua glue function."},
                                                {6, "In-script."},
                                                {9, "Undefined type!"},
                                                {-1, "Undefined type!"}};
    for (const auto& [type, text] : rows)
        EXPECT_STREQ(CEHSException(type, 0, "", "", 0).GetTypeName(), text) << type;
}

namespace
{
[[noreturn]] void RaiseGuiError()
{
    ThrowGeneral("Cannot create GUI Manager object!");
}
constexpr int kRaiseLine = __LINE__ - 2; // the line of the raise above
} // namespace

TEST_F(FatalTest, EngineErrorIsReportedInBothFilesAndTheEngineShutsDown)
{
    const std::string file = __FILE__;
    const int line = kRaiseLine;
    const int rc = RunProgramInChild(
        [](CVelora* vla)
        {
            vla->RegisterCallback(OnTermination, VLACB_TERMINATION);
            SetCheckpoint(999, 42);
            RaiseGuiError();
        });
    ASSERT_EQ(rc, 0);

    EXPECT_EQ(ReadFile("ehslog.txt"),
              EhsReport("General.", 0, "Cannot create GUI Manager object!", file, line, 999, 42));
    const std::string expectedLog =
        kSep1 + "   +: Callback function for termination registered.\n" + kSep1 + "\n" + "\n\n" +
        kSep3 + " !!!: Fatal error!\n !!!: Error type: General.\n !!!: Error code: 0\n" +
        " !!!: Error desc: Cannot create GUI Manager object!\n !!!: Error location: \n" +
        " !!!:    File: " + file + "\n !!!:    Line: " + std::to_string(line) + "\n" +
        " !!!: Last called Lua function name: \n" + kSep3 + "\n\n" + "termination callback\n" +
        kClosing;
    EXPECT_EQ(ReadFile(kLogFileName), expectedLog);
}

TEST_F(FatalTest, TwoFatalRunsAppendTwoReports)
{
    for (int run = 0; run < 2; ++run)
        ASSERT_EQ(RunProgramInChild([](CVelora*) { ThrowGame("Invalid sound ID: 7"); }), 0);
    const std::string ehs = ReadFile("ehslog.txt");
    size_t reports = 0;
    for (size_t pos = ehs.find("\n\n\nDate: "); pos != std::string::npos;
         pos = ehs.find("\n\n\nDate: ", pos + 1))
        ++reports;
    EXPECT_EQ(reports, 2u);
    EXPECT_EQ(ehs.rfind("\n\n\nDate: ", 0), 0u);
    EXPECT_NE(
        ehs.find("Exception type: Game.\nException code: 0\nException desc: Invalid sound ID: 7\n"),
        std::string::npos);
}

TEST_F(FatalTest, PlainTextAndUnknownErrorsGoOnlyToTheLog)
{
    struct Row
    {
        std::function<void(CVelora*)> raise;
        std::string line;
    };
    const Row rows[] = {
        {[](CVelora*) { throw "Error in T2DSafeArray<T, tOutOfBoundsValue>::At"; },
         " !!!: Error in T2DSafeArray<T, tOutOfBoundsValue>::At\n"},
        {[](CVelora*) { throw 42; }, " !!!: EXCEPTION OF UNKNOWN TYPE!\n"},
        {[](CVelora*) { std::abort(); }, " !!!: EXCEPTION OF UNKNOWN TYPE!\n"},
    };
    for (const Row& row : rows)
    {
        ASSERT_EQ(RunProgramInChild(row.raise), 0);
        EXPECT_EQ(ReadFile(kLogFileName), row.line + kClosing);
        EXPECT_FALSE(FileExists("ehslog.txt"));
    }
}

namespace
{
volatile int g_iZero = 0;
volatile int g_iSeven = 7;
volatile double g_dZero = 0.0;
volatile double g_dSink = 0.0;
int g_iDepth = 0;

// Recurses until the stack runs out (the depth check only hides that from the compiler).
int Recurse(int n)
{
    volatile char pad[512];
    pad[0] = static_cast<char>(n);
    if (++g_iDepth < 0)
        return 0;
    return Recurse(n + 1) + pad[0];
}

void TouchTruncatedMapping()
{
    const int fd = open("mapped.bin", O_RDWR | O_CREAT | O_TRUNC, 0644);
    (void)!ftruncate(fd, 4096);
    auto* bytes = static_cast<volatile char*>(mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0));
    (void)!ftruncate(fd, 0);
    g_dSink = bytes[0];
}
} // namespace

TEST_F(FatalTest, ProcessorFaultsBecomeWin32Reports)
{
    struct Row
    {
        const char* name;
        void (*fault)();
        int code;
        const char* desc;
    };
    const Row rows[] = {
        {"access violation", [] { *static_cast<volatile int*>(nullptr) = 1; }, -1073741819,
         "Access violation."},
        {"integer divide", [] { g_dSink = g_iSeven / g_iZero; }, -1073741676,
         "Divide by zero (int)."},
        {"float divide",
         []
         {
             feenableexcept(FE_DIVBYZERO);
             g_dSink = 1.0 / g_dZero;
         },
         -1073741682, "Divide by zero (float)."},
        {"illegal instruction", [] { __builtin_trap(); }, -1073741795, "Illegal instruction."},
        {"bus error", TouchTruncatedMapping, -1073741818, "Page error."},
        {"stack overflow", [] { g_dSink = Recurse(0); }, -1073741571, "Stack overflow."},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        std::remove("ehslog.txt");
        std::remove(kLogFileName);
        auto fault = row.fault;
        ASSERT_EQ(RunProgramInChild(
                      [fault](CVelora*)
                      {
                          SetCheckpoint(1017, 77);
                          fault();
                      }),
                  0);
        EXPECT_EQ(ReadFile("ehslog.txt"), EhsReport("Win32.", row.code, row.desc, "", 0, 1017, 77));
        const std::string expectedLog =
            "\n\n" + kSep3 + " !!!: Fatal error!\n !!!: Error type: Win32.\n" +
            " !!!: Error code: " + std::to_string(row.code) + "\n" +
            " !!!: Error desc: " + row.desc + "\n" +
            " !!!: Error location: \n !!!:    FileID: 1017\n" +
            " !!!:    Line: 77\n !!!: Last called Lua function name: \n" + kSep3 + "\n\n" +
            kClosing;
        EXPECT_EQ(ReadFile(kLogFileName), expectedLog);
    }
}

TEST_F(FatalTest, ErrorBeforeTheEngineExistsIsStillReported)
{
    ReportFatalError([] { ThrowGeneral("Cannot create CVelora object!"); });
    const std::string log = ReadFile(kLogFileName);
    EXPECT_NE(log.find(" !!!: Error desc: Cannot create CVelora object!\n"), std::string::npos);
    EXPECT_EQ(log.find("End of log."), std::string::npos);
    EXPECT_EQ(GetEngine(), nullptr);
}

TEST_F(FatalTest, SecondInstanceExitsAtOnceAndLeavesTheLogAlone)
{
    // This process plays the first instance.
    ASSERT_TRUE(PlatAcquireSingleInstance("Velora2D App"));
    WriteFile(kLogFileName, "first instance\n");
    static bool s_bRan = false;
    EXPECT_EQ(VeloraProgramEntry([](CVelora*) { s_bRan = true; }), 0);
    EXPECT_FALSE(s_bRan);
    EXPECT_EQ(ReadFile(kLogFileName), "first instance\n");
}

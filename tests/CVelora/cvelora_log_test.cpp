// The log: exact markers, separators, header and closing block, and silent failure.
#include "CVelora/cvelora.h"
#include "Platform/plat_sys.h"
#include "test_support.h"

#include <regex>
#include <sys/stat.h>

namespace
{
using LogTest = TempDirTest;

std::string DateLine(const PlatLocalTime& t)
{
    return "--==: Execution date: " + std::to_string(t.day) + "." + std::to_string(t.month) + "." +
           std::to_string(t.year) + "\n";
}
std::string TimeLine(const PlatLocalTime& t)
{
    return "--==: Execution time: " + std::to_string(t.hour) + ":" + std::to_string(t.minute) +
           "\n";
}
} // namespace

TEST_F(LogTest, MarkersSeparatorsAndEmptyLines)
{
    for (int kind = 0; kind <= 6; ++kind)
        VLALogAddEntry("k" + std::to_string(kind), kind);
    for (int kind = 1; kind <= 4; ++kind)
        VLALogAddSeparator(kind);
    VLALogAddLine("FOCUS LOST");
    VLALogAddEmptyLines(2);
    VLALogAddEntry("two\nlines", 2);
    EXPECT_EQ(ReadFile(kLogFileName), "? k0\n"
                                      "   =: k1\n"
                                      "  -=: k2\n"
                                      "--==: k3\n"
                                      "   +: k4\n"
                                      " !: k5\n"
                                      " !!!: k6\n"
                                      "|---------------------------------------------------|\n"
                                      "|===================================================|\n"
                                      "|:::::::::::::::::::::::::::::::::::::::::::::::::::|\n"
                                      "|!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!|\n"
                                      "FOCUS LOST\n"
                                      "\n\n"
                                      "  -=: two\nlines\n");
}

TEST_F(LogTest, OutOfRangeKindsWriteNothing)
{
    VLALogAddEntry("x", 7);
    VLALogAddEntry("x", -1);
    VLALogAddSeparator(0);
    VLALogAddSeparator(5);
    VLALogAddEmptyLines(0);
    VLALogAddEmptyLines(-3);
    EXPECT_EQ(ReadFile(kLogFileName), "");
}

TEST_F(LogTest, HeaderAndClosingBlockOfARun)
{
    WriteFile(kLogFileName, "old run\n");
    const PlatLocalTime before = PlatGetLocalTime();
    auto* vla = new CVelora;
    EXPECT_FALSE(FileExists(kLogFileName)); // the constructor deletes the old log
    vla->SetAppName("Quibbet", "v. 1.0");
    const PlatLocalTime after = PlatGetLocalTime();
    delete vla;

    const std::string log = ReadFile(kLogFileName);
    const std::string sep = "|---------------------------------------------------|\n";
    const std::string head = "\n\n" + sep + "--==: Starting Quibbet v. 1.0\n" +
                             "--==: Powered by Velora2D Engine v.1.0\n";
    ASSERT_EQ(log.substr(0, head.size()), head);

    std::smatch built;
    const std::string rest = log.substr(head.size());
    ASSERT_TRUE(std::regex_search(rest, built,
                                  std::regex("^--==: Built: [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4}   "
                                             "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]\n")));
    const std::string tail = rest.substr(static_cast<size_t>(built.length(0)));
    const std::string closing = "\n" + sep + sep + "--==: End of log.\n" + sep + sep + "\n";
    EXPECT_TRUE(tail == "\n" + DateLine(before) + TimeLine(before) + sep + "\n\n" + closing ||
                tail == "\n" + DateLine(after) + TimeLine(after) + sep + "\n\n" + closing)
        << tail;
}

TEST_F(LogTest, UnwritableDirectoryIsSilentlySkipped)
{
    if (geteuid() == 0)
    {
        // Root writes anyway; make the log path a directory instead so opening it fails.
        ASSERT_EQ(mkdir(kLogFileName, 0755), 0);
    }
    else
    {
        ASSERT_EQ(chmod(m_strDir.c_str(), 0555), 0);
    }
    EXPECT_FALSE(VLAAppendToFile(kLogFileName, "x"));
    EXPECT_NO_THROW(VLALogAddEntry("lost", 1));
    EXPECT_NO_THROW(VLALogAddSeparator(1));
    chmod(m_strDir.c_str(), 0755);
}

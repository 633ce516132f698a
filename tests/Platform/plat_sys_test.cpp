// Operating-system services: file search order and the single-instance lock.
#include "Platform/plat_sys.h"
#include "test_support.h"

#include <sys/stat.h>

namespace
{
using PlatSysTest = TempDirTest;
}

TEST_F(PlatSysTest, FindFilesMatchesTheExtensionAndSortsByteWise)
{
    for (const char* name : {"b.xml", "a.XML", "Z.xml", "c.pak", "notxml", "_x.xml"})
        WriteFile(name, "");
    mkdir("dir.xml", 0755); // directories never match
    const std::vector<std::string> expected = {"Z.xml", "_x.xml", "a.XML", "b.xml"};
    EXPECT_EQ(PlatFindFiles(".", "*.xml"), expected);
    EXPECT_EQ(PlatFindFiles(".", "*.pak"), std::vector<std::string>{"c.pak"});
    EXPECT_TRUE(PlatFindFiles("missing-dir", "*.xml").empty());
}

TEST_F(PlatSysTest, SingleInstanceLockIsExclusive)
{
    EXPECT_TRUE(PlatAcquireSingleInstance("Velora2D Test"));
    EXPECT_FALSE(PlatAcquireSingleInstance("Velora2D Test"));
    EXPECT_TRUE(PlatAcquireSingleInstance("Velora2D Other"));
}

// Resource records: the constructor's checks in order, loading and unloading the bytes of a
// region, and regions or files that cannot be read.
#include "CVelora/cvelora_ehs.h"
#include "CVelora/cvelora_res_cres.h"
#include "test_support.h"

namespace
{
using ResRecordTest = TempDirTest;

template <typename F> std::string ErrorOf(F fp_Body)
{
    try
    {
        fp_Body();
    }
    catch (const CEHSException& e)
    {
        return std::to_string(e.m_iType) + ":" + e.m_strDesc;
    }
    return "(none)";
}
} // namespace

TEST(CVLAResource, ConstructorChecksInOrder)
{
    struct Row
    {
        const char* id;
        const char* type;
        const char* file;
        int size;
        const char* error;
    };
    const Row rows[] = {
        {"", "", "", 0, "1:Invalid resource ID!"},
        {"A", "", "", 0, "1:Invalid resource type ID!"},
        {"A", "TEXTURE", "", 0, "1:Invalid resource filename!"},
        {"A", "TEXTURE", "./DATA/a.png", 0,
         "1:Invalide resource name - check if resource file exist!"},
        {"A", "TEXTURE", "./DATA/a.png", -4,
         "1:Invalide resource name - check if resource file exist!"},
        {"A", "TEXTURE", "./DATA/a.png", 1, "(none)"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(
            ErrorOf([&] { CVLAResource(row.id, row.type, 1, row.file, 0, row.size, 0, 0, 0); }),
            row.error)
            << row.id << "/" << row.type << "/" << row.file << "/" << row.size;
}

TEST_F(ResRecordTest, KeepsItsValues)
{
    CVLAResource res("SND_A", "SOUND", 3, "./DATA/a.wav", 5, 7, -1, 2, 9);
    EXPECT_EQ(res.GetStrID(), "SND_A");
    EXPECT_EQ(res.GetTypeID(), "SOUND");
    EXPECT_EQ(res.GetTag(), 3);
    EXPECT_EQ(res.GetFilename(), "./DATA/a.wav");
    EXPECT_EQ(res.GetOffset(), 5);
    EXPECT_EQ(res.GetSize(), 7);
    EXPECT_EQ(res.GetData1(), -1);
    EXPECT_EQ(res.GetData2(), 2);
    EXPECT_EQ(res.GetData3(), 9);
    EXPECT_EQ(res.GetData(), nullptr);
    EXPECT_FALSE(res.IsLoaded());
}

TEST_F(ResRecordTest, LoadUnloadCycle)
{
    std::string pack(60, '\0');
    for (size_t i = 0; i < pack.size(); ++i)
        pack[i] = static_cast<char>(i);
    WriteFile("p.pak", pack);
    CVLAResource res("TEX_BG", "TEXTURE", 0, "p.pak", 43, 10, 0, 0, 0);

    res.DataLoad();
    ASSERT_NE(res.GetData(), nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(res.GetData()), 10), pack.substr(43, 10));
    EXPECT_EQ(ErrorOf([&] { res.DataLoad(); }), "1:Internal error in CVLAResource::DataLoad()!");
    EXPECT_TRUE(res.IsLoaded()); // unchanged by the failed step
    res.DataUnLoad();
    EXPECT_EQ(res.GetData(), nullptr);
    EXPECT_EQ(ErrorOf([&] { res.DataUnLoad(); }),
              "1:Internal error in CVLAResource::DataUnLoad()!");
    res.DataLoad(); // again after unloading
    EXPECT_EQ(res.GetData()[0], 43);
    // Destroyed while loaded: the buffer goes with it (the sanitizers would see a leak).
}

TEST_F(ResRecordTest, UnreadableFilesAndRegionsNameTheFile)
{
    WriteFile("small.bin", "0123456789");
    struct Row
    {
        const char* file;
        int offset;
        int size;
        const char* error;
    };
    const Row rows[] = {
        {"missing.bin", 0, 1, "1:Cannot open resource file! Filename = missing.bin"},
        {".", 0, 1, "1:Cannot open resource file! Filename = ."},
        {"small.bin", 5, 6, "1:Resource region lies outside its file! Filename = small.bin"},
        {"small.bin", 11, 1, "1:Resource region lies outside its file! Filename = small.bin"},
        {"small.bin", -1, 2, "1:Resource region lies outside its file! Filename = small.bin"},
        {"small.bin", 0x7FFFFFFF, 0x7FFFFFFF,
         "1:Resource region lies outside its file! Filename = small.bin"},
        {"small.bin", 5, 5, "(none)"},
    };
    for (const Row& row : rows)
    {
        CVLAResource res("A", "T", 0, row.file, row.offset, row.size, 0, 0, 0);
        EXPECT_EQ(ErrorOf([&] { res.DataLoad(); }), row.error) << row.file << " " << row.offset;
        EXPECT_EQ(res.IsLoaded(), std::string(row.error) == "(none)");
    }
}

// Shared test helpers (see test_support.h).
#include "test_support.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

void TempDirTest::SetUp()
{
    m_strOldDir = std::filesystem::current_path().string();
    std::string tmp_strTemplate =
        (std::filesystem::temp_directory_path() / "velora-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmp_strTemplate.data()), nullptr);
    m_strDir = tmp_strTemplate;
    std::filesystem::current_path(m_strDir);
    setenv("XDG_RUNTIME_DIR", m_strDir.c_str(), 1);
}

void TempDirTest::TearDown()
{
    std::filesystem::current_path(m_strOldDir);
    std::error_code tmp_Ec;
    std::filesystem::remove_all(m_strDir, tmp_Ec);
}

std::string ReadFile(const std::string& fp_strPath)
{
    std::ifstream tmp_File(fp_strPath, std::ios::binary);
    std::ostringstream tmp_Out;
    tmp_Out << tmp_File.rdbuf();
    return tmp_Out.str();
}

void WriteFile(const std::string& fp_strPath, const std::string& fp_strBytes)
{
    std::ofstream tmp_File(fp_strPath, std::ios::binary | std::ios::trunc);
    tmp_File << fp_strBytes;
}

bool FileExists(const std::string& fp_strPath)
{
    return std::filesystem::exists(fp_strPath);
}

std::string TestDataPath(const std::string& fp_strName)
{
    return std::string(VELORA_TEST_DATA_DIR) + "/" + fp_strName;
}

// Shared test helpers: a fixture that runs each test in a fresh temporary working directory
// (the engine writes gamelog.txt, ehslog.txt and screenshots there), and small file helpers.
#pragma once

#include <gtest/gtest.h>

#include <string>

// Creates a temporary directory, makes it the working directory and points XDG_RUNTIME_DIR at
// it (so the single-instance lock of one test never blocks another); restores both after.
class TempDirTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::string m_strDir;
    std::string m_strOldDir;
};

std::string ReadFile(const std::string& fp_strPath);
void WriteFile(const std::string& fp_strPath, const std::string& fp_strBytes);
bool FileExists(const std::string& fp_strPath);
// Path of a fixture under tests/data.
std::string TestDataPath(const std::string& fp_strName);

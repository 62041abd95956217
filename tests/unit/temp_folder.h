// A fresh folder for each test under the system's temporary folder, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* unit = ::testing::UnitTest::GetInstance();
        folder_ = std::filesystem::temp_directory_path() /
                  ("veltrane-" + std::to_string(unit->random_seed()) + "-" +
                   unit->current_test_info()->test_suite_name() + "-" +
                   unit->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static std::string ReadAll(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }

    std::filesystem::path folder_;
};

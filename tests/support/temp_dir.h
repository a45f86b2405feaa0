#pragma once

#include <gtest/gtest.h>

#include <filesystem>

namespace vorelia::test {

// A folder fresh and private to the running test, removed when the fixture ends.
class TempDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dir = std::filesystem::path(::testing::TempDir()) / "vorelia" / info->test_suite_name() /
            info->name();
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(m_dir, ignored);
  }

  std::filesystem::path m_dir;
};

}  // namespace vorelia::test

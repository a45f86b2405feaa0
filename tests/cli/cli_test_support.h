#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vorelia::cli {

// What one run of vorelia-cli left behind: its exit code (-1 when it could not be started, 128
// when it did not exit normally) and everything it wrote to stdout and stderr.
struct CliOutcome {
  int code = -1;
  std::string out;
  std::string err;
};

// The whole file as bytes; empty when it cannot be read.
std::string FileText(const std::filesystem::path& path);

// Runs vorelia-cli as a process on a databases folder private to the running test.
class CliTest : public test::TempDirTest {
 protected:
  void SetUp() override;

  // Runs `vorelia-cli --dados <m_dados> args...` and waits for it to end.
  CliOutcome Cli(std::vector<std::string> args);

  std::filesystem::path m_dados;  // created empty by SetUp
};

}  // namespace vorelia::cli

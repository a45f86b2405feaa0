#include "cli_test_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>

extern char** environ;

namespace vorelia::cli {

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void CliTest::SetUp() {
  TempDirTest::SetUp();
  m_dados = m_dir / "dados";
  std::filesystem::create_directories(m_dados);
}

CliOutcome CliTest::Cli(std::vector<std::string> args) {
  args.insert(args.begin(),
              {std::string(VORELIA_BIN_DIR) + "/vorelia-cli", "--dados", m_dados.string()});
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string outPath = (m_dir / "stdout").string();
  const std::string errPath = (m_dir / "stderr").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  pid_t pid = 0;
  CliOutcome outcome;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
  }
  posix_spawn_file_actions_destroy(&actions);
  outcome.out = FileText(outPath);
  outcome.err = FileText(errPath);
  return outcome;
}

}  // namespace vorelia::cli

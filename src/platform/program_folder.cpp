#include "platform/program_folder.h"

#include <system_error>

namespace vorelia::platform {

std::filesystem::path ProgramFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path();
  return exe.parent_path();
}

std::string ProgramFolderText() {
  std::string text = ProgramFolder().string();
  if (text.empty() || text.back() != '/') text.push_back('/');
  return text;
}

}  // namespace vorelia::platform

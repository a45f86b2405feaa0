#pragma once

#include <filesystem>
#include <string>

namespace vorelia::platform {

// The folder of the running executable (from /proc/self/exe), where every file of the program
// is found, whatever the working directory.
std::filesystem::path ProgramFolder();

// The same with a trailing path separator, as the program composes its file names.
std::string ProgramFolderText();

}  // namespace vorelia::platform

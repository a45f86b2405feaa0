#pragma once

#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

namespace vorelia::cli {

// What a verb receives: the databases folder, its own arguments (after the verb), and the
// streams. A verb returns the process exit code: 0 done, 1 a finding (check), 2 an error.
struct Context {
  std::filesystem::path dados;
  std::vector<std::string> args;
  std::ostream& out;
  std::ostream& err;
};

using Verb = int (*)(Context&);

// Each verb file registers its verbs with a static VerbRegistrar; main dispatches by name and
// prints the usage lines in registration order of the names below.
struct VerbRegistrar {
  VerbRegistrar(const char* name, const char* usage, Verb verb);
};

// Thrown by verbs for wrong arguments; main prints the message and the usage, exit 2.
struct UsageError {
  std::string message;
};

}  // namespace vorelia::cli

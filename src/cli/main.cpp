#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <string>
#include <unistd.h>

#include "cli/cli.h"
#include "platform/program_folder.h"

namespace vorelia::cli {
namespace {

struct Entry {
  const char* usage;
  Verb verb;
};

std::map<std::string, Entry>& Verbs() {
  static std::map<std::string, Entry> verbs;
  return verbs;
}

void PrintUsage(std::ostream& out) {
  out << "usage: vorelia-cli [--dados DIR] COMMAND ...\n"
         "  --dados DIR      folder of the databases (default: the dados folder beside the "
         "executable)\n\n";
  for (const auto& [name, entry] : Verbs()) out << "  " << entry.usage << "\n";
  out << "  --help, --version\n";
}

}  // namespace

VerbRegistrar::VerbRegistrar(const char* name, const char* usage, Verb verb) {
  Verbs()[name] = Entry{usage, verb};
}

}  // namespace vorelia::cli

int main(int argc, char** argv) {
  using namespace vorelia::cli;
  std::filesystem::path dados = vorelia::platform::ProgramFolder() / "dados";
  int i = 1;
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      PrintUsage(std::cout);
      return 0;
    }
    if (arg == "--version") {
      std::cout << "vorelia-cli 1.0a\n";
      return 0;
    }
    if (arg == "--dados") {
      if (i + 1 >= argc) {
        std::cerr << "vorelia-cli: --dados needs a folder\n";
        return 2;
      }
      dados = argv[++i];
      continue;
    }
    break;
  }
  if (i >= argc) {
    PrintUsage(std::cerr);
    return 2;
  }
  std::string verb = argv[i++];
  auto it = Verbs().find(verb);
  if (it == Verbs().end()) {
    std::cerr << "vorelia-cli: unknown command '" << verb << "'\n";
    PrintUsage(std::cerr);
    return 2;
  }
  Context context{dados, {argv + i, argv + argc}, std::cout, std::cerr};
  try {
    return it->second.verb(context);
  } catch (const UsageError& e) {
    std::cerr << "vorelia-cli: " << e.message << "\n  " << it->second.usage << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 2;
  }
}

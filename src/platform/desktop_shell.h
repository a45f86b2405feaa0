#pragma once

#include <string>

namespace vorelia::platform {

// One request to the desktop shell: open a document or an address with the default program for
// it. An empty action is the default action; "open" is the usual explicit one. Texts are UTF-8.
struct TShellRequest {
  std::string action;
  std::string target;  // a file path, or an address such as "mailto:..." or "http://..."
  std::string parameters;
  std::string directory;
};

// Hands documents and addresses to the desktop. It never blocks and reports nothing: a missing
// document or viewer simply has no visible effect.
class IDesktopShell {
 public:
  virtual ~IDesktopShell() = default;
  virtual void Execute(const TShellRequest& request) = 0;
};

}  // namespace vorelia::platform

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/qt/desktop_services.h"

namespace vorelia::exporter {

// What the export asks of a save-file dialog. Texts are UTF-8; `Filter` pairs a description and
// a pattern with "|" ("Excel Files (*.xls)|*.XLS"). The dialog never asks before overwriting.
struct TSaveDialogRequest {
  std::string Title;
  std::string Filter;
  std::string DefaultExt;  // without the dot
  std::string InitialDir;
};

// The save-file dialog; tests install a double so that no test waits on a person.
class ISaveDialog {
 public:
  virtual ~ISaveDialog() = default;
  // The chosen path (UTF-8), or nothing when the dialog was cancelled.
  virtual std::optional<std::string> Execute(const TSaveDialogRequest& request) = 0;
};

// The installed override, or the real dialog over Qt.
ISaveDialog& SaveDialogService();
ISaveDialog* SetSaveDialogService(ISaveDialog* service);
using ScopedSaveDialog = platform::TScopedService<ISaveDialog, &SetSaveDialogService>;

// Answers with a scripted path (or a cancel) and records the requests.
class TSaveDialogDouble : public ISaveDialog {
 public:
  std::optional<std::string> Execute(const TSaveDialogRequest& request) override {
    requests.push_back(request);
    return answer;
  }

  std::optional<std::string> answer;
  std::vector<TSaveDialogRequest> requests;
};

}  // namespace vorelia::exporter

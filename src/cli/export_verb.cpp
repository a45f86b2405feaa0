// The export verb of vorelia-cli: the search grid of a records window written by the export
// component that window owns, so the bytes are those of the program's export command.

#include <QApplication>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>

#include "cli/cli.h"
#include "cli/gui_verbs.h"
#include "cli/tables_verbs.h"
#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "export/mx_db_grid_export.h"
#include "platform/code_page.h"
#include "records/cadastro.h"

namespace vorelia::cli {
namespace {

using exporter::TmxExportType;

struct Format {
  const char* name;
  TmxExportType type;
};

constexpr Format kFormats[] = {{"html", TmxExportType::xtHTML}, {"xls", TmxExportType::xtExcel},
                               {"doc", TmxExportType::xtWord},  {"txt", TmxExportType::xtTXT},
                               {"csv", TmxExportType::xtCSV},   {"tab", TmxExportType::xtTAB},
                               {"rtf", TmxExportType::xtRTF},   {"dif", TmxExportType::xtDIF},
                               {"slk", TmxExportType::xtSYLK}};

const char* ErrorText(exporter::TmxExportError error) {
  switch (error) {
    case exporter::TmxExportError::xeInvalidFileName:
      return "Invalid file name.";
    case exporter::TmxExportError::xeFileExist:
      return "The file exists.";
    case exporter::TmxExportError::xeComponentIsNull:
      return "The table is not open.";
    case exporter::TmxExportError::xeGeneralExportError:
      return "The export failed.";
    case exporter::TmxExportError::xeUserCancelled:
      return "The export was cancelled.";
  }
  return "The export failed.";
}

// Ends the walk whatever happens in between, so the dataset gets its controls back.
class WalkScope {
 public:
  explicit WalkScope(exporter::TmxCustomExport& source) : m_source(source) {
    m_source.BeginExport();
  }
  ~WalkScope() { m_source.EndExport(); }
  WalkScope(const WalkScope&) = delete;
  WalkScope& operator=(const WalkScope&) = delete;

 private:
  exporter::TmxCustomExport& m_source;
};

int ExportVerb(Context& ctx) {
  if (ctx.args.empty()) throw UsageError{"missing arguments"};
  std::string format;
  std::string output;
  std::vector<std::string> rest;
  for (size_t i = 1; i < ctx.args.size(); ++i) {
    const std::string& arg = ctx.args[i];
    if (arg == "--format" && i + 1 < ctx.args.size()) {
      format = ctx.args[++i];
    } else if (arg == "-o" && i + 1 < ctx.args.size()) {
      output = ctx.args[++i];
    } else if (arg == "--deleted") {
      throw UsageError{"unknown option --deleted"};
    } else {
      rest.push_back(arg);
    }
  }
  const Format* chosen = nullptr;
  for (const Format& candidate : kFormats) {
    if (format == candidate.name) chosen = &candidate;
  }
  if (chosen == nullptr)
    throw UsageError{"--format takes html, xls, doc, txt, csv, tab, rtf, dif or slk"};
  if (output.empty()) throw UsageError{"-o FILE is required"};
  const TableView view = ParseTableView(rest, 0);

  const std::unique_ptr<QApplication> application = OffscreenApplication();
  records::TCadastro window(nullptr);
  databases::OpenAgencyTable(window.Tabela(), ctx.dados, platform::Utf8ToAnsi(ctx.args[0]));
  ApplyTableView(window.Tabela(), view);

  exporter::TmxDBGridExport& component = window.ExpRelatorio();
  component.SetExportType(chosen->type);
  // Nobody watches a progress window here; it changes nothing in the document.
  component.Options.Exclude(exporter::TmxExportOption::xoShowProgress);
  std::optional<exporter::TmxExportError> failure;
  component.OnError = [&failure](exporter::TmxCustomExport&, exporter::TmxExportError error) {
    failure = error;
  };
  if (!component.CanExport())
    throw std::runtime_error(ErrorText(exporter::TmxExportError::xeComponentIsNull));
  {
    WalkScope walk(component);
    component.WriteDocument(output);
  }
  if (failure) {
    const std::string message = component.LastErrorMessage();
    ctx.err << (message.empty() ? ErrorText(*failure) : message) << "\n";
    return 2;
  }
  return 0;
}

int GuardedExport(Context& ctx) { return RunWithAnsiErrors(ctx, &ExportVerb); }

const VerbRegistrar kExport("export",
                            "export NAME --format html|xls|doc|txt|csv|tab|rtf|dif|slk -o FILE "
                            "[--order natural|asc|desc] [--filter FIELD=TEXT]",
                            &GuardedExport);

}  // namespace
}  // namespace vorelia::cli

#pragma once

#include <QObject>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "export/writers/column_model.h"
#include "export/writers/export_formats.h"
#include "export/writers/export_options.h"

namespace vorelia::exporter {

class Tfrm_ProgressForm;
class Tfrm_Selection;

using TmxExportTypeSet = TmxSet<TmxExportType>;

// The export component: everything but the source of the rows. It asks for a format and for
// view or file, walks the rows through the row-source operations of a derived class, has them
// written by the format's writer and saves, opens or copies the document. Failures never leave
// it as exceptions: they reach OnError with a code, and without a handler the export just ends.
class TmxCustomExport : public QObject {
  Q_OBJECT

 public:
  explicit TmxCustomExport(QObject* owner = nullptr);
  ~TmxCustomExport() override;

  // ---- settings ----
  std::vector<std::string> Captions;
  std::vector<std::string> ColumnWidths;
  std::string DateFormat;
  std::string TimeFormat;
  std::string DateTimeFormat;
  std::string FileName;  // UTF-8
  TmxHTMLOptions HTML;
  TmxMessagesOptions Messages;
  std::string TempDir;  // UTF-8, with a trailing separator
  std::string TruncateSymbol = "...";
  TmxRTFOptions DOC_RTF;
  TmxExcelOptions EXCEL;
  TmxExportOptionSet Options = DefaultExportOptions();
  TmxExportStyle ExportStyle = TmxExportStyle::xsView;

  TmxExportType ExportType() const { return m_exportType; }
  // Also adds the type to ExportTypes.
  void SetExportType(TmxExportType type);
  TmxExportTypeSet ExportTypes() const { return m_exportTypes; }
  // The current ExportType always stays among them.
  void SetExportTypes(TmxExportTypeSet types);
  const std::string& RowNumberFormat() const { return m_rowNumberFormat; }
  // Refuses a text without "%d" with an error box; the old value stays.
  void SetRowNumberFormat(const std::string& format);
  std::string Version() const { return "2.37"; }
  void SetVersion(const std::string&) {}

  // ---- events ----
  std::function<void(TmxCustomExport&)> OnBeginExport;
  std::function<void(TmxCustomExport&)> OnEndExport;
  std::function<void(TmxCustomExport&, std::string& extension)> OnGetExtension;
  std::function<void(TmxCustomExport&, TmxExportError error)> OnError;
  std::function<void(TmxCustomExport&, int current, int total, const TmxValues& values,
                     bool& canExport)>
      OnExport;
  std::function<void(TmxCustomExport&, int recordCount, std::string& header)> OnGetHeader;
  std::function<void(TmxCustomExport&, int recordCount, std::string& footer)> OnGetFooter;
  std::function<void(TmxCustomExport&, const std::string& outputFileName, bool& canOverWrite)>
      OnFileExist;

  // ---- run-time state ----
  int RowsWalked() const { return m_rowsWalked; }
  int RowsWritten() const { return m_rowsWritten; }
  int TotalRows() const { return m_totalRows; }
  // The name of the last document written (view mode: the temporary name).
  const std::string& LastDocument() const { return m_lastDocument; }
  // The message of the failure behind the last xeGeneralExportError.
  std::string LastErrorMessage() const;

  // ---- operations ----
  // The interactive export: format window, save dialog when needed, then RunExport.
  void ChooseAndExport();
  // Exports with the current type, style and file name, without the format window.
  void RunExport();
  // Walks the rows and writes the document of the current type to `name` (UTF-8), or to the
  // clipboard. Runs between BeginExport and EndExport.
  void WriteDocument(const std::string& name);

  // The settings the column model and the writers read.
  TmxExportSettings Settings() const;
  // The export date text "08/12/2026 14:05:09" for now, in the system's formats; tests set it.
  std::function<std::string()> DateTimeText;

  Tfrm_Selection& Selection() const { return *m_selection; }
  Tfrm_ProgressForm& Progress() const { return *m_progress; }

  // ---- row source ----
  virtual void BeginExport() = 0;
  virtual void EndExport() = 0;
  virtual void GotoFirstRow() = 0;
  virtual int ColumnAlignment(int k) const = 0;
  virtual bool CanExport() const = 0;
  virtual bool AtEnd() const = 0;
  virtual bool IsColumnVisible(int k) const = 0;
  virtual bool IsRowSelected() const = 0;
  int ColumnWidth(int k) const;
  std::string ColumnTitle(int k) const;
  virtual int ColumnCount() const = 0;
  virtual void ReadRow(TmxValues& values) = 0;
  virtual int CountRows() = 0;

 protected:
  // What the source knows of field column k: names, title caption, type, size, visibility and
  // alignment.
  virtual TmxGridColumn DescribeColumn(int k) const = 0;
  std::vector<TmxGridColumn> DescribeColumns() const;
  void RaiseError(TmxExportError error);

 private:
  // From the overwrite question to the delivered document; false when there was nothing to
  // write and the end event is not raised.
  bool WriteRows(const std::string& name, Tfrm_ProgressForm* progress);
  void Deliver(const std::string& name, const std::string& document);

  TmxExportType m_exportType = TmxExportType::xtExcel;
  TmxExportTypeSet m_exportTypes;
  std::string m_rowNumberFormat = "%d";
  int m_rowsWalked = 0;
  int m_rowsWritten = 0;
  int m_totalRows = 0;
  std::string m_lastDocument;
  std::exception_ptr m_lastError;
  std::unique_ptr<Tfrm_Selection> m_selection;
  std::unique_ptr<Tfrm_ProgressForm> m_progress;
};

// The system's short date format, one space and its long time format, as Qt patterns, and the
// date line's text for a moment in them.
std::string SystemExportDateTimeText();

}  // namespace vorelia::exporter

#include "export/mx_custom_export.h"

#include <QDateTime>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <exception>
#include <filesystem>

#include "export/frm_progress_form.h"
#include "export/frm_selection.h"
#include "export/save_dialog.h"
#include "export/writers/date_time_text.h"
#include "export/writers/document_file.h"
#include "export/writers/export_document.h"
#include "platform/code_page.h"
#include "platform/message_box.h"
#include "platform/program_folder.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/ansi_text.h"

namespace vorelia::exporter {
namespace {

// The system's locale; an unset or C locale means Brazilian Portuguese.
QLocale SystemLocale() {
  const QLocale system = QLocale::system();
  return system.language() == QLocale::C ? QLocale(QLocale::Portuguese, QLocale::Brazil) : system;
}

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

std::string SystemTempDir() {
  std::error_code error;
  std::string dir = std::filesystem::temp_directory_path(error).string();
  if (error || dir.empty()) dir = "/tmp";
  if (dir.back() != '/') dir += '/';
  return dir;
}

bool Exists(const std::string& name) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::path(name), error);
}

// Restores the row source whatever happens between the two calls.
class ExportScope {
 public:
  explicit ExportScope(TmxCustomExport& source) : m_source(source) { m_source.BeginExport(); }
  ~ExportScope() { m_source.EndExport(); }
  ExportScope(const ExportScope&) = delete;
  ExportScope& operator=(const ExportScope&) = delete;

 private:
  TmxCustomExport& m_source;
};

// Closes the progress window on every way out of a document.
class ProgressScope {
 public:
  explicit ProgressScope(Tfrm_ProgressForm* form) : m_form(form) {}
  ~ProgressScope() {
    if (m_form != nullptr) m_form->hide();
  }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  Tfrm_ProgressForm* m_form;
};

}  // namespace

std::string SystemExportDateTimeText() {
  const QLocale locale = SystemLocale();
  // Qt's long time format ends in a time-zone name that the system's formats never show.
  QString timeFormat = locale.timeFormat(QLocale::LongFormat);
  timeFormat.remove(QLatin1Char('t'));
  const QDateTime now = QDateTime::currentDateTime();
  TmxDateTime when{now.date().year(),   now.date().month(),  now.date().day(), now.time().hour(),
                   now.time().minute(), now.time().second(), now.time().msec()};
  return ExportDateTimeText(when, Utf8(locale.dateFormat(QLocale::ShortFormat)),
                            Utf8(timeFormat.trimmed()));
}

TmxCustomExport::TmxCustomExport(QObject* owner)
    : QObject(owner),
      TempDir(SystemTempDir()),
      m_exportTypes{TmxExportType::xtHTML,     TmxExportType::xtExcel, TmxExportType::xtWord,
                    TmxExportType::xtTXT,      TmxExportType::xtCSV,   TmxExportType::xtTAB,
                    TmxExportType::xtRTF,      TmxExportType::xtDIF,   TmxExportType::xtSYLK,
                    TmxExportType::xtClipboard},
      m_selection(std::make_unique<Tfrm_Selection>()),
      m_progress(std::make_unique<Tfrm_ProgressForm>()) {
  const QLocale locale = SystemLocale();
  DateFormat = Utf8(locale.dateFormat(QLocale::ShortFormat));
  TimeFormat = Utf8(locale.timeFormat(QLocale::ShortFormat));
  DateTimeFormat = TimeFormat + " " + DateFormat;
  DateTimeText = [] { return SystemExportDateTimeText(); };
  m_selection->OnTypeChosen = [this](TmxExportType type) { SetExportType(type); };
  m_selection->OnStyleChosen = [this](TmxExportStyle style) { ExportStyle = style; };
}

TmxCustomExport::~TmxCustomExport() = default;

void TmxCustomExport::SetExportType(TmxExportType type) {
  m_exportType = type;
  m_exportTypes.Include(type);
}

void TmxCustomExport::SetExportTypes(TmxExportTypeSet types) {
  m_exportTypes = types;
  m_exportTypes.Include(m_exportType);
}

void TmxCustomExport::SetRowNumberFormat(const std::string& format) {
  if (format.find("%d") == std::string::npos) {
    platform::TMessageRequest request;
    request.caption = platform::kMessageCaption;
    request.text = "The format has to contain %d string.";
    request.icon = platform::TMessageIcon::Error;
    platform::MessageBoxService().Show(request);
    return;
  }
  m_rowNumberFormat = format;
}

TmxExportSettings TmxCustomExport::Settings() const {
  TmxExportSettings settings;
  settings.Captions = Captions;
  settings.ColumnWidths = ColumnWidths;
  settings.DateFormat = DateFormat;
  settings.TimeFormat = TimeFormat;
  settings.DateTimeFormat = DateTimeFormat;
  settings.TrueText = Messages.TrueText;
  settings.FalseText = Messages.FalseText;
  settings.TruncateSymbol = TruncateSymbol;
  settings.RowNumberFormat = m_rowNumberFormat;
  settings.Options = Options;
  settings.HTML = HTML;
  settings.DOC_RTF = DOC_RTF;
  settings.EXCEL = EXCEL;
  settings.DocumentTitle = Utf8(QString::fromLatin1(metaObject()->className()).toUpper());
  const size_t colon = settings.DocumentTitle.rfind(':');
  if (colon != std::string::npos) settings.DocumentTitle.erase(0, colon + 1);
  return settings;
}

std::vector<TmxGridColumn> TmxCustomExport::DescribeColumns() const {
  std::vector<TmxGridColumn> columns;
  const int count = ColumnCount();
  columns.reserve(static_cast<size_t>(std::max(0, count)));
  for (int k = 0; k < count; ++k) columns.push_back(DescribeColumn(k));
  return columns;
}

int TmxCustomExport::ColumnWidth(int k) const {
  if (k < 0 || k >= ColumnCount()) return 0;
  return TmxColumnModel(DescribeColumns(), Settings()).ColumnWidth(k);
}

std::string TmxCustomExport::ColumnTitle(int k) const {
  if (k < 0 || k >= ColumnCount()) return {};
  return TmxColumnModel(DescribeColumns(), Settings()).ColumnTitle(k);
}

void TmxCustomExport::RaiseError(TmxExportError error) {
  if (OnError) OnError(*this, error);
}

void TmxCustomExport::ChooseAndExport() {
  Tfrm_Selection& window = *m_selection;
  window.setWindowTitle(platform::FromAnsi(Messages.Caption));
  window.btn_Selection()->setText(platform::FromAnsi(Messages.ExportCaption));
  window.btn_Cancel()->setText(platform::FromAnsi(Messages.CancelCaption));
  window.GroupBox()->setTitle(platform::FromAnsi(" " + Messages.SelectFormat + " "));
  m_exportTypes.Include(m_exportType);
  window.FillFormats(m_exportTypes, m_exportType);
  window.rdo_View()->setText(platform::FromAnsi(Messages.ViewOnly));
  window.rdo_File()->setText(platform::FromAnsi(Messages.ExportToFile));
  window.rdo_View()->setChecked(ExportStyle == TmxExportStyle::xsView);
  window.rdo_File()->setChecked(ExportStyle == TmxExportStyle::xsFile);
  window.SelectionComboChange();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    window.move(screen->availableGeometry().center() - window.rect().center());
  }
  if (window.exec() != QDialog::Accepted) return;

  if (FileName.empty() && ExportStyle == TmxExportStyle::xsFile &&
      m_exportType != TmxExportType::xtClipboard) {
    const std::string extension =
        DefaultExtension(m_exportType, HTML.Extension == TmxHTMLExtension::exHTML);
    TSaveDialogRequest request;
    request.Title = platform::AnsiToUtf8(Messages.SaveTitle);
    request.Filter = platform::AnsiToUtf8(
        SaveFilter(FilterDescription(m_exportType, Messages.DocumentFilter), extension));
    request.DefaultExt = extension;
    request.InitialDir = platform::ProgramFolderText();
    const std::optional<std::string> chosen = SaveDialogService().Execute(request);
    if (!chosen) {
      RaiseError(TmxExportError::xeUserCancelled);
      return;
    }
    FileName = *chosen;
  }
  RunExport();
}

void TmxCustomExport::RunExport() {
  if (!CanExport()) {
    RaiseError(TmxExportError::xeComponentIsNull);
    return;
  }
  ExportScope scope(*this);
  if (m_exportType == TmxExportType::xtClipboard) {
    WriteDocument({});
    return;
  }
  if (FileName.empty() && ExportStyle == TmxExportStyle::xsFile) {
    RaiseError(TmxExportError::xeInvalidFileName);
    return;
  }
  std::string extension =
      DefaultExtension(m_exportType, HTML.Extension == TmxHTMLExtension::exHTML);
  if (OnGetExtension) OnGetExtension(*this, extension);
  const std::string name = ExportStyle == TmxExportStyle::xsView
                               ? ViewFileName(TempDir, extension, Exists)
                               : TargetFileName(FileName, extension);
  WriteDocument(name);
  if (ExportStyle == TmxExportStyle::xsView && Exists(name)) {
    platform::TShellRequest request;
    request.action = "open";
    request.target = name;
    request.directory = std::filesystem::path(name).parent_path().string();
    platform::ShellService().Execute(request);
  }
}

void TmxCustomExport::WriteDocument(const std::string& name) {
  m_lastError = nullptr;
  if (OnBeginExport) OnBeginExport(*this);
  m_totalRows = CountRows();
  Tfrm_ProgressForm* progress = nullptr;
  if (Options.Has(TmxExportOption::xoShowProgress)) {
    progress = m_progress.get();
    progress->Start(platform::FromAnsi(Messages.Caption), platform::FromAnsi(Messages.Text),
                    Messages.Width, Messages.Height, m_totalRows);
  }
  bool ended = true;
  {
    ProgressScope closing(progress);
    try {
      ended = WriteRows(name, progress);
    } catch (...) {
      m_lastError = std::current_exception();
      RaiseError(TmxExportError::xeGeneralExportError);
    }
  }
  if (ended && OnEndExport) OnEndExport(*this);
}

bool TmxCustomExport::WriteRows(const std::string& name, Tfrm_ProgressForm* progress) {
  if (!name.empty() && Exists(name)) {
    bool canOverWrite = true;
    if (OnFileExist) OnFileExist(*this, name, canOverWrite);
    if (!canOverWrite) {
      RaiseError(TmxExportError::xeFileExist);
      return true;
    }
  }
  m_rowsWalked = 0;
  m_rowsWritten = 0;
  GotoFirstRow();
  // A source without columns has nothing to write; the export ends without its end event.
  if (ColumnCount() == 0) return false;

  const TmxColumnModel model(DescribeColumns(), Settings());
  std::unique_ptr<TmxExportWriter> writer = CreateExportWriter(m_exportType, model);
  TmxDocumentInfo info;
  info.TotalRows = m_totalRows;
  if (OnGetHeader) OnGetHeader(*this, m_totalRows, info.Header);
  // The writers take the footer and the date line together with the header.
  if (OnGetFooter) OnGetFooter(*this, m_totalRows, info.Footer);
  info.DateLine = ExportDateLine(Messages.CreatedText, DateTimeText ? DateTimeText() : "");
  writer->BeginDocument(info);

  const bool selectedOnly = Options.Has(TmxExportOption::xoSelectedRowsOnly);
  TmxValues values;
  while (!AtEnd()) {
    ReadRow(values);
    bool write = !selectedOnly || IsRowSelected();
    if (OnExport) OnExport(*this, m_rowsWalked, m_totalRows, values, write);
    if (progress != nullptr) progress->SetPosition(m_rowsWalked);
    if (write) {
      writer->WriteRow(values, m_rowsWalked);
      ++m_rowsWritten;
    }
    ++m_rowsWalked;
  }
  writer->EndDocument();
  Deliver(name, writer->Document());
  return true;
}

void TmxCustomExport::Deliver(const std::string& name, const std::string& document) {
  if (m_exportType == TmxExportType::xtClipboard) {
    platform::ClipboardService().SetText(platform::AnsiToUtf8(document));
    if (Options.Has(TmxExportOption::xoClipboardMessage)) {
      platform::TMessageRequest request;
      request.caption = "Information";
      request.text = platform::AnsiToUtf8(Messages.CopiedToClipboard);
      request.icon = platform::TMessageIcon::Information;
      platform::MessageBoxService().Show(request);
    }
    return;
  }
  SaveDocument(std::filesystem::path(name), document);
  m_lastDocument = name;
}

std::string TmxCustomExport::LastErrorMessage() const {
  if (!m_lastError) return {};
  try {
    std::rethrow_exception(m_lastError);
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "Export failed";
  }
}

}  // namespace vorelia::exporter

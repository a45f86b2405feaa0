#include "export/save_dialog.h"

#include <QApplication>
#include <QFileDialog>

namespace vorelia::exporter {
namespace {

class TQtSaveDialog : public ISaveDialog {
 public:
  std::optional<std::string> Execute(const TSaveDialogRequest& request) override {
    const QString filter = QString::fromUtf8(request.Filter);
    const int bar = filter.indexOf(QLatin1Char('|'));
    // Qt reads the pattern from the parentheses; the part after the bar names the same files.
    const QString nameFilter = bar < 0 ? filter : filter.left(bar);
    QFileDialog dialog(QApplication::activeWindow(), QString::fromUtf8(request.Title),
                       QString::fromUtf8(request.InitialDir), nameFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromUtf8(request.DefaultExt));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toUtf8().toStdString();
  }
};

ISaveDialog* g_override = nullptr;

}  // namespace

ISaveDialog& SaveDialogService() {
  static TQtSaveDialog real;
  return g_override != nullptr ? *g_override : real;
}

ISaveDialog* SetSaveDialogService(ISaveDialog* service) {
  ISaveDialog* previous = g_override;
  g_override = service;
  return previous;
}

}  // namespace vorelia::exporter

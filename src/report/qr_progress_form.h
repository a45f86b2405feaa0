#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class TQRProgressForm;
}

namespace vorelia::report {

class TQRPrinter;

// Shows how far a print run has gone and lets the user stop it. Cancel stops the record loop
// before the next record; the pages composed so far are still printed.
class TQRProgressForm : public QDialog {
  Q_OBJECT

 public:
  // Becomes the printer's client: progress notifications are posted to this window.
  explicit TQRProgressForm(TQRPrinter& printer, QWidget* parent = nullptr);
  ~TQRProgressForm() override;

  int GaugePosition() const;
  QString InfoText() const;
  // Handles one progress notification.
  void ProgressChanged(int percent);
  void CancelButtonClick();

 private:
  std::unique_ptr<Ui::TQRProgressForm> m_ui;
  TQRPrinter& m_printer;
};

}  // namespace vorelia::report

#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class QAction;
class QLabel;
class QStatusBar;
class QToolBar;

namespace vorelia::report {

class TQRPreview;
class TQRPrinter;

// The preview window: a toolbar with zoom, page, printing, save and load commands, the page
// view and a status bar with the composition progress and the page text.
class TQRStandardPreview : public QDialog {
  Q_OBJECT

 public:
  TQRStandardPreview(TQRPrinter& printer, QWidget* parent = nullptr);
  ~TQRStandardPreview() override;

  // Asks for a file name: save or open, with the dialog's title and filter. Tests replace it.
  using TFileNameChooser =
      std::function<std::optional<QString>(bool save, const QString& title, const QString& filter)>;
  static void SetFileNameChooser(TFileNameChooser chooser);

  TQRPreview& QRPreview() { return *m_view; }
  // Makes this window the standard preview of every report printer.
  static void Install();
  QString PageText() const;
  QString ProgressText() const;
  QAction* Action(const char* name) const;

  void ZoomToFitClick();
  void ZoomTo100Click();
  void ZoomToWidthClick();
  void FirstPageClick();
  void PrevPageClick();
  void NextPageClick();
  void LastPageClick();
  void PrintSetupClick();
  void PrintClick();
  void SaveClick();
  void LoadClick();
  void ExitClick();
  void QRPreviewPageAvailable(int pageNumber);
  void QRPreviewProgressUpdate(int progress);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // The window sees its keys before the view scrolls with them.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* AddButton(const char* name, const QString& hint, int image,
                     void (TQRStandardPreview::*click)());
  void UpdateInfo();

  TQRPrinter& m_printer;
  QToolBar* m_toolBar;
  TQRPreview* m_view;
  QStatusBar* m_statusBar;
  QLabel* m_progressPanel;
  QLabel* m_pagePanel;
  int m_lastProgress = 0;
  bool m_closed = false;
  bool m_shown = false;
};

}  // namespace vorelia::report

#include "report/qr_standard_preview.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/message_box.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/guard.h"
#include "report/core/qr_printer.h"
#include "report/qr_preview.h"
#include "report/qr_preview_image.h"

namespace vorelia::report {

namespace {

TQRStandardPreview::TFileNameChooser& FileNameChooser() {
  static TQRStandardPreview::TFileNameChooser chooser;
  return chooser;
}

std::optional<QString> AskFileName(bool save, const QString& title, const QString& filter) {
  if (FileNameChooser()) return FileNameChooser()(save, title, filter);
  QFileDialog dialog(nullptr, title, QString(), filter);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (save) {
    dialog.setDefaultSuffix("QRP");
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first();
}

// The toolbar's images: standard icons of the style, one per button.
QIcon ButtonImage(const QStyle& style, int image) {
  static constexpr QStyle::StandardPixmap kImages[] = {QStyle::SP_TitleBarMaxButton,
                                                       QStyle::SP_DesktopIcon,
                                                       QStyle::SP_ToolBarHorizontalExtensionButton,
                                                       QStyle::SP_MediaSkipBackward,
                                                       QStyle::SP_MediaSeekBackward,
                                                       QStyle::SP_MediaSeekForward,
                                                       QStyle::SP_MediaSkipForward,
                                                       QStyle::SP_FileDialogDetailedView,
                                                       QStyle::SP_DialogApplyButton,
                                                       QStyle::SP_DialogOpenButton,
                                                       QStyle::SP_DialogSaveButton};
  return style.standardIcon(kImages[image]);
}

}  // namespace

void TQRStandardPreview::SetFileNameChooser(TFileNameChooser chooser) {
  FileNameChooser() = std::move(chooser);
}

TQRStandardPreview::TQRStandardPreview(TQRPrinter& printer, QWidget* parent)
    : QDialog(parent, Qt::Window), m_printer(printer) {
  setObjectName("TQRStandardPreview");
  resize(652, 579);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  m_toolBar = new QToolBar(this);
  m_toolBar->setObjectName("ToolBar1");
  m_toolBar->setIconSize(QSize(16, 16));
  layout->addWidget(m_toolBar);

  auto* zoomGroup = new QActionGroup(this);
  m_toolBar->addSeparator();
  for (QAction* action :
       {AddButton("ZoomFit", "Zoom to fit", 0, &TQRStandardPreview::ZoomToFitClick),
        AddButton("Zoom100", "100%", 1, &TQRStandardPreview::ZoomTo100Click),
        AddButton("ZoomToWidth", "Zoom to width", 2, &TQRStandardPreview::ZoomToWidthClick)}) {
    action->setCheckable(true);
    zoomGroup->addAction(action);
  }
  m_toolBar->addSeparator();
  AddButton("FirstPage", "First page", 3, &TQRStandardPreview::FirstPageClick);
  AddButton("PreviousPage", "Previous page", 4, &TQRStandardPreview::PrevPageClick);
  AddButton("ToolButton2", "Next page", 5, &TQRStandardPreview::NextPageClick);
  AddButton("LastPage", "Last page", 6, &TQRStandardPreview::LastPageClick);
  m_toolBar->addSeparator();
  AddButton("PrintSetup", "Printer setup", 7, &TQRStandardPreview::PrintSetupClick)
      ->setEnabled(false);
  AddButton("Print", "Print", 8, &TQRStandardPreview::PrintClick)->setEnabled(false);
  m_toolBar->addSeparator();
  AddButton("SaveReport", "Save Report", 10, &TQRStandardPreview::SaveClick);
  AddButton("LoadReport", "Load Report", 9, &TQRStandardPreview::LoadClick);
  m_toolBar->addSeparator();
  QAction* exit = m_toolBar->addAction("&Close");
  exit->setObjectName("ExitButton");
  // A text button of its own size among the image buttons.
  if (QWidget* button = m_toolBar->widgetForAction(exit)) {
    button->setObjectName("ExitButton");
    button->setFixedSize(40, 22);
  }
  connect(exit, &QAction::triggered, this, [this] { platform::Guarded([this] { ExitClick(); }); });

  m_view = new TQRPreview(this);
  m_view->setObjectName("QRPreview");
  layout->addWidget(m_view, 1);
  m_statusBar = new QStatusBar(this);
  m_statusBar->setObjectName("StatusBar");
  m_statusBar->setSizeGripEnabled(false);
  m_progressPanel = new QLabel("0%", m_statusBar);
  m_progressPanel->setMinimumWidth(40);
  m_progressPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_pagePanel = new QLabel("Page", m_statusBar);
  m_pagePanel->setMinimumWidth(50);
  m_statusBar->addWidget(m_progressPanel);
  m_statusBar->addWidget(m_pagePanel, 1);
  layout->addWidget(m_statusBar);

  connect(m_view, &TQRPreview::OnPageAvailable, this,
          [this](int page) { platform::Guarded([&] { QRPreviewPageAvailable(page); }); });
  connect(m_view, &TQRPreview::OnProgressUpdate, this,
          [this](int progress) { platform::Guarded([&] { QRPreviewProgressUpdate(progress); }); });

  m_view->installEventFilter(this);
  m_view->viewport()->installEventFilter(this);
  m_view->SetQRPrinter(&printer);
  setWindowTitle(printer.Title().empty() ? QString("Print Preview")
                                         : QString::fromStdString(printer.Title()));
  Action("ZoomToWidth")->setChecked(true);
  // A document finished before the window opened gets both buttons now, as a page arriving
  // after the end would give them; printer setup stays off for loaded pages.
  const bool done = printer.Status() == TQRPrinterStatus::StateDone;
  Action("Print")->setEnabled(done);
  Action("PrintSetup")->setEnabled(done && !printer.PagesLoaded());
  setWindowState(windowState() | Qt::WindowMaximized);
}

TQRStandardPreview::~TQRStandardPreview() = default;

QAction* TQRStandardPreview::AddButton(const char* name, const QString& hint, int image,
                                       void (TQRStandardPreview::*click)()) {
  QAction* action = m_toolBar->addAction(ButtonImage(*style(), image), hint);
  action->setObjectName(name);
  action->setToolTip(hint);
  connect(action, &QAction::triggered, this,
          [this, click] { platform::Guarded([&] { (this->*click)(); }); });
  return action;
}

QAction* TQRStandardPreview::Action(const char* name) const {
  return m_toolBar->findChild<QAction*>(name);
}

QString TQRStandardPreview::PageText() const { return m_pagePanel->text(); }
QString TQRStandardPreview::ProgressText() const { return m_progressPanel->text(); }

void TQRStandardPreview::UpdateInfo() {
  m_pagePanel->setText(QString("Page") + " " + QString::number(m_view->PageNumber()) + " " + "of" +
                       " " + QString::number(m_printer.PageCount()));
}

void TQRStandardPreview::ZoomToFitClick() {
  QCoreApplication::processEvents();
  m_view->ZoomToFit();
}

void TQRStandardPreview::ZoomTo100Click() {
  QCoreApplication::processEvents();
  m_view->SetZoom(100);
}

void TQRStandardPreview::ZoomToWidthClick() {
  QCoreApplication::processEvents();
  m_view->ZoomToWidth();
}

void TQRStandardPreview::FirstPageClick() {
  m_view->SetPageNumber(1);
  UpdateInfo();
}

void TQRStandardPreview::PrevPageClick() {
  m_view->SetPageNumber(m_view->PageNumber() - 1);
  UpdateInfo();
}

void TQRStandardPreview::NextPageClick() {
  m_view->SetPageNumber(m_view->PageNumber() + 1);
  UpdateInfo();
}

void TQRStandardPreview::LastPageClick() {
  m_view->SetPageNumber(m_printer.PageCount());
  UpdateInfo();
}

void TQRStandardPreview::PrintSetupClick() {
  if (m_printer.OnSetupRequest) m_printer.OnSetupRequest();
}

void TQRStandardPreview::PrintClick() { m_printer.Print(); }

void TQRStandardPreview::SaveClick() {
  const auto name = AskFileName(true, "Save report", "Ravel file(*.QRP)");
  if (name) m_printer.Save(name->toStdString());
}

void TQRStandardPreview::LoadClick() {
  const auto name = AskFileName(false, "Load report", "Ravel file (*.QRP)");
  if (!name) return;
  if (!QFileInfo::exists(*name)) {
    platform::MessageBoxService().Show({platform::kMessageCaption, "File does not exist"});
    return;
  }
  m_printer.Load(name->toStdString());
  m_view->PreviewImage().SetPageNumber(1);
  m_view->SetQRPrinter(&m_printer);
  UpdateInfo();
  Action("PrintSetup")->setEnabled(false);
  Action("Print")->setEnabled(true);
}

void TQRStandardPreview::ExitClick() { close(); }

void TQRStandardPreview::QRPreviewPageAvailable(int /*pageNumber*/) {
  UpdateInfo();
  if (m_printer.Status() == TQRPrinterStatus::StateDone) {
    Action("PrintSetup")->setEnabled(true);
    Action("Print")->setEnabled(true);
  }
}

void TQRStandardPreview::QRPreviewProgressUpdate(int progress) {
  if (progress >= m_lastProgress + 5) {
    m_progressPanel->setText(QString::number(progress) + "%");
    m_lastProgress = progress;
  }
  if (progress == 0 || progress == 100) m_progressPanel->setText(QString());
}

void TQRStandardPreview::keyPressEvent(QKeyEvent* event) {
  platform::Guarded([&] {
    const bool ctrlAlone = event->modifiers() == Qt::ControlModifier;
    switch (event->key()) {
      case Qt::Key_Escape:
        close();
        break;
      case Qt::Key_PageUp:
        ctrlAlone ? FirstPageClick() : PrevPageClick();
        break;
      case Qt::Key_PageDown:
        ctrlAlone ? LastPageClick() : NextPageClick();
        break;
      case Qt::Key_Home:
        FirstPageClick();
        break;
      case Qt::Key_End:
        LastPageClick();
        break;
      default:
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
  });
}

bool TQRStandardPreview::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home ||
        key == Qt::Key_End || key == Qt::Key_Escape) {
      keyPressEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TQRStandardPreview::Install() {
  TQRPrinter::SetStandardPreview([](TQRPrinter& printer, bool modal) {
    if (modal) {
      TQRStandardPreview window(printer);
      window.exec();
      return;
    }
    auto* window = new TQRStandardPreview(printer);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
  });
}

void TQRStandardPreview::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::Guarded([this] {
    // The width button is pressed from the start; a page that was finished before the window
    // opened is shown at that zoom too.
    if (!m_shown && m_view->PreviewImage().ImageOK()) m_view->ZoomToWidth();
    m_shown = true;
    UpdateInfo();
  });
}

void TQRStandardPreview::closeEvent(QCloseEvent* event) {
  platform::Guarded([this] {
    if (m_closed) return;
    m_closed = true;
    m_view->SetQRPrinter(nullptr);
    m_printer.EndPreview();
  });
  QDialog::closeEvent(event);
}

}  // namespace vorelia::report

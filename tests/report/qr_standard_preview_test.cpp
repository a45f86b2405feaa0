#include "report/qr_standard_preview.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>
#include <QToolBar>
#include <filesystem>

#include "platform/qt/desktop_services.h"
#include "platform/service_doubles.h"
#include "report/agency_report_layout.h"
#include "report/core/qr_printer.h"
#include "report/qr_custom_report.h"
#include "report/qr_preview.h"
#include "report/qr_preview_image.h"
#include "report_test_support.h"

namespace vorelia::report {
namespace {

TQRStandardPreview* FindPreview() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* preview = qobject_cast<TQRStandardPreview*>(widget);
        preview && preview->isVisible()) {
      return preview;
    }
  }
  return nullptr;
}

// Lets the event loop run until the condition holds (or ten seconds pass).
template <typename Condition>
bool WaitFor(Condition condition) {
  QElapsedTimer timer;
  timer.start();
  while (!condition() && timer.elapsed() < 10000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return condition();
}

void Press(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers);
  QApplication::sendEvent(&window, &event);
}

class StandardPreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_report = CreateAgencyReport();
    m_agencies = test::MakeAgencies(20);
    m_agencies->Open();
    BindAgencyReport(*m_report, m_agencies.get());
  }

  // Runs Preview and hands the open window to body once the composition has ended.
  template <typename Body>
  void PreviewFinished(Body body) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      TQRStandardPreview* window = FindPreview();
      ASSERT_NE(window, nullptr);
      TQRPrinter& printer = *window->QRPreview().QRPrinter();
      EXPECT_TRUE(WaitFor([&] {
        return printer.Status() == TQRPrinterStatus::StateDone &&
               window->Action("Print")->isEnabled();
      }));
      body(*window, printer);
      ran = true;
      window->close();
    });
    m_report->Preview();
    EXPECT_TRUE(ran);
  }

  std::unique_ptr<TQRReport> m_report;
  std::unique_ptr<vorelia::test::TMemoryDataSet> m_agencies;
};

TEST_F(StandardPreviewTest, ShowsThePagesAsTheWorkerComposesThemAndReleasesThePrinter) {
  PreviewFinished([](TQRStandardPreview& window, TQRPrinter&) {
    EXPECT_EQ(window.windowTitle(), "Print Preview");
    EXPECT_TRUE(window.QRPreview().PreviewImage().ImageOK());
    EXPECT_EQ(window.QRPreview().ZoomState(), TQRZoomState::ZoomModeWidth);
    EXPECT_EQ(window.PageText(), "Page 1 of 3");
    EXPECT_TRUE(window.Action("PrintSetup")->isEnabled());
  });
  EXPECT_EQ(m_report->QRPrinter(), nullptr);
  EXPECT_TRUE(m_report->Available());
  EXPECT_TRUE(m_agencies->Eof());
}

TEST_F(StandardPreviewTest, ToolbarHoldsItsButtonsInOrderWithTheirHints) {
  PreviewFinished([](TQRStandardPreview& window, TQRPrinter&) {
    auto* toolBar = window.findChild<QToolBar*>("ToolBar1");
    ASSERT_NE(toolBar, nullptr);
    QStringList layout;
    for (QAction* action : toolBar->actions()) {
      layout << (action->isSeparator() ? QString("|")
                                       : action->objectName() + ":" + action->toolTip());
    }
    EXPECT_EQ(layout.join(" ").toStdString(),
              "| ZoomFit:Zoom to fit Zoom100:100% ZoomToWidth:Zoom to width | "
              "FirstPage:First page PreviousPage:Previous page ToolButton2:Next page "
              "LastPage:Last page | PrintSetup:Printer setup Print:Print | "
              "SaveReport:Save Report LoadReport:Load Report | ExitButton:Close");
    QAction* exit = window.Action("ExitButton");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->text(), "&Close");
    QWidget* exitButton = toolBar->widgetForAction(exit);
    ASSERT_NE(exitButton, nullptr);
    EXPECT_EQ(exitButton->size(), QSize(40, 22));
  });
}

TEST_F(StandardPreviewTest, PageKeysAndButtonsStayWithinTheDocument) {
  PreviewFinished([](TQRStandardPreview& window, TQRPrinter&) {
    Press(window, Qt::Key_PageUp);
    EXPECT_EQ(window.PageText(), "Page 1 of 3");
    window.NextPageClick();
    EXPECT_EQ(window.PageText(), "Page 2 of 3");
    Press(window, Qt::Key_End);
    EXPECT_EQ(window.PageText(), "Page 3 of 3");
    window.NextPageClick();
    EXPECT_EQ(window.PageText(), "Page 3 of 3");
    // Only Ctrl alone jumps to the first page.
    Press(window, Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window.PageText(), "Page 2 of 3");
    Press(window, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(window.PageText(), "Page 3 of 3");
    Press(window, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(window.PageText(), "Page 1 of 3");
    Press(window, Qt::Key_PageDown);
    EXPECT_EQ(window.PageText(), "Page 2 of 3");
  });
}

TEST_F(StandardPreviewTest, ZoomAcceptsTwoToTwoThousandPercent) {
  PreviewFinished([](TQRStandardPreview& window, TQRPrinter& printer) {
    TQRPreview& view = window.QRPreview();
    view.SetZoom(100);
    // A4 at 96 dpi: 2100 x 96 / 254 = 794 pixels, plus the 4-pixel shadow and outline.
    EXPECT_EQ(view.PreviewImage().width(), 798);
    EXPECT_EQ(view.PreviewImage().height(), 1127);
    for (int ignored : {1, 2001}) {
      view.SetZoom(ignored);
      EXPECT_EQ(view.Zoom(), 100);
    }
    view.SetZoom(2);
    EXPECT_EQ(view.Zoom(), 2);
    view.SetZoom(2000);
    EXPECT_EQ(view.Zoom(), 2000);
    EXPECT_EQ(view.ZoomState(), TQRZoomState::ZoomModeOther);
    (void)printer;
  });
}

TEST_F(StandardPreviewTest, ProgressPanelMovesInStepsOfFiveAndClearsAtTheEnd) {
  TQRPrinter printer;
  TQRStandardPreview window(printer);
  EXPECT_EQ(window.ProgressText(), "0%");
  window.QRPreviewProgressUpdate(3);
  EXPECT_EQ(window.ProgressText(), "0%");
  window.QRPreviewProgressUpdate(5);
  EXPECT_EQ(window.ProgressText(), "5%");
  window.QRPreviewProgressUpdate(9);
  EXPECT_EQ(window.ProgressText(), "5%");
  window.QRPreviewProgressUpdate(100);
  EXPECT_EQ(window.ProgressText(), "");
}

TEST_F(StandardPreviewTest, LoadingAMissingFileKeepsTheDocument) {
  platform::TMessageBoxDouble messages;
  platform::ScopedMessageBox scope(messages);
  TQRStandardPreview::SetFileNameChooser([](bool, const QString&, const QString&) {
    return std::optional<QString>("/nonexistent/report.QRP");
  });
  PreviewFinished([&](TQRStandardPreview& window, TQRPrinter& printer) {
    window.LoadClick();
    EXPECT_EQ(printer.PageCount(), 3);
    EXPECT_EQ(window.PageText(), "Page 1 of 3");
  });
  TQRStandardPreview::SetFileNameChooser(nullptr);
  ASSERT_EQ(messages.asked.size(), 1u);
  EXPECT_EQ(messages.asked[0].text, "File does not exist");
}

TEST_F(StandardPreviewTest, SavedReportLoadsBackIntoTheWindow) {
  const auto path = std::filesystem::path(::testing::TempDir()) / "preview_saved.QRP";
  std::filesystem::remove(path);
  TQRStandardPreview::SetFileNameChooser(
      [&](bool, const QString&, const QString&) { return std::optional<QString>(path.c_str()); });
  PreviewFinished([&](TQRStandardPreview& window, TQRPrinter&) {
    window.SaveClick();
    ASSERT_TRUE(std::filesystem::exists(path));
    window.LastPageClick();
    window.LoadClick();
    EXPECT_EQ(window.PageText(), "Page 1 of 3");
    EXPECT_FALSE(window.Action("PrintSetup")->isEnabled());
    EXPECT_TRUE(window.Action("Print")->isEnabled());
    EXPECT_TRUE(window.QRPreview().PreviewImage().ImageOK());
  });
  TQRStandardPreview::SetFileNameChooser(nullptr);
  std::filesystem::remove(path);
}

TEST_F(StandardPreviewTest, ClosingWhileComposingCancelsTheRun) {
  m_agencies = test::MakeAgencies(1000);
  m_agencies->Open();
  BindAgencyReport(*m_report, m_agencies.get());
  QTimer::singleShot(0, [] {
    if (TQRStandardPreview* window = FindPreview()) window->close();
  });
  m_report->Preview();
  EXPECT_TRUE(m_report->Available());
  EXPECT_EQ(m_report->QRPrinter(), nullptr);
  // The report accepts the next run.
  m_report->Compose();
  EXPECT_EQ(m_report->QRPrinter()->PageCount(), 143);
}

}  // namespace
}  // namespace vorelia::report

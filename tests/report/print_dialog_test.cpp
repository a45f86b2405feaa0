#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "report/agency_report_layout.h"
#include "report/application_printer.h"
#include "report/qr_custom_report.h"
#include "report/qr_print_dialog.h"
#include "report/qt_platform_printer.h"
#include "report/system_printing.h"
#include "report_test_support.h"

namespace vorelia::report {
namespace {

// Answers the next print dialog with answer once it shows. Whatever still holds a modal loop
// after two seconds is rejected, so no test waits on a dialog for ever.
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<void(QPrintDialog&)> answer) : m_answer(std::move(answer)) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start(10);
  }

  bool Answered() const { return m_answered; }
  QRect Geometry() const { return m_geometry; }
  Qt::WindowModality Modality() const { return m_modality; }

 private:
  void Poll() {
    if (++m_ticks > 200) {
      if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
      return;
    }
    if (m_answered) return;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QPrintDialog*>(widget);
      if (!dialog || !dialog->isVisible()) continue;
      m_answered = true;
      // VORELIA_SCREENS=<folder> keeps a picture of the dialog as the user sees it.
      if (const QString folder = qEnvironmentVariable("VORELIA_SCREENS"); !folder.isEmpty())
        dialog->grab().save(folder + "/print_dialog.png");
      m_geometry = dialog->geometry();
      m_modality = dialog->windowModality();
      m_answer(*dialog);
      return;
    }
  }

  std::function<void(QPrintDialog&)> m_answer;
  QTimer m_timer;
  int m_ticks = 0;
  bool m_answered = false;
  QRect m_geometry;
  Qt::WindowModality m_modality = Qt::NonModal;
};

template <typename Widget>
Widget* Find(QPrintDialog& dialog, const char* name) {
  auto* widget = dialog.findChild<Widget*>(name);
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

class PrintDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QPrinter& printer = ApplicationPrinter();
    printer.setCopyCount(1);
    printer.setPageOrientation(QPageLayout::Portrait);
  }
};

TEST_F(PrintDialogTest, CancelChangesNothing) {
  TQRPrintDialogSettings settings;
  settings.MinPage = 1;
  settings.MaxPage = 3;
  settings.FromPage = 1;
  settings.ToPage = 3;
  settings.Copies = 2;
  settings.Orientation = TQROrientation::poLandscape;
  const TQRPrintDialogSettings before = settings;
  const QString printerName = ApplicationPrinter().printerName();

  DialogAnswer answer([](QPrintDialog& dialog) {
    Find<QSpinBox>(dialog, "copies")->setValue(5);
    dialog.reject();
  });
  EXPECT_FALSE(RunPrinterSetupDialog(settings));
  EXPECT_TRUE(answer.Answered());
  EXPECT_EQ(settings.Copies, before.Copies);
  EXPECT_EQ(settings.PrinterIndex, before.PrinterIndex);
  EXPECT_EQ(settings.PrintRange, before.PrintRange);
  EXPECT_EQ(settings.FromPage, before.FromPage);
  EXPECT_EQ(ApplicationPrinter().copyCount(), 1);
  EXPECT_EQ(ApplicationPrinter().printerName(), printerName);
}

TEST_F(PrintDialogTest, ConfirmedChoicesComeBackAndStayWithTheApplicationPrinter) {
  TQRPrintDialogSettings settings;
  settings.MinPage = 1;
  settings.MaxPage = 3;
  settings.FromPage = 1;
  settings.ToPage = 3;
  settings.Copies = 1;
  int offeredFrom = 0;
  int offeredTo = 0;
  DialogAnswer answer([&](QPrintDialog& dialog) {
    offeredFrom = Find<QSpinBox>(dialog, "from")->minimum();
    offeredTo = Find<QSpinBox>(dialog, "to")->maximum();
    Find<QSpinBox>(dialog, "copies")->setValue(3);
    Find<QRadioButton>(dialog, "printRange")->setChecked(true);
    Find<QSpinBox>(dialog, "from")->setValue(2);
    Find<QSpinBox>(dialog, "to")->setValue(3);
    dialog.accept();
  });
  ASSERT_TRUE(RunPrinterSetupDialog(settings));
  EXPECT_EQ(offeredFrom, 1);
  EXPECT_EQ(offeredTo, 3);
  EXPECT_EQ(settings.Copies, 3);
  EXPECT_EQ(settings.PrintRange, TQRPrintRange::prPageNums);
  EXPECT_EQ(settings.FromPage, 2);
  EXPECT_EQ(settings.ToPage, 3);
  EXPECT_EQ(settings.PrinterIndex, ApplicationPrinterIndex());
  EXPECT_EQ(settings.Orientation, TQROrientation::poPortrait);
  EXPECT_EQ(ApplicationPrinter().copyCount(), 3);

  // Modal for the whole program, centred across the work area a third of the way down.
  EXPECT_EQ(answer.Modality(), Qt::ApplicationModal);
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect placed = answer.Geometry();
  EXPECT_NEAR(placed.left() - area.left(), (area.width() - placed.width()) / 2, 2);
  EXPECT_NEAR(placed.top() - area.top(), (area.height() - placed.height()) / 3, 2);
}

TEST_F(PrintDialogTest, PublishedPropertiesAndEvents) {
  TQRPrintDialog dialog;
  EXPECT_FALSE(dialog.Collate);
  EXPECT_EQ(dialog.Copies, 0);
  EXPECT_EQ(dialog.MinPage, 0);
  EXPECT_EQ(dialog.MaxPage, 0);
  EXPECT_TRUE(dialog.Ctl3D);
  std::vector<std::string> events;
  dialog.OnShow = [&] { events.push_back("show"); };
  dialog.OnClose = [&] { events.push_back("close"); };
  dialog.Collate = true;
  dialog.Options.poPageNums = true;
  dialog.MinPage = 1;
  dialog.MaxPage = 9;
  dialog.FromPage = 4;
  dialog.ToPage = 6;
  dialog.PrintRange = TQRPrintRange::prPageNums;
  bool collateShown = false;
  int fromShown = 0;
  DialogAnswer answer([&](QPrintDialog& shown) {
    EXPECT_TRUE(shown.testOption(QAbstractPrintDialog::PrintPageRange));
    EXPECT_FALSE(shown.testOption(QAbstractPrintDialog::PrintSelection));
    EXPECT_FALSE(shown.testOption(QAbstractPrintDialog::PrintToFile));
    collateShown = Find<QCheckBox>(shown, "collate")->isChecked();
    fromShown = Find<QSpinBox>(shown, "from")->value();
    shown.accept();
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_TRUE(collateShown);
  EXPECT_EQ(fromShown, 4);
  EXPECT_TRUE(dialog.Collate);
  EXPECT_EQ(dialog.PrintRange, TQRPrintRange::prPageNums);
  EXPECT_EQ(dialog.FromPage, 4);
  EXPECT_EQ(dialog.ToPage, 6);
  EXPECT_EQ(dialog.Copies, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"show", "close"}));
}

TEST_F(PrintDialogTest, AFileChosenInTheDialogIsWhereTheNextReportPrints) {
  const std::filesystem::path file =
      std::filesystem::path(::testing::TempDir()) / "print_dialog_agencies.pdf";
  std::filesystem::remove(file);
  TQRPrintDialog dialog;
  dialog.Options.poPrintToFile = true;
  DialogAnswer answer([&](QPrintDialog& shown) {
    auto* printers = Find<QComboBox>(shown, "printers");
    printers->setCurrentIndex(printers->findText("Print to File (PDF)"));
    Find<QLineEdit>(shown, "filename")->setText(QString::fromStdString(file.string()));
    shown.accept();
  });
  ASSERT_TRUE(dialog.Execute());
  EXPECT_TRUE(dialog.PrintToFile);
  EXPECT_EQ(ApplicationOutputFile().toStdString(), file.string());

  auto report = CreateAgencyReport();
  auto agencies = test::MakeAgencies(20);
  agencies->Open();
  BindAgencyReport(*report, agencies.get());
  report->ShowProgress = false;
  InstallSystemPrinting();
  report->Print();
  TQRCustomReport::SetPrinterDeviceFactory(nullptr);
  TQRCustomReport::SetPrintDialogRunner(nullptr);
  ApplicationPrinter().setOutputFileName(QString());
  ApplicationPrinter().setOutputFormat(QPrinter::NativeFormat);

  std::ifstream written(file, std::ios::binary);
  std::string start(5, '\0');
  written.read(start.data(), 5);
  EXPECT_EQ(start, "%PDF-");
  written.close();
  std::filesystem::remove(file);
}

TEST(QtPlatformPrinterTest, PaperCodesMapToQtPageSizes) {
  EXPECT_EQ(PaperCodeOf(QPageSize::Letter), 1);
  EXPECT_EQ(PaperCodeOf(QPageSize::A4), 9);
  EXPECT_EQ(PaperCodeOf(QPageSize::Tabloid), 3);  // also 11 × 17, the first code wins
  EXPECT_EQ(PaperCodeOf(QPageSize::AnsiE), 26);
  EXPECT_EQ(PaperCodeOf(QPageSize::Custom), 256);
  EXPECT_EQ(PaperCodeOf(QPageSize::A6), 0);
  for (int code = 1; code <= 26; ++code) {
    TDeviceSettings settings;
    settings.PaperCode = code;
    const QPageSize size = PageSizeOfCode(settings);
    ASSERT_TRUE(size.isValid()) << code;
    const int back = PaperCodeOf(size.id());
    EXPECT_TRUE(back == code || (code == 17 && back == 3)) << code;
  }
  TDeviceSettings custom;
  custom.PaperCode = 256;
  custom.PaperWidth = 1200;
  custom.PaperLength = 1905;
  EXPECT_EQ(PageSizeOfCode(custom).size(QPageSize::Millimeter), QSizeF(120, 190.5));
  custom.PaperWidth = 0;
  EXPECT_FALSE(PageSizeOfCode(custom).isValid());
}

}  // namespace
}  // namespace vorelia::report

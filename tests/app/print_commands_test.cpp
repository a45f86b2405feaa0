#include "app/print_commands.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include "commands_fixture.h"
#include "data/field.h"
#include "dbf/dbf_dataset.h"
#include "records/cadastro.h"
#include "records/relatorio.h"
#include "report/core/qr_printer.h"
#include "report/qr_custom_report.h"
#include "report/qr_preview.h"
#include "report/qr_standard_preview.h"

namespace vorelia::app {
namespace {

using records::TCadastro;
using records::TRelatorio;

report::TQRStandardPreview* OpenPreview() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* preview = qobject_cast<report::TQRStandardPreview*>(widget);
        preview && preview->isVisible()) {
      return preview;
    }
  }
  return nullptr;
}

class PrintCommandsTest : public test::CommandsTest {
 protected:
  void InstallCommands() override {
    CommandsTest::InstallCommands();
    InstallPrintCommands(*m_form, *m_commands);
  }

  // Beta is in Santos, every other agency in Campinas.
  void MakeDatabase(const std::string& name, const std::vector<std::string>& agencies) {
    CommandsTest::MakeDatabase(
        name, agencies, [](dbf::TDbfDataSet& table, const std::string& agency) {
          table.FieldByName("MUNICIPIO").SetAsString(agency == "Beta" ? "Santos" : "Campinas");
        });
  }

  static std::string Agency(TCadastro& window) {
    return window.Tabela().FieldByName("AGENCIA").AsString();
  }

  // Runs the preview command; once the pages are composed, notes their count and closes it.
  int PreviewPageCount() {
    int pages = -1;
    QTimer::singleShot(0, [&] {
      report::TQRStandardPreview* window = OpenPreview();
      ASSERT_NE(window, nullptr);
      report::TQRPrinter& printer = *window->QRPreview().QRPrinter();
      QElapsedTimer timer;
      timer.start();
      while (printer.Status() != report::TQRPrinterStatus::StateDone && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      }
      EXPECT_EQ(printer.Status(), report::TQRPrinterStatus::StateDone);
      pages = printer.PageCount();
      window->close();
    });
    Command("VisualizarImpressao").Execute();
    return pages;
  }
};

const std::vector<std::string> kEight = {"Delta", "Alfa", "Hotel", "Beta",
                                         "Gama",  "Eco",  "Fox",   "Cesar"};

TEST_F(PrintCommandsTest, EnabledOnlyForAWindowWithRecords) {
  for (const char* name : {"VisualizarImpressao", "ConfigurarImpressora", "Imprimir"}) {
    EXPECT_FALSE(Enabled(name)) << name;
  }
  MakeDatabase("Vazia", {});
  m_commands->BuildWindow("Vazia", false);
  for (const char* name : {"VisualizarImpressao", "ConfigurarImpressora", "Imprimir"}) {
    EXPECT_FALSE(Enabled(name)) << name;
  }
  MakeDatabase("Cheia", {"Alfa"});
  TCadastro* window = m_commands->BuildWindow("Cheia", false);
  window->Pagina().setCurrentIndex(1);
  for (const char* name : {"VisualizarImpressao", "ConfigurarImpressora", "Imprimir"}) {
    EXPECT_TRUE(Enabled(name)) << name;
  }
}

TEST_F(PrintCommandsTest, PreviewListsTheWindowsRecordsAndLeavesItOnTheLast) {
  MakeDatabase("Oito", kEight);
  TCadastro* window = m_commands->BuildWindow("Oito", false);
  Command("OrdemDescrescente").Execute();
  Command("DBPrimeiro").Execute();
  ASSERT_EQ(Agency(*window), "Hotel");
  // Seven panels fill a page.
  EXPECT_EQ(PreviewPageCount(), 2);
  EXPECT_EQ(Agency(*window), "Alfa");

  // The holder is made once and kept, bound to the window printed last.
  TRelatorio* holder = TRelatorio::Existing();
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(holder->MyRelatorio().DataSet(), &window->Tabela());
  MakeDatabase("Um", {"Zulu"});
  TCadastro* other = m_commands->BuildWindow("Um", false);
  EXPECT_EQ(PreviewPageCount(), 1);
  EXPECT_EQ(TRelatorio::Existing(), holder);
  EXPECT_EQ(holder->MyRelatorio().DataSet(), &other->Tabela());
}

TEST_F(PrintCommandsTest, FilteredSearchPagePrintsOnlyTheMatches) {
  MakeDatabase("Busca", kEight);
  TCadastro* window = m_commands->BuildWindow("Busca", false);
  window->Pagina().setCurrentIndex(1);
  static_cast<QComboBox*>(window->Control("CAMPO"))->setCurrentIndex(2);  // MUNICIPIO
  static_cast<QLineEdit*>(window->Control("texto_filtro"))->setText("santos");
  window->FiltrarExecute();
  Command("ConfigurarImpressora").Execute();
  report::TQRPrinter* composed = TRelatorio::Existing()->MyRelatorio().QRPrinter();
  ASSERT_NE(composed, nullptr);
  EXPECT_EQ(composed->PageCount(), 1);  // eight agencies would fill two pages
  EXPECT_EQ(Agency(*window), "Beta");
}

TEST_F(PrintCommandsTest, PrintWithoutPrinterLeavesTheWindowAlone) {
  MakeDatabase("Sem", kEight);
  TCadastro* window = m_commands->BuildWindow("Sem", false);
  Command("DBPrimeiro").Execute();
  Command("Imprimir").Execute();
  EXPECT_EQ(Agency(*window), "Delta");
}

TEST_F(PrintCommandsTest, ClosingThePrintedWindowDropsTheBinding) {
  MakeDatabase("Fecha", {"Alfa"});
  m_commands->BuildWindow("Fecha", false);
  Command("ConfigurarImpressora").Execute();
  ASSERT_NE(TRelatorio::Existing()->MyRelatorio().DataSet(), nullptr);
  m_form->FecharAllFormsExecute();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(TRelatorio::Existing()->MyRelatorio().DataSet(), nullptr);
}

}  // namespace
}  // namespace vorelia::app

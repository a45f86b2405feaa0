// Pictures of the catalogue dialog and the records window for a person to look at. Runs only when
// VORELIA_SCREENS names a folder: `VORELIA_SCREENS=$PWD/screenshots build/tests/app_tests
// --gtest_filter='DatabaseScreens*'`.
#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/database_commands.h"
#include "app/print_commands.h"
#include "app_fixture.h"
#include "databases/abrir_criar.h"
#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "records/cadastro.h"
#include "report/core/qr_printer.h"
#include "report/qr_preview.h"
#include "report/qr_standard_preview.h"
#include "widgets/command.h"
#include "widgets/db_grid.h"

namespace vorelia::app {
namespace {

class DatabaseScreensTest : public test::AppTest {
 protected:
  void SetUp() override {
    const char* folder = std::getenv("VORELIA_SCREENS");
    if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "VORELIA_SCREENS not set";
    m_out = folder;
    std::filesystem::create_directories(m_out);
    AppTest::SetUp();
    m_dados = std::filesystem::path(::testing::TempDir()) / "vorelia_screens";
    std::filesystem::remove_all(m_dados);
    std::filesystem::create_directories(m_dados);
    MakeDatabase("Centro");
    MakeDatabase("Zona Sul");
  }
  void MakeDatabase(const std::string& name) {
    dbf::TDbfDataSet table;
    databases::AddAgencyFields(table);
    databases::CreateAgencyTable(table, m_dados, name);
    const char* rows[][9] = {
        {"Empregos J\xE1", "Av. Paulista, 1000 - 5\xBA andar", "S\xE3o Paulo", "SP", "01310-100",
         "011", "3251-0000", "contato@empregosja.com.br", "www.empregosja.com.br"},
        {"Talentos RH", "Rua da Bahia, 120", "Belo Horizonte", "MG", "30160-010", "031",
         "3222-1111", "rh@talentos.com.br", "www.talentos.com.br"},
        {"Ag\xEAncia Sul", "Rua dos Andradas, 45", "Porto Alegre", "RS", "90020-000", "051",
         "3211-2222", "sul@agencia.com.br", "www.agenciasul.com.br"},
        {"Nordeste Trabalho", "Av. Boa Viagem, 300", "Recife", "PE", "51020-000", "081",
         "3325-3333", "ne@trabalho.com.br", "www.netrabalho.com.br"},
    };
    for (const auto& row : rows) {
      table.Append();
      for (int i = 0; i < 9; ++i) table.Fields(i).SetAsString(row[i]);
      table.Post();
    }
    table.Close();
  }
  void Save(QWidget* widget, const char* name) {
    widget->grab().save(QString::fromStdString((m_out / name).string()));
  }

  std::filesystem::path m_out;
  std::filesystem::path m_dados;
};

TEST_F(DatabaseScreensTest, CatalogueAndRecordsWindow) {
  TDatabaseCommands commands(*m_form, m_dados);
  m_form->resize(1024, 700);
  m_form->show();
  {
    databases::TAbrirCriar dialog(m_form->acoes_01(), m_dados, m_form.get());
    dialog.PrepareAbrir();
    dialog.show();
    dialog.findChild<QListWidget*>("Lista")->setCurrentRow(0);
    dialog.ListaClick();
    dialog.acoes_02().UpdateAll();
    QApplication::processEvents();
    Save(&dialog, "catalogue_open.png");
  }
  {
    databases::TAbrirCriar dialog(m_form->acoes_01(), m_dados, m_form.get());
    dialog.PrepareCriar();
    dialog.show();
    dialog.findChild<QLineEdit*>("NomeBase")->setText("Nova Base");
    dialog.acoes_02().UpdateAll();
    QApplication::processEvents();
    Save(&dialog, "catalogue_create.png");
  }
  records::TCadastro* window = commands.BuildWindow("Centro", false);
  m_form->acoes_01().UpdateAll();
  window->acoes_03().UpdateAll();
  QApplication::processEvents();
  Save(window->parentWidget(), "records_page1.png");
  window->Pagina().setCurrentIndex(1);
  window->findChild<QLineEdit*>("texto_filtro")->setText("sul");
  window->acoes_03().UpdateAll();  // "&Filtrar" as the next idle moment would show it
  QApplication::processEvents();
  Save(window->parentWidget(), "records_page2.png");
  // The search grid shows every record that fits, even though the name list asked first.
  EXPECT_EQ(window->DBGrid2().View()->model()->rowCount(), 4);
  Save(m_form.get(), "main_with_records.png");

  // The agency report in the preview, once composed.
  InstallPrintCommands(*m_form, commands);
  window->Pagina().setCurrentIndex(0);
  QTimer::singleShot(0, [&] {
    report::TQRStandardPreview* preview = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* found = qobject_cast<report::TQRStandardPreview*>(widget);
          found && found->isVisible())
        preview = found;
    }
    ASSERT_NE(preview, nullptr);
    QElapsedTimer timer;
    timer.start();
    while (preview->QRPreview().QRPrinter()->Status() != report::TQRPrinterStatus::StateDone &&
           timer.elapsed() < 10000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    preview->showNormal();
    preview->resize(900, 1000);
    QApplication::processEvents();
    Save(preview, "report_preview.png");
    preview->close();
  });
  m_form->acoes_01().UpdateAll();
  widgets::TCommand* command = m_form->acoes_01().Find("VisualizarImpressao");
  ASSERT_NE(command, nullptr);
  command->Execute();
}

}  // namespace
}  // namespace vorelia::app

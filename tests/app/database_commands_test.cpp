#include "app/database_commands.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTableView>

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "app/mdi_client.h"
#include "commands_fixture.h"
#include "data/field.h"
#include "databases/abrir_criar.h"
#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "platform/qt/guard.h"
#include "records/cadastro.h"
#include "widgets/bit_btn.h"
#include "widgets/command.h"
#include "widgets/db_edit.h"
#include "widgets/db_grid.h"

namespace vorelia::app {
namespace {

using records::TCadastro;

std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class DatabaseCommandsTest : public test::CommandsTest {
 protected:
  std::string CountText(TCadastro& window) { return window.ntotal().text().toStdString(); }
};

TEST_F(DatabaseCommandsTest, ANewDatabaseEnablesOnlyInsert) {
  TCadastro* window = m_commands->BuildWindow("Nova", /*create=*/true);
  EXPECT_EQ(window->windowTitle(), "Nova - Cadastro de Vorelia");
  EXPECT_EQ(CountText(*window), "0 Agência(s) Cadastrada(s)");
  EXPECT_TRUE(Enabled("DBInserir"));
  for (const char* name : {"DBPrimeiro", "DBAnterior", "DBSeguinte", "DBUltimo", "DBDeletar",
                           "DBEditar", "DBDeletarTudo", "DBSalvar", "DBCancel", "EXP_DOC"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Enabled(name));
  }
  EXPECT_TRUE(std::filesystem::exists(m_dados / "Nova.age"));
}

TEST_F(DatabaseCommandsTest, NavigationFollowsTheEndsAndThePage) {
  MakeDatabase("Tres", {"A", "B", "C"});
  TCadastro* window = m_commands->BuildWindow("Tres", /*create=*/false);
  EXPECT_EQ(CountText(*window), "3 Agência(s) Cadastrada(s)");
  EXPECT_FALSE(Enabled("DBPrimeiro"));
  EXPECT_FALSE(Enabled("DBAnterior"));
  EXPECT_TRUE(Enabled("DBSeguinte"));
  EXPECT_TRUE(Enabled("DBUltimo"));

  Command("DBUltimo").Execute();
  EXPECT_EQ(window->Tabela().FieldByName("AGENCIA").AsString(), "C");
  EXPECT_TRUE(Enabled("DBPrimeiro"));

  window->Pagina().setCurrentIndex(1);  // the search page: record commands off, export on
  for (const char* name : {"DBPrimeiro", "DBInserir", "DBDeletar", "DBEditar", "DBDeletarTudo"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(Enabled(name));
  }
  EXPECT_TRUE(Enabled("EXP_DOC"));
}

TEST_F(DatabaseCommandsTest, InsertKeepsTheOldCountUntilTheNextDelete) {
  MakeDatabase("Base", {"A", "B", "C"});
  TCadastro* window = m_commands->BuildWindow("Base", false);
  Command("DBInserir").Execute();
  EXPECT_EQ(CountText(*window), "3 Agência(s) Cadastrada(s)");
  EXPECT_FALSE(Enabled("DBSalvar"));  // nothing typed yet
  window->Tabela().FieldByName("AGENCIA").SetAsString("D");
  EXPECT_TRUE(Enabled("DBSalvar"));
  Command("DBSalvar").Execute();
  EXPECT_EQ(CountText(*window), "3 Agência(s) Cadastrada(s)");
  EXPECT_EQ(window->Tabela().RecordCount(), 4);

  Command("DBPrimeiro").Execute();
  Command("DBDeletar").Execute();
  EXPECT_EQ(CountText(*window), "3 Agência(s) Cadastrada(s)");
  EXPECT_EQ(window->Tabela().FieldByName("AGENCIA").AsString(), "B");
}

TEST_F(DatabaseCommandsTest, DeletingTheOnlyRecordLeavesAPackedEmptyTable) {
  MakeDatabase("Um", {"Sozinha"});
  TCadastro* window = m_commands->BuildWindow("Um", false);
  Command("DBDeletar").Execute();
  EXPECT_EQ(CountText(*window), "0 Agência(s) Cadastrada(s)");
  EXPECT_TRUE(window->Tabela().IsEmpty());
  EXPECT_EQ(FileBytes(m_dados / "Um.age").size(), 322u);  // header, fields, terminator, EOF
}

TEST_F(DatabaseCommandsTest, DeleteAllAsksFirst) {
  MakeDatabase("Todos", {"A", "B"});
  TCadastro* window = m_commands->BuildWindow("Todos", false);
  platform::TMessageBoxDouble boxes;
  platform::ScopedMessageBox scoped(boxes);
  boxes.answers = {platform::TMessageResult::No, platform::TMessageResult::Yes};

  Command("DBDeletarTudo").Execute();
  ASSERT_EQ(boxes.asked.size(), 1u);
  EXPECT_EQ(boxes.asked[0].text, "Tem certeza que deseja deletar todos esses registros?");
  EXPECT_EQ(boxes.asked[0].icon, platform::TMessageIcon::Question);
  EXPECT_EQ(window->Tabela().RecordCount(), 2);

  Command("DBDeletarTudo").Execute();
  EXPECT_EQ(window->Tabela().RecordCount(), 0);
  EXPECT_EQ(CountText(*window), "0 Agência(s) Cadastrada(s)");
  EXPECT_EQ(FileBytes(m_dados / "Todos.age").size(), 322u);
}

TEST_F(DatabaseCommandsTest, TheSameDatabaseOpensOnceButNamesDifferingInCaseTwice) {
  MakeDatabase("sul", {"A"});
  MakeDatabase("Sul", {"B"});
  databases::TAbrirCriar dialog(m_form->acoes_01(), m_dados);
  dialog.PrepareAbrir();
  auto open = [&](const char* name) {
    dialog.findChild<QLineEdit*>("NomeBase")->setText(name);
    Command("MDIAbrir").Execute();
  };
  open("sul");
  QMdiSubWindow* first = m_form->ClientArea().activeSubWindow();
  open("Sul");
  EXPECT_EQ(m_commands->RecordsWindowCount(), 2);
  QMdiSubWindow* second = m_form->ClientArea().activeSubWindow();
  EXPECT_NE(first, second);
  open("sul");  // already shown: nothing happens, not even activation
  EXPECT_EQ(m_commands->RecordsWindowCount(), 2);
  EXPECT_EQ(m_form->ClientArea().activeSubWindow(), second);
}

TEST_F(DatabaseCommandsTest, MissingFieldFailsWhileBinding) {
  dbf::TDbfDataSet table;
  table.SetFilePath(m_dados.string());
  table.SetTableName("Velha.age");
  for (const char* name : {"AGENCIA", "ENDERECO", "MUNICIPIO", "UF", "CEP", "DDD", "TELEFONE",
                           "EMAIL"}) {
    table.FieldDefs().Add(name, data::TFieldType::String, 10);
  }
  table.CreateTable();
  try {
    m_commands->BuildWindow("Velha", false);
    FAIL() << "opened a table without SITE";
  } catch (const std::exception& error) {
    EXPECT_STREQ(error.what(), "Field 'SITE' not found");
  }
}

TEST_F(DatabaseCommandsTest, NameListAlternatesColoursByRecordNumber) {
  MakeDatabase("Cores", {"Primeira", "Segunda"});
  TCadastro* window = m_commands->BuildWindow("Cores", false);
  QTableView* view = window->DBGrid1().View();
  const QImage image = view->viewport()->grab().toImage();
  const int x = std::min(100, view->viewport()->width() - 4);  // right of the names
  EXPECT_EQ(QColor(image.pixel(x, view->rowViewportPosition(0) + 8)), QColor(0xEC, 0xE9, 0xD8));
  EXPECT_EQ(QColor(image.pixel(x, view->rowViewportPosition(1) + 8)), QColor(Qt::white));
}

TEST_F(DatabaseCommandsTest, AFailureWhileClosingAWindowReachesTheErrorHook) {
  MakeDatabase("Falha", {"Alfa"});
  TCadastro* window = m_commands->BuildWindow("Falha", false);
  window->Tabela().BeforeClose = [](data::TDataSet&) { throw std::runtime_error("disk full"); };
  std::vector<std::string> reported;
  const platform::ErrorHook previous = platform::SetErrorHook([&](std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      reported.push_back(e.what());
    }
  });
  Command("FecharForms").Execute();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  platform::SetErrorHook(previous);
  platform::ResetFatalErrorState();
  EXPECT_EQ(m_form->ChildFormCount(), 0);
  EXPECT_EQ(reported, (std::vector<std::string>{"disk full"}));
}

TEST_F(DatabaseCommandsTest, MailAndWebGoToTheShell) {
  MakeDatabase("Links", {"A"});
  TCadastro* window = m_commands->BuildWindow("Links", false);
  window->acoes_03().UpdateAll();
  EXPECT_FALSE(window->acoes_03()["WEB"].Enabled());
  window->findChild<QLineEdit*>("DBSITE")->setText("www.empregos.com.br");
  window->findChild<QLineEdit*>("DBEMAIL")->setText("rh@empregos.com.br");
  window->acoes_03().UpdateAll();
  ASSERT_TRUE(window->acoes_03()["WEB"].Enabled());
  window->acoes_03()["WEB"].Execute();
  window->acoes_03()["EMAIL"].Execute();
  ASSERT_EQ(m_shell.requests.size(), 2u);
  EXPECT_EQ(m_shell.requests[0].target, "http://www.empregos.com.br");
  EXPECT_EQ(m_shell.requests[0].action, "");
  EXPECT_EQ(m_shell.requests[1].target, "mailto:rh@empregos.com.br");
  EXPECT_EQ(m_shell.requests[1].action, "open");
}

TEST_F(DatabaseCommandsTest, FocusColoursTheEditorBeingEdited) {
  MakeDatabase("Foco", {"A"});
  TCadastro* window = m_commands->BuildWindow("Foco", false);
  QApplication::setActiveWindow(m_form.get());
  auto* agencia = window->findChild<QLineEdit*>("DBAGENCIA");
  auto* endereco = window->findChild<QLineEdit*>("DBENDERECO");
  agencia->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(agencia->palette().color(QPalette::Base), QColor(0xEC, 0xE9, 0xD8));
  endereco->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(endereco->palette().color(QPalette::Base), QColor(0xEC, 0xE9, 0xD8));
  EXPECT_EQ(agencia->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
}

TEST_F(DatabaseCommandsTest, TypedTextReachesTheFileInCodePage850) {
  TCadastro* window = m_commands->BuildWindow("Digitada", true);
  QApplication::setActiveWindow(m_form.get());
  Command("DBInserir").Execute();
  struct Typing {
    const char* editor;
    QString text;
  } typing[] = {{"DBAGENCIA", QString::fromUtf8("Emprego Já")},
                {"DBMUNICIPIO", QString::fromUtf8("São Paulo")},
                {"DBCEP", "01310-100"}};
  for (const Typing& t : typing) {
    auto* edit = window->findChild<QLineEdit*>(t.editor);
    edit->setFocus();
    for (QChar c : t.text) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(edit, &press);
    }
  }
  window->findChild<QLineEdit*>("DBAGENCIA")->setFocus();  // leaving DBCEP hands its text over
  QApplication::processEvents();
  ASSERT_TRUE(window->Tabela().Modified());
  Command("DBSalvar").Execute();
  m_form->FecharAllFormsExecute();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  const std::string bytes = FileBytes(m_dados / "Digitada.age");
  ASSERT_GE(bytes.size(), 321u + 234u);  // header, descriptors, terminator, one record
  const std::string record = bytes.substr(321, 234);
  EXPECT_EQ(record[0], ' ');
  EXPECT_EQ(record.substr(1, 10), "Emprego J\xA0");                 // á in code page 850
  EXPECT_EQ(record.substr(1 + 25 + 100, 9), "S\xC6o Paulo");       // ã in code page 850
  EXPECT_EQ(record.substr(1 + 25 + 100 + 15 + 2, 9), "01310-100");
}


// The names of the records as the dataset presents them now.
std::vector<std::string> Names(dbf::TDbfDataSet& table) {
  std::vector<std::string> names;
  for (table.First(); !table.Eof(); table.Next()) names.push_back(table.FieldByName("AGENCIA").AsString());
  table.First();
  return names;
}

TEST_F(DatabaseCommandsTest, FilterKeepsRecordsContainingTheTextIgnoringCase) {
  MakeDatabase("Filtro", {"Empregos J\xE1", "TEMPO", "emprego", "Ag\xEAncia Sul"});
  TCadastro* window = m_commands->BuildWindow("Filtro", false);
  window->Pagina().setCurrentIndex(1);
  auto* text = window->findChild<QLineEdit*>("texto_filtro");
  EXPECT_EQ(window->findChild<widgets::TBitBtn*>("TransparentButton1")->Spacing(), 20);
  window->acoes_03().UpdateAll();
  EXPECT_FALSE(window->acoes_03()["Filtrar"].Enabled());  // no text yet
  text->setText("emp");
  window->acoes_03().UpdateAll();
  ASSERT_TRUE(window->acoes_03()["Filtrar"].Enabled());
  window->acoes_03()["Filtrar"].Execute();
  EXPECT_EQ(Names(window->Tabela()),
            (std::vector<std::string>{"Empregos J\xE1", "TEMPO", "emprego"}));

  text->setText("zzz");  // nothing matches: export and print go off
  window->acoes_03()["Filtrar"].Execute();
  EXPECT_TRUE(window->Tabela().IsEmpty());
  EXPECT_FALSE(Enabled("EXP_DOC"));
  EXPECT_FALSE(Enabled("Imprimir"));
  EXPECT_EQ(CountText(*window), "4 Agência(s) Cadastrada(s)");  // filtering leaves the count

  window->Pagina().setCurrentIndex(0);  // the first page switches the filter off
  EXPECT_FALSE(window->Tabela().Filtered());
  EXPECT_EQ(Names(window->Tabela()).size(), 4u);
}

TEST_F(DatabaseCommandsTest, FilterComparesAccentedCapitalsAndUsesTheChosenField) {
  dbf::TDbfDataSet table;
  databases::AddAgencyFields(table);
  databases::CreateAgencyTable(table, m_dados, "Cidades");
  const char* rows[][2] = {{"S\xC3O PAULO", "SP"}, {"SAO PAULO", "PR"}, {"Rio", "RJ"},
                           {"Belo Horizonte", "MG"}, {"Recife", "PE"}};
  for (const auto& row : rows) {
    table.Append();
    table.FieldByName("MUNICIPIO").SetAsString(row[0]);
    table.FieldByName("UF").SetAsString(row[1]);
    table.Post();
  }
  table.Close();
  TCadastro* window = m_commands->BuildWindow("Cidades", false);
  window->Pagina().setCurrentIndex(1);
  auto* field = window->findChild<QComboBox*>("CAMPO");
  auto* text = window->findChild<QLineEdit*>("texto_filtro");
  auto count = [&] {
    window->acoes_03()["Filtrar"].Execute();
    int n = 0;
    for (window->Tabela().First(); !window->Tabela().Eof(); window->Tabela().Next()) ++n;
    return n;
  };
  EXPECT_EQ(field->currentIndex(), 0);
  EXPECT_EQ(field->itemText(1), QString::fromUtf8("ENDEREÇO"));
  field->setCurrentIndex(2);
  text->setText(QString::fromUtf8("são"));
  window->acoes_03().UpdateAll();
  EXPECT_EQ(count(), 1);  // SÃO PAULO, not SAO PAULO
  field->setCurrentIndex(3);
  text->setText("p");
  EXPECT_EQ(count(), 3);  // SP, PR, PE
}

TEST_F(DatabaseCommandsTest, SortingRebuildsTheIndexWithOneTag) {
  MakeDatabase("x.agex", {"Beta", "alfa", "Gama", "Alfa"});
  TCadastro* window = m_commands->BuildWindow("x.agex", false);
  EXPECT_TRUE(Enabled("OrdemCrescente"));
  Command("OrdemCrescente").Execute();
  ASSERT_TRUE(std::filesystem::exists(m_dados / "x.agex.mdx"));
  EXPECT_EQ(window->Tabela().IndexName(), "AGENCIA");
  const std::vector<std::string> ascending = Names(window->Tabela());
  ASSERT_EQ(ascending.size(), 4u);
  EXPECT_EQ(ascending.back(), "Gama");

  Command("OrdemDescrescente").Execute();
  std::vector<std::string> descending = Names(window->Tabela());
  EXPECT_EQ(descending.front(), "Gama");
  std::reverse(descending.begin(), descending.end());
  EXPECT_EQ(descending.front(), ascending.front());

  Command("ModoNormal").Execute();
  EXPECT_EQ(window->Tabela().IndexName(), "");
  EXPECT_EQ(Names(window->Tabela()), (std::vector<std::string>{"Beta", "alfa", "Gama", "Alfa"}));
  EXPECT_TRUE(std::filesystem::exists(m_dados / "x.agex.mdx"));  // kept, and kept up to date

  window->Pagina().setCurrentIndex(1);
  EXPECT_FALSE(Enabled("OrdemCrescente"));
}

TEST_F(DatabaseCommandsTest, DeletingWhileSortedKeepsTheOrderAndStartsAtItsFirstRecord) {
  MakeDatabase("Ordem", {"Delta", "Beta", "Gama", "Alfa"});
  TCadastro* window = m_commands->BuildWindow("Ordem", false);
  Command("OrdemDescrescente").Execute();
  dbf::TDbfDataSet& table = window->Tabela();
  table.First();
  table.Next();  // Delta
  ASSERT_EQ(table.FieldByName("AGENCIA").AsString(), "Delta");
  Command("DBDeletar").Execute();
  EXPECT_EQ(table.IndexName(), "AGENCIA");
  EXPECT_EQ(table.FieldByName("AGENCIA").AsString(), "Gama");  // first in the order shown
  EXPECT_EQ(Names(table), (std::vector<std::string>{"Gama", "Beta", "Alfa"}));
  EXPECT_EQ(CountText(*window), "3 Ag\xC3\xAAncia(s) Cadastrada(s)");

  Command("DBInserir").Execute();
  table.FieldByName("AGENCIA").SetAsString("Zeta");
  Command("DBSalvar").Execute();
  EXPECT_EQ(Names(table), (std::vector<std::string>{"Zeta", "Gama", "Beta", "Alfa"}));
}

}  // namespace
}  // namespace vorelia::app

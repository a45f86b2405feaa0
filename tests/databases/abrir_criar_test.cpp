#include "databases/abrir_criar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <fstream>

#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "platform/errors.h"
#include "platform/qt/desktop_services.h"
#include "platform/service_doubles.h"
#include "support/temp_dir.h"
#include "widgets/bit_btn.h"
#include "widgets/command.h"

namespace vorelia::databases {
namespace {

class AbrirCriarTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    m_frame.Add("MDICriar")->SetOnExecute([this] {
      m_calls.push_back("MDICriar " + AbrirCriar->NomeBaseText());
    });
    m_frame.Add("MDIAbrir")->SetOnExecute([this] {
      m_calls.push_back("MDIAbrir " + AbrirCriar->NomeBaseText());
    });
  }
  void Touch(const std::string& file) { std::ofstream(m_dir / file) << "x"; }
  QListWidget* List(TAbrirCriar& dialog) { return dialog.findChild<QListWidget*>("Lista"); }
  QLineEdit* Name(TAbrirCriar& dialog) { return dialog.findChild<QLineEdit*>("NomeBase"); }
  QPushButton* Button(TAbrirCriar& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
  }

  widgets::TActionList m_frame{"acoes_01"};
  std::vector<std::string> m_calls;
  platform::TMessageBoxDouble m_boxes;
  platform::ScopedMessageBox m_scopedBoxes{m_boxes};
};

TEST_F(AbrirCriarTest, ListsTheTablesOfTheFolderByName) {
  Touch("Norte.age");
  Touch("Norte.AGE");  // the program looks for "<name>.age": not this one
  Touch("x.agex.age");
  Touch("notas.txt");
  std::filesystem::create_directory(m_dir / "pasta.age");
  std::vector<std::string> names = ListDatabases(m_dir);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Norte", "x.agex"}));
  EXPECT_TRUE(ListDatabases(m_dir / "missing").empty());

  TAbrirCriar dialog(m_frame, m_dir);
  dialog.PrepareAbrir();
  dialog.show();
  EXPECT_EQ(List(dialog)->count(), 2);
  EXPECT_EQ(List(dialog)->selectedItems().size(), 0);
  EXPECT_EQ(dialog.windowTitle(), "Abrir Banco de Dados");
  for (const char* name : {"BotaoAbrir", "BotaoCriar", "SpeedButton1", "BotaoFechar"}) {
    EXPECT_EQ(dialog.findChild<widgets::TBitBtn*>(name)->Spacing(), 5) << name;
  }
}

TEST_F(AbrirCriarTest, OpenModeTakesTheNameFromTheList) {
  Touch("Centro.age");
  TAbrirCriar dialog(m_frame, m_dir);
  dialog.JanelasAbertas = 0;
  dialog.PrepareAbrir();
  dialog.show();
  EXPECT_TRUE(Name(dialog)->isReadOnly());
  EXPECT_FALSE(Button(dialog, "BotaoCriar")->isEnabled());
  EXPECT_FALSE(Button(dialog, "BotaoAbrir")->isEnabled());
  EXPECT_FALSE(Button(dialog, "SpeedButton1")->isEnabled());

  List(dialog)->setCurrentRow(0);
  List(dialog)->item(0)->setSelected(true);
  dialog.ListaClick();
  dialog.acoes_02().UpdateAll();
  EXPECT_EQ(Name(dialog)->text(), "Centro");
  EXPECT_TRUE(Button(dialog, "BotaoAbrir")->isEnabled());
  EXPECT_FALSE(Button(dialog, "BotaoCriar")->isEnabled());  // never touched in open mode
  EXPECT_TRUE(Button(dialog, "SpeedButton1")->isEnabled());

  Button(dialog, "BotaoAbrir")->click();
  EXPECT_EQ(m_calls, (std::vector<std::string>{"MDIAbrir Centro"}));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(AbrirCriarTest, CreateModeRefusesAnExistingName) {
  Touch("Sul.age");
  TAbrirCriar dialog(m_frame, m_dir);
  dialog.PrepareCriar();
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Criar Banco de Dados");
  EXPECT_FALSE(Button(dialog, "BotaoCriar")->isEnabled());
  Name(dialog)->setText("Sul");
  dialog.acoes_02().UpdateAll();
  ASSERT_TRUE(Button(dialog, "BotaoCriar")->isEnabled());
  Button(dialog, "BotaoCriar")->click();
  ASSERT_EQ(m_boxes.asked.size(), 1u);
  EXPECT_EQ(m_boxes.asked[0].text, "Impossível Criar Banco de Dados, pois ele já existe !");
  EXPECT_EQ(m_boxes.asked[0].caption, "Vorelia");
  EXPECT_EQ(m_boxes.asked[0].icon, platform::TMessageIcon::Exclamation);
  EXPECT_TRUE(m_calls.empty());
  EXPECT_FALSE(dialog.isVisible());  // the dialog closes all the same

  TAbrirCriar again(m_frame, m_dir);
  again.PrepareCriar();
  again.show();
  Name(again)->setText("Leste");
  again.acoes_02().UpdateAll();
  Button(again, "BotaoCriar")->click();
  EXPECT_EQ(m_calls, (std::vector<std::string>{"MDICriar Leste"}));
}

TEST_F(AbrirCriarTest, CreateModeRefusesANameThatWouldLeaveTheFolder) {
  TAbrirCriar dialog(m_frame, m_dir);
  dialog.PrepareCriar();
  dialog.show();
  Name(dialog)->setText("../fora");
  dialog.acoes_02().UpdateAll();
  Button(dialog, "BotaoCriar")->click();
  ASSERT_EQ(m_boxes.asked.size(), 1u);
  EXPECT_EQ(m_boxes.asked[0].text,
            "Impossível Criar Banco de Dados, pois o nome não pode conter \"/\" !");
  EXPECT_TRUE(m_calls.empty());
  EXPECT_FALSE(std::filesystem::exists(m_dir.parent_path() / "fora.age"));

  // The engine side refuses such a name too, whoever asks.
  dbf::TDbfDataSet table;
  AddAgencyFields(table);
  EXPECT_THROW(CreateAgencyTable(table, m_dir, "../fora"), EVoreliaError);
  EXPECT_FALSE(std::filesystem::exists(m_dir.parent_path() / "fora.age"));
  EXPECT_FALSE(IsValidDatabaseName(""));
  EXPECT_TRUE(IsValidDatabaseName("S\xE3o Paulo"));
}

TEST_F(AbrirCriarTest, DeletesTheTableAndItsIndexAfterAsking) {
  Touch("A.age");
  Touch("A.mdx");
  Touch("B.age");
  TAbrirCriar dialog(m_frame, m_dir);
  dialog.PrepareCriar();
  dialog.show();
  auto select = [&](const QString& name) {
    QListWidgetItem* item = List(dialog)->findItems(name, Qt::MatchExactly).at(0);
    List(dialog)->setCurrentItem(item);
    item->setSelected(true);
    dialog.acoes_02().UpdateAll();
  };

  select("A");
  m_boxes.answers = {platform::TMessageResult::No};
  Button(dialog, "SpeedButton1")->click();
  EXPECT_EQ(m_boxes.asked.back().text, "Tem certeza que deseja deletar este banco de dados?");
  EXPECT_TRUE(std::filesystem::exists(m_dir / "A.age"));

  m_boxes.answers = {platform::TMessageResult::Yes};
  Button(dialog, "SpeedButton1")->click();
  EXPECT_FALSE(std::filesystem::exists(m_dir / "A.age"));
  EXPECT_FALSE(std::filesystem::exists(m_dir / "A.mdx"));
  EXPECT_EQ(List(dialog)->count(), 1);
  EXPECT_TRUE(Name(dialog)->text().isEmpty());
  EXPECT_TRUE(dialog.isVisible());  // deleting keeps the dialog open

  select("B");  // no index file: the table alone goes, silently
  Button(dialog, "SpeedButton1")->click();
  EXPECT_FALSE(std::filesystem::exists(m_dir / "B.age"));
  EXPECT_EQ(List(dialog)->count(), 0);
}

TEST_F(AbrirCriarTest, AccentedNamesRoundTripThroughTheListToOpenAndDelete) {
  // The program names its files in code page 1252: "São" is the bytes S, E3, o.
  Touch("S\xE3o.age");
  Touch("S\xE3o.mdx");
  TAbrirCriar dialog(m_frame, m_dir);
  dialog.PrepareAbrir();
  dialog.show();
  ASSERT_EQ(List(dialog)->count(), 1);
  EXPECT_EQ(List(dialog)->item(0)->text(), QString::fromUtf8("São"));

  List(dialog)->setCurrentRow(0);
  List(dialog)->item(0)->setSelected(true);
  dialog.ListaClick();
  EXPECT_EQ(dialog.NomeBaseText(), "S\xE3o");
  EXPECT_TRUE(DatabaseExists(m_dir, dialog.NomeBaseText()));

  dialog.acoes_02().UpdateAll();
  m_boxes.answers = {platform::TMessageResult::Yes};
  Button(dialog, "SpeedButton1")->click();
  EXPECT_FALSE(std::filesystem::exists(m_dir / "S\xE3o.age"));
  EXPECT_FALSE(std::filesystem::exists(m_dir / "S\xE3o.mdx"));
}

TEST_F(AbrirCriarTest, DeletingIsOffWhileARecordsWindowIsOpen) {
  Touch("A.age");
  TAbrirCriar dialog(m_frame, m_dir);
  dialog.JanelasAbertas = 1;
  dialog.PrepareAbrir();
  dialog.show();
  List(dialog)->setCurrentRow(0);
  List(dialog)->item(0)->setSelected(true);
  dialog.acoes_02().UpdateAll();
  EXPECT_FALSE(Button(dialog, "SpeedButton1")->isEnabled());
}

TEST_F(AbrirCriarTest, CreatedTableHasTheAgencyLayout) {
  dbf::TDbfDataSet table;
  AddAgencyFields(table);
  CreateAgencyTable(table, m_dir, "Centro");
  EXPECT_TRUE(table.Active());
  EXPECT_EQ(table.RecordCount(), 0);
  table.Close();
  EXPECT_EQ(std::filesystem::file_size(m_dir / "Centro.age"), 322u);
  EXPECT_FALSE(std::filesystem::exists(m_dir / "Centro.mdx"));
  EXPECT_EQ(RecordCountText(0), "0 Ag\xEAncia(s) Cadastrada(s)");
  EXPECT_EQ(RecordCountText(1234), "1234 Ag\xEAncia(s) Cadastrada(s)");
}

}  // namespace
}  // namespace vorelia::databases

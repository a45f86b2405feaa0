#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <exception>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/database_commands.h"
#include "app/order_commands.h"
#include "app_fixture.h"
#include "data/field.h"
#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "widgets/command.h"

namespace vorelia::app::test {

// The main window with its database commands over a databases folder private to the running
// test. A command that fails fails the test instead of waiting in the error window.
class CommandsTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_dados = std::filesystem::path(::testing::TempDir()) / "vorelia_commands" /
              info->test_suite_name() / info->name();
    std::filesystem::remove_all(m_dados);
    std::filesystem::create_directories(m_dados);
    m_commands = new TDatabaseCommands(*m_form, m_dados);
    InstallCommands();
    platform::SetErrorHook([](std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        ADD_FAILURE() << "command failed: " << e.what();
      }
    });
    m_form->show();
  }
  void TearDown() override {
    m_form->FecharAllFormsExecute();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    AppTest::TearDown();
    std::filesystem::remove_all(m_dados);
  }

  // Adds the commands beyond the record commands, before the window is shown.
  virtual void InstallCommands() { InstallOrderCommands(*m_form, *m_commands); }

  // Sets more fields of the record being appended for the agency named.
  using FillRecord = std::function<void(dbf::TDbfDataSet& table, const std::string& agency)>;

  // A database with agencies named as given, written through the engine.
  void MakeDatabase(const std::string& name, const std::vector<std::string>& agencies,
                    const FillRecord& fill = nullptr) {
    dbf::TDbfDataSet table;
    databases::AddAgencyFields(table);
    databases::CreateAgencyTable(table, m_dados, name);
    for (const std::string& agency : agencies) {
      table.Append();
      table.FieldByName("AGENCIA").SetAsString(agency);
      if (fill) fill(table, agency);
      table.Post();
    }
    table.Close();
  }

  widgets::TCommand& Command(const char* name) { return m_form->acoes_01()[name]; }
  bool Enabled(const char* name) {
    m_form->acoes_01().UpdateAll();
    return Command(name).Enabled();
  }

  std::filesystem::path m_dados;
  TDatabaseCommands* m_commands = nullptr;  // owned by the main window
};

}  // namespace vorelia::app::test

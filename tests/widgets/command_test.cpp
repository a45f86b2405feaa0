#include "widgets/command.h"

#include <QAction>
#include <QEventLoop>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/error_description.h"
#include "platform/qt/guard.h"

namespace vorelia::widgets {
namespace {

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ResetFatalErrorState();
    m_previousHook = platform::SetErrorHook([this](std::exception_ptr error) {
      m_errors.push_back(platform::DescribeError(error, nullptr).message);
    });
  }
  void TearDown() override {
    platform::SetErrorHook(m_previousHook);
    platform::ResetFatalErrorState();
  }

  // Lets the event loop go idle once, as it does between user actions.
  static void RunIdle() {
    QEventLoop loop;
    QTimer::singleShot(30, &loop, &QEventLoop::quit);
    loop.exec();
  }

  TActionList m_list{"acoes_01"};
  platform::ErrorHook m_previousHook;
  std::vector<std::string> m_errors;
};

TEST_F(CommandTest, BoundItemsAndButtonsShareEnabledStateAndHint) {
  TCommand* command = m_list.Add("DBInserir");
  QMenu menu;
  QAction* item = menu.addAction("Inserir Registro");
  QPushButton button("+");
  command->Bind(item);
  command->Bind(&button);
  command->SetHint("Inserir Registro");

  EXPECT_EQ(item->text(), "Inserir Registro");  // items keep their own caption
  EXPECT_EQ(item->statusTip(), "Inserir Registro");
  EXPECT_EQ(button.toolTip(), "Inserir Registro");
  EXPECT_TRUE(item->isEnabled());
  EXPECT_TRUE(button.isEnabled());

  command->SetEnabled(false);
  EXPECT_FALSE(item->isEnabled());
  EXPECT_FALSE(button.isEnabled());
  command->SetEnabled(true);
  EXPECT_TRUE(item->isEnabled());
  EXPECT_TRUE(button.isEnabled());

  int runs = 0;
  command->SetOnExecute([&] { ++runs; });
  item->trigger();
  button.click();
  EXPECT_EQ(runs, 2);
}

TEST_F(CommandTest, ExecuteRechecksTheRuleAndRefusesAStaleEnabledState) {
  TCommand* command = m_list.Add("DBSalvar");
  bool modified = true;
  int runs = 0;
  command->SetOnUpdate([&] { command->SetEnabled(modified); });
  command->SetOnExecute([&] { ++runs; });
  m_list.UpdateAll();
  ASSERT_TRUE(command->Enabled());

  modified = false;  // the state changed after the last idle moment
  EXPECT_FALSE(command->Execute());
  EXPECT_EQ(runs, 0);
  EXPECT_FALSE(command->Enabled());

  modified = true;
  EXPECT_TRUE(command->Execute());
  EXPECT_EQ(runs, 1);

  TCommand* empty = m_list.Add("MDICriar");
  EXPECT_FALSE(empty->Execute());  // no body yet
}

TEST_F(CommandTest, HandlerErrorsGoToTheHookNotIntoQt) {
  TCommand* command = m_list.Add("DBDeletar");
  command->SetOnExecute([] { throw std::runtime_error("Record is locked"); });
  QAction item("Deletar Registros");
  command->Bind(&item);
  item.trigger();
  ASSERT_EQ(m_errors.size(), 1u);
  EXPECT_EQ(m_errors[0], "Record is locked");

  // The run is ending: no further command runs.
  int runs = 0;
  TCommand* other = m_list.Add("DBEditar");
  other->SetOnExecute([&] { ++runs; });
  EXPECT_FALSE(other->Execute());
  EXPECT_EQ(runs, 0);

  platform::ResetFatalErrorState();
  TCommand* failingRule = m_list.Add("DBCancel");
  failingRule->SetOnUpdate([] { throw std::logic_error("broken rule"); });
  m_list.UpdateAll();
  ASSERT_EQ(m_errors.size(), 2u);
  EXPECT_EQ(m_errors[1], "broken rule");
}

TEST_F(CommandTest, UpdateHandlersRunWhenTheLoopFallsIdle) {
  TCommand* command = m_list.Add("FecharForms");
  int childWindows = 0;
  int updates = 0;
  command->SetOnUpdate([&] {
    ++updates;
    command->SetEnabled(childWindows >= 1);
  });
  command->SetEnabled(true);
  m_list.StartIdleUpdates();
  ASSERT_TRUE(m_list.IdleUpdatesRunning());
  RunIdle();
  EXPECT_GT(updates, 0);
  EXPECT_FALSE(command->Enabled());

  childWindows = 1;
  RunIdle();
  EXPECT_TRUE(command->Enabled());

  m_list.StopIdleUpdates();
  const int before = updates;
  childWindows = 0;
  RunIdle();
  EXPECT_EQ(updates, before);
  EXPECT_TRUE(command->Enabled());
}

TEST_F(CommandTest, ListFindsCommandsByNameAndRefusesDuplicates) {
  m_list.Add("DBPrimeiro");
  m_list.Add("DBUltimo");
  EXPECT_EQ(m_list.Find("DBUltimo")->Name(), "DBUltimo");
  EXPECT_EQ(m_list.Find("DBNada"), nullptr);
  EXPECT_EQ(&m_list["DBPrimeiro"], m_list.Find("DBPrimeiro"));
  EXPECT_THROW(m_list["DBNada"], std::logic_error);
  EXPECT_THROW(m_list.Add("DBPrimeiro"), std::logic_error);
  EXPECT_EQ(m_list.Commands().size(), 2u);
}

}  // namespace
}  // namespace vorelia::widgets

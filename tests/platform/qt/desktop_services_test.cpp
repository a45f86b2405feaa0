#include "platform/qt/desktop_services.h"

#include <QGuiApplication>
#include <QClipboard>

#include <gtest/gtest.h>

#include "platform/service_doubles.h"

namespace vorelia::platform {
namespace {

TEST(DesktopServicesTest, OverridesReplaceAndRestoreTheRealServices) {
  IMessageBox* real = &MessageBoxService();
  {
    TMessageBoxDouble answers;
    answers.answers = {TMessageResult::No};
    ScopedMessageBox scope(answers);
    EXPECT_EQ(&MessageBoxService(), &answers);
    EXPECT_EQ(MessageBoxService().Show(Question("Apagar?")), TMessageResult::No);
    // With the script used up, the default button answers.
    EXPECT_EQ(MessageBoxService().Show(Question("De novo?")), TMessageResult::Yes);
    ASSERT_EQ(answers.asked.size(), 2u);
    EXPECT_EQ(answers.asked[0].text, "Apagar?");
    EXPECT_EQ(answers.asked[1].caption, "Vorelia");
  }
  EXPECT_EQ(&MessageBoxService(), real);

  TDesktopShellDouble shell;
  {
    ScopedShell scope(shell);
    ShellService().Execute({"open", "mailto:rh@agencia.com.br", "", ""});
  }
  ASSERT_EQ(shell.requests.size(), 1u);
  EXPECT_EQ(shell.requests[0].action, "open");
  EXPECT_EQ(shell.requests[0].target, "mailto:rh@agencia.com.br");
}

TEST(DesktopServicesTest, RealClipboardTakesPlainText) {
  ClipboardService().SetText("Agência\tSão Paulo");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("Agência\tSão Paulo"));
}

TEST(DesktopServicesTest, RealScreenReportsAWorkAreaInsideTheScreen) {
  const TScreenFacts facts = ScreenService().Facts();
  EXPECT_GT(facts.width, 0);
  EXPECT_GT(facts.height, 0);
  ASSERT_TRUE(facts.workArea.has_value());
  EXPECT_GE(facts.workArea->left, 0);
  EXPECT_LE(facts.workArea->right, facts.width);
  EXPECT_LE(facts.workArea->bottom, facts.height);
}

TEST(DesktopServicesTest, RealShellReturnsAtOnceForAMissingDocument) {
  // Nothing to open and no desktop: no error, no wait.
  ShellService().Execute({"", "/nonexistent/ajuda_vorelia.chm", "", ""});
  SUCCEED();
}

}  // namespace
}  // namespace vorelia::platform

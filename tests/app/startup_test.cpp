#include "app/startup.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>

#include "app/form_principal.h"
#include "app/form_screen.h"
#include "app_fixture.h"
#include "widgets/image.h"

namespace vorelia::app {
namespace {

template <typename T>
int CountTopLevel() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<T*>(widget) != nullptr) ++count;
  }
  return count;
}

TEST(StartupTest, SplashIsPaintedThenPausedThenReplacedByTheMaximisedMainWindow) {
  InitApplication();
  platform::TScreenDouble screen;
  screen.facts = {1280, 1024, std::nullopt};
  platform::ScopedScreen scope(screen);

  std::vector<int> pauses;
  QPointer<Tform_screen> splash;
  bool splashPaintedAtPause = false;
  bool splashVisibleAtPause = false;
  int mainWindowsAtPause = -1;
  QPoint splashPlace;
  QRect picture;

  TStartupHooks hooks;
  hooks.splashShown = [&](Tform_screen& shown) {
    splash = &shown;
    splashPlace = shown.pos();
    picture = shown.Image1().geometry();
  };
  hooks.sleep = [&](int milliseconds) {
    pauses.push_back(milliseconds);
    splashPaintedAtPause = splash && splash->Painted();
    splashVisibleAtPause = splash && splash->isVisible();
    mainWindowsAtPause = CountTopLevel<TFormPrincipal>();
  };
  std::unique_ptr<TFormPrincipal> form = RunStartup(hooks);

  EXPECT_EQ(pauses, std::vector<int>{2500});
  EXPECT_TRUE(splashPaintedAtPause);
  EXPECT_TRUE(splashVisibleAtPause);
  EXPECT_EQ(mainWindowsAtPause, 0);
  EXPECT_EQ(splashPlace, QPoint((1280 - 383) / 2, (1024 - 310) / 2));
  EXPECT_EQ(picture, QRect(4, 5, 374, 300));

  EXPECT_TRUE(splash.isNull());
  EXPECT_EQ(CountTopLevel<Tform_screen>(), 0);
  ASSERT_NE(form, nullptr);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->windowState() & Qt::WindowMaximized);
  EXPECT_EQ(QApplication::applicationName(), "Vorelia 1.0a");
  EXPECT_EQ(QFont::substitute("MS Sans Serif").toLower(), "liberation sans");
}

// The real program, run as a process: through the start-up, its windows, and an error raised at
// the end, after which the run must end on its own with a failure code.
TEST(ProgramTest, RunEndsAfterTheErrorWindowWithAFailureCode) {
  QTemporaryDir shots;
  ASSERT_TRUE(shots.isValid());
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("VORELIA_SCREENSHOT", shots.path());
  program.setProcessEnvironment(environment);
  program.setWorkingDirectory(QDir::tempPath());
  program.start(QString(VORELIA_BIN_DIR) + "/vorelia", {});
  ASSERT_TRUE(program.waitForStarted(10000));
  ASSERT_TRUE(program.waitForFinished(60000)) << "the run did not end after the error window";
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  for (const char* name : {"splash", "main", "main_menu", "window_menu", "about", "error"}) {
    EXPECT_TRUE(QFile::exists(shots.filePath(QString(name) + ".png"))) << name;
  }
}

TEST(ProgramTest, WithoutADisplayItSaysSoInsteadOfCrashing) {
  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("QT_QPA_PLATFORM");
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  program.setProcessEnvironment(environment);
  program.start(QString(VORELIA_BIN_DIR) + "/vorelia", {});
  ASSERT_TRUE(program.waitForFinished(20000));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_TRUE(program.readAllStandardError().contains("no display"));
}

}  // namespace
}  // namespace vorelia::app

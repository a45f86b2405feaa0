#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/application.h"
#include "app/form_principal.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/guard.h"
#include "platform/service_doubles.h"

namespace vorelia::app::test {

// A main window over test doubles of the desktop: a 1600 x 1200 screen without a work area, a
// shell that records requests, and a run that records how it would end.
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InitApplication();
    platform::ResetFatalErrorState();
    m_screen.facts = {1600, 1200, std::nullopt};
    m_form = std::make_unique<TFormPrincipal>();
    m_form->SetTerminate([this](int code) { m_exitCodes.push_back(code); });
    m_previousHook = platform::SetErrorHook(
        [this](std::exception_ptr error) { m_form->AplicacaoException(error); });
  }
  void TearDown() override {
    platform::SetErrorHook(m_previousHook);
    m_form.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    platform::ResetFatalErrorState();
  }

  // Lets the event loop go idle once, as it does between user actions.
  static void RunIdle(int milliseconds = 30) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
  }

  platform::TScreenDouble m_screen;
  platform::TDesktopShellDouble m_shell;
  platform::ScopedScreen m_screenScope{m_screen};
  platform::ScopedShell m_shellScope{m_shell};
  std::unique_ptr<TFormPrincipal> m_form;
  std::vector<int> m_exitCodes;
  platform::ErrorHook m_previousHook;
};

}  // namespace vorelia::app::test

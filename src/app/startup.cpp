#include "app/startup.h"

#include "app/form_principal.h"
#include "app/form_screen.h"
#include "platform/sleep.h"

namespace vorelia::app {

std::unique_ptr<TFormPrincipal> RunStartup(const TStartupHooks& hooks) {
  auto splash = std::make_unique<Tform_screen>();
  splash->ShowAndPaint();
  if (hooks.splashShown) hooks.splashShown(*splash);
  if (hooks.sleep) {
    hooks.sleep(kSplashMilliseconds);
  } else {
    platform::SleepMilliseconds(kSplashMilliseconds);
  }
  auto main = std::make_unique<TFormPrincipal>();
  splash.reset();
  main->show();
  return main;
}

}  // namespace vorelia::app

#pragma once

#include <functional>
#include <memory>

namespace vorelia::app {

class TFormPrincipal;
class Tform_screen;

inline constexpr int kSplashMilliseconds = 2500;

// What the start-up sequence does between its steps; tests and the screenshot tour replace
// parts of it.
struct TStartupHooks {
  // Pauses the program (the real one sleeps the thread, processing no events).
  std::function<void(int milliseconds)> sleep;
  // Called once the splash window has been shown and painted.
  std::function<void(Tform_screen& splash)> splashShown;
};

// Splash shown and painted, the pause, the main window created (centred, then maximised), the
// splash destroyed, the main window shown. The caller runs the event loop.
std::unique_ptr<TFormPrincipal> RunStartup(const TStartupHooks& hooks);

}  // namespace vorelia::app

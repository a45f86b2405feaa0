#pragma once

#include <QString>

#include <utility>

class QWidget;

namespace vorelia::app {

class TFormPrincipal;
struct TStartupHooks;

// A hidden tour for documentation and checks: with VORELIA_SCREENSHOT=<folder> set, the program
// saves PNGs of the splash, the main window with its menus, the about window and the error
// window into that folder, raising a demonstration error at the end, so the run ends through the
// error window like any failing run.
class TScreenshotTour {
 public:
  // Empty when the tour was not asked for.
  static QString RequestedFolder();

  explicit TScreenshotTour(QString folder) : m_folder(std::move(folder)) {}

  // Adds the splash shot to the start-up.
  void Attach(TStartupHooks& hooks);
  // Schedules the rest once the event loop runs.
  void Start(TFormPrincipal& form);

 private:
  void Save(const QString& name, QWidget* window) const;

  QString m_folder;
};

}  // namespace vorelia::app

#pragma once

#include <QApplication>

namespace vorelia::app {

inline constexpr const char* kApplicationTitle = "Vorelia 1.0a";

// The application object. Every entry point from the event loop is guarded on its own; notify()
// is only the last net, so nothing ever unwinds out of exec().
class TApplication : public QApplication {
  Q_OBJECT

 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Title, fonts and pictures: what the program needs before its first window. The 96-dpi layouts
// name "MS Sans Serif", which this desktop lacks; the metric-compatible face stands in.
void InitApplication();

}  // namespace vorelia::app

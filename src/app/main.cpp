#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Vorelia 1.0a");
  QMainWindow window;
  window.setWindowTitle("Vorelia 1.0a");
  window.showMaximized();
  return app.exec();
}

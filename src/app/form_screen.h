#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class Tform_screen;
}

namespace vorelia::widgets {
class TImage;
}

namespace vorelia::app {

// The splash window: no border or caption, centred on the screen, showing only its picture; it
// paints no background of its own.
class Tform_screen : public QWidget {
  Q_OBJECT

 public:
  explicit Tform_screen(QWidget* parent = nullptr);
  ~Tform_screen() override;

  widgets::TImage& Image1() const;

  // Shows the window and paints it before returning, since the start-up then sleeps without
  // processing events.
  void ShowAndPaint();
  bool Painted() const { return m_painted; }

 private:
  std::unique_ptr<Ui::Tform_screen> m_ui;
  bool m_painted = false;
};

}  // namespace vorelia::app

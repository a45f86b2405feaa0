#pragma once

#include <QLabel>

namespace vorelia::widgets {

// A label that reports the mouse entering, leaving and clicking it (links, hover effects).
class THoverLabel : public QLabel {
  Q_OBJECT

 public:
  explicit THoverLabel(QWidget* parent = nullptr);

  // Sets the text colour, keeping the rest of the palette.
  void SetFontColor(const QColor& color);
  QColor FontColor() const;

 signals:
  void MouseEnter();
  void MouseLeave();
  void Click();

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace vorelia::widgets

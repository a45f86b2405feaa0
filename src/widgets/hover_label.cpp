#include "widgets/hover_label.h"

#include <QMouseEvent>

namespace vorelia::widgets {

THoverLabel::THoverLabel(QWidget* parent) : QLabel(parent) {}

void THoverLabel::SetFontColor(const QColor& color) {
  if (FontColor() == color) return;
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, color);
  setPalette(colours);
}

QColor THoverLabel::FontColor() const { return palette().color(QPalette::WindowText); }

void THoverLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  emit MouseEnter();
}

void THoverLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  emit MouseLeave();
}

void THoverLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit Click();
  }
}

}  // namespace vorelia::widgets

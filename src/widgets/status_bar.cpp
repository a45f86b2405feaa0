#include "widgets/status_bar.h"

#include <QPainter>
#include <QStyleOption>
#include <qdrawutil.h>

namespace vorelia::widgets {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setFixedHeight(kDefaultHeight);
}

int TStatusBar::AddPanel(int width, Qt::Alignment alignment, const QString& text) {
  m_panels.push_back({width, alignment, text});
  update();
  return PanelCount() - 1;
}

void TStatusBar::SetPanelText(int index, const QString& text) {
  Panel& panel = m_panels.at(index);
  if (panel.text == text) return;
  panel.text = text;
  update(PanelRect(index));
}

QRect TStatusBar::PanelRect(int index) const {
  int left = 0;
  for (int i = 0; i < index; ++i) left += m_panels.at(i).width;
  // Panels are separated by a 2-pixel gap and sit 2 pixels inside the bar's top edge.
  return QRect(left, 2, m_panels.at(index).width - 2, height() - 2);
}

QSize TStatusBar::sizeHint() const {
  int width = 0;
  for (const Panel& panel : m_panels) width += panel.width;
  return QSize(width, kDefaultHeight);
}

void TStatusBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  for (int i = 0; i < PanelCount(); ++i) {
    const QRect box = PanelRect(i);
    qDrawShadePanel(&painter, box, palette(), true, 1);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(box.adjusted(3, 0, -3, 0), static_cast<int>(m_panels[i].alignment),
                     m_panels[i].text);
  }
}

}  // namespace vorelia::widgets

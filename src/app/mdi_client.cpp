#include "app/mdi_client.h"

#include <QPainter>

#include "app/window_placement.h"
#include "platform/qt/guard.h"

namespace vorelia::app {

TMdiClient::TMdiClient(QWidget* parent) : QMdiArea(parent) {
  setBackground(QColor::fromRgb(kBackground));
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TMdiClient::SetLogo(const QImage& logo) {
  m_logo = logo;
  viewport()->update();
}

QRect TMdiClient::LogoRect() const {
  const QSize logoSize = m_logo.isNull() ? kLogoSize : m_logo.size();
  const QSize client(viewport()->width(), viewport()->height() + m_clientExtraHeight);
  return QRect(LogoPosition(client, logoSize), logoSize);
}

void TMdiClient::paintEvent(QPaintEvent* event) {
  platform::Guarded([&] {
    QMdiArea::paintEvent(event);  // the background
    if (m_logo.isNull()) return;
    QPainter painter(viewport());
    painter.drawImage(LogoRect().topLeft(), m_logo);
  });
}

}  // namespace vorelia::app

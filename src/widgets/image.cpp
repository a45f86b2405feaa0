#include "widgets/image.h"

#include <QPainter>

namespace vorelia::widgets {

TImage::TImage(QWidget* parent) : QWidget(parent) {}

void TImage::SetPicture(const QImage& picture) {
  m_picture = picture;
  if (m_autoSize && !picture.isNull()) resize(picture.size());
  update();
}

void TImage::paintEvent(QPaintEvent*) {
  if (m_picture.isNull()) return;
  QPainter painter(this);
  painter.drawImage(0, 0, m_picture);
}

}  // namespace vorelia::widgets

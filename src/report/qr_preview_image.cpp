#include "report/qr_preview_image.h"

#include <QPainter>

#include "platform/qt/guard.h"
#include "report/core/qr_printer.h"
#include "report/page_player.h"

namespace vorelia::report {

TQRPreviewImage::TQRPreviewImage(QWidget* parent) : QWidget(parent) { resize(100, 50); }

void TQRPreviewImage::LoadPage() {
  m_page.reset();
  if (m_printer) m_page = m_printer->GetPage(m_pageNumber);
  update();
}

void TQRPreviewImage::paintEvent(QPaintEvent* /*event*/) {
  platform::Guarded([this] {
    if (!m_page) return;
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.fillRect(QRect(QPoint(1, 1), QPoint(w - 3, h - 3)), Qt::white);
    PlayPage(*m_page, painter, QRectF(0, 0, w, h));
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    const QPoint outline[] = {{0, 0}, {0, h - 3}, {w - 3, h - 3}, {w - 3, 0}, {0, 0}};
    painter.drawPolyline(outline, 5);
    painter.fillRect(QRect(QPoint(w - 2, 2), QPoint(w - 1, h - 1)), Qt::black);
    painter.fillRect(QRect(QPoint(2, h - 2), QPoint(w - 1, h - 1)), Qt::black);
  });
}

}  // namespace vorelia::report

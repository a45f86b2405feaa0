#include "report/qr_preview.h"

#include <QCoreApplication>
#include <QPointer>
#include <QScrollBar>
#include <map>
#include <mutex>

#include "platform/qt/guard.h"
#include "report/core/qr_printer.h"
#include "report/qr_preview_image.h"
#include "report/qr_unit_base.h"

namespace vorelia::report {

TQRPreview::TQRPreview(QWidget* parent) : QScrollArea(parent), m_image(new TQRPreviewImage) {
  setWidget(m_image);
  setWidgetResizable(false);
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  resize(250, 250);
}

TQRPreview::~TQRPreview() { Detach(); }

namespace {

// The view showing each printer. Only the user-interface thread reads or changes it; the
// printer's notifications, raised on the composing thread, are posted there and look their view
// up, so a view may come and go while a worker composes.
std::map<const TQRPrinter*, QPointer<TQRPreview>>& Views() {
  static std::map<const TQRPrinter*, QPointer<TQRPreview>> views;
  return views;
}

// Qt's event queue already orders a post before its call, but with futexes a ThreadSanitizer
// build cannot see (the system's Qt is not instrumented). The posting thread builds and posts
// the call holding this lock, and the call takes it before reading what it carries, so the
// hand-over is visible to the tool too. Qt delivers the call with none of its own locks held,
// so the two locks are only ever taken in one order.
std::mutex& PostLock() {
  static std::mutex lock;
  return lock;
}

template <typename Call>
void PostToView(const TQRPrinter* printer, Call call) {
  std::scoped_lock posting(PostLock());
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [printer, call] {
        { std::scoped_lock received(PostLock()); }
        const auto it = Views().find(printer);
        if (it == Views().end() || !it->second) return;
        TQRPreview* view = it->second.data();
        platform::Guarded([&] { call(*view); });
      },
      Qt::QueuedConnection);
}

}  // namespace

void TQRPreview::InstallNotifications(TQRPrinter& printer) {
  const TQRPrinter* key = &printer;
  printer.OnPagesReady = [key](int count) {
    PostToView(key, [count](TQRPreview& view) { view.PagesAvailable(count); });
  };
  printer.OnProgress = [key](int percent) {
    PostToView(key, [percent](TQRPreview& view) { view.ProgressUpdate(percent); });
  };
}

void TQRPreview::Detach() {
  if (!m_printer) return;
  TQRPrinter* printer = m_printer;
  m_printer = nullptr;
  m_image->SetPrinter(nullptr);
  const auto it = Views().find(printer);
  if (it != Views().end() && it->second == this) Views().erase(it);
  printer->SetPreviewShown(false);
}

void TQRPreview::SetQRPrinter(TQRPrinter* printer) {
  Detach();
  m_printer = printer;
  m_image->SetPrinter(printer);
  if (printer) {
    Views()[printer] = this;
    // A printer composing on a worker had its notifications installed before the worker began.
    if (!printer->OnPagesReady) InstallNotifications(*printer);
    printer->SetPreviewShown(true);
  }
  m_pageNumber = 1;
  m_image->SetPageNumber(1);
  m_image->LoadPage();
  UpdateZoom();
}

// Stored pages are drawn at screen resolution. The view converts with that constant rather than
// the printer's factors, which the composing worker rewrites with every page it opens.
constexpr double kPageStoreFactor = kScreenPixelsPerInch / 254.0;

int TQRPreview::PageWidthPixels() const {
  return m_printer ? RoundEven(m_printer->PageWidthNative() * kPageStoreFactor) : 0;
}

int TQRPreview::PageHeightPixels() const {
  return m_printer ? RoundEven(m_printer->PageLengthNative() * kPageStoreFactor) : 0;
}

void TQRPreview::SetPageNumber(int page) {
  if ((page == m_pageNumber && m_image->ImageOK()) || page < 1 || !m_printer ||
      page > m_printer->PageCount()) {
    return;
  }
  m_pageNumber = page;
  m_image->SetPageNumber(page);
  m_image->LoadPage();
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
}

void TQRPreview::SetZoom(int zoom) {
  if (zoom < 2 || zoom > 2000) return;
  m_zoomState = TQRZoomState::ZoomModeOther;
  m_zoom = zoom;
  UpdateZoom();
}

void TQRPreview::ZoomToFit() {
  const int pw = PageWidthPixels();
  const int ph = PageHeightPixels();
  if (pw <= 0 || ph <= 0) return;
  const int byWidth = RoundEven(static_cast<double>(viewport()->width()) / pw * 95);
  const int byHeight = RoundEven(static_cast<double>(viewport()->height()) / ph * 95);
  m_zoom = std::max(1, std::min(byWidth, byHeight));
  UpdateZoom();
  m_zoomState = TQRZoomState::ZoomModeFit;
}

void TQRPreview::ZoomToWidth() {
  const int pw = PageWidthPixels();
  if (pw <= 0) return;
  m_zoom = std::max(1, RoundEven(static_cast<double>(viewport()->width()) / pw * 90));
  UpdateZoom();
  m_zoomState = TQRZoomState::ZoomModeWidth;
}

void TQRPreview::UpdateZoom() {
  if (!m_printer) return;
  const int width = RoundEven(m_printer->PageWidthNative() * m_zoom / 100.0 * kPageStoreFactor) + 4;
  const int height =
      RoundEven(m_printer->PageLengthNative() * m_zoom / 100.0 * kPageStoreFactor) + 4;
  m_image->resize(width, height);
  // Smaller than the view: centred.
  const int left = width < viewport()->width() ? (viewport()->width() - width) / 2 : 0;
  const int top = height < viewport()->height() ? (viewport()->height() - height) / 2 : 0;
  m_image->move(left, top);
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  m_image->SetZoom(m_zoom);
  m_image->update();
}

void TQRPreview::resizeEvent(QResizeEvent* event) {
  QScrollArea::resizeEvent(event);
  platform::Guarded([this] {
    if (m_zoomState == TQRZoomState::ZoomModeFit) ZoomToFit();
    if (m_zoomState == TQRZoomState::ZoomModeWidth) ZoomToWidth();
    UpdateZoom();
  });
}

void TQRPreview::PagesAvailable(int count) {
  if (count == m_pageNumber && !m_image->ImageOK() && m_printer &&
      m_printer->PagesReady() >= m_image->PageNumber()) {
    ZoomToWidth();
    m_image->LoadPage();
  }
  emit OnPageAvailable(count);
}

void TQRPreview::ProgressUpdate(int percent) { emit OnProgressUpdate(percent); }

}  // namespace vorelia::report

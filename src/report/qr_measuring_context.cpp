#include "report/qr_measuring_context.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>

#include "platform/qt/ansi_text.h"

namespace vorelia::report {

namespace {

constexpr int kLayoutPpi = 96;

int DotsPerMetre(int ppi) { return static_cast<int>(ppi / 0.0254 + 0.5); }

}  // namespace

QFont ToQFont(const TCanvasFont& font) {
  QFont result(platform::FromAnsi(font.Name));
  result.setPointSize(font.Size > 0 ? font.Size : 1);
  result.setBold(font.Bold);
  result.setItalic(font.Italic);
  result.setUnderline(font.Underline);
  result.setStrikeOut(font.StrikeOut);
  return result;
}

TQRMeasuringContext::TQRMeasuringContext() = default;
TQRMeasuringContext::~TQRMeasuringContext() = default;

const QImage& TQRMeasuringContext::Device(int ppiX, int ppiY) const {
  auto& device = m_devices[{ppiX, ppiY}];
  if (!device) {
    device = std::make_unique<QImage>(1, 1, QImage::Format_RGB32);
    device->setDotsPerMeterX(DotsPerMetre(ppiX));
    device->setDotsPerMeterY(DotsPerMetre(ppiY));
  }
  return *device;
}

const QFontMetrics& TQRMeasuringContext::Metrics(const TCanvasFont& font, int ppiX,
                                                 int ppiY) const {
  const int style = (font.Bold ? 1 : 0) | (font.Italic ? 2 : 0) | (font.Underline ? 4 : 0) |
                    (font.StrikeOut ? 8 : 0);
  auto& metrics = m_metrics[MetricsKey{font.Name, font.Size, style, ppiX, ppiY}];
  if (!metrics) metrics = std::make_unique<QFontMetrics>(ToQFont(font), &Device(ppiX, ppiY));
  return *metrics;
}

TCanvasSize TQRMeasuringContext::Extent(const TCanvasFont& font, std::string_view text, int ppiX,
                                        int ppiY) const {
  if (ppiX <= 0 || ppiY <= 0) return {};
  const QString qtext = platform::FromAnsi(text);
  std::scoped_lock lock(m_mutex);
  const QFontMetrics& metrics = Metrics(font, ppiX, ppiY);
  return {metrics.horizontalAdvance(qtext), metrics.height()};
}

int TQRMeasuringContext::TextWidth(const TCanvasFont& font, std::string_view text) const {
  return Extent(font, text, kLayoutPpi, kLayoutPpi).Width + 1;
}

int TQRMeasuringContext::TextHeight(const TCanvasFont& font, std::string_view text) const {
  return Extent(font, text.substr(0, 1), kLayoutPpi, kLayoutPpi).Height;
}

}  // namespace vorelia::report

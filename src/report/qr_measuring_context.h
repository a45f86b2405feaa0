#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "report/core/page_canvas.h"

class QFont;
class QFontMetrics;
class QImage;

namespace vorelia::report {

// The font a canvas font stands for: family (ANSI name), point size and style.
QFont ToQFont(const TCanvasFont& font);

// Text metrics on fixed-resolution memory images, never the screen, so that sizes, wrapping
// and page breaks come out the same on every machine. Safe to use from the composing worker.
class TQRMeasuringContext : public TTextMeasurer {
 public:
  TQRMeasuringContext();
  ~TQRMeasuringContext() override;

  // Width in 96-dpi pixels plus 1; 0 when the text cannot be measured.
  int TextWidth(const TCanvasFont& font, std::string_view text) const;
  // Height in 96-dpi pixels of one character of the font; 0 when it cannot be measured.
  int TextHeight(const TCanvasFont& font, std::string_view text) const;

  TCanvasSize Extent(const TCanvasFont& font, std::string_view text, int ppiX,
                     int ppiY) const override;

 private:
  const QImage& Device(int ppiX, int ppiY) const;
  // Metrics of a font at a resolution, made once: building them resolves the font, which costs
  // far more than measuring a text.
  const QFontMetrics& Metrics(const TCanvasFont& font, int ppiX, int ppiY) const;

  struct MetricsKey {
    std::string Name;
    int Size;
    int Style;
    int PpiX;
    int PpiY;
    auto operator<=>(const MetricsKey&) const = default;
  };

  mutable std::mutex m_mutex;
  mutable std::map<std::pair<int, int>, std::unique_ptr<QImage>> m_devices;
  mutable std::map<MetricsKey, std::unique_ptr<QFontMetrics>> m_metrics;
};

}  // namespace vorelia::report

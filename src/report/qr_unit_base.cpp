#include "report/qr_unit_base.h"

#include <QLocale>
#include <cmath>

namespace vorelia::report {

bool RegionUsesInches() {
  const QLocale locale = QLocale::system();
  // An unset or C locale counts as Brazilian Portuguese, which is metric.
  if (locale.language() == QLocale::C) return false;
  return locale.measurementSystem() == QLocale::ImperialUSSystem;
}

int RoundEven(double value) { return static_cast<int>(std::nearbyint(value)); }

TQRUnitBase::TQRUnitBase(std::size_t count)
    : m_values(count, 0.0),
      m_units(RegionUsesInches() ? TQRUnit::Inches : TQRUnit::MM),
      m_savedUnits(m_units) {}

void TQRUnitBase::SetZoom(int zoom) {
  if (zoom <= 0) return;
  m_zoom = zoom;
  for (std::size_t i = 0; i < m_values.size(); ++i) StoredChanged(i);
}

void TQRUnitBase::SetNative(std::size_t index, double value) {
  if (m_values.at(index) == value) return;
  m_values[index] = value;
  StoredChanged(index);
}

void TQRUnitBase::SetValues(const std::vector<double>& values) {
  for (std::size_t i = 0; i < values.size() && i < m_values.size(); ++i) {
    m_values[i] = values[i];
    StoredChanged(i);
  }
}

double TQRUnitBase::CharSize(bool across) const {
  double points = m_fontSize ? std::fabs(m_fontSize()) : 10.0;
  if (points == 0) points = 10.0;
  return (across ? 80.0 : 145.3) / points / 2.54;
}

double TQRUnitBase::Get(std::size_t index) const {
  const double n = m_values.at(index);
  switch (m_units) {
    case TQRUnit::MM:
      return n / 10.0;
    case TQRUnit::Inches:
      return n / 254.0;
    case TQRUnit::Pixels:
      return n / (254.0 / m_resolution) * m_zoom / 100.0 * PixelScale();
    case TQRUnit::Characters:
      return n / CharSize(IsAcross(index)) / 10.0;
    case TQRUnit::Native:
      return n;
  }
  return n;
}

void TQRUnitBase::Set(std::size_t index, double shown) {
  double n = shown;
  switch (m_units) {
    case TQRUnit::MM:
      n = shown * 10.0;
      break;
    case TQRUnit::Inches:
      n = shown * 254.0;
      break;
    case TQRUnit::Pixels:
      n = shown * (254.0 / m_resolution) / m_zoom * 100.0;
      break;
    case TQRUnit::Characters:
      n = shown * CharSize(IsAcross(index)) * 10.0;
      break;
    case TQRUnit::Native:
      break;
  }
  SetNative(index, n);
}

int TQRUnitBase::ToPixels(double native) const {
  return RoundEven(native * m_resolution / 254.0 * m_zoom / 100.0);
}

double TQRUnitBase::FromPixels(int pixels) const {
  return pixels * 254.0 / m_resolution * 100.0 / m_zoom;
}

void TQRBandSize::StoredChanged(std::size_t index) {
  const int pixels = ToPixels(Native(index));
  (index == kHeight ? m_bounds.Height : m_bounds.Width) = pixels;
}

void TQRBandSize::SetFromPixels(const TQRPixelBounds& bounds) {
  m_bounds = bounds;
  // Values already matching the pixels keep their exact fractions.
  if (ToPixels(Native(kHeight)) != bounds.Height) SetNative(kHeight, FromPixels(bounds.Height));
  if (ToPixels(Native(kWidth)) != bounds.Width) SetNative(kWidth, FromPixels(bounds.Width));
}

double TQRPrintableSize::PixelScale() const { return m_bandZoom ? m_bandZoom() / 100.0 : 1.0; }

void TQRPrintableSize::StoredChanged(std::size_t index) {
  const int pixels = ToPixels(Native(index));
  switch (index) {
    case kHeight:
      m_bounds.Height = pixels;
      break;
    case kLeft:
      m_bounds.Left = pixels;
      break;
    case kTop:
      m_bounds.Top = pixels;
      break;
    default:
      m_bounds.Width = pixels;
      break;
  }
}

void TQRPrintableSize::SetFromPixels(const TQRPixelBounds& bounds) {
  m_bounds = bounds;
  const int pixels[] = {bounds.Height, bounds.Left, bounds.Top, bounds.Width};
  for (std::size_t i = 0; i < 4; ++i) {
    if (ToPixels(Native(i)) != pixels[i]) SetNative(i, FromPixels(pixels[i]));
  }
}

}  // namespace vorelia::report

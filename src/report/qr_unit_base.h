#pragma once

#include <cstddef>
#include <functional>
#include <vector>

namespace vorelia::report {

// Display unit of a layout's measurements; values are always stored in tenths of a millimetre.
enum class TQRUnit { MM, Inches, Pixels, Characters, Native };

// True when the regional settings measure in inches (new layouts then start in inches).
bool RegionUsesInches();

// Layout resolution: positions in the stored forms are pixels at 96 per inch.
inline constexpr double kLayoutPixelsPerInch = 96.0;

// Integer pixel bounds of a report, band or printable at the layout resolution.
struct TQRPixelBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

// Round to nearest, ties to even: the one rounding every layout conversion uses.
int RoundEven(double value);

// A list of stored measurements in tenths of a millimetre, read and written in a display unit.
// The stored numbers are authoritative: pixel bounds follow them, never the other way round,
// except when a control resizes itself (SetFromPixels).
class TQRUnitBase {
 public:
  explicit TQRUnitBase(std::size_t count);
  virtual ~TQRUnitBase() = default;
  TQRUnitBase(const TQRUnitBase&) = delete;
  TQRUnitBase& operator=(const TQRUnitBase&) = delete;

  TQRUnit Units() const { return m_units; }
  void SetUnits(TQRUnit units) { m_units = units; }
  // A temporary switch (to pixels, or to native during a run) and back.
  void SaveUnit() { m_savedUnits = m_units; }
  void RestoreUnit() { m_units = m_savedUnits; }

  int Zoom() const { return m_zoom; }
  void SetZoom(int zoom);
  double Resolution() const { return m_resolution; }

  // The report font's size in points, for the character unit.
  void SetFontSizeSource(std::function<double()> source) { m_fontSize = std::move(source); }

  std::size_t Count() const { return m_values.size(); }
  const std::vector<double>& Values() const { return m_values; }
  double Native(std::size_t index) const { return m_values.at(index); }
  void SetNative(std::size_t index, double value);
  // Replaces all stored values at once, as a layout loads them.
  void SetValues(const std::vector<double>& values);

  // The stored value in the current unit, and back.
  double Get(std::size_t index) const;
  void Set(std::size_t index, double shown);

  // Pixels at this object's resolution and zoom for a stored value, and the reverse.
  int ToPixels(double native) const;
  double FromPixels(int pixels) const;

 protected:
  virtual bool IsAcross(std::size_t index) const = 0;
  // Extra factor on pixel reads (a printable follows its band's zoom).
  virtual double PixelScale() const { return 1.0; }
  // Called after a stored value changed, to move the owner's pixel bounds.
  virtual void StoredChanged(std::size_t /*index*/) {}

 private:
  double CharSize(bool across) const;

  std::vector<double> m_values;
  TQRUnit m_units;
  TQRUnit m_savedUnits;
  int m_zoom = 100;
  double m_resolution = kLayoutPixelsPerInch;
  std::function<double()> m_fontSize;
};

// Band height and width. The width is set by the report's layout of its bands.
class TQRBandSize : public TQRUnitBase {
 public:
  enum : std::size_t { kHeight, kWidth };
  explicit TQRBandSize(TQRPixelBounds& bounds) : TQRUnitBase(2), m_bounds(bounds) {}

  double Height() const { return Get(kHeight); }
  void SetHeight(double v) { Set(kHeight, v); }
  double Width() const { return Get(kWidth); }
  void SetWidth(double v) { Set(kWidth, v); }
  // Takes new pixel bounds, rewriting stored values that differ.
  void SetFromPixels(const TQRPixelBounds& bounds);

 protected:
  bool IsAcross(std::size_t index) const override { return index == kWidth; }
  void StoredChanged(std::size_t index) override;

 private:
  TQRPixelBounds& m_bounds;
};

// Printable position and size relative to its band.
class TQRPrintableSize : public TQRUnitBase {
 public:
  enum : std::size_t { kHeight, kLeft, kTop, kWidth };
  explicit TQRPrintableSize(TQRPixelBounds& bounds) : TQRUnitBase(4), m_bounds(bounds) {}

  double Height() const { return Get(kHeight); }
  void SetHeight(double v) { Set(kHeight, v); }
  double Left() const { return Get(kLeft); }
  void SetLeft(double v) { Set(kLeft, v); }
  double Top() const { return Get(kTop); }
  void SetTop(double v) { Set(kTop, v); }
  double Width() const { return Get(kWidth); }
  void SetWidth(double v) { Set(kWidth, v); }
  void SetFromPixels(const TQRPixelBounds& bounds);
  // The band's zoom in percent, applied on pixel reads.
  void SetBandZoom(std::function<int()> zoom) { m_bandZoom = std::move(zoom); }

 protected:
  bool IsAcross(std::size_t index) const override { return index == kLeft || index == kWidth; }
  double PixelScale() const override;
  void StoredChanged(std::size_t index) override;

 private:
  TQRPixelBounds& m_bounds;
  std::function<int()> m_bandZoom;
};

}  // namespace vorelia::report

#pragma once

#include <string>

#include "report/core/page_canvas.h"
#include "report/qr_frame.h"
#include "report/qr_unit_base.h"

namespace vorelia::report {

class TQRCustomBand;
class TQRCustomReport;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Base of everything printed inside a band (or directly on the report). Position and size are
// stored in tenths of a millimetre (Size) relative to the band; the pixel bounds follow them.
// The band, or the report for a printable placed on it, owns the printable.
class TQRPrintable {
 public:
  explicit TQRPrintable(std::string name);
  virtual ~TQRPrintable();
  TQRPrintable(const TQRPrintable&) = delete;
  TQRPrintable& operator=(const TQRPrintable&) = delete;

  const std::string& Name() const { return m_name; }
  TQRCustomBand* ParentBand() const { return m_band; }
  TQRCustomReport* ParentReport() const { return m_report; }
  // Called by the band or report that takes the printable.
  void SetParent(TQRCustomBand* band, TQRCustomReport* report);

  // Pixel bounds at the layout resolution; writing them recomputes the stored values.
  int Left() const { return m_bounds.Left; }
  int Top() const { return m_bounds.Top; }
  int Width() const { return m_bounds.Width; }
  int Height() const { return m_bounds.Height; }
  const TQRPixelBounds& Bounds() const { return m_bounds; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

  TQRPrintableSize& Size() { return m_size; }
  const TQRPrintableSize& Size() const { return m_size; }
  TQRFrame& Frame() { return m_frame; }
  const TQRFrame& Frame() const { return m_frame; }

  bool Enabled = true;
  // Only for printables on the report: a disabled one still prints when hidden.
  bool Visible = true;
  TAlignment Alignment = TAlignment::taLeftJustify;
  bool Transparent = false;
  TColor Color = clWhite;

  bool AlignToBand() const { return m_alignToBand; }
  void SetAlignToBand(bool align);
  // Keeps an AlignToBand printable at its edge after the band's width changed.
  void AlignToBandEdge();

  // Run state.
  bool Finished() const { return m_finished; }
  bool IsPrinting() const { return m_isPrinting; }

  // Before and after a run.
  virtual void Prepare();
  virtual void Unprepare();
  // Prints at the band's current position, in tenths of a millimetre.
  virtual void Print(int x0, int y0) = 0;
  // The detail band this printable listens to advanced by one record.
  virtual void DetailAdvanced() {}
  // Whether a band's printing loop calls Print (placed on the report: also when hidden).
  bool Prints() const;

 protected:
  // The band's expanded height in the current printing (0 on the report).
  double BandExpanded() const;
  void SetFinished(bool finished) { m_finished = finished; }
  virtual void BoundsChanged() {}

 private:
  std::string m_name;
  TQRCustomBand* m_band = nullptr;
  TQRCustomReport* m_report = nullptr;
  TQRPixelBounds m_bounds;
  TQRPrintableSize m_size;
  TQRFrame m_frame;
  bool m_alignToBand = false;
  bool m_finished = true;
  bool m_isPrinting = false;
};

}  // namespace vorelia::report

#include "report/qr_printable.h"

#include "report/qr_custom_band.h"
#include "report/qr_custom_report.h"

namespace vorelia::report {

TQRPrintable::TQRPrintable(std::string name) : m_name(std::move(name)), m_size(m_bounds) {
  m_size.SetBandZoom([this] { return m_band ? m_band->Zoom() : 100; });
  SetBounds(0, 0, 10, 10);
}

TQRPrintable::~TQRPrintable() = default;

void TQRPrintable::SetParent(TQRCustomBand* band, TQRCustomReport* report) {
  m_band = band;
  m_report = report;
  if (report) {
    m_size.SetUnits(report->Units());
    m_size.SetFontSizeSource([report] { return report->Font.Size; });
  }
}

void TQRPrintable::SetBounds(int left, int top, int width, int height) {
  m_size.SetFromPixels({left, top, width, height});
  BoundsChanged();
}

void TQRPrintable::SetAlignToBand(bool align) {
  m_alignToBand = align;
  AlignToBandEdge();
}

void TQRPrintable::AlignToBandEdge() {
  if (!m_alignToBand || !m_band) return;
  const int bandWidth = m_band->Bounds().Width;
  switch (Alignment) {
    case TAlignment::taLeftJustify:
      SetLeft(0);
      break;
    case TAlignment::taRightJustify:
      SetLeft(bandWidth - Width());
      break;
    case TAlignment::taCenter:
      SetLeft((bandWidth - Width()) / 2);
      break;
  }
}

void TQRPrintable::Prepare() {
  m_isPrinting = true;
  m_finished = true;
}

void TQRPrintable::Unprepare() { m_isPrinting = false; }

bool TQRPrintable::Prints() const { return m_band ? Enabled : Enabled || !Visible; }

double TQRPrintable::BandExpanded() const { return m_band ? m_band->Expanded : 0.0; }

}  // namespace vorelia::report

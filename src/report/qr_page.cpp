#include "report/qr_page.h"

namespace vorelia::report {

TQRPage::TQRPage()
    : TQRUnitBase(7), m_paperSize(RegionUsesInches() ? TQRPaperSize::Letter : TQRPaperSize::A4) {
  const double margin = RegionUsesInches() ? 127.0 : 100.0;
  SetNative(kTopMargin, margin);
  SetNative(kBottomMargin, margin);
  SetNative(kLeftMargin, margin);
  SetNative(kRightMargin, margin);
  ApplyPaperSize();
}

void TQRPage::ApplyPaperSize() {
  if (m_paperSize == TQRPaperSize::Default || m_paperSize == TQRPaperSize::Custom) return;
  const TPaperDimensions paper = PaperDimensions(m_paperSize);
  const bool portrait = m_orientation == TQROrientation::poPortrait;
  SetNative(kWidth, (portrait ? paper.Width : paper.Length) * 10.0);
  SetNative(kLength, (portrait ? paper.Length : paper.Width) * 10.0);
}

void TQRPage::SetPaperSize(TQRPaperSize size) {
  m_paperSize = size;
  ApplyPaperSize();
  if (m_onChange) m_onChange();
}

void TQRPage::SetOrientation(TQROrientation orientation) {
  m_orientation = orientation;
  SetPaperSize(m_paperSize);
}

void TQRPage::SetWidth(double v) {
  if (m_paperSize == TQRPaperSize::Custom) Set(kWidth, v);
}

void TQRPage::SetLength(double v) {
  if (m_paperSize == TQRPaperSize::Custom) Set(kLength, v);
}

void TQRPage::SetColumns(int columns) {
  if (columns < 1 || columns == m_columns) return;
  m_columns = columns;
  if (m_onChange) m_onChange();
}

void TQRPage::StoredChanged(std::size_t /*index*/) {
  if (m_onChange) m_onChange();
}

}  // namespace vorelia::report

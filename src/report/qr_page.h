#pragma once

#include "report/core/qr_paper_size.h"
#include "report/qr_unit_base.h"

namespace vorelia::report {

// Paper, orientation, margins and columns of a report. Stored values, in order: BottomMargin,
// Length, TopMargin, Width, LeftMargin, RightMargin, ColumnSpace.
class TQRPage : public TQRUnitBase {
 public:
  enum : std::size_t {
    kBottomMargin,
    kLength,
    kTopMargin,
    kWidth,
    kLeftMargin,
    kRightMargin,
    kColumnSpace
  };

  TQRPage();

  TQRPaperSize PaperSize() const { return m_paperSize; }
  void SetPaperSize(TQRPaperSize size);
  TQROrientation Orientation() const { return m_orientation; }
  void SetOrientation(TQROrientation orientation);

  // Writable only while the paper size is Custom.
  double Width() const { return Get(kWidth); }
  void SetWidth(double v);
  double Length() const { return Get(kLength); }
  void SetLength(double v);

  double TopMargin() const { return Get(kTopMargin); }
  void SetTopMargin(double v) { Set(kTopMargin, v); }
  double BottomMargin() const { return Get(kBottomMargin); }
  void SetBottomMargin(double v) { Set(kBottomMargin, v); }
  double LeftMargin() const { return Get(kLeftMargin); }
  void SetLeftMargin(double v) { Set(kLeftMargin, v); }
  double RightMargin() const { return Get(kRightMargin); }
  void SetRightMargin(double v) { Set(kRightMargin, v); }
  double ColumnSpace() const { return Get(kColumnSpace); }
  void SetColumnSpace(double v) { Set(kColumnSpace, v); }

  int Columns() const { return m_columns; }
  void SetColumns(int columns);

  bool Ruler() const { return m_ruler; }
  void SetRuler(bool ruler) { m_ruler = ruler; }

  // Called after anything that moves the bands (paper, orientation, margins, columns).
  void SetOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

 protected:
  bool IsAcross(std::size_t index) const override {
    return index == kWidth || index == kLeftMargin || index == kRightMargin ||
           index == kColumnSpace;
  }
  void StoredChanged(std::size_t index) override;

 private:
  void ApplyPaperSize();

  TQRPaperSize m_paperSize;
  TQROrientation m_orientation = TQROrientation::poPortrait;
  int m_columns = 1;
  bool m_ruler = true;
  std::function<void()> m_onChange;
};

}  // namespace vorelia::report

#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/core/page_canvas.h"
#include "report/core/qr_paper_size.h"
#include "report/qr_custom_band.h"
#include "report/qr_custom_label.h"
#include "report/qr_custom_report.h"
#include "report/qr_shape.h"
#include "report/qr_sys_data.h"

namespace vorelia::report {

class TQRReport;

// A report layout declared as data: the component tree with its property values, positions in
// pixels at 96 per inch relative to the band, as the layout editor stores them. Loading turns
// each pixel value into the stored tenths of a millimetre (pixels × 254 / 96) and lets those
// position the controls.
enum class TQRLayoutKind { Label, DBText, SysData, Expr, Shape };

struct TQRLayoutPrintable {
  TQRLayoutKind Kind = TQRLayoutKind::Label;
  std::string Name;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  // Caption of a label, field of a data text, prefix of a system value, expression.
  std::string Text;
  TCanvasFont Font;
  TColor Color = clWhite;
  TAlignment Alignment = TAlignment::taLeftJustify;
  bool AutoSize = true;
  bool AutoStretch = false;
  bool WordWrap = true;
  bool Transparent = false;
  TQRSysDataType Data = TQRSysDataType::qrsTime;
  TQRShapeType Shape = TQRShapeType::qrsRectangle;
  TCanvasPen Pen;
  TCanvasBrush Brush;
};

struct TQRLayoutBand {
  std::string Name;
  TQRBandType Type = TQRBandType::rbDetail;
  int Height = 40;
  TColor Color = clWhite;
  // In printing order: later printables cover earlier ones.
  std::vector<TQRLayoutPrintable> Printables;
};

struct TQRLayout {
  std::string Name;
  TQRPaperSize PaperSize = TQRPaperSize::A4;
  TQROrientation Orientation = TQROrientation::poPortrait;
  int Columns = 1;
  // BottomMargin, Length, TopMargin, Width, LeftMargin, RightMargin, ColumnSpace.
  std::vector<double> PageValues;
  TQRUnit Units = TQRUnit::MM;
  TQROptions Options;
  bool PrintIfEmpty = true;
  TCanvasFont Font;
  std::string ReportTitle;
  TQRReportPrinterSettings PrinterSettings;
  std::vector<TQRLayoutBand> Bands;
};

// Builds the report a layout describes.
std::unique_ptr<TQRReport> LoadReportLayout(const TQRLayout& layout);

}  // namespace vorelia::report

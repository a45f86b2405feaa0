#include "report/report_layout.h"

#include "report/qr_custom_report.h"
#include "report/qr_db_text.h"
#include "report/qr_expr.h"

namespace vorelia::report {

namespace {

double StoredFromPixels(int pixels) { return pixels * 254.0 / kLayoutPixelsPerInch; }

std::unique_ptr<TQRPrintable> CreatePrintable(const TQRLayoutPrintable& item) {
  std::unique_ptr<TQRCustomLabel> label;
  switch (item.Kind) {
    case TQRLayoutKind::Shape: {
      auto shape = std::make_unique<TQRShape>(item.Name);
      shape->Shape = item.Shape;
      shape->Pen = item.Pen;
      shape->Brush = item.Brush;
      return shape;
    }
    case TQRLayoutKind::Label:
      label = std::make_unique<TQRLabel>(item.Name);
      label->SetCaption(item.Text);
      break;
    case TQRLayoutKind::DBText: {
      auto text = std::make_unique<TQRDBText>(item.Name);
      text->SetDataField(item.Text);
      label = std::move(text);
      break;
    }
    case TQRLayoutKind::SysData: {
      auto sysData = std::make_unique<TQRSysData>(item.Name);
      sysData->SetData(item.Data);
      sysData->SetText(item.Text);
      label = std::move(sysData);
      break;
    }
    case TQRLayoutKind::Expr: {
      auto expr = std::make_unique<TQRExpr>(item.Name);
      expr->SetExpression(item.Text);
      label = std::move(expr);
      break;
    }
  }
  label->SetFont(item.Font);
  label->Color = item.Color;
  label->Alignment = item.Alignment;
  label->SetAutoSize(item.AutoSize);
  label->AutoStretch = item.AutoStretch;
  label->SetWordWrap(item.WordWrap);
  label->Transparent = item.Transparent;
  return label;
}

}  // namespace

std::unique_ptr<TQRReport> LoadReportLayout(const TQRLayout& layout) {
  auto report = std::make_unique<TQRReport>(layout.Name);
  report->BeginLoading();
  TQRPage& page = report->Page();
  page.SetOrientation(layout.Orientation);
  page.SetPaperSize(layout.PaperSize);
  page.SetColumns(layout.Columns);
  page.SetValues(layout.PageValues);
  report->Options = layout.Options;
  report->SetPrintIfEmpty(layout.PrintIfEmpty);
  report->Font = layout.Font;
  report->ReportTitle = layout.ReportTitle;
  report->PrinterSettings = layout.PrinterSettings;
  for (const TQRLayoutBand& item : layout.Bands) {
    auto& band = report->CreateBand<TQRBand>(item.Name, item.Type);
    band.Color = item.Color;
    band.Size().SetNative(TQRBandSize::kHeight, StoredFromPixels(item.Height));
    for (const TQRLayoutPrintable& printableItem : item.Printables) {
      TQRPrintable& printable = band.Add(CreatePrintable(printableItem));
      printable.Size().SetValues(
          {StoredFromPixels(printableItem.Height), StoredFromPixels(printableItem.Left),
           StoredFromPixels(printableItem.Top), StoredFromPixels(printableItem.Width)});
    }
  }
  report->EndLoading();
  report->SetUnits(layout.Units);
  return report;
}

}  // namespace vorelia::report

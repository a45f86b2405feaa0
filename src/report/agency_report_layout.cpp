#include "report/agency_report_layout.h"

#include <utility>

#include "report/qr_custom_report.h"
#include "report/qr_db_text.h"

namespace vorelia::report {

namespace {

constexpr TColor kPanelGrey = 0x00F4F4F4;

TCanvasFont MakeFont(const char* name, int size, bool bold = false, bool italic = false) {
  TCanvasFont font;
  font.Name = name;
  font.Size = size;
  font.Bold = bold;
  font.Italic = italic;
  font.Color = clBlack;
  return font;
}

TQRLayoutPrintable Caption(const char* name, int left, int top, int width, const char* text) {
  TQRLayoutPrintable item;
  item.Kind = TQRLayoutKind::Label;
  item.Name = name;
  item.Left = left;
  item.Top = top;
  item.Width = width;
  item.Height = 17;
  item.Text = text;
  item.Font = MakeFont("Arial", 8, true);
  item.Color = kPanelGrey;
  return item;
}

TQRLayoutPrintable Value(const char* name, int left, int top, int width, const char* field,
                         TAlignment alignment = TAlignment::taLeftJustify) {
  TQRLayoutPrintable item;
  item.Kind = TQRLayoutKind::DBText;
  item.Name = name;
  item.Left = left;
  item.Top = top;
  item.Width = width;
  item.Height = 17;
  item.Text = field;
  item.Font = MakeFont("Courier New", 10);
  item.Color = kPanelGrey;
  item.Alignment = alignment;
  return item;
}

TQRLayoutPrintable Line(const char* name, TQRShapeType shape, int left, int top, int width,
                        int height, int penWidth) {
  TQRLayoutPrintable item;
  item.Kind = TQRLayoutKind::Shape;
  item.Name = name;
  item.Left = left;
  item.Top = top;
  item.Width = width;
  item.Height = height;
  item.Shape = shape;
  item.Pen = {clBlack, penWidth, TPenStyle::psSolid, TPenMode::pmCopy};
  item.Brush = {clWhite, TBrushStyle::bsSolid};
  return item;
}

TQRLayout BuildAgencyLayout() {
  TQRLayout layout;
  layout.Name = "MyRelatorio";
  layout.PaperSize = TQRPaperSize::A4;
  layout.Orientation = TQROrientation::poPortrait;
  layout.Columns = 1;
  layout.PageValues = {100.0, 2970.0, 100.0, 2100.0, 100.0, 100.0, 0.0};
  layout.Units = TQRUnit::MM;
  layout.Options = {true, true, false};
  layout.PrintIfEmpty = true;
  layout.Font = MakeFont("Arial", 10);

  TQRLayoutBand header{"QRBand1", TQRBandType::rbPageHeader, 59, clWhite, {}};
  TQRLayoutPrintable title;
  title.Kind = TQRLayoutKind::Label;
  title.Name = "QRLabel1";
  title.Left = 248;
  title.Top = 8;
  title.Width = 240;
  title.Height = 24;
  title.Text = "VORELIA";
  title.Font = MakeFont("Arial", 14, true, true);
  header.Printables.push_back(title);
  header.Printables.push_back(Line("QRShape1", TQRShapeType::qrsHorLine, 0, 31, 721, 8, 1));

  TQRLayoutBand detail{"QRBand2", TQRBandType::rbDetail, 133, clWhite, {}};
  TQRLayoutPrintable panel = Line("QRShape2", TQRShapeType::qrsRectangle, 1, 8, 716, 116, 2);
  panel.Brush = {kPanelGrey, TBrushStyle::bsSolid};
  detail.Printables = {
      panel,
      Caption("QRLabel2", 8, 12, 48, "Ag\xEAncia:"),
      Value("QRDBText1", 8, 27, 57, "AGENCIA"),
      Caption("QRLabel3", 250, 12, 56, "Endere\xE7o:"),
      Value("QRDBText2", 250, 27, 65, "ENDERECO"),
      Caption("QRLabel4", 8, 50, 90, "M\xFAnicipio/Bairro"),
      Value("QRDBText3", 8, 65, 73, "MUNICIPIO"),
      Caption("QRLabel5", 529, 50, 17, "UF:"),
      Value("QRDBText4", 529, 64, 17, "UF"),
      Caption("QRLabel6", 345, 50, 26, "Cep:"),
      Value("QRDBText5", 345, 64, 25, "CEP"),
      Caption("QRLabel7", 584, 50, 50, "Telefone"),
      Value("QRDBText6", 584, 64, 25, "DDD", TAlignment::taRightJustify),
      Value("QRDBText7", 612, 64, 65, "TELEFONE"),
      Caption("QRLabel8", 8, 88, 33, "E-Mail"),
      Value("QRDBText8", 8, 104, 41, "EMAIL"),
      Caption("QRLabel9", 353, 88, 25, "Site:"),
      Value("QRDBText9", 353, 104, 33, "SITE"),
      Line("QRShape3", TQRShapeType::qrsHorLine, 1, 45, 714, 5, 2),
      Line("QRShape4", TQRShapeType::qrsVertLine, 243, 9, 4, 37, 2),
      Line("QRShape5", TQRShapeType::qrsHorLine, 1, 84, 714, 1, 2),
      Line("QRShape6", TQRShapeType::qrsVertLine, 338, 47, 4, 37, 2),
      Line("QRShape7", TQRShapeType::qrsVertLine, 522, 47, 4, 37, 2),
      Line("QRShape8", TQRShapeType::qrsVertLine, 577, 47, 4, 37, 2),
      Line("QRShape10", TQRShapeType::qrsVertLine, 346, 85, 4, 38, 2),
  };

  TQRLayoutBand footer{"QRBand3", TQRBandType::rbPageFooter, 35, clWhite, {}};
  footer.Printables.push_back(Line("QRShape9", TQRShapeType::qrsHorLine, 0, 6, 721, 1, 1));
  TQRLayoutPrintable site = Caption("QRLabel10", 3, 8, 267, "Visite o Site: www.vorelia.com.br");
  site.Color = clWhite;
  footer.Printables.push_back(site);
  TQRLayoutPrintable pageNumber;
  pageNumber.Kind = TQRLayoutKind::SysData;
  pageNumber.Name = "QRSysData1";
  pageNumber.Left = 678;
  pageNumber.Top = 8;
  pageNumber.Width = 42;
  pageNumber.Height = 17;
  pageNumber.Data = TQRSysDataType::qrsPageNumber;
  pageNumber.Font = MakeFont("Arial", 8, true);
  pageNumber.Alignment = TAlignment::taRightJustify;
  footer.Printables.push_back(pageNumber);

  layout.Bands = {std::move(header), std::move(detail), std::move(footer)};
  return layout;
}

}  // namespace

const TQRLayout& AgencyReportLayout() {
  static const TQRLayout layout = BuildAgencyLayout();
  return layout;
}

std::unique_ptr<TQRReport> CreateAgencyReport() { return LoadReportLayout(AgencyReportLayout()); }

void BindAgencyReport(TQRReport& report, data::TDataSet* dataSet) {
  static constexpr std::pair<const char*, const char*> kBindings[] = {
      {"QRDBText1", "AGENCIA"},  {"QRDBText2", "ENDERECO"}, {"QRDBText3", "MUNICIPIO"},
      {"QRDBText4", "UF"},       {"QRDBText5", "CEP"},      {"QRDBText6", "DDD"},
      {"QRDBText7", "TELEFONE"}, {"QRDBText8", "EMAIL"},    {"QRDBText9", "SITE"},
  };
  report.SetDataSet(dataSet);
  for (const auto& [name, field] : kBindings) {
    if (auto* text = dynamic_cast<TQRDBText*>(report.FindPrintable(name))) {
      text->SetDataSet(dataSet);
      text->SetDataField(field);
    }
  }
}

}  // namespace vorelia::report

#include "report/qr_custom_report.h"

#include <algorithm>
#include <exception>

#include "data/dataset.h"
#include "report/core/qr_printer.h"
#include "report/qr_controller.h"
#include "report/qr_expression_adapter.h"
#include "report/qr_group.h"
#include "report/qr_measuring_context.h"
#include "report/qr_printable.h"
#include "report/qr_sub_detail.h"

namespace vorelia::report {

namespace {

bool IsFullWidth(TQRBandType type) {
  return type == TQRBandType::rbTitle || type == TQRBandType::rbPageHeader ||
         type == TQRBandType::rbPageFooter || type == TQRBandType::rbSummary ||
         type == TQRBandType::rbOverlay;
}

const char* BandTypeName(TQRBandType type) {
  switch (type) {
    case TQRBandType::rbTitle:
      return "TitleBand";
    case TQRBandType::rbPageHeader:
      return "PageHeaderBand";
    case TQRBandType::rbColumnHeader:
      return "ColumnHeaderBand";
    case TQRBandType::rbDetail:
      return "DetailBand";
    case TQRBandType::rbPageFooter:
      return "PageFooterBand";
    case TQRBandType::rbSummary:
      return "SummaryBand";
    default:
      return "Band";
  }
}

// The first band of a chain of children (a band that is not a child itself).
const TQRCustomBand* ChainRoot(const TQRCustomBand* band) {
  for (int guard = 0; band && band->BandType() == TQRBandType::rbChild && guard < 1000; ++guard) {
    const auto* child = static_cast<const TQRChildBand*>(band);
    if (!child->ParentBand()) break;
    band = child->ParentBand();
  }
  return band;
}

}  // namespace

TQRCustomReport::TQRCustomReport(std::string name)
    : m_name(std::move(name)),
      m_page(std::make_unique<TQRPage>()),
      m_controller(std::make_unique<TQRController>(*this)),
      m_measurer(std::make_unique<TQRMeasuringContext>()) {
  Font.Name = "Arial";
  Font.Size = 10;
  Functions = {{"PAGENUMBER", "0"}, {"COLUMNNUMBER", "0"}, {"REPORTTITLE", "''"}};
  m_defaultExpressions = std::make_unique<TQRExpressionAdapter>();
  m_expressions = m_defaultExpressions.get();
  m_page->SetFontSizeSource([this] { return Font.Size; });
  m_page->SetOnChange([this] { LayoutBands(); });
}

TQRCustomReport::~TQRCustomReport() {
  // Bands refer to each other (children, links, footers): drop the cross references first.
  m_bandList.clear();
  m_bands.clear();
}

bool TQRCustomReport::PrintIfEmpty() const { return m_controller->PrintIfEmpty; }
void TQRCustomReport::SetPrintIfEmpty(bool value) { m_controller->PrintIfEmpty = value; }

void TQRCustomReport::ForEachSize(const std::function<void(TQRUnitBase&)>& action) {
  action(*m_page);
  for (const auto& band : m_bands) {
    action(band->Size());
    for (const auto& printable : band->Printables()) action(printable->Size());
  }
  for (const auto& printable : m_printables) action(printable->Size());
}

void TQRCustomReport::ForEachPrintable(const std::function<void(TQRPrintable&)>& action) {
  for (const auto& band : m_bands) {
    for (const auto& printable : band->Printables()) action(*printable);
  }
  for (const auto& printable : m_printables) action(*printable);
}

void TQRCustomReport::SetUnits(TQRUnit units) {
  ForEachSize([units](TQRUnitBase& size) { size.SetUnits(units); });
}

void TQRCustomReport::SetZoom(int zoom) {
  if (zoom < 1 || zoom > 300) return;
  m_zoom = zoom;
  ForEachSize([zoom](TQRUnitBase& size) { size.SetZoom(zoom); });
  LayoutBands();
}

int TQRCustomReport::Width() const { return m_page->ToPixels(m_page->Native(TQRPage::kWidth)); }
int TQRCustomReport::Height() const { return m_page->ToPixels(m_page->Native(TQRPage::kLength)); }

void TQRCustomReport::AddBand(std::unique_ptr<TQRCustomBand> band) {
  band->SetParentReport(this);
  band->Size().SetUnits(Units());
  band->Size().SetZoom(m_zoom);
  band->Size().SetFontSizeSource([this] { return Font.Size; });
  for (const auto& printable : band->Printables()) printable->SetParent(band.get(), this);
  m_bands.push_back(std::move(band));
  RebuildBandList();
}

void TQRCustomReport::RemoveBand(TQRCustomBand* band) {
  const auto it = std::find_if(m_bands.begin(), m_bands.end(),
                               [band](const auto& owned) { return owned.get() == band; });
  if (it == m_bands.end()) return;
  for (const auto& other : m_bands) {
    if (other->LinkBand() == band) other->SetLinkBand(nullptr);
    if (auto* group = dynamic_cast<TQRGroup*>(other.get()); group && group->FooterBand() == band) {
      group->SetFooterBand(nullptr);
    }
    if (auto* sub = dynamic_cast<TQRSubDetail*>(other.get())) {
      if (sub->HeaderBand == band) sub->HeaderBand = nullptr;
      if (sub->FooterBand == band) sub->FooterBand = nullptr;
    }
  }
  std::unique_ptr<TQRCustomBand> removed = std::move(*it);
  m_bands.erase(it);
  removed.reset();
  RebuildBandList();
}

TQRCustomBand* TQRCustomReport::FindBand(const std::string& name) const {
  for (const auto& band : m_bands) {
    if (band->Name() == name) return band.get();
  }
  return nullptr;
}

TQRCustomBand* TQRCustomReport::FirstBand(TQRBandType type) const {
  for (TQRCustomBand* band : m_bandList) {
    if (band->BandType() == type) return band;
  }
  for (const auto& band : m_bands) {
    if (band->BandType() == type) return band.get();
  }
  return nullptr;
}

void TQRCustomReport::SetHasBand(TQRBandType type, bool has) {
  if (has == HasBand(type)) return;
  if (!has) {
    RemoveBand(FirstBand(type));
    return;
  }
  const std::string base = BandTypeName(type);
  std::string name;
  for (int n = 1;; ++n) {
    name = base + std::to_string(n);
    if (!FindBand(name)) break;
  }
  CreateBand<TQRBand>(name, type);
}

void TQRCustomReport::EndLoading() {
  m_loading = false;
  RebuildBandList();
}

void TQRCustomReport::RebuildBandList() {
  if (m_loading) return;
  std::vector<TQRCustomBand*> list;
  const auto listed = [&list](const TQRCustomBand* band) {
    return std::find(list.begin(), list.end(), band) != list.end();
  };
  const auto add = [&](TQRCustomBand* band) {
    if (!band || listed(band) || band->BandType() == TQRBandType::rbChild) return;
    list.push_back(band);
    for (TQRCustomBand* child = band->ChildBand(); child && !listed(child);
         child = child->ChildBand()) {
      list.push_back(child);
    }
  };
  const auto addType = [&](TQRBandType type) {
    for (const auto& band : m_bands) {
      if (band->BandType() == type) add(band.get());
    }
  };
  addType(TQRBandType::rbPageHeader);
  addType(TQRBandType::rbTitle);
  addType(TQRBandType::rbColumnHeader);
  // The controller's bands: groups and sub-details around the detail, then the summary.
  std::vector<TQRGroup*> groups;
  std::vector<TQRSubDetail*> before;
  std::vector<TQRSubDetail*> after;
  for (const auto& band : m_bands) {
    if (auto* group = dynamic_cast<TQRGroup*>(band.get())) groups.push_back(group);
    if (auto* sub = dynamic_cast<TQRSubDetail*>(band.get())) {
      (sub->PrintBefore ? before : after).push_back(sub);
    }
  }
  for (TQRGroup* group : groups) add(group);
  for (TQRSubDetail* sub : before) add(sub);
  add(FirstBandOfType(TQRBandType::rbDetail));
  for (TQRSubDetail* sub : after) add(sub);
  for (auto it = groups.rbegin(); it != groups.rend(); ++it) add((*it)->FooterBand());
  add(FirstBandOfType(TQRBandType::rbSummary));
  addType(TQRBandType::rbPageFooter);
  for (const auto& band : m_bands) add(band.get());
  for (const auto& band : m_bands) {
    if (!listed(band.get())) list.push_back(band.get());
  }
  m_bandList = std::move(list);
  LayoutBands();
}

TQRCustomBand* TQRCustomReport::FirstBandOfType(TQRBandType type) const {
  for (const auto& band : m_bands) {
    if (band->BandType() == type) return band.get();
  }
  return nullptr;
}

void TQRCustomReport::LayoutBands() {
  if (m_loading) return;
  const TQRPage& page = *m_page;
  const int fullWidth =
      page.ToPixels(page.Native(TQRPage::kWidth) - page.Native(TQRPage::kLeftMargin) -
                    page.Native(TQRPage::kRightMargin));
  const int columns = page.Columns();
  const int columnWidth =
      (fullWidth - page.ToPixels(page.Native(TQRPage::kColumnSpace)) * (columns - 1)) / columns;
  const int left = page.ToPixels(page.Native(TQRPage::kLeftMargin));
  int top = page.ToPixels(page.Native(TQRPage::kTopMargin));
  for (TQRCustomBand* band : m_bandList) {
    TQRPixelBounds bounds = band->Bounds();
    bounds.Left = left;
    bounds.Top = top;
    bounds.Width = IsFullWidth(ChainRoot(band)->BandType()) ? fullWidth : columnWidth;
    band->Size().SetFromPixels(bounds);
    top += bounds.Height;
    for (const auto& printable : band->Printables()) printable->AlignToBandEdge();
  }
}

TQRPrintable& TQRCustomReport::AddPrintable(std::unique_ptr<TQRPrintable> printable) {
  printable->SetParent(nullptr, this);
  printable->Size().SetUnits(Units());
  printable->Size().SetZoom(m_zoom);
  m_printables.push_back(std::move(printable));
  return *m_printables.back();
}

TQRPrintable* TQRCustomReport::FindPrintable(const std::string& name) const {
  for (const auto& band : m_bands) {
    if (TQRPrintable* printable = band->FindPrintable(name)) return printable;
  }
  for (const auto& printable : m_printables) {
    if (printable->Name() == name) return printable.get();
  }
  return nullptr;
}

data::TDataSet* TQRCustomReport::DataSet() const { return m_controller->DataSet(); }
void TQRCustomReport::SetDataSet(data::TDataSet* dataSet) { m_controller->SetDataSet(dataSet); }

int TQRCustomReport::RecordCount() const {
  data::TDataSet* dataSet = DataSet();
  if (!dataSet || !dataSet->Active()) return 1;
  try {
    return dataSet->RecordCount();
  } catch (const std::exception&) {
    return 1;
  }
}

int TQRCustomReport::TextWidth(const TCanvasFont& font, std::string_view text) const {
  return m_measurer->TextWidth(font, text);
}

int TQRCustomReport::TextHeight(const TCanvasFont& font, std::string_view text) const {
  return m_measurer->TextHeight(font, text);
}

}  // namespace vorelia::report

#include "report/qr_custom_band.h"

#include "report/qr_custom_report.h"
#include "report/qr_printable.h"

namespace vorelia::report {

TQRCustomBand::TQRCustomBand(std::string name, TQRBandType type)
    : m_name(std::move(name)), m_type(type), m_size(m_bounds) {
  SetHeight(40);
}

TQRCustomBand::~TQRCustomBand() {
  if (m_child && m_child->m_parent == this) m_child->m_parent = nullptr;
}

void TQRCustomBand::SetBandType(TQRBandType type) {
  if (m_type == type) return;
  m_type = type;
  if (m_report) m_report->RebuildBandList();
}

void TQRCustomBand::SetHeight(int pixels) {
  TQRPixelBounds bounds = m_bounds;
  bounds.Height = pixels;
  m_size.SetFromPixels(bounds);
}

TCanvasFont TQRCustomBand::Font() const {
  if (ParentFont && m_report) return m_report->Font;
  return OwnFont;
}

int TQRCustomBand::Zoom() const { return m_report ? m_report->Zoom() : 100; }

bool TQRCustomBand::SetLinkBand(TQRCustomBand* band) {
  for (TQRCustomBand* link = band; link; link = link->m_linkBand) {
    if (link == this) return false;
  }
  m_linkBand = band;
  return true;
}

void TQRCustomBand::SetHasChild(bool hasChild) {
  if (hasChild == HasChild() || !m_report) return;
  if (hasChild) {
    std::string name;
    for (int n = 1;; ++n) {
      name = "ChildBand" + std::to_string(n);
      if (!m_report->FindBand(name)) break;
    }
    auto& child = m_report->CreateBand<TQRChildBand>(name);
    child.SetParentBand(this);
  } else {
    m_report->RemoveBand(m_child);
  }
}

void TQRCustomBand::AddPrintable(std::unique_ptr<TQRPrintable> printable) {
  printable->SetParent(this, m_report);
  m_printables.push_back(std::move(printable));
}

TQRPrintable* TQRCustomBand::FindPrintable(const std::string& name) const {
  for (const auto& printable : m_printables) {
    if (printable->Name() == name) return printable.get();
  }
  return nullptr;
}

TQRChildBand::~TQRChildBand() {
  if (m_parent && m_parent->m_child == this) m_parent->m_child = nullptr;
}

bool TQRChildBand::SetParentBand(TQRCustomBand* parent) {
  for (TQRCustomBand* band = parent; band;) {
    if (band == this) return false;
    auto* child = dynamic_cast<TQRChildBand*>(band);
    band = child ? child->m_parent : nullptr;
  }
  if (m_parent && m_parent->m_child == this) m_parent->m_child = nullptr;
  m_parent = parent;
  if (parent) {
    // A band has one child; a child taken over from another chain leaves it.
    if (parent->m_child && parent->m_child != this) parent->m_child->m_parent = nullptr;
    parent->m_child = this;
  }
  if (m_report) m_report->RebuildBandList();
  return true;
}

}  // namespace vorelia::report

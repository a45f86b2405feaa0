#include "report/qr_controller.h"

#include <algorithm>

#include "data/dataset.h"
#include "report/qr_custom_report.h"
#include "report/qr_group.h"
#include "report/qr_printable.h"
#include "report/qr_sub_detail.h"

namespace vorelia::report {

TQRController::TQRController(TQRCustomReport& report) : m_report(report) {}

void TQRController::NotifyDetailAdvanced() {
  for (TQRPrintable* printable : m_notifyList) printable->DetailAdvanced();
}

void TQRController::Prepare() {
  m_detailNumber = 0;
  m_recordCount = 0;
}

void TQRController::Unprepare() { m_notifyList.clear(); }

void TQRController::PrintEmptyReport() {
  m_report.PrintBand(Header);
  RunSubs(m_subsBefore);
  m_report.PrintBand(Detail);
  RunSubs(m_subsAfter);
  m_report.PrintBand(Footer);
}

void TQRController::RunSubs(const std::vector<TQRSubDetail*>& subs) {
  for (TQRSubDetail* sub : subs) sub->Execute();
}

bool TQRController::EvaluateGroups() {
  bool changed = false;
  for (TQRGroup* group : m_groups) {
    // A change in one group counts as a change in every group after it.
    group->Changed = changed || group->Evaluate();
    changed = changed || group->Changed;
  }
  return changed;
}

void TQRController::PrintGroupHeaders() {
  for (TQRGroup* group : m_groups) {
    if (!group->Changed) continue;
    m_report.PrintBand(group);
    group->InGroup = true;
    group->HeaderPage = m_report.PageCount();
  }
}

void TQRController::PrintGroupFooters() {
  for (auto it = m_groups.rbegin(); it != m_groups.rend(); ++it) {
    TQRGroup* group = *it;
    if (!group->Changed) continue;
    m_report.PrintBand(group->FooterBand());
    group->InGroup = false;
  }
}

void TQRController::Execute() {
  m_recordCount = 1;
  for (TQRGroup* group : m_groups) group->Reset();
  data::TDataSet* dataSet = DataSet();
  const bool open = dataSet && dataSet->Active();
  if (!open && !OnNeedData) {
    if (PrintIfEmpty) PrintEmptyReport();
    return;
  }

  bool more = true;
  if (open) {
    dataSet->First();
    more = !dataSet->Eof();
    if (&m_report.Controller() == this) m_recordCount = m_report.RecordCount();
    if (!more && PrintIfEmpty) PrintEmptyReport();
  } else {
    OnNeedData(more);
  }
  m_detailNumber = 0;
  if (Detail) Detail->NotifyController = this;
  if (!more) return;

  m_report.ProcessEvents();
  if (m_report.Cancelled()) return;
  if (Header) {
    m_report.PrintBand(Header);
    m_report.SetNoForcedPage();
  }
  if (m_report.PageCount() <= 1) {
    TQRCustomBand* columnHeader = m_report.FirstBand(TQRBandType::rbColumnHeader);
    if (columnHeader && columnHeader->Enabled && &m_report.Controller() == this) {
      m_report.PrintBand(columnHeader);
      m_report.SetNoForcedPage();
    }
  }
  EvaluateGroups();
  while (more) {
    m_report.ProcessEvents();
    if (m_report.PrinterCancelled()) return;
    ++m_detailNumber;
    PrintGroupHeaders();
    RunSubs(m_subsBefore);
    m_report.PrintBand(Detail);
    RunSubs(m_subsAfter);
    if (open) {
      dataSet->Next();
      more = !dataSet->Eof();
    } else {
      more = false;
      OnNeedData(more);
    }
    if (EvaluateGroups()) {
      // Footers show the values of the group's last record.
      if (open) dataSet->Prior();
      PrintGroupFooters();
      if (open) dataSet->Next();
    }
    if (&m_report.Controller() == this && m_recordCount != 0) {
      m_report.SetProgress(m_detailNumber * 100 / m_recordCount);
    }
  }
  for (TQRGroup* group : m_groups) group->Changed = !group->Changed;
  PrintGroupFooters();
  if (Footer) {
    if (!m_report.PageBegun()) m_report.NewColumn();
    m_report.PrintBand(Footer);
  }
}

}  // namespace vorelia::report

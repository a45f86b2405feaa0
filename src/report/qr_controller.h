#pragma once

#include <functional>
#include <vector>

#include "data/data_source.h"

namespace vorelia::data {
class TDataSet;
}

namespace vorelia::report {

class TQRCustomBand;
class TQRCustomReport;
class TQRGroup;
class TQRPrintable;
class TQRSubDetail;

// Supplies records when no dataset is bound: sets moreData to tell whether one more exists.
using TQROnNeedDataEvent = std::function<void(bool& moreData)>;

// Drives the record loop of a report or a sub-detail: walks its dataset and prints the header,
// group, detail, sub-detail and footer bands through the report. Keeps the dataset through a
// data source, so a dataset destroyed while bound unbinds itself.
class TQRController {
 public:
  explicit TQRController(TQRCustomReport& report);
  TQRController(const TQRController&) = delete;
  TQRController& operator=(const TQRController&) = delete;

  data::TDataSet* DataSet() const { return m_source.DataSet(); }
  void SetDataSet(data::TDataSet* dataSet) { m_source.SetDataSet(dataSet); }

  TQRCustomBand* Header = nullptr;
  TQRCustomBand* Detail = nullptr;
  TQRCustomBand* Footer = nullptr;
  bool PrintIfEmpty = true;
  TQROnNeedDataEvent OnNeedData;

  std::vector<TQRGroup*>& Groups() { return m_groups; }
  std::vector<TQRSubDetail*>& SubsBefore() { return m_subsBefore; }
  std::vector<TQRSubDetail*>& SubsAfter() { return m_subsAfter; }
  // Printables told when the detail advances (a running expression, for instance).
  void RegisterPrintable(TQRPrintable* printable) { m_notifyList.push_back(printable); }
  void NotifyDetailAdvanced();

  // Records printed so far in the running loop (1 for the first record).
  int DetailNumber() const { return m_detailNumber; }
  int RecordCount() const { return m_recordCount; }

  // Run preparation and cleanup.
  void Prepare();
  void Unprepare();
  // The record loop.
  void Execute();

 private:
  void PrintEmptyReport();
  void PrintGroupHeaders();
  void PrintGroupFooters();
  bool EvaluateGroups();
  void RunSubs(const std::vector<TQRSubDetail*>& subs);

  TQRCustomReport& m_report;
  data::TDataSource m_source;
  std::vector<TQRGroup*> m_groups;
  std::vector<TQRSubDetail*> m_subsBefore;
  std::vector<TQRSubDetail*> m_subsAfter;
  std::vector<TQRPrintable*> m_notifyList;
  int m_detailNumber = 0;
  int m_recordCount = 0;
};

}  // namespace vorelia::report

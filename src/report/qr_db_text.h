#pragma once

#include <string>

#include "data/data_source.h"
#include "report/qr_custom_label.h"

namespace vorelia::data {
class TDataSet;
class TField;
}  // namespace vorelia::data

namespace vorelia::report {

// Prints a field of the current record. Outside runs its caption is the field name, so the
// layout shows what it prints. The dataset is kept through a data source: a dataset destroyed
// while bound unbinds itself.
class TQRDBText : public TQRCustomLabel {
 public:
  explicit TQRDBText(std::string name) : TQRCustomLabel(std::move(name)) {}

  data::TDataSet* DataSet() const { return m_source.DataSet(); }
  void SetDataSet(data::TDataSet* dataSet) { m_source.SetDataSet(dataSet); }
  const std::string& DataField() const { return m_dataField; }
  void SetDataField(std::string field);
  std::string Mask;

  void Prepare() override;
  void Unprepare() override;

 protected:
  void GetPrintText() override;

 private:
  std::string FieldText() const;

  data::TDataSource m_source;
  std::string m_dataField;
  data::TField* m_field = nullptr;
};

}  // namespace vorelia::report

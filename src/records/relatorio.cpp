#include "records/relatorio.h"

#include <QCoreApplication>
#include <QPointer>

#include "dbf/dbf_dataset.h"
#include "report/agency_report_layout.h"
#include "report/qr_custom_report.h"

namespace vorelia::records {
namespace {

// Cleared by Qt when the application deletes its children, so no dangling holder survives it.
QPointer<TRelatorio>& Holder() {
  static QPointer<TRelatorio> holder;
  return holder;
}

}  // namespace

TRelatorio::TRelatorio(QObject* owner) : QObject(owner), m_report(report::CreateAgencyReport()) {
  setObjectName("Relatorio");
}

TRelatorio::~TRelatorio() = default;

TRelatorio& TRelatorio::Relatorio() {
  if (Holder().isNull()) Holder() = new TRelatorio(QCoreApplication::instance());
  return *Holder();
}

TRelatorio* TRelatorio::Existing() { return Holder().data(); }

void TRelatorio::Bind(dbf::TDbfDataSet& tabela) { report::BindAgencyReport(*m_report, &tabela); }

void TRelatorio::Unbind(const data::TDataSet* tabela) {
  if (m_report->DataSet() == tabela) report::BindAgencyReport(*m_report, nullptr);
}

void TRelatorio::Visualizar(dbf::TDbfDataSet& tabela) {
  Bind(tabela);
  m_report->Preview();
}

void TRelatorio::ConfigurarImpressora(dbf::TDbfDataSet& tabela) {
  Bind(tabela);
  // Composed first so the dialog can offer the page range 1 to the page count.
  m_report->Compose();
  m_report->PrinterSetup();
}

void TRelatorio::Imprimir(dbf::TDbfDataSet& tabela) {
  Bind(tabela);
  m_report->Print();
}

}  // namespace vorelia::records

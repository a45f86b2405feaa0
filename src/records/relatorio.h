#pragma once

#include <QObject>
#include <memory>

namespace vorelia::data {
class TDataSet;
}

namespace vorelia::dbf {
class TDbfDataSet;
}

namespace vorelia::report {
class TQRReport;
}

namespace vorelia::records {

// The holder of the agency report MyRelatorio. It is never shown; the first print command
// creates it as a child of the application, and it lives, with the printer choices made in its
// report, until the program ends.
class TRelatorio : public QObject {
 public:
  // The holder, created on first use. Needs the application object.
  static TRelatorio& Relatorio();
  // The holder if a print command has created it, else null.
  static TRelatorio* Existing();

  ~TRelatorio() override;

  report::TQRReport& MyRelatorio() const { return *m_report; }

  // Binds the report and its nine data texts to the table, as every print command does first;
  // the report then lists the records as the table presents them (order and filter).
  void Bind(dbf::TDbfDataSet& tabela);
  // Drops the binding when it is to this table, so a report never holds a table that is gone.
  // Only the address is compared: the table may already be destroyed.
  void Unbind(const data::TDataSet* tabela);

  // The three print commands: bind, then preview / compose and set up the printer / print.
  void Visualizar(dbf::TDbfDataSet& tabela);
  void ConfigurarImpressora(dbf::TDbfDataSet& tabela);
  void Imprimir(dbf::TDbfDataSet& tabela);

 private:
  explicit TRelatorio(QObject* owner);

  std::unique_ptr<report::TQRReport> m_report;
};

}  // namespace vorelia::records

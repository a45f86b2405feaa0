#pragma once

#include <QWidget>

#include <filesystem>
#include <memory>
#include <string>

namespace Ui {
class TCadastro;
}

class QLabel;
class QTabWidget;
class QPainter;

namespace vorelia::data {
class TDataSet;
class TDataSource;
class TField;
}  // namespace vorelia::data

namespace vorelia::dbf {
class TDbfDataSet;
}

namespace vorelia::exporter {
class TmxDBGridExport;
}

namespace vorelia::widgets {
class TActionList;
class TDBEdit;
class TDBGrid;
struct TDBGridColumn;
}  // namespace vorelia::widgets

namespace vorelia::records {

// The records window of one agency database: a form page that edits one record beside the list
// of agency names, and a search page with a filterable grid. It owns the table dataset `Tabela`;
// the frame's record commands act on it. Closing the window destroys it with its table.
class TCadastro : public QWidget {
  Q_OBJECT

 public:
  // `frameCommands` is the frame's command list whose record commands the buttons fire; it may
  // be null (the buttons then fire nothing).
  explicit TCadastro(widgets::TActionList* frameCommands, QWidget* parent = nullptr);
  ~TCadastro() override;

  // "%s - Cadastro de Vorelia" for a database name (UTF-8 for the title bar).
  static QString TitleFor(const std::string& ansiName);

  dbf::TDbfDataSet& Tabela() const { return *m_tabela; }
  data::TDataSource& Source() const { return *m_source; }
  QTabWidget& Pagina() const;
  QLabel& ntotal() const;
  widgets::TDBEdit& DBAGENCIA() const;
  widgets::TDBGrid& DBGrid1() const;
  widgets::TDBGrid& DBGrid2() const;
  widgets::TActionList& acoes_03() const { return *m_acoes03; }
  // The export component bound to the search grid.
  exporter::TmxDBGridExport& ExpRelatorio() const { return *m_expRelatorio; }
  QWidget* Control(const char* name) const;
  // The persistent field objects TabelaAGENCIA ... TabelaSITE by field name.
  data::TField& TabelaField(const char* name) const;

  // Writes the record count text for Tabela's RecordCount into ntotal.
  void WriteCountText();

  // Handlers.
  void DBGrid1DrawColumnCell(QPainter& painter, const QRect& rect);
  void EMAILExecute();
  void EMAILUpdate();
  void WEBExecute();
  void WEBUpdate();
  void FiltrarExecute();
  void FiltrarUpdate();
  void TabelaFilterRecord(data::TDataSet& dataSet, bool& accept);
  void PaginaChange();
  // Focus colouring of the nine editors (`DBAGENCIAEnter`, `DBAGENCIAExit`, ...): the focused
  // editor turns $00D8E9EC, the one left goes back to the window colour.
  void EditorEnter(QWidget* editor);
  void EditorExit(QWidget* editor);

 private:
  void BindEditors();
  void BindGrids();
  void BindCommands(widgets::TActionList* frameCommands);

  std::unique_ptr<Ui::TCadastro> m_ui;
  std::unique_ptr<dbf::TDbfDataSet> m_tabela;
  std::unique_ptr<data::TDataSource> m_source;
  widgets::TActionList* m_acoes03;
  exporter::TmxDBGridExport* m_expRelatorio;  // owned as a child object
};

}  // namespace vorelia::records

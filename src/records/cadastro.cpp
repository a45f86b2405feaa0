#include "records/cadastro.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>

#include "data/data_source.h"
#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "export/mx_db_grid_export.h"
#include "export/writers/export_formats.h"
#include "platform/code_page.h"
#include "platform/desktop_shell.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/guard.h"
#include "records/agency_filter.h"
#include "ui_cadastro.h"
#include "platform/qt/ansi_text.h"
#include "widgets/bit_btn.h"
#include "widgets/command.h"
#include "widgets/db_combo_box.h"
#include "widgets/db_edit.h"
#include "widgets/db_grid.h"
#include "widgets/db_navigator.h"
#include "widgets/resources.h"

static void InitRecordsResources() { Q_INIT_RESOURCE(databases); }

namespace vorelia::records {
namespace {

// Colours are written as the program stores them, $00BBGGRR.
QColor FromBgr(uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

constexpr uint32_t kFocusColour = 0x00D8E9EC;

// The UF list: every item but "PI" ends in a blank; the field keeps the first two characters.
const char* const kUfItems[] = {"AC ", "AL ", "AP ", "AM ", "BA ", "CE ", "DF ", "ES ", "GO ",
                                "MA ", "MT ", "MS ", "MG ", "PA ", "PB ", "PR ", "PE ", "PI",
                                "RJ ", "RN ", "RS ", "RO ", "RR ", "SC ", "SP ", "SE ", "TO "};

struct ButtonBinding {
  const char* button;
  const char* command;
  const char* glyph;
};

constexpr ButtonBinding kRecordButtons[] = {
    {"BotaoInserir", "DBInserir", ":/glyphs/insert.png"},
    {"BotaoDeletar", "DBDeletar", ":/glyphs/delete.png"},
    {"BotaoPrimeiro", "DBPrimeiro", ":/glyphs/first.png"},
    {"BotaoAnterior", "DBAnterior", ":/glyphs/prior.png"},
    {"BotaoSeguinte", "DBSeguinte", ":/glyphs/next.png"},
    {"BotaoUltimo", "DBUltimo", ":/glyphs/last.png"},
    {"BotaoEditar", "DBEditar", ":/glyphs/edit.png"},
    {"BotaoSalvar", "DBSalvar", ":/glyphs/save.png"},
    {"BotaoCancelar", "DBCancel", ":/glyphs/undo.png"},
};

}  // namespace

TCadastro::TCadastro(widgets::TActionList* frameCommands, QWidget* parent)
    : QWidget(parent),
      m_ui(std::make_unique<Ui::TCadastro>()),
      m_tabela(std::make_unique<dbf::TDbfDataSet>()),
      m_source(std::make_unique<data::TDataSource>()),
      m_acoes03(new widgets::TActionList("acoes_03", this)),
      m_expRelatorio(new exporter::TmxDBGridExport(this)) {
  InitRecordsResources();
  widgets::InitWidgetResources();
  m_ui->setupUi(this);
  setFixedSize(615, 432);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);
  m_ui->Pagina->tabBar()->setFocusPolicy(Qt::NoFocus);
  // Captions size themselves to their text, from their left edge.
  for (QLabel* label : findChildren<QLabel*>()) {
    if (label != m_ui->ntotal) label->adjustSize();
  }

  m_tabela->SetName("Tabela");
  m_tabela->SetTableLevel(4);
  databases::AddAgencyFields(*m_tabela);
  m_tabela->OnFilterRecord = [this](data::TDataSet& dataSet, bool& accept) {
    TabelaFilterRecord(dataSet, accept);
  };
  m_source->SetDataSet(m_tabela.get());

  BindEditors();
  BindGrids();
  BindCommands(frameCommands);
  m_expRelatorio->setObjectName("ExpRelatorio");
  m_expRelatorio->DateFormat = "dd/MM/yy";
  m_expRelatorio->TimeFormat = "hh:mm";
  m_expRelatorio->DateTimeFormat = "hh:mm dd/MM/yy";
  m_expRelatorio->Messages = exporter::RecordsWindowMessages();
  m_expRelatorio->SetDBGrid(m_ui->DBGrid2);
  connect(m_ui->Pagina, &QTabWidget::currentChanged, this,
          [this] { platform::Guarded([this] { PaginaChange(); }); });
}

TCadastro::~TCadastro() {
  m_acoes03->StopIdleUpdates();
  // Controls leave the source before the dataset goes, so nothing paints a closed table.
  m_ui.reset();
  m_source->SetDataSet(nullptr);
  // Closing may still write (a header, an index page): its failure goes to the error window
  // instead of ending the program from inside a destructor.
  platform::Guarded([this] { m_tabela->Close(); });
}

QString TCadastro::TitleFor(const std::string& ansiName) {
  return platform::FromAnsi(ansiName) + " - Cadastro de Vorelia";
}

QTabWidget& TCadastro::Pagina() const { return *m_ui->Pagina; }
QLabel& TCadastro::ntotal() const { return *m_ui->ntotal; }
widgets::TDBEdit& TCadastro::DBAGENCIA() const { return *m_ui->DBAGENCIA; }
widgets::TDBGrid& TCadastro::DBGrid1() const { return *m_ui->DBGrid1; }
widgets::TDBGrid& TCadastro::DBGrid2() const { return *m_ui->DBGrid2; }
QWidget* TCadastro::Control(const char* name) const { return findChild<QWidget*>(name); }

data::TField& TCadastro::TabelaField(const char* name) const {
  return m_tabela->FieldByName(name);
}

void TCadastro::BindEditors() {
  struct EditorBinding {
    widgets::TDBEdit* edit;
    const char* field;
  };
  const EditorBinding edits[] = {
      {m_ui->DBAGENCIA, "AGENCIA"},   {m_ui->DBENDERECO, "ENDERECO"},
      {m_ui->DBMUNICIPIO, "MUNICIPIO"}, {m_ui->DBCEP, "CEP"},
      {m_ui->DBDDD, "DDD"},           {m_ui->DBTELEFONE, "TELEFONE"},
      {m_ui->DBEMAIL, "EMAIL"},       {m_ui->DBSITE, "SITE"},
  };
  for (const EditorBinding& binding : edits) {
    binding.edit->SetDataSource(m_source.get());
    binding.edit->SetDataField(binding.field);
    widgets::TDBEdit* edit = binding.edit;
    edit->Editor().OnEnter = [this, edit] { EditorEnter(edit); };
    edit->Editor().OnExit = [this, edit] { EditorExit(edit); };
  }
  widgets::TDBComboBox* uf = m_ui->DBUF;
  for (const char* item : kUfItems) uf->addItem(QString::fromLatin1(item));
  uf->setMaxVisibleItems(27);
  uf->SetDataSource(m_source.get());
  uf->SetDataField("UF");
  uf->Editor().OnEnter = [this, uf] { EditorEnter(uf); };
  uf->Editor().OnExit = [this, uf] { EditorExit(uf); };
}

void TCadastro::BindGrids() {
  // The name list: one read-only column drawn by DBGrid1DrawColumnCell.
  widgets::TDBGridColumn name;
  name.FieldName = "AGENCIA";
  name.Width = 168;
  name.ReadOnly = true;
  name.Font = QFont("Arial", 8, QFont::Bold);
  name.TitleAlignment = Qt::AlignCenter;
  widgets::TDBGrid& list = *m_ui->DBGrid1;
  list.SetRowHeights(17, 17);
  list.SetColumns({name});
  list.SetDataSource(m_source.get());
  list.setFocusPolicy(Qt::ClickFocus);  // in the tab order, but no tab stop
  list.OnDrawColumnCell = [this](QPainter& painter, const QRect& rect, int,
                                 const widgets::TDBGridColumn&, bool) {
    DBGrid1DrawColumnCell(painter, rect);
  };

  struct SearchColumn {
    const char* field;
    const char* title;
    int width;
    uint32_t colour;
  };
  const SearchColumn search[] = {
      {"AGENCIA", "Nome Da Agência", 143, 0x00FFFBF0},
      {"ENDERECO", "Endereço", 350, 0x00E2EDFA},
      {"MUNICIPIO", "Município / Bairro", 121, 0x00FFE1E1},
      {"UF", "", 30, 0x00F0FFF8},
      {"DDD", "", 35, 0x00D7FFFF},
      {"TELEFONE", "", -1, 0x00FFF8F0},
  };
  std::vector<widgets::TDBGridColumn> columns;
  for (const SearchColumn& spec : search) {
    widgets::TDBGridColumn column;
    column.FieldName = spec.field;
    column.Title = QString::fromUtf8(spec.title);
    column.Width = spec.width;
    column.Color = FromBgr(spec.colour);
    columns.push_back(column);
  }
  m_ui->DBGrid2->SetRowHeights(17, 17);
  m_ui->DBGrid2->SetColumns(columns);
  m_ui->DBGrid2->SetDataSource(m_source.get());
  m_ui->DBNavigator1->SetDataSource(m_source.get());
}

void TCadastro::BindCommands(widgets::TActionList* frameCommands) {
  if (frameCommands != nullptr) {
    for (const ButtonBinding& binding : kRecordButtons) {
      auto* button = findChild<widgets::TBitBtn*>(binding.button);
      button->SetGlyph(binding.glyph);
      (*frameCommands)[binding.command].Bind(button);
    }
  }
  auto add = [this](const char* name, const char* hint, void (TCadastro::*execute)(),
                    void (TCadastro::*update)()) -> widgets::TCommand& {
    widgets::TCommand* command = m_acoes03->Add(name);
    command->SetHint(QString::fromUtf8(hint));
    command->SetOnExecute([this, execute] { (this->*execute)(); });
    command->SetOnUpdate([this, update] { (this->*update)(); });
    return *command;
  };
  add("EMAIL", "Enviar E-MAIL", &TCadastro::EMAILExecute, &TCadastro::EMAILUpdate)
      .Bind(m_ui->Botao_EMAIL);
  add("WEB", "Visitar Site", &TCadastro::WEBExecute, &TCadastro::WEBUpdate).Bind(m_ui->Botao_Site);
  add("Filtrar", "", &TCadastro::FiltrarExecute, &TCadastro::FiltrarUpdate)
      .Bind(m_ui->TransparentButton1);
  m_ui->Botao_EMAIL->SetGlyph(":/glyphs/email.png");
  m_ui->Botao_Site->SetGlyph(":/glyphs/web.png");
  m_ui->TransparentButton1->SetGlyph(":/glyphs/filtrar.png");
  m_ui->TransparentButton1->SetSpacing(20);
  m_acoes03->UpdateAll();
  m_acoes03->StartIdleUpdates();
}

void TCadastro::WriteCountText() {
  m_ui->ntotal->setText(platform::FromAnsi(databases::RecordCountText(m_tabela->RecordCount())));
}

void TCadastro::DBGrid1DrawColumnCell(QPainter& painter, const QRect& rect) {
  const bool odd = m_tabela->RecNo() % 2 != 0;
  const QColor font = odd ? Qt::black : FromBgr(0x000000FF);
  const QColor brush = odd ? FromBgr(0x00D8E9EC) : Qt::white;
  painter.fillRect(rect, brush);
  painter.setFont(QFont("Arial", 8, QFont::Bold));
  painter.setPen(font);
  painter.drawText(rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                   platform::FromAnsi(m_tabela->FieldByName("AGENCIA").AsString()));
}

void TCadastro::EMAILExecute() {
  platform::ShellService().Execute({"open", "mailto:" + m_ui->DBEMAIL->text().toStdString(), "", ""});
}

void TCadastro::EMAILUpdate() { (*m_acoes03)["EMAIL"].SetEnabled(!m_ui->DBEMAIL->text().isEmpty()); }

void TCadastro::WEBExecute() {
  platform::ShellService().Execute({"", "http://" + m_ui->DBSITE->text().toStdString(), "", ""});
}

void TCadastro::WEBUpdate() { (*m_acoes03)["WEB"].SetEnabled(!m_ui->DBSITE->text().isEmpty()); }

void TCadastro::FiltrarExecute() {
  m_tabela->SetFiltered(true);
  m_tabela->Refresh();
}

void TCadastro::FiltrarUpdate() {
  const bool enabled = !m_ui->texto_filtro->text().isEmpty() && m_tabela->Active() &&
                       m_tabela->RecordCount() > 0;
  (*m_acoes03)["Filtrar"].SetEnabled(enabled);
}

void TCadastro::TabelaFilterRecord(data::TDataSet& dataSet, bool& accept) {
  // Read at the moment of the test: changing the choice affects only records read later.
  const TAgencyFilter filter(m_ui->CAMPO->currentIndex(),
                             platform::ToAnsi(m_ui->texto_filtro->text()));
  accept = filter.Accepts(dataSet);
}

void TCadastro::PaginaChange() {
  if (m_ui->Pagina->currentIndex() == 0 && m_tabela->Active()) m_tabela->SetFiltered(false);
}

void TCadastro::EditorEnter(QWidget* editor) {
  QPalette palette = editor->palette();
  palette.setColor(QPalette::Base, FromBgr(kFocusColour));
  editor->setPalette(palette);
}

void TCadastro::EditorExit(QWidget* editor) {
  QPalette palette = editor->palette();
  palette.setColor(QPalette::Base, QApplication::palette().color(QPalette::Active, QPalette::Base));
  editor->setPalette(palette);
}

}  // namespace vorelia::records

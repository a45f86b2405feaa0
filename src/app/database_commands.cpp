#include "app/database_commands.h"

#include <QMdiSubWindow>
#include <QTabWidget>

#include "app/form_principal.h"
#include "app/mdi_client.h"
#include "databases/abrir_criar.h"
#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "export/mx_db_grid_export.h"
#include "platform/message_box.h"
#include "platform/qt/desktop_services.h"
#include "records/cadastro.h"
#include "widgets/command.h"
#include "widgets/db_edit.h"

namespace vorelia::app {
namespace {

// Runs a cleanup on every path out of a scope.
template <typename F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : m_f(std::move(f)) {}
  ~ScopeExit() { m_f(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  F m_f;
};

// Commands whose enabled state follows the active records window.
const char* const kRecordCommands[] = {"DBPrimeiro", "DBAnterior", "DBSeguinte", "DBUltimo",
                                       "DBInserir",  "DBDeletar",  "DBEditar",   "DBDeletarTudo",
                                       "DBSalvar",   "DBCancel",   "EXP_DOC"};

}  // namespace

TDatabaseCommands::TDatabaseCommands(TFormPrincipal& frame, std::filesystem::path dados)
    : QObject(&frame), m_frame(frame), m_dados(std::move(dados)) {
  InstallCommands();
}

void TDatabaseCommands::InstallCommands() {
  widgets::TActionList& commands = m_frame.acoes_01();
  auto always = [&](const char* name, void (TDatabaseCommands::*execute)()) {
    widgets::TCommand& command = commands[name];
    command.SetOnExecute([this, execute] { (this->*execute)(); });
    command.SetOnUpdate({});
    command.SetEnabled(true);
  };
  always("AbrirDialog", &TDatabaseCommands::AbrirDialogExecute);
  always("CriarDialog", &TDatabaseCommands::CriarDialogExecute);
  always("MDICriar", &TDatabaseCommands::MDICriarExecute);
  always("MDIAbrir", &TDatabaseCommands::MDIAbrirExecute);

  auto record = [&](const char* name, void (TDatabaseCommands::*execute)()) {
    commands[name].SetOnExecute([this, execute] { (this->*execute)(); });
  };
  record("DBPrimeiro", &TDatabaseCommands::DBPrimeiroExecute);
  record("DBAnterior", &TDatabaseCommands::DBAnteriorExecute);
  record("DBSeguinte", &TDatabaseCommands::DBSeguinteExecute);
  record("DBUltimo", &TDatabaseCommands::DBUltimoExecute);
  record("DBInserir", &TDatabaseCommands::DBInserirExecute);
  record("DBDeletar", &TDatabaseCommands::DBDeletarExecute);
  record("DBEditar", &TDatabaseCommands::DBEditarExecute);
  record("DBDeletarTudo", &TDatabaseCommands::DBDeletarTudoExecute);
  record("DBSalvar", &TDatabaseCommands::DBSalvarExecute);
  record("DBCancel", &TDatabaseCommands::DBCancelExecute);
  record("EXP_DOC", &TDatabaseCommands::EXP_DOCExecute);
  // The update rules read only dataset flags, so they are cheap on every idle moment.
  for (const char* name : kRecordCommands) {
    widgets::TCommand& command = commands[name];
    command.SetOnUpdate([this, &command, name] { command.SetEnabled(RecordCommandEnabled(name)); });
  }
}

records::TCadastro* TDatabaseCommands::ActiveWindow() const {
  return qobject_cast<records::TCadastro*>(m_frame.ActiveChildForm());
}

int TDatabaseCommands::RecordsWindowCount() const {
  int count = 0;
  for (QMdiSubWindow* window : m_frame.ChildForms()) {
    if (qobject_cast<records::TCadastro*>(window->widget()) != nullptr) ++count;
  }
  return count;
}

records::TCadastro* TDatabaseCommands::FindWindow(const QString& title) const {
  for (QMdiSubWindow* window : m_frame.ChildForms()) {
    auto* form = qobject_cast<records::TCadastro*>(window->widget());
    if (form != nullptr && form->windowTitle() == title) return form;
  }
  return nullptr;
}

bool TDatabaseCommands::RecordCommandEnabled(std::string_view name) const {
  records::TCadastro* window = RecordsWindowCount() > 0 ? ActiveWindow() : nullptr;
  if (window == nullptr || !window->Tabela().Active()) return false;
  const dbf::TDbfDataSet& table = window->Tabela();
  const bool firstPage = window->Pagina().currentIndex() == 0;
  if (name == "EXP_DOC" || name == "VisualizarImpressao" || name == "ConfigurarImpressora" ||
      name == "Imprimir") {
    return !table.IsEmpty();  // on either page
  }
  if (!firstPage) return false;
  if (name == "DBPrimeiro" || name == "DBAnterior") return !table.Bof();
  if (name == "DBSeguinte" || name == "DBUltimo") return !table.Eof();
  if (name == "DBInserir") return true;
  if (name == "DBSalvar" || name == "DBCancel") return table.Modified();
  return !table.IsEmpty();  // DBDeletar, DBEditar, DBDeletarTudo and the three orders
}

void TDatabaseCommands::AbrirDialogExecute() {
  databases::TAbrirCriar dialog(m_frame.acoes_01(), m_dados, &m_frame);
  dialog.JanelasAbertas = RecordsWindowCount();
  dialog.PrepareAbrir();
  dialog.exec();
}

void TDatabaseCommands::CriarDialogExecute() {
  databases::TAbrirCriar dialog(m_frame.acoes_01(), m_dados, &m_frame);
  dialog.JanelasAbertas = RecordsWindowCount();
  dialog.PrepareCriar();
  dialog.exec();
}

void TDatabaseCommands::MDICriarExecute() {
  if (databases::AbrirCriar == nullptr) return;
  BuildWindow(databases::AbrirCriar->NomeBaseText(), /*create=*/true);
}

void TDatabaseCommands::MDIAbrirExecute() {
  if (databases::AbrirCriar == nullptr) return;
  const std::string name = databases::AbrirCriar->NomeBaseText();
  // The same database is not shown twice, and the window showing it is not brought forward.
  if (FindWindow(records::TCadastro::TitleFor(name)) != nullptr) return;
  BuildWindow(name, /*create=*/false);
}

records::TCadastro* TDatabaseCommands::BuildWindow(const std::string& name, bool create) {
  TMdiClient& area = m_frame.ClientArea();
  const QRect childArea = area.viewport()->rect();
  area.setUpdatesEnabled(false);
  ScopeExit thaw([&area] { area.setUpdatesEnabled(true); });

  auto* form = new records::TCadastro(&m_frame.acoes_01());
  QMdiSubWindow* window = m_frame.AddChildForm(form);
  window->setWindowFlags(Qt::SubWindow | Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint);
  window->adjustSize();
  const QSize size = window->size();
  window->move((childArea.width() - size.width()) / 2, (childArea.height() - size.height()) / 2);

  dbf::TDbfDataSet& table = form->Tabela();
  table.Close();
  form->setWindowTitle(records::TCadastro::TitleFor(name));
  if (create) {
    databases::CreateAgencyTable(table, m_dados, name);
  } else {
    databases::OpenAgencyTable(table, m_dados, name);
  }
  m_frame.acoes_01().UpdateAll();
  form->Pagina().setCurrentIndex(0);
  form->WriteCountText();
  window->show();
  area.setActiveSubWindow(window);
  return form;
}

void TDatabaseCommands::Pack(records::TCadastro& window) {
  dbf::TDbfDataSet& table = window.Tabela();
  table.Close();
  table.RebuildTable(nullptr, /*pack=*/true);
  table.Open();
}

void TDatabaseCommands::DBPrimeiroExecute() { ActiveWindow()->Tabela().First(); }
void TDatabaseCommands::DBAnteriorExecute() { ActiveWindow()->Tabela().Prior(); }
void TDatabaseCommands::DBSeguinteExecute() { ActiveWindow()->Tabela().Next(); }
void TDatabaseCommands::DBUltimoExecute() { ActiveWindow()->Tabela().Last(); }
void TDatabaseCommands::DBEditarExecute() { ActiveWindow()->Tabela().Edit(); }
void TDatabaseCommands::DBSalvarExecute() { ActiveWindow()->Tabela().Post(); }
void TDatabaseCommands::DBCancelExecute() { ActiveWindow()->Tabela().Cancel(); }

void TDatabaseCommands::EXP_DOCExecute() {
  exporter::TmxDBGridExport& export_ = ActiveWindow()->ExpRelatorio();
  export_.FileName.clear();
  export_.ChooseAndExport();
}

void TDatabaseCommands::DBInserirExecute() {
  records::TCadastro& window = *ActiveWindow();
  window.Tabela().Append();
  window.DBAGENCIA().setFocus();
  window.WriteCountText();
}

void TDatabaseCommands::DBDeletarExecute() {
  records::TCadastro& window = *ActiveWindow();
  window.Tabela().Delete();
  Pack(window);
  window.WriteCountText();
}

void TDatabaseCommands::DBDeletarTudoExecute() {
  records::TCadastro& window = *ActiveWindow();
  const auto answer = platform::MessageBoxService().Show(
      platform::Question("Tem certeza que deseja deletar todos esses registros?"));
  if (answer != platform::TMessageResult::Yes) return;
  window.Tabela().ClearTable();
  Pack(window);
  window.WriteCountText();
}

}  // namespace vorelia::app

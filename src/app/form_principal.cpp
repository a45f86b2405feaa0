#include "app/form_principal.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QResizeEvent>

#include "app/form_erro.h"
#include "app/form_sobre.h"
#include "app/mdi_client.h"
#include "app/window_placement.h"
#include "platform/error_description.h"
#include "platform/program_folder.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/guard.h"
#include "ui_form_principal.h"
#include "widgets/command.h"
#include "widgets/jpeg_decoder.h"
#include "widgets/resources.h"
#include "widgets/status_bar.h"

namespace vorelia::app {
namespace {

struct CommandSpec {
  const char* name;
  const char* menuItem;  // nullptr: fired by other windows, not by a menu item
  const char* hint;
};

// The frame's commands in the order of the menus; the record commands carry the hints that the
// records windows' buttons show.
constexpr CommandSpec kCommands[] = {
    {"CriarDialog", "CriarBancodeDados1", ""},
    {"AbrirDialog", "AbrirBancodeDados1", ""},
    {"FecharForms", "FecharBancodeDados1", ""},
    {"FecharAllForms", "FecharTodosBancodeDados1", ""},
    {"DBPrimeiro", "PrimeiroRegistro1", "Primeiro Registro"},
    {"DBAnterior", "RegistroAnterior1", "Registro Anterior"},
    {"DBSeguinte", "RegistroSeguinte1", "Registro Seguinte"},
    {"DBUltimo", "UltimoRegistro1", "Último Registro"},
    {"DBInserir", "InserirRegistro1", "Inserir Registro"},
    {"DBDeletar", "DeletarRegistros1", "Deletar Registro"},
    {"DBEditar", "EditarRegistro1", "Editar Registro"},
    {"DBDeletarTudo", "DeletarTudo1", ""},
    {"DBSalvar", "SalvarAlteracoes1", "Salvar Alterações"},
    {"DBCancel", "CancelarAlteracoes1", "Cancelar Alterações"},
    {"OrdemCrescente", "OrdemCrescente1", ""},
    {"OrdemDescrescente", "OrdemDecrescente1", ""},
    {"ModoNormal", "ModoNormal1", ""},
    {"VisualizarImpressao", "Visualizar1", ""},
    {"ConfigurarImpressora", "ConfigurarImpressora1", ""},
    {"Imprimir", "Imprimir1", ""},
    {"EXP_DOC", "ExportarTabela1", ""},
    {"MDICascate", "Cascata1", ""},
    {"MDIMinimizar", "MinimizarTodos1", ""},
    {"CentralizarForm", nullptr, ""},
    {"MDICriar", nullptr, ""},
    {"MDIAbrir", nullptr, ""},
};

QString EscapeAmpersands(QString text) { return text.replace('&', "&&"); }

}  // namespace

TFormPrincipal::TFormPrincipal(QWidget* parent)
    : QMainWindow(parent),
      m_ui(std::make_unique<Ui::TFormPrincipal>()),
      m_acoes01(new widgets::TActionList("acoes_01", this)),
      m_terminate([](int code) { QCoreApplication::exit(code); }) {
  widgets::InitWidgetResources();
  m_ui->setupUi(this);
  setWindowIcon(QIcon(":/icons/vorelia.png"));

  Barra_Estado().AddPanel(160, Qt::AlignCenter, "Vorelia 1.0a");
  Barra_Estado().AddPanel(50);
  ClientArea().SetClientExtraHeight(widgets::TStatusBar::kDefaultHeight);
  ClientArea().SetLogo(widgets::LoadJpeg(":/pictures/logo.jpg"));
  // The design's client area is 738 x 492; the menu bar lies outside it.
  resize(kDesignClientSize.width(), kDesignClientSize.height() + menuBar()->sizeHint().height());

  CreateCommands();
  BindMenu();
  connect(WindowMenu(), &QMenu::aboutToShow, this,
          [this] { platform::Guarded([this] { RebuildWindowMenu(); }); });
  connect(&ClientArea(), &QMdiArea::subWindowActivated, this,
          [this] { platform::Guarded([this] { RebuildWindowMenu(); }); });

  FormCreate();
  m_acoes01->UpdateAll();
  m_acoes01->StartIdleUpdates();
}

TFormPrincipal::~TFormPrincipal() {
  // The child windows close after this body, while the frame is half gone: they must no longer
  // reach it.
  m_acoes01->StopIdleUpdates();
  disconnect(&ClientArea(), nullptr, this, nullptr);
  disconnect(WindowMenu(), nullptr, this, nullptr);
}

TMdiClient& TFormPrincipal::ClientArea() const { return *m_ui->ClientArea; }

widgets::TStatusBar& TFormPrincipal::Barra_Estado() const { return *m_ui->Barra_Estado; }

QAction* TFormPrincipal::MenuItem(const QString& name) const {
  return findChild<QAction*>(name);
}

QMenu* TFormPrincipal::WindowMenu() const { return m_ui->Janelas1; }

void TFormPrincipal::CreateCommands() {
  for (const CommandSpec& spec : kCommands) {
    widgets::TCommand* command = m_acoes01->Add(spec.name);
    command->SetHint(QString::fromUtf8(spec.hint));
    // Commands whose bodies come with their windows stay disabled until they get them.
    command->SetOnUpdate([command] { command->SetEnabled(false); });
  }
  auto& commands = *m_acoes01;
  auto handler = [this](void (TFormPrincipal::*member)()) { return [this, member] { (this->*member)(); }; };
  commands["CentralizarForm"].SetOnExecute(handler(&TFormPrincipal::CentralizarFormExecute));
  commands["CentralizarForm"].SetOnUpdate({});
  commands["FecharForms"].SetOnExecute(handler(&TFormPrincipal::FecharFormsExecute));
  commands["FecharForms"].SetOnUpdate(handler(&TFormPrincipal::FecharFormsUpdate));
  commands["FecharAllForms"].SetOnExecute(handler(&TFormPrincipal::FecharAllFormsExecute));
  commands["FecharAllForms"].SetOnUpdate(handler(&TFormPrincipal::FecharAllFormsUpdate));
  commands["MDICascate"].SetOnExecute(handler(&TFormPrincipal::MDICascateExecute));
  commands["MDICascate"].SetOnUpdate(handler(&TFormPrincipal::MDICascateUpdate));
  commands["MDIMinimizar"].SetOnExecute(handler(&TFormPrincipal::MDIMinimizarExecute));
  commands["MDIMinimizar"].SetOnUpdate(handler(&TFormPrincipal::MDIMinimizarUpdate));
}

void TFormPrincipal::BindMenu() {
  for (const CommandSpec& spec : kCommands) {
    if (spec.menuItem != nullptr) (*m_acoes01)[spec.name].Bind(MenuItem(spec.menuItem));
  }
  auto bind = [this](const char* item, void (TFormPrincipal::*member)()) {
    connect(MenuItem(item), &QAction::triggered, this,
            [this, member] { platform::Guarded([this, member] { (this->*member)(); }); });
  };
  bind("Sair1", &TFormPrincipal::Sair1Click);
  bind("Ajuda2", &TFormPrincipal::Ajuda2Click);
  bind("Sobre1", &TFormPrincipal::Sobre1Click);
}

void TFormPrincipal::FormCreate() {
  (*m_acoes01)["CentralizarForm"].Execute();
  setWindowState(windowState() | Qt::WindowMaximized);
}

void TFormPrincipal::CentralizarFormExecute() {
  move(CentredWindowPosition(platform::ScreenService().Facts(), frameGeometry().size()));
}

QMdiSubWindow* TFormPrincipal::AddChildForm(QWidget* form) {
  QMdiSubWindow* window = ClientArea().addSubWindow(form);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return window;
}

QList<QMdiSubWindow*> TFormPrincipal::ChildForms() const {
  return ClientArea().subWindowList(QMdiArea::CreationOrder);
}

int TFormPrincipal::ChildFormCount() const { return static_cast<int>(ChildForms().size()); }

QWidget* TFormPrincipal::ActiveChildForm() const {
  QMdiSubWindow* current = ClientArea().currentSubWindow();
  return current != nullptr ? current->widget() : nullptr;
}

void TFormPrincipal::FecharFormsExecute() {
  if (QMdiSubWindow* current = ClientArea().currentSubWindow()) current->close();
}

void TFormPrincipal::FecharFormsUpdate() {
  (*m_acoes01)["FecharForms"].SetEnabled(ChildFormCount() >= 1);
}

void TFormPrincipal::FecharAllFormsExecute() {
  // Closing one may destroy it and reorder the rest: walk a guarded copy.
  QList<QPointer<QMdiSubWindow>> windows;
  for (QMdiSubWindow* window : ChildForms()) windows.append(window);
  for (const QPointer<QMdiSubWindow>& window : windows) {
    if (window) window->close();
  }
}

void TFormPrincipal::FecharAllFormsUpdate() {
  (*m_acoes01)["FecharAllForms"].SetEnabled(ChildFormCount() >= 2);
}

void TFormPrincipal::MDICascateExecute() { ClientArea().cascadeSubWindows(); }

void TFormPrincipal::MDICascateUpdate() {
  (*m_acoes01)["MDICascate"].SetEnabled(ChildFormCount() >= 2);
}

void TFormPrincipal::MDIMinimizarExecute() {
  QPointer<QMdiSubWindow> active = ClientArea().currentSubWindow();
  for (QMdiSubWindow* window : ChildForms()) window->showMinimized();
  if (active) active->showMinimized();
}

void TFormPrincipal::MDIMinimizarUpdate() {
  (*m_acoes01)["MDIMinimizar"].SetEnabled(ChildFormCount() >= 2);
}

void TFormPrincipal::RebuildWindowMenu() {
  QMenu* menu = WindowMenu();
  for (QAction* item : m_windowItems) {
    menu->removeAction(item);
    item->deleteLater();
  }
  m_windowItems.clear();
  const QMdiSubWindow* current = ClientArea().currentSubWindow();
  int number = 1;
  for (QMdiSubWindow* window : ChildForms()) {
    const QString caption = number <= 9 ? QString("&%1 %2").arg(number).arg(
                                              EscapeAmpersands(window->windowTitle()))
                                        : EscapeAmpersands(window->windowTitle());
    auto* item = new QAction(caption, menu);
    item->setCheckable(true);
    item->setChecked(window == current);
    QPointer<QMdiSubWindow> target = window;
    connect(item, &QAction::triggered, this, [this, target] {
      platform::Guarded([this, target] {
        if (!target) return;
        if (target->isMinimized()) target->showNormal();
        ClientArea().setActiveSubWindow(target);
      });
    });
    menu->addAction(item);
    m_windowItems.append(item);
    ++number;
  }
}

void TFormPrincipal::Sair1Click() { close(); }

std::filesystem::path TFormPrincipal::HelpFile() {
  const std::filesystem::path folder = platform::ProgramFolder();
  const std::filesystem::path compiled = folder / "ajuda_vorelia.chm";
  std::error_code ignored;
  if (std::filesystem::exists(compiled, ignored)) return compiled;
  return folder / "ajuda_vorelia.html";
}

void TFormPrincipal::Ajuda2Click() {
  // A missing document or viewer has no visible effect; the shell's result is not examined.
  platform::ShellService().Execute({"", HelpFile().string(), "", ""});
}

void TFormPrincipal::Sobre1Click() {
  TFormSobre form(this);
  form.exec();
}

void TFormPrincipal::AplicacaoException(std::exception_ptr error) {
  const platform::TErrorDescription description =
      platform::DescribeError(error, __builtin_return_address(0));
  // Above a modal dialog when one is open, so the user sees it.
  QWidget* owner = QApplication::activeModalWidget();
  // On the heap and watched: the dialog that owns it may be destroyed while it waits, and a
  // window on the stack would then be deleted twice.
  QPointer<TFormErro> form = new TFormErro(owner != nullptr ? owner : this);
  form->ShowError(QString::fromStdString(description.message), description.address, this);
  emit ErrorWindowShown(form);
  form->exec();
  delete form.data();
  m_terminate(1);
}

void TFormPrincipal::resizeEvent(QResizeEvent* event) {
  platform::Guarded([&] {
    QMainWindow::resizeEvent(event);
    ClientArea().viewport()->update();
  });
}

}  // namespace vorelia::app

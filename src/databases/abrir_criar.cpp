#include "databases/abrir_criar.h"

#include <QDir>
#include <QIcon>
#include <QListWidget>

#include "databases/agency_database.h"
#include "platform/message_box.h"
#include "platform/qt/desktop_services.h"
#include "platform/qt/guard.h"
#include "ui_abrir_criar.h"
#include "platform/qt/ansi_text.h"
#include "widgets/bit_btn.h"
#include "widgets/command.h"

// Resource initialisers are global symbols of the generated file.
static void InitDatabaseResources() { Q_INIT_RESOURCE(databases); }

namespace vorelia::databases {

TAbrirCriar* AbrirCriar = nullptr;

TAbrirCriar::TAbrirCriar(widgets::TActionList& frameCommands, std::filesystem::path dados,
                         QWidget* parent)
    : QDialog(parent),
      m_ui(std::make_unique<Ui::TAbrirCriar>()),
      m_acoes02(new widgets::TActionList("acoes_02", this)),
      m_frameCommands(frameCommands),
      m_dados(std::move(dados)) {
  InitDatabaseResources();
  m_ui->setupUi(this);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
  setFixedSize(347, 277);
  m_ui->BotaoAbrir->SetGlyph(":/glyphs/abrir.png");
  m_ui->BotaoCriar->SetGlyph(":/glyphs/criar.png");
  m_ui->SpeedButton1->SetGlyph(":/glyphs/deletar.png");
  m_ui->BotaoFechar->SetGlyph(":/glyphs/fechar.png");
  for (widgets::TBitBtn* button :
       {m_ui->BotaoAbrir, m_ui->BotaoCriar, m_ui->SpeedButton1, m_ui->BotaoFechar}) {
    button->SetSpacing(5);
  }
  CreateCommands();
  connect(m_ui->Lista, &QListWidget::itemClicked, this,
          [this] { platform::Guarded([this] { ListaClick(); }); });
  connect(m_ui->Lista, &QListWidget::currentRowChanged, this,
          [this] { platform::Guarded([this] { ListaClick(); }); });
  connect(m_ui->BotaoFechar, &QPushButton::clicked, this, [this] { reject(); });
  AbrirCriar = this;
}

TAbrirCriar::~TAbrirCriar() {
  m_acoes02->StopIdleUpdates();
  if (AbrirCriar == this) AbrirCriar = nullptr;
}

void TAbrirCriar::CreateCommands() {
  auto add = [this](const char* name, void (TAbrirCriar::*execute)(),
                    void (TAbrirCriar::*update)()) -> widgets::TCommand& {
    widgets::TCommand* command = m_acoes02->Add(name);
    command->SetOnExecute([this, execute] { (this->*execute)(); });
    command->SetOnUpdate([this, update] { (this->*update)(); });
    return *command;
  };
  widgets::TCommand& abrir =
      add("AbrirBdoMDI", &TAbrirCriar::AbrirBdoMDIExecute, &TAbrirCriar::AbrirBdoMDIUpdate);
  widgets::TCommand& criar =
      add("CriarBdoMDI", &TAbrirCriar::CriarBdoMDIExecute, &TAbrirCriar::CriarBdoMDIUpdate);
  widgets::TCommand& deletar =
      add("Deletar", &TAbrirCriar::DeletarExecute, &TAbrirCriar::DeletarUpdate);
  // The close-result buttons: result first, then the command, then the dialog closes.
  connect(m_ui->BotaoAbrir, &QPushButton::clicked, this, [this] { setResult(Accepted); });
  connect(m_ui->BotaoCriar, &QPushButton::clicked, this, [this] { setResult(Accepted); });
  abrir.Bind(m_ui->BotaoAbrir);
  criar.Bind(m_ui->BotaoCriar);
  deletar.Bind(m_ui->SpeedButton1);
  connect(m_ui->BotaoAbrir, &QPushButton::clicked, this, [this] { done(Accepted); });
  connect(m_ui->BotaoCriar, &QPushButton::clicked, this, [this] { done(Accepted); });
}

QWidget* TAbrirCriar::Control(const char* name) const { return findChild<QWidget*>(name); }

std::string TAbrirCriar::NomeBaseText() const { return platform::ToAnsi(m_ui->NomeBase->text()); }

void TAbrirCriar::PrepareAbrir() {
  setWindowTitle("Abrir Banco de Dados");
  m_ui->BotaoCriar->setEnabled(false);
  m_ui->NomeBase->setReadOnly(true);
  Modo = kModoAbrir;
}

void TAbrirCriar::PrepareCriar() {
  setWindowTitle("Criar Banco de Dados");
  m_ui->BotaoAbrir->setEnabled(false);
  m_ui->NomeBase->setReadOnly(false);
  Modo = kModoCriar;
}

void TAbrirCriar::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  platform::Guarded([this] { FormShow(); });
}

void TAbrirCriar::FormShow() {
  m_ui->Lista->clear();
  const QIcon icon(":/icons/database.png");
  // File names are in the ANSI code page, as the program creates them from typed names.
  for (const std::string& name : ListDatabases(m_dados)) {
    m_ui->Lista->addItem(new QListWidgetItem(icon, platform::FromAnsi(name)));
  }
  m_ui->Lista->setCurrentRow(-1);
  m_ui->Lista->clearSelection();
  m_acoes02->UpdateAll();
  m_acoes02->StartIdleUpdates();
}

void TAbrirCriar::ListaClick() {
  QListWidgetItem* item = m_ui->Lista->currentItem();
  if (item != nullptr && item->isSelected()) m_ui->NomeBase->setText(item->text());
}

void TAbrirCriar::CriarBdoMDIExecute() {
  if (!IsValidDatabaseName(NomeBaseText())) {
    platform::MessageBoxService().Show(
        platform::Refusal("Impossível Criar Banco de Dados, pois o nome não pode conter \"/\" !"));
    return;
  }
  if (DatabaseExists(m_dados, NomeBaseText())) {
    platform::MessageBoxService().Show(
        platform::Refusal("Impossível Criar Banco de Dados, pois ele já existe !"));
    return;
  }
  m_frameCommands["MDICriar"].Execute();
}

void TAbrirCriar::CriarBdoMDIUpdate() {
  if (Modo == kModoCriar) (*m_acoes02)["CriarBdoMDI"].SetEnabled(!m_ui->NomeBase->text().isEmpty());
}

void TAbrirCriar::AbrirBdoMDIExecute() { m_frameCommands["MDIAbrir"].Execute(); }

void TAbrirCriar::AbrirBdoMDIUpdate() {
  if (Modo == kModoAbrir) (*m_acoes02)["AbrirBdoMDI"].SetEnabled(!m_ui->NomeBase->text().isEmpty());
}

void TAbrirCriar::DeletarExecute() {
  const auto answer = platform::MessageBoxService().Show(
      platform::Question("Tem certeza que deseja deletar este banco de dados?"));
  if (answer != platform::TMessageResult::Yes) return;
  QListWidgetItem* item = m_ui->Lista->currentItem();
  if (item == nullptr) return;
  DeleteDatabase(m_dados, platform::ToAnsi(item->text()));
  delete m_ui->Lista->takeItem(m_ui->Lista->row(item));
  m_ui->Lista->setCurrentRow(-1);
  m_ui->Lista->clearSelection();
  m_ui->NomeBase->clear();
}

void TAbrirCriar::DeletarUpdate() {
  const bool selected = !m_ui->Lista->selectedItems().isEmpty();
  (*m_acoes02)["Deletar"].SetEnabled(selected && JanelasAbertas == 0);
}

}  // namespace vorelia::databases

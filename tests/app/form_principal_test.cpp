#include "app/form_principal.h"

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <filesystem>
#include <fstream>

#include "app/mdi_client.h"
#include "app_fixture.h"
#include "platform/program_folder.h"
#include "widgets/command.h"
#include "widgets/status_bar.h"

namespace vorelia::app {
namespace {

class FormPrincipalTest : public test::AppTest {
 protected:
  QMdiSubWindow* OpenChild(const QString& title) {
    auto* form = new QLabel(title);
    form->setWindowTitle(title);
    return m_form->AddChildForm(form);
  }
  bool Enabled(const char* command) { return m_form->acoes_01()[command].Enabled(); }
  bool ItemEnabled(const char* item) { return m_form->MenuItem(item)->isEnabled(); }

  static QStringList Captions(const QMenu* menu) {
    QStringList captions;
    for (const QAction* action : menu->actions()) {
      captions << (action->isSeparator() ? QString("-") : action->text());
    }
    return captions;
  }
};

TEST_F(FormPrincipalTest, MenuTreeHasEveryCaptionAndAccessKey) {
  const QList<QAction*> menus = m_form->menuBar()->actions();
  QStringList titles;
  for (const QAction* menu : menus) titles << menu->text();
  EXPECT_EQ(titles, QStringList({"&Arquivo", "&Edição", "&Ordenar", "&Relatórios", "&Exportar",
                                 "Janelas", "&Ajuda"}));
  const QList<QStringList> expected = {
      {"&Criar Banco de Dados", "&Abrir Banco de Dados", "-", "Fechar Banco de Dados",
       "Fechar Todos Banco de Dados", "-", "&Sair"},
      {"&Primeiro Registro", "Registro Anterior", "Registro Seguinte", "Último Registro", "-",
       "Inserir Registro", "Deletar Registros", "Editar Registro", "-", "Deletar Tudo",
       "Salvar Alterações", "Cancelar Alterações"},
      {"Ordem Crescente", "Ordem Decrescente", "-", "&Modo Normal"},
      {"&Visualizar", "&Configurar Impressora", "&Imprimir"},
      {"Exportar Tabela ..."},
      {"&Cascata", "Minimizar Todos", "-"},
      {"&Ajuda", "Sobre"},
  };
  ASSERT_EQ(menus.size(), expected.size());
  for (int i = 0; i < menus.size(); ++i) {
    SCOPED_TRACE(menus[i]->text().toStdString());
    EXPECT_EQ(Captions(menus[i]->menu()), expected[i]);
  }
}

TEST_F(FormPrincipalTest, FrameCaptionStatusBarBackgroundAndPlacement) {
  EXPECT_EQ(m_form->windowTitle(), "Vorelia 1.0a");
  EXPECT_TRUE(m_form->windowState() & Qt::WindowMaximized);
  // Centred on the 1600 x 1200 screen for when the user restores it; the window system adds its
  // frame only once the window is shown, so the window's own size is what is centred.
  EXPECT_EQ(m_form->width(), 738);
  EXPECT_EQ(m_form->pos(), QPoint(431, (1200 - m_form->height()) / 2));

  widgets::TStatusBar& bar = m_form->Barra_Estado();
  EXPECT_EQ(bar.objectName(), "Barra_Estado");
  EXPECT_EQ(bar.height(), 19);
  ASSERT_EQ(bar.PanelCount(), 2);
  EXPECT_EQ(bar.PanelWidth(0), 160);
  EXPECT_EQ(bar.PanelText(0), "Vorelia 1.0a");
  EXPECT_EQ(bar.PanelAlignment(0), Qt::AlignCenter);
  EXPECT_EQ(bar.PanelWidth(1), 50);
  EXPECT_EQ(bar.PanelText(1), "");

  const QColor background = m_form->ClientArea().background().color();
  EXPECT_EQ(background, QColor(255, 255, 198));
  EXPECT_EQ(m_form->ClientArea().Logo().size(), QSize(400, 450));
}

TEST_F(FormPrincipalTest, LogoFollowsTheClientAreaWhenResized) {
  TMdiClient& client = m_form->ClientArea();
  client.setParent(nullptr);  // sized on its own; the frame's layout would fight the test
  client.show();
  // The frame's client is the area plus the 19-pixel status bar.
  client.resize(738, 492 - 19);
  EXPECT_EQ(client.LogoRect(), QRect(184, 11, 400, 450));
  client.resize(1476, 984 - 19);
  EXPECT_EQ(client.LogoRect(), QRect(568, 247, 400, 450));
  client.resize(1280, 1024 - 19);
  EXPECT_EQ(client.LogoRect().topLeft(), QPoint(466, 266));
  client.setParent(m_form.get());
}

TEST_F(FormPrincipalTest, WindowCommandsFollowTheNumberOfChildWindows) {
  struct Row {
    int children;
    bool close, closeAll, cascade, minimise;
  };
  const Row rows[] = {{0, false, false, false, false},
                      {1, true, false, false, false},
                      {2, true, true, true, true},
                      {3, true, true, true, true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.children);
    while (m_form->ChildFormCount() < row.children) {
      OpenChild(QString("agencias_%1").arg(m_form->ChildFormCount()));
    }
    RunIdle();  // the rules run when the loop falls idle
    EXPECT_EQ(Enabled("FecharForms"), row.close);
    EXPECT_EQ(Enabled("FecharAllForms"), row.closeAll);
    EXPECT_EQ(Enabled("MDICascate"), row.cascade);
    EXPECT_EQ(Enabled("MDIMinimizar"), row.minimise);
    EXPECT_EQ(ItemEnabled("FecharBancodeDados1"), row.close);
    EXPECT_EQ(ItemEnabled("FecharTodosBancodeDados1"), row.closeAll);
    EXPECT_EQ(ItemEnabled("Cascata1"), row.cascade);
    EXPECT_EQ(ItemEnabled("MinimizarTodos1"), row.minimise);
    // Commands without bodies yet stay disabled whatever is open.
    for (const char* later : {"CriarDialog", "AbrirDialog", "DBInserir", "DBPrimeiro", "DBSalvar",
                              "OrdemCrescente", "Imprimir", "EXP_DOC", "MDICriar", "MDIAbrir"}) {
      EXPECT_FALSE(Enabled(later)) << later;
    }
    EXPECT_TRUE(ItemEnabled("Sair1"));
    EXPECT_TRUE(ItemEnabled("Ajuda2"));
  }
}

TEST_F(FormPrincipalTest, MinimiseAllLeavesEveryWindowMinimised) {
  m_form->show();
  OpenChild("agencias_sp");
  OpenChild("agencias_rj");
  QMdiSubWindow* third = OpenChild("agencias_mg");
  m_form->ClientArea().setActiveSubWindow(third);
  RunIdle();
  m_form->MenuItem("MinimizarTodos1")->trigger();
  for (QMdiSubWindow* window : m_form->ChildForms()) {
    EXPECT_TRUE(window->isMinimized()) << window->windowTitle().toStdString();
  }
  EXPECT_EQ(m_form->ChildFormCount(), 3);
}

TEST_F(FormPrincipalTest, CloseOneThenCloseAll) {
  m_form->show();
  OpenChild("agencias_sp");
  QMdiSubWindow* second = OpenChild("agencias_rj");
  OpenChild("agencias_mg");
  m_form->ClientArea().setActiveSubWindow(second);
  RunIdle();
  m_form->MenuItem("FecharBancodeDados1")->trigger();
  QStringList left;
  for (QMdiSubWindow* window : m_form->ChildForms()) left << window->windowTitle();
  EXPECT_EQ(left, QStringList({"agencias_sp", "agencias_mg"}));

  RunIdle();
  m_form->MenuItem("FecharTodosBancodeDados1")->trigger();
  EXPECT_EQ(m_form->ChildFormCount(), 0);
  RunIdle();
  EXPECT_FALSE(ItemEnabled("FecharBancodeDados1"));
}

TEST_F(FormPrincipalTest, WindowMenuListsTheChildrenAndActivatesTheChosenOne) {
  m_form->show();
  QMdiSubWindow* first = OpenChild("agencias_sp");
  OpenChild("R&D");
  QMdiSubWindow* third = OpenChild("agencias_mg");
  m_form->ClientArea().setActiveSubWindow(third);
  QMenu* menu = m_form->WindowMenu();
  emit menu->aboutToShow();
  const QList<QAction*> items = menu->actions();
  ASSERT_EQ(items.size(), 6);  // Cascata, Minimizar Todos, separator, three windows
  EXPECT_EQ(items[3]->text(), "&1 agencias_sp");
  EXPECT_EQ(items[4]->text(), "&2 R&&D");
  EXPECT_EQ(items[5]->text(), "&3 agencias_mg");
  EXPECT_FALSE(items[3]->isChecked());
  EXPECT_TRUE(items[5]->isChecked());

  first->showMinimized();
  items[3]->trigger();
  EXPECT_EQ(m_form->ClientArea().currentSubWindow(), first);
  EXPECT_FALSE(first->isMinimized());
  emit menu->aboutToShow();
  EXPECT_EQ(menu->actions().size(), 6);  // rebuilt, not appended
}

TEST_F(FormPrincipalTest, HelpIsFoundBesideTheExecutableFromAnyWorkingDirectory) {
  const std::filesystem::path previous = std::filesystem::current_path();
  const std::filesystem::path elsewhere = std::filesystem::temp_directory_path();
  std::filesystem::current_path(elsewhere);
  m_form->MenuItem("Ajuda2")->trigger();
  std::filesystem::current_path(previous);

  ASSERT_EQ(m_shell.requests.size(), 1u);
  const platform::TShellRequest& request = m_shell.requests[0];
  EXPECT_EQ(request.action, "");  // the default action
  EXPECT_EQ(request.parameters, "");
  EXPECT_EQ(request.target, platform::ProgramFolderText() + "ajuda_vorelia.html");

  // A compiled help placed beside the executable wins.
  const std::filesystem::path chm = platform::ProgramFolder() / "ajuda_vorelia.chm";
  std::ofstream(chm) << "ITSF";
  m_form->Ajuda2Click();
  std::filesystem::remove(chm);
  ASSERT_EQ(m_shell.requests.size(), 2u);
  EXPECT_EQ(m_shell.requests[1].target, platform::ProgramFolderText() + "ajuda_vorelia.chm");

  // The build puts the help beside the program itself.
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(VORELIA_BIN_DIR) / "ajuda_vorelia.html"));
}

TEST_F(FormPrincipalTest, LaterCodeGivesCommandsTheirBodies) {
  int inserts = 0;
  widgets::TCommand& insert = m_form->acoes_01()["DBInserir"];
  insert.SetOnUpdate([&insert, this] { insert.SetEnabled(m_form->ChildFormCount() > 0); });
  insert.SetOnExecute([&] { ++inserts; });
  OpenChild("agencias_sp");
  RunIdle();
  EXPECT_TRUE(ItemEnabled("InserirRegistro1"));
  EXPECT_EQ(m_form->MenuItem("InserirRegistro1")->statusTip(), "Inserir Registro");
  m_form->MenuItem("InserirRegistro1")->trigger();
  EXPECT_EQ(inserts, 1);
}

TEST_F(FormPrincipalTest, ExitClosesTheFrame) {
  m_form->show();
  ASSERT_TRUE(m_form->isVisible());
  m_form->MenuItem("Sair1")->trigger();
  EXPECT_FALSE(m_form->isVisible());
}

}  // namespace
}  // namespace vorelia::app

#include "app/form_erro.h"

#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>

#include <stdexcept>

#include "app_fixture.h"
#include "platform/errors.h"
#include "widgets/command.h"
#include "widgets/rich_edit.h"

namespace vorelia::app {
namespace {

class EFieldMissing : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE EFieldMissing() : EVoreliaError("Field SITE not found") {}
};

// What the error window showed, captured while it waited.
struct Shown {
  QString firstLine;
  QWidget* owner = nullptr;
  bool modal = false;
};

class FormErroTest : public test::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    QObject::connect(m_form.get(), &TFormPrincipal::ErrorWindowShown, m_form.get(),
                     [this](QWidget* window) {
                       auto* form = static_cast<TFormErro*>(window);
                       QTimer::singleShot(0, form, [this, form] {
                         Shown shown;
                         shown.firstLine = form->mensagem().document()->firstBlock().text();
                         shown.owner = form->parentWidget();
                         shown.modal = form->isModal() && form->isVisible();
                         m_shown.push_back(shown);
                         form->findChild<QPushButton*>("BitBtn1")->click();
                       });
                     });
  }

  std::vector<Shown> m_shown;
};

TEST_F(FormErroTest, ThreeParagraphsInThreeStyles) {
  TFormErro form;
  form.ShowError("Field SITE not found", 0x0040A1F3u, nullptr);
  EXPECT_EQ(form.windowTitle(), "Erro de Programa !");
  EXPECT_EQ(form.size(), QSize(374, 194));
  EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(),
            "Ocorreu um erro neste programa ! Se o problema persistir contate o autor, informando "
            "a mensagem de erro abaixo:");
  EXPECT_EQ(form.findChild<QPushButton*>("BitBtn1")->text(), "OK");

  QTextDocument* document = form.mensagem().document();
  ASSERT_EQ(document->blockCount(), 5);
  const QStringList expected = {
      "Ocorreu o Seguinte Erro: - Field SITE not found , no endereço: 0040A1F3", "",
      "Necessito de uma descrição passo a passo do que você fez para que ocorresse esse erro. "
      "Essa informação é importantíssima para a descoberta deste problema.",
      "", "Acesse: http://www.vorelia.com.br/suporte"};
  for (int i = 0; i < 5; ++i) {
    const QTextBlock block = document->findBlockByNumber(i);
    EXPECT_EQ(block.text(), expected[i]) << i;
    EXPECT_EQ(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter) << i;
  }
  auto style = [&](int blockNumber) {
    return document->findBlockByNumber(blockNumber).begin().fragment().charFormat();
  };
  const QTextCharFormat error = style(0);
  EXPECT_EQ(error.fontFamilies().toStringList().value(0), "Arial");
  EXPECT_EQ(error.fontPointSize(), 9);
  EXPECT_EQ(error.fontWeight(), QFont::Bold);
  EXPECT_FALSE(error.fontItalic());
  EXPECT_EQ(error.foreground().color(), QColor(Qt::black));

  const QTextCharFormat request = style(2);
  EXPECT_EQ(request.fontPointSize(), 8);
  EXPECT_TRUE(request.fontItalic());
  EXPECT_NE(request.fontWeight(), QFont::Bold);

  const QTextCharFormat support = style(4);
  EXPECT_EQ(support.fontPointSize(), 9);
  EXPECT_FALSE(support.fontItalic());
  EXPECT_EQ(support.fontWeight(), QFont::Bold);
  EXPECT_EQ(support.foreground().color(), QColor(255, 0, 0));

  EXPECT_TRUE(form.mensagem().isReadOnly());
  EXPECT_EQ(form.mensagem().palette().color(QPalette::Base),
            form.mensagem().palette().color(QPalette::ToolTipBase));
}

TEST_F(FormErroTest, AddressIsEightUpperCaseHexDigitsAndMessagesStayVerbatim) {
  EXPECT_EQ(ErrorLine("x", 0xABCu), "Ocorreu o Seguinte Erro: - x , no endereço: 00000ABC");
  EXPECT_EQ(ErrorLine("x", 0xFFFFFFFFu), "Ocorreu o Seguinte Erro: - x , no endereço: FFFFFFFF");
  // Placeholders inside a message are text, not format.
  EXPECT_EQ(ErrorLine("100%1 %2 done", 0x10u),
            "Ocorreu o Seguinte Erro: - 100%1 %2 done , no endereço: 00000010");
}

TEST_F(FormErroTest, ErrorFromAMenuCommandShowsTheWindowThenEndsTheRun) {
  widgets::TCommand& command = m_form->acoes_01()["DBSalvar"];
  command.SetOnUpdate({});
  command.SetEnabled(true);
  command.SetOnExecute([] { throw EFieldMissing(); });
  m_form->MenuItem("SalvarAlteracoes1")->trigger();

  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_TRUE(m_shown[0].firstLine.startsWith(
      "Ocorreu o Seguinte Erro: - Field SITE not found , no endereço: "));
  const QString address = m_shown[0].firstLine.section(": ", -1);
  EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}$").match(address).hasMatch()) << address.toStdString();
  EXPECT_NE(address, "00000000");
  EXPECT_TRUE(m_shown[0].modal);
  EXPECT_EQ(m_exitCodes, std::vector<int>{1});
  EXPECT_TRUE(m_form->findChildren<TFormErro*>().isEmpty());  // destroyed after use
}

TEST_F(FormErroTest, ErrorFromAButtonOrATimerTakesTheSameRoad) {
  QPushButton button("Salvar", m_form.get());
  widgets::TCommand& command = m_form->acoes_01()["DBCancel"];
  command.SetOnUpdate({});
  command.SetEnabled(true);
  command.SetOnExecute([] { throw std::runtime_error("Disk full"); });
  command.Bind(&button);
  button.click();
  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_TRUE(m_shown[0].firstLine.startsWith("Ocorreu o Seguinte Erro: - Disk full , no endereço: "));

  platform::ResetFatalErrorState();
  QTimer::singleShot(0, [] { platform::Guarded([] { throw EFieldMissing(); }); });
  RunIdle(100);
  ASSERT_EQ(m_shown.size(), 2u);
  EXPECT_EQ(m_exitCodes, (std::vector<int>{1, 1}));
}

TEST_F(FormErroTest, ErrorInsideAModalDialogShowsAboveIt) {
  QDialog dialog(m_form.get());
  dialog.setWindowTitle("Abrir Banco de Dados");
  QTimer::singleShot(0, &dialog, [] { platform::Guarded([] { throw EFieldMissing(); }); });
  // The dialog closes once the error has been handled, as the ending run would close it.
  QTimer::singleShot(200, &dialog, &QDialog::reject);
  dialog.exec();
  ASSERT_EQ(m_shown.size(), 1u);
  EXPECT_EQ(m_shown[0].owner, &dialog);
  EXPECT_EQ(m_exitCodes, std::vector<int>{1});
}

TEST_F(FormErroTest, OwnerDestroyedWhileTheWindowWaitsIsSurvived) {
  // The owning dialog goes away while the error window is still open: no double deletion.
  QObject::disconnect(m_form.get(), &TFormPrincipal::ErrorWindowShown, nullptr, nullptr);
  QPointer<QDialog> dialog = new QDialog(m_form.get());
  QObject::connect(m_form.get(), &TFormPrincipal::ErrorWindowShown, m_form.get(),
                   [dialog](QWidget*) { QTimer::singleShot(0, dialog, [dialog] { delete dialog; }); });
  QTimer::singleShot(0, dialog, [] { platform::Guarded([] { throw EFieldMissing(); }); });
  dialog->exec();
  EXPECT_TRUE(dialog.isNull());
  EXPECT_EQ(m_exitCodes, std::vector<int>{1});
}

}  // namespace
}  // namespace vorelia::app

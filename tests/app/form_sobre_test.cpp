#include "app/form_sobre.h"

#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include "app_fixture.h"
#include "widgets/hover_label.h"

namespace vorelia::app {
namespace {

class FormSobreTest : public test::AppTest {};

TEST_F(FormSobreTest, ShowsTheProgramsFactsAndALiveLink) {
  TFormSobre form(m_form.get());
  EXPECT_EQ(form.windowTitle(), "Sobre");
  EXPECT_EQ(form.size(), QSize(344, 271));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());  // fixed size
  EXPECT_EQ(form.findChild<QLabel*>("Label1")->text(), "Vorelia");
  EXPECT_EQ(form.findChild<QLabel*>("Label1")->font().pointSize(), 12);
  EXPECT_TRUE(form.findChild<QLabel*>("Label1")->font().bold());
  EXPECT_EQ(form.findChild<QLabel*>("Label2")->text(),
            "Vorelia\nVersão: 1.0a\nData: 23/06/05\n\nSistema para cadastramento de agências de "
            "empregos");
  EXPECT_EQ(form.findChild<QLabel*>("Label2")->geometry(), QRect(32, 64, 273, 89));
  EXPECT_EQ(form.findChild<QPushButton*>("BitBtn1")->geometry(), QRect(118, 224, 113, 30));

  widgets::THoverLabel& link = form.urlsite();
  EXPECT_EQ(link.geometry(), QRect(8, 192, 329, 13));
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(link.FontColor(), QColor(0, 0, 255));

  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(&link, &enter);
  EXPECT_EQ(link.FontColor(), QColor(255, 0, 0));
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&link, &leave);
  EXPECT_EQ(link.FontColor(), QColor(0, 0, 255));

  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&link, &press);
  QCoreApplication::sendEvent(&link, &release);
  ASSERT_EQ(m_shell.requests.size(), 1u);
  EXPECT_EQ(m_shell.requests[0].action, "open");
  EXPECT_EQ(m_shell.requests[0].target, link.text().toStdString());
  EXPECT_EQ(m_shell.requests[0].parameters, "");
  EXPECT_EQ(m_shell.requests[0].directory, "");
}

TEST_F(FormSobreTest, AboutCommandShowsTheWindowModallyAndDestroysIt) {
  bool seen = false;
  QTimer::singleShot(0, m_form.get(), [&] {
    auto* about = qobject_cast<TFormSobre*>(QApplication::activeModalWidget());
    seen = about != nullptr;
    if (about != nullptr) about->findChild<QPushButton*>("BitBtn1")->click();
  });
  m_form->MenuItem("Sobre1")->trigger();
  EXPECT_TRUE(seen);
  EXPECT_TRUE(m_form->findChildren<TFormSobre*>().isEmpty());
}

}  // namespace
}  // namespace vorelia::app

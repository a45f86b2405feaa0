#include "export/frm_progress_form.h"

#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "ui_frm_progress_form.h"

namespace vorelia::exporter {

namespace {
constexpr int kMargin = 8;
constexpr int kBarHeight = 16;
}  // namespace

Tfrm_ProgressForm::Tfrm_ProgressForm(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_ui(std::make_unique<Ui::Tfrm_ProgressForm>()) {
  m_ui->setupUi(this);
}

Tfrm_ProgressForm::~Tfrm_ProgressForm() = default;

void Tfrm_ProgressForm::Start(const QString& caption, const QString& text, int width, int height,
                              int total) {
  setWindowTitle(caption);
  // The sizes are the outer window's; the frame's share is known once the window is shown.
  show();
  const int frameWidth = std::max(0, frameGeometry().width() - geometry().width());
  const int frameHeight = std::max(0, frameGeometry().height() - geometry().height());
  const int clientWidth = std::max(2 * kMargin, width - frameWidth);
  const int clientHeight = std::max(0, height - frameHeight);
  setFixedSize(clientWidth, clientHeight);

  QProgressBar& bar = *m_ui->ProgressBar;
  QLabel& label = *m_ui->ProgressLabel;
  bar.setRange(0, std::max(0, total));
  bar.setValue(0);
  int top = 0;
  if (!text.isEmpty()) {
    label.setText(text);
    label.adjustSize();
    label.move(kMargin, kMargin);
    label.show();
    top = (height - clientHeight) + (clientHeight - label.height() - kBarHeight - 16) / 2;
  } else {
    label.hide();
    top = (height - kBarHeight - 16) / 2;
  }
  bar.setGeometry(kMargin, top, clientWidth - 2 * kMargin, kBarHeight);

  // Centred on the desktop, above everything, without taking a modal loop.
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(clientWidth / 2, clientHeight / 2));
  }
  repaint();
}

void Tfrm_ProgressForm::SetPosition(int position) { m_ui->ProgressBar->setValue(position); }

QLabel* Tfrm_ProgressForm::ProgressLabel() const { return m_ui->ProgressLabel; }
QProgressBar* Tfrm_ProgressForm::ProgressBar() const { return m_ui->ProgressBar; }

}  // namespace vorelia::exporter

#include "report/qr_progress_form.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "platform/qt/guard.h"
#include "report/core/qr_printer.h"
#include "ui_qr_progress_form.h"

namespace vorelia::report {

TQRProgressForm::TQRProgressForm(TQRPrinter& printer, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint),
      m_ui(std::make_unique<Ui::TQRProgressForm>()),
      m_printer(printer) {
  m_ui->setupUi(this);
  setFixedSize(size());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->geometry().center() - rect().center());
  }
  connect(m_ui->CancelButton, &QPushButton::clicked, this,
          [this] { platform::Guarded([this] { CancelButtonClick(); }); });
  // The printer may report from any thread: the notification is posted, never waited for.
  QPointer<TQRProgressForm> self(this);
  m_printer.OnProgress = [self](int percent) {
    if (!self) return;
    QMetaObject::invokeMethod(
        self.data(),
        [self, percent] {
          if (self) platform::Guarded([&] { self->ProgressChanged(percent); });
        },
        Qt::QueuedConnection);
  };
}

TQRProgressForm::~TQRProgressForm() { m_printer.OnProgress = nullptr; }

int TQRProgressForm::GaugePosition() const { return m_ui->Gauge->value(); }

QString TQRProgressForm::InfoText() const { return m_ui->Info->text(); }

void TQRProgressForm::ProgressChanged(int /*percent*/) {
  const int progress = m_printer.Progress();
  if (progress % 5 != 0) return;
  m_ui->Gauge->setValue(progress);
  m_ui->Info->setText(QString::number(progress) + QStringLiteral("% ") +
                      QStringLiteral(" Completed"));
  QCoreApplication::processEvents();
}

void TQRProgressForm::CancelButtonClick() { m_printer.Cancel(); }

}  // namespace vorelia::report

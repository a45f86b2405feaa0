// The operations that reach the system's printer: printing with a progress window and the
// printer setup dialog.
#include <utility>

#include "report/core/qr_printer.h"
#include "report/core/qr_printer_device.h"
#include "report/qr_custom_report.h"
#include "report/qr_progress_form.h"

namespace vorelia::report {

namespace {

TQRCustomReport::TPrinterDeviceFactory& DeviceFactory() {
  static TQRCustomReport::TPrinterDeviceFactory factory;
  return factory;
}

TQRPrintDialogRunner& DialogRunner() {
  static TQRPrintDialogRunner runner;
  return runner;
}

}  // namespace

void TQRCustomReport::SetPrinterDeviceFactory(TPrinterDeviceFactory factory) {
  DeviceFactory() = std::move(factory);
}

void TQRCustomReport::SetPrintDialogRunner(TQRPrintDialogRunner runner) {
  DialogRunner() = std::move(runner);
}

void TQRCustomReport::Print() {
  if (!m_available) return;
  std::unique_ptr<TQRPrinter> fresh = CreatePrinter(DeviceFactory() ? DeviceFactory()() : nullptr);
  if (!fresh->HasPrinter()) return;
  fresh->SetTarget(TQRPrinterDestination::TargetPrinter);
  auto progress = std::make_unique<TQRProgressForm>(*fresh);
  if (ShowProgress) progress->show();
  // Whatever happens, the progress window and the printer used go and the remembered printer
  // comes back.
  class Restore {
   public:
    Restore(std::unique_ptr<TQRPrinter>& current, std::unique_ptr<TQRPrinter> fresh,
            std::unique_ptr<TQRProgressForm>& progress)
        : m_current(current),
          m_remembered(std::exchange(current, std::move(fresh))),
          m_progress(progress) {}
    ~Restore() {
      m_progress.reset();
      m_current = std::move(m_remembered);
    }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

   private:
    std::unique_ptr<TQRPrinter>& m_current;
    std::unique_ptr<TQRPrinter> m_remembered;
    std::unique_ptr<TQRProgressForm>& m_progress;
  } restore(m_printer, std::move(fresh), progress);
  CreateReport();
}

void TQRCustomReport::PrinterSetup() {
  TQRPrintDialogSettings settings;
  settings.PrinterIndex = PrinterSettings.PrinterIndex;
  if (m_printer && m_printer->Status() == TQRPrinterStatus::StateDone) {
    settings.MinPage = 1;
    settings.MaxPage = m_printer->PageCount();
    settings.FromPage = 1;
    settings.ToPage = settings.MaxPage;
  }
  settings.Orientation = m_page->Orientation();
  settings.Copies = PrinterSettings.Copies;
  if (!DialogRunner() || !DialogRunner()(settings)) {
    Tag = 1;
    return;
  }
  PrinterSettings.Copies = settings.Copies;
  PrinterSettings.PrinterIndex = settings.PrinterIndex;
  m_page->SetOrientation(settings.Orientation);
  if (settings.PrintRange == TQRPrintRange::prPageNums) {
    PrinterSettings.FirstPage = settings.FromPage;
    PrinterSettings.LastPage = settings.ToPage;
  } else {
    PrinterSettings.FirstPage = 0;
    PrinterSettings.LastPage = 0;
  }
  Tag = 0;
}

}  // namespace vorelia::report

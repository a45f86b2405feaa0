// The operations that show the report or reach the system's printer: the preview, printing
// with a progress window and the printer setup dialog.
#include <thread>
#include <utility>

#include "data/dataset.h"
#include "platform/qt/guard.h"
#include "report/core/qr_printer.h"
#include "report/core/qr_printer_device.h"
#include "report/qr_custom_report.h"
#include "report/qr_preview.h"
#include "report/qr_progress_form.h"
#include "report/qr_standard_preview.h"

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

void TQRCustomReport::Preview() {
  if (!m_available) return;
  TQRStandardPreview::Install();
  // With a printer, a report loaded into the preview can be printed from there.
  m_printer = CreatePrinter(DeviceFactory() ? DeviceFactory()() : nullptr);
  TQRPrinter& printer = *m_printer;
  printer.OnSetupRequest = [this] { PrinterSetup(); };
  printer.MasterPrintRequest = [this] { Print(); };
  // Closing the preview while the worker composes cancels the run.
  printer.MasterPreviewClosed = [this] {
    if (!m_available) Cancel();
  };
  if (OnPreview) printer.OnPreview = [this](TQRPrinter&) { OnPreview(*this); };
  TQRPreview::InstallNotifications(printer);

  // The document begins here, so the window never reads printer state the worker is still
  // setting up. While the worker moves the dataset, the windows bound to it hear nothing; they
  // are told once, when the run is over.
  m_available = false;
  const bool started = StartRun();
  data::TDataSet* dataSet = DataSet();
  if (dataSet) dataSet->DisableControls();
  std::thread worker([this, started] {
    if (started) platform::GuardedWorker([this] { FinishRun(); });
  });
  class JoinGuard {
   public:
    JoinGuard(std::thread& thread, data::TDataSet* dataSet)
        : m_thread(thread), m_dataSet(dataSet) {}
    ~JoinGuard() {
      m_thread.join();
      if (m_dataSet) m_dataSet->EnableControls();
    }
    JoinGuard(const JoinGuard&) = delete;
    JoinGuard& operator=(const JoinGuard&) = delete;

   private:
    std::thread& m_thread;
    data::TDataSet* m_dataSet;
  };
  {
    JoinGuard join(worker, dataSet);
    printer.RunPreview();
    // The window is closed: a run still going is cancelled and waited for, so the dataset is
    // never moved behind the windows' back once the preview is gone.
    if (!OnPreview && !m_available) Cancel();
  }
  if (!OnPreview || m_cancelled) m_printer.reset();
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

#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "report/core/page_recorder.h"
#include "report/core/qr_page_list.h"
#include "report/core/qr_paper_size.h"
#include "report/core/qr_printer_device.h"

namespace vorelia::report {

enum class TQRPrinterStatus { StateIdle, StateRunning, StateDone };
enum class TQRPrinterDestination { TargetPageStore, TargetPrinter };

// Pages in the page store are drawn at the resolution of the fixed measuring device.
inline constexpr int kScreenPixelsPerInch = 96;

// What a report run draws on: one canvas per page, tenths of a millimetre converted to device
// units, finished pages sent to the page store or to the printer.
//
// Threads: the preview's worker calls BeginDoc, NewPage, the canvas and EndDoc while the user
// interface reads Status, PagesReady and GetPage and sets Cancel; those are atomics or go
// through the page store's lock. Notifications are plain callbacks: the layer that installs
// them posts to its own thread.
class TQRPrinter {
 public:
  // device: the printer to print with, null when the system has none.
  explicit TQRPrinter(std::unique_ptr<TQRPrinterDevice> device = nullptr,
                      const TTextMeasurer* measurer = nullptr);
  ~TQRPrinter();
  TQRPrinter(const TQRPrinter&) = delete;
  TQRPrinter& operator=(const TQRPrinter&) = delete;

  TQRPrinterDestination Target() const { return m_target; }
  void SetTarget(TQRPrinterDestination target) { m_target = target; }
  const std::string& Title() const { return m_title; }
  void SetTitle(const std::string& title) { m_title = title; }

  TQRPrinterStatus Status() const { return m_status; }
  int PageNumber() const { return m_pageNumber; }
  int PageCount() const { return m_pageCount; }
  int PagesReady() const { return m_pagesReady; }
  bool Cancelled() const { return m_cancelled; }
  int Progress() const { return m_progress; }
  void SetProgress(int progress);
  double HorzFactor() const { return m_horzFactor; }
  double VertFactor() const { return m_vertFactor; }
  int UnprintableLeft() const { return m_unprintableLeft; }
  int UnprintableTop() const { return m_unprintableTop; }
  bool HasPrinter() const { return m_device != nullptr; }
  bool PreviewShown() const { return m_previewShown; }
  void SetPreviewShown(bool shown);
  bool PagesLoaded() const { return m_pagesLoaded; }
  void SetPagesLoaded(bool loaded) { m_pagesLoaded = loaded; }
  bool Compression() const { return m_pageList.Compression(); }
  void SetCompression(bool compression) { m_pageList.SetCompression(compression); }

  // Printer settings, passed through to the printer; without one they are kept here.
  int PrinterIndex() const;
  void SetPrinterIndex(int index);
  TQRPaperSize PaperSize() const;
  void SetPaperSize(TQRPaperSize size);
  int PaperWidth() const;
  void SetPaperWidth(int width);
  int PaperLength() const;
  void SetPaperLength(int length);
  TQROrientation Orientation() const;
  void SetOrientation(TQROrientation orientation);
  int Copies() const;
  void SetCopies(int copies);
  TQRBin OutputBin() const;
  void SetOutputBin(TQRBin bin);
  // The print range; 0 leaves that end open.
  int FirstPage() const { return m_firstPage; }
  void SetFirstPage(int page) { m_firstPage = page; }
  int LastPage() const { return m_lastPage; }
  void SetLastPage(int page) { m_lastPage = page; }

  // Document lifecycle. BeginDoc throws EQRError "QRPrinter not ready" unless idle; NewPage
  // throws "Illegal call to NewPage" unless running.
  void BeginDoc();
  void NewPage();
  void EndDoc();
  void AbortDoc();
  void Cancel() { m_cancelled = true; }

  // The current page's surface; valid from a NewPage to the next NewPage, EndDoc or AbortDoc.
  TPageCanvas& Canvas();

  // Tenths of a millimetre to device units of the current canvas, rounding ties to even.
  int DeviceX(double x) const;
  int DeviceY(double y) const;
  int DeviceWidth(double x) const;
  int DeviceHeight(double y) const;
  // The page size in tenths of a millimetre as the orientation shows it.
  int PageWidthNative() const;
  int PageLengthNative() const;
  // Whether page number page falls in FirstPage..LastPage.
  bool InPrintRange(int page) const;

  // A copy of finished page n, or nothing (idle, out of range, not finished yet). Throws
  // EQRError when the stored page is damaged.
  std::optional<TPageRecording> GetPage(int n);
  // Copies a finished document to a file; does nothing before the document is done.
  void Save(const std::filesystem::path& fileName);
  // Makes a saved report the document. Throws EQRError for a damaged file and then keeps the
  // current document.
  void Load(const std::filesystem::path& fileName);
  // Prints the stored pages in the print range.
  void Print();

  void Preview();
  void RunPreview();
  void EndPreview();

  TQRPageList& PageList() { return m_pageList; }

  // Callbacks set by the report and the windows. Client notifications carry the new progress
  // percent and the new PagesReady.
  std::function<void(int)> OnProgress;
  std::function<void(int)> OnPagesReady;
  std::function<void()> OnPreviewClosed;
  std::function<void()> OnPrintDone;
  std::function<void()> OnSetupRequest;
  std::function<void()> OnExportRequest;
  std::function<void(TQRPrinter&)> OnPreview;
  // Requests to the master (the report): print again straight to the printer, preview closed.
  std::function<void()> MasterPrintRequest;
  std::function<void()> MasterPreviewClosed;
  // Lets pending user-interface events run; the owner decides what that means on its thread.
  std::function<void()> ProcessEvents;

  // The standard preview window, installed once by the preview layer (modal or not).
  static void SetStandardPreview(std::function<void(TQRPrinter&, bool modal)> show);

 private:
  void CleanUp();
  void FinishPage();
  void OpenPage();
  void SetFactors(int ppiX, int ppiY);
  void NotifyPagesReady();
  void RecognisePaper(const TPageRecording& first);

  std::unique_ptr<TQRPrinterDevice> m_device;
  const TTextMeasurer* m_measurer;
  TQRPageList m_pageList;
  std::unique_ptr<TPageRecorder> m_recorder;  // the open page-store page
  bool m_pageOnPrinter = false;               // the open page is the printer's sheet

  TQRPrinterDestination m_target = TQRPrinterDestination::TargetPageStore;
  std::string m_title;
  std::atomic<TQRPrinterStatus> m_status{TQRPrinterStatus::StateIdle};
  std::atomic<int> m_pageNumber{0};
  std::atomic<int> m_pageCount{0};
  std::atomic<int> m_pagesReady{0};
  std::atomic<bool> m_cancelled{false};
  std::atomic<int> m_progress{0};
  std::atomic<bool> m_previewShown{false};
  std::atomic<bool> m_pagesLoaded{false};
  double m_horzFactor = 1.0;
  double m_vertFactor = 1.0;
  int m_unprintableLeft = 0;
  int m_unprintableTop = 0;
  int m_firstPage = 0;
  int m_lastPage = 0;

  // Settings kept here when there is no printer.
  int m_printerIndex = -1;
  TQRPaperSize m_paperSize = TQRPaperSize::A4;
  int m_paperWidth = 2100;
  int m_paperLength = 2970;
  TQROrientation m_orientation = TQROrientation::poPortrait;
  int m_copies = 1;
  TQRBin m_outputBin = TQRBin::Auto;
};

}  // namespace vorelia::report

#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "report/core/page_canvas.h"
#include "report/qr_custom_band.h"
#include "report/qr_frame.h"
#include "report/qr_page.h"
#include "report/qr_print_dialog_settings.h"
#include "report/qr_report_printer_settings.h"

namespace vorelia::data {
class TDataSet;
}

namespace vorelia::report {

class TQRController;
class TQRExpressionEngine;
class TQRMeasuringContext;
class TQRPrintable;
class TQRPrinter;
class TQRPrinterDevice;

struct TQROptions {
  bool FirstPageHeader = true;
  bool LastPageFooter = true;
  bool Compression = false;
};

// One of the report's named values: a name and the text of its expression.
struct TQRNamedValue {
  std::string Name;
  std::string Expression;
};

// A banded report: a page description, bands in print order and the printables on them, and the
// composition that walks the bound dataset and lays the bands out on the pages of its current
// printer. All positions during a run are tenths of a millimetre; only the printer converts
// them to device units. One run at a time (Available).
class TQRCustomReport {
 public:
  using TReportEvent = std::function<void(TQRCustomReport&)>;
  using TBeforePrintEvent = std::function<void(TQRCustomReport&, bool& printReport)>;
  using TPreviewEvent = std::function<void(TQRCustomReport&)>;

  explicit TQRCustomReport(std::string name);
  virtual ~TQRCustomReport();
  TQRCustomReport(const TQRCustomReport&) = delete;
  TQRCustomReport& operator=(const TQRCustomReport&) = delete;

  const std::string& Name() const { return m_name; }

  // --- Layout ---------------------------------------------------------------------------
  TQRPage& Page() { return *m_page; }
  const TQRPage& Page() const { return *m_page; }
  TQRReportPrinterSettings PrinterSettings;
  TQROptions Options;
  std::string ReportTitle;
  bool ShowProgress = true;
  bool SnapToGrid = true;
  TCanvasFont Font;
  TQRFrame& Frame() { return m_frame; }
  std::vector<TQRNamedValue> Functions;
  std::vector<std::string> Description;
  int Tag = 0;
  bool PrintIfEmpty() const;
  void SetPrintIfEmpty(bool value);

  TQRUnit Units() const { return m_page->Units(); }
  // Sets the unit of the page and of every band's and printable's size.
  void SetUnits(TQRUnit units);
  int Zoom() const { return m_zoom; }
  // Accepts 1..300; other values are ignored.
  void SetZoom(int zoom);
  // The report's pixel size: the page at the layout resolution and zoom.
  int Width() const;
  int Height() const;

  // Creates a band on the report; the report owns it.
  template <typename B, typename... Args>
  B& CreateBand(Args&&... args) {
    auto band = std::make_unique<B>(std::forward<Args>(args)...);
    B& result = *band;
    AddBand(std::move(band));
    return result;
  }
  void AddBand(std::unique_ptr<TQRCustomBand> band);
  void RemoveBand(TQRCustomBand* band);
  // Bands in print order (see RebuildBandList).
  const std::vector<TQRCustomBand*>& BandList() const { return m_bandList; }
  TQRCustomBand* FindBand(const std::string& name) const;
  TQRCustomBand* FirstBand(TQRBandType type) const;
  // Recomputes the band order and lays the bands out; held back while loading.
  void RebuildBandList();
  void BeginLoading() { m_loading = true; }
  void EndLoading();
  // Printables placed directly on the report, positioned on the page.
  TQRPrintable& AddPrintable(std::unique_ptr<TQRPrintable> printable);
  TQRPrintable* FindPrintable(const std::string& name) const;

  // Band presence switches.
  bool HasBand(TQRBandType type) const { return FirstBand(type) != nullptr; }
  // True creates a band of the type named after it; false destroys the first one.
  void SetHasBand(TQRBandType type, bool has);

  // --- Hooks ----------------------------------------------------------------------------
  TBeforePrintEvent BeforePrint;
  TReportEvent AfterPrint;
  TReportEvent AfterPreview;
  TPreviewEvent OnPreview;
  TReportEvent OnStartPage;
  TReportEvent OnEndPage;
  std::function<void(bool& moreData)> OnNeedData;

  // --- Binding and measuring ------------------------------------------------------------
  data::TDataSet* DataSet() const;
  void SetDataSet(data::TDataSet* dataSet);
  TQRController& Controller() { return *m_controller; }
  // The dataset's record count when it is open, else 1.
  int RecordCount() const;
  const TQRMeasuringContext& Measurer() const { return *m_measurer; }
  int TextWidth(const TCanvasFont& font, std::string_view text) const;
  int TextHeight(const TCanvasFont& font, std::string_view text) const;
  // Not owned; a report starts with its own default engine. Without one, expression
  // printables print nothing and groups never change.
  void SetExpressionEngine(TQRExpressionEngine* engine) { m_expressions = engine; }
  TQRExpressionEngine* ExpressionEngine() const { return m_expressions; }

  // The current value of a named value (PAGENUMBER, COLUMNNUMBER, REPORTTITLE) in or after a
  // run; empty before the first.
  std::string NamedValue(const std::string& name) const {
    const auto it = m_namedValues.find(name);
    return it == m_namedValues.end() ? std::string() : it->second;
  }

  // --- Operations -----------------------------------------------------------------------
  bool Available() const { return m_available; }
  // The printer of the last Preview or Compose, if any.
  TQRPrinter* QRPrinter() const { return m_printer.get(); }
  // Composes into a fresh page store without showing anything; the printer stays current.
  void Compose();
  // Composes on a worker thread while the modal preview window shows the pages as they come.
  // The bound dataset's controls stay quiet until the composition has ended.
  void Preview();
  // Composes straight onto the system printer with a progress window; does nothing without a
  // usable printer. The previous printer stays current afterwards.
  void Print();
  // Lets the user choose printer, copies, orientation and page range; Tag is 1 when cancelled.
  void PrinterSetup();

  // How the report reaches the system: its printers and its print dialog. The printing layer
  // installs both; without them a report has no printer and the dialog counts as cancelled.
  using TPrinterDeviceFactory = std::function<std::unique_ptr<TQRPrinterDevice>()>;
  static void SetPrinterDeviceFactory(TPrinterDeviceFactory factory);
  static void SetPrintDialogRunner(TQRPrintDialogRunner runner);
  // Marks a running composition cancelled; it stops before the next record.
  void Cancel();
  bool Cancelled() const { return m_cancelled; }
  // Cancelled through the report or through the printer (the progress window).
  bool PrinterCancelled() const;
  // A fresh printer set up for this report; device is the system printer to print with, if any.
  // Each window that shows progress installs its own receivers.
  std::unique_ptr<TQRPrinter> CreatePrinter(std::unique_ptr<TQRPrinterDevice> device);
  std::unique_ptr<TQRPrinter> TakePrinter();
  void SetPrinter(std::unique_ptr<TQRPrinter> printer);
  // Runs the composition on the current printer, unless a run is in progress.
  void CreateReport();

  // --- State of a run, for printables and bands ------------------------------------------
  int PageCount() const { return m_pageCount; }
  int CurrentX() const { return m_currentX; }
  int CurrentY() const { return m_currentY; }
  int CurrentColumn() const { return m_currentColumn; }
  // Space left on the page above the footer reservation, tenths of a millimetre.
  int AvailableSpace() const;
  // Prints a band at the current position (page and column breaks included).
  void PrintBand(TQRCustomBand* band);
  // Begins a new column, or a new page after the last column.
  void NewColumn();
  void NewPage();
  void ForceNewPage();
  void ForceNewColumn();
  bool PageBegun() const { return m_pageCount > 0; }
  void SetNoForcedPage() { m_noForcedPage = true; }
  // Hands the percentage of records printed to the printer (and so to its progress window).
  void SetProgress(int percent);
  // The current printer's page canvas and conversions to its device units.
  TPageCanvas& Canvas() const;
  int DeviceX(double x) const;
  int DeviceY(double y) const;
  double HorzFactor() const;
  double VertFactor() const;
  // Lets pending user-interface events run when composing on the user-interface thread.
  void ProcessEvents() const;

 protected:
  TQRUnitBase* SizeOf(TQRCustomBand& band);

 private:
  void LayoutBands();
  TQRCustomBand* FirstBandOfType(TQRBandType type) const;
  void FinishPage();
  void PrintBandOnce(TQRCustomBand* band);
  double NeededHeight(const TQRCustomBand* band) const;
  double PaperLengthForRun() const;
  void SetNamedValue(const std::string& name, const std::string& value);
  // The run itself; the caller has marked the report busy. StartRun begins the printer's
  // document (false: the BeforePrint hook declined the run); FinishRun composes the pages.
  void RunComposition();
  bool StartRun();
  void FinishRun();
  void EndRun();
  void EndRunAfterError();
  void PrepareRun();
  void UnprepareRun();
  void ForEachPrintable(const std::function<void(TQRPrintable&)>& action);
  void ForEachSize(const std::function<void(TQRUnitBase&)>& action);
  TQRPrinter& Printer() const;
  void ReprintGroupHeaders(TQRController& controller);

  std::string m_name;
  std::unique_ptr<TQRPage> m_page;
  TQRFrame m_frame;
  int m_zoom = 100;
  std::vector<std::unique_ptr<TQRCustomBand>> m_bands;
  std::vector<TQRCustomBand*> m_bandList;
  std::vector<std::unique_ptr<TQRPrintable>> m_printables;
  bool m_loading = false;
  std::unique_ptr<TQRController> m_controller;
  std::unique_ptr<TQRMeasuringContext> m_measurer;
  std::unique_ptr<TQRExpressionEngine> m_defaultExpressions;
  TQRExpressionEngine* m_expressions = nullptr;
  std::map<std::string, std::string> m_namedValues;
  std::unique_ptr<TQRPrinter> m_printer;

  // Run state.
  std::atomic<bool> m_available{true};
  std::atomic<bool> m_cancelled{false};
  bool m_lastPage = false;
  bool m_prepared = false;
  TQRUnit m_savedUnits = TQRUnit::MM;
  int m_pageCount = 0;
  int m_currentX = 0;
  int m_currentY = -1;
  int m_currentColumn = 1;
  int m_columnTop = 0;
  double m_pageFooterSize = 0;
  bool m_noForcedPage = false;
  bool m_columnForced = false;
  // Set while a column or page break prints its bands.
  bool m_breaking = false;
  // A child of a page footer, printed as a page footer.
  TQRCustomBand* m_footerChild = nullptr;
};

// The report with a dataset binding through its controller.
class TQRReport : public TQRCustomReport {
 public:
  using TQRCustomReport::TQRCustomReport;
};

}  // namespace vorelia::report

#pragma once

#include <string>

#include "report/core/page_canvas.h"
#include "report/core/page_recording.h"
#include "report/core/qr_paper_size.h"

namespace vorelia::report {

// The platform printer a report printer prints with, together with its settings. The printing
// layer implements it over the system's printers; a report printer without one has no printer
// (HasPrinter false) and keeps its pages in the page store.
class TQRPrinterDevice {
 public:
  virtual ~TQRPrinterDevice() = default;

  // Settings. Setters keep a value only where the printer accepts it.
  virtual int PrinterIndex() const = 0;
  virtual void SetPrinterIndex(int index) = 0;
  virtual TQRPaperSize PaperSize() const = 0;
  virtual void SetPaperSize(TQRPaperSize size) = 0;
  // Tenths of a millimetre.
  virtual int PaperWidth() const = 0;
  virtual void SetPaperWidth(int width) = 0;
  virtual int PaperLength() const = 0;
  virtual void SetPaperLength(int length) = 0;
  virtual TQROrientation Orientation() const = 0;
  virtual void SetOrientation(TQROrientation orientation) = 0;
  virtual int Copies() const = 0;
  virtual void SetCopies(int copies) = 0;
  virtual TQRBin OutputBin() const = 0;
  virtual void SetOutputBin(TQRBin bin) = 0;
  // Unprintable left and top margins, tenths of a millimetre.
  virtual int LeftOffset() const = 0;
  virtual int TopOffset() const = 0;
  virtual int PixelsPerInchX() const = 0;
  virtual int PixelsPerInchY() const = 0;

  // Print job. BeginJob starts the job with its first sheet ready to draw on; NewSheet ends the
  // sheet and starts the next.
  virtual void ApplySettings() = 0;
  virtual bool JobRunning() const = 0;
  virtual void BeginJob(const std::string& title) = 0;
  virtual void NewSheet() = 0;
  virtual void EndJob() = 0;
  virtual void AbortJob() = 0;
  // The current sheet's drawing surface, in printer device units; valid while a job runs.
  virtual TPageCanvas& Canvas() = 0;
  // Draws a stored page stretched over the sheet's printable area.
  virtual void PlayPage(const TPageRecording& page) = 0;
};

}  // namespace vorelia::report

#pragma once

#include <QScrollArea>

namespace vorelia::report {

class TQRPreviewImage;
class TQRPrinter;

enum class TQRZoomState { ZoomModeFit, ZoomModeWidth, ZoomModeOther };

// A scrolling view of one page of a report printer, with page choice and zoom. It is the
// printer's client: notifications from the composing thread are posted to it.
class TQRPreview : public QScrollArea {
  Q_OBJECT

 public:
  explicit TQRPreview(QWidget* parent = nullptr);
  ~TQRPreview() override;

  TQRPrinter* QRPrinter() const { return m_printer; }
  // Detaches from the previous printer and shows page 1 of this one.
  void SetQRPrinter(TQRPrinter* printer);
  TQRPreviewImage& PreviewImage() { return *m_image; }
  // Routes the printer's notifications to whichever view shows it. Call before a worker starts
  // composing on the printer.
  static void InstallNotifications(TQRPrinter& printer);

  int PageNumber() const { return m_pageNumber; }
  void SetPageNumber(int page);
  int Zoom() const { return m_zoom; }
  // Accepts 2..2000.
  void SetZoom(int zoom);
  TQRZoomState ZoomState() const { return m_zoomState; }
  void ZoomToFit();
  void ZoomToWidth();
  void UpdateZoom();

  // Notifications from the printer, on the user-interface thread.
  void PagesAvailable(int count);
  void ProgressUpdate(int percent);

 signals:
  void OnPageAvailable(int pageNumber);
  void OnProgressUpdate(int progress);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Detach();
  int PageWidthPixels() const;
  int PageHeightPixels() const;

  TQRPrinter* m_printer = nullptr;
  TQRPreviewImage* m_image;
  int m_pageNumber = 1;
  int m_zoom = 100;
  TQRZoomState m_zoomState = TQRZoomState::ZoomModeOther;
};

}  // namespace vorelia::report

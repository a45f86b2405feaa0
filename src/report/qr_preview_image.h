#pragma once

#include <QWidget>
#include <optional>

#include "report/core/page_recording.h"

namespace vorelia::report {

class TQRPrinter;

// One page of a report printer's page store, drawn at the view's zoom with an outline and a
// shadow. Shows nothing while its page is not finished.
class TQRPreviewImage : public QWidget {
  Q_OBJECT

 public:
  explicit TQRPreviewImage(QWidget* parent = nullptr);

  void SetPrinter(TQRPrinter* printer) { m_printer = printer; }
  int PageNumber() const { return m_pageNumber; }
  void SetPageNumber(int page) { m_pageNumber = page; }
  int Zoom() const { return m_zoom; }
  void SetZoom(int zoom) { m_zoom = zoom; }
  bool ImageOK() const { return m_page.has_value(); }
  // Asks the printer for the page again (nothing while it is unfinished) and repaints.
  void LoadPage();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TQRPrinter* m_printer = nullptr;
  int m_pageNumber = 1;
  int m_zoom = 100;
  std::optional<TPageRecording> m_page;
};

}  // namespace vorelia::report

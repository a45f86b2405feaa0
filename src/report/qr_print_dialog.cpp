#include "report/qr_print_dialog.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include "report/application_printer.h"

namespace vorelia::report {

namespace {

// What the dialog may change on the application printer before the user confirms.
struct TPrinterSnapshot {
  explicit TPrinterSnapshot(const QPrinter& printer)
      : name(printer.printerName()),
        format(printer.outputFormat()),
        fileName(printer.outputFileName()),
        layout(printer.pageLayout()),
        copies(printer.copyCount()),
        collate(printer.collateCopies()),
        duplex(printer.duplex()),
        range(printer.printRange()),
        from(printer.fromPage()),
        to(printer.toPage()) {}

  void Restore(QPrinter& printer) const {
    if (printer.printerName() != name || printer.outputFormat() != format) {
      printer.setOutputFormat(format);
      if (format == QPrinter::NativeFormat) printer.setPrinterName(name);
    }
    printer.setOutputFileName(fileName);
    printer.setPageLayout(layout);
    printer.setCopyCount(copies);
    printer.setCollateCopies(collate);
    printer.setDuplex(duplex);
    printer.setPrintRange(range);
    printer.setFromTo(from, to);
  }

  QString name;
  QPrinter::OutputFormat format;
  QString fileName;
  QPageLayout layout;
  int copies;
  bool collate;
  QPrinter::DuplexMode duplex;
  QPrinter::PrintRange range;
  int from;
  int to;
};

QAbstractPrintDialog::PrintRange QtRange(TQRPrintRange range) {
  switch (range) {
    case TQRPrintRange::prSelection:
      return QAbstractPrintDialog::Selection;
    case TQRPrintRange::prPageNums:
      return QAbstractPrintDialog::PageRange;
    default:
      return QAbstractPrintDialog::AllPages;
  }
}

TQRPrintRange ChosenRange(QAbstractPrintDialog::PrintRange range) {
  switch (range) {
    case QAbstractPrintDialog::Selection:
      return TQRPrintRange::prSelection;
    case QAbstractPrintDialog::PageRange:
      return TQRPrintRange::prPageNums;
    default:
      return TQRPrintRange::prAllPages;
  }
}

// Centred across the work area, a third of the free height from its top.
void Centre(QDialog& dialog, QWidget* owner) {
  QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  dialog.move(area.left() + (area.width() - dialog.width()) / 2,
              area.top() + (area.height() - dialog.height()) / 3);
}

// The print dialog lays itself out for the chosen printer as it shows, which can change its
// size; it is centred again once that is done.
class TPlaceOnShow : public QObject {
 public:
  TPlaceOnShow(QDialog& dialog, QWidget* owner) : QObject(&dialog), m_owner(owner) {
    dialog.installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      auto* dialog = static_cast<QDialog*>(watched);
      QTimer::singleShot(0, dialog, [dialog, owner = m_owner] { Centre(*dialog, owner); });
    }
    return false;
  }

 private:
  QPointer<QWidget> m_owner;
};

void Place(QDialog& dialog, QWidget* owner) {
  // Wide enough for printer names such as "Print to File (PDF)" in full.
  dialog.setMinimumWidth(440);
  dialog.adjustSize();
  Centre(dialog, owner);
  new TPlaceOnShow(dialog, owner);
}

}  // namespace

bool TQRPrintDialog::Execute(QWidget* owner) {
  QPrinter& printer = ApplicationPrinter();
  const TPrinterSnapshot before(printer);
  if (!owner) owner = QApplication::activeWindow();

  QAbstractPrintDialog::PrintDialogOptions options =
      QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies;
  const bool toFileOffered = Options.poPrintToFile && !Options.poDisablePrintToFile;
  if (toFileOffered) options |= QAbstractPrintDialog::PrintToFile;
  if (Options.poPageNums) options |= QAbstractPrintDialog::PrintPageRange;
  if (Options.poSelection) options |= QAbstractPrintDialog::PrintSelection;

  printer.setCollateCopies(Collate);
  if (Copies > 0) printer.setCopyCount(Copies);
  if (toFileOffered && PrintToFile) printer.setOutputFormat(QPrinter::PdfFormat);

  bool accepted = false;
  {
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setOptions(options);
    if (MinPage <= MaxPage) dialog.setMinMax(MinPage, MaxPage);
    if (FromPage > 0 && FromPage <= ToPage) dialog.setFromTo(FromPage, ToPage);
    dialog.setPrintRange(QtRange(PrintRange));
    Place(dialog, owner);
    if (OnShow) OnShow();
    accepted = dialog.exec() == QDialog::Accepted;
    if (accepted) {
      Collate = printer.collateCopies();
      PrintToFile =
          printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
      PrintRange = ChosenRange(dialog.printRange());
      FromPage = dialog.fromPage();
      ToPage = dialog.toPage();
    }
  }
  if (OnClose) OnClose();
  if (!accepted) {
    before.Restore(printer);
    return false;
  }
  // Drivers that make the copies themselves report one copy; the printer then holds the count.
  int copies = printer.copyCount();
  if (copies == 1) copies = ApplicationPrinter().copyCount();
  Copies = copies;
  printer.setCopyCount(copies);
  return true;
}

bool RunPrinterSetupDialog(TQRPrintDialogSettings& settings) {
  SelectApplicationPrinter(settings.PrinterIndex);
  QPrinter& printer = ApplicationPrinter();
  printer.setPageOrientation(settings.Orientation == TQROrientation::poLandscape
                                 ? QPageLayout::Landscape
                                 : QPageLayout::Portrait);
  TQRPrintDialog dialog;
  dialog.MinPage = settings.MinPage;
  dialog.MaxPage = settings.MaxPage;
  dialog.FromPage = settings.FromPage;
  dialog.ToPage = settings.ToPage;
  dialog.Copies = settings.Copies;
  dialog.Options.poPageNums = true;
  dialog.Options.poWarning = true;
  // Here writing a PDF file is a destination in the printer list, as a PDF printer would be,
  // not a box beside it; without it a desktop with no print queue could not print at all.
  dialog.Options.poPrintToFile = true;
  if (!dialog.Execute()) return false;
  settings.Copies = dialog.Copies;
  settings.PrinterIndex = ApplicationPrinterIndex();
  settings.Orientation = printer.pageLayout().orientation() == QPageLayout::Landscape
                             ? TQROrientation::poLandscape
                             : TQROrientation::poPortrait;
  settings.PrintRange = dialog.PrintRange;
  settings.FromPage = dialog.FromPage;
  settings.ToPage = dialog.ToPage;
  return true;
}

}  // namespace vorelia::report

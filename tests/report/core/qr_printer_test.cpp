#include "report/core/qr_printer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "report/core/qr_error.h"
#include "support/temp_dir.h"

namespace vorelia::report {
namespace {

// A printer that accepts every setting and logs the job calls.
class FakeDevice : public TQRPrinterDevice {
 public:
  explicit FakeDevice(std::vector<std::string>* log, int ppi = 254) : m_log(log), m_ppi(ppi) {}

  int PrinterIndex() const override { return 0; }
  void SetPrinterIndex(int) override {}
  TQRPaperSize PaperSize() const override { return m_size; }
  void SetPaperSize(TQRPaperSize size) override { m_size = size; }
  int PaperWidth() const override { return m_width; }
  void SetPaperWidth(int width) override { m_width = width; }
  int PaperLength() const override { return m_length; }
  void SetPaperLength(int length) override { m_length = length; }
  TQROrientation Orientation() const override { return m_orientation; }
  void SetOrientation(TQROrientation orientation) override { m_orientation = orientation; }
  int Copies() const override { return 1; }
  void SetCopies(int) override {}
  TQRBin OutputBin() const override { return TQRBin::Auto; }
  void SetOutputBin(TQRBin) override {}
  int LeftOffset() const override { return 50; }
  int TopOffset() const override { return 30; }
  int PixelsPerInchX() const override { return m_ppi; }
  int PixelsPerInchY() const override { return m_ppi; }

  void ApplySettings() override { m_log->push_back("apply"); }
  bool JobRunning() const override { return m_running; }
  void BeginJob(const std::string& title) override {
    m_log->push_back("begin " + title);
    m_running = true;
  }
  void NewSheet() override { m_log->push_back("sheet"); }
  void EndJob() override {
    m_log->push_back("end");
    m_running = false;
  }
  void AbortJob() override {
    m_log->push_back("abort");
    m_running = false;
  }
  TPageCanvas& Canvas() override { return m_canvas; }
  void PlayPage(const TPageRecording& page) override {
    m_log->push_back("play " + std::get<TOpText>(page.Ops[0]).Text);
    if (onPlay) onPlay();
  }

  std::function<void()> onPlay;

 private:
  std::vector<std::string>* m_log;
  int m_ppi;
  bool m_running = false;
  TQRPaperSize m_size = TQRPaperSize::A4;
  int m_width = 2100;
  int m_length = 2970;
  TQROrientation m_orientation = TQROrientation::poPortrait;
  TPageRecorder m_canvas{2480, 3508, 300, 300};
};

// Composes count pages, each with its number as the first operation.
void Compose(TQRPrinter& printer, int count) {
  printer.BeginDoc();
  for (int n = 1; n <= count; ++n) {
    printer.NewPage();
    printer.Canvas().TextOut(printer.DeviceX(100), printer.DeviceY(100), std::to_string(n));
  }
  printer.EndDoc();
}

class QRPrinterTest : public test::TempDirTest {};

TEST_F(QRPrinterTest, StateErrorsCarryTheirTexts) {
  TQRPrinter printer;
  try {
    printer.NewPage();
    FAIL();
  } catch (const EQRError& error) {
    EXPECT_STREQ(error.what(), "Illegal call to NewPage");
  }
  printer.BeginDoc();
  try {
    printer.BeginDoc();
    FAIL();
  } catch (const EQRError& error) {
    EXPECT_STREQ(error.what(), "QRPrinter not ready");
  }
  printer.EndDoc();
  EXPECT_EQ(printer.Status(), TQRPrinterStatus::StateDone);
  EXPECT_THROW(printer.NewPage(), EQRError);
  EXPECT_THROW(printer.BeginDoc(), EQRError);
}

TEST_F(QRPrinterTest, PagesBecomeReadableOnlyWhenFinished) {
  TQRPrinter printer;
  std::vector<int> ready;
  printer.OnPagesReady = [&ready](int n) { ready.push_back(n); };
  EXPECT_FALSE(printer.GetPage(1));  // idle
  printer.BeginDoc();
  printer.NewPage();
  // A4 at 96 per inch: 2100 and 2970 tenths of a millimetre are 793.7 and 1122.5 pixels.
  EXPECT_EQ(printer.Canvas().Width(), 794);
  EXPECT_EQ(printer.Canvas().Height(), 1123);
  printer.Canvas().TextOut(printer.DeviceX(100), printer.DeviceY(100), "1");
  EXPECT_EQ(printer.PageCount(), 1);
  EXPECT_FALSE(printer.GetPage(1));  // still being drawn
  printer.NewPage();
  printer.Canvas().TextOut(0, 0, "2");
  ASSERT_TRUE(printer.GetPage(1));
  EXPECT_EQ(std::get<TOpText>(printer.GetPage(1)->Ops[0]), (TOpText{38, 38, "1", TTextAlign::Left, false, std::nullopt}));
  EXPECT_FALSE(printer.GetPage(2));
  EXPECT_EQ(printer.PagesReady(), 1);
  printer.EndDoc();
  EXPECT_TRUE(printer.GetPage(2));
  EXPECT_FALSE(printer.GetPage(3));
  EXPECT_EQ(printer.PagesReady(), 2);
  EXPECT_EQ(ready, (std::vector<int>{1, 2}));
  EXPECT_EQ(printer.PageList().Header().PageCount, 2);
}

TEST_F(QRPrinterTest, UnitsAndPageSizes) {
  std::vector<std::string> log;
  TQRPrinter printer(std::make_unique<FakeDevice>(&log));
  printer.SetTarget(TQRPrinterDestination::TargetPrinter);
  printer.BeginDoc();  // 254 per inch: one device unit per tenth of a millimetre
  EXPECT_EQ(printer.UnprintableLeft(), 50);
  EXPECT_EQ(printer.DeviceWidth(2.5), 2);  // ties go to the even neighbour
  EXPECT_EQ(printer.DeviceWidth(3.5), 4);
  EXPECT_EQ(printer.DeviceWidth(-2.5), -2);
  EXPECT_EQ(printer.DeviceX(100), 50);  // less the unprintable margin
  EXPECT_EQ(printer.DeviceY(100), 70);
  printer.AbortDoc();

  TQRPrinter store;
  EXPECT_EQ(store.PageWidthNative(), 2100);
  EXPECT_EQ(store.PageLengthNative(), 2970);
  store.SetOrientation(TQROrientation::poLandscape);
  EXPECT_EQ(store.PageWidthNative(), 2970);
  EXPECT_EQ(store.PageLengthNative(), 2100);
  store.SetPaperWidth(1000);  // ignored unless the size is Custom
  EXPECT_EQ(store.PaperWidth(), 2100);
  store.SetPaperSize(TQRPaperSize::Custom);
  store.SetPaperWidth(1000);
  store.SetPaperLength(1500);
  EXPECT_EQ(store.PageWidthNative(), 1500);  // landscape shows the length across
  EXPECT_EQ(store.PageLengthNative(), 1000);
  store.SetOrientation(TQROrientation::poPortrait);
  store.SetPaperSize(TQRPaperSize::Env9);  // 98.43 mm
  EXPECT_EQ(store.PageWidthNative(), 984);
  EXPECT_EQ(store.PageLengthNative(), 2254);
}

TEST_F(QRPrinterTest, PrintRange) {
  struct Case {
    int first, last, page;
    bool in;
  };
  const std::vector<Case> cases = {
      {0, 0, 1, true},  {0, 0, 999, true}, {2, 0, 1, false}, {2, 0, 2, true},
      {2, 0, 9, true},  {0, 1, 1, true},   {0, 1, 2, false}, {2, 3, 3, true},
      {2, 3, 4, false}, {-1, -1, 5, true},
  };
  TQRPrinter printer;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << ".." << c.last << " page " << c.page);
    printer.SetFirstPage(c.first);
    printer.SetLastPage(c.last);
    EXPECT_EQ(printer.InPrintRange(c.page), c.in);
  }
}

TEST_F(QRPrinterTest, ComposingToThePrinterSendsOnlyTheRange) {
  std::vector<std::string> log;
  auto device = std::make_unique<FakeDevice>(&log);
  TPageCanvas& sheet = device->Canvas();
  TQRPrinter printer(std::move(device));
  printer.SetTarget(TQRPrinterDestination::TargetPrinter);
  printer.SetTitle("Agencias");
  printer.SetFirstPage(2);
  printer.SetLastPage(3);
  bool printDone = false;
  printer.OnPrintDone = [&printDone] { printDone = true; };
  Compose(printer, 5);
  EXPECT_EQ(log, (std::vector<std::string>{"apply", "begin Agencias", "sheet", "end"}));
  // Pages 2 and 3 went to the sheet at printer resolution, less the margins; the others were
  // drawn at screen resolution and dropped.
  const auto& ops = static_cast<TPageRecorder&>(sheet).Recording().Ops;
  ASSERT_EQ(ops.size(), 2u);
  EXPECT_EQ(std::get<TOpText>(ops[0]), (TOpText{50, 70, "2", TTextAlign::Left, false, std::nullopt}));
  EXPECT_EQ(std::get<TOpText>(ops[1]).Text, "3");
  EXPECT_TRUE(printDone);
  EXPECT_EQ(printer.PageCount(), 5);
  EXPECT_FALSE(printer.GetPage(1));  // a printer run stores nothing
}

TEST_F(QRPrinterTest, PrintingStoredPagesFollowsTheRangeAndCancel) {
  struct Case {
    int first, last;
    std::vector<std::string> log;
  };
  const std::vector<Case> cases = {
      {2, 0, {"apply", "begin T", "play 2", "sheet", "play 3", "end"}},
      {0, 1, {"apply", "begin T", "play 1", "end"}},
      {0, 0, {"apply", "begin T", "play 1", "sheet", "play 2", "sheet", "play 3", "end"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    TQRPrinter printer(std::make_unique<FakeDevice>(&log));
    printer.SetTitle("T");
    Compose(printer, 3);
    log.clear();
    printer.SetFirstPage(c.first);
    printer.SetLastPage(c.last);
    printer.SetPagesLoaded(true);
    printer.Print();
    EXPECT_EQ(log, c.log);
  }

  std::vector<std::string> log;
  auto device = std::make_unique<FakeDevice>(&log);
  FakeDevice* raw = device.get();
  TQRPrinter printer(std::move(device));
  Compose(printer, 3);
  raw->onPlay = [&printer] { printer.Cancel(); };
  log.clear();
  printer.Print();
  EXPECT_EQ(log, (std::vector<std::string>{"apply", "begin ", "play 1", "abort"}));
}

TEST_F(QRPrinterTest, APreviewThatIsNotReadyAsksTheReportToPrint) {
  std::vector<std::string> log;
  TQRPrinter printer(std::make_unique<FakeDevice>(&log));
  int requests = 0;
  printer.MasterPrintRequest = [&requests] { ++requests; };
  Compose(printer, 1);
  log.clear();
  printer.Print();
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(log.empty());

  TQRPrinter none;  // no printer: printing stored pages does nothing
  Compose(none, 1);
  none.SetPagesLoaded(true);
  none.Print();
}

TEST_F(QRPrinterTest, SaveAndLoadRecogniseThePaper) {
  struct Case {
    TQRPaperSize size;
    TQROrientation orientation;
    TQRPaperSize loaded;
    TQROrientation loadedOrientation;
  };
  // Pages are compared in millimetres over four, truncated; later table entries win, so an A4
  // page reads as A4Small and a Letter page as Note (279.0 mm long, 69 quarters like Letter).
  // An A3 page is 1587 pixels wide, 104.97 quarters, not A3's 105: nothing matches and the
  // viewer keeps its own A4 portrait.
  const auto portrait = TQROrientation::poPortrait;
  const auto landscape = TQROrientation::poLandscape;
  const std::vector<Case> cases = {
      {TQRPaperSize::A4, portrait, TQRPaperSize::A4Small, portrait},
      {TQRPaperSize::A4, landscape, TQRPaperSize::A4Small, landscape},
      {TQRPaperSize::Letter, portrait, TQRPaperSize::Note, portrait},
      {TQRPaperSize::Legal, landscape, TQRPaperSize::Legal, landscape},
      {TQRPaperSize::A3, landscape, TQRPaperSize::A4, portrait},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.size));
    TQRPrinter composer;
    composer.SetPaperSize(c.size);
    composer.SetOrientation(c.orientation);
    composer.SetCompression(true);
    composer.Save(m_dir / "early.qrp");  // nothing before the document is done
    EXPECT_FALSE(std::filesystem::exists(m_dir / "early.qrp"));
    Compose(composer, 2);
    composer.Save(m_dir / "saved.qrp");

    TQRPrinter viewer;
    int setups = 0;
    viewer.OnSetupRequest = [&setups] { ++setups; };
    viewer.Load(m_dir / "saved.qrp");
    EXPECT_EQ(viewer.Status(), TQRPrinterStatus::StateDone);
    EXPECT_TRUE(viewer.PagesLoaded());
    EXPECT_FALSE(viewer.OnSetupRequest);
    EXPECT_EQ(viewer.PageCount(), 2);
    EXPECT_EQ(viewer.PaperSize(), c.loaded);
    EXPECT_EQ(viewer.Orientation(), c.loadedOrientation);
    EXPECT_EQ(std::get<TOpText>(viewer.GetPage(2)->Ops[0]).Text, "2");
  }
}

TEST_F(QRPrinterTest, ADamagedFileKeepsTheCurrentDocument) {
  TQRPrinter printer;
  Compose(printer, 2);
  std::ofstream(m_dir / "junk.qrp") << std::string(300, 'x');
  EXPECT_THROW(printer.Load(m_dir / "junk.qrp"), EQRError);
  EXPECT_EQ(printer.Status(), TQRPrinterStatus::StateDone);
  EXPECT_EQ(printer.PageCount(), 2);
  EXPECT_TRUE(printer.GetPage(2));

  // A document still being composed is not swapped away under its worker.
  printer.Save(m_dir / "two.qrp");
  TQRPrinter busy;
  busy.BeginDoc();
  busy.NewPage();
  EXPECT_THROW(busy.Load(m_dir / "two.qrp"), EQRError);
  EXPECT_EQ(busy.Status(), TQRPrinterStatus::StateRunning);
  busy.EndDoc();
  busy.Load(m_dir / "two.qrp");
  EXPECT_EQ(busy.PageCount(), 2);
}

TEST_F(QRPrinterTest, ADocumentIsWholeOnceItIsDone) {
  // The events let run at the end of a document, or a preview watching from its own thread, may
  // save or reprint the moment the state turns done: the header must carry the final count and
  // every page must be counted by then.
  TQRPrinter printer;
  const auto path = m_dir / "at_done.qrp";
  int ready = -1;
  printer.ProcessEvents = [&] {
    ASSERT_EQ(printer.Status(), TQRPrinterStatus::StateDone);
    ready = printer.PagesReady();
    printer.Save(path);
  };
  Compose(printer, 3);
  EXPECT_EQ(ready, 3);

  TQRPrinter viewer;
  ASSERT_NO_THROW(viewer.Load(path));
  EXPECT_EQ(viewer.PageCount(), 3);
  EXPECT_EQ(std::get<TOpText>(viewer.GetPage(3)->Ops[0]).Text, "3");
}

TEST_F(QRPrinterTest, ClosingThePreviewCancelsARunningDocument) {
  TQRPrinter printer;
  int closed = 0;
  printer.OnPreviewClosed = [&closed] { ++closed; };
  printer.SetPreviewShown(true);
  printer.BeginDoc();
  printer.NewPage();
  printer.SetPreviewShown(false);
  EXPECT_TRUE(printer.Cancelled());
  EXPECT_EQ(closed, 1);
  printer.AbortDoc();  // the open page is kept and the header tells the truth
  EXPECT_EQ(printer.PagesReady(), 1);
  EXPECT_EQ(printer.PageList().Header().PageCount, 1);

  int previews = 0;
  printer.OnPreview = [&previews](TQRPrinter&) { ++previews; };
  printer.Preview();
  printer.RunPreview();
  EXPECT_EQ(previews, 2);
}

TEST_F(QRPrinterTest, ThePreviewReadsReadyPagesWhileAWorkerComposes) {
  TQRPrinter printer;
  printer.SetCompression(true);
  std::atomic<int> notified{0};
  printer.OnPagesReady = [&notified](int n) { notified = n; };
  printer.BeginDoc();
  std::thread worker([&printer] {
    for (int n = 1; n <= 150; ++n) {
      printer.NewPage();
      printer.Canvas().TextOut(0, 0, std::to_string(n));
    }
    printer.EndDoc();
  });
  int missing = 0;
  int wrong = 0;
  while (printer.Status() != TQRPrinterStatus::StateDone) {
    const int ready = printer.PagesReady();
    if (ready == 0) continue;
    const auto page = printer.GetPage(ready);  // a ready page is always readable
    if (!page) {
      ++missing;
    } else if (std::get<TOpText>(page->Ops[0]).Text != std::to_string(ready)) {
      ++wrong;
    }
  }
  worker.join();
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(notified, 150);
  EXPECT_EQ(printer.PagesReady(), 150);
  EXPECT_EQ(std::get<TOpText>(printer.GetPage(150)->Ops[0]).Text, "150");
}

}  // namespace
}  // namespace vorelia::report

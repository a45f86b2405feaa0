#include "report/core/printer_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/core/page_recorder.h"
#include "report/core/qr_printer.h"
#include "report/core/system_printer_device.h"

namespace vorelia::report {
namespace {

// A platform printer whose lists, settings block and capabilities a test sets; its job calls
// and written settings blocks go to a log.
class FakePlatformPrinter : public TPlatformPrinter {
 public:
  explicit FakePlatformPrinter(std::vector<std::string>* log = nullptr) : m_log(log) {
    defaults.PaperCode = 9;
    defaults.Copies = 2;
    defaults.DefaultSource = 4;
    block = defaults;
  }

  std::vector<std::string> PrinterNames() const override { return names; }
  bool PrintsToFile() const override { return toFile; }
  int PrinterIndex() const override { return selected; }
  void SelectPrinter(int index) override {
    selected = index < 0 ? defaultIndex : index;
    block = defaults;
    Log("select " + std::to_string(selected));
  }
  TDeviceNames Names() const override {
    if (toFile) return {"", "", "out.pdf"};
    return {names.at(static_cast<std::size_t>(selected)), driver, "usb"};
  }
  std::optional<TDeviceSettings> DeviceSettings() const override {
    if (missingBlocks > 0) {
      --missingBlocks;
      return std::nullopt;
    }
    return block;
  }
  void SetDeviceSettings(const TDeviceSettings& settings) override {
    block = settings;
    Log("settings");
  }
  TPrinterCapabilities Capabilities() const override { return capabilities; }
  std::vector<int> PaperCodes() const override { return codes; }
  int ResolutionX() const override { return 600; }
  int ResolutionY() const override { return 300; }
  TPhysicalPage PhysicalPage() const override { return page; }

  bool JobRunning() const override { return m_running; }
  void BeginJob(const std::string& title) override {
    m_running = true;
    Log("begin " + title);
  }
  void NewSheet() override { Log("sheet"); }
  void EndJob() override {
    m_running = false;
    Log("end");
  }
  void AbortJob() override {
    m_running = false;
    Log("abort");
  }
  TPageCanvas& Canvas() override { return m_canvas; }
  void PlayPage(const TPageRecording& page) override {
    Log("play " + std::get<TOpText>(page.Ops.at(0)).Text);
    if (onPlay) onPlay();
  }

  std::vector<std::string> names{"Office", "Labels"};
  bool toFile = false;
  std::string driver = "Laser";
  int selected = 0;
  int defaultIndex = 0;
  TDeviceSettings defaults;
  TDeviceSettings block;
  mutable int missingBlocks = 0;
  TPrinterCapabilities capabilities{true, true, true, true, true};
  std::vector<int> codes{1, 9, 11, 300};
  // 100 px at 600 dpi are 4.23 mm, 60 px at 300 dpi 5.08 mm; the sheet is A4.
  TPhysicalPage page{100, 60, 4961, 3508};
  std::function<void()> onPlay;

 private:
  void Log(const std::string& line) {
    if (m_log) m_log->push_back(line);
  }

  std::vector<std::string>* m_log;
  bool m_running = false;
  TPageRecorder m_canvas{4961, 3508, 600, 300};
};

TPrinterSettings ReadSettings(FakePlatformPrinter& printer) {
  TPrinterSettings settings;
  settings.Bind(&printer);
  settings.ReadFromPrinter();
  return settings;
}

TEST(PrinterSettingsTest, PlatformCodesGoBothWaysToTheFirstMember) {
  EXPECT_EQ(PaperCode(TQRPaperSize::Default), 0);
  EXPECT_EQ(PaperCode(TQRPaperSize::Letter), 1);
  EXPECT_EQ(PaperCode(TQRPaperSize::A4), 9);
  EXPECT_EQ(PaperCode(TQRPaperSize::ESheet), 26);
  EXPECT_EQ(PaperCode(TQRPaperSize::Custom), 256);
  EXPECT_EQ(PaperSizeFromCode(26), TQRPaperSize::ESheet);
  EXPECT_EQ(PaperSizeFromCode(256), TQRPaperSize::Custom);
  EXPECT_EQ(PaperSizeFromCode(0), TQRPaperSize::Default);
  EXPECT_EQ(PaperSizeFromCode(27), TQRPaperSize::Default);

  const std::vector<int> codes = {1, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 14};
  for (int i = 0; i < static_cast<int>(codes.size()); ++i) {
    EXPECT_EQ(BinCode(static_cast<TQRBin>(i)), codes[static_cast<std::size_t>(i)]) << i;
  }
  EXPECT_EQ(BinFromCode(1), TQRBin::First);
  EXPECT_EQ(BinFromCode(14), TQRBin::Cassette);
  EXPECT_EQ(BinFromCode(7), TQRBin::Auto);
  EXPECT_EQ(BinFromCode(12), TQRBin::First);
  EXPECT_EQ(BinFromCode(4 | kSourceDriverFlag), TQRBin::First);
}

TEST(PrinterSettingsTest, ReadsTheSelectedPrinter) {
  TPrinterSettings fresh;
  EXPECT_EQ(fresh.PaperSize(), TQRPaperSize::A4);
  EXPECT_EQ(fresh.PaperWidth(), 2100);

  FakePlatformPrinter printer;
  printer.driver = std::string(200, 'd');
  printer.block.Duplex = kDuplexVertical;
  const TPrinterSettings settings = ReadSettings(printer);
  EXPECT_EQ(settings.Device(), "Office");
  EXPECT_EQ(settings.Driver().size(), 127u);
  EXPECT_EQ(settings.PixelsPerInchX(), 600);
  EXPECT_EQ(settings.PixelsPerInchY(), 300);
  EXPECT_EQ(settings.Copies(), 2);
  EXPECT_EQ(settings.OutputBin(), TQRBin::Manual);
  EXPECT_TRUE(settings.Duplex());
  EXPECT_EQ(settings.LeftOffset(), 42);
  EXPECT_EQ(settings.TopOffset(), 51);
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::A4);
  EXPECT_EQ(settings.PaperWidth(), 2100);
  EXPECT_EQ(settings.PaperLength(), 2970);
  for (const TQRPaperSize size : {TQRPaperSize::Default, TQRPaperSize::Letter, TQRPaperSize::A4,
                                  TQRPaperSize::A5, TQRPaperSize::Custom}) {
    EXPECT_TRUE(settings.Supports(size)) << static_cast<int>(size);
  }
  EXPECT_FALSE(settings.Supports(TQRPaperSize::Legal));
  EXPECT_FALSE(settings.Supports(TQRPaperSize::A3));
}

TEST(PrinterSettingsTest, WhatThePrinterCannotChangeReadsAsTheFixedValue) {
  FakePlatformPrinter printer;
  printer.capabilities = {};
  printer.block.Duplex = kDuplexHorizontal;
  printer.block.PaperCode = 5;
  TPrinterSettings settings = ReadSettings(printer);
  EXPECT_FALSE(settings.Duplex());
  EXPECT_EQ(settings.Copies(), 1);
  EXPECT_EQ(settings.OutputBin(), TQRBin::First);
  // No paper sizes: the size comes from the sheet.
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::Default);
  EXPECT_EQ(settings.PaperWidth(), 2100);
  EXPECT_EQ(settings.PaperLength(), 2970);

  settings.SetCopies(3);
  settings.SetOutputBin(TQRBin::Lower);
  settings.SetOrientation(TQROrientation::poLandscape);
  EXPECT_EQ(settings.Copies(), 1);
  EXPECT_EQ(settings.OutputBin(), TQRBin::First);
  EXPECT_EQ(settings.Orientation(), TQROrientation::poPortrait);
}

TEST(PrinterSettingsTest, SettersKeepOnlyWhatThePrinterAccepts) {
  FakePlatformPrinter printer;
  TPrinterSettings settings = ReadSettings(printer);

  settings.SetPaperWidth(1500);
  EXPECT_EQ(settings.PaperWidth(), 2100);
  settings.SetPaperSize(TQRPaperSize::Legal);  // not offered
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::A4);
  settings.SetPaperSize(TQRPaperSize::Custom);
  settings.SetPaperWidth(1500);
  settings.SetPaperLength(1800);
  settings.SetPaperLength(-4);
  EXPECT_EQ(settings.PaperWidth(), 1500);
  EXPECT_EQ(settings.PaperLength(), 1800);
  settings.SetPaperSize(TQRPaperSize::Default);
  EXPECT_EQ(settings.PaperSize(), TQRPaperSize::Default);

  settings.SetCopies(3);
  settings.SetCopies(0);
  settings.SetCopies(40000);
  EXPECT_EQ(settings.Copies(), 3);
  settings.SetOutputBin(TQRBin::Cassette);
  EXPECT_EQ(settings.OutputBin(), TQRBin::Cassette);
}

TEST(PrinterSettingsTest, ApplyWritesTheChoicesIntoTheSettingsBlock) {
  FakePlatformPrinter printer;
  printer.block.DefaultSource = 4 | kSourceDriverFlag;
  printer.block.Duplex = kDuplexSimplex;
  TPrinterSettings settings = ReadSettings(printer);
  settings.SetPaperSize(TQRPaperSize::Custom);
  settings.SetPaperWidth(1200);
  settings.SetPaperLength(1900);
  settings.SetCopies(4);
  settings.SetOutputBin(TQRBin::Cassette);
  settings.SetOrientation(TQROrientation::poLandscape);
  settings.ApplySettings();
  EXPECT_EQ(printer.block.PaperCode, 256);
  EXPECT_EQ(printer.block.PaperWidth, 1200);
  EXPECT_EQ(printer.block.PaperLength, 1900);
  EXPECT_EQ(printer.block.Copies, 4);
  EXPECT_EQ(printer.block.DefaultSource, 14 | kSourceDriverFlag);
  EXPECT_EQ(printer.block.Orientation, kOrientationLandscape);
  EXPECT_EQ(printer.block.Duplex, kDuplexSimplex);

  // Default hands no paper over; duplex is written as the horizontal mode.
  printer.block = printer.defaults;
  printer.block.Duplex = kDuplexVertical;
  TPrinterSettings duplex = ReadSettings(printer);
  duplex.SetPaperSize(TQRPaperSize::Default);
  duplex.ApplySettings();
  EXPECT_EQ(printer.block.PaperCode, 9);
  EXPECT_EQ(printer.block.Duplex, kDuplexHorizontal);
  EXPECT_EQ(printer.block.Orientation, kOrientationPortrait);
}

TEST(PrinterSettingsTest, ASettingsBlockIsAskedForTwice) {
  FakePlatformPrinter printer;
  printer.missingBlocks = 1;
  EXPECT_EQ(ReadSettings(printer).Copies(), 2);

  // With none at all the driver's values cannot be read, and nothing is written back.
  std::vector<std::string> log;
  FakePlatformPrinter silent(&log);
  silent.missingBlocks = 2;
  TPrinterSettings settings = ReadSettings(silent);
  EXPECT_EQ(settings.Copies(), 1);
  silent.missingBlocks = 2;
  settings.ApplySettings();
  EXPECT_TRUE(log.empty());
}

TEST(PrinterSettingsTest, ChoosingAPrinterLoadsItsDefaults) {
  std::vector<std::string> log;
  FakePlatformPrinter printer(&log);
  TPrinterSettings settings = ReadSettings(printer);
  settings.SetCopies(5);
  printer.defaults.Copies = 7;
  settings.SetPrinterIndex(1);
  EXPECT_EQ(settings.PrinterIndex(), 1);
  EXPECT_EQ(settings.Device(), "Labels");
  EXPECT_EQ(settings.Copies(), 7);
  settings.SetPrinterIndex(2);
  settings.SetPrinterIndex(-2);
  EXPECT_EQ(settings.PrinterIndex(), 1);
  settings.SetPrinterIndex(-1);
  EXPECT_EQ(settings.PrinterIndex(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"select 1", "select 0"}));
}

TEST(SystemPrinterDeviceTest, BindsOnlyWhenAPrinterIsListedAndFollowsTheApplicationsChoice) {
  auto none = std::make_unique<FakePlatformPrinter>();
  none->names.clear();
  EXPECT_EQ(TSystemPrinterDevice::Bind(std::move(none), -1), nullptr);

  // A printer writing a file prints with no printer listed, and keeps the file when a run
  // selects the default printer.
  std::vector<std::string> log;
  auto file = std::make_unique<FakePlatformPrinter>(&log);
  file->names.clear();
  file->toFile = true;
  auto fileDevice = TSystemPrinterDevice::Bind(std::move(file), 3);
  ASSERT_NE(fileDevice, nullptr);
  EXPECT_EQ(fileDevice->Settings().Port(), "out.pdf");
  fileDevice->SetPrinterIndex(-1);
  fileDevice->SetPrinterIndex(0);
  EXPECT_EQ(log, (std::vector<std::string>{"select 0", "select 0"}));
  EXPECT_EQ(fileDevice->PaperWidth(), 2100);

  auto platform = std::make_unique<FakePlatformPrinter>();
  platform->defaultIndex = 1;
  auto device = TSystemPrinterDevice::Bind(std::move(platform), -1);
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->PrinterIndex(), 1);
  EXPECT_EQ(device->Settings().Device(), "Labels");

  device = TSystemPrinterDevice::Bind(std::make_unique<FakePlatformPrinter>(), 1);
  EXPECT_EQ(device->PrinterIndex(), 1);
  device = TSystemPrinterDevice::Bind(std::make_unique<FakePlatformPrinter>(), 9);
  EXPECT_EQ(device->PrinterIndex(), 0);

  // A report printer takes the unprintable margins and the resolution from it.
  TQRPrinter printer(TSystemPrinterDevice::Bind(std::make_unique<FakePlatformPrinter>(), -1));
  EXPECT_TRUE(printer.HasPrinter());
  EXPECT_EQ(printer.UnprintableLeft(), 42);
  EXPECT_EQ(printer.UnprintableTop(), 51);
}

// Composes count pages into the page store, each with its number as the first operation.
void Compose(TQRPrinter& printer, int count) {
  printer.BeginDoc();
  for (int n = 1; n <= count; ++n) {
    printer.NewPage();
    printer.Canvas().TextOut(printer.DeviceX(100), printer.DeviceY(100), std::to_string(n));
  }
  printer.EndDoc();
}

TEST(SystemPrinterDeviceTest, PrintsTheStoredRangeAfterApplyingTheSettings) {
  struct Case {
    int first, last;
    std::vector<std::string> log;
  };
  const std::vector<Case> cases = {
      {2, 0, {"settings", "begin Agencies", "play 2", "sheet", "play 3", "end"}},
      {0, 1, {"settings", "begin Agencies", "play 1", "end"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> log;
    TQRPrinter printer(TSystemPrinterDevice::Bind(std::make_unique<FakePlatformPrinter>(&log), -1));
    printer.SetTitle("Agencies");
    Compose(printer, 3);
    printer.SetFirstPage(c.first);
    printer.SetLastPage(c.last);
    printer.SetPagesLoaded(true);
    log.clear();
    printer.Print();
    EXPECT_EQ(log, c.log);
  }

  // A cancel that arrives while a page is played ends the job after that page.
  std::vector<std::string> log;
  auto platform = std::make_unique<FakePlatformPrinter>(&log);
  FakePlatformPrinter* raw = platform.get();
  TQRPrinter printer(TSystemPrinterDevice::Bind(std::move(platform), -1));
  Compose(printer, 3);
  int played = 0;
  raw->onPlay = [&] {
    if (++played == 2) printer.Cancel();
  };
  log.clear();
  printer.Print();
  EXPECT_EQ(log,
            (std::vector<std::string>{"settings", "begin ", "play 1", "sheet", "play 2", "abort"}));
  EXPECT_FALSE(raw->JobRunning());
}

}  // namespace
}  // namespace vorelia::report

// Composing the agency report into the page store, beside the bare canvas calls that the same
// pages are made of; and the wait for the first page of a preview, beside composing and drawing
// one page alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../../tests/data/memory_dataset.h"
#include "dbf/agency_schema.h"
#include "report/agency_report_layout.h"
#include "report/core/page_recorder.h"
#include "report/core/qr_printer.h"
#include "report/page_player.h"
#include "report/qr_custom_report.h"
#include "report/qr_preview.h"
#include "report/qr_preview_image.h"
#include "report/qr_standard_preview.h"

namespace {

using vorelia::report::TPageRecording;

std::unique_ptr<vorelia::test::TMemoryDataSet> Agencies(int count) {
  // The fields of a real agency table, so the report lays out the widths it meets in use.
  std::vector<vorelia::test::TMemoryDataSet::Column> columns;
  for (const vorelia::dbf::TAgencyField& field : vorelia::dbf::kAgencyFields) {
    columns.push_back({field.name, vorelia::data::TFieldType::String, field.width});
  }
  auto dataSet = std::make_unique<vorelia::test::TMemoryDataSet>(std::move(columns));
  for (int i = 1; i <= count; ++i) {
    dataSet->AddRow({"Agencia de Empregos " + std::to_string(i),
                     "Avenida Boa Viagem, " + std::to_string(i), "Recife", "PE", "51020-000", "81",
                     "3465-" + std::to_string(1000 + i % 9000), "contato@agencia.com.br",
                     "www.agencia.com.br"});
  }
  dataSet->Open();
  return dataSet;
}

void BM_ComposeAgencyReport(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  auto agencies = Agencies(records);
  auto report = vorelia::report::CreateAgencyReport();
  vorelia::report::BindAgencyReport(*report, agencies.get());
  int pages = 0;
  for (auto _ : state) {
    report->Compose();
    pages = report->QRPrinter()->PageCount();
  }
  state.counters["pages/s"] =
      benchmark::Counter(static_cast<double>(pages), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["stream_bytes"] =
      static_cast<double>(report->QRPrinter()->PageList().Stream()->Size());
}
BENCHMARK(BM_ComposeAgencyReport)->Arg(10000)->Unit(benchmark::kMillisecond);

// Reference: the same pages' drawing calls made straight on a recorder, without composing.
void BM_ReplayPagesOnRecorder(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  auto agencies = Agencies(records);
  auto report = vorelia::report::CreateAgencyReport();
  vorelia::report::BindAgencyReport(*report, agencies.get());
  report->Compose();
  std::vector<TPageRecording> pages;
  for (int n = 1; n <= report->QRPrinter()->PageCount(); ++n) {
    pages.push_back(*report->QRPrinter()->GetPage(n));
  }
  for (auto _ : state) {
    for (const TPageRecording& page : pages) {
      vorelia::report::TPageRecorder recorder(page.Width, page.Height);
      for (const auto& op : page.Ops) {
        std::visit(
            [&recorder](const auto& call) {
              using T = std::decay_t<decltype(call)>;
              if constexpr (std::is_same_v<T, vorelia::report::TOpSetFont>)
                recorder.SetFont(call.Font);
              if constexpr (std::is_same_v<T, vorelia::report::TOpSetBrush>)
                recorder.SetBrush(call.Brush);
              if constexpr (std::is_same_v<T, vorelia::report::TOpSetPen>)
                recorder.SetPen(call.Pen);
              if constexpr (std::is_same_v<T, vorelia::report::TOpFillRect>)
                recorder.FillRect(call.Rect);
              if constexpr (std::is_same_v<T, vorelia::report::TOpText>)
                recorder.TextOut(call.X, call.Y, call.Text, call.Align);
              if constexpr (std::is_same_v<T, vorelia::report::TOpRectangle>)
                recorder.Rectangle(call.Rect);
              if constexpr (std::is_same_v<T, vorelia::report::TOpMoveTo>)
                recorder.MoveTo(call.X, call.Y);
              if constexpr (std::is_same_v<T, vorelia::report::TOpLineTo>)
                recorder.LineTo(call.X, call.Y);
            },
            op);
      }
      benchmark::DoNotOptimize(recorder.Recording().Ops.size());
    }
  }
  state.counters["pages/s"] = benchmark::Counter(static_cast<double>(pages.size()),
                                                 benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ReplayPagesOnRecorder)->Arg(10000)->Unit(benchmark::kMillisecond);

vorelia::report::TQRStandardPreview* OpenPreview() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* preview = qobject_cast<vorelia::report::TQRStandardPreview*>(widget);
    if (preview && preview->isVisible()) return preview;
  }
  return nullptr;
}

// From the call to Preview until page 1 is in the window and painted. The window is then closed,
// which cancels the worker; the cancel and the join are not timed.
void BM_PreviewFirstPage(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const int records = static_cast<int>(state.range(0));
  auto agencies = Agencies(records);
  auto report = vorelia::report::CreateAgencyReport();
  vorelia::report::BindAgencyReport(*report, agencies.get());
  double pagesAtFirst = 0;
  double windowSeconds = 0;
  QSize imageSize;
  for (auto _ : state) {
    Clock::time_point start;
    Clock::time_point shown;
    bool seen = false;
    // Page 1 may be finished before the window opens; otherwise it arrives with the view's
    // page notification. Nothing spins meanwhile, so the worker keeps its core.
    auto showIfReady = [&](vorelia::report::TQRStandardPreview& window) {
      vorelia::report::TQRPreviewImage& image = window.QRPreview().PreviewImage();
      if (seen || !image.ImageOK()) return;
      image.repaint();
      shown = Clock::now();
      seen = true;
      pagesAtFirst += window.QRPreview().QRPrinter()->PagesReady();
      imageSize = image.size();
      QTimer::singleShot(0, &window, &QWidget::close);
    };
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      vorelia::report::TQRStandardPreview* window = OpenPreview();
      if (!window) return;
      poll.stop();
      windowSeconds += std::chrono::duration<double>(Clock::now() - start).count();
      QObject::connect(&window->QRPreview(), &vorelia::report::TQRPreview::OnPageAvailable, window,
                       [&showIfReady, window] { showIfReady(*window); });
      showIfReady(*window);
      // A page that never shows must not hold the run for ever.
      QTimer::singleShot(10000, window, &QWidget::close);
    });
    poll.start();
    start = Clock::now();
    report->Preview();
    poll.stop();
    if (!seen) {
      state.SkipWithError("the preview closed before page 1 showed");
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
  }
  state.counters["pages_ready_at_first"] =
      benchmark::Counter(pagesAtFirst, benchmark::Counter::kAvgIterations);
  // How much of the wait is the window opening, before the event loop runs.
  state.counters["window_ms"] =
      benchmark::Counter(windowSeconds * 1000, benchmark::Counter::kAvgIterations);
  state.counters["image_w"] = imageSize.width();
  state.counters["image_h"] = imageSize.height();
}
BENCHMARK(BM_PreviewFirstPage)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond);

// Reference: composing one page's worth of agencies (7 records) into the page store.
void BM_ComposeOnePage(benchmark::State& state) {
  auto agencies = Agencies(7);
  auto report = vorelia::report::CreateAgencyReport();
  vorelia::report::BindAgencyReport(*report, agencies.get());
  for (auto _ : state) {
    report->Compose();
    benchmark::DoNotOptimize(report->QRPrinter()->PageCount());
  }
  if (report->QRPrinter()->PageCount() != 1) state.SkipWithError("seven records are not one page");
}
BENCHMARK(BM_ComposeOnePage)->Unit(benchmark::kMillisecond);

// Reference: drawing one stored page as the preview draws it, on an image of the size the
// preview window shows it at (width x height in the arguments).
void BM_PaintStoredPage(benchmark::State& state) {
  auto agencies = Agencies(7);
  auto report = vorelia::report::CreateAgencyReport();
  vorelia::report::BindAgencyReport(*report, agencies.get());
  report->Compose();
  const auto page = report->QRPrinter()->GetPage(1);
  QImage image(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
               QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.fillRect(image.rect(), Qt::white);
    vorelia::report::PlayPage(*page, painter, QRectF(0, 0, image.width(), image.height()));
  }
}
BENCHMARK(BM_PaintStoredPage)->Args({575, 812})->Args({798, 1127})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);  // widget benchmarks share this main
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// Composing the agency report into the page store, beside the bare canvas calls that the same
// pages are made of.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "../../tests/data/memory_dataset.h"
#include "report/agency_report_layout.h"
#include "report/core/page_recorder.h"
#include "report/core/qr_printer.h"
#include "report/qr_custom_report.h"

namespace {

using vorelia::report::TPageRecording;

std::unique_ptr<vorelia::test::TMemoryDataSet> Agencies(int count) {
  using vorelia::data::TFieldType;
  auto dataSet = std::make_unique<vorelia::test::TMemoryDataSet>(
      std::vector<vorelia::test::TMemoryDataSet::Column>{{"AGENCIA", TFieldType::String, 25},
                                                         {"ENDERECO", TFieldType::String, 100},
                                                         {"MUNICIPIO", TFieldType::String, 15},
                                                         {"UF", TFieldType::String, 2},
                                                         {"CEP", TFieldType::String, 9},
                                                         {"DDD", TFieldType::String, 3},
                                                         {"TELEFONE", TFieldType::String, 9},
                                                         {"EMAIL", TFieldType::String, 35},
                                                         {"SITE", TFieldType::String, 35}});
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

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);  // widget benchmarks share this main
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

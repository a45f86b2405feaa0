// The export writers over 100 000 agency rows held in memory, each beside the raw reference: the
// same rows written as CSV with plain appends into one string and one write.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "agency_grid_columns.h"
#include "export/writers/column_model.h"
#include "export/writers/export_document.h"

namespace {

using namespace vorelia::exporter;

constexpr int kRows = 100000;

// Rows like a real registry: trimmed texts of varied length, now and then a comma, a quote, an
// accent or an empty value.
const std::vector<TmxValues>& AgencyRows() {
  static const std::vector<TmxValues> rows = [] {
    static const char* kCities[] = {"S\xE3o Paulo",   "Campinas", "Santos", "Rio de Janeiro",
                                    "Belo Horizonte", "Curitiba", "Recife"};
    static const char* kStates[] = {"SP", "SP", "SP", "RJ", "MG", "PR", "PE"};
    std::vector<TmxValues> out;
    out.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
      const int c = i % 7;
      TmxValues row;
      row.push_back("Ag\xEAncia de Empregos " + std::to_string(i));
      row.push_back((i % 5 == 0 ? "Av. \"Central\" " : "Rua das Flores, ") +
                    std::to_string(i % 977));
      row.push_back(kCities[c]);
      row.push_back(kStates[c]);
      row.push_back(i % 11 == 0 ? "" : "0" + std::to_string(11 + c * 8));
      row.push_back(std::to_string(30000000 + i * 7 % 69999999).substr(0, 4) + "-" +
                    std::to_string(1000 + i % 9000));
      out.push_back(std::move(row));
    }
    return out;
  }();
  return rows;
}

// One write of the whole document, as the export's save does (without its flush to disk, which
// the reference would not pay either).
void WriteOnce(const std::string& bytes) {
  static const std::string path = (std::filesystem::temp_directory_path() /
                                   ("vorelia_export_bench_" + std::to_string(getpid())))
                                      .string();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0) return;
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n <= 0) break;
    p += n;
    left -= static_cast<size_t>(n);
  }
  ::close(fd);
  ::unlink(path.c_str());
}

void BM_ReferenceCsvAppends(benchmark::State& state) {
  const std::vector<TmxValues>& rows = AgencyRows();
  size_t bytes = 0;
  for (auto _ : state) {
    std::string out;
    for (const TmxValues& row : rows) {
      for (size_t k = 0; k < row.size(); ++k) {
        if (k) out += ',';
        out += row[k];
      }
      out += "\r\n";
    }
    WriteOnce(out);
    bytes = out.size();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_ReferenceCsvAppends)->Unit(benchmark::kMillisecond);

void BM_ExportFormat(benchmark::State& state, TmxExportType type) {
  const TmxColumnModel model(vorelia::bench::AgencyGridColumns(), {});
  const std::vector<TmxValues>& rows = AgencyRows();
  TmxDocumentInfo info;
  info.TotalRows = kRows;
  info.DateLine = "Criado: 08/12/2026 14:05:09";
  size_t bytes = 0;
  for (auto _ : state) {
    // Fed row by row, as the driver's walk does.
    std::unique_ptr<TmxExportWriter> writer = CreateExportWriter(type, model);
    writer->BeginDocument(info);
    for (int i = 0; i < kRows; ++i) writer->WriteRow(rows[static_cast<size_t>(i)], i);
    writer->EndDocument();
    WriteOnce(writer->Document());
    bytes = writer->Document().size();
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}
BENCHMARK_CAPTURE(BM_ExportFormat, CSV, TmxExportType::xtCSV)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, TAB, TmxExportType::xtTAB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, TXT, TmxExportType::xtTXT)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, Clipboard, TmxExportType::xtClipboard)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, HTML, TmxExportType::xtHTML)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, RTF, TmxExportType::xtRTF)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, Word, TmxExportType::xtWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, DIF, TmxExportType::xtDIF)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, SYLK, TmxExportType::xtSYLK)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportFormat, Excel, TmxExportType::xtExcel)->Unit(benchmark::kMillisecond);

// The floor for a document of a format's size: its bytes appended row by row into one string
// and written once. HTML and rich text carry several times the bytes of the CSV reference.
void BM_ReferenceSameBytes(benchmark::State& state, TmxExportType type) {
  const TmxColumnModel model(vorelia::bench::AgencyGridColumns(), {});
  TmxDocumentInfo info;
  info.TotalRows = kRows;
  const std::string document = ExportDocument(type, model, info, AgencyRows());
  const size_t chunk = document.size() / kRows;
  for (auto _ : state) {
    std::string out;
    for (size_t at = 0; at < document.size(); at += chunk) out.append(document, at, chunk);
    WriteOnce(out);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * document.size()));
}
BENCHMARK_CAPTURE(BM_ReferenceSameBytes, HTML, TmxExportType::xtHTML)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReferenceSameBytes, RTF, TmxExportType::xtRTF)->Unit(benchmark::kMillisecond);

}  // namespace

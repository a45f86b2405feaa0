// Every export format over 100 000 agency records walked the way the export driver walks a
// grid's dataset (controls disabled, a counting pass, then First to Eof reading each field's
// display text, the writer fed row by row, one save at the end), beside the physical floor:
// the same table read with one pread per record and written as CSV with one write.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/field.h"
#include "dbf/agency_schema.h"
#include "dbf/dbf_dataset.h"
#include "agency_grid_columns.h"
#include "export/writers/column_model.h"
#include "export/writers/document_file.h"
#include "export/writers/export_document.h"

namespace {

namespace fs = std::filesystem;
using namespace vorelia::exporter;
using vorelia::dbf::kAgencyFields;
using vorelia::dbf::TDbfDataSet;

constexpr int kRows = 100000;
constexpr int kHeaderSize = 321;
constexpr int kRecordSize = 234;
// The search grid's six fields: offset in the record and width.
constexpr int kGridOffsets[] = {1, 26, 126, 141, 152, 155};
constexpr int kGridWidths[] = {25, 100, 15, 2, 3, 9};
const char* const kGridFields[] = {"AGENCIA", "ENDERECO", "MUNICIPIO", "UF", "DDD", "TELEFONE"};

struct WalkFolder {
  fs::path path = fs::temp_directory_path() / ("vorelia_export_walk_" + std::to_string(getpid()));
  WalkFolder() { fs::create_directories(path); }
  ~WalkFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
} g_folder;

// A table of kRows agency records with varied values, made once per run.
const fs::path& AgencyTable() {
  static const fs::path path = [] {
    const fs::path file = g_folder.path / "agencias.age";
    {
      TDbfDataSet ds;
      ds.SetFilePath(g_folder.path.string());
      ds.SetTableName("agencias.age");
      for (const auto& field : kAgencyFields)
        ds.FieldDefs().Add(field.name, vorelia::data::TFieldType::String, field.width);
      ds.SetLanguageId(0x25);
      ds.CreateTable();
    }
    fs::resize_file(file, kHeaderSize);
    std::ofstream out(file, std::ios::binary | std::ios::app);
    static const char* kCities[] = {"S\xE3o Paulo",   "Campinas", "Santos", "Rio de Janeiro",
                                    "Belo Horizonte", "Curitiba", "Recife"};
    static const char* kStates[] = {"SP", "SP", "SP", "RJ", "MG", "PR", "PE"};
    std::string record;
    for (int i = 0; i < kRows; ++i) {
      record.assign(kRecordSize, ' ');
      auto put = [&](int offset, const std::string& text) {
        record.replace(offset, text.size(), text);
      };
      const int c = i % 7;
      put(1, "Ag\xEAncia de Empregos " + std::to_string(i));
      put(26, (i % 5 == 0 ? "Av. \"Central\" " : "Rua das Flores, ") + std::to_string(i % 977));
      put(126, kCities[c]);
      put(141, kStates[c]);
      if (i % 11 != 0) put(152, "0" + std::to_string(11 + c * 8));
      put(155, std::to_string(3000 + i % 6000) + "-" + std::to_string(1000 + i % 9000));
      out << record;
    }
    return file;
  }();
  return path;
}

const fs::path& OutputPath() {
  static const fs::path path = g_folder.path / "document.out";
  return path;
}

void BM_ReferencePreadCsv(benchmark::State& state) {
  const fs::path& table = AgencyTable();
  for (auto _ : state) {
    const int fd = ::open(table.c_str(), O_RDONLY);
    std::string out;
    char record[kRecordSize];
    for (int i = 0; i < kRows; ++i) {
      if (::pread(fd, record, kRecordSize, kHeaderSize + static_cast<off_t>(i) * kRecordSize) !=
          kRecordSize) {
        state.SkipWithError("short read");
        break;
      }
      for (int k = 0; k < 6; ++k) {
        int length = kGridWidths[k];
        const char* text = record + kGridOffsets[k];
        while (length > 0 && text[length - 1] == ' ') --length;
        if (k) out += ',';
        out.append(text, static_cast<size_t>(length));
      }
      out += "\r\n";
    }
    ::close(fd);
    const int out_fd = ::open(OutputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (::write(out_fd, out.data(), out.size()) != static_cast<ssize_t>(out.size())) {
      state.SkipWithError("short write");
    }
    ::fsync(out_fd);
    ::close(out_fd);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ReferencePreadCsv)->Unit(benchmark::kMillisecond);

void BM_ExportWalk(benchmark::State& state, TmxExportType type) {
  const fs::path& table = AgencyTable();
  TDbfDataSet ds;
  ds.SetFilePath(table.parent_path().string());
  ds.SetTableName(table.filename().string());
  ds.Open();
  std::vector<vorelia::data::TField*> fields;
  for (const char* name : kGridFields) fields.push_back(&ds.FieldByName(name));
  const TmxColumnModel model(vorelia::bench::AgencyGridColumns(), {});
  for (auto _ : state) {
    const vorelia::data::TBookmark start = ds.GetBookmark();
    ds.DisableControls();
    int total = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) ++total;
    TmxDocumentInfo info;
    info.TotalRows = total;
    info.DateLine = "Criado: 08/12/2026 14:05:09";
    std::unique_ptr<TmxExportWriter> writer = CreateExportWriter(type, model);
    writer->BeginDocument(info);
    TmxValues values(fields.size());
    int walked = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
      for (size_t k = 0; k < fields.size(); ++k) values[k] = fields[k]->DisplayText();
      writer->WriteRow(values, walked++);
    }
    writer->EndDocument();
    SaveDocument(OutputPath(), writer->Document());
    ds.GotoBookmark(start);
    ds.EnableControls();
    if (walked != kRows) state.SkipWithError("walk missed records");
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK_CAPTURE(BM_ExportWalk, CSV, TmxExportType::xtCSV)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportWalk, TAB, TmxExportType::xtTAB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportWalk, TXT, TmxExportType::xtTXT)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportWalk, HTML, TmxExportType::xtHTML)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportWalk, RTF, TmxExportType::xtRTF)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportWalk, Word, TmxExportType::xtWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportWalk, DIF, TmxExportType::xtDIF)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportWalk, SYLK, TmxExportType::xtSYLK)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ExportWalk, Excel, TmxExportType::xtExcel)->Unit(benchmark::kMillisecond);

}  // namespace

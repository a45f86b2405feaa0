// The table dataset against the raw file operations it cannot avoid: appends against one
// pwrite per record plus a header rewrite per record, scans against one pread per record,
// edits against one pread and one pwrite per record.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "dbf/agency_schema.h"
#include "dbf/dbf_dataset.h"

namespace {

namespace fs = std::filesystem;
using vorelia::dbf::kAgencyFields;
using vorelia::dbf::TDbfDataSet;

constexpr int kHeaderSize = 321;
constexpr int kRecordSize = 234;

// The tables of this run; removed when the program ends.
struct BenchFolderHolder {
  fs::path path = fs::temp_directory_path() / ("vorelia_dataset_bench_" + std::to_string(getpid()));
  BenchFolderHolder() { fs::create_directories(path); }
  ~BenchFolderHolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
} g_benchFolder;

const fs::path& BenchFolder() { return g_benchFolder.path; }

// A new empty agency table made by the dataset.
fs::path CreateEmptyTable(const std::string& name) {
  const fs::path path = BenchFolder() / name;
  fs::remove(path);
  TDbfDataSet ds;
  ds.SetFilePath(BenchFolder().string());
  ds.SetTableName(name);
  for (const auto& field : kAgencyFields)
    ds.FieldDefs().Add(field.name, vorelia::data::TFieldType::String, field.width);
  ds.SetLanguageId(0x25);
  ds.CreateTable();
  return path;
}

// A live agency record with every field filled.
std::string SampleRecord(int n) {
  std::string record(kRecordSize, ' ');
  auto put = [&](int offset, const std::string& text) { record.replace(offset, text.size(), text); };
  put(1, "Agencia " + std::to_string(n));
  put(26, "Rua das Flores, " + std::to_string(n % 1000) + " - Centro");
  put(126, "Sao Paulo");
  put(141, "SP");
  put(143, "01000-000");
  put(152, "011");
  put(155, "5555-1234");
  put(164, "contato@agencia.com.br");
  put(199, "www.agencia.com.br");
  return record;
}

// An agency table of `count` records, written directly after the header; the open takes the
// count from the length.
fs::path TableWithRecords(int count) {
  const fs::path path = CreateEmptyTable("scan_" + std::to_string(count) + ".age");
  fs::resize_file(path, kHeaderSize);
  std::ofstream out(path, std::ios::binary | std::ios::app);
  for (int i = 1; i <= count; ++i) out << SampleRecord(i);
  return path;
}

void OpenOn(TDbfDataSet& ds, const fs::path& path) {
  ds.SetFilePath(path.parent_path().string());
  ds.SetTableName(path.filename().string());
  ds.Open();
}

void BM_DataSetAppend(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path path = CreateEmptyTable("append.age");
    TDbfDataSet ds;
    OpenOn(ds, path);
    std::vector<vorelia::data::TField*> fields;
    for (const auto& field : kAgencyFields) fields.push_back(&ds.FieldByName(field.name));
    state.ResumeTiming();
    for (int i = 1; i <= count; ++i) {
      ds.Append();
      fields[0]->SetAsString("Agencia " + std::to_string(i));
      fields[1]->SetAsString("Rua das Flores, 100 - Centro");
      fields[2]->SetAsString("Sao Paulo");
      fields[3]->SetAsString("SP");
      fields[4]->SetAsString("01000-000");
      fields[5]->SetAsString("011");
      fields[6]->SetAsString("5555-1234");
      fields[7]->SetAsString("contato@agencia.com.br");
      fields[8]->SetAsString("www.agencia.com.br");
      ds.Post();
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_RawAppend(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path path = CreateEmptyTable("append_raw.age");
    const int fd = open(path.c_str(), O_RDWR);
    std::string header(kHeaderSize, '\0');
    if (pread(fd, header.data(), header.size(), 0) != kHeaderSize) state.SkipWithError("read");
    state.ResumeTiming();
    for (int i = 1; i <= count; ++i) {
      const std::string record = SampleRecord(i);
      std::memcpy(header.data() + 4, &i, 4);
      benchmark::DoNotOptimize(pwrite(fd, header.data(), header.size(), 0));
      benchmark::DoNotOptimize(pwrite(fd, record.data(), record.size(),
                                      kHeaderSize + static_cast<off_t>(i - 1) * kRecordSize));
    }
    close(fd);
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_DataSetScan(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path path = TableWithRecords(count);
  TDbfDataSet ds;
  OpenOn(ds, path);
  if (ds.RecordCount() != count) state.SkipWithError("wrong record count");
  size_t bytes = 0;
  for (auto _ : state) {
    for (ds.First(); !ds.Eof(); ds.Next()) {
      for (int f = 0; f < ds.FieldCount(); ++f) bytes += ds.Fields(f).AsString().size();
    }
  }
  benchmark::DoNotOptimize(bytes);
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_RawScan(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path path = TableWithRecords(count);
  const int fd = open(path.c_str(), O_RDONLY);
  char record[kRecordSize];
  size_t sum = 0;
  for (auto _ : state) {
    for (int i = 0; i < count; ++i) {
      if (pread(fd, record, kRecordSize, kHeaderSize + static_cast<off_t>(i) * kRecordSize) !=
          kRecordSize)
        state.SkipWithError("short read");
      sum += static_cast<unsigned char>(record[1]);
    }
  }
  close(fd);
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_DataSetEdit(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path path = TableWithRecords(count);
  TDbfDataSet ds;
  OpenOn(ds, path);
  vorelia::data::TField& phone = ds.FieldByName("TELEFONE");
  int round = 0;
  for (auto _ : state) {
    const std::string value = "5555-" + std::to_string(1000 + round++ % 9000);
    for (ds.First(); !ds.Eof(); ds.Next()) {
      ds.Edit();
      phone.SetAsString(value);
      ds.Post();
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_RawEdit(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path path = TableWithRecords(count);
  const int fd = open(path.c_str(), O_RDWR);
  char record[kRecordSize];
  int round = 0;
  for (auto _ : state) {
    const std::string value = "5555-" + std::to_string(1000 + round++ % 9000);
    for (int i = 0; i < count; ++i) {
      const off_t at = kHeaderSize + static_cast<off_t>(i) * kRecordSize;
      if (pread(fd, record, kRecordSize, at) != kRecordSize) state.SkipWithError("short read");
      std::memcpy(record + 155, value.data(), value.size());
      benchmark::DoNotOptimize(pwrite(fd, record, kRecordSize, at));
    }
  }
  close(fd);
  state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_DataSetAppend)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawAppend)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DataSetScan)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawScan)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataSetEdit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RawEdit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

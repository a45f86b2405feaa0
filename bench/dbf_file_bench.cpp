// The table file layer against the plain system calls it is built on: appends, scans, edits and
// packs of agency tables, each beside a raw reference that does the least I/O the same work needs.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "dbf/agency_schema.h"
#include "dbf/dbf_file.h"

namespace {

using namespace vorelia::dbf;
namespace fs = std::filesystem;

constexpr int kHeaderSize = 321;
constexpr int kRecordSize = 234;

fs::path BenchFolder() {
  const fs::path folder =
      fs::temp_directory_path() / ("vorelia_dbf_bench_" + std::to_string(getpid()));
  fs::create_directories(folder);
  return folder;
}

// Where record n (from 1) starts in an agency table.
off_t RecordAt(int n) { return kHeaderSize + static_cast<off_t>(n - 1) * kRecordSize; }

void Open(TDbfFile& file, const fs::path& path, TPagedFileMode mode) {
  file.SetFileName(path);
  file.SetMode(mode);
  file.OpenTable();
}

fs::path NewTable(const char* name) {
  const fs::path path = BenchFolder() / name;
  fs::remove(path);
  TDbfFile file;
  file.SetFileName(path);
  file.SetMode(TPagedFileMode::pfExclusiveCreate);
  file.SetLanguageId(0x25);
  file.CreateTableFile(AgencyFieldDefs());
  return path;
}

void FillAgency(TDbfFile& file, uint8_t* record, int i) {
  file.FillDefaultRecord(record);
  file.WriteFieldValue(0, "Agencia " + std::to_string(i), record);
  file.WriteFieldValue(1, std::string("Rua das Flores, 123 - Centro"), record);
  file.WriteFieldValue(2, std::string("Porto Alegre"), record);
  file.WriteFieldValue(3, std::string("RS"), record);
  file.WriteFieldValue(7, std::string("contato@agencia.com.br"), record);
}

// A table of `count` records, every other one flagged deleted when `deleteHalf`.
fs::path FilledTable(const char* name, int count, bool deleteHalf) {
  const fs::path path = NewTable(name);
  TDbfFile file;
  Open(file, path, TPagedFileMode::pfExclusiveOpen);
  std::vector<uint8_t> record(kRecordSize);
  for (int i = 1; i <= count; ++i) {
    FillAgency(file, record.data(), i);
    if (deleteHalf && i % 2 == 0) record[0] = '*';
    file.InsertRecord(record.data());
  }
  return path;
}

// Appends as the program does: shared mode, record lock, header lock and header write per record
// (nine system calls against the reference's two). Arg 1 = exclusive: no locks, header deferred.
void BM_Append(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const bool exclusive = state.range(1) != 0;
  std::vector<uint8_t> record(kRecordSize);
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path path = NewTable("append.age");
    TDbfFile file;
    Open(file, path, exclusive ? TPagedFileMode::pfExclusiveOpen : TPagedFileMode::pfReadWriteOpen);
    state.ResumeTiming();
    for (int i = 1; i <= count; ++i) {
      FillAgency(file, record.data(), i);
      file.InsertRecord(record.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// The least an append can do: one pwrite for the record and one for the header.
void BM_AppendRawReference(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::vector<uint8_t> header(kHeaderSize, 0);
  std::vector<uint8_t> record(kRecordSize, ' ');
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path path = NewTable("append_raw.age");
    const int fd = open(path.c_str(), O_RDWR);
    state.ResumeTiming();
    for (int i = 1; i <= count; ++i) {
      std::snprintf(reinterpret_cast<char*>(record.data()) + 1, 20, "Agencia %d", i);
      header[4] = static_cast<uint8_t>(i);
      benchmark::DoNotOptimize(pwrite(fd, header.data(), header.size(), 0));
      benchmark::DoNotOptimize(pwrite(fd, record.data(), record.size(), RecordAt(i)));
    }
    close(fd);
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// Reads every record and every field value.
void BM_Scan(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path path = FilledTable("scan.age", count, false);
  TDbfFile file;
  Open(file, path, TPagedFileMode::pfReadWriteOpen);
  std::vector<uint8_t> record(kRecordSize);
  for (auto _ : state) {
    for (int n = 1; n <= count; ++n) {
      file.ReadRecord(n, record.data());
      for (int f = 0; f < 9; ++f) benchmark::DoNotOptimize(file.ReadFieldValue(f, record.data()));
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_ScanRawReference(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path path = FilledTable("scan_raw.age", count, false);
  const int fd = open(path.c_str(), O_RDONLY);
  std::vector<uint8_t> record(kRecordSize);
  for (auto _ : state) {
    for (int n = 1; n <= count; ++n) {
      benchmark::DoNotOptimize(pread(fd, record.data(), record.size(), RecordAt(n)));
    }
  }
  close(fd);
  state.SetItemsProcessed(state.iterations() * count);
}

// Lock, change one field, write back, as an edit and post do.
void BM_Edit(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path path = FilledTable("edit.age", count, false);
  TDbfFile file;
  Open(file, path, TPagedFileMode::pfReadWriteOpen);
  std::vector<uint8_t> record(kRecordSize);
  for (auto _ : state) {
    for (int n = 1; n <= count; ++n) {
      file.LockRecordForEdit(n, record.data());
      file.WriteFieldValue(5, std::string("051"), record.data());
      file.WriteEditedRecord(n, record.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_EditRawReference(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const fs::path path = FilledTable("edit_raw.age", count, false);
  const int fd = open(path.c_str(), O_RDWR);
  std::vector<uint8_t> record(kRecordSize);
  for (auto _ : state) {
    for (int n = 1; n <= count; ++n) {
      const off_t at = RecordAt(n);
      benchmark::DoNotOptimize(pread(fd, record.data(), record.size(), at));
      std::memcpy(record.data() + 152, "051", 3);
      benchmark::DoNotOptimize(pwrite(fd, record.data(), record.size(), at));
    }
  }
  close(fd);
  state.SetItemsProcessed(state.iterations() * count);
}

// Pack a table whose every other record is deleted.
void BM_Pack(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path path = FilledTable("pack.age", count, true);
    TDbfFile file;
    Open(file, path, TPagedFileMode::pfExclusiveOpen);
    state.ResumeTiming();
    file.RewriteTable(nullptr, true);
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// The least a sound pack can do: read each record, write the kept ones to a new file, fsync it,
// rename it over the old one and fsync the folder.
void BM_PackRawReference(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  std::vector<uint8_t> header(kHeaderSize, 0);
  std::vector<uint8_t> record(kRecordSize);
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path path = FilledTable("pack_raw.age", count, true);
    const fs::path temp = BenchFolder() / "pack_raw_1.age";
    state.ResumeTiming();
    const int in = open(path.c_str(), O_RDONLY);
    const int out = open(temp.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0666);
    benchmark::DoNotOptimize(pread(in, header.data(), header.size(), 0));
    benchmark::DoNotOptimize(pwrite(out, header.data(), header.size(), 0));
    int kept = 0;
    for (int n = 1; n <= count; ++n) {
      benchmark::DoNotOptimize(pread(in, record.data(), record.size(), RecordAt(n)));
      if (record[0] == '*') continue;
      benchmark::DoNotOptimize(pwrite(out, record.data(), record.size(), RecordAt(++kept)));
    }
    fsync(out);
    close(out);
    close(in);
    std::rename(temp.c_str(), path.c_str());
    const int dir = open(BenchFolder().c_str(), O_RDONLY | O_DIRECTORY);
    fsync(dir);
    close(dir);
  }
  state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_Append)
    ->Args({10000, 0})
    ->Args({100000, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendRawReference)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanRawReference)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Edit)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EditRawReference)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pack)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PackRawReference)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

// Opening a records window on a 100 000-record database and paging through its search grid.
// The grid holds only the rows it shows, so opening costs the same for any table size and the
// process does not grow while paging. Reference: reading the same records with one pread each.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTabWidget>
#include <QTableView>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "databases/agency_database.h"
#include "dbf/dbf_dataset.h"
#include "records/cadastro.h"
#include "widgets/db_grid.h"

namespace {

namespace fs = std::filesystem;
using vorelia::dbf::TDbfDataSet;

constexpr int kRecords = 100000;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path dir = fs::temp_directory_path() / "vorelia_records_bench";
    fs::create_directories(dir);
    if (!fs::exists(dir / "Grande.age")) {
      TDbfDataSet table;
      vorelia::databases::AddAgencyFields(table);
      table.Exclusive = true;
      vorelia::databases::CreateAgencyTable(table, dir, "Grande");
      for (int i = 0; i < kRecords; ++i) {
        table.Append();
        table.FieldByName("AGENCIA").SetAsString("Agencia " + std::to_string(i));
        table.FieldByName("MUNICIPIO").SetAsString("Cidade");
        table.FieldByName("UF").SetAsString("SP");
        table.Post();
      }
    }
    return dir;
  }();
  return folder;
}

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_OpenRecordsWindow(benchmark::State& state) {
  const fs::path& folder = Folder();
  for (auto _ : state) {
    vorelia::records::TCadastro window(nullptr);
    vorelia::databases::OpenAgencyTable(window.Tabela(), folder, "Grande");
    window.Pagina().setCurrentIndex(1);
    window.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window.DBGrid2().View()->model()->rowCount());
  }
}
BENCHMARK(BM_OpenRecordsWindow)->Unit(benchmark::kMillisecond);

void BM_PageThroughSearchGrid(benchmark::State& state) {
  const fs::path& folder = Folder();
  vorelia::records::TCadastro window(nullptr);
  vorelia::databases::OpenAgencyTable(window.Tabela(), folder, "Grande");
  window.Pagina().setCurrentIndex(1);
  window.show();
  QApplication::processEvents();
  QWidget* view = window.DBGrid2().View();
  const int pages = static_cast<int>(state.range(0));
  const long before = ResidentKiB();
  int64_t rows = 0;
  for (auto _ : state) {
    window.Tabela().First();
    for (int i = 0; i < pages; ++i) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
      QApplication::sendEvent(view, &key);
    }
    rows += static_cast<int64_t>(pages) * window.DBGrid2().VisibleRowCount();
  }
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
  state.counters["RSS growth KiB"] = static_cast<double>(ResidentKiB() - before);
}
BENCHMARK(BM_PageThroughSearchGrid)->Arg(500)->Unit(benchmark::kMillisecond);

// The same number of records read straight from the file, one pread each.
void BM_ReferencePreadRecords(benchmark::State& state) {
  const fs::path table = Folder() / "Grande.age";
  const int fd = open(table.c_str(), O_RDONLY);
  const int visible = 13;  // the search grid's rows at its designed size
  const int64_t count = state.range(0) * visible;
  std::vector<char> record(234);
  int64_t rows = 0;
  for (auto _ : state) {
    for (int64_t i = 0; i < count; ++i) {
      const off_t offset = 321 + static_cast<off_t>(i % kRecords) * 234;
      benchmark::DoNotOptimize(pread(fd, record.data(), record.size(), offset));
    }
    rows += count;
  }
  close(fd);
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(rows), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReferencePreadRecords)->Arg(500)->Unit(benchmark::kMillisecond);

}  // namespace

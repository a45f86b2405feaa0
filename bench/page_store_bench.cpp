// Report pages: encoding, compressing, storing in the page stream, saving and loading, each
// beside its raw reference (memcpy of the same bytes, or write()/read() of the same file).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "report/core/page_codec.h"
#include "report/core/page_recorder.h"
#include "report/core/qr_compress.h"
#include "report/core/qr_page_list.h"

namespace {

using namespace vorelia::report;

constexpr int kPages = 1000;

// A page like the agency report's: a title with its rule, seven framed agency blocks with
// their dividing lines, captions and values, and the footer.
TPageRecording AgencyPage(int number) {
  TPageRecorder canvas(794, 1123);
  TCanvasFont title;
  title.Name = "Arial";
  title.Size = 16;
  title.Bold = true;
  canvas.SetFont(title);
  canvas.TextOut(397, 40, "VORELIA", TTextAlign::Center);
  canvas.MoveTo(38, 70);
  canvas.LineTo(759, 70);
  TCanvasFont caption;
  caption.Size = 8;
  caption.Bold = true;
  TCanvasFont value;
  value.Name = "Courier New";
  for (int block = 0; block < 7; ++block) {
    const int top = 97 + block * 133;
    canvas.SetBrush({0x00F4F4F4, TBrushStyle::bsSolid});
    canvas.SetPen({clBlack, 2, TPenStyle::psSolid, TPenMode::pmCopy});
    canvas.Rectangle({39, top + 8, 755, top + 124});
    for (int line = 0; line < 2; ++line) {
      canvas.MoveTo(39, top + 45 + 39 * line);
      canvas.LineTo(753, top + 45 + 39 * line);
    }
    for (int divider = 0; divider < 5; ++divider) {
      canvas.MoveTo(200 + divider * 100, top + 9);
      canvas.LineTo(200 + divider * 100, top + 46);
    }
    for (int field = 0; field < 9; ++field) {
      canvas.SetFont(caption);
      canvas.TextOut(45 + (field % 4) * 180, top + 12 + (field / 4) * 38, "Munic\xEDpio / Bairro");
      canvas.SetFont(value);
      canvas.TextOut(45 + (field % 4) * 180, top + 26 + (field / 4) * 38,
                     "Ag\xEAncia de Empregos " + std::to_string(number * 7 + block));
    }
  }
  canvas.SetFont(caption);
  canvas.TextOut(45, 1080, "Visite o Site: www.vorelia.example");
  canvas.TextOut(750, 1080, std::to_string(number), TTextAlign::Right);
  return canvas.TakeRecording();
}

const std::vector<TPageRecording>& Pages() {
  static const std::vector<TPageRecording> pages = [] {
    std::vector<TPageRecording> out;
    for (int n = 1; n <= 16; ++n) out.push_back(AgencyPage(n));
    return out;
  }();
  return pages;
}

std::filesystem::path BenchFile(const char* name) {
  return std::filesystem::temp_directory_path() / name;
}

void BM_EncodePage(benchmark::State& state) {
  std::vector<std::uint8_t> out;
  std::size_t bytes = 0;
  for (auto _ : state) {
    out.clear();
    EncodePage(Pages()[0], out);
    bytes += out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_EncodePage);

void BM_DecodePage(benchmark::State& state) {
  const std::vector<std::uint8_t> encoded = EncodePage(Pages()[0]);
  for (auto _ : state) benchmark::DoNotOptimize(DecodePage(encoded));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(encoded.size()));
}
BENCHMARK(BM_DecodePage);

void BM_CompressPage(benchmark::State& state) {
  const std::vector<std::uint8_t> encoded = EncodePage(Pages()[0]);
  std::size_t packed = 0;
  for (auto _ : state) {
    const auto out = CompressBytes(encoded);
    packed = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(encoded.size()));
  state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(encoded.size());
}
BENCHMARK(BM_CompressPage);

void BM_ExpandPage(benchmark::State& state) {
  const std::vector<std::uint8_t> encoded = EncodePage(Pages()[0]);
  const std::vector<std::uint8_t> packed = CompressBytes(encoded);
  for (auto _ : state) benchmark::DoNotOptimize(ExpandBytes(packed, encoded.size()));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(encoded.size()));
}
BENCHMARK(BM_ExpandPage);

// Reference: copying the same page bytes.
void BM_MemcpyPageReference(benchmark::State& state) {
  const std::vector<std::uint8_t> encoded = EncodePage(Pages()[0]);
  std::vector<std::uint8_t> copy(encoded.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), encoded.data(), encoded.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(encoded.size()));
}
BENCHMARK(BM_MemcpyPageReference);

// kPages pages into a fresh store (spilling to a temporary file after 100 000 bytes).
void BM_StorePages(benchmark::State& state) {
  const bool compressed = state.range(0) != 0;
  std::uint64_t size = 0;
  for (auto _ : state) {
    TQRPageList list;
    list.SetCompression(compressed);
    list.NewDocument();
    for (int n = 0; n < kPages; ++n) list.AddPage(Pages()[n % Pages().size()]);
    size = list.Stream()->Size();
  }
  state.SetItemsProcessed(state.iterations() * kPages);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
  state.counters["file_bytes"] = static_cast<double>(size);
}
BENCHMARK(BM_StorePages)->ArgName("compressed")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Reference: writing the same number of bytes to a temporary file, one write per page.
void BM_WritePagesReference(benchmark::State& state) {
  std::vector<std::uint8_t> page = EncodePage(Pages()[0]);
  page.resize(page.size() + 12);
  const auto path = BenchFile("vorelia_bench_pages.raw");
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    for (int n = 0; n < kPages; ++n) {
      if (::write(fd, page.data(), page.size()) < 0) state.SkipWithError("write failed");
    }
    ::close(fd);
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * kPages);
  state.SetBytesProcessed(state.iterations() * kPages * static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_WritePagesReference)->Unit(benchmark::kMillisecond);

// Save copies the stream to a file; Load checks every record and parses every page.
void BM_SaveLoad(benchmark::State& state) {
  const bool load = state.range(0) != 0;
  TQRPageList list;
  list.NewDocument();
  for (int n = 0; n < kPages; ++n) list.AddPage(Pages()[n % Pages().size()]);
  list.WriteHeader(46000);
  const auto path = BenchFile("vorelia_bench_saved.qrp");
  list.SaveToFile(path);
  for (auto _ : state) {
    if (load) {
      TQRPageList loaded;
      loaded.LoadFromFile(path);
      benchmark::DoNotOptimize(loaded.PageCount());
    } else {
      list.SaveToFile(path);
    }
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveLoad)->ArgName("load")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Reference: copying a file of the same size with read() and write().
void BM_CopyFileReference(benchmark::State& state) {
  TQRPageList list;
  list.NewDocument();
  for (int n = 0; n < kPages; ++n) list.AddPage(Pages()[n % Pages().size()]);
  const auto source = BenchFile("vorelia_bench_source.qrp");
  const auto target = BenchFile("vorelia_bench_target.qrp");
  list.SaveToFile(source);
  std::vector<char> block(1 << 16);
  for (auto _ : state) {
    const int in = ::open(source.c_str(), O_RDONLY);
    const int out = ::open(target.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    ssize_t got = 0;
    while ((got = ::read(in, block.data(), block.size())) > 0) {
      if (::write(out, block.data(), static_cast<std::size_t>(got)) < 0) break;
    }
    ::fsync(out);
    ::close(in);
    ::close(out);
  }
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(source)));
  std::filesystem::remove(source);
  std::filesystem::remove(target);
}
BENCHMARK(BM_CopyFileReference)->Unit(benchmark::kMillisecond);

// Reading pages out of order, as the preview does when the user jumps around.
void BM_GetPage(benchmark::State& state) {
  TQRPageList list;
  list.SetCompression(state.range(0) != 0);
  list.NewDocument();
  for (int n = 0; n < kPages; ++n) list.AddPage(Pages()[n % Pages().size()]);
  int n = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(list.GetPage(n));
    n = (n * 7 + 3) % kPages + 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_GetPage)->ArgName("compressed")->Arg(0)->Arg(1);

}  // namespace

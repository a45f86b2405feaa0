// Loads a saved report from the fuzzer's bytes, then reads and parses every page, in the order
// the preview would (first, last, and walking back from the end).
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "report/core/page_codec.h"
#include "report/core/qr_compress.h"
#include "report/core/qr_error.h"
#include "report/core/qr_page_list.h"

namespace {

// One in-memory file, rewritten for every input and opened by path like a user's file.
int ReportFile() {
  static const int fd = memfd_create("qrp_load_fuzz", 0);
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorelia::report;
  const int fd = ReportFile();
  if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
  if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
  const std::string path = "/proc/self/fd/" + std::to_string(fd);

  try {
    TQRPageList list;
    list.LoadFromFile(path);
    const int count = list.PageCount();
    for (int n : {1, count, count / 2, 0, count + 1}) (void)list.GetPage(n);
    for (int n = count; n >= 1; --n) (void)list.GetPage(n);
  } catch (const EQRError&) {
  }

  // The page parser and the expander on their own, so both see raw hostile bytes too.
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    (void)DecodePage(bytes);
  } catch (const EQRError&) {
  }
  if (size >= 1) {
    try {
      (void)ExpandBytes(bytes.subspan(1), static_cast<std::size_t>(data[0]) * 64);
    } catch (const EQRError&) {
    }
  }
  return 0;
}

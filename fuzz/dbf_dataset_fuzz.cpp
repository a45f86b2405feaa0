// Opens arbitrary bytes as a table through the table dataset, read-only, and walks it both ways
// reading every field as text, then searches it. A damaged table must be refused with an error,
// never crash, hang or be written.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "dbf/dbf_dataset.h"
#include "platform/errors.h"

namespace {

// The one table file the inputs are written to; its folder goes when the run ends.
struct FuzzFolder {
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("vorelia_dataset_fuzz_" + std::to_string(getpid()));
  FuzzFolder() { std::filesystem::create_directories(dir); }
  ~FuzzFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }
} g_folder;

size_t ReadAllFields(vorelia::dbf::TDbfDataSet& ds) {
  size_t bytes = 0;
  for (int i = 0; i < ds.FieldCount(); ++i) bytes += ds.Fields(i).DisplayText().size();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const std::filesystem::path path = g_folder.dir / "fuzz.age";
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  vorelia::dbf::TDbfDataSet ds;
  ds.ReadOnly = true;
  ds.SetTableName(path.string());
  ds.SetShowDeleted(size % 2 == 1);
  size_t bytes = 0;
  try {
    ds.Open();
    for (ds.First(); !ds.Eof(); ds.Next()) bytes += ReadAllFields(ds);
    for (ds.Last(); !ds.Bof(); ds.Prior()) bytes += ReadAllFields(ds);
    if (ds.FieldCount() > 0) ds.Locate(ds.Fields(0).FieldName(), {std::string("A")});
    ds.Close();
  } catch (const vorelia::EVoreliaError&) {
    // Refusing a damaged table is the expected outcome.
  }
  return bytes == static_cast<size_t>(-1) ? 1 : 0;
}

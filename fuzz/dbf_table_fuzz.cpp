// Opens a table from arbitrary bytes and reads every field of every record. The table lives in
// memory, so nothing reaches the disk whatever the input.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "dbf/dbf_file.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vorelia::dbf;
  if (size > 1 << 20) return 0;
  TDbfFile file;
  file.SetMode(TPagedFileMode::pfMemoryOpen);
  file.SetMemoryContents(std::vector<uint8_t>(data, data + size));
  try {
    if (!file.OpenTable()) return 0;
    std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
    const int32_t count = file.RecordCount();
    for (int32_t n = 1; n <= count; ++n) {
      if (!file.ReadRecord(n, record.data())) break;
      for (int i = 0; i < file.FieldDefs().Count(); ++i) {
        const TFieldValue value = file.ReadFieldValue(i, record.data());
        file.WriteFieldValue(i, value, record.data());
      }
    }
    file.FillDefaultRecord(record.data());
  } catch (const vorelia::EVoreliaError&) {
    // Refusing a damaged table is the expected outcome.
  }
  return 0;
}

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "dbf/index_check.h"
#include "dbf/index_file.h"
#include "dbf/index_test_table.h"
#include "platform/errors.h"

namespace vorelia::dbf {
namespace {

// Inputs that once broke the index engine (byte 0 chooses .mdx or .ndx, the rest is the file).
// Each must open and walk, or be refused with an error, without touching memory it does not own.
TEST(IndexDamagedFileTest, SavedInputsAreRefusedOrWalked) {
  test::TMemoryTable table;
  for (int i = 0; i < 64; ++i) table.Append("Agencia " + std::to_string((i * 37) % 64));
  const std::filesystem::path folder = std::filesystem::path(VORELIA_TEST_DATA) / "index_crashes";
  int inputs = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    SCOPED_TRACE(entry.path().filename().string());
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(bytes.empty());
    ++inputs;
    TIndexFile index(table, (bytes[0] & 1) ? "agencias.ndx" : "agencias.mdx");
    try {
      if (!index.Open(TPagedFileMode::pfMemoryOpen, {}, {bytes.begin() + 1, bytes.end()})) continue;
      for (int t = 0; t < index.TagCount(); ++t) {
        CheckIndexTag(index, t, &table);
        index.SelectTag(index.TagNames()[static_cast<size_t>(t)]);
        index.First();
        for (int steps = 0; steps < 100000 && index.Next(); ++steps) {
        }
        index.InsertKeys(3, table.Bytes(3));
        index.RemoveKeys(5, table.Bytes(5));
      }
    } catch (const EVoreliaError&) {
      // Refused with a message.
    }
    index.Close();
    EXPECT_LE(index.MemoryContents().size(), bytes.size() + 2048 * 512);
  }
  EXPECT_GE(inputs, 2);
}

}  // namespace
}  // namespace vorelia::dbf

#include "export/writers/document_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <system_error>

#include "support/temp_dir.h"

namespace vorelia::exporter::test {
namespace {

class DocumentFileTest : public vorelia::test::TempDirTest {
 protected:
  std::string Read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  size_t EntryCount() {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(m_dir),
                                             std::filesystem::directory_iterator()));
  }
};

TEST_F(DocumentFileTest, WritesAndReplacesLeavingNothingElseBehind) {
  const std::filesystem::path target = m_dir / "agencias.CSV";
  SaveDocument(target, std::string("a\0b\r\n", 5));
  EXPECT_EQ(std::string("a\0b\r\n", 5), Read(target));
  SaveDocument(target, "novo");
  EXPECT_EQ("novo", Read(target));
  SaveDocument(m_dir / "vazio.TXT", "");
  EXPECT_EQ("", Read(m_dir / "vazio.TXT"));
  EXPECT_EQ(2u, EntryCount());
}

TEST_F(DocumentFileTest, FailureLeavesTheOldFileAndNoTemporary) {
  // A folder in the way of the rename: the write succeeds, the replacement fails.
  const std::filesystem::path blocked = m_dir / "pasta.HTML";
  std::filesystem::create_directory(blocked);
  std::ofstream(blocked / "dentro.txt") << "x";
  EXPECT_THROW(SaveDocument(blocked, "<HTML>"), std::system_error);
  EXPECT_TRUE(std::filesystem::is_directory(blocked));
  EXPECT_EQ("x", Read(blocked / "dentro.txt"));
  EXPECT_EQ(1u, EntryCount());

  EXPECT_THROW(SaveDocument(m_dir / "falta" / "doc.TXT", "x"), std::system_error);
  EXPECT_FALSE(std::filesystem::exists(m_dir / "falta"));
  EXPECT_THROW(SaveDocument("", "x"), std::system_error);
  EXPECT_EQ(1u, EntryCount());
}

}  // namespace
}  // namespace vorelia::exporter::test

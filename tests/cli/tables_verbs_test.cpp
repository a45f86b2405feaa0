// Runs vorelia-cli as a process on a private databases folder.

#include <gtest/gtest.h>

#include <fstream>

#include "cli_test_support.h"
#include "dbf/dbf_file.h"

namespace vorelia::cli {
namespace {

using Bytes = std::vector<uint8_t>;

class TablesVerbsTest : public CliTest {
 protected:
  std::filesystem::path Table(const char* name) { return m_dados / (std::string(name) + ".age"); }
};

const char* const kHeader = "AGENCIA\tENDERECO\tMUNICIPIO\tUF\tCEP\tDDD\tTELEFONE\tEMAIL\tSITE\n";

TEST_F(TablesVerbsTest, CreateListAndRefuseASecondCreate) {
  EXPECT_EQ(Cli({"create", "Centro"}).code, 0);
  EXPECT_EQ(std::filesystem::file_size(Table("Centro")), 322u);
  const CliOutcome again = Cli({"create", "Centro"});
  EXPECT_EQ(again.code, 2);
  EXPECT_EQ(again.err, "Imposs\xC3\xADvel Criar Banco de Dados, pois ele j\xC3\xA1 existe !\n");
  EXPECT_EQ(Cli({"list"}).out, "Centro\n");
  EXPECT_EQ(Cli({"show", "Centro"}).out, kHeader);
}

TEST_F(TablesVerbsTest, AddAndShowConvertTextAndEscapeControls) {
  ASSERT_EQ(Cli({"create", "sul"}).code, 0);
  ASSERT_EQ(Cli({"add", "sul", "AGENCIA=Emprega S\xC3\xA3o Jo\xC3\xA3o", "UF=RSX",
                 "SITE=www.emprega.com.br"})
                .code,
            0);
  ASSERT_EQ(Cli({"add", "sul", "agencia=Tab\there", "ENDERECO=C:\\pasta"}).code, 0);
  const CliOutcome shown = Cli({"show", "sul"});
  EXPECT_EQ(shown.code, 0);
  EXPECT_EQ(shown.out, std::string(kHeader) +
                           "Emprega S\xC3\xA3o Jo\xC3\xA3o\t\t\tRS\t\t\t\t\twww.emprega.com.br\n"
                           "Tab\\there\tC:\\\\pasta\t\t\t\t\t\t\t\n");
  // Stored in the table's code page 850: a-tilde is 0xC6.
  const std::string bytes = FileText(Table("sul"));
  EXPECT_EQ(bytes.substr(322, 16), "Emprega S\xC6o Jo\xC6o");

  const CliOutcome bad = Cli({"add", "sul", "BAIRRO=Centro"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.err.find("BAIRRO=Centro"), std::string::npos);
}

TEST_F(TablesVerbsTest, ImportReadsQuotedCsvOrChangesNothing) {
  ASSERT_EQ(Cli({"create", "norte"}).code, 0);
  {
    std::ofstream csv(m_dir / "ok.csv", std::ios::binary);
    csv << "AGENCIA,MUNICIPIO,EMAIL\r\n"
           "\"Alfa, Ltda\",Bel\xC3\xA9m,alfa@x.com\r\n"
           "\"Beta \"\"B\"\"\",Manaus,\"linha1\nlinha2\"\n";
  }
  ASSERT_EQ(Cli({"import", "norte", (m_dir / "ok.csv").string()}).code, 0);
  EXPECT_EQ(Cli({"show", "norte"}).out, std::string(kHeader) +
                                            "Alfa, Ltda\t\tBel\xC3\xA9m\t\t\t\t\talfa@x.com\t\n"
                                            "Beta \"B\"\t\tManaus\t\t\t\t\tlinha1\\nlinha2\t\n");
  const std::string before = FileText(Table("norte"));
  {
    std::ofstream csv(m_dir / "bad.csv", std::ios::binary);
    csv << "AGENCIA,MUNICIPIO\nGama,Macapa\nDelta\n";
  }
  const CliOutcome bad = Cli({"import", "norte", (m_dir / "bad.csv").string()});
  EXPECT_EQ(bad.code, 2);
  EXPECT_EQ(bad.err, "CSV row 3 has 1 values for 2 fields.\n");
  EXPECT_EQ(FileText(Table("norte")), before);
  EXPECT_FALSE(std::filesystem::exists(Table("norte_1")));
}

TEST_F(TablesVerbsTest, DeleteClearPackAndShowDeleted) {
  ASSERT_EQ(Cli({"create", "leste"}).code, 0);
  for (const char* name : {"um", "dois", "tres", "quatro"}) {
    ASSERT_EQ(Cli({"add", "leste", std::string("AGENCIA=") + name}).code, 0);
  }
  ASSERT_EQ(Cli({"delete", "leste", "2"}).code, 0);
  EXPECT_EQ(std::filesystem::file_size(Table("leste")), 321u + 3 * 234 + 1);
  EXPECT_EQ(
      Cli({"show", "leste"}).out,
      std::string(kHeader) + "um\t\t\t\t\t\t\t\t\ntres\t\t\t\t\t\t\t\t\nquatro\t\t\t\t\t\t\t\t\n");
  EXPECT_EQ(Cli({"delete", "leste", "9"}).err, "Record 9 not found.\n");

  // A record flagged deleted by someone else stays until a pack.
  {
    dbf::TDbfFile file;
    file.SetFileName(Table("leste"));
    file.SetMode(dbf::TPagedFileMode::pfReadWriteOpen);
    ASSERT_TRUE(file.OpenTable());
    Bytes record(234);
    file.LockRecordForEdit(1, record.data());
    record[0] = '*';
    file.WriteEditedRecord(1, record.data());
  }
  EXPECT_EQ(Cli({"show", "leste"}).out,
            std::string(kHeader) + "tres\t\t\t\t\t\t\t\t\nquatro\t\t\t\t\t\t\t\t\n");
  EXPECT_NE(Cli({"show", "leste", "--deleted"}).out.find("um\t"), std::string::npos);
  ASSERT_EQ(Cli({"pack", "leste"}).code, 0);
  EXPECT_EQ(std::filesystem::file_size(Table("leste")), 321u + 2 * 234 + 1);
  ASSERT_EQ(Cli({"clear", "leste"}).code, 0);
  EXPECT_EQ(std::filesystem::file_size(Table("leste")), 322u);
}

TEST_F(TablesVerbsTest, CheckReportsProblemsAndErrors) {
  ASSERT_EQ(Cli({"create", "oeste"}).code, 0);
  ASSERT_EQ(Cli({"add", "oeste", "AGENCIA=um"}).code, 0);
  const CliOutcome sound = Cli({"check", "oeste"});
  EXPECT_EQ(sound.code, 0);
  EXPECT_EQ(sound.out, "");

  std::string bytes = FileText(Table("oeste"));
  bytes[4] = 7;  // the header claims 7 records
  bytes += "xyz";
  std::ofstream(Table("oeste"), std::ios::binary | std::ios::trunc) << bytes;
  const CliOutcome damaged = Cli({"check", "oeste"});
  EXPECT_EQ(damaged.code, 1);
  EXPECT_EQ(damaged.out,
            "header record count 7 differs from the 1 records in the file\n"
            "a partial record of 3 bytes at the end\n");

  bytes[0] = 0x07;
  std::ofstream(Table("oeste"), std::ios::binary | std::ios::trunc) << bytes;
  const CliOutcome invalid = Cli({"check", "oeste"});
  EXPECT_EQ(invalid.code, 2);
  EXPECT_EQ(invalid.err, "Invalid DBF file.\n");

  const CliOutcome missing = Cli({"show", "nada"});
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(missing.err, "Open: file not found: \"" + Table("nada").string() + "\".\n");
}

}  // namespace
}  // namespace vorelia::cli

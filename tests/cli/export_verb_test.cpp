// Runs `vorelia-cli export` as a process on a private databases folder.

#include <gtest/gtest.h>

#include <regex>

#include "cli_test_support.h"

namespace vorelia::cli {
namespace {

class ExportVerbTest : public CliTest {
 protected:
  void MakeAgencies() {
    ASSERT_EQ(Cli({"create", "Centro"}).code, 0);
    ASSERT_EQ(
        Cli({"add", "Centro", "AGENCIA=Alfa Empregos", "ENDERECO=Rua A, 10", "MUNICIPIO=S\xC3\xA9",
             "UF=SP", "DDD=011", "TELEFONE=12345-678", "EMAIL=a@alfa.com"})
            .code,
        0);
    ASSERT_EQ(Cli({"add", "Centro", "AGENCIA=Beta", "UF=RJ", "DDD=021"}).code, 0);
  }
};

TEST_F(ExportVerbTest, WritesTheSearchGridUnderExactlyTheNameGiven) {
  MakeAgencies();
  const std::filesystem::path csv = m_dir / "agencias.txt";
  ASSERT_EQ(Cli({"export", "Centro", "--format", "csv", "-o", csv.string()}).code, 0);
  EXPECT_EQ(FileText(csv),
            "\"Nome Da Ag\xEAncia\",Endere\xE7o,\"Munic\xEDpio / Bairro\",UF,DDD,TELEFONE\r\n"
            "\"Alfa Empregos\",\"Rua A, 10\",S\xE9,SP,011,12345-678\r\n"
            "Beta,,,RJ,021,\r\n");
  EXPECT_FALSE(std::filesystem::exists(m_dir / "agencias.CSV"));

  const std::filesystem::path tab = m_dir / "agencias.tab";
  ASSERT_EQ(Cli({"export", "Centro", "--format", "tab", "-o", tab.string()}).code, 0);
  const std::string text = FileText(tab);
  const std::string rows =
      "Nome Da Ag\xEAncia\tEndere\xE7o\tMunic\xEDpio / Bairro\tUF\tDDD\tTELEFONE\r\n"
      "Alfa Empregos\tRua A, 10\tS\xE9\tSP\t011\t12345-678\r\n"
      "Beta\t\t\tRJ\t021\t\r\n";
  ASSERT_EQ(text.substr(0, rows.size()), rows);
  EXPECT_TRUE(
      std::regex_match(text.substr(rows.size()),
                       std::regex("Criado: \\d\\d/\\d\\d/\\d{4}( \\d\\d:\\d\\d:\\d\\d)?\r\n")))
      << text.substr(rows.size());
}

TEST_F(ExportVerbTest, RefusesBadArgumentsAndMissingDatabasesWithoutWriting) {
  MakeAgencies();
  const std::filesystem::path out = m_dir / "out.dif";
  EXPECT_EQ(Cli({"export", "Centro", "--format", "pdf", "-o", out.string()}).code, 2);
  EXPECT_EQ(Cli({"export", "Centro", "--format", "dif"}).code, 2);
  const CliOutcome missing = Cli({"export", "Norte", "--format", "dif", "-o", out.string()});
  EXPECT_EQ(missing.code, 2);
  EXPECT_FALSE(missing.err.empty());
  EXPECT_FALSE(std::filesystem::exists(out));

  // A folder that does not exist: the writer's message, exit 2, nothing left behind.
  const CliOutcome failed =
      Cli({"export", "Centro", "--format", "dif", "-o", (m_dir / "no" / "out.dif").string()});
  EXPECT_EQ(failed.code, 2);
  EXPECT_NE(failed.err.find("out.dif"), std::string::npos) << failed.err;
}

}  // namespace
}  // namespace vorelia::cli

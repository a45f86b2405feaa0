// Runs vorelia-cli's sort, ordered and filtered show, index check and report as a process.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "cli_test_support.h"

namespace vorelia::cli {
namespace {

class OrderReportVerbsTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    ASSERT_EQ(Cli({"create", "Rede"}).code, 0);
    for (const char* line :
         {"AGENCIA=Beta MUNICIPIO=Santos", "AGENCIA=Alfa MUNICIPIO=S\xC3\xA3o Paulo",
          "AGENCIA=Gama MUNICIPIO=S\xC3\x83O CARLOS"}) {
      const std::string text = line;
      const size_t space = text.find(' ');
      ASSERT_EQ(Cli({"add", "Rede", text.substr(0, space), text.substr(space + 1)}).code, 0);
    }
  }

  // The agency names of show's output, one per line.
  static std::string Agencies(const std::string& shown) {
    std::string names;
    size_t line = shown.find('\n') + 1;
    while (line < shown.size()) {
      const size_t end = shown.find('\n', line);
      names += shown.substr(line, shown.find('\t', line) - line) + " ";
      line = end + 1;
    }
    return names;
  }
};

TEST_F(OrderReportVerbsTest, SortAndOrderedShowFollowTheAgencyName) {
  EXPECT_EQ(Agencies(Cli({"show", "Rede"}).out), "Beta Alfa Gama ");
  EXPECT_EQ(Agencies(Cli({"show", "Rede", "--order", "asc"}).out), "Alfa Beta Gama ");
  EXPECT_EQ(Agencies(Cli({"show", "Rede", "--order", "desc"}).out), "Gama Beta Alfa ");

  EXPECT_EQ(Cli({"sort", "Rede", "desc"}).code, 0);
  EXPECT_TRUE(std::filesystem::exists(m_dados / "Rede.mdx"));
  // The index is kept, but show without --order lists the stored order.
  EXPECT_EQ(Agencies(Cli({"show", "Rede"}).out), "Beta Alfa Gama ");
  const CliOutcome check = Cli({"check", "Rede"});
  EXPECT_EQ(check.code, 0);
  EXPECT_EQ(check.out, "");

  EXPECT_EQ(Cli({"sort", "Rede", "up"}).code, 2);
  EXPECT_EQ(Cli({"sort", "Nenhuma", "asc"}).code, 2);
}

TEST_F(OrderReportVerbsTest, FilterIsTheSearchPagesContainmentTest) {
  // Upper-casing keeps accents: "são" finds "São Paulo" and "SÃO CARLOS", not "Santos".
  EXPECT_EQ(Agencies(Cli({"show", "Rede", "--filter", "municipio=s\xC3\xA3o"}).out), "Alfa Gama ");
  EXPECT_EQ(Agencies(Cli({"show", "Rede", "--filter", "MUNICIPIO=sao"}).out), "");
  EXPECT_EQ(Agencies(Cli({"show", "Rede", "--order", "desc", "--filter", "AGENCIA=a"}).out),
            "Gama Beta Alfa ");
  EXPECT_EQ(Cli({"show", "Rede", "--filter", "CEP=1"}).code, 2);
}

TEST_F(OrderReportVerbsTest, CheckFindsAnIndexThatMissedARecord) {
  ASSERT_EQ(Cli({"sort", "Rede", "asc"}).code, 0);
  const std::string stale = FileText(m_dados / "Rede.mdx");
  ASSERT_EQ(Cli({"add", "Rede", "AGENCIA=Delta"}).code, 0);
  EXPECT_EQ(Cli({"check", "Rede"}).code, 0);
  std::ofstream(m_dados / "Rede.mdx", std::ios::binary | std::ios::trunc) << stale;
  const CliOutcome check = Cli({"check", "Rede"});
  EXPECT_EQ(check.code, 1);
  EXPECT_EQ(check.out, "index tag AGENCIA: 3 keys for 4 records\n");
}

TEST_F(OrderReportVerbsTest, ReportWritesAPdfInTheChosenOrder) {
  const std::filesystem::path pdf = m_dir / "rede.pdf";
  const CliOutcome run = Cli({"report", "Rede", "-o", pdf.string(), "--order", "desc"});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(FileText(pdf).substr(0, 5), "%PDF-");
  EXPECT_FALSE(std::filesystem::exists(m_dir / "rede.pdf.part"));

  const std::string command = "pdftotext -layout '" + pdf.string() + "' -";
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, got);
    pclose(pipe);
  }
  ASSERT_NE(text.find("VORELIA"), std::string::npos) << text;
  const size_t gama = text.find("Gama");
  const size_t beta = text.find("Beta");
  const size_t alfa = text.find("Alfa");
  ASSERT_NE(alfa, std::string::npos);
  EXPECT_LT(gama, beta);
  EXPECT_LT(beta, alfa);
  EXPECT_EQ(text.find('\f', 0), text.rfind('\f'));  // one page: a single form feed at its end
}

TEST_F(OrderReportVerbsTest, ReportSavesThePageStoreAndRefusesBadRequests) {
  const std::filesystem::path qrp = m_dir / "rede.QRP";
  ASSERT_EQ(Cli({"report", "Rede", "-o", qrp.string(), "--filter", "AGENCIA=alfa"}).code, 0);
  EXPECT_GT(std::filesystem::file_size(qrp), 0u);

  const std::filesystem::path other = m_dir / "rede.txt";
  EXPECT_EQ(Cli({"report", "Rede", "-o", other.string()}).code, 2);
  EXPECT_EQ(Cli({"report", "Rede"}).code, 2);
  const std::filesystem::path missing = m_dir / "nenhuma.pdf";
  EXPECT_EQ(Cli({"report", "Nenhuma", "-o", missing.string()}).code, 2);
  EXPECT_FALSE(std::filesystem::exists(other));
  EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace vorelia::cli

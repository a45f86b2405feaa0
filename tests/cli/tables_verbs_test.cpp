// Runs vorelia-cli as a process on a private databases folder.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <iterator>

#include "dbf/dbf_file.h"
#include "support/temp_dir.h"

extern char** environ;

namespace vorelia::cli {
namespace {

using Bytes = std::vector<uint8_t>;

struct Result {
  int code = -1;
  std::string out;
  std::string err;
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class TablesVerbsTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    m_dados = m_dir / "dados";
    std::filesystem::create_directories(m_dados);
  }

  Result Run(std::vector<std::string> args) {
    args.insert(args.begin(),
                {std::string(VORELIA_BIN_DIR) + "/vorelia-cli", "--dados", m_dados.string()});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string outPath = (m_dir / "stdout").string();
    const std::string errPath = (m_dir / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = 0;
    Result result;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
      int status = 0;
      waitpid(pid, &status, 0);
      result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = Slurp(outPath);
    result.err = Slurp(errPath);
    return result;
  }

  std::filesystem::path Table(const char* name) { return m_dados / (std::string(name) + ".age"); }

  std::filesystem::path m_dados;
};

const char* const kHeader = "AGENCIA\tENDERECO\tMUNICIPIO\tUF\tCEP\tDDD\tTELEFONE\tEMAIL\tSITE\n";

TEST_F(TablesVerbsTest, CreateListAndRefuseASecondCreate) {
  EXPECT_EQ(Run({"create", "Centro"}).code, 0);
  EXPECT_EQ(std::filesystem::file_size(Table("Centro")), 322u);
  const Result again = Run({"create", "Centro"});
  EXPECT_EQ(again.code, 2);
  EXPECT_EQ(again.err, "Imposs\xC3\xADvel Criar Banco de Dados, pois ele j\xC3\xA1 existe !\n");
  EXPECT_EQ(Run({"list"}).out, "Centro\n");
  EXPECT_EQ(Run({"show", "Centro"}).out, kHeader);
}

TEST_F(TablesVerbsTest, AddAndShowConvertTextAndEscapeControls) {
  ASSERT_EQ(Run({"create", "sul"}).code, 0);
  ASSERT_EQ(Run({"add", "sul", "AGENCIA=Emprega S\xC3\xA3o Jo\xC3\xA3o", "UF=RSX",
                 "SITE=www.emprega.com.br"})
                .code,
            0);
  ASSERT_EQ(Run({"add", "sul", "agencia=Tab\there", "ENDERECO=C:\\pasta"}).code, 0);
  const Result shown = Run({"show", "sul"});
  EXPECT_EQ(shown.code, 0);
  EXPECT_EQ(shown.out, std::string(kHeader) +
                           "Emprega S\xC3\xA3o Jo\xC3\xA3o\t\t\tRS\t\t\t\t\twww.emprega.com.br\n"
                           "Tab\\there\tC:\\\\pasta\t\t\t\t\t\t\t\n");
  // Stored in the table's code page 850: a-tilde is 0xC6.
  const std::string bytes = Slurp(Table("sul"));
  EXPECT_EQ(bytes.substr(322, 16), "Emprega S\xC6o Jo\xC6o");

  const Result bad = Run({"add", "sul", "BAIRRO=Centro"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.err.find("BAIRRO=Centro"), std::string::npos);
}

TEST_F(TablesVerbsTest, ImportReadsQuotedCsvOrChangesNothing) {
  ASSERT_EQ(Run({"create", "norte"}).code, 0);
  {
    std::ofstream csv(m_dir / "ok.csv", std::ios::binary);
    csv << "AGENCIA,MUNICIPIO,EMAIL\r\n"
           "\"Alfa, Ltda\",Bel\xC3\xA9m,alfa@x.com\r\n"
           "\"Beta \"\"B\"\"\",Manaus,\"linha1\nlinha2\"\n";
  }
  ASSERT_EQ(Run({"import", "norte", (m_dir / "ok.csv").string()}).code, 0);
  EXPECT_EQ(Run({"show", "norte"}).out, std::string(kHeader) +
                                            "Alfa, Ltda\t\tBel\xC3\xA9m\t\t\t\t\talfa@x.com\t\n"
                                            "Beta \"B\"\t\tManaus\t\t\t\t\tlinha1\\nlinha2\t\n");
  const std::string before = Slurp(Table("norte"));
  {
    std::ofstream csv(m_dir / "bad.csv", std::ios::binary);
    csv << "AGENCIA,MUNICIPIO\nGama,Macapa\nDelta\n";
  }
  const Result bad = Run({"import", "norte", (m_dir / "bad.csv").string()});
  EXPECT_EQ(bad.code, 2);
  EXPECT_EQ(bad.err, "CSV row 3 has 1 values for 2 fields.\n");
  EXPECT_EQ(Slurp(Table("norte")), before);
  EXPECT_FALSE(std::filesystem::exists(Table("norte_1")));
}

TEST_F(TablesVerbsTest, DeleteClearPackAndShowDeleted) {
  ASSERT_EQ(Run({"create", "leste"}).code, 0);
  for (const char* name : {"um", "dois", "tres", "quatro"}) {
    ASSERT_EQ(Run({"add", "leste", std::string("AGENCIA=") + name}).code, 0);
  }
  ASSERT_EQ(Run({"delete", "leste", "2"}).code, 0);
  EXPECT_EQ(std::filesystem::file_size(Table("leste")), 321u + 3 * 234 + 1);
  EXPECT_EQ(
      Run({"show", "leste"}).out,
      std::string(kHeader) + "um\t\t\t\t\t\t\t\t\ntres\t\t\t\t\t\t\t\t\nquatro\t\t\t\t\t\t\t\t\n");
  EXPECT_EQ(Run({"delete", "leste", "9"}).err, "Record 9 not found.\n");

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
  EXPECT_EQ(Run({"show", "leste"}).out,
            std::string(kHeader) + "tres\t\t\t\t\t\t\t\t\nquatro\t\t\t\t\t\t\t\t\n");
  EXPECT_NE(Run({"show", "leste", "--deleted"}).out.find("um\t"), std::string::npos);
  ASSERT_EQ(Run({"pack", "leste"}).code, 0);
  EXPECT_EQ(std::filesystem::file_size(Table("leste")), 321u + 2 * 234 + 1);
  ASSERT_EQ(Run({"clear", "leste"}).code, 0);
  EXPECT_EQ(std::filesystem::file_size(Table("leste")), 322u);
}

TEST_F(TablesVerbsTest, CheckReportsProblemsAndErrors) {
  ASSERT_EQ(Run({"create", "oeste"}).code, 0);
  ASSERT_EQ(Run({"add", "oeste", "AGENCIA=um"}).code, 0);
  const Result sound = Run({"check", "oeste"});
  EXPECT_EQ(sound.code, 0);
  EXPECT_EQ(sound.out, "");

  std::string bytes = Slurp(Table("oeste"));
  bytes[4] = 7;  // the header claims 7 records
  bytes += "xyz";
  std::ofstream(Table("oeste"), std::ios::binary | std::ios::trunc) << bytes;
  const Result damaged = Run({"check", "oeste"});
  EXPECT_EQ(damaged.code, 1);
  EXPECT_EQ(damaged.out,
            "header record count 7 differs from the 1 records in the file\n"
            "a partial record of 3 bytes at the end\n");

  bytes[0] = 0x07;
  std::ofstream(Table("oeste"), std::ios::binary | std::ios::trunc) << bytes;
  const Result invalid = Run({"check", "oeste"});
  EXPECT_EQ(invalid.code, 2);
  EXPECT_EQ(invalid.err, "Invalid DBF file.\n");

  const Result missing = Run({"show", "nada"});
  EXPECT_EQ(missing.code, 2);
  EXPECT_EQ(missing.err, "Open: file not found: \"" + Table("nada").string() + "\".\n");
}

}  // namespace
}  // namespace vorelia::cli

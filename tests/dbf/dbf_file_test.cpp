#include "dbf/dbf_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>

#include "dbf/agency_schema.h"
#include "dbf/dbf_errors.h"
#include "dbf/language_table.h"
#include "support/temp_dir.h"

namespace vorelia::dbf {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

uint32_t Le32(const Bytes& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

class DbfFileTest : public test::TempDirTest {
 protected:
  std::filesystem::path Table(const char* name = "agencias.age") { return m_dir / name; }

  void CreateAgencyTable(const std::filesystem::path& path, uint8_t languageId = 0x25) {
    TDbfFile file;
    file.SetFileName(path);
    file.SetMode(TPagedFileMode::pfExclusiveCreate);
    file.SetLanguageId(languageId);
    file.CreateTableFile(AgencyFieldDefs());
    file.CloseTable();
  }

  // Opens in `mode` and appends records whose AGENCIA is each of `names`.
  void Append(const std::filesystem::path& path, const std::vector<std::string>& names,
              TPagedFileMode mode = TPagedFileMode::pfReadWriteOpen) {
    TDbfFile file;
    file.SetFileName(path);
    file.SetMode(mode);
    ASSERT_TRUE(file.OpenTable());
    Bytes record(234);
    for (const std::string& name : names) {
      file.FillDefaultRecord(record.data());
      file.WriteFieldValue(0, name, record.data());
      file.InsertRecord(record.data());
    }
    file.CloseTable();
  }

  void Delete(const std::filesystem::path& path, std::vector<int> recordNos) {
    TDbfFile file;
    file.SetFileName(path);
    file.SetMode(TPagedFileMode::pfReadWriteOpen);
    ASSERT_TRUE(file.OpenTable());
    Bytes record(234);
    for (int n : recordNos) {
      file.LockRecordForEdit(n, record.data());
      record[0] = '*';
      file.NoteRecordDeleted(n, record.data());
      file.WriteEditedRecord(n, record.data());
    }
  }

  std::vector<std::string> Names(const std::filesystem::path& path) {
    TDbfFile file;
    file.SetFileName(path);
    file.SetMode(TPagedFileMode::pfReadOnly);
    EXPECT_TRUE(file.OpenTable());
    std::vector<std::string> names;
    Bytes record(static_cast<size_t>(file.RecordSize()));
    for (int n = 1; n <= file.RecordCount(); ++n) {
      EXPECT_TRUE(file.ReadRecord(n, record.data()));
      const TFieldValue value = file.ReadFieldValue(0, record.data());
      std::string name =
          std::holds_alternative<std::string>(value) ? std::get<std::string>(value) : "";
      names.push_back((record[0] == '*' ? "*" : "") + name);
    }
    return names;
  }
};

TEST_F(DbfFileTest, NewAgencyTableHasExactBytes) {
  CreateAgencyTable(Table());
  const Bytes b = ReadAll(Table());
  ASSERT_EQ(b.size(), 322u);

  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(b[0], 0x03);
  EXPECT_EQ(b[1], local.tm_year % 256);
  EXPECT_EQ(b[2], local.tm_mon + 1);
  EXPECT_EQ(b[3], local.tm_mday);
  EXPECT_EQ(Le32(b, 4), 0u);
  EXPECT_EQ(b[8], 0x41);  // 321
  EXPECT_EQ(b[9], 0x01);
  EXPECT_EQ(b[10], 0xEA);  // 234
  EXPECT_EQ(b[11], 0x00);
  for (int i = 12; i < 28; ++i) EXPECT_EQ(b[i], 0) << "byte " << i;
  EXPECT_EQ(b[28], 0);
  EXPECT_EQ(b[29], 0x25);
  EXPECT_EQ(b[30], 0);
  EXPECT_EQ(b[31], 0);

  const struct {
    const char* name;
    int size;
  } fields[] = {{"AGENCIA", 25}, {"ENDERECO", 100}, {"MUNICIPIO", 15}, {"UF", 2},   {"CEP", 9},
                {"DDD", 3},      {"TELEFONE", 9},   {"EMAIL", 35},     {"SITE", 35}};
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(fields[i].name);
    const size_t at = 32 + 32 * static_cast<size_t>(i);
    char name[12] = {};
    std::memcpy(name, &b[at], 11);
    EXPECT_STREQ(name, fields[i].name);
    for (size_t k = std::strlen(fields[i].name); k < 11; ++k) EXPECT_EQ(b[at + k], 0);
    EXPECT_EQ(b[at + 11], 'C');
    for (int k = 12; k < 16; ++k) EXPECT_EQ(b[at + k], 0);
    EXPECT_EQ(b[at + 16], fields[i].size);
    EXPECT_EQ(b[at + 17], 0);
    for (int k = 18; k < 32; ++k) EXPECT_EQ(b[at + k], 0);
  }
  EXPECT_EQ(b[320], 0x0D);
  EXPECT_EQ(b[321], 0x1A);
}

TEST_F(DbfFileTest, AppendThenReopenPutsTheEndMarkBack) {
  CreateAgencyTable(Table());
  Append(Table(), {"Agencia Centro"});
  Bytes b = ReadAll(Table());
  ASSERT_EQ(b.size(), 555u);
  EXPECT_EQ(Le32(b, 4), 1u);
  EXPECT_EQ(b[321], 0x20);
  EXPECT_EQ(std::string(b.begin() + 322, b.begin() + 336), "Agencia Centro");
  EXPECT_EQ(b[336], ' ');
  EXPECT_EQ(b[554], ' ');

  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfReadWriteOpen);
  ASSERT_TRUE(file.OpenTable());
  file.CloseTable();
  b = ReadAll(Table());
  ASSERT_EQ(b.size(), 556u);
  EXPECT_EQ(b[555], 0x1A);
  EXPECT_EQ(Le32(b, 4), 1u);
}

TEST_F(DbfFileTest, OpenCorrectsACountThatDisagreesWithTheLength) {
  CreateAgencyTable(Table());
  Append(Table(), {"A", "B", "C"});
  Bytes b = ReadAll(Table());
  b[4] = 9;  // claims 9 records
  b.push_back(0x1A);
  b.insert(b.end(), 100, 'x');  // a partial record does not count
  WriteAll(Table(), b);

  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfReadWriteOpen);
  ASSERT_TRUE(file.OpenTable());
  EXPECT_EQ(file.RecordCount(), 3);
  file.CloseTable();
  EXPECT_EQ(Le32(ReadAll(Table()), 4), 3u);
}

TEST_F(DbfFileTest, ValuesAreCutPaddedAndTrimmed) {
  CreateAgencyTable(Table());
  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfExclusiveOpen);
  ASSERT_TRUE(file.OpenTable());
  Bytes record(234);
  file.FillDefaultRecord(record.data());
  EXPECT_EQ(record, Bytes(234, ' '));

  file.WriteFieldValue(0, std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123"), record.data());
  EXPECT_EQ(std::string(record.begin() + 1, record.begin() + 26), "ABCDEFGHIJKLMNOPQRSTUVWXY");
  EXPECT_EQ(record[26], ' ');  // ENDERECO untouched

  file.WriteFieldValue(3, std::string("SPX"), record.data());  // UF keeps its first two
  EXPECT_EQ(std::string(record.begin() + 141, record.begin() + 143), "SP");

  file.WriteFieldValue(0, std::string("abc"), record.data());
  EXPECT_EQ(std::string(record.begin() + 1, record.begin() + 26),
            "abc                      ");  // 3 characters and 22 spaces
  EXPECT_EQ(std::get<std::string>(file.ReadFieldValue(0, record.data())), "abc");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(file.ReadFieldValue(1, record.data())));

  file.WriteFieldValue(0, std::monostate{}, record.data());
  EXPECT_EQ(std::string(record.begin() + 1, record.begin() + 26), std::string(25, ' '));

  // Field offsets in the record follow from the field order.
  const int offsets[] = {1, 26, 126, 141, 143, 152, 155, 164, 199};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(file.FieldDefs()[i].Offset, offsets[i]);
}

TEST_F(DbfFileTest, LevelFollowsTheLanguageByte) {
  CreateAgencyTable(Table());
  {
    TDbfFile file;
    file.SetFileName(Table());
    file.SetMode(TPagedFileMode::pfReadOnly);
    ASSERT_TRUE(file.OpenTable());
    EXPECT_EQ(file.TableLevel(), 4);
    EXPECT_EQ(file.LanguageId(), 0x25);
    EXPECT_EQ(file.TableCodePage(), 850);
  }
  Bytes b = ReadAll(Table());
  b[29] = 0;
  WriteAll(Table(), b);
  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfReadOnly);
  ASSERT_TRUE(file.OpenTable());
  EXPECT_EQ(file.TableLevel(), 3);
  EXPECT_EQ(file.TableCodePage(), 0);
}

TEST_F(DbfFileTest, NamesAreUpperCasedAndCut) {
  TDbfFieldDefs defs;
  TDbfFieldDef& def = defs.Add();
  def.FieldName = "observacoes_longas";
  def.NativeFieldType = 'c';
  def.Size = 0;  // no size: 30
  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfExclusiveCreate);
  file.SetLanguageId(0x25);
  file.CreateTableFile(defs);
  file.CloseTable();
  const Bytes b = ReadAll(Table());
  EXPECT_EQ(std::string(b.begin() + 32, b.begin() + 43), std::string("OBSERVACOE\0", 11));
  EXPECT_EQ(b[43], 'C');
  EXPECT_EQ(b[48], 30);
  EXPECT_EQ(b[10], 31);
}

TEST(LanguageTableTest, DefaultDriverFollowsCodePageAndLanguage) {
  EXPECT_EQ(ChooseLanguageId(1252, 0x0416), 0x25);  // Brazilian Portuguese: code page 850
  EXPECT_EQ(ChooseLanguageId(1252, 0x0409), 0x37);  // US English
  EXPECT_EQ(ChooseLanguageId(1252, 0x0407), 0x61);  // German: only a FoxPro id matches 1252
  EXPECT_EQ(ChooseLanguageId(437, 0x0409), 0x1B);
  EXPECT_EQ(ChooseLanguageId(1252, 0x0C0A), 0);  // no driver at all
  EXPECT_EQ(LanguageCodePage(0x25), 850);
  EXPECT_EQ(LanguageCodePage(0x57), 1252);
  EXPECT_EQ(LanguageEntry(0x57).locale, 0u);
  EXPECT_EQ(LanguageEntry(0).locale, 0x10000u);
  EXPECT_EQ(LanguageEntry(0x30).codePage, 0);
}

// ---- Damaged files -----------------------------------------------------------------------

TEST_F(DbfFileTest, DamagedFilesAreRefusedAndLeftUntouched) {
  CreateAgencyTable(Table("good.age"));
  Append(Table("good.age"), {"A", "B"});
  const Bytes good = ReadAll(Table("good.age"));

  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* message;  // exact, or the start of a message naming the file
  };
  const Case cases[] = {
      {"unknown version", [](Bytes& b) { b[0] = 0x07; }, "Invalid DBF file."},
      {"empty file", [](Bytes& b) { b.clear(); }, "Invalid DBF file."},
      {"truncated header", [](Bytes& b) { b.resize(20); }, "Invalid DBF file \""},
      {"header beyond the file",
       [](Bytes& b) {
         b[8] = 0xFF;
         b[9] = 0x7F;
       },
       "Invalid DBF file \""},
      {"header too small",
       [](Bytes& b) {
         b[8] = 10;
         b[9] = 0;
       },
       "Invalid DBF file \""},
      {"no terminator", [](Bytes& b) { b[320] = 'X'; }, "Invalid DBF file \""},
      {"record size mismatch", [](Bytes& b) { b[10] = 200; }, "Invalid DBF file \""},
      {"field size 0", [](Bytes& b) { b[32 + 16] = 0; }, "Invalid DBF file \""},
      {"unknown type", [](Bytes& b) { b[32 + 11] = 'Q'; }, "Invalid DBF file."},
      {"empty name", [](Bytes& b) { b[32] = 0; }, "Invalid DBF file."},
      {"name without zero", [](Bytes& b) { std::memset(&b[32], 'A', 11); }, "Invalid DBF file \""},
      {"field beyond record", [](Bytes& b) { b[32 + 16] = 250; }, "Invalid DBF file \""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes bad = good;
    c.damage(bad);
    WriteAll(Table(), bad);
    TDbfFile file;
    file.SetFileName(Table());
    file.SetMode(TPagedFileMode::pfReadWriteOpen);
    try {
      file.OpenTable();
      ADD_FAILURE() << "opened";
    } catch (const EDbfError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind(c.message, 0), 0u) << message;
      if (message != kMsgInvalidDbfFile) {
        EXPECT_NE(message.find("agencias.age"), std::string::npos) << message;
      }
    }
    EXPECT_FALSE(file.Active());
    EXPECT_EQ(ReadAll(Table()), bad) << "a damaged file was written";
  }
}

TEST_F(DbfFileTest, ZeroSizesAbandonTheOpenSilently) {
  CreateAgencyTable(Table());
  Bytes b = ReadAll(Table());
  b[10] = 0;
  b[11] = 0;
  WriteAll(Table(), b);
  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfReadWriteOpen);
  EXPECT_FALSE(file.OpenTable());
  EXPECT_FALSE(file.Active());
  EXPECT_EQ(ReadAll(Table()), b);
}

TEST_F(DbfFileTest, AHeaderWithoutFieldsGivesTheFieldCountMessage) {
  Bytes none(322, 0);
  none[0] = 0x03;
  none[8] = 0x21;  // 33: room for no descriptor
  none[10] = 1;
  none[32] = 0x0D;
  TDbfFile empty;
  empty.SetMode(TPagedFileMode::pfMemoryOpen);
  empty.SetMemoryContents(none);
  EXPECT_THROW(
      {
        try {
          empty.OpenTable();
        } catch (const EDbfError& e) {
          EXPECT_STREQ(e.what(), "Invalid field count: 0 (must be between 1 and 4095).");
          throw;
        }
      },
      EDbfError);
}

TEST_F(DbfFileTest, MissingFileAndUnsupportedFieldMessages) {
  TDbfFile file;
  file.SetFileName(Table("nada.age"));
  file.SetMode(TPagedFileMode::pfReadWriteOpen);
  try {
    file.OpenTable();
    ADD_FAILURE();
  } catch (const EDbfError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Open: file not found: \"" + Table("nada.age").string() + "\".");
  }
  EXPECT_EQ(FieldTypeNotSupportedMessage("VALOR", 0x1A),
            "Cannot create field \"VALOR\", field type 1a not supported by DBF.");
  EXPECT_EQ(NativeTypeFor(TFieldType::ftCurrency, 4), 0);
  EXPECT_EQ(NativeTypeFor(TFieldType::ftCurrency, 25), 'Y');
  EXPECT_EQ(NativeTypeFor(TFieldType::ftInteger, 7), 'I');
  EXPECT_EQ(NativeTypeFor(TFieldType::ftDateTime, 4), 'D');
}

// ---- Zap and pack ------------------------------------------------------------------------

TEST_F(DbfFileTest, ZapLeavesHeaderAndMark) {
  CreateAgencyTable(Table());
  Append(Table(), {"A", "B", "C"});
  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfReadWriteOpen);
  ASSERT_TRUE(file.OpenTable());
  file.ZapRecords();
  EXPECT_EQ(file.RecordCount(), 0);
  file.CloseTable();
  const Bytes b = ReadAll(Table());
  ASSERT_EQ(b.size(), 322u);
  EXPECT_EQ(Le32(b, 4), 0u);
  EXPECT_EQ(b[321], 0x1A);
}

TEST_F(DbfFileTest, PackDropsDeletedRecordsInOrder) {
  CreateAgencyTable(Table());
  Append(Table(), {"um", "dois", "tres", "quatro", "cinco"});
  Delete(Table(), {2, 4});
  EXPECT_EQ(Names(Table()), (std::vector<std::string>{"um", "*dois", "tres", "*quatro", "cinco"}));

  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfExclusiveOpen);
  ASSERT_TRUE(file.OpenTable());
  file.RewriteTable(nullptr, true);
  EXPECT_EQ(file.RecordCount(), 3);
  file.CloseTable();

  const Bytes b = ReadAll(Table());
  ASSERT_EQ(b.size(), 321u + 3 * 234 + 1);
  EXPECT_EQ(Le32(b, 4), 3u);
  EXPECT_EQ(b.back(), 0x1A);
  EXPECT_EQ(Names(Table()), (std::vector<std::string>{"um", "tres", "cinco"}));
  EXPECT_FALSE(std::filesystem::exists(Table("agencias_1.age")));
}

TEST_F(DbfFileTest, PackNeedsExclusiveAccessAndPicksAFreeTemporaryName) {
  CreateAgencyTable(Table());
  Append(Table(), {"um", "dois"});
  WriteAll(Table("agencias_1.age"), Bytes{'k', 'e', 'e', 'p'});
  {
    TDbfFile shared;
    shared.SetFileName(Table());
    shared.SetMode(TPagedFileMode::pfReadWriteOpen);
    ASSERT_TRUE(shared.OpenTable());
    try {
      shared.RewriteTable(nullptr, true);
      ADD_FAILURE();
    } catch (const EDbfError& e) {
      EXPECT_STREQ(e.what(), "Exclusive access is required for this operation.");
    }
  }
  std::vector<std::string> steps;
  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfExclusiveOpen);
  ASSERT_TRUE(file.OpenTable());
  file.SetRewriteProbe([&](const char* step) {
    steps.push_back(step);
    if (steps.size() == 1) {
      EXPECT_TRUE(std::filesystem::exists(Table("agencias_2.age")));
    }
  });
  file.RewriteTable(nullptr, true);  // nothing deleted: rewritten all the same
  file.CloseTable();
  EXPECT_EQ(steps, (std::vector<std::string>{"temp-written", "temp-flushed", "table-replaced",
                                             "replaced"}));
  EXPECT_EQ(ReadAll(Table("agencias_1.age")), (Bytes{'k', 'e', 'e', 'p'}));
  EXPECT_FALSE(std::filesystem::exists(Table("agencias_2.age")));
  EXPECT_EQ(Names(Table()), (std::vector<std::string>{"um", "dois"}));
}

TEST_F(DbfFileTest, RestructureKeepsValuesAndABackup) {
  CreateAgencyTable(Table());
  Append(Table(), {"Agencia de Empregos Sul"});
  TDbfFieldDefs defs;
  TDbfFieldDef& name = defs.Add();
  name.FieldName = "AGENCIA";
  name.Size = 10;
  TDbfFieldDef& count = defs.Add();
  count.FieldName = "VAGAS";
  count.NativeFieldType = 'N';
  count.Size = 5;
  TDbfFile file;
  file.SetFileName(Table());
  file.SetMode(TPagedFileMode::pfExclusiveOpen);
  ASSERT_TRUE(file.OpenTable());
  file.RewriteTable(&defs, false);
  ASSERT_EQ(file.FieldDefs().Count(), 2);
  EXPECT_EQ(file.RecordSize(), 16);
  Bytes record(16);
  ASSERT_TRUE(file.ReadRecord(1, record.data()));
  EXPECT_EQ(std::string(record.begin(), record.end()), " Agencia de     ");
  file.WriteFieldValue(1, int64_t{42}, record.data());
  EXPECT_EQ(std::string(record.begin() + 11, record.end()), "   42");
  EXPECT_EQ(std::get<int64_t>(file.ReadFieldValue(1, record.data())), 42);
  file.CloseTable();
  // The temporary table held the _1 name when the backup name was chosen.
  EXPECT_EQ(ReadAll(Table("agencias_2.age")).size(), 556u);
  EXPECT_FALSE(std::filesystem::exists(Table("agencias_1.age")));
}

// ---- Other levels and memo files ---------------------------------------------------------

TDbfFieldDefs Fields(std::initializer_list<std::tuple<const char*, char, int, int>> list) {
  TDbfFieldDefs defs;
  for (const auto& [name, type, size, precision] : list) {
    TDbfFieldDef& def = defs.Add();
    def.FieldName = name;
    def.NativeFieldType = type;
    def.Size = size;
    def.Precision = precision;
  }
  return defs;
}

TEST_F(DbfFileTest, BinaryFieldsOfLevel7AndFoxProKeepTheirByteOrder) {
  TDbfFile seven;
  seven.SetMode(TPagedFileMode::pfMemoryCreate);
  seven.SetTableLevel(7);
  seven.SetLanguageId(0x25);
  seven.CreateTableFile(
      Fields({{"CONTADOR", '+', 0, 0}, {"INTEIRO", 'I', 0, 0}, {"REAL", 'O', 0, 0}}));
  EXPECT_EQ(seven.HeaderSize(), 68 + 3 * 48 + 1);
  EXPECT_EQ(seven.Header()[0], 0x04);
  Bytes record(static_cast<size_t>(seven.RecordSize()));
  seven.FillDefaultRecord(record.data());
  EXPECT_EQ(record, (Bytes{' ', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  seven.WriteFieldValue(1, int64_t{5}, record.data());
  seven.WriteFieldValue(2, 1.0, record.data());
  EXPECT_EQ(Bytes(record.begin() + 5, record.begin() + 9), (Bytes{0x80, 0, 0, 5}));
  EXPECT_EQ(Bytes(record.begin() + 9, record.end()), (Bytes{0xBF, 0xF0, 0, 0, 0, 0, 0, 0}));
  seven.WriteFieldValue(2, -2.0, record.data());
  EXPECT_EQ(Bytes(record.begin() + 9, record.end()),
            (Bytes{0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(std::get<double>(seven.ReadFieldValue(2, record.data())), -2.0);
  EXPECT_EQ(seven.InsertRecord(record.data()), 1);
  EXPECT_EQ(seven.InsertRecord(record.data()), 2);
  EXPECT_EQ(std::get<int64_t>(seven.ReadFieldValue(0, record.data())), 2);  // auto-increment

  TDbfFile fox;
  fox.SetMode(TPagedFileMode::pfMemoryCreate);
  fox.SetTableLevel(25);
  fox.SetLanguageId(0x03);
  fox.CreateTableFile(Fields({{"NOME", 'C', 300, 0},
                              {"INTEIRO", 'I', 0, 0},
                              {"PRECO", 'Y', 0, 0},
                              {"QUANDO", 'T', 0, 0}}));
  EXPECT_EQ(fox.Header()[0], 0x30);
  EXPECT_EQ(fox.HeaderSize(), 32 + 4 * 32 + 1 + 263);
  EXPECT_EQ(fox.Header()[32 + 16], 0x2C);  // 300: low byte, then high byte
  EXPECT_EQ(fox.Header()[32 + 17], 0x01);
  EXPECT_EQ(fox.Header()[64 + 12], 0x2D);  // INTEIRO starts at record offset 301
  EXPECT_EQ(fox.Header()[64 + 13], 0x01);
  record.assign(static_cast<size_t>(fox.RecordSize()), 0);
  fox.FillDefaultRecord(record.data());
  fox.WriteFieldValue(1, int64_t{5}, record.data());
  fox.WriteFieldValue(2, 1.5, record.data());
  fox.WriteFieldValue(3, TDbfDateTime{{2026, 12, 9}, 1000}, record.data());
  EXPECT_EQ(Bytes(record.begin() + 301, record.begin() + 305), (Bytes{5, 0, 0, 0}));
  EXPECT_EQ(Bytes(record.begin() + 305, record.begin() + 313),
            (Bytes{0x98, 0x3A, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Bytes(record.begin() + 313, record.begin() + 321),
            (Bytes{0xC8, 0x8E, 0x25, 0x00, 0xE8, 0x03, 0, 0}));  // Julian day 2461384, 1000 ms
  EXPECT_EQ(std::get<TDbfDateTime>(fox.ReadFieldValue(3, record.data())),
            (TDbfDateTime{{2026, 12, 9}, 1000}));
}

TEST_F(DbfFileTest, MemoFieldsNeedTheMemoFileAndReadEmptyWithoutIt) {
  {
    TDbfFile file;
    file.SetFileName(Table("notas.age"));
    file.SetMode(TPagedFileMode::pfExclusiveCreate);
    file.SetLanguageId(0x25);
    file.CreateTableFile(Fields({{"NOME", 'C', 10, 0}, {"OBS", 'M', 0, 0}}));
    EXPECT_EQ(file.Header()[0], 0x8B);
    Bytes record(static_cast<size_t>(file.RecordSize()));
    file.FillDefaultRecord(record.data());
    file.WriteFieldValue(1, std::string("texto longo da agencia"), record.data());
    EXPECT_EQ(std::string(record.begin() + 11, record.end()), "         1");
    file.InsertRecord(record.data());
  }
  ASSERT_TRUE(std::filesystem::exists(Table("notas.dbt")));
  Bytes record(21);
  {
    TDbfFile file;
    file.SetFileName(Table("notas.age"));
    file.SetMode(TPagedFileMode::pfReadOnly);
    ASSERT_TRUE(file.OpenTable());
    ASSERT_TRUE(file.ReadRecord(1, record.data()));
    EXPECT_EQ(std::get<std::string>(file.ReadFieldValue(1, record.data())),
              "texto longo da agencia");
  }
  std::filesystem::remove(Table("notas.dbt"));
  TDbfFile file;
  file.SetFileName(Table("notas.age"));
  file.SetMode(TPagedFileMode::pfReadWriteOpen);
  ASSERT_TRUE(file.OpenTable());
  EXPECT_TRUE(std::holds_alternative<std::monostate>(file.ReadFieldValue(1, record.data())));
}

}  // namespace
TEST_F(DbfFileTest, HeaderWritesAtOpenFollowTheLevel) {
  // A FoxPro header is left alone by an open unless its record count was wrong.
  {
    TDbfFile fox;
    fox.SetFileName(Table("fox.dbf"));
    fox.SetMode(TPagedFileMode::pfExclusiveCreate);
    fox.SetTableLevel(25);
    fox.SetLanguageId(0x03);
    fox.CreateTableFile(Fields({{"NOME", 'C', 10, 0}}));
    fox.CloseTable();
  }
  Bytes b = ReadAll(Table("fox.dbf"));
  b[1] = 1;  // an old date, 1901-01-01
  b[2] = 1;
  b[3] = 1;
  b.pop_back();  // and no end mark
  WriteAll(Table("fox.dbf"), b);
  auto reopen = [&] {
    TDbfFile file;
    file.SetFileName(Table("fox.dbf"));
    file.SetMode(TPagedFileMode::pfReadWriteOpen);
    ASSERT_TRUE(file.OpenTable());
    file.CloseTable();
  };
  reopen();
  EXPECT_EQ(ReadAll(Table("fox.dbf")), b);

  b[4] = 5;  // claims 5 records
  WriteAll(Table("fox.dbf"), b);
  reopen();
  const Bytes fixed = ReadAll(Table("fox.dbf"));
  ASSERT_EQ(fixed.size(), b.size() + 1);
  EXPECT_EQ(Le32(fixed, 4), 0u);
  EXPECT_NE(fixed[1], 1);
  EXPECT_EQ(fixed.back(), 0x1A);

  // A level 7 header names the driver of its language id.
  for (const auto& [id, driver] : {std::pair<uint8_t, std::string>{0x25, "DB850PT0"},
                                   {0x57, "DBWINUS0"},
                                   {0x58, "DBWINWE0"}}) {
    TDbfFile seven;
    seven.SetMode(TPagedFileMode::pfMemoryCreate);
    seven.SetTableLevel(7);
    seven.SetLanguageId(id);
    seven.CreateTableFile(Fields({{"NOME", 'C', 10, 0}}));
    const uint8_t* at = seven.Header() + 32;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(at)), driver);
  }
}

}  // namespace vorelia::dbf

#include "dbf/dbf_dataset.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/data_error.h"
#include "dbf/agency_schema.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "dbf/index_factory.h"
#include "support/temp_dir.h"

namespace vorelia::dbf {
namespace {

namespace fs = std::filesystem;
using data::TDataSetState;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

template <typename Action>
std::string ErrorOf(Action&& action) {
  try {
    action();
  } catch (const EVoreliaError& e) {
    return e.what();
  }
  return "(no error)";
}

class DbfDataSetTest : public test::TempDirTest {
 protected:
  fs::path TablePath() const { return m_dir / "agencias.age"; }

  // Points a dataset at agencias.age; with `create`, makes the agency table the way a new
  // database is made.
  void Prepare(TDbfDataSet& ds, bool create = false, uint8_t languageId = 0x25) {
    ds.SetFilePath(m_dir.string());
    ds.SetTableName("agencias.age");
    if (!create) return;
    ds.FieldDefs().Clear();
    for (const TAgencyField& field : kAgencyFields)
      ds.FieldDefs().Add(field.name, data::TFieldType::String, field.width);
    ds.SetLanguageId(languageId);
    ds.CreateTable();
  }

  void AppendAgencies(TDbfDataSet& ds, const std::vector<std::string>& names) {
    for (const std::string& name : names) {
      ds.Append();
      ds.FieldByName("AGENCIA").SetAsString(name);
      ds.FieldByName("UF").SetAsString("SP");
      ds.Post();
    }
  }

  std::vector<std::string> VisibleNames(TDbfDataSet& ds) {
    std::vector<std::string> names;
    for (ds.First(); !ds.Eof(); ds.Next()) names.push_back(ds.FieldByName("AGENCIA").AsString());
    return names;
  }

  std::string Name(TDbfDataSet& ds) { return ds.FieldByName("AGENCIA").AsString(); }
};

TEST_F(DbfDataSetTest, AgencyTableSizesThroughCreateAppendAndReopen) {
  TDbfDataSet ds;
  Prepare(ds, true);
  EXPECT_EQ(fs::file_size(TablePath()), 322u);
  ds.Open();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_EQ(ds.RecordCount(), 0);
  EXPECT_EQ(ds.FieldCount(), 9);
  EXPECT_EQ(ds.TableLevel(), 4);
  EXPECT_EQ(ds.LanguageId(), 0x25);
  EXPECT_EQ(fs::file_size(TablePath()), 322u);

  AppendAgencies(ds, {"Agência Central"});
  EXPECT_EQ(fs::file_size(TablePath()), 555u);
  EXPECT_EQ(ds.RecordCount(), 1);
  EXPECT_EQ(ds.RecNo(), 1);
  EXPECT_EQ(ds.State(), TDataSetState::Browse);
  ds.Close();
  EXPECT_EQ(fs::file_size(TablePath()), 555u);

  ds.Open();
  EXPECT_EQ(fs::file_size(TablePath()), 556u);
  EXPECT_EQ(Name(ds), "Agência Central");
  EXPECT_EQ(ds.FieldByName("UF").AsString(), "SP");
  EXPECT_TRUE(ds.FieldByName("SITE").IsNull());
}

TEST_F(DbfDataSetTest, TextIsTranslatedToTheTableCodePage) {
  TDbfDataSet ds;
  Prepare(ds, true, 0x25);  // code page 850
  ds.Open();
  EXPECT_EQ(ds.TranslationMode(), TDbfTranslationMode::tmSimple);
  AppendAgencies(ds, {"S\xE3o Jo\xE3o"});  // "São João" in code page 1252
  ds.Close();
  const std::string bytes = ReadAll(TablePath());
  // 'ã' is 0xE3 in code page 1252 and 0xC6 in code page 850.
  EXPECT_EQ(bytes.substr(321, 10), " S\xC6o Jo\xC6o ");
  ds.Open();
  EXPECT_EQ(Name(ds), "S\xE3o Jo\xE3o");
  ds.Close();

  TDbfDataSet ansi;
  fs::remove(TablePath());
  Prepare(ansi, true, 0x57);  // code page 1252: stored unchanged
  ansi.Open();
  EXPECT_EQ(ansi.TranslationMode(), TDbfTranslationMode::tmNoneNeeded);
  AppendAgencies(ansi, {"S\xE3o"});
  ansi.Close();
  EXPECT_EQ(ReadAll(TablePath()).substr(321, 5), " S\xE3o ");
}

TEST_F(DbfDataSetTest, OtherCodePagesAndTheTranslateHandler) {
  TDbfDataSet ds;
  Prepare(ds, true, 0x1F);  // code page 852
  ds.Open();
  EXPECT_EQ(ds.TranslationMode(), TDbfTranslationMode::tmAdvanced);
  AppendAgencies(ds, {"Caf\xE9"});  // 'é': 0xE9 in code page 1252, 0x82 in code page 852
  ds.Close();
  EXPECT_EQ(ReadAll(TablePath()).substr(321, 6), " Caf\x82 ");
  ds.Open();
  EXPECT_EQ(Name(ds), "Caf\xE9");

  // A handler replaces the translation; its length result cuts the converted text.
  ds.OnTranslate = [](TDbfDataSet&, const std::string& source, std::string& dest, bool toTable) {
    dest = toTable ? "<" + source + ">" : "[" + source + "]";
    return toTable ? -1 : 4;
  };
  ds.Edit();
  ds.FieldByName("AGENCIA").SetAsString("abc");
  ds.Post();
  EXPECT_EQ(Name(ds), "[<ab");
  ds.Close();
  EXPECT_EQ(ReadAll(TablePath()).substr(321, 7), " <abc> ");
}

TEST_F(DbfDataSetTest, UnknownCodePageMakesTheTableReadOnlyUnlessTheHandlerDecides) {
  {
    TDbfDataSet maker;
    Prepare(maker, true, 0x69);  // code page 620: no conversion available
  }
  TDbfDataSet ds;
  Prepare(ds);
  ds.Open();
  EXPECT_EQ(ds.TranslationMode(), TDbfTranslationMode::tmNoneAvailable);
  EXPECT_FALSE(ds.CanModify());
  EXPECT_EQ(ErrorOf([&] { ds.Append(); }), "Cannot modify a read-only dataset");
  ds.Close();

  TDbfLanguageAction seen = TDbfLanguageAction::laDefault;
  ds.OnLanguageWarning = [&](TDbfDataSet&, TDbfLanguageAction& action) {
    seen = action;
    action = TDbfLanguageAction::laForceANSI;
  };
  ds.Open();
  EXPECT_EQ(seen, TDbfLanguageAction::laReadOnly);  // the preset
  EXPECT_EQ(ds.TranslationMode(), TDbfTranslationMode::tmNoneNeeded);
  EXPECT_TRUE(ds.CanModify());
}

TEST_F(DbfDataSetTest, AllDeletedTableIsEmptyWhileRecordCountCountsThem) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  AppendAgencies(ds, {"A", "B", "C"});
  ds.First();
  while (!ds.IsEmpty()) ds.Delete();
  EXPECT_EQ(ds.RecordCount(), 3);
  ds.Close();
  ds.Open();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_TRUE(ds.Bof() && ds.Eof());
  EXPECT_EQ(ds.RecordCount(), 3);

  ds.SetShowDeleted(true);
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_TRUE(ds.IsDeleted());
}

TEST_F(DbfDataSetTest, FilterThatAcceptsNothingEmptiesTheViewNotTheCount) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  AppendAgencies(ds, {"Alfa", "Beta", "Gama", "Delta"});
  ds.OnFilterRecord = [](data::TDataSet& set, bool& accept) {
    accept = set.FieldByName("AGENCIA").AsString().find('l') != std::string::npos;
  };
  ds.SetFiltered(true);
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"Alfa", "Delta"}));
  ds.Last();
  ds.Prior();
  EXPECT_EQ(Name(ds), "Alfa");  // Beta and Gama are skipped backwards too

  ds.OnFilterRecord = [](data::TDataSet&, bool& accept) { accept = false; };
  ds.Refresh();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_EQ(ds.RecordCount(), 4);
}

TEST_F(DbfDataSetTest, FilterExpressionSelectsAndABrokenOneIsDroppedAtOpen) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  AppendAgencies(ds, {"Alfa", "Beta"});
  ds.Close();

  ds.SetFilter("AGENCIA = 'Beta'");
  ds.SetFiltered(true);
  ds.Open();
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"Beta"}));
  ds.Close();

  ds.SetFilter("AGENCIA = ");
  ds.Open();
  EXPECT_TRUE(ds.Filter().empty());
  EXPECT_EQ(VisibleNames(ds).size(), 2u);
}

TEST_F(DbfDataSetTest, EditLocksTheRecordUntilPostOrCancel) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  AppendAgencies(ds, {"Alfa", "Beta"});
  TDbfDataSet other;
  Prepare(other);
  other.Open();

  ds.First();
  ds.Edit();
  EXPECT_EQ(ErrorOf([&] { other.Edit(); }), "Record locked.");
  EXPECT_EQ(other.State(), TDataSetState::Browse);
  EXPECT_EQ(ErrorOf([&] { other.Delete(); }), "Record locked.");
  ds.Cancel();
  ds.Edit();  // Cancel released the lock
  ds.Cancel();

  other.Edit();
  other.FieldByName("AGENCIA").SetAsString("Alfa Nova");
  other.Post();
  ds.Edit();  // the copy read under the lock is the fresh one
  EXPECT_EQ(Name(ds), "Alfa Nova");
  ds.FieldByName("CEP").SetAsString("01000-000");
  ds.Post();
  other.Refresh();
  EXPECT_EQ(other.FieldByName("CEP").AsString(), "01000-000");
}

TEST_F(DbfDataSetTest, DeleteOfTheLastAndOfTheOnlyRecord) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  AppendAgencies(ds, {"A", "B", "C"});
  ds.Last();
  ds.Delete();
  EXPECT_EQ(Name(ds), "B");
  ds.First();
  ds.Delete();
  EXPECT_EQ(Name(ds), "B");
  ds.Delete();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_EQ(ErrorOf([&] { ds.Delete(); }), "Cannot perform this operation on an empty dataset");
  const std::string bytes = ReadAll(TablePath());
  ASSERT_EQ(bytes.size(), 321u + 3 * 234);
  EXPECT_EQ(bytes[321], '*');
  EXPECT_EQ(bytes[321 + 234], '*');
  EXPECT_EQ(bytes[321 + 468], '*');
}

TEST_F(DbfDataSetTest, StringsAreCutToTheFieldSize) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  ds.Append();
  const std::string forty = "agencia.exemplo@provedor-exemplo.com.br";  // 39
  ds.FieldByName("EMAIL").SetAsString(forty + "X");
  ds.FieldByName("UF").SetAsString("PR ");
  ds.Post();
  EXPECT_EQ(ds.FieldByName("EMAIL").AsString(), "agencia.exemplo@provedor-exemplo.co");
  EXPECT_EQ(ds.FieldByName("UF").AsString(), "PR");
  ds.Close();
  // EMAIL lies at offset 164 of the record, SITE follows at 199.
  const std::string bytes = ReadAll(TablePath());
  EXPECT_EQ(bytes.substr(321 + 164, 36), "agencia.exemplo@provedor-exemplo.co ");
}

TEST_F(DbfDataSetTest, TableLevelAcceptsOnlyKnownLevelsWhileClosed) {
  TDbfDataSet ds;
  EXPECT_EQ(ds.TableLevel(), 4);
  ds.SetTableLevel(5);
  EXPECT_EQ(ds.TableLevel(), 4);
  ds.SetTableLevel(3);
  EXPECT_EQ(ds.TableLevel(), 3);
  ds.SetTableLevel(25);
  EXPECT_EQ(ds.TableLevel(), 25);
  ds.SetTableLevel(4);
  Prepare(ds, true);
  ds.Open();
  EXPECT_EQ(ErrorOf([&] { ds.SetTableLevel(3); }),
            "Cannot perform this operation on an open dataset");
  EXPECT_EQ(ErrorOf([&] { ds.SetFilePath("/tmp"); }),
            "Cannot perform this operation on an open dataset");
  EXPECT_EQ(ErrorOf([&] { ds.CreateTable(); }),
            "Cannot perform this operation on an open dataset");
  ds.Close();
  EXPECT_EQ(ErrorOf([&] { ds.ClearTable(); }),
            "Cannot perform this operation on a closed dataset");
}

TEST_F(DbfDataSetTest, UnknownIndexNameFallsBackToPhysicalOrderSilently) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.SetIndexName("AGENCIA");
  ds.Open();  // the tag does not exist (no index file)
  EXPECT_EQ(ds.IndexName(), "");
  AppendAgencies(ds, {"C", "A", "B"});
  ds.First();
  ds.Next();
  ds.SetIndexName("  AGENCIA  ");
  EXPECT_EQ(ds.IndexName(), "");
  EXPECT_EQ(Name(ds), "A");
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"C", "A", "B"}));
}

TEST_F(DbfDataSetTest, PersistentFieldsBindByName) {
  TDbfDataSet ds;
  Prepare(ds, true);
  std::vector<data::TStringField*> fields;
  for (const TAgencyField& field : kAgencyFields)
    fields.push_back(&ds.AddField<data::TStringField>(field.name, field.width));
  ds.Open();
  AppendAgencies(ds, {"Alfa"});
  EXPECT_EQ(fields[0]->AsString(), "Alfa");
  EXPECT_EQ(fields[3]->AsString(), "SP");
  ds.Close();

  ds.AddField<data::TStringField>("FAX", 10);
  EXPECT_EQ(ErrorOf([&] { ds.Open(); }), "Field 'FAX' not found");
  EXPECT_FALSE(ds.Active());
  EXPECT_EQ(ds.DbfFile(), nullptr);
}

TEST_F(DbfDataSetTest, OpenFailuresLeaveTheDatasetInactive) {
  TDbfDataSet ds;
  Prepare(ds);
  EXPECT_THROW(ds.Open(), EVoreliaError);  // no such file
  EXPECT_FALSE(ds.Active());

  // A cut header holds no table: a silent cancellation.
  std::ofstream(TablePath(), std::ios::binary) << std::string("\x03\x7A\x0C\x09\x01", 5);
  EXPECT_THROW(ds.Open(), EAbort);
  EXPECT_FALSE(ds.Active());
  EXPECT_EQ(fs::file_size(TablePath()), 5u);

  std::string header(64, '\0');
  header[0] = 0x07;  // no known version
  header[8] = 65;
  header[10] = 2;
  std::ofstream(TablePath(), std::ios::binary | std::ios::trunc) << header;
  EXPECT_EQ(ErrorOf([&] { ds.Open(); }), "Invalid DBF file.");
  EXPECT_FALSE(ds.Active());
  EXPECT_EQ(ReadAll(TablePath()), header);
}

TEST_F(DbfDataSetTest, AutoCreateAsksFirst) {
  TDbfDataSet ds;
  Prepare(ds);
  for (const TAgencyField& field : kAgencyFields)
    ds.FieldDefs().Add(field.name, data::TFieldType::String, field.width);
  ds.OpenMode = TDbfOpenMode::omAutoCreate;
  ds.BeforeAutoCreate = [](TDbfDataSet&, bool& allow) { allow = false; };
  EXPECT_THROW(ds.Open(), EAbort);
  EXPECT_FALSE(ds.Active());
  EXPECT_FALSE(fs::exists(TablePath()));

  ds.BeforeAutoCreate = nullptr;
  ds.Open();
  EXPECT_TRUE(ds.Active());
  EXPECT_EQ(fs::file_size(TablePath()), 322u);
}

TEST_F(DbfDataSetTest, CreateTableRemovesOnlyAFileItCreated) {
  TDbfDataSet ds;
  Prepare(ds);
  ds.FieldDefs().Add("AGENCIA", data::TFieldType::String, 25);
  ds.IndexDefs().push_back({"AGENCIA", "AGENCIA +", 0, false});
  // The index cannot be built from that expression: nothing half-made remains.
  InstallIndexEngine();
  EXPECT_THROW(ds.CreateTable(), EVoreliaError);
  EXPECT_FALSE(fs::exists(TablePath()));
  ds.IndexDefs().clear();

  ds.FieldDefs().Add("PRECO", data::TFieldType::BCD, 10);
  EXPECT_EQ(ErrorOf([&] { ds.CreateTable(); }),
            "Cannot create field \"PRECO\", field type a not supported by DBF.");
  EXPECT_FALSE(fs::exists(TablePath()));

  // A table in use elsewhere cannot be recreated, and it must survive the attempt.
  TDbfDataSet user;
  Prepare(user, true);
  user.Open();
  AppendAgencies(user, {"Alfa"});
  ds.FieldDefs().Clear();
  ds.FieldDefs().Add("X", data::TFieldType::String, 5);
  EXPECT_THROW(ds.CreateTable(), EVoreliaError);
  EXPECT_EQ(fs::file_size(TablePath()), 555u);
  user.Refresh();
  EXPECT_EQ(Name(user), "Alfa");
}

TEST_F(DbfDataSetTest, RebuildPacksAndClearEmpties) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  AppendAgencies(ds, {"A", "B", "C", "D", "E"});
  ds.First();
  ds.Next();
  ds.Delete();  // B
  ds.Next();
  ds.Delete();  // D
  EXPECT_EQ(ErrorOf([&] { ds.RebuildTable(nullptr, true); }),
            "Cannot perform this operation on an open dataset");
  ds.Close();
  ds.RebuildTable(ds.NativeFieldDefs(), true);  // none while closed: a plain pack
  ds.Open();
  EXPECT_EQ(ds.RecordCount(), 3);
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"A", "C", "E"}));
  EXPECT_EQ(fs::file_size(TablePath()), 321u + 3 * 234 + 1);

  ds.ClearTable();
  EXPECT_TRUE(ds.IsEmpty());
  EXPECT_EQ(ds.RecordCount(), 0);
  ds.Close();
  EXPECT_EQ(fs::file_size(TablePath()), 322u);

  TDbfFieldDefs defs = AgencyFieldDefs();
  defs[2].NativeFieldType = 'I';
  EXPECT_EQ(ErrorOf([&] { ds.RebuildTable(&defs, false); }),
            "Invalid field type 'I' for field 'MUNICIPIO'.");
}

TEST_F(DbfDataSetTest, RecordsAppendedElsewhereAppearAndLocateFindsThem) {
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  AppendAgencies(ds, {"Alfa"});
  TDbfDataSet other;
  Prepare(other);
  other.Open();
  AppendAgencies(other, {"Beta", "Gama"});

  EXPECT_EQ(ds.RecordCount(), 3);
  ds.Last();
  EXPECT_EQ(Name(ds), "Gama");
  EXPECT_TRUE(ds.Locate("AGENCIA", {std::string("beta")}, {.CaseInsensitive = true}));
  EXPECT_EQ(ds.RecNo(), 2);
  EXPECT_FALSE(ds.Locate("UF", {std::string("RJ")}));
  EXPECT_EQ(ds.RecNo(), 2);

  data::TBookmark mark = ds.GetBookmark();
  ds.First();
  ds.GotoBookmark(mark);
  EXPECT_EQ(Name(ds), "Beta");
  ds.GotoBookmark(data::TBookmark(0));
  EXPECT_EQ(Name(ds), "Alfa");
  ds.GotoBookmark(data::TBookmark(INT32_MAX));
  EXPECT_EQ(Name(ds), "Gama");
}

TEST_F(DbfDataSetTest, IndexOrderAndBackToPhysicalOrderKeepTheCurrentRecord) {
  InstallIndexEngine();
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  AppendAgencies(ds, {"Gama", "Alfa", "Delta", "Beta"});
  ds.AddIndexTag("AGENCIA", "AGENCIA", 0);
  EXPECT_EQ(ds.IndexName(), "");  // created, not selected
  ASSERT_EQ(ds.IndexDefs().size(), 1u);
  EXPECT_EQ(ds.IndexDefs()[0].IndexFile, "AGENCIA");
  EXPECT_EQ(ds.IndexDefs()[0].Options, ixExpression);

  ds.SetIndexName("agencia");
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"Alfa", "Beta", "Delta", "Gama"}));
  EXPECT_EQ(ds.RecordCount(), 4);
  ASSERT_TRUE(ds.Locate("AGENCIA", {std::string("Delta")}));
  EXPECT_EQ(ds.PhysicalRecNo(), 3);
  ds.SetIndexName("");
  EXPECT_EQ(Name(ds), "Delta");
  EXPECT_EQ(ds.RecNo(), 3);
  ds.Next();
  EXPECT_EQ(Name(ds), "Beta");

  // A stale name after the index file was deleted opens in physical order.
  ds.SetIndexName("AGENCIA");
  ds.Close();
  EXPECT_TRUE(ds.IndexDefs().empty());  // the automatic entry went with the close
  fs::remove(m_dir / "agencias.mdx");
  ds.Open();
  EXPECT_EQ(ds.IndexName(), "");
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"Gama", "Alfa", "Delta", "Beta"}));

  ds.AddIndexTag("AGENCIA", "AGENCIA", ixDescending);
  ds.SetIndexName("AGENCIA");
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"Gama", "Delta", "Beta", "Alfa"}));
  AppendAgencies(ds, {"Epsilon"});
  EXPECT_EQ(Name(ds), "Epsilon");
  ds.Prior();
  EXPECT_EQ(Name(ds), "Gama");
  ds.Last();
  ds.Delete();
  EXPECT_EQ(Name(ds), "Beta");
  EXPECT_EQ(VisibleNames(ds), (std::vector<std::string>{"Gama", "Epsilon", "Delta", "Beta"}));
}

TEST_F(DbfDataSetTest, MissingProductionIndexIsForgottenUnlessTheHandlerKeepsIt) {
  InstallIndexEngine();
  TDbfDataSet ds;
  Prepare(ds, true);
  ds.Open();
  ds.AddIndexTag("AGENCIA", "AGENCIA", 0);
  ds.Close();
  EXPECT_EQ(ReadAll(TablePath())[28], 1);
  fs::remove(m_dir / "agencias.mdx");

  bool asked = false;
  ds.OnIndexMissing = [&](TDbfDataSet&, bool& deleteLink) {
    asked = true;
    deleteLink = false;
  };
  EXPECT_THROW(ds.Open(), EAbort);  // abandoned without a message
  EXPECT_TRUE(asked);
  EXPECT_FALSE(ds.Active());
  EXPECT_EQ(ReadAll(TablePath())[28], 1);

  ds.OnIndexMissing = nullptr;
  ds.Open();
  EXPECT_TRUE(ds.Active());
  EXPECT_EQ(ReadAll(TablePath())[28], 0);
}

}  // namespace
}  // namespace vorelia::dbf

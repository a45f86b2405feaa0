// The table verbs of vorelia-cli: list, create, add, import, show, delete, clear, pack, sort,
// check. Each works through the table dataset and the agency schema, as the program's windows do.

#include "cli/tables_verbs.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>

#include "cli/cli.h"
#include "data/field.h"
#include "databases/agency_database.h"
#include "dbf/agency_schema.h"
#include "dbf/byte_order.h"
#include "dbf/dbf_dataset.h"
#include "dbf/dbf_errors.h"
#include "dbf/dbf_file.h"
#include "dbf/index_check.h"
#include "dbf/index_factory.h"
#include "dbf/index_file.h"
#include "platform/code_page.h"
#include "platform/file_access.h"
#include "records/agency_filter.h"
#include "records/agency_order.h"

namespace vorelia::cli {
namespace {

namespace fs = std::filesystem;
using dbf::TDbfDataSet;

// A failure the user caused that is not a usage error: message on stderr, exit 2.
struct VerbError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void NeedArgs(const Context& ctx, size_t count) {
  if (ctx.args.size() < count) throw UsageError{"missing arguments"};
}

std::string Ansi(const std::string& utf8) { return platform::Utf8ToAnsi(utf8); }

// The engine only ever sees ANSI names; file names on disk are those bytes.
std::string DatabaseName(const Context& ctx) { return Ansi(ctx.args.at(0)); }

class Table {
 public:
  Table() {
    dbf::InstallIndexEngine();
    databases::AddAgencyFields(m_table);
  }
  TDbfDataSet& operator*() { return m_table; }
  TDbfDataSet* operator->() { return &m_table; }

 private:
  TDbfDataSet m_table;
};

void OpenExisting(Table& table, const Context& ctx) {
  databases::OpenAgencyTable(*table, ctx.dados, DatabaseName(ctx));
}

const dbf::TAgencyField* AgencyField(const std::string& name) {
  for (const dbf::TAgencyField& field : dbf::kAgencyFields) {
    if (platform::AnsiUpper(name) == field.name) return &field;
  }
  return nullptr;
}

std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Splits UTF-8 CSV text into rows of fields: quoted fields may hold commas, doubled quotes and
// line breaks; rows end with LF or CR LF.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  bool any = false;
  size_t i = 0;
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;  // a byte-order mark is not data
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
      continue;
    }
    if (c == '"' && field.empty()) {
      quoted = any = true;
    } else if (c == ',') {
      row.push_back(std::move(field));
      field.clear();
      any = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (any || !field.empty()) {
        row.push_back(std::move(field));
        rows.push_back(std::move(row));
      }
      row.clear();
      field.clear();
      any = false;
    } else {
      field += c;
      any = true;
    }
  }
  if (quoted) throw VerbError("The CSV file ends inside a quoted value.");
  if (any || !field.empty()) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

void SyncFile(const fs::path& path) {
  platform::FileAccess file =
      platform::FileAccess::Open(path, false, platform::FileShare::kDenyNone, false);
  if (!file.Sync()) throw dbf::EDbfWriteError(dbf::kMsgWriteError);
}

// ---- verbs ---------------------------------------------------------------------------------

int List(Context& ctx) {
  for (const std::string& name : databases::ListDatabases(ctx.dados)) {
    ctx.out << platform::AnsiToUtf8(name) << "\n";
  }
  return 0;
}

int Create(Context& ctx) {
  NeedArgs(ctx, 1);
  if (databases::DatabaseExists(ctx.dados, DatabaseName(ctx))) {
    ctx.err << "Imposs\xC3\xADvel Criar Banco de Dados, pois ele j\xC3\xA1 existe !\n";
    return 2;
  }
  Table table;
  databases::CreateAgencyTable(*table, ctx.dados, DatabaseName(ctx));
  return 0;
}

int Add(Context& ctx) {
  NeedArgs(ctx, 2);
  std::vector<std::pair<const dbf::TAgencyField*, std::string>> values;
  for (size_t i = 1; i < ctx.args.size(); ++i) {
    const std::string& arg = ctx.args[i];
    const size_t eq = arg.find('=');
    const dbf::TAgencyField* field =
        eq == std::string::npos ? nullptr : AgencyField(arg.substr(0, eq));
    if (field == nullptr) throw UsageError{"not FIELD=VALUE with one of the nine fields: " + arg};
    values.emplace_back(field, Ansi(arg.substr(eq + 1)));
  }
  Table table;
  OpenExisting(table, ctx);
  table->Append();
  for (const auto& [field, value] : values) table->FieldByName(field->name).SetAsString(value);
  table->Post();
  return 0;
}

int Import(Context& ctx) {
  NeedArgs(ctx, 2);
  std::ifstream in(ctx.args[1], std::ios::binary);
  if (!in) throw VerbError("Cannot read \"" + ctx.args[1] + "\".");
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  const auto rows = ParseCsv(text);
  if (rows.empty()) throw VerbError("The CSV file has no header line.");
  std::vector<const dbf::TAgencyField*> columns;
  for (const std::string& name : rows[0]) {
    const dbf::TAgencyField* field = AgencyField(name);
    if (field == nullptr) throw VerbError("Unknown field in the CSV header: \"" + name + "\".");
    columns.push_back(field);
  }
  for (size_t r = 1; r < rows.size(); ++r) {
    if (rows[r].size() != columns.size()) {
      throw VerbError("CSV row " + std::to_string(r + 1) + " has " +
                      std::to_string(rows[r].size()) + " values for " +
                      std::to_string(columns.size()) + " fields.");
    }
  }

  // The rows go into a copy that replaces the table only when all of them are in, so a failure
  // part-way leaves the database as it was. The original stays open exclusively meanwhile, so no
  // other process appends to a file about to be replaced.
  const std::string name = DatabaseName(ctx);
  const fs::path tablePath = dbf::AgencyTablePath(ctx.dados, name);
  dbf::TDbfFile guard;
  guard.SetFileName(tablePath);
  guard.SetMode(dbf::TPagedFileMode::pfExclusiveOpen);
  if (!guard.OpenTable()) throw VerbError(dbf::kMsgInvalidDbfFile);
  std::string tempName;
  for (int k = 1;; ++k) {
    tempName = name + "_" + std::to_string(k);
    if (!platform::FileExists(dbf::AgencyTablePath(ctx.dados, tempName))) break;
  }
  const fs::path tempTable = dbf::AgencyTablePath(ctx.dados, tempName);
  const fs::path tempIndex = dbf::AgencyIndexPath(ctx.dados, tempName);
  const fs::path index = dbf::AgencyIndexPath(ctx.dados, name);
  const bool hasIndex = platform::FileExists(index);
  try {
    fs::copy_file(tablePath, tempTable);
    if (hasIndex) fs::copy_file(index, tempIndex);
    {
      Table table;
      databases::OpenAgencyTable(*table, ctx.dados, tempName);
      for (size_t r = 1; r < rows.size(); ++r) {
        table->Append();
        for (size_t c = 0; c < columns.size(); ++c) {
          table->FieldByName(columns[c]->name).SetAsString(Ansi(rows[r][c]));
        }
        table->Post();
      }
    }
    SyncFile(tempTable);
    if (hasIndex) SyncFile(tempIndex);
  } catch (...) {
    std::error_code ignored;
    fs::remove(tempTable, ignored);
    fs::remove(tempIndex, ignored);
    throw;
  }
  guard.CloseTable();
  if (!platform::ReplaceFile(tempTable, tablePath) ||
      (hasIndex && !platform::ReplaceFile(tempIndex, index))) {
    throw dbf::EDbfWriteError(dbf::kMsgWriteError);
  }
  platform::SyncFolder(ctx.dados);
  return 0;
}

int Show(Context& ctx) {
  NeedArgs(ctx, 1);
  const TableView view = ParseTableView(ctx.args, 1);
  Table table;
  table->SetShowDeleted(view.deleted);
  OpenExisting(table, ctx);
  ApplyTableView(*table, view);
  for (size_t i = 0; i < dbf::kAgencyFields.size(); ++i) {
    ctx.out << (i ? "\t" : "") << dbf::kAgencyFields[i].name;
  }
  ctx.out << "\n";
  for (table->First(); !table->Eof(); table->Next()) {
    for (size_t i = 0; i < dbf::kAgencyFields.size(); ++i) {
      const std::string value = table->FieldByName(dbf::kAgencyFields[i].name).AsString();
      ctx.out << (i ? "\t" : "") << Escape(platform::AnsiToUtf8(value));
    }
    ctx.out << "\n";
  }
  return 0;
}

void Pack(TDbfDataSet& table) {
  table.Close();
  table.RebuildTable(nullptr, true);
}

int Delete(Context& ctx) {
  NeedArgs(ctx, 2);
  char* end = nullptr;
  const long recNo = std::strtol(ctx.args[1].c_str(), &end, 10);
  if (end == nullptr || *end != 0 || recNo < 1) throw UsageError{"RECNO must be a record number"};
  Table table;
  OpenExisting(table, ctx);
  bool found = false;
  for (table->First(); !table->Eof(); table->Next()) {
    if (table->PhysicalRecNo() == recNo) {
      found = true;
      break;
    }
  }
  if (!found) throw VerbError("Record " + std::to_string(recNo) + " not found.");
  table->Delete();
  Pack(*table);
  return 0;
}

int Clear(Context& ctx) {
  NeedArgs(ctx, 1);
  Table table;
  OpenExisting(table, ctx);
  table->ClearTable();
  Pack(*table);
  return 0;
}

int PackVerb(Context& ctx) {
  NeedArgs(ctx, 1);
  Table table;
  databases::PointAtDatabase(*table, ctx.dados, DatabaseName(ctx));
  Pack(*table);
  return 0;
}

int Sort(Context& ctx) {
  if (ctx.args.size() != 2) throw UsageError{"sort takes NAME asc|desc"};
  const std::string& direction = ctx.args[1];
  if (direction != "asc" && direction != "desc") throw UsageError{"sort takes asc or desc"};
  Table table;
  OpenExisting(table, ctx);
  records::SortByAgencyName(*table, direction == "desc");
  return 0;
}

// Reports what is wrong with the table file itself; the index has checks of its own.
int Check(Context& ctx) {
  NeedArgs(ctx, 1);
  const fs::path path = dbf::AgencyTablePath(ctx.dados, DatabaseName(ctx));
  std::ifstream in(path, std::ios::binary);
  uint8_t stored[32] = {};
  in.read(reinterpret_cast<char*>(stored), sizeof(stored));
  in.close();

  dbf::InstallIndexEngine();
  dbf::TDbfFile file;
  file.SetFileName(path);
  file.SetMode(dbf::TPagedFileMode::pfReadOnly);
  if (!file.OpenTable()) throw VerbError(dbf::kMsgInvalidDbfFile);
  std::vector<std::string> problems;
  const int32_t count = file.RecordCount();
  if (dbf::GetLe32(stored + 4) != static_cast<uint32_t>(count)) {
    problems.push_back("header record count " + std::to_string(dbf::GetLe32(stored + 4)) +
                       " differs from the " + std::to_string(count) + " records in the file");
  }
  const int64_t rest =
      file.FileLength() - file.HeaderSize() - static_cast<int64_t>(count) * file.RecordSize();
  if (rest > 1)
    problems.push_back("a partial record of " + std::to_string(rest) + " bytes at the end");
  if (rest == 1) {
    uint8_t mark = 0;
    file.ReadBytes(static_cast<uint64_t>(file.FileLength() - 1), &mark, 1);
    if (mark != dbf::kEndOfFile) problems.push_back("a stray byte after the last record");
  }
  const dbf::TDbfFieldDefs& defs = file.FieldDefs();
  for (const dbf::TAgencyField& field : dbf::kAgencyFields) {
    const int i = defs.IndexOf(field.name);
    if (i < 0) {
      problems.push_back(std::string("field ") + field.name + " is missing");
    } else if (defs[i].NativeFieldType != 'C' || defs[i].Size != field.width) {
      problems.push_back(std::string("field ") + field.name + " is not text of " +
                         std::to_string(field.width) + " characters");
    }
  }
  std::vector<uint8_t> record(static_cast<size_t>(file.RecordSize()));
  for (int32_t n = 1; n <= count; ++n) {
    file.ReadRecord(n, record.data());
    if (record[0] != dbf::kRecordLive && record[0] != dbf::kRecordDeleted) {
      problems.push_back("record " + std::to_string(n) + " has the deletion flag 0x" +
                         [](uint8_t b) {
                           char hex[4];
                           std::snprintf(hex, sizeof(hex), "%02X", b);
                           return std::string(hex);
                         }(record[0]));
    }
  }
  if (stored[28] != 0 &&
      !platform::FileExists(dbf::AgencyIndexPath(ctx.dados, DatabaseName(ctx)))) {
    problems.push_back("the header names a production index that is missing");
  }
  if (TableHooks().checkIndex) TableHooks().checkIndex(file, problems);
  for (const std::string& problem : problems) ctx.out << platform::AnsiToUtf8(problem) << "\n";
  return problems.empty() ? 0 : 1;
}

// Verb errors of our own print like engine errors.
template <int (*verb)(Context&)>
int Guarded(Context& ctx) {
  try {
    return verb(ctx);
  } catch (const VerbError& e) {
    ctx.err << platform::AnsiToUtf8(e.what()) << "\n";
    return 2;
  } catch (const EVoreliaError& e) {
    ctx.err << platform::AnsiToUtf8(e.what()) << "\n";
    return 2;
  }
}

const VerbRegistrar kList("list",
                          "list                                  database names, one per line",
                          Guarded<List>);
const VerbRegistrar kCreate("create",
                            "create NAME                           a new empty agency database",
                            Guarded<Create>);
const VerbRegistrar kAdd("add", "add NAME FIELD=VALUE ...              append one record",
                         Guarded<Add>);
const VerbRegistrar kImport("import",
                            "import NAME FILE.csv                  append the rows of a UTF-8 CSV",
                            Guarded<Import>);
const VerbRegistrar kShow("show",
                          "show NAME [--order natural|asc|desc] [--filter FIELD=TEXT] [--deleted]",
                          Guarded<Show>);
const VerbRegistrar kDelete(
    "delete", "delete NAME RECNO                     flag one record deleted and pack",
    Guarded<Delete>);
const VerbRegistrar kClear("clear", "clear NAME                            remove every record",
                           Guarded<Clear>);
const VerbRegistrar kPack("pack",
                          "pack NAME                             rewrite without deleted records",
                          Guarded<PackVerb>);
const VerbRegistrar kSort(
    "sort", "sort NAME asc|desc                    rebuild the production index with the one tag",
    Guarded<Sort>);
const VerbRegistrar kCheck(
    "check", "check NAME                            verify the table file and its index",
    Guarded<Check>);

}  // namespace

namespace {

void OrderByAgencyName(TDbfDataSet& table, bool descending) {
  records::SortByAgencyName(table, descending);
}

void FilterAgencies(TDbfDataSet& table, const std::string& field, const std::string& text) {
  const int position = records::TAgencyFilter::PositionOf(field);
  if (position < 0) throw UsageError{"--filter takes AGENCIA, ENDERECO, MUNICIPIO or UF"};
  const records::TAgencyFilter filter(position, text);
  table.OnFilterRecord = [filter](data::TDataSet& dataSet, bool& accept) {
    accept = filter.Accepts(dataSet);
  };
  table.SetFiltered(true);
}

// Walks every tag of the production index. A plain tag holds one key per record, deleted ones
// included, so its key count must equal the record count.
void CheckProductionIndex(dbf::TDbfFile& table, std::vector<std::string>& problems) {
  auto* index = dynamic_cast<dbf::TIndexFile*>(table.ProductionIndex());
  if (index == nullptr) return;
  for (int tag = 0; tag < index->TagCount(); ++tag) {
    std::string name = std::to_string(tag);
    try {
      const dbf::TIndexFile::TTagFacts facts = index->TagFacts(tag);
      name = facts.name;
      const dbf::TIndexCheckReport report = dbf::CheckIndexTag(*index, tag);
      for (const std::string& problem : report.problems) {
        problems.push_back("index tag " + name + ": " + problem);
      }
      const int32_t count = table.RecordCount();
      if (report.Sound() && !facts.unique && !facts.distinct && report.entries != count) {
        problems.push_back("index tag " + name + ": " + std::to_string(report.entries) +
                           " keys for " + std::to_string(count) + " records");
      }
    } catch (const EVoreliaError& e) {
      problems.push_back("index tag " + name + ": " + e.what());
    }
  }
}

}  // namespace

TableVerbHooks& TableHooks() {
  static TableVerbHooks hooks{&OrderByAgencyName, &FilterAgencies, &CheckProductionIndex};
  return hooks;
}

TableView ParseTableView(const std::vector<std::string>& args, size_t from) {
  TableView view;
  for (size_t i = from; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--deleted") {
      view.deleted = true;
    } else if (arg == "--order" && i + 1 < args.size()) {
      view.order = args[++i];
      if (view.order != "natural" && view.order != "asc" && view.order != "desc")
        throw UsageError{"--order takes natural, asc or desc"};
    } else if (arg == "--filter" && i + 1 < args.size()) {
      const std::string& spec = args[++i];
      const size_t eq = spec.find('=');
      if (eq == std::string::npos) throw UsageError{"--filter takes FIELD=TEXT"};
      view.filterField = platform::AnsiUpper(spec.substr(0, eq));
      view.filterText = spec.substr(eq + 1);
    } else {
      throw UsageError{"unknown option " + arg};
    }
  }
  return view;
}

void ApplyTableView(TDbfDataSet& table, const TableView& view) {
  if (view.order != "natural") {
    if (!TableHooks().order) throw VerbError("Sorting by agency name is not available.");
    TableHooks().order(table, view.order == "desc");
  }
  if (!view.filterField.empty()) {
    if (!TableHooks().filter) throw VerbError("Filtering is not available.");
    TableHooks().filter(table, view.filterField, Ansi(view.filterText));
  }
}

}  // namespace vorelia::cli

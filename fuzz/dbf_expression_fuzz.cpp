// Random key and filter expression texts, as a damaged index file or a typed filter may give
// them: parsing and evaluating must end with a value or a refusal, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dbf/dbf_field_def.h"
#include "dbf/expression_parser.h"
#include "platform/errors.h"

using namespace vorelia;
using namespace vorelia::dbf;

namespace {

// AGENCIA C25, UF C2, ATIVO L1, QTD N5, VALOR N8.2, DATA D8; record size 50.
const TDbfFieldDefs& Fields() {
  static const TDbfFieldDefs defs = [] {
    TDbfFieldDefs d;
    const struct {
      const char* name;
      char type;
      int size, precision, offset;
    } fields[] = {{"AGENCIA", 'C', 25, 0, 1}, {"UF", 'C', 2, 0, 26},   {"ATIVO", 'L', 1, 0, 28},
                  {"QTD", 'N', 5, 0, 29},     {"VALOR", 'N', 8, 2, 34}, {"DATA", 'D', 8, 0, 42}};
    for (const auto& f : fields) {
      TDbfFieldDef& def = d.Add();
      def.FieldName = f.name;
      def.NativeFieldType = f.type;
      def.Size = f.size;
      def.Precision = f.precision;
      def.Offset = f.offset;
    }
    return d;
  }();
  return defs;
}

TFieldValue ReadValue(int fieldNo, const uint8_t* record) {
  switch (fieldNo) {
    case 0: return std::string(reinterpret_cast<const char*>(record) + 1, 25);
    case 1: return std::string(reinterpret_cast<const char*>(record) + 26, 2);
    case 2: return record[28] == 'T';
    case 3: return static_cast<int64_t>(record[29]) - 100;
    case 4: return static_cast<double>(record[34]) / 7.0;
    case 5: return TDbfDate{2026, 12, 9};
    default: return std::monostate{};
  }
}

std::vector<uint8_t> Record(char fill) {
  std::vector<uint8_t> record(50, static_cast<uint8_t>(fill));
  record[0] = ' ';
  record[28] = 'T';
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<uint8_t> blank(50, ' ');
  const std::vector<uint8_t> a = Record('a');
  const std::vector<uint8_t> z = Record('\xFF');
  try {
    TDbfParser filter(Fields(), ReadValue, 850, false);
    filter.ParseExpression(text);
    (void)filter.Matches(a.data());
    (void)filter.Matches(z.data());
  } catch (const EVoreliaError&) {
  }
  try {
    TDbfIndexParser key(Fields(), ReadValue, blank);
    key.ParseKeyExpression(text);
    if (key.IsStringKey()) {
      const int length = key.ResultLength();
      const uint8_t* bytes = key.StringKey(z.data());
      volatile uint8_t sink = 0;
      for (int i = 0; i < length; ++i) sink = sink + bytes[i];  // every byte must be readable
    } else {
      (void)key.NumericKey(a.data());
    }
  } catch (const EVoreliaError&) {
  }
  return 0;
}

#pragma once

#include <vector>

#include "export/writers/column_model.h"

namespace vorelia::bench {

// The search grid's six columns, as the export benchmarks hand them to the writers.
inline std::vector<exporter::TmxGridColumn> AgencyGridColumns() {
  using exporter::TmxFieldKind;
  return {{"AGENCIA", "", "Nome Da Ag\xEAncia", TmxFieldKind::Text, 25, true, 1},
          {"ENDERECO", "", "Endere\xE7o", TmxFieldKind::Text, 100, true, 1},
          {"MUNICIPIO", "", "Munic\xEDpio / Bairro", TmxFieldKind::Text, 15, true, 1},
          {"UF", "", "", TmxFieldKind::Text, 2, true, 1},
          {"DDD", "", "", TmxFieldKind::Text, 3, true, 1},
          {"TELEFONE", "", "", TmxFieldKind::Text, 9, true, 1}};
}

}  // namespace vorelia::bench

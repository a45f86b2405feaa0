#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "export/writers/column_model.h"
#include "export/writers/export_document.h"
#include "platform/code_page.h"

namespace vorelia::exporter::test {

// Code page 1252 bytes of a text written here in UTF-8.
inline std::string Ansi(std::string_view utf8) { return platform::Utf8ToAnsi(utf8); }

// Expected documents are written with "\n"; every line ends in CR LF on disk.
inline std::string Crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// A hand-written expected document of tests/data_files/export (code page 1252, CR LF).
inline std::string ExpectedDocument(const std::string& name) {
  std::ifstream in(std::string(VORELIA_TEST_DATA) + "/export/" + name, std::ios::binary);
  EXPECT_TRUE(in.good()) << name;
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string Spaces(size_t n) { return std::string(n, ' '); }

// The search grid of an agency records window: six string columns, the last three without a
// title caption of their own.
inline std::vector<TmxGridColumn> AgencyColumns() {
  return {
      {"AGENCIA", "", Ansi("Nome Da Agência"), TmxFieldKind::Text, 25, true, 1},
      {"ENDERECO", "", Ansi("Endereço"), TmxFieldKind::Text, 100, true, 1},
      {"MUNICIPIO", "", Ansi("Município / Bairro"), TmxFieldKind::Text, 15, true, 1},
      {"UF", "", "", TmxFieldKind::Text, 2, true, 1},
      {"DDD", "", "", TmxFieldKind::Text, 3, true, 1},
      {"TELEFONE", "", "", TmxFieldKind::Text, 9, true, 1},
  };
}

// Three rows with the values that trip writers up.
inline std::vector<TmxValues> AgencyRows() {
  return {
      {Ansi("Agência São José"), "Rua A, 10", Ansi("Sé"), "SP", "011", "12345-678"},
      {"Emprego <b>& Cia", "Av. {x}\\y", "a;b", "RJ", "5\"B", ""},
      {"", "C:\\Arquivos", "Campinas", "SP", "019", "3232-1000"},
  };
}

inline TmxDocumentInfo AgencyInfo(int totalRows = 3) {
  TmxDocumentInfo info;
  info.TotalRows = totalRows;
  info.DateLine = "Criado: 08/12/2026 14:05:09";
  return info;
}

inline std::string ExportAgencies(TmxExportType type, TmxExportSettings settings = {}) {
  const TmxColumnModel model(AgencyColumns(), std::move(settings));
  return ExportDocument(type, model, AgencyInfo(), AgencyRows());
}

// Puts the lines of two texts side by side in a failure message.
inline std::string Printable(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n\n";
    } else if (c < 32 || c > 126) {
      static const char* kHex = "0123456789ABCDEF";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

#define EXPECT_BYTES(expected, actual)                      \
  EXPECT_EQ(::vorelia::exporter::test::Printable(expected), \
            ::vorelia::exporter::test::Printable(actual))

}  // namespace vorelia::exporter::test

#include "report_test_support.h"

#include <variant>

#include "report/qr_custom_report.h"

namespace vorelia::report::test {

std::unique_ptr<vorelia::test::TMemoryDataSet> MakeAgencies(int count) {
  using data::TFieldType;
  auto dataSet = std::make_unique<vorelia::test::TMemoryDataSet>(
      std::vector<vorelia::test::TMemoryDataSet::Column>{{"AGENCIA", TFieldType::String, 25},
                                                         {"ENDERECO", TFieldType::String, 100},
                                                         {"MUNICIPIO", TFieldType::String, 15},
                                                         {"UF", TFieldType::String, 2},
                                                         {"CEP", TFieldType::String, 9},
                                                         {"DDD", TFieldType::String, 3},
                                                         {"TELEFONE", TFieldType::String, 9},
                                                         {"EMAIL", TFieldType::String, 35},
                                                         {"SITE", TFieldType::String, 35}});
  for (int i = 1; i <= count; ++i) {
    dataSet->AddRow({"Agency " + std::to_string(i), "Rua " + std::to_string(i), "Recife", "PE",
                     "50000-000", "81", "3333-" + std::to_string(1000 + i), "a@b.com.br",
                     "www.b.com.br"});
  }
  return dataSet;
}

void TProbe::Print(int /*x0*/, int y0) { m_log.emplace_back(ParentReport()->PageCount(), y0); }

std::vector<std::string> PageTexts(const TPageRecording& page) {
  std::vector<std::string> texts;
  for (const TPageOp& op : page.Ops) {
    if (const auto* text = std::get_if<TOpText>(&op)) texts.push_back(text->Text);
  }
  return texts;
}

}  // namespace vorelia::report::test

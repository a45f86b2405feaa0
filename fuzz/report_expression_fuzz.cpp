// Random expression texts through compilation and evaluation: no crash, no hang and no deep
// recursion whatever the text; every fault must come back as an error result.
#include <cstddef>
#include <cstdint>
#include <string>

#include "report/core/qr_error.h"
#include "report/core/qr_expr_environment.h"
#include "report/core/qr_expr_evaluator.h"
#include "report/core/qr_expr_format.h"

using namespace vorelia::report;

namespace {

TQREvEnvironment& Functions() {
  static TQREvEnvironment* functions = [] {
    auto* environment = new TQREvEnvironment;
    environment->AddNamedValue("PAGENUMBER", "0");
    environment->AddNamedValue("REPORTTITLE", "''");
    environment->AddNamedValue("LOOP", "LOOP + 1");
    environment->AddNamedValue("TWICE", "PAGENUMBER * 2");
    environment->Compile();
    return environment;
  }();
  return *functions;
}

void Print(const TQREvResult& result) {
  try {
    (void)ResultText(result);
  } catch (const EQRError&) {
    if (!result.IsError()) __builtin_trap();  // only errors may refuse a text form
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  TQREvaluator evaluator(&Functions());
  evaluator.Compile(text);
  Print(evaluator.Value());
  evaluator.AccumulateAggregates();
  evaluator.AccumulateAggregates();
  Print(evaluator.Value());
  evaluator.Reset();
  Print(evaluator.Value());
  if (size < 64) (void)FormatFloat(text, -1234.5678, ',', '.');
  return 0;
}

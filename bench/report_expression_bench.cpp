// Report expressions against the native computation they stand for: evaluating a compiled
// arithmetic expression against the same arithmetic in C++, and taking a running sum in
// aggregate mode against adding to an integer.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "report/core/qr_expr_environment.h"
#include "report/core/qr_expr_evaluator.h"

namespace {

using vorelia::report::TQREvaluator;
using vorelia::report::TQREvEnvironment;
using vorelia::report::TQREvResult;

constexpr const char* kArithmetic = "(PAGENUMBER + 2) * 3 - PAGENUMBER / 4 + 10";

void BM_ExprCompile(benchmark::State& state) {
  TQREvEnvironment functions;
  functions.AddNamedValue("PAGENUMBER", "0");
  functions.AddNamedValue("REPORTTITLE", "''");
  functions.Compile();
  TQREvaluator evaluator(&functions);
  for (auto _ : state) {
    evaluator.Compile("IF(PAGENUMBER > 1, 'P\xe1gina ' + STR(PAGENUMBER), REPORTTITLE)");
    benchmark::DoNotOptimize(evaluator.FirstElement());
  }
  evaluator.Discard();
  functions.Discard();
}
BENCHMARK(BM_ExprCompile);

void BM_ExprEvaluateArithmetic(benchmark::State& state) {
  TQREvEnvironment functions;
  functions.AddNamedValue("PAGENUMBER", "0");
  functions.Compile();
  TQREvaluator evaluator(&functions);
  evaluator.Compile(kArithmetic);
  std::int32_t page = 0;
  for (auto _ : state) {
    TQREvEnvironment::SetNamedInteger(functions.FindNamedValue("PAGENUMBER"), ++page);
    TQREvResult result = evaluator.Value();
    benchmark::DoNotOptimize(result.IntResult);
  }
  evaluator.Discard();
  functions.Discard();
}
BENCHMARK(BM_ExprEvaluateArithmetic);

// Reference: the same arithmetic compiled by the C++ compiler.
void BM_ExprReferenceArithmetic(benchmark::State& state) {
  std::int32_t page = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(++page);
    double result = (page + 2) * 3 - page / 4.0 + 10;
    benchmark::DoNotOptimize(result);
  }
}
BENCHMARK(BM_ExprReferenceArithmetic);

void BM_ExprAggregateSum(benchmark::State& state) {
  TQREvEnvironment functions;
  functions.AddNamedValue("VALOR", "0");
  functions.Compile();
  TQREvaluator evaluator(&functions);
  evaluator.Compile("SUM(VALOR)");
  std::int32_t value = 0;
  for (auto _ : state) {
    TQREvEnvironment::SetNamedInteger(functions.FindNamedValue("VALOR"), ++value & 0xFF);
    evaluator.AccumulateAggregates();
  }
  benchmark::DoNotOptimize(evaluator.Value().IntResult);
  evaluator.Discard();
  functions.Discard();
}
BENCHMARK(BM_ExprAggregateSum);

// Reference: adding to an integer.
void BM_ExprReferenceSum(benchmark::State& state) {
  std::int64_t sum = 0;
  std::int32_t value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(++value);
    sum += value & 0xFF;
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_ExprReferenceSum);

}  // namespace

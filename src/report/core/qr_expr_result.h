#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorelia::report {

// Kinds of an expression result; the numbers are the stored values.
enum class TQREvResultType : std::uint8_t {
  resInt = 0,
  resDouble = 1,
  resString = 2,
  resBool = 3,
  resError = 4,
};

// Longest text a string or error result holds; longer texts are cut.
inline constexpr std::size_t kMaxResultText = 255;

// One evaluation result: a kind and the value of that kind. StrResult holds the text of a
// string and the message of an error.
struct TQREvResult {
  TQREvResultType Kind = TQREvResultType::resInt;
  std::int32_t IntResult = 0;
  double DblResult = 0.0;
  bool BooResult = false;
  std::string StrResult;

  static TQREvResult Integer(std::int32_t value);
  static TQREvResult Float(double value);
  static TQREvResult String(std::string_view text);
  static TQREvResult Boolean(bool value);
  static TQREvResult Error(std::string_view message);

  bool IsError() const { return Kind == TQREvResultType::resError; }
  bool IsNumeric() const {
    return Kind == TQREvResultType::resInt || Kind == TQREvResultType::resDouble;
  }
  // Integer or float as a double.
  double AsDouble() const { return Kind == TQREvResultType::resInt ? IntResult : DblResult; }
};

// Text form of a float: 15 significant digits, trailing zeros dropped, fixed notation for
// decimal exponents from -5 to 14 and "1,5E20" style beyond; the decimal separator is the
// locale's.
std::string FloatText(double value);
std::string FloatText(double value, char decimalSeparator);

// Text form of a result, as strings are converted and values printed: integers in decimal,
// floats as FloatText, strings unchanged, booleans "True"/"False". An error result raises
// EQRError "Error in expression : <message>".
std::string ResultText(const TQREvResult& result);

// "INTEGER", "FLOAT", "STRING", "BOOLEAN" or "ERROR".
std::string_view ResultKindName(TQREvResultType kind);

// Same kind and same value (strings compared exactly, errors by message). Groups use it to see
// whether their expression changed between records.
bool SameResult(const TQREvResult& a, const TQREvResult& b);

}  // namespace vorelia::report

#include "report/core/qr_expr_result.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "report/core/qr_error.h"
#include "report/core/qr_expr_locale.h"

namespace vorelia::report {

namespace {

std::string Cut(std::string_view text) {
  return std::string(text.substr(0, std::min(text.size(), kMaxResultText)));
}

}  // namespace

TQREvResult TQREvResult::Integer(std::int32_t value) {
  TQREvResult r;
  r.Kind = TQREvResultType::resInt;
  r.IntResult = value;
  return r;
}

TQREvResult TQREvResult::Float(double value) {
  TQREvResult r;
  r.Kind = TQREvResultType::resDouble;
  r.DblResult = value;
  return r;
}

TQREvResult TQREvResult::String(std::string_view text) {
  TQREvResult r;
  r.Kind = TQREvResultType::resString;
  r.StrResult = Cut(text);
  return r;
}

TQREvResult TQREvResult::Boolean(bool value) {
  TQREvResult r;
  r.Kind = TQREvResultType::resBool;
  r.BooResult = value;
  return r;
}

TQREvResult TQREvResult::Error(std::string_view message) {
  TQREvResult r;
  r.Kind = TQREvResultType::resError;
  r.StrResult = Cut(message);
  return r;
}

std::string FloatText(double value) { return FloatText(value, ExprLocale().DecimalSeparator); }

std::string FloatText(double value, char decimalSeparator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0.0) return "0";
  // "%.14e" gives exactly 15 significant digits, correctly rounded, with the decimal exponent
  // of the rounded value: d.dddddddddddddde±x.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.14e", value);
  std::string_view text(buffer);
  const bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  const std::size_t ePos = text.find('e');
  std::string digits;
  digits += text[0];
  digits += text.substr(2, ePos - 2);
  const int exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  if (exponent >= -5 && exponent <= 14) {
    if (exponent < 0) {
      out += '0';
      out += decimalSeparator;
      out.append(static_cast<std::size_t>(-exponent - 1), '0');
      out += digits;
    } else {
      const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= intDigits) {
        out += digits;
        out.append(intDigits - digits.size(), '0');
      } else {
        out += digits.substr(0, intDigits);
        out += decimalSeparator;
        out += digits.substr(intDigits);
      }
    }
  } else {
    out += digits[0];
    if (digits.size() > 1) {
      out += decimalSeparator;
      out += digits.substr(1);
    }
    out += 'E';
    out += std::to_string(exponent);
  }
  return out;
}

std::string ResultText(const TQREvResult& result) {
  switch (result.Kind) {
    case TQREvResultType::resInt:
      return std::to_string(result.IntResult);
    case TQREvResultType::resDouble:
      return FloatText(result.DblResult);
    case TQREvResultType::resString:
      return result.StrResult;
    case TQREvResultType::resBool:
      return result.BooResult ? "True" : "False";
    case TQREvResultType::resError:
      break;
  }
  throw EQRError("Error in expression : " + result.StrResult);
}

std::string_view ResultKindName(TQREvResultType kind) {
  switch (kind) {
    case TQREvResultType::resInt:
      return "INTEGER";
    case TQREvResultType::resDouble:
      return "FLOAT";
    case TQREvResultType::resString:
      return "STRING";
    case TQREvResultType::resBool:
      return "BOOLEAN";
    case TQREvResultType::resError:
      break;
  }
  return "ERROR";
}

bool SameResult(const TQREvResult& a, const TQREvResult& b) {
  if (a.Kind != b.Kind) return false;
  switch (a.Kind) {
    case TQREvResultType::resInt:
      return a.IntResult == b.IntResult;
    case TQREvResultType::resDouble:
      return a.DblResult == b.DblResult;
    case TQREvResultType::resBool:
      return a.BooResult == b.BooResult;
    case TQREvResultType::resString:
    case TQREvResultType::resError:
      break;
  }
  return a.StrResult == b.StrResult;
}

}  // namespace vorelia::report

#include "report/core/qr_expr_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "report/core/qr_expr_locale.h"
#include "report/core/qr_expr_result.h"

namespace vorelia::report {

namespace {

// More decimals than a double holds only adds noise.
constexpr int kMaxDecimals = 20;

std::vector<std::string_view> Sections(std::string_view mask) {
  std::vector<std::string_view> sections;
  char quote = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    const char c = mask[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';' && sections.size() < 2) {
      sections.push_back(mask.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(mask.substr(start));
  return sections;
}

// What one section asks for.
struct Layout {
  int IntPlaceholders = 0;
  int MinIntDigits = 0;  // placeholders from the first '0' up to the decimal point
  int MaxDecimals = 0;
  int MinDecimals = 0;  // up to the last '0' after the decimal point
  bool HasPoint = false;
  bool Thousands = false;
  bool Scientific = false;
};

// An exponent marker at i: E or e followed by + or -.
bool ExponentAt(std::string_view section, std::size_t i) {
  return (section[i] == 'E' || section[i] == 'e') && i + 1 < section.size() &&
         (section[i + 1] == '+' || section[i + 1] == '-');
}

Layout Analyse(std::string_view section) {
  Layout layout;
  char quote = 0;
  bool firstZeroSeen = false;
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if (ExponentAt(section, i)) {
      layout.Scientific = true;
      break;  // the rest is the exponent and literals
    } else if (c == '.') {
      layout.HasPoint = true;
    } else if (c == ',') {
      if (!layout.HasPoint) layout.Thousands = true;
    } else if (c == '0' || c == '#') {
      if (layout.HasPoint) {
        ++layout.MaxDecimals;
        if (c == '0') layout.MinDecimals = layout.MaxDecimals;
      } else {
        ++layout.IntPlaceholders;
        if (c == '0') firstZeroSeen = true;
        if (firstZeroSeen) ++layout.MinIntDigits;
      }
    }
  }
  layout.MaxDecimals = std::min(layout.MaxDecimals, kMaxDecimals);
  layout.MinDecimals = std::min(layout.MinDecimals, layout.MaxDecimals);
  return layout;
}

std::string Printf(const char* format, int precision, double value) {
  const int size = std::snprintf(nullptr, 0, format, precision, value);
  std::vector<char> buffer(static_cast<std::size_t>(size) + 1);
  std::snprintf(buffer.data(), buffer.size(), format, precision, value);
  return std::string(buffer.data(), static_cast<std::size_t>(size));
}

// The digits of |value| laid out for the section: integer digits (no leading zeros), decimal
// digits (trailing zeros beyond the minimum dropped) and, for scientific masks, the exponent.
struct Digits {
  std::string Integer;
  std::string Decimals;
  int Exponent = 0;
  bool IsZero = true;
};

Digits MakeDigits(double magnitude, const Layout& layout) {
  Digits digits;
  std::string text;
  if (layout.Scientific && magnitude != 0.0) {
    const int intCount = std::max(1, layout.IntPlaceholders);
    // d.ddd...e±X with exactly the significant digits the mask shows.
    text = Printf("%.*e", intCount - 1 + layout.MaxDecimals, magnitude);
    const std::size_t e = text.find('e');
    digits.Exponent = std::atoi(text.c_str() + e + 1) - (intCount - 1);
    std::string significant;
    for (std::size_t i = 0; i < e; ++i) {
      if (text[i] != '.') significant += text[i];
    }
    digits.Integer = significant.substr(0, static_cast<std::size_t>(intCount));
    digits.Decimals = significant.substr(static_cast<std::size_t>(intCount));
  } else {
    text = Printf("%.*f", layout.MaxDecimals, magnitude);
    const std::size_t point = text.find('.');
    digits.Integer = text.substr(0, point);
    if (point != std::string::npos) digits.Decimals = text.substr(point + 1);
  }
  digits.IsZero = digits.Integer.find_first_not_of('0') == std::string::npos &&
                  digits.Decimals.find_first_not_of('0') == std::string::npos;
  const std::size_t firstDigit = digits.Integer.find_first_not_of('0');
  digits.Integer = firstDigit == std::string::npos ? "" : digits.Integer.substr(firstDigit);
  while (digits.Decimals.size() > static_cast<std::size_t>(layout.MinDecimals) &&
         digits.Decimals.back() == '0') {
    digits.Decimals.pop_back();
  }
  if (digits.Integer.size() < static_cast<std::size_t>(layout.MinIntDigits)) {
    digits.Integer.insert(0, static_cast<std::size_t>(layout.MinIntDigits) - digits.Integer.size(),
                          '0');
  }
  return digits;
}

std::string Render(std::string_view section, const Layout& layout, const Digits& digits,
                   bool negative, char decimalSeparator, char thousandSeparator) {
  std::string out;
  bool signDone = !negative;
  auto sign = [&] {
    if (!signDone) out += '-';
    signDone = true;
  };
  const int intLength = static_cast<int>(digits.Integer.size());
  int intPlaceholder = 0;  // integer placeholders met so far
  int decimalPlaceholder = 0;
  int nextIntDigit = 0;
  bool pointDone = false;
  char quote = 0;
  auto putIntDigit = [&](int index) {
    out += digits.Integer[static_cast<std::size_t>(index)];
    const int remaining = intLength - 1 - index;
    if (layout.Thousands && remaining > 0 && remaining % 3 == 0) out += thousandSeparator;
  };
  for (std::size_t i = 0; i < section.size(); ++i) {
    const char c = section[i];
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else {
        out += c;
      }
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if (ExponentAt(section, i)) {
      sign();
      out += c;
      const bool expNegative = digits.Exponent < 0;
      if (expNegative) {
        out += '-';
      } else if (section[i + 1] == '+') {
        out += '+';
      }
      std::size_t zeros = 0;
      i += 2;
      while (i < section.size() && section[i] == '0' && zeros < 4) {
        ++zeros;
        ++i;
      }
      --i;
      std::string exponent = std::to_string(std::abs(digits.Exponent));
      if (exponent.size() < zeros) exponent.insert(0, zeros - exponent.size(), '0');
      out += exponent;
    } else if ((c == '0' || c == '#') && !pointDone) {
      sign();
      ++intPlaceholder;
      const int missing = layout.IntPlaceholders - intLength;
      if (intPlaceholder == 1) {
        // Digits beyond the placeholders all print at the first one.
        while (nextIntDigit < -missing) putIntDigit(nextIntDigit++);
      }
      if (intPlaceholder > missing && nextIntDigit < intLength) putIntDigit(nextIntDigit++);
    } else if (c == '0' || c == '#') {
      if (decimalPlaceholder < static_cast<int>(digits.Decimals.size())) {
        out += digits.Decimals[static_cast<std::size_t>(decimalPlaceholder)];
      }
      ++decimalPlaceholder;
    } else if (c == '.' && !pointDone) {
      sign();
      while (nextIntDigit < intLength) putIntDigit(nextIntDigit++);
      pointDone = true;
      if (!digits.Decimals.empty()) out += decimalSeparator;
    } else if (c == ',' || c == '.') {
      // A flag, not printed.
    } else {
      out += c;
    }
  }
  // A mask without a decimal point still shows every integer digit.
  if (!pointDone && nextIntDigit < intLength && layout.IntPlaceholders > 0) {
    sign();
    while (nextIntDigit < intLength) putIntDigit(nextIntDigit++);
  }
  return out;
}

}  // namespace

std::optional<std::string> FormatFloat(std::string_view mask, double value) {
  const TQRExprLocale& locale = ExprLocale();
  return FormatFloat(mask, value, locale.DecimalSeparator, locale.ThousandSeparator);
}

std::optional<std::string> FormatFloat(std::string_view mask, double value, char decimalSeparator,
                                       char thousandSeparator) {
  if (!std::isfinite(value)) return std::nullopt;
  if (mask.empty()) return FloatText(value, decimalSeparator);
  const std::vector<std::string_view> sections = Sections(mask);
  const double magnitude = std::fabs(value);

  std::string_view section = sections[0];
  Layout layout = Analyse(section);
  Digits digits = MakeDigits(magnitude, layout);
  bool negative = value < 0 && !digits.IsZero;
  if (digits.IsZero && sections.size() >= 3 && !sections[2].empty()) {
    section = sections[2];
    negative = false;
  } else if (negative && sections.size() >= 2 && !sections[1].empty()) {
    section = sections[1];
    negative = false;
  } else {
    return Render(section, layout, digits, negative, decimalSeparator, thousandSeparator);
  }
  layout = Analyse(section);
  digits = MakeDigits(magnitude, layout);
  return Render(section, layout, digits, negative, decimalSeparator, thousandSeparator);
}

}  // namespace vorelia::report

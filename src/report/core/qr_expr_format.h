#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vorelia::report {

// Formats a number with a display mask, as masked report values print:
//   0        digit, shown even when it is a leading or trailing zero
//   #        digit, left out when it is a leading or trailing zero
//   .        the decimal separator (the first one counts)
//   ,        thousands separators in the integer part (anywhere in the section)
//   E+0 E-0  scientific notation; E+ always shows the exponent's sign, E- only a minus; the
//            zeros after it give the exponent's least number of digits (e works alike)
//   'x' "x"  literal text; any other character is literal too
//   ;        separates sections: positive;negative;zero. The negative section prints the
//            absolute value (its own literals give the sign); the zero section is used when
//            the value rounds to zero in the first section.
// An empty mask gives the general text form (FloatText). Separators are the locale's.
// nullopt when the value cannot be formatted (not finite).
std::optional<std::string> FormatFloat(std::string_view mask, double value);
std::optional<std::string> FormatFloat(std::string_view mask, double value, char decimalSeparator,
                                       char thousandSeparator);

}  // namespace vorelia::report

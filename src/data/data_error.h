#pragma once

#include <string>
#include <string_view>

#include "platform/errors.h"

namespace vorelia::data {

// Failures of the dataset model itself (wrong state, unknown field, bad conversion). Engines
// built on the model raise their own error types.
class EDatabaseError : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE explicit EDatabaseError(const std::string& message)
      : EVoreliaError(message) {}
};

// The dataset's own messages, exact as the user sees them.
namespace msg {
inline constexpr std::string_view kDataSetClosed =
    "Cannot perform this operation on a closed dataset";
inline constexpr std::string_view kDataSetOpen = "Cannot perform this operation on an open dataset";
inline constexpr std::string_view kDataSetEmpty =
    "Cannot perform this operation on an empty dataset";
inline constexpr std::string_view kDataSetReadOnly = "Cannot modify a read-only dataset";
inline constexpr std::string_view kNotEditing = "Dataset not in edit or insert mode";
inline constexpr std::string_view kFieldNotFound = "Field '%s' not found";
inline constexpr std::string_view kFieldTypeMismatch =
    "Type mismatch for field '%s', expecting: %s actual: %s";
inline constexpr std::string_view kFieldReadOnly = "Field '%s' cannot be modified";
inline constexpr std::string_view kFieldRequired = "Field '%s' must have a value";
inline constexpr std::string_view kNotAValidInteger = "'%s' is not a valid integer value";
inline constexpr std::string_view kNotAValidFloat = "'%s' is not a valid floating point value";
inline constexpr std::string_view kNotAValidBoolean = "'%s' is not a valid boolean value";
inline constexpr std::string_view kNotAValidDate = "'%s' is not a valid date";
inline constexpr std::string_view kDuplicateFieldName = "Duplicate field name '%s'";
}  // namespace msg

// Replaces each "%s" of `pattern` in turn by the next argument (missing ones become empty).
std::string FormatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

}  // namespace vorelia::data

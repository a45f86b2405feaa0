#include "platform/errors.h"

namespace vorelia {

EVoreliaError::EVoreliaError(const std::string& message)
    : std::runtime_error(message), m_address(__builtin_return_address(0)) {}

}  // namespace vorelia

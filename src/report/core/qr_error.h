#pragma once

#include <string>

#include "platform/errors.h"

namespace vorelia::report {

// Failure of the report engine: printer state errors and damaged saved reports.
class EQRError : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE explicit EQRError(const std::string& message) : EVoreliaError(message) {}
};

}  // namespace vorelia::report

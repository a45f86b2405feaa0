#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/core/qr_expr_element.h"

namespace vorelia::report {

// A library function. Its argument values are the elements after it up to the argument-end
// element; in aggregate mode an aggregate first takes them in, then every function computes.
class TQREvElementFunction : public TQREvElement {
 public:
  TQREvResult Value(TQREvaluator& evaluator) final;

 protected:
  virtual TQREvResult Calculate(const std::vector<TQREvResult>& args) = 0;
  // Aggregates advance their running state here; only aggregate-mode evaluations call it.
  virtual void Aggregate(const std::vector<TQREvResult>&) {}
};

using TQRFunctionFactory = std::unique_ptr<TQREvElementFunction> (*)();

// One catalogue entry. Description is the syntax, a vertical bar and the description; Vars is a
// category digit followed by one letter per argument (B boolean, N numeric, S string, V any),
// for the layout editor's expression builder.
struct TQRLibraryEntry {
  std::string Name;
  std::string Description;
  std::string Vars;
  TQRFunctionFactory Create = nullptr;
};

// The built-in functions by upper-case name, in catalogue order.
class TQRFunctionLibrary {
 public:
  TQRFunctionLibrary();
  // nullptr for an unknown name; the name must be upper case.
  const TQRLibraryEntry* Find(std::string_view name) const;
  const std::vector<TQRLibraryEntry>& Entries() const { return m_entries; }

 private:
  std::vector<TQRLibraryEntry> m_entries;
};

const TQRFunctionLibrary& QRFunctionLibrary();

}  // namespace vorelia::report

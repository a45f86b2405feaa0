#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "report/core/qr_expr_evaluator.h"

namespace vorelia::report {

// A named value: its expression text and the evaluator that holds it compiled.
class TQREvEmbeddedFunction {
 public:
  explicit TQREvEmbeddedFunction(std::string expression) : m_expression(std::move(expression)) {}
  const std::string& Expression() const { return m_expression; }
  TQREvaluator& Evaluator() { return m_evaluator; }
  // The value of the compiled expression. Asked again while it is being evaluated (a named
  // value that refers to itself, directly or through others): "Recursive calls not allowed".
  // Not compiled: "Evaluator not prepared".
  TQREvResult Value();

 private:
  std::string m_expression;
  TQREvaluator m_evaluator;
  bool m_evaluating = false;
};

// An ordered list of named values (upper-case name -> expression) with the datasets their
// expressions may use. Entries are compiled while the prepare count is above 0: the first
// Compile compiles them, the Discard that brings the count back to 0 drops them.
//
// The report's `Functions` is one; QRGlobalEnvironment() is the program's.
class TQREvEnvironment {
 public:
  TQREvEnvironment() = default;
  ~TQREvEnvironment();
  TQREvEnvironment(const TQREvEnvironment&) = delete;
  TQREvEnvironment& operator=(const TQREvEnvironment&) = delete;

  // Adds the entry unless its upper-cased name exists; compiles it at once when prepared.
  void AddNamedValue(std::string_view name, std::string_view expression);
  void RemoveNamedValue(std::string_view name);
  // Removes every entry (unpreparing them first).
  void Clear();
  int Count() const { return static_cast<int>(m_entries.size()); }

  // Stored form: the names and the expression texts in the same order. SetLists replaces the
  // entries; a name without a text (lists of unequal length) gets an empty expression.
  std::vector<std::string> Strings() const;
  std::vector<std::string> Data() const;
  void SetLists(const std::vector<std::string>& strings, const std::vector<std::string>& data);

  // Used by the entries' expressions; takes effect at the next first Compile.
  void SetDataSets(TQRDataSetList dataSets) { m_dataSets = std::move(dataSets); }
  const TQRDataSetList& DataSets() const { return m_dataSets; }

  // Compile returns false when the call was ignored (made while this environment prepares or
  // unprepares its own entries); such a call needs no Discard.
  bool Compile();
  void Discard();
  bool Prepared() const { return m_prepareCount > 0; }

  // The entry of that name (any letter case), or nullptr.
  std::shared_ptr<TQREvEmbeddedFunction> Find(std::string_view name) const;
  // The root element of the entry's compiled expression; nullptr for an unknown name or while
  // unprepared. The report keeps PAGENUMBER and friends current through it.
  TQREvElement* FindNamedValue(std::string_view name) const;
  // Turn a constant element into the integer; other elements are left alone.
  static void SetNamedInteger(TQREvElement* element, std::int32_t value);
  // Replace a text constant's text; other elements are left alone.
  static void SetNamedString(TQREvElement* element, std::string_view text);
  // Store a result into a constant element, or a string result's text into a text constant.
  static void SetNamedValue(TQREvElement* element, const TQREvResult& result);
  // Evaluates an entry; an unknown name gives "Unknown function : <name>".
  TQREvResult Value(std::string_view name);

 private:
  struct Entry {
    std::string Name;
    std::shared_ptr<TQREvEmbeddedFunction> Function;
  };
  void CompileEntry(TQREvEmbeddedFunction& function);

  std::vector<Entry> m_entries;
  TQRDataSetList m_dataSets;
  int m_prepareCount = 0;
  // Set while the entries are compiled or dropped: their evaluators prepare and unprepare the
  // global environment, and calls the global environment receives meanwhile must not count.
  bool m_busy = false;
};

// The program's own named values: AppStartTime, AppStartDate (as of the first call, in the
// locale's formats) and AppName, each a quoted text.
TQREvEnvironment& QRGlobalEnvironment();
// The application title AppName holds; set it before the global environment is first used.
void SetQRApplicationTitle(std::string title);

}  // namespace vorelia::report

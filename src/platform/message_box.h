#pragma once

#include <string>

namespace vorelia::platform {

enum class TMessageIcon { None, Information, Exclamation, Question, Error };
enum class TMessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMessageResult { Ok, Cancel, Yes, No };

// One modal message box. Texts are UTF-8.
struct TMessageRequest {
  std::string caption;
  std::string text;
  TMessageIcon icon = TMessageIcon::None;
  TMessageButtons buttons = TMessageButtons::Ok;
  TMessageResult defaultButton = TMessageResult::Ok;
};

// Shows message boxes and waits for the answer. The real one is modal on the desktop; tests use
// a double that records the question and returns a scripted answer.
class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // Closing the box without a button counts as Cancel, or No when there is no Cancel button.
  virtual TMessageResult Show(const TMessageRequest& request) = 0;
};

// The program's caption for questions and refusals.
inline constexpr const char* kMessageCaption = "Vorelia";

// A question: caption "Vorelia", question icon, Yes and No with Yes the default.
TMessageRequest Question(std::string text);

// A refusal: caption "Vorelia", exclamation icon, an OK button.
TMessageRequest Refusal(std::string text);

}  // namespace vorelia::platform

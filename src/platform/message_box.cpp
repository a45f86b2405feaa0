#include "platform/message_box.h"

#include <utility>

namespace vorelia::platform {

TMessageRequest Question(std::string text) {
  return {kMessageCaption, std::move(text), TMessageIcon::Question, TMessageButtons::YesNo,
          TMessageResult::Yes};
}

TMessageRequest Refusal(std::string text) {
  return {kMessageCaption, std::move(text), TMessageIcon::Exclamation, TMessageButtons::Ok,
          TMessageResult::Ok};
}

}  // namespace vorelia::platform

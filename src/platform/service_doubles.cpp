#include "platform/service_doubles.h"

namespace vorelia::platform {

TMessageResult TMessageBoxDouble::Show(const TMessageRequest& request) {
  asked.push_back(request);
  if (answers.empty()) return request.defaultButton;
  TMessageResult answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace vorelia::platform

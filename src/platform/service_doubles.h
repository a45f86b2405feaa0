#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/desktop_shell.h"
#include "platform/message_box.h"
#include "platform/screen.h"

namespace vorelia::platform {

// Test doubles of the desktop services: they record what the program asked for and answer from
// a script, so no test waits on a person.

// Answers each box with the next scripted answer, or with the box's default button when the
// script has run out.
class TMessageBoxDouble : public IMessageBox {
 public:
  TMessageResult Show(const TMessageRequest& request) override;

  std::deque<TMessageResult> answers;
  std::vector<TMessageRequest> asked;
};

class TDesktopShellDouble : public IDesktopShell {
 public:
  void Execute(const TShellRequest& request) override { requests.push_back(request); }

  std::vector<TShellRequest> requests;
};

class TClipboardDouble : public IClipboard {
 public:
  void SetText(const std::string& newText) override {
    text = newText;
    ++writes;
  }

  std::string text;
  int writes = 0;
};

class TScreenDouble : public IScreen {
 public:
  TScreenFacts Facts() const override { return facts; }

  TScreenFacts facts;
};

}  // namespace vorelia::platform

#pragma once

#include <memory>

#include "cli/cli.h"

class QApplication;

namespace vorelia::cli {

// The verbs that compose windows or reports need an application object; the command line has
// no display, so they use the offscreen platform unless the caller chose another. Returns null
// when an application already exists.
std::unique_ptr<QApplication> OffscreenApplication();

// Runs a verb and prints an engine failure on stderr in UTF-8 (engine and window messages are
// ANSI), exit 2; usage errors pass through to main.
int RunWithAnsiErrors(Context& ctx, Verb verb);

}  // namespace vorelia::cli

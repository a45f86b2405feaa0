#pragma once

#include <exception>
#include <functional>
#include <utility>

namespace vorelia::platform {

// Receives every exception that reaches an entry point from the event loop. The program sets it
// to the error window's handler, which ends the run; tests set their own.
using ErrorHook = std::function<void(std::exception_ptr)>;

// Installs the application-wide error hook and returns the one it replaces. An empty hook
// restores the default, which prints the message on stderr and ends the event loop with code 1.
ErrorHook SetErrorHook(ErrorHook hook);

// Hands one exception to the error hook on the calling (user-interface) thread. Silent aborts
// (EAbort) are dropped. While one error is being handled, further ones are dropped as well: the
// run is already ending and only one error window may exist.
void ReportFatal(std::exception_ptr error) noexcept;

// True from the moment an error reached the hook: the run is ending, idle work should stop.
bool FatalErrorPending() noexcept;

// Lets a test start afresh after it has driven the hook.
void ResetFatalErrorState() noexcept;

// Worker threads: hands the exception to the hook on the user-interface thread with a queued
// call. Safe to call from any thread.
void PostFatal(std::exception_ptr error) noexcept;

// The wall at every entry point from the event loop (slots, command handlers, event overrides,
// timers, queued calls): nothing unwinds through Qt frames.
template <typename Handler>
void Guarded(Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (...) {
    ReportFatal(std::current_exception());
  }
}

// The same wall for the body of a worker thread.
template <typename Handler>
void GuardedWorker(Handler&& handler) noexcept {
  try {
    std::forward<Handler>(handler)();
  } catch (...) {
    PostFatal(std::current_exception());
  }
}

}  // namespace vorelia::platform

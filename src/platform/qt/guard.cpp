#include "platform/qt/guard.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <atomic>
#include <cstdio>
#include <mutex>

#include "platform/error_description.h"

namespace vorelia::platform {
namespace {

std::mutex g_hookMutex;
ErrorHook g_hook;
std::atomic<bool> g_handling{false};

void DefaultHook(std::exception_ptr error) {
  const TErrorDescription description = DescribeError(error, nullptr);
  std::fprintf(stderr, "vorelia: %s\n", description.message.c_str());
  if (QCoreApplication::instance() != nullptr) QCoreApplication::exit(1);
}

}  // namespace

ErrorHook SetErrorHook(ErrorHook hook) {
  std::scoped_lock lock(g_hookMutex);
  ErrorHook previous = std::move(g_hook);
  g_hook = std::move(hook);
  return previous;
}

void ReportFatal(std::exception_ptr error) noexcept {
  if (!error || IsSilentAbort(error)) return;
  if (g_handling.exchange(true)) {
    // A second error while the first one is shown (a timer, an idle update inside the error
    // window's modal loop): the run is ending anyway, keep a trace and drop it.
    std::fprintf(stderr, "vorelia: %s\n", DescribeError(error, nullptr).message.c_str());
    return;
  }
  ErrorHook hook;
  {
    std::scoped_lock lock(g_hookMutex);
    hook = g_hook;
  }
  try {
    if (hook) {
      hook(error);
    } else {
      DefaultHook(error);
    }
  } catch (...) {
    // The error path itself failed; nothing sensible is left to show.
    std::fputs("vorelia: the error handler failed\n", stderr);
    if (QCoreApplication::instance() != nullptr) QCoreApplication::exit(1);
  }
}

bool FatalErrorPending() noexcept { return g_handling.load(); }

void ResetFatalErrorState() noexcept { g_handling.store(false); }

void PostFatal(std::exception_ptr error) noexcept {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) {
    std::fprintf(stderr, "vorelia: %s\n", DescribeError(error, nullptr).message.c_str());
    return;
  }
  try {
    QMetaObject::invokeMethod(app, [error] { ReportFatal(error); }, Qt::QueuedConnection);
  } catch (...) {
    std::fputs("vorelia: could not post an error to the user-interface thread\n", stderr);
  }
}

}  // namespace vorelia::platform

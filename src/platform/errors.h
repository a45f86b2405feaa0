#pragma once

#include <stdexcept>
#include <string>

namespace vorelia {

// Root of every failure the program raises. It carries the message shown to the user and the
// code address at which it was raised, taken when the exception object is constructed (the
// error window prints it).
//
// Derived classes keep their constructors forwarding and mark them VORELIA_RAISE_SITE, so the
// address taken inside this non-inlined constructor falls in the function that threw.
class EVoreliaError : public std::runtime_error {
 public:
  [[gnu::noinline]] explicit EVoreliaError(const std::string& message);

  // Code address of the raise site.
  const void* Address() const { return m_address; }

 private:
  const void* m_address;
};

#define VORELIA_RAISE_SITE [[gnu::always_inline]] inline

// A silent abort: stops the current operation without a message. The error path ignores it.
class EAbort : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE EAbort() : EVoreliaError("Operation aborted") {}
};

}  // namespace vorelia

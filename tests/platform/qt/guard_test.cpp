#include "platform/qt/guard.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/error_description.h"
#include "platform/errors.h"

namespace vorelia::platform {
namespace {

class EProbeError : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE explicit EProbeError(const std::string& message) : EVoreliaError(message) {}
};

// Captures what reaches the hook, with the thread it arrived on.
class GuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetFatalErrorState();
    m_previous = SetErrorHook([this](std::exception_ptr error) {
      m_messages.push_back(DescribeError(error, nullptr).message);
      m_threads.push_back(std::this_thread::get_id());
    });
  }
  void TearDown() override {
    SetErrorHook(m_previous);
    ResetFatalErrorState();
  }

  void WaitForMessages(size_t count) {
    QElapsedTimer timer;
    timer.start();
    while (m_messages.size() < count && timer.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
  }

  ErrorHook m_previous;
  std::vector<std::string> m_messages;
  std::vector<std::thread::id> m_threads;
};

TEST_F(GuardTest, CatchesEveryKindAndHandsItToTheHook) {
  bool ran = false;
  Guarded([&] { ran = true; });
  EXPECT_TRUE(ran);
  EXPECT_TRUE(m_messages.empty());
  EXPECT_FALSE(FatalErrorPending());

  Guarded([] { throw EProbeError("Record locked"); });
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], "Record locked");
  EXPECT_TRUE(FatalErrorPending());

  // The run is ending: a second error while the first is handled is dropped, not shown twice.
  Guarded([] { throw std::runtime_error("second"); });
  EXPECT_EQ(m_messages.size(), 1u);

  ResetFatalErrorState();
  Guarded([] { throw 7; });
  ASSERT_EQ(m_messages.size(), 2u);
  EXPECT_EQ(m_messages[1], "Unknown exception");
}

TEST_F(GuardTest, SilentAbortReachesNobody) {
  Guarded([] { throw EAbort(); });
  EXPECT_TRUE(m_messages.empty());
  EXPECT_FALSE(FatalErrorPending());
}

TEST_F(GuardTest, HookSeesErrorsRaisedInsideTheEventLoop) {
  QTimer::singleShot(0, [] { Guarded([] { throw EProbeError("from a timer"); }); });
  WaitForMessages(1);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], "from a timer");
}

TEST_F(GuardTest, WorkerErrorsArriveOnTheUserInterfaceThread) {
  std::thread worker([] { GuardedWorker([] { throw EProbeError("page 3 failed"); }); });
  worker.join();
  EXPECT_TRUE(m_messages.empty());  // posted, not run on the worker
  WaitForMessages(1);
  ASSERT_EQ(m_messages.size(), 1u);
  EXPECT_EQ(m_messages[0], "page 3 failed");
  EXPECT_EQ(m_threads[0], std::this_thread::get_id());
}

TEST_F(GuardTest, AFailingHookDoesNotEscape) {
  SetErrorHook([](std::exception_ptr) { throw std::runtime_error("hook broke"); });
  Guarded([] { throw EProbeError("original"); });  // noexcept: reaching the next line is the test
  EXPECT_TRUE(FatalErrorPending());
}

}  // namespace
}  // namespace vorelia::platform

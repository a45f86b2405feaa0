#include "platform/error_description.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/errors.h"
#include "platform/message_box.h"

namespace vorelia::platform {
namespace {

class ETestError : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE explicit ETestError(const std::string& message) : EVoreliaError(message) {}
};

std::exception_ptr Capture(void (*raise)()) {
  try {
    raise();
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

TEST(ErrorDescriptionTest, AddressesPrintAsEightUpperCaseDigits) {
  EXPECT_EQ(FormatCodeAddress(0), "00000000");
  EXPECT_EQ(FormatCodeAddress(0xABCu), "00000ABC");
  EXPECT_EQ(FormatCodeAddress(0xDEADBEEFu), "DEADBEEF");
  EXPECT_EQ(FormatCodeAddress(0x0040A1F3u), "0040A1F3");
}

TEST(ErrorDescriptionTest, ProgramErrorsCarryTheirRaiseSite) {
  std::exception_ptr error = Capture([] { throw ETestError("Field SITE not found"); });
  const TErrorDescription description = DescribeError(error, nullptr);
  EXPECT_EQ(description.message, "Field SITE not found");
  // The raise site lies in this test executable's code, so its offset is small and non-zero.
  EXPECT_NE(description.address, 0u);
  EXPECT_LT(description.address, 0x10000000u);
}

TEST(ErrorDescriptionTest, OtherExceptionsUseTheCatchSite) {
  int marker = 0;
  std::exception_ptr error = Capture([] { throw std::out_of_range("index 7 out of range"); });
  const TErrorDescription described = DescribeError(error, &marker);
  EXPECT_EQ(described.message, "index 7 out of range");
  EXPECT_EQ(described.address, CodeAddress(&marker));

  std::exception_ptr odd = Capture([] { throw 42; });
  EXPECT_EQ(DescribeError(odd, nullptr).message, "Unknown exception");
  EXPECT_EQ(DescribeError(odd, nullptr).address, 0u);
}

TEST(ErrorDescriptionTest, AnsiMessagesReachTheWindowAsUtf8) {
  std::exception_ptr ansi = Capture([] { throw ETestError("Campo n\xE3o encontrado"); });
  EXPECT_EQ(DescribeError(ansi, nullptr).message, "Campo n\xC3\xA3o encontrado");
  std::exception_ptr utf8 = Capture([] { throw ETestError("Campo n\xC3\xA3o encontrado"); });
  EXPECT_EQ(DescribeError(utf8, nullptr).message, "Campo n\xC3\xA3o encontrado");
  std::exception_ptr cut = Capture([] { throw std::runtime_error("fim \xC3"); });
  EXPECT_EQ(DescribeError(cut, nullptr).message, "fim \xC3\x83");
}

TEST(ErrorDescriptionTest, OnlyTheAbortIsSilent) {
  EXPECT_TRUE(IsSilentAbort(Capture([] { throw EAbort(); })));
  EXPECT_FALSE(IsSilentAbort(Capture([] { throw ETestError("x"); })));
  EXPECT_FALSE(IsSilentAbort(Capture([] { throw std::runtime_error("x"); })));
  EXPECT_FALSE(IsSilentAbort(nullptr));
}

TEST(MessageBoxTest, QuestionsAndRefusalsFollowTheHouseStyle) {
  const TMessageRequest question = Question("Tem certeza?");
  EXPECT_EQ(question.caption, "Vorelia");
  EXPECT_EQ(question.text, "Tem certeza?");
  EXPECT_EQ(question.icon, TMessageIcon::Question);
  EXPECT_EQ(question.buttons, TMessageButtons::YesNo);
  EXPECT_EQ(question.defaultButton, TMessageResult::Yes);

  const TMessageRequest refusal = Refusal("Já existe");
  EXPECT_EQ(refusal.caption, "Vorelia");
  EXPECT_EQ(refusal.icon, TMessageIcon::Exclamation);
  EXPECT_EQ(refusal.buttons, TMessageButtons::Ok);
}

}  // namespace
}  // namespace vorelia::platform

#include "records/agency_filter.h"

#include <gtest/gtest.h>

namespace vorelia::records {
namespace {

TEST(AgencyFilterTest, ContainsIgnoresCaseButKeepsAccents) {
  struct Case {
    const char* value;
    const char* text;
    bool contains;
  } cases[] = {
      {"Empregos J\xE1", "emp", true},  {"TEMPO", "emp", true},
      {"emprego", "emp", true},         {"Ag\xEAncia Sul", "emp", false},
      {"S\xC3O PAULO", "s\xE3o", true}, {"SAO PAULO", "s\xE3o", false},
      {"SP", "p", true},                {"RJ", "p", false},
      {"qualquer", "", false},          {"", "a", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.value) + " / " + c.text);
    EXPECT_EQ(TAgencyFilter::Contains(c.value, c.text), c.contains);
  }
}

TEST(AgencyFilterTest, FieldsArePickedByPosition) {
  EXPECT_STREQ(TAgencyFilter::FieldAt(1), "ENDERECO");
  EXPECT_EQ(TAgencyFilter::FieldAt(4), nullptr);
  EXPECT_EQ(TAgencyFilter::FieldAt(-1), nullptr);
  EXPECT_EQ(TAgencyFilter::PositionOf("uf"), 3);
  EXPECT_EQ(TAgencyFilter::PositionOf("CEP"), -1);
}

}  // namespace
}  // namespace vorelia::records

#include "platform/qt/shell_url.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace vorelia::platform {
namespace {

class ShellUrlTest : public vorelia::test::TempDirTest {};

TEST_F(ShellUrlTest, AddressesFilesAndBareSiteNames) {
  std::ofstream(m_dir / "agencias.html") << "<html></html>";
  const std::string dir = m_dir.string();
  struct Case {
    std::string target;
    QString expected;
  };
  const Case cases[] = {
      {"mailto:rh@agencia.com.br", "mailto:rh@agencia.com.br"},
      {"http://www.agencia.com.br/vagas", "http://www.agencia.com.br/vagas"},
      {"https://agencia.com.br", "https://agencia.com.br"},
      {"/opt/vorelia/ajuda_vorelia.html", "file:///opt/vorelia/ajuda_vorelia.html"},
      {"agencias.html", QString::fromStdString("file://" + (m_dir / "agencias.html").string())},
      {"www.agencia.com.br", "http://www.agencia.com.br"},
      {"  www.agencia.com.br  ", "http://www.agencia.com.br"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(ShellTargetUrl(c.target, dir).toString(), c.expected);
  }
  EXPECT_TRUE(ShellTargetUrl("", dir).isEmpty());
  EXPECT_TRUE(ShellTargetUrl("   ", dir).isEmpty());
}

}  // namespace
}  // namespace vorelia::platform

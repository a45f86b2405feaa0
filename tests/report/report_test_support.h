#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "data/memory_dataset.h"
#include "report/core/page_recording.h"
#include "report/qr_printable.h"

namespace vorelia::report::test {

// A dataset with the nine agency fields and n records "Agency 1" ... "Agency n".
std::unique_ptr<vorelia::test::TMemoryDataSet> MakeAgencies(int count);

// Records where and on which page its band printed: one (page, y) pair per printing.
class TProbe : public TQRPrintable {
 public:
  TProbe(std::string name, std::vector<std::pair<int, int>>& log)
      : TQRPrintable(std::move(name)), m_log(log) {}
  void Print(int x0, int y0) override;

 private:
  std::vector<std::pair<int, int>>& m_log;
};

// The texts drawn on a page, in drawing order.
std::vector<std::string> PageTexts(const TPageRecording& page);

}  // namespace vorelia::report::test

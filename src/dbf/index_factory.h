#pragma once

#include <filesystem>
#include <memory>

#include "dbf/index_file.h"
#include "dbf/index_seam.h"

namespace vorelia::dbf {

// The index engine as tables see it: opens TIndexFile objects over a TDbfFile.
class TIndexFileFactory : public TIndexFactory {
 public:
  std::unique_ptr<TIndexSeam> OpenIndexFile(TDbfFile& table, const std::filesystem::path& path,
                                            TPagedFileMode mode) override;

  // Asked when a production index's language does not match its table's (see
  // TLocaleErrorHandler); without a handler such an index is not opened.
  void SetOnLocaleError(TLocaleErrorHandler handler) { m_onLocaleError = std::move(handler); }

 private:
  TLocaleErrorHandler m_onLocaleError;
};

// The factory every table uses unless it is given another; call once at start-up.
TIndexFileFactory& InstallIndexEngine();

}  // namespace vorelia::dbf

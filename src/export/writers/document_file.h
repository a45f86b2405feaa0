#pragma once

#include <filesystem>
#include <string_view>

namespace vorelia::exporter {

// Writes a finished document under `path`: into a new temporary file in the same folder,
// flushed to disk, then renamed over `path`. A failure leaves whatever was at `path` untouched
// and no temporary file behind. Throws std::system_error on failure.
void SaveDocument(const std::filesystem::path& path, std::string_view bytes);

}  // namespace vorelia::exporter

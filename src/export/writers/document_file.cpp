#include "export/writers/document_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

namespace vorelia::exporter {
namespace {

[[noreturn]] void Fail(int error, const std::string& what) {
  throw std::system_error(error, std::generic_category(), what);
}

// Closes and, unless kept, removes the temporary file on every way out.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string name = "." + target.filename().string() + "." + std::to_string(::getpid()) +
                               "." + std::to_string(counter++) + ".tmp";
      m_path = folder / name;
      // 0666 lets the umask decide, as for any file the user creates.
      m_fd = ::open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (m_fd >= 0) return;
      if (errno != EEXIST) Fail(errno, "Cannot create " + m_path.string());
    }
    Fail(EEXIST, "Cannot create a temporary file beside " + target.string());
  }
  ~TemporaryFile() {
    if (m_fd >= 0) ::close(m_fd);
    if (!m_kept) ::unlink(m_path.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  void Write(std::string_view bytes) {
    while (!bytes.empty()) {
      const ssize_t n = ::write(m_fd, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        Fail(errno, "Cannot write " + m_path.string());
      }
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }

  void CommitAs(const std::filesystem::path& target) {
    if (::fsync(m_fd) != 0) Fail(errno, "Cannot flush " + m_path.string());
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) Fail(errno, "Cannot close " + m_path.string());
    if (::rename(m_path.c_str(), target.c_str()) != 0) {
      Fail(errno, "Cannot replace " + target.string());
    }
    m_kept = true;
  }

 private:
  std::filesystem::path m_path;
  int m_fd = -1;
  bool m_kept = false;
};

}  // namespace

void SaveDocument(const std::filesystem::path& path, std::string_view bytes) {
  if (path.empty() || !path.has_filename()) Fail(EINVAL, "No document name");
  TemporaryFile file(path);
  file.Write(bytes);
  file.CommitAs(path);
}

}  // namespace vorelia::exporter

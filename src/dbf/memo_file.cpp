#include "dbf/memo_file.h"

#include <algorithm>
#include <cstring>

#include "dbf/byte_order.h"
#include "dbf/dbf_errors.h"

namespace vorelia::dbf {
namespace {

constexpr int32_t kMaxMemoSize = 64 * 1024 * 1024;

}  // namespace

void TMemoFile::CreateMemo(int32_t blockSize) {
  m_blockSize = std::max<int32_t>(blockSize, 64);
  SetPagesStartAfterHeader(false);
  SetHeaderOffset(0);
  SetHeaderSize(m_blockSize);
  SetPageSize(m_blockSize);
  SetRecordSize(m_blockSize);
  OpenPagedFile();
  std::fill(Header(), Header() + m_blockSize, 0);
  PutLe32(Header(), 1);
  PutLe32(Header() + 4, static_cast<uint32_t>(m_blockSize));
  Header()[20] = static_cast<uint8_t>(m_blockSize);
  Header()[21] = static_cast<uint8_t>(m_blockSize >> 8);
  StoreHeader();
  WriteHeaderArea();
}

void TMemoFile::OpenMemo() {
  SetPagesStartAfterHeader(false);
  SetHeaderOffset(0);
  SetHeaderSize(8);
  OpenPagedFile();
  LoadHeader();
  const uint32_t blockSize = GetLe32(Header() + 4);
  if (blockSize < 64 || blockSize > 65536) {
    ClosePagedFile();
    throw EDbfError(DamagedFileMessage(FileName().string(), "memo block size out of range"));
  }
  m_blockSize = static_cast<int32_t>(blockSize);
  SetPageSize(m_blockSize);
  SetRecordSize(m_blockSize);
}

std::string TMemoFile::ReadMemo(int32_t block) {
  if (!Active() || block <= 0) return std::string();
  const uint64_t offset = static_cast<uint64_t>(block) * static_cast<uint64_t>(m_blockSize);
  if (static_cast<int64_t>(offset) + 4 > FileLength()) return std::string();
  uint8_t lengthBytes[4];
  if (ReadBytes(offset, lengthBytes, 4) != 4) return std::string();
  const uint32_t length = GetLe32(lengthBytes);
  if (length > static_cast<uint32_t>(kMaxMemoSize) ||
      static_cast<int64_t>(offset + 4 + length) > FileLength())
    return std::string();
  std::string data(length, '\0');
  if (length > 0 && ReadBytes(offset + 4, data.data(), length) != static_cast<int64_t>(length))
    return std::string();
  return data;
}

int32_t TMemoFile::WriteMemo(const std::string& data) {
  if (data.empty()) return 0;
  LoadHeader();
  uint32_t next = GetLe32(Header());
  if (next == 0) next = 1;
  uint8_t lengthBytes[4];
  PutLe32(lengthBytes, static_cast<uint32_t>(data.size()));
  const uint64_t offset = static_cast<uint64_t>(next) * static_cast<uint64_t>(m_blockSize);
  WriteBytes(offset, lengthBytes, 4);
  WriteBytes(offset + 4, data.data(), data.size());
  const uint64_t blocks = (data.size() + 4 + m_blockSize - 1) / m_blockSize;
  PutLe32(Header(), next + static_cast<uint32_t>(blocks));
  StoreHeader();
  return static_cast<int32_t>(next);
}

}  // namespace vorelia::dbf

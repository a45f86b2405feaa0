#include "report/core/qr_compress.h"

#include "report/core/qr_error.h"

namespace vorelia::report {

namespace {
constexpr int kLeafBase = 256;
}

TQRCompress::TQRCompress(std::vector<std::uint8_t>* output)
    : m_mode(TMode::Compress), m_output(output) {
  ResetTree();
}

TQRCompress::TQRCompress(std::span<const std::uint8_t> input)
    : m_mode(TMode::Expand), m_input(input), m_bitMask(0x100) {
  ResetTree();
}

TQRCompress::~TQRCompress() {
  if (m_mode == TMode::Compress) Flush();
}

void TQRCompress::ResetTree() {
  for (int i = 1; i <= 512; ++i) m_up[i] = static_cast<std::uint8_t>((i - 1) / 2);
  for (int j = 0; j < 256; ++j) {
    m_left[j] = static_cast<std::uint16_t>(2 * j + 1);
    m_right[j] = static_cast<std::uint16_t>(2 * j + 2);
  }
}

// Semi-splaying: each pass swaps the node with its grandparent's other child and moves two
// levels up, so the tree adapts without ever growing deeper than it was.
void TQRCompress::Splay(int byte) {
  int a = byte + kLeafBase;
  while (a != 0) {
    const int c = m_up[a];
    if (c == 0) break;
    const int d = m_up[c];
    int e = m_left[d];
    if (e == c) {
      e = m_right[d];
      m_right[d] = static_cast<std::uint16_t>(a);
    } else {
      m_left[d] = static_cast<std::uint16_t>(a);
    }
    if (a == m_left[c]) {
      m_left[c] = static_cast<std::uint16_t>(e);
    } else {
      m_right[c] = static_cast<std::uint16_t>(e);
    }
    m_up[a] = static_cast<std::uint8_t>(d);
    m_up[e] = static_cast<std::uint8_t>(c);
    a = d;
  }
}

void TQRCompress::Compress(std::uint8_t byte) {
  // The path is found leaf to root but sent root first. A leaf is at most 256 steps deep.
  std::array<bool, 512> path;
  int depth = 0;
  int a = byte + kLeafBase;
  while (a != 0) {
    const int parent = m_up[a];
    path[depth++] = m_right[parent] == a;
    a = parent;
  }
  while (depth > 0) {
    if (path[--depth]) m_bitByte = static_cast<std::uint8_t>(m_bitByte | m_bitMask);
    m_bitMask <<= 1;
    if (m_bitMask == 0x100) {
      m_output->push_back(m_bitByte);
      m_bitByte = 0;
      m_bitMask = 1;
    }
  }
  Splay(byte);
}

void TQRCompress::Flush() {
  if (m_mode != TMode::Compress || m_bitMask == 1) return;
  m_output->push_back(m_bitByte);
  m_bitByte = 0;
  m_bitMask = 1;
}

std::uint8_t TQRCompress::Expand() {
  int a = 0;
  while (a < kLeafBase) {
    if (m_bitMask == 0x100) {
      if (m_inputPos >= m_input.size()) throw EQRError("Compressed page data ends too early");
      m_bitByte = m_input[m_inputPos++];
      m_bitMask = 1;
    }
    const bool bit = (m_bitByte & m_bitMask) != 0;
    m_bitMask <<= 1;
    a = bit ? m_right[a] : m_left[a];
  }
  // Node 512 hangs off the tree as a leaf for a byte that does not exist; only damaged data
  // reaches it.
  if (a - kLeafBase > 255) throw EQRError("Compressed page data is damaged");
  Splay(a - kLeafBase);
  return static_cast<std::uint8_t>(a - kLeafBase);
}

std::vector<std::uint8_t> CompressBytes(std::span<const std::uint8_t> data) {
  std::vector<std::uint8_t> out;
  out.reserve(data.size() / 2 + 16);
  {
    TQRCompress compressor(&out);
    for (std::uint8_t byte : data) compressor.Compress(byte);
  }
  return out;
}

std::vector<std::uint8_t> ExpandBytes(std::span<const std::uint8_t> data, std::size_t count) {
  // Every byte costs at least one bit, so a claimed length beyond eight per input byte is a lie.
  if (count / 8 > data.size()) throw EQRError("Compressed page length is out of range");
  std::vector<std::uint8_t> out;
  out.reserve(count);
  TQRCompress expander(data);
  for (std::size_t i = 0; i < count; ++i) out.push_back(expander.Expand());
  return out;
}

}  // namespace vorelia::report

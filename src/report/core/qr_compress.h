#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vorelia::report {

// Adaptive splay-tree prefix code over bytes. Internal nodes 0..255 (0 is the root), leaves
// 256..511 (leaf 256 + b stands for byte b). After each byte its leaf is splayed towards the
// root, so frequent bytes get short codes. Bits are packed from the least significant bit of
// each output byte upwards. The output must stay bit-exact: saved reports depend on it.
class TQRCompress {
 public:
  enum class TMode { Compress, Expand };

  // Compress mode appends whole bytes to *output; the last partial byte is written by Flush
  // or by the destructor.
  explicit TQRCompress(std::vector<std::uint8_t>* output);
  // Expand mode reads bits from input. Reading past its end throws EQRError.
  explicit TQRCompress(std::span<const std::uint8_t> input);
  ~TQRCompress();
  TQRCompress(const TQRCompress&) = delete;
  TQRCompress& operator=(const TQRCompress&) = delete;

  void Compress(std::uint8_t byte);
  // Throws EQRError when the code leads nowhere or the input ends.
  std::uint8_t Expand();
  // Writes a partly filled last byte, once; nothing when no bit is pending.
  void Flush();

  // Input bytes consumed so far in expand mode.
  std::size_t Consumed() const { return m_inputPos; }

 private:
  void ResetTree();
  void Splay(int byte);

  TMode m_mode;
  std::array<std::uint16_t, 256> m_left{};
  std::array<std::uint16_t, 256> m_right{};
  std::array<std::uint8_t, 513> m_up{};  // index 1..512
  std::vector<std::uint8_t>* m_output = nullptr;
  std::span<const std::uint8_t> m_input;
  std::size_t m_inputPos = 0;
  std::uint8_t m_bitByte = 0;  // byte being filled or drained
  unsigned m_bitMask = 1;      // next bit position; 0x100 in expand means "fetch a byte"
};

// Whole-buffer helpers over TQRCompress.
std::vector<std::uint8_t> CompressBytes(std::span<const std::uint8_t> data);
// Expands exactly count bytes; throws EQRError on damaged data.
std::vector<std::uint8_t> ExpandBytes(std::span<const std::uint8_t> data, std::size_t count);

}  // namespace vorelia::report
